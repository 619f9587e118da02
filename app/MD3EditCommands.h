// The window's side of the MD3 editing operations (Edit menu and Tags tab): each command checks
// that it applies, asks for its input, runs the operation of TMD3 and reports in the status bar.
// Only the commands that add or remove frames or tags mark the model changed; mirroring,
// welding, smoothing, scaling, moving the origin and the tag-axis commands do not.
#pragma once

#include "Dialogs.h"

#include <QObject>

#include <functional>
#include <string>

namespace quillon {

class IModelWindow;
class TMainMenu;
class TMD3;
class TTagsTab;
struct TEditResult;

class TMD3EditCommands : public QObject {
    Q_OBJECT
public:
    // `tags` is the tab whose Adding Tags group the typed-tag command reads.
    TMD3EditCommands(IModelWindow& window, TTagsTab& tags, QObject* parent);
    // Connects the menu items and the Tags tab's Add button, and makes them available.
    void Connect(TMainMenu& menu);

    void FlipX();
    void FlipY();
    void FlipZ();
    void FlipNormals();
    void FixCracksGaps();
    void SmoothSurface();
    void Scale();
    void TagAsOrigin();
    void AddTagManually();
    void AddFrame();
    void AddFrames();
    void AddFrameSequence();
    void DeleteFrame();

private:
    TMD3& Model() const;
    bool IsMD3() const;
    bool HasGeometry() const;
    // Flip, weld and smooth: an MD3 model with frames and surfaces.
    void RunOnGeometry(const std::function<void(TMD3&)>& operation, const char* status);
    void RunOnTags(void (TMD3::*operation)());
    void AppendFrames(TEditResult (TMD3::*operation)(const std::string&),
                      const std::string& statusBefore, const std::string& statusAfter);
    void FinishFramesAdded(const std::string& status);

    IModelWindow& Window;
    TTagsTab& Tags;
    TFileDialog OpenDialogMD3s;
};

} // namespace quillon

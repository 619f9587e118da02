// The window's side of the MD3 editing operations (Edit menu and Tags tab): each command checks
// that it applies, asks for its input, runs the operation of TMD3 and reports in the status bar.
// Only the commands that add or remove frames or tags mark the model changed; mirroring,
// welding, smoothing, scaling, moving the origin and the tag-axis commands do not.
#pragma once

#include <QObject>

#include <functional>
#include <string>

namespace quillon {

class TForm1;
class TMD3;
struct TEditResult;

class TMD3EditCommands : public QObject {
    Q_OBJECT
public:
    explicit TMD3EditCommands(TForm1& form);
    // Connects the menu items and the Tags tab's Add button, and makes them available.
    void Connect();

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
    int ChosenSurface() const;
    // Flip, weld and smooth: an MD3 model with frames and surfaces.
    void RunOnGeometry(const std::function<void(TMD3&)>& operation, const char* status);
    void RunOnTags(void (TMD3::*operation)());
    void AppendFrames(TEditResult (TMD3::*operation)(const std::string&),
                      const std::string& statusBefore, const std::string& statusAfter);
    void FinishFramesAdded(const std::string& status);

    TForm1& Form;
};

} // namespace quillon

// The View tab: the 3D view panel (gbOGL, whose empty layout receives the GL widget), the
// animation controls, the view options (pivot point, lock view, screenshot) and the LOD group.
#pragma once

#include <QWidget>

#include <functional>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QPushButton;
class QVBoxLayout;

namespace quillon {

class IDialogs;
class TLodGroup;
class TMDM;
class TPlaybackControls;

inline constexpr const char* PivotOriginEntry = "origin";

class TViewTab : public QWidget {
    Q_OBJECT
public:
    // The LOD group works on `mesh` while `skeletalShown` says a skeletal model is loaded.
    TViewTab(int& currentFrame, IDialogs& dialogs, TMDM& mesh, std::function<bool()> skeletalShown,
             QWidget* parent = nullptr);

    // The tag names followed by "origin", which is selected.
    void SetPivots(const std::vector<std::string>& tagNames);
    bool IsViewLocked() const;
    // The chosen entry of the pivot list and its text; -1 and "" when none.
    int ChosenPivot() const;
    std::string ChosenPivotName() const;

    QWidget* gbOGL;
    QVBoxLayout* OGLLayout;
    TPlaybackControls* Playback;
    QComboBox* cbTagPivots;
    QCheckBox* cbLockView;
    QPushButton* bPrtScr;
    TLodGroup* gbLOD;

private:
    QWidget* BuildOptions();
};

} // namespace quillon

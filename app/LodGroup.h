// The LOD group of the View tab: "Enabled" draws the skeletal model reduced to each surface's
// LOD minimum; the surface selector (-1 while no skeletal model is loaded) shows a surface's
// name, and the "Minimum" slider its current minimum out of its vertices, which moving the slider
// changes in the mesh (its LOD table and minLod). The presence label says whether the mesh came
// with LOD data ("present", "absent") or had it computed ("calculated").
#pragma once

#include <QGroupBox>

#include <functional>

class QCheckBox;
class QLabel;
class QSlider;
class QSpinBox;

namespace quillon {

class TMDM;

inline constexpr const char* LodPresent = "present";
inline constexpr const char* LodAbsent = "absent";
inline constexpr const char* LodCalculated = "calculated";

class TLodGroup : public QGroupBox {
    Q_OBJECT
public:
    // `skeletalShown` tells whether the window holds a skeletal model; the handlers do nothing
    // beyond clearing the label and the hint otherwise.
    TLodGroup(TMDM& mesh, std::function<bool()> skeletalShown, QWidget* parent = nullptr);

    // Before a skeletal load: preview off, selector at -1 with the range -1 to -1.
    void Reset();
    // After a skeletal load: presence, preview off, selector on surface 0, the LOD table from
    // the surfaces' minLod when the mesh has LOD data.
    void Refresh();
    // After "Calculate LOD".
    void ShowCalculated();
    bool PreviewEnabled() const;

    QCheckBox* cbLODEnabled;
    QSpinBox* seLODSurfaceNr;
    QLabel* tLODSurfacename;
    QSlider* tbLODMinimum;
    QLabel* tLODpresence;

private:
    void SurfaceChanged();
    void MinimumChanged();
    // The selected surface when it has a LOD table entry; -1 otherwise.
    int SelectedSurface() const;
    void ShowHint(int surface);

    TMDM& Mesh;
    std::function<bool()> SkeletalShown;
};

} // namespace quillon

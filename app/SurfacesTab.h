// The Surfaces tab: the surface and shader names and counts, the details of the shader found for
// the chosen surface (script, shader name, stages and the chosen stage's properties), the connector
// marks that show where the shader came from, the skin, the user's shader list and the texture
// preview. The tab only shows what texture resolution computed; choosing a surface or a stage,
// and typing a shader name followed by Enter, are passed on to the window.
#pragma once

#include "gamedata/SurfaceDetails.h"

#include <QPixmap>
#include <QWidget>

#include <map>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace quillon {

class TMD3;
class TMDM;

class TSurfacesTab : public QWidget {
    Q_OBJECT
public:
    explicit TSurfacesTab(QWidget* parent = nullptr);
    void Fill(const TMD3& md3);
    void Fill(const TMDM& mesh);
    // The surface names, the first one chosen; the items of the last update stay.
    void FillNames(const std::vector<std::string>& surfaces);
    // Empties everything, the items of the last update too.
    void Clear();
    void SetShaderList(const std::vector<std::string>& files);
    // The per-surface items of the last update: script display names and shader names found.
    void SetResolvedItems(const std::vector<std::string>& shaderFiles,
                          const std::vector<std::string>& shaderNamesFound);
    void ShowSurface(const TSurfaceDetails& details);
    void ShowStage(const TStageDetails& details);
    void ShowMarks(const TConnectorMarks& marks);
    // The preview image, centred and scaled down to the panel whenever it is resized.
    void ShowPreview(const QPixmap& image);
    int CurrentSurface() const;
    int CurrentStage() const;

    QLineEdit* leNumSurfaces;
    QLineEdit* leNumShaders;
    QLineEdit* leNumVerts;
    QLineEdit* leNumTriangles;
    QLineEdit* leSurfaceFlags;
    QComboBox* cbNamesSurfaces;
    QComboBox* cbNamesShaders;
    QComboBox* cbShaderFile;
    QComboBox* cbShaderNameFound;
    QComboBox* cbShaderTextures;
    QLabel* lNumTextures;
    QLineEdit* leTextureDimensions;
    QCheckBox* cbHasAlpha;
    QWidget* pShaderProps;
    QCheckBox* cbAlphaFunc;
    QCheckBox* cbEnvironmentMap;
    QCheckBox* cbClamped;
    QCheckBox* cbAnimMap;
    QCheckBox* cbVideoMap;
    QLineEdit* leCull;
    QLineEdit* leSkinFile;
    QLineEdit* leSkin;
    QPushButton* bSelectSkin;
    QPushButton* bSelectSkinfrompk3;
    QPushButton* bClearSkin;
    QComboBox* cbShaderList;
    QPushButton* bSelectShaderFile;
    QPushButton* bClearShaderList;
    QGroupBox* gbOGLtris;
    QLabel* img3DView;
    // The connector marks by name ("shapeSkinFile", ...).
    std::map<std::string, QFrame*> Marks;

signals:
    void surfaceChosen(int surface);
    void stageChosen(int surface, int stage);
    void shaderNameEntered(int surface, const QString& name);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* BuildCounts();
    QWidget* BuildDetails();
    QWidget* BuildShaderProps(QWidget* parent);
    QWidget* BuildMarks();
    QWidget* BuildSkinAndShaderList();
    QWidget* BuildPreview();

    void FitPreview();

    QPixmap Preview;
};

} // namespace quillon

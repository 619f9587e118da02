// The Surfaces tab: surface, shader, vertex and triangle counts, the surface and shader names,
// the details of the shader found for the chosen surface (filled by texture resolution), the
// skin, the user's shader list and the texture preview. Typing a shader name and pressing
// Enter asks for that surface's shader to be renamed.
#pragma once

#include <QWidget>

#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace quillon {

class TMD3;

struct TSurfaceNames {
    std::string Surface;
    std::string Shader;
};

class TSurfacesTab : public QWidget {
    Q_OBJECT
public:
    explicit TSurfacesTab(QWidget* parent = nullptr);
    void Fill(const TMD3& md3);
    // For skeletal models, whose counts the mesh reports itself.
    void FillNames(const std::vector<TSurfaceNames>& surfaces);
    void Clear();
    void ClearDetails();
    void SetShaderList(const std::vector<std::string>& files);

    QLineEdit* leNumSurfaces;
    QLineEdit* leNumShaders;
    QLineEdit* leNumVertices;
    QLineEdit* leNumTriangles;
    QComboBox* cbNamesSurfaces;
    QComboBox* cbNamesShaders;
    QLineEdit* leShaderFile;
    QLineEdit* leShaderFound;
    QComboBox* cbTextures;
    QLineEdit* leTextureSize;
    QCheckBox* cbAlphaChannel;
    QCheckBox* cbAlphaFunc;
    QCheckBox* cbEnvironment;
    QCheckBox* cbClamped;
    QCheckBox* cbAnimMap;
    QCheckBox* cbVideoMap;
    QLineEdit* leCull;
    QLineEdit* leSkinFile;
    QLineEdit* leSkinEntry;
    QPushButton* bSkinLoad;
    QPushButton* bSkinClear;
    QComboBox* cbShaderList;
    QPushButton* bShaderListAdd;
    QPushButton* bShaderListClear;
    QLabel* imgTexturePreview;

signals:
    void surfaceChosen(int surface);
    void shaderNameEntered(int surface, const QString& name);

private:
    QWidget* BuildDetails();
    QWidget* BuildSkinAndShaderList();
    void ChooseSurface(int surface);
};

} // namespace quillon

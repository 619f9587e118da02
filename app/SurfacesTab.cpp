#include "SurfacesTab.h"

#include "Widgets.h"
#include "core/MD3.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace quillon {

namespace {
QPushButton* Button(const char* name, const char* caption, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    return button;
}
} // namespace

TSurfacesTab::TSurfacesTab(QWidget* parent)
    : QWidget(parent), leNumSurfaces(ReadOnlyField("leNumSurfaces", this)),
      leNumShaders(ReadOnlyField("leNumShaders", this)),
      leNumVertices(ReadOnlyField("leNumVertices", this)),
      leNumTriangles(ReadOnlyField("leNumTriangles", this)),
      cbNamesSurfaces(ListBox("cbNamesSurfaces", this)),
      cbNamesShaders(ListBox("cbNamesShaders", this)) {
    setObjectName("tabSurfaces");
    cbNamesShaders->setEditable(true);
    cbNamesShaders->setInsertPolicy(QComboBox::NoInsert);
    auto* layout = new QVBoxLayout(this);
    auto* counts = new QGridLayout;
    counts->addWidget(new QLabel("Surfaces", this), 0, 0);
    counts->addWidget(leNumSurfaces, 0, 1);
    counts->addWidget(new QLabel("Shaders", this), 0, 2);
    counts->addWidget(leNumShaders, 0, 3);
    counts->addWidget(new QLabel("Vertices", this), 1, 0);
    counts->addWidget(leNumVertices, 1, 1);
    counts->addWidget(new QLabel("Triangles", this), 1, 2);
    counts->addWidget(leNumTriangles, 1, 3);
    layout->addLayout(counts);
    auto* names = new QFormLayout;
    names->addRow("Surface", cbNamesSurfaces);
    names->addRow("Shader", cbNamesShaders);
    layout->addLayout(names);
    layout->addWidget(BuildDetails());
    layout->addWidget(BuildSkinAndShaderList());
    imgTexturePreview = new QLabel(this);
    imgTexturePreview->setObjectName("imgTexturePreview");
    imgTexturePreview->setMinimumSize(128, 128);
    imgTexturePreview->setAlignment(Qt::AlignCenter);
    imgTexturePreview->setFrameShape(QFrame::StyledPanel);
    layout->addWidget(imgTexturePreview, 1);

    connect(cbNamesSurfaces, &QComboBox::currentIndexChanged, this, &TSurfacesTab::ChooseSurface);
    connect(cbNamesShaders->lineEdit(), &QLineEdit::returnPressed, this, [this] {
        const int surface = cbNamesSurfaces->currentIndex();
        if (surface >= 0)
            emit shaderNameEntered(surface, cbNamesShaders->currentText());
    });
}

QWidget* TSurfacesTab::BuildDetails() {
    auto* box = new QGroupBox("Shader found", this);
    box->setObjectName("gbShaderDetails");
    leShaderFile = ReadOnlyField("leShaderFile", box);
    leShaderFound = ReadOnlyField("leShaderFound", box);
    cbTextures = ListBox("cbTextures", box);
    leTextureSize = ReadOnlyField("leTextureSize", box);
    cbAlphaChannel = CheckBox("cbAlphaChannel", "Alpha Channel", box);
    cbAlphaFunc = CheckBox("cbAlphaFunc", "AlphaFunc", box);
    cbEnvironment = CheckBox("cbEnvironment", "Environment", box);
    cbClamped = CheckBox("cbClamped", "Clamped", box);
    cbAnimMap = CheckBox("cbAnimMap", "animMap", box);
    cbVideoMap = CheckBox("cbVideoMap", "videoMap", box);
    leCull = ReadOnlyField("leCull", box);
    auto* form = new QFormLayout(box);
    form->addRow("Shader file", leShaderFile);
    form->addRow("Shader", leShaderFound);
    form->addRow("Textures", cbTextures);
    form->addRow("Size", leTextureSize);
    auto* flags = new QGridLayout;
    int k = 0;
    for (QCheckBox* flag :
         {cbAlphaChannel, cbAlphaFunc, cbEnvironment, cbClamped, cbAnimMap, cbVideoMap}) {
        // The flags describe the shader; the user reads them, never sets them.
        flag->setAttribute(Qt::WA_TransparentForMouseEvents);
        flag->setFocusPolicy(Qt::NoFocus);
        flags->addWidget(flag, k / 3, k % 3);
        ++k;
    }
    form->addRow(flags);
    form->addRow("Cull", leCull);
    return box;
}

QWidget* TSurfacesTab::BuildSkinAndShaderList() {
    auto* box = new QGroupBox("Skin and shader list", this);
    leSkinFile = ReadOnlyField("leSkinFile", box);
    leSkinEntry = ReadOnlyField("leSkinEntry", box);
    bSkinLoad = Button("bSkinLoad", "Load", box);
    bSkinClear = Button("bSkinClear", "Clear", box);
    cbShaderList = ListBox("cbShaderList", box);
    bShaderListAdd = Button("bShaderListAdd", "Add", box);
    bShaderListClear = Button("bShaderListClear", "Clear", box);
    auto* grid = new QGridLayout(box);
    grid->addWidget(new QLabel("Skin", box), 0, 0);
    grid->addWidget(leSkinFile, 0, 1);
    grid->addWidget(bSkinLoad, 0, 2);
    grid->addWidget(bSkinClear, 0, 3);
    grid->addWidget(new QLabel("Skin entry", box), 1, 0);
    grid->addWidget(leSkinEntry, 1, 1, 1, 3);
    grid->addWidget(new QLabel("Shader list", box), 2, 0);
    grid->addWidget(cbShaderList, 2, 1);
    grid->addWidget(bShaderListAdd, 2, 2);
    grid->addWidget(bShaderListClear, 2, 3);
    grid->setColumnStretch(1, 1);
    return box;
}

void TSurfacesTab::Fill(const TMD3& md3) {
    std::vector<TSurfaceNames> names;
    uint64_t shaders = 0, vertices = 0, triangles = 0;
    for (const TSurface& surface : md3.Header.Surfaces) {
        shaders += surface.numShaders;
        vertices += surface.numVerts;
        triangles += surface.numTriangles;
        names.push_back({NameToString(surface.name), surface.Shaders.empty()
                                                         ? std::string()
                                                         : NameToString(surface.Shaders[0].name)});
    }
    FillNames(names);
    leNumSurfaces->setText(QString::number(md3.Header.numSurfaces));
    leNumShaders->setText(QString::number(shaders));
    leNumVertices->setText(QString::number(vertices));
    leNumTriangles->setText(QString::number(triangles));
}

void TSurfacesTab::FillNames(const std::vector<TSurfaceNames>& surfaces) {
    Clear();
    {
        const QSignalBlocker blocker(cbNamesSurfaces);
        for (const TSurfaceNames& names : surfaces) {
            cbNamesSurfaces->addItem(QString::fromStdString(names.Surface));
            cbNamesShaders->addItem(QString::fromStdString(names.Shader));
        }
        cbNamesSurfaces->setCurrentIndex(-1);
    }
    cbNamesSurfaces->setCurrentIndex(surfaces.empty() ? -1 : 0);
}

void TSurfacesTab::Clear() {
    for (QLineEdit* field : {leNumSurfaces, leNumShaders, leNumVertices, leNumTriangles})
        field->clear();
    cbNamesSurfaces->clear();
    cbNamesShaders->clear();
    ClearDetails();
}

void TSurfacesTab::ClearDetails() {
    for (QLineEdit* field : {leShaderFile, leShaderFound, leTextureSize, leCull})
        field->clear();
    cbTextures->clear();
    for (QCheckBox* flag :
         {cbAlphaChannel, cbAlphaFunc, cbEnvironment, cbClamped, cbAnimMap, cbVideoMap})
        flag->setChecked(false);
    imgTexturePreview->clear();
}

void TSurfacesTab::SetShaderList(const std::vector<std::string>& files) {
    cbShaderList->clear();
    for (const std::string& file : files)
        cbShaderList->addItem(QString::fromStdString(file));
}

void TSurfacesTab::ChooseSurface(int surface) {
    cbNamesShaders->setCurrentIndex(surface);
    ClearDetails();
    if (surface >= 0)
        emit surfaceChosen(surface);
}

} // namespace quillon

#include "SurfacesTab.h"

#include "Widgets.h"
#include "core/MD3.h"
#include "skeletal/MDM.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace quillon {

namespace {
QPushButton* Button(const char* name, const char* caption, const char* hint, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    if (*hint)
        button->setToolTip(hint);
    return button;
}

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

// The flags describe the shader; the user reads them, never sets them.
// The stage fields and the preview come and go with the chosen stage; their place stays so the
// window does not change its height under the user's pointer.
void KeepPlaceWhenHidden(QWidget* widget) {
    QSizePolicy policy = widget->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    widget->setSizePolicy(policy);
}

void MakeReadOnly(QCheckBox* flag) {
    flag->setAttribute(Qt::WA_TransparentForMouseEvents);
    flag->setFocusPolicy(Qt::NoFocus);
}

void FillList(QComboBox* list, const std::vector<std::string>& items) {
    const QSignalBlocker blocker(list);
    list->clear();
    for (const std::string& item : items)
        list->addItem(Q(item));
}

// The marks in the order a name travels: from the surface or the skin, through the shader list
// or a script, to an image.
struct TMarkCaption {
    const char* Name;
    const char* Caption;
};
const TMarkCaption MarkCaptions[] = {
    {"shapeSurfaceShader", "surface name"},
    {"shapeSkinFile", "skin"},
    {"shapeSkinShaderlist", "skin > list"},
    {"shapeShaderlist", "list"},
    {"shapeShaderlistIn", "list in"},
    {"shapeShaderlistOut", "list out"},
    {"shapeShaderlistShader", "list > shader"},
    {"shapeShaderlistTexture", "list > image"},
    {"shapeSkinShader", "skin > shader"},
    {"shapeSkinTexture", "skin > image"},
    {"shapeShaderFile", "shader"},
    {"shapeShaderFileIn", "script in"},
    {"shapeShaderFileOut", "script out"},
    {"shapeShaderTexture", "shader > image"},
    {"shapeTextureFile", "image"},
};
} // namespace

TSurfacesTab::TSurfacesTab(QWidget* parent) : QWidget(parent) {
    setObjectName("tabSurfaces");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(BuildCounts());
    layout->addWidget(BuildDetails());
    layout->addWidget(BuildMarks());
    layout->addWidget(BuildSkinAndShaderList());
    layout->addWidget(BuildPreview(), 1);

    connect(cbNamesSurfaces, &QComboBox::currentIndexChanged, this, &TSurfacesTab::surfaceChosen);
    connect(cbShaderTextures, &QComboBox::currentIndexChanged, this,
            [this](int stage) { emit stageChosen(CurrentSurface(), stage); });
    connect(cbNamesShaders->lineEdit(), &QLineEdit::returnPressed, this, [this] {
        const int surface = CurrentSurface();
        if (surface >= 0)
            emit shaderNameEntered(surface, cbNamesShaders->currentText());
    });
    ShowMarks({});
}

QWidget* TSurfacesTab::BuildCounts() {
    auto* box = new QWidget(this);
    leNumSurfaces = ReadOnlyField("leNumSurfaces", box);
    leNumShaders = ReadOnlyField("leNumShaders", box);
    leNumVerts = ReadOnlyField("leNumVerts", box);
    leNumTriangles = ReadOnlyField("leNumTriangles", box);
    leSurfaceFlags = ReadOnlyField("leSurfaceFlags", box);
    cbNamesSurfaces = ListBox("cbNamesSurfaces", box);
    cbNamesShaders = ListBox("cbNamesShaders", box);
    cbNamesShaders->setEditable(true);
    cbNamesShaders->setInsertPolicy(QComboBox::NoInsert);
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(new QLabel("Surfaces", box), 0, 0);
    grid->addWidget(leNumSurfaces, 0, 1);
    grid->addWidget(new QLabel("Shaders", box), 0, 2);
    grid->addWidget(leNumShaders, 0, 3);
    grid->addWidget(new QLabel("Vertices", box), 1, 0);
    grid->addWidget(leNumVerts, 1, 1);
    grid->addWidget(new QLabel("Triangles", box), 1, 2);
    grid->addWidget(leNumTriangles, 1, 3);
    grid->addWidget(new QLabel("Surface", box), 2, 0);
    grid->addWidget(cbNamesSurfaces, 2, 1, 1, 3);
    grid->addWidget(new QLabel("Flags", box), 3, 0);
    grid->addWidget(leSurfaceFlags, 3, 1);
    grid->addWidget(new QLabel("Shader", box), 4, 0);
    grid->addWidget(cbNamesShaders, 4, 1, 1, 3);
    return box;
}

QWidget* TSurfacesTab::BuildDetails() {
    auto* box = new QGroupBox("Shader found", this);
    box->setObjectName("gbShaderDetails");
    cbShaderFile = ListBox("cbShaderFile", box);
    cbShaderNameFound = ListBox("cbShaderNameFound", box);
    cbShaderTextures = ListBox("cbShaderTextures", box);
    lNumTextures = new QLabel("0", box);
    lNumTextures->setObjectName("lNumTextures");
    leTextureDimensions = ReadOnlyField("leTextureDimensions", box);
    cbHasAlpha = CheckBox("cbHasAlpha", "Alpha Channel", box);
    MakeReadOnly(cbHasAlpha);
    auto* form = new QFormLayout(box);
    form->addRow("Shader file", cbShaderFile);
    form->addRow("Shader", cbShaderNameFound);
    auto* textures = new QHBoxLayout;
    textures->addWidget(cbShaderTextures, 1);
    textures->addWidget(lNumTextures);
    form->addRow("Textures", textures);
    // The stage fields sit in plain box layouts, which keep a hidden widget's place (a form
    // layout does not).
    auto* stage = new QHBoxLayout;
    stage->addWidget(leTextureDimensions, 1);
    stage->addWidget(cbHasAlpha);
    form->addRow("Dimensions", stage);
    auto* props = new QHBoxLayout;
    props->addWidget(BuildShaderProps(box), 1);
    form->addRow(props);
    for (QWidget* stageField :
         {(QWidget*)leTextureDimensions, (QWidget*)cbHasAlpha, (QWidget*)pShaderProps})
        KeepPlaceWhenHidden(stageField);
    return box;
}

QWidget* TSurfacesTab::BuildShaderProps(QWidget* parent) {
    pShaderProps = new QWidget(parent);
    pShaderProps->setObjectName("pShaderProps");
    cbAlphaFunc = CheckBox("cbAlphaFunc", "AlphaFunc", pShaderProps);
    cbEnvironmentMap = CheckBox("cbEnvironmentMap", "Environment", pShaderProps);
    cbClamped = CheckBox("cbClamped", "Clamped", pShaderProps);
    cbAnimMap = CheckBox("cbAnimMap", "animMap", pShaderProps);
    cbVideoMap = CheckBox("cbVideoMap", "videoMap", pShaderProps);
    leCull = ReadOnlyField("leCull", pShaderProps);
    auto* grid = new QGridLayout(pShaderProps);
    grid->setContentsMargins(0, 0, 0, 0);
    int k = 0;
    for (QCheckBox* flag : {cbAlphaFunc, cbEnvironmentMap, cbClamped, cbAnimMap, cbVideoMap}) {
        MakeReadOnly(flag);
        grid->addWidget(flag, k / 3, k % 3);
        ++k;
    }
    grid->addWidget(new QLabel("Cull", pShaderProps), 1, 2);
    grid->addWidget(leCull, 1, 3);
    return pShaderProps;
}

QWidget* TSurfacesTab::BuildMarks() {
    auto* box = new QGroupBox("Found through", this);
    box->setObjectName("gbConnectorMarks");
    auto* row = new QHBoxLayout(box);
    for (const TMarkCaption& mark : MarkCaptions) {
        auto* line = new QLabel(mark.Caption, box);
        line->setObjectName(mark.Name);
        line->setFrameShape(QFrame::Box);
        line->setStyleSheet("QLabel { border: 1px solid #c03030; padding: 1px 3px; }");
        row->addWidget(line);
        Marks[mark.Name] = line;
    }
    row->addStretch(1);
    // The row keeps its height while no mark is shown.
    box->setMinimumHeight(box->sizeHint().height());
    return box;
}

QWidget* TSurfacesTab::BuildSkinAndShaderList() {
    auto* box = new QGroupBox("Skin and shader list", this);
    leSkinFile = ReadOnlyField("leSkinFile", box);
    leSkin = ReadOnlyField("leSkin", box);
    bSelectSkin = Button("bSelectSkin", "Load", "", box);
    bSelectSkinfrompk3 =
        Button("bSelectSkinfrompk3", "From Game", "Load a skin from the game", box);
    bClearSkin = Button("bClearSkin", "Clear", "", box);
    cbShaderList = ListBox("cbShaderList", box);
    bSelectShaderFile = Button("bSelectShaderFile", "Add", "Add Shaderfile To List", box);
    bClearShaderList = Button("bClearShaderList", "Clear", "Clear ShaderList", box);
    auto* grid = new QGridLayout(box);
    grid->addWidget(new QLabel("Skin", box), 0, 0);
    grid->addWidget(leSkinFile, 0, 1);
    grid->addWidget(bSelectSkin, 0, 2);
    grid->addWidget(bSelectSkinfrompk3, 0, 3);
    grid->addWidget(bClearSkin, 0, 4);
    grid->addWidget(new QLabel("Skin entry", box), 1, 0);
    grid->addWidget(leSkin, 1, 1, 1, 4);
    grid->addWidget(new QLabel("Shader list", box), 2, 0);
    grid->addWidget(cbShaderList, 2, 1);
    grid->addWidget(bSelectShaderFile, 2, 2);
    grid->addWidget(bClearShaderList, 2, 4);
    grid->setColumnStretch(1, 1);
    return box;
}

QWidget* TSurfacesTab::BuildPreview() {
    gbOGLtris = new QGroupBox("Texture Preview", this);
    gbOGLtris->setObjectName("gbOGLtris");
    img3DView = new QLabel(gbOGLtris);
    img3DView->setObjectName("img3DView");
    img3DView->setMinimumSize(128, 128);
    img3DView->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    KeepPlaceWhenHidden(img3DView);
    img3DView->setAlignment(Qt::AlignCenter);
    img3DView->installEventFilter(this);
    auto* layout = new QVBoxLayout(gbOGLtris);
    layout->addWidget(img3DView);
    return gbOGLtris;
}

void TSurfacesTab::Fill(const TMD3& md3) {
    std::vector<std::string> names;
    for (const TSurface& surface : md3.Header.Surfaces)
        names.push_back(NameToString(surface.name));
    FillNames(names);
}

void TSurfacesTab::Fill(const TMDM& mesh) {
    std::vector<std::string> names;
    for (const TMDMSurface& surface : mesh.Surfaces)
        names.push_back(NameToString(surface.name));
    FillNames(names);
}

void TSurfacesTab::FillNames(const std::vector<std::string>& surfaces) {
    FillList(cbNamesSurfaces, surfaces);
    cbNamesSurfaces->setCurrentIndex(-1);
    cbNamesSurfaces->setCurrentIndex(surfaces.empty() ? -1 : 0);
}

void TSurfacesTab::Clear() {
    for (QComboBox* list : {cbNamesSurfaces, cbNamesShaders, cbShaderFile, cbShaderNameFound})
        FillList(list, {});
    ShowSurface({});
    leNumSurfaces->clear();
    lNumTextures->clear();
}

void TSurfacesTab::SetShaderList(const std::vector<std::string>& files) {
    FillList(cbShaderList, files);
    cbShaderList->setCurrentIndex(cbShaderList->count() - 1);
}

void TSurfacesTab::SetResolvedItems(const std::vector<std::string>& shaderFiles,
                                    const std::vector<std::string>& shaderNamesFound) {
    FillList(cbShaderFile, shaderFiles);
    FillList(cbShaderNameFound, shaderNamesFound);
}

void TSurfacesTab::ShowSurface(const TSurfaceDetails& details) {
    FillList(cbNamesShaders, details.ShaderNames);
    FillList(cbShaderTextures, details.StageNames);
    cbNamesShaders->setCurrentIndex(details.ShaderNames.empty() ? -1 : 0);
    {
        const QSignalBlocker blocker(cbShaderTextures);
        cbShaderTextures->setCurrentIndex(details.StageNames.empty() ? -1 : 0);
    }
    ShowStage(details.Stage);
    ShowMarks(details.Marks);
    cbShaderNameFound->setCurrentIndex(details.ShaderNameFoundItem);
    cbShaderFile->setCurrentIndex(details.ShaderFileItem);
    leSurfaceFlags->setText(Q(details.SurfaceFlags));
    leNumShaders->setText(Q(details.NumShaders));
    leNumVerts->setText(Q(details.NumVerts));
    leNumTriangles->setText(Q(details.NumTriangles));
    lNumTextures->setText(QString::number(details.NumTextures));
    leNumSurfaces->setText(QString::number(cbNamesSurfaces->count()));
    leSkin->setText(Q(details.Skin));
}

void TSurfacesTab::ShowStage(const TStageDetails& details) {
    img3DView->setVisible(details.PreviewVisible);
    if (!details.PreviewVisible)
        ShowPreview({});
    leTextureDimensions->setVisible(details.StageShown);
    cbHasAlpha->setVisible(details.StageShown);
    cbHasAlpha->setChecked(details.HasAlpha);
    leTextureDimensions->setText(Q(details.Dimensions));
    pShaderProps->setVisible(details.PropsVisible);
    cbAlphaFunc->setChecked(details.AlphaFunc);
    cbEnvironmentMap->setChecked(details.Environment);
    cbClamped->setChecked(details.Clamped);
    cbAnimMap->setChecked(details.AnimMap);
    cbVideoMap->setChecked(details.VideoMap);
    leCull->setText(Q(details.Cull));
}

void TSurfacesTab::ShowPreview(const QPixmap& image) {
    Preview = image;
    FitPreview();
}

void TSurfacesTab::FitPreview() {
    const QSize room = img3DView->size();
    if (Preview.width() > room.width() || Preview.height() > room.height())
        img3DView->setPixmap(Preview.scaled(room, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    else
        img3DView->setPixmap(Preview);
}

bool TSurfacesTab::eventFilter(QObject* watched, QEvent* event) {
    if (watched == img3DView && event->type() == QEvent::Resize)
        FitPreview();
    return QWidget::eventFilter(watched, event);
}

void TSurfacesTab::ShowMarks(const TConnectorMarks& marks) {
    for (const auto& [name, mark] : Marks)
        mark->setVisible(marks.count(name) != 0);
}

int TSurfacesTab::CurrentSurface() const {
    return cbNamesSurfaces->currentIndex();
}

int TSurfacesTab::CurrentStage() const {
    return cbShaderTextures->currentIndex();
}

} // namespace quillon

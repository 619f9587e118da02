#include "MD3EditCommands.h"

#include "Form1.h"
#include "FormatNumbers.h"
#include "MainMenu.h"
#include "SurfacesTab.h"
#include "TagsTab.h"
#include "ViewTab.h"
#include "core/CasePath.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include <cmath>

namespace quillon {

TMD3EditCommands::TMD3EditCommands(TForm1& form) : QObject(&form), Form(form) {}

void TMD3EditCommands::Connect() {
    TMainMenu& menu = *Form.Menu;
    const auto bind = [this, &menu](QAction* action, auto command) {
        connect(action, &QAction::triggered, this,
                [this, command] { Form.RunCommand([this, command] { (this->*command)(); }); });
        menu.MarkAvailable(action);
    };
    bind(menu.actionModelMD3FlipX, &TMD3EditCommands::FlipX);
    bind(menu.actionModelMD3FlipY, &TMD3EditCommands::FlipY);
    bind(menu.actionModelMD3FlipZ, &TMD3EditCommands::FlipZ);
    bind(menu.actionModelMD3FlipNormals, &TMD3EditCommands::FlipNormals);
    bind(menu.actionModelMD3FixCracksGaps, &TMD3EditCommands::FixCracksGaps);
    bind(menu.actionModelMD3SmoothSurface, &TMD3EditCommands::SmoothSurface);
    bind(menu.actionModelMD3Scale, &TMD3EditCommands::Scale);
    bind(menu.actionModelMD3TagAsOrigin, &TMD3EditCommands::TagAsOrigin);
    bind(menu.actionFileAddframe, &TMD3EditCommands::AddFrame);
    bind(menu.actionFileAddframes, &TMD3EditCommands::AddFrames);
    bind(menu.actionFileAddframesequence, &TMD3EditCommands::AddFrameSequence);
    bind(menu.actionModelDeleteframe, &TMD3EditCommands::DeleteFrame);
    const std::pair<QAction*, void (TMD3::*)()> tagAxes[] = {
        {menu.menuModelTagsInvertX, &TMD3::InvertTagAxisX},
        {menu.menuModelTagsInvertY, &TMD3::InvertTagAxisY},
        {menu.menuModelTagsInvertZ, &TMD3::InvertTagAxisZ},
        {menu.menuModelTagsSwapXY, &TMD3::SwapTagAxesXY},
        {menu.menuModelTagsSwapXZ, &TMD3::SwapTagAxesXZ},
        {menu.menuModelTagsSwapYZ, &TMD3::SwapTagAxesYZ},
    };
    for (const auto& [action, operation] : tagAxes) {
        connect(action, &QAction::triggered, this, [this, op = operation] { RunOnTags(op); });
        menu.MarkAvailable(action);
    }
    connect(Form.tabTags->bTagAddManually, &QPushButton::clicked, this,
            [this] { Form.RunCommand([this] { AddTagManually(); }); });
}

TMD3& TMD3EditCommands::Model() const {
    return Form.Instances.MD3;
}

bool TMD3EditCommands::IsMD3() const {
    return Form.State.ModelKind == TModelKind::MD3;
}

bool TMD3EditCommands::HasGeometry() const {
    return IsMD3() && Model().Header.numFrames != 0 && Model().Header.numSurfaces != 0;
}

int TMD3EditCommands::ChosenSurface() const {
    return Form.tabSurfaces->cbNamesSurfaces->currentIndex();
}

void TMD3EditCommands::RunOnGeometry(const std::function<void(TMD3&)>& operation,
                                     const char* status) {
    Form.SetStatus("");
    if (!HasGeometry())
        return;
    operation(Model());
    Form.FillPanels();
    Form.SetStatus(status);
}

void TMD3EditCommands::FlipX() {
    RunOnGeometry([](TMD3& md3) { md3.FlipX(); }, "");
}

void TMD3EditCommands::FlipY() {
    RunOnGeometry([](TMD3& md3) { md3.FlipY(); }, "");
}

void TMD3EditCommands::FlipZ() {
    RunOnGeometry([](TMD3& md3) { md3.FlipZ(); }, "Z-coordinates are flipped..");
}

void TMD3EditCommands::FlipNormals() {
    RunOnGeometry([](TMD3& md3) { md3.FlipNormals(); }, "Normals are flipped..");
}

void TMD3EditCommands::FixCracksGaps() {
    Form.SetStatus("");
    const int surface = ChosenSurface();
    if (!HasGeometry() || surface < 0)
        return;
    const auto text = Form.Dialogs.InputQuery(
        "Enter max. distance", "The maximal distance over which vertices will be weld together",
        "0.15");
    const auto distance = text ? ParseFloat(*text) : std::nullopt;
    if (!distance)
        return;
    const TEditResult result = Model().WeldVertices(surface, std::fabs(*distance));
    if (!result.ok) {
        Form.SetStatus(result.message);
        return;
    }
    Form.FillPanels();
    Form.SetStatus("Surface vertices \"welded\"..");
}

void TMD3EditCommands::SmoothSurface() {
    Form.SetStatus("");
    const int surface = ChosenSurface();
    if (!HasGeometry() || surface < 0)
        return;
    const TEditResult result = Model().SmoothSurface(surface);
    if (!result.ok) {
        Form.SetStatus(result.message);
        return;
    }
    Form.FillPanels();
    Form.SetStatus("Surface smoothed..");
}

void TMD3EditCommands::Scale() {
    Form.SetStatus("");
    if (!IsMD3())
        return;
    const auto text = Form.Dialogs.InputQuery("Enter the scaling factor", "Scaling Factor", "");
    const auto factor = text ? ParseFloat(*text) : std::nullopt;
    if (!factor || *factor == 1.0f)
        return;
    const TEditResult result = Model().Scale(*factor);
    if (!result.ok) {
        Form.SetStatus(result.message);
        return;
    }
    Form.FillPanels();
    Form.ResetAnimationControls();
    Form.ResetView();
    Form.SetStatus("Model scaled by factor " + *text);
}

void TMD3EditCommands::TagAsOrigin() {
    Form.SetStatus("");
    const THeader& h = Model().Header;
    const int pivot = Form.tabView->cbTagPivots->currentIndex();
    if (!IsMD3() || h.numTags < 1 || h.numFrames < 1 || pivot < 0)
        return;
    const std::string entry = Form.tabView->cbTagPivots->currentText().toStdString();
    const TEditResult result = Model().MoveOriginToTag(static_cast<uint32_t>(pivot));
    if (!result.ok) {
        Form.SetStatus(result.message);
        return;
    }
    Form.FillPanels();
    Form.SetStatus("The position of the tag[\"" + entry + "\"] is now the new origin..");
}

void TMD3EditCommands::RunOnTags(void (TMD3::*operation)()) {
    if (IsMD3() && Model().Header.numFrames >= 1)
        (Model().*operation)();
}

void TMD3EditCommands::AddTagManually() {
    Form.SetStatus("");
    if (!IsMD3())
        return;
    TTagsTab& tags = *Form.tabTags;
    const auto x = ParseFloat(tags.leTagOriginX->text().toStdString());
    const auto y = ParseFloat(tags.leTagOriginY->text().toStdString());
    const auto z = ParseFloat(tags.leTagOriginZ->text().toStdString());
    // An animated model is refused before its input is looked at.
    if (Model().Header.numFrames == 1 && !(x && y && z)) {
        Form.SetStatus("Error converting user-input data");
        return;
    }
    const TVector origin = (x && y && z) ? TVector{*x, *y, *z} : TVector{};
    const TEditResult result = Model().AddTagByHand(tags.leTagName->text().toStdString(), origin);
    if (!result.ok) {
        Form.SetStatus(result.message);
        return;
    }
    Form.MarkChanged();
    tags.ClearTagInput();
    Form.FillPanels();
    Form.SetStatus("New tag added");
}

void TMD3EditCommands::FinishFramesAdded(const std::string& status) {
    Form.FillPanels();
    Form.ResetAnimationControls();
    Form.UpdateSkinsShadersTextures();
    Form.MarkChanged();
    Form.SetStatus(status);
}

void TMD3EditCommands::AppendFrames(TEditResult (TMD3::*operation)(const std::string&),
                                    const std::string& statusBefore,
                                    const std::string& statusAfter) {
    Form.SetStatus("");
    TFileDialog& dialog = Form.OpenDialog;
    const std::string remembered = dialog.FileName;
    dialog.FileName.clear();
    if (!Form.Dialogs.Execute(dialog))
        return;
    const std::string path = dialog.FileName;
    const TEditResult result = (Model().*operation)(path);
    if (!result.ok) {
        Form.SetStatus(result.message);
        return;
    }
    dialog.FileName = remembered;
    FinishFramesAdded(statusBefore + FilePart(path) + statusAfter);
}

void TMD3EditCommands::AddFrame() {
    AppendFrames(&TMD3::AddFirstFrameFromFile, "Frame[0] (of ", ") was added to the current model");
}

void TMD3EditCommands::AddFrames() {
    AppendFrames(&TMD3::AddAllFramesFromFile, "All frames (of ",
                 ") were added to the current model");
}

void TMD3EditCommands::AddFrameSequence() {
    Form.SetStatus("");
    TFileDialog& dialog = Form.OpenDialogMD3s;
    if (!Form.Dialogs.Execute(dialog))
        return;
    const size_t count = dialog.Files.size();
    const TEditResult result = Model().AddFirstFramesFromFiles(dialog.Files);
    if (!result.ok) {
        Form.SetStatus(result.message);
        return;
    }
    FinishFramesAdded("Frame[0] (of " + std::to_string(count) +
                      " files) were added to the current model");
}

void TMD3EditCommands::DeleteFrame() {
    Form.SetStatus("");
    const int frame = Form.State.CurrentFrame;
    if (!IsMD3() || Model().Header.numFrames <= 1 || frame < 0)
        return;
    const std::string index = std::to_string(frame);
    if (Form.Dialogs.AskYesNoCancel("Confirmation",
                                    "Are You sure You want to remove the current frame?.. Frame[" +
                                        index + "] ?") != TAnswer::Yes)
        return;
    const TEditResult result = Model().DeleteFrame(static_cast<uint32_t>(frame));
    if (!result.ok) {
        Form.SetStatus(result.message);
        return;
    }
    Form.ResetAnimationControls();
    Form.FillPanels();
    Form.MarkChanged();
    Form.SetStatus("Frame[" + index + "] has been removed");
}

} // namespace quillon

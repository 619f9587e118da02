#include "MD3EditCommands.h"

#include "CommandFrame.h"
#include "FormatNumbers.h"
#include "MainMenu.h"
#include "ModelWindow.h"
#include "TagsTab.h"
#include "core/CasePath.h"

#include <cmath>

namespace quillon {

TMD3EditCommands::TMD3EditCommands(IModelWindow& window, TTagsTab& tags, QObject* parent)
    : QObject(parent), Window(window), Tags(tags) {
    OpenDialogMD3s.Kind = TFileDialog::TKind::OpenMany;
    OpenDialogMD3s.Title = "Select multiple models sequence";
    OpenDialogMD3s.Filter = "Quake 3 models  (.MD3)|*.MD3";
}

void TMD3EditCommands::Connect(TMainMenu& menu) {
    const auto bind = [this, &menu](QAction* action, void (TMD3EditCommands::*command)()) {
        ConnectCommand(Window, menu, action, this, [this, command] { (this->*command)(); });
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
    for (const auto& [action, operation] : tagAxes)
        ConnectCommand(Window, menu, action, this, [this, op = operation] { RunOnTags(op); });
    connect(&Tags, &TTagsTab::addTagClicked, this,
            [this] { Window.RunCommand([this] { AddTagManually(); }); });
}

TMD3& TMD3EditCommands::Model() const {
    return Window.Instances().MD3;
}

bool TMD3EditCommands::IsMD3() const {
    return Window.ModelKind() == TModelKind::MD3;
}

bool TMD3EditCommands::HasGeometry() const {
    return IsMD3() && Model().Header.numFrames != 0 && Model().Header.numSurfaces != 0;
}

void TMD3EditCommands::RunOnGeometry(const std::function<void(TMD3&)>& operation,
                                     const char* status) {
    Window.SetStatus("");
    if (!HasGeometry())
        return;
    operation(Model());
    Window.FillPanels();
    Window.SetStatus(status);
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
    Window.SetStatus("");
    const int surface = Window.ChosenSurface();
    if (!HasGeometry() || surface < 0)
        return;
    const auto text = Window.Dialogs().InputQuery(
        "Enter max. distance", "The maximal distance over which vertices will be weld together",
        "0.15");
    const auto distance = text ? ParseFloat(*text) : std::nullopt;
    if (!distance)
        return;
    const TEditResult result = Model().WeldVertices(surface, std::fabs(*distance));
    if (!result.ok) {
        Window.SetStatus(result.message);
        return;
    }
    Window.FillPanels();
    Window.SetStatus("Surface vertices \"welded\"..");
}

void TMD3EditCommands::SmoothSurface() {
    Window.SetStatus("");
    const int surface = Window.ChosenSurface();
    if (!HasGeometry() || surface < 0)
        return;
    const TEditResult result = Model().SmoothSurface(surface);
    if (!result.ok) {
        Window.SetStatus(result.message);
        return;
    }
    Window.FillPanels();
    Window.SetStatus("Surface smoothed..");
}

void TMD3EditCommands::Scale() {
    Window.SetStatus("");
    if (!IsMD3())
        return;
    const auto text = Window.Dialogs().InputQuery("Enter the scaling factor", "Scaling Factor", "");
    const auto factor = text ? ParseFloat(*text) : std::nullopt;
    if (!factor || *factor == 1.0f)
        return;
    const TEditResult result = Model().Scale(*factor);
    if (!result.ok) {
        Window.SetStatus(result.message);
        return;
    }
    Window.FillPanels();
    Window.ResetAnimationControls();
    Window.ResetView();
    Window.SetStatus("Model scaled by factor " + *text);
}

void TMD3EditCommands::TagAsOrigin() {
    Window.SetStatus("");
    const THeader& h = Model().Header;
    const int pivot = Window.ChosenPivot();
    if (!IsMD3() || h.numTags < 1 || h.numFrames < 1 || pivot < 0)
        return;
    const std::string entry = Window.ChosenPivotName();
    const TEditResult result = Model().MoveOriginToTag(static_cast<uint32_t>(pivot));
    if (!result.ok) {
        Window.SetStatus(result.message);
        return;
    }
    Window.FillPanels();
    Window.SetStatus("The position of the tag[\"" + entry + "\"] is now the new origin..");
}

void TMD3EditCommands::RunOnTags(void (TMD3::*operation)()) {
    if (IsMD3() && Model().Header.numFrames >= 1)
        (Model().*operation)();
}

void TMD3EditCommands::AddTagManually() {
    Window.SetStatus("");
    if (!IsMD3())
        return;
    const TTypedTag typed = Tags.TypedTag();
    const auto x = ParseFloat(typed.X);
    const auto y = ParseFloat(typed.Y);
    const auto z = ParseFloat(typed.Z);
    // An animated model is refused before its input is looked at.
    if (Model().Header.numFrames == 1 && !(x && y && z)) {
        Window.SetStatus("Error converting user-input data");
        return;
    }
    const TVector origin = (x && y && z) ? TVector{*x, *y, *z} : TVector{};
    const TEditResult result = Model().AddTagByHand(typed.Name, origin);
    if (!result.ok) {
        Window.SetStatus(result.message);
        return;
    }
    Window.MarkChanged();
    Tags.ClearTagInput();
    Window.FillPanels();
    Window.SetStatus("New tag added");
}

void TMD3EditCommands::FinishFramesAdded(const std::string& status) {
    Window.FillPanels();
    Window.ResetAnimationControls();
    Window.UpdateSkinsShadersTextures();
    Window.MarkChanged();
    Window.SetStatus(status);
}

void TMD3EditCommands::AppendFrames(TEditResult (TMD3::*operation)(const std::string&),
                                    const std::string& statusBefore,
                                    const std::string& statusAfter) {
    Window.SetStatus("");
    TFileDialog& dialog = Window.ModelOpenDialog();
    const std::string remembered = dialog.FileName;
    dialog.FileName.clear();
    if (!Window.Dialogs().Execute(dialog))
        return;
    const std::string path = dialog.FileName;
    const TEditResult result = (Model().*operation)(path);
    if (!result.ok) {
        Window.SetStatus(result.message);
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
    Window.SetStatus("");
    if (!Window.Dialogs().Execute(OpenDialogMD3s))
        return;
    const size_t count = OpenDialogMD3s.Files.size();
    const TEditResult result = Model().AddFirstFramesFromFiles(OpenDialogMD3s.Files);
    if (!result.ok) {
        Window.SetStatus(result.message);
        return;
    }
    FinishFramesAdded("Frame[0] (of " + std::to_string(count) +
                      " files) were added to the current model");
}

void TMD3EditCommands::DeleteFrame() {
    Window.SetStatus("");
    const int frame = Window.CurrentFrame();
    if (!IsMD3() || Model().Header.numFrames <= 1 || frame < 0)
        return;
    const std::string index = std::to_string(frame);
    if (Window.Dialogs().AskYesNoCancel(
            "Confirmation", "Are You sure You want to remove the current frame?.. Frame[" + index +
                                "] ?") != TAnswer::Yes)
        return;
    const TEditResult result = Model().DeleteFrame(static_cast<uint32_t>(frame));
    if (!result.ok) {
        Window.SetStatus(result.message);
        return;
    }
    Window.ResetAnimationControls();
    Window.FillPanels();
    Window.MarkChanged();
    Window.SetStatus("Frame[" + index + "] has been removed");
}

} // namespace quillon

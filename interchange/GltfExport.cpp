#include "GltfExport.h"

#include "AnimationClips.h"
#include "GltfBuilder.h"
#include "MD3Export.h"
#include "MS3DExport.h"
#include "MaterialTable.h"
#include "SkeletalExport.h"
#include "core/CasePath.h"
#include "gamedata/ScriptText.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <thread>

namespace quillon {

namespace {

int FrameCount(const TExportModel& model) {
    if (model.MD3)
        return int(model.MD3->Header.Frames.size());
    if (model.MDX)
        return int(std::min<uint64_t>(model.MDX->Frames.size(), model.MDX->Header.numFrames));
    return 1;
}

std::optional<std::string> ModelProblem(const TExportModel& model) {
    const int kinds = (model.MD3 != nullptr) + (model.MDM != nullptr || model.MDX != nullptr) +
                      (model.MS3D != nullptr);
    if (kinds != 1 || (model.MDM != nullptr) != (model.MDX != nullptr))
        return "the export needs one model: an MD3, an MDM with its MDX, or a MilkShape model";
    if (model.MD3)
        return MD3ExportProblem(*model.MD3);
    if (model.MS3D)
        return MS3DExportProblem(*model.MS3D);
    return std::nullopt;
}

std::optional<std::string> OptionsProblem(const TExportOptions& options) {
    if (!std::isfinite(options.FramesPerSecond) || options.FramesPerSecond <= 0)
        return "the frame rate must be a positive number";
    if (!std::isfinite(options.Scale) || options.Scale <= 0)
        return "the scale must be a positive number";
    return std::nullopt;
}

// The frames to export, or why the options' range does not fit the model.
std::optional<std::string> ChooseFrames(const TExportModel& model, const TExportOptions& options,
                                        TFrameRange& frames) {
    const int count = FrameCount(model);
    if (count == 0)
        return std::string("the model has no frames");
    frames = options.AllFrames ? TFrameRange{0, count - 1} : options.Frames;
    if (frames.First < 0 || frames.Last < frames.First || frames.Last >= count)
        return "frames " + std::to_string(frames.First) + " to " + std::to_string(frames.Last) +
               " are not within the model's " + std::to_string(count) + " frames (0 to " +
               std::to_string(count - 1) + ")";
    return std::nullopt;
}

TExportResult Failure(TExportFailure kind, std::string error) {
    TExportResult result;
    result.Failure = kind;
    result.Error = std::move(error);
    return result;
}

} // namespace

bool GltfFormatOfPath(const std::string& path, bool& binary) {
    const std::string extension = ExtensionOf(path);
    binary = EqualsIgnoringCase(extension, ".glb");
    return binary || EqualsIgnoringCase(extension, ".gltf");
}

TExportResult ExportGltf(const TExportModel& model, const TExportOptions& options,
                         const std::string& path) {
    bool binary = true;
    if (!GltfFormatOfPath(path, binary))
        return Failure(TExportFailure::Options, "the output file must end in .glb or .gltf");
    TExportPlan plan;
    if (auto problem = ModelProblem(model))
        return Failure(TExportFailure::Model, *problem);
    if (auto problem = OptionsProblem(options))
        return Failure(TExportFailure::Options, *problem);
    if (auto problem = ChooseFrames(model, options, plan.Frames))
        return Failure(FrameCount(model) == 0 ? TExportFailure::Model : TExportFailure::Options,
                       *problem);
    if (model.MD3)
        if (auto problem = MD3SizeProblem(*model.MD3, plan.Frames))
            return Failure(TExportFailure::Model, *problem);
    for (const TAnimationClip& clip : model.Clips)
        if (clip.Frames.First < plan.Frames.First || clip.Frames.Last > plan.Frames.Last ||
            clip.Frames.Count() < 1)
            return Failure(TExportFailure::Options,
                           "the animation " + clip.Name + " lies outside the exported frames");
    plan.Scale = options.Scale;
    plan.Threads =
        options.Threads > 0 ? options.Threads : std::max(1u, std::thread::hardware_concurrency());

    TExportResult result;
    TExportSummary& summary = result.Summary;
    if (model.MD3 && !model.Clips.empty())
        plan.Clips = model.Clips;
    else if (!model.MS3D)
        plan.Clips = AnimationClips("all frames", plan.Frames, options.FramesPerSecond,
                                    model.MDX ? model.Script : nullptr, summary.Warnings);
    const std::string fileName = FilePart(path);
    TGltfBuilder builder(binary ? TGltfFormat::Binary : TGltfFormat::Text,
                         WithoutExtension(fileName));
    TMaterialTable table(builder, summary.Warnings);
    std::vector<int> roots;
    if (model.MD3) {
        roots = AddMD3(builder, *model.MD3, plan, model.Materials, table, summary);
    } else if (model.MS3D) {
        roots = AddMS3D(builder, *model.MS3D, plan.Scale, model.Materials, table, summary);
    } else {
        TSkeletalNodes nodes = AddSkeletal(builder, *model.MDM, *model.MDX, plan, options.Skeletal,
                                           model.Materials, table, summary);
        if (nodes.Error)
            return Failure(TExportFailure::Model, *nodes.Error);
        roots = std::move(nodes.Roots);
    }
    summary.TexturesEmbedded = table.TexturesEmbedded();
    if (builder.BufferSize() > MaxGltfBufferBytes)
        return Failure(TExportFailure::Model,
                       "the model's data would pass the 4 GB a glTF file can hold");

    tinygltf::Scene scene;
    scene.name = model.Name;
    scene.nodes = roots;
    // A model of one frame has no animation to keep the frame's name in its extras.
    if (model.MD3 && plan.Frames.Count() == 1) {
        tinygltf::Value::Object extras;
        extras["frames"] = tinygltf::Value(tinygltf::Value::Array{
            tinygltf::Value(NameToString(model.MD3->Header.Frames[plan.Frames.First].name))});
        scene.extras = tinygltf::Value(extras);
    }
    builder.Document().scenes.push_back(std::move(scene));
    builder.Document().defaultScene = 0;
    const std::vector<TOutputFile> files = builder.Finish(fileName);
    const std::string folder = FolderPart(path);
    if (!WriteOutputFiles(folder, files))
        return Failure(TExportFailure::Write, path + ": could not write the whole file");
    for (const TOutputFile& file : files)
        summary.Files.push_back(folder + file.Name);
    return result;
}

} // namespace quillon

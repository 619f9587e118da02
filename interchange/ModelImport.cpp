#include "ModelImport.h"

#include "GltfDocument.h"
#include "GltfExport.h"
#include "GltfImportSource.h"
#include "MD3Assembly.h"
#include "MS3DImportSource.h"
#include "core/CasePath.h"
#include "gamedata/ScriptText.h"

#include <cmath>
#include <optional>

namespace quillon {

namespace {

std::optional<std::string> OptionsProblem(const TImportOptions& options) {
    if (!std::isfinite(options.Scale) || options.Scale <= 0)
        return "the scale must be a positive number";
    if (!std::isfinite(options.FramesPerSecond) || options.FramesPerSecond <= 0)
        return "the frame rate must be a positive number";
    if (options.AllAnimations && !options.Animation.empty())
        return "choose one animation or all of them, not both";
    return std::nullopt;
}

TImportResult Assemble(IImportSource& source, const TImportOptions& options,
                       const std::string& name, std::vector<std::string> warnings,
                       std::vector<TImportedClip> clips, TMD3& md3) {
    TImportResult result = AssembleMD3(source, options, name, md3);
    if (!result.Ok())
        return result;
    warnings.insert(warnings.end(), result.Summary.Warnings.begin(), result.Summary.Warnings.end());
    result.Summary.Warnings = std::move(warnings);
    result.Summary.Clips = std::move(clips);
    return result;
}

TImportResult ImportGltfDocument(const TGltfDocument& document, const TImportOptions& options,
                                 const std::string& name, TMD3& md3) {
    std::vector<std::string> warnings = document.Warnings;
    TGltfImportSource source;
    if (!source.Build(document.Model, options, warnings))
        return TImportResult::Failed(source.Failure(), source.Error());
    return Assemble(source, options, name, std::move(warnings), source.Clips(), md3);
}

TImportResult ImportMS3D(const std::string& path, const TImportOptions& options, TMD3& md3) {
    TMS3D model;
    if (!model.LoadFromFile(path))
        return TImportResult::Failed(TImportFailure::Input,
                                     "not a valid MilkShape 3D file: " + model.LastError());
    std::vector<std::string> warnings;
    TMS3DImportSource source;
    if (!source.Build(model, options, warnings))
        return TImportResult::Failed(TImportFailure::Input, source.Error());
    return Assemble(source, options, WithoutExtension(FilePart(path)), std::move(warnings),
                    source.Clips(), md3);
}

} // namespace

bool IsImportPath(const std::string& path) {
    bool binary;
    return GltfFormatOfPath(path, binary) || EqualsIgnoringCase(ExtensionOf(path), ".ms3d");
}

TImportResult ImportModel(const std::string& path, const TImportOptions& options, TMD3& md3) {
    md3.Clear();
    if (auto problem = OptionsProblem(options))
        return TImportResult::Failed(TImportFailure::Options, *problem);
    bool binary;
    if (EqualsIgnoringCase(ExtensionOf(path), ".ms3d"))
        return ImportMS3D(path, options, md3);
    if (!GltfFormatOfPath(path, binary))
        return TImportResult::Failed(TImportFailure::Options,
                                     "the import reads .gltf, .glb and .ms3d files");
    TGltfDocument document;
    std::string error;
    if (!LoadGltfDocument(path, document, error))
        return TImportResult::Failed(TImportFailure::Input, error);
    return ImportGltfDocument(document, options, WithoutExtension(FilePart(path)), md3);
}

TImportResult ImportGltfFromMemory(std::span<const uint8_t> bytes, bool binary,
                                   const std::string& folder, const TImportOptions& options,
                                   TMD3& md3) {
    md3.Clear();
    if (auto problem = OptionsProblem(options))
        return TImportResult::Failed(TImportFailure::Options, *problem);
    TGltfDocument document;
    std::string error;
    if (!LoadGltfDocumentFromMemory(bytes, binary, folder, document, error))
        return TImportResult::Failed(TImportFailure::Input, error);
    return ImportGltfDocument(document, options, "model", md3);
}

} // namespace quillon

// Export to glTF 2.0: a model as Quillon holds it (an MD3, an MDM with its MDX and animation
// script, or a MilkShape model) written as a binary .glb or as a .gltf with its .bin and images
// beside it, in glTF's Y-up axes. Nothing is written when the export fails.
//
// The window's "Export glTF..." makes one call:
//   ExportGltf({.MD3 = &md3, .Name = caption, .Materials = SurfaceMaterials(model, shaders, skin)},
//              options, path)
// (or .MDM, .MDX and .Script for a skeletal model), after the update of skins, shaders and
// textures has resolved the surfaces.
#pragma once

#include "ExportSettings.h"
#include "SurfaceMaterials.h"
#include "core/MD3.h"
#include "skeletal/AnimationScript.h"
#include "skeletal/MDM.h"
#include "skeletal/MDX.h"
#include "skeletal/MS3D.h"

#include <string>
#include <vector>

namespace quillon {

// Exactly one of MD3, the MDM and MDX pair, or MS3D is set.
struct TExportModel {
    const TMD3* MD3 = nullptr;
    const TMDM* MDM = nullptr;
    const TMDX* MDX = nullptr;
    const TANINC* Script = nullptr; // optional, for a skeletal model
    const TMS3D* MS3D = nullptr;
    std::string Name;                        // the scene's name
    std::vector<TSurfaceMaterial> Materials; // per surface of an MD3 or MDM; per group of an MS3D
    // Named animations of an MD3's frames (a joined player's legs and torso pairs); when given,
    // they replace the one over every frame. Each must lie within the exported frames.
    std::vector<TAnimationClip> Clips;
};

enum class TExportFailure {
    None,
    Options, // the output name, frame range, rate or scale do not fit the model
    Model,   // the model cannot be exported as it stands
    Write,   // writing a file failed
};

struct TExportResult {
    TExportFailure Failure = TExportFailure::None;
    std::string Error; // why nothing was written
    TExportSummary Summary;
    bool Ok() const { return Failure == TExportFailure::None; }
};

// Throws FileError when an output file cannot be created; every other failure is a result with
// the reason.
TExportResult ExportGltf(const TExportModel& model, const TExportOptions& options,
                         const std::string& path);

// The format a path asks for by its extension (.glb or .gltf, any letter case); false for
// another extension.
bool GltfFormatOfPath(const std::string& path, bool& binary);

} // namespace quillon

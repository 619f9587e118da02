// An MD3 model in the glTF document: one mesh per surface (named after it) whose first exported
// frame is the base shape and every later frame a morph target (position and normal
// differences), one node per tag (named after it) moved by translation and rotation per frame,
// and one animation per clip that steps the morph weights and the tags through its frames.
// The game's triangles are clockwise seen from the front and glTF's counter-clockwise, so
// every triangle is written in reverse order.
#pragma once

#include "ExportSettings.h"
#include "GltfBuilder.h"
#include "MaterialTable.h"
#include "core/MD3.h"

#include <optional>
#include <string>
#include <vector>

namespace quillon {

// Why the model cannot be exported as it stands (a triangle naming a vertex the surface does not
// have, arrays shorter than the counts say); nothing when it can.
std::optional<std::string> MD3ExportProblem(const TMD3& md3);

// Why the frames would make a document too large for glTF's 4 GB; nothing when they fit. Checked
// before anything is built, so a huge model is refused without taking the memory first.
std::optional<std::string> MD3SizeProblem(const TMD3& md3, const TFrameRange& frames);

// Adds the model's nodes, meshes and animations; returns the nodes to place in the scene.
// `materials` holds one entry per surface (fewer: the rest get none). Surfaces without vertices
// or triangles are left out with a warning.
std::vector<int> AddMD3(TGltfBuilder& builder, const TMD3& md3, const TExportPlan& plan,
                        const std::vector<TSurfaceMaterial>& materials, TMaterialTable& table,
                        TExportSummary& summary);

} // namespace quillon

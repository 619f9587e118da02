// A MilkShape model in the glTF document: one mesh per group, named after it, with the
// material's texture. MilkShape already works with Y up and counter-clockwise front faces, as
// glTF does, so positions and triangles are taken as they are. The model is written in the pose
// its vertices are stored in; its joints and their key frames are not carried over.
#pragma once

#include "ExportSettings.h"
#include "GltfBuilder.h"
#include "MaterialTable.h"
#include "skeletal/MS3D.h"

#include <optional>
#include <string>
#include <vector>

namespace quillon {

// Why the model cannot be exported (a group naming a missing triangle, a triangle naming a
// missing vertex); nothing when it can.
std::optional<std::string> MS3DExportProblem(const TMS3D& model);

// One material per group: the group's material name and its texture, looked for (ignoring
// letter case) relative to `folder`, then as a file name in it.
std::vector<TSurfaceMaterial> MS3DMaterials(const TMS3D& model, const std::string& folder);

// Adds the model's nodes and meshes; returns the nodes to place in the scene. Groups without
// triangles are left out with a warning.
std::vector<int> AddMS3D(TGltfBuilder& builder, const TMS3D& model, double scale,
                         const std::vector<TSurfaceMaterial>& materials, TMaterialTable& table,
                         TExportSummary& summary);

} // namespace quillon

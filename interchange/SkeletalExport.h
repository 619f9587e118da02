// An MDM mesh with its MDX animation in the glTF document: as a skin (joints named after the
// bones, the bind pose at the first exported frame, every frame as joint samples, tags as nodes
// on their bones) when the skin follows posing within 1/64 unit on every frame and vertex, and
// otherwise, or by choice, as the posed frames baked into morph targets.
#pragma once

#include "ExportSettings.h"
#include "GltfBuilder.h"
#include "MaterialTable.h"
#include "skeletal/MDM.h"
#include "skeletal/MDX.h"

#include <optional>
#include <string>
#include <vector>

namespace quillon {

// Adds the model; returns the nodes to place in the scene, or the reason it cannot be exported
// (then nothing was added). Says in the summary (and a warning, when it was not chosen) when the
// model went out as morph targets.
struct TSkeletalNodes {
    std::vector<int> Roots;
    std::optional<std::string> Error;
};
TSkeletalNodes AddSkeletal(TGltfBuilder& builder, const TMDM& mesh, const TMDX& animation,
                           const TExportPlan& plan, TSkeletalMode mode,
                           const std::vector<TSurfaceMaterial>& materials, TMaterialTable& table,
                           TExportSummary& summary);

} // namespace quillon

// The motion of an export: per exported frame, the translation, rotation and scale of moving
// nodes (tags, joints) and, for morph-target meshes, weights that pick one frame's target. The
// samples of every frame are written once; each clip's animation reads its part of them through
// accessors that share the data. Between frames glTF interpolates linearly, as the game does.
#pragma once

#include "ExportSettings.h"
#include "GltfBuilder.h"
#include "GltfTransform.h"

#include <string>
#include <vector>

namespace quillon {

// A node's transform at every exported frame.
struct TNodeTrack {
    int Node = -1;
    std::vector<TTrs> Frames;
};

// Meshes whose morph target k is exported frame k + 1 (frame 0 is the base shape).
struct TMorphTrack {
    std::vector<int> Nodes;
    int Targets = 0;
};

// Gives each tracked node its first frame's transform as its resting one, then adds one
// animation per clip of the plan; nothing is animated when only one frame is exported.
// `frameNames`, when not empty, holds one name per exported frame and is kept in the extras of
// each animation. Returns the number of animations added.
int AddAnimations(TGltfBuilder& builder, const TExportPlan& plan,
                  const std::vector<TNodeTrack>& nodes, const TMorphTrack& morph,
                  const std::vector<std::string>& frameNames);

// Sets a node's translation, rotation and scale, leaving out parts that are the identity.
void SetNodeTransform(tinygltf::Node& node, const TTrs& trs);

} // namespace quillon

// A skeletal model as a glTF skin. Posing places each bone of a frame by a rotation and a
// position; in glTF's axes that is a rigid map J (a proper rotation and a translation), and a
// weight's offset o, scaled, is the point the map carries to where posing puts that weight:
// posed = J(scale * o). Each bone becomes a joint whose local transform per frame is J of its
// parent undone, then J of its own. The bind pose is the first exported frame: a vertex's bind
// position is its weighted posed position there, and a joint's inverse bind matrix undoes its
// map at that frame, so glTF's skinning sum(w * J(f) * inverse(J(bind)) * bind position) gives
// back sum(w * J(f)(scale * o)) = posing, exactly when every weight of a vertex agrees on where
// the vertex is at the bind frame. SkinCheck.h measures how far a model is from that.
#pragma once

#include "ExportSettings.h"
#include "GltfMesh.h"
#include "GltfTransform.h"
#include "skeletal/MDM.h"
#include "skeletal/MDX.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace quillon {

inline constexpr int MaxInfluences = 4;

struct TJointSamples {
    std::string Name;
    int Parent = -1;            // -1: a root, placed below the skeleton's node
    std::vector<TTrs> Local;    // per exported frame, as written (rounded to float)
    std::vector<TAffine> World; // per exported frame, composed from Local as a viewer would
    std::vector<TAffine> Posed; // per exported frame, the map posing applies (the truth)
};

// One weight of a vertex as posing uses it: several weights on one bone merged into one.
struct TPosedWeight {
    int Joint = 0;
    double Weight = 0;
    TVec3d Offset; // scale * offset, in the joint's space
};

struct TSkinnedVertex {
    std::vector<TPosedWeight> Posed; // every weight posing uses
    int Kept = 0;                    // how many of them (the largest) the skin keeps
    bool Skinnable = true;           // false: no positive weight to keep
};

struct TSkinnedSurface {
    int Surface = 0; // index in the mesh
    TMeshData Mesh;  // bind positions, joints and renormalised weights as written
    std::vector<TSkinnedVertex> Vertices;
};

struct TSkinTag {
    std::string Name;
    int Joint = -1; // -1: the tag's bone is missing and it hangs below the skeleton's node
    TTrs Local;
};

struct TSkinData {
    std::vector<TJointSamples> Joints;
    std::vector<std::array<float, 16>> InverseBind; // per joint, column-major, as written
    std::vector<TSkinnedSurface> Surfaces;
    std::vector<TSkinTag> Tags;
    int TrimmedVertices = 0;
};

// Why the pair cannot be exported (frames without a record for every bone, triangles naming
// missing vertices, more joints than glTF's indices hold); nothing when it can.
std::optional<std::string> SkeletalExportProblem(const TMDM& mesh, const TMDX& animation,
                                                 const TFrameRange& frames);

// Poses every exported frame (on a copy of the mesh) and binds the surfaces at the first one.
// Surfaces without vertices or triangles are left out.
TSkinData BindSkin(const TMDM& mesh, const TMDX& animation, const TExportPlan& plan);

} // namespace quillon

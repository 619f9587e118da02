// Posing a skeletal model: for one frame of an animation, place and rotate every bone, then
// compute the vertices and normals of one surface and every tag from their bone weights. The
// results go into the mesh object (TMDM's posing fields); drawing, LOD and the bake all use it.
#pragma once

#include "MDM.h"
#include "MDX.h"

#include "core/Lanes.h"

namespace quillon {

// Does nothing at all when `frame` is not a frame of the animation. Bones and tags are posed
// for every call; the vertex results are sized to the surface's vertices (none when `surface`
// is not a surface of the mesh). References to bones the animation lacks never read outside
// it: such a weight is skipped and such a tag sits at the origin; a bone whose parent does not
// come before it is treated as a root.
void Pose(TMDM& mesh, const TMDX& animation, int frame, int surface);

// Pose in two halves, for a caller that poses several surfaces of one frame and wants the bones
// placed only once. PoseSkeleton places the bones and tags (false, and nothing changed, for a
// frame outside the animation); PoseSurface then poses one surface from those bones. Together
// they leave exactly what Pose leaves.
bool PoseSkeleton(TMDM& mesh, const TMDX& animation, int frame);
void PoseSurface(TMDM& mesh, int surface);

// A placed bone as posing's weighted sums read it (see Pose.cpp).
struct TBoneLanes {
    TFloat8 rows[4];
    TFloat8 position;
};

// The posing results of TMDM, held apart from the mesh, for callers that pose one mesh on several
// threads at once: each thread poses into its own and the mesh is only read. BoneLanes holds the
// placed bones once more, laid out for the sums, so that every surface of a frame reads them.
struct TPoseResults {
    std::vector<TVector> BonePositions;
    std::vector<TMatrix> BoneRotations;
    std::vector<TMatrix> BoneInverseRotations;
    std::vector<TVector> PosedPositions;
    std::vector<TVector> PosedNormals;
    std::vector<TVector> TagPositions;
    std::vector<std::array<TVector, 3>> TagAxes;
    std::vector<TBoneLanes> BoneLanes;
};

// The two halves above with the results going to `results`; the values are the same bit for bit.
bool PoseSkeleton(const TMDM& mesh, const TMDX& animation, int frame, TPoseResults& results);
void PoseSurface(const TMDM& mesh, int surface, TPoseResults& results);

// A surface's normals and weights gathered into single arrays, for posing it in frame after
// frame as the bake does: posing then sweeps through memory in order instead of visiting each
// vertex's own array of weights. It copies the surface and refers to nothing of it.
struct TPackedSurface {
    explicit TPackedSurface(const TMDMSurface& surface);

    std::vector<TVector> Normals;
    // The weights of vertex v are Weights[FirstWeights[v]] up to Weights[FirstWeights[v + 1]].
    std::vector<uint32_t> FirstWeights;
    std::vector<TMDMWeight> Weights;
};

// PoseSurface for the surface `surface` was packed from, from the bones placed in `results`:
// the same values bit for bit.
void PoseSurface(const TPackedSurface& surface, TPoseResults& results);
// The same for two frames at once, each from the bones placed in its own results: the values of
// posing each on its own, in less time than both (each weight is read and spread over the lanes
// once for the two, and their independent sums keep the processor busier).
void PoseSurface(const TPackedSurface& surface, TPoseResults& first, TPoseResults& second);

// The bone rotation of posing for one bone frame record: RotX(roll) * RotY(-pitch) * RotZ(yaw).
TMatrix BoneRotation(const TMDXBoneFrame& bone);
// The offset of a bone from its parent: `parentDist` along the direction given by ofsAngles.
TVector BoneOffsetFromParent(const TMDXBoneFrame& bone, float parentDist);

} // namespace quillon

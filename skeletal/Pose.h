// Posing a skeletal model: for one frame of an animation, place and rotate every bone, then
// compute the vertices and normals of one surface and every tag from their bone weights. The
// results go into the mesh object (TMDM's posing fields); drawing, LOD and the bake all use it.
#pragma once

#include "MDM.h"
#include "MDX.h"

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

// The posing results of TMDM, held apart from the mesh, for callers that pose one mesh on several
// threads at once: each thread poses into its own and the mesh is only read.
struct TPoseResults {
    std::vector<TVector> BonePositions;
    std::vector<TMatrix> BoneRotations;
    std::vector<TMatrix> BoneInverseRotations;
    std::vector<TVector> PosedPositions;
    std::vector<TVector> PosedNormals;
    std::vector<TVector> TagPositions;
    std::vector<std::array<TVector, 3>> TagAxes;
};

// The two halves above with the results going to `results`; the values are the same bit for bit.
bool PoseSkeleton(const TMDM& mesh, const TMDX& animation, int frame, TPoseResults& results);
void PoseSurface(const TMDM& mesh, int surface, TPoseResults& results);

// The bone rotation of posing for one bone frame record: RotX(roll) * RotY(-pitch) * RotZ(yaw).
TMatrix BoneRotation(const TMDXBoneFrame& bone);
// The offset of a bone from its parent: `parentDist` along the direction given by ofsAngles.
TVector BoneOffsetFromParent(const TMDXBoneFrame& bone, float parentDist);

} // namespace quillon

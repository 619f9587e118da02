// Builds skeletal models and raw skeletal files for tests, benchmarks and fuzz seeds: MDM meshes,
// MDX animations, MDS and MS3D files with deterministic contents, and MDM files whose surfaces
// and tags are stored with gaps between them.
#pragma once

#include "skeletal/MDM.h"
#include "skeletal/MDS.h"
#include "skeletal/MDX.h"
#include "skeletal/MS3D.h"

#include <string>
#include <vector>

namespace quillon::test {

struct MDMShape {
    int surfaces = 2;
    int vertsPerSurface = 4;
    int weightsPerVertex = 2;
    int trianglesPerSurface = 2;
    int boneRefsPerSurface = 3;
    int tags = 2;
    int bones = 4; // weights and tags name bones 0 .. bones - 1
};

TMDM BuildMDM(const MDMShape& shape);

// A chain of bones (bone i hangs on bone i - 1) whose angles vary with frame and bone.
TMDX BuildMDX(int frames, int bones);

// A mesh on `animation` whose weights agree: at `bindFrame` every weight of a vertex poses to
// the same place, as a modelling suite's export leaves them. Vertex v of surface s lies on a
// lopsided ellipsoid around the bones, and hangs on `shape.weightsPerVertex` bones with
// unequal weights that sum to one. Tags hang on bones 0, 1, ... with turned axes.
TMDM BuildBoundMDM(const MDMShape& shape, const TMDX& animation, int bindFrame);
// The bytes of an MDM file for `mesh`; with `gaps`, padding lies between the header, the
// surfaces, the blocks inside each surface and the tags, and the blocks of a surface are stored
// in reverse order.
std::vector<char> MDMFileBytes(const TMDM& mesh, bool gaps);

// An MDS model with `bones` bones of which those listed in `tagBones` carry flags, one tag
// record per tag bone, and surfaces whose weights name every bone in turn.
TMDS BuildMDS(int frames, int bones, const std::vector<int>& tagBones, int surfaces = 1);
std::vector<char> MDSFileBytes(const TMDS& mds);

TMS3D BuildMS3D(int vertices, int groups, int joints);
std::vector<char> MS3DFileBytes(const TMS3D& model);

} // namespace quillon::test

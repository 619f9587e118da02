// Level-of-detail data for an MDM mesh. Each surface is posed in one animation frame, reduced
// by the collapse map, and stored back with its vertices renumbered so that the vertex removed
// last is vertex 0: the first n vertices of a surface, with higher indices followed through
// its collapse map, are then the surface reduced to n vertices, which is how the game draws it
// at a distance. The surface's LOD minimum is the vertex count at which only its border was
// left; below that the outline would start to cave in.
#pragma once

#include "CollapseMap.h"

#include <cstdint>
#include <string>
#include <vector>

namespace quillon {

class TMDM;
class TMDX;

// The frames the window poses a mesh in for the calculation: for an MDM with its MDX, and for
// a model converted from MDS.
inline constexpr int LodFrameMDM = 4274;
inline constexpr int LodFrameMDS = 3812;

// What CalculateLOD did, for the caller to show: the window in its status text, the command
// line on stderr.
struct TLodReport {
    bool Calculated = false; // false: the mesh was left unchanged
    int Frame = 0;           // the frame the surfaces were posed in
    std::vector<std::string> Messages;
};

// Computes the collapse map, minLod, LOD table entry and vertex order of every surface posed
// in `frame`, and sets lodScale 1 and lodBias 0. An animation without that frame is posed in
// frame 0 instead; one without frames changes nothing. Surfaces beyond the collapse map's
// slots keep their data.
TLodReport CalculateLOD(TCollapseMap& map, TMDM& mesh, const TMDX& animation, int frame);

// Stores the surface's vertices in the order the slot of the same number computed and
// renumbers its triangles (an index naming no vertex is kept as it is). False, with the
// surface unchanged, when that slot was not computed for this many vertices.
[[nodiscard]] bool Reorder(const TCollapseMap& map, TMDM& mesh, int surface);

// The vertex that `index` becomes when the surface is drawn with its first n vertices: the
// surface's collapse map is followed until the index is below n. A chain that cannot go on
// (an index outside the map, or an entry not below its own index, as a damaged file may hold)
// ends at vertex 0; so do a negative index, a surface that does not exist and any n <= 0.
int32_t Map(const TMDM& mesh, int surface, int32_t index, int32_t n);

} // namespace quillon

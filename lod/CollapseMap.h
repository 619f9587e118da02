// Progressive meshes for the skeletal surfaces. BuildCollapseMap removes a surface's vertices
// one edge collapse at a time and records the order: the permutation renumbers the vertices so
// the one removed last is 0, and the collapse map tells each vertex which lower-numbered vertex
// it merges into. Drawing the first n vertices, with every higher index followed through the
// map, gives the surface reduced to n vertices (LodCalculation.h applies this to MDM meshes).
// One slot per surface keeps the results of a whole mesh side by side.
#pragma once

#include "CollapseMesh.h"

#include "core/VectorMath.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace quillon {

using TVectorArray = std::vector<TVector>;
using TTriDataArray = std::vector<TTriData>;
using TIntArray = std::vector<int32_t>;

// The input and results of one surface's computation.
struct TCollapseSlot {
    TVectorArray Positions;
    TTriDataArray Triangles;
    TIntArray Permutation; // old vertex number -> new number
    TIntArray CollapseMap; // new number -> the new number it merges into
    // Vertices left when only boundary vertices remained; 0 when that never happened.
    int32_t BoundaryCount = 0;
    // Triangles naming a vertex that does not exist; they took no part in the reduction.
    int32_t InvalidTriangles = 0;
};

class TCollapseMap {
public:
    static constexpr int SlotCount = 32;

    // Copies the input into the slot and reduces it. False, with the slot untouched, for a
    // slot outside 0 to SlotCount - 1 or more vertices or triangles than an int32 index can
    // name.
    [[nodiscard]] bool BuildCollapseMap(std::span<const TVector> positions,
                                        std::span<const TTriData> triangles, int slot);
    const TCollapseSlot& Slot(int slot) const { return Slots[static_cast<size_t>(slot)]; }

private:
    std::array<TCollapseSlot, SlotCount> Slots;
};

} // namespace quillon

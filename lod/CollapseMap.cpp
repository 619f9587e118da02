// The reduction removes the vertex the removal queue names, records its new number and the
// vertex it merges into, and collapses it, until no vertex is left. New numbers count down
// from n - 1, so the collapse map built along the way refers to old numbers until the end,
// when it is translated through the finished permutation.
#include "CollapseMap.h"

#include "RemovalQueue.h"

#include "core/Assert.h"

#include <limits>

namespace quillon {

bool TCollapseMap::BuildCollapseMap(std::span<const TVector> positions,
                                    std::span<const TTriData> triangles, int slot) {
    constexpr auto indexable = static_cast<size_t>(std::numeric_limits<int32_t>::max());
    if (slot < 0 || slot >= SlotCount || positions.size() > indexable ||
        triangles.size() > indexable)
        return false;
    TCollapseSlot& s = Slots[static_cast<size_t>(slot)];
    s.Positions.assign(positions.begin(), positions.end());
    s.Triangles.assign(triangles.begin(), triangles.end());

    TCollapseMesh mesh(s.Positions, s.Triangles);
    TRemovalQueue queue(mesh);
    const int32_t count = mesh.VertexCount();
    s.Permutation.assign(static_cast<size_t>(count), 0);
    s.CollapseMap.assign(static_cast<size_t>(count), 0);
    s.InvalidTriangles = mesh.InvalidTriangles();
    int32_t boundaryCount = -1;
    std::vector<int32_t> changed;
    while (mesh.LiveVertexCount() > 0) {
        const int32_t left = mesh.LiveVertexCount();
        const TRemovalQueue::TChoice choice = queue.Next();
        if (choice.onlyBoundaryLeft && boundaryCount == -1)
            boundaryCount = left;
        const TcmVertex& removed = mesh.Vertex(choice.vertex);
        s.Permutation[static_cast<size_t>(removed.id)] = left - 1;
        s.CollapseMap[static_cast<size_t>(left - 1)] = removed.candidate;
        mesh.Collapse(choice.vertex, changed);
        queue.Update(choice.vertex);
        queue.Update(changed);
    }
    for (size_t i = 0; i < s.CollapseMap.size(); ++i) {
        int32_t& target = s.CollapseMap[i];
        target = target < 0 ? 0 : s.Permutation[static_cast<size_t>(target)];
        // A vertex merges into one still alive, which is removed later and so numbered lower.
        QUILLON_ASSERT(target < static_cast<int32_t>(i) || target == 0);
    }
    s.BoundaryCount = boundaryCount < 0 ? 0 : boundaryCount;
    return true;
}

} // namespace quillon

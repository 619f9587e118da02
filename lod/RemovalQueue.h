// Which vertex the reduction removes next, without looking at every live vertex each time.
// The rule: first the lowest-numbered vertex without a collapse candidate; else the cheapest
// vertex off the boundary; else, when only boundary vertices are left, the cheapest of all.
// Ties go to the lower vertex number, the order a front-to-back scan of the vertex list gives.
// Each of the three groups is a binary heap keyed by (cost, number); an entry is made stale,
// not removed, when its vertex changes, and stale entries are dropped when they surface.
#pragma once

#include "CollapseMesh.h"

#include <cstdint>
#include <span>
#include <vector>

namespace quillon {

class TRemovalQueue {
public:
    explicit TRemovalQueue(const TCollapseMesh& mesh);

    // Re-reads the vertices' candidate, boundary state, cost and liveness from the mesh.
    void Update(std::span<const int32_t> vertices);
    void Update(int32_t vertex);

    struct TChoice {
        int32_t vertex = -1; // -1 once no vertex is left
        bool onlyBoundaryLeft = false;
    };
    TChoice Next();

private:
    enum Group : uint8_t { NoCandidate, Interior, Boundary, Removed };
    struct TEntry {
        float cost;
        int32_t vertex;
        uint32_t stamp;
    };

    Group GroupOf(const TcmVertex& v) const;
    int32_t Front(Group group);

    const TCollapseMesh& Mesh;
    std::vector<TEntry> Heaps[3];
    std::vector<Group> Groups;    // per vertex
    std::vector<float> Costs;     // per vertex, the cost its live entry carries
    std::vector<uint32_t> Stamps; // per vertex; only the entry with the current stamp is live
};

} // namespace quillon

// Which vertex the reduction removes next, without looking at every live vertex each time.
// The rule: first the lowest-numbered vertex without a collapse candidate; else the cheapest
// vertex off the boundary; else, when only boundary vertices are left, the cheapest of all.
// Ties go to the lower vertex number, the order a front-to-back scan of the vertex list gives.
// Each of the three groups is a binary heap keyed by (cost, number) that knows where each of
// its vertices sits, so a changed vertex moves to its new place instead of leaving a stale
// entry behind. The keys are never NaN (a NaN cost never makes a candidate), so they are
// totally ordered and the front is the same whatever shape the heap has.
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
    TChoice Next() const;

private:
    enum Group : uint8_t { NoCandidate, Interior, Boundary, Removed };
    struct TEntry {
        float cost;
        int32_t vertex;
    };

    Group GroupOf(const TcmVertex& v) const;
    int32_t Front(Group group) const;
    void Insert(Group group, TEntry entry);
    void Erase(Group group, size_t at);
    // Moves the entry at `at` up or down to where its key belongs.
    void Restore(Group group, size_t at);
    void Place(Group group, size_t at, TEntry entry);

    const TCollapseMesh& Mesh;
    std::vector<TEntry> Heaps[3];
    std::vector<Group> Groups;       // per vertex
    std::vector<uint32_t> Positions; // per vertex, its place in its group's heap
};

} // namespace quillon

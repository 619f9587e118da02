#include "RemovalQueue.h"

#include <algorithm>

namespace quillon {

namespace {

// Heap order: the entry that should come out first is the "largest".
struct ComesLater {
    template <class E> bool operator()(const E& a, const E& b) const {
        if (a.cost != b.cost)
            return a.cost > b.cost;
        return a.vertex > b.vertex;
    }
};

} // namespace

TRemovalQueue::TRemovalQueue(const TCollapseMesh& mesh)
    : Mesh(mesh), Groups(static_cast<size_t>(mesh.VertexCount()), Removed),
      Costs(static_cast<size_t>(mesh.VertexCount()), 0),
      Stamps(static_cast<size_t>(mesh.VertexCount()), 0) {
    for (int32_t v = 0; v < mesh.VertexCount(); ++v)
        Update(v);
}

TRemovalQueue::Group TRemovalQueue::GroupOf(const TcmVertex& v) const {
    if (!v.alive)
        return Removed;
    if (v.candidate < 0)
        return NoCandidate;
    return v.boundary ? Boundary : Interior;
}

void TRemovalQueue::Update(std::span<const int32_t> vertices) {
    for (int32_t v : vertices)
        Update(v);
}

void TRemovalQueue::Update(int32_t vertex) {
    const TcmVertex& v = Mesh.Vertex(vertex);
    const Group group = GroupOf(v);
    // Without a candidate only the vertex number orders the group.
    const float cost = group == NoCandidate ? 0.0f : v.cost;
    if (group == Groups[vertex] && cost == Costs[vertex])
        return;
    Groups[vertex] = group;
    Costs[vertex] = cost;
    const uint32_t stamp = ++Stamps[vertex];
    if (group == Removed)
        return;
    std::vector<TEntry>& heap = Heaps[group];
    heap.push_back({cost, vertex, stamp});
    std::push_heap(heap.begin(), heap.end(), ComesLater{});
}

int32_t TRemovalQueue::Front(Group group) {
    std::vector<TEntry>& heap = Heaps[group];
    while (!heap.empty()) {
        const TEntry& top = heap.front();
        if (Stamps[top.vertex] == top.stamp)
            return top.vertex;
        std::pop_heap(heap.begin(), heap.end(), ComesLater{});
        heap.pop_back();
    }
    return -1;
}

TRemovalQueue::TChoice TRemovalQueue::Next() {
    if (const int32_t v = Front(NoCandidate); v >= 0)
        return {v, false};
    if (const int32_t v = Front(Interior); v >= 0)
        return {v, false};
    const int32_t v = Front(Boundary);
    return {v, v >= 0};
}

} // namespace quillon

#include "RemovalQueue.h"

#include "core/Assert.h"

#include <cmath>

namespace quillon {

namespace {

template <class E> bool ComesFirst(const E& a, const E& b) {
    if (a.cost != b.cost)
        return a.cost < b.cost;
    return a.vertex < b.vertex;
}

} // namespace

TRemovalQueue::TRemovalQueue(const TCollapseMesh& mesh)
    : Mesh(mesh), Groups(static_cast<size_t>(mesh.VertexCount()), Removed),
      Positions(static_cast<size_t>(mesh.VertexCount()), 0) {
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
    const Group old = Groups[vertex];
    // Without a candidate only the vertex number orders the group.
    const TEntry entry{group == NoCandidate ? 0.0f : v.cost, vertex};
    QUILLON_ASSERT(!std::isnan(entry.cost));
    if (group == old) {
        if (group == Removed)
            return;
        TEntry& current = Heaps[group][Positions[vertex]];
        QUILLON_ASSERT(current.vertex == vertex);
        if (current.cost == entry.cost)
            return;
        current.cost = entry.cost;
        Restore(group, Positions[vertex]);
        return;
    }
    if (old != Removed)
        Erase(old, Positions[vertex]);
    Groups[vertex] = group;
    if (group != Removed)
        Insert(group, entry);
}

void TRemovalQueue::Place(Group group, size_t at, TEntry entry) {
    Heaps[group][at] = entry;
    Positions[entry.vertex] = static_cast<uint32_t>(at);
}

void TRemovalQueue::Insert(Group group, TEntry entry) {
    Heaps[group].push_back(entry);
    Place(group, Heaps[group].size() - 1, entry);
    Restore(group, Heaps[group].size() - 1);
}

void TRemovalQueue::Erase(Group group, size_t at) {
    std::vector<TEntry>& heap = Heaps[group];
    const TEntry last = heap.back();
    heap.pop_back();
    if (at == heap.size())
        return;
    Place(group, at, last);
    Restore(group, at);
}

void TRemovalQueue::Restore(Group group, size_t at) {
    std::vector<TEntry>& heap = Heaps[group];
    const TEntry entry = heap[at];
    while (at > 0) {
        const size_t parent = (at - 1) / 2;
        if (!ComesFirst(entry, heap[parent]))
            break;
        Place(group, at, heap[parent]);
        at = parent;
    }
    for (;;) {
        size_t child = 2 * at + 1;
        if (child >= heap.size())
            break;
        if (child + 1 < heap.size() && ComesFirst(heap[child + 1], heap[child]))
            ++child;
        if (!ComesFirst(heap[child], entry))
            break;
        Place(group, at, heap[child]);
        at = child;
    }
    Place(group, at, entry);
}

int32_t TRemovalQueue::Front(Group group) const {
    return Heaps[group].empty() ? -1 : Heaps[group].front().vertex;
}

TRemovalQueue::TChoice TRemovalQueue::Next() const {
    if (const int32_t v = Front(NoCandidate); v >= 0)
        return {v, false};
    if (const int32_t v = Front(Interior); v >= 0)
        return {v, false};
    const int32_t v = Front(Boundary);
    return {v, v >= 0};
}

} // namespace quillon

// Edge collapse on a mesh with explicit adjacency. Collapsing u onto v deletes the triangles on
// the edge uv, moves u's other triangles onto v and re-costs u's old neighbours; nothing else
// in the mesh changes, which is what lets the removal order be kept in heaps instead of being
// found by scanning every vertex after each collapse.
#include "CollapseMesh.h"

#include "core/Assert.h"

#include <algorithm>
#include <cmath>

namespace quillon {

namespace {

void RemoveFirst(std::vector<int32_t>& list, int32_t value) {
    const auto it = std::find(list.begin(), list.end(), value);
    if (it != list.end())
        list.erase(it);
}

void AddUnique(std::vector<int32_t>& list, int32_t value) {
    if (std::find(list.begin(), list.end(), value) == list.end())
        list.push_back(value);
}

// VectorLength(VectorSub(to, from)) operation for operation, so the result is the same bit for
// bit; written here so that the cost loop, which runs it for every edge of every re-costed
// vertex, can inline it.
float Distance(TVector from, TVector to) {
    const TVector d{to.x - from.x, to.y - from.y, to.z - from.z};
    return std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
}

// The first operand is kept only when it is strictly better, so a NaN as the second one is
// taken: a NaN from a broken position reaches the cost.
float Lower(float a, float b) {
    return a < b ? a : b;
}
float Higher(float a, float b) {
    return a > b ? a : b;
}

// (1 - cos) / 2 of the angle between the normal (x, y, z) and each of `count` normals, a
// multiple of four, given by their components: the dot product of VectorDot, written so that
// the compiler can do four at a time. Each lane computes exactly what the plain expression does.
void AngleRow(float x, float y, float z, const float* __restrict xs, const float* __restrict ys,
              const float* __restrict zs, size_t count, float* __restrict row) {
    for (size_t j = 0; j < count; j += 4)
        for (size_t l = 0; l < 4; ++l)
            row[j + l] = (1.0f - (x * xs[j + l] + y * ys[j + l] + z * zs[j + l])) / 2.0f;
}

// The largest angle between a triangle and the nearest side, each row holding one side's
// angles to all k triangles.
float Curvature(std::span<const float* const> sides, size_t k) {
    float curvature = 0;
    for (size_t f = 0; f < k; ++f) {
        float nearest = 1;
        for (const float* side : sides)
            nearest = Lower(nearest, side[f]);
        curvature = Higher(curvature, nearest);
    }
    return curvature;
}

// The same for an edge between two triangles, as nearly every edge is.
float TwoSidedCurvature(const float* first, const float* second, size_t k) {
    float curvature = 0;
    for (size_t f = 0; f < k; ++f)
        curvature = Higher(curvature, Lower(Lower(1.0f, first[f]), second[f]));
    return curvature;
}

// Room for the triangles and neighbours a vertex usually gains from collapses onto it.
constexpr size_t ListSlack = 4;

} // namespace

TCollapseMesh::TCollapseMesh(std::span<const TVector> positions,
                             std::span<const TTriData> triangles) {
    Vertices.reserve(positions.size());
    for (const TVector& p : positions)
        CreateVertex(p);
    CornerUses.assign(Vertices.size(), 0);
    NeighbourSlot.assign(Vertices.size(), -1);
    Triangles.reserve(triangles.size());
    const auto exists = [&](int32_t v) { return v >= 0 && v < VertexCount(); };
    const auto usable = [&](const TTriData& t) {
        const auto [a, b, c] = t.v;
        return exists(a) && exists(b) && exists(c) && a != b && b != c && a != c;
    };
    // Sizing the lists up front saves most of their growth: a vertex of n triangles has at
    // most n + 1 neighbours when they form a fan.
    for (const TTriData& t : triangles)
        if (usable(t))
            for (int32_t c : t.v)
                ++CornerUses[c];
    for (TcmVertex& v : Vertices) {
        const auto uses = static_cast<size_t>(CornerUses[v.id]);
        v.faces.reserve(uses + ListSlack);
        v.neighbours.reserve(uses + 1 + ListSlack);
        CornerUses[v.id] = 0;
    }
    for (const TTriData& t : triangles) {
        const auto [a, b, c] = t.v;
        if (!exists(a) || !exists(b) || !exists(c))
            ++Invalid;
        else if (usable(t))
            CreateTriangle(t.v);
    }
    for (int32_t v = 0; v < VertexCount(); ++v)
        LinkNeighbours(v);
    for (TcmVertex& v : Vertices)
        v.boundary = IsBoundary(v.id);
    for (int32_t v = 0; v < VertexCount(); ++v)
        ComputeCollapseCost(v);
}

int32_t TCollapseMesh::CreateVertex(TVector position) {
    TcmVertex v;
    v.id = VertexCount();
    v.position = position;
    Vertices.push_back(std::move(v));
    ++LiveVertices;
    return Vertices.back().id;
}

void TCollapseMesh::DestroyVertex(int32_t v) {
    std::vector<int32_t>& neighbours = Vertices[v].neighbours;
    for (int32_t n : neighbours)
        RemoveFirst(Vertices[n].neighbours, v);
    neighbours.clear();
    Vertices[v].alive = false;
    --LiveVertices;
}

void TCollapseMesh::CreateTriangle(const std::array<int32_t, 3>& corners) {
    const auto t = static_cast<int32_t>(Triangles.size());
    Triangles.push_back({corners, {}, true});
    ComputeNormal(t);
    for (int32_t c : corners)
        Vertices[c].faces.push_back(t);
}

void TCollapseMesh::LinkNeighbours(int32_t v) {
    // The order that adding each new triangle's corners to one another gives: the other
    // corners of v's triangles, triangle by triangle, each at its first appearance.
    // NeighbourSlot marks those already listed.
    std::vector<int32_t>& neighbours = Vertices[v].neighbours;
    for (int32_t f : Vertices[v].faces)
        for (int32_t w : Triangles[f].vertices)
            if (w != v && NeighbourSlot[w] != v) {
                NeighbourSlot[w] = v;
                neighbours.push_back(w);
            }
    for (int32_t w : neighbours)
        NeighbourSlot[w] = -1;
}

void TCollapseMesh::DestroyTriangle(int32_t t, int32_t leaving) {
    TcmTriangle& triangle = Triangles[t];
    triangle.alive = false;
    const auto& c = triangle.vertices;
    for (int32_t v : c)
        RemoveFirst(Vertices[v].faces, t);
    for (int i = 0; i < 3; ++i) {
        const int32_t next = c[(i + 1) % 3];
        if (c[i] == leaving || next == leaving)
            continue;
        RemoveIfNonNeighbour(c[i], next);
        RemoveIfNonNeighbour(next, c[i]);
    }
}

bool TCollapseMesh::HasVertex(int32_t t, int32_t v) const {
    const auto& c = Triangles[t].vertices;
    return c[0] == v || c[1] == v || c[2] == v;
}

void TCollapseMesh::ReplaceVertex(int32_t t, int32_t u, int32_t v) {
    auto& c = Triangles[t].vertices;
    const auto place = std::find(c.begin(), c.end(), u);
    if (place == c.end() || HasVertex(t, v))
        return;
    *place = v;
    RemoveFirst(Vertices[u].faces, t);
    // v was no corner, so its face list cannot hold the triangle yet.
    Vertices[v].faces.push_back(t);
    // The other two corners are linked already: they share this triangle.
    for (int32_t w : c)
        if (w != v) {
            AddUnique(Vertices[v].neighbours, w);
            AddUnique(Vertices[w].neighbours, v);
        }
    ComputeNormal(t);
}

void TCollapseMesh::ComputeNormal(int32_t t) {
    TcmTriangle& triangle = Triangles[t];
    const auto& c = triangle.vertices;
    triangle.normal =
        TriangleNormal(Vertices[c[0]].position, Vertices[c[1]].position, Vertices[c[2]].position);
}

void TCollapseMesh::RemoveIfNonNeighbour(int32_t v, int32_t n) {
    TcmVertex& vertex = Vertices[v];
    const auto it = std::find(vertex.neighbours.begin(), vertex.neighbours.end(), n);
    if (it == vertex.neighbours.end())
        return;
    for (int32_t f : vertex.faces)
        if (HasVertex(f, n))
            return;
    vertex.neighbours.erase(it);
}

void TCollapseMesh::FillCostTables(int32_t u, TCostTables& tables) const {
    const std::vector<int32_t>& faces = Vertices[u].faces;
    const size_t k = faces.size();
    // Rows padded to whole blocks of four, the padding normals zero.
    const size_t stride = (k + 3) & ~size_t{3};
    tables.stride = stride;
    tables.normals.assign(3 * stride, 0.0f);
    float* xs = tables.normals.data();
    float* ys = xs + stride;
    float* zs = ys + stride;
    tables.otherCorners.resize(2 * k);
    int32_t* corners = tables.otherCorners.data();
    for (size_t i = 0; i < k; ++i) {
        const TcmTriangle& t = Triangles[faces[i]];
        xs[i] = t.normal.x;
        ys[i] = t.normal.y;
        zs[i] = t.normal.z;
        // Every triangle in a face list has that vertex as a corner; the other two are kept.
        const auto& c = t.vertices;
        corners[2 * i] = c[0] == u ? c[2] : c[0];
        corners[2 * i + 1] = c[1] == u ? c[2] : c[1];
    }
    tables.angles.resize(k * stride);
    for (size_t i = 0; i < k; ++i)
        AngleRow(xs[i], ys[i], zs[i], xs, ys, zs, stride, tables.angles.data() + i * stride);
    FindSides(u, tables);
}

void TCollapseMesh::FindSides(int32_t u, TCostTables& tables) const {
    // NeighbourSlot takes each corner to its place in the neighbour list.
    const std::vector<int32_t>& neighbours = Vertices[u].neighbours;
    const size_t n = neighbours.size();
    int32_t* slot = NeighbourSlot.data();
    for (size_t j = 0; j < n; ++j)
        slot[neighbours[j]] = static_cast<int32_t>(j);
    tables.edges.assign(n, {});
    const std::vector<int32_t>& corners = tables.otherCorners;
    for (size_t i = 0; i < corners.size(); ++i)
        if (const int32_t j = slot[corners[i]]; j >= 0) {
            TEdgeSides& edge = tables.edges[static_cast<size_t>(j)];
            edge.sides[std::min(edge.count, 1)] = static_cast<int32_t>(i / 2);
            ++edge.count;
        }
    for (int32_t w : neighbours)
        slot[w] = -1;
}

bool TCollapseMesh::TCostTables::HasSingleSidedEdge() const {
    return std::any_of(edges.begin(), edges.end(), [](TEdgeSides e) { return e.count == 1; });
}

float TCollapseMesh::CostAlong(int32_t u, int32_t v, const TCostTables& tables,
                               TEdgeSides edge) const {
    const TcmVertex& from = Vertices[u];
    const TcmVertex& to = Vertices[v];
    const float length = Distance(from.position, to.position);
    // The table is symmetric, so side s's angle to triangle f is read from row s. Nearly
    // every edge has two sides, which get a loop of their own; the others are gathered here
    // in face order.
    const size_t k = from.faces.size();
    const auto row = [&](size_t s) { return tables.angles.data() + s * tables.stride; };
    float curvature;
    if (edge.count == 2) {
        curvature = TwoSidedCurvature(row(static_cast<size_t>(edge.sides[0])),
                                      row(static_cast<size_t>(edge.sides[1])), k);
    } else {
        SideRows.clear();
        for (size_t s = 0; s < k; ++s)
            if (tables.otherCorners[2 * s] == v || tables.otherCorners[2 * s + 1] == v)
                SideRows.push_back(row(s));
        curvature = Curvature(SideRows, k);
    }
    float cost = length * curvature;
    if (from.boundary && !to.boundary)
        cost += BoundaryOntoInteriorPenalty;
    else if (from.boundary && to.boundary)
        cost += BoundaryOntoBoundaryPenalty;
    return cost;
}

float TCollapseMesh::Cost(int32_t u, int32_t v) const {
    FillCostTables(u, Tables);
    const std::vector<int32_t>& neighbours = Vertices[u].neighbours;
    const auto j = static_cast<size_t>(std::find(neighbours.begin(), neighbours.end(), v) -
                                       neighbours.begin());
    return CostAlong(u, v, Tables, j < neighbours.size() ? Tables.edges[j] : TEdgeSides{});
}

bool TCollapseMesh::IsBoundary(int32_t v) const {
    // Each triangle of v names every other corner once, so a corner counted once lies on an
    // edge that only one of v's triangles uses. v itself is never counted and reads 0.
    const std::vector<int32_t>& faces = Vertices[v].faces;
    int32_t* uses = CornerUses.data();
    for (int32_t f : faces)
        for (int32_t w : Triangles[f].vertices)
            uses[w] += w != v;
    // Clearing a count on its first visit leaves 0, never 1, for the corner's later visits.
    bool boundary = false;
    for (int32_t f : faces)
        for (int32_t w : Triangles[f].vertices) {
            boundary |= uses[w] == 1;
            uses[w] = 0;
        }
    return boundary;
}

void TCollapseMesh::ComputeCollapseCost(int32_t v) {
    if (!Vertices[v].neighbours.empty())
        FillCostTables(v, Tables);
    ChooseCandidate(v, Tables);
}

void TCollapseMesh::ChooseCandidate(int32_t v, const TCostTables& tables) {
    TcmVertex& vertex = Vertices[v];
    vertex.candidate = -1;
    if (vertex.neighbours.empty()) {
        vertex.cost = NoNeighbourCost;
        return;
    }
    vertex.cost = NoCandidateCost;
    for (size_t j = 0; j < vertex.neighbours.size(); ++j) {
        const float cost = CostAlong(v, vertex.neighbours[j], tables, tables.edges[j]);
        if (cost < vertex.cost) {
            vertex.candidate = vertex.neighbours[j];
            vertex.cost = cost;
        }
    }
}

void TCollapseMesh::Collapse(int32_t u, std::vector<int32_t>& changed) {
    TcmVertex& from = Vertices[u];
    const int32_t v = from.candidate;
    QUILLON_ASSERT(from.alive && (v < 0 || Vertices[v].alive));
    // The corners of u's triangles, the only vertices whose triangles change, are its
    // neighbours.
    changed = from.neighbours;
    const bool hadTriangles = !from.faces.empty();
    std::vector<int32_t>& faces = from.faces;
    // A vertex without a candidate but with triangles only arises from positions that make
    // every cost NaN or huge; its triangles go with it so that no triangle is left on a
    // removed vertex.
    for (auto i = static_cast<int>(faces.size()) - 1; i >= 0; --i)
        if (i < static_cast<int>(faces.size()) && (v < 0 || HasVertex(faces[i], v)))
            DestroyTriangle(faces[i], u);
    if (v >= 0)
        for (auto i = static_cast<int>(faces.size()) - 1; i >= 0; --i)
            if (i < static_cast<int>(faces.size()))
                ReplaceVertex(faces[i], u, v);
    DestroyVertex(u);

    // Every new boundary state is known before any cost reads it; the tables that give it
    // are kept for the costs. A vertex is on the boundary when one of its edges has a single
    // side, which is IsBoundary given that the neighbours are exactly the vertices sharing a
    // triangle.
    if (KeptTables.size() < changed.size())
        KeptTables.resize(changed.size());
    for (size_t i = 0; i < changed.size(); ++i) {
        FillCostTables(changed[i], KeptTables[i]);
        Vertices[changed[i]].boundary = KeptTables[i].HasSingleSidedEdge();
    }
    if (v >= 0 || hadTriangles)
        for (size_t i = 0; i < changed.size(); ++i)
            ChooseCandidate(changed[i], KeptTables[i]);
}

} // namespace quillon

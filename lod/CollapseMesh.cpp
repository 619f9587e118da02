// Edge collapse on a mesh with explicit adjacency. Collapsing u onto v deletes the triangles on
// the edge uv, moves u's other triangles onto v and re-costs u's old neighbours; nothing else
// in the mesh changes, which is what lets the removal order be kept in heaps instead of being
// found by scanning every vertex after each collapse.
#include "CollapseMesh.h"

#include <algorithm>

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

// The comparisons keep the first operand unless the second is strictly better, so a NaN from
// a broken position propagates into the cost and the vertex never looks cheap.
float Lower(float a, float b) {
    return a < b ? a : b;
}
float Higher(float a, float b) {
    return a > b ? a : b;
}

} // namespace

TCollapseMesh::TCollapseMesh(std::span<const TVector> positions,
                             std::span<const TTriData> triangles) {
    Vertices.reserve(positions.size());
    for (const TVector& p : positions)
        CreateVertex(p);
    MarkStamp.assign(Vertices.size(), 0);
    CornerUses.assign(Vertices.size(), 0);
    Triangles.reserve(triangles.size());
    const auto exists = [&](int32_t v) { return v >= 0 && v < VertexCount(); };
    for (const TTriData& t : triangles) {
        const auto [a, b, c] = t.v;
        if (!exists(a) || !exists(b) || !exists(c)) {
            ++Invalid;
            continue;
        }
        if (a != b && b != c && a != c)
            CreateTriangle(t.v);
    }
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
    while (!neighbours.empty()) {
        const int32_t n = neighbours.front();
        RemoveFirst(Vertices[n].neighbours, v);
        RemoveFirst(neighbours, n);
    }
    Vertices[v].alive = false;
    --LiveVertices;
}

void TCollapseMesh::CreateTriangle(const std::array<int32_t, 3>& corners) {
    const auto t = static_cast<int32_t>(Triangles.size());
    Triangles.push_back({corners, {}, true});
    ComputeNormal(t);
    for (int32_t c : corners)
        Vertices[c].faces.push_back(t);
    AddNeighbourPairs(corners);
}

void TCollapseMesh::DestroyTriangle(int32_t t) {
    TcmTriangle& triangle = Triangles[t];
    triangle.alive = false;
    const auto& c = triangle.vertices;
    for (int32_t v : c)
        RemoveFirst(Vertices[v].faces, t);
    for (int i = 0; i < 3; ++i) {
        const int32_t next = c[(i + 1) % 3];
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
    std::vector<int32_t>& vFaces = Vertices[v].faces;
    if (std::find(vFaces.begin(), vFaces.end(), t) != vFaces.end())
        return;
    vFaces.push_back(t);
    for (int32_t w : c) {
        RemoveIfNonNeighbour(u, w);
        RemoveIfNonNeighbour(w, u);
    }
    // The relinking below trusts every corner to list the triangle once; a mesh that broke
    // that is left as it is rather than made worse.
    for (int i = 0; i < 3; ++i) {
        const std::vector<int32_t>& faces = Vertices[c[i]].faces;
        if (std::count(faces.begin(), faces.end(), t) != 1)
            return;
        for (int j = 0; j < 3; ++j)
            if (j != i)
                AddUnique(Vertices[c[i]].neighbours, c[j]);
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

void TCollapseMesh::AddNeighbourPairs(const std::array<int32_t, 3>& corners) {
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            if (j != i)
                AddUnique(Vertices[corners[i]].neighbours, corners[j]);
}

void TCollapseMesh::FillFaceAngles(int32_t u) const {
    const std::vector<int32_t>& faces = Vertices[u].faces;
    const size_t k = faces.size();
    FaceAngles.resize(k * k);
    // The dot product is symmetric bit for bit, so each pair is computed once.
    for (size_t i = 0; i < k; ++i)
        for (size_t j = i; j < k; ++j) {
            const float a =
                (1.0f - VectorDot(Triangles[faces[i]].normal, Triangles[faces[j]].normal)) / 2.0f;
            FaceAngles[i * k + j] = a;
            FaceAngles[j * k + i] = a;
        }
}

float TCollapseMesh::CostFromFaceAngles(int32_t u, int32_t v) const {
    const TcmVertex& from = Vertices[u];
    const TcmVertex& to = Vertices[v];
    const float length = VectorLength(VectorSub(to.position, from.position));
    // The triangles on the edge ("sides") are those of u that also hold v.
    const size_t k = from.faces.size();
    Sides.clear();
    for (size_t s = 0; s < k; ++s)
        if (HasVertex(from.faces[s], v))
            Sides.push_back(static_cast<int32_t>(s));
    float curvature = 0;
    for (size_t f = 0; f < k; ++f) {
        const float* row = &FaceAngles[f * k];
        float nearest = 1;
        for (int32_t s : Sides)
            nearest = Lower(nearest, row[s]);
        curvature = Higher(curvature, nearest);
    }
    float cost = length * curvature;
    if (from.boundary && !to.boundary)
        cost += BoundaryOntoInteriorPenalty;
    else if (from.boundary && to.boundary)
        cost += BoundaryOntoBoundaryPenalty;
    return cost;
}

float TCollapseMesh::Cost(int32_t u, int32_t v) const {
    FillFaceAngles(u);
    return CostFromFaceAngles(u, v);
}

bool TCollapseMesh::IsBoundary(int32_t v) const {
    // Each triangle of v names every other corner once, so a corner counted once lies on an
    // edge that only one of v's triangles uses.
    const std::vector<int32_t>& faces = Vertices[v].faces;
    const auto corners = [&](auto&& visit) {
        for (int32_t f : faces)
            for (int32_t w : Triangles[f].vertices)
                if (w != v)
                    visit(w);
    };
    corners([&](int32_t w) { ++CornerUses[w]; });
    bool boundary = false;
    corners([&](int32_t w) { boundary = boundary || CornerUses[w] == 1; });
    corners([&](int32_t w) { CornerUses[w] = 0; });
    return boundary;
}

void TCollapseMesh::ComputeCollapseCost(int32_t v) {
    TcmVertex& vertex = Vertices[v];
    vertex.candidate = -1;
    if (vertex.neighbours.empty()) {
        vertex.cost = NoNeighbourCost;
        return;
    }
    vertex.cost = NoCandidateCost;
    FillFaceAngles(v);
    for (int32_t n : vertex.neighbours) {
        const float cost = CostFromFaceAngles(v, n);
        if (cost < vertex.cost) {
            vertex.candidate = n;
            vertex.cost = cost;
        }
    }
}

void TCollapseMesh::Mark(int32_t v, std::vector<int32_t>& changed) {
    if (MarkStamp[v] == CurrentStamp)
        return;
    MarkStamp[v] = CurrentStamp;
    changed.push_back(v);
}

void TCollapseMesh::Collapse(int32_t u, std::vector<int32_t>& changed) {
    ++CurrentStamp;
    changed.clear();
    TcmVertex& from = Vertices[u];
    const int32_t v = from.candidate;
    std::vector<int32_t>& kept = Kept;
    kept = from.neighbours;
    // Boundary state depends only on a vertex's own triangles, and only the corners of u's
    // triangles see theirs change.
    MarkStamp[u] = CurrentStamp;
    for (int32_t f : from.faces)
        for (int32_t c : Triangles[f].vertices)
            Mark(c, changed);
    for (int32_t n : kept)
        Mark(n, changed);

    const bool hadTriangles = !from.faces.empty();
    std::vector<int32_t>& faces = from.faces;
    // A vertex without a candidate but with triangles only arises from positions that make
    // every cost NaN or huge; its triangles go with it so that no triangle is left on a
    // removed vertex.
    for (auto i = static_cast<int>(faces.size()) - 1; i >= 0; --i)
        if (i < static_cast<int>(faces.size()) && (v < 0 || HasVertex(faces[i], v)))
            DestroyTriangle(faces[i]);
    if (v >= 0)
        for (auto i = static_cast<int>(faces.size()) - 1; i >= 0; --i)
            if (i < static_cast<int>(faces.size()))
                ReplaceVertex(faces[i], u, v);
    DestroyVertex(u);

    std::erase_if(changed, [&](int32_t w) { return !Vertices[w].alive; });
    for (int32_t w : changed)
        Vertices[w].boundary = IsBoundary(w);
    if (v >= 0 || hadTriangles)
        for (int32_t n : kept)
            if (Vertices[n].alive)
                ComputeCollapseCost(n);
}

} // namespace quillon

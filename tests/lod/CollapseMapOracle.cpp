#include "CollapseMapOracle.h"

#include <algorithm>
#include <memory>

namespace quillon::test {

namespace {

struct Triangle;

struct Vertex {
    int32_t id = 0;
    TVector position;
    std::vector<Vertex*> neighbour;
    std::vector<Triangle*> face;
    float cost = 0;
    Vertex* collapse = nullptr;
};

struct Triangle {
    Vertex* vertex[3] = {};
    TVector normal;
};

template <class T> bool Contains(const std::vector<T*>& list, const T* item) {
    return std::find(list.begin(), list.end(), item) != list.end();
}
template <class T> void Remove(std::vector<T*>& list, const T* item) {
    const auto it = std::find(list.begin(), list.end(), item);
    if (it != list.end())
        list.erase(it);
}
template <class T> void AddUnique(std::vector<T*>& list, T* item) {
    if (!Contains(list, item))
        list.push_back(item);
}

float Min(float a, float b) {
    return a < b ? a : b;
}
float Max(float a, float b) {
    return a > b ? a : b;
}

class Reduction {
public:
    std::vector<Vertex*> vertices;
    std::vector<Triangle*> triangles;
    std::vector<std::unique_ptr<Vertex>> vertexStore;
    std::vector<std::unique_ptr<Triangle>> triangleStore;

    static bool HasVertex(const Triangle* t, const Vertex* v) {
        return t->vertex[0] == v || t->vertex[1] == v || t->vertex[2] == v;
    }

    static void ComputeNormal(Triangle* t) {
        t->normal =
            TriangleNormal(t->vertex[0]->position, t->vertex[1]->position, t->vertex[2]->position);
    }

    static void RemoveIfNonNeighbour(Vertex* v, Vertex* n) {
        if (!Contains(v->neighbour, n))
            return;
        for (Triangle* f : v->face)
            if (HasVertex(f, n))
                return;
        Remove(v->neighbour, n);
    }

    void CreateVertex(int32_t id, TVector position) {
        vertexStore.push_back(std::make_unique<Vertex>());
        Vertex* v = vertexStore.back().get();
        v->id = id;
        v->position = position;
        vertices.push_back(v);
    }

    void CreateTriangle(Vertex* a, Vertex* b, Vertex* c) {
        triangleStore.push_back(std::make_unique<Triangle>());
        Triangle* t = triangleStore.back().get();
        t->vertex[0] = a;
        t->vertex[1] = b;
        t->vertex[2] = c;
        ComputeNormal(t);
        triangles.push_back(t);
        for (int i = 0; i < 3; ++i) {
            t->vertex[i]->face.push_back(t);
            for (int j = 0; j < 3; ++j)
                if (i != j)
                    AddUnique(t->vertex[i]->neighbour, t->vertex[j]);
        }
    }

    void DestroyTriangle(Triangle* t) {
        Remove(triangles, t);
        for (int i = 0; i < 3; ++i)
            Remove(t->vertex[i]->face, t);
        for (int i = 0; i < 3; ++i) {
            const int i2 = (i + 1) % 3;
            RemoveIfNonNeighbour(t->vertex[i], t->vertex[i2]);
            RemoveIfNonNeighbour(t->vertex[i2], t->vertex[i]);
        }
    }

    static void ReplaceVertex(Triangle* t, Vertex* u, Vertex* v) {
        if (!HasVertex(t, u) || HasVertex(t, v))
            return;
        if (t->vertex[0] == u)
            t->vertex[0] = v;
        else if (t->vertex[1] == u)
            t->vertex[1] = v;
        else
            t->vertex[2] = v;
        Remove(u->face, t);
        if (Contains(v->face, t))
            return;
        v->face.push_back(t);
        for (int i = 0; i < 3; ++i) {
            RemoveIfNonNeighbour(u, t->vertex[i]);
            RemoveIfNonNeighbour(t->vertex[i], u);
        }
        for (int i = 0; i < 3; ++i) {
            if (std::count(t->vertex[i]->face.begin(), t->vertex[i]->face.end(), t) != 1)
                return;
            for (int j = 0; j < 3; ++j)
                if (i != j)
                    AddUnique(t->vertex[i]->neighbour, t->vertex[j]);
        }
        ComputeNormal(t);
    }

    void DestroyVertex(Vertex* v) {
        while (!v->neighbour.empty()) {
            Vertex* n = v->neighbour[0];
            Remove(n->neighbour, v);
            Remove(v->neighbour, n);
        }
        Remove(vertices, v);
    }

    static bool IsBoundary(const Vertex* v) {
        for (const Triangle* f : v->face)
            for (const Vertex* w : f->vertex) {
                if (w == v)
                    continue;
                int count = 0;
                for (const Triangle* g : v->face)
                    if (HasVertex(g, w))
                        ++count;
                if (count == 1)
                    return true;
            }
        return false;
    }

    static float Cost(const Vertex* u, const Vertex* v) {
        const float length = VectorLength(VectorSub(v->position, u->position));
        std::vector<const Triangle*> sides;
        for (const Triangle* f : u->face)
            if (HasVertex(f, v))
                sides.push_back(f);
        float curvature = 0;
        for (const Triangle* f : u->face) {
            float m = 1;
            for (const Triangle* s : sides)
                m = Min(m, (1.0f - VectorDot(f->normal, s->normal)) / 2.0f);
            curvature = Max(curvature, m);
        }
        float cost = length * curvature;
        const bool ub = IsBoundary(u), vb = IsBoundary(v);
        if (ub && !vb)
            cost += 100000.0f;
        if (ub && vb)
            cost += 10000.0f;
        return cost;
    }

    static void ComputeCollapseCost(Vertex* v) {
        if (v->neighbour.empty()) {
            v->collapse = nullptr;
            v->cost = -0.01f;
            return;
        }
        v->collapse = nullptr;
        v->cost = 1000000.0f;
        for (Vertex* n : v->neighbour) {
            const float c = Cost(v, n);
            if (c < v->cost) {
                v->collapse = n;
                v->cost = c;
            }
        }
    }

    Vertex* Choose(int32_t& boundaryCount) {
        for (Vertex* v : vertices)
            if (!v->collapse)
                return v;
        Vertex* best = nullptr;
        for (Vertex* v : vertices)
            if (!IsBoundary(v) && (!best || v->cost < best->cost))
                best = v;
        if (best)
            return best;
        if (boundaryCount == -1)
            boundaryCount = static_cast<int32_t>(vertices.size());
        for (Vertex* v : vertices)
            if (!best || v->cost < best->cost)
                best = v;
        return best;
    }

    void Collapse(Vertex* u, Vertex* v) {
        const std::vector<Vertex*> tmp = u->neighbour;
        const bool hadTriangles = !u->face.empty();
        // Without a candidate the vertex leaves with all its triangles.
        for (int i = static_cast<int>(u->face.size()) - 1; i >= 0; --i)
            if (!v || HasVertex(u->face[i], v))
                DestroyTriangle(u->face[i]);
        if (v)
            for (int i = static_cast<int>(u->face.size()) - 1; i >= 0; --i)
                ReplaceVertex(u->face[i], u, v);
        DestroyVertex(u);
        if (v || hadTriangles)
            for (Vertex* n : tmp)
                ComputeCollapseCost(n);
    }
};

} // namespace

OracleResult OracleCollapseMap(std::span<const TVector> positions,
                               std::span<const TTriData> triangles) {
    Reduction r;
    const auto count = static_cast<int32_t>(positions.size());
    for (int32_t i = 0; i < count; ++i)
        r.CreateVertex(i, positions[static_cast<size_t>(i)]);
    for (const TTriData& t : triangles) {
        const auto [a, b, c] = t.v;
        if (a < 0 || b < 0 || c < 0 || a >= count || b >= count || c >= count)
            continue;
        if (a == b || b == c || a == c)
            continue;
        r.CreateTriangle(r.vertexStore[a].get(), r.vertexStore[b].get(), r.vertexStore[c].get());
    }
    for (Vertex* v : r.vertices)
        Reduction::ComputeCollapseCost(v);

    OracleResult result;
    result.permutation.assign(positions.size(), 0);
    result.collapseMap.assign(positions.size(), 0);
    result.boundaryCount = -1;
    while (!r.vertices.empty()) {
        const auto n = static_cast<int32_t>(r.vertices.size());
        Vertex* m = r.Choose(result.boundaryCount);
        result.permutation[m->id] = n - 1;
        result.collapseMap[n - 1] = m->collapse ? m->collapse->id : -1;
        r.Collapse(m, m->collapse);
    }
    for (int32_t& e : result.collapseMap)
        e = e == -1 ? 0 : result.permutation[e];
    if (result.boundaryCount == -1)
        result.boundaryCount = 0;
    return result;
}

} // namespace quillon::test

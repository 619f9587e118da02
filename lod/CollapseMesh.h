// The live mesh of one collapse-map computation: vertices that know their neighbours and
// faces, triangles that know their corners and normal, and the edge-collapse operations on
// them. The neighbour and face lists are kept in exactly the order the reduction depends on
// (ties between equal costs go to the earlier neighbour), so every list edit removes in place
// and appends at the end. Vertices and triangles are never freed during a computation: a
// destroyed one is only marked dead, which keeps indices stable and every lookup in bounds.
// Every live triangle is listed once in the face list of each of its corners and nowhere else,
// and neighbour links always go both ways; the operations rely on both and keep both.
#pragma once

#include "core/VectorMath.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace quillon {

struct TTriData {
    std::array<int32_t, 3> v{};
};

struct TcmVertex {
    int32_t id = 0; // index in the input
    TVector position;
    std::vector<int32_t> neighbours;
    std::vector<int32_t> faces;
    float cost = 0;
    int32_t candidate = -1; // the neighbour to collapse onto, -1 for none
    bool boundary = false;  // IsBoundary as of the last change to this vertex's triangles
    bool alive = true;
};

struct TcmTriangle {
    std::array<int32_t, 3> vertices{};
    TVector normal;
    bool alive = true;
};

class TCollapseMesh {
public:
    static constexpr float NoNeighbourCost = -0.01f;
    static constexpr float NoCandidateCost = 1000000.0f;
    static constexpr float BoundaryOntoInteriorPenalty = 100000.0f;
    static constexpr float BoundaryOntoBoundaryPenalty = 10000.0f;

    // One vertex per position, then one triangle per input triangle. Triangles with a repeated
    // corner are left out, and so are those naming a vertex that does not exist (counted in
    // InvalidTriangles). Every vertex then gets its boundary state and collapse cost.
    TCollapseMesh(std::span<const TVector> positions, std::span<const TTriData> triangles);

    int32_t VertexCount() const { return static_cast<int32_t>(Vertices.size()); }
    int32_t LiveVertexCount() const { return LiveVertices; }
    int32_t InvalidTriangles() const { return Invalid; }
    const TcmVertex& Vertex(int32_t v) const { return Vertices[v]; }
    const TcmTriangle& Triangle(int32_t t) const { return Triangles[t]; }

    // The cost of moving u onto its neighbour v: edge length times the largest angle between a
    // triangle of u and the nearest triangle along the edge, plus the boundary penalties.
    float Cost(int32_t u, int32_t v) const;
    // True when an edge of v's triangles is used by only one of them.
    bool IsBoundary(int32_t v) const;
    void ComputeCollapseCost(int32_t v);

    // Moves u onto its candidate (or, without one, drops u and its triangles) and re-costs its
    // former neighbours. `changed` receives every live vertex whose cost, candidate or boundary
    // state may differ now, each once.
    void Collapse(int32_t u, std::vector<int32_t>& changed);

private:
    int32_t CreateVertex(TVector position);
    void DestroyVertex(int32_t v);
    void CreateTriangle(const std::array<int32_t, 3>& corners);
    bool HasVertex(int32_t t, int32_t v) const;
    // Both are done only by a collapse of u, which destroys u next, so u's own neighbour
    // links are left for DestroyVertex: dropping them there leaves every other list as
    // dropping them here would, since a removal keeps the order of the rest.
    void DestroyTriangle(int32_t t, int32_t leaving);
    // Moves t from its corner u onto v.
    void ReplaceVertex(int32_t t, int32_t u, int32_t v);
    void ComputeNormal(int32_t t);

    // Drops n from v's neighbours unless a triangle of v still uses n.
    void RemoveIfNonNeighbour(int32_t v, int32_t n);
    // Builds v's neighbour list from its triangles when the mesh is made.
    void LinkNeighbours(int32_t v);

    // Cost(u, v) for every neighbour v of u reads tables made once per u: (1 - cos) / 2 of the
    // angle between each pair of u's triangles, and the triangles on each of u's edges
    // ("sides", those of u that also hold v).
    struct TEdgeSides {
        int32_t count = 0;              // how many of u's faces hold the neighbour
        std::array<int32_t, 2> sides{}; // the first two, as places in u's face list
    };
    struct TCostTables {
        std::vector<int32_t> otherCorners; // of each of u's faces, two per face
        std::vector<float> normals;        // of u's faces: all x, then all y, then all z
        size_t stride = 0;                 // of the rows of `angles` and of `normals`
        std::vector<float> angles;         // faces x stride, row-major
        std::vector<TEdgeSides> edges;     // per neighbour of u, in list order
        bool HasSingleSidedEdge() const;
    };
    void FillCostTables(int32_t u, TCostTables& tables) const;
    void FindSides(int32_t u, TCostTables& tables) const;
    float CostAlong(int32_t u, int32_t v, const TCostTables& tables, TEdgeSides edge) const;
    void ChooseCandidate(int32_t v, const TCostTables& tables);

    std::vector<TcmVertex> Vertices;
    std::vector<TcmTriangle> Triangles;
    // Scratch kept between calls to avoid an allocation per step.
    mutable TCostTables Tables;
    std::vector<TCostTables> KeptTables;        // one per re-costed vertex of a collapse
    mutable std::vector<const float*> SideRows; // angle rows of an edge's sides
    mutable std::vector<int32_t> NeighbourSlot; // per vertex, -1 between FindSides calls
    mutable std::vector<int32_t> CornerUses;    // per vertex, zero between IsBoundary calls
    int32_t LiveVertices = 0;
    int32_t Invalid = 0;
};

} // namespace quillon

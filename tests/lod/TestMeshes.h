// Generated surfaces for the reduction's tests and benchmark: a geodesic sphere (closed), a
// height-field grid (open), and the damage real models carry (split vertices at the same
// position, repeated and collinear corners, unused vertices, triangles sharing an edge three
// ways). Everything is derived from a seed, so a failing case can be rebuilt.
#pragma once

#include "lod/CollapseMesh.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <map>
#include <random>
#include <utility>
#include <vector>

namespace quillon::test {

struct TestMesh {
    std::vector<TVector> positions;
    std::vector<TTriData> triangles;
    int32_t Add(TVector p) {
        positions.push_back(p);
        return static_cast<int32_t>(positions.size()) - 1;
    }
    void Tri(int32_t a, int32_t b, int32_t c) { triangles.push_back({{a, b, c}}); }
};

// A cols x rows grid of quads (two triangles each) in the xy plane; z from `height`.
template <class Height> TestMesh GridMesh(int cols, int rows, Height height) {
    TestMesh mesh;
    for (int y = 0; y <= rows; ++y)
        for (int x = 0; x <= cols; ++x)
            mesh.Add({float(x), float(y), height(x, y)});
    const auto at = [&](int x, int y) { return y * (cols + 1) + x; };
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < cols; ++x) {
            mesh.Tri(at(x, y), at(x + 1, y), at(x + 1, y + 1));
            mesh.Tri(at(x, y), at(x + 1, y + 1), at(x, y + 1));
        }
    return mesh;
}

inline TestMesh FlatGrid(int cols, int rows) {
    return GridMesh(cols, rows, [](int, int) { return 0.0f; });
}

// An icosahedron with every face split into frequency^2 triangles, pushed onto the unit
// sphere: 10 * frequency^2 + 2 vertices, every edge shared by exactly two triangles.
inline TestMesh GeodesicSphere(int frequency) {
    const float g = (1.0f + std::sqrt(5.0f)) / 2.0f;
    const std::array<TVector, 12> corner = {{{-1, g, 0},
                                             {1, g, 0},
                                             {-1, -g, 0},
                                             {1, -g, 0},
                                             {0, -1, g},
                                             {0, 1, g},
                                             {0, -1, -g},
                                             {0, 1, -g},
                                             {g, 0, -1},
                                             {g, 0, 1},
                                             {-g, 0, -1},
                                             {-g, 0, 1}}};
    const int faces[20][3] = {{0, 11, 5}, {0, 5, 1},  {0, 1, 7},   {0, 7, 10}, {0, 10, 11},
                              {1, 5, 9},  {5, 11, 4}, {11, 10, 2}, {10, 7, 6}, {7, 1, 8},
                              {3, 9, 4},  {3, 4, 2},  {3, 2, 6},   {3, 6, 8},  {3, 8, 9},
                              {4, 9, 5},  {2, 4, 11}, {6, 2, 10},  {8, 6, 7},  {9, 8, 1}};
    TestMesh mesh;
    // A point is named by its integer weights on the icosahedron's corners, so the points
    // on shared edges are found again exactly.
    std::map<std::vector<std::pair<int, int>>, int32_t> known;
    const auto point = [&](const int* f, int i, int j) {
        std::vector<std::pair<int, int>> key;
        const int w[3] = {frequency - i - j, i, j};
        for (int k = 0; k < 3; ++k)
            if (w[k] > 0)
                key.push_back({f[k], w[k]});
        std::sort(key.begin(), key.end());
        if (const auto it = known.find(key); it != known.end())
            return it->second;
        TVector p{};
        for (const auto& [c, weight] : key)
            p = VectorAdd(p, VectorScale(corner[c], float(weight) / float(frequency)));
        return known[key] = mesh.Add(VectorNormalize(p));
    };
    for (const auto& f : faces)
        for (int i = 0; i < frequency; ++i)
            for (int j = 0; i + j < frequency; ++j) {
                mesh.Tri(point(f, i, j), point(f, i + 1, j), point(f, i, j + 1));
                if (i + j + 1 < frequency)
                    mesh.Tri(point(f, i + 1, j), point(f, i + 1, j + 1), point(f, i, j + 1));
            }
    return mesh;
}

// The same surface with its vertices numbered in a random order.
inline TestMesh Renumbered(TestMesh mesh, uint32_t seed) {
    std::vector<int32_t> order(mesh.positions.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = int32_t(i);
    std::shuffle(order.begin(), order.end(), std::mt19937(seed));
    std::vector<TVector> positions(order.size());
    for (size_t i = 0; i < order.size(); ++i)
        positions[order[i]] = mesh.positions[i];
    for (TTriData& t : mesh.triangles)
        for (int32_t& v : t.v)
            v = order[v];
    mesh.positions = std::move(positions);
    return mesh;
}

// The damage of real models, applied with the given probabilities.
struct Damage {
    double jitter = 0;       // random offset of each position, in units
    double splitVertex = 0;  // a triangle corner moved to a new vertex at the same position
    double dropTriangle = 0; // holes
    double repeatCorner = 0; // a triangle with two equal indices added
    double collinear = 0;    // a zero-area triangle on three distinct vertices added
    double nonManifold = 0;  // a third triangle on an existing edge added
    int unusedVertices = 0;  // positions no triangle uses
    double snap = 0;         // positions rounded to this grid (many coincide), 0 for none
};

inline TestMesh Damaged(TestMesh mesh, const Damage& d, uint32_t seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> chance(0, 1);
    std::uniform_real_distribution<float> offset(-1, 1);
    for (TVector& p : mesh.positions) {
        p = VectorAdd(
            p, VectorScale({offset(random), offset(random), offset(random)}, float(d.jitter)));
        if (d.snap > 0) {
            const auto snap = [&](float v) {
                return std::round(v / float(d.snap)) * float(d.snap);
            };
            p = {snap(p.x), snap(p.y), snap(p.z)};
        }
    }
    std::vector<TTriData> result;
    for (TTriData t : mesh.triangles) {
        if (chance(random) < d.dropTriangle)
            continue;
        if (chance(random) < d.splitVertex) {
            const int k = int(random() % 3);
            t.v[k] = mesh.Add(mesh.positions[t.v[k]]);
        }
        result.push_back(t);
        if (chance(random) < d.repeatCorner)
            result.push_back({{t.v[0], t.v[1], t.v[0]}});
        if (chance(random) < d.nonManifold)
            result.push_back({{t.v[1], t.v[0], int32_t(random() % mesh.positions.size())}});
        if (chance(random) < d.collinear) {
            const TVector a = mesh.positions[t.v[0]], b = mesh.positions[t.v[1]];
            const int32_t mid = mesh.Add(VectorScale(VectorAdd(a, b), 0.5f));
            result.push_back({{t.v[0], mid, t.v[1]}});
        }
    }
    for (int i = 0; i < d.unusedVertices; ++i)
        mesh.Add({offset(random), offset(random), offset(random)});
    mesh.triangles = std::move(result);
    // Unused vertices in the middle of the numbering, not only at its end.
    return d.unusedVertices > 0 ? Renumbered(std::move(mesh), seed) : mesh;
}

// Triangles on random vertices: every kind of non-manifold connection.
inline TestMesh TriangleSoup(int vertices, int triangles, uint32_t seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> coordinate(-4, 4);
    TestMesh mesh;
    for (int i = 0; i < vertices; ++i)
        mesh.Add({coordinate(random), coordinate(random), coordinate(random)});
    for (int i = 0; i < triangles; ++i)
        mesh.Tri(int32_t(random() % vertices), int32_t(random() % vertices),
                 int32_t(random() % vertices));
    return mesh;
}

} // namespace quillon::test

#include "VertexWelding.h"

#include "VertexGrid.h"

#include <algorithm>

namespace quillon {

void WeldFrameVertices(std::span<TMD3Vertex> vertices, float tolerance) {
    if (!(tolerance > 0))
        return; // the strict comparison joins nothing, not even equal positions
    TVertexGrid grid(vertices, tolerance);
    for (uint32_t i = 0; i < vertices.size(); ++i) {
        const uint32_t own = grid.PointOf(i);
        const TVector p = grid.Position(own);
        // Vertices already at i's point keep their coordinates; only other points can join.
        for (uint32_t other : grid.PointsNear(own))
            if (other != own && !grid.Point(other).members.empty() &&
                VectorEquals(p, grid.Position(other), tolerance))
                grid.MoveMembersAbove(other, own, i);
    }
    for (uint32_t k = 0; k < vertices.size(); ++k) {
        const TVertexGrid::TPoint& point = grid.Point(grid.PointOf(k));
        vertices[k].x = point.x;
        vertices[k].y = point.y;
        vertices[k].z = point.z;
    }
}

void SmoothFrameNormals(std::span<TMD3Vertex> vertices) {
    TVertexGrid grid(vertices, SmoothTolerance);
    std::vector<uint32_t> group;
    for (uint32_t i = 0; i < vertices.size(); ++i) {
        const uint32_t own = grid.PointOf(i);
        const TVector p = grid.Position(own);
        group.clear();
        for (uint32_t other : grid.PointsNear(own))
            if (VectorEquals(p, grid.Position(other), SmoothTolerance))
                for (uint32_t m : grid.Point(other).members)
                    if (m > i)
                        group.push_back(m);
        // The sum is built in vertex order, so the float rounding matches a pairwise walk.
        std::sort(group.begin(), group.end());
        TVector sum = TMD3::DecodeNormal(vertices[i].normal);
        for (uint32_t j : group)
            sum = VectorAdd(sum, TMD3::DecodeNormal(vertices[j].normal));
        const auto count = static_cast<long double>(group.size() + 1);
        const int16_t code = TMD3::EncodeNormal(VectorScale(sum, static_cast<float>(1.0L / count)));
        vertices[i].normal = code;
        for (uint32_t j : group)
            vertices[j].normal = code;
    }
}

} // namespace quillon

#include "VertexGrid.h"

#include <algorithm>
#include <cmath>

namespace quillon {

namespace {
constexpr int64_t CoordinateRange = 65536; // int16 values, shifted to 0 ... 65535

uint64_t PositionKey(const TMD3Vertex& v) {
    return (uint64_t(uint16_t(v.x)) << 32) | (uint64_t(uint16_t(v.y)) << 16) | uint16_t(v.z);
}
} // namespace

TVertexGrid::TVertexGrid(std::span<const TMD3Vertex> vertices, float tolerance) {
    // Two coordinates d apart (in 1/64 units) compare equal only when d < 64 * tolerance <=
    // width, so they fall in the same or in neighbouring cells.
    const double width = std::ceil(double(tolerance) * 64.0);
    CellWidth = !(width > 1)                       ? 1
                : width >= double(CoordinateRange) ? CoordinateRange
                                                   : int64_t(width);
    Owner.resize(vertices.size());
    std::unordered_map<uint64_t, uint32_t> pointAt;
    pointAt.reserve(vertices.size());
    for (uint32_t k = 0; k < vertices.size(); ++k) {
        const TMD3Vertex& v = vertices[k];
        auto [it, isNew] = pointAt.try_emplace(PositionKey(v), uint32_t(Points.size()));
        if (isNew) {
            Points.push_back({v.x, v.y, v.z, {}});
            const TCell c = CellOf(Points.back());
            Cells[CellKey(c.x, c.y, c.z)].push_back(it->second);
        }
        Points[it->second].members.push_back(k);
        Owner[k] = it->second;
    }
}

TVector TVertexGrid::Position(uint32_t point) const {
    const TPoint& p = Points[point];
    return TMD3::VertexPosition({p.x, p.y, p.z, 0});
}

TVertexGrid::TCell TVertexGrid::CellOf(const TPoint& p) const {
    return {(p.x + 32768) / CellWidth, (p.y + 32768) / CellWidth, (p.z + 32768) / CellWidth};
}

uint64_t TVertexGrid::CellKey(int64_t x, int64_t y, int64_t z) {
    constexpr uint64_t Span = CoordinateRange + 2; // room for the cells at -1 and past the end
    return (uint64_t(x + 1) * Span + uint64_t(y + 1)) * Span + uint64_t(z + 1);
}

const std::vector<uint32_t>& TVertexGrid::PointsNear(uint32_t point) {
    Near.clear();
    const TCell c = CellOf(Points[point]);
    for (int64_t dx = -1; dx <= 1; ++dx)
        for (int64_t dy = -1; dy <= 1; ++dy)
            for (int64_t dz = -1; dz <= 1; ++dz) {
                auto it = Cells.find(CellKey(c.x + dx, c.y + dy, c.z + dz));
                if (it != Cells.end())
                    Near.insert(Near.end(), it->second.begin(), it->second.end());
            }
    return Near;
}

void TVertexGrid::MoveMembersAbove(uint32_t from, uint32_t to, uint32_t vertex) {
    std::vector<uint32_t>& source = Points[from].members;
    auto moved =
        std::partition(source.begin(), source.end(), [vertex](uint32_t m) { return m <= vertex; });
    for (auto it = moved; it != source.end(); ++it) {
        Owner[*it] = to;
        Points[to].members.push_back(*it);
    }
    source.erase(moved, source.end());
}

} // namespace quillon

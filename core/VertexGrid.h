// Finds the vertices of one surface frame that lie near each other without comparing every pair.
// Vertices with the same 16-bit coordinates are kept together as one point, and the points are
// filed in cubic cells at least as wide as the tolerance: whatever lies within the tolerance of
// a point is then in one of the 27 cells around it. Points never move; welding moves vertices
// from one point to another, so the cells stay valid for the whole frame.
#pragma once

#include "MD3.h"

#include <cstdint>
#include <span>
#include <unordered_map>
#include <vector>

namespace quillon {

class TVertexGrid {
public:
    struct TPoint {
        int16_t x, y, z;
        std::vector<uint32_t> members; // vertex indices, ascending until members are moved
    };

    // `tolerance` in model units, the strict per-axis distance of VectorEquals.
    TVertexGrid(std::span<const TMD3Vertex> vertices, float tolerance);

    uint32_t PointOf(uint32_t vertex) const { return Owner[vertex]; }
    const TPoint& Point(uint32_t point) const { return Points[point]; }
    TVector Position(uint32_t point) const;
    // The points in the cells around `point`, itself included; valid until the next call.
    const std::vector<uint32_t>& PointsNear(uint32_t point);
    // Moves the members of `from` with an index above `vertex` to `to`.
    void MoveMembersAbove(uint32_t from, uint32_t to, uint32_t vertex);

private:
    struct TCell {
        int64_t x, y, z;
    };
    TCell CellOf(const TPoint& p) const;
    static uint64_t CellKey(int64_t x, int64_t y, int64_t z);

    int64_t CellWidth; // in stored 1/64 units
    std::vector<TPoint> Points;
    std::vector<uint32_t> Owner; // vertex index -> point
    std::unordered_map<uint64_t, std::vector<uint32_t>> Cells;
    std::vector<uint32_t> Near;
};

} // namespace quillon

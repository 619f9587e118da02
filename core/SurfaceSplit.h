// Splitting a surface that is over the engines' per-surface limits into several surfaces with the
// same shader. Triangles are taken in order and a piece is closed when the next triangle would
// take it over the vertex or triangle limit, so neighbouring triangles (which exporters write
// together) mostly stay together. A vertex used by triangles of two pieces is copied into both;
// every triangle and the texture coordinates and frames of its vertices are kept.
#pragma once

#include "MD3.h"

#include <cstdint>
#include <string>
#include <vector>

namespace quillon {

struct TSplitLimits {
    uint32_t Verts;
    uint32_t Triangles;
    uint32_t NameBytes; // the pieces' names stay within NameBytes - 1 characters
};

// True when the surface has more vertices or triangles than the limits allow.
bool NeedsSplit(const TSurface& surface, const TSplitLimits& limits);

// The name of piece `number` (from 1): the surface's name with "_<number>" appended, the name
// shortened where the suffix would not fit.
std::string PieceName(const std::string& name, uint32_t number, uint32_t nameBytes);

// The pieces of the surface, named "<name>_1", "<name>_2", ... Expects every triangle index to
// be in range (drop faulty triangles first) and the arrays to match the counts for `frames`
// frames. Vertices no triangle uses are not carried over.
std::vector<TSurface> SplitSurface(const TSurface& surface, uint32_t frames,
                                   const TSplitLimits& limits);

} // namespace quillon

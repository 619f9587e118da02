// The reduction done the plain way, for checking the fast one: linked vertex and triangle
// objects in ordered lists searched linearly, and a scan of every live vertex (with its
// boundary state worked out afresh) to choose each vertex to remove. Quadratic, and obviously
// so; the fast implementation must give exactly the same numbers.
#pragma once

#include "lod/CollapseMesh.h"

#include <cstdint>
#include <span>
#include <vector>

namespace quillon::test {

struct OracleResult {
    std::vector<int32_t> permutation;
    std::vector<int32_t> collapseMap;
    int32_t boundaryCount = 0;
};

OracleResult OracleCollapseMap(std::span<const TVector> positions,
                               std::span<const TTriData> triangles);

} // namespace quillon::test

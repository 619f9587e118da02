// Comparing two MD3 models the way a round trip through glTF must keep them: vertices exactly,
// normals within one step of their encoding, tags within 1e-4, names and counts as they were.
#pragma once

#include "core/MD3.h"

#include <cstdint>
#include <string>

namespace quillon::test {

// Both angle bytes within one step of each other (the angle about z counts nowhere near a pole).
bool NormalsClose(int16_t a, int16_t b);

// Every frame name, tag, surface name, triangle, texture coordinate, vertex and normal of `a`
// matches `b`; gtest failures name `what` and the place.
void ExpectSameModel(const TMD3& a, const TMD3& b, const std::string& what);

} // namespace quillon::test

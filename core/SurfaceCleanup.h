// The faults of an MD3 surface's triangle and vertex lists that the engines draw anyway but
// should not have to: triangles that cannot show (an index past the vertices, a vertex used
// twice, or no area in any frame), vertices no triangle uses, and vertices that repeat another
// exactly. The check reports them and the fixes remove them; both use the tests here, so what
// a fix removes is exactly what the check reported. Every function expects a surface whose
// arrays match its counts for `frames` frames.
#pragma once

#include "MD3.h"

#include <cstdint>
#include <vector>

namespace quillon {

enum class TTriangleFault { None, IndexOutOfRange, RepeatedIndex, ZeroArea };

TTriangleFault TriangleFault(const TSurface& surface, const TMD3Triangle& triangle,
                             uint32_t frames);

// Per vertex: true when some triangle with indices in range uses it.
std::vector<bool> UsedVertices(const TSurface& surface);

// Per vertex: the first vertex with the same texture coordinate and the same position and
// normal in every frame (the vertex itself when no earlier one is identical).
std::vector<uint32_t> FirstIdenticalVertices(const TSurface& surface, uint32_t frames);

// The fixes. Each returns how many triangles or vertices it removed; texture coordinates and
// every frame's vertices move together, and the triangles are renumbered.
uint32_t DropFaultyTriangles(TSurface& surface, uint32_t frames);
// Points every triangle at the first of identical vertices, then removes the others.
uint32_t WeldIdenticalVertices(TSurface& surface, uint32_t frames);
uint32_t DropUnusedVertices(TSurface& surface, uint32_t frames);

} // namespace quillon

// MD3 normal codes for many normals at once (TMD3::EncodeNormal is the one-normal case).
#pragma once

#include "Lanes.h"
#include "VectorMath.h"

#include <cstdint>
#include <span>

namespace quillon {

// The code of each of `normals` into the same place of `codes`, which holds at least as many:
// the angle about z in the high byte and the angle from +z in the low byte, in 255ths of a turn
// rounded half to even; 0 and 128 for vectors within 0.001 of +z and -z on every axis.
void EncodeNormals(std::span<const TVector> normals, std::span<int16_t> codes);

// atan2 of each lane to within 1e-6 radians, many times faster than the library's: a
// polynomial for atan on [0, 1] (Abramowitz and Stegun 4.4.49, error at most 2e-8) carried to
// the other octants, all in single precision, whose roundings make up nearly all of the error.
// Not a number when both arguments are zero or either is not a number, so a caller that needs
// the library's signed-zero cases must check for it.
TFloat4 ArcTan2Approx(TFloat4 y, TFloat4 x);

} // namespace quillon

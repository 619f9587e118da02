// Four floats in one 16-byte SIMD register, through the vector extensions of GCC and Clang; on
// x86-64 that is SSE2, which every processor of the architecture has, so no compile flag or
// run-time dispatch is needed. Arithmetic and comparisons work lane by lane, and each lane gets
// the IEEE operation the scalar expression would use: a formula evaluated in lanes gives every
// lane the bits the scalar formula gives. A comparison yields all ones or zero in each lane of
// the integer vector of the same size, and `mask ? a : b` picks lane by lane.
#pragma once

#include <cmath>
#include <cstdint>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace quillon {

typedef float TFloat4 __attribute__((vector_size(16)));
typedef int32_t TInt4 __attribute__((vector_size(16)));
typedef int64_t TLong2 __attribute__((vector_size(16)));
typedef int16_t TShort4 __attribute__((vector_size(8)));

constexpr TFloat4 Splat4(float f) {
    return TFloat4{f, f, f, f};
}

// std::fabs and std::copysign, lane by lane: only the sign bit changes.
inline TFloat4 Abs(TFloat4 v) {
    return TFloat4(TInt4(v) & INT32_MAX);
}

inline TFloat4 CopySign(TFloat4 magnitude, TFloat4 sign) {
    return TFloat4((TInt4(magnitude) & INT32_MAX) | (TInt4(sign) & INT32_MIN));
}

// The smaller and the larger lane; where either is not a number, the second argument.
inline TFloat4 Min(TFloat4 a, TFloat4 b) {
    return a < b ? a : b;
}

inline TFloat4 Max(TFloat4 a, TFloat4 b) {
    return a > b ? a : b;
}

// `mask ? v : 0` and `mask ? -v : v`, as bit operations.
inline TFloat4 OnlyWhere(TInt4 mask, TFloat4 v) {
    return TFloat4(TInt4(v) & mask);
}

inline TFloat4 NegateWhere(TInt4 mask, TFloat4 v) {
    return TFloat4(TInt4(v) ^ (mask & INT32_MIN));
}

// Correctly rounded square roots, as std::sqrt gives them.
inline TFloat4 Sqrt(TFloat4 v) {
#ifdef __SSE2__
    return _mm_sqrt_ps(v);
#else
    return TFloat4{std::sqrt(v[0]), std::sqrt(v[1]), std::sqrt(v[2]), std::sqrt(v[3])};
#endif
}

// True when every lane of a comparison's result is set.
inline bool AllSet(TInt4 mask) {
    const TLong2 halves = TLong2(mask);
    return (halves[0] & halves[1]) == -1;
}

} // namespace quillon

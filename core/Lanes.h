// Four or eight floats in one SIMD register, through the vector extensions of GCC and Clang; on
// x86-64 four are SSE2, which every processor of the architecture has, and eight are one AVX
// register in code compiled for AVX2 (see InstructionSet.h) and two SSE2 registers elsewhere.
// Arithmetic and comparisons work lane by lane, and each lane gets the IEEE operation the scalar
// expression would use: a formula evaluated in lanes gives every lane the bits the scalar
// formula gives. A comparison yields all ones or zero in each lane of the integer vector of the
// same size, and `mask ? a : b` picks lane by lane. The helpers here are always inlined, so that
// each gets compiled for the instruction set of the code that calls it.
#pragma once

#include <cmath>
#include <cstdint>
#include <type_traits>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

// Eight-lane helpers return AVX-sized vectors in code compiled without AVX, which GCC warns would
// pass them differently from AVX code (they take them by reference, which draws no such
// warning). Lane code is always inlined and never called across that boundary, so the warning is
// off for every file that uses lanes.
#pragma GCC diagnostic ignored "-Wpsabi"

namespace quillon {

typedef float TFloat4 __attribute__((vector_size(16)));
typedef int32_t TInt4 __attribute__((vector_size(16)));
typedef int64_t TLong2 __attribute__((vector_size(16)));
typedef int16_t TShort4 __attribute__((vector_size(8)));
typedef float TFloat8 __attribute__((vector_size(32)));
typedef int32_t TInt8 __attribute__((vector_size(32)));
typedef int16_t TShort8 __attribute__((vector_size(16)));

template <class F>
concept FloatLanes = std::is_same_v<F, TFloat4> || std::is_same_v<F, TFloat8>;

// The integer vector a comparison of two F yields.
template <FloatLanes F> using TMaskOf = decltype(F{} < F{});

constexpr TFloat4 Splat4(float f) {
    return TFloat4{f, f, f, f};
}

// `f` in every lane, as one broadcast (element by element, the compiler may go through memory).
template <FloatLanes F> [[gnu::always_inline]] inline F Splat(float f) {
    const TFloat4 first{f};
    if constexpr (sizeof(F) == sizeof(TFloat8))
        return __builtin_shufflevector(first, first, 0, 0, 0, 0, 0, 0, 0, 0);
    else
        return __builtin_shufflevector(first, first, 0, 0, 0, 0);
}

// std::fabs and std::copysign, lane by lane: only the sign bit changes.
template <FloatLanes F> [[gnu::always_inline]] inline F Abs(const F& v) {
    return F(TMaskOf<F>(v) & INT32_MAX);
}

template <FloatLanes F>
[[gnu::always_inline]] inline F CopySign(const F& magnitude, const F& sign) {
    return F((TMaskOf<F>(magnitude) & INT32_MAX) | (TMaskOf<F>(sign) & INT32_MIN));
}

// The smaller and the larger lane; where either is not a number, the second argument.
template <FloatLanes F> [[gnu::always_inline]] inline F Min(const F& a, const F& b) {
    return a < b ? a : b;
}

template <FloatLanes F> [[gnu::always_inline]] inline F Max(const F& a, const F& b) {
    return a > b ? a : b;
}

// `mask ? v : 0` and `mask ? -v : v`, as bit operations.
template <FloatLanes F>
[[gnu::always_inline]] inline F OnlyWhere(const TMaskOf<F>& mask, const F& v) {
    return F(TMaskOf<F>(v) & mask);
}

template <FloatLanes F>
[[gnu::always_inline]] inline F NegateWhere(const TMaskOf<F>& mask, const F& v) {
    return F(TMaskOf<F>(v) ^ (mask & INT32_MIN));
}

// Lanes 0 to 3 of `low` and lanes 4 to 7 of `high`.
[[gnu::always_inline]] inline TFloat8 JoinHalves(const TFloat8& low, const TFloat8& high) {
    return __builtin_shufflevector(low, high, 0, 1, 2, 3, 12, 13, 14, 15);
}

// Correctly rounded square roots, as std::sqrt gives them.
[[gnu::always_inline]] inline TFloat4 Sqrt(TFloat4 v) {
#ifdef __SSE2__
    return _mm_sqrt_ps(v);
#else
    return TFloat4{std::sqrt(v[0]), std::sqrt(v[1]), std::sqrt(v[2]), std::sqrt(v[3])};
#endif
}

[[gnu::always_inline]] inline TFloat8 Sqrt(const TFloat8& v) {
    const TFloat4 low = Sqrt(__builtin_shufflevector(v, v, 0, 1, 2, 3));
    const TFloat4 high = Sqrt(__builtin_shufflevector(v, v, 4, 5, 6, 7));
    return __builtin_shufflevector(low, high, 0, 1, 2, 3, 4, 5, 6, 7);
}

// True when every lane of a comparison's result is set.
[[gnu::always_inline]] inline bool AllSet(TInt4 mask) {
    const TLong2 halves = TLong2(mask);
    return (halves[0] & halves[1]) == -1;
}

[[gnu::always_inline]] inline bool AllSet(const TInt8& mask) {
    return AllSet(__builtin_shufflevector(mask, mask, 0, 1, 2, 3) &
                  __builtin_shufflevector(mask, mask, 4, 5, 6, 7));
}

} // namespace quillon

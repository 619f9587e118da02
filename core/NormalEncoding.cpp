// A normal code holds two angles of the normal in 255ths of a turn, each the exact angle (in long
// double) of the normalised vector, rounded to single precision and then half to even. Fast
// angles in single precision decide the same byte wherever they cannot straddle a rounding
// boundary, and they skip the normalisation, as both angles are those of the vector as given:
// the angle about z is atan2(y, x) and the angle from +z atan2(sqrt(x^2 + y^2), z).
//
// The budget, in steps (255ths of a turn; a radian is 40.6 steps). ArcTan2Approx lies within
// 1e-6 radians of the true angle (see its header), 4e-5 steps; the roundings of x^2 + y^2 and
// its root move the angle from +z by under 1e-7 radians, and the steps and their fraction add
// under 5e-5 steps. The exact value lies within a millionth of a step of the angle of the
// normalised vector and its rounding to single precision moves it by less than four millionths.
// The normalised vector points where the vector does within 1.2e-7 radians about z (its x and y
// carry one rounding each with a common scale), but its z, from which the exact way takes the angle
// from +z, is off by up to 4.5 single-precision roundings of itself, 2.7e-7, which moves that
// angle by 2.7e-7 times the angle's cotangent. Lanes are therefore decided fast only where the
// cotangent is at most 32 (x^2 + y^2 > z^2 / 1024; within 1.8 degrees of the z axis the exact
// way decides), which keeps this term under 3.5e-4 steps, and where the squared length lies
// between 1e-30 and 1e30, so that neither way's squares underflow or overflow. Altogether the
// fast value of a decided lane is within 5e-4 steps of the exact value, so every byte whose fast
// value is more than a thousandth of a step from a half step is certain. A normal with an angle
// near a half step, near or at a pole, or not a plain number is then encoded the exact way on
// its own. The normals are taken eight at a time with AVX2 and four elsewhere, one per lane.
#include "NormalEncoding.h"

#include "Assert.h"
#include "NormalEncodingVersions.h"

#include <algorithm>
#include <cstring>

namespace quillon {

namespace {

constexpr float PoleTolerance = 0.001f;
constexpr float StepsPerRadian = float(double(RadToDegF) / 360.0 * 255.0);
// How far from a half step the approximate angle must be to decide the byte, in steps.
constexpr float HalfStepGuard = 1e-3f;
// The fast angles skip normalisation where x^2 + y^2 exceeds z^2 times this (a power of two, so
// the product is exact) and the squared length lies within the bounds.
constexpr float SteepestSquaredTangent = 1.0f / 1024;
constexpr float SmallestSquaredLength = 1e-30f, LargestSquaredLength = 1e30f;

uint16_t ExactByte(long double radians) {
    const long double k = RadToDegF;
    return static_cast<uint16_t>(std::llrint(static_cast<float>(radians * k / 360.0L * 255.0L)) &
                                 255);
}

int16_t EncodeExactly(TVector v) {
    if (VectorEquals(v, AxisPosZ(), PoleTolerance))
        return 0;
    if (VectorEquals(v, AxisNegZ(), PoleTolerance))
        return 128;
    const TVector u = VectorNormalize(v);
    const uint16_t lat = ExactByte(ArcTan2(u.y, u.x));
    // A normalised z may exceed 1 by a rounding step; 1 - z^2 must not go negative.
    const long double sine = std::sqrt(std::max(0.0L, 1.0L - static_cast<long double>(u.z) * u.z));
    const uint16_t lng = ExactByte(ArcTan2(sine, u.z));
    return static_cast<int16_t>((lat << 8) + lng);
}

// ArcTan2Approx in lanes of either width, written here so that the encoding loop gets it inline.
template <FloatLanes F> [[gnu::always_inline]] inline F FastArcTan2(const F& y, const F& x) {
    const F ax = Abs(x), ay = Abs(y);
    const TMaskOf<F> steep = ay > ax;
    // (steep ? ax : ay) / (steep ? ay : ax), a not-a-number in either kept.
    const F t = Min(ax, ay) / Max(ay, ax);
    // Estrin's scheme: the terms in pairs, so that the multiplications need not wait in line.
    const F t2 = t * t, t4 = t2 * t2, t8 = t4 * t4;
    const F low = (Splat<F>(1.0f) - Splat<F>(0.3333314528f) * t2) +
                  t4 * (Splat<F>(0.1999355085f) - Splat<F>(0.1420889944f) * t2);
    const F high = (Splat<F>(0.1065626393f) - Splat<F>(0.0752896400f) * t2) +
                   t4 * (Splat<F>(0.0429096138f) - Splat<F>(0.0161657367f) * t2);
    const F atan01 = t * (low + t8 * (high + t8 * Splat<F>(0.0028662257f)));
    constexpr float pi = 3.14159265358979323846f;
    // The octant fixed by arithmetic rather than by branches, which random normals mispredict.
    const F r = OnlyWhere(steep, Splat<F>(pi / 2)) + NegateWhere(steep, atan01);
    const TMaskOf<F> negativeX = x < Splat<F>(0.0f);
    return CopySign(OnlyWhere(negativeX, Splat<F>(pi)) + NegateWhere(negativeX, r), y);
}

// The bytes of the angles in `radians`; `decided` is all ones in a lane whose byte is certain,
// zero where the angle lies near a half step or is not a plain number.
template <FloatLanes F>
[[gnu::always_inline]] inline TMaskOf<F> AngleBytes(const F& radians, TMaskOf<F>& decided) {
    const F steps = radians * Splat<F>(StepsPerRadian);
    const TMaskOf<F> inRange = Abs(steps) < Splat<F>(256.0f);
    // Positive, so truncation rounds to nearest; lanes out of range are parked at zero.
    const F shifted = inRange ? steps + Splat<F>(256.5f) : Splat<F>(0.0f);
    const TMaskOf<F> whole = __builtin_convertvector(shifted, TMaskOf<F>);
    const F fraction = shifted - __builtin_convertvector(whole, F);
    decided =
        inRange & (fraction > Splat<F>(HalfStepGuard)) & (fraction < Splat<F>(1 - HalfStepGuard));
    return (whole - 256) & 255;
}

// The short integer vector of as many lanes as F.
template <FloatLanes F> using TCodesOf = std::conditional_t<sizeof(F) == 32, TShort8, TShort4>;

template <FloatLanes F> struct TNormalLanes { F x, y, z; };

// Four consecutive normals, x, y and z each in one vector.
[[gnu::always_inline]] inline TNormalLanes<TFloat4> TransposeFour(const TVector* four) {
    static_assert(sizeof(TVector) == 3 * sizeof(float));
    TFloat4 a, b, c; // x0 y0 z0 x1 | y1 z1 x2 y2 | z2 x3 y3 z3
    std::memcpy(&a, four, sizeof a);
    std::memcpy(&b, reinterpret_cast<const char*>(four) + sizeof a, sizeof b);
    std::memcpy(&c, reinterpret_cast<const char*>(four) + 2 * sizeof a, sizeof c);
    return {__builtin_shufflevector(__builtin_shufflevector(a, b, 0, 3, 6, 7), c, 0, 1, 2, 5),
            __builtin_shufflevector(__builtin_shufflevector(a, b, 1, 4, 7, 7), c, 0, 1, 2, 6),
            __builtin_shufflevector(__builtin_shufflevector(a, b, 2, 5, 5, 5), c, 0, 1, 4, 7)};
}

// Eight consecutive normals, likewise.
[[gnu::always_inline]] inline TNormalLanes<TFloat8> TransposeEight(const TVector* eight) {
    TFloat8 a, b, c; // x0 y0 z0 x1 y1 z1 x2 y2 | z2 x3 y3 z3 x4 y4 z4 x5 | y5 z5 x6 ... z7
    std::memcpy(&a, eight, sizeof a);
    std::memcpy(&b, reinterpret_cast<const char*>(eight) + sizeof a, sizeof b);
    std::memcpy(&c, reinterpret_cast<const char*>(eight) + 2 * sizeof a, sizeof c);
    return {__builtin_shufflevector(__builtin_shufflevector(a, b, 0, 3, 6, 9, 12, 15, 0, 0), c, 0,
                                    1, 2, 3, 4, 5, 10, 13),
            __builtin_shufflevector(__builtin_shufflevector(a, b, 1, 4, 7, 10, 13, 0, 0, 0), c, 0,
                                    1, 2, 3, 4, 8, 11, 14),
            __builtin_shufflevector(__builtin_shufflevector(a, b, 2, 5, 8, 11, 14, 0, 0, 0), c, 0,
                                    1, 2, 3, 4, 9, 12, 15)};
}

// The codes of a vector's worth of normals; `decided` as for AngleBytes, and zero at and near
// the poles and at lengths outside the bounds.
template <FloatLanes F>
[[gnu::always_inline]] inline void FastCodes(const TNormalLanes<F>& v, TMaskOf<F>& codes,
                                             TMaskOf<F>& decided) {
    const F tolerance = Splat<F>(PoleTolerance);
    const TMaskOf<F> pole =
        (Abs(v.x) < tolerance) & (Abs(v.y) < tolerance) &
        ((Abs(v.z - Splat<F>(1.0f)) < tolerance) | (Abs(v.z + Splat<F>(1.0f)) < tolerance));
    const F acrossSquared = v.x * v.x + v.y * v.y, zSquared = v.z * v.z;
    const F lengthSquared = acrossSquared + zSquared;
    const TMaskOf<F> plain = (acrossSquared > zSquared * Splat<F>(SteepestSquaredTangent)) &
                             (lengthSquared > Splat<F>(SmallestSquaredLength)) &
                             (lengthSquared < Splat<F>(LargestSquaredLength));
    TMaskOf<F> latDecided, lngDecided;
    const TMaskOf<F> lat = AngleBytes(FastArcTan2(v.y, v.x), latDecided);
    const TMaskOf<F> lng = AngleBytes(FastArcTan2(Sqrt(acrossSquared), v.z), lngDecided);
    decided = latDecided & lngDecided & plain & ~pole;
    codes = (lat << 8) + lng;
}

// A vector's worth of codes; a lane the fast angles cannot decide is encoded the exact way.
// `count` below the number of lanes keeps the codes of the first `count` normals only.
template <FloatLanes F>
[[gnu::always_inline]] inline void EncodeLanes(const TVector* normals, size_t count,
                                               int16_t* codes) {
    constexpr size_t lanes = sizeof(F) / sizeof(float);
    TMaskOf<F> fast, decided;
    if constexpr (lanes == 8)
        FastCodes(TransposeEight(normals), fast, decided);
    else
        FastCodes(TransposeFour(normals), fast, decided);
    if (count == lanes && AllSet(decided)) {
        const TCodesOf<F> packed = __builtin_convertvector(fast, TCodesOf<F>);
        std::memcpy(codes, &packed, sizeof packed);
        return;
    }
    for (size_t i = 0; i < count; ++i)
        codes[i] = static_cast<int16_t>(decided[i] ? fast[i] : EncodeExactly(normals[i]));
}

// Eight lanes where they are one register, four elsewhere: without AVX the compiler would take
// comparisons of eight lanes apart one lane at a time.
template <FloatLanes F>
[[gnu::always_inline]] inline void EncodeAll(std::span<const TVector> normals,
                                             std::span<int16_t> codes) {
    constexpr size_t lanes = sizeof(F) / sizeof(float);
    const size_t whole = normals.size() / lanes * lanes;
    for (size_t i = 0; i < whole; i += lanes)
        EncodeLanes<F>(&normals[i], lanes, &codes[i]);
    if (whole < normals.size()) {
        // The last few, with the first of them repeated in the lanes left over.
        TVector last[lanes];
        for (size_t i = 0; i < lanes; ++i)
            last[i] = normals[whole + (whole + i < normals.size() ? i : 0)];
        EncodeLanes<F>(last, normals.size() - whole, &codes[whole]);
    }
}

#if defined(__x86_64__)
__attribute__((target("avx2"))) void EncodeWithAvx2(std::span<const TVector> normals,
                                                    std::span<int16_t> codes) {
    EncodeAll<TFloat8>(normals, codes);
}
#endif

void EncodeOnAnyProcessor(std::span<const TVector> normals, std::span<int16_t> codes) {
    EncodeAll<TFloat4>(normals, codes);
}

} // namespace

TFloat4 ArcTan2Approx(TFloat4 y, TFloat4 x) {
    return FastArcTan2(y, x);
}

void EncodeNormals(std::span<const TVector> normals, std::span<int16_t> codes,
                   TInstructionSet set) {
    QUILLON_ASSERT(HasInstructionSet(set) && codes.size() >= normals.size());
#if defined(__x86_64__)
    if (set == TInstructionSet::Avx2)
        return EncodeWithAvx2(normals, codes);
#endif
    EncodeOnAnyProcessor(normals, codes);
}

void EncodeNormals(std::span<const TVector> normals, std::span<int16_t> codes) {
    EncodeNormals(normals, codes, FastestInstructionSet());
}

} // namespace quillon

// A normal code holds two angles of the normal in 255ths of a turn, each the exact angle (in long
// double) rounded to single precision and then half to even. An approximate angle decides the
// same byte wherever it cannot straddle a rounding boundary: ArcTan2Approx in single precision
// lies within 1e-6 radians of the true angle (see its header), 4e-5 of a step; the sine taken as
// sqrt((1 - z)(1 + z)) adds under 1e-7 radians, and the steps and their fraction under 5e-5 steps,
// while the exact value lies within a millionth of a step of the true angle and its rounding to
// single precision moves it by less than four millionths. So every byte whose fast value is more
// than a thousandth of a step from a half step is certain. The normals are taken four at a time,
// one per lane of single-precision vectors; a normal with an angle near a half step, at a pole or
// not a plain number is then encoded the exact way on its own.
#include "NormalEncoding.h"

#include <algorithm>
#include <cstring>

namespace quillon {

namespace {

constexpr float PoleTolerance = 0.001f;
constexpr float StepsPerRadian = float(double(RadToDegF) / 360.0 * 255.0);
// How far from a half step the approximate angle must be to decide the byte, in steps.
constexpr float HalfStepGuard = 1e-3f;

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

// ArcTan2Approx, written here so that the encoding loop gets it inline.
[[gnu::always_inline]] inline TFloat4 FastArcTan2(TFloat4 y, TFloat4 x) {
    const TFloat4 ax = Abs(x), ay = Abs(y);
    const TInt4 steep = ay > ax;
    // (steep ? ax : ay) / (steep ? ay : ax), a not-a-number in either kept.
    const TFloat4 t = Min(ax, ay) / Max(ay, ax);
    // Estrin's scheme: the terms in pairs, so that the multiplications need not wait in line.
    const TFloat4 t2 = t * t, t4 = t2 * t2, t8 = t4 * t4;
    const TFloat4 low = (Splat4(1.0f) - Splat4(0.3333314528f) * t2) +
                        t4 * (Splat4(0.1999355085f) - Splat4(0.1420889944f) * t2);
    const TFloat4 high = (Splat4(0.1065626393f) - Splat4(0.0752896400f) * t2) +
                         t4 * (Splat4(0.0429096138f) - Splat4(0.0161657367f) * t2);
    const TFloat4 atan01 = t * (low + t8 * (high + t8 * Splat4(0.0028662257f)));
    constexpr float pi = 3.14159265358979323846f;
    // The octant fixed by arithmetic rather than by branches, which random normals mispredict.
    const TFloat4 r = OnlyWhere(steep, Splat4(pi / 2)) + NegateWhere(steep, atan01);
    const TInt4 negativeX = x < Splat4(0.0f);
    return CopySign(OnlyWhere(negativeX, Splat4(pi)) + NegateWhere(negativeX, r), y);
}

// The bytes of four angles; `decided` is all ones in a lane whose byte is certain, zero where
// the angle lies near a half step or is not a plain number.
TInt4 AngleBytes(TFloat4 radians, TInt4& decided) {
    const TFloat4 steps = radians * Splat4(StepsPerRadian);
    const TInt4 inRange = Abs(steps) < Splat4(256.0f);
    // Positive, so truncation rounds to nearest; lanes out of range are parked at zero.
    const TFloat4 shifted = inRange ? steps + Splat4(256.5f) : Splat4(0.0f);
    const TInt4 whole = __builtin_convertvector(shifted, TInt4);
    const TFloat4 fraction = shifted - __builtin_convertvector(whole, TFloat4);
    decided = inRange & (fraction > Splat4(HalfStepGuard)) & (fraction < Splat4(1 - HalfStepGuard));
    return (whole - 256) & 255;
}

struct TFourNormals {
    TFloat4 x, y, z;
};

// Four consecutive normals, x, y and z each in one vector.
TFourNormals Transpose(const TVector* four) {
    static_assert(sizeof(TVector) == 3 * sizeof(float));
    TFloat4 a, b, c; // x0 y0 z0 x1 | y1 z1 x2 y2 | z2 x3 y3 z3
    std::memcpy(&a, four, sizeof a);
    std::memcpy(&b, reinterpret_cast<const char*>(four) + sizeof a, sizeof b);
    std::memcpy(&c, reinterpret_cast<const char*>(four) + 2 * sizeof a, sizeof c);
    return {__builtin_shufflevector(__builtin_shufflevector(a, b, 0, 3, 6, 7), c, 0, 1, 2, 5),
            __builtin_shufflevector(__builtin_shufflevector(a, b, 1, 4, 7, 7), c, 0, 1, 2, 6),
            __builtin_shufflevector(__builtin_shufflevector(a, b, 2, 5, 5, 5), c, 0, 1, 4, 7)};
}

// The codes of four normals; `decided` as for AngleBytes, and zero at the poles.
TInt4 FastCodes(const TFourNormals& v, TInt4& decided) {
    const TFloat4 tolerance = Splat4(PoleTolerance);
    const TInt4 pole =
        (Abs(v.x) < tolerance) & (Abs(v.y) < tolerance) &
        ((Abs(v.z - Splat4(1.0f)) < tolerance) | (Abs(v.z + Splat4(1.0f)) < tolerance));
    // VectorNormalize, lane by lane.
    const TFloat4 lengthSquared = v.x * v.x + v.y * v.y + v.z * v.z;
    const TInt4 isZero = lengthSquared == Splat4(0.0f);
    const TFloat4 scale = Splat4(1.0f) / Sqrt(lengthSquared);
    const TFloat4 x = isZero ? v.x : v.x * scale;
    const TFloat4 y = isZero ? v.y : v.y * scale;
    const TFloat4 z = isZero ? v.z : v.z * scale;
    TInt4 latDecided, lngDecided;
    const TInt4 lat = AngleBytes(FastArcTan2(y, x), latDecided);
    // 1 - z^2 as (1 - z)(1 + z): within three roundings of its value however close z is to 1.
    const TFloat4 gap = (Splat4(1.0f) - z) * (Splat4(1.0f) + z);
    const TFloat4 sine = Sqrt(Splat4(0.0f) < gap ? gap : Splat4(0.0f));
    const TInt4 lng = AngleBytes(FastArcTan2(sine, z), lngDecided);
    decided = latDecided & lngDecided & ~pole;
    return (lat << 8) + lng;
}

// Four codes; a lane the fast angles cannot decide is encoded the exact way. `count` below four
// keeps the codes of the first `count` normals only.
void EncodeFour(const TVector* four, size_t count, int16_t* codes) {
    TInt4 decided;
    const TInt4 fast = FastCodes(Transpose(four), decided);
    if (count == 4 && AllSet(decided)) {
        const TShort4 packed = __builtin_convertvector(fast, TShort4);
        std::memcpy(codes, &packed, sizeof packed);
        return;
    }
    for (size_t i = 0; i < count; ++i)
        codes[i] = static_cast<int16_t>(decided[i] ? fast[i] : EncodeExactly(four[i]));
}

} // namespace

TFloat4 ArcTan2Approx(TFloat4 y, TFloat4 x) {
    return FastArcTan2(y, x);
}

void EncodeNormals(std::span<const TVector> normals, std::span<int16_t> codes) {
    const size_t whole = normals.size() / 4 * 4;
    for (size_t i = 0; i < whole; i += 4)
        EncodeFour(&normals[i], 4, &codes[i]);
    if (whole < normals.size()) {
        // The last few, with the first of them repeated in the lanes left over.
        TVector four[4];
        for (size_t i = 0; i < 4; ++i)
            four[i] = normals[whole + (whole + i < normals.size() ? i : 0)];
        EncodeFour(four, normals.size() - whole, &codes[whole]);
    }
}

} // namespace quillon

#include "core/MD3.h"
#include "core/NormalEncoding.h"
#include "core/NormalEncodingVersions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

using namespace quillon;

TEST(NormalCoding, KnownCodes) {
    EXPECT_EQ(TMD3::EncodeNormal({0, 0, 1}), 0);
    EXPECT_EQ(TMD3::EncodeNormal({0, 0, -1}), 128);
    EXPECT_EQ(TMD3::EncodeNormal({1, 0, 0}), 64);
    EXPECT_EQ(TMD3::EncodeNormal({0, 1, 0}), 16448);
    // The pole tests look at the vector as given, not normalised.
    EXPECT_EQ(TMD3::EncodeNormal({0, 0.0005f, 1.0005f}), 0);
}

TEST(NormalCoding, NegativeLatitudeWrapsIntoUpperHalf) {
    // Pointing to -y: a = -63.75 rounds to -64, stored as 192.
    EXPECT_EQ(TMD3::EncodeNormal({0, -1, 0}) >> 8 & 255, 192);
    // A small negative angle: A = -3 becomes 253.
    const float angle = -3.0f * 360.0f / 255.0f * 3.14159265f / 180.0f;
    const int16_t code = TMD3::EncodeNormal({std::cos(angle), std::sin(angle), 0});
    EXPECT_EQ((static_cast<uint16_t>(code) >> 8) & 255, 253);
}

TEST(NormalCoding, DecodeKnownCodes) {
    const TVector up = TMD3::DecodeNormal(0);
    EXPECT_FLOAT_EQ(up.x, 0);
    EXPECT_FLOAT_EQ(up.y, 0);
    EXPECT_FLOAT_EQ(up.z, 1);
    const TVector down = TMD3::DecodeNormal(128);
    EXPECT_NEAR(down.x, -0.0123f, 1e-4f);
    EXPECT_NEAR(down.y, 0, 1e-6f);
    EXPECT_NEAR(down.z, -0.99992f, 1e-5f);
}

TEST(NormalCoding, ZJustAboveOneDoesNotBreakEncoding) {
    // Normalising can leave z a rounding step above 1 without landing in the pole test.
    const int16_t code = TMD3::EncodeNormal({0.0f, 0.0012f, 1.0000001f});
    const TVector back = TMD3::DecodeNormal(code);
    EXPECT_GT(back.z, 0.99f);
}

TEST(NormalCoding, RoundTripStaysWithinOneCodeStep) {
    // One step of the code is 360/255 degrees in either angle; allow a little over one step.
    const float step = 2.0f * 3.14159265f / 255.0f * 1.05f;
    for (int i = 0; i < 64; ++i)
        for (int j = 1; j < 64; ++j) {
            const float lat = i * 2 * 3.14159265f / 64;
            const float lng = j * 3.14159265f / 64;
            const TVector v{std::cos(lat) * std::sin(lng), std::sin(lat) * std::sin(lng),
                            std::cos(lng)};
            const TVector back = TMD3::DecodeNormal(TMD3::EncodeNormal(v));
            const float angle = std::acos(std::clamp(VectorDot(v, back), -1.0f, 1.0f));
            EXPECT_LE(angle, step) << "lat " << lat << " lng " << lng;
        }
}

// The formula evaluated the long way, every angle in long double.
int16_t EncodeNormalLongWay(TVector v) {
    if (VectorEquals(v, AxisPosZ(), 0.001f))
        return 0;
    if (VectorEquals(v, AxisNegZ(), 0.001f))
        return 128;
    const TVector u = VectorNormalize(v);
    const long double k = RadToDegF;
    const float a = static_cast<float>(atan2l(u.y, u.x) * k / 360.0L * 255.0L);
    const long double sine = std::sqrt(std::max(0.0L, 1.0L - static_cast<long double>(u.z) * u.z));
    const float b = static_cast<float>(atan2l(sine, u.z) * k / 360.0L * 255.0L);
    return static_cast<int16_t>(((std::llrint(a) & 255) << 8) + (std::llrint(b) & 255));
}

TEST(NormalCoding, FastAnglesGiveTheLongWaysCodes) {
    std::mt19937 random(7);
    std::uniform_real_distribution<float> any(-1.0f, 1.0f);
    for (int i = 0; i < 200000; ++i) {
        const TVector v{any(random), any(random), any(random)};
        ASSERT_EQ(TMD3::EncodeNormal(v), EncodeNormalLongWay(v)) << v.x << " " << v.y << " " << v.z;
    }
    // Aimed at the half steps, where the rounding is decided by the last bits.
    std::uniform_real_distribution<float> hair(-2e-6f, 2e-6f);
    const float turn = 2.0f * 3.14159265f;
    for (int step = -128; step < 128; ++step)
        for (int i = 0; i < 200; ++i) {
            const float lat = (step + 0.5f + hair(random)) * turn / 255.0f;
            const float lng = (std::abs(step) / 2 + 0.5f + hair(random)) * turn / 255.0f;
            const TVector v{std::cos(lat) * std::sin(lng), std::sin(lat) * std::sin(lng),
                            std::cos(lng)};
            ASSERT_EQ(TMD3::EncodeNormal(v), EncodeNormalLongWay(v)) << step << " " << i;
        }
}

TEST(NormalCoding, FastAnglesGiveTheLongWaysCodesOnTheAxesAndOddVectors) {
    // Signed zeros, the -x axis (a half step either way), tiny and huge lengths, not a number.
    const float tiny = 1e-30f, nan = NAN, inf = INFINITY;
    const std::vector<TVector> odd = {{0, 0, 0},       {-0.0f, 0, 0.5f}, {-1, 0, 0},
                                      {-1, -0.0f, 0},  {0, -1, 0},       {-0.0f, 1, 0},
                                      {tiny, tiny, 0}, {-tiny, 0, 1},    {1e20f, -1e20f, 3e19f},
                                      {0, 0, 1.002f},  {0, 0, -1.0009f}, {nan, 0, 0},
                                      {0, inf, 0},     {1, 1, nan}};
    for (const TVector& v : odd)
        EXPECT_EQ(TMD3::EncodeNormal(v), EncodeNormalLongWay(v)) << v.x << " " << v.y << " " << v.z;
    // Close to the axes and the poles, where one component decides the angle.
    std::mt19937 random(11);
    std::uniform_real_distribution<float> any(-1.0f, 1.0f);
    for (int i = 0; i < 100000; ++i) {
        const float small = any(random) * std::pow(10.0f, -float(i % 8));
        const TVector on[] = {{1, small, any(random)},
                              {small, -1, any(random)},
                              {-1, any(random) * 1e-3f, small},
                              {small, small * any(random), 1 - std::fabs(small)}};
        for (const TVector& v : on)
            ASSERT_EQ(TMD3::EncodeNormal(v), EncodeNormalLongWay(v))
                << v.x << " " << v.y << " " << v.z;
    }
}

// Batches of every length up to nine, so that each lane of a group and the short last group are
// used, on vectors that take the fast angles, the exact way and the poles side by side.
TEST(NormalCoding, BatchesGiveTheCodesOfOneAtATime) {
    std::mt19937 random(13);
    std::uniform_real_distribution<float> any(-1.0f, 1.0f);
    const float turn = 2.0f * 3.14159265f;
    std::vector<TVector> normals;
    for (int i = 0; i < 4000; ++i) {
        switch (i % 5) {
        case 0: // half steps of the angle about z
            normals.push_back({std::cos((i % 255 + 0.5f) * turn / 255),
                               std::sin((i % 255 + 0.5f) * turn / 255), any(random)});
            break;
        case 1:
            normals.push_back({any(random) * 1e-4f, any(random) * 1e-4f, i % 2 ? 1.0f : -1.0f});
            break;
        case 2:
            normals.push_back({0, 0, 0});
            break;
        default:
            normals.push_back({any(random), any(random), any(random)});
        }
    }
    normals.push_back({NAN, 0, 1});
    normals.push_back({INFINITY, -INFINITY, 0});
    for (size_t length = 1; length <= 9; ++length)
        for (size_t start = 0; start + length <= normals.size(); start += length) {
            const std::span<const TVector> batch(normals.data() + start, length);
            std::vector<int16_t> codes(length + 1, 12345);
            EncodeNormals(batch, codes);
            for (size_t i = 0; i < length; ++i)
                ASSERT_EQ(codes[i], EncodeNormalLongWay(batch[i])) << start << " " << i;
            ASSERT_EQ(codes[length], 12345) << "written past the batch";
        }
}

// The fast angles skip normalisation and leave lanes near the z axis, near a half step or of
// extreme length to the exact way; each version of the lanes must agree with the long way on
// both sides of those bounds.
TEST(NormalCoding, EveryVersionGivesTheLongWaysCodesForVectorsOfAnyLength) {
    std::mt19937 random(17);
    std::uniform_real_distribution<float> any(-1.0f, 1.0f);
    std::uniform_real_distribution<float> exponent(-20.0f, 20.0f);
    const float turn = 2.0f * 3.14159265f;
    std::vector<TVector> normals;
    for (int i = 0; i < 60000; ++i) {
        TVector d{any(random), any(random), any(random)};
        switch (i % 6) {
        case 0: // either side of 1.8 degrees from the z axis, where the exact way takes over
        {
            const float tangent = std::pow(10.0f, -3.5f * std::fabs(any(random)));
            const float lat = any(random) * turn;
            d = {std::cos(lat) * tangent, std::sin(lat) * tangent, i % 4 ? 1.0f : -1.0f};
            break;
        }
        case 1: // half steps of either angle
        {
            const float lat = (int(random() % 255) + 0.5f + any(random) * 2e-6f) * turn / 255;
            const float lng = (int(random() % 128) + 0.5f + any(random) * 2e-6f) * turn / 255;
            d = {std::cos(lat) * std::sin(lng), std::sin(lat) * std::sin(lng), std::cos(lng)};
            break;
        }
        case 2: // close to the poles, outside their tolerance but for the length
            d = {any(random) * 1e-3f, any(random) * 1e-3f, i % 4 ? 1.0f : -1.0f};
            break;
        default:
            break;
        }
        // Lengths from 1e-20 to 1e20, past the squared-length bounds of 1e-30 and 1e30.
        const float length = std::pow(10.0f, exponent(random));
        normals.push_back({d.x * length, d.y * length, d.z * length});
    }
    const float nan = NAN, inf = INFINITY, tiny = 1e-40f, huge = 3e38f;
    const std::vector<TVector> odd = {{0, 0, 0},       {-0.0f, -0.0f, 0},  {0, 0, 5},
                                      {0, -0.0f, -5},  {tiny, 0, tiny},    {huge, huge, 0},
                                      {huge, 0, huge}, {1e15f, 0, -1e15f}, {1e-15f, 1e-15f, 0},
                                      {nan, 1, 1},     {1, inf, 0},        {-inf, -inf, inf},
                                      {-1, 0, 0},      {-1, -0.0f, 0}};
    normals.insert(normals.end(), odd.begin(), odd.end());
    for (const TInstructionSet set : {TInstructionSet::AnyProcessor, TInstructionSet::Avx2}) {
        if (!HasInstructionSet(set))
            continue;
        // Batches of 61, so that the short last group of eight is used often too.
        for (size_t start = 0; start < normals.size(); start += 61) {
            const std::span<const TVector> batch(normals.data() + start,
                                                 std::min<size_t>(61, normals.size() - start));
            std::vector<int16_t> codes(batch.size());
            EncodeNormals(batch, codes, set);
            for (size_t i = 0; i < batch.size(); ++i)
                ASSERT_EQ(codes[i], EncodeNormalLongWay(batch[i]))
                    << int(set) << ": " << batch[i].x << " " << batch[i].y << " " << batch[i].z;
        }
    }
}

TEST(NormalCoding, ApproximateArcTan2StaysWithinItsBound) {
    // The encoding relies on this bound; the error is smooth in the ratio apart from the
    // roundings, so a dense sweep of the ratio in every octant finds its largest value.
    const auto approx = [](float y, float x) { return ArcTan2Approx(Splat4(y), Splat4(x))[0]; };
    long double worst = 0;
    for (int i = 0; i <= 1 << 18; ++i) {
        const float t = float(i) / (1 << 18);
        for (const auto& [y, x] : {std::pair{t, 1.0f},
                                   {1.0f, t},
                                   {-t, -1.0f},
                                   {t, -1.0f},
                                   {-1.0f, t},
                                   {1.0f, -t},
                                   {-t, 1.0f},
                                   {-1.0f, -t}})
            worst = std::max(worst, std::fabs(approx(y, x) - atan2l(y, x)));
    }
    std::mt19937 random(3);
    std::uniform_real_distribution<float> any(-1.0f, 1.0f);
    for (int i = 0; i < 200000; ++i) {
        const float y = any(random), x = any(random) * std::pow(10.0f, -float(i % 6));
        worst = std::max(worst, std::fabs(approx(y, x) - atan2l(y, x)));
    }
    EXPECT_LT(worst, 1e-6L);
    // Each lane on its own; the cases the library decides by signed zeros are left to the caller.
    const TFloat4 lanes = ArcTan2Approx(TFloat4{1, -0.0f, 0, NAN}, TFloat4{0, 1, -0.0f, 1});
    EXPECT_FLOAT_EQ(lanes[0], 3.14159265f / 2);
    EXPECT_EQ(lanes[1], 0.0f);
    EXPECT_TRUE(std::signbit(lanes[1]));
    EXPECT_TRUE(std::isnan(lanes[2]));
    EXPECT_TRUE(std::isnan(lanes[3]));
    EXPECT_TRUE(std::isnan(approx(1.0f, NAN)));
}

TEST(NormalCoding, EveryCodeDecodesToUnitVector) {
    for (int code = 0; code < 65536; code += 97)
        EXPECT_NEAR(VectorLength(TMD3::DecodeNormal(static_cast<int16_t>(code))), 1.0f, 1e-5f);
}

TEST(Names, PadName64TruncatesWithoutTerminator) {
    const std::string text(70, 'q');
    const TName64 field = TMD3::PadName64(text);
    EXPECT_EQ(std::string(field.data(), 64), text.substr(0, 64));
    const TName64 shortField = TMD3::PadName64("abc");
    EXPECT_EQ(shortField[3], 0);
    EXPECT_EQ(shortField[63], 0);
    char name[16];
    StringToName("0123456789abcdefXYZ", name);
    EXPECT_EQ(NameToString(name), "0123456789abcdef");
}

#include "DemoImages.h"

#include <array>
#include <cmath>
#include <functional>

namespace quillon::demo {

namespace {

constexpr int Side = 64;
using TRgba = std::array<uint8_t, 4>;

uint8_t Byte(float value) {
    return static_cast<uint8_t>(std::lround(std::fmin(std::fmax(value, 0.0f), 255.0f)));
}

// An uncompressed true-colour TGA of the pixels `colour(x, y)` gives, y counted from the bottom.
std::vector<uint8_t> Tga(bool alpha, const std::function<TRgba(int x, int y)>& colour) {
    std::vector<uint8_t> bytes(18, 0);
    bytes[2] = 2;
    bytes[12] = Side;
    bytes[14] = Side;
    bytes[16] = alpha ? 32 : 24;
    bytes[17] = alpha ? 8 : 0; // the number of alpha bits
    for (int y = 0; y < Side; ++y)
        for (int x = 0; x < Side; ++x) {
            const TRgba c = colour(x, y);
            bytes.insert(bytes.end(), {c[2], c[1], c[0]});
            if (alpha)
                bytes.push_back(c[3]);
        }
    return bytes;
}

float Wave(float cycles, int at) {
    return 0.5f + 0.5f * std::cos(at * cycles * 2 * 3.14159265f / Side);
}

} // namespace

std::vector<uint8_t> TorusImage() {
    return Tga(false, [](int x, int y) {
        const float band = Wave(4, x), ripple = Wave(2, y);
        return TRgba{Byte(30 + 40 * ripple), Byte(90 + 110 * band), Byte(150 + 90 * (1 - band)),
                     255};
    });
}

std::vector<uint8_t> SeamsImage() {
    return Tga(false, [](int x, int y) {
        const bool seam = x % 16 < 2 || y % 32 < 2;
        return seam ? TRgba{40, 30, 60, 255} : TRgba{255, 255, 255, 255};
    });
}

std::vector<uint8_t> GrateImage() {
    return Tga(true, [](int x, int y) {
        const bool bar = x % 16 < 4 || y % 16 < 4;
        const float shade = 0.75f + 0.25f * Wave(1, x + y);
        return TRgba{Byte(230 * shade), Byte(120 * shade), Byte(30 * shade),
                     static_cast<uint8_t>(bar ? 255 : 0)};
    });
}

std::vector<uint8_t> GoldImage() {
    return Tga(false, [](int x, int y) {
        const float brush = 0.8f + 0.2f * Wave(9, y) * Wave(1, x);
        return TRgba{Byte(240 * brush), Byte(190 * brush), Byte(60 * brush), 255};
    });
}

} // namespace quillon::demo

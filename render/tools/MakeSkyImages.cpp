// Writes the six sky box images (skyLeft ... skyBack) that the view loads at start: a procedural
// sky with the horizon across the middle of every side image, so the upper half of each wall is
// sky and the lower half ground. Soft clouds come from smoothed value noise seeded per face, the
// sky deepens towards the zenith and the ground darkens away from the horizon. The top image is
// the zenith, the bottom image the ground beneath the viewer.
#include "images/JpegCodec.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

using namespace quillon;

namespace {

constexpr int Size = 256;

float Hash(int x, int y, int seed) {
    uint32_t h = static_cast<uint32_t>(x * 374761393 + y * 668265263 + seed * 2147483647);
    h = (h ^ (h >> 13)) * 1274126177u;
    return static_cast<float>((h ^ (h >> 16)) & 0xFFFF) / 65535.0f;
}

float SmoothNoise(float x, float y, int seed) {
    const int ix = static_cast<int>(std::floor(x)), iy = static_cast<int>(std::floor(y));
    const float fx = x - ix, fy = y - iy;
    const float sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
    const float a = Hash(ix, iy, seed), b = Hash(ix + 1, iy, seed);
    const float c = Hash(ix, iy + 1, seed), d = Hash(ix + 1, iy + 1, seed);
    return (a + (b - a) * sx) + ((c + (d - c) * sx) - (a + (b - a) * sx)) * sy;
}

float Clouds(float x, float y, int seed) {
    float sum = 0, amplitude = 0.5f, frequency = 4.0f / Size;
    for (int octave = 0; octave < 4; ++octave) {
        sum += amplitude * SmoothNoise(x * frequency, y * frequency, seed + octave);
        amplitude *= 0.5f;
        frequency *= 2;
    }
    return std::clamp((sum - 0.45f) * 2.5f, 0.0f, 1.0f);
}

struct TColour {
    float r, g, b;
};

TColour Mix(TColour a, TColour b, float t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

constexpr TColour Horizon{205, 222, 240};
constexpr TColour Zenith{70, 120, 200};
constexpr TColour CloudWhite{245, 245, 248};
constexpr TColour GroundNear{92, 104, 76};
constexpr TColour GroundFar{128, 136, 112};

// `height` runs from -1 (straight down) through 0 (the horizon) to 1 (straight up).
TColour SkyAt(float height, float x, float y, int seed) {
    if (height < 0) {
        const float grain = 0.9f + 0.2f * SmoothNoise(x / 6, y / 6, seed + 17);
        const TColour ground = Mix(GroundFar, GroundNear, std::min(1.0f, -height * 1.5f));
        return {ground.r * grain, ground.g * grain, ground.b * grain};
    }
    const TColour sky = Mix(Horizon, Zenith, std::pow(height, 0.6f));
    const float cloud = Clouds(x, y, seed) * std::min(1.0f, height * 6);
    return Mix(sky, CloudWhite, cloud * 0.8f);
}

std::vector<uint8_t> Face(int face) {
    std::vector<uint8_t> rgb(Size * Size * 3);
    for (int row = 0; row < Size; ++row)
        for (int x = 0; x < Size; ++x) {
            const float v = 1.0f - (row + 0.5f) / Size; // 1 at the top row
            float height;
            if (face == 3) // top: the zenith in the middle, the horizon at the rim
                height =
                    1.0f - std::max(std::fabs(v * 2 - 1), std::fabs((x + 0.5f) / Size * 2 - 1));
            else if (face == 2) // bottom: all ground
                height = -0.7f;
            else
                height = v * 2 - 1;
            const TColour c = SkyAt(height, x + face * Size, row, face == 3 ? 99 : 7);
            uint8_t* p = &rgb[(size_t(row) * Size + x) * 3];
            p[0] = static_cast<uint8_t>(std::clamp(c.r, 0.0f, 255.0f));
            p[1] = static_cast<uint8_t>(std::clamp(c.g, 0.0f, 255.0f));
            p[2] = static_cast<uint8_t>(std::clamp(c.b, 0.0f, 255.0f));
        }
    return rgb;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: quillon-make-sky FOLDER\n";
        return 2;
    }
    const char* names[] = {"skyLeft", "skyRight", "skyBottom", "skyTop", "skyFront", "skyBack"};
    for (int face = 0; face < 6; ++face) {
        const auto jpeg = EncodeJpeg(Face(face), Size, Size, 90);
        const std::string path = std::string(argv[1]) + "/" + names[face] + ".jpg";
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(jpeg.data()), std::streamsize(jpeg.size()));
        if (!out) {
            std::cerr << path << ": cannot write\n";
            return 3;
        }
    }
    return 0;
}

// A decoded image in the layout the texture uploads expect: four bytes red, green, blue, alpha
// per pixel, rows packed without padding and stored bottom row first (GL's texture origin).
#pragma once

#include <cstdint>
#include <vector>

namespace quillon {

// Larger images are refused by every decoder: a hostile header must not make us allocate
// gigabytes, and no GL accepts textures of that size anyway.
inline constexpr int MaxImageSide = 16384;
inline constexpr uint64_t MaxImagePixels = uint64_t(8192) * 8192;

inline bool ImageSizeAcceptable(uint64_t width, uint64_t height) {
    return width > 0 && height > 0 && width <= MaxImageSide && height <= MaxImageSide &&
           width * height <= MaxImagePixels;
}

struct TRgbaImage {
    int Width = 0;
    int Height = 0;
    bool HasAlpha = false;
    std::vector<uint8_t> Pixels;
};

} // namespace quillon

// A decoded image in the layout the texture uploads expect: four bytes red, green, blue, alpha
// per pixel, rows packed without padding and stored bottom row first (GL's texture origin).
// Every decoder answers with a TDecodeResult, so a caller can tell the user what was wrong with
// a file instead of only that something was.
#pragma once

#include <cstdint>
#include <string>
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

struct TDecodeResult {
    bool Ok = false;
    std::string Error; // what was wrong, for the user: "TGA image type 1 with 8 bits ..."

    static TDecodeResult Done() { return {true, {}}; }
    static TDecodeResult Failed(std::string error) { return {false, std::move(error)}; }
    explicit operator bool() const { return Ok; }
};

// "truncated: <what> needs <needed> bytes at offset <offset>, <left> remain"
std::string TruncatedText(const std::string& what, uint64_t needed, uint64_t offset, uint64_t left);
// "<kind> image of <width>x<height> pixels ..." when the size is refused; empty when accepted.
std::string ImageSizeProblem(const std::string& kind, uint64_t width, uint64_t height);

} // namespace quillon

// Our own reader of TGA images: uncompressed and run-length encoded true-colour images of 24 and
// 32 bits per pixel (image types below 9 are read as uncompressed, 9 and above as run-length
// encoded). The rows are taken in file order as the bottom row first; the origin bits of the
// descriptor are deliberately not examined, because the game's own textures rely on exactly
// that reading. Other depths and colour-mapped images are refused, and every refusal says why.
#pragma once

#include "RgbaImage.h"

#include <cstdint>
#include <span>

namespace quillon {

inline constexpr int TgaHeaderSize = 18;

// Width and height from the header; false when the header is short.
bool ReadTgaSize(std::span<const uint8_t> file, int& width, int& height);
// On failure `image` is left empty and the result names what was wrong.
TDecodeResult DecodeTga(std::span<const uint8_t> file, TRgbaImage& image);

} // namespace quillon

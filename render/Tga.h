// Our own reader of TGA images: uncompressed and run-length encoded true-colour images of 24 and
// 32 bits per pixel. The rows are taken in file order as the bottom row first; the origin bits of
// the descriptor are deliberately not examined, because the game's own textures rely on exactly
// that reading. Other depths and colour-mapped images are refused.
#pragma once

#include "RgbaImage.h"

#include <cstdint>
#include <span>

namespace quillon {

inline constexpr int TgaHeaderSize = 18;

// Width and height from the header; false when the header is short.
bool ReadTgaSize(std::span<const uint8_t> file, int& width, int& height);
// False for a short, truncated or unsupported file; `image` is then left empty.
bool DecodeTga(std::span<const uint8_t> file, TRgbaImage& image);

} // namespace quillon

// JPEG images through libjpeg: decoding into the bottom-row-first RGBA layout of the textures
// (alpha 255), reading only the size, and encoding RGB rows (used by the build's sky images).
// libjpeg reports fatal errors through a callback; ours keeps libjpeg's own wording of the problem
// and jumps back out, so a broken file is a failed result with a reason and never ends the
// program.
#pragma once

#include "RgbaImage.h"

#include <cstdint>
#include <span>
#include <vector>

namespace quillon {

TDecodeResult DecodeJpeg(std::span<const uint8_t> file, TRgbaImage& image);
bool ReadJpegSize(std::span<const uint8_t> file, int& width, int& height);
// `rgb` holds width × height pixels of three bytes, top row first.
std::vector<uint8_t> EncodeJpeg(std::span<const uint8_t> rgb, int width, int height, int quality);

} // namespace quillon

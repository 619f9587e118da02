// Our own reader of Windows bitmaps, for the tools that have no Qt (the exporter): the classic
// header and its later versions (40 to 124 bytes) and the old 12-byte OS/2 header; 1, 4 and
// 8 bits per pixel through the palette, 16, 24 and 32 bits directly or through bit-field masks.
// Run-length compressed and embedded JPEG/PNG bitmaps are refused with a reason. Like the view,
// it ignores any alpha: a bitmap decodes as an opaque image.
#pragma once

#include "RgbaImage.h"

#include <cstdint>
#include <span>

namespace quillon {

// On failure `image` is left empty and the result names what was wrong.
TDecodeResult DecodeBmp(std::span<const uint8_t> file, TRgbaImage& image);

} // namespace quillon

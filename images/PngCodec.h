// PNG images through libpng. For the exporter our bottom-row-first RGBA buffer becomes a PNG
// whose first row is the image's top row, as every other reader expects; the importer decodes
// the PNG images a glTF file embeds. An image without an alpha channel is written as RGB, so it
// does not claim a transparency it lacks.
#pragma once

#include "RgbaImage.h"

#include <cstdint>
#include <span>
#include <vector>

namespace quillon {

// The PNG file's bytes; empty when libpng fails (it reports nothing else of use here).
std::vector<uint8_t> EncodePng(const TRgbaImage& image);

// The image in our layout; a failed result with libpng's reason for a broken file, and one
// naming the size for an image larger than the decoders accept.
TDecodeResult DecodePng(std::span<const uint8_t> file, TRgbaImage& image);

} // namespace quillon

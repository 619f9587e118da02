// PNG images through libpng, for the exporter: our bottom-row-first RGBA buffer becomes a PNG
// whose first row is the image's top row, as every other reader expects. An image without an
// alpha channel is written as RGB, so it does not claim a transparency it lacks.
#pragma once

#include "RgbaImage.h"

#include <cstdint>
#include <vector>

namespace quillon {

// The PNG file's bytes; empty when libpng fails (it reports nothing else of use here).
std::vector<uint8_t> EncodePng(const TRgbaImage& image);

} // namespace quillon

// An image file decoded by its extension (.tga, .jpg, .bmp, in any letter case), the
// way the texture manager and the exporter both read them.
#pragma once

#include "RgbaImage.h"

#include <string>

namespace quillon {

// Also a failed result (never an exception) when the file cannot be read: the message then
// names the file and the system's reason.
TDecodeResult DecodeImageFile(const std::string& path, TRgbaImage& image);

// The upper-cased extension with its dot (".TGA"), or empty when the file name has none.
std::string UpperExtension(const std::string& path);

} // namespace quillon

// Image sizes without decoding: the headers of the TGA, BMP and JPEG files the game uses give
// the width, the height and (TGA only) whether there is an alpha channel. Tools without a GL
// view (the command line, the tests) size textures with it.
#pragma once

#include "core/TextureSource.h"

#include <string>

namespace quillon {

struct TImageHeader {
    TImageInfo Info; // extension in capitals, with the dot
    bool HasAlpha = false;
};

// The header of the file at `path`, chosen by its extension; false (and size 0) when the file
// cannot be read or is not of its kind.
[[nodiscard]] bool ReadImageHeader(const std::string& path, TImageHeader& header);

} // namespace quillon

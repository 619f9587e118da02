// Screenshot files: uncompressed 32-bit TGA images named "screenshot" + n + ".tga" in the
// application folder, n the smallest number without a file (a gap left by a deleted screenshot
// is filled first). The 18-byte header says true colour, no colour map, origin 0, 0, the width
// and height as 16-bit values, 32 bits per pixel and descriptor 3; the pixels follow as stored in
// TViewImage. A picture is written completely or not at all: a failed write leaves no file.
#pragma once

#include "ViewImage.h"

#include <string>

namespace quillon {

// The file name (without folder) of the next screenshot in `folder` (ending in "/").
std::string FreeScreenshotName(const std::string& folder);
// False when writing failed or the picture is wider or higher than a TGA header can say; no
// file is left behind then. Throws FileError when the file cannot be created.
[[nodiscard]] bool WriteTga32(const std::string& path, const TViewImage& image);

} // namespace quillon

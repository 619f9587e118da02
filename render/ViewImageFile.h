// Writes a picture of the view for scripts: a PNG file (RGB, or RGBA when the picture has
// alpha) or a 32-bit TGA file laid out as a screenshot, chosen by the extension. The file is
// written completely or not at all.
#pragma once

#include "ViewImage.h"

#include <string>

namespace quillon {

// True for the extensions SaveViewImage writes (".png" and ".tga", any letter case).
bool ViewImageFormatKnown(const std::string& path);
// False when encoding or writing failed or the format is unknown; no file is left behind then.
// Throws FileError when the file cannot be created.
[[nodiscard]] bool SaveViewImage(const std::string& path, const TViewImage& image);

} // namespace quillon

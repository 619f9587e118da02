// Where the current model came from. Texture resolution looks for a surface's images in the
// model's folder on disk for a file, and inside the archive for the two archive sources.
#pragma once

#include <cstdint>

namespace quillon {

enum class TModelSource : uint8_t { None, GameArchive, MapArchive, File };

} // namespace quillon

#include "RgbaImage.h"

namespace quillon {

std::string TruncatedText(const std::string& what, uint64_t needed, uint64_t offset,
                          uint64_t left) {
    return "truncated: " + what + " needs " + std::to_string(needed) + " bytes at offset " +
           std::to_string(offset) + ", " + std::to_string(left) + " remain";
}

std::string ImageSizeProblem(const std::string& kind, uint64_t width, uint64_t height) {
    if (ImageSizeAcceptable(width, height))
        return {};
    const std::string size =
        kind + " image of " + std::to_string(width) + "x" + std::to_string(height) + " pixels";
    if (width == 0 || height == 0)
        return size + " is empty";
    return size + " is larger than the " + std::to_string(MaxImageSide) + " pixels a side and " +
           std::to_string(MaxImagePixels) + " pixels in all that are read";
}

} // namespace quillon

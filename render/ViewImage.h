// A picture of the 3D view as the screenshot file stores it: four bytes blue, green, red, alpha
// per pixel, rows packed without padding, bottom row first (the order glReadPixels gives). A
// picture without alpha has 255 in every alpha byte.
#pragma once

#include <cstdint>
#include <vector>

namespace quillon {

struct TViewImage {
    int Width = 0;
    int Height = 0;
    bool HasAlpha = false;
    std::vector<uint8_t> Bgra;
};

} // namespace quillon

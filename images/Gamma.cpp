#include "Gamma.h"

#include <algorithm>

namespace quillon {

void ApplyGamma(std::span<uint8_t> rgba, float gamma) {
    for (size_t i = 0; i + 3 < rgba.size(); i += 4) {
        float r = rgba[i] * gamma;
        float g = rgba[i + 1] * gamma;
        float b = rgba[i + 2] * gamma;
        const float m = std::max({r, g, b});
        if (m > 255.0f) {
            const float q = m / 255.0f;
            r = r / q;
            g = g / q;
            b = b / q;
        }
        rgba[i] = static_cast<uint8_t>(r);
        rgba[i + 1] = static_cast<uint8_t>(g);
        rgba[i + 2] = static_cast<uint8_t>(b);
    }
}

} // namespace quillon

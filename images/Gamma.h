// The software gamma of the View menu: a brightness factor applied to the pixels before upload.
// Each channel is scaled; when the brightest channel passes 255 all three are divided by the
// same amount, so the colour keeps its hue instead of washing out to white. The arithmetic is
// single precision with truncation, which is what makes (200, 100, 50) at 1.5 come out as
// (254, 127, 63) rather than (255, 127, 63).
#pragma once

#include <cstdint>
#include <span>

namespace quillon {

// `rgba` holds four bytes per pixel; alpha is left alone.
void ApplyGamma(std::span<uint8_t> rgba, float gamma);

} // namespace quillon

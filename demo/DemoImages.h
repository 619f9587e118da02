// The demo game's textures, drawn by formula and encoded as uncompressed TGA files (rows bottom
// first, as the game's own images are stored). Each image is 64 × 64.
#pragma once

#include <cstdint>
#include <vector>

namespace quillon::demo {

// Blue and teal bands running round the torus.
std::vector<uint8_t> TorusImage();
// Dark seams on white, multiplied onto the torus by the second stage.
std::vector<uint8_t> SeamsImage();
// An orange grate whose holes carry alpha 0, for the alpha-tested shader.
std::vector<uint8_t> GrateImage();
// Brushed gold, for the second skin.
std::vector<uint8_t> GoldImage();

} // namespace quillon::demo

// The readers take paths, so each fuzz input is written to one reused temporary file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace quillon::fuzz {

// Writes the input to a per-process temporary file and returns its path.
const std::string& WriteInput(const uint8_t* data, size_t size);

} // namespace quillon::fuzz

// A .gltf or .glb read into tinygltf's document, with the checks tinygltf leaves to its caller.
// Before tinygltf sees the file: its size, the binary container's chunks, and the nesting of
// the JSON (tinygltf turns extras into values recursively, so a deeply nested file would end the
// program). tinygltf then reads the buffers, decoding base64 data and refusing a buffer shorter
// than its stated length; external files go through our own file access, which reads nothing
// larger than an import takes and never expands a path. Every image is decoded once to be sure
// it is an image, and its pixels dropped: an MD3 only names its textures.
#pragma once

#include <tiny_gltf.h>

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace quillon {

inline constexpr uint64_t MaxGltfImportBytes = uint64_t(1) << 29; // any one file read
inline constexpr size_t MaxGltfNodes = 65536;
inline constexpr int MaxGltfNesting = 64;

struct TGltfDocument {
    tinygltf::Model Model;
    std::vector<std::string> Warnings;
};

// False with the reason in `error`. Throws FileError when the file cannot be opened.
bool LoadGltfDocument(const std::string& path, TGltfDocument& document, std::string& error);

// The same for a file already in memory: `binary` for a .glb, `folder` (ending in "/", or empty)
// where its external files are looked for.
bool LoadGltfDocumentFromMemory(std::span<const uint8_t> bytes, bool binary,
                                const std::string& folder, TGltfDocument& document,
                                std::string& error);

} // namespace quillon

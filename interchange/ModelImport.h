// Import into MD3: a glTF 2.0 file (.gltf with its buffers and images, or .glb) or a MilkShape 3D
// model (.ms3d) becomes a game-ready MD3 in memory, its animation baked into frames, its tags
// and its limits checked. The command line's `import` and the window's loads make one call:
//   TMD3 md3;
//   TImportResult result = ImportModel(path, options, md3);
// and show result.Error on failure (the model is then empty) or result.Summary on success.
#pragma once

#include "ImportSettings.h"
#include "core/MD3.h"

#include <cstdint>
#include <span>
#include <string>

namespace quillon {

// Whether the path names a file the import reads, by its extension in any letter case.
bool IsImportPath(const std::string& path);

// Throws FileError when the file cannot be opened; every other failure is a result with the
// reason, and `md3` left empty.
TImportResult ImportModel(const std::string& path, const TImportOptions& options, TMD3& md3);

// A glTF file already in memory (`binary` for a .glb; external files are looked for in
// `folder`), for tests and the fuzzer.
TImportResult ImportGltfFromMemory(std::span<const uint8_t> bytes, bool binary,
                                   const std::string& folder, const TImportOptions& options,
                                   TMD3& md3);

} // namespace quillon

// The MD3 an import ends in. The source's surfaces, tags and frames are checked against what an
// MD3 holds before any frame is posed, so a file asking for too much is refused without taking
// the memory first; then every frame is posed, turned into the game's Z-up axes and clockwise
// front faces, and stored on the 1/64 grid with its normals encoded (computed from the triangles
// where the source has none), its box, origin and radius measured. The model check's fixes run
// on request before the final check of the limits.
#pragma once

#include "ImportSettings.h"
#include "ImportSource.h"
#include "core/MD3.h"

#include <string>

namespace quillon {

// What an import may make: the MD3 format's own maxima.
struct TImportLimits {
    size_t Surfaces = 32;
    size_t VertsPerSurface = 4096;
    size_t TrianglesPerSurface = 8192;
    size_t Frames = 1024;
    size_t Tags = 16;
    size_t NameBytes = 64;
    // Vertices times frames over all surfaces: 256 MB of MD3 vertices.
    uint64_t VertexFrames = uint64_t(1) << 25;
};

// The source's game units to MD3 vertices: glTF's (x, y, z) is the game's (x, -z, y), the
// inverse of the export's change of axes.
TVec3d FromGltfAxes(const TVec3d& v);

// Fills `md3` (named `modelName`) from the source; on failure `md3` is left empty and the
// result says which surface, frame or tag does not fit and by how much.
TImportResult AssembleMD3(IImportSource& source, const TImportOptions& options,
                          const std::string& modelName, TMD3& md3);

} // namespace quillon

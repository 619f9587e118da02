#include "LodCalculation.h"

#include "skeletal/MDM.h"
#include "skeletal/MDX.h"
#include "skeletal/Pose.h"

#include "core/Assert.h"
#include "core/MD3.h"

#include <algorithm>

namespace quillon {

namespace {

size_t FrameCount(const TMDX& animation) {
    return std::min<size_t>(animation.Header.numFrames, animation.Frames.size());
}

std::string SurfaceText(const TMDM& mesh, size_t surface) {
    return "surface " + std::to_string(surface) + " \"" +
           NameToString(mesh.Surfaces[surface].name) + "\"";
}

TTriDataArray TrianglesOf(const TMDMSurface& surface) {
    TTriDataArray triangles;
    triangles.reserve(surface.Triangles.size());
    for (const TMDMTriangle& t : surface.Triangles)
        triangles.push_back({{t.indexes[0], t.indexes[1], t.indexes[2]}});
    return triangles;
}

} // namespace

TLodReport CalculateLOD(TCollapseMap& map, TMDM& mesh, const TMDX& animation, int frame) {
    TLodReport report;
    const size_t frames = FrameCount(animation);
    if (frames == 0) {
        report.Messages.push_back("the animation has no frames: no LOD calculated");
        return report;
    }
    if (frame < 0 || size_t(frame) >= frames) {
        report.Messages.push_back("frame " + std::to_string(frame) + " is not in the animation (" +
                                  std::to_string(frames) + " frames): frame 0 used");
        frame = 0;
    }
    report.Frame = frame;
    report.Calculated = true;
    for (size_t i = 0; i < mesh.Surfaces.size(); ++i) {
        if (i >= size_t(TCollapseMap::SlotCount) || i >= mesh.LODTable.size()) {
            report.Messages.push_back(SurfaceText(mesh, i) + " skipped: LOD data is kept for " +
                                      std::to_string(TCollapseMap::SlotCount) + " surfaces only");
            continue;
        }
        const int slot = int(i);
        Pose(mesh, animation, frame, slot);
        TMDMSurface& surface = mesh.Surfaces[i];
        if (mesh.PosedPositions.size() != surface.Vertices.size() ||
            !map.BuildCollapseMap(mesh.PosedPositions, TrianglesOf(surface), slot)) {
            report.Messages.push_back(SurfaceText(mesh, i) + " skipped: it could not be posed");
            continue;
        }
        const TCollapseSlot& result = map.Slot(slot);
        if (result.InvalidTriangles > 0)
            report.Messages.push_back(SurfaceText(mesh, i) + ": " +
                                      std::to_string(result.InvalidTriangles) +
                                      " triangles name vertices that do not exist and were "
                                      "left out of the reduction");
        surface.CollapseMap = result.CollapseMap;
        surface.minLod = result.BoundaryCount;
        mesh.LODTable[i] = {int32_t(surface.Vertices.size()), result.BoundaryCount};
        // The slot was just computed from this surface's vertices, so the order fits.
        [[maybe_unused]] const bool reordered = Reorder(map, mesh, slot);
        QUILLON_ASSERT(reordered);
    }
    mesh.Header.lodScale = 1.0f;
    mesh.Header.lodBias = 0.0f;
    return report;
}

bool Reorder(const TCollapseMap& map, TMDM& mesh, int surface) {
    if (!mesh.HasSurface(surface) || surface >= TCollapseMap::SlotCount)
        return false;
    const TIntArray& permutation = map.Slot(surface).Permutation;
    TMDMSurface& s = mesh.Surfaces[size_t(surface)];
    if (permutation.size() != s.Vertices.size())
        return false;
    std::vector<TMDMVertex> reordered(s.Vertices.size());
    for (size_t k = 0; k < s.Vertices.size(); ++k)
        reordered[size_t(permutation[k])] = std::move(s.Vertices[k]);
    s.Vertices = std::move(reordered);
    for (TMDMTriangle& t : s.Triangles)
        for (int32_t& index : t.indexes)
            if (index >= 0 && size_t(index) < permutation.size())
                index = permutation[size_t(index)];
    return true;
}

int32_t Map(const TMDM& mesh, int surface, int32_t index, int32_t n) {
    if (n <= 0 || index < 0)
        return 0;
    if (index < n)
        return index;
    if (!mesh.HasSurface(surface))
        return 0;
    const std::vector<int32_t>& collapse = mesh.Surfaces[size_t(surface)].CollapseMap;
    while (index >= n) {
        if (size_t(index) >= collapse.size())
            return 0;
        const int32_t next = collapse[size_t(index)];
        // Each step must go down, or a damaged map could send the chain round forever.
        if (next < 0 || next >= index)
            return 0;
        index = next;
    }
    return index;
}

} // namespace quillon

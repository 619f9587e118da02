#include "MD3Fixes.h"

#include "FaceNormals.h"
#include "Finding.h"
#include "FrameBounds.h"
#include "SurfaceCleanup.h"
#include "SurfaceSplit.h"

#include <algorithm>

namespace quillon {

namespace {

constexpr TMD3FixInfo Fixes[] = {
    {TMD3Fix::Normals, "normals", "points normals never written along their faces"},
    {TMD3Fix::Weld, "weld", "welds vertices identical in every frame"},
    {TMD3Fix::Degenerate, "degenerate",
     "drops triangles with no area or with an index past the vertices"},
    {TMD3Fix::Unused, "unused", "drops vertices no triangle uses"},
    {TMD3Fix::Split, "split", "splits surfaces over the vertex or triangle limit"},
    {TMD3Fix::Bounds, "bounds", "measures anew the box, origin and radius of frames that need it"},
};

// Runs `fixSurface(surface) -> count` on every surface; a report when some count is not 0.
template <class F>
void FixEverySurface(THeader& h, TMD3Fix fix, const char* one, const char* many,
                     std::vector<TFixReport>& reports, F fixSurface) {
    uint64_t total = 0;
    uint32_t surfaces = 0;
    for (TSurface& surface : h.Surfaces) {
        const uint32_t count = fixSurface(surface, h.numFrames);
        total += count;
        surfaces += count > 0 ? 1 : 0;
    }
    if (total > 0)
        reports.push_back({fix, CountText(total, one, many) + " in " +
                                    CountText(surfaces, "surface", "surfaces")});
}

bool TrianglesInRange(const TSurface& surface) {
    return std::none_of(
        surface.Triangles.begin(), surface.Triangles.end(), [&](const TMD3Triangle& t) {
            return std::any_of(std::begin(t.indexes), std::end(t.indexes), [&](int32_t i) {
                return i < 0 || static_cast<uint32_t>(i) >= surface.numVerts;
            });
        });
}

void SplitSurfaces(THeader& h, const TModelLimits& limits, std::vector<TFixReport>& reports) {
    const TSplitLimits split{limits.VertsPerSurface, limits.TrianglesPerSurface, limits.NameBytes};
    std::vector<TSurface> surfaces;
    for (TSurface& surface : h.Surfaces) {
        const std::string name = NameToString(surface.name);
        if (!NeedsSplit(surface, split)) {
            surfaces.push_back(std::move(surface));
            continue;
        }
        if (surface.Triangles.empty() || !TrianglesInRange(surface)) {
            reports.push_back(
                {TMD3Fix::Split, "surface \"" + name +
                                     "\" not split: it has no triangles, or triangles that point "
                                     "past its vertices (leave the degenerate fix on)"});
            surfaces.push_back(std::move(surface));
            continue;
        }
        std::vector<TSurface> pieces = SplitSurface(surface, h.numFrames, split);
        std::string names;
        for (const TSurface& piece : pieces)
            names += (names.empty() ? "" : ", ") + NameToString(piece.name);
        reports.push_back({TMD3Fix::Split, "surface \"" + name + "\" split into " + names +
                                               "; a skin naming \"" + name +
                                               "\" needs these names instead"});
        for (TSurface& piece : pieces)
            surfaces.push_back(std::move(piece));
    }
    h.Surfaces = std::move(surfaces);
    h.numSurfaces = static_cast<uint32_t>(h.Surfaces.size());
    if (h.numSurfaces > limits.Surfaces)
        reports.push_back({TMD3Fix::Split, "the model now has " + std::to_string(h.numSurfaces) +
                                               " surfaces, more than the " +
                                               std::to_string(limits.Surfaces) +
                                               " the engines load"});
}

void RunFix(TMD3Fix fix, THeader& h, const TModelLimits& limits, std::vector<TFixReport>& reports) {
    switch (fix) {
    case TMD3Fix::Weld:
        FixEverySurface(h, fix, "identical vertex welded", "identical vertices welded", reports,
                        WeldIdenticalVertices);
        break;
    case TMD3Fix::Degenerate:
        FixEverySurface(h, fix, "faulty triangle dropped", "faulty triangles dropped", reports,
                        DropFaultyTriangles);
        break;
    case TMD3Fix::Unused:
        FixEverySurface(h, fix, "unused vertex dropped", "unused vertices dropped", reports,
                        DropUnusedVertices);
        break;
    case TMD3Fix::Split:
        SplitSurfaces(h, limits, reports);
        break;
    case TMD3Fix::Normals:
        FixEverySurface(h, fix, "missing normal renormalised", "missing normals renormalised",
                        reports, RenormaliseMissingNormals);
        break;
    case TMD3Fix::Bounds:
        if (const uint32_t frames = RecomputeFrameBounds(h))
            reports.push_back({fix, "box, origin and radius measured anew in " +
                                        CountText(frames, "frame", "frames")});
        break;
    }
}

} // namespace

std::span<const TMD3FixInfo> MD3Fixes() {
    return Fixes;
}

std::optional<TMD3Fix> ParseMD3Fix(std::string_view name) {
    for (const TMD3FixInfo& info : Fixes)
        if (name == info.Name)
            return info.Fix;
    return std::nullopt;
}

const char* MD3FixName(TMD3Fix fix) {
    for (const TMD3FixInfo& info : Fixes)
        if (info.Fix == fix)
            return info.Name;
    return "";
}

std::vector<TFixReport> FixMD3(TMD3& model, const TModelLimits& limits,
                               const std::set<TMD3Fix>& skipped) {
    std::vector<TFixReport> reports;
    if (!model.CountsMatchArrays())
        return reports;
    for (const TMD3FixInfo& info : Fixes)
        if (!skipped.contains(info.Fix))
            RunFix(info.Fix, model.Header, limits, reports);
    return reports;
}

} // namespace quillon

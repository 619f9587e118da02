// Faults that repeat across vertices or frames are gathered into one finding per surface (or one
// for the model) that counts them and points at the first, so that the list stays short enough
// to read on a model that is broken throughout.
#include "MD3Check.h"

#include "FaceNormals.h"
#include "FrameBounds.h"
#include "NameCheck.h"
#include "SurfaceCleanup.h"

#include <cstdint>

namespace quillon {

namespace {

TFindingPlace SurfacePlace(int s, const TSurface& surface) {
    TFindingPlace place;
    place.Surface = s;
    place.SurfaceName = NameToString(surface.name);
    return place;
}

TFindingPlace TagPlace(int t, const TMD3Tag& tag) {
    TFindingPlace place;
    place.Tag = t;
    place.TagName = NameToString(tag.name);
    return place;
}

void CheckCounts(const THeader& h, const TModelLimits& limits, std::vector<TFinding>& out) {
    if (h.numFrames == 0)
        out.push_back(MakeFinding(TSeverity::Error, "frames", "the model has no frames", {}));
    if (h.numFrames > limits.Frames)
        out.push_back(MakeFinding(TSeverity::Error, "frames",
                                  "the model has " + std::to_string(h.numFrames) +
                                      " frames; the engines load at most " +
                                      std::to_string(limits.Frames),
                                  {}));
    if (h.numTags > limits.Tags)
        out.push_back(MakeFinding(TSeverity::Error, "tags",
                                  "the model has " + std::to_string(h.numTags) +
                                      " tags; the engines load at most " +
                                      std::to_string(limits.Tags),
                                  {}));
    if (h.numSurfaces > limits.Surfaces)
        out.push_back(MakeFinding(TSeverity::Error, "surfaces",
                                  "the model has " + std::to_string(h.numSurfaces) +
                                      " surfaces; the engines load at most " +
                                      std::to_string(limits.Surfaces),
                                  {}));
}

void CheckTagNames(const THeader& h, const TModelLimits& limits, std::vector<TFinding>& out) {
    if (h.numFrames == 0)
        return;
    for (uint32_t t = 0; t < h.numTags; ++t) {
        const TMD3Tag& tag = h.Tags[t];
        CheckNameField(out, tag.name, TNameKind::Plain, "the tag name", TagPlace(t, tag), limits);
        TFindingTally renamed;
        for (uint32_t f = 1; f < h.numFrames; ++f) {
            const TMD3Tag& later = h.Tags[size_t{f} * h.numTags + t];
            if (NameToString(later.name) != NameToString(tag.name)) {
                TFindingPlace place = TagPlace(t, tag);
                place.Frame = static_cast<int>(f);
                renamed.Add(place);
            }
        }
        if (renamed.Count > 0)
            out.push_back(MakeFinding(TSeverity::Warning, "tag-names",
                                      "the tag has another name in " +
                                          CountText(renamed.Count, "frame", "frames") +
                                          "; the game finds tags by name, so it is lost there",
                                      renamed.First, renamed.Count));
    }
}

void CheckSurfaceCounts(int s, const TSurface& surface, const TModelLimits& limits,
                        std::vector<TFinding>& out) {
    if (surface.numVerts > limits.VertsPerSurface)
        out.push_back(MakeFinding(TSeverity::Error, "verts-per-surface",
                                  "the surface has " + std::to_string(surface.numVerts) +
                                      " vertices; the engines draw at most " +
                                      std::to_string(limits.VertsPerSurface) + " per surface",
                                  SurfacePlace(s, surface), 1, true));
    if (surface.numTriangles > limits.TrianglesPerSurface)
        out.push_back(MakeFinding(TSeverity::Error, "triangles-per-surface",
                                  "the surface has " + std::to_string(surface.numTriangles) +
                                      " triangles; the engines draw at most " +
                                      std::to_string(limits.TrianglesPerSurface) + " per surface",
                                  SurfacePlace(s, surface), 1, true));
    if (surface.numShaders == 0)
        out.push_back(
            MakeFinding(TSeverity::Note, "shaders",
                        "the surface has no shader record; only a skin can give it a look",
                        SurfacePlace(s, surface)));
}

void CheckSurfaceNames(int s, const TSurface& surface, const TModelLimits& limits,
                       std::vector<TFinding>& out) {
    CheckNameField(out, surface.name, TNameKind::Plain, "the surface name",
                   SurfacePlace(s, surface), limits);
    for (const TMD3Shader& shader : surface.Shaders)
        CheckNameField(out, shader.name, TNameKind::Path, "the shader name",
                       SurfacePlace(s, surface), limits);
}

void CheckTriangles(int s, const TSurface& surface, uint32_t frames, std::vector<TFinding>& out) {
    TFindingTally outOfRange, degenerate;
    for (size_t t = 0; t < surface.Triangles.size(); ++t) {
        const TTriangleFault fault = TriangleFault(surface, surface.Triangles[t], frames);
        if (fault == TTriangleFault::None)
            continue;
        TFindingPlace place = SurfacePlace(s, surface);
        place.Triangle = static_cast<int>(t);
        (fault == TTriangleFault::IndexOutOfRange ? outOfRange : degenerate).Add(place);
    }
    if (outOfRange.Count > 0)
        out.push_back(MakeFinding(
            TSeverity::Error, "triangle-index",
            CountText(outOfRange.Count, "triangle points", "triangles point") +
                " past the surface's " + CountText(surface.numVerts, "vertex", "vertices") +
                "; the engines read memory that is not the model's",
            outOfRange.First, outOfRange.Count, true));
    if (degenerate.Count > 0)
        out.push_back(MakeFinding(TSeverity::Warning, "degenerate-triangle",
                                  CountText(degenerate.Count, "triangle has", "triangles have") +
                                      " no area in any frame and can never show",
                                  degenerate.First, degenerate.Count, true));
}

void CheckVertices(int s, const TSurface& surface, uint32_t frames, std::vector<TFinding>& out) {
    TFindingTally unused, duplicate;
    const std::vector<bool> used = UsedVertices(surface);
    const std::vector<uint32_t> first = FirstIdenticalVertices(surface, frames);
    for (uint32_t k = 0; k < surface.numVerts; ++k) {
        if (used[k] && first[k] == k)
            continue;
        TFindingPlace place = SurfacePlace(s, surface);
        place.Vertex = static_cast<int>(k);
        if (!used[k])
            unused.Add(place);
        if (first[k] != k)
            duplicate.Add(place);
    }
    if (unused.Count > 0)
        out.push_back(MakeFinding(TSeverity::Warning, "unused-vertex",
                                  CountText(unused.Count, "vertex is", "vertices are") +
                                      " used by no triangle but count towards the surface's limit",
                                  unused.First, unused.Count, true));
    if (duplicate.Count > 0)
        out.push_back(MakeFinding(TSeverity::Note, "duplicate-vertex",
                                  CountText(duplicate.Count, "vertex repeats", "vertices repeat") +
                                      " an earlier one exactly (position, normal and texture "
                                      "coordinate in every frame)",
                                  duplicate.First, duplicate.Count, true));
}

void CheckNormals(int s, const TSurface& surface, uint32_t frames, std::vector<TFinding>& out) {
    const std::vector<TMissingNormal> missing = MissingNormals(surface, frames);
    if (missing.empty())
        return;
    TFindingPlace place = SurfacePlace(s, surface);
    place.Frame = static_cast<int>(missing.front().Frame);
    place.Vertex = static_cast<int>(missing.front().Vertex);
    const auto count = static_cast<int>(missing.size());
    out.push_back(
        MakeFinding(TSeverity::Warning, "zero-normal",
                    CountText(count, "normal points", "normals point") +
                        " straight up (the code of a normal never written) while the faces "
                        "around point elsewhere; the lighting will be wrong",
                    place, count, true));
}

bool AtRangeEdge(int16_t stored) {
    return stored == INT16_MIN || stored == INT16_MAX;
}

void CheckCoordinates(int s, const TSurface& surface, const TModelLimits& limits,
                      std::vector<TFinding>& out) {
    TFindingTally edge;
    for (size_t i = 0; i < surface.Vertices.size(); ++i) {
        const TMD3Vertex& v = surface.Vertices[i];
        if (AtRangeEdge(v.x) || AtRangeEdge(v.y) || AtRangeEdge(v.z)) {
            TFindingPlace place = SurfacePlace(s, surface);
            place.Frame = static_cast<int>(i / surface.numVerts);
            place.Vertex = static_cast<int>(i % surface.numVerts);
            edge.Add(place);
        }
    }
    if (edge.Count > 0)
        out.push_back(MakeFinding(TSeverity::Warning, "coordinate-range",
                                  CountText(edge.Count, "vertex lies", "vertices lie") +
                                      " on the edge of the +-" +
                                      std::to_string(static_cast<int>(limits.CoordinateRange)) +
                                      " units an MD3 can store; the model was most likely cut off "
                                      "there when it was written",
                                  edge.First, edge.Count));
}

void CheckFrameBounds(const THeader& h, std::vector<TFinding>& out) {
    TFindingTally box, sphere;
    for (uint32_t f = 0; f < h.numFrames; ++f) {
        const TBoundsFault fault = FrameBoundsFault(h, f);
        TFindingPlace place;
        place.Frame = static_cast<int>(f);
        if (fault.Box)
            box.Add(place, fault.BoxExcess);
        if (fault.Sphere)
            sphere.Add(place, fault.SphereExcess);
    }
    auto inFrames = [&](int count) {
        return " in " + CountText(count, "frame", "frames") + " of " + std::to_string(h.numFrames);
    };
    if (box.Count > 0)
        out.push_back(MakeFinding(TSeverity::Error, "bounds-mismatch",
                                  "the frame box does not hold the vertices" + inFrames(box.Count) +
                                      " (by up to " + UnitsText(box.Worst) +
                                      " units); the engines cull the model while it is in view",
                                  box.First, box.Count, true));
    if (sphere.Count > 0)
        out.push_back(MakeFinding(TSeverity::Error, "radius-mismatch",
                                  "the frame radius is too small for the vertices" +
                                      inFrames(sphere.Count) + " (by up to " +
                                      UnitsText(sphere.Worst) +
                                      " units); the engines cull the model while it is in view",
                                  sphere.First, sphere.Count, true));
}

} // namespace

std::vector<TFinding> CheckMD3(const TMD3& model, const TModelLimits& limits) {
    std::vector<TFinding> out;
    if (!model.CountsMatchArrays()) {
        out.push_back(MakeFinding(TSeverity::Error, "incomplete",
                                  "the model's counts do not match its data", {}));
        return out;
    }
    const THeader& h = model.Header;
    CheckCounts(h, limits, out);
    CheckTagNames(h, limits, out);
    for (uint32_t s = 0; s < h.numSurfaces; ++s) {
        const TSurface& surface = h.Surfaces[s];
        const int index = static_cast<int>(s);
        CheckSurfaceCounts(index, surface, limits, out);
        CheckSurfaceNames(index, surface, limits, out);
        CheckTriangles(index, surface, h.numFrames, out);
        CheckVertices(index, surface, h.numFrames, out);
        CheckNormals(index, surface, h.numFrames, out);
        CheckCoordinates(index, surface, limits, out);
    }
    CheckFrameBounds(h, out);
    return out;
}

} // namespace quillon

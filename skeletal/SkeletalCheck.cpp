// Faults that repeat over vertices are counted per surface in one finding that points at the
// first, as the MD3 check does.
#include "SkeletalCheck.h"

#include "core/MD3.h"
#include "core/NameCheck.h"

#include <cmath>
#include <string>
#include <unordered_set>

namespace quillon {

namespace {

static_assert(MDMMaxSurfaces == 32 && MDMMaxTags == 128 && MDMMaxVertices == 6000 &&
                  MDMMaxTriangles == 8192,
              "the MDM reader's limits and the check's table (core/CheckLimits.cpp) differ");

constexpr float WeightSumTolerance = 0.01f;

TFindingPlace SurfacePlace(int s, const TMDMSurface& surface) {
    TFindingPlace place;
    place.Surface = s;
    place.SurfaceName = NameToString(surface.name);
    return place;
}

TFindingPlace VertexPlace(int s, const TMDMSurface& surface, uint32_t vertex) {
    TFindingPlace place = SurfacePlace(s, surface);
    place.Vertex = static_cast<int>(vertex);
    return place;
}

// The bones a surface's vertices may use: its bone list, and with the animation known the
// parents of those bones, which the game places on the way.
class TPlacedBones {
public:
    TPlacedBones(const TMDMSurface& surface, const TMDX* animation) {
        for (int32_t bone : surface.BoneRefs)
            Place(bone, animation);
    }
    bool Contains(int32_t bone) const { return Placed.contains(bone); }

private:
    void Place(int32_t bone, const TMDX* animation) {
        // A parent has a lower index than its child; anything else ends the walk up.
        for (int32_t child = INT32_MAX; bone >= 0 && bone < child;) {
            if (!Placed.insert(bone).second)
                return; // its parents are placed already
            if (!animation || static_cast<size_t>(bone) >= animation->Bones.size())
                return;
            child = bone;
            bone = animation->Bones[bone].parent;
        }
    }
    // A set, not a table: the indices come from the file and may be huge.
    std::unordered_set<int32_t> Placed;
};

struct TBoneRange {
    int64_t Count = -1; // the animation's bones; -1 when unknown

    bool Valid(int32_t bone) const { return bone >= 0 && (Count < 0 || bone < Count); }
    std::string Text() const {
        return Count < 0 ? std::string("negative")
                         : "outside the animation's " + std::to_string(Count) + " bones";
    }
};

void CheckMeshCounts(const TMDM& mesh, const TModelLimits& limits, std::vector<TFinding>& out) {
    if (!limits.ReadsSkeletal)
        out.push_back(MakeFinding(TSeverity::Note, "format",
                                  "the MD3 engine family reads no MDM models; checked against "
                                  "the skeletal game's limits"));
    if (mesh.Header.numSurfaces > limits.MDMSurfaces)
        out.push_back(MakeFinding(TSeverity::Error, "surfaces",
                                  "the mesh has " + std::to_string(mesh.Header.numSurfaces) +
                                      " surfaces; the game loads at most " +
                                      std::to_string(limits.MDMSurfaces)));
    if (mesh.Header.numTags > limits.MDMTags)
        out.push_back(MakeFinding(TSeverity::Error, "tags",
                                  "the mesh has " + std::to_string(mesh.Header.numTags) +
                                      " tags; the game loads at most " +
                                      std::to_string(limits.MDMTags)));
}

void CheckSurfaceCounts(int s, const TMDMSurface& surface, const TModelLimits& limits,
                        std::vector<TFinding>& out) {
    if (surface.numVerts > limits.MDMVertsPerSurface)
        out.push_back(MakeFinding(TSeverity::Error, "verts-per-surface",
                                  "the surface has " + std::to_string(surface.numVerts) +
                                      " vertices; the game draws at most " +
                                      std::to_string(limits.MDMVertsPerSurface),
                                  SurfacePlace(s, surface)));
    if (surface.numTriangles > limits.MDMTrianglesPerSurface)
        out.push_back(MakeFinding(TSeverity::Error, "triangles-per-surface",
                                  "the surface has " + std::to_string(surface.numTriangles) +
                                      " triangles; the game draws at most " +
                                      std::to_string(limits.MDMTrianglesPerSurface),
                                  SurfacePlace(s, surface)));
}

void CheckTriangles(int s, const TMDMSurface& surface, std::vector<TFinding>& out) {
    TFindingTally outOfRange, repeated;
    std::vector<bool> used(surface.numVerts, false);
    for (size_t t = 0; t < surface.Triangles.size(); ++t) {
        const auto [a, b, c] = surface.Triangles[t].indexes;
        TFindingPlace place = SurfacePlace(s, surface);
        place.Triangle = static_cast<int>(t);
        bool inRange = true;
        for (int32_t index : {a, b, c})
            inRange = inRange && index >= 0 && static_cast<uint32_t>(index) < surface.numVerts;
        if (!inRange) {
            outOfRange.Add(place);
            continue;
        }
        for (int32_t index : {a, b, c})
            used[index] = true;
        if (a == b || b == c || a == c)
            repeated.Add(place);
    }
    if (outOfRange.Count > 0)
        out.push_back(
            MakeFinding(TSeverity::Error, "triangle-index",
                        CountText(outOfRange.Count, "triangle points", "triangles point") +
                            " past the surface's vertices; the game reads memory that "
                            "is not the model's",
                        outOfRange.First, outOfRange.Count));
    if (repeated.Count > 0)
        out.push_back(MakeFinding(TSeverity::Warning, "degenerate-triangle",
                                  CountText(repeated.Count, "triangle uses", "triangles use") +
                                      " one vertex twice and can never show",
                                  repeated.First, repeated.Count));
    TFindingTally unused;
    for (uint32_t k = 0; k < surface.numVerts; ++k)
        if (!used[k])
            unused.Add(VertexPlace(s, surface, k));
    if (unused.Count > 0)
        out.push_back(MakeFinding(TSeverity::Warning, "unused-vertex",
                                  CountText(unused.Count, "vertex is", "vertices are") +
                                      " used by no triangle but count towards the surface's limit",
                                  unused.First, unused.Count));
}

void CheckVertices(int s, const TMDMSurface& surface, const TMDX* animation,
                   const TBoneRange& bones, std::vector<TFinding>& out) {
    const TPlacedBones placed(surface, animation);
    TFindingTally zeroNormal, badSum, badBone, unplaced;
    for (uint32_t k = 0; k < surface.numVerts; ++k) {
        const TMDMVertex& v = surface.Vertices[k];
        auto place = [&] { return VertexPlace(s, surface, k); };
        const float length = VectorLength(v.normal);
        if (!(length > 1e-6f) || !std::isfinite(length))
            zeroNormal.Add(place());
        float sum = 0;
        bool allValid = true, allPlaced = true;
        for (const TMDMWeight& w : v.Weights) {
            sum += w.boneWeight;
            allValid = allValid && bones.Valid(w.boneIndex);
            allPlaced = allPlaced && placed.Contains(w.boneIndex);
        }
        if (!(std::fabs(sum - 1) <= WeightSumTolerance))
            badSum.Add(place(), sum);
        if (!allValid)
            badBone.Add(place());
        else if (!allPlaced)
            unplaced.Add(place());
    }
    if (zeroNormal.Count > 0)
        out.push_back(MakeFinding(TSeverity::Warning, "zero-normal",
                                  CountText(zeroNormal.Count, "normal has", "normals have") +
                                      " no length; the lighting will be wrong",
                                  zeroNormal.First, zeroNormal.Count));
    if (badSum.Count > 0)
        out.push_back(MakeFinding(TSeverity::Warning, "weights",
                                  "the weights of " +
                                      CountText(badSum.Count, "vertex do", "vertices do") +
                                      " not add up to 1 (or it has none); posing moves it off "
                                      "its bones",
                                  badSum.First, badSum.Count));
    if (badBone.Count > 0)
        out.push_back(MakeFinding(TSeverity::Error, "bone-index",
                                  CountText(badBone.Count, "vertex has", "vertices have") +
                                      " a weight on a bone index " + bones.Text(),
                                  badBone.First, badBone.Count));
    if (unplaced.Count > 0)
        out.push_back(MakeFinding(TSeverity::Warning, "bone-refs",
                                  CountText(unplaced.Count, "vertex hangs", "vertices hang") +
                                      " on a bone the surface's bone list leaves out; the game "
                                      "places only the listed bones and their parents",
                                  unplaced.First, unplaced.Count));
}

void CheckBoneList(int s, const TMDMSurface& surface, const TBoneRange& bones,
                   std::vector<TFinding>& out) {
    int invalid = 0;
    for (int32_t bone : surface.BoneRefs)
        invalid += bones.Valid(bone) ? 0 : 1;
    if (invalid > 0)
        out.push_back(MakeFinding(TSeverity::Error, "bone-index",
                                  "the surface's bone list holds " +
                                      CountText(invalid, "bone index", "bone indices") + " " +
                                      bones.Text(),
                                  SurfacePlace(s, surface), invalid));
}

void CheckCollapseMap(int s, const TMDMSurface& surface, std::vector<TFinding>& out) {
    TFindingTally outOfRange;
    for (uint32_t k = 0; k < surface.numVerts; ++k) {
        const int32_t to = surface.CollapseMap[k];
        if (to < 0 || static_cast<uint32_t>(to) >= surface.numVerts)
            outOfRange.Add(VertexPlace(s, surface, k));
    }
    if (outOfRange.Count > 0)
        out.push_back(MakeFinding(
            TSeverity::Error, "collapse-map",
            CountText(outOfRange.Count, "collapse-map entry points", "collapse-map entries point") +
                " past the surface's vertices; the game reads them when it "
                "reduces the surface with distance",
            outOfRange.First, outOfRange.Count));
}

void CheckTags(const TMDM& mesh, const TBoneRange& bones, const TModelLimits& limits,
               std::vector<TFinding>& out) {
    for (size_t t = 0; t < mesh.Tags.size(); ++t) {
        const TMDMTag& tag = mesh.Tags[t];
        TFindingPlace place;
        place.Tag = static_cast<int>(t);
        place.TagName = NameToString(tag.name);
        CheckNameField(out, tag.name, TNameKind::Plain, "the tag name", place, limits);
        if (!bones.Valid(tag.boneIndex))
            out.push_back(MakeFinding(TSeverity::Error, "bone-index",
                                      "the tag hangs on bone " + std::to_string(tag.boneIndex) +
                                          ", " + bones.Text(),
                                      place));
    }
}

void CheckBones(const TMDX& animation, const TModelLimits& limits, std::vector<TFinding>& out) {
    for (size_t b = 0; b < animation.Bones.size(); ++b) {
        const TMDXBoneInfo& bone = animation.Bones[b];
        TFindingPlace place;
        place.Bone = static_cast<int>(b);
        CheckNameField(out, bone.name, TNameKind::Plain, "the bone name", place, limits);
        if (bone.parent < -1 || bone.parent >= static_cast<int64_t>(b))
            out.push_back(MakeFinding(TSeverity::Error, "bone-parent",
                                      "the bone's parent is " + std::to_string(bone.parent) +
                                          "; a parent must come before its children",
                                      place));
    }
}

bool BoxIsValid(const TMDXFrame& frame) {
    for (float value : {frame.mins.x, frame.mins.y, frame.mins.z, frame.maxs.x, frame.maxs.y,
                        frame.maxs.z, frame.radius})
        if (!std::isfinite(value))
            return false;
    return frame.mins.x <= frame.maxs.x && frame.mins.y <= frame.maxs.y &&
           frame.mins.z <= frame.maxs.z && frame.radius >= 0;
}

bool WithinRange(TVector v, float range) {
    return std::fabs(v.x) <= range && std::fabs(v.y) <= range && std::fabs(v.z) <= range;
}

void CheckFrames(const TMDX& animation, const TModelLimits& limits, std::vector<TFinding>& out) {
    if (animation.Frames.empty())
        out.push_back(MakeFinding(TSeverity::Error, "frames", "the animation has no frames"));
    TFindingTally invalid, outside;
    for (size_t f = 0; f < animation.Frames.size(); ++f) {
        const TMDXFrame& frame = animation.Frames[f];
        TFindingPlace place;
        place.Frame = static_cast<int>(f);
        if (!BoxIsValid(frame))
            invalid.Add(place);
        else if (!WithinRange(frame.mins, limits.CoordinateRange) ||
                 !WithinRange(frame.maxs, limits.CoordinateRange))
            outside.Add(place);
    }
    if (invalid.Count > 0)
        out.push_back(MakeFinding(TSeverity::Error, "bounds-mismatch",
                                  "the frame box is turned inside out or not a number in " +
                                      CountText(invalid.Count, "frame", "frames") +
                                      "; the game culls the model while it is in view",
                                  invalid.First, invalid.Count));
    if (outside.Count > 0)
        out.push_back(MakeFinding(TSeverity::Note, "coordinate-range",
                                  "the frame box reaches beyond +-" +
                                      std::to_string(static_cast<int>(limits.CoordinateRange)) +
                                      " units in " + CountText(outside.Count, "frame", "frames") +
                                      "; baked into an MD3, the model would be cut off there",
                                  outside.First, outside.Count));
}

void CheckScript(const TMDX& animation, const TANINC& script, std::vector<TFinding>& out) {
    const int64_t frames = animation.Header.numFrames;
    for (const TANINCFrame& entry : script.Entries) {
        const int64_t first = entry.FirstFrame();
        const int64_t last = first + int64_t{entry.NumFrames()} - 1;
        if (first >= 0 && entry.NumFrames() > 0 && last < frames)
            continue;
        TFindingPlace place;
        place.Frame = static_cast<int>(std::max<int64_t>(first, 0));
        out.push_back(MakeFinding(TSeverity::Error, "animation-range",
                                  "the animation \"" + entry.name + "\" runs from frame " +
                                      std::to_string(first) + " to " + std::to_string(last) +
                                      ", but the frames are 0 to " + std::to_string(frames - 1),
                                  place));
    }
}

} // namespace

std::vector<TFinding> CheckMDM(const TMDM& mesh, const TMDX* animation,
                               const TModelLimits& limits) {
    std::vector<TFinding> out;
    if (!mesh.IsConsistent()) {
        out.push_back(
            MakeFinding(TSeverity::Error, "incomplete", "the mesh's counts do not match its data"));
        return out;
    }
    if (animation && !animation->IsConsistent())
        animation = nullptr;
    const TBoneRange bones{animation ? int64_t{animation->Header.numBones} : -1};
    CheckMeshCounts(mesh, limits, out);
    for (size_t s = 0; s < mesh.Surfaces.size(); ++s) {
        const TMDMSurface& surface = mesh.Surfaces[s];
        const int index = static_cast<int>(s);
        CheckSurfaceCounts(index, surface, limits, out);
        CheckNameField(out, surface.name, TNameKind::Plain, "the surface name",
                       SurfacePlace(index, surface), limits);
        CheckNameField(out, surface.shader, TNameKind::Path, "the shader name",
                       SurfacePlace(index, surface), limits);
        CheckTriangles(index, surface, out);
        CheckVertices(index, surface, animation, bones, out);
        CheckBoneList(index, surface, bones, out);
        CheckCollapseMap(index, surface, out);
    }
    CheckTags(mesh, bones, limits, out);
    return out;
}

std::vector<TFinding> CheckMDX(const TMDX& animation, const TANINC* script,
                               const TModelLimits& limits) {
    std::vector<TFinding> out;
    if (!animation.IsConsistent()) {
        out.push_back(MakeFinding(TSeverity::Error, "incomplete",
                                  "the animation's counts do not match its data"));
        return out;
    }
    CheckBones(animation, limits, out);
    CheckFrames(animation, limits, out);
    if (script)
        CheckScript(animation, *script, out);
    return out;
}

} // namespace quillon

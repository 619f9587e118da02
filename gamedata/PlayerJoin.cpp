#include "PlayerJoin.h"

#include "PlayerModel.h"
#include "ScriptText.h"

#include "core/FrameBounds.h"

#include <algorithm>
#include <cmath>
#include <set>

namespace quillon {

namespace {

// The game reads a tag with its axes made unit length (some shipped players store them scaled
// by 8), so a tag turns and moves a part but never scales it.
TMatrix MatrixOfTag(const TMD3Tag& tag) {
    TVector a[3];
    for (int i = 0; i < 3; ++i)
        a[i] = VectorNormalize(tag.axis[i]);
    return MatrixMake(a[0].x, a[0].y, a[0].z, 0, a[1].x, a[1].y, a[1].z, 0, a[2].x, a[2].y, a[2].z,
                      0, tag.origin.x, tag.origin.y, tag.origin.z, 1);
}

TVector Row(const TMatrix& m, int row) {
    return {m[4 * row], m[4 * row + 1], m[4 * row + 2]};
}

TVector TransformDirection(TVector v, const TMatrix& m) {
    return VectorNormalize(
        VectorAdd(VectorAdd(VectorScale(Row(m, 0), v.x), VectorScale(Row(m, 1), v.y)),
                  VectorScale(Row(m, 2), v.z)));
}

int ClampFrame(const TMD3& model, int frame) {
    return model.Header.numFrames == 0
               ? 0
               : std::clamp(frame, 0, static_cast<int>(model.Header.numFrames) - 1);
}

int16_t ToStored(float units, bool& clamped) {
    const float stored = std::nearbyint(units / MD3XyzScale);
    if (!(stored >= INT16_MIN && stored <= INT16_MAX)) {
        clamped = true;
        return stored > 0 ? INT16_MAX : INT16_MIN;
    }
    return static_cast<int16_t>(stored);
}

// The tags of the joined model: (part, tag index) of each name's first appearance.
struct TTagSource {
    size_t Part;
    uint32_t Tag;
};

std::vector<TTagSource> JoinedTags(const std::vector<TPlacedPart>& parts) {
    std::vector<TTagSource> tags;
    std::set<std::string> names;
    for (size_t p = 0; p < parts.size(); ++p) {
        const THeader& h = parts[p].Model->Header;
        for (uint32_t t = 0; t < h.numTags && t < h.Tags.size(); ++t)
            if (names.insert(ToLower(NameToString(h.Tags[t].name))).second)
                tags.push_back({p, t});
    }
    return tags;
}

// Writes frame `frame` of the joined model from the placed parts; true when a vertex had to be
// clamped.
bool FillFrame(THeader& joined, uint32_t frame, const std::vector<TPlacedPart>& parts,
               const std::vector<TTagSource>& tags) {
    bool clamped = false;
    size_t js = 0;
    for (const TPlacedPart& part : parts) {
        const THeader& h = part.Model->Header;
        for (const TSurface& surface : h.Surfaces) {
            TSurface& target = joined.Surfaces[js++];
            if (surface.Vertices.size() < (size_t(part.Frame) + 1) * surface.numVerts)
                continue; // a model without frames
            const TMD3Vertex* from =
                surface.Vertices.data() + size_t(part.Frame) * surface.numVerts;
            TMD3Vertex* to = target.Vertices.data() + size_t(frame) * target.numVerts;
            for (uint32_t v = 0; v < surface.numVerts; ++v) {
                const TVector p = VectorTransform(TMD3::VertexPosition(from[v]), part.Place);
                to[v].x = ToStored(p.x, clamped);
                to[v].y = ToStored(p.y, clamped);
                to[v].z = ToStored(p.z, clamped);
                to[v].normal = TMD3::EncodeNormal(
                    TransformDirection(TMD3::DecodeNormal(from[v].normal), part.Place));
            }
        }
    }
    for (size_t t = 0; t < tags.size(); ++t) {
        const TPlacedPart& part = parts[tags[t].Part];
        const THeader& h = part.Model->Header;
        if (h.Tags.size() < (size_t(part.Frame) + 1) * h.numTags)
            continue;
        TMD3Tag tag = h.Tags[size_t(part.Frame) * h.numTags + tags[t].Tag];
        const TMatrix placed = MatrixMultiply(MatrixOfTag(tag), part.Place);
        for (int axis = 0; axis < 3; ++axis)
            tag.axis[axis] = Row(placed, axis);
        tag.origin = Row(placed, 3);
        joined.Tags[size_t(frame) * joined.numTags + t] = tag;
    }
    TMD3Frame& box = joined.Frames[frame];
    const TVertexBounds bounds = MeasureFrame(joined, frame);
    box.mins = bounds.Empty ? VectorZero() : bounds.Mins;
    box.maxs = bounds.Empty ? VectorZero() : bounds.Maxs;
    box.localOrigin = VectorZero();
    box.radius = FarthestVertex(joined, frame, VectorZero());
    return clamped;
}

// The joined model's layout for the parts: surfaces with their triangles, texture coordinates
// and shaders, room for `frames` frames of vertices and tags.
TMD3 JoinedLayout(const std::vector<TPlacedPart>& parts, const std::vector<TTagSource>& tags,
                  const std::vector<TJoinedSurfaceName>& names, uint32_t frames) {
    TMD3 joined;
    THeader& h = joined.Header;
    StringToName("player", h.name);
    h.numFrames = frames;
    h.Frames.resize(frames);
    for (uint32_t f = 0; f < frames; ++f)
        StringToName("player " + std::to_string(f), h.Frames[f].name);
    h.numTags = static_cast<uint32_t>(tags.size());
    h.Tags.resize(size_t(frames) * tags.size());
    for (const TPlacedPart& part : parts)
        for (const TSurface& surface : part.Model->Header.Surfaces) {
            TSurface copy = surface;
            StringToName(names[h.Surfaces.size()].Joined, copy.name);
            copy.numFrames = frames;
            copy.Vertices.assign(size_t(frames) * surface.numVerts, TMD3Vertex{});
            h.Surfaces.push_back(std::move(copy));
        }
    h.numSurfaces = static_cast<uint32_t>(h.Surfaces.size());
    return joined;
}

} // namespace

bool TagMatrix(const TMD3& model, const std::string& tagName, int frame, TMatrix& matrix) {
    matrix = MatrixIdentity();
    const THeader& h = model.Header;
    const size_t first = size_t(ClampFrame(model, frame)) * h.numTags;
    for (uint32_t t = 0; t < h.numTags && first + t < h.Tags.size(); ++t)
        if (EqualsIgnoringCase(NameToString(h.Tags[first + t].name), tagName)) {
            matrix = MatrixOfTag(h.Tags[first + t]);
            return true;
        }
    return false;
}

std::vector<TPlacedPart> PlaceParts(const TPlayerSet& set, const TMD3* weapon,
                                    const TPlayerPose& pose, std::vector<std::string>& messages) {
    std::vector<TPlacedPart> parts(weapon ? 4 : 3);
    auto place = [&](TPlacedPart& part, const TPlacedPart& parent, const char* tag) {
        TMatrix matrix;
        if (!TagMatrix(*parent.Model, tag, parent.Frame, matrix))
            messages.push_back(parent.Name + ".md3 has no " + tag + ": " + part.Name +
                               " placed at its origin");
        part.Place = MatrixMultiply(matrix, parent.Place);
    };
    for (int p = 0; p < 3; ++p) {
        parts[p].Model = &set.Parts[p];
        parts[p].Name = TPlayerSet::PartNames[p];
    }
    parts[PartLower].Frame = ClampFrame(set.Parts[PartLower], pose.LegsFrame);
    parts[PartUpper].Frame = ClampFrame(set.Parts[PartUpper], pose.TorsoFrame);
    parts[PartLower].Place = MatrixIdentity();
    place(parts[PartUpper], parts[PartLower], "tag_torso");
    place(parts[PartHead], parts[PartUpper], "tag_head");
    if (weapon) {
        parts[3].Model = weapon;
        parts[3].Name = "weapon";
        place(parts[3], parts[PartUpper], "tag_weapon");
    }
    return parts;
}

std::vector<TJoinedSurfaceName> JoinedSurfaceNames(const TPlayerSet& set, const TMD3* weapon) {
    std::vector<TJoinedSurfaceName> names;
    std::set<std::string> used;
    auto add = [&](const TMD3& model, const std::string& part) {
        for (const TSurface& surface : model.Header.Surfaces) {
            const std::string original = NameToString(surface.name);
            const bool taken = !used.insert(ToLower(original)).second;
            names.push_back({part, original, taken ? part + "/" + original : original});
        }
    };
    for (int p = 0; p < 3; ++p)
        add(set.Parts[p], TPlayerSet::PartNames[p]);
    if (weapon)
        add(*weapon, "weapon");
    return names;
}

TMD3 JoinPlayer(const TPlayerSet& set, const TMD3* weapon, const std::vector<TPlayerPose>& poses,
                std::vector<std::string>& messages) {
    const std::vector<TPlayerPose> framesToJoin =
        poses.empty() ? std::vector<TPlayerPose>(1) : poses;
    std::vector<std::string> placing;
    const std::vector<TPlacedPart> first = PlaceParts(set, weapon, framesToJoin[0], placing);
    const std::vector<TTagSource> tags = JoinedTags(first);
    TMD3 joined = JoinedLayout(first, tags, JoinedSurfaceNames(set, weapon),
                               static_cast<uint32_t>(framesToJoin.size()));
    bool clamped = false;
    for (size_t f = 0; f < framesToJoin.size(); ++f) {
        std::vector<std::string> ignored;
        const auto parts = f == 0 ? first : PlaceParts(set, weapon, framesToJoin[f], ignored);
        clamped |= FillFrame(joined.Header, static_cast<uint32_t>(f), parts, tags);
    }
    messages.insert(messages.end(), placing.begin(), placing.end());
    if (clamped)
        messages.push_back("the joined player reaches beyond what an MD3 holds: clamped");
    return joined;
}

void ReposePlayer(TMD3& joined, const TPlayerSet& set, const TMD3* weapon,
                  const TPlayerPose& pose) {
    std::vector<std::string> ignored;
    const std::vector<TPlacedPart> parts = PlaceParts(set, weapon, pose, ignored);
    FillFrame(joined.Header, 0, parts, JoinedTags(parts));
}

} // namespace quillon

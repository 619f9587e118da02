// The editing operations of the MD3 model. Each transforms the stored records in place: bounds,
// radii and normals are carried along with the vertices, never recomputed from them. Anything
// that can fail is checked before the first record changes, so a refused operation leaves the
// model as it was.
#include "MD3.h"

#include "Assert.h"
#include "MD3FrameSource.h"
#include "TagFile.h"
#include "VertexWelding.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <optional>

namespace quillon {

namespace {

enum Axis { AxisX, AxisY, AxisZ };

float& Component(TVector& v, Axis axis) {
    return axis == AxisX ? v.x : axis == AxisY ? v.y : v.z;
}

int16_t& Component(TMD3Vertex& v, Axis axis) {
    return axis == AxisX ? v.x : axis == AxisY ? v.y : v.z;
}

// The loader, the converters and every operation keep the counts equal to the arrays; a model
// that breaks them (a half-built one) is refused rather than indexed out of bounds.
TEditResult Incomplete(const TMD3& model) {
    return TEditResult::Refused("The model is incomplete: its counts do not match its data (" +
                                model.CountMismatch() + ")");
}

// What the frame operations leave: counts matching the arrays and every surface holding the
// header's frames.
[[maybe_unused]] bool FramesConsistent(const TMD3& model) {
    const THeader& h = model.Header;
    return model.CountMismatch().empty() &&
           std::all_of(h.Surfaces.begin(), h.Surfaces.end(),
                       [&](const TSurface& s) { return s.numFrames == h.numFrames; });
}

// The size of the model's file with `frames` frames and `tags` tags per frame; an MD3 file
// stores its offsets in 32 bits.
bool FitsOneFile(const THeader& h, uint64_t frames, uint64_t tags) {
    uint64_t size =
        TMD3::HeaderSize() + frames * sizeof(TMD3Frame) + frames * tags * sizeof(TMD3Tag);
    for (const TSurface& s : h.Surfaces)
        size += TMD3::SurfaceHeaderSize() + uint64_t{s.numShaders} * sizeof(TMD3Shader) +
                uint64_t{s.numTriangles} * sizeof(TMD3Triangle) +
                uint64_t{s.numVerts} * (sizeof(TMD3TexCoord) + frames * sizeof(TMD3Vertex));
    return size <= UINT32_MAX;
}

// A stored coordinate from a computed one (in 1/64 units), rounded halves to even; nothing
// when it does not fit the 16-bit field.
std::optional<int16_t> StoredCoordinate(double value) {
    const double rounded = std::nearbyint(value);
    if (!(rounded >= INT16_MIN && rounded <= INT16_MAX))
        return std::nullopt;
    return static_cast<int16_t>(rounded);
}

// Applies `newCoordinate(frame, stored value)` to every vertex coordinate, but only when every
// result fits, so that a move out of range changes nothing.
template <class F> bool TransformCoordinates(THeader& h, F newCoordinate) {
    for (int pass = 0; pass < 2; ++pass)
        for (TSurface& s : h.Surfaces)
            for (size_t k = 0; k < s.Vertices.size(); ++k) {
                TMD3Vertex& v = s.Vertices[k];
                const uint32_t frame = static_cast<uint32_t>(k / s.numVerts);
                for (Axis axis : {AxisX, AxisY, AxisZ}) {
                    const auto stored =
                        StoredCoordinate(newCoordinate(frame, axis, Component(v, axis)));
                    if (!stored)
                        return false;
                    if (pass == 1)
                        Component(v, axis) = *stored;
                }
            }
    return true;
}

std::string RangeMessage(const std::string& what) {
    return what + " would move vertices beyond the MD3 range of \u00b1512 units";
}

std::string FloatText(float value) {
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    return std::string(text, end);
}

void Mirror(THeader& h, Axis axis) {
    for (TMD3Frame& frame : h.Frames) {
        const float low = Component(frame.mins, axis);
        Component(frame.mins, axis) = -Component(frame.maxs, axis);
        Component(frame.maxs, axis) = -low;
        Component(frame.localOrigin, axis) = -Component(frame.localOrigin, axis);
    }
    for (TSurface& s : h.Surfaces)
        for (TMD3Vertex& v : s.Vertices) {
            // 16-bit negation: -32768 has no positive counterpart and stays.
            Component(v, axis) = static_cast<int16_t>(-Component(v, axis));
            TVector normal = TMD3::DecodeNormal(v.normal);
            Component(normal, axis) = -Component(normal, axis);
            v.normal = TMD3::EncodeNormal(normal);
        }
    for (TMD3Tag& tag : h.Tags) {
        Component(tag.origin, axis) = -Component(tag.origin, axis);
        for (TVector& a : tag.axis)
            Component(a, axis) = -Component(a, axis);
    }
}

bool HasTagsToChange(const THeader& h) {
    return h.numTags != 0 && h.numFrames != 0;
}

void SwapTagAxes(THeader& h, int a, int b) {
    if (HasTagsToChange(h))
        for (TMD3Tag& tag : h.Tags)
            std::swap(tag.axis[a], tag.axis[b]);
}

void InvertTagAxis(THeader& h, int a) {
    if (HasTagsToChange(h))
        for (TMD3Tag& tag : h.Tags)
            tag.axis[a] = VectorNegate(tag.axis[a]);
}

// Every frame keeps its tags and gets `added` after them. Needs Tags to match the counts.
void AppendTagsToEveryFrame(THeader& h, std::span<const TMD3Tag> added) {
    const uint64_t old = h.numTags, grown = old + added.size();
    std::vector<TMD3Tag> tags(h.numFrames * grown);
    for (uint64_t f = 0; f < h.numFrames; ++f) {
        std::copy_n(h.Tags.begin() + f * old, old, tags.begin() + f * grown);
        std::copy(added.begin(), added.end(), tags.begin() + f * grown + old);
    }
    h.Tags = std::move(tags);
    h.numTags = static_cast<uint32_t>(grown);
}

// Appends the first `count` frames of `source`, already checked to fit, as new last frames.
void AppendFrames(THeader& h, const THeader& source, uint32_t count) {
    for (uint32_t i = 0; i < count; ++i) {
        TMD3Frame frame = source.Frames[i];
        StringToName("Q merged", frame.name);
        h.Frames.push_back(frame);
    }
    h.Tags.insert(h.Tags.end(), source.Tags.begin(),
                  source.Tags.begin() + uint64_t{count} * h.numTags);
    h.numFrames += count;
    for (size_t s = 0; s < h.Surfaces.size(); ++s) {
        TSurface& surface = h.Surfaces[s];
        const auto& vertices = source.Surfaces[s].Vertices;
        surface.Vertices.insert(surface.Vertices.end(), vertices.begin(),
                                vertices.begin() + uint64_t{count} * surface.numVerts);
        surface.numFrames = h.numFrames;
    }
}

bool LessIgnoringCase(const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) <
               std::tolower(static_cast<unsigned char>(y));
    });
}

} // namespace

void TMD3::FlipX() {
    Mirror(Header, AxisX);
}

void TMD3::FlipY() {
    Mirror(Header, AxisY);
}

void TMD3::FlipZ() {
    Mirror(Header, AxisZ);
}

void TMD3::FlipNormals() {
    for (TSurface& s : Header.Surfaces)
        for (TMD3Vertex& v : s.Vertices)
            v.normal = EncodeNormal(VectorNegate(DecodeNormal(v.normal)));
}

TEditResult TMD3::WeldVertices(int surface, float tolerance) {
    if (!HasSurface(surface))
        return TEditResult::Refused("Surface[" + std::to_string(surface) + "] does not exist");
    if (!CountMismatch().empty())
        return Incomplete(*this);
    TSurface& s = Header.Surfaces[surface];
    for (uint64_t f = 0; f < Header.numFrames; ++f)
        WeldFrameVertices(std::span(s.Vertices).subspan(f * s.numVerts, s.numVerts), tolerance);
    return TEditResult::Done("Surface vertices \"welded\"..");
}

TEditResult TMD3::SmoothSurface(int surface) {
    if (!HasSurface(surface))
        return TEditResult::Refused("Surface[" + std::to_string(surface) + "] does not exist");
    if (!CountMismatch().empty())
        return Incomplete(*this);
    TSurface& s = Header.Surfaces[surface];
    for (uint64_t f = 0; f < Header.numFrames; ++f)
        SmoothFrameNormals(std::span(s.Vertices).subspan(f * s.numVerts, s.numVerts));
    return TEditResult::Done("Surface smoothed..");
}

TEditResult TMD3::Scale(float factor) {
    const std::string what = "Scaling by " + FloatText(factor);
    if (!std::isfinite(factor))
        return TEditResult::Refused("Invalid scaling factor: " + FloatText(factor));
    // int16 times float is exact in double, so only the final rounding rounds.
    if (!TransformCoordinates(Header,
                              [factor](uint32_t, Axis, int16_t v) { return double(v) * factor; }))
        return TEditResult::Refused(RangeMessage(what));
    for (TMD3Frame& frame : Header.Frames) {
        frame.mins = VectorScale(frame.mins, factor);
        frame.maxs = VectorScale(frame.maxs, factor);
        frame.localOrigin = VectorScale(frame.localOrigin, factor);
        frame.radius *= factor;
    }
    for (TMD3Tag& tag : Header.Tags) {
        tag.origin = VectorScale(tag.origin, factor);
        for (TVector& a : tag.axis)
            a = VectorScale(a, factor);
    }
    return TEditResult::Done("Model scaled by factor " + FloatText(factor));
}

std::string TMD3::PivotName(uint32_t pivot) const {
    if (pivot < Header.numTags && pivot < Header.Tags.size())
        return NameToString(Header.Tags[pivot].name);
    return "origin";
}

TEditResult TMD3::MoveOriginToTag(uint32_t pivot) {
    const std::string entry = "the tag[\"" + PivotName(pivot) + "\"]";
    if (pivot > Header.numTags)
        return TEditResult::Refused("There is no tag[" + std::to_string(pivot) + "]");
    if (!CountMismatch().empty())
        return Incomplete(*this);
    const uint32_t numTags = Header.numTags;
    std::vector<TVector> pivots;
    for (uint32_t f = 0; f < Header.numFrames; ++f)
        pivots.push_back(pivot == numTags ? Header.Frames[f].localOrigin
                                          : Header.Tags[uint64_t{f} * numTags + pivot].origin);
    const auto moved = [&pivots](uint32_t frame, Axis axis, int16_t v) {
        return (double(v) * MD3XyzScale - double(Component(pivots[frame], axis))) * 64.0;
    };
    if (!TransformCoordinates(Header, moved))
        return TEditResult::Refused(RangeMessage("Moving the origin to " + entry));
    for (uint32_t f = 0; f < Header.numFrames; ++f) {
        TMD3Frame& frame = Header.Frames[f];
        frame.mins = VectorSub(frame.mins, pivots[f]);
        frame.maxs = VectorSub(frame.maxs, pivots[f]);
        frame.localOrigin = VectorSub(frame.localOrigin, pivots[f]);
        for (uint32_t t = 0; t < numTags; ++t) {
            TVector& origin = Header.Tags[uint64_t{f} * numTags + t].origin;
            origin = VectorSub(origin, pivots[f]);
        }
    }
    return TEditResult::Done("The position of " + entry + " is now the new origin..");
}

void TMD3::InvertTagAxisX() {
    InvertTagAxis(Header, 0);
}

void TMD3::InvertTagAxisY() {
    InvertTagAxis(Header, 1);
}

void TMD3::InvertTagAxisZ() {
    InvertTagAxis(Header, 2);
}

void TMD3::SwapTagAxesXY() {
    SwapTagAxes(Header, 0, 1);
}

void TMD3::SwapTagAxesXZ() {
    SwapTagAxes(Header, 0, 2);
}

void TMD3::SwapTagAxesYZ() {
    SwapTagAxes(Header, 1, 2);
}

void TMD3::AddTag(const TMD3Tag& tag) {
    if (Header.Tags.size() == uint64_t{Header.numFrames} * Header.numTags)
        AppendTagsToEveryFrame(Header, std::span(&tag, 1));
}

TEditResult TMD3::AddTagByHand(std::string_view name, TVector origin) {
    if (Header.numFrames != 1)
        return TEditResult::Refused(
            "Invalid action: It is not possible to add tags for animated MD3 models");
    if (!CountMismatch().empty())
        return Incomplete(*this);
    TMD3Tag tag;
    StringToName(name, tag.name);
    tag.origin = origin;
    tag.axis[0] = AxisPosX();
    tag.axis[1] = AxisPosY();
    tag.axis[2] = AxisPosZ();
    AddTag(tag);
    return TEditResult::Done("New tag added");
}

TEditResult TMD3::AddTagsFromFile(const std::string& path) {
    const std::string name = FileNameOf(path);
    const TTagFile file = ReadTagFile(path);
    if (file.status == TTagFileStatus::NotATagFile)
        return TEditResult::Refused("No TAG3 format: " + name);
    if (file.status == TTagFileStatus::Truncated)
        return TEditResult::Refused("Error reading tag-data: " + name);
    if (!CountMismatch().empty())
        return Incomplete(*this);
    if (!FitsOneFile(Header, Header.numFrames, uint64_t{Header.numTags} + file.tags.size()))
        return TEditResult::Refused("Too many tags for one MD3 file: " + name);
    if (file.tags.empty())
        return {true, false, ""};
    AppendTagsToEveryFrame(Header, file.tags);
    QUILLON_ASSERT(CountMismatch().empty());
    return TEditResult::Done("");
}

namespace {
TEditResult AddFramesFromFile(TMD3& model, const std::string& path, TFramesWanted wanted) {
    if (!model.CountMismatch().empty())
        return Incomplete(model);
    TMD3 source;
    if (auto failure = ReadFrameSource(model, path, wanted, source))
        return TEditResult::Refused(*failure);
    const std::string name = FileNameOf(path);
    const uint32_t count = wanted == TFramesWanted::All ? source.Header.numFrames : 1;
    if (!FitsOneFile(model.Header, uint64_t{model.Header.numFrames} + count, model.Header.numTags))
        return TEditResult::Refused("Too many frames for one MD3 file: " + name);
    AppendFrames(model.Header, source.Header, count);
    QUILLON_ASSERT(FramesConsistent(model));
    return TEditResult::Done(wanted == TFramesWanted::All
                                 ? "All frames (of " + name + ") were added to the current model"
                                 : "Frame[0] (of " + name + ") was added to the current model");
}
} // namespace

TEditResult TMD3::AddFirstFrameFromFile(const std::string& path) {
    return AddFramesFromFile(*this, path, TFramesWanted::First);
}

TEditResult TMD3::AddAllFramesFromFile(const std::string& path) {
    return AddFramesFromFile(*this, path, TFramesWanted::All);
}

TEditResult TMD3::AddFirstFramesFromFiles(std::vector<std::string> paths) {
    if (paths.empty())
        return TEditResult::Refused("No files chosen");
    std::stable_sort(paths.begin(), paths.end(), LessIgnoringCase);
    bool changed = false;
    for (const std::string& path : paths) {
        TEditResult result = AddFirstFrameFromFile(path);
        if (!result.ok)
            return {false, changed, std::move(result.message)};
        changed = true;
    }
    return TEditResult::Done("Frame[0] (of " + std::to_string(paths.size()) +
                             " files) were added to the current model");
}

TEditResult TMD3::DeleteFrame(uint32_t frame) {
    const std::string which = "Frame[" + std::to_string(frame) + "]";
    if (frame >= Header.numFrames)
        return TEditResult::Refused(which + " does not exist");
    if (Header.numFrames == 1)
        return TEditResult::Refused(which + " is the only frame and cannot be removed");
    if (!CountMismatch().empty())
        return Incomplete(*this);
    Header.Frames.erase(Header.Frames.begin() + frame);
    const auto tags = Header.Tags.begin() + uint64_t{frame} * Header.numTags;
    Header.Tags.erase(tags, tags + Header.numTags);
    --Header.numFrames;
    for (TSurface& s : Header.Surfaces) {
        const auto first = s.Vertices.begin() + uint64_t{frame} * s.numVerts;
        s.Vertices.erase(first, first + s.numVerts);
        s.numFrames = Header.numFrames;
    }
    QUILLON_ASSERT(FramesConsistent(*this));
    return TEditResult::Done(which + " has been removed");
}

} // namespace quillon

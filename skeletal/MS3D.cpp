#include "MS3D.h"

#include "core/FileReader.h"

#include <cstring>
#include <functional>

namespace quillon {

template <class T> bool TMS3D::Read(TFileReader& in, const std::string& what, T& record) {
    return in.ReadRecord(record) || Fail(in.Refusal(what));
}

template <class T>
bool TMS3D::ReadArray(TFileReader& in, const std::string& what, std::vector<T>& out,
                      uint64_t count) {
    return in.ReadArray(out, count) || Fail(in.Refusal(what));
}

template <class Count, class T>
bool TMS3D::ReadCounted(TFileReader& in, const std::string& what, std::vector<T>& out) {
    Count count{};
    return Read(in, what + " count", count) &&
           ReadArray(in, std::to_string(count) + " " + what, out, count);
}

bool TMS3D::ReadGroups(TFileReader& in) {
    uint16_t count = 0;
    if (!Read(in, "group count", count))
        return false;
    if (!in.Fits(count, sizeof(TMS3DGroupRecord)))
        return Fail(in.Refusal(std::to_string(count) + " groups"));
    Groups.resize(count);
    for (size_t i = 0; i < Groups.size(); ++i) {
        TMS3DGroup& g = Groups[i];
        const std::string which = "group " + std::to_string(i);
        if (!Read(in, which, static_cast<TMS3DGroupRecord&>(g)) ||
            !ReadArray(in, which + " triangle indices", g.TriangleIndices, g.numTriangles) ||
            !Read(in, which + " material index", g.materialIndex))
            return false;
    }
    return true;
}

bool TMS3D::ReadJoints(TFileReader& in) {
    uint16_t count = 0;
    if (!Read(in, "joint count", count))
        return false;
    if (!in.Fits(count, sizeof(TMS3DBoneRecord)))
        return Fail(in.Refusal(std::to_string(count) + " joints"));
    Joints.resize(count);
    for (size_t i = 0; i < Joints.size(); ++i) {
        TMS3DBone& j = Joints[i];
        const std::string which = "joint " + std::to_string(i);
        if (!Read(in, which, static_cast<TMS3DBoneRecord&>(j)) ||
            !ReadArray(in, which + " rotation keys", j.RotationKeys, j.numRotationKeys) ||
            !ReadArray(in, which + " position keys", j.PositionKeys, j.numPositionKeys))
            return false;
    }
    return true;
}

bool TMS3D::ReadComments(TFileReader& in, const std::string& what,
                         std::vector<TMS3DComment>& comments) {
    int32_t count = 0;
    if (!Read(in, what + " count", count))
        return false;
    if (count < 0)
        return Fail(what + " count " + std::to_string(count) + " is negative");
    // Each comment holds at least its index and length.
    if (!in.Fits(uint64_t(count), 8))
        return Fail(in.Refusal(std::to_string(count) + " " + what));
    comments.resize(count);
    for (size_t i = 0; i < comments.size(); ++i) {
        TMS3DComment& c = comments[i];
        const std::string which = what + " " + std::to_string(i);
        int32_t length = 0;
        if (!Read(in, which, c.index) || !Read(in, which + " length", length))
            return false;
        if (length < 0)
            return Fail(which + " length " + std::to_string(length) + " is negative");
        if (!in.Fits(uint64_t(length), 1))
            return Fail(in.Refusal(which + " text"));
        c.text.resize(length);
        if (!in.Read(c.text.data(), uint64_t(length)))
            return Fail(in.Refusal(which + " text"));
    }
    return true;
}

// Files of older MilkShape versions stop after the joints, and the later sections came one at a
// time (comments, then vertex extras, joint extras, model extras). Each section is therefore
// optional: the file may end before any of them, but a section that begins must be complete.
bool TMS3D::ReadLaterSections(TFileReader& in) {
    const std::function<bool()> sections[] = {
        [&] {
            return Read(in, "comment version", commentVersion) &&
                   ReadComments(in, "group comments", GroupComments) &&
                   ReadComments(in, "material comments", MaterialComments) &&
                   ReadComments(in, "joint comments", JointComments) &&
                   ReadComments(in, "model comments", ModelComments);
        },
        [&] {
            return Read(in, "vertex extra version", vertexExtraVersion) &&
                   ReadArray(in, "vertex extras", VertexExtras, Vertices.size());
        },
        [&] {
            return Read(in, "joint extra version", jointExtraVersion) &&
                   ReadArray(in, "joint extras", JointExtras, Joints.size());
        },
        [&] {
            return Read(in, "model extra version", modelExtraVersion) &&
                   Read(in, "model extra", ModelExtra);
        },
    };
    for (const std::function<bool()>& section : sections) {
        if (in.Position() == in.Size())
            return true;
        if (!section())
            return false;
    }
    return true;
}

bool TMS3D::ReadFrom(TFileReader& in) {
    if (!Read(in, "header", Header))
        return false;
    if (std::memcmp(Header.id, "MS3D000000", 10) != 0)
        return Fail(TFileReader::WrongIdent(std::string_view(Header.id, 10), "MS3D000000"));
    return ReadCounted<uint16_t>(in, "vertices", Vertices) &&
           ReadCounted<uint16_t>(in, "triangles", Triangles) && ReadGroups(in) &&
           ReadCounted<uint16_t>(in, "materials", Materials) &&
           Read(in, "animation settings", Animation) && ReadJoints(in) && ReadLaterSections(in);
}

void TMS3D::Clear() {
    *this = TMS3D();
}

bool TMS3D::LoadFromFile(const std::string& path) {
    Clear();
    TFileReader in(path);
    if (ReadFrom(in))
        return true;
    const std::string reason = LastError();
    Clear();
    return Fail(reason);
}

} // namespace quillon

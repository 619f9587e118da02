#include "MS3D.h"

#include "core/FileReader.h"

#include <cstring>
#include <functional>

namespace quillon {

namespace {

// A block whose count comes first: the count (of type Count), then the records.
template <class Count, class T> bool ReadCounted(TFileReader& in, std::vector<T>& out) {
    Count count{};
    if (!in.ReadRecord(count) || count < 0)
        return false;
    return in.ReadArray(out, uint64_t(count));
}

bool ReadGroups(TFileReader& in, std::vector<TMS3DGroup>& groups) {
    uint16_t count = 0;
    if (!in.ReadRecord(count) || !in.Fits(count, sizeof(TMS3DGroupRecord)))
        return false;
    groups.resize(count);
    for (TMS3DGroup& g : groups)
        if (!in.ReadRecord(static_cast<TMS3DGroupRecord&>(g)) ||
            !in.ReadArray(g.TriangleIndices, g.numTriangles) || !in.ReadRecord(g.materialIndex))
            return false;
    return true;
}

bool ReadJoints(TFileReader& in, std::vector<TMS3DBone>& joints) {
    uint16_t count = 0;
    if (!in.ReadRecord(count) || !in.Fits(count, sizeof(TMS3DBoneRecord)))
        return false;
    joints.resize(count);
    for (TMS3DBone& j : joints)
        if (!in.ReadRecord(static_cast<TMS3DBoneRecord&>(j)) ||
            !in.ReadArray(j.RotationKeys, j.numRotationKeys) ||
            !in.ReadArray(j.PositionKeys, j.numPositionKeys))
            return false;
    return true;
}

bool ReadComments(TFileReader& in, std::vector<TMS3DComment>& comments) {
    int32_t count = 0;
    // Each comment holds at least its index and length.
    if (!in.ReadRecord(count) || count < 0 || !in.Fits(uint64_t(count), 8))
        return false;
    comments.resize(count);
    for (TMS3DComment& c : comments) {
        int32_t length = 0;
        if (!in.ReadRecord(c.index) || !in.ReadRecord(length) || length < 0 ||
            !in.Fits(uint64_t(length), 1))
            return false;
        c.text.resize(length);
        if (!in.Read(c.text.data(), uint64_t(length)))
            return false;
    }
    return true;
}

// Files of older MilkShape versions stop after the joints, and the later sections came one at a
// time (comments, then vertex extras, joint extras, model extras). Each section is therefore
// optional: the file may end before any of them, but a section that begins must be complete.
bool ReadLaterSections(TFileReader& in, TMS3D& m) {
    const std::function<bool()> sections[] = {
        [&] {
            return in.ReadRecord(m.commentVersion) && ReadComments(in, m.GroupComments) &&
                   ReadComments(in, m.MaterialComments) && ReadComments(in, m.JointComments) &&
                   ReadComments(in, m.ModelComments);
        },
        [&] {
            return in.ReadRecord(m.vertexExtraVersion) &&
                   in.ReadArray(m.VertexExtras, m.Vertices.size());
        },
        [&] {
            return in.ReadRecord(m.jointExtraVersion) &&
                   in.ReadArray(m.JointExtras, m.Joints.size());
        },
        [&] { return in.ReadRecord(m.modelExtraVersion) && in.ReadRecord(m.ModelExtra); },
    };
    for (const std::function<bool()>& section : sections) {
        if (in.Position() == in.Size())
            return true;
        if (!section())
            return false;
    }
    return true;
}

} // namespace

void TMS3D::Clear() {
    *this = TMS3D();
}

bool TMS3D::LoadFromFile(const std::string& path) {
    Clear();
    TFileReader in(path);
    const bool ok = in.ReadRecord(Header) && std::memcmp(Header.id, "MS3D000000", 10) == 0 &&
                    ReadCounted<uint16_t>(in, Vertices) && ReadCounted<uint16_t>(in, Triangles) &&
                    ReadGroups(in, Groups) && ReadCounted<uint16_t>(in, Materials) &&
                    in.ReadRecord(Animation) && ReadJoints(in, Joints) &&
                    ReadLaterSections(in, *this);
    if (!ok)
        Clear();
    return ok;
}

} // namespace quillon

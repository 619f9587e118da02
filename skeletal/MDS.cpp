// Converting an MDS model splits its bones in two: ordinary bones are renumbered densely into
// the MDX skeleton (the forward map takes an MDS index to the new one, the reverse map back),
// while tag bones (non-zero flags) become MDM tags hanging on their parent bone. A tag's axes
// come from the tag bone's rotation in a reference frame.
#include "MDS.h"

#include "Pose.h"
#include "SurfaceBlocks.h"

#include "core/Assert.h"
#include "core/FileReader.h"

#include <cstring>

namespace quillon {

namespace {

// The frame whose pose the tag axes are taken from.
size_t ReferenceFrame(uint32_t numFrames) {
    return numFrames > 3813 ? 3812 : 0;
}

} // namespace

void TMDS::Clear() {
    Surfaces.clear();
    Frames.clear();
    Bones.clear();
    Tags.clear();
    Header.numSurfaces = Header.numFrames = Header.numBones = Header.numTags = 0;
}

bool TMDS::LoadFromFile(const std::string& path) {
    Clear();
    ClearError();
    TFileReader in(path);
    const bool ok = ReadFrom(in);
    if (!ok)
        Clear();
    QUILLON_ASSERT(!ok || CountMismatch().empty());
    return ok;
}

bool TMDS::ReadFrom(TFileReader& in) {
    if (!in.ReadRecord(Header))
        return Fail(in.Refusal("header"));
    if (std::memcmp(Header.ident, "MDSW", 4) != 0)
        return Fail(TFileReader::WrongIdent(std::string_view(Header.ident, 4), "MDSW"));
    // The bone maps of the conversion hold 128 entries.
    if (Header.numBones > MDSMaxBones)
        return Fail("numBones " + std::to_string(Header.numBones) + " above the limit of " +
                    std::to_string(MDSMaxBones));
    if (!in.FitsInFile(Header.numSurfaces, sizeof(TMDMSurfaceRecord)))
        return Fail(in.Refusal(std::to_string(Header.numSurfaces) + " surface headers"));
    Surfaces.resize(Header.numSurfaces);
    int64_t start = Header.ofsSurfaces;
    for (size_t s = 0; s < Surfaces.size(); ++s) {
        const std::string which = "surface " + std::to_string(s);
        if (!in.SeekSigned(start) || !in.ReadRecord(static_cast<TMDMSurfaceRecord&>(Surfaces[s])))
            return Fail(in.Refusal(which + " header"));
        if (const std::string failure =
                ReadSurfaceBlocks<TMDSVertexRecord>(in, uint64_t(start), Surfaces[s], which);
            !failure.empty())
            return Fail(failure);
        start += Surfaces[s].ofsEnd;
    }
    if (Header.numTags > 0 &&
        (!in.SeekSigned(Header.ofsTags) || !in.ReadArray(Tags, Header.numTags)))
        return Fail(in.Refusal(std::to_string(Header.numTags) + " tags"));
    if (Header.numBones > 0 &&
        (!in.SeekSigned(Header.ofsBones) || !in.ReadArray(Bones, Header.numBones)))
        return Fail(in.Refusal(std::to_string(Header.numBones) + " bone infos"));
    return ReadFrames(in);
}

bool TMDS::ReadFrames(TFileReader& in) {
    if (Header.numFrames == 0)
        return true;
    const uint64_t frameSize = sizeof(TMDXFrameRecord) + Header.numBones * sizeof(TMDXBoneFrame);
    if (!in.SeekSigned(Header.ofsFrames) || !in.Fits(Header.numFrames, frameSize))
        return Fail(in.Refusal(std::to_string(Header.numFrames) + " frames"));
    Frames.resize(Header.numFrames);
    for (size_t f = 0; f < Frames.size(); ++f)
        if (!in.ReadRecord(static_cast<TMDXFrameRecord&>(Frames[f])) ||
            !in.ReadArray(Frames[f].BoneFrames, Header.numBones))
            return Fail(in.Refusal("frame " + std::to_string(f)));
    return true;
}

std::string TMDS::CountMismatch() const {
    std::string found = Mismatch("bone infos", Bones.size(), "numBones", Header.numBones);
    if (found.empty())
        found = Mismatch("frames", Frames.size(), "numFrames", Header.numFrames);
    if (found.empty())
        found = Mismatch("surfaces", Surfaces.size(), "numSurfaces", Header.numSurfaces);
    if (found.empty())
        found = Mismatch("tags", Tags.size(), "numTags", Header.numTags);
    for (size_t f = 0; found.empty() && f < Frames.size(); ++f)
        if (Frames[f].BoneFrames.size() != Bones.size())
            found = Mismatch("frame " + std::to_string(f) + " bones", Frames[f].BoneFrames.size(),
                             "the number of bone infos", Bones.size());
    for (size_t i = 0; found.empty() && i < Surfaces.size(); ++i) {
        const TMDSSurface& s = Surfaces[i];
        const std::string which = "surface " + std::to_string(i);
        found = Mismatch(which + " vertices", s.Vertices.size(), "numVerts", s.numVerts);
        if (found.empty())
            found =
                Mismatch(which + " triangles", s.Triangles.size(), "numTriangles", s.numTriangles);
        if (found.empty())
            found = Mismatch(which + " collapse map", s.CollapseMap.size(), "numVerts", s.numVerts);
        if (found.empty())
            found = Mismatch(which + " bone refs", s.BoneRefs.size(), "numBoneRefs", s.numBoneRefs);
        for (size_t v = 0; found.empty() && v < s.Vertices.size(); ++v)
            if (const TMDSVertex& vertex = s.Vertices[v];
                vertex.Weights.size() != vertex.numWeights)
                found = Mismatch(which + " vertex " + std::to_string(v) + " weights",
                                 vertex.Weights.size(), "numWeights", vertex.numWeights);
    }
    return found;
}

namespace {

struct TBoneMaps {
    std::vector<int32_t> forward; // MDS index -> new index, -1 for a tag bone
    std::vector<int32_t> reverse; // new index -> MDS index
    std::vector<int32_t> tagBones;

    explicit TBoneMaps(const std::vector<TMDXBoneInfo>& bones) : forward(bones.size(), -1) {
        for (size_t i = 0; i < bones.size(); ++i) {
            if (bones[i].flags != 0) {
                tagBones.push_back(int32_t(i));
                continue;
            }
            forward[i] = int32_t(reverse.size());
            reverse.push_back(int32_t(i));
        }
    }
    // A reference to a bone the model does not have maps to -1 like a tag bone.
    int32_t Forward(int32_t mdsIndex) const {
        return mdsIndex >= 0 && size_t(mdsIndex) < forward.size() ? forward[mdsIndex] : -1;
    }
};

void ConvertAnimation(const TMDS& mds, const TBoneMaps& maps, TMDX& mdx) {
    TMDXHeaderRecord& h = mdx.Header;
    std::memcpy(h.ident, "MDXW", 4);
    h.version = 2;
    std::memcpy(h.name, mds.Header.name, sizeof(h.name));
    h.numFrames = uint32_t(mds.Frames.size());
    h.numBones = uint32_t(maps.reverse.size());
    h.torsoParent = mds.Header.torsoParent;
    mdx.Frames.resize(mds.Frames.size());
    for (size_t f = 0; f < mds.Frames.size(); ++f) {
        const TMDXFrame& from = mds.Frames[f];
        TMDXFrame& to = mdx.Frames[f];
        static_cast<TMDXFrameRecord&>(to) = from;
        to.BoneFrames.resize(maps.reverse.size());
        for (size_t j = 0; j < maps.reverse.size(); ++j) {
            TMDXBoneFrame bone = from.BoneFrames[maps.reverse[j]];
            bone.angles[3] = 0;
            to.BoneFrames[j] = bone;
        }
    }
    mdx.Bones.resize(maps.reverse.size());
    for (size_t j = 0; j < maps.reverse.size(); ++j) {
        TMDXBoneInfo bone = mds.Bones[maps.reverse[j]];
        bone.parent = bone.parent == -1 ? -1 : maps.Forward(bone.parent);
        mdx.Bones[j] = bone;
    }
}

void ConvertSurface(const TMDSSurface& from, const TBoneMaps& maps, TMDMSurface& to) {
    static_cast<TMDMSurfaceRecord&>(to) = from;
    to.ident = 9;
    to.shaderIndex = 0;
    to.Vertices.resize(from.Vertices.size());
    for (size_t v = 0; v < from.Vertices.size(); ++v) {
        TMDMVertex& vertex = to.Vertices[v];
        vertex.normal = from.Vertices[v].normal;
        std::memcpy(vertex.texCoords, from.Vertices[v].texCoords, sizeof(vertex.texCoords));
        vertex.numWeights = from.Vertices[v].numWeights;
        vertex.Weights = from.Vertices[v].Weights;
        for (TMDMWeight& w : vertex.Weights)
            w.boneIndex = maps.Forward(w.boneIndex);
    }
    to.Triangles = from.Triangles;
    to.CollapseMap = from.CollapseMap;
    to.BoneRefs = from.BoneRefs;
    for (int32_t& ref : to.BoneRefs)
        ref = maps.Forward(ref);
}

// The indices from the root down to `bone`, root first; a parent that does not come before its
// child ends the walk, so a cyclic hierarchy cannot loop.
std::vector<int32_t> PathFromRoot(const std::vector<TMDXBoneInfo>& bones, int32_t bone) {
    std::vector<int32_t> path;
    while (bone >= 0 && size_t(bone) < bones.size()) {
        path.insert(path.begin(), bone);
        const int32_t parent = bones[bone].parent;
        if (parent >= bone)
            break;
        bone = parent;
    }
    return path;
}

} // namespace

bool TMDS::ConvertToSkeletal(TMDM& mesh, TMDX& animation) {
    mesh.Clear();
    animation.Clear();
    ClearError();
    if (Bones.size() > MDSMaxBones)
        return Fail(std::to_string(Bones.size()) + " bones, above the limit of " +
                    std::to_string(MDSMaxBones));
    if (const std::string mismatch = CountMismatch(); !mismatch.empty())
        return Fail("counts disagree with the data: " + mismatch);
    const TBoneMaps maps(Bones);
    ConvertAnimation(*this, maps, animation);

    TMDMHeaderRecord& h = mesh.Header;
    std::memcpy(h.ident, "MDMW", 4);
    h.version = 3;
    std::memcpy(h.name, Header.name, sizeof(h.name));
    h.lodScale = Header.lodScale;
    h.lodBias = Header.lodBias;
    mesh.Surfaces.resize(Surfaces.size());
    for (size_t s = 0; s < Surfaces.size(); ++s)
        ConvertSurface(Surfaces[s], maps, mesh.Surfaces[s]);
    h.numSurfaces = uint32_t(mesh.Surfaces.size());

    // Reference pose of the kept bones; tag bones keep zero position and rotation.
    BonePositions.assign(Bones.size(), VectorZero());
    BoneRotations.assign(Bones.size(), TMatrix{});
    BoneInverseRotations.assign(Bones.size(), TMatrix{});
    const TMDXFrame* reference =
        Frames.empty() ? nullptr : &Frames[ReferenceFrame(Header.numFrames)];
    if (reference)
        for (int32_t i : maps.reverse) {
            const TMDXBoneFrame& bone = reference->BoneFrames[i];
            const int32_t parent = Bones[i].parent;
            if (parent >= 0 && parent < i)
                BonePositions[i] = VectorAdd(BonePositions[parent],
                                             BoneOffsetFromParent(bone, Bones[i].parentDist));
            BoneRotations[i] = BoneRotation(bone);
            BoneInverseRotations[i] = BoneRotations[i];
            MatrixInvert(BoneInverseRotations[i]);
        }

    // Fewer tag records than tag bones: as many tags as there are records.
    const size_t numTags = std::min(maps.tagBones.size(), Tags.size());
    mesh.Tags.resize(numTags);
    for (size_t t = 0; t < numTags; ++t) {
        const TMDSTag& from = Tags[t];
        TMDMTag& tag = mesh.Tags[t];
        std::memcpy(tag.name, from.name, sizeof(tag.name));
        const int32_t r = from.boneIndex;
        const bool known = r >= 0 && size_t(r) < Bones.size();
        const int32_t a = known ? Bones[r].parent : -1;
        tag.boneIndex = maps.Forward(a);
        for (int32_t bone : PathFromRoot(Bones, a < r ? a : -1))
            tag.BoneRefs.push_back(maps.Forward(bone));
        tag.numBoneRefs = uint32_t(tag.BoneRefs.size());
        if (known)
            tag.offset =
                VectorTransform(VectorSub(VectorZero(), BonePositions[r]), BoneRotations[r]);
        const TMatrix axes =
            known && reference ? BoneRotation(reference->BoneFrames[r]) : MatrixIdentity();
        for (int k = 0; k < 3; ++k)
            tag.axis[k] = {axes[k * 4], axes[k * 4 + 1], axes[k * 4 + 2]};
    }
    h.numTags = uint32_t(numTags);
    return true;
}

} // namespace quillon

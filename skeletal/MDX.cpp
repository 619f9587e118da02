#include "MDX.h"

#include "core/Assert.h"
#include "core/FileReader.h"
#include "core/FileWriter.h"

#include <cstring>

namespace quillon {

namespace {

uint64_t FrameSizeFor(uint64_t numBones) {
    return sizeof(TMDXFrameRecord) + numBones * sizeof(TMDXBoneFrame);
}

} // namespace

void TMDX::Clear() {
    Frames.clear();
    Header.numFrames = 0;
    Bones.clear();
    Header.numBones = 0;
}

uint64_t TMDX::FrameSize() const {
    return FrameSizeFor(Header.numBones);
}

uint64_t TMDX::FramesSize() const {
    return uint64_t{Header.numFrames} * FrameSize();
}

uint64_t TMDX::BonesSize() const {
    return uint64_t{Header.numBones} * sizeof(TMDXBoneInfo);
}

bool TMDX::ReadHeader(TFileReader& in, TMDXHeaderRecord& header) {
    if (!in.ReadRecord(header))
        return Fail(in.Refusal("header"));
    if (std::memcmp(header.ident, "MDXW", 4) != 0)
        return Fail(TFileReader::WrongIdent(std::string_view(header.ident, 4), "MDXW"));
    return true;
}

bool TMDX::SameBoneCount(const TMDXHeaderRecord& other) {
    if (other.numBones == Header.numBones)
        return true;
    return Fail("numBones " + std::to_string(other.numBones) + " differs from the " +
                std::to_string(Header.numBones) + " bones of the current animation");
}

bool TMDX::ReadFrames(TFileReader& in, const TMDXHeaderRecord& header,
                      std::vector<TMDXFrame>& frames) {
    frames.clear();
    if (header.numFrames == 0)
        return true;
    // Checked as a whole first, so a hostile count never sizes the frame array.
    if (!in.SeekSigned(header.ofsFrames) ||
        !in.Fits(header.numFrames, FrameSizeFor(header.numBones)))
        return Fail(in.Refusal(std::to_string(header.numFrames) + " frames"));
    frames.resize(header.numFrames);
    for (size_t f = 0; f < frames.size(); ++f)
        if (!in.ReadRecord(static_cast<TMDXFrameRecord&>(frames[f])) ||
            !in.ReadArray(frames[f].BoneFrames, header.numBones))
            return Fail(in.Refusal("frame " + std::to_string(f)));
    return true;
}

bool TMDX::ReadBones(TFileReader& in, const TMDXHeaderRecord& header,
                     std::vector<TMDXBoneInfo>& bones) {
    bones.clear();
    if (header.numBones == 0)
        return true;
    if (!in.SeekSigned(header.ofsBones) || !in.ReadArray(bones, header.numBones))
        return Fail(in.Refusal(std::to_string(header.numBones) + " bone infos"));
    return true;
}

bool TMDX::LoadFromFile(const std::string& path) {
    ClearError();
    TFileReader in(path);
    const bool ok =
        ReadHeader(in, Header) && ReadFrames(in, Header, Frames) && ReadBones(in, Header, Bones);
    if (!ok)
        Clear();
    QUILLON_ASSERT(!ok || CountMismatch().empty());
    return ok;
}

bool TMDX::LoadBonesFromFile(const std::string& path) {
    ClearError();
    TFileReader in(path);
    TMDXHeaderRecord other;
    std::vector<TMDXBoneInfo> bones;
    // Bones of another count would no longer match the frames' bone records.
    if (!ReadHeader(in, other) || !SameBoneCount(other) || !ReadBones(in, other, bones))
        return false;
    Bones = std::move(bones);
    return true;
}

bool TMDX::LoadFramesFromFile(const std::string& path) {
    ClearError();
    TFileReader in(path);
    TMDXHeaderRecord other;
    std::vector<TMDXFrame> frames;
    if (!ReadHeader(in, other) || !SameBoneCount(other) || !ReadFrames(in, other, frames))
        return false;
    Frames = std::move(frames);
    Header.numFrames = other.numFrames;
    return true;
}

std::string TMDX::CountMismatch() const {
    std::string found = Mismatch("frames", Frames.size(), "numFrames", Header.numFrames);
    if (found.empty())
        found = Mismatch("bone infos", Bones.size(), "numBones", Header.numBones);
    for (size_t f = 0; found.empty() && f < Frames.size(); ++f)
        if (Frames[f].BoneFrames.size() != Header.numBones)
            found = Mismatch("frame " + std::to_string(f) + " bones", Frames[f].BoneFrames.size(),
                             "numBones", Header.numBones);
    return found;
}

bool TMDX::SaveToFile(const std::string& path) {
    ClearError();
    if (const std::string mismatch = CountMismatch(); !mismatch.empty())
        return Fail("counts disagree with the data: " + mismatch);
    if (const uint64_t size = HeaderSize() + FramesSize() + BonesSize(); size > INT32_MAX)
        return Fail("the animation needs " + std::to_string(size) +
                    " bytes, more than the signed 32-bit offsets of an MDX file reach");
    TFileWriter out(path);
    Header.ofsFrames = int32_t(HeaderSize());
    Header.ofsBones = int32_t(HeaderSize() + FramesSize());
    Header.ofsEnd = int32_t(Header.ofsBones + BonesSize());
    out.WriteRecord(Header);
    for (const TMDXFrame& frame : Frames) {
        out.WriteRecord(static_cast<const TMDXFrameRecord&>(frame));
        out.WriteArray(frame.BoneFrames);
    }
    out.WriteArray(Bones);
    return out.Commit() || Fail(out.Failure());
}

} // namespace quillon

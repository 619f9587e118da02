#include "MDX.h"

#include "core/FileReader.h"
#include "core/FileWriter.h"

#include <cstring>

namespace quillon {

namespace {

uint64_t FrameSizeFor(uint64_t numBones) {
    return sizeof(TMDXFrameRecord) + numBones * sizeof(TMDXBoneFrame);
}

bool SeekTo(TFileReader& in, int32_t offset) {
    if (offset < 0)
        return false;
    in.Seek(uint64_t(offset));
    return true;
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
    return in.ReadRecord(header) && std::memcmp(header.ident, "MDXW", 4) == 0;
}

bool TMDX::ReadFrames(TFileReader& in, const TMDXHeaderRecord& header,
                      std::vector<TMDXFrame>& frames) {
    frames.clear();
    if (header.numFrames == 0)
        return true;
    // Checked as a whole first, so a hostile count never sizes the frame array.
    if (!SeekTo(in, header.ofsFrames) || !in.Fits(header.numFrames, FrameSizeFor(header.numBones)))
        return false;
    frames.resize(header.numFrames);
    for (TMDXFrame& frame : frames)
        if (!in.ReadRecord(static_cast<TMDXFrameRecord&>(frame)) ||
            !in.ReadArray(frame.BoneFrames, header.numBones))
            return false;
    return true;
}

bool TMDX::ReadBones(TFileReader& in, const TMDXHeaderRecord& header,
                     std::vector<TMDXBoneInfo>& bones) {
    bones.clear();
    if (header.numBones == 0)
        return true;
    return SeekTo(in, header.ofsBones) && in.ReadArray(bones, header.numBones);
}

bool TMDX::LoadFromFile(const std::string& path) {
    TFileReader in(path);
    const bool ok =
        ReadHeader(in, Header) && ReadFrames(in, Header, Frames) && ReadBones(in, Header, Bones);
    if (!ok)
        Clear();
    return ok;
}

bool TMDX::LoadBonesFromFile(const std::string& path) {
    TFileReader in(path);
    TMDXHeaderRecord other;
    std::vector<TMDXBoneInfo> bones;
    // Bones of another count would no longer match the frames' bone records.
    if (!ReadHeader(in, other) || other.numBones != Header.numBones || !ReadBones(in, other, bones))
        return false;
    Bones = std::move(bones);
    return true;
}

bool TMDX::LoadFramesFromFile(const std::string& path) {
    TFileReader in(path);
    TMDXHeaderRecord other;
    std::vector<TMDXFrame> frames;
    if (!ReadHeader(in, other) || other.numBones != Header.numBones ||
        !ReadFrames(in, other, frames))
        return false;
    Frames = std::move(frames);
    Header.numFrames = other.numFrames;
    return true;
}

bool TMDX::IsConsistent() const {
    if (Frames.size() != Header.numFrames || Bones.size() != Header.numBones)
        return false;
    for (const TMDXFrame& frame : Frames)
        if (frame.BoneFrames.size() != Header.numBones)
            return false;
    return HeaderSize() + FramesSize() + BonesSize() <= uint64_t(INT32_MAX);
}

bool TMDX::SaveToFile(const std::string& path) {
    if (!IsConsistent())
        return false;
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
    return out.Commit();
}

} // namespace quillon

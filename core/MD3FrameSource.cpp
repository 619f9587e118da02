#include "MD3FrameSource.h"

#include "FileReader.h"

#include <filesystem>

namespace quillon {

std::string FileNameOf(const std::string& path) {
    return std::filesystem::path(path).filename().string();
}

namespace {

std::optional<std::string> ReadTags(const TMD3& model, TFileReader& in, THeader& h,
                                    const std::string& name) {
    if (h.numTags == 0)
        return std::nullopt;
    // A model without frames has no tag names to keep; the new frames bring theirs.
    const bool compare = !model.Header.Tags.empty();
    const std::string expected = compare ? NameToString(model.Header.Tags[0].name) : "";
    in.Seek(h.ofsTags);
    for (uint32_t f = 0; f < h.numFrames; ++f) {
        const size_t first = h.Tags.size();
        if (!in.AppendArray(h.Tags, h.numTags))
            return "Error reading tag-data: " + name;
        const std::string found = NameToString(h.Tags[first].name);
        if (compare && found != expected)
            return "Tag \"" + found + "\" found, expected \"" + expected + "\" in: " + name;
    }
    return std::nullopt;
}

std::optional<std::string> ReadSurfaces(const TMD3& model, TFileReader& in, THeader& h,
                                        TFramesWanted wanted, const std::string& name) {
    if (h.numSurfaces != model.Header.Surfaces.size())
        return "Number of surfaces not equal: " + name;
    const uint32_t framesUsed = wanted == TFramesWanted::All ? h.numFrames : 1;
    h.Surfaces.resize(h.numSurfaces);
    uint64_t start = h.ofsSurfaces;
    for (uint32_t s = 0; s < h.numSurfaces; ++s) {
        TSurface& surface = h.Surfaces[s];
        const TSurface& own = model.Header.Surfaces[s];
        in.Seek(start);
        if (!in.ReadRecord(static_cast<TSurfaceRecord&>(surface)))
            return "Error reading surface[" + std::to_string(s) + "]-header: " + name;
        const std::string quoted = "[\"" + NameToString(surface.name) + "\"]: " + name;
        if (surface.numShaders != own.numShaders)
            return "Number of shaders not equal for surface" + quoted;
        if (surface.numTriangles != own.numTriangles)
            return "Number of triangles not equal for surface" + quoted;
        if (surface.numVerts != own.numVerts)
            return "Number of vertexes not equal for surface" + quoted;
        // A surface holding fewer frames than are taken from it lacks their vertices.
        in.Seek(start + surface.ofsXyzNormals);
        if (surface.numFrames < framesUsed ||
            !in.ReadArray(surface.Vertices, uint64_t{surface.numVerts} * surface.numFrames))
            return "Error reading vertex-data for surface" + quoted;
        start += surface.ofsEnd;
    }
    return std::nullopt;
}

} // namespace

std::optional<std::string> ReadFrameSource(const TMD3& model, const std::string& path,
                                           TFramesWanted wanted, TMD3& source) {
    const std::string name = FileNameOf(path);
    source.Clear();
    TFileReader in(path);
    THeader& h = source.Header;
    if (!in.ReadRecord(static_cast<THeaderRecord&>(h)))
        return "Could not read header: " + name;
    if (!source.HasValidIdent())
        return "No MD3 format: " + name;
    if (h.numFrames == 0)
        return "No frame-data: " + name;
    if (h.numTags != model.Header.numTags)
        return "Number of tags not equal: " + name;
    in.Seek(h.ofsFrames);
    if (!in.ReadArray(h.Frames, h.numFrames))
        return "Error reading frame-data: " + name;
    if (auto failure = ReadTags(model, in, h, name))
        return failure;
    return ReadSurfaces(model, in, h, wanted, name);
}

} // namespace quillon

#include "MD3Builder.h"

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace quillon::test {

TMD3 BuildMD3(const MD3Shape& shape) {
    TMD3 md3;
    THeader& h = md3.Header;
    StringToName("models/test/builder", h.name);
    h.numFrames = shape.frames;
    h.numTags = shape.tags;
    h.numSurfaces = shape.surfaces;
    for (int f = 0; f < shape.frames; ++f) {
        TMD3Frame frame;
        frame.mins = {-1.0f - f, -2, -3};
        frame.maxs = {1.0f + f, 2, 3};
        frame.localOrigin = {0.5f * f, 0, 0};
        frame.radius = 4.0f + f;
        StringToName("frame" + std::to_string(f), frame.name);
        h.Frames.push_back(frame);
        for (int t = 0; t < shape.tags; ++t) {
            TMD3Tag tag;
            StringToName("tag_" + std::to_string(t), tag.name);
            tag.origin = {float(t), float(f), 1.5f};
            tag.axis[0] = AxisPosX();
            tag.axis[1] = AxisPosY();
            tag.axis[2] = AxisPosZ();
            h.Tags.push_back(tag);
        }
    }
    for (int s = 0; s < shape.surfaces; ++s) {
        TSurface surface;
        StringToName("surface" + std::to_string(s), surface.name);
        surface.numFrames = shape.frames;
        surface.numShaders = shape.shadersPerSurface;
        surface.numVerts = shape.vertsPerSurface;
        surface.numTriangles = shape.trianglesPerSurface;
        for (int k = 0; k < shape.shadersPerSurface; ++k) {
            TMD3Shader shader;
            StringToName("textures/test/s" + std::to_string(s) + "_" + std::to_string(k),
                         shader.name);
            shader.shaderIndex = k;
            surface.Shaders.push_back(shader);
        }
        for (int t = 0; t < shape.trianglesPerSurface; ++t) {
            const int n = std::max(1, shape.vertsPerSurface);
            surface.Triangles.push_back({{t % n, (t + 1) % n, (t + 2) % n}});
        }
        for (int v = 0; v < shape.vertsPerSurface; ++v)
            surface.TexCoords.push_back({0.125f * v, 0.25f + 0.0625f * v});
        for (int f = 0; f < shape.frames; ++f)
            for (int v = 0; v < shape.vertsPerSurface; ++v)
                surface.Vertices.push_back({int16_t(64 * v + s), int16_t(-32 * f), int16_t(v * f),
                                            int16_t((v * 37 + f * 11) & 0xFFFF)});
        h.Surfaces.push_back(surface);
    }
    return md3;
}

TSurface GridSurface(const std::string& name, int columns, int rows, int frames) {
    TSurface surface;
    StringToName(name, surface.name);
    surface.numFrames = frames;
    surface.numShaders = 1;
    surface.Shaders.resize(1);
    StringToName("models/test/" + name, surface.Shaders[0].name);
    surface.numVerts = columns * rows;
    auto at = [&](int c, int r) { return r * columns + c; };
    for (int r = 0; r + 1 < rows; ++r)
        for (int c = 0; c + 1 < columns; ++c) {
            // Clockwise seen from above, so the faces point up.
            surface.Triangles.push_back({{at(c, r), at(c, r + 1), at(c + 1, r)}});
            surface.Triangles.push_back({{at(c + 1, r), at(c, r + 1), at(c + 1, r + 1)}});
        }
    surface.numTriangles = static_cast<uint32_t>(surface.Triangles.size());
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
            surface.TexCoords.push_back({float(c) / columns, float(r) / rows});
    for (int f = 0; f < frames; ++f)
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < columns; ++c)
                surface.Vertices.push_back(
                    {int16_t(64 * c), int16_t(64 * r), int16_t(64 * (f % 256)), int16_t(0)});
    return surface;
}

TMD3 BuildGridMD3(int columns, int rows, int frames, int tags) {
    TMD3 md3;
    THeader& h = md3.Header;
    StringToName("models/test/grid", h.name);
    h.numFrames = frames;
    h.numTags = tags;
    h.numSurfaces = 1;
    h.Surfaces.push_back(GridSurface("grid", columns, rows, frames));
    const float width = float(columns - 1), depth = float(rows - 1);
    for (int f = 0; f < frames; ++f) {
        TMD3Frame frame;
        const float height = float(f % 256);
        frame.mins = {0, 0, height};
        frame.maxs = {width, depth, height};
        frame.localOrigin = {width / 2, depth / 2, height};
        frame.radius = std::sqrt(width * width + depth * depth) / 2;
        StringToName("frame" + std::to_string(f), frame.name);
        h.Frames.push_back(frame);
        for (int t = 0; t < tags; ++t) {
            TMD3Tag tag;
            StringToName("tag_" + std::to_string(t), tag.name);
            tag.origin = {float(t), 0, height};
            tag.axis[0] = AxisPosX();
            tag.axis[1] = AxisPosY();
            tag.axis[2] = AxisPosZ();
            h.Tags.push_back(tag);
        }
    }
    return md3;
}

namespace {
template <class T> void Append(std::vector<char>& out, const T* data, size_t count) {
    const auto* p = reinterpret_cast<const char*>(data);
    out.insert(out.end(), p, p + count * sizeof(T));
}
template <class T> void Append(std::vector<char>& out, const std::vector<T>& v) {
    Append(out, v.data(), v.size());
}
void Pad(std::vector<char>& out, size_t n) {
    out.insert(out.end(), n, char(0x5A));
}
template <class T> void Put(std::vector<char>& out, size_t at, const T& value) {
    std::memcpy(out.data() + at, &value, sizeof(T));
}
} // namespace

std::vector<char> MD3FileBytes(const TMD3& model, bool reverseBlocks) {
    THeaderRecord header = model.Header;
    std::vector<char> out(sizeof(THeaderRecord));
    const size_t pad = reverseBlocks ? 4 : 0;
    if (reverseBlocks) {
        header.ofsTags = uint32_t(out.size());
        Append(out, model.Header.Tags);
        Pad(out, pad);
        header.ofsFrames = uint32_t(out.size());
        Append(out, model.Header.Frames);
    } else {
        header.ofsFrames = uint32_t(out.size());
        Append(out, model.Header.Frames);
        header.ofsTags = uint32_t(out.size());
        Append(out, model.Header.Tags);
    }
    Pad(out, pad);
    header.ofsSurfaces = uint32_t(out.size());
    for (const TSurface& s : model.Header.Surfaces) {
        const size_t start = out.size();
        TSurfaceRecord rec = s;
        out.resize(out.size() + sizeof(TSurfaceRecord));
        std::vector<TMD3TexCoord> st = s.TexCoords;
        for (TMD3TexCoord& tc : st)
            tc.t = 1.0f - tc.t;
        auto block = [&](uint32_t& offset, auto&& write) {
            Pad(out, pad);
            offset = uint32_t(out.size() - start);
            write();
        };
        auto shaders = [&] { block(rec.ofsShaders, [&] { Append(out, s.Shaders); }); };
        auto triangles = [&] { block(rec.ofsTriangles, [&] { Append(out, s.Triangles); }); };
        auto texCoords = [&] { block(rec.ofsSt, [&] { Append(out, st); }); };
        auto vertices = [&] { block(rec.ofsXyzNormals, [&] { Append(out, s.Vertices); }); };
        if (reverseBlocks) {
            vertices(), texCoords(), triangles(), shaders();
        } else {
            shaders(), triangles(), texCoords(), vertices();
        }
        rec.ofsEnd = uint32_t(out.size() - start);
        Put(out, start, rec);
    }
    header.ofsEnd = uint32_t(out.size());
    Put(out, 0, header);
    return out;
}

void WriteBytes(const std::string& path, const std::vector<char>& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), std::streamsize(bytes.size()));
    if (!file)
        throw std::runtime_error("cannot write " + path);
}

std::vector<char> ReadBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "quillon-test-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot create a temporary folder");
    Path = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(Path, ignored);
}

} // namespace quillon::test

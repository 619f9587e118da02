// Writes the demo model: a gently pulsing torus ("torus" surface) around a little cube
// ("core" surface), 20 frames, with a tag on top ("tag_head").
#include "core/MD3.h"

#include <cmath>
#include <iostream>

using namespace quillon;

namespace {

constexpr int Frames = 20;

int16_t ToFixed(float q) {
    return static_cast<int16_t>(std::lrint(q * 64.0f));
}

TMD3Vertex MakeVertex(TVector p, TVector n) {
    return {ToFixed(p.x), ToFixed(p.y), ToFixed(p.z), TMD3::EncodeNormal(n)};
}

// The seam ring and the seam side are doubled so that the texture runs once round each way
// instead of jumping back across the whole image on the last row of quads.
TSurface Torus() {
    constexpr int Rings = 24, Sides = 12;
    constexpr int RingVerts = Sides + 1;
    TSurface s;
    StringToName("torus", s.name);
    s.Shaders.resize(1);
    StringToName("models/demo/torus.tga", s.Shaders[0].name);
    for (int f = 0; f < Frames; ++f) {
        const float pulse = 1.0f + 0.15f * std::sin(f * 2 * 3.14159265f / Frames);
        for (int r = 0; r <= Rings; ++r)
            for (int k = 0; k <= Sides; ++k) {
                const float u = r * 2 * 3.14159265f / Rings, v = k * 2 * 3.14159265f / Sides;
                const TVector n{std::cos(u) * std::cos(v), std::sin(u) * std::cos(v), std::sin(v)};
                const float big = 20.0f, small = 6.0f * pulse;
                const TVector p{std::cos(u) * (big + small * std::cos(v)),
                                std::sin(u) * (big + small * std::cos(v)), small * std::sin(v)};
                s.Vertices.push_back(MakeVertex(p, n));
            }
    }
    for (int r = 0; r <= Rings; ++r)
        for (int k = 0; k <= Sides; ++k)
            s.TexCoords.push_back({float(r) / Rings, float(k) / Sides});
    for (int r = 0; r < Rings; ++r)
        for (int k = 0; k < Sides; ++k) {
            const int a = r * RingVerts + k, b = (r + 1) * RingVerts + k;
            const int c = (r + 1) * RingVerts + k + 1, d = r * RingVerts + k + 1;
            s.Triangles.push_back({{a, c, b}});
            s.Triangles.push_back({{a, d, c}});
        }
    s.numVerts = (Rings + 1) * RingVerts;
    s.numTriangles = static_cast<uint32_t>(s.Triangles.size());
    return s;
}

TSurface Cube() {
    TSurface s;
    StringToName("core", s.name);
    s.Shaders.resize(1);
    StringToName("models/demo/core.tga", s.Shaders[0].name);
    const TVector normals[6] = {AxisPosX(), AxisNegX(), AxisPosY(),
                                AxisNegY(), AxisPosZ(), AxisNegZ()};
    for (int f = 0; f < Frames; ++f) {
        const float angle = f * 360.0f / Frames;
        for (const TVector& n : normals) {
            // Two axes spanning the face.
            const TVector u = std::fabs(n.z) > 0.5f ? AxisPosX() : AxisPosZ();
            const TVector w = VectorCross(n, u);
            for (int c = 0; c < 4; ++c) {
                const float su = (c == 1 || c == 2) ? 1.0f : -1.0f, sw = c >= 2 ? 1.0f : -1.0f;
                const TVector p =
                    VectorScale(VectorAdd(n, VectorAdd(VectorScale(u, su), VectorScale(w, sw))), 8);
                const TMatrix spin = RotationZ(angle);
                s.Vertices.push_back(
                    MakeVertex(VectorTransform(p, spin), VectorTransform(n, spin)));
            }
        }
    }
    for (int face = 0; face < 6; ++face) {
        const int b = face * 4;
        s.Triangles.push_back({{b, b + 2, b + 1}});
        s.Triangles.push_back({{b, b + 3, b + 2}});
        for (int c = 0; c < 4; ++c)
            s.TexCoords.push_back({(c == 1 || c == 2) ? 1.0f : 0.0f, c >= 2 ? 1.0f : 0.0f});
    }
    s.numVerts = 24;
    s.numTriangles = 12;
    return s;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: quillon-make-demo OUT.md3\n";
        return 2;
    }
    TMD3 md3;
    THeader& h = md3.Header;
    StringToName("models/demo/demo.md3", h.name);
    h.Surfaces = {Torus(), Cube()};
    for (TSurface& s : h.Surfaces) {
        s.numFrames = Frames;
        s.numShaders = 1;
    }
    for (int f = 0; f < Frames; ++f) {
        TMD3Frame frame;
        frame.mins = {-27.0f, -27.0f, -10.0f};
        frame.maxs = {27.0f, 27.0f, 10.0f};
        frame.radius = 29.0f;
        StringToName("frame" + std::to_string(f), frame.name);
        h.Frames.push_back(frame);
        TMD3Tag tag;
        StringToName("tag_head", tag.name);
        tag.origin = {0, 0, 12.0f + 2.0f * std::sin(f * 2 * 3.14159265f / Frames)};
        tag.axis[0] = AxisPosX();
        tag.axis[1] = AxisPosY();
        tag.axis[2] = AxisPosZ();
        h.Tags.push_back(tag);
    }
    h.numFrames = Frames;
    h.numTags = 1;
    h.numSurfaces = static_cast<uint32_t>(h.Surfaces.size());
    if (!md3.SaveToFile(argv[1])) {
        std::cerr << argv[1] << ": could not write the demo model\n";
        return 1;
    }
    return 0;
}

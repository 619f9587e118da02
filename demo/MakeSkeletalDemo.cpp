// Writes the skeletal demo model: a serpent lying along +x on a chain of six bones, as an MDM
// mesh (a puck-shaped "base" on the root bone, a tapering "body" blended between neighbouring
// bones, a round "head" on the last bone, tags "tag_head" and "tag_base"), an MDX animation of
// 40 frames that swings and curls the chain in the x-y plane, and the script naming the two
// ranges ("wave" frames 0-19, "curl" frames 20-39). Beside them go the surfaces' images
// (serpent_base.tga, serpent_body.tga, serpent_head.tga), which the window finds in the model's
// folder.
//
// The mesh is modelled in the posed orientation with every bone at rest (no rotation, bone i at
// x = 10 i). Posing mirrors y and z of weight offsets and normals, so they are stored mirrored.
// A bone's rotation (yaw) turns what hangs on it counter-clockwise; the direction from a parent
// to its child (ofsAngles yaw) is measured clockwise, hence the opposite sign.
#include "core/FileError.h"
#include "core/MD3.h"
#include "skeletal/MDM.h"
#include "skeletal/MDX.h"
#include "skeletal/Pose.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <functional>
#include <iostream>
#include <string>
#include <utility>
#include <vector>

using namespace quillon;

namespace {

constexpr int BoneCount = 6;
constexpr float SegmentLength = 10;
constexpr int FrameCount = 40;
constexpr int Sides = 12;
constexpr float Pi = 3.14159265f;

using TWeights = std::vector<std::pair<int, float>>; // bone, weight

TVector MirrorYZ(TVector v) {
    return {v.x, -v.y, -v.z};
}

TVector BoneAtRest(int bone) {
    return {SegmentLength * bone, 0, 0};
}

TMDMVertex MakeVertex(TVector position, TVector normal, float s, float t, const TWeights& weights) {
    TMDMVertex vertex;
    vertex.normal = MirrorYZ(normal);
    vertex.texCoords[0] = s;
    vertex.texCoords[1] = t;
    for (const auto& [bone, weight] : weights)
        vertex.Weights.push_back({bone, weight, MirrorYZ(VectorSub(position, BoneAtRest(bone)))});
    vertex.numWeights = static_cast<uint32_t>(vertex.Weights.size());
    return vertex;
}

// Adds the triangle wound so that it faces the way its vertex normals point (the view's front
// faces are clockwise); a triangle without area is left out.
void AddTriangle(TMDMSurface& surface, const std::vector<TVector>& positions,
                 const std::vector<TVector>& normals, int a, int b, int c) {
    const TVector face = TriangleNormal(positions[c], positions[b], positions[a]);
    if (VectorLength(face) == 0)
        return;
    const TVector normal = VectorAdd(normals[a], VectorAdd(normals[b], normals[c]));
    if (VectorDot(face, normal) < 0)
        std::swap(b, c);
    surface.Triangles.push_back({{a, b, c}});
}

// A surface of revolution about the x axis through the profile points (x, radius), with normals
// from the profile's slope; `weigh` gives the bones of a ring at x.
TMDMSurface Lathe(const std::string& name, const std::vector<std::pair<float, float>>& profile,
                  const std::function<TWeights(float x)>& weigh) {
    TMDMSurface surface;
    StringToName(name, surface.name);
    StringToName("models/demo/serpent_" + name, surface.shader);
    std::vector<TVector> positions, normals;
    const int rings = static_cast<int>(profile.size());
    for (int r = 0; r < rings; ++r) {
        const auto [x, radius] = profile[r];
        const auto& before = profile[r > 0 ? r - 1 : r];
        const auto& after = profile[r + 1 < rings ? r + 1 : r];
        const float dx = after.first - before.first, dr = after.second - before.second;
        const float length = std::hypot(dx, dr);
        const float nx = -dr / length, nr = dx / length;
        for (int k = 0; k <= Sides; ++k) { // the seam column twice, for the texture's wrap
            const float angle = 2 * Pi * k / Sides;
            const TVector position{x, radius * std::cos(angle), radius * std::sin(angle)};
            const TVector normal{nx, nr * std::cos(angle), nr * std::sin(angle)};
            positions.push_back(position);
            normals.push_back(normal);
            surface.Vertices.push_back(
                MakeVertex(position, normal, float(k) / Sides, float(r) / (rings - 1), weigh(x)));
        }
    }
    const int columns = Sides + 1;
    for (int r = 0; r + 1 < rings; ++r)
        for (int k = 0; k < Sides; ++k) {
            const int a = r * columns + k, b = a + columns, c = b + 1, d = a + 1;
            AddTriangle(surface, positions, normals, a, b, c);
            AddTriangle(surface, positions, normals, a, c, d);
        }
    return surface;
}

TWeights OnBone(int bone) {
    return {{bone, 1.0f}};
}

// Blends linearly between the two bones around x, so the body bends smoothly at the joints.
TWeights AlongChain(float x) {
    const int segment = std::min(static_cast<int>(x / SegmentLength), BoneCount - 2);
    const float t = x / SegmentLength - segment;
    TWeights weights;
    if (t < 1)
        weights.push_back({segment, 1 - t});
    if (t > 0)
        weights.push_back({segment + 1, t});
    return weights;
}

TMDMSurface Base() {
    return Lathe("base", {{-4, 0}, {-4, 6}, {-3, 8}, {0, 9}, {3, 8}, {4, 6}, {4, 0}},
                 [](float) { return OnBone(0); });
}

TMDMSurface Body() {
    std::vector<std::pair<float, float>> profile;
    const float length = SegmentLength * (BoneCount - 1);
    for (int ring = 0; ring <= 20; ++ring) {
        const float x = length * ring / 20;
        profile.push_back({x, 5 - 2 * x / length});
    }
    return Lathe("body", profile, AlongChain);
}

TMDMSurface Head() {
    std::vector<std::pair<float, float>> profile;
    const float centre = SegmentLength * (BoneCount - 1) + 6;
    for (int stack = 0; stack <= 8; ++stack) {
        const float angle = Pi * stack / 8;
        profile.push_back({centre - 6 * std::cos(angle), 6 * std::sin(angle)});
    }
    return Lathe("head", profile, [](float) { return OnBone(BoneCount - 1); });
}

void FinishSurface(TMDMSurface& surface) {
    surface.ident = 9;
    surface.numVerts = static_cast<uint32_t>(surface.Vertices.size());
    surface.numTriangles = static_cast<uint32_t>(surface.Triangles.size());
    surface.minLod = static_cast<int32_t>(surface.numVerts);
    surface.CollapseMap.assign(surface.numVerts, 0);
    std::vector<bool> used(BoneCount, false);
    for (const TMDMVertex& vertex : surface.Vertices)
        for (const TMDMWeight& weight : vertex.Weights)
            used[weight.boneIndex] = true;
    for (int bone = 0; bone < BoneCount; ++bone)
        if (used[bone])
            surface.BoneRefs.push_back(bone);
    surface.numBoneRefs = static_cast<uint32_t>(surface.BoneRefs.size());
}

TMDMTag MakeTag(const std::string& name, int bone, TVector position) {
    TMDMTag tag;
    StringToName(name, tag.name);
    tag.boneIndex = bone;
    tag.offset = MirrorYZ(VectorSub(position, BoneAtRest(bone)));
    tag.axis[0] = {1, 0, 0};
    tag.axis[1] = {0, 1, 0};
    tag.axis[2] = {0, 0, -1}; // posing negates z: the tag's third axis points up
    for (int b = 0; b <= bone; ++b)
        tag.BoneRefs.push_back(b);
    tag.numBoneRefs = static_cast<uint32_t>(tag.BoneRefs.size());
    tag.ofsBoneRefs = sizeof(TMDMTagRecord);
    tag.ofsEnd = static_cast<int32_t>(sizeof(TMDMTagRecord) + 4 * tag.BoneRefs.size());
    return tag;
}

TMDM Mesh() {
    TMDM mesh;
    StringToName("models/demo/serpent.mdm", mesh.Header.name);
    mesh.Header.version = 3;
    mesh.Surfaces = {Base(), Body(), Head()};
    for (TMDMSurface& surface : mesh.Surfaces)
        FinishSurface(surface);
    const float tip = SegmentLength * (BoneCount - 1) + 12;
    mesh.Tags = {MakeTag("tag_head", BoneCount - 1, {tip, 0, 0}),
                 MakeTag("tag_base", 0, {-4, 0, 0})};
    mesh.Header.numSurfaces = static_cast<uint32_t>(mesh.Surfaces.size());
    mesh.Header.numTags = static_cast<uint32_t>(mesh.Tags.size());
    return mesh;
}

// The bend of each joint in degrees: bone 0 turns the whole chain, bone j > 0 bends it at j.
std::vector<float> JointBends(int frame) {
    std::vector<float> bends(BoneCount, 0);
    if (frame < 20) { // "wave": a wave running down the body
        const float phase = 2 * Pi * frame / 20;
        bends[0] = 10 * std::sin(phase);
        for (int j = 1; j < BoneCount; ++j)
            bends[j] = 18 * std::sin(phase - 0.9f * j);
    } else { // "curl": the body rolls up towards the tip and back
        const float amount = std::sin(Pi * (frame - 20) / 19);
        for (int j = 1; j < BoneCount; ++j)
            bends[j] = 40 * amount * j / (BoneCount - 1);
    }
    return bends;
}

int16_t AngleUnits(float degrees) {
    return static_cast<int16_t>(std::lround(degrees / MDXAngleUnit));
}

TMDXFrame Frame(int frame) {
    TMDXFrame result;
    const std::vector<float> bends = JointBends(frame);
    float direction = 0; // of the segment leaving the bone, counter-clockwise from +x
    for (int bone = 0; bone < BoneCount; ++bone) {
        TMDXBoneFrame record;
        if (bone > 0)
            record.ofsAngles[1] = AngleUnits(-direction);
        direction += bends[bone];
        record.angles[1] = AngleUnits(direction);
        result.BoneFrames.push_back(record);
    }
    return result;
}

TMDX Animation() {
    TMDX animation;
    StringToName("models/demo/serpent.mdx", animation.Header.name);
    animation.Header.version = 2;
    const char* names[BoneCount] = {"root", "spine1", "spine2", "spine3", "spine4", "head"};
    for (int bone = 0; bone < BoneCount; ++bone) {
        TMDXBoneInfo info;
        StringToName(names[bone], info.name);
        info.parent = bone - 1;
        info.parentDist = bone > 0 ? SegmentLength : 0;
        animation.Bones.push_back(info);
    }
    for (int frame = 0; frame < FrameCount; ++frame)
        animation.Frames.push_back(Frame(frame));
    animation.Header.numBones = BoneCount;
    animation.Header.numFrames = FrameCount;
    return animation;
}

// Each frame's bounding box and radius, from the mesh posed in that frame.
void SetFrameBounds(TMDM& mesh, TMDX& animation) {
    for (int frame = 0; frame < FrameCount; ++frame) {
        TMDXFrame& record = animation.Frames[frame];
        record.mins = {1e9f, 1e9f, 1e9f};
        record.maxs = {-1e9f, -1e9f, -1e9f};
        for (int s = 0; mesh.HasSurface(s); ++s) {
            Pose(mesh, animation, frame, s);
            for (const TVector& p : mesh.PosedPositions) {
                record.mins = {std::min(record.mins.x, p.x), std::min(record.mins.y, p.y),
                               std::min(record.mins.z, p.z)};
                record.maxs = {std::max(record.maxs.x, p.x), std::max(record.maxs.y, p.y),
                               std::max(record.maxs.z, p.z)};
                record.radius = std::max(record.radius, VectorLength(p));
            }
        }
    }
}

using TRgb = std::array<uint8_t, 3>;

TRgb Shade(TRgb colour, float amount) {
    TRgb shaded;
    for (int k = 0; k < 3; ++k)
        shaded[k] = static_cast<uint8_t>(std::clamp(colour[k] * amount, 0.0f, 255.0f));
    return shaded;
}

// An uncompressed 24-bit TGA of 64 × 64 pixels; `pixel` gets u across and v up, both 0 to 1.
bool WriteImage(const std::string& path, const std::function<TRgb(float u, float v)>& pixel) {
    constexpr int Size = 64;
    std::vector<uint8_t> bytes(18, 0);
    bytes[2] = 2; // uncompressed true colour
    bytes[12] = bytes[14] = Size;
    bytes[16] = 24;
    for (int y = 0; y < Size; ++y) // bottom row first
        for (int x = 0; x < Size; ++x) {
            const TRgb rgb = pixel((x + 0.5f) / Size, (y + 0.5f) / Size);
            bytes.insert(bytes.end(), {rgb[2], rgb[1], rgb[0]});
        }
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return static_cast<bool>(out.flush());
}

// Overlapping rows of scales, with a pale stripe along the belly.
TRgb BodyPixel(float u, float v) {
    if (std::fabs(u - 0.75f) < 0.07f)
        return {214, 196, 120};
    const float row = v * 16, column = u * 12 + 0.5f * (static_cast<int>(row) % 2);
    const float dx = column - std::floor(column) - 0.5f, dy = row - std::floor(row) - 0.5f;
    return Shade({70, 150, 70}, 1.1f - 1.2f * (dx * dx + dy * dy));
}

TRgb HeadPixel(float u, float v) {
    const float spot = std::sin(u * 6 * Pi * 2) * std::sin(v * 5 * Pi);
    return Shade({200, 90, 40}, spot > 0.6f ? 0.55f : 1.0f);
}

TRgb BasePixel(float, float v) {
    return Shade({150, 150, 165}, 0.8f + 0.2f * std::cos(v * 8 * Pi));
}

bool WriteImages(const std::string& folder) {
    return WriteImage(folder + "/serpent_body.tga", BodyPixel) &&
           WriteImage(folder + "/serpent_head.tga", HeadPixel) &&
           WriteImage(folder + "/serpent_base.tga", BasePixel);
}

constexpr const char* Script = "// the serpent's animations: name, first frame, frames, looping "
                               "frames, frames per second\n"
                               "wave\t0\t20\t20\t15\t0\t0\t0\n"
                               "curl\t20\t20\t0\t10\t0\t0\t0\n";

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: quillon-make-skeletal-demo OUT_FOLDER\n";
        return 2;
    }
    const std::string base = std::string(argv[1]) + "/serpent";
    TMDM mesh = Mesh();
    TMDX animation = Animation();
    SetFrameBounds(mesh, animation);
    try {
        if (!mesh.SaveToFile(base + ".mdm") || !animation.SaveToFile(base + ".mdx")) {
            std::cerr << base << ": could not write the skeletal demo model\n";
            return 1;
        }
    } catch (const FileError& error) {
        std::cerr << error.what() << "\n";
        return 1;
    }
    std::ofstream script(base + ".aninc", std::ios::binary);
    script << Script;
    if (!script.flush()) {
        std::cerr << base << ".aninc: could not write the animation script\n";
        return 1;
    }
    if (!WriteImages(argv[1])) {
        std::cerr << argv[1] << ": could not write the skeletal demo's images\n";
        return 1;
    }
    return 0;
}

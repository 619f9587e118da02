#include "SkeletalBuilder.h"

#include "core/MD3.h"
#include "skeletal/Pose.h"

#include <cmath>

#include <cstring>

namespace quillon::test {

namespace {

template <class T> void Append(std::vector<char>& out, const T& record) {
    const auto* p = reinterpret_cast<const char*>(&record);
    out.insert(out.end(), p, p + sizeof(T));
}
template <class T> void AppendAll(std::vector<char>& out, const std::vector<T>& v) {
    const auto* p = reinterpret_cast<const char*>(v.data());
    out.insert(out.end(), p, p + v.size() * sizeof(T));
}
void Pad(std::vector<char>& out, size_t n) {
    out.insert(out.end(), n, char(0x5A));
}
template <class T> void Put(std::vector<char>& out, size_t at, const T& value) {
    std::memcpy(out.data() + at, &value, sizeof(T));
}

TMDMWeight MakeWeight(int bone, int k, int n, int v) {
    return {bone, 1.0f / float(n), {float(v), 0.5f * float(k), -0.25f * float(v + k)}};
}

} // namespace

TMDM BuildMDM(const MDMShape& shape) {
    TMDM mesh;
    StringToName("models/test/mesh", mesh.Header.name);
    mesh.Header.version = 3;
    mesh.Header.lodScale = 1.5f;
    mesh.Header.lodBias = 0.25f;
    for (int s = 0; s < shape.surfaces; ++s) {
        TMDMSurface surface;
        surface.ident = 9;
        StringToName("surface" + std::to_string(s), surface.name);
        StringToName("models/test/skin" + std::to_string(s) + ".tga", surface.shader);
        surface.shaderIndex = s - 1;
        surface.minLod = shape.vertsPerSurface / 2;
        surface.numVerts = shape.vertsPerSurface;
        surface.numTriangles = shape.trianglesPerSurface;
        surface.numBoneRefs = shape.boneRefsPerSurface;
        for (int v = 0; v < shape.vertsPerSurface; ++v) {
            TMDMVertex vertex;
            vertex.normal = {0, 0, 1};
            vertex.texCoords[0] = 0.125f * v;
            vertex.texCoords[1] = 0.25f + 0.0625f * v;
            vertex.numWeights = shape.weightsPerVertex;
            for (int k = 0; k < shape.weightsPerVertex; ++k)
                vertex.Weights.push_back(MakeWeight((v + k + s) % std::max(1, shape.bones), k,
                                                    shape.weightsPerVertex, v));
            surface.Vertices.push_back(vertex);
            surface.CollapseMap.push_back(v == 0 ? 0 : v - 1);
        }
        const int n = std::max(1, shape.vertsPerSurface);
        for (int t = 0; t < shape.trianglesPerSurface; ++t)
            surface.Triangles.push_back({{t % n, (t + 1) % n, (t + 2) % n}});
        for (int r = 0; r < shape.boneRefsPerSurface; ++r)
            surface.BoneRefs.push_back(r % std::max(1, shape.bones));
        mesh.Surfaces.push_back(surface);
    }
    mesh.Header.numSurfaces = shape.surfaces;
    for (int t = 0; t < shape.tags; ++t) {
        TMDMTag tag;
        StringToName("tag_" + std::to_string(t), tag.name);
        tag.axis[0] = AxisPosX();
        tag.axis[1] = AxisPosY();
        tag.axis[2] = AxisPosZ();
        tag.boneIndex = t % std::max(1, shape.bones);
        tag.offset = {1.0f + t, 2, 3};
        tag.ofsBoneRefs = 128 + t;
        tag.ofsEnd = 1000 + t;
        for (int r = 0; r <= t % 3; ++r)
            tag.BoneRefs.push_back(r);
        tag.numBoneRefs = uint32_t(tag.BoneRefs.size());
        mesh.Tags.push_back(tag);
    }
    mesh.Header.numTags = shape.tags;
    return mesh;
}

namespace {

// The offset that makes posing at the bone's current place put a weight at `posed`: posing maps
// an offset o to negate-z(mirror-y(o) x inverse rotation + bone position), so o is undone step
// by step (the rotation undoes the inverse rotation).
TVector OffsetFor(TVector posed, const TMDM& placed, int bone) {
    const TVector bonePosition = placed.BonePositions[bone]; // z already negated
    const TVector relative = {posed.x - bonePosition.x, posed.y - bonePosition.y,
                              -(posed.z - bonePosition.z)};
    const TVector mirrored = VectorTransform(relative, placed.BoneRotations[bone]);
    return {mirrored.x, -mirrored.y, mirrored.z};
}

} // namespace

TMDM BuildBoundMDM(const MDMShape& shape, const TMDX& animation, int bindFrame) {
    TMDM mesh = BuildMDM(shape);
    TMDM placed;
    PoseSkeleton(placed, animation, bindFrame);
    const int bones = int(animation.Bones.size());
    for (int s = 0; s < shape.surfaces; ++s)
        for (int v = 0; v < shape.vertsPerSurface; ++v) {
            TMDMVertex& vertex = mesh.Surfaces[s].Vertices[v];
            const double a = 0.7 * v + s, b = 0.3 * v;
            const TVector posed = {float(6 * std::cos(a) * std::sin(b) + 2),
                                   float(3 * std::sin(a) * std::sin(b) - 1),
                                   float(9 * std::cos(b) + 4 * s)};
            float total = 0;
            for (int k = 0; k < shape.weightsPerVertex; ++k)
                total += float(k + 1);
            for (int k = 0; k < shape.weightsPerVertex; ++k) {
                TMDMWeight& weight = vertex.Weights[k];
                weight.boneIndex = (v * 3 + k * 5 + s) % bones;
                weight.boneWeight = float(shape.weightsPerVertex - k) / total;
                weight.offset = OffsetFor(posed, placed, weight.boneIndex);
            }
            vertex.normal = VectorNormalize({float(std::cos(a)), 0.5f, float(std::sin(b))});
        }
    for (size_t t = 0; t < mesh.Tags.size(); ++t) {
        TMDMTag& tag = mesh.Tags[t];
        tag.boneIndex = int(t) % bones;
        const TMatrix turn = MatrixMultiply(RotationZ(30.0f + 20 * t), RotationX(15));
        for (int axis = 0; axis < 3; ++axis)
            tag.axis[axis] = {turn[axis * 4], turn[axis * 4 + 1], turn[axis * 4 + 2]};
    }
    return mesh;
}

TMDX BuildMDX(int frames, int bones) {
    TMDX mdx;
    StringToName("models/test/anim", mdx.Header.name);
    mdx.Header.version = 2;
    mdx.Header.torsoParent = bones > 1 ? 1 : 0;
    for (int b = 0; b < bones; ++b) {
        TMDXBoneInfo bone;
        StringToName("bone" + std::to_string(b), bone.name);
        bone.parent = b - 1;
        bone.torsoWeight = 0.5f;
        bone.parentDist = 2.0f + b;
        bone.flags = 0;
        mdx.Bones.push_back(bone);
    }
    for (int f = 0; f < frames; ++f) {
        TMDXFrame frame;
        frame.mins = {-10.0f - f, -10, -10};
        frame.maxs = {10.0f + f, 10, 10};
        frame.localOrigin = {0, 0, float(f)};
        frame.radius = 20.0f + f;
        frame.parentOffset = {1, 2, 3};
        for (int b = 0; b < bones; ++b) {
            TMDXBoneFrame bf;
            bf.angles[0] = int16_t(100 * f + 37 * b);
            bf.angles[1] = int16_t(-200 * f + 11 * b);
            bf.angles[2] = int16_t(50 * f * b);
            bf.angles[3] = int16_t(7);
            bf.ofsAngles[0] = int16_t(300 * b);
            bf.ofsAngles[1] = int16_t(-150 * b + f);
            frame.BoneFrames.push_back(bf);
        }
        mdx.Frames.push_back(frame);
    }
    mdx.Header.numFrames = frames;
    mdx.Header.numBones = bones;
    return mdx;
}

std::vector<char> MDMFileBytes(const TMDM& mesh, bool gaps) {
    const size_t gap = gaps ? 12 : 0;
    std::vector<char> out;
    TMDMHeaderRecord header = mesh.Header;
    Append(out, header);
    Pad(out, gap);
    header.ofsSurfaces = int32_t(out.size());
    for (const TMDMSurface& surface : mesh.Surfaces) {
        const size_t start = out.size();
        TMDMSurfaceRecord record = surface;
        record.ofsHeader = -int32_t(start);
        Append(out, record);
        Pad(out, gap);
        auto offset = [&] { return int32_t(out.size() - start); };
        auto writeVertices = [&] {
            record.ofsVerts = offset();
            for (const TMDMVertex& v : surface.Vertices) {
                Append(out, static_cast<const TMDMVertexRecord&>(v));
                AppendAll(out, v.Weights);
            }
            Pad(out, gap);
        };
        auto block = [&](int32_t& field, const auto& array) {
            field = offset();
            AppendAll(out, array);
            Pad(out, gap);
        };
        if (gaps) {
            block(record.ofsBoneRefs, surface.BoneRefs);
            block(record.ofsCollapseMap, surface.CollapseMap);
            block(record.ofsTriangles, surface.Triangles);
            writeVertices();
        } else {
            writeVertices();
            block(record.ofsTriangles, surface.Triangles);
            block(record.ofsCollapseMap, surface.CollapseMap);
            block(record.ofsBoneRefs, surface.BoneRefs);
        }
        record.ofsEnd = offset();
        Put(out, start, record);
    }
    header.ofsTags = int32_t(out.size());
    for (const TMDMTag& tag : mesh.Tags) {
        Append(out, static_cast<const TMDMTagRecord&>(tag));
        AppendAll(out, tag.BoneRefs);
    }
    header.ofsEnd = int32_t(out.size());
    Put(out, 0, header);
    return out;
}

TMDS BuildMDS(int frames, int bones, const std::vector<int>& tagBones, int surfaces) {
    TMDS mds;
    StringToName("models/test/old", mds.Header.name);
    mds.Header.lodScale = 2.0f;
    mds.Header.lodBias = 0.5f;
    mds.Header.torsoParent = 1;
    const TMDX chain = BuildMDX(frames, bones);
    mds.Bones = chain.Bones;
    mds.Frames = chain.Frames;
    for (int b : tagBones) {
        mds.Bones[b].flags = 1;
        TMDSTag tag;
        StringToName("tag_bone" + std::to_string(b), tag.name);
        tag.boneIndex = b;
        mds.Tags.push_back(tag);
    }
    const TMDM mesh = BuildMDM({surfaces, bones, 1, 2, bones, 0, bones});
    for (const TMDMSurface& from : mesh.Surfaces) {
        TMDSSurface s;
        static_cast<TMDMSurfaceRecord&>(s) = from;
        for (const TMDMVertex& v : from.Vertices) {
            TMDSVertex vertex;
            vertex.normal = v.normal;
            std::memcpy(vertex.texCoords, v.texCoords, sizeof(v.texCoords));
            vertex.numWeights = v.numWeights;
            vertex.extra[0] = 0xAAAA;
            vertex.Weights = v.Weights;
            s.Vertices.push_back(vertex);
        }
        s.Triangles = from.Triangles;
        s.CollapseMap = from.CollapseMap;
        s.BoneRefs = from.BoneRefs;
        mds.Surfaces.push_back(s);
    }
    mds.Header.numFrames = frames;
    mds.Header.numBones = bones;
    mds.Header.numSurfaces = surfaces;
    mds.Header.numTags = uint32_t(mds.Tags.size());
    return mds;
}

std::vector<char> MDSFileBytes(const TMDS& mds) {
    std::vector<char> out;
    TMDSHeaderRecord header = mds.Header;
    Append(out, header);
    header.ofsSurfaces = int32_t(out.size());
    for (const TMDSSurface& surface : mds.Surfaces) {
        const size_t start = out.size();
        TMDMSurfaceRecord record = surface;
        Append(out, record);
        auto offset = [&] { return int32_t(out.size() - start); };
        record.ofsVerts = offset();
        for (const TMDSVertex& v : surface.Vertices) {
            Append(out, static_cast<const TMDSVertexRecord&>(v));
            AppendAll(out, v.Weights);
        }
        record.ofsTriangles = offset();
        AppendAll(out, surface.Triangles);
        record.ofsCollapseMap = offset();
        AppendAll(out, surface.CollapseMap);
        record.ofsBoneRefs = offset();
        AppendAll(out, surface.BoneRefs);
        record.ofsEnd = offset();
        Put(out, start, record);
    }
    header.ofsTags = int32_t(out.size());
    AppendAll(out, mds.Tags);
    header.ofsBones = int32_t(out.size());
    AppendAll(out, mds.Bones);
    header.ofsFrames = int32_t(out.size());
    for (const TMDXFrame& frame : mds.Frames) {
        Append(out, static_cast<const TMDXFrameRecord&>(frame));
        AppendAll(out, frame.BoneFrames);
    }
    header.ofsEnd = int32_t(out.size());
    Put(out, 0, header);
    return out;
}

TMS3D BuildMS3D(int vertices, int groups, int joints) {
    TMS3D m;
    std::memcpy(m.Header.id, "MS3D000000", 10);
    m.Header.version = 4;
    for (int v = 0; v < vertices; ++v) {
        TMS3DVertex vertex;
        vertex.position[0] = float(v);
        vertex.boneId = int8_t(v % 3 - 1);
        m.Vertices.push_back(vertex);
        m.VertexExtras.push_back({{1, 2, 3}, {10, 20, 30}, v});
    }
    for (int t = 0; t + 2 < vertices; ++t) {
        TMS3DTriangle tri;
        tri.vertexIndices[0] = uint16_t(t);
        tri.vertexIndices[1] = uint16_t(t + 1);
        tri.vertexIndices[2] = uint16_t(t + 2);
        tri.s[1] = 0.5f;
        m.Triangles.push_back(tri);
    }
    for (int g = 0; g < groups; ++g) {
        TMS3DGroup group;
        StringToName("group" + std::to_string(g), group.name);
        for (size_t t = 0; t < m.Triangles.size(); ++t)
            group.TriangleIndices.push_back(uint16_t(t));
        group.numTriangles = uint16_t(group.TriangleIndices.size());
        group.materialIndex = int8_t(g);
        m.Groups.push_back(group);
        TMS3DMaterial material;
        StringToName("material" + std::to_string(g), material.name);
        StringToName("textures/test.tga", material.texture);
        m.Materials.push_back(material);
        m.GroupComments.push_back({g, g == 0 ? "" : "group comment " + std::to_string(g)});
    }
    m.Animation = {24.0f, 1.5f, 30};
    for (int j = 0; j < joints; ++j) {
        TMS3DBone joint;
        StringToName("joint" + std::to_string(j), joint.name);
        if (j > 0)
            StringToName("joint" + std::to_string(j - 1), joint.parentName);
        for (int k = 0; k <= j; ++k)
            joint.RotationKeys.push_back({float(k), {0.1f * k, 0, 0}});
        joint.PositionKeys.push_back({0, {1, 2, 3}});
        joint.numRotationKeys = uint16_t(joint.RotationKeys.size());
        joint.numPositionKeys = uint16_t(joint.PositionKeys.size());
        m.Joints.push_back(joint);
        m.JointExtras.push_back({{0.5f, 0.25f, float(j)}});
    }
    m.ModelComments.push_back({0, "made by the test builder"});
    m.commentVersion = 1;
    m.vertexExtraVersion = 2;
    m.jointExtraVersion = 1;
    m.modelExtraVersion = 1;
    m.ModelExtra = {1.0f, 2, 0.5f};
    return m;
}

std::vector<char> MS3DFileBytes(const TMS3D& m) {
    std::vector<char> out;
    auto count16 = [&](size_t n) { Append(out, uint16_t(n)); };
    auto comments = [&](const std::vector<TMS3DComment>& list) {
        Append(out, int32_t(list.size()));
        for (const TMS3DComment& c : list) {
            Append(out, c.index);
            Append(out, int32_t(c.text.size()));
            out.insert(out.end(), c.text.begin(), c.text.end());
        }
    };
    Append(out, m.Header);
    count16(m.Vertices.size());
    AppendAll(out, m.Vertices);
    count16(m.Triangles.size());
    AppendAll(out, m.Triangles);
    count16(m.Groups.size());
    for (const TMS3DGroup& g : m.Groups) {
        Append(out, static_cast<const TMS3DGroupRecord&>(g));
        AppendAll(out, g.TriangleIndices);
        Append(out, g.materialIndex);
    }
    count16(m.Materials.size());
    AppendAll(out, m.Materials);
    Append(out, m.Animation);
    count16(m.Joints.size());
    for (const TMS3DBone& j : m.Joints) {
        Append(out, static_cast<const TMS3DBoneRecord&>(j));
        AppendAll(out, j.RotationKeys);
        AppendAll(out, j.PositionKeys);
    }
    Append(out, m.commentVersion);
    comments(m.GroupComments);
    comments(m.MaterialComments);
    comments(m.JointComments);
    comments(m.ModelComments);
    Append(out, m.vertexExtraVersion);
    AppendAll(out, m.VertexExtras);
    Append(out, m.jointExtraVersion);
    AppendAll(out, m.JointExtras);
    Append(out, m.modelExtraVersion);
    Append(out, m.ModelExtra);
    return out;
}

} // namespace quillon::test

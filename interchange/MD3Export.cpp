#include "MD3Export.h"

#include "GltfAnimation.h"
#include "GltfMesh.h"
#include "GltfTransform.h"

namespace quillon {

namespace {

TVec3d Position(const TMD3Vertex& v, double scale) {
    // The stored integers are exact; dividing in double keeps them so.
    return Scaled(ToGltfAxes(TVector{float(v.x), float(v.y), float(v.z)}), scale / 64.0);
}

// Decoding a normal takes extended-precision sines and cosines, and a model repeats the same few
// thousand codes over all its frames: each code is decoded once.
class TNormalTable {
public:
    TNormalTable() : Normals(65536), Known(65536, false) {}

    const TVec3d& Normal(const TMD3Vertex& v) {
        const uint16_t code = uint16_t(v.normal);
        if (!Known[code]) {
            const TVec3d n = ToGltfAxes(TMD3::DecodeNormal(v.normal));
            const double length = Length(n);
            Normals[code] = length > 0 ? Scaled(n, 1 / length) : TVec3d{0, 1, 0};
            Known[code] = true;
        }
        return Normals[code];
    }

private:
    std::vector<TVec3d> Normals;
    std::vector<bool> Known;
};

void Append(std::vector<float>& out, const TVec3d& v) {
    out.insert(out.end(), {float(v[0]), float(v[1]), float(v[2])});
}

const TMD3Vertex* FrameVertices(const TSurface& surface, int frame) {
    return surface.Vertices.data() + size_t(frame) * surface.numVerts;
}

TMeshData SurfaceMesh(const TSurface& surface, const TMD3& md3, const TExportPlan& plan,
                      TNormalTable& normals) {
    TMeshData mesh;
    mesh.Name = NameToString(surface.name);
    const TMD3Vertex* base = FrameVertices(surface, plan.Frames.First);
    for (uint32_t v = 0; v < surface.numVerts; ++v) {
        Append(mesh.Positions, Position(base[v], plan.Scale));
        Append(mesh.Normals, normals.Normal(base[v]));
        // In memory t is 1 - t of the file, and the file's t is glTF's.
        mesh.TexCoords.insert(mesh.TexCoords.end(),
                              {surface.TexCoords[v].s, 1.0f - surface.TexCoords[v].t});
    }
    for (const TMD3Triangle& triangle : surface.Triangles)
        mesh.Indices.insert(mesh.Indices.end(),
                            {uint32_t(triangle.indexes[0]), uint32_t(triangle.indexes[2]),
                             uint32_t(triangle.indexes[1])});
    for (int f = plan.Frames.First + 1; f <= plan.Frames.Last; ++f) {
        const TMD3Vertex* frame = FrameVertices(surface, f);
        std::vector<float> positions, normalDeltas;
        positions.reserve(size_t(surface.numVerts) * 3);
        normalDeltas.reserve(size_t(surface.numVerts) * 3);
        for (uint32_t v = 0; v < surface.numVerts; ++v) {
            Append(positions,
                   Subtract(Position(frame[v], plan.Scale), Position(base[v], plan.Scale)));
            Append(normalDeltas, Subtract(normals.Normal(frame[v]), normals.Normal(base[v])));
        }
        mesh.TargetPositions.push_back(std::move(positions));
        mesh.TargetNormals.push_back(std::move(normalDeltas));
        mesh.TargetNames.push_back(NameToString(md3.Header.Frames[f].name));
    }
    return mesh;
}

// The tag's place as a node transform: the axes are the tag's own x, y and z in model space, so
// a model attached to the tag keeps its orientation once both are in glTF's axes.
TTrs TagTransform(const TMD3Tag& tag, double scale) {
    TAffine a;
    for (int c = 0; c < 3; ++c) {
        const TVec3d axis = ToGltfAxes(tag.axis[c]);
        for (int row = 0; row < 3; ++row)
            a.Linear[row][c] = axis[row];
    }
    a.Linear = Multiply(a.Linear, Transposed(GltfAxes()));
    a.Translation = Scaled(ToGltfAxes(tag.origin), scale);
    return ToTrs(a);
}

std::vector<std::string> FrameNames(const TMD3& md3, const TFrameRange& frames) {
    std::vector<std::string> names;
    for (int f = frames.First; f <= frames.Last; ++f)
        names.push_back(NameToString(md3.Header.Frames[f].name));
    return names;
}

} // namespace

std::optional<std::string> MD3ExportProblem(const TMD3& md3) {
    const THeader& h = md3.Header;
    if (h.Frames.size() != h.numFrames || h.Tags.size() != size_t(h.numFrames) * h.numTags ||
        h.Surfaces.size() != h.numSurfaces)
        return "the model's frames, tags or surfaces do not match its counts";
    for (const TSurface& surface : h.Surfaces) {
        const std::string name = "surface \"" + NameToString(surface.name) + "\"";
        if (surface.TexCoords.size() != surface.numVerts ||
            surface.Vertices.size() != size_t(surface.numVerts) * h.numFrames ||
            surface.Triangles.size() != surface.numTriangles)
            return name + ": its vertices or triangles do not match its counts";
        for (size_t t = 0; t < surface.Triangles.size(); ++t)
            for (int32_t index : surface.Triangles[t].indexes)
                if (index < 0 || uint32_t(index) >= surface.numVerts)
                    return name + ": triangle " + std::to_string(t) + " names vertex " +
                           std::to_string(index) + " of " + std::to_string(surface.numVerts);
    }
    return std::nullopt;
}

std::optional<std::string> MD3SizeProblem(const TMD3& md3, const TFrameRange& frames) {
    // Per vertex 32 bytes of base shape, and 24 of differences for every later frame.
    uint64_t bytes = 0;
    for (const TSurface& surface : md3.Header.Surfaces)
        bytes += uint64_t(surface.numVerts) * (32 + 24 * uint64_t(frames.Count() - 1)) +
                 uint64_t(surface.numTriangles) * 12;
    if (bytes > MaxGltfBufferBytes)
        return "frames " + std::to_string(frames.First) + " to " + std::to_string(frames.Last) +
               " would make a glTF file larger than the 4 GB it can hold";
    return std::nullopt;
}

std::vector<int> AddMD3(TGltfBuilder& builder, const TMD3& md3, const TExportPlan& plan,
                        const std::vector<TSurfaceMaterial>& materials, TMaterialTable& table,
                        TExportSummary& summary) {
    std::vector<int> roots;
    TMorphTrack morph;
    morph.Targets = plan.Frames.Count() - 1;
    const std::vector<TSurface>& surfaces = md3.Header.Surfaces;
    TNormalTable normals;
    for (size_t s = 0; s < surfaces.size(); ++s) {
        const std::string name = NameToString(surfaces[s].name);
        if (surfaces[s].numVerts == 0 || surfaces[s].numTriangles == 0) {
            summary.Warnings.push_back("surface " + name + " left out: it has no triangles");
            continue;
        }
        TMeshData mesh = SurfaceMesh(surfaces[s], md3, plan, normals);
        if (s < materials.size())
            mesh.Material = table.MaterialFor(materials[s], name);
        tinygltf::Node node;
        node.name = name;
        node.mesh = AddMesh(builder, mesh);
        roots.push_back(builder.AddNode(std::move(node)));
        morph.Nodes.push_back(roots.back());
        ++summary.Meshes;
        summary.Vertices += int(surfaces[s].numVerts);
    }
    summary.MorphTargets = morph.Nodes.empty() ? 0 : morph.Targets;

    std::vector<TNodeTrack> tags;
    for (uint32_t t = 0; t < md3.Header.numTags; ++t) {
        tinygltf::Node node;
        node.name = NameToString(md3.Header.Tags[t].name);
        TNodeTrack track{builder.AddNode(std::move(node)), {}};
        for (int f = plan.Frames.First; f <= plan.Frames.Last; ++f)
            track.Frames.push_back(
                TagTransform(md3.Header.Tags[size_t(f) * md3.Header.numTags + t], plan.Scale));
        roots.push_back(track.Node);
        tags.push_back(std::move(track));
    }
    summary.Animations += AddAnimations(builder, plan, tags, morph, FrameNames(md3, plan.Frames));
    return roots;
}

} // namespace quillon

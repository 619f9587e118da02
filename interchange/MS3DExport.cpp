#include "MS3DExport.h"

#include "GltfMesh.h"
#include "core/CasePath.h"
#include "core/MD3.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

namespace quillon {

namespace {

std::string FixedText(const char* field, size_t size) {
    return NameToString(field, size);
}

std::string FindTexture(std::string path, const std::string& folder) {
    if (path.empty())
        return {};
    std::replace(path.begin(), path.end(), '\\', '/');
    while (path.rfind("./", 0) == 0)
        path.erase(0, 2);
    for (const std::string& candidate : {folder + path, folder + FilePart(path)}) {
        const std::string found = FindFileIgnoringCase(candidate);
        if (!found.empty())
            return found;
    }
    return {};
}

// Corners that share a vertex, a normal and texture coordinates become one glTF vertex.
using TCornerKey = std::tuple<uint16_t, float, float, float, float, float>;

TMeshData GroupMesh(const TMS3D& model, const TMS3DGroup& group, double scale) {
    TMeshData mesh;
    mesh.Name = FixedText(group.name, sizeof group.name);
    std::map<TCornerKey, uint32_t> corners;
    for (const uint16_t t : group.TriangleIndices) {
        const TMS3DTriangle& triangle = model.Triangles[t];
        for (int k = 0; k < 3; ++k) {
            const TMS3DFloats n = UnpackFloats(triangle.vertexNormals[k]);
            // Copied out of the packed record, whose fields may sit at any address.
            const uint16_t vertex = triangle.vertexIndices[k];
            const float texS = triangle.s[k], texT = triangle.t[k];
            const TCornerKey key{vertex, n[0], n[1], n[2], texS, texT};
            auto [it, fresh] = corners.try_emplace(key, uint32_t(corners.size()));
            if (fresh) {
                const TMS3DFloats p = UnpackFloats(model.Vertices[vertex].position);
                for (int c = 0; c < 3; ++c)
                    mesh.Positions.push_back(float(p[c] * scale));
                const double length = std::sqrt(double(n[0]) * n[0] + n[1] * n[1] + n[2] * n[2]);
                for (int c = 0; c < 3; ++c)
                    mesh.Normals.push_back(length > 0 ? float(n[c] / length)
                                           : c == 1   ? 1.0f
                                                      : 0.0f);
                mesh.TexCoords.insert(mesh.TexCoords.end(), {texS, texT});
            }
            mesh.Indices.push_back(it->second);
        }
    }
    return mesh;
}

} // namespace

std::optional<std::string> MS3DExportProblem(const TMS3D& model) {
    for (const TMS3DGroup& group : model.Groups)
        for (const uint16_t t : group.TriangleIndices)
            if (t >= model.Triangles.size())
                return "group \"" + FixedText(group.name, sizeof group.name) +
                       "\" names triangle " + std::to_string(t) + " of " +
                       std::to_string(model.Triangles.size());
    for (size_t t = 0; t < model.Triangles.size(); ++t)
        for (const uint16_t v : model.Triangles[t].vertexIndices)
            if (v >= model.Vertices.size())
                return "triangle " + std::to_string(t) + " names vertex " + std::to_string(v) +
                       " of " + std::to_string(model.Vertices.size());
    return std::nullopt;
}

std::vector<TSurfaceMaterial> MS3DMaterials(const TMS3D& model, const std::string& folder) {
    std::vector<TSurfaceMaterial> materials;
    for (const TMS3DGroup& group : model.Groups) {
        TSurfaceMaterial material;
        if (group.materialIndex >= 0 && size_t(group.materialIndex) < model.Materials.size()) {
            const TMS3DMaterial& source = model.Materials[group.materialIndex];
            material.Name = FixedText(source.name, sizeof source.name);
            material.StageName = FixedText(source.texture, sizeof source.texture);
            material.ImagePath = FindTexture(material.StageName, folder);
        }
        materials.push_back(std::move(material));
    }
    return materials;
}

std::vector<int> AddMS3D(TGltfBuilder& builder, const TMS3D& model, double scale,
                         const std::vector<TSurfaceMaterial>& materials, TMaterialTable& table,
                         TExportSummary& summary) {
    std::vector<int> roots;
    for (size_t g = 0; g < model.Groups.size(); ++g) {
        TMeshData mesh = GroupMesh(model, model.Groups[g], scale);
        if (mesh.Indices.empty()) {
            summary.Warnings.push_back("group " + mesh.Name + " left out: it has no triangles");
            continue;
        }
        if (g < materials.size() && !materials[g].Name.empty())
            mesh.Material = table.MaterialFor(materials[g], mesh.Name);
        tinygltf::Node node;
        node.name = mesh.Name;
        node.mesh = AddMesh(builder, mesh);
        roots.push_back(builder.AddNode(std::move(node)));
        ++summary.Meshes;
        summary.Vertices += int(mesh.Positions.size() / 3);
    }
    if (!model.Joints.empty())
        summary.Warnings.push_back(std::to_string(model.Joints.size()) +
                                   " joints and their key frames are not exported; the model is "
                                   "written in the pose its vertices are stored in");
    return roots;
}

} // namespace quillon

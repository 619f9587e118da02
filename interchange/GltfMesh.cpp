#include "GltfMesh.h"

namespace quillon {

int AddMesh(TGltfBuilder& builder, const TMeshData& mesh) {
    tinygltf::Primitive primitive;
    primitive.mode = TINYGLTF_MODE_TRIANGLES;
    primitive.material = mesh.Material;
    primitive.indices = builder.AddIndices(mesh.Indices);
    primitive.attributes["POSITION"] =
        builder.AddVertexFloats(mesh.Positions, TINYGLTF_TYPE_VEC3, true);
    primitive.attributes["NORMAL"] =
        builder.AddVertexFloats(mesh.Normals, TINYGLTF_TYPE_VEC3, false);
    primitive.attributes["TEXCOORD_0"] =
        builder.AddVertexFloats(mesh.TexCoords, TINYGLTF_TYPE_VEC2, false);
    if (!mesh.Joints.empty()) {
        primitive.attributes["JOINTS_0"] = builder.AddJoints(mesh.Joints);
        primitive.attributes["WEIGHTS_0"] =
            builder.AddVertexFloats(mesh.Weights, TINYGLTF_TYPE_VEC4, false);
    }
    for (size_t t = 0; t < mesh.TargetPositions.size(); ++t) {
        std::map<std::string, int> target;
        target["POSITION"] =
            builder.AddVertexFloats(mesh.TargetPositions[t], TINYGLTF_TYPE_VEC3, true);
        target["NORMAL"] =
            builder.AddVertexFloats(mesh.TargetNormals[t], TINYGLTF_TYPE_VEC3, false);
        primitive.targets.push_back(std::move(target));
    }
    tinygltf::Mesh entry;
    entry.name = mesh.Name;
    entry.primitives.push_back(std::move(primitive));
    if (!mesh.TargetNames.empty()) {
        // Where modelling suites look for the names of morph targets.
        tinygltf::Value::Array names(mesh.TargetNames.begin(), mesh.TargetNames.end());
        tinygltf::Value::Object extras;
        extras["targetNames"] = tinygltf::Value(names);
        entry.extras = tinygltf::Value(extras);
    }
    builder.Document().meshes.push_back(std::move(entry));
    return int(builder.Document().meshes.size() - 1);
}

} // namespace quillon

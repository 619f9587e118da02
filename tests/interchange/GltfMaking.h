// Small glTF files made by the tests with the exporter's document builder: meshes, nodes,
// animations and skins put together by hand, so each import case has exactly the data it needs.
#pragma once

#include "interchange/GltfBuilder.h"
#include "interchange/GltfTransform.h"

#include <string>
#include <vector>

namespace quillon::test {

class GltfMaker {
public:
    explicit GltfMaker(TGltfFormat format = TGltfFormat::Binary) : Builder(format, "made") {}

    tinygltf::Model& Doc() { return Builder.Document(); }
    int Floats(const std::vector<float>& values, int type) {
        return Builder.AddFloats(values, type, type == TINYGLTF_TYPE_SCALAR);
    }
    int Positions(const std::vector<float>& xyz) {
        return Builder.AddVertexFloats(xyz, TINYGLTF_TYPE_VEC3, true);
    }
    int Indices(const std::vector<uint32_t>& indices) { return Builder.AddIndices(indices); }
    int Joints(const std::vector<uint16_t>& joints) { return Builder.AddJoints(joints); }
    int Material(const std::string& name, const std::string& imageUri = "");
    // A mesh of one primitive per entry of `indices` (material m for primitive m, when given).
    int Mesh(const std::string& name, int positions, const std::vector<int>& indices,
             const std::vector<int>& materials = {}, int mode = TINYGLTF_MODE_TRIANGLES);
    int Node(const std::string& name, int mesh = -1, TVec3d translation = {0, 0, 0});
    // An animation with one channel per entry: node, path, key times, values.
    struct Channel {
        int Node;
        std::string Path;
        std::vector<float> Times;
        std::vector<float> Values;
        std::string Interpolation = "LINEAR";
    };
    int Animation(const std::string& name, const std::vector<Channel>& channels);
    // Makes `roots` the one scene and writes the file; returns its path.
    std::string Write(const std::string& folder, const std::string& fileName,
                      const std::vector<int>& roots);

private:
    TGltfBuilder Builder;
};

} // namespace quillon::test

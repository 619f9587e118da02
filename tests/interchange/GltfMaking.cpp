#include "GltfMaking.h"

#include <gtest/gtest.h>

namespace quillon::test {

int GltfMaker::Material(const std::string& name, const std::string& imageUri) {
    tinygltf::Material material;
    material.name = name;
    if (!imageUri.empty()) {
        tinygltf::Image image;
        image.uri = imageUri;
        Doc().images.push_back(image);
        tinygltf::Texture texture;
        texture.source = int(Doc().images.size() - 1);
        Doc().textures.push_back(texture);
        material.pbrMetallicRoughness.baseColorTexture.index = int(Doc().textures.size() - 1);
    }
    Doc().materials.push_back(material);
    return int(Doc().materials.size() - 1);
}

int GltfMaker::Mesh(const std::string& name, int positions, const std::vector<int>& indices,
                    const std::vector<int>& materials, int mode) {
    tinygltf::Mesh mesh;
    mesh.name = name;
    for (size_t p = 0; p < indices.size(); ++p) {
        tinygltf::Primitive primitive;
        primitive.mode = mode;
        primitive.indices = indices[p];
        primitive.attributes["POSITION"] = positions;
        primitive.material = p < materials.size() ? materials[p] : -1;
        mesh.primitives.push_back(primitive);
    }
    Doc().meshes.push_back(mesh);
    return int(Doc().meshes.size() - 1);
}

int GltfMaker::Node(const std::string& name, int mesh, TVec3d translation) {
    tinygltf::Node node;
    node.name = name;
    node.mesh = mesh;
    if (translation != TVec3d{0, 0, 0})
        node.translation.assign(translation.begin(), translation.end());
    return Builder.AddNode(node);
}

int GltfMaker::Animation(const std::string& name, const std::vector<Channel>& channels) {
    tinygltf::Animation animation;
    animation.name = name;
    for (const Channel& c : channels) {
        tinygltf::AnimationSampler sampler;
        sampler.input = Floats(c.Times, TINYGLTF_TYPE_SCALAR);
        const int type = c.Path == "rotation"  ? TINYGLTF_TYPE_VEC4
                         : c.Path == "weights" ? TINYGLTF_TYPE_SCALAR
                                               : TINYGLTF_TYPE_VEC3;
        sampler.output = Floats(c.Values, type);
        sampler.interpolation = c.Interpolation;
        animation.samplers.push_back(sampler);
        tinygltf::AnimationChannel channel;
        channel.sampler = int(animation.samplers.size() - 1);
        channel.target_node = c.Node;
        channel.target_path = c.Path;
        animation.channels.push_back(channel);
    }
    Doc().animations.push_back(animation);
    return int(Doc().animations.size() - 1);
}

std::string GltfMaker::Write(const std::string& folder, const std::string& fileName,
                             const std::vector<int>& roots) {
    tinygltf::Scene scene;
    scene.nodes = roots;
    Doc().scenes.push_back(scene);
    Doc().defaultScene = 0;
    EXPECT_TRUE(WriteOutputFiles(folder + "/", Builder.Finish(fileName)));
    return folder + "/" + fileName;
}

} // namespace quillon::test

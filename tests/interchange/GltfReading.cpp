#include "GltfReading.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <array>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace quillon::test {

namespace {

std::string Shell(const std::string& command, int& status) {
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) {
        status = -1;
        return output;
    }
    std::array<char, 4096> chunk;
    while (size_t n = fread(chunk.data(), 1, chunk.size(), pipe))
        output.append(chunk.data(), n);
    status = pclose(pipe);
    return output;
}

std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

const unsigned char* ElementData(const tinygltf::Model& model, const tinygltf::Accessor& a,
                                 size_t& stride) {
    const tinygltf::BufferView& view = model.bufferViews[a.bufferView];
    stride = size_t(a.ByteStride(view));
    return model.buffers[view.buffer].data.data() + view.byteOffset + a.byteOffset;
}

} // namespace

TValidation ValidateGltf(const std::string& path) {
    TValidation validation;
    const std::string script = QUILLON_GLTF_VALIDATOR;
    if (!std::filesystem::exists(std::filesystem::path(script).parent_path() / "node_modules")) {
        validation.Failure = "the glTF validator is not installed in " + script +
                             "'s folder: run scripts/install-validator.sh (./test.sh does)";
        return validation;
    }
    int status = 0;
    const std::string output =
        Shell(std::string(QUILLON_NODE) + " " + Quoted(script) + " " + Quoted(path), status);
    if (status != 0) {
        validation.Failure = "the glTF validator could not run (is Node.js installed? "
                             "./test.sh installs it): " +
                             output;
        return validation;
    }
    const nlohmann::json report = nlohmann::json::parse(output);
    validation.Ran = true;
    validation.Errors = report["errors"];
    validation.Warnings = report["warnings"];
    for (const auto& m : report["messages"])
        validation.Messages.push_back({m["code"], m["severity"], m["message"], m["pointer"]});
    return validation;
}

void ExpectValidGltf(const std::string& path) {
    const TValidation validation = ValidateGltf(path);
    ASSERT_TRUE(validation.Ran) << validation.Failure;
    EXPECT_EQ(validation.Errors, 0) << path;
    EXPECT_EQ(validation.Warnings, 0) << path;
    for (const TValidatorMessage& m : validation.Messages)
        if (m.Severity <= 1)
            ADD_FAILURE() << path << ": " << m.Code << " at " << m.Pointer << ": " << m.Text;
}

tinygltf::Model LoadGltf(const std::string& path) {
    tinygltf::TinyGLTF loader;
    tinygltf::Model model;
    std::string error, warning;
    const bool binary = path.size() > 4 && path.substr(path.size() - 4) == ".glb";
    const bool ok = binary ? loader.LoadBinaryFromFile(&model, &error, &warning, path)
                           : loader.LoadASCIIFromFile(&model, &error, &warning, path);
    EXPECT_TRUE(ok) << path << ": " << error;
    return model;
}

std::vector<float> AccessorFloats(const tinygltf::Model& model, int accessor) {
    const tinygltf::Accessor& a = model.accessors[accessor];
    EXPECT_EQ(a.componentType, TINYGLTF_COMPONENT_TYPE_FLOAT);
    const size_t components = size_t(tinygltf::GetNumComponentsInType(a.type));
    size_t stride;
    const unsigned char* data = ElementData(model, a, stride);
    std::vector<float> values(a.count * components);
    for (size_t i = 0; i < a.count; ++i)
        std::memcpy(&values[i * components], data + i * stride, components * sizeof(float));
    return values;
}

std::vector<int> AccessorInts(const tinygltf::Model& model, int accessor) {
    const tinygltf::Accessor& a = model.accessors[accessor];
    const size_t components = size_t(tinygltf::GetNumComponentsInType(a.type));
    const size_t size = size_t(tinygltf::GetComponentSizeInBytes(a.componentType));
    size_t stride;
    const unsigned char* data = ElementData(model, a, stride);
    std::vector<int> values;
    for (size_t i = 0; i < a.count; ++i)
        for (size_t c = 0; c < components; ++c) {
            const unsigned char* p = data + i * stride + c * size;
            uint32_t value = 0;
            std::memcpy(&value, p, size);
            values.push_back(int(value));
        }
    return values;
}

TVec3d Vec3At(const std::vector<float>& values, size_t index) {
    return {values[index * 3], values[index * 3 + 1], values[index * 3 + 2]};
}

int NodeNamed(const tinygltf::Model& model, const std::string& name) {
    for (size_t n = 0; n < model.nodes.size(); ++n)
        if (model.nodes[n].name == name)
            return int(n);
    ADD_FAILURE() << "no node named " << name;
    return -1;
}

TTrs NodeTrsAt(const tinygltf::Model& model, int animation, int node, size_t frame) {
    const tinygltf::Node& n = model.nodes[node];
    TTrs trs;
    if (!n.translation.empty())
        trs.Translation = {n.translation[0], n.translation[1], n.translation[2]};
    if (!n.rotation.empty())
        trs.Rotation = {n.rotation[0], n.rotation[1], n.rotation[2], n.rotation[3]};
    if (!n.scale.empty())
        trs.Scale = {n.scale[0], n.scale[1], n.scale[2]};
    if (animation < 0)
        return trs;
    const tinygltf::Animation& a = model.animations[animation];
    for (const tinygltf::AnimationChannel& channel : a.channels) {
        if (channel.target_node != node)
            continue;
        const std::vector<float> out = AccessorFloats(model, a.samplers[channel.sampler].output);
        if (channel.target_path == "translation")
            trs.Translation = Vec3At(out, frame);
        else if (channel.target_path == "scale")
            trs.Scale = Vec3At(out, frame);
        else if (channel.target_path == "rotation")
            trs.Rotation = {out[frame * 4], out[frame * 4 + 1], out[frame * 4 + 2],
                            out[frame * 4 + 3]};
    }
    return trs;
}

TAffine NodeWorldAt(const tinygltf::Model& model, int animation, int node, size_t frame) {
    TAffine world = FromTrs(NodeTrsAt(model, animation, node, frame));
    for (int child = node;;) {
        int parent = -1;
        for (size_t n = 0; n < model.nodes.size() && parent < 0; ++n)
            for (int c : model.nodes[n].children)
                if (c == child)
                    parent = int(n);
        if (parent < 0)
            return world;
        world = Compose(FromTrs(NodeTrsAt(model, animation, parent, frame)), world);
        child = parent;
    }
}

namespace {

std::vector<TVec3d> Morphed(const tinygltf::Model& model, int animation, int node,
                            const tinygltf::Primitive& primitive, size_t frame) {
    const std::vector<float> base = AccessorFloats(model, primitive.attributes.at("POSITION"));
    std::vector<TVec3d> positions;
    for (size_t v = 0; v < base.size() / 3; ++v)
        positions.push_back(Vec3At(base, v));
    if (primitive.targets.empty() || animation < 0)
        return positions;
    const tinygltf::Animation& a = model.animations[animation];
    for (const tinygltf::AnimationChannel& channel : a.channels) {
        if (channel.target_node != node || channel.target_path != "weights")
            continue;
        const std::vector<float> weights =
            AccessorFloats(model, a.samplers[channel.sampler].output);
        const size_t targets = primitive.targets.size();
        for (size_t t = 0; t < targets; ++t) {
            const float w = weights[frame * targets + t];
            if (w == 0)
                continue;
            const std::vector<float> delta =
                AccessorFloats(model, primitive.targets[t].at("POSITION"));
            for (size_t v = 0; v < positions.size(); ++v)
                positions[v] = Add(positions[v], Scaled(Vec3At(delta, v), w));
        }
    }
    return positions;
}

std::vector<TVec3d> Skinned(const tinygltf::Model& model, int animation, int node,
                            const tinygltf::Primitive& primitive, size_t frame) {
    const tinygltf::Skin& skin = model.skins[model.nodes[node].skin];
    const std::vector<float> inverseBind = AccessorFloats(model, skin.inverseBindMatrices);
    std::vector<TAffine> joints;
    for (size_t j = 0; j < skin.joints.size(); ++j) {
        std::array<float, 16> m;
        std::copy(inverseBind.begin() + j * 16, inverseBind.begin() + j * 16 + 16, m.begin());
        joints.push_back(
            Compose(NodeWorldAt(model, animation, skin.joints[j], frame), FromColumnMajor(m)));
    }
    const std::vector<float> bind = AccessorFloats(model, primitive.attributes.at("POSITION"));
    const std::vector<int> ids = AccessorInts(model, primitive.attributes.at("JOINTS_0"));
    const std::vector<float> weights = AccessorFloats(model, primitive.attributes.at("WEIGHTS_0"));
    std::vector<TVec3d> positions;
    for (size_t v = 0; v < bind.size() / 3; ++v) {
        TVec3d p{0, 0, 0};
        for (size_t i = 0; i < 4; ++i)
            p = Add(p, Scaled(Apply(joints[ids[v * 4 + i]], Vec3At(bind, v)), weights[v * 4 + i]));
        positions.push_back(p);
    }
    return positions;
}

} // namespace

std::vector<TVec3d> EvaluatePositions(const tinygltf::Model& model, int animation, int node,
                                      size_t frame) {
    const tinygltf::Primitive& primitive = model.meshes[model.nodes[node].mesh].primitives[0];
    return model.nodes[node].skin >= 0 ? Skinned(model, animation, node, primitive, frame)
                                       : Morphed(model, animation, node, primitive, frame);
}

} // namespace quillon::test

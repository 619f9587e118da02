#include "GltfImportSource.h"

#include "MD3Assembly.h"
#include "core/CasePath.h"

#include <algorithm>
#include <cmath>
#include <set>

namespace quillon {

namespace {

constexpr size_t MaxSamples = 1024; // an MD3's frames; more are refused before being made

std::vector<TVec3d> Vectors(const std::vector<float>& values) {
    std::vector<TVec3d> out(values.size() / 3);
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = {values[i * 3], values[i * 3 + 1], values[i * 3 + 2]};
    return out;
}

TAffine Weighted(const TAffine& a, double w) {
    TAffine r;
    for (int row = 0; row < 3; ++row)
        r.Linear[row] = Scaled(a.Linear[row], w);
    r.Translation = Scaled(a.Translation, w);
    return r;
}

TAffine Sum(const TAffine& a, const TAffine& b) {
    TAffine r;
    for (int row = 0; row < 3; ++row)
        r.Linear[row] = Add(a.Linear[row], b.Linear[row]);
    r.Translation = Add(a.Translation, b.Translation);
    return r;
}

// Normals follow a map by the inverse transpose of its linear part.
TMat3d NormalMatrix(const TMat3d& linear) {
    if (std::fabs(Determinant(linear)) < 1e-12)
        return linear;
    return Transposed(Inverse(TAffine{linear, {0, 0, 0}}).Linear);
}

TVec3d UnitOr(const TVec3d& v, const TVec3d& fallback) {
    const double length = Length(v);
    return length > 1e-12 ? Scaled(v, 1 / length) : fallback;
}

// The primitive's triangles from its mode; nothing (with `error`) for points and lines.
bool Triangles(int mode, const std::vector<uint32_t>& indices,
               std::vector<std::array<uint32_t, 3>>& out, std::string& error) {
    const size_t n = indices.size();
    switch (mode) {
    case -1:
    case TINYGLTF_MODE_TRIANGLES:
        if (n % 3 != 0) {
            error = "has " + std::to_string(n) + " indices, not a whole number of triangles";
            return false;
        }
        for (size_t i = 0; i + 2 < n; i += 3)
            out.push_back({indices[i], indices[i + 1], indices[i + 2]});
        return true;
    case TINYGLTF_MODE_TRIANGLE_STRIP:
        for (size_t i = 0; i + 2 < n; ++i)
            out.push_back(i % 2 == 0 ? std::array{indices[i], indices[i + 1], indices[i + 2]}
                                     : std::array{indices[i + 1], indices[i], indices[i + 2]});
        return true;
    case TINYGLTF_MODE_TRIANGLE_FAN:
        for (size_t i = 1; i + 1 < n; ++i)
            out.push_back({indices[i], indices[i + 1], indices[0]});
        return true;
    default:
        error = mode >= 0 && mode <= 3 ? "draws points or lines, which an MD3 cannot hold"
                                       : "has the unknown mode " + std::to_string(mode);
        return false;
    }
}

std::string TexturePath(const tinygltf::Model& model, const tinygltf::Material& material) {
    const int texture = material.pbrMetallicRoughness.baseColorTexture.index;
    if (texture < 0 || size_t(texture) >= model.textures.size())
        return {};
    const int source = model.textures[texture].source;
    if (source < 0 || size_t(source) >= model.images.size())
        return {};
    const tinygltf::Image& image = model.images[source];
    std::string path = image.uri.rfind("data:", 0) == 0 ? std::string() : image.uri;
    if (path.empty())
        path = image.name;
    std::replace(path.begin(), path.end(), '\\', '/');
    while (path.rfind("./", 0) == 0)
        path.erase(0, 2);
    return WithoutExtension(path);
}

std::string ShaderName(const tinygltf::Model& model, int material, TShaderSource source) {
    if (material < 0 || size_t(material) >= model.materials.size())
        return {};
    const tinygltf::Material& m = model.materials[material];
    switch (source) {
    case TShaderSource::Material:
        return m.name;
    case TShaderSource::Texture:
        return TexturePath(model, m);
    default:
        if (m.name.find('/') != std::string::npos)
            return m.name;
        const std::string texture = TexturePath(model, m);
        return texture.empty() ? m.name : texture;
    }
}

// The frame names an export keeps in the animation's extras, when there is one per sample.
std::vector<std::string> ExtraFrameNames(const tinygltf::Value& extras, size_t samples) {
    if (!extras.IsObject() || !extras.Has("frames"))
        return {};
    const tinygltf::Value& frames = extras.Get("frames");
    if (!frames.IsArray() || frames.ArrayLen() != samples)
        return {};
    std::vector<std::string> names;
    for (size_t i = 0; i < samples; ++i) {
        if (!frames.Get(int(i)).IsString())
            return {};
        names.push_back(frames.Get(int(i)).Get<std::string>());
    }
    return names;
}

std::string SampleName(const std::string& animation, size_t sample) {
    const std::string number = " " + std::to_string(sample);
    return animation.substr(0, 15 - std::min<size_t>(number.size(), 15)) + number;
}

} // namespace

bool TGltfImportSource::Fail(TImportFailure failure, std::string error) {
    FailureKind = failure;
    LastError = std::move(error);
    return false;
}

std::string TGltfImportSource::UniqueName(const std::string& name) {
    std::string unique = name;
    for (int n = 2; std::any_of(SurfaceList.begin(), SurfaceList.end(),
                                [&](const TImportSurface& s) { return s.Name == unique; });
         ++n)
        unique = name + "_" + std::to_string(n);
    return unique;
}

bool TGltfImportSource::ReadSkin(int index) {
    const tinygltf::Model& model = *Document;
    if (SkinRead[index])
        return true;
    const tinygltf::Skin& skin = model.skins[index];
    const std::string what = "skin " + std::to_string(index);
    std::set<int> inScene(Graph.SceneNodes().begin(), Graph.SceneNodes().end());
    TSkinData& data = Skins[index];
    for (int joint : skin.joints)
        if (!inScene.contains(joint))
            return Fail(TImportFailure::Input, what + " names joint node " + std::to_string(joint) +
                                                   ", which is not in the scene");
    data.Joints = skin.joints;
    data.InverseBind.assign(skin.joints.size(), TAffine{});
    if (skin.inverseBindMatrices >= 0) {
        std::vector<float> m;
        if (!Accessors->Floats(skin.inverseBindMatrices, 16, m))
            return Fail(TImportFailure::Input, what + ": " + Accessors->Error());
        if (m.size() < skin.joints.size() * 16)
            return Fail(TImportFailure::Input, what + " has fewer inverse bind matrices than its " +
                                                   std::to_string(skin.joints.size()) + " joints");
        for (size_t j = 0; j < skin.joints.size(); ++j) {
            std::array<float, 16> column;
            std::copy_n(m.begin() + j * 16, 16, column.begin());
            data.InverseBind[j] = FromColumnMajor(column);
        }
    }
    SkinRead[index] = true;
    return true;
}

bool TGltfImportSource::ReadPrimitive(int node, const tinygltf::Mesh& mesh, size_t p,
                                      const TImportOptions& options,
                                      std::vector<std::string>& warnings) {
    const tinygltf::Model& model = *Document;
    const tinygltf::Primitive& primitive = mesh.primitives[p];
    const std::string what = "mesh \"" + mesh.name + "\" primitive " + std::to_string(p);
    auto input = [&](const std::string& error) {
        return Fail(TImportFailure::Input, what + ": " + error);
    };
    const auto position = primitive.attributes.find("POSITION");
    if (position == primitive.attributes.end())
        return input("has no POSITION");
    if (position->second >= 0 && size_t(position->second) < model.accessors.size()) {
        const size_t count = model.accessors[position->second].count;
        if (count > MaxGltfPrimitiveVertices || VerticesRead + count > MaxGltfImportVertices)
            return Fail(TImportFailure::Limits,
                        what + " has " + std::to_string(count) +
                            " vertices, more than an import reads (" +
                            std::to_string(MaxGltfPrimitiveVertices) + " a primitive, " +
                            std::to_string(MaxGltfImportVertices) + " in all)");
        VerticesRead += count;
    }
    std::vector<float> values;
    if (!Accessors->Floats(position->second, 3, values))
        return input(Accessors->Error());
    const std::vector<TVec3d> positions = Vectors(values);
    const size_t count = positions.size();

    std::vector<uint32_t> indices;
    if (primitive.indices >= 0) {
        if (!Accessors->Unsigned(primitive.indices, 1, indices))
            return input(Accessors->Error());
    } else {
        for (uint32_t i = 0; i < count; ++i)
            indices.push_back(i);
    }
    for (size_t i = 0; i < indices.size(); ++i)
        if (indices[i] >= count)
            return input("index " + std::to_string(i) + " names vertex " +
                         std::to_string(indices[i]) + " of " + std::to_string(count));
    std::vector<std::array<uint32_t, 3>> triangles;
    std::string error;
    if (!Triangles(primitive.mode, indices, triangles, error))
        return input(error);
    if (triangles.empty()) {
        warnings.push_back(what + " left out: it has no triangles");
        return true;
    }

    // Attributes read whole, then cut down to the vertices the triangles use.
    auto attribute = [&](const std::map<std::string, int>& from, const char* name, int components,
                         std::vector<float>& out) {
        out.clear();
        const auto found = from.find(name);
        if (found == from.end())
            return true;
        if (!Accessors->Floats(found->second, components, out))
            return input(std::string(name) + ": " + Accessors->Error());
        if (out.size() != count * components)
            return input(std::string(name) + " has " + std::to_string(out.size() / components) +
                         " elements for " + std::to_string(count) + " vertices");
        return true;
    };
    std::vector<float> normals, texCoords, weights;
    if (!attribute(primitive.attributes, "NORMAL", 3, normals) ||
        !attribute(primitive.attributes, "TEXCOORD_0", 2, texCoords))
        return false;
    std::vector<uint32_t> joints;
    const int skin = model.nodes[node].skin;
    if (skin >= 0) {
        if (size_t(skin) >= model.skins.size())
            return input("its node names skin " + std::to_string(skin) + ", which does not exist");
        const auto jointsAttribute = primitive.attributes.find("JOINTS_0");
        if (jointsAttribute == primitive.attributes.end() ||
            !primitive.attributes.contains("WEIGHTS_0"))
            return input("is skinned without JOINTS_0 and WEIGHTS_0");
        if (!Accessors->Unsigned(jointsAttribute->second, 4, joints))
            return input("JOINTS_0: " + Accessors->Error());
        if (joints.size() != count * 4)
            return input("JOINTS_0 does not have one element per vertex");
        if (!attribute(primitive.attributes, "WEIGHTS_0", 4, weights) || !ReadSkin(skin))
            return false;
    }

    // The vertices the triangles use, in the file's order, so a mesh that uses them all keeps
    // its numbering.
    std::vector<uint32_t> newIndex(count, UINT32_MAX);
    for (const auto& triangle : triangles)
        for (uint32_t corner : triangle)
            newIndex[corner] = 0;
    std::vector<uint32_t> used;
    for (uint32_t v = 0; v < count; ++v)
        if (newIndex[v] == 0) {
            newIndex[v] = uint32_t(used.size());
            used.push_back(v);
        }
    for (auto& triangle : triangles)
        for (uint32_t& corner : triangle)
            corner = newIndex[corner];

    TPrimitiveData data;
    data.Node = node;
    data.Skin = skin;
    TImportSurface surface;
    const tinygltf::Node& source = model.nodes[node];
    std::string name = !mesh.name.empty() ? mesh.name : !source.name.empty() ? source.name : "mesh";
    if (mesh.primitives.size() > 1) {
        // A material named as a game path adds only its last part.
        const int material = primitive.material;
        const bool named = material >= 0 && size_t(material) < model.materials.size() &&
                           !model.materials[material].name.empty();
        name += "_" + (named ? FilePart(WithoutExtension(model.materials[material].name))
                             : std::to_string(p));
    }
    surface.Name = UniqueName(name);
    surface.Shader = ShaderName(model, primitive.material, options.Shaders);
    if (surface.Shader.empty())
        warnings.push_back("surface \"" + surface.Name + "\" has no shader name");
    if (texCoords.empty())
        warnings.push_back("surface \"" + surface.Name + "\" has no texture coordinates");
    for (uint32_t v : used) {
        data.Positions.push_back(positions[v]);
        if (!normals.empty())
            data.Normals.push_back({normals[v * 3], normals[v * 3 + 1], normals[v * 3 + 2]});
        surface.TexCoords.push_back(texCoords.empty()
                                        ? std::array<float, 2>{0, 0}
                                        : std::array{texCoords[v * 2], texCoords[v * 2 + 1]});
        if (skin >= 0) {
            std::array<uint32_t, 4> j;
            std::array<double, 4> w;
            double sum = 0;
            for (int k = 0; k < 4; ++k) {
                j[k] = joints[v * 4 + k];
                w[k] = std::max(0.0f, weights[v * 4 + k]);
                if (w[k] > 0 && j[k] >= Skins[skin].Joints.size())
                    return input("vertex " + std::to_string(v) + " names joint " +
                                 std::to_string(j[k]) + " of " +
                                 std::to_string(Skins[skin].Joints.size()));
                sum += w[k];
            }
            if (!(sum > 0) || !std::isfinite(sum))
                return input("vertex " + std::to_string(v) + " has no joint weight");
            for (double& weight : w)
                weight /= sum;
            data.Joints.push_back(j);
            data.Weights.push_back(w);
        }
    }
    surface.Triangles = std::move(triangles);
    for (size_t t = 0; t < primitive.targets.size(); ++t) {
        std::vector<float> targetPositions, targetNormals;
        if (!attribute(primitive.targets[t], "POSITION", 3, targetPositions) ||
            !attribute(primitive.targets[t], "NORMAL", 3, targetNormals))
            return false;
        std::vector<TVec3d> movedPositions, movedNormals;
        for (uint32_t v : used) {
            if (!targetPositions.empty())
                movedPositions.push_back({targetPositions[v * 3], targetPositions[v * 3 + 1],
                                          targetPositions[v * 3 + 2]});
            if (!targetNormals.empty())
                movedNormals.push_back(
                    {targetNormals[v * 3], targetNormals[v * 3 + 1], targetNormals[v * 3 + 2]});
        }
        data.TargetPositions.push_back(std::move(movedPositions));
        data.TargetNormals.push_back(std::move(movedNormals));
    }
    Primitives.push_back(std::move(data));
    SurfaceList.push_back(std::move(surface));
    return true;
}

bool TGltfImportSource::ReadMeshes(const TImportOptions& options,
                                   std::vector<std::string>& warnings) {
    const tinygltf::Model& model = *Document;
    for (int node : Graph.SceneNodes()) {
        const tinygltf::Node& n = model.nodes[node];
        if (n.name.rfind("tag_", 0) == 0) {
            TagNodes.push_back(node);
            TagList.push_back(n.name);
        }
        if (n.mesh < 0)
            continue;
        if (size_t(n.mesh) >= model.meshes.size())
            return Fail(TImportFailure::Input, "node " + std::to_string(node) + " names mesh " +
                                                   std::to_string(n.mesh) +
                                                   ", which does not exist");
        const tinygltf::Mesh& mesh = model.meshes[n.mesh];
        for (size_t p = 0; p < mesh.primitives.size(); ++p) {
            if (SurfaceList.size() >= 1024)
                return Fail(
                    TImportFailure::Limits,
                    "the scene has more than 1024 mesh primitives; an MD3 holds 32 surfaces");
            if (!ReadPrimitive(node, mesh, p, options, warnings))
                return false;
        }
    }
    return true;
}

bool TGltfImportSource::AddSamples(const TGltfAnimationSampler& sampler, const std::string& name,
                                   const tinygltf::Value& extras, const TImportOptions& options) {
    const int index = int(Samplers.size() - 1);
    std::vector<double> times;
    if (options.Keys) {
        times = sampler.KeyTimes();
    } else {
        const double span = (sampler.End() - sampler.Start()) * options.FramesPerSecond;
        if (!(span < double(MaxSamples)))
            return Fail(TImportFailure::Limits,
                        "animation \"" + name + "\" lasts " +
                            std::to_string(sampler.End() - sampler.Start()) + " s: at " +
                            std::to_string(options.FramesPerSecond) +
                            " frames per second that is more than the 1024 frames an MD3 holds "
                            "(--fps or --keys)");
        const size_t count = size_t(std::floor(span + 1e-4)) + 1;
        // A sample that falls on a key in all but rounding takes the key's own time, so a file
        // written at this rate gives back its keys exactly rather than a sliver of the next.
        const std::vector<double> keys = sampler.KeyTimes();
        for (size_t k = 0; k < count; ++k) {
            double t = sampler.Start() + k / options.FramesPerSecond;
            const auto next = std::lower_bound(keys.begin(), keys.end(), t);
            for (auto key : {next, next == keys.begin() ? next : next - 1})
                if (key != keys.end() && std::fabs(*key - t) < 1e-3 / options.FramesPerSecond)
                    t = *key;
            times.push_back(t);
        }
    }
    if (times.empty())
        times.push_back(0);
    if (FrameTimes.size() + times.size() > MaxSamples)
        return Fail(TImportFailure::Limits, "the animations give " +
                                                std::to_string(FrameTimes.size() + times.size()) +
                                                " frames or more, more than the 1024 an MD3 holds");
    const int first = int(FrameTimes.size());
    std::vector<std::string> names = ExtraFrameNames(extras, times.size());
    for (size_t k = 0; k < times.size(); ++k) {
        FrameTimes.push_back({index, times[k]});
        FrameNameList.push_back(names.empty() ? SampleName(name, k) : names[k]);
    }
    double rate = options.FramesPerSecond;
    if (options.Keys)
        rate = times.size() > 1 && times.back() > times.front()
                   ? (times.size() - 1) / (times.back() - times.front())
                   : options.FramesPerSecond;
    ClipList.push_back({name, {first, int(FrameTimes.size()) - 1}, rate});
    return true;
}

bool TGltfImportSource::ReadAnimations(const TImportOptions& options) {
    const tinygltf::Model& model = *Document;
    std::vector<int> chosen;
    if (!options.Animation.empty()) {
        std::string names;
        for (size_t a = 0; a < model.animations.size(); ++a) {
            if (model.animations[a].name == options.Animation && chosen.empty())
                chosen.push_back(int(a));
            names += (a ? ", \"" : "\"") + model.animations[a].name + "\"";
        }
        if (chosen.empty())
            return Fail(TImportFailure::Options,
                        "the file has no animation named \"" + options.Animation + "\"" +
                            (names.empty() ? " (it has none)" : " (it has " + names + ")"));
    } else if (!model.animations.empty()) {
        chosen.push_back(0);
        for (size_t a = 1; options.AllAnimations && a < model.animations.size(); ++a)
            chosen.push_back(int(a));
    }
    std::vector<size_t> morphTargets(model.nodes.size(), 0);
    for (const TPrimitiveData& data : Primitives)
        morphTargets[data.Node] = std::max(morphTargets[data.Node], data.TargetPositions.size());
    for (int a : chosen) {
        Samplers.emplace_back();
        std::string error;
        if (!Samplers.back().Build(model, a, *Accessors, morphTargets, error))
            return Fail(TImportFailure::Input, error);
        const tinygltf::Animation& animation = model.animations[a];
        const std::string name =
            animation.name.empty() ? "animation " + std::to_string(a) : animation.name;
        if (!AddSamples(Samplers.back(), name, animation.extras, options))
            return false;
    }
    if (FrameTimes.empty()) {
        // A static model may keep its frame's name in the scene's extras, as the export does.
        const int scene = std::max(model.defaultScene, 0);
        std::vector<std::string> names;
        if (size_t(scene) < model.scenes.size())
            names = ExtraFrameNames(model.scenes[scene].extras, 1);
        FrameTimes.push_back({});
        FrameNameList.push_back(names.empty() ? "base" : names[0]);
    }
    return true;
}

bool TGltfImportSource::Build(const tinygltf::Model& model, const TImportOptions& options,
                              std::vector<std::string>& warnings) {
    *this = TGltfImportSource();
    Document = &model;
    TGltfAccessors accessors(model);
    Accessors = &accessors;
    Skins.resize(model.skins.size());
    SkinRead.assign(model.skins.size(), false);
    std::string error;
    bool ok = true;
    if (!Graph.Build(model, error))
        ok = Fail(TImportFailure::Input, error);
    ok = ok && ReadMeshes(options, warnings) && ReadAnimations(options);
    Accessors = nullptr;
    for (int node : TagNodes)
        for (const TGltfAnimationSampler& sampler : Samplers)
            if (Graph.HasMatrix(node) && sampler.Drives(node)) {
                warnings.push_back("tag " + model.nodes[node].name +
                                   " is given as a matrix; its animation is not followed");
                break;
            }
    return ok;
}

std::vector<double>
TGltfImportSource::MorphWeights(const TPrimitiveData& data,
                                const std::vector<std::vector<double>>& animated) const {
    const size_t targets = data.TargetPositions.size();
    std::vector<double> weights = animated[data.Node];
    if (weights.empty()) {
        const tinygltf::Node& node = Document->nodes[data.Node];
        weights = !node.weights.empty() ? node.weights : Document->meshes[node.mesh].weights;
    }
    weights.resize(targets, 0.0);
    return weights;
}

bool TGltfImportSource::Pose(size_t frame, TImportPose& pose, std::string&) {
    const tinygltf::Model& model = *Document;
    const TFrameTime& when = FrameTimes[frame];
    std::vector<TTrs> trs(model.nodes.size());
    for (int node : Graph.SceneNodes())
        trs[node] = Graph.Rest(node);
    std::vector<std::vector<double>> animated(model.nodes.size());
    if (when.Sampler >= 0)
        Samplers[when.Sampler].Apply(when.Time, trs, animated);
    std::vector<TAffine> local(model.nodes.size()), world;
    for (int node : Graph.SceneNodes())
        local[node] = Graph.HasMatrix(node) ? Graph.Matrix(node) : FromTrs(trs[node]);
    Graph.WorldTransforms(local, world);

    pose.Positions.assign(Primitives.size(), {});
    pose.Normals.assign(Primitives.size(), {});
    for (size_t s = 0; s < Primitives.size(); ++s) {
        const TPrimitiveData& data = Primitives[s];
        const std::vector<double> weights = MorphWeights(data, animated);
        std::vector<TVec3d>& positions = pose.Positions[s];
        std::vector<TVec3d>& normals = pose.Normals[s];
        positions = data.Positions;
        normals = data.Normals;
        for (size_t t = 0; t < weights.size(); ++t) {
            if (weights[t] == 0)
                continue;
            for (size_t v = 0; v < data.TargetPositions[t].size(); ++v)
                positions[v] = Add(positions[v], Scaled(data.TargetPositions[t][v], weights[t]));
            for (size_t v = 0; v < data.TargetNormals[t].size() && !normals.empty(); ++v)
                normals[v] = Add(normals[v], Scaled(data.TargetNormals[t][v], weights[t]));
        }
        for (size_t v = 0; v < positions.size(); ++v) {
            TAffine place = world[data.Node];
            if (data.Skin >= 0) {
                // Skinned vertices follow their joints only; the mesh node's own place is ignored.
                const TSkinData& skin = Skins[data.Skin];
                place = Weighted(TAffine{}, 0);
                for (int k = 0; k < 4; ++k)
                    if (data.Weights[v][k] > 0) {
                        const uint32_t j = data.Joints[v][k];
                        place =
                            Sum(place, Weighted(Compose(world[skin.Joints[j]], skin.InverseBind[j]),
                                                data.Weights[v][k]));
                    }
            }
            positions[v] = Apply(place, positions[v]);
            if (!normals.empty())
                normals[v] = UnitOr(Multiply(NormalMatrix(place.Linear), normals[v]), {0, 1, 0});
        }
    }
    pose.Tags.clear();
    for (int node : TagNodes)
        pose.Tags.push_back(world[node]);
    return true;
}

} // namespace quillon

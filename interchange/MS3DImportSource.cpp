#include "MS3DImportSource.h"

#include "core/CasePath.h"
#include "core/MD3.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

namespace quillon {

namespace {

constexpr size_t MaxFrames = 1024;

TMat3d EulerRotation(const TMS3DFloats& angles) {
    const TMat3d x =
        RotationFromQuaternion({std::sin(angles[0] / 2.0), 0, 0, std::cos(angles[0] / 2.0)});
    const TMat3d y =
        RotationFromQuaternion({0, std::sin(angles[1] / 2.0), 0, std::cos(angles[1] / 2.0)});
    const TMat3d z =
        RotationFromQuaternion({0, 0, std::sin(angles[2] / 2.0), std::cos(angles[2] / 2.0)});
    return Multiply(z, Multiply(y, x));
}

TAffine Place(const TMS3DFloats& rotation, const TMS3DFloats& position) {
    return {EulerRotation(rotation), {position[0], position[1], position[2]}};
}

// The key value at `time`: held before the first and after the last key, linear between.
// Rotations are blended as quaternions, so a turn takes the short way round.
TAffine KeyAt(const std::vector<TMS3DKeyFrame>& keys, double time, bool rotation) {
    TAffine identity;
    if (keys.empty())
        return identity;
    const auto next = std::upper_bound(keys.begin(), keys.end(), time,
                                       [](double t, const TMS3DKeyFrame& k) { return t < k.time; });
    const TMS3DKeyFrame& a = next == keys.begin() ? *next : *(next - 1);
    const TMS3DKeyFrame& b = next == keys.end() ? *(next - 1) : *next;
    const double span = double(b.time) - a.time;
    const double u = span > 0 ? std::clamp((time - a.time) / span, 0.0, 1.0) : 0.0;
    if (!rotation) {
        for (int c = 0; c < 3; ++c)
            identity.Translation[c] = a.value[c] + u * (double(b.value[c]) - a.value[c]);
        return identity;
    }
    TQuat qa = QuaternionFromRotation(EulerRotation(UnpackFloats(a.value)));
    TQuat qb = QuaternionFromRotation(EulerRotation(UnpackFloats(b.value)));
    double dot = 0;
    for (int c = 0; c < 4; ++c)
        dot += qa[c] * qb[c];
    TQuat q;
    for (int c = 0; c < 4; ++c)
        q[c] = (1 - u) * qa[c] + u * (dot < 0 ? -qb[c] : qb[c]);
    const double length = std::sqrt(q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3]);
    for (double& c : q)
        c /= length;
    identity.Linear = RotationFromQuaternion(q);
    return identity;
}

bool KeysUsable(const std::vector<TMS3DKeyFrame>& keys) {
    for (size_t k = 0; k < keys.size(); ++k) {
        if (!std::isfinite(keys[k].time) || (k > 0 && keys[k].time < keys[k - 1].time))
            return false;
        for (float v : keys[k].value)
            if (!std::isfinite(v))
                return false;
    }
    return true;
}

std::string TexturePath(std::string path) {
    std::replace(path.begin(), path.end(), '\\', '/');
    while (path.rfind("./", 0) == 0)
        path.erase(0, 2);
    return WithoutExtension(path);
}

std::string ShaderName(const TMS3D& model, int material, TShaderSource source) {
    if (material < 0 || size_t(material) >= model.Materials.size())
        return {};
    const TMS3DMaterial& m = model.Materials[material];
    const std::string name = NameToString(m.name);
    const std::string texture = TexturePath(NameToString(m.texture));
    switch (source) {
    case TShaderSource::Material:
        return name;
    case TShaderSource::Texture:
        return texture;
    default:
        return name.find('/') != std::string::npos || texture.empty() ? name : texture;
    }
}

} // namespace

bool TMS3DImportSource::Fail(std::string error) {
    LastError = std::move(error);
    return false;
}

bool TMS3DImportSource::ReadJoints() {
    const std::vector<TMS3DBone>& joints = Model->Joints;
    std::vector<TAffine> bindWorld;
    for (size_t j = 0; j < joints.size(); ++j) {
        const std::string name = NameToString(joints[j].name);
        const std::string parent = NameToString(joints[j].parentName);
        int found = -1;
        for (size_t p = 0; p < j && !parent.empty(); ++p)
            if (NameToString(joints[p].name) == parent)
                found = int(p);
        if (!parent.empty() && found < 0)
            return Fail("joint \"" + name + "\" names the parent \"" + parent +
                        "\", which is not a joint before it");
        if (!KeysUsable(joints[j].RotationKeys) || !KeysUsable(joints[j].PositionKeys))
            return Fail("joint \"" + name + "\" has key frames that are not ascending numbers");
        Parents.push_back(found);
        BindLocal.push_back(
            Place(UnpackFloats(joints[j].rotation), UnpackFloats(joints[j].position)));
        bindWorld.push_back(found < 0 ? BindLocal.back()
                                      : Compose(bindWorld[found], BindLocal.back()));
        BindWorldInverse.push_back(Inverse(bindWorld.back()));
    }
    return true;
}

bool TMS3DImportSource::ReadGroups(const TImportOptions& options,
                                   std::vector<std::string>& warnings) {
    const TMS3D& model = *Model;
    for (const TMS3DGroup& group : model.Groups) {
        TImportSurface surface;
        std::vector<TCorner> corners;
        using TKey = std::tuple<uint16_t, float, float, float, float, float>;
        std::map<TKey, uint32_t> known;
        for (const uint16_t t : group.TriangleIndices) {
            if (t >= model.Triangles.size())
                return Fail("group \"" + NameToString(group.name) + "\" names triangle " +
                            std::to_string(t) + " of " + std::to_string(model.Triangles.size()));
            const TMS3DTriangle& triangle = model.Triangles[t];
            std::array<uint32_t, 3> out;
            for (int k = 0; k < 3; ++k) {
                const uint16_t v = triangle.vertexIndices[k];
                if (v >= model.Vertices.size())
                    return Fail("triangle " + std::to_string(t) + " names vertex " +
                                std::to_string(v) + " of " + std::to_string(model.Vertices.size()));
                const TMS3DFloats n = UnpackFloats(triangle.vertexNormals[k]);
                // Copied out of the packed record, whose fields may sit at any address.
                const float texS = triangle.s[k], texT = triangle.t[k];
                const TKey key{v, n[0], n[1], n[2], texS, texT};
                auto [it, fresh] = known.try_emplace(key, uint32_t(corners.size()));
                if (fresh) {
                    corners.push_back({v, {n[0], n[1], n[2]}});
                    surface.TexCoords.push_back({texS, texT});
                }
                out[k] = it->second;
            }
            surface.Triangles.push_back(out);
        }
        std::string name = NameToString(group.name);
        if (surface.Triangles.empty()) {
            warnings.push_back("group " + name + " left out: it has no triangles");
            continue;
        }
        const std::string base = name.empty() ? "group" : name;
        for (int n = 2; std::any_of(SurfaceList.begin(), SurfaceList.end(),
                                    [&](const TImportSurface& s) { return s.Name == name; });
             ++n)
            name = base + "_" + std::to_string(n);
        surface.Name = name;
        surface.Shader = ShaderName(model, group.materialIndex, options.Shaders);
        if (surface.Shader.empty())
            warnings.push_back("surface \"" + name + "\" has no shader name");
        SurfaceList.push_back(std::move(surface));
        Corners.push_back(std::move(corners));
    }
    return true;
}

void TMS3DImportSource::ChooseFrames(const TImportOptions& options) {
    double first = 0, last = 0;
    bool keyed = false;
    std::vector<double> keys;
    for (const TMS3DBone& joint : Model->Joints)
        for (const auto* list : {&joint.RotationKeys, &joint.PositionKeys})
            for (const TMS3DKeyFrame& key : *list) {
                first = keyed ? std::min<double>(first, key.time) : key.time;
                last = keyed ? std::max<double>(last, key.time) : key.time;
                keyed = true;
                keys.push_back(key.time);
            }
    const float fileRate = Model->Animation.framesPerSecond;
    const double rate =
        std::isfinite(fileRate) && fileRate > 0 ? fileRate : options.FramesPerSecond;
    if (!keyed) {
        Times = {0};
    } else if (options.Keys) {
        std::sort(keys.begin(), keys.end());
        keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
        Times.assign(keys.begin(), keys.begin() + std::min(keys.size(), MaxFrames + 1));
    } else {
        const double span = (last - first) * rate;
        const size_t count =
            span < double(MaxFrames) ? size_t(std::floor(span + 1e-4)) + 1 : MaxFrames + 1;
        for (size_t k = 0; k < count; ++k)
            Times.push_back(first + k / rate);
    }
    for (size_t k = 0; k < Times.size(); ++k)
        FrameNameList.push_back(keyed ? "frame " + std::to_string(k) : "base");
    ClipList.push_back({"frames", {0, int(Times.size()) - 1}, rate});
}

std::vector<std::pair<int, double>> TMS3DImportSource::Influences(size_t vertex) const {
    const TMS3D& model = *Model;
    const int joints = int(Model->Joints.size());
    std::vector<std::pair<int, double>> influences;
    const int first = model.Vertices[vertex].boneId;
    const bool extras = model.VertexExtras.size() == model.Vertices.size();
    if (!extras) {
        if (first >= 0 && first < joints)
            influences.push_back({first, 1.0});
        return influences;
    }
    const TMS3DVertexExtra& extra = model.VertexExtras[vertex];
    const double whole = model.vertexExtraVersion == 1 ? 255 : 100;
    const int ids[4] = {first, extra.boneIds[0], extra.boneIds[1], extra.boneIds[2]};
    double weights[4], sum = 0;
    for (int k = 0; k < 3; ++k)
        sum += weights[k] = extra.weights[k] / whole;
    weights[3] = std::max(0.0, 1 - sum);
    if (sum == 0) // no weights written: the first joint alone
        weights[0] = 1, weights[3] = 0;
    double total = 0;
    for (int k = 0; k < 4; ++k)
        if (ids[k] >= 0 && ids[k] < joints && weights[k] > 0) {
            influences.push_back({ids[k], weights[k]});
            total += weights[k];
        }
    for (auto& influence : influences)
        influence.second /= total;
    return influences;
}

std::vector<TAffine> TMS3DImportSource::JointMoves(double time) const {
    const std::vector<TMS3DBone>& joints = Model->Joints;
    std::vector<TAffine> world(joints.size()), moves(joints.size());
    for (size_t j = 0; j < joints.size(); ++j) {
        const TAffine key = Compose(KeyAt(joints[j].PositionKeys, time, false),
                                    KeyAt(joints[j].RotationKeys, time, true));
        const TAffine local = Compose(BindLocal[j], key);
        world[j] = Parents[j] < 0 ? local : Compose(world[Parents[j]], local);
        moves[j] = Compose(world[j], BindWorldInverse[j]);
    }
    return moves;
}

bool TMS3DImportSource::Build(const TMS3D& model, const TImportOptions& options,
                              std::vector<std::string>& warnings) {
    *this = TMS3DImportSource();
    Model = &model;
    if (!ReadJoints() || !ReadGroups(options, warnings))
        return false;
    ChooseFrames(options);
    return true;
}

bool TMS3DImportSource::Pose(size_t frame, TImportPose& pose, std::string&) {
    const std::vector<TAffine> moves = JointMoves(Times[frame]);
    pose.Positions.assign(SurfaceList.size(), {});
    pose.Normals.assign(SurfaceList.size(), {});
    pose.Tags.clear();
    for (size_t s = 0; s < SurfaceList.size(); ++s)
        for (const TCorner& corner : Corners[s]) {
            const TMS3DFloats p = UnpackFloats(Model->Vertices[corner.Vertex].position);
            TVec3d position{0, 0, 0}, normal{0, 0, 0};
            const auto influences = Influences(corner.Vertex);
            if (influences.empty()) {
                position = {p[0], p[1], p[2]};
                normal = corner.Normal;
            }
            for (const auto& [joint, weight] : influences) {
                position = Add(position, Scaled(Apply(moves[joint], {p[0], p[1], p[2]}), weight));
                normal = Add(normal, Scaled(Multiply(moves[joint].Linear, corner.Normal), weight));
            }
            pose.Positions[s].push_back(position);
            pose.Normals[s].push_back(normal);
        }
    return true;
}

} // namespace quillon

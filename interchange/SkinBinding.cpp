#include "SkinBinding.h"

#include "core/MD3.h"
#include "skeletal/Pose.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace quillon {

namespace {

constexpr TMat3d MirrorY{{{1, 0, 0}, {0, -1, 0}, {0, 0, 1}}};
constexpr TMat3d NegateZ{{{1, 0, 0}, {0, 1, 0}, {0, 0, -1}}};

TVec3d Vec(TVector v) {
    return {v.x, v.y, v.z};
}

double RoundToFloat(double value) {
    return double(float(value));
}

// What the file will hold: every number rounded to single precision.
TTrs RoundedTrs(TTrs trs) {
    for (double& c : trs.Translation)
        c = RoundToFloat(c);
    for (double& c : trs.Rotation)
        c = RoundToFloat(c);
    for (double& c : trs.Scale)
        c = RoundToFloat(c);
    return trs;
}

// Posing computes a weight's place as (offset with y mirrored) x M + bone position, with M the
// bone's inverse rotation and points as row vectors, then negates z. As a column-vector map in
// glTF's axes: GltfAxes * NegateZ * transpose(M) * MirrorY, a proper rotation.
TAffine PosedJoint(const TMatrix& inverseRotation, TVector position, double scale) {
    TMat3d transposed{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            transposed[i][j] = inverseRotation.m[j * 4 + i];
    const TMat3d linear = Multiply(Multiply(Multiply(GltfAxes(), NegateZ), transposed), MirrorY);
    return {linear, Scaled(ToGltfAxes(position), scale)};
}

// Posing treats a bone whose parent does not come before it as a root.
int JointParent(const TMDX& animation, size_t bone) {
    const int32_t parent = animation.Bones[bone].parent;
    return parent >= 0 && size_t(parent) < bone ? parent : -1;
}

std::vector<TJointSamples> SampleJoints(const TMDM& mesh, const TMDX& animation,
                                        const TExportPlan& plan) {
    const size_t bones = animation.Bones.size();
    std::vector<TJointSamples> joints(bones);
    for (size_t b = 0; b < bones; ++b) {
        joints[b].Name = NameToString(animation.Bones[b].name);
        joints[b].Parent = JointParent(animation, b);
    }
    TMDM skeleton; // posing places the bones and tags of a mesh; the surfaces are not needed
    skeleton.Tags = mesh.Tags;
    for (int f = plan.Frames.First; f <= plan.Frames.Last; ++f) {
        PoseSkeleton(skeleton, animation, f);
        for (size_t b = 0; b < bones; ++b) {
            TJointSamples& joint = joints[b];
            joint.Posed.push_back(PosedJoint(skeleton.BoneInverseRotations[b],
                                             skeleton.BonePositions[b], plan.Scale));
            TAffine local = joint.Posed.back();
            if (joint.Parent >= 0)
                local = Compose(Inverse(joints[joint.Parent].Posed.back()), local);
            joint.Local.push_back(RoundedTrs(ToTrs(local)));
            const TAffine own = FromTrs(joint.Local.back());
            joint.World.push_back(
                joint.Parent >= 0 ? Compose(joints[joint.Parent].World.back(), own) : own);
        }
    }
    return joints;
}

// The weights posing uses, merged per bone: two weights on one bone act as one whose offset is
// their weighted mean, since the bone's map is affine.
std::vector<TPosedWeight> PosedWeights(const TMDMVertex& vertex, size_t bones, double scale) {
    std::map<int, TPosedWeight> byJoint;
    std::map<int, TVec3d> weightedOffsets;
    std::vector<int> order;
    for (const TMDMWeight& weight : vertex.Weights) {
        if (weight.boneIndex < 0 || size_t(weight.boneIndex) >= bones)
            continue; // posing skips a bone the animation lacks
        const TVec3d offset = Scaled(Vec(weight.offset), scale);
        auto [it, fresh] = byJoint.try_emplace(weight.boneIndex);
        if (fresh) {
            order.push_back(weight.boneIndex);
            it->second = {weight.boneIndex, 0, offset};
            weightedOffsets[weight.boneIndex] = {0, 0, 0};
        }
        it->second.Weight += weight.boneWeight;
        weightedOffsets[weight.boneIndex] =
            Add(weightedOffsets[weight.boneIndex], Scaled(offset, weight.boneWeight));
    }
    std::vector<TPosedWeight> weights;
    for (int joint : order) {
        TPosedWeight w = byJoint[joint];
        if (w.Weight != 0)
            w.Offset = Scaled(weightedOffsets[joint], 1 / w.Weight);
        weights.push_back(w);
    }
    std::stable_sort(
        weights.begin(), weights.end(),
        [](const TPosedWeight& a, const TPosedWeight& b) { return a.Weight > b.Weight; });
    return weights;
}

void Append(std::vector<float>& out, const TVec3d& v) {
    out.insert(out.end(), {float(v[0]), float(v[1]), float(v[2])});
}

// Adds the vertex's joints, weights, bind position and bind normal to the mesh.
void BindVertex(const TMDMVertex& source, TSkinnedVertex& vertex,
                const std::vector<TJointSamples>& joints, TMeshData& mesh) {
    double kept = 0;
    while (vertex.Kept < int(vertex.Posed.size()) && vertex.Kept < MaxInfluences &&
           vertex.Posed[vertex.Kept].Weight > 0)
        kept += vertex.Posed[vertex.Kept++].Weight;
    vertex.Skinnable = vertex.Kept > 0;
    float weights[MaxInfluences] = {};
    uint16_t ids[MaxInfluences] = {};
    TVec3d position{0, 0, 0}, normal{0, 0, 0};
    if (vertex.Skinnable) {
        for (int i = 0; i < vertex.Kept; ++i) {
            weights[i] = float(vertex.Posed[i].Weight / kept);
            ids[i] = uint16_t(vertex.Posed[i].Joint);
        }
        // Stored weights must sum to one in single precision; the largest takes up the rest.
        weights[0] = 1.0f - (weights[1] + weights[2] + weights[3]);
        for (int i = 0; i < vertex.Kept; ++i) {
            const TAffine& bind = joints[ids[i]].World.front();
            position = Add(position, Scaled(Apply(bind, vertex.Posed[i].Offset), weights[i]));
            normal = Add(normal, Scaled(Multiply(bind.Linear, Vec(source.normal)), weights[i]));
        }
    } else {
        weights[0] = 1; // no weight to keep: the check sends the model to morph targets
    }
    const double length = Length(normal);
    Append(mesh.Positions, position);
    Append(mesh.Normals, length > 0 ? Scaled(normal, 1 / length) : TVec3d{0, 1, 0});
    mesh.Joints.insert(mesh.Joints.end(), ids, ids + MaxInfluences);
    mesh.Weights.insert(mesh.Weights.end(), weights, weights + MaxInfluences);
}

TSkinnedSurface BindSurface(const TMDM& mesh, int s, const std::vector<TJointSamples>& joints,
                            double scale, int& trimmed) {
    const TMDMSurface& surface = mesh.Surfaces[s];
    TSkinnedSurface skinned;
    skinned.Surface = s;
    skinned.Mesh.Name = NameToString(surface.name);
    for (const TMDMVertex& source : surface.Vertices) {
        TSkinnedVertex vertex;
        vertex.Posed = PosedWeights(source, joints.size(), scale);
        const auto nonZero = std::count_if(vertex.Posed.begin(), vertex.Posed.end(),
                                           [](const TPosedWeight& w) { return w.Weight != 0; });
        trimmed += nonZero > MaxInfluences;
        BindVertex(source, vertex, joints, skinned.Mesh);
        skinned.Mesh.TexCoords.insert(skinned.Mesh.TexCoords.end(),
                                      {source.texCoords[0], source.texCoords[1]});
        skinned.Vertices.push_back(std::move(vertex));
    }
    // The game's triangles are clockwise seen from the front, glTF's counter-clockwise.
    for (const TMDMTriangle& triangle : surface.Triangles)
        skinned.Mesh.Indices.insert(skinned.Mesh.Indices.end(),
                                    {uint32_t(triangle.indexes[0]), uint32_t(triangle.indexes[2]),
                                     uint32_t(triangle.indexes[1])});
    return skinned;
}

// A tag hangs on its bone: posing carries its offset like a weight's, and its axes (without the
// mirrored y of offsets) through the same rotation, so its transform below the joint is
// constant. A tag on a missing bone sits at the origin with its axes, as posing leaves it.
TSkinTag BindTag(const TMDMTag& tag, size_t bones, double scale) {
    TMat3d axes{};
    for (int c = 0; c < 3; ++c)
        for (int row = 0; row < 3; ++row)
            axes[row][c] = Vec(tag.axis[c])[row];
    TSkinTag bound;
    bound.Name = NameToString(tag.name);
    TAffine local;
    if (tag.boneIndex >= 0 && size_t(tag.boneIndex) < bones) {
        bound.Joint = tag.boneIndex;
        local.Linear = Multiply(Multiply(MirrorY, axes), Transposed(GltfAxes()));
        local.Translation = Scaled(Vec(tag.offset), scale);
    } else {
        local.Linear =
            Multiply(Multiply(Multiply(GltfAxes(), NegateZ), axes), Transposed(GltfAxes()));
    }
    bound.Local = RoundedTrs(ToTrs(local));
    return bound;
}

} // namespace

std::optional<std::string> SkeletalExportProblem(const TMDM& mesh, const TMDX& animation,
                                                 const TFrameRange& frames) {
    if (animation.Bones.size() > 0xFFFF)
        return "the animation has " + std::to_string(animation.Bones.size()) +
               " bones; glTF joint indices hold at most 65535";
    for (int f = frames.First; f <= frames.Last; ++f)
        if (animation.Frames[f].BoneFrames.size() != animation.Bones.size())
            return "frame " + std::to_string(f) + " does not hold a record for each of the " +
                   std::to_string(animation.Bones.size()) + " bones";
    for (const TMDMSurface& surface : mesh.Surfaces) {
        const std::string name = "surface \"" + NameToString(surface.name) + "\"";
        for (size_t t = 0; t < surface.Triangles.size(); ++t)
            for (int32_t index : surface.Triangles[t].indexes)
                if (index < 0 || size_t(index) >= surface.Vertices.size())
                    return name + ": triangle " + std::to_string(t) + " names vertex " +
                           std::to_string(index) + " of " + std::to_string(surface.Vertices.size());
    }
    return std::nullopt;
}

TSkinData BindSkin(const TMDM& mesh, const TMDX& animation, const TExportPlan& plan) {
    TSkinData skin;
    skin.Joints = SampleJoints(mesh, animation, plan);
    for (const TJointSamples& joint : skin.Joints)
        skin.InverseBind.push_back(ColumnMajor(Inverse(joint.World.front())));
    for (size_t s = 0; s < mesh.Surfaces.size(); ++s)
        if (!mesh.Surfaces[s].Vertices.empty() && !mesh.Surfaces[s].Triangles.empty())
            skin.Surfaces.push_back(
                BindSurface(mesh, int(s), skin.Joints, plan.Scale, skin.TrimmedVertices));
    for (const TMDMTag& tag : mesh.Tags)
        skin.Tags.push_back(BindTag(tag, animation.Bones.size(), plan.Scale));
    return skin;
}

} // namespace quillon

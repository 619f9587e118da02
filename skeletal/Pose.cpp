// Posing works in three passes. Bones first, in index order so that every parent is placed before
// its children: a root sits at the origin, any other bone at its parent's position plus
// `parentDist` along the direction of its ofsAngles; its rotation comes from its own angles.
// Then each vertex is the weighted sum, over its weights, of the weight's offset taken out of
// the bone's space (inverse rotation, then the bone's position); normals likewise without the
// position. Tags are placed the same way from their single bone. The file's y axis points the
// other way, hence the mirrored y of offsets and normals, and the final z negation puts the
// result into the view's orientation.
#include "Pose.h"

#include <algorithm>
#include <cstring>

namespace quillon {

namespace {

inline float AngleDegrees(int16_t units) {
    return float(units) * MDXAngleUnit;
}

inline TVector MirrorY(TVector v) {
    return {v.x, -v.y, v.z};
}

inline TVector NegateZ(TVector v) {
    return {v.x, v.y, -v.z};
}

void PoseBones(TMDM& mesh, const TMDX& animation, const TMDXFrame& frame) {
    const size_t numBones = std::min(animation.Bones.size(), frame.BoneFrames.size());
    mesh.BonePositions.assign(numBones, VectorZero());
    mesh.BoneRotations.resize(numBones);
    mesh.BoneInverseRotations.resize(numBones);
    for (size_t i = 0; i < numBones; ++i) {
        const TMDXBoneFrame& bone = frame.BoneFrames[i];
        const int32_t parent = animation.Bones[i].parent;
        // A parent that does not come first would not be posed yet: such a bone is a root.
        if (parent >= 0 && size_t(parent) < i)
            mesh.BonePositions[i] =
                VectorAdd(mesh.BonePositions[parent],
                          BoneOffsetFromParent(bone, animation.Bones[i].parentDist));
        mesh.BoneRotations[i] = BoneRotation(bone);
        mesh.BoneInverseRotations[i] = mesh.BoneRotations[i];
        MatrixInvert(mesh.BoneInverseRotations[i]);
    }
}

// Four floats in one SIMD register; x, y and z of a sum are worked out side by side, each lane
// with the same operations in the same order as the sum written out for that axis.
typedef float TLanes __attribute__((vector_size(16)));

inline TLanes Splat(float f) {
    return TLanes{f, f, f, f};
}

inline TLanes Row(const TMatrix& m, int row) {
    TLanes r;
    std::memcpy(&r, &m.m[row * 4], sizeof r);
    return r;
}

// The point (x, y, z, 1) times m, lane by lane: x * row 0 + y * row 1 + z * row 2 + row 3.
inline TLanes Transform(TVector p, const TMatrix& m) {
    return Splat(p.x) * Row(m, 0) + Splat(p.y) * Row(m, 1) + Splat(p.z) * Row(m, 2) + Row(m, 3);
}

} // namespace

void PoseSurface(TMDM& mesh, int surface) {
    const size_t numBones = mesh.BonePositions.size();
    if (!mesh.HasSurface(surface)) {
        mesh.PosedPositions.clear();
        mesh.PosedNormals.clear();
        return;
    }
    const std::vector<TMDMVertex>& vertices = mesh.Surfaces[surface].Vertices;
    mesh.PosedPositions.resize(vertices.size());
    mesh.PosedNormals.resize(vertices.size());
    const TVector* bonePositions = mesh.BonePositions.data();
    const TMatrix* inverse = mesh.BoneInverseRotations.data();
    for (size_t v = 0; v < vertices.size(); ++v) {
        const TMDMVertex& vertex = vertices[v];
        const TVector normal = MirrorY(vertex.normal);
        TLanes position{}, posedNormal{};
        for (const TMDMWeight& weight : vertex.Weights) {
            // A bone the animation lacks contributes nothing (its share is lost).
            if (uint32_t(weight.boneIndex) >= numBones)
                continue;
            const TMatrix& m = inverse[weight.boneIndex];
            // Bone positions are held in the view's orientation; negating z again is exact.
            const TVector bone = NegateZ(bonePositions[weight.boneIndex]);
            const TLanes w = Splat(weight.boneWeight);
            position +=
                w * (Transform(MirrorY(weight.offset), m) + TLanes{bone.x, bone.y, bone.z, 0});
            posedNormal += w * Transform(normal, m);
        }
        mesh.PosedPositions[v] = {position[0], position[1], -position[2]};
        mesh.PosedNormals[v] = {posedNormal[0], posedNormal[1], -posedNormal[2]};
    }
}

namespace {

void PoseTags(TMDM& mesh) {
    const size_t numBones = mesh.BonePositions.size();
    mesh.TagPositions.resize(mesh.Tags.size());
    mesh.TagAxes.resize(mesh.Tags.size());
    for (size_t t = 0; t < mesh.Tags.size(); ++t) {
        const TMDMTag& tag = mesh.Tags[t];
        TVector position{};
        std::array<TVector, 3> axes{tag.axis[0], tag.axis[1], tag.axis[2]};
        // A tag on a bone the animation lacks stays at the origin with its axes as stored.
        if (uint32_t(tag.boneIndex) < numBones) {
            const TMatrix& m = mesh.BoneInverseRotations[tag.boneIndex];
            position = VectorAdd(mesh.BonePositions[tag.boneIndex],
                                 VectorTransform(MirrorY(tag.offset), m));
            for (TVector& axis : axes)
                axis = VectorTransform(axis, m);
        }
        mesh.TagPositions[t] = NegateZ(position);
        for (TVector& axis : axes)
            axis = NegateZ(axis);
        mesh.TagAxes[t] = axes;
    }
}

} // namespace

TMatrix BoneRotation(const TMDXBoneFrame& bone) {
    return MatrixMultiply(MatrixMultiply(RotationX(AngleDegrees(bone.angles[2])),
                                         RotationY(-AngleDegrees(bone.angles[0]))),
                          RotationZ(AngleDegrees(bone.angles[1])));
}

TVector BoneOffsetFromParent(const TMDXBoneFrame& bone, float parentDist) {
    const TSinCos pitch = SinCosDeg(-AngleDegrees(bone.ofsAngles[0]));
    const TSinCos yaw = SinCosDeg(AngleDegrees(bone.ofsAngles[1]));
    return VectorScale({pitch.cos * yaw.cos, -pitch.cos * yaw.sin, pitch.sin}, parentDist);
}

bool PoseSkeleton(TMDM& mesh, const TMDX& animation, int frame) {
    if (frame < 0 || uint32_t(frame) >= animation.Header.numFrames ||
        size_t(frame) >= animation.Frames.size())
        return false;
    PoseBones(mesh, animation, animation.Frames[frame]);
    PoseTags(mesh);
    for (TVector& p : mesh.BonePositions)
        p = NegateZ(p);
    return true;
}

void Pose(TMDM& mesh, const TMDX& animation, int frame, int surface) {
    if (PoseSkeleton(mesh, animation, frame))
        PoseSurface(mesh, surface);
}

} // namespace quillon

// Posing works in three passes. Bones first, in index order so that every parent is placed before
// its children: a root sits at the origin, any other bone at its parent's position plus
// `parentDist` along the direction of its ofsAngles; its rotation comes from its own angles.
// Then each vertex is the weighted sum, over its weights, of the weight's offset taken out of
// the bone's space (inverse rotation, then the bone's position); normals likewise without the
// position. Tags are placed the same way from their single bone. The file's y axis points the
// other way, hence the mirrored y of offsets and normals, and the final z negation puts the
// result into the view's orientation.
#include "Pose.h"

#include "core/Lanes.h"

#include <algorithm>
#include <cstddef>
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

// `Results` is TMDM or TPoseResults: the same fields either way.
template <class Results>
void PoseBones(const TMDX& animation, const TMDXFrame& frame, Results& results) {
    const size_t numBones = std::min(animation.Bones.size(), frame.BoneFrames.size());
    results.BonePositions.assign(numBones, VectorZero());
    results.BoneRotations.resize(numBones);
    results.BoneInverseRotations.resize(numBones);
    for (size_t i = 0; i < numBones; ++i) {
        const TMDXBoneFrame& bone = frame.BoneFrames[i];
        const int32_t parent = animation.Bones[i].parent;
        // A parent that does not come first would not be posed yet: such a bone is a root.
        if (parent >= 0 && size_t(parent) < i)
            results.BonePositions[i] =
                VectorAdd(results.BonePositions[parent],
                          BoneOffsetFromParent(bone, animation.Bones[i].parentDist));
        results.BoneRotations[i] = BoneRotation(bone);
        results.BoneInverseRotations[i] = results.BoneRotations[i];
        MatrixInvert(results.BoneInverseRotations[i]);
    }
}

template <class Results> void PoseTags(const TMDM& mesh, Results& results) {
    const size_t numBones = results.BonePositions.size();
    results.TagPositions.resize(mesh.Tags.size());
    results.TagAxes.resize(mesh.Tags.size());
    for (size_t t = 0; t < mesh.Tags.size(); ++t) {
        const TMDMTag& tag = mesh.Tags[t];
        TVector position{};
        std::array<TVector, 3> axes{tag.axis[0], tag.axis[1], tag.axis[2]};
        // A tag on a bone the animation lacks stays at the origin with its axes as stored.
        if (uint32_t(tag.boneIndex) < numBones) {
            const TMatrix& m = results.BoneInverseRotations[tag.boneIndex];
            position = VectorAdd(results.BonePositions[tag.boneIndex],
                                 VectorTransform(MirrorY(tag.offset), m));
            for (TVector& axis : axes)
                axis = VectorTransform(axis, m);
        }
        results.TagPositions[t] = NegateZ(position);
        for (TVector& axis : axes)
            axis = NegateZ(axis);
        results.TagAxes[t] = axes;
    }
}

template <class Results>
bool PoseSkeletonInto(const TMDM& mesh, const TMDX& animation, int frame, Results& results) {
    if (frame < 0 || uint32_t(frame) >= animation.Header.numFrames ||
        size_t(frame) >= animation.Frames.size())
        return false;
    PoseBones(animation, animation.Frames[frame], results);
    PoseTags(mesh, results);
    for (TVector& p : results.BonePositions)
        p = NegateZ(p);
    return true;
}

// The weighted sums work on x, y and z of a sum side by side in four lanes, each lane with the
// same operations in the same order as the sum written out for that axis. A bone as the sums
// use it: the rows of its inverse rotation, row 1 negated so that it takes the unmirrored y of
// offsets and normals ((-y) * m and y * (-m) are the same number), and its position in the
// file's orientation (the bone positions are held in the view's, and negating z is exact).
struct TBoneLanes {
    TFloat4 rows[4];
    TFloat4 position;
};

TFloat4 Row(const TMatrix& m, int row) {
    TFloat4 r;
    std::memcpy(&r, &m.m[size_t(row) * 4], sizeof r);
    return r;
}

template <class Results> void PrepareBones(const Results& results, std::vector<TBoneLanes>& bones) {
    bones.resize(std::min(results.BonePositions.size(), results.BoneInverseRotations.size()));
    for (size_t i = 0; i < bones.size(); ++i) {
        const TMatrix& m = results.BoneInverseRotations[i];
        const TVector p = results.BonePositions[i];
        bones[i] = {{Row(m, 0), -Row(m, 1), Row(m, 2), Row(m, 3)}, TFloat4{p.x, p.y, -p.z, 0}};
    }
}

// The weight and the offset's x, y and z in one load.
TFloat4 WeightAndOffset(const TMDMWeight& weight) {
    static_assert(offsetof(TMDMWeight, offset) == offsetof(TMDMWeight, boneWeight) + 4 &&
                  sizeof(TMDMWeight) == offsetof(TMDMWeight, boneWeight) + 16);
    TFloat4 lanes;
    std::memcpy(&lanes, reinterpret_cast<const char*>(&weight) + offsetof(TMDMWeight, boneWeight),
                sizeof lanes);
    return lanes;
}

template <int Lane> TFloat4 SplatLane(TFloat4 v) {
    return __builtin_shufflevector(v, v, Lane, Lane, Lane, Lane);
}

// The point (x, y, z, 1) times the bone's rotation, the coordinates given in every lane.
TFloat4 Transform(TFloat4 x, TFloat4 y, TFloat4 z, const TBoneLanes& bone) {
    return x * bone.rows[0] + y * bone.rows[1] + z * bone.rows[2] + bone.rows[3];
}

template <class Results> void PoseSurfaceInto(const TMDM& mesh, int surface, Results& results) {
    if (!mesh.HasSurface(surface)) {
        results.PosedPositions.clear();
        results.PosedNormals.clear();
        return;
    }
    std::vector<TBoneLanes> bones;
    PrepareBones(results, bones);
    const std::vector<TMDMVertex>& vertices = mesh.Surfaces[surface].Vertices;
    results.PosedPositions.resize(vertices.size());
    results.PosedNormals.resize(vertices.size());
    for (size_t v = 0; v < vertices.size(); ++v) {
        const TMDMVertex& vertex = vertices[v];
        const TFloat4 nx = Splat4(vertex.normal.x), ny = Splat4(vertex.normal.y),
                      nz = Splat4(vertex.normal.z);
        TFloat4 position{}, normal{};
        for (const TMDMWeight& weight : vertex.Weights) {
            // A bone the animation lacks contributes nothing (its share is lost).
            if (uint32_t(weight.boneIndex) >= bones.size())
                continue;
            const TBoneLanes& bone = bones[size_t(weight.boneIndex)];
            const TFloat4 wo = WeightAndOffset(weight);
            const TFloat4 w = SplatLane<0>(wo);
            position += w * (Transform(SplatLane<1>(wo), SplatLane<2>(wo), SplatLane<3>(wo), bone) +
                             bone.position);
            normal += w * Transform(nx, ny, nz, bone);
        }
        results.PosedPositions[v] = {position[0], position[1], -position[2]};
        results.PosedNormals[v] = {normal[0], normal[1], -normal[2]};
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
    return PoseSkeletonInto(mesh, animation, frame, mesh);
}

void PoseSurface(TMDM& mesh, int surface) {
    PoseSurfaceInto(mesh, surface, mesh);
}

bool PoseSkeleton(const TMDM& mesh, const TMDX& animation, int frame, TPoseResults& results) {
    return PoseSkeletonInto(mesh, animation, frame, results);
}

void PoseSurface(const TMDM& mesh, int surface, TPoseResults& results) {
    PoseSurfaceInto(mesh, surface, results);
}

void Pose(TMDM& mesh, const TMDX& animation, int frame, int surface) {
    if (PoseSkeleton(mesh, animation, frame))
        PoseSurface(mesh, surface);
}

} // namespace quillon

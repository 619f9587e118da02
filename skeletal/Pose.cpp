// Posing works in three passes. Bones first, in index order so that every parent is placed before
// its children: a root sits at the origin, any other bone at its parent's position plus
// `parentDist` along the direction of its ofsAngles; its rotation comes from its own angles.
// Then each vertex is the weighted sum, over its weights, of the weight's offset taken out of
// the bone's space (inverse rotation, then the bone's position); normals likewise without the
// position. Tags are placed the same way from their single bone. The file's y axis points the
// other way, hence the mirrored y of offsets and normals, and the final z negation puts the
// result into the view's orientation.
#include "Pose.h"

#include "PoseVersions.h"

#include "core/Assert.h"
#include "core/Lanes.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <bit>
#include <cstddef>
#include <cstring>
#include <span>

namespace quillon {

namespace {

inline float AngleDegrees(int16_t units) {
    return float(units) * MDXAngleUnit;
}

// SinCosDeg of an angle of the file, or of its negative. Placing the bones of a frame takes
// five per bone, and the long-double functions that give their exact floats are slow, while an
// angle has only 65536 values: each pair is worked out on first use and kept. An entry holds
// the bits of both floats, zero until known (no angle has a zero sine and a zero cosine); it is
// atomic because a bake poses its frames on several threads, which may fill it at once with
// the same bits.
TSinCos AngleSinCos(int16_t units, bool negated) {
    static std::array<std::atomic<uint64_t>, 2 * 65536> known{};
    std::atomic<uint64_t>& entry = known[size_t{negated} * 65536 + uint16_t(units)];
    uint64_t bits = entry.load(std::memory_order_relaxed);
    if (bits == 0) {
        const TSinCos t = SinCosDeg(negated ? -AngleDegrees(units) : AngleDegrees(units));
        bits = uint64_t{std::bit_cast<uint32_t>(t.sin)} << 32 | std::bit_cast<uint32_t>(t.cos);
        entry.store(bits, std::memory_order_relaxed);
    }
    return {std::bit_cast<float>(uint32_t(bits >> 32)), std::bit_cast<float>(uint32_t(bits))};
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

template <class Results> void PrepareBones(const Results& results, std::vector<TBoneLanes>& bones);

template <class Results>
bool PoseSkeletonInto(const TMDM& mesh, const TMDX& animation, int frame, Results& results) {
    if (frame < 0 || uint32_t(frame) >= animation.Header.numFrames ||
        size_t(frame) >= animation.Frames.size())
        return false;
    PoseBones(animation, animation.Frames[frame], results);
    PoseTags(mesh, results);
    for (TVector& p : results.BonePositions)
        p = NegateZ(p);
    if constexpr (std::is_same_v<Results, TPoseResults>)
        PrepareBones(results, results.BoneLanes);
    return true;
}

// The weighted sums of a vertex work in eight lanes: x, y and z of the position in lanes 0 to 2,
// those of the normal in lanes 4 to 6, each lane with the same operations in the same order as
// the sum written out for that axis. The normal's lanes also add the bone position's zero lanes,
// which changes no sum: it can only turn a -0 term into +0, and a sum that starts at +0 ends the
// same either way. A bone as the sums use it: each row of its inverse rotation twice over, row 1
// negated so that it takes the unmirrored y of offsets and normals ((-y) * m and y * (-m) are the
// same number), and its position in the file's orientation (the bone positions are held in the
// view's, and negating z is exact). On a processor with AVX2 the eight lanes are one register;
// elsewhere the compiler splits them into two of four.
template <class Results> void PrepareBones(const Results& results, std::vector<TBoneLanes>& bones) {
    bones.resize(std::min(results.BonePositions.size(), results.BoneInverseRotations.size()));
    for (size_t i = 0; i < bones.size(); ++i) {
        TBoneLanes& bone = bones[i];
        for (size_t r = 0; r < 4; ++r) {
            TFloat4 row;
            std::memcpy(&row, &results.BoneInverseRotations[i].m[r * 4], sizeof row);
            if (r == 1)
                row = -row;
            bone.rows[r] = __builtin_shufflevector(row, row, 0, 1, 2, 3, 0, 1, 2, 3);
        }
        const TVector p = results.BonePositions[i];
        bone.position = TFloat8{p.x, p.y, -p.z, 0, 0, 0, 0, 0};
    }
}

// The vertices of a surface as TMDMSurface holds them, each with its own array of weights.
struct TMeshVertices {
    const TMDMVertex* vertices;

    const TVector& Normal(size_t v) const { return vertices[v].normal; }
    std::span<const TMDMWeight> Weights(size_t v) const { return vertices[v].Weights; }
};

// The vertices of a TPackedSurface.
struct TPackedVertices {
    const TVector* normals;
    const uint32_t* firstWeights;
    const TMDMWeight* weights;

    const TVector& Normal(size_t v) const { return normals[v]; }
    std::span<const TMDMWeight> Weights(size_t v) const {
        return {weights + firstWeights[v], weights + firstWeights[v + 1]};
    }
};

TPackedVertices VerticesOf(const TPackedSurface& surface) {
    return {surface.Normals.data(), surface.FirstWeights.data(), surface.Weights.data()};
}

// The sums of `Frames` frames at once: each weight is read and spread over the lanes once for
// all of them, and the frames' sums, independent of each other, keep the processor busier.
template <class Vertices, size_t Frames> struct TSurfaceSums {
    Vertices vertices;
    size_t count;
    struct TFrame {
        const TBoneLanes* bones;
        size_t numBones;
        TVector* positions;
        TVector* normals;
    } frames[Frames];
};

// Written with inlined helpers only, so that each of the two versions below gets it compiled for
// its own processor.
template <class Vertices, size_t Frames>
[[gnu::always_inline]] inline void PoseVertices(const TSurfaceSums<Vertices, Frames>& s) {
    for (size_t v = 0; v < s.count; ++v) {
        const TVector& n = s.vertices.Normal(v);
        // The normal's x, y and z, each in every lane; the position's lanes take the offset's
        // in their place below (a broadcast load and a blend, cheaper than moving values
        // across the halves of an AVX register).
        const TFloat8 nx = Splat<TFloat8>(n.x), ny = Splat<TFloat8>(n.y), nz = Splat<TFloat8>(n.z);
        TFloat8 sums[Frames] = {};
        for (const TMDMWeight& weight : s.vertices.Weights(v)) {
            const TFloat8 x = JoinHalves(Splat<TFloat8>(weight.offset.x), nx);
            const TFloat8 y = JoinHalves(Splat<TFloat8>(weight.offset.y), ny);
            const TFloat8 z = JoinHalves(Splat<TFloat8>(weight.offset.z), nz);
            const TFloat8 w = Splat<TFloat8>(weight.boneWeight);
#pragma GCC unroll 4
            for (size_t f = 0; f < Frames; ++f) {
                // A bone the animation lacks contributes nothing (its share is lost).
                if (uint32_t(weight.boneIndex) >= s.frames[f].numBones)
                    continue;
                const TBoneLanes& bone = s.frames[f].bones[size_t(weight.boneIndex)];
                sums[f] += w * (x * bone.rows[0] + y * bone.rows[1] + z * bone.rows[2] +
                                bone.rows[3] + bone.position);
            }
        }
#pragma GCC unroll 4
        for (size_t f = 0; f < Frames; ++f) {
            s.frames[f].positions[v] = {sums[f][0], sums[f][1], -sums[f][2]};
            s.frames[f].normals[v] = {sums[f][4], sums[f][5], -sums[f][6]};
        }
    }
}

#if defined(__x86_64__)
template <class Vertices, size_t Frames>
__attribute__((target("avx2"))) void PoseVerticesWithAvx2(const TSurfaceSums<Vertices, Frames>& s) {
    PoseVertices(s);
}
#endif

template <class Vertices, size_t Frames>
void PoseVerticesOnAnyProcessor(const TSurfaceSums<Vertices, Frames>& s) {
    PoseVertices(s);
}

// Poses `count` vertices in each of `results`, from the bones placed there.
template <class Vertices, class Results, size_t Frames>
void PoseVerticesInto(Vertices vertices, size_t count, const std::array<Results*, Frames>& results,
                      TInstructionSet set) {
    QUILLON_ASSERT(HasInstructionSet(set));
    TSurfaceSums<Vertices, Frames> sums{vertices, count, {}};
    // TPoseResults has its bones laid out already; for a mesh it is done here.
    std::vector<TBoneLanes> placed[Frames];
    for (size_t f = 0; f < Frames; ++f) {
        Results& r = *results[f];
        const std::vector<TBoneLanes>* bones = &placed[f];
        if constexpr (std::is_same_v<Results, TPoseResults>)
            bones = &r.BoneLanes;
        else
            PrepareBones(r, placed[f]);
        r.PosedPositions.resize(count);
        r.PosedNormals.resize(count);
        sums.frames[f] = {bones->data(), bones->size(), r.PosedPositions.data(),
                          r.PosedNormals.data()};
    }
#if defined(__x86_64__)
    if (set == TInstructionSet::Avx2)
        return PoseVerticesWithAvx2(sums);
#endif
    PoseVerticesOnAnyProcessor(sums);
}

template <class Results>
void PoseSurfaceInto(const TMDM& mesh, int surface, Results& results, TInstructionSet set) {
    if (!mesh.HasSurface(surface)) {
        results.PosedPositions.clear();
        results.PosedNormals.clear();
        return;
    }
    const std::vector<TMDMVertex>& vertices = mesh.Surfaces[surface].Vertices;
    PoseVerticesInto(TMeshVertices{vertices.data()}, vertices.size(), std::array{&results}, set);
}

} // namespace

TMatrix BoneRotation(const TMDXBoneFrame& bone) {
    return MatrixMultiply(MatrixMultiply(RotationX(AngleSinCos(bone.angles[2], false)),
                                         RotationY(AngleSinCos(bone.angles[0], true))),
                          RotationZ(AngleSinCos(bone.angles[1], false)));
}

TVector BoneOffsetFromParent(const TMDXBoneFrame& bone, float parentDist) {
    const TSinCos pitch = AngleSinCos(bone.ofsAngles[0], true);
    const TSinCos yaw = AngleSinCos(bone.ofsAngles[1], false);
    return VectorScale({pitch.cos * yaw.cos, -pitch.cos * yaw.sin, pitch.sin}, parentDist);
}

bool PoseSkeleton(TMDM& mesh, const TMDX& animation, int frame) {
    return PoseSkeletonInto(mesh, animation, frame, mesh);
}

void PoseSurface(TMDM& mesh, int surface) {
    PoseSurfaceInto(mesh, surface, mesh, FastestInstructionSet());
}

bool PoseSkeleton(const TMDM& mesh, const TMDX& animation, int frame, TPoseResults& results) {
    return PoseSkeletonInto(mesh, animation, frame, results);
}

void PoseSurface(const TMDM& mesh, int surface, TPoseResults& results) {
    PoseSurfaceInto(mesh, surface, results, FastestInstructionSet());
}

void PoseSurface(const TMDM& mesh, int surface, TPoseResults& results, TInstructionSet set) {
    PoseSurfaceInto(mesh, surface, results, set);
}

TPackedSurface::TPackedSurface(const TMDMSurface& surface) {
    Normals.reserve(surface.Vertices.size());
    FirstWeights.reserve(surface.Vertices.size() + 1);
    FirstWeights.push_back(0);
    for (const TMDMVertex& vertex : surface.Vertices) {
        Normals.push_back(vertex.normal);
        Weights.insert(Weights.end(), vertex.Weights.begin(), vertex.Weights.end());
        FirstWeights.push_back(uint32_t(Weights.size()));
    }
}

void PoseSurface(const TPackedSurface& surface, TPoseResults& results) {
    PoseSurface(surface, results, FastestInstructionSet());
}

void PoseSurface(const TPackedSurface& surface, TPoseResults& results, TInstructionSet set) {
    PoseVerticesInto(VerticesOf(surface), surface.Normals.size(), std::array{&results}, set);
}

void PoseSurface(const TPackedSurface& surface, TPoseResults& first, TPoseResults& second) {
    PoseSurface(surface, first, second, FastestInstructionSet());
}

void PoseSurface(const TPackedSurface& surface, TPoseResults& first, TPoseResults& second,
                 TInstructionSet set) {
    // Without AVX the two frames' sums take twice the registers, which SSE2 does not have: there
    // the frames are posed one after the other.
    if (set == TInstructionSet::AnyProcessor) {
        PoseSurface(surface, first, set);
        PoseSurface(surface, second, set);
        return;
    }
    PoseVerticesInto(VerticesOf(surface), surface.Normals.size(), std::array{&first, &second}, set);
}

void Pose(TMDM& mesh, const TMDX& animation, int frame, int surface) {
    if (PoseSkeleton(mesh, animation, frame))
        PoseSurface(mesh, surface);
}

} // namespace quillon

// A glTF scene as an import source. Every mesh primitive of the scene's nodes becomes a surface
// (strips and fans turned into triangles, points and lines refused) holding only the vertices
// its triangles use; nodes whose name starts with "tag_" become tags. The chosen animations are
// sampled at a fixed rate or at their own key times, and each sample is posed as glTF defines
// it: node transforms down the tree, morph targets blended by their weights, skinned vertices
// moved by their joints' world transforms and inverse bind matrices.
#pragma once

#include "GltfAccessors.h"
#include "GltfAnimationSampler.h"
#include "GltfSceneGraph.h"
#include "ImportSettings.h"
#include "ImportSource.h"

#include <tiny_gltf.h>

#include <array>
#include <string>
#include <vector>

namespace quillon {

// Vertices a primitive, and all primitives together, may bring before any is read.
inline constexpr size_t MaxGltfPrimitiveVertices = size_t(1) << 20;
inline constexpr size_t MaxGltfImportVertices = size_t(1) << 22;

class TGltfImportSource : public IImportSource {
public:
    // Reads the document's scene and chosen animations; false with Failure() and Error() when it
    // cannot be imported. Warnings are appended to `warnings`. `model` must outlive the source.
    [[nodiscard]] bool Build(const tinygltf::Model& model, const TImportOptions& options,
                             std::vector<std::string>& warnings);
    TImportFailure Failure() const { return FailureKind; }
    const std::string& Error() const { return LastError; }
    const std::vector<TImportedClip>& Clips() const { return ClipList; }

    const std::vector<TImportSurface>& Surfaces() const override { return SurfaceList; }
    const std::vector<std::string>& TagNames() const override { return TagList; }
    const std::vector<std::string>& FrameNames() const override { return FrameNameList; }
    bool Pose(size_t frame, TImportPose& pose, std::string& error) override;

private:
    struct TPrimitiveData {
        int Node = -1;
        int Skin = -1;
        std::vector<TVec3d> Positions;
        std::vector<TVec3d> Normals; // empty when the file has none
        std::vector<std::vector<TVec3d>> TargetPositions, TargetNormals;
        std::vector<std::array<uint32_t, 4>> Joints;
        std::vector<std::array<double, 4>> Weights;
    };
    struct TSkinData {
        std::vector<int> Joints;
        std::vector<TAffine> InverseBind;
    };
    struct TFrameTime {
        int Sampler = -1; // -1: the resting pose
        double Time = 0;
    };

    bool Fail(TImportFailure failure, std::string error);
    bool ReadMeshes(const TImportOptions& options, std::vector<std::string>& warnings);
    bool ReadPrimitive(int node, const tinygltf::Mesh& mesh, size_t p,
                       const TImportOptions& options, std::vector<std::string>& warnings);
    bool ReadSkin(int skin);
    bool ReadAnimations(const TImportOptions& options);
    bool AddSamples(const TGltfAnimationSampler& sampler, const std::string& name,
                    const tinygltf::Value& extras, const TImportOptions& options);
    std::vector<double> MorphWeights(const TPrimitiveData& data,
                                     const std::vector<std::vector<double>>& animated) const;
    std::string UniqueName(const std::string& name);

    const tinygltf::Model* Document = nullptr;
    TGltfAccessors* Accessors = nullptr;
    TGltfSceneGraph Graph;
    std::vector<TPrimitiveData> Primitives;
    std::vector<TSkinData> Skins;
    std::vector<bool> SkinRead;
    std::vector<int> TagNodes;
    std::vector<TGltfAnimationSampler> Samplers;
    std::vector<TFrameTime> FrameTimes;
    size_t VerticesRead = 0;

    std::vector<TImportSurface> SurfaceList;
    std::vector<std::string> TagList;
    std::vector<std::string> FrameNameList;
    std::vector<TImportedClip> ClipList;
    TImportFailure FailureKind = TImportFailure::None;
    std::string LastError;
};

} // namespace quillon

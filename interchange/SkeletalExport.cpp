#include "SkeletalExport.h"

#include "GltfAnimation.h"
#include "GltfMesh.h"
#include "MD3Export.h"
#include "SkinBinding.h"
#include "SkinCheck.h"
#include "skeletal/Bake.h"

namespace quillon {

namespace {

int AddInverseBindMatrices(TGltfBuilder& builder, const TSkinData& skin) {
    std::vector<float> values;
    for (const auto& m : skin.InverseBind)
        values.insert(values.end(), m.begin(), m.end());
    return builder.AddFloats(values, TINYGLTF_TYPE_MAT4, false);
}

// The skeleton's node holds the root joints and the tags whose bone is missing; the joints hold
// their children and their tags.
int AddSkeletonNodes(TGltfBuilder& builder, const TSkinData& skin, const std::string& name,
                     std::vector<int>& jointNodes) {
    tinygltf::Node skeleton;
    skeleton.name = name;
    const int root = builder.AddNode(std::move(skeleton));
    for (const TJointSamples& joint : skin.Joints) {
        tinygltf::Node node;
        node.name = joint.Name;
        jointNodes.push_back(builder.AddNode(std::move(node)));
        const int parent = joint.Parent >= 0 ? jointNodes[joint.Parent] : root;
        builder.Document().nodes[parent].children.push_back(jointNodes.back());
    }
    for (const TSkinTag& tag : skin.Tags) {
        tinygltf::Node node;
        node.name = tag.Name;
        SetNodeTransform(node, tag.Local);
        const int index = builder.AddNode(std::move(node));
        const int parent = tag.Joint >= 0 ? jointNodes[tag.Joint] : root;
        builder.Document().nodes[parent].children.push_back(index);
    }
    return root;
}

std::vector<int> AddSkin(TGltfBuilder& builder, const TSkinData& skin, const TMDX& animation,
                         const TExportPlan& plan, const std::vector<TSurfaceMaterial>& materials,
                         TMaterialTable& table, TExportSummary& summary) {
    std::vector<int> jointNodes;
    const std::string name = NameToString(animation.Header.name);
    const int root = AddSkeletonNodes(builder, skin, name.empty() ? "skeleton" : name, jointNodes);
    std::vector<int> roots{root};
    if (!skin.Surfaces.empty()) {
        tinygltf::Skin entry;
        entry.name = builder.Document().nodes[root].name;
        entry.joints = jointNodes;
        entry.skeleton = root;
        entry.inverseBindMatrices = AddInverseBindMatrices(builder, skin);
        builder.Document().skins.push_back(std::move(entry));
    }
    for (const TSkinnedSurface& surface : skin.Surfaces) {
        TMeshData mesh = surface.Mesh;
        if (size_t(surface.Surface) < materials.size())
            mesh.Material = table.MaterialFor(materials[surface.Surface], mesh.Name);
        tinygltf::Node node;
        node.name = mesh.Name;
        node.mesh = AddMesh(builder, mesh);
        node.skin = int(builder.Document().skins.size() - 1);
        roots.push_back(builder.AddNode(std::move(node)));
        ++summary.Meshes;
        summary.Vertices += int(surface.Vertices.size());
    }
    std::vector<TNodeTrack> tracks;
    for (size_t j = 0; j < skin.Joints.size(); ++j)
        tracks.push_back({jointNodes[j], skin.Joints[j].Local});
    summary.Joints = int(skin.Joints.size());
    summary.TrimmedVertices = skin.TrimmedVertices;
    if (skin.TrimmedVertices > 0)
        summary.Warnings.push_back(std::to_string(skin.TrimmedVertices) +
                                   " vertices have more than four weights: the four largest were "
                                   "kept and scaled to sum to one");
    summary.Animations += AddAnimations(builder, plan, tracks, {}, {});
    return roots;
}

std::string DeviationText(const TMDM& mesh, const TSkinDeviation& d) {
    return "surface \"" + NameToString(mesh.Surfaces[d.Surface].name) + "\" vertex " +
           std::to_string(d.Vertex) + " lies " + std::to_string(d.Distance) +
           " units from its posed place at frame " + std::to_string(d.Frame);
}

// The posed frames baked into an MD3 model, exported as morph targets. The baked frames are named
// after the animation frames they come from.
TSkeletalNodes AddBakedFrames(TGltfBuilder& builder, const TMDM& mesh, const TMDX& animation,
                              const TExportPlan& plan,
                              const std::vector<TSurfaceMaterial>& materials, TMaterialTable& table,
                              TExportSummary& summary) {
    TMD3 baked;
    if (auto error =
            BakeToMD3(mesh, animation, plan.Frames.First, plan.Frames.Last, baked, plan.Threads))
        return {{}, "the posed frames cannot be baked: " + *error};
    if (auto problem = MD3SizeProblem(baked, {0, plan.Frames.Count() - 1}))
        return {{}, problem};
    for (int f = 0; f < plan.Frames.Count(); ++f)
        StringToName("frame " + std::to_string(plan.Frames.First + f), baked.Header.Frames[f].name);
    TExportPlan shifted = plan;
    shifted.Frames = {0, plan.Frames.Count() - 1};
    for (TAnimationClip& clip : shifted.Clips)
        clip.Frames = {clip.Frames.First - plan.Frames.First, clip.Frames.Last - plan.Frames.First};
    summary.SkeletalAsMorph = true;
    return {AddMD3(builder, baked, shifted, materials, table, summary), std::nullopt};
}

} // namespace

TSkeletalNodes AddSkeletal(TGltfBuilder& builder, const TMDM& mesh, const TMDX& animation,
                           const TExportPlan& plan, TSkeletalMode mode,
                           const std::vector<TSurfaceMaterial>& materials, TMaterialTable& table,
                           TExportSummary& summary) {
    if (auto problem = SkeletalExportProblem(mesh, animation, plan.Frames))
        return {{}, problem};
    if (mode == TSkeletalMode::Morph)
        return AddBakedFrames(builder, mesh, animation, plan, materials, table, summary);
    if (animation.Bones.empty() && !mesh.Surfaces.empty()) {
        summary.Warnings.push_back(
            "the animation has no bones to make joints of; the posed frames are exported as "
            "morph targets");
        return AddBakedFrames(builder, mesh, animation, plan, materials, table, summary);
    }
    const TSkinData skin = BindSkin(mesh, animation, plan);
    if (const auto deviation = FindSkinDeviation(skin, plan)) {
        summary.Warnings.push_back("the weights cannot be followed by a glTF skin (" +
                                   DeviationText(mesh, *deviation) +
                                   "); the posed frames are exported as morph targets");
        return AddBakedFrames(builder, mesh, animation, plan, materials, table, summary);
    }
    return {AddSkin(builder, skin, animation, plan, materials, table, summary), std::nullopt};
}

} // namespace quillon

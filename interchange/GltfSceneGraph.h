// The node tree of a glTF document as the import walks it: every node's parent, the nodes of the
// chosen scene in an order that puts each parent before its children, and every node's resting
// local transform. A node named as a child twice, a child that does not exist and a cycle of
// nodes are refused here, so nothing later follows a broken tree.
#pragma once

#include "GltfTransform.h"

#include <tiny_gltf.h>

#include <optional>
#include <string>
#include <vector>

namespace quillon {

class TGltfSceneGraph {
public:
    // False with the reason in `error`.
    [[nodiscard]] bool Build(const tinygltf::Model& model, std::string& error);

    // The nodes of the default scene (the first, or every root node of a file without scenes),
    // parents before children.
    const std::vector<int>& SceneNodes() const { return Order; }
    int Parent(int node) const { return Parents[node]; }
    const TTrs& Rest(int node) const { return RestPose[node]; }
    // A node given as a matrix keeps it exactly; animation channels replace its parts only
    // for nodes given as translation, rotation and scale, as glTF requires.
    bool HasMatrix(int node) const { return Matrices[node].has_value(); }
    const TAffine& Matrix(int node) const { return *Matrices[node]; }

    // World transforms of every node of the scene from local ones (indexed by node).
    void WorldTransforms(const std::vector<TAffine>& local, std::vector<TAffine>& world) const;

private:
    bool FindParents(const tinygltf::Model& model, std::string& error);
    bool OrderScene(const tinygltf::Model& model, std::string& error);
    bool ReadRestPose(const tinygltf::Model& model, std::string& error);

    std::vector<int> Parents;
    std::vector<int> Order;
    std::vector<TTrs> RestPose;
    std::vector<std::optional<TAffine>> Matrices;
};

} // namespace quillon

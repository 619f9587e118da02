#include "GltfSceneGraph.h"

#include <algorithm>
#include <cmath>

namespace quillon {

namespace {

bool AllFinite(const std::vector<double>& values) {
    for (double v : values)
        if (!std::isfinite(v))
            return false;
    return true;
}

std::string NodeText(int node) {
    return "node " + std::to_string(node);
}

} // namespace

bool TGltfSceneGraph::FindParents(const tinygltf::Model& model, std::string& error) {
    const int count = int(model.nodes.size());
    Parents.assign(count, -1);
    for (int n = 0; n < count; ++n)
        for (int child : model.nodes[n].children) {
            if (child < 0 || child >= count) {
                error = NodeText(n) + " names child " + std::to_string(child) + " of " +
                        std::to_string(count) + " nodes";
                return false;
            }
            if (Parents[child] != -1 || child == n) {
                error = NodeText(child) + " is a child of both " + NodeText(Parents[child]) +
                        " and " + NodeText(n);
                if (child == n)
                    error = NodeText(n) + " is its own child";
                return false;
            }
            Parents[child] = n;
        }
    return true;
}

bool TGltfSceneGraph::OrderScene(const tinygltf::Model& model, std::string& error) {
    std::vector<int> roots;
    const int scene = model.defaultScene >= 0 ? model.defaultScene : 0;
    if (size_t(scene) < model.scenes.size()) {
        roots = model.scenes[scene].nodes;
    } else if (model.defaultScene >= 0) {
        error = "the default scene " + std::to_string(scene) + " does not exist";
        return false;
    } else {
        for (int n = 0; n < int(model.nodes.size()); ++n)
            if (Parents[n] == -1)
                roots.push_back(n);
    }
    std::vector<bool> seen(model.nodes.size(), false);
    for (int root : roots) {
        if (root < 0 || size_t(root) >= model.nodes.size()) {
            error =
                "the scene names " + NodeText(root) + " of " + std::to_string(model.nodes.size());
            return false;
        }
        if (Parents[root] != -1 || seen[root]) {
            error = "the scene names " + NodeText(root) + ", which is not a root node";
            return false;
        }
        // Breadth first, without recursion: a chain of many thousand nodes is fine.
        const size_t first = Order.size();
        Order.push_back(root);
        seen[root] = true;
        for (size_t i = first; i < Order.size(); ++i)
            for (int child : model.nodes[Order[i]].children) {
                seen[child] = true;
                Order.push_back(child);
            }
    }
    // With one parent per node, a node that no walk down from the parentless nodes reaches
    // lies on a cycle (or below one).
    std::vector<int> reached;
    for (int n = 0; n < int(model.nodes.size()); ++n)
        if (Parents[n] == -1)
            reached.push_back(n);
    for (size_t i = 0; i < reached.size(); ++i)
        for (int child : model.nodes[reached[i]].children)
            reached.push_back(child);
    if (reached.size() != model.nodes.size()) {
        std::vector<bool> found(model.nodes.size(), false);
        for (int n : reached)
            found[n] = true;
        const int first = int(std::find(found.begin(), found.end(), false) - found.begin());
        error = NodeText(first) + " is part of a cycle of nodes";
        return false;
    }
    return true;
}

bool TGltfSceneGraph::ReadRestPose(const tinygltf::Model& model, std::string& error) {
    RestPose.assign(model.nodes.size(), TTrs{});
    Matrices.assign(model.nodes.size(), std::nullopt);
    for (size_t n = 0; n < model.nodes.size(); ++n) {
        const tinygltf::Node& node = model.nodes[n];
        const std::string what = NodeText(int(n));
        if (!AllFinite(node.matrix) || !AllFinite(node.translation) || !AllFinite(node.rotation) ||
            !AllFinite(node.scale)) {
            error = what + " has a transform that is not a number";
            return false;
        }
        if (node.matrix.size() == 16) {
            TAffine m;
            for (int c = 0; c < 3; ++c)
                for (int row = 0; row < 3; ++row)
                    m.Linear[row][c] = node.matrix[c * 4 + row];
            for (int row = 0; row < 3; ++row)
                m.Translation[row] = node.matrix[12 + row];
            Matrices[n] = m;
            continue;
        }
        TTrs& trs = RestPose[n];
        if (node.translation.size() == 3)
            trs.Translation = {node.translation[0], node.translation[1], node.translation[2]};
        if (node.scale.size() == 3)
            trs.Scale = {node.scale[0], node.scale[1], node.scale[2]};
        if (node.rotation.size() == 4) {
            const auto& q = node.rotation;
            const double length = std::sqrt(q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3]);
            if (length > 0)
                trs.Rotation = {q[0] / length, q[1] / length, q[2] / length, q[3] / length};
        }
    }
    return true;
}

bool TGltfSceneGraph::Build(const tinygltf::Model& model, std::string& error) {
    Order.clear();
    return FindParents(model, error) && OrderScene(model, error) && ReadRestPose(model, error);
}

void TGltfSceneGraph::WorldTransforms(const std::vector<TAffine>& local,
                                      std::vector<TAffine>& world) const {
    world.resize(local.size());
    for (int node : Order)
        world[node] =
            Parents[node] == -1 ? local[node] : Compose(world[Parents[node]], local[node]);
}

} // namespace quillon

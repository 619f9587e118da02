// One glTF animation evaluated at any time as the format defines it: each channel's keys are
// checked (times finite and ascending, as many values as the interpolation needs) when the
// animation is read, then at a time each channel gives its node's translation, rotation, scale
// or morph weights by STEP, LINEAR (spherical for rotations) or CUBICSPLINE interpolation, held
// at the first and last key outside the keys' span.
#pragma once

#include "GltfAccessors.h"
#include "GltfTransform.h"

#include <string>
#include <vector>

namespace quillon {

class TGltfAnimationSampler {
public:
    // `morphTargets` gives the number of morph targets of each node's mesh (0 without one).
    [[nodiscard]] bool Build(const tinygltf::Model& model, int animation, TGltfAccessors& accessors,
                             const std::vector<size_t>& morphTargets, std::string& error);

    double Start() const { return First; }
    double End() const { return Last; }
    // Every key time of every channel, ascending, each once.
    std::vector<double> KeyTimes() const;
    // Whether a channel drives the transform of `node`.
    bool Drives(int node) const;

    // Sets what the channels drive at time `t`: parts of `locals` and whole `weights` entries
    // (both indexed by node).
    void Apply(double t, std::vector<TTrs>& locals,
               std::vector<std::vector<double>>& weights) const;

private:
    enum class TPath { Translation, Rotation, Scale, Weights };
    enum class TInterpolation { Step, Linear, CubicSpline };
    struct TChannel {
        int Node = -1;
        TPath Path = TPath::Translation;
        TInterpolation Interpolation = TInterpolation::Linear;
        size_t Width = 0; // values per key
        std::vector<float> Times;
        std::vector<float> Values;
    };
    bool ReadChannel(const tinygltf::Model& model, const tinygltf::Animation& animation,
                     const tinygltf::AnimationChannel& channel, TGltfAccessors& accessors,
                     const std::vector<size_t>& morphTargets, std::string& error);
    static std::vector<double> Evaluate(const TChannel& channel, double t);

    std::vector<TChannel> Channels;
    double First = 0, Last = 0;
};

} // namespace quillon

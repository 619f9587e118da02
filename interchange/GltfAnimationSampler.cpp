#include "GltfAnimationSampler.h"

#include <algorithm>
#include <cmath>

namespace quillon {

namespace {

std::vector<double> Slerp(const float* a, const float* b, double u) {
    double dot = 0;
    for (int c = 0; c < 4; ++c)
        dot += double(a[c]) * b[c];
    const double sign = dot < 0 ? -1 : 1; // the short way round
    dot = std::fabs(dot);
    double wa = 1 - u, wb = u;
    if (dot < 0.9995) {
        const double angle = std::acos(dot);
        wa = std::sin((1 - u) * angle) / std::sin(angle);
        wb = std::sin(u * angle) / std::sin(angle);
    }
    std::vector<double> q(4);
    for (int c = 0; c < 4; ++c)
        q[c] = wa * a[c] + sign * wb * b[c];
    return q;
}

void Normalize(std::vector<double>& q) {
    double length = 0;
    for (double c : q)
        length += c * c;
    length = std::sqrt(length);
    if (length > 0)
        for (double& c : q)
            c /= length;
    else
        q = {0, 0, 0, 1};
}

TVec3d Vec3(const std::vector<double>& v) {
    return {v[0], v[1], v[2]};
}

} // namespace

bool TGltfAnimationSampler::ReadChannel(const tinygltf::Model& model,
                                        const tinygltf::Animation& animation,
                                        const tinygltf::AnimationChannel& channel,
                                        TGltfAccessors& accessors,
                                        const std::vector<size_t>& morphTargets,
                                        std::string& error) {
    const std::string what = "animation \"" + animation.name + "\": ";
    if (channel.sampler < 0 || size_t(channel.sampler) >= animation.samplers.size()) {
        error = what + "a channel names sampler " + std::to_string(channel.sampler) +
                ", which does not exist";
        return false;
    }
    if (channel.target_node < 0 || size_t(channel.target_node) >= model.nodes.size()) {
        error = what + "a channel drives node " + std::to_string(channel.target_node) +
                ", which does not exist";
        return false;
    }
    TChannel c;
    c.Node = channel.target_node;
    const std::string& path = channel.target_path;
    if (path == "translation" || path == "scale") {
        c.Path = path == "scale" ? TPath::Scale : TPath::Translation;
        c.Width = 3;
    } else if (path == "rotation") {
        c.Path = TPath::Rotation;
        c.Width = 4;
    } else if (path == "weights") {
        c.Path = TPath::Weights;
        c.Width = morphTargets[c.Node];
        if (c.Width == 0) {
            error = what + "a channel drives the morph weights of node " + std::to_string(c.Node) +
                    ", whose mesh has no morph targets";
            return false;
        }
    } else {
        return true; // a path from an extension: nothing an MD3 can hold
    }
    const tinygltf::AnimationSampler& sampler = animation.samplers[channel.sampler];
    if (sampler.interpolation == "STEP")
        c.Interpolation = TInterpolation::Step;
    else if (sampler.interpolation == "CUBICSPLINE")
        c.Interpolation = TInterpolation::CubicSpline;
    if (!accessors.Floats(sampler.input, 1, c.Times)) {
        error = what + "key times: " + accessors.Error();
        return false;
    }
    if (c.Times.empty() || !std::isfinite(c.Times.front()) ||
        !std::is_sorted(c.Times.begin(), c.Times.end()) || !std::isfinite(c.Times.back())) {
        error = what + "the key times of accessor " + std::to_string(sampler.input) +
                " are not finite ascending numbers";
        return false;
    }
    // Weights are one scalar per target; the other paths have vectors.
    const int components = c.Path == TPath::Weights ? 1 : int(c.Width);
    if (!accessors.Floats(sampler.output, components, c.Values)) {
        error = what + "key values: " + accessors.Error();
        return false;
    }
    const size_t perKey = c.Width * (c.Interpolation == TInterpolation::CubicSpline ? 3 : 1);
    if (c.Values.size() != c.Times.size() * perKey) {
        error = what + "accessor " + std::to_string(sampler.output) + " holds " +
                std::to_string(c.Values.size()) + " values for " + std::to_string(c.Times.size()) +
                " keys of " + std::to_string(perKey);
        return false;
    }
    Channels.push_back(std::move(c));
    return true;
}

bool TGltfAnimationSampler::Build(const tinygltf::Model& model, int index,
                                  TGltfAccessors& accessors,
                                  const std::vector<size_t>& morphTargets, std::string& error) {
    Channels.clear();
    const tinygltf::Animation& animation = model.animations[index];
    for (const tinygltf::AnimationChannel& channel : animation.channels)
        if (!ReadChannel(model, animation, channel, accessors, morphTargets, error))
            return false;
    First = Last = 0;
    for (size_t i = 0; i < Channels.size(); ++i) {
        First =
            i == 0 ? Channels[i].Times.front() : std::min<double>(First, Channels[i].Times.front());
        Last = i == 0 ? Channels[i].Times.back() : std::max<double>(Last, Channels[i].Times.back());
    }
    return true;
}

std::vector<double> TGltfAnimationSampler::KeyTimes() const {
    std::vector<double> times;
    for (const TChannel& channel : Channels)
        times.insert(times.end(), channel.Times.begin(), channel.Times.end());
    std::sort(times.begin(), times.end());
    times.erase(std::unique(times.begin(), times.end(),
                            [](double a, double b) { return std::fabs(a - b) < 1e-6; }),
                times.end());
    return times;
}

bool TGltfAnimationSampler::Drives(int node) const {
    for (const TChannel& channel : Channels)
        if (channel.Node == node && channel.Path != TPath::Weights)
            return true;
    return false;
}

std::vector<double> TGltfAnimationSampler::Evaluate(const TChannel& c, double t) {
    const size_t keys = c.Times.size();
    const bool cubic = c.Interpolation == TInterpolation::CubicSpline;
    const size_t stride = c.Width * (cubic ? 3 : 1);
    const size_t valueAt = cubic ? c.Width : 0; // a cubic key holds in-tangent, value, out-tangent
    auto key = [&](size_t k) { return &c.Values[k * stride + valueAt]; };
    auto whole = [&](size_t k) { return std::vector<double>(key(k), key(k) + c.Width); };

    const size_t next =
        size_t(std::upper_bound(c.Times.begin(), c.Times.end(), t) - c.Times.begin());
    if (next == 0)
        return whole(0);
    if (next == keys)
        return whole(keys - 1);
    const size_t k = next - 1;
    const double span = double(c.Times[next]) - c.Times[k];
    const double u = span > 0 ? (t - c.Times[k]) / span : 1;
    std::vector<double> value(c.Width);
    switch (c.Interpolation) {
    case TInterpolation::Step:
        return whole(k);
    case TInterpolation::Linear:
        if (c.Path == TPath::Rotation)
            return Slerp(key(k), key(next), u);
        for (size_t i = 0; i < c.Width; ++i)
            value[i] = key(k)[i] + u * (double(key(next)[i]) - key(k)[i]);
        return value;
    case TInterpolation::CubicSpline: {
        const float* out = &c.Values[k * stride + 2 * c.Width];
        const float* in = &c.Values[next * stride];
        const double u2 = u * u, u3 = u2 * u;
        for (size_t i = 0; i < c.Width; ++i)
            value[i] = (2 * u3 - 3 * u2 + 1) * key(k)[i] + (u3 - 2 * u2 + u) * span * out[i] +
                       (-2 * u3 + 3 * u2) * key(next)[i] + (u3 - u2) * span * in[i];
        return value;
    }
    }
    return value;
}

void TGltfAnimationSampler::Apply(double t, std::vector<TTrs>& locals,
                                  std::vector<std::vector<double>>& weights) const {
    for (const TChannel& channel : Channels) {
        std::vector<double> value = Evaluate(channel, t);
        TTrs& local = locals[channel.Node];
        switch (channel.Path) {
        case TPath::Translation:
            local.Translation = Vec3(value);
            break;
        case TPath::Scale:
            local.Scale = Vec3(value);
            break;
        case TPath::Rotation:
            Normalize(value);
            local.Rotation = {value[0], value[1], value[2], value[3]};
            break;
        case TPath::Weights:
            weights[channel.Node] = std::move(value);
            break;
        }
    }
}

} // namespace quillon

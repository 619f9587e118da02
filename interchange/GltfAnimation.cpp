#include "GltfAnimation.h"

#include <cmath>

namespace quillon {

namespace {

bool IsUnitScale(const TVec3d& scale) {
    for (double s : scale)
        if (std::fabs(s - 1) > 1e-6)
            return false;
    return true;
}

// The accessors holding one node's samples for every exported frame; scale -1 when it never
// differs from one.
struct TTrackData {
    int Node = -1;
    int Translation = -1;
    int Rotation = -1;
    int Scale = -1;
};

TTrackData AddTrackData(TGltfBuilder& builder, const TNodeTrack& track) {
    std::vector<float> translations, rotations, scales;
    bool scaled = false;
    TQuat previous{0, 0, 0, 1};
    for (const TTrs& frame : track.Frames) {
        // q and -q are the same rotation; keeping neighbours on the same side makes the
        // interpolation between them take the short way round.
        TQuat q = frame.Rotation;
        if (q[0] * previous[0] + q[1] * previous[1] + q[2] * previous[2] + q[3] * previous[3] < 0)
            for (double& c : q)
                c = -c;
        previous = q;
        translations.insert(translations.end(), frame.Translation.begin(), frame.Translation.end());
        rotations.insert(rotations.end(), q.begin(), q.end());
        scales.insert(scales.end(), frame.Scale.begin(), frame.Scale.end());
        scaled = scaled || !IsUnitScale(frame.Scale);
    }
    TTrackData data;
    data.Node = track.Node;
    data.Translation = builder.AddFloats(translations, TINYGLTF_TYPE_VEC3, false);
    data.Rotation = builder.AddFloats(rotations, TINYGLTF_TYPE_VEC4, false);
    if (scaled)
        data.Scale = builder.AddFloats(scales, TINYGLTF_TYPE_VEC3, false);
    return data;
}

// Weights that give target k full weight at exported frame k + 1 and none at frame 0.
int AddMorphWeights(TGltfBuilder& builder, int frames, int targets) {
    std::vector<float> weights(size_t(frames) * targets, 0.0f);
    for (int f = 1; f < frames; ++f)
        weights[size_t(f) * targets + (f - 1)] = 1.0f;
    return builder.AddFloats(weights, TINYGLTF_TYPE_SCALAR, false);
}

int AddTimes(TGltfBuilder& builder, int frames, double framesPerSecond) {
    std::vector<float> times(frames);
    for (int f = 0; f < frames; ++f)
        times[f] = float(f / framesPerSecond);
    return builder.AddFloats(times, TINYGLTF_TYPE_SCALAR, true);
}

class TClipWriter {
public:
    TClipWriter(TGltfBuilder& builder, tinygltf::Animation& animation, int input, size_t first,
                size_t count, size_t frames)
        : Builder(builder), Animation(animation), Input(input), First(first), Count(count),
          Whole(first == 0 && count == frames) {}

    // A channel driving `path` of `node` with `perFrame` values of every frame from `data`.
    void Channel(int node, const char* path, int data, size_t perFrame = 1) {
        tinygltf::AnimationSampler sampler;
        sampler.input = Input;
        sampler.output = Whole ? data : Builder.Slice(data, First * perFrame, Count * perFrame);
        sampler.interpolation = "LINEAR";
        Animation.samplers.push_back(sampler);
        tinygltf::AnimationChannel channel;
        channel.sampler = int(Animation.samplers.size() - 1);
        channel.target_node = node;
        channel.target_path = path;
        Animation.channels.push_back(channel);
    }

private:
    TGltfBuilder& Builder;
    tinygltf::Animation& Animation;
    int Input;
    size_t First, Count;
    bool Whole; // the clip plays every frame: the data serves as it is
};

tinygltf::Value FrameNamesValue(const std::vector<std::string>& names, size_t first, size_t count) {
    tinygltf::Value::Array list;
    for (size_t i = first; i < first + count; ++i)
        list.emplace_back(names[i]);
    tinygltf::Value::Object extras;
    extras["frames"] = tinygltf::Value(list);
    return tinygltf::Value(extras);
}

} // namespace

void SetNodeTransform(tinygltf::Node& node, const TTrs& trs) {
    node.translation.clear();
    node.rotation.clear();
    node.scale.clear();
    if (trs.Translation != TVec3d{0, 0, 0})
        node.translation.assign(trs.Translation.begin(), trs.Translation.end());
    if (trs.Rotation != TQuat{0, 0, 0, 1})
        node.rotation.assign(trs.Rotation.begin(), trs.Rotation.end());
    if (!IsUnitScale(trs.Scale))
        node.scale.assign(trs.Scale.begin(), trs.Scale.end());
}

int AddAnimations(TGltfBuilder& builder, const TExportPlan& plan,
                  const std::vector<TNodeTrack>& nodes, const TMorphTrack& morph,
                  const std::vector<std::string>& frameNames) {
    for (const TNodeTrack& track : nodes)
        SetNodeTransform(builder.Document().nodes[track.Node], track.Frames.front());
    const int frames = plan.Frames.Count();
    if (frames < 2 || (nodes.empty() && morph.Nodes.empty()))
        return 0;
    std::vector<TTrackData> data;
    for (const TNodeTrack& track : nodes)
        data.push_back(AddTrackData(builder, track));
    const bool morphing = !morph.Nodes.empty() && morph.Targets > 0;
    const int weights = morphing ? AddMorphWeights(builder, frames, morph.Targets) : -1;

    for (const TAnimationClip& clip : plan.Clips) {
        const size_t first = size_t(clip.Frames.First - plan.Frames.First);
        const size_t count = size_t(clip.Frames.Count());
        tinygltf::Animation animation;
        animation.name = clip.Name;
        if (!frameNames.empty())
            animation.extras = FrameNamesValue(frameNames, first, count);
        TClipWriter writer(builder, animation, AddTimes(builder, int(count), clip.FramesPerSecond),
                           first, count, size_t(frames));
        for (const TTrackData& track : data) {
            writer.Channel(track.Node, "translation", track.Translation);
            writer.Channel(track.Node, "rotation", track.Rotation);
            if (track.Scale >= 0)
                writer.Channel(track.Node, "scale", track.Scale);
        }
        if (morphing)
            for (int node : morph.Nodes)
                writer.Channel(node, "weights", weights, size_t(morph.Targets));
        builder.Document().animations.push_back(std::move(animation));
    }
    return int(plan.Clips.size());
}

} // namespace quillon

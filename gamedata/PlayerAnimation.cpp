#include "PlayerAnimation.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace quillon {

namespace {

constexpr size_t TorsoGesture = 6;

// The range as written, moved into the part's numbering (the legs' ranges lose the torso-only
// frames counted before them) with the game's defaults for odd values.
TPlayerRange RangeOf(const TAnimationConfig& config, size_t index) {
    const size_t source =
        index < config.Animations.size() ? index : TorsoGesture; // a missing team gesture
    const TPlayerAnimation& written = config.Animations[source];
    TPlayerRange range;
    range.Name = TAnimationConfig::AnimationName(index);
    range.First = static_cast<int>(
        std::clamp<int64_t>(config.FirstFrameInPart(source), INT32_MIN, INT32_MAX));
    range.Count = std::max(
        1, static_cast<int>(std::min<int64_t>(std::llabs(int64_t{written.NumFrames}), INT32_MAX)));
    range.Backwards = written.NumFrames < 0;
    range.Loop = std::clamp(written.LoopFrames, 0, range.Count);
    range.Fps = std::max(1, written.FramesPerSecond);
    return range;
}

// Keeps the range inside frames 0 .. partFrames - 1; says so when it had to.
void Clamp(TPlayerRange& range, int partFrames, const std::string& partFile,
           std::vector<std::string>& messages) {
    const int last = std::max(0, partFrames - 1);
    if (range.First >= 0 && int64_t{range.First} + range.Count - 1 <= last)
        return;
    messages.push_back(range.Name + " plays frames " + std::to_string(range.First) + " to " +
                       std::to_string(int64_t{range.First} + range.Count - 1) + " of " + partFile +
                       ", which has " + std::to_string(partFrames) + " frames: clamped");
    range.First = std::clamp(range.First, 0, last);
    range.Count = std::clamp(range.Count, 1, last - range.First + 1);
    range.Loop = std::min(range.Loop, range.Count);
}

bool Belongs(size_t index, TPlayerPart part) {
    const TPlayerPart owner = TAnimationConfig::PartOf(index);
    return owner == part || owner == TPlayerPart::Both;
}

} // namespace

int FrameAt(const TPlayerRange& range, double seconds) {
    // A hair added so that a time sampled at exactly the k-th frame gives frame k.
    int64_t step = std::isfinite(seconds) && seconds > 0
                       ? static_cast<int64_t>(std::min(seconds * range.Fps + 1e-6, 1e15))
                       : 0;
    if (step >= range.Count) {
        if (range.Loop > 0)
            step = range.Count - range.Loop + (step - range.Count) % range.Loop;
        else
            step = range.Count - 1;
    }
    const int offset = static_cast<int>(step);
    return range.Backwards ? range.First + range.Count - 1 - offset : range.First + offset;
}

double RangeSeconds(const TPlayerRange& range) {
    return static_cast<double>(range.Count) / range.Fps;
}

std::vector<TPlayerRange> PartRanges(const TAnimationConfig& config, TPlayerPart part,
                                     int partFrames, const std::string& partFile,
                                     std::vector<std::string>& messages) {
    std::vector<TPlayerRange> ranges;
    if (config.Animations.size() < TAnimationConfig::RequiredAnimations) {
        TPlayerRange all;
        all.Name = "all frames";
        all.Count = std::max(1, partFrames);
        ranges.push_back(all);
        return ranges;
    }
    for (size_t index = 0; index < TAnimationConfig::MostAnimations; ++index) {
        if (!Belongs(index, part))
            continue;
        TPlayerRange range = RangeOf(config, index);
        Clamp(range, partFrames, partFile, messages);
        ranges.push_back(range);
    }
    return ranges;
}

} // namespace quillon

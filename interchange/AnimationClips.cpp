#include "AnimationClips.h"

#include <algorithm>

namespace quillon {

namespace {

std::string RangeText(int64_t first, int64_t last) {
    return "frames " + std::to_string(first) + " to " + std::to_string(last);
}

} // namespace

std::vector<TAnimationClip> AnimationClips(const std::string& name, const TFrameRange& frames,
                                           double framesPerSecond, const TANINC* script,
                                           std::vector<std::string>& warnings) {
    std::vector<TAnimationClip> clips{{name, frames, framesPerSecond}};
    if (!script)
        return clips;
    for (const TANINCFrame& entry : script->Entries) {
        // 64-bit: the script's integers are the file's, and their sum may not fit 32 bits.
        const int64_t first = entry.FirstFrame();
        const int64_t last = first + int64_t(entry.NumFrames()) - 1;
        const std::string what =
            "animation \"" + entry.name + "\" (" + RangeText(first, last) + ")";
        if (entry.NumFrames() <= 0 || last < frames.First || first > frames.Last) {
            warnings.push_back(what + " left out: none of its frames is exported");
            continue;
        }
        const TFrameRange cut{int(std::max<int64_t>(first, frames.First)),
                              int(std::min<int64_t>(last, frames.Last))};
        if (cut.First != first || cut.Last != last)
            warnings.push_back(what + " cut to the exported " + RangeText(cut.First, cut.Last));
        const double rate =
            entry.FramesPerSecond() > 0 ? double(entry.FramesPerSecond()) : framesPerSecond;
        clips.push_back({entry.name, cut, rate});
    }
    return clips;
}

} // namespace quillon

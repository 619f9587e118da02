// The animation.cfg of a player model: a few keywords ("sex", "footsteps", "headoffset",
// "fixedlegs", "fixedtorso") and then four numbers per animation (first frame, number of frames,
// looping frames, frames per second) in the fixed order the player code expects: the six death
// animations that play on the legs and the torso, seven of the torso, twelve of the legs, and
// optionally six team gestures of the torso. "//" starts a comment; words after the last
// animation are ignored, as the game does.
//
// Frames are counted through one sequence: the deaths, then the torso's own frames, then the
// legs' own. lower.md3 holds the deaths and the legs' frames, upper.md3 the deaths and the
// torso's, so the legs' first frames are moved back by the torso-only frames (the distance from
// the first torso animation to the first legs animation) to give frames of lower.md3.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quillon {

enum class TPlayerPart { Legs, Torso, Both };

struct TPlayerAnimation {
    int32_t FirstFrame = 0; // as written
    int32_t NumFrames = 0;  // negative: played backwards
    int32_t LoopFrames = 0;
    int32_t FramesPerSecond = 0;
};

class TAnimationConfig {
public:
    static constexpr size_t RequiredAnimations = 25;
    static constexpr size_t MostAnimations = 31;

    // False (nothing read) when the file does not exist; throws FileError when it cannot be read.
    bool Load(const std::string& path);
    void Parse(std::string_view text);

    // "BOTH_DEATH1", "TORSO_GESTURE", "LEGS_WALK", ... for the animation at `index`.
    static const char* AnimationName(size_t index);
    static TPlayerPart PartOf(size_t index);

    // The first frame of an animation within the part's own model: the legs' animations moved
    // back by the torso-only frames.
    int64_t FirstFrameInPart(size_t index) const;

    std::string Sex;
    std::string Footsteps;
    std::array<float, 3> HeadOffset{};
    bool FixedLegs = false;
    bool FixedTorso = false;
    std::vector<TPlayerAnimation> Animations;
    std::vector<std::string> UnknownWords; // keywords the game does not know, skipped
    std::string Error; // why the animation list ended early; empty when it was read to its end
};

} // namespace quillon

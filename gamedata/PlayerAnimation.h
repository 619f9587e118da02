// The animations a player model can play, per part, as frame ranges of that part's own model, and
// the frame an animation shows a given time after it started, stepped as the game steps it: a
// frame every 1/fps seconds through the range, then either the last `Loop` frames over and over
// or the last frame held; a negative count plays the range backwards.
#pragma once

#include "AnimationConfig.h"

#include <string>
#include <vector>

namespace quillon {

struct TPlayerRange {
    std::string Name; // "LEGS_RUN", or "all frames" where animation.cfg gives none
    int First = 0;    // within the part's own model
    int Count = 1;    // at least 1
    int Loop = 0;     // the looping frames at the end of the range, at most Count
    int Fps = 15;     // at least 1, as the game makes it
    bool Backwards = false;

    int Last() const { return First + Count - 1; }
};

// The frame of `range` shown `seconds` after it started.
int FrameAt(const TPlayerRange& range, double seconds);

// How long a range plays before it holds its last frame or starts looping, in seconds.
double RangeSeconds(const TPlayerRange& range);

// The legs' (TPlayerPart::Legs) or the torso's (TPlayerPart::Torso) animations of the
// configuration, the deaths in both lists: every range moved into the part's own numbering and
// clamped to `partFrames` (a message for each clamped range, naming `partFile`). The team
// gestures a short file leaves out are the torso's gesture, as the game makes them. Without the
// 25 animations the game requires, the list holds one range over all the part's frames.
std::vector<TPlayerRange> PartRanges(const TAnimationConfig& config, TPlayerPart part,
                                     int partFrames, const std::string& partFile,
                                     std::vector<std::string>& messages);

} // namespace quillon

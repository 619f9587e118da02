// The arithmetic of playback: how the frame advances on a timer tick and how a frame rate
// becomes the timer's interval.
#pragma once

namespace quillon {

// The frame after `current` in the range start..end (inclusive). A frame before the start still
// advances one by one up to the end; at the end it wraps to the start with `loop`, else stays.
int NextPlaybackFrame(int current, int start, int end, bool loop);

// round(1000 / rate) milliseconds, halves to even (16 fps gives 62 ms). `rate` must be > 0.
int TimerIntervalForRate(int rate);

} // namespace quillon

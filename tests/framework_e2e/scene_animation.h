// The "animation" scene: four animations cut from one 4-frame strip, one per end mode (end mode m is
// the m-th from the left: stop on the last frame, loop, back to the first, stop and hide), play side by
// side over a plain background with a delay of 50 ms per frame; the one that stops and hides runs as a
// copy in the animation manager. Each frame of the strip has its own colour, so a captured frame tells
// which frame of each animation is shown.
#pragma once

#include <cstdint>

namespace animation_scene {

constexpr uint32_t kBackground = 0x102030;
constexpr int kFrames = 4;
constexpr int kCell = 16;
constexpr int kDelayMs = 50;
// Frame i's colour.
constexpr uint32_t FrameColour(int i) {
    return 0x80F800u + uint32_t(i) * 0x200020u;
}
// Where the animation of end mode m is drawn (top-left); they sit on one row.
constexpr int kRowY = 200;
constexpr int AnimationX(int mode) {
    return 100 + mode * 150;
}

} // namespace animation_scene

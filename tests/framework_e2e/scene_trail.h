// The "trail" scene: one page over a striped background on which a 16x16 sprite moves 8 pixels to the
// right every frame, registering its rectangle with the screen updater as sprites do; the script moves
// the shown cursor as well. No frame may show the sprite or the cursor anywhere but where they are now.
#pragma once

#include <cstdint>

namespace trail_scene {

constexpr uint32_t kStripeA = 0x406080;
constexpr uint32_t kStripeB = 0x804060;
constexpr uint32_t kSprite = 0xF800F8;
constexpr int kSpriteSize = 16;
constexpr int kSpriteY = 200;

// The background: 4-pixel horizontal stripes.
constexpr uint32_t BackgroundAt(int, int y) {
    return (y / 4) % 2 ? kStripeB : kStripeA;
}

// Where the sprite is drawn in the n-th frame (counted from 0): it wraps before the right edge.
constexpr int SpriteXAt(int n) {
    return 40 + (n * 8) % 700;
}

} // namespace trail_scene

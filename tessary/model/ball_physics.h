// The arithmetic of a ball's movement that needs no sprite: heading normalisation, the side bits of a
// probe angle, the wall probe over the collision mask, and the wall sound's gate and volume.
#pragma once

#include <cstdint>

// The angles of the physics, as single-precision constants (radians).
constexpr float kBallTwoPi = 6.28318f;
constexpr float kBallPi = 3.14159f;
constexpr float kBallHalfPi = 1.570795f;
// The wall probe: 30 points on the half circle ahead, 6 degrees apart, starting 90 degrees left.
constexpr int kWallProbeCount = 30;
constexpr float kWallProbeStep = 0.10471967f;

// Side bits: where a wall lies as seen from the ball.
constexpr int kSidePlusX = 1;
constexpr int kSidePlusY = 2;
constexpr int kSideMinusX = 4;
constexpr int kSideMinusY = 8;

// Brings a into [0, 6.28318] by one step: 6.28318 added when below 0, subtracted when above.
float NormaliseHeading(float a);

// The side bits of a probe angle a in [0, 6.28318]: the four diagonals exactly give two bits each
// (0.7853975 -> 3, 2.3561926 -> 6, 3.9269876 -> 12, 5.4977827 -> 9), the quarter around each axis one
// bit, anything else 0.
int SideBits(float a);

// A locked 16-bit collision mask: rows of pitch pixels, width x height used; every pixel that is not
// transparent is solid.
struct CollisionView {
    const uint16_t* pixels = nullptr;
    int pitch = 0; // in pixels
    int width = 0;
    int height = 0;
    uint16_t transparent = 0x001F;
};

// The side bits of every solid pixel under the 30 probe points of a ball at (x, y) moving along heading,
// probed at diameter / 2 from its centre. Probe points outside the mask are skipped (the field's edges
// reflect by themselves), as is a ball whose position is not a finite number.
int ProbeWallMask(const CollisionView& view, float x, float y, float heading, int diameter);

// The axes on which a move of a centre from (x, y) by (dx, dy) would go from a free pixel of the mask
// onto a solid one: kBlockedX when the move along x alone does, kBlockedY for y alone, both when only
// the diagonal step does (a corner). 0 when the destination is free, and when the centre already lies
// on a solid pixel (a ball inside a wall may leave it). A point on or past the mask's edge counts as the
// edge's nearest pixel.
constexpr int kBlockedX = 1;
constexpr int kBlockedY = 2;
int BlockedAxes(const CollisionView& view, float x, float y, float dx, float dy);

// Whether a reflection from heading h0 to h1 is worth a wall sound: 0.2 <= |h0 - h1| <= 6.0831802.
bool WallSoundTurn(float h0, float h1);

// The wall sound's volume at speed: speed x 32768 truncated, at most 0xFFFF (0 for speeds <= 0).
int WallSoundVolume(float speed);

#include "tessary/model/ball_physics.h"

#include <algorithm>
#include <cmath>

namespace {

// Whether (px, py) lies on a solid pixel of the mask; outside it (or not a number) counts as free. The
// bounds are checked as floats first: truncating a value outside int's range is undefined.
bool SolidAt(const CollisionView& view, float px, float py) {
    if (!(px > -1.0f && py > -1.0f && px < float(view.width) && py < float(view.height))) return false;
    const int column = int(px);
    const int row = int(py);
    if (column < 0 || row < 0 || column >= view.width || row >= view.height) return false;
    return view.pixels[size_t(row) * size_t(view.pitch) + size_t(column)] != view.transparent;
}

// Whether the pixel nearest to (px, py) is solid: a point on or past the mask's edge reads the edge's
// pixel. A field's edges may leave a centre on the line one past its last row or column, and that line
// must be no way round a wall that reaches the edge. Not a number: free.
bool SolidNear(const CollisionView& view, float px, float py) {
    if (view.width <= 0 || view.height <= 0 || !std::isfinite(px) || !std::isfinite(py)) return false;
    const int column = int(std::clamp(px, 0.0f, float(view.width - 1)));
    const int row = int(std::clamp(py, 0.0f, float(view.height - 1)));
    return view.pixels[size_t(row) * size_t(view.pitch) + size_t(column)] != view.transparent;
}

} // namespace

float NormaliseHeading(float a) {
    if (a < 0.0f) {
        a += kBallTwoPi;
    } else if (a > kBallTwoPi) {
        a -= kBallTwoPi;
    }
    return a;
}

int SideBits(float a) {
    if (a == 0.7853975f) return kSidePlusX | kSidePlusY;
    if (a == 2.3561926f) return kSidePlusY | kSideMinusX;
    if (a == 3.9269876f) return kSideMinusX | kSideMinusY;
    if (a == 5.4977827f) return kSideMinusY | kSidePlusX;
    if ((a > 5.4977827f && a <= kBallTwoPi) || (a >= 0.0f && a <= 0.7853975f)) return kSidePlusX;
    if (a > 0.7853975f && a < 2.3561926f) return kSidePlusY;
    if (a > 2.3561926f && a < 3.9269876f) return kSideMinusX;
    if (a > 3.9269876f && a < 5.4977827f) return kSideMinusY;
    return 0;
}

int ProbeWallMask(const CollisionView& view, float x, float y, float heading, int diameter) {
    if (!view.pixels || !std::isfinite(x) || !std::isfinite(y) || !std::isfinite(heading)) return 0;
    int mask = 0;
    float a = heading - kBallHalfPi;
    for (int i = 0; i < kWallProbeCount; ++i) {
        a = NormaliseHeading(a);
        const float px = std::cos(a) * float(diameter) / 2.0f + x;
        const float py = std::sin(a) * float(diameter) / 2.0f + y;
        if (SolidAt(view, px, py)) mask |= SideBits(a);
        a += kWallProbeStep;
    }
    return mask;
}

int BlockedAxes(const CollisionView& view, float x, float y, float dx, float dy) {
    if (!view.pixels || SolidNear(view, x, y) || !SolidNear(view, x + dx, y + dy)) return 0;
    int axes = 0;
    if (SolidNear(view, x + dx, y)) axes |= kBlockedX;
    if (SolidNear(view, x, y + dy)) axes |= kBlockedY;
    return axes ? axes : kBlockedX | kBlockedY;
}

bool WallSoundTurn(float h0, float h1) {
    float d = std::fabs(h0 - h1);
    return d >= 0.2f && d <= 6.0831802f;
}

int WallSoundVolume(float speed) {
    if (!(speed > 0.0f)) return 0;
    double scaled = double(speed) * 32768.0;
    return scaled >= double(0xFFFF) ? 0xFFFF : int(scaled);
}

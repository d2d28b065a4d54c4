#include "tessary/model/ball_physics.h"

#include <cmath>

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
        float px = std::cos(a) * float(diameter) / 2.0f + x;
        float py = std::sin(a) * float(diameter) / 2.0f + y;
        // Checked as floats first: truncating a value outside int's range is undefined.
        if (px > -1.0f && py > -1.0f && px < float(view.width) && py < float(view.height)) {
            int column = int(px);
            int row = int(py);
            if (column >= 0 && row >= 0 && column < view.width && row < view.height &&
                view.pixels[size_t(row) * size_t(view.pitch) + size_t(column)] != view.transparent) {
                mask |= SideBits(a);
            }
        }
        a += kWallProbeStep;
    }
    return mask;
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

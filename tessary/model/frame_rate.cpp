#include "tessary/model/frame_rate.h"

#include <cmath>

float fps = 0.0f;

float PhysicsFrameRate() {
    return std::isfinite(fps) && fps > 0.0f ? fps : kNominalFrameRate;
}

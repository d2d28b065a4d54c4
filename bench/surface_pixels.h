// Reading back what a benchmark drew, to compare pictures before timing.
#pragma once

#include <cstdint>
#include <vector>

#include "host/ddraw/ddraw.h"

namespace bench {

// The pixels of a 16-bit surface, row by row from the top (empty when it cannot be locked).
std::vector<uint16_t> SurfacePixels(IDirectDrawSurface* surface);

} // namespace bench

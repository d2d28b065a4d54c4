// The host's side of the blit benchmark: a DirectDraw object at the normal cooperative level and
// off-screen 5-6-5 surfaces holding the benchmark pictures, the keyed ones with the source key set.
#pragma once

#include <string>
#include <vector>

#include "bench/bench_pictures.h"
#include "host/ddraw/ddraw.h"

namespace bench {

struct HostSide {
    IDirectDraw* directDraw = nullptr;
    IDirectDrawSurface* screen = nullptr; // where every blit lands
    IDirectDrawSurface* image = nullptr;  // opaque full-screen picture
    IDirectDrawSurface* keyed = nullptr;  // half-keyed full-screen picture
    IDirectDrawSurface* sprite = nullptr; // keyed sprite
};

// Makes the surfaces and fills them; false with error set when the host refuses.
bool CreateHostSide(const Picture& image, const Picture& keyed, const Picture& sprite, HostSide& host,
                    std::string& error);
// Releases everything CreateHostSide made.
void ReleaseHostSide(HostSide& host);
// Reads a surface back as packed 16-bit rows (for comparing results); empty when it cannot be locked.
std::vector<uint16_t> ReadHostPixels(IDirectDrawSurface* surface);

} // namespace bench

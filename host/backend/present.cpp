// From the display driver's primary surface to the picture the backend shows: cut out the main window's
// client area (windowed) or take the front buffer (full screen), convert to 5-6-5, count the frame.
#include "host/backend/present.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>

#include "host/backend/backend.h"
#include "host/backend/hooks.h"

namespace {

const int kMaxPictureSide = 16384;
// Frames a program may still present after the frame limit closed its window before it is told to quit.
const uint64_t kGraceFrames = 60;

std::atomic<uint64_t> g_frames{0};
std::atomic<uint64_t> g_limit{0};
std::once_flag g_limitOnce;
HostShownPicture g_shown; // the display driver presents from one thread only

void ReadLimitFromEnvironment() {
    const char* text = std::getenv("HOST_MAX_FRAMES");
    if (!text || !*text) return;
    char* end = nullptr;
    unsigned long long limit = std::strtoull(text, &end, 10);
    if (*end || text[0] == '-') {
        std::fprintf(stderr, "HOST_MAX_FRAMES: '%s' is not a number of frames\n", text);
        std::fflush(stderr);
        std::_Exit(1);
    }
    g_limit.store(limit);
}

uint16_t To565(uint16_t pixel, bool is555) {
    if (!is555) return pixel;
    unsigned red = (pixel >> 10) & 31, green = (pixel >> 5) & 31, blue = pixel & 31;
    unsigned green6 = (green << 1) | (green >> 4); // full 5-bit green reaches full 6-bit green
    return static_cast<uint16_t>((red << 11) | (green6 << 5) | blue);
}

// Copies the width x height block at (left, top) of picture; parts outside it are black. Each row's
// visible span is clipped once, then copied whole (5-6-5) or converted (5-5-5).
void Cut(const HostPicture& picture, int left, int top, int width, int height, HostShownPicture& out) {
    out.width = width;
    out.height = height;
    out.pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
    int firstX = std::max(0, -left);
    int endX = std::min(width, picture.width - left);
    for (int y = 0; y < height; ++y) {
        uint16_t* target = out.pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(width);
        int sourceY = top + y;
        if (sourceY < 0 || sourceY >= picture.height || firstX >= endX) {
            std::fill(target, target + width, uint16_t(0));
            continue;
        }
        const WORD* row = reinterpret_cast<const WORD*>(reinterpret_cast<const BYTE*>(picture.pixels) +
                                                        static_cast<ptrdiff_t>(sourceY) * picture.pitchBytes);
        std::fill(target, target + firstX, uint16_t(0));
        std::fill(target + endX, target + width, uint16_t(0));
        const WORD* from = row + (left + firstX);
        if (picture.is555) {
            for (int x = firstX; x < endX; ++x)
                target[x] = To565(*from++, true);
        } else {
            std::memcpy(target + firstX, from, static_cast<size_t>(endX - firstX) * sizeof(uint16_t));
        }
    }
}

// The part of the primary the user sees.
void Select(const HostPicture& primary, bool fullscreen, HostShownPicture& out) {
    int left = 0, top = 0, width = 0, height = 0;
    if (!fullscreen && HostWindowUp().mainClientArea(&left, &top, &width, &height) && width > 0 &&
        height > 0 && width <= kMaxPictureSide && height <= kMaxPictureSide) {
        Cut(primary, left, top, width, height, out);
    } else {
        Cut(primary, 0, 0, primary.width, primary.height, out);
    }
}

void EnforceLimit(uint64_t frames) {
    uint64_t limit = g_limit.load();
    if (!limit) return;
    // Only messages: the display driver is in the middle of presenting, no window may go from here.
    if (frames == limit) HostWindowUp().close();
    if (frames == limit + kGraceFrames) HostWindowUp().quit();
}

} // namespace

void HostPresentPrimary(const HostPicture& primary, bool fullscreen) {
    std::call_once(g_limitOnce, ReadLimitFromEnvironment);
    if (!primary.pixels || primary.width <= 0 || primary.height <= 0 || primary.width > kMaxPictureSide ||
        primary.height > kMaxPictureSide || primary.pitchBytes < primary.width * 2)
        return;
    const HostBackend& backend = HostGetBackend();
    Select(primary, fullscreen, g_shown);
    uint64_t frames = ++g_frames;
    backend.present(g_shown);
    EnforceLimit(frames);
}

uint64_t HostPresentedFrames() {
    return g_frames.load();
}

uint64_t HostCountIdleFrame() {
    std::call_once(g_limitOnce, ReadLimitFromEnvironment);
    uint64_t frames = ++g_frames;
    EnforceLimit(frames);
    return frames;
}

void HostSetFullScreen(bool on) {
    const HostBackend& backend = HostGetBackend();
    if (backend.setFullScreen) backend.setFullScreen(on);
}

void HostSetFrameLimit(uint64_t n) {
    std::call_once(g_limitOnce, [] {}); // the environment no longer decides
    g_limit.store(n);
}

void HostResetPresentedFrames() {
    g_frames.store(0);
}

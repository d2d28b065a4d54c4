#include "host/backend/audio_null.h"

#include <algorithm>
#include <mutex>

#include "host/backend/hooks.h"

namespace {

constexpr uint64_t kMaxPumpSeconds = 60;
constexpr size_t kMaxCaptureSeconds = 300;
constexpr int kChunkFrames = 4096;

// Guarded by lock; the callback runs with it held, so Close never returns while a render runs.
struct NullOutput {
    std::mutex lock;
    bool open = false;
    int rate = 0;
    HostAudioCallback callback = nullptr;
    void* user = nullptr;
    uint64_t openedMs = 0;
    uint64_t pumpedFrames = 0;
    bool capturing = false;
    std::vector<int16_t> captured;
    std::vector<int16_t> chunk;
};

// Never destroyed: the mixer may close the output while the process ends.
NullOutput& Output() {
    static NullOutput* output = new NullOutput;
    return *output;
}

// With the lock held: renders frames in chunks, keeping them when capturing and out is NULL.
void RenderLocked(NullOutput& output, uint64_t frames, int16_t* out) {
    while (frames > 0) {
        int now = int(std::min<uint64_t>(frames, kChunkFrames));
        int16_t* target = out;
        if (!target) {
            output.chunk.resize(size_t(now) * 2);
            target = output.chunk.data();
        }
        output.callback(target, now, output.user);
        if (!out && output.capturing) {
            size_t limit = kMaxCaptureSeconds * size_t(output.rate) * 2;
            size_t room = limit - std::min(limit, output.captured.size());
            size_t keep = std::min(room, size_t(now) * 2);
            output.captured.insert(output.captured.end(), target, target + keep);
        }
        if (out) out += size_t(now) * 2;
        frames -= uint64_t(now);
    }
}

} // namespace

bool HostAudioNullOpen(int rate, HostAudioCallback callback, void* user) {
    if (rate <= 0 || !callback) return false;
    NullOutput& output = Output();
    std::lock_guard<std::mutex> guard(output.lock);
    if (output.open) return false;
    output.open = true;
    output.rate = rate;
    output.callback = callback;
    output.user = user;
    output.openedMs = HostWindowUp().nowMs();
    output.pumpedFrames = 0;
    return true;
}

void HostAudioNullClose() {
    NullOutput& output = Output();
    std::lock_guard<std::mutex> guard(output.lock);
    output.open = false;
    output.rate = 0;
    output.callback = nullptr;
    output.user = nullptr;
}

int HostAudioNullRate() {
    NullOutput& output = Output();
    std::lock_guard<std::mutex> guard(output.lock);
    return output.rate;
}

void HostAudioNullPump() {
    NullOutput& output = Output();
    std::lock_guard<std::mutex> guard(output.lock);
    if (!output.open) return;
    uint64_t now = HostWindowUp().nowMs();
    uint64_t elapsed = now > output.openedMs ? now - output.openedMs : 0;
    uint64_t due = elapsed * uint64_t(output.rate) / 1000;
    if (due <= output.pumpedFrames) return;
    uint64_t frames = due - output.pumpedFrames;
    output.pumpedFrames = due;
    RenderLocked(output, std::min<uint64_t>(frames, kMaxPumpSeconds * uint64_t(output.rate)), nullptr);
}

int HostAudioNullRender(int frames, int16_t* out) {
    NullOutput& output = Output();
    std::lock_guard<std::mutex> guard(output.lock);
    if (!output.open || frames <= 0) return 0;
    if (out) {
        RenderLocked(output, uint64_t(frames), out);
    } else {
        bool capturing = output.capturing;
        output.capturing = false; // rendered on request, not by the clock: never captured
        RenderLocked(output, uint64_t(frames), nullptr);
        output.capturing = capturing;
    }
    return frames;
}

void HostAudioNullCapture(bool on) {
    NullOutput& output = Output();
    std::lock_guard<std::mutex> guard(output.lock);
    output.capturing = on;
    if (on) output.captured.clear();
}

std::vector<int16_t> HostAudioNullCaptured() {
    NullOutput& output = Output();
    std::lock_guard<std::mutex> guard(output.lock);
    return output.captured;
}

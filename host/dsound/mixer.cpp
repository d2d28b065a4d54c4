#include "host/dsound/mixer.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <vector>

#include "host/backend/audio.h"
#include "host/win/messages.h"

namespace {

struct PendingPost {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

struct Mixer {
    std::mutex lock; // guards everything below and every source's state
    std::vector<HostMixSource*> sources;
    std::vector<float> scratch;
    std::vector<PendingPost> posts;
    float masterLeft = 1.0f;
    float masterRight = 1.0f;

    std::mutex outputLock; // guards users and the open/close of the output
    int users = 0;
    std::atomic<int> rate{0};
};

// Never destroyed: the output's thread may still mix while the process ends.
Mixer& TheMixer() {
    static Mixer* mixer = new Mixer;
    return *mixer;
}

int16_t ToSample(float value) {
    float scaled = std::nearbyint(value * 32768.0f);
    return int16_t(std::clamp(scaled, -32768.0f, 32767.0f));
}

// The output's callback: sums the sources, converts, then posts what the sources asked to post.
void MixCallback(int16_t* stereo, int frames, void*) {
    Mixer& mixer = TheMixer();
    std::vector<PendingPost> posts;
    {
        std::lock_guard<std::mutex> guard(mixer.lock);
        size_t samples = size_t(frames) * 2;
        if (mixer.scratch.size() < samples) mixer.scratch.resize(samples);
        float* mix = mixer.scratch.data();
        std::fill(mix, mix + samples, 0.0f);
        int rate = mixer.rate.load();
        for (size_t i = 0; i < mixer.sources.size();) {
            HostMixSource* source = mixer.sources[i];
            if (source->MixInto(mix, frames, rate)) {
                ++i;
            } else {
                source->mixerListed = false;
                mixer.sources.erase(mixer.sources.begin() + long(i));
            }
        }
        for (int frame = 0; frame < frames; ++frame) {
            stereo[frame * 2] = ToSample(mix[frame * 2] * mixer.masterLeft);
            stereo[frame * 2 + 1] = ToSample(mix[frame * 2 + 1] * mixer.masterRight);
        }
        posts.swap(mixer.posts);
    }
    for (const PendingPost& post : posts)
        PostMessageA(post.window, post.message, post.wParam, post.lParam);
}

void CloseOutput() {
    HostAudioClose();
    TheMixer().rate.store(0);
}

// Closes the output when the process ends with a device still open, so no mix runs during teardown.
struct OutputCloser {
    ~OutputCloser() {
        Mixer& mixer = TheMixer();
        std::lock_guard<std::mutex> guard(mixer.outputLock);
        if (mixer.users > 0) CloseOutput();
        mixer.users = 0;
    }
};

} // namespace

bool HostMixerAcquire() {
    static OutputCloser closer;
    Mixer& mixer = TheMixer();
    std::lock_guard<std::mutex> guard(mixer.outputLock);
    if (mixer.users == 0) {
        if (!HostAudioOpen(kHostMixerPreferredRate, MixCallback, nullptr)) return false;
        mixer.rate.store(HostAudioRate());
    }
    ++mixer.users;
    return true;
}

void HostMixerRelease() {
    Mixer& mixer = TheMixer();
    std::lock_guard<std::mutex> guard(mixer.outputLock);
    if (mixer.users == 0) return;
    if (--mixer.users == 0) CloseOutput();
}

std::mutex& HostMixerLock() {
    return TheMixer().lock;
}

int HostMixerRate() {
    return TheMixer().rate.load();
}

void HostMixerStart(HostMixSource* source) {
    if (source->mixerListed) return;
    source->mixerListed = true;
    TheMixer().sources.push_back(source);
}

void HostMixerStop(HostMixSource* source) {
    if (!source->mixerListed) return;
    source->mixerListed = false;
    std::vector<HostMixSource*>& sources = TheMixer().sources;
    sources.erase(std::remove(sources.begin(), sources.end(), source), sources.end());
}

void HostMixerPostAfterMix(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    TheMixer().posts.push_back({window, message, wParam, lParam});
}

void HostMixerSetMasterGain(float left, float right) {
    TheMixer().masterLeft = left;
    TheMixer().masterRight = right;
}

float HostCentibelsToGain(long centibels) {
    if (centibels <= -10000) return 0.0f;
    return float(std::pow(10.0, double(centibels) / 2000.0));
}

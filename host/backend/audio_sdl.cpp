// The sdl backend's audio output: an SDL audio device whose callback runs the mixer.
#include "host/backend/audio_sdl.h"

#include <SDL.h>

#include <atomic>
#include <mutex>

namespace {

// The open device; guarded by g_lock (the SDL callback reads only the atomics).
std::mutex g_lock;
SDL_AudioDeviceID g_device = 0;
std::atomic<int> g_sdlRate{0};
std::atomic<HostAudioCallback> g_callback{nullptr};
std::atomic<void*> g_user{nullptr};

constexpr int kFramesPerCallback = 1024;

void SDLCALL PullFromMixer(void*, Uint8* stream, int length) {
    HostAudioCallback callback = g_callback.load();
    int frames = length / int(2 * sizeof(int16_t));
    if (callback) {
        callback(reinterpret_cast<int16_t*>(stream), frames, g_user.load());
    } else {
        SDL_memset(stream, 0, size_t(length));
    }
}

bool OpenSdl(int rate, HostAudioCallback callback, void* user) {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    g_callback.store(callback);
    g_user.store(user);
    SDL_AudioSpec want{};
    want.freq = rate;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = kFramesPerCallback;
    want.callback = PullFromMixer;
    SDL_AudioSpec have{};
    // The format and channels are fixed (SDL converts if the card differs); the rate may change.
    g_device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, SDL_AUDIO_ALLOW_FREQUENCY_CHANGE);
    if (g_device == 0) {
        g_callback.store(nullptr);
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    g_sdlRate.store(have.freq);
    SDL_PauseAudioDevice(g_device, 0);
    return true;
}

void CloseSdl() {
    // Returns only after the callback has finished for good.
    SDL_CloseAudioDevice(g_device);
    g_device = 0;
    g_sdlRate.store(0);
    g_callback.store(nullptr);
    g_user.store(nullptr);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

} // namespace

bool HostSdlAudioOpen(int rate, HostAudioCallback callback, void* user) {
    std::lock_guard<std::mutex> guard(g_lock);
    if (g_device != 0) return false;
    return OpenSdl(rate, callback, user);
}

void HostSdlAudioClose() {
    std::lock_guard<std::mutex> guard(g_lock);
    if (g_device != 0) CloseSdl();
}

int HostSdlAudioRate() {
    return g_sdlRate.load();
}

#include "tessary/model/game_sounds.h"

#include "framework/soundmanager.h"

namespace {
GameSoundListener soundListener = nullptr;
} // namespace

void PlayGameSound(const char* name, int volume) {
    if (soundListener) soundListener(name, volume);
    g_soundManager.Play(name, volume, 0);
}

void SetGameSoundListener(GameSoundListener listener) {
    soundListener = listener;
}

// The game's sound effects, played by name through the framework's sound manager. A listener can watch
// every effect the model plays (the game's tests do).
#pragma once

// Full volume for the sound manager.
constexpr int kFullVolume = 0xFFFF;

// Plays the effect called name at volume (0..0xFFFF) with pan 0, and tells the listener.
void PlayGameSound(const char* name, int volume = kFullVolume);

using GameSoundListener = void (*)(const char* name, int volume);
// Replaces the listener (nullptr: none).
void SetGameSoundListener(GameSoundListener listener);

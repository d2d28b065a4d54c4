// Writing sound effects as 16-bit PCM WAV files: a RIFF/WAVE header, a 16-byte "fmt " chunk and the
// "data" chunk, nothing else (no loop chunk: the game would loop a sample that carries one).
#pragma once

#include "assets/audio/dsp.h"

#include <string>

namespace audiogen {

// Writes one channel at `rate` samples per second, each sample rounded and clamped to 16 bits.
// False (with the reason in `error`) when the file cannot be written.
bool WriteWav16(const std::string& path, const Samples& mono, int rate, std::string& error);

} // namespace audiogen

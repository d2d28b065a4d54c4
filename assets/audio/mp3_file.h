// Encoding the music as an MP3 file with LAME: constant bit rate, joint stereo, with the LAME tag that
// tells decoders the encoder's delay and padding, so the decoded music is exactly as long as the tune.
#pragma once

#include "assets/audio/dsp.h"

#include <string>

namespace audiogen {

// Encodes two equally long channels at `rate` (full scale +/-1) at `kbps` kilobits per second into
// `path`. False (with the reason in `error`) when encoding or writing fails.
bool WriteMp3(const std::string& path, const Samples& left, const Samples& right, int rate, int kbps,
              std::string& error);

} // namespace audiogen

// Turning the score into sound: the arranger writes each part's notes for the band, mixes the parts into
// stereo and masters the result so it loops (silent edges, peak below full scale).
#pragma once

#include "assets/audio/dsp.h"
#include "assets/audio/instruments.h"
#include "assets/audio/score.h"

namespace audiogen {

struct StereoSound {
    Samples left;
    Samples right;
};

// The peak level of the mastered music, leaving headroom for the MP3 encoder's overshoot.
constexpr float kMusicPeak = 0.79f;

// Checks the score (every bar eight eighths long, known note and chord names, sections covering every
// bar); throws std::runtime_error naming the first fault.
void CheckScore(const Score& score);

// The whole tune at kMusicRate (instruments.h), exactly as long as its bars, ready to be played in a loop.
StereoSound RenderTune(const Score& score);

} // namespace audiogen

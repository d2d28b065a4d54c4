// The game's nine sound effects, each synthesised as one mono channel at kEffectRate with faded edges
// and a peak below full scale.
#pragma once

#include "assets/audio/dsp.h"

#include <string>
#include <vector>

namespace audiogen {

// The rate of the effects: the sound device's own output rate, so nothing is resampled.
constexpr int kEffectRate = 22050;

// A level arrow clicked: a short bright blip.
Samples MakeArrow();
// A ball bouncing off a wall: a short, soft wooden knock (heard often, so it stays quiet and brief).
Samples MakeWall();
// A mine going off or two balls colliding: a noise burst over a low rumble.
Samples MakeExplode();
// A ball dropping into a hole: a descending whistle ending in a soft thud.
Samples MakeFalling();
// A ball reaching its goal out of order: a low double buzz.
Samples MakeIncorrect();
// A level starting: a short brass fanfare.
Samples MakeLevel();
// A ball reaching its goal: a bright two-note chime.
Samples MakePositive();
// A level solved: a rising bell arpeggio over a warm chord.
Samples MakeVeryPositive();
// A generator about to make a ball: an electric zap.
Samples MakeZap();

// One effect file: its name in the sounds folder and how to make it.
struct Effect {
    const char* file;
    Samples (*make)();
};

// Every effect the game loads, by file name.
const std::vector<Effect>& AllEffects();

} // namespace audiogen

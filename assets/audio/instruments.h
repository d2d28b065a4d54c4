// The band that plays the music: small synthesised instruments, each adding one note or drum hit into a
// mono track at kMusicRate. Parts of a note that would ring past the end of the track are dropped.
#pragma once

#include "assets/audio/dsp.h"

namespace audiogen {

constexpr int kMusicRate = 44100;

// One note: when it starts (seconds), how long it is held (seconds; the release follows), its pitch as a
// MIDI note number and its loudness (0..1).
struct Note {
    double start;
    double held;
    double midi;
    float velocity;
};

// The melody: a two-operator FM voice, round like a soft brass with a touch of vibrato on long notes.
void PlayLead(Samples& track, const Note& note);

// Arpeggios: a marimba-like mallet (a sine and a fast-dying fourth partial).
void PlayMallet(Samples& track, const Note& note);

// Off-beat chord stabs: a short, plucky pulse voice through a closing lowpass.
void PlayStab(Samples& track, const Note& note);

// Sustained chords: two detuned saws through a soft lowpass, with a slow attack.
void PlayPad(Samples& track, const Note& note);

// The bass line: a saw and a sub sine through a resonant lowpass with a quick filter envelope.
void PlayBass(Samples& track, const Note& note);

// Drums; each hit is seeded by its start time, so repeated hits vary a little but every build matches.
void PlayKick(Samples& track, double start, float velocity);
void PlaySnare(Samples& track, double start, float velocity);
// A closed hi-hat tick, or an open one that rings longer.
void PlayHat(Samples& track, double start, float velocity, bool open);

} // namespace audiogen

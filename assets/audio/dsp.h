// The synthesiser's building blocks: sample buffers, pitches, noise, oscillators, envelopes, filters and
// level helpers. Everything is deterministic, so every build writes the same files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace audiogen {

// One channel of sound, nominal range -1..1.
using Samples = std::vector<float>;

constexpr double kPi = 3.14159265358979323846;
constexpr double kTwoPi = 2.0 * kPi;

// Frequency in Hz of a MIDI note number (69 = A4 = 440 Hz); fractions bend the pitch.
double NoteHz(double midi);

// MIDI note number of a name such as "C4", "F#5" or "Bb3" (C4 = 60). -1 for a rest ("-") or a bad name.
int NoteNumber(const std::string& name);

// Samples in a span of seconds at a rate, rounded to the nearest sample.
size_t SampleCount(double seconds, int rate);

// White noise in -1..1 from a seeded xorshift generator.
class Noise {
  public:
    explicit Noise(uint32_t seed);
    float Next();

  private:
    uint32_t state_;
};

// A phase in cycles (0..1) advanced by a frequency; the oscillator shapes below read it.
class Phase {
  public:
    // Returns the phase before the step; step = hz / rate cycles.
    double Advance(double hz, int rate);
    double Value() const { return phase_; }
    double Step() const { return step_; }

  private:
    double phase_ = 0.0;
    double step_ = 0.0;
};

// Oscillator shapes of a phase in cycles. Saw and Pulse are band-limited (polyBLEP) for a phase step
// `step`, so high notes do not alias.
float Sine(double phase);
float Saw(double phase, double step);
float Pulse(double phase, double step, double width);

// exp(-t / tau): a natural decay, 1 at t = 0.
double Decay(double t, double tau);

// Linear rise from 0 to 1 over `seconds` (1 afterwards): a click-free attack.
double Rise(double t, double seconds);

// Attack-decay-sustain-release envelope of a note held for `held` seconds; the release follows.
struct Adsr {
    double attack;
    double decay;
    double sustain;
    double release;

    double At(double t, double held) const;
    // The note's whole sounding length: held plus the release.
    double Length(double held) const { return held + release; }
};

// Topology-preserving state-variable filter: lowpass, bandpass and highpass of one input, stable at
// every cutoff below half the rate. resonance is Q (0.5 soft, 0.707 flat, higher rings).
class Filter {
  public:
    struct Output {
        float low;
        float band;
        float high;
    };
    Output Process(float in, double cutoffHz, double resonance, int rate);
    float Low(float in, double cutoffHz, double resonance, int rate);
    float Band(float in, double cutoffHz, double resonance, int rate);
    float High(float in, double cutoffHz, double resonance, int rate);

  private:
    double ic1_ = 0.0;
    double ic2_ = 0.0;
};

// Largest absolute sample.
float Peak(const Samples& samples);

// Scales the samples so their peak becomes `peak` (silence stays silent).
void ScaleToPeak(Samples& samples, float peak);

// Raised-cosine fades over the first fadeIn and last fadeOut seconds, so the sound starts and ends at 0.
void FadeEdges(Samples& samples, int rate, double fadeIn, double fadeOut);

// Adds `source` x gain into `target` from sample `at`, growing `target` when needed.
void MixInto(Samples& target, const Samples& source, size_t at, float gain);

// A gentle saturation that keeps small signals linear and rounds peaks off below 1.
float SoftClip(float x);

} // namespace audiogen

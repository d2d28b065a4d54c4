#include "assets/audio/dsp.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace audiogen {

double NoteHz(double midi) {
    return 440.0 * std::pow(2.0, (midi - 69.0) / 12.0);
}

int NoteNumber(const std::string& name) {
    static const int kSemitoneOfLetter[7] = {9, 11, 0, 2, 4, 5, 7}; // A B C D E F G
    if (name.size() < 2) return -1;
    char letter = char(std::toupper(static_cast<unsigned char>(name[0])));
    if (letter < 'A' || letter > 'G') return -1;
    int semitone = kSemitoneOfLetter[letter - 'A'];
    size_t at = 1;
    if (name[at] == '#') {
        ++semitone;
        ++at;
    } else if (name[at] == 'b') {
        --semitone;
        ++at;
    }
    if (at + 1 != name.size() || !std::isdigit(static_cast<unsigned char>(name[at]))) return -1;
    int octave = name[at] - '0';
    return 12 * (octave + 1) + semitone;
}

size_t SampleCount(double seconds, int rate) {
    if (seconds <= 0.0) return 0;
    return size_t(std::lround(seconds * rate));
}

Noise::Noise(uint32_t seed) : state_(seed ? seed : 0x9E3779B9u) {}

float Noise::Next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return float(double(state_) / 2147483647.5 - 1.0);
}

double Phase::Advance(double hz, int rate) {
    double before = phase_;
    step_ = hz / rate;
    phase_ += step_;
    phase_ -= std::floor(phase_);
    return before;
}

float Sine(double phase) {
    return float(std::sin(kTwoPi * phase));
}

namespace {

// The polyBLEP correction that rounds a unit step at phase 0 over one sample either side.
double PolyBlep(double phase, double step) {
    if (step <= 0.0) return 0.0;
    if (phase < step) {
        double x = phase / step;
        return x + x - x * x - 1.0;
    }
    if (phase > 1.0 - step) {
        double x = (phase - 1.0) / step;
        return x * x + x + x + 1.0;
    }
    return 0.0;
}

} // namespace

float Saw(double phase, double step) {
    return float(2.0 * phase - 1.0 - PolyBlep(phase, step));
}

float Pulse(double phase, double step, double width) {
    double value = phase < width ? 1.0 : -1.0;
    value += PolyBlep(phase, step);
    double shifted = phase - width;
    shifted -= std::floor(shifted);
    value -= PolyBlep(shifted, step);
    return float(value);
}

double Decay(double t, double tau) {
    if (t < 0.0) return 0.0;
    return std::exp(-t / tau);
}

double Rise(double t, double seconds) {
    if (t <= 0.0) return 0.0;
    if (t >= seconds) return 1.0;
    return t / seconds;
}

double Adsr::At(double t, double held) const {
    if (t < 0.0) return 0.0;
    auto holding = [this](double s) {
        if (s < attack) return s / attack;
        double intoDecay = s - attack;
        if (intoDecay < decay) return 1.0 - (1.0 - sustain) * (intoDecay / decay);
        return sustain;
    };
    if (t < held) return holding(t);
    double level = holding(held);
    double intoRelease = t - held;
    if (intoRelease >= release) return 0.0;
    return level * (1.0 - intoRelease / release);
}

Filter::Output Filter::Process(float in, double cutoffHz, double resonance, int rate) {
    double limit = 0.45 * rate;
    double cutoff = std::clamp(cutoffHz, 10.0, limit);
    double g = std::tan(kPi * cutoff / rate);
    double k = 1.0 / std::max(resonance, 0.1);
    double a1 = 1.0 / (1.0 + g * (g + k));
    double a2 = g * a1;
    double a3 = g * a2;
    double v3 = in - ic2_;
    double v1 = a1 * ic1_ + a2 * v3;
    double v2 = ic2_ + a2 * ic1_ + a3 * v3;
    ic1_ = 2.0 * v1 - ic1_;
    ic2_ = 2.0 * v2 - ic2_;
    return {float(v2), float(v1), float(in - k * v1 - v2)};
}

float Filter::Low(float in, double cutoffHz, double resonance, int rate) {
    return Process(in, cutoffHz, resonance, rate).low;
}

float Filter::Band(float in, double cutoffHz, double resonance, int rate) {
    return Process(in, cutoffHz, resonance, rate).band;
}

float Filter::High(float in, double cutoffHz, double resonance, int rate) {
    return Process(in, cutoffHz, resonance, rate).high;
}

float Peak(const Samples& samples) {
    float peak = 0.0f;
    for (float s : samples)
        peak = std::max(peak, std::fabs(s));
    return peak;
}

void ScaleToPeak(Samples& samples, float peak) {
    float current = Peak(samples);
    if (current <= 0.0f) return;
    float gain = peak / current;
    for (float& s : samples)
        s *= gain;
}

void FadeEdges(Samples& samples, int rate, double fadeIn, double fadeOut) {
    size_t in = std::min(SampleCount(fadeIn, rate), samples.size());
    size_t out = std::min(SampleCount(fadeOut, rate), samples.size());
    for (size_t i = 0; i < in; ++i)
        samples[i] *= float(0.5 - 0.5 * std::cos(kPi * double(i) / double(in)));
    for (size_t i = 0; i < out; ++i) {
        // The last sample reaches exactly 0.
        double x = double(i) / double(out > 1 ? out - 1 : 1);
        samples[samples.size() - 1 - i] *= float(0.5 - 0.5 * std::cos(kPi * x));
    }
}

void MixInto(Samples& target, const Samples& source, size_t at, float gain) {
    if (target.size() < at + source.size()) target.resize(at + source.size(), 0.0f);
    for (size_t i = 0; i < source.size(); ++i)
        target[at + i] += gain * source[i];
}

float SoftClip(float x) {
    // Linear up to 0.5, then a tanh knee that approaches 1.
    float magnitude = std::fabs(x);
    if (magnitude <= 0.5f) return x;
    float shaped = 0.5f + 0.5f * std::tanh((magnitude - 0.5f) / 0.5f);
    return x < 0.0f ? -shaped : shaped;
}

} // namespace audiogen

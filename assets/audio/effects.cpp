#include "assets/audio/effects.h"

#include <cmath>

namespace audiogen {

namespace {

constexpr int kRate = kEffectRate;

// Every effect ends the same way: a short fade at both ends (no click) and a set peak level.
Samples Finish(Samples samples, float peak, double fadeIn = 0.002, double fadeOut = 0.01) {
    ScaleToPeak(samples, peak);
    FadeEdges(samples, kRate, fadeIn, fadeOut);
    return samples;
}

// A struck resonance: a sine at `hz` that dies away with time constant tau.
struct Mode {
    double hz;
    double tau;
    double gain;
};

// A bell-like FM tone: a sine carrier whose brightness (modulation index) fades faster than its volume.
float BellTone(double t, double hz, double ratio, double brightness, double tau) {
    double modulator = std::sin(kTwoPi * hz * ratio * t);
    double index = brightness * Decay(t, tau * 0.35);
    return float(std::sin(kTwoPi * hz * t + index * modulator) * Decay(t, tau) * Rise(t, 0.002));
}

// A brass-like note: two slightly detuned saws through a lowpass that opens with the note's swell.
// At(t, held) is called once per sample, in order, since the voice keeps its phases and filter.
class BrassVoice {
  public:
    explicit BrassVoice(double midi) : hz_(NoteHz(midi)) {}
    float At(double t, double held) {
        static const Adsr kShape{0.02, 0.10, 0.75, 0.12};
        double level = kShape.At(t, held);
        double a = a_.Advance(hz_, kRate);
        double b = b_.Advance(hz_ * 1.004, kRate);
        float raw = 0.5f * (Saw(a, a_.Step()) + Saw(b, b_.Step()));
        double cutoff = hz_ * (1.2 + 5.0 * level * Rise(t, 0.03));
        return float(level) * filter_.Low(raw, cutoff, 0.9, kRate);
    }

  private:
    double hz_;
    Phase a_, b_;
    Filter filter_;
};

} // namespace

Samples MakeArrow() {
    // A square-ish blip that steps down a fifth, over a tick of noise: a light UI click.
    Samples out(SampleCount(0.07, kRate));
    Noise noise(101);
    Filter tick;
    Phase tone;
    for (size_t i = 0; i < out.size(); ++i) {
        double t = double(i) / kRate;
        double hz = t < 0.018 ? 1568.0 : 1046.5;
        double phase = tone.Advance(hz, kRate);
        float body = 0.8f * Sine(phase) + 0.2f * Sine(3.0 * phase);
        float click = tick.High(noise.Next(), 3000.0, 0.7, kRate);
        out[i] = float(body * Decay(t, 0.018) * Rise(t, 0.001) + 0.35 * click * Decay(t, 0.0025));
    }
    return Finish(out, 0.5f, 0.0005, 0.008);
}

Samples MakeWall() {
    // A few inharmonic wood modes that die within tens of milliseconds, with a tiny noise strike.
    static const Mode kModes[] = {{430.0, 0.016, 1.0}, {1090.0, 0.008, 0.45}, {2210.0, 0.004, 0.25}};
    Samples out(SampleCount(0.08, kRate));
    Noise noise(202);
    Filter strike;
    for (size_t i = 0; i < out.size(); ++i) {
        double t = double(i) / kRate;
        double sum = 0.0;
        for (const Mode& mode : kModes)
            sum += mode.gain * std::sin(kTwoPi * mode.hz * t) * Decay(t, mode.tau);
        float hit = strike.Band(noise.Next(), 1800.0, 1.2, kRate);
        out[i] = float(sum * Rise(t, 0.0008) + 0.6 * hit * Decay(t, 0.002));
    }
    return Finish(out, 0.4f, 0.0005, 0.01);
}

Samples MakeExplode() {
    // A sharp crack, a noise body whose lowpass closes as it fades, and a low rumble that outlasts it.
    Samples out(SampleCount(1.3, kRate));
    Noise noise(303);
    Filter body, rumbleNoise;
    Phase boom;
    for (size_t i = 0; i < out.size(); ++i) {
        double t = double(i) / kRate;
        float white = noise.Next();
        double crack = white * Decay(t, 0.010);
        double bodyCutoff = 180.0 + 5500.0 * Decay(t, 0.10);
        double bodyPart = body.Low(white, bodyCutoff, 0.8, kRate) * Decay(t, 0.28) * Rise(t, 0.003);
        double boomHz = 42.0 + 80.0 * Decay(t, 0.12);
        double boomPart = Sine(boom.Advance(boomHz, kRate)) * Decay(t, 0.40) * Rise(t, 0.004);
        double rumble = rumbleNoise.Low(white, 160.0, 0.7, kRate) * Decay(t, 0.50);
        out[i] = SoftClip(float(0.5 * crack + 1.1 * bodyPart + 0.9 * boomPart + 3.0 * rumble));
    }
    return Finish(out, 0.85f, 0.001, 0.15);
}

Samples MakeFalling() {
    // A slide whistle gliding down two and a half octaves, fading as the ball drops away, then a soft
    // low thud as it lands.
    const double glide = 0.78;
    Samples out(SampleCount(1.0, kRate));
    Phase whistle, thud;
    for (size_t i = 0; i < out.size(); ++i) {
        double t = double(i) / kRate;
        double sample = 0.0;
        if (t < glide) {
            double x = t / glide;
            double hz = 1500.0 * std::pow(260.0 / 1500.0, x) * (1.0 + 0.012 * std::sin(kTwoPi * 6.0 * t));
            double phase = whistle.Advance(hz, kRate);
            double level = Rise(t, 0.03) * (1.0 - 0.55 * x) * (1.0 - Rise(t - (glide - 0.06), 0.06));
            sample += level * (Sine(phase) + 0.15 * Sine(2.0 * phase));
        }
        double sinceLanding = t - 0.80;
        if (sinceLanding >= 0.0) {
            double hz = 70.0 + 60.0 * Decay(sinceLanding, 0.02);
            sample +=
                0.7 * Sine(thud.Advance(hz, kRate)) * Decay(sinceLanding, 0.05) * Rise(sinceLanding, 0.004);
        }
        out[i] = float(sample);
    }
    return Finish(out, 0.6f, 0.002, 0.03);
}

Samples MakeIncorrect() {
    // Two buzzes, the second lower ("eh-ehh"): detuned saws through a dull lowpass.
    struct Buzz {
        double start;
        double length;
        double hz;
    };
    static const Buzz kBuzzes[] = {{0.0, 0.15, 155.6}, {0.21, 0.26, 116.5}};
    static const Adsr kShape{0.006, 0.04, 0.8, 0.04};
    Samples out(SampleCount(0.52, kRate));
    for (const Buzz& buzz : kBuzzes) {
        Phase a, b;
        Filter tone;
        size_t first = SampleCount(buzz.start, kRate);
        for (size_t i = first; i < out.size(); ++i) {
            double t = double(i - first) / kRate;
            if (t > kShape.Length(buzz.length)) break;
            double pa = a.Advance(buzz.hz, kRate);
            double pb = b.Advance(buzz.hz * 1.025, kRate);
            float raw = 0.5f * (Saw(pa, a.Step()) + Pulse(pb, b.Step(), 0.5));
            out[i] += float(kShape.At(t, buzz.length)) * tone.Low(raw, 1300.0, 1.0, kRate);
        }
    }
    return Finish(out, 0.55f, 0.002, 0.02);
}

Samples MakeLevel() {
    // "Ta-ta-ta-taaa": G4 C5 E5 then a held G5 over a C major chord.
    struct Blow {
        double start;
        double held;
        double midi;
        double gain;
    };
    static const Blow kBlows[] = {{0.00, 0.08, 67, 0.8}, {0.12, 0.08, 72, 0.8}, {0.24, 0.08, 76, 0.8},
                                  {0.36, 0.42, 79, 1.0}, {0.36, 0.42, 72, 0.5}, {0.36, 0.42, 76, 0.5}};
    Samples out(SampleCount(0.95, kRate));
    for (const Blow& blow : kBlows) {
        BrassVoice voice(blow.midi);
        size_t first = SampleCount(blow.start, kRate);
        for (size_t i = first; i < out.size(); ++i) {
            double t = double(i - first) / kRate;
            out[i] += float(blow.gain) * voice.At(t, blow.held);
        }
    }
    return Finish(out, 0.7f, 0.002, 0.03);
}

Samples MakePositive() {
    // A glassy ding-ding: B5 then E6, FM bells with a harmonic modulator.
    Samples out(SampleCount(0.9, kRate));
    const double starts[] = {0.0, 0.075};
    const double hz[] = {987.8, 1318.5};
    for (size_t i = 0; i < out.size(); ++i) {
        double t = double(i) / kRate;
        double sum = 0.0;
        for (int n = 0; n < 2; ++n)
            if (t >= starts[n]) sum += BellTone(t - starts[n], hz[n], 2.0, 1.6, 0.30);
        out[i] = float(sum);
    }
    return Finish(out, 0.6f, 0.001, 0.05);
}

Samples MakeVeryPositive() {
    // C major climbing two octaves in quick bell notes, then a sparkling top C over a soft chord.
    static const double kArpeggio[] = {72, 76, 79, 84, 88, 91, 96};
    const double step = 0.07;
    Samples out(SampleCount(1.8, kRate));
    for (size_t n = 0; n < std::size(kArpeggio); ++n) {
        double start = n * step;
        double tau = n + 1 == std::size(kArpeggio) ? 0.55 : 0.30;
        double hz = NoteHz(kArpeggio[n]);
        for (size_t i = SampleCount(start, kRate); i < out.size(); ++i)
            out[i] += 0.7f * BellTone(double(i) / kRate - start, hz, 2.0, 1.4, tau);
    }
    static const double kChord[] = {60, 64, 67, 72};
    for (double midi : kChord) {
        BrassVoice voice(midi);
        for (size_t i = 0; i < out.size(); ++i)
            out[i] += 0.22f * voice.At(double(i) / kRate, 0.9);
    }
    return Finish(out, 0.75f, 0.002, 0.1);
}

Samples MakeZap() {
    // A buzzing saw sweeping down, its pitch warbled and its level pulsed at mains-hum rates, over a
    // first burst of crackling sparks.
    const double length = 0.42;
    Samples out(SampleCount(length, kRate));
    Noise noise(909);
    Filter jitterSmooth, sparks, tone;
    Phase saw;
    for (size_t i = 0; i < out.size(); ++i) {
        double t = double(i) / kRate;
        double sweep = 2400.0 * std::pow(0.075, t / length);
        double warble = 1.0 + 0.25 * std::sin(kTwoPi * 90.0 * t);
        double jitter = 1.0 + 0.5 * jitterSmooth.Low(noise.Next(), 300.0, 0.7, kRate);
        double phase = saw.Advance(sweep * warble * jitter, kRate);
        double hum = 0.65 + 0.35 * std::sin(kTwoPi * 100.0 * t);
        double buzz = hum * tone.Low(Saw(phase, saw.Step()), 6000.0, 1.5, kRate);
        float spark = noise.Next();
        float impulse = std::fabs(spark) > 0.96f ? spark : 0.0f;
        double crackle = sparks.Band(impulse, 4000.0, 3.0, kRate) * Decay(t, 0.08);
        double level = Rise(t, 0.003) * Decay(t, 0.16);
        out[i] = float(level * 0.8 * buzz + 1.2 * crackle);
    }
    return Finish(out, 0.55f, 0.001, 0.03);
}

const std::vector<Effect>& AllEffects() {
    static const std::vector<Effect> kEffects = {
        {"arrow.wav", MakeArrow},
        {"wall.wav", MakeWall},
        {"explode.wav", MakeExplode},
        {"falling.wav", MakeFalling},
        {"incorrect.wav", MakeIncorrect},
        {"level.wav", MakeLevel},
        {"positive.wav", MakePositive},
        {"verypositive.wav", MakeVeryPositive},
        {"zap.wav", MakeZap},
    };
    return kEffects;
}

} // namespace audiogen

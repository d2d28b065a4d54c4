#include "assets/audio/instruments.h"

#include <cmath>

namespace audiogen {

namespace {

constexpr int kRate = kMusicRate;

// Adds voice(t) for t from 0 to `length` seconds into the track from `start`. The voice keeps its own
// state (phases, filters), so it is called once per sample in order.
template <class Voice> void Render(Samples& track, double start, double length, Voice&& voice) {
    size_t first = SampleCount(start, kRate);
    size_t count = SampleCount(length, kRate);
    for (size_t i = 0; i < count && first + i < track.size(); ++i)
        track[first + i] += voice(double(i) / kRate);
}

uint32_t SeedOf(double start) {
    return uint32_t(std::lround(start * 1000.0)) * 2654435761u + 1u;
}

} // namespace

void PlayLead(Samples& track, const Note& note) {
    static const Adsr kShape{0.012, 0.30, 0.6, 0.09};
    double hz = NoteHz(note.midi);
    Phase carrier, modulator;
    Render(track, note.start, kShape.Length(note.held), [&](double t) {
        // Vibrato grows in only on held notes.
        double vibrato = 1.0 + 0.004 * Rise(t - 0.25, 0.2) * std::sin(kTwoPi * 5.5 * t);
        double index = 1.3 + 1.8 * Decay(t, 0.09);
        double mod = Sine(modulator.Advance(hz * vibrato, kRate));
        double phase = carrier.Advance(hz * vibrato, kRate);
        double tone = std::sin(kTwoPi * phase + index * mod);
        return float(note.velocity * kShape.At(t, note.held) * tone);
    });
}

void PlayMallet(Samples& track, const Note& note) {
    double hz = NoteHz(note.midi);
    double length = note.held + 0.35;
    Render(track, note.start, length, [&](double t) {
        double body = std::sin(kTwoPi * hz * t) * Decay(t, 0.16);
        double overtone = 0.35 * std::sin(kTwoPi * 4.0 * hz * t) * Decay(t, 0.018);
        double ending = 1.0 - Rise(t - (length - 0.03), 0.03);
        return float(note.velocity * (body + overtone) * Rise(t, 0.001) * ending);
    });
}

void PlayStab(Samples& track, const Note& note) {
    static const Adsr kShape{0.004, 0.08, 0.5, 0.06};
    double hz = NoteHz(note.midi);
    Phase osc;
    Filter filter;
    Render(track, note.start, kShape.Length(note.held), [&](double t) {
        double phase = osc.Advance(hz, kRate);
        double cutoff = hz * 2.0 + 3500.0 * Decay(t, 0.05);
        float raw = Pulse(phase, osc.Step(), 0.35);
        return float(note.velocity * kShape.At(t, note.held)) * filter.Low(raw, cutoff, 0.8, kRate);
    });
}

void PlayPad(Samples& track, const Note& note) {
    static const Adsr kShape{0.18, 0.3, 0.8, 0.3};
    double hz = NoteHz(note.midi);
    Phase a, b;
    Filter filter;
    Render(track, note.start, kShape.Length(note.held), [&](double t) {
        double pa = a.Advance(hz * 0.997, kRate);
        double pb = b.Advance(hz * 1.003, kRate);
        float raw = 0.5f * (Saw(pa, a.Step()) + Saw(pb, b.Step()));
        return float(note.velocity * kShape.At(t, note.held)) * filter.Low(raw, 1100.0, 0.6, kRate);
    });
}

void PlayBass(Samples& track, const Note& note) {
    static const Adsr kShape{0.004, 0.15, 0.7, 0.04};
    double hz = NoteHz(note.midi);
    Phase saw, sub;
    Filter filter;
    Render(track, note.start, kShape.Length(note.held), [&](double t) {
        double phase = saw.Advance(hz, kRate);
        double cutoff = 250.0 + 1400.0 * Decay(t, 0.06);
        float bright = filter.Low(Saw(phase, saw.Step()), cutoff, 1.6, kRate);
        float low = Sine(sub.Advance(hz, kRate));
        return float(note.velocity * kShape.At(t, note.held)) * (0.6f * bright + 0.7f * low);
    });
}

void PlayKick(Samples& track, double start, float velocity) {
    Phase body;
    Noise noise(SeedOf(start));
    Render(track, start, 0.32, [&](double t) {
        double hz = 48.0 + 120.0 * Decay(t, 0.028);
        double thump = Sine(body.Advance(hz, kRate)) * Decay(t, 0.16) * Rise(t, 0.001);
        double click = 0.25 * noise.Next() * Decay(t, 0.002);
        double ending = 1.0 - Rise(t - 0.29, 0.03);
        return float(velocity * (thump + click) * ending);
    });
}

void PlaySnare(Samples& track, double start, float velocity) {
    Phase body;
    Noise noise(SeedOf(start) ^ 0x5A5A5A5Au);
    Filter rattle;
    Render(track, start, 0.25, [&](double t) {
        double tone = 0.5 * Sine(body.Advance(185.0, kRate)) * Decay(t, 0.04);
        double snares = rattle.Band(noise.Next(), 2600.0, 0.6, kRate) * Decay(t, 0.065);
        double ending = 1.0 - Rise(t - 0.22, 0.03);
        return float(velocity * (tone + 1.4 * snares) * Rise(t, 0.0007) * ending);
    });
}

void PlayHat(Samples& track, double start, float velocity, bool open) {
    Noise noise(SeedOf(start) ^ 0xC3C3C3C3u);
    Filter hiss;
    double tau = open ? 0.11 : 0.022;
    double length = open ? 0.4 : 0.09;
    Render(track, start, length, [&](double t) {
        double ending = 1.0 - Rise(t - (length - 0.02), 0.02);
        return float(velocity * hiss.High(noise.Next(), 7500.0, 0.8, kRate) * Decay(t, tau) * ending);
    });
}

} // namespace audiogen

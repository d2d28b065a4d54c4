#include "assets/audio/music.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <sstream>
#include <stdexcept>
#include <string>

namespace audiogen {

namespace {

// Lowest notes of each part's register: chords are voiced upward from these.
constexpr int kBassFloor = 36;     // C2
constexpr int kChordFloor = 57;    // A3
constexpr int kArpeggioFloor = 64; // E4

// A chord: its root's pitch class (0 = C) and its notes as semitones above the root.
struct Chord {
    int root;
    std::vector<int> intervals;
};

// Parses "C", "Am", "G7", "Dm7", "F#", "Bb"; false for anything else.
bool ParseChord(const std::string& name, Chord& chord) {
    size_t qualityAt = name.size() > 1 && (name[1] == '#' || name[1] == 'b') ? 2 : 1;
    int root = NoteNumber(name.substr(0, qualityAt) + "4");
    if (root < 0) return false;
    chord.root = root % 12;
    std::string quality = name.substr(qualityAt);
    if (quality == "")
        chord.intervals = {0, 4, 7};
    else if (quality == "m")
        chord.intervals = {0, 3, 7};
    else if (quality == "7")
        chord.intervals = {0, 4, 7, 10};
    else if (quality == "m7")
        chord.intervals = {0, 3, 7, 10};
    else
        return false;
    return true;
}

std::vector<Chord> ChordsOfBar(const Bar& bar) {
    std::vector<Chord> chords;
    std::istringstream names(bar.chords);
    std::string name;
    while (names >> name) {
        Chord chord;
        if (!ParseChord(name, chord)) throw std::runtime_error("unknown chord \"" + name + "\"");
        chords.push_back(chord);
    }
    if (chords.empty() || chords.size() > 2)
        throw std::runtime_error(std::string("a bar needs one or two chords, not \"") + bar.chords + "\"");
    return chords;
}

// The chord sounding at an eighth (0..7) of a bar: a second chord takes the second half.
Chord ChordAt(const Bar& bar, int eighth) {
    std::vector<Chord> chords = ChordsOfBar(bar);
    return chords[eighth < 4 || chords.size() == 1 ? 0 : 1];
}

// The pitch of a pitch class in the octave starting at `floor`.
int InOctaveFrom(int pitchClass, int floor) {
    return floor + ((pitchClass - floor) % 12 + 12) % 12;
}

// The chord's notes in close position from `floor` upward.
std::vector<int> Voicing(const Chord& chord, int floor) {
    std::vector<int> notes;
    for (int interval : chord.intervals)
        notes.push_back(InOctaveFrom(chord.root + interval, floor));
    std::sort(notes.begin(), notes.end());
    return notes;
}

// Where things fall in time.
struct Timing {
    double eighth;
    double bar;
    double end;
    explicit Timing(const Score& score)
        : eighth(30.0 / score.beatsPerMinute), bar(8.0 * eighth), end(bar * double(score.bars.size())) {}
    // The loop breathes: no accompaniment starts in the tune's last eighth.
    bool InBreath(double start) const { return start >= end - eighth - 1e-9; }
};

// The parts of the band, one mono track each, as long as the tune.
struct Tracks {
    Samples lead, mallet, chords, bass, kick, snare, hats;
    explicit Tracks(size_t length)
        : lead(length), mallet(length), chords(length), bass(length), kick(length), snare(length),
          hats(length) {}
};

// The section that plays each bar.
std::vector<const Section*> SectionOfEachBar(const Score& score) {
    std::vector<const Section*> sectionOf;
    for (const Section& section : score.sections)
        sectionOf.insert(sectionOf.end(), section.bars, &section);
    return sectionOf;
}

void WriteMelody(const Score& score, const Timing& timing, Tracks& tracks) {
    for (size_t b = 0; b < score.bars.size(); ++b) {
        double start = double(b) * timing.bar;
        for (const ScoreNote& note : score.bars[b].melody) {
            double length = note.eighths * timing.eighth;
            int midi = NoteNumber(note.pitch);
            if (midi >= 0) PlayLead(tracks.lead, {start, length * 0.92, double(midi), 0.85f});
            start += length;
        }
    }
}

void WriteBass(const Bar& bar, const Section& section, double barStart, const Timing& timing,
               Samples& track) {
    for (int e = 0; e < 8; ++e) {
        double start = barStart + e * timing.eighth;
        char step = section.bass[e];
        if (step == '.' || timing.InBreath(start)) continue;
        Chord chord = ChordAt(bar, e);
        int root = InOctaveFrom(chord.root, kBassFloor);
        int offset = step == '3'   ? chord.intervals[1]
                     : step == '5' ? chord.intervals[2]
                     : step == 'O' ? 12
                                   : 0;
        PlayBass(track, {start, timing.eighth * 0.8, double(root + offset), e == 0 ? 0.95f : 0.8f});
    }
}

void WriteBacking(const Bar& bar, const Section& section, double barStart, const Timing& timing,
                  Samples& track) {
    if (section.backing == Backing::Stabs) {
        // Chords on the off-beats: the "and" of every beat.
        for (int e = 1; e < 8; e += 2) {
            double start = barStart + e * timing.eighth;
            if (timing.InBreath(start)) continue;
            for (int midi : Voicing(ChordAt(bar, e), kChordFloor))
                PlayStab(track, {start, 0.11, double(midi), 0.5f});
        }
        return;
    }
    // Held chords, one per chord of the bar.
    std::vector<Chord> chords = ChordsOfBar(bar);
    double span = timing.bar / double(chords.size());
    for (size_t c = 0; c < chords.size(); ++c)
        for (int midi : Voicing(chords[c], kChordFloor))
            PlayPad(track, {barStart + double(c) * span, span - 0.05, double(midi), 0.35f});
}

void WriteArpeggio(const Score& score, const Bar& bar, const Section& section, double barStart,
                   const Timing& timing, Samples& track) {
    if (section.arpeggio == Arpeggio::None || score.arpeggioSteps.empty()) return;
    int perBar = section.arpeggio == Arpeggio::Eighths ? 8 : 16;
    double step = timing.bar / perBar;
    for (int k = 0; k < perBar; ++k) {
        double start = barStart + k * step;
        if (timing.InBreath(start)) continue;
        std::vector<int> triad = Voicing(ChordAt(bar, k * 8 / perBar), kArpeggioFloor);
        triad.resize(3);
        int index = score.arpeggioSteps[size_t(k) % score.arpeggioSteps.size()];
        int midi = triad[size_t(index % 3)] + 12 * (index / 3);
        bool onBeat = k % (perBar / 4) == 0;
        PlayMallet(track, {start, step * 0.5, double(midi), onBeat ? 0.6f : 0.45f});
    }
}

void WriteDrums(const Groove& groove, double barStart, const Timing& timing, Tracks& tracks) {
    double sixteenth = timing.eighth / 2.0;
    for (int s = 0; s < 16; ++s) {
        double start = barStart + s * sixteenth;
        bool onBeat = s % 4 == 0;
        if (groove.kick[s] == 'x') PlayKick(tracks.kick, start, 0.9f);
        if (groove.snare[s] == 'x') PlaySnare(tracks.snare, start, onBeat ? 0.8f : 0.5f);
        if (groove.hat[s] == 'x') PlayHat(tracks.hats, start, onBeat ? 0.5f : 0.35f, false);
        if (groove.hat[s] == 'o') PlayHat(tracks.hats, start, 0.45f, true);
    }
}

void Arrange(const Score& score, const Timing& timing, Tracks& tracks) {
    WriteMelody(score, timing, tracks);
    std::vector<const Section*> sectionOf = SectionOfEachBar(score);
    for (size_t b = 0; b < score.bars.size(); ++b) {
        const Bar& bar = score.bars[b];
        const Section& section = *sectionOf[b];
        double barStart = double(b) * timing.bar;
        bool lastOfSection = b + 1 == score.bars.size() || sectionOf[b + 1] != &section;
        WriteBass(bar, section, barStart, timing, tracks.bass);
        WriteBacking(bar, section, barStart, timing, tracks.chords);
        WriteArpeggio(score, bar, section, barStart, timing, tracks.mallet);
        WriteDrums(lastOfSection ? section.fill : section.groove, barStart, timing, tracks);
    }
}

// Adds a mono track into the mix at a gain and a place between left (-1) and right (+1), keeping its
// loudness the same wherever it is placed.
void Place(const Samples& track, float gain, float pan, StereoSound& mix) {
    double angle = (double(pan) + 1.0) * kPi / 4.0;
    float left = gain * float(std::cos(angle));
    float right = gain * float(std::sin(angle));
    for (size_t i = 0; i < track.size(); ++i) {
        mix.left[i] += left * track[i];
        mix.right[i] += right * track[i];
    }
}

// A ping-pong echo: repeats of the track alternate left and right, each `feedback` quieter.
void AddEcho(const Samples& track, double delay, float feedback, float wet, StereoSound& mix) {
    size_t lag = SampleCount(delay, kMusicRate);
    Samples left(track.size()), right(track.size());
    for (size_t i = lag; i < track.size(); ++i) {
        left[i] = wet * track[i - lag] + feedback * right[i - lag];
        right[i] = feedback * left[i - lag];
    }
    for (size_t i = 0; i < track.size(); ++i) {
        mix.left[i] += left[i];
        mix.right[i] += right[i];
    }
}

StereoSound Mix(const Tracks& tracks, const Timing& timing) {
    StereoSound mix{Samples(tracks.lead.size()), Samples(tracks.lead.size())};
    Place(tracks.lead, 0.42f, -0.08f, mix);
    AddEcho(tracks.lead, 3.0 * timing.eighth / 2.0, 0.35f, 0.1f, mix);
    Place(tracks.mallet, 0.22f, -0.35f, mix);
    Place(tracks.chords, 0.2f, 0.25f, mix);
    Place(tracks.bass, 0.5f, 0.0f, mix);
    Place(tracks.kick, 0.75f, 0.0f, mix);
    Place(tracks.snare, 0.4f, 0.08f, mix);
    Place(tracks.hats, 0.22f, 0.3f, mix);
    return mix;
}

// Takes out the slow drift that pitch-swept drums leave below hearing (a DC offset costs headroom).
void RemoveDrift(Samples& channel) {
    Filter filter;
    for (float& s : channel)
        s = filter.High(s, 20.0, 0.707, kMusicRate);
}

// Brings the peaks down gently, sets the level and fades the loop's very edges to silence.
void Master(StereoSound& mix) {
    RemoveDrift(mix.left);
    RemoveDrift(mix.right);
    float peak = std::max(Peak(mix.left), Peak(mix.right));
    if (peak <= 0.0f) return;
    float gain = 0.85f / peak;
    for (Samples* channel : {&mix.left, &mix.right})
        for (float& s : *channel)
            s = SoftClip(s * gain);
    peak = std::max(Peak(mix.left), Peak(mix.right));
    for (Samples* channel : {&mix.left, &mix.right}) {
        for (float& s : *channel)
            s *= kMusicPeak / peak;
        FadeEdges(*channel, kMusicRate, 0.002, 0.04);
    }
}

} // namespace

void CheckScore(const Score& score) {
    if (score.beatsPerMinute < 40.0 || score.beatsPerMinute > 240.0)
        throw std::runtime_error("tempo out of range");
    if (score.bars.empty()) throw std::runtime_error("the score has no bars");
    for (size_t b = 0; b < score.bars.size(); ++b) {
        std::string where = "bar " + std::to_string(b + 1) + ": ";
        ChordsOfBar(score.bars[b]);
        int eighths = 0;
        for (const ScoreNote& note : score.bars[b].melody) {
            if (std::strcmp(note.pitch, "-") != 0 && NoteNumber(note.pitch) < 0)
                throw std::runtime_error(where + "unknown note \"" + note.pitch + "\"");
            if (note.eighths <= 0) throw std::runtime_error(where + "a note without length");
            eighths += note.eighths;
        }
        if (eighths != 8) throw std::runtime_error(where + std::to_string(eighths) + " eighths instead of 8");
    }
    size_t covered = 0;
    for (const Section& section : score.sections) {
        std::string where = std::string("section ") + section.name + ": ";
        if (section.bars <= 0) throw std::runtime_error(where + "no bars");
        if (std::strlen(section.bass) != 8) throw std::runtime_error(where + "the bass figure needs 8 steps");
        if (std::strspn(section.bass, "R35O.") != 8) throw std::runtime_error(where + "bad bass step");
        for (const Groove* groove : {&section.groove, &section.fill})
            for (const char* line : {groove->kick, groove->snare, groove->hat})
                if (std::strlen(line) != 16 || std::strspn(line, "xo.") != 16)
                    throw std::runtime_error(where + "a drum line needs 16 steps of 'x', 'o' or '.'");
        covered += size_t(section.bars);
    }
    if (covered != score.bars.size()) throw std::runtime_error("the sections do not cover every bar once");
    for (int step : score.arpeggioSteps)
        if (step < 0 || step > 5) throw std::runtime_error("arpeggio steps run from 0 to 5");
}

StereoSound RenderTune(const Score& score) {
    CheckScore(score);
    Timing timing(score);
    Tracks tracks(SampleCount(timing.end, kMusicRate));
    Arrange(score, timing, tracks);
    StereoSound mix = Mix(tracks, timing);
    Master(mix);
    return mix;
}

} // namespace audiogen

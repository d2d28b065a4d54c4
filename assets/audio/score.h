// The game's tune written out as a score: a melody and chords bar by bar, and for each section of the
// tune how the band accompanies it (bass figure, chords, arpeggios, drum grooves).
#pragma once

#include <vector>

namespace audiogen {

// One melody note: its name ("E5", "F#4"; "-" for a rest) and its length in eighth notes.
struct ScoreNote {
    const char* pitch;
    int eighths;
};

// One bar of 4/4: its chord ("C", "Am", "G7"), or two chords for half a bar each ("Em Am"), and its
// melody, eight eighths long.
struct Bar {
    const char* chords;
    std::vector<ScoreNote> melody;
};

// A drum groove for one bar, one character per sixteenth note: 'x' a hit, 'o' an open hi-hat, '.' none.
struct Groove {
    const char* kick;
    const char* snare;
    const char* hat;
};

// How the chords are played under a section.
enum class Backing {
    Stabs, // short off-beat chords
    Pad,   // held chords
};

// How fast the mallet arpeggio runs, if at all.
enum class Arpeggio {
    None,
    Eighths,
    Sixteenths,
};

// A run of bars played one way. The bass figure has one character per eighth note: 'R' the chord's
// root, '3' its third, '5' its fifth, 'O' the root an octave up, '.' silence. The last bar of a section
// plays its fill groove instead of the groove.
struct Section {
    const char* name;
    int bars;
    const char* bass;
    Backing backing;
    Arpeggio arpeggio;
    Groove groove;
    Groove fill;
};

struct Score {
    double beatsPerMinute;
    std::vector<Bar> bars;
    std::vector<Section> sections; // their bar counts add up to the number of bars
    // The order in which an arpeggio walks the chord: indices into the chord's notes stacked upward
    // (0, 1, 2 the chord, 3, 4, 5 the same an octave higher).
    std::vector<int> arpeggioSteps;
};

// The tune. It loops: its last bar turns back to its first.
const Score& GameTune();

} // namespace audiogen

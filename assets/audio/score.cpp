#include "assets/audio/score.h"

namespace audiogen {

namespace {

// Drum grooves, one bar each, one character per sixteenth.
// The main groove: kick on 1 and 3 with a skip, backbeat snare, steady eighth hats.
const Groove kDrive{"x.......x.x.....", "....x.......x...", "x.x.x.x.x.x.x.x."};
const Groove kDriveFill{"x.......x.x.....", "....x.......x.xx", "x.x.x.x.x.x....."};
// A busier variant with an open hi-hat lifting into each next bar.
const Groove kLift{"x.....x.x.x.....", "....x.......x...", "x.x.x.x.x.x.x.o."};
const Groove kLiftFill{"x.....x.x.x.....", "....x.....x.x.xx", "x.x.x.x.x.x....."};
// Half time for the bridge: one snare a bar, hats keep the pulse.
const Groove kHalfTime{"x.........x.....", "........x.......", "x.x.x.x.x.x.x.x."};
const Groove kHalfTimeFill{"x.........x.....", "........x.x.xxxx", "x.x.x.x.x......."};
// The tune's last bar: the fill stops a sixteenth early so the loop breathes before it starts again.
const Groove kLoopFill{"x.....x.x.......", "....x.....x.xxx.", "x.x.x.x.x......."};

} // namespace

const Score& GameTune() {
    static const Score kTune{
        120.0,
        {
            // Theme: a bouncy tune climbing through C - Am - F - G.
            {"C", {{"E5", 2}, {"G5", 1}, {"E5", 1}, {"C5", 2}, {"D5", 1}, {"E5", 1}}},
            {"Am", {{"A4", 2}, {"C5", 1}, {"E5", 1}, {"A5", 3}, {"G5", 1}}},
            {"F", {{"F5", 1}, {"E5", 1}, {"D5", 1}, {"C5", 1}, {"A4", 2}, {"C5", 2}}},
            {"G", {{"D5", 3}, {"B4", 1}, {"G4", 2}, {"-", 2}}},
            {"C", {{"E5", 2}, {"G5", 1}, {"E5", 1}, {"C6", 2}, {"B5", 1}, {"A5", 1}}},
            {"Am", {{"G5", 1}, {"E5", 1}, {"C5", 1}, {"E5", 1}, {"A5", 2}, {"G5", 2}}},
            {"Dm", {{"F5", 2}, {"E5", 1}, {"D5", 1}, {"A5", 2}, {"F5", 2}}},
            {"G", {{"G5", 3}, {"F5", 1}, {"E5", 1}, {"D5", 1}, {"B4", 2}}},

            // Answer: the theme again, reaching higher and settling home on C.
            {"C", {{"E5", 2}, {"G5", 1}, {"E5", 1}, {"C5", 2}, {"D5", 1}, {"E5", 1}}},
            {"Am", {{"A4", 2}, {"C5", 1}, {"E5", 1}, {"A5", 3}, {"G5", 1}}},
            {"F", {{"F5", 1}, {"G5", 1}, {"A5", 1}, {"F5", 1}, {"C6", 2}, {"A5", 2}}},
            {"G", {{"B5", 3}, {"A5", 1}, {"G5", 2}, {"D5", 2}}},
            {"F", {{"C6", 2}, {"A5", 1}, {"F5", 1}, {"A5", 2}, {"C6", 2}}},
            {"G", {{"B5", 2}, {"G5", 1}, {"D5", 1}, {"G5", 2}, {"B5", 2}}},
            {"C", {{"C6", 4}, {"G5", 2}, {"E5", 2}}},
            {"C", {{"C5", 2}, {"-", 4}, {"E5", 1}, {"G5", 1}}},

            // Bridge: longer, singing notes over held chords, then a run back up.
            {"F", {{"A5", 3}, {"G5", 1}, {"F5", 2}, {"C5", 2}}},
            {"G", {{"D5", 3}, {"E5", 1}, {"G5", 4}}},
            {"Em", {{"G5", 3}, {"F5", 1}, {"E5", 2}, {"B4", 2}}},
            {"Am", {{"C5", 3}, {"D5", 1}, {"E5", 4}}},
            {"Dm", {{"F5", 2}, {"E5", 1}, {"F5", 1}, {"A5", 2}, {"F5", 2}}},
            {"G", {{"G5", 2}, {"F5", 1}, {"G5", 1}, {"B5", 2}, {"G5", 2}}},
            {"Em Am",
             {{"E5", 1}, {"G5", 1}, {"B5", 1}, {"G5", 1}, {"A5", 1}, {"C6", 1}, {"E6", 1}, {"C6", 1}}},
            {"Dm G", {{"D6", 2}, {"C6", 1}, {"A5", 1}, {"B5", 2}, {"G5", 2}}},

            // Return: the theme, a climb to the top, and a G7 run down and up that leads back to the start.
            {"C", {{"E5", 2}, {"G5", 1}, {"E5", 1}, {"C5", 2}, {"D5", 1}, {"E5", 1}}},
            {"Am", {{"A4", 2}, {"C5", 1}, {"E5", 1}, {"A5", 3}, {"G5", 1}}},
            {"F", {{"F5", 1}, {"E5", 1}, {"D5", 1}, {"C5", 1}, {"A4", 2}, {"C5", 2}}},
            {"G", {{"D5", 3}, {"B4", 1}, {"G4", 2}, {"G5", 1}, {"B5", 1}}},
            {"F", {{"C6", 2}, {"A5", 1}, {"F5", 1}, {"A5", 2}, {"C6", 2}}},
            {"G", {{"D6", 2}, {"B5", 1}, {"G5", 1}, {"B5", 2}, {"D6", 2}}},
            {"C", {{"E6", 2}, {"D6", 1}, {"C6", 1}, {"G5", 2}, {"E5", 2}}},
            {"G7", {{"G5", 1}, {"F5", 1}, {"D5", 1}, {"B4", 1}, {"G4", 1}, {"B4", 1}, {"D5", 1}, {"-", 1}}},
        },
        {
            {"theme", 8, "R..RR.5.", Backing::Stabs, Arpeggio::None, kDrive, kDriveFill},
            {"answer", 8, "R.5.O.5.", Backing::Stabs, Arpeggio::Eighths, kLift, kLiftFill},
            {"bridge", 8, "R..R..5.", Backing::Pad, Arpeggio::Sixteenths, kHalfTime, kHalfTimeFill},
            {"return", 8, "R.RO5.O5", Backing::Stabs, Arpeggio::Sixteenths, kLift, kLoopFill},
        },
        {0, 1, 2, 3, 4, 3, 2, 1},
    };
    return kTune;
}

} // namespace audiogen

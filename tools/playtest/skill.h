// The three players the tool plays with: a newcomer, a practised middle player and a practised expert.
// Their limits are those of a person with a mouse (see the README's paragraph on the tool):
//   - reaction: what the screen shows reaches the hand 150-250 ms later (simple visual reaction times
//     run 180-250 ms; practised tracking of a moving object about 150 ms), and a practised player makes
//     up part of that delay by judging where a moving ball will be;
//   - corrections come every 100-170 ms, not continuously (intermittent control, the refractory period
//     between two corrective movements);
//   - the pointer follows the hand's aim with a lag (time constant 80-130 ms, as in a minimum-jerk
//     movement of a few hundred pixels in 300-500 ms), at a top speed of 1200-2400 pixels a second,
//     and with noise that grows with its speed, sigma = tremor + k x speed (Fitts' law: a mouse's
//     throughput of 3.5-5 bits a second means a 200-pixel movement made in 0.6 s lands with a spread
//     of about 12 pixels, k = 0.036 s);
//   - a ball is never undone: an attempt ends when a coloured ball is lost.
#pragma once

namespace playtest {

struct Skill {
    const char* name;
    // Perception and timing.
    float delayMinMs, delayMaxMs; // reaction delay, drawn per attempt
    float prediction;             // share of the delay made up by extrapolating the seen motion
    float decisionMs;             // time between corrections
    // The pointer.
    float lagMs;         // time constant of the pointer following the aim
    float topSpeed;      // pixels per second
    float tremor;        // pixels of spread at rest
    float noisePerSpeed; // seconds: spread added per pixel-per-second of pointer speed
    // Judgement.
    float cruise;       // the speed wanted on open ground (pixels per frame)
    float capTrust;     // times the speed narrow places and bends allow (above 1: takes them too fast)
    float brakingShare; // share of the magnet's full braking counted on when slowing for the goal
    float slack;        // velocity error let ride before a correction (pixels per frame)
    float reach;        // how far from the steered ball the pointer is held (pixels)
    float attention;    // chance, at each correction, of checking where the other balls would go
    float lookAheadMs;  // how far ahead that check foresees the balls' paths
    bool weighsReach;   // tries other distances of the pointer (farther keeps the others apart)
    float shareWeight;  // how much the other balls' way home counts when placing the pointer (0: not at all)
    int practice;       // attempts played before the measured ones (0: a newcomer's first attempts count)
};

enum SkillIndex { kNewcomer, kMiddle, kExpert, kSkillCount };

inline constexpr Skill kSkills[kSkillCount] = {
    {"newcomer", 220, 250, 0.25f, 170, 130, 1200, 2.0f, 0.045f, 3.2f, 1.3f, 0.9f, 0.45f, 70, 0.25f, 600,
     false, 0.3f, 0},
    {"middle", 185, 220, 0.5f, 130, 100, 1800, 1.5f, 0.035f, 2.6f, 1.0f, 0.65f, 0.3f, 140, 0.6f, 1000, true,
     0.5f, 6},
    {"expert", 150, 185, 0.75f, 100, 80, 2400, 1.0f, 0.025f, 3.0f, 1.0f, 0.6f, 0.2f, 220, 0.9f, 1300, true,
     0.6f, 10},
};

} // namespace playtest

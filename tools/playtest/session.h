// A session: one simulated person's run of attempts at one level, learning from each (Practice). A
// practised player's first attempts are practice and are not counted; a newcomer's all count.
#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

#include "tools/playtest/practice.h"
#include "tools/playtest/skill.h"

namespace playtest {

// Plays skill.practice uncounted attempts, then measured counted ones, on the level game was made
// for (restarted before each). The same seed gives the same attempts. With trace, the first counted
// attempt is written there frame by frame: "frame held pointerX pointerY" and per ball "colour state
// x y" (field pixels), one line a frame.
std::vector<AttemptRecord> PlaySession(const LevelPlan& plan, GameStep& game, const Skill& skill,
                                       int measured, uint64_t seed, std::FILE* trace = nullptr);

// A seed for one session from its level, skill, number and the run's base seed (splitmix64).
uint64_t SessionSeed(uint64_t base, int level, int skill, int session);

} // namespace playtest

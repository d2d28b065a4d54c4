// The tool's output: a table per level (each skill's success rate and mean solve time, the middle
// player's causes of loss), the causes of loss per skill, the rank correlation of level number with
// the middle player's failure rate, and the curve's goals, each passed or not.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "tools/playtest/practice.h"
#include "tools/playtest/skill.h"

namespace playtest {

struct LevelResult {
    int level = 0;
    std::string name;
    std::vector<AttemptRecord> measured[kSkillCount]; // the counted attempts of every session
};

// Writes the per-level table and the summary to out; markdown tables when markdown is set, else plain
// columns. seed drives the bootstrap.
void WriteReport(std::FILE* out, const std::vector<LevelResult>& results, bool markdown, uint64_t seed);

} // namespace playtest

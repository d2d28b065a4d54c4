// The tool's statistics: Spearman's rank correlation (ties share their mean rank) and a percentile
// bootstrap interval for it over the attempts behind each level's failure rate.
#pragma once

#include <cstdint>
#include <vector>

namespace playtest {

// Spearman's rho of x and y (same length, at least 2); 0 when either has no spread.
double Spearman(const std::vector<double>& x, const std::vector<double>& y);

struct Interval {
    double low = 0.0, high = 0.0;
};

// The 95% percentile interval of rho(level number, failure rate) when each level's attempts
// (failed[level][k]: whether attempt k failed) are drawn again with replacement, rounds times.
Interval BootstrapSpearman(const std::vector<std::vector<bool>>& failed, int rounds, uint64_t seed);

} // namespace playtest

#include "tools/playtest/statistics.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <random>

namespace playtest {

namespace {

// Ranks 1..n, ties given the mean of the ranks they span.
std::vector<double> Ranks(const std::vector<double>& v) {
    std::vector<size_t> order(v.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&v](size_t a, size_t b) { return v[a] < v[b]; });
    std::vector<double> ranks(v.size());
    for (size_t i = 0; i < order.size();) {
        size_t j = i;
        while (j + 1 < order.size() && v[order[j + 1]] == v[order[i]])
            ++j;
        const double mean = double(i + j) / 2.0 + 1.0;
        for (size_t k = i; k <= j; ++k)
            ranks[order[k]] = mean;
        i = j + 1;
    }
    return ranks;
}

} // namespace

double Spearman(const std::vector<double>& x, const std::vector<double>& y) {
    const std::vector<double> rx = Ranks(x), ry = Ranks(y);
    const double n = double(rx.size());
    const double mx = std::accumulate(rx.begin(), rx.end(), 0.0) / n;
    const double my = std::accumulate(ry.begin(), ry.end(), 0.0) / n;
    double sxy = 0.0, sxx = 0.0, syy = 0.0;
    for (size_t i = 0; i < rx.size(); ++i) {
        sxy += (rx[i] - mx) * (ry[i] - my);
        sxx += (rx[i] - mx) * (rx[i] - mx);
        syy += (ry[i] - my) * (ry[i] - my);
    }
    return sxx > 0.0 && syy > 0.0 ? sxy / std::sqrt(sxx * syy) : 0.0;
}

Interval BootstrapSpearman(const std::vector<std::vector<bool>>& failed, int rounds, uint64_t seed) {
    std::mt19937_64 rng(seed);
    std::vector<double> levels(failed.size()), rates(failed.size()), rhos;
    std::iota(levels.begin(), levels.end(), 1.0);
    for (int round = 0; round < rounds; ++round) {
        for (size_t l = 0; l < failed.size(); ++l) {
            const std::vector<bool>& attempts = failed[l];
            if (attempts.empty()) {
                rates[l] = 0.0;
                continue;
            }
            std::uniform_int_distribution<size_t> pick(0, attempts.size() - 1);
            int failures = 0;
            for (size_t k = 0; k < attempts.size(); ++k)
                failures += attempts[pick(rng)];
            rates[l] = double(failures) / double(attempts.size());
        }
        rhos.push_back(Spearman(levels, rates));
    }
    std::sort(rhos.begin(), rhos.end());
    Interval interval;
    if (rhos.empty()) return interval;
    interval.low = rhos[size_t(0.025 * double(rhos.size() - 1))];
    interval.high = rhos[size_t(0.975 * double(rhos.size() - 1))];
    return interval;
}

} // namespace playtest

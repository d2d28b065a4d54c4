#include "tools/playtest/report.h"

#include <algorithm>
#include <cmath>

#include "tools/playtest/statistics.h"

namespace playtest {

namespace {

constexpr int kBootstrapRounds = 2000;

struct SkillFigures {
    int attempts = 0, solved = 0;
    double solveSeconds = 0.0; // mean over solved attempts
    int losses[kLossKinds] = {};
    double Rate() const { return attempts ? double(solved) / double(attempts) : 0.0; }
};

SkillFigures Figures(const std::vector<AttemptRecord>& attempts) {
    SkillFigures f;
    for (const AttemptRecord& a : attempts) {
        ++f.attempts;
        if (a.solved) {
            ++f.solved;
            f.solveSeconds += a.seconds;
        } else {
            ++f.losses[a.loss];
        }
    }
    if (f.solved) f.solveSeconds /= f.solved;
    return f;
}

// "collision 12, hole 3" for the causes of loss, most frequent first.
std::string Causes(const SkillFigures& f) {
    std::vector<std::pair<int, int>> causes;
    for (int k = kLossNone + 1; k < kLossKinds; ++k)
        if (f.losses[k]) causes.push_back({f.losses[k], k});
    std::sort(causes.rbegin(), causes.rend());
    std::string text;
    for (const auto& [count, kind] : causes)
        text += (text.empty() ? "" : ", ") + std::string(LossName(Loss(kind))) + " " + std::to_string(count);
    return text.empty() ? "-" : text;
}

std::string Rate(const SkillFigures& f) {
    char text[32];
    std::snprintf(text, sizeof text, "%3.0f%%", 100.0 * f.Rate());
    return text;
}

std::string Seconds(const SkillFigures& f) {
    char text[32];
    if (f.solved)
        std::snprintf(text, sizeof text, "%5.1f", f.solveSeconds);
    else
        std::snprintf(text, sizeof text, "%5s", "-");
    return text;
}

void WriteTable(std::FILE* out, const std::vector<LevelResult>& results, bool markdown) {
    if (markdown) {
        std::fprintf(out, "| level | name | newcomer | middle | expert | newcomer s | middle s | expert s | "
                          "middle: causes of loss |\n|---:|---|---:|---:|---:|---:|---:|---:|---|\n");
    } else {
        std::fprintf(out, "%-3s %-22s %5s %5s %5s %6s %6s %6s  %s\n", "lvl", "name", "new", "mid", "exp",
                     "new s", "mid s", "exp s", "middle: causes of loss");
    }
    for (const LevelResult& r : results) {
        SkillFigures f[kSkillCount];
        for (int s = 0; s < kSkillCount; ++s)
            f[s] = Figures(r.measured[s]);
        const char* format = markdown ? "| %d | %s | %s | %s | %s | %s | %s | %s | %s |\n"
                                      : "%3d %-22.22s %5s %5s %5s %6s %6s %6s  %s\n";
        std::fprintf(out, format, r.level, r.name.c_str(), Rate(f[0]).c_str(), Rate(f[1]).c_str(),
                     Rate(f[2]).c_str(), Seconds(f[0]).c_str(), Seconds(f[1]).c_str(), Seconds(f[2]).c_str(),
                     Causes(f[kMiddle]).c_str());
    }
}

// The mean of the levels' mean solve times (levels nobody solved left out) of levels [from, to).
double MeanSolveSeconds(const std::vector<LevelResult>& results, size_t from, size_t to, int skill) {
    double sum = 0.0;
    int n = 0;
    for (size_t i = from; i < to && i < results.size(); ++i) {
        const SkillFigures f = Figures(results[i].measured[skill]);
        if (f.solved) sum += f.solveSeconds, ++n;
    }
    return n ? sum / n : 0.0;
}

void WriteGoals(std::FILE* out, const std::vector<LevelResult>& results, uint64_t seed) {
    const char* bullet = "- ";
    std::vector<double> levels, failures;
    std::vector<std::vector<bool>> failed;
    for (const LevelResult& r : results) {
        levels.push_back(r.level);
        failures.push_back(1.0 - Figures(r.measured[kMiddle]).Rate());
        std::vector<bool> attempts;
        for (const AttemptRecord& a : r.measured[kMiddle])
            attempts.push_back(!a.solved);
        failed.push_back(attempts);
    }
    const double rho = Spearman(levels, failures);
    const Interval interval = BootstrapSpearman(failed, kBootstrapRounds, seed);
    std::fprintf(
        out, "%sSpearman rho, level number vs middle failure rate: %.3f (95%% bootstrap %.3f to %.3f): %s\n",
        bullet, rho, interval.low, interval.high, rho >= 0.85 ? "goal met (>= 0.85)" : "below 0.85");

    std::string rare, easyLate, hardEnd;
    const size_t n = results.size();
    for (size_t i = 0; i < n; ++i) {
        const LevelResult& r = results[i];
        const double middle = Figures(r.measured[kMiddle]).Rate();
        if (middle < 0.1) rare += " " + std::to_string(r.level);
        if (r.level > 25 && middle >= 0.9) easyLate += " " + std::to_string(r.level);
        if (r.level > 40 && Figures(r.measured[kExpert]).Rate() < 0.2)
            hardEnd += " " + std::to_string(r.level);
    }
    std::fprintf(out, "%smiddle player solves every level in >= 1 of 10 attempts: %s\n", bullet,
                 rare.empty() ? "yes" : ("no, not levels" + rare).c_str());
    std::fprintf(out, "%sexpert solves each of levels 41-50 in >= 1 of 5 attempts: %s\n", bullet,
                 hardEnd.empty() ? "yes" : ("no, not levels" + hardEnd).c_str());
    std::fprintf(out, "%sno level of 26-50 solved by the middle player in >= 90%% of attempts: %s\n", bullet,
                 easyLate.empty() ? "yes" : ("no, levels" + easyLate).c_str());
    for (int s = 0; s < kSkillCount; ++s) {
        const double first = MeanSolveSeconds(results, 0, 10, s),
                     last = MeanSolveSeconds(results, n - 10, n, s);
        std::fprintf(out, "%smean solve time, %s: levels 1-10 %.1f s, levels 41-50 %.1f s%s\n", bullet,
                     kSkills[s].name, first, last,
                     s == kMiddle ? (first < 20.0 && last > 40.0 ? " (goal met: under 20, over 40)"
                                                                 : " (goal: under 20, over 40)")
                                  : "");
    }
}

} // namespace

void WriteReport(std::FILE* out, const std::vector<LevelResult>& results, bool markdown, uint64_t seed) {
    WriteTable(out, results, markdown);
    std::fprintf(out, "\n");
    for (int s = 0; s < kSkillCount; ++s) {
        std::vector<AttemptRecord> all;
        for (const LevelResult& r : results)
            all.insert(all.end(), r.measured[s].begin(), r.measured[s].end());
        const SkillFigures f = Figures(all);
        std::fprintf(out, "- %s: %d of %d attempts solved (%.0f%%); losses: %s\n", kSkills[s].name, f.solved,
                     f.attempts, 100.0 * f.Rate(), Causes(f).c_str());
    }
    if (results.size() >= 20) WriteGoals(out, results, seed);
}

} // namespace playtest

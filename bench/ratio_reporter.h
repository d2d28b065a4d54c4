// Reporting the blit benchmark: the usual console lines while it runs, then one table that sets each
// host operation beside the same work done by SDL and by memcpy, with the ratios and the goals.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace bench {

// A console reporter that also remembers the best (lowest) time per operation of every benchmark,
// over all its repetitions (and its "min" statistic when only aggregates are reported).
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override;
    // The best time of the named benchmark in microseconds; false when it did not run or failed.
    bool BestMicroseconds(const std::string& name, double& microseconds) const;
    // The same for the CPU time of the benchmark's thread (what holds on a busy machine).
    bool BestCpuMicroseconds(const std::string& name, double& microseconds) const;

  private:
    static void Keep(std::map<std::string, double>& best, const std::string& name, double microseconds);
    static bool Find(const std::map<std::string, double>& best, const std::string& name,
                     double& microseconds);
    std::map<std::string, double> best_, bestCpu_;
};

// One line of the final table: a host benchmark, the SDL and memory benchmarks doing the same work,
// and the largest ratios allowed (0: no goal).
struct Comparison {
    std::string host;
    std::string sdl;
    std::string memory;
    double maxHostPerSdl;
    double maxHostPerMemory;
};

// Prints the table to out; true when every goal that could be measured is met.
bool PrintComparisons(const RatioReporter& reporter, const std::vector<Comparison>& lines, FILE* out);

} // namespace bench

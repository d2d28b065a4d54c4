#include "bench/ratio_reporter.h"

#include <algorithm>

namespace bench {

void RatioReporter::ReportRuns(const std::vector<Run>& runs) {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
        if (run.error_occurred) continue;
        // Means, medians and deviations are not times of one run; the minimum is.
        if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "min") continue;
        const double scale = 1e6 / benchmark::GetTimeUnitMultiplier(run.time_unit);
        const std::string& name = run.run_name.function_name;
        Keep(best_, name, run.GetAdjustedRealTime() * scale);
        Keep(bestCpu_, name, run.GetAdjustedCPUTime() * scale);
    }
}

void RatioReporter::Keep(std::map<std::string, double>& best, const std::string& name, double microseconds) {
    auto found = best.find(name);
    if (found == best.end())
        best[name] = microseconds;
    else
        found->second = std::min(found->second, microseconds);
}

bool RatioReporter::Find(const std::map<std::string, double>& best, const std::string& name,
                         double& microseconds) {
    auto found = best.find(name);
    if (found == best.end()) return false;
    microseconds = found->second;
    return true;
}

bool RatioReporter::BestMicroseconds(const std::string& name, double& microseconds) const {
    return Find(best_, name, microseconds);
}

bool RatioReporter::BestCpuMicroseconds(const std::string& name, double& microseconds) const {
    return Find(bestCpu_, name, microseconds);
}

namespace {

// "1.23" or "-" when a time is missing; "(goal <= 2)" after it, with "MISSED" when it is not met.
std::string RatioText(bool known, double ratio, double goal, bool& met) {
    char text[64];
    if (!known) return "-";
    if (goal <= 0) {
        std::snprintf(text, sizeof text, "%.2f", ratio);
        return text;
    }
    bool ok = ratio <= goal;
    met = met && ok;
    std::snprintf(text, sizeof text, "%.2f (<=%g %s)", ratio, goal, ok ? "ok" : "MISSED");
    return text;
}

std::string TimeText(bool known, double microseconds) {
    char text[32];
    if (!known) return "-";
    std::snprintf(text, sizeof text, "%.1f", microseconds);
    return text;
}

} // namespace

bool PrintComparisons(const RatioReporter& reporter, const std::vector<Comparison>& lines, FILE* out) {
    bool met = true;
    std::fprintf(out, "\nBest time per operation (us) and ratios, host against SDL2's software blitter "
                      "and against plain memory copies of the same bytes:\n");
    std::fprintf(out, "%-36s %9s %9s %9s  %-22s %-22s %s\n", "host operation", "host", "SDL", "memory",
                 "host/SDL", "host/memory", "(SDL and memory benchmarks)");
    for (const Comparison& line : lines) {
        double host = 0, sdl = 0, memory = 0;
        bool hasHost = reporter.BestMicroseconds(line.host, host);
        bool hasSdl = reporter.BestMicroseconds(line.sdl, sdl);
        bool hasMemory = reporter.BestMicroseconds(line.memory, memory);
        std::string perSdl = RatioText(hasHost && hasSdl && sdl > 0, host / sdl, line.maxHostPerSdl, met);
        std::string perMemory =
            RatioText(hasHost && hasMemory && memory > 0, host / memory, line.maxHostPerMemory, met);
        std::fprintf(out, "%-36s %9s %9s %9s  %-22s %-22s (%s, %s)\n", line.host.c_str(),
                     TimeText(hasHost, host).c_str(), TimeText(hasSdl, sdl).c_str(),
                     TimeText(hasMemory, memory).c_str(), perSdl.c_str(), perMemory.c_str(), line.sdl.c_str(),
                     line.memory.c_str());
    }
    std::fprintf(out, "%s\n", met ? "Every goal measured is met." : "Some goals are missed (MISSED above).");
    return met;
}

} // namespace bench

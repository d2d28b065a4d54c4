// playtest: plays the game's levels with simulated players of three skills (newcomer, practised
// middle, practised expert) on the real game model, headless, and reports per level how often each
// solves it, how long it takes and why balls are lost, with the rank correlation of level number and
// the middle player's failure rate. Not part of the package or the test suite: run it by hand after
// changing levels (README, "Measuring the levels").
//
//   playtest [--levels A-B] [--sessions N] [--attempts M] [--threads T] [--seed S]
//            [--game FOLDER] [--maps FOLDER] [--markdown FILE] [--trace FILE] [--log]
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "tools/playtest/level_plan.h"
#include "tools/playtest/report.h"
#include "tools/playtest/session.h"
#include "tools/playtest/world.h"

#ifndef PLAYTEST_GAME_DIR
#error "playtest needs PLAYTEST_GAME_DIR (the package's game folder)"
#endif
#ifndef PLAYTEST_MAPS_DIR
#error "playtest needs PLAYTEST_MAPS_DIR (the level maps)"
#endif

namespace {

using namespace playtest;

constexpr int kLevelCount = 50;
constexpr int kMaxThreads = 4;  // the machine is shared: never more
constexpr int kCellPixels = 24; // the grid's cells, for telling where a ball was lost

struct Options {
    int first = 1, last = kLevelCount;
    int sessions = 8; // per level and skill
    int attempts = 5; // measured attempts per session
    int threads = kMaxThreads;
    uint64_t seed = 1;
    std::string game = PLAYTEST_GAME_DIR;
    std::string maps = PLAYTEST_MAPS_DIR;
    std::string markdown;
    std::string trace; // the middle player's first counted attempt of session 0, per level
    bool log = false;  // every attempt on stderr
};

bool ParseOptions(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        if (arg == "--log") {
            o.log = true;
            continue;
        }
        if (!value) return false;
        ++i;
        if (arg == "--levels") {
            if (std::sscanf(value, "%d-%d", &o.first, &o.last) == 1) o.last = o.first;
        } else if (arg == "--sessions") {
            o.sessions = std::atoi(value);
        } else if (arg == "--attempts") {
            o.attempts = std::atoi(value);
        } else if (arg == "--threads") {
            o.threads = std::atoi(value);
        } else if (arg == "--seed") {
            o.seed = std::strtoull(value, nullptr, 10);
        } else if (arg == "--game") {
            o.game = value;
        } else if (arg == "--maps") {
            o.maps = value;
        } else if (arg == "--markdown") {
            o.markdown = value;
        } else if (arg == "--trace") {
            o.trace = value;
        } else {
            return false;
        }
    }
    o.threads = std::max(1, std::min(o.threads, kMaxThreads));
    return o.first >= 1 && o.last <= kLevelCount && o.first <= o.last && o.sessions > 0 && o.attempts > 0;
}

struct Job {
    int skill, session;
    std::vector<AttemptRecord> records;
};

// Plays every session of every skill on the level loaded into world, spread over the worker threads.
void PlayLevel(World& world, int threads, const Options& o, int level, std::FILE* trace,
               LevelResult& result) {
    const LevelPlan plan(world.Grid(0), world.Balls(0));
    std::vector<std::unique_ptr<GameStep>> games;
    for (int w = 0; w < threads; ++w)
        games.push_back(std::make_unique<GameStep>(world.Grid(w), world.Balls(w), world.surfaces));
    // A first step on the main thread, so that everything the model sets up on first use is set up.
    games[0]->Step(false, 0, 0);
    games[0]->Restart();

    std::vector<Job> jobs;
    for (int skill = 0; skill < kSkillCount; ++skill)
        for (int session = 0; session < o.sessions; ++session)
            jobs.push_back({skill, session, {}});
    std::atomic<size_t> next{0};
    auto work = [&](int w) {
        for (size_t j = next++; j < jobs.size(); j = next++)
            jobs[j].records = PlaySession(plan, *games[size_t(w)], kSkills[jobs[j].skill], o.attempts,
                                          SessionSeed(o.seed, level, jobs[j].skill, jobs[j].session),
                                          jobs[j].skill == kMiddle && jobs[j].session == 0 ? trace : nullptr);
    };
    std::vector<std::thread> pool;
    for (int w = 0; w < threads; ++w)
        pool.emplace_back(work, w);
    for (std::thread& t : pool)
        t.join();
    games.clear();

    for (const Job& job : jobs)
        for (const AttemptRecord& r : job.records) {
            if (o.log)
                std::fprintf(
                    stderr,
                    "level %02d %-8s session %d %s %s %5.1f s order %s lost %d steering %d at cell %d,%d\n",
                    level, kSkills[job.skill].name, job.session, r.measured ? "counted " : "practice",
                    r.solved ? "solved" : LossName(r.loss), double(r.seconds), r.order.c_str(), r.lossColour,
                    r.steered, int(r.lossX) / kCellPixels, int(r.lossY) / kCellPixels);
            if (r.measured) result.measured[job.skill].push_back(r);
        }
}

} // namespace

int main(int argc, char** argv) {
    Options o;
    if (!ParseOptions(argc, argv, o)) {
        std::fprintf(stderr,
                     "usage: playtest [--levels A-B] [--sessions N] [--attempts M] [--threads T<=4] "
                     "[--seed S] [--game FOLDER] [--maps FOLDER] [--markdown FILE] [--trace FILE] [--log]\n");
        return 2;
    }
    const std::vector<std::string> names = ReadLevelNames(o.maps, kLevelCount);
    std::vector<LevelResult> results;
    std::FILE* trace = o.trace.empty() ? nullptr : std::fopen(o.trace.c_str(), "w");
    if (!o.trace.empty() && !trace) {
        std::fprintf(stderr, "playtest: cannot write %s\n", o.trace.c_str());
        return 1;
    }
    {
        World world;
        std::string error;
        if (!world.Start(o.game, o.threads, error)) {
            std::fprintf(stderr, "playtest: %s\n", error.c_str());
            return 1;
        }
        for (int level = o.first; level <= o.last; ++level) {
            const auto start = std::chrono::steady_clock::now();
            if (!world.LoadLevel(level, error)) {
                std::fprintf(stderr, "playtest: %s\n", error.c_str());
                return 1;
            }
            LevelResult result;
            result.level = level;
            result.name = names[size_t(level)];
            if (trace) std::fprintf(trace, "level %d\n", level);
            PlayLevel(world, o.threads, o, level, trace, result);
            results.push_back(result);
            const double seconds =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            std::fprintf(stderr, "playtest: level %d played in %.1f s\n", level, seconds);
        }
    }
    if (trace) std::fclose(trace);
    WriteReport(stdout, results, false, o.seed);
    if (!o.markdown.empty()) {
        std::FILE* out = std::fopen(o.markdown.c_str(), "w");
        if (!out) {
            std::fprintf(stderr, "playtest: cannot write %s\n", o.markdown.c_str());
            return 1;
        }
        WriteReport(out, results, true, o.seed);
        std::fclose(out);
    }
    return 0;
}

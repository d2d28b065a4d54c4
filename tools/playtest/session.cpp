#include "tools/playtest/session.h"

#include <random>

#include "tessary/model/ball_set.h"
#include "tools/playtest/player.h"

namespace playtest {

namespace {

void TraceFrame(std::FILE* trace, const GameStep& game, const Input& input) {
    std::fprintf(trace, "%d %d %d %d", game.frame, int(input.held), input.x, input.y);
    const PtrArray<Ball>& balls = game.Balls().balls;
    for (int i = 0; i < balls.count; ++i)
        std::fprintf(trace, " %d %d %.1f %.1f", balls.items[i]->colour, balls.items[i]->state,
                     double(balls.items[i]->x), double(balls.items[i]->y));
    std::fprintf(trace, "\n");
}

AttemptRecord PlayAttempt(const LevelPlan& plan, GameStep& game, const Skill& skill, const Practice& practice,
                          std::mt19937_64& rng, std::FILE* trace) {
    game.Restart();
    Player player(plan, skill, practice, rng);
    while (!game.Solved() && game.loss == kLossNone && !game.OutOfTime()) {
        const Input input = player.Frame(game);
        if (trace) TraceFrame(trace, game, input);
        game.Step(input.held, input.x, input.y);
    }
    AttemptRecord record;
    record.solved = game.Solved();
    record.seconds = float(game.frame) / float(kFrameRate);
    record.loss = record.solved ? kLossNone : game.loss != kLossNone ? game.loss : kLossTime;
    record.lossColour = game.lossColour;
    record.lossX = game.lossX;
    record.lossY = game.lossY;
    record.steered = player.Steered();
    record.order = player.Order();
    record.plan = player.Plan();
    return record;
}

} // namespace

uint64_t SessionSeed(uint64_t base, int level, int skill, int session) {
    // splitmix64's finaliser over each part in turn.
    auto mix = [](uint64_t z) {
        z += 0x9E3779B97F4A7C15ull;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    };
    return mix(mix(mix(mix(base) ^ uint64_t(level)) ^ uint64_t(skill)) ^ uint64_t(session));
}

std::vector<AttemptRecord> PlaySession(const LevelPlan& plan, GameStep& game, const Skill& skill,
                                       int measured, uint64_t seed, std::FILE* trace) {
    std::mt19937_64 rng(seed);
    Practice practice(plan);
    std::vector<AttemptRecord> records;
    for (int attempt = 0; attempt < skill.practice + measured; ++attempt) {
        AttemptRecord record =
            PlayAttempt(plan, game, skill, practice, rng, attempt == skill.practice ? trace : nullptr);
        record.measured = attempt >= skill.practice;
        practice.Learn(record);
        records.push_back(record);
    }
    return records;
}

} // namespace playtest

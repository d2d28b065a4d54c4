#include "tools/playtest/practice.h"

#include <algorithm>
#include <cmath>

namespace playtest {

namespace {

constexpr float kSpotRadius = 60.0f; // pixels round a place where a ball was lost
constexpr float kSpotCaution = 0.65f;
// What the first ball, the first two and the first three of an order count for.
constexpr float kStartWeights[] = {1.0f, 0.5f, 0.25f};

} // namespace

char ColourLetter(int colour) {
    return "brgy"[colour];
}

float Practice::Promise(const std::string& order, const std::string& guessed) const {
    float promise = 0.0f;
    for (size_t k = 1; k <= 3 && k <= order.size(); ++k) {
        // Before any try, a start looks as good as the guess ranks its balls: 0.6 for the guessed
        // start, less for the others.
        const std::string start = order.substr(0, k);
        const float prior = start == guessed.substr(0, k) ? 0.6f : 0.45f;
        const auto found = tallies_.find(start);
        const Tally tally = found == tallies_.end() ? Tally{} : found->second;
        promise += kStartWeights[k - 1] * (float(tally.solved) + prior) / (float(tally.tries) + 1.0f);
    }
    return promise;
}

std::vector<int> Practice::ChooseOrder(std::mt19937_64& rng, float doubt) const {
    // The guess: the balls by the length of their way home, shortest first, as judged at a glance.
    std::normal_distribution<float> glance(1.0f, doubt);
    std::vector<std::pair<float, int>> judged;
    for (int c = 0; c < kColours; ++c)
        if (plan_.routes[c]) judged.push_back({std::min(plan_.startLength[c], 2000.0f) * glance(rng), c});
    std::sort(judged.begin(), judged.end());
    std::string guessed;
    std::vector<int> colours;
    for (const auto& [length, colour] : judged)
        guessed += ColourLetter(colour), colours.push_back(colour);
    std::sort(colours.begin(), colours.end());
    std::normal_distribution<float> hunch(0.0f, 0.05f);
    std::vector<int> best = colours;
    float bestPromise = -1e30f;
    do {
        std::string letters;
        for (int c : colours)
            letters += ColourLetter(c);
        const float promise = Promise(letters, guessed) + hunch(rng);
        if (promise > bestPromise) bestPromise = promise, best = colours;
    } while (std::next_permutation(colours.begin(), colours.end()));
    return best;
}

void Practice::Learn(const AttemptRecord& record) {
    ++attempts;
    // Every start of the plan that was played out counts the attempt.
    const size_t played = std::max<size_t>(1, std::min(record.order.size(), record.plan.size()));
    for (size_t k = 1; k <= played && k <= record.plan.size(); ++k) {
        Tally& tally = tallies_[record.plan.substr(0, k)];
        ++tally.tries;
        tally.solved += record.solved;
    }
    if (record.solved) return;
    // A waiting ball lost to a hole or mine: the pulls dragged the others along, so go more gently and
    // hold the pointer nearer the steered ball next time.
    if (record.lossColour >= 0 && record.lossColour != record.steered &&
        (record.loss == kLossHole || record.loss == kLossWhirlpool || record.loss == kLossMine)) {
        hurry = std::max(hurry * 0.85f, 0.5f);
        reachScale = std::max(reachScale * 0.8f, 0.4f);
    }
    switch (record.loss) {
    case kLossCollision:
    case kLossGreyCollision: reachScale = std::min(reachScale * 1.3f, 2.5f); break;
    case kLossHole:
    case kLossWhirlpool:
    case kLossMine: spots_.push_back({record.lossX, record.lossY}); break;
    case kLossTime: hurry = std::min(hurry * 1.15f, 1.4f); break;
    default: break;
    }
}

float Practice::CautionAt(float x, float y) const {
    for (const Spot& s : spots_)
        if (std::hypot(s.x - x, s.y - y) < kSpotRadius) return kSpotCaution;
    return 1.0f;
}

} // namespace playtest

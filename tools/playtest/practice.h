// What one player remembers of a level between attempts: how often each start of an order of the balls
// (the first ball, the first two, ...) led to a solved level, the places where a ball was lost, and
// whether pulls too close to the balls made them collide. The first attempt knows nothing and guesses
// that the balls with the shortest way home come first; every attempt after learns from those before.
#pragma once

#include <map>
#include <random>
#include <string>
#include <vector>

#include "tools/playtest/game_step.h"
#include "tools/playtest/level_plan.h"

namespace playtest {

// How an attempt went.
struct AttemptRecord {
    bool solved = false;
    bool measured = false; // counted (not one of a practised player's earlier attempts)
    float seconds = 0.0f;  // from "new" to the last goal, or to the failure
    Loss loss = kLossNone; // why it failed
    int lossColour = -1;   // the coloured ball lost
    int steered = -1;      // the ball being steered when it failed
    float lossX = 0.0f;    // where (field pixels)
    float lossY = 0.0f;
    std::string order; // colour letters in the order the balls were taken on
    std::string plan;  // the order planned at the start
};

class Practice {
  public:
    explicit Practice(const LevelPlan& plan) : plan_(plan) {}

    // The order (colour numbers) to take the balls in on the next attempt: the remembered best, with a
    // first guess from the length of each ball's way home and a little doubt (rng).
    std::vector<int> ChooseOrder(std::mt19937_64& rng, float doubt) const;
    // Learns from a finished attempt.
    void Learn(const AttemptRecord& record);
    // How fast the player dares to go at field point (x, y): 1, less near places where balls were lost.
    float CautionAt(float x, float y) const;

    float reachScale = 1.0f; // the pointer held farther out after collisions, nearer after drifts
    float hurry = 1.0f;      // faster after running out of time, gentler after losing a waiting ball
    int attempts = 0;

  private:
    struct Tally {
        int tries = 0, solved = 0;
    };
    struct Spot {
        float x, y;
    };

    // How promising an order looks: its starts' share of solved attempts, from a guess before any.
    float Promise(const std::string& order, const std::string& guessed) const;

    const LevelPlan& plan_;
    std::map<std::string, Tally> tallies_; // by an order's start
    std::vector<Spot> spots_;
};

// The colour letter of colour 0-3 ("brgy").
char ColourLetter(int colour);

} // namespace playtest

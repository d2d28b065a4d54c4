// The simulated player: sees the balls a reaction time late, judges where they have got to since, and
// every correction interval decides which ball to bring home, how fast it should go and where to hold
// the pointer (and whether to hold the button at all); the hand then moves the pointer toward that
// aim with lag, a top speed and noise growing with speed. Between corrections the hand keeps the
// pointer at the chosen offset from the ball as the eye follows it.
#pragma once

#include <random>
#include <string>
#include <vector>

#include "tessary/model/ball.h"
#include "tools/playtest/level_plan.h"
#include "tools/playtest/practice.h"
#include "tools/playtest/skill.h"

namespace playtest {

// What the player does in one frame.
struct Input {
    bool held = false;
    int x = 0, y = 0; // pointer, screen pixels
};

class Player {
  public:
    // A player starting an attempt on a level, with what practice taught; rng decides everything left
    // to chance (the attempt's reaction delay, the pointer's noise, doubt about the order).
    Player(const LevelPlan& plan, const Skill& skill, const Practice& practice, std::mt19937_64& rng);

    // Looks at the frame game shows now and gives the input for the next step.
    Input Frame(const GameStep& game);

    // The colour letters of the balls in the order they were taken on so far.
    const std::string& Order() const { return taken_; }
    // The ball being steered (-1 before the first correction).
    int Steered() const { return steered_; }
    // The colour letters of the order planned at the start.
    const std::string& Plan() const { return planLetters_; }

  private:
    struct Seen {
        float x, y, vx, vy;
        int colour, state;
    };
    using Scene = std::vector<Seen>;
    // What a ball should do next: the change of velocity wanted (pixels per frame), toward its aim.
    struct Want {
        float ex = 0.0f, ey = 0.0f, size = 0.0f;
    };
    // How safe the next moments look: the least room, over the look ahead, of a coloured ball (but the
    // steered one) from the reach of a hole or mine and of two balls (one coloured) from touching; the
    // ball with least room.
    struct Danger {
        float room = 1000.0f;
        int ball = -1;  // index in the scene
        int other = -1; // the ball it would touch, or -1 for a hazard
    };
    // A place to hold the pointer (screen) and what it is worth.
    struct Spot {
        Spot(float atX, float atY, bool following) : x(atX), y(atY), follows(following) {}
        float x, y;
        bool follows; // kept at its offset from the steered ball as it moves
        float score = 0.0f;
        Danger danger;
    };

    void Record(const GameStep& game);
    Scene Perceived() const;
    void Decide(const GameStep& game);
    int PickBall(const Scene& scene, int frame);
    Want Wanted(const Seen& ball, const Ball& real) const;
    Danger Safety(const Scene& scene, int steered, bool held, float px, float py) const;
    // Where ball will be, every kLookStep frames for samples steps, pulled toward field point (fx, fy)
    // by pull per frame (0: not at all), slowed by friction and turned back by walls: x, y pairs.
    std::vector<float> Foresee(const Seen& ball, float pull, float fx, float fy, int samples) const;
    // Places that pull the ball in danger out of it (braking, away from the hazard or the other ball).
    std::vector<Spot> Rescues(const Scene& scene, const Danger& danger) const;
    // The places worth weighing for the pointer, with the steered ball at scene[index].
    std::vector<Spot> Spots(const Scene& scene, const std::vector<Want>& wants, int index,
                            const GameStep& game) const;
    // What a pull toward screen point (px, py) is worth: the steered ball's wanted change met, and a
    // little for each other ball sent home; servesSteered tells whether it suits the steered ball.
    float Worth(float px, float py, const Scene& scene, const std::vector<Want>& wants, int index,
                bool& servesSteered) const;
    // With best leading into trouble: false when letting go is the safest; else true, best replaced
    // by a pull out of trouble when one is clearly safer.
    bool Rescue(const Scene& scene, int index, Spot& best) const;
    void MovePointer();

    const LevelPlan& plan_;
    const Skill& skill_;
    const Practice& practice_;
    std::mt19937_64& rng_;
    std::normal_distribution<float> gauss_{0.0f, 1.0f};

    int delayFrames_ = 12;
    std::vector<Scene> shown_; // ring buffer of the frames shown, by frame number
    std::vector<Input> given_; // ring buffer of the player's own input, by frame number
    int frame_ = 0;
    int nextDecision_ = 0;
    int lastToggle_ = -1000;
    int releaseAt_ = 0; // the end of the current press

    std::vector<int> order_; // colours still to take on, in the order planned
    std::string taken_;
    std::string planLetters_;
    int steered_ = -1;
    float bestRemaining_ = 1e30f; // progress of the steered ball
    int progressFrame_ = 0;

    bool held_ = false;
    bool follows_ = true;               // the aim moves with the steered ball
    float aimX_ = 0.0f, aimY_ = 0.0f;   // the aim: an offset from the steered ball, or a screen point
    float handX_ = 0.0f, handY_ = 0.0f; // the pointer without noise (screen)
    float noiseX_ = 0.0f, noiseY_ = 0.0f;
    float speed_ = 0.0f; // the pointer's speed (pixels per second)
};

} // namespace playtest

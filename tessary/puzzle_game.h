// The rules of play: the one game object starts levels, runs the state machine of an attempt at a level
// (idle, playing, time tally, pause, end of the attempt), keeps the score and the level timer, gives the
// goal order, draws the left-hand panel and reacts to the panel's buttons. The game's page calls its
// Frame once per frame.
#pragma once

#include <string>

#include "framework/animation.h"
#include "framework/halloffame.h"
#include "tessary/game_base.h"
#include "tessary/timer_bar.h"

class Ball;
class Button;

// States of an attempt at a level.
enum GameState {
    kStateIdle = 0,    // the level is shown, the balls wait for "new"
    kStatePlaying = 1, // the balls roll, the timer runs
    kStateTally = 8,   // the seconds left are counted into the score
    kStatePause = 9,   // a short pause before the end of the attempt
    kStateEnd = 10,    // the end of the attempt: hall of fame, next level or restart
};

// Frame results besides the state: end the program, or the out-of-time notice was shown.
constexpr int kFrameEndProgram = 7;
constexpr int kFrameOutOfTime = 5;

// The last numbered level; solving it shows the congratulations.
constexpr int kLastLevel = 50;
// Points and seconds of the rules.
constexpr int kGoalPoints = 125;
constexpr int kSolvedPointsPerLevel = 20000;
constexpr int kTallyPointsPerSecond = 25;
constexpr int kNextLevelPoints = 1000;
constexpr int kLevelSeconds = 120;
constexpr int kGoalBonusSeconds = 20;

// Sprites of the effects, in PuzzleGame::sprites.
enum GameSprite {
    kSpriteGeneratorFlash = 0,
    kSpriteGeneratorLight = 1, // loaded, never started
    kSpriteBallFall = 2,
    kSpriteGoal = 3,
};

class PuzzleGame : public GameBase {
  public:
    float magnetAccumulator = 0.0f; // extra magnet force built up while the left button is held
    int mark = 0;                   // clock ms of the magnet timing
    int level = 1;
    TimerBar* timerBar = nullptr;
    Animation* scoreFont = nullptr;       // "scorefont.bmp", 12x12 cells: frame n shows digit n
    Animation* ballOrderSprite = nullptr; // "BallOrder.bmp", 25x25 cells
    Animation* sprites[4] = {};           // GameSprite
    char goalOrder[4] = {};               // colour letters ('b', 'r', 'g', 'y') or 'd' when done
    int maxLevel = 1;                     // the highest level the right arrow may reach
    HallOfFame hallOfFame;

    int blinkOn = 0;      // the "new" button's blink frame
    int blinkTime = 0;    // clock ms of its last change
    int stateTime = 0;    // clock ms of the tally and pause steps
    int timerBarTime = 0; // clock ms of the timer bar's last refresh

    // The game's objects are freed by EndGame when the window goes (the program's shutdown), not by
    // the destructor: the framework's globals it would touch may be gone by then.
    PuzzleGame() = default;

    // Starts the level `level`: the grid, the level file, the timer, the hall of fame, the player, the
    // balls and explosions, the HUD sprites, the goal order; score 0, state idle. A level file that
    // cannot be loaded steps the level back by one (never below 1) and keeps the cells shown before.
    void StartLevel() override;
    // Plays the level file the editor loaded (path) under the current level number: this and every
    // restart of the level ("new", an attempt that ran out) load that file instead of the numbered one,
    // until another level number is chosen or ForgetLevelFile.
    void PlayLevelFile(const char* path);
    // Back to the numbered level files.
    void ForgetLevelFile();
    // Frees the hall of fame, the grid, the explosions, the balls, the HUD sprites and the timer bar.
    void EndGame() override;
    // One frame: the panel, the buttons, the editor or the state machine. Returns the state,
    // kFrameEndProgram to end the program, or kFrameOutOfTime after the out-of-time notice.
    int Frame() override;

    // level = n, StartLevel, the "level" sound.
    void GoToLevel(int n);
    // StartLevel of the same level, without a sound.
    void RestartLevel();
    // A ball of colour reached its goal: the first order slot of its letter becomes done ("positive"),
    // or "incorrect" when none is left. Always 1: every goal reached gives the time bonus.
    int OnGoalReached(int colour);
    // All four order slots done.
    int IsSolved() const;
    // Flashes each generator when its rate has passed and spawns a ball 400 ms after the flash.
    void UpdateGenerators();
    // The balls on the back buffer: in states idle and end also the gone ones, in the pause the active
    // ones, otherwise none.
    void DrawBalls();
    // The hall-of-fame notice for a second. 0 when the program is quitting.
    int ShowHallOfFame();
    // Reads the current player from "..\options.ini", puts its name into the window title and, when out
    // is given (kPlayerStringBytes bytes), its "name:address:email:send" string into out.
    void LoadPlayer(char* out);
    // Raises "solved" of .\setup.ini to level + 1.
    void SaveSolvedLevel();
    // "solved" of .\setup.ini (default 1): the highest level the right arrow may reach.
    int ReadSolvedLevel();
    void SetGoalOrder(char a, char b, char c, char d);
    // The HUD: the level "%02d" and a value "%07d" with the last digit at (x, y); the goal order from
    // (x, y); the timer bar at (x, y), refreshed at most once a second.
    void DrawLevelNumber(int x, int y);
    void DrawScore(int value, int x, int y);
    void DrawBallOrder(int x, int y);
    void RefreshTimerBar(int x, int y);

  private:
    std::string levelFile_; // the editor's level file played instead of the numbered one; empty: none

    void LoadLevelFile();
    void CreateHudSprites();
    void DeleteHudSprites();
    // The panel's buttons; a result other than -1 ends the frame with it.
    int HandleButtons();
    int PlayStep(int mouseX, int mouseY, int buttons);
    void MoveBall(int i, int mouseX, int mouseY, int buttons);
    void PullBall(Ball& ball, int mouseX, int mouseY, int buttons);
    void TallyStep();
    void PauseStep();
    int EndOfAttempt();
    void BlinkNewButton();
    void RunEffects();
    void DrawText(const char* digits, int x, int y);
    int ShowHelp();
    int ShowCongratulations();
    int ShowOutOfTime();
    void AddSecondsLeft(int seconds);
};

// The game of the program.
extern PuzzleGame g_puzzleGame;

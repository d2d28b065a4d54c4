// The game's frame: the panel's buttons and the state machine of an attempt at a level.
#include <algorithm>

#include "framework/animation_manager.h"
#include "framework/button.h"
#include "framework/control_list.h"
#include "framework/game_clock.h"
#include "framework/mouse_cursor.h"
#include "framework/playerlist.h"
#include "framework/popup.h"
#include "framework/program_contract.h"
#include "framework/screen_updater.h"
#include "host/win/shell.h"
#include "host/win/window.h"
#include "tessary/game_program.h"
#include "tessary/main_page.h"
#include "tessary/model/ball_set.h"
#include "tessary/model/explosion.h"
#include "tessary/model/game_sounds.h"
#include "tessary/model/physics_settings.h"
#include "tessary/model/tile_grid.h"
#include "tessary/puzzle_game.h"

namespace {

constexpr int kMouseLeft = 1;
constexpr int kBlinkMs = 500;
constexpr int kMagnetStepMs = 200;
constexpr float kMagnetStep = 0.1f;
constexpr int kTallyStepMs = 50;
constexpr int kPauseMs = 1000;
constexpr int kOutOfTimeMs = 2000;
constexpr int kHallOfFameNoticeMs = 1000;

// Panel geometry.
constexpr int kLevelX = 54, kLevelY = 278;
constexpr int kScoreX = 84, kScoreY = 228;
constexpr int kBestY = 178;
constexpr int kOrderX = 5, kOrderY = 309;
constexpr int kTimerX = 5, kTimerY = 341;

IDirectDrawSurface* BackBuffer() {
    return g_screenUpdater.GetBackBuffer();
}

ControlList* PanelControls() {
    return g_mainPage.controls;
}

bool Clicked(const char* name) {
    ControlList* controls = PanelControls();
    return controls && controls->WasClicked(name);
}

// Runs popup modally and deletes it. 0 when the program is quitting (WM_QUIT arrived during the run).
int RunPopup(Popup* popup) {
    const int finished = popup->Run(nullptr, nullptr);
    delete popup;
    return finished;
}

// The playfield's part of the background gets its walls back after a whole-background reset.
void BlitWallsOnBackground() {
    if (g_tileGrid) g_tileGrid->BlitWalls(g_screenUpdater.GetBackground());
}

} // namespace

int PuzzleGame::Frame() {
    int x = 0, y = 0, buttons = 0;
    g_mouseCursor.GetState(&x, &y, &buttons, nullptr, nullptr);
    if (ControlList* controls = PanelControls()) {
        controls->HandleMouse(x, y, buttons);
        controls->Draw();
    }
    DrawLevelNumber(kLevelX, kLevelY);
    DrawScore(score, kScoreX, kScoreY);
    DrawScore(hallOfFame.GetTopScore(), kScoreX, kBestY);
    DrawBallOrder(kOrderX, kOrderY);
    RefreshTimerBar(kTimerX, kTimerY);
    if (g_tileGrid && g_tileGrid->GetEditMode() != kEditPlay) {
        g_tileGrid->EditorInput(x, y, buttons);
        g_tileGrid->EditorDraw(BackBuffer());
        return state;
    }
    if (state != kStateTally) {
        const int result = HandleButtons();
        if (result != -1) return result;
    }
    switch (state) {
    case kStateIdle:
        BlinkNewButton();
        DrawBalls();
        break;
    case kStatePlaying: return PlayStep(x, y, buttons);
    case kStateTally: TallyStep(); break;
    case kStatePause: PauseStep(); break;
    case kStateEnd: return EndOfAttempt();
    default: break;
    }
    return state;
}

int PuzzleGame::HandleButtons() {
    if (Clicked("new")) {
        GoToLevel(level);
        if (Button* button = PanelControls()->Find("new")) button->SetFrameOffset(0);
        state = kStatePlaying;
        mark = GetClockMs();
        StartCountdown();
    } else if (Clicked("exit")) {
        return kFrameEndProgram;
    } else if (Clicked("menu")) {
        if (!menuFolder.empty()) {
            const std::string menuProgram = menuFolder + "\\Lobbit.exe";
            ShellExecuteA(hwnd, "open", menuProgram.c_str(), kGameTitle, menuFolder.c_str(), SW_SHOWNORMAL);
            return kFrameEndProgram;
        }
    } else if (Clicked("help")) {
        if (!ShowHelp()) return kFrameEndProgram;
    } else if (Clicked("arrowleft")) {
        PlayGameSound("arrow");
        if (level > 1) GoToLevel(level - 1);
    } else if (Clicked("arrowright")) {
        PlayGameSound("arrow");
        if (ReadSolvedLevel() >= level + 1 && maxLevel >= level + 1) GoToLevel(level + 1);
    }
    return -1;
}

void PuzzleGame::BlinkNewButton() {
    if (GetElapsedMs(blinkTime) <= kBlinkMs) return;
    blinkOn = !blinkOn;
    if (Button* button = PanelControls() ? PanelControls()->Find("new") : nullptr) {
        button->SetFrameOffset(blinkOn);
        button->Draw(nullptr);
    }
    blinkTime = GetClockMs();
}

void PuzzleGame::RunEffects() {
    if (g_explosionPool) {
        g_explosionPool->UpdateAll();
        g_explosionPool->DrawAll(BackBuffer());
    }
}

int PuzzleGame::PlayStep(int mouseX, int mouseY, int buttons) {
    if (GetSecondsLeft() == 0) {
        state = kStateEnd;
        return ShowOutOfTime() ? kFrameOutOfTime : kFrameEndProgram;
    }
    // Generators may add balls during the walk below; the new ones move from the next frame on.
    const int count = g_ballSet.balls.count;
    for (int i = 0; i < count && i < g_ballSet.balls.count; ++i) {
        if (g_ballSet.balls.items[i]->state == kBallActive) MoveBall(i, mouseX, mouseY, buttons);
    }
    RunEffects();
    UpdateGenerators();
    g_animations.UpdateAndDraw(BackBuffer());
    if (g_ballSet.AllFinished()) {
        if (IsSolved()) {
            score += (level + 1) * kSolvedPointsPerLevel;
            PlayGameSound("verypositive");
            SaveSolvedLevel();
        }
        StopCountdown();
        state = kStateTally;
        stateTime = GetClockMs();
    }
    return state;
}

void PuzzleGame::MoveBall(int i, int mouseX, int mouseY, int buttons) {
    Ball& ball = *g_ballSet.balls.items[i];
    ball.Move();
    for (int j = 0; j < g_ballSet.balls.count; ++j) {
        Ball& other = *g_ballSet.balls.items[j];
        if (j == i || !ball.Overlaps(other)) continue;
        ball.Explode(g_explosionPool);
        other.Explode(g_explosionPool);
        PlayGameSound("explode");
    }
    if (ball.CheckGoal()) {
        if (OnGoalReached(ball.colour)) AddSecondsLeft(timeBonus);
        score += kGoalPoints;
    }
    if (ball.state != kBallActive) return;
    ball.DrawTo(BackBuffer());
    PullBall(ball, mouseX, mouseY, buttons);
    if (g_tileGrid) {
        ball.ApplyDimples(*g_tileGrid);
        ball.CheckHoles(*g_tileGrid);
        ball.CheckMines(*g_tileGrid);
    }
}

void PuzzleGame::PullBall(Ball& ball, int mouseX, int mouseY, int buttons) {
    if (!(buttons & kMouseLeft)) {
        magnetAccumulator = 0.0f;
        mark = GetClockMs();
        return;
    }
    if (GetElapsedMs(mark) > kMagnetStepMs) {
        magnetAccumulator += kMagnetStep;
        mark = GetClockMs();
    }
    const float force = std::min(g_physics.maxMagnet * g_physics.speed,
                                 g_physics.magnet * g_physics.speed + magnetAccumulator);
    ball.PullToward(mouseX, mouseY, force);
}

void PuzzleGame::TallyStep() {
    RunEffects();
    g_animations.UpdateAndDraw(BackBuffer());
    if (!IsSolved()) {
        stateTime = GetClockMs();
        state = kStatePause;
        return;
    }
    if (GetElapsedMs(stateTime) <= kTallyStepMs) return;
    const int secondsLeft = GetSecondsLeft();
    if (secondsLeft < 1) {
        state = kStatePause;
    } else {
        score += kTallyPointsPerSecond;
        SetSecondsLeft(secondsLeft - 1); // the countdown is stopped: only this thread changes it now
    }
    if (timerBar) {
        timerBar->count = GetSecondsLeft();
        timerBar->Draw(g_screenUpdater.GetBackground(), kTimerX, kTimerY);
    }
    stateTime = GetClockMs();
}

void PuzzleGame::PauseStep() {
    StopCountdown();
    g_animations.UpdateAndDraw(BackBuffer());
    RunEffects();
    DrawBalls();
    if (GetElapsedMs(stateTime) > kPauseMs) state = kStateEnd;
}

int PuzzleGame::EndOfAttempt() {
    char player[kPlayerStringBytes] = {};
    LoadPlayer(player);
    if (hallOfFame.Insert(player, score)) {
        hallOfFame.Write("hiscore.dat");
        if (!ShowHallOfFame()) return kFrameEndProgram;
    }
    g_screenUpdater.RestoreRect(kPanelWidth, 0, kScreenWidth - kPanelWidth, kScreenHeight);
    if (IsSolved()) {
        if (level >= kLastLevel) {
            if (!ShowCongratulations()) return kFrameEndProgram;
            g_screenUpdater.ResetBackground();
        } else {
            GoToLevel(level + 1);
        }
        score += kNextLevelPoints;
    } else {
        RestartLevel();
    }
    state = kStateIdle;
    return state;
}

void PuzzleGame::DrawBalls() {
    const bool showGone = state == kStateIdle || state == kStateEnd;
    if (!showGone && state != kStatePause) return;
    for (int i = 0; i < g_ballSet.balls.count; ++i) {
        Ball* ball = g_ballSet.balls.items[i];
        if (ball->state == kBallActive || (showGone && ball->state == kBallGone)) ball->DrawTo(BackBuffer());
    }
}

// Adds to the running countdown (the time bonus of a goal).
void PuzzleGame::AddSecondsLeft(int seconds) {
    AddToSecondsLeft(seconds);
}

int PuzzleGame::ShowHallOfFame() {
    Popup* popup = new Popup();
    popup->AddImage("hallfamepop.bmp", "halloffame");
    popup->SetPosition(380, 166);
    popup->SetDeadline(GetClockMs() + kHallOfFameNoticeMs);
    return RunPopup(popup) ? 1 : 0;
}

int PuzzleGame::ShowHelp() {
    Popup* popup = new Popup();
    popup->AddImage(".\\title\\HowToPlay.bmp", "help");
    popup->AddDefaultButton();
    if (!RunPopup(popup)) return 0;
    g_screenUpdater.ResetBackground();
    BlitWallsOnBackground();
    return 1;
}

int PuzzleGame::ShowCongratulations() {
    Popup* popup = new Popup();
    popup->AddImage("congrats.bmp", "congrats");
    popup->SetPosition(244, 124);
    popup->AddDefaultButton();
    return RunPopup(popup);
}

int PuzzleGame::ShowOutOfTime() {
    Popup* popup = new OutOfTimePopup();
    popup->AddImage("OutOfTime.bmp", "outoftime");
    popup->SetPosition(350, 200);
    popup->SetDeadline(GetClockMs() + kOutOfTimeMs);
    return RunPopup(popup);
}

// The left-hand panel: level number, score and best score in the digit font, the goal order and the
// timer bar; and the sprites of the game's effects.
#include <cstdio>
#include <cstring>

#include "framework/game_clock.h"
#include "framework/screen_updater.h"
#include "tessary/model/ball.h"
#include "tessary/puzzle_game.h"

namespace {

constexpr int kDigitCell = 12;
constexpr int kOrderCell = 25;
constexpr int kEffectCell = 24;
constexpr int kOrderSlots = 4;
constexpr int kOrderDoneFrame = 16; // frame 16 + slot shows a done slot
constexpr int kTimerColumns = 10;
constexpr int kTimerRows = 13;
constexpr int kTimerRefreshMs = 1000;

struct EffectSheet {
    const char* file;
    int delayMs;
};

// In GameSprite order.
constexpr EffectSheet kEffectSheets[] = {
    {"GeneratorAnimDark.bmp", 10},
    {"GeneratorAnimLight.bmp", 10},
    {"ballfall.bmp", 30},
    {"goalanim.bmp", 60},
};

Animation* LoadSheet(const char* file, int w, int h, int delayMs) {
    Animation* sheet = new Animation();
    sheet->LoadSheet(file, w, h);
    sheet->SetDelay(delayMs);
    return sheet;
}

// The ball-order frame of a slot showing letter: columns r, g, b, y.
int OrderColumn(char letter) {
    switch (letter) {
    case 'r': return 0;
    case 'g': return 1;
    case 'b': return 2;
    default: return 3;
    }
}

IDirectDrawSurface* BackBuffer() {
    return g_screenUpdater.GetBackBuffer();
}

} // namespace

void PuzzleGame::CreateHudSprites() {
    if (!scoreFont) scoreFont = LoadSheet("scorefont.bmp", kDigitCell, kDigitCell, 0);
    if (!ballOrderSprite) ballOrderSprite = LoadSheet("BallOrder.bmp", kOrderCell, kOrderCell, 0);
    for (int i = 0; i < 4; ++i) {
        if (!sprites[i])
            sprites[i] = LoadSheet(kEffectSheets[i].file, kEffectCell, kEffectCell, kEffectSheets[i].delayMs);
    }
    g_ballEffects.fall = sprites[kSpriteBallFall];
    g_ballEffects.goal = sprites[kSpriteGoal];
    if (!timerBar) timerBar = new TimerBar(kTimerColumns, kTimerRows, 0, 0);
}

void PuzzleGame::DeleteHudSprites() {
    g_ballEffects = BallEffects{};
    delete scoreFont;
    scoreFont = nullptr;
    delete ballOrderSprite;
    ballOrderSprite = nullptr;
    for (Animation*& sprite : sprites) {
        delete sprite;
        sprite = nullptr;
    }
    delete timerBar;
    timerBar = nullptr;
}

void PuzzleGame::DrawText(const char* digits, int x, int y) {
    if (!scoreFont) return;
    const int length = static_cast<int>(std::strlen(digits));
    int at = x - (length - 1) * scoreFont->frameWidth;
    for (const char* c = digits; *c; ++c, at += scoreFont->frameWidth) {
        if (*c < '0' || *c > '9') continue;
        scoreFont->SetCurrentFrame(*c - '0');
        scoreFont->SetPosition(at, y);
        scoreFont->DrawTo(BackBuffer());
    }
}

void PuzzleGame::DrawLevelNumber(int x, int y) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d", level);
    DrawText(text, x, y);
}

void PuzzleGame::DrawScore(int value, int x, int y) {
    char text[16];
    std::snprintf(text, sizeof text, "%07d", value);
    DrawText(text, x, y);
}

void PuzzleGame::DrawBallOrder(int x, int y) {
    if (!ballOrderSprite) return;
    for (int slot = 0; slot < kOrderSlots; ++slot) {
        const char letter = goalOrder[slot];
        const int frame = letter == 'd' ? kOrderDoneFrame + slot : kOrderSlots * slot + OrderColumn(letter);
        ballOrderSprite->SetCurrentFrame(frame);
        ballOrderSprite->SetPosition(x + kOrderCell * slot, y);
        ballOrderSprite->DrawTo(BackBuffer());
    }
}

void PuzzleGame::RefreshTimerBar(int x, int y) {
    if (!timerBar || GetElapsedMs(timerBarTime) <= kTimerRefreshMs) return;
    timerBar->count = GetSecondsLeft();
    timerBarTime = GetClockMs();
    timerBar->Draw(g_screenUpdater.GetBackground(), x, y);
}

// The game object: level starts and ends, the goal order, generators, the player and the solved level.
#include "tessary/puzzle_game.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "framework/animation_manager.h"
#include "framework/game_clock.h"
#include "framework/playerlist.h"
#include "framework/screen_updater.h"
#include "host/win/paths.h"
#include "host/win/profile.h"
#include "tessary/game_program.h"
#include "tessary/model/ball_set.h"
#include "tessary/model/explosion.h"
#include "tessary/model/game_sounds.h"
#include "tessary/model/ini_values.h"
#include "tessary/model/tile_grid.h"

PuzzleGame g_puzzleGame;

namespace {

constexpr const char* kSetupIni = ".\\setup.ini";
constexpr const char* kOptionsIni = "..\\options.ini";
constexpr const char* kHallOfFameFile = "hiscore.dat";
constexpr int kGeneratorSpawnDelayMs = 400;
constexpr int kMaxLevelNumber = 999; // "%03d" names no more

// The colour letters of the goal order, by ball colour.
constexpr char kColourLetters[] = "brgy";
constexpr char kDone = 'd';

PlayerList g_players;

// Whether a numbered level file is there at all: a missing one is how the levels end, a present one
// that cannot be loaded is worth a line.
bool LevelFileExists(const char* path) {
    std::string resolved;
    return HostResolvePath(path, resolved, false);
}

} // namespace

void PuzzleGame::LoadLevelFile() {
    if (!levelFile_.empty()) {
        // The editor's file: its level number and the arrows' reach stay as they are.
        if (g_tileGrid && !g_tileGrid->LoadLevel(levelFile_.c_str()))
            std::fprintf(stderr, "Tessary: %s\n", g_tileGrid->levelError.c_str());
        return;
    }
    char path[32];
    std::snprintf(path, sizeof path, ".\\Levels\\%03d.lev", std::clamp(level, 1, kMaxLevelNumber));
    if (g_tileGrid && g_tileGrid->LoadLevel(path)) {
        maxLevel = level + 1;
        return;
    }
    if (g_tileGrid && LevelFileExists(path))
        std::fprintf(stderr, "Tessary: %s\n", g_tileGrid->levelError.c_str());
    maxLevel = level;
    level = std::max(1, level - 1);
}

void PuzzleGame::StartLevel() {
    ReloadGrid();
    LoadLevelFile();
    if (g_tileGrid) g_tileGrid->SetEditMode(kEditPlay);
    levelTime = kLevelSeconds;
    timeBonus = kGoalBonusSeconds;
    SetSecondsLeft(levelTime);
    StopCountdown();
    hallOfFame.Allocate(kHallOfFameEntries);
    hallOfFame.Read(kHallOfFameFile);
    LoadPlayer(nullptr);
    if (!g_tileGrid) CreateGrid(kSetupIni);
    g_ballSet.BuildFromGrid(g_tileGrid);
    CreateExplosionPool();
    magnetAccumulator = 0.0f;
    mark = 0;
    CreateHudSprites();
    SetGoalOrder('r', 'g', 'b', 'y');
    score = 0;
    if (g_tileGrid) {
        g_tileGrid->SetEditMode(kEditPlay);
        g_tileGrid->Rebuild();
        g_tileGrid->BlitWalls(g_screenUpdater.GetBackground());
    }
    state = kStateIdle;
}

void PuzzleGame::PlayLevelFile(const char* path) {
    levelFile_ = path ? path : "";
    StartLevel();
}

void PuzzleGame::ForgetLevelFile() {
    levelFile_.clear();
}

void PuzzleGame::EndGame() {
    hallOfFame.Free();
    // The running effects share the frames of the sprites deleted below.
    g_animations.DeleteAll();
    DeleteGrid();
    DestroyExplosionPool();
    g_ballSet.Clear();
    DeleteHudSprites();
}

void PuzzleGame::GoToLevel(int n) {
    n = std::clamp(n, 1, kMaxLevelNumber);
    if (n != level) ForgetLevelFile();
    level = n;
    StartLevel();
    PlayGameSound("level");
}

void PuzzleGame::RestartLevel() {
    StartLevel();
}

int PuzzleGame::OnGoalReached(int colour) {
    const char letter = colour >= 0 && colour < 4 ? kColourLetters[colour] : '?';
    for (char& slot : goalOrder) {
        if (slot == letter) {
            slot = kDone;
            PlayGameSound("positive");
            return 1;
        }
    }
    PlayGameSound("incorrect");
    return 1;
}

int PuzzleGame::IsSolved() const {
    return std::all_of(std::begin(goalOrder), std::end(goalOrder), [](char slot) { return slot == kDone; });
}

void PuzzleGame::SetGoalOrder(char a, char b, char c, char d) {
    goalOrder[0] = a;
    goalOrder[1] = b;
    goalOrder[2] = c;
    goalOrder[3] = d;
}

void PuzzleGame::UpdateGenerators() {
    if (!g_tileGrid) return;
    Animation* flash = sprites[kSpriteGeneratorFlash];
    for (int i = 0; i < g_tileGrid->generators.count; ++i) {
        GeneratorEntry& generator = *g_tileGrid->generators.items[i];
        const int elapsed = GetElapsedMs(generator.phaseTime);
        if (generator.phase == 0 && elapsed > generator.rate * 1000) {
            generator.phase = 1;
            generator.phaseTime = GetClockMs();
            if (flash) {
                flash->SetPosition(generator.x + g_tileGrid->originX, generator.y + g_tileGrid->originY);
                flash->SetFrameRange(0, flash->frames->GetCount());
                flash->SetCentered(1);
                flash->SetPlaying(1);
                flash->SetEndMode(kEndStopAndHide);
                g_animations.Start(*flash);
            }
            PlayGameSound("zap");
        } else if (generator.phase == 1 && elapsed > kGeneratorSpawnDelayMs) {
            g_ballSet.SpawnAtGenerator(generator);
            generator.phase = 0;
            generator.phaseTime = GetClockMs();
        }
    }
}

void PuzzleGame::LoadPlayer(char* out) {
    g_players.SetIniPath(kOptionsIni);
    playerIndex = g_players.ReadCurrentPlayer();
    g_players.ReadPlayer(playerIndex);
    SetTitleWithPlayer(g_players.m_Players[playerIndex].name);
    if (out) g_players.GetPlayerString(playerIndex, out, kPlayerStringBytes);
}

int PuzzleGame::ReadSolvedLevel() {
    return ReadIniInt(kSetupIni, "setup", "solved", "1", -kMaxLevelNumber, kMaxLevelNumber);
}

void PuzzleGame::SaveSolvedLevel() {
    if (ReadSolvedLevel() >= level + 1) return;
    const std::string value = std::to_string(level + 1);
    WritePrivateProfileStringA("setup", "solved", value.c_str(), kSetupIni);
}

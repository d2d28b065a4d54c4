// The frame benchmark. On the headless engine (800x600, 16-bit desktop) with the package's level 1 and
// its setup.ini, it times one frame of level play with the magnet held toward the playfield's centre:
//   - the play step on the real model (tests/tessary/level_play: every active ball moves, explodes with
//     any ball it overlaps, checks its goal, is pulled by the magnet and meets dimples, holes and mines;
//     then the generators run),
//   - the drawing the game does in that state: every active ball onto the back buffer, the explosions
//     (update and draw) and the running animations,
//   - the present of a windowed frame as the framework's page does it: the flip, the screen updater's
//     list toggle and the replay of its restore rectangles onto the back buffer.
// Not timed: the panel (buttons, level number, scores, goal order, timer bar) and the mouse cursor.
// The attempt starts again (outside the timed part) when fewer than four balls are moving or after
// ten seconds of play, so every timed frame has four balls moving.
//
// In the same run it times a memcpy of one 800x600 16-bit frame. Each frame and each copy is timed
// alone; at the end it prints the medians, their ratio and whether a frame takes under 1 ms.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "framework/animation_manager.h"
#include "framework/game_clock.h"
#include "framework/screen_updater.h"
#include "bench/headless_display.h"
#include "framework/surface_helpers.h"
#include "host/win/window.h"
#include "quib/quib.h"
#include "tessary/model/ball_set.h"
#include "tessary/model/explosion.h"
#include "tessary/model/frame_rate.h"
#include "tessary/model/game_sounds.h"
#include "tessary/model/physics_settings.h"
#include "tessary/model/tile_grid.h"
#include "tests/tessary/level_play.h"

#ifndef QUIB_GAME_DIR
#error "the frame benchmark needs QUIB_GAME_DIR (the package's game folder)"
#endif

namespace {

constexpr int kScreenWidth = 800;
constexpr int kScreenHeight = 600;
constexpr size_t kScreenBytes = size_t(kScreenWidth) * kScreenHeight * 2;
constexpr int kMovingBalls = 4;
constexpr int kAttemptFrames = 10 * levelbot::kFrameRate;
constexpr double kGoalMicroseconds = 1000.0;

using Clock = std::chrono::steady_clock;

// Everything the benchmarks work on, made once before they run.
struct World {
    std::filesystem::path previousFolder, folder;
    HWND window = nullptr;
    IDirectDrawSurface* background = nullptr;
    IDirectDrawSurface* clean = nullptr;
    levelbot::Play* play = nullptr;
    levelbot::PlaySnapshot start;
    int magnetX = 0, magnetY = 0;
    int restarts = 0;
    std::vector<uint8_t> memorySource, memoryTarget;
    std::vector<double> frameSamples, memcpySamples; // microseconds, one per timed frame or copy
};
World g;

// Copies setup.ini, the top-level bitmaps and Levels/ of the package's game folder into the current one.
bool CopyGameFolder(std::string& error) {
    namespace fs = std::filesystem;
    const fs::path game(QUIB_GAME_DIR);
    if (!fs::exists(game / "setup.ini")) {
        error = "no game content in " + game.string() + " (build tessary_levels)";
        return false;
    }
    std::error_code ec;
    for (const fs::directory_entry& entry : fs::directory_iterator(game, ec)) {
        const std::string extension = entry.path().extension().string();
        if (entry.is_regular_file() && (extension == ".ini" || extension == ".bmp"))
            fs::copy_file(entry.path(), entry.path().filename(), fs::copy_options::overwrite_existing, ec);
    }
    fs::copy(game / "Levels", "Levels", fs::copy_options::recursive | fs::copy_options::overwrite_existing,
             ec);
    if (ec) error = "cannot copy the game folder: " + ec.message();
    return !ec;
}

// A fresh temporary folder as the current folder, holding a copy of the game folder.
bool EnterGameFolder(std::string& error) {
    g.previousFolder = std::filesystem::current_path();
    g.folder = bench::EnterTemporaryFolder("frame-bench-", error);
    return !g.folder.empty() && CopyGameFolder(error);
}

// The headless engine in an 800x600 window, with the screen updater's two backgrounds.
bool StartEngine(std::string& error) {
    g.window = bench::StartHeadlessDisplay("FrameBench", kScreenWidth, kScreenHeight, error);
    if (!g.window) return false;
    g.background = CreateSurface(kScreenWidth, kScreenHeight);
    g.clean = CreateSurface(kScreenWidth, kScreenHeight);
    if (!g.background || !g.clean) {
        error = "cannot make the backgrounds";
        return false;
    }
    FillSurfaceRGB(g.background, 10, 20, 30);
    FillSurfaceRGB(g.clean, 10, 20, 30);
    g_screenUpdater.SetBackground(g.background);
    g_screenUpdater.SetCleanBackground(g.clean);
    if (StartClock() != 0) {
        error = "cannot start the game clock";
        return false;
    }
    return true;
}

// Level 1 ready to play as the game starts it, walls on both backgrounds, the magnet aimed at the
// playfield's centre.
bool StartLevel(std::string& error) {
    SetGameSoundListener(nullptr);
    g_physics = PhysicsSettings();
    fps = float(levelbot::kFrameRate);
    CreateGrid(".\\setup.ini");
    if (!g_tileGrid) {
        error = "cannot make the grid from setup.ini";
        return false;
    }
    CreateExplosionPool();
    if (g_tileGrid->LoadLevel(".\\Levels\\001.lev") != 1) {
        error = "cannot load level 1: " + g_tileGrid->levelError;
        return false;
    }
    g_tileGrid->SetEditMode(kEditPlay);
    g_tileGrid->Rebuild();
    g_tileGrid->BlitWalls(g.clean);
    g_tileGrid->BlitWalls(g.background);
    g_ballSet.BuildFromGrid(g_tileGrid);
    g.play = new levelbot::Play(*g_tileGrid);
    g.start = g.play->Save();
    g.magnetX = g_tileGrid->originX + g_tileGrid->width / 2;
    g.magnetY = g_tileGrid->originY + g_tileGrid->height / 2;
    return true;
}

void DropWorld() {
    delete g.play;
    g.play = nullptr;
    DeleteGrid();
    g_ballSet.Clear();
    g_ballSet.grid = nullptr;
    DestroyExplosionPool();
    g_animations.DeleteAll();
    StopClock();
    g_screenUpdater.SetBackground(nullptr);
    g_screenUpdater.SetCleanBackground(nullptr);
    g_screenUpdater.PurgeOneShot();
    if (g.background) g.background->Release();
    if (g.clean) g.clean->Release();
    QuibFreeDirectX();
    HostResetWindowLayer();
    if (!g.folder.empty()) {
        std::filesystem::current_path(g.previousFolder);
        std::error_code ignored;
        std::filesystem::remove_all(g.folder, ignored);
    }
}

int MovingBalls() {
    int moving = 0;
    for (int i = 0; i < g_ballSet.balls.count; ++i)
        moving += g_ballSet.balls.items[i]->state == kBallActive;
    return moving;
}

// One frame of play with the magnet held: the model's step, the drawing and the present.
void PlayFrame() {
    IDirectDrawSurface* back = g_screenUpdater.GetBackBuffer();
    g.play->Step(true, g.magnetX, g.magnetY);
    for (int i = 0; i < g_ballSet.balls.count; ++i) {
        Ball* ball = g_ballSet.balls.items[i];
        if (ball->state == kBallActive) ball->DrawTo(back);
    }
    if (g_explosionPool) {
        g_explosionPool->UpdateAll();
        g_explosionPool->DrawAll(back);
    }
    g_animations.UpdateAndDraw(back);
    QuibFlip();
    g_screenUpdater.ToggleList();
    g_screenUpdater.Replay(back);
}

// Starts the attempt again when it no longer has four balls moving or has run its ten seconds.
void KeepFourBallsMoving() {
    if (MovingBalls() >= kMovingBalls && g.play->frame < kAttemptFrames) return;
    g.play->Restore(g.start);
    ++g.restarts;
}

// True when a second of play moves the balls: the timed frames do the model's work.
bool BallsMove() {
    std::vector<float> before;
    for (int i = 0; i < g_ballSet.balls.count; ++i)
        before.push_back(g_ballSet.balls.items[i]->x + g_ballSet.balls.items[i]->y);
    for (int frame = 0; frame < levelbot::kFrameRate; ++frame)
        PlayFrame();
    bool moved = false;
    for (size_t i = 0; i < before.size(); ++i) {
        const Ball& ball = *g_ballSet.balls.items[i];
        moved = moved || ball.x + ball.y != before[i];
    }
    g.play->Restore(g.start);
    return moved;
}

double MicrosecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

void LevelFrame(benchmark::State& state) {
    for (auto _ : state) {
        KeepFourBallsMoving();
        const Clock::time_point start = Clock::now();
        PlayFrame();
        const double microseconds = MicrosecondsSince(start);
        state.SetIterationTime(microseconds / 1e6);
        g.frameSamples.push_back(microseconds);
    }
}

void MemcpyFrame(benchmark::State& state) {
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        benchmark::DoNotOptimize(g.memorySource.data());
        std::memcpy(g.memoryTarget.data(), g.memorySource.data(), kScreenBytes);
        benchmark::ClobberMemory();
        const double microseconds = MicrosecondsSince(start);
        state.SetIterationTime(microseconds / 1e6);
        g.memcpySamples.push_back(microseconds);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kScreenBytes));
}

double Median(std::vector<double> samples) {
    if (samples.empty()) return 0.0;
    const size_t middle = samples.size() / 2;
    std::nth_element(samples.begin(), samples.begin() + long(middle), samples.end());
    return samples[middle];
}

// The medians over every timed frame and copy of the run, their ratio and the goal. True when met.
bool PrintSummary() {
    const double frame = Median(g.frameSamples);
    const double copy = Median(g.memcpySamples);
    std::printf("\nLevel 1, four balls moving, magnet held at (%d, %d); %zu frames timed, %d restarts\n",
                g.magnetX, g.magnetY, g.frameSamples.size(), g.restarts);
    std::printf("  median frame:                   %9.2f us\n", frame);
    std::printf("  median memcpy of 800x600x16bpp: %9.2f us\n", copy);
    if (frame <= 0.0 || copy <= 0.0) {
        std::printf("  (a benchmark did not run; no ratio)\n");
        return false;
    }
    const bool met = frame < kGoalMicroseconds;
    std::printf("  frame / memcpy:                 %9.2f\n", frame / copy);
    std::printf("  goal (frame under %.0f us):     %s\n", kGoalMicroseconds, met ? "met" : "NOT met");
    return met;
}

} // namespace

int main(int argc, char** argv) {
    setenv("HOST_BACKEND", "headless", 1);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;
    std::string error;
    if (!EnterGameFolder(error) || !StartEngine(error) || !StartLevel(error)) {
        std::fprintf(stderr, "frame_bench: %s\n", error.c_str());
        DropWorld();
        return 1;
    }
    if (MovingBalls() < kMovingBalls) {
        std::fprintf(stderr, "frame_bench: level 1 has %d balls moving at the start, not %d\n", MovingBalls(),
                     kMovingBalls);
        DropWorld();
        return 1;
    }
    if (!BallsMove()) {
        std::fprintf(stderr, "frame_bench: the balls of level 1 do not move\n");
        DropWorld();
        return 1;
    }
    g.memorySource.assign(kScreenBytes, 0x5a);
    g.memoryTarget.assign(kScreenBytes, 0);
    benchmark::RegisterBenchmark("level_frame", LevelFrame)->UseManualTime()->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("memcpy_frame", MemcpyFrame)->UseManualTime()->Unit(benchmark::kMicrosecond);
    benchmark::RunSpecifiedBenchmarks();
    std::fflush(stdout);
    PrintSummary();
    benchmark::Shutdown();
    DropWorld();
    return 0;
}

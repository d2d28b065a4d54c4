// Shared set-up of the game model's tests: a fresh temporary folder as the current folder, the
// headless engine started in an 800x600 window (so surfaces, bitmaps and blits are real), a clock the
// test advances by hand, a record of the sounds the model plays, and a small game folder (setup.ini,
// tile palette, special blocks, explosion frames) written by the test itself.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/animation_manager.h"
#include "framework/game_clock.h"
#include "framework/screen_updater.h"
#include "framework/surface_helpers.h"
#include "host/backend/machine.h"
#include "host/mm/timer.h"
#include "host/win/clock.h"
#include "host/win/messages.h"
#include "host/win/window.h"
#include "quib/quib.h"
#include "tessary/model/ball_set.h"
#include "tessary/model/explosion.h"
#include "tessary/model/frame_rate.h"
#include "tessary/model/game_sounds.h"
#include "tessary/model/physics_settings.h"
#include "tessary/model/tile_grid.h"
#include "tests/support/bmp.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

namespace gametest {

struct Rgb {
    uint8_t r, g, b;
};
constexpr Rgb kBlue{0, 0, 255}; // transparent
constexpr Rgb kFloor{120, 120, 120};
constexpr Rgb kWall{200, 60, 40};
constexpr Rgb kGoal0{40, 80, 200};
constexpr Rgb kGoal1{200, 40, 40};
constexpr Rgb kBall0{60, 100, 230};
constexpr Rgb kBall1{230, 60, 60};
constexpr Rgb kBall4{180, 180, 180};
constexpr Rgb kHole{10, 10, 10};
constexpr Rgb kMine{250, 250, 0};
constexpr Rgb kDimpleIcon{90, 160, 90};
constexpr Rgb kGeneratorIcon{160, 90, 160};
constexpr Rgb kRing{240, 160, 40};
constexpr Rgb kSpot{0, 255, 0};

// Writes a 24-bit bottom-up BMP of w x h pixels coloured by pixel(x, y).
inline void WriteBmp(const std::string& path, int w, int h, const std::function<Rgb(int, int)>& pixel) {
    testsupport::WriteBmp24(path, w, h, [&pixel](int x, int y) {
        const Rgb c = pixel(x, y);
        return uint32_t(c.r) << 16 | uint32_t(c.g) << 8 | c.b;
    });
}

using testsupport::ReadBytes;
using testsupport::ReadText;
using testsupport::WriteBytes;
using testsupport::WriteText;

// The test palette: 24 x 24 cells, 8 per row in tiles.bmp. Palette index = cell + 2.
enum PaletteIndex {
    kFloorTile = 2,
    kGoal0Tile = 3,
    kGoal1Tile = 4,
    kWallTile = 5,
    kBall0Tile = 6,
    kBall1Tile = 7,
    kBall4Tile = 8,
    kHoleTile = 9,
    kMineTile = 10,
    kDimpleTile = 11,
    kGeneratorTile = 12,
    kHalfWallTile = 13,
    kPlainTile = 14, // no section: defaults
    kBall0SecondTile = 15,
    kGoal0SecondTile = 16,
    kSpareTile = 17,
    kPaletteSize = 18,
};

constexpr int kCell = 24;
constexpr int kColumns = 12;
constexpr int kRows = 10;
constexpr int kGridX = 120;
constexpr int kGridY = 12;

// The picture of palette cell k at (x, y) inside the cell.
inline Rgb PaletteCellPixel(int k, int x, int y) {
    const int dx = x - 12, dy = y - 12;
    const bool round = dx * dx + dy * dy < 100; // a disc of radius 10
    switch (k + 2) {
    case kFloorTile: return kFloor;
    case kGoal0Tile: return round ? kGoal0 : kFloor;
    case kGoal1Tile: return round ? kGoal1 : kFloor;
    case kWallTile: return kWall;
    case kBall0Tile: return round ? kBall0 : kBlue;
    case kBall1Tile: return round ? kBall1 : kBlue;
    case kBall4Tile: return round ? kBall4 : kBlue;
    case kHoleTile: return round ? kHole : kBlue;
    case kMineTile: return round ? kMine : kBlue;
    case kDimpleTile: return round ? kDimpleIcon : kBlue;
    case kGeneratorTile: return round ? kGeneratorIcon : kBlue;
    case kHalfWallTile: return x < 12 ? kWall : kBlue;
    case kBall0SecondTile: return round ? kBall0 : kBlue;
    case kGoal0SecondTile: return round ? kGoal0 : kFloor;
    default: return Rgb{uint8_t(20 * k), 30, 30};
    }
}

// setup.ini of the test game folder: physics, grid, layers and the palette sections.
inline std::string SetupIni() {
    return "[setup]\n"
           "speed=3.0\nfriction=0.004\nmagnet=0.02\nmax_magnet=0.03\ndimple=0.015\n"
           "collidew=20\nballw=20\n"
           "[grid]\n"
           "gridx=120\ngridy=12\ngridw=12\ngridh=10\nwallw=24\nwallh=24\ntilegrid=tiles.bmp\n"
           "[layer]\n"
           "layer01=dimple\nlayer02=hole\nlayer03=mine\nlayer04=generator\nlayer05=wall\nlayer06=special\n"
           "default=wall\n"
           "[p002]\nlayer=background\n"
           "[p003]\nlayer=background\ntype=goal\ncolor=0\n"
           "[p004]\nlayer=background\ntype=goal\ncolor=1\n"
           "[p005]\nlayer=wall\n"
           "[p006]\nlayer=special\ntype=ball\ncolor=0\n"
           "[p007]\nlayer=special\ntype=ball\ncolor=1\n"
           "[p008]\nlayer=special\ntype=ball\ncolor=4\n"
           "[p009]\nlayer=hole\ntype=hole\nradius=9.7\n"
           "[p010]\nlayer=mine\ntype=mine\nradius=10\n"
           "[p011]\nlayer=dimple\ntype=dimple\nsize=3\nfile=dimple.bmp\nforce=2.5\nradius=36\n"
           "[p012]\nlayer=generator\ntype=generator\nsize=3\nfile=generator.bmp\nrate=2\nwall=111101111\n"
           "[p013]\nlayer=wall\n"
           "[p015]\nlayer=special\ntype=ball\ncolor=0\n"
           "[p016]\nlayer=background\ntype=goal\ncolor=0\n"
           "[p017]\nlayer=nosuchlayer\n";
}

// Writes setup.ini, tiles.bmp (8 x 2 cells), dimple.bmp and generator.bmp (3 x 3 cells: a ring whose
// centre is a spot that the mask leaves out) and the two explosion frames into the current folder.
inline void WriteGameFolder(const std::string& setupIni = SetupIni()) {
    WriteText("setup.ini", setupIni);
    WriteBmp("tiles.bmp", 8 * kCell, 2 * kCell, [](int x, int y) {
        return PaletteCellPixel((y / kCell) * 8 + x / kCell, x % kCell, y % kCell);
    });
    WriteBmp("dimple.bmp", 3 * kCell, 3 * kCell, [](int x, int y) {
        const int dx = x - 36, dy = y - 36;
        return dx * dx + dy * dy < 30 * 30 ? Rgb{70, 140, 70} : kBlue;
    });
    WriteBmp("generator.bmp", 3 * kCell, 3 * kCell, [](int x, int y) {
        const bool centre = x >= kCell && x < 2 * kCell && y >= kCell && y < 2 * kCell;
        return centre ? kSpot : kRing;
    });
    WriteBmp("exp01.bmp", 32, 32, [](int, int) { return Rgb{255, 128, 0}; });
    WriteBmp("exp02.bmp", 32, 32, [](int, int) { return Rgb{255, 255, 0}; });
}

// The sounds the model played since the test began.
struct PlayedSound {
    std::string name;
    int volume;
};
inline std::vector<PlayedSound>& PlayedSounds() {
    static std::vector<PlayedSound> sounds;
    return sounds;
}
inline int CountSounds(const std::string& name) {
    int n = 0;
    for (const PlayedSound& sound : PlayedSounds())
        n += sound.name == name;
    return n;
}

// The hand-driven clock behind the host's timers.
inline uint64_t& ManualNow() {
    static uint64_t now = 1000;
    return now;
}

inline LRESULT TestWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

// A fresh folder as the current folder, with no engine.
class FolderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        setenv("HOST_BACKEND", "headless", 1);
        folder_ = std::make_unique<testsupport::TempCurrentFolder>("tessary-model");
        ASSERT_FALSE(folder_->Path().empty());
        PlayedSounds().clear();
        SetGameSoundListener([](const char* name, int volume) { PlayedSounds().push_back({name, volume}); });
        g_physics = PhysicsSettings();
        fps = 60.0f;
    }

    void TearDown() override {
        DeleteGrid();
        g_ballSet.Clear();
        g_ballSet.grid = nullptr;
        DestroyExplosionPool();
        g_animations.DeleteAll();
        g_ballEffects = BallEffects();
        SetGameSoundListener(nullptr);
        fps = 0.0f;
        folder_.reset();
    }

    std::filesystem::path Folder() const { return folder_->Path(); }

  private:
    std::unique_ptr<testsupport::TempCurrentFolder> folder_;
};

// FolderTest with the headless engine started, the screen updater's two backgrounds, and the clock.
class EngineTest : public FolderTest {
  protected:
    void SetUp() override {
        FolderTest::SetUp();
        HostResetWindowLayer();
        HostMachine machine = HostDefaultMachine();
        machine.desktopBitsPerPixel = 16;
        HostSetMachine(machine);
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = TestWindowProc;
        windowClass.lpszClassName = "GameModelTest";
        ASSERT_NE(RegisterClassA(&windowClass), 0);
        window_ = CreateWindowExA(0, "GameModelTest", "Game", WS_POPUP | WS_VISIBLE, 0, 0, 800, 600, nullptr,
                                  nullptr, nullptr, nullptr);
        ASSERT_NE(window_, nullptr);
        ASSERT_EQ(QuibInitDirectX(window_, 800, 600), 1);
        HostSetClockSource([] { return ManualNow(); });
        background_ = CreateSurface(800, 600);
        clean_ = CreateSurface(800, 600);
        ASSERT_NE(background_, nullptr);
        FillSurfaceRGB(background_, 10, 20, 30);
        FillSurfaceRGB(clean_, 10, 20, 30);
        g_screenUpdater.SetBackground(background_);
        g_screenUpdater.SetCleanBackground(clean_);
        ASSERT_EQ(StartClock(), 0);
    }

    void TearDown() override {
        FolderTest::TearDown();
        StopClock();
        g_screenUpdater.SetBackground(nullptr);
        g_screenUpdater.SetCleanBackground(nullptr);
        g_screenUpdater.PurgeOneShot();
        if (background_) background_->Release();
        if (clean_) clean_->Release();
        QuibFreeDirectX();
        HostResetWindowLayer();
        HostSetClockSource(nullptr);
    }

    // Moves the clock on by ms (in the timer's 10 ms ticks).
    static void Advance(int ms) {
        for (int passed = 0; passed < ms; passed += 10) {
            ManualNow() += 10;
            HostTimersRunDue();
        }
    }

    // A grid made from the test folder's files, its level cleared to floor tiles.
    TileGrid* MakeGrid() {
        WriteGameFolder();
        CreateGrid(".\\setup.ini");
        TileGrid* grid = g_tileGrid;
        for (int cell = 0; cell < grid->CellCount(); ++cell)
            grid->SetCell(kFloorTile, cell);
        return grid;
    }

    IDirectDrawSurface* Background() const { return background_; }

  private:
    HWND window_ = nullptr;
    IDirectDrawSurface* background_ = nullptr;
    IDirectDrawSurface* clean_ = nullptr;
};

} // namespace gametest

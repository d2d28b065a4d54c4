#include "tools/playtest/world.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "host/backend/machine.h"
#include "host/win/messages.h"
#include "host/win/window.h"
#include "quib/quib.h"
#include "tessary/model/frame_rate.h"
#include "tessary/model/game_sounds.h"
#include "tessary/model/physics_settings.h"
#include "tools/playtest/game_step.h"

namespace playtest {

namespace fs = std::filesystem;

namespace {

constexpr int kScreenWidth = 800;
constexpr int kScreenHeight = 600;
constexpr const char* kSetup = ".\\setup.ini";

LRESULT PlaytestWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

std::string LevelPath(int level) {
    char path[32];
    std::snprintf(path, sizeof path, ".\\Levels\\%03d.lev", level);
    return path;
}

} // namespace

World::~World() {
    balls_.clear(); // the balls point into their grids
    grids_.clear();
    if (engine_) {
        QuibFreeDirectX();
        HostResetWindowLayer();
    }
    if (!folder_.empty()) {
        std::error_code ignored;
        fs::current_path(previousFolder_, ignored);
        fs::remove_all(folder_, ignored);
    }
}

bool World::Start(const std::string& gameFolder, int workers, std::string& error) {
    const fs::path game(gameFolder);
    if (!fs::exists(game / "setup.ini")) {
        error = "no game content in " + gameFolder + " (build the package first)";
        return false;
    }
    std::string pattern = (fs::temp_directory_path() / "playtest-XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
        error = "cannot make a temporary folder";
        return false;
    }
    previousFolder_ = fs::current_path().string();
    folder_ = pattern;
    fs::current_path(folder_);
    std::error_code ec;
    for (const fs::directory_entry& entry : fs::directory_iterator(game, ec)) {
        const std::string extension = entry.path().extension().string();
        if (entry.is_regular_file() && (extension == ".ini" || extension == ".bmp"))
            fs::copy_file(entry.path(), entry.path().filename(), fs::copy_options::overwrite_existing, ec);
    }
    if (!ec) fs::copy(game / "Levels", "Levels", fs::copy_options::recursive, ec);
    if (ec) {
        error = "cannot copy the game folder: " + ec.message();
        return false;
    }

    setenv("HOST_BACKEND", "headless", 1); // the tool never shows a window
    HostResetWindowLayer();
    HostMachine machine = HostDefaultMachine();
    machine.desktopBitsPerPixel = 16;
    HostSetMachine(machine);
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = PlaytestWindowProc;
    windowClass.lpszClassName = "Playtest";
    HWND window = RegisterClassA(&windowClass) != 0
                      ? CreateWindowExA(0, "Playtest", "Playtest", WS_POPUP | WS_VISIBLE, 0, 0, kScreenWidth,
                                        kScreenHeight, nullptr, nullptr, nullptr, nullptr)
                      : nullptr;
    if (!window || QuibInitDirectX(window, kScreenWidth, kScreenHeight) != 1) {
        error = "cannot start the headless display";
        return false;
    }
    engine_ = true;
    SetGameSoundListener(nullptr);
    fps = float(kFrameRate);
    for (int w = 0; w < workers; ++w) {
        auto grid = std::make_unique<TileGrid>(kSetup);
        grid->MakeCheckerboard();
        grid->ReadLayers(kSetup);
        grid->ReadPalette(kSetup);
        grid->SetEditMode(kEditPlay);
        grids_.push_back(std::move(grid));
        balls_.push_back(std::make_unique<BallSet>());
    }
    return true;
}

bool World::LoadLevel(int level, std::string& error) {
    const std::string path = LevelPath(level);
    for (size_t w = 0; w < grids_.size(); ++w) {
        balls_[w]->Clear();
        if (grids_[w]->LoadLevel(path.c_str()) != 1) {
            error = path + ": " + grids_[w]->levelError;
            return false;
        }
        balls_[w]->BuildFromGrid(grids_[w].get());
    }
    return true;
}

std::vector<std::string> ReadLevelNames(const std::string& folder, int levels) {
    std::vector<std::string> names(size_t(levels) + 1);
    for (int level = 1; level <= levels; ++level) {
        char file[16];
        std::snprintf(file, sizeof file, "%03d.txt", level);
        std::ifstream in(fs::path(folder) / file);
        for (std::string line; std::getline(in, line);) {
            if (line.rfind("name", 0) != 0) continue;
            const size_t equals = line.find('=');
            if (equals == std::string::npos) continue;
            const size_t start = line.find_first_not_of(' ', equals + 1);
            names[size_t(level)] = start == std::string::npos ? "" : line.substr(start);
            break;
        }
    }
    return names;
}

} // namespace playtest

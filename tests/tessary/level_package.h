// The shipped levels as the game sees them: the package's game folder (setup.ini, tile palette,
// special blocks, Levels/) copied into the test's own folder, so the model reads the generated files
// through its own paths and nothing in the package is touched.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>

#include "game_test_support.h"

#ifndef QUIB_GAME_DIR
#error "the tests of the shipped levels need QUIB_GAME_DIR (the package's game folder)"
#endif

namespace levelpackage {

constexpr int kLevelCount = 50;

// "Levels/NNN.lev" of the package.
inline std::filesystem::path PackageLevel(int level) {
    char name[32];
    std::snprintf(name, sizeof name, "%03d.lev", level);
    return std::filesystem::path(QUIB_GAME_DIR) / "Levels" / name;
}

// The path the game opens level n by.
inline std::string GameLevelPath(int level) {
    char path[32];
    std::snprintf(path, sizeof path, ".\\Levels\\%03d.lev", level);
    return path;
}

// Copies setup.ini, every bitmap of the game folder's top level and Levels/ into the current folder.
// False when the package has no setup.ini (the content was not built).
inline bool CopyGameFolder() {
    namespace fs = std::filesystem;
    const fs::path game(QUIB_GAME_DIR);
    if (!fs::exists(game / "setup.ini")) return false;
    std::error_code ec;
    for (const fs::directory_entry& entry : fs::directory_iterator(game, ec)) {
        const std::string extension = entry.path().extension().string();
        if (entry.is_regular_file() && (extension == ".ini" || extension == ".bmp"))
            fs::copy_file(entry.path(), entry.path().filename(), fs::copy_options::overwrite_existing, ec);
    }
    fs::copy(game / "Levels", "Levels", fs::copy_options::recursive | fs::copy_options::overwrite_existing,
             ec);
    return !ec;
}

// The model's tests with the engine started, the package's game folder copied in and the grid made
// from its setup.ini, as the game makes it at its first level start.
class PackageTest : public gametest::EngineTest {
  protected:
    void SetUp() override {
        EngineTest::SetUp();
        SetGameSoundListener(nullptr);
        ASSERT_TRUE(CopyGameFolder()) << "no game content in " << QUIB_GAME_DIR;
        CreateGrid(".\\setup.ini");
        ASSERT_NE(g_tileGrid, nullptr);
        CreateExplosionPool();
    }
};

} // namespace levelpackage

// Every file the game opens is in the package's game folder under the exact name the program asks for:
// the host finds names in any case, but a player's copy of the folder must not depend on that. The names
// are the game's own literals (checked against its sources), the level files and the files setup.ini
// names; each is opened through the host's lookup from the game folder, as the program opens it.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "host/win/paths.h"
#include "host/win/profile.h"
#include "tests/support/files.h"

#ifndef QUIB_GAME_DIR
#error "the package test needs QUIB_GAME_DIR (the package's game folder)"
#endif

namespace fs = std::filesystem;

namespace {

constexpr int kLevelCount = 50;

// The files the game (and the menu, from the game folder) opens, spelt as the programs spell them.
const char* const kProgramFiles[] = {
    ".\\setup.ini", "background.bmp", "backbutton.bmp", "newgamebutton.bmp", "infobutton.bmp",
    "exitbutton.bmp", "levelleft.bmp", "levelright.bmp", "font.bmp", "scorefont.bmp", "BallOrder.bmp",
    "GeneratorAnimDark.bmp", "GeneratorAnimLight.bmp", "ballfall.bmp", "goalanim.bmp", "TimerMarker0.bmp",
    "TimerMarker1.bmp", "exp01.bmp", "exp02.bmp", "OutOfTime.bmp", "hallfamepop.bmp", "congrats.bmp",
    ".\\title\\HowToPlay.bmp", "sounds\\arrow.wav", "sounds\\wall.wav", "sounds\\explode.wav",
    "sounds\\falling.wav", "sounds\\incorrect.wav", "sounds\\level.wav", "sounds\\positive.wav",
    "sounds\\verypositive.wav", "sounds\\zap.wav", ".\\sounds\\music.mp3",
    // Read by the menu from the game folder.
    "LobbitButton.bmp", ".\\title\\titlebackground.bmp", ".\\title\\Credits.bmp"};

// Runs the body with the game folder as the current folder, as the program runs.
class InGameFolder {
  public:
    InGameFolder() : previous_(fs::current_path()) { fs::current_path(QUIB_GAME_DIR); }
    ~InGameFolder() { fs::current_path(previous_); }

  private:
    fs::path previous_;
};

// A program path's components, "." dropped: ".\\title\\Credits.bmp" -> title, Credits.bmp.
std::vector<std::string> Components(const std::string& path) {
    std::vector<std::string> parts;
    std::string current;
    for (char c : path + "\\") {
        if (c != '\\' && c != '/') {
            current += c;
            continue;
        }
        if (!current.empty() && current != ".") parts.push_back(current);
        current.clear();
    }
    return parts;
}

std::string Normalised(const std::string& path) {
    std::string joined;
    for (const std::string& part : Components(path))
        joined += (joined.empty() ? "" : "/") + part;
    return joined;
}

// Whether each component of path is an entry of its folder in exactly that spelling.
bool ExactlySpelt(const fs::path& folder, const std::string& path) {
    fs::path at = folder;
    for (const std::string& part : Components(path)) {
        bool found = false;
        std::error_code ec;
        for (const fs::directory_entry& entry : fs::directory_iterator(at, ec))
            found |= entry.path().filename().string() == part;
        if (ec || !found) return false;
        at /= part;
    }
    return true;
}

// Opens path through the host from the current folder and reads its first byte.
bool OpensThroughHost(const std::string& path) {
    FILE* file = HostOpenFile(path.c_str(), "rb");
    if (!file) return false;
    const bool readable = std::fgetc(file) != EOF;
    std::fclose(file);
    return readable;
}

std::string SourceRoot() {
    if (const char* root = std::getenv("QUIB_SOURCE_DIR")) return root;
    return fs::path(__FILE__).parent_path().parent_path().parent_path().string();
}

// Every string literal of the game's sources naming a bitmap, sound or music file (patterns excluded).
std::set<std::string> NamesInGameSources() {
    const std::regex literal("\"((?:[^\"\\\\]|\\\\.)*)\"");
    const std::regex name("[A-Za-z0-9_.\\\\/]+\\.(bmp|wav|mp3)");
    std::set<std::string> names;
    for (const fs::directory_entry& entry :
         fs::recursive_directory_iterator(fs::path(SourceRoot()) / "tessary")) {
        const std::string extension = entry.path().extension().string();
        if (extension != ".cpp" && extension != ".h") continue;
        const std::string text = testsupport::ReadText(entry.path());
        for (std::sregex_iterator it(text.begin(), text.end(), literal), end; it != end; ++it) {
            const std::string body = std::regex_replace((*it)[1].str(), std::regex("\\\\\\\\"), "\\");
            for (std::sregex_iterator n(body.begin(), body.end(), name); n != end; ++n)
                names.insert(Normalised(n->str()));
        }
    }
    return names;
}

// Files setup.ini names: the tile palette and the "file" of every palette section it is cut into.
std::vector<std::string> NamesInSetupIni() {
    char text[256];
    GetPrivateProfileStringA("grid", "tilegrid", "none", text, sizeof text, ".\\setup.ini");
    const std::string tilegrid = text;
    EXPECT_NE(tilegrid, "none") << "setup.ini gives no tile palette";
    if (tilegrid == "none") return {};
    std::vector<std::string> names{tilegrid};
    const int cellW = int(GetPrivateProfileIntA("grid", "wallw", 0, ".\\setup.ini"));
    const int cellH = int(GetPrivateProfileIntA("grid", "wallh", 0, ".\\setup.ini"));
    // The palette's cell count from the bitmap's header (width at 18, height at 22).
    FILE* bitmap = HostOpenFile(tilegrid.c_str(), "rb");
    unsigned char header[26] = {};
    const bool read = bitmap && std::fread(header, 1, sizeof header, bitmap) == sizeof header;
    if (bitmap) std::fclose(bitmap);
    EXPECT_TRUE(read && cellW > 0 && cellH > 0) << tilegrid;
    if (!read || cellW <= 0 || cellH <= 0) return names;
    const int width = header[18] | header[19] << 8, height = std::abs(int16_t(header[22] | header[23] << 8));
    for (int k = 0; k < (width / cellW) * (height / cellH); ++k) {
        char section[16];
        std::snprintf(section, sizeof section, "p%03d", k + 2);
        GetPrivateProfileStringA(section, "file", "", text, sizeof text, ".\\setup.ini");
        if (text[0]) names.push_back(text);
    }
    return names;
}

TEST(PackageFiles, EveryFileNameInTheGameSourcesIsChecked) {
    std::set<std::string> listed;
    for (const char* name : kProgramFiles)
        listed.insert(Normalised(name));
    const std::set<std::string> inSources = NamesInGameSources();
    EXPECT_GE(inSources.size(), 30u) << "the game's sources were not found under " << SourceRoot();
    for (const std::string& name : inSources)
        EXPECT_TRUE(listed.count(name)) << name << " is opened by the game but not checked here";
}

TEST(PackageFiles, EveryFileTheGameOpensIsThereWithItsExactName) {
    InGameFolder inGame;
    std::vector<std::string> names(std::begin(kProgramFiles), std::end(kProgramFiles));
    for (int level = 1; level <= kLevelCount; ++level) {
        char path[32];
        std::snprintf(path, sizeof path, ".\\Levels\\%03d.lev", level);
        names.push_back(path);
    }
    const std::vector<std::string> fromSetup = NamesInSetupIni();
    EXPECT_GE(fromSetup.size(), 2u) << "setup.ini names no palette or special block bitmaps";
    names.insert(names.end(), fromSetup.begin(), fromSetup.end());
    for (const std::string& name : names) {
        EXPECT_TRUE(OpensThroughHost(name)) << name << " does not open";
        EXPECT_TRUE(ExactlySpelt(QUIB_GAME_DIR, name)) << name << " is not in the package in that spelling";
    }
}

// The exact-name check catches what the host's lookup forgives.
TEST(PackageFiles, ANameInAnotherCaseOpensButIsNotExactlySpelt) {
    InGameFolder inGame;
    EXPECT_TRUE(OpensThroughHost("ballorder.BMP"));
    EXPECT_FALSE(ExactlySpelt(QUIB_GAME_DIR, "ballorder.BMP"));
    EXPECT_FALSE(ExactlySpelt(QUIB_GAME_DIR, ".\\TITLE\\HowToPlay.bmp"));
    EXPECT_TRUE(ExactlySpelt(QUIB_GAME_DIR, ".\\title\\HowToPlay.bmp"));
    EXPECT_FALSE(OpensThroughHost(".\\Levels\\051.lev"));
}

} // namespace

// Every file the menu loads from its folder, as the build laid it out: the exact name, the size and
// frame layout the menu's coordinates call for, the colour-key rule, the four bitmap fonts as the
// loader cuts them, the INI files; and the game folder's pictures the menu shows.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <vector>

#include "game_folder.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

namespace {

namespace fs = std::filesystem;

// The menu folder is the game folder's parent.
std::string MenuFile(const std::string& name) {
    return (fs::path(QUIB_GAME_DIR).parent_path() / name).string();
}

Picture LoadMenuBitmap(const std::string& name) {
    Picture p;
    std::string error;
    EXPECT_TRUE(ReadBmp(MenuFile(name), p, &error)) << name << ": " << error;
    return p;
}

struct Expected {
    const char* name;
    int width, height;
    int frames;  // cells side by side, each with art
    bool screen; // a restore source or popup face: no key pixel at all
};

const Expected kBitmaps[] = {
    // The grid of games.
    {"background.bmp", 800, 600, 1, true},
    {"PageArrowsLeft.bmp", 96, 48, 2, false},
    {"PageArrowsRight.bmp", 96, 48, 2, false},
    {"Info.bmp", 144, 40, 2, false},
    {"SmallExit.bmp", 144, 40, 2, false},
    {"GameButton.bmp", 768, 104, 3, false},
    {"PageNumbers.bmp", 160, 24, 10, false},
    {"CollectButton.bmp", 256, 104, 1, false},
    {"infoscreen.bmp", 800, 600, 1, true},
    {"backbutton.bmp", 168, 40, 2, false},
    {"BackButton.bmp", 168, 40, 2, false},
    // The title page.
    {"HowToPlayButton.bmp", 224, 56, 2, false},
    {"PlayButton.bmp", 224, 56, 2, false},
    {"HighScoresButton.bmp", 224, 56, 2, false},
    {"MenuButton.bmp", 224, 56, 2, false},
    {"CreditsButton.bmp", 224, 56, 2, false},
    {"ExitButton.bmp", 224, 56, 2, false},
    {"PlayersButton.bmp", 480, 48, 2, false},
    {"sfx.bmp", 96, 48, 2, false},
    {"music.bmp", 96, 48, 2, false},
    {"blockcursor.bmp", 10, 22, 1, false},
    // The hall of fame.
    {"HallOfFameScreen.bmp", 694, 564, 1, true},
    {"UploadButton.bmp", 256, 48, 2, false},
    {"ClearScores.bmp", 256, 48, 2, false},
    // The player editor.
    {"PlayerInfo.bmp", 694, 564, 1, true},
    {"EnterButton.bmp", 208, 40, 2, false},
    {"RemoveButton.bmp", 208, 40, 2, false},
    {"yesno.bmp", 128, 32, 2, false},
};

const char* const kFonts[] = {"n_font.bmp", "h_font.bmp", "HallBlackFont.bmp", "HallPurpleFont.bmp"};

// A glyph as the font loader finds it: a run of columns holding a non-key pixel.
struct GlyphSpan {
    int x, width;
};

std::vector<GlyphSpan> CutGlyphs(const Picture& font) {
    std::vector<GlyphSpan> glyphs;
    auto columnEmpty = [&](int x) { return !CellHasArt(font, x, 0, 1, font.height); };
    int x = 0;
    while (x < font.width) {
        while (x < font.width && columnEmpty(x))
            ++x;
        if (x >= font.width) break;
        int start = x;
        while (x < font.width && !columnEmpty(x))
            ++x;
        glyphs.push_back({start, x - start});
    }
    return glyphs;
}

// The width of text drawn with a font: glyph widths plus spacing between them, half the widest glyph
// for a space, as the loader and DrawText measure it.
int TextWidth(const std::vector<GlyphSpan>& glyphs, const std::string& text, int spacing) {
    int widest = 0;
    for (const GlyphSpan& g : glyphs)
        widest = std::max(widest, g.width);
    int width = 0;
    for (char ch : text)
        width += (ch == ' ' ? widest / 2 : glyphs[size_t(ch - 33)].width) + spacing;
    return width - spacing;
}

TEST(MenuAssets, EveryBitmapHasItsExactNameSizeAndFrames) {
    std::set<std::string> present;
    for (const auto& entry : fs::directory_iterator(fs::path(QUIB_GAME_DIR).parent_path()))
        present.insert(entry.path().filename().string());
    for (const Expected& e : kBitmaps) {
        SCOPED_TRACE(e.name);
        ASSERT_TRUE(present.count(e.name)) << "missing under its exact spelling";
        Picture p = LoadMenuBitmap(e.name);
        ASSERT_EQ(p.width, e.width);
        ASSERT_EQ(p.height, e.height);
        int cell = e.width / e.frames;
        for (int f = 0; f < e.frames; ++f)
            EXPECT_TRUE(CellHasArt(p, f * cell, 0, cell, e.height)) << "frame " << f << " is empty";
    }
    for (const char* font : kFonts)
        EXPECT_TRUE(present.count(font)) << font;
}

TEST(MenuAssets, NoOpaquePixelShowsAsTheKeyAndScreensHoldNoKey) {
    std::vector<std::string> names;
    for (const Expected& e : kBitmaps)
        names.push_back(e.name);
    names.insert(names.end(), std::begin(kFonts), std::end(kFonts));
    for (const std::string& name : names) {
        Picture p = LoadMenuBitmap(name);
        EXPECT_EQ(CountHiddenPixels(p), 0) << name;
    }
    for (const Expected& e : kBitmaps) {
        if (!e.screen) continue;
        EXPECT_EQ(CountKeyPixels(LoadMenuBitmap(e.name)), 0) << e.name;
    }
}

TEST(MenuAssets, FontsSplitIntoTheNinetyFourGlyphsAndFitTheFields) {
    for (const char* name : kFonts) {
        SCOPED_TRACE(name);
        Picture font = LoadMenuBitmap(name);
        ASSERT_GT(font.height, 0);
        // The title page's fields are 30 high, the editor's and the hall's rows 26.
        EXPECT_LE(font.height, 26);
        std::vector<GlyphSpan> glyphs = CutGlyphs(font);
        ASSERT_EQ(glyphs.size(), 94u);
        // Narrow characters stay narrow and wide ones wide, so the order was not shifted by a split.
        EXPECT_LT(glyphs['.' - 33].width, glyphs['W' - 33].width);
        EXPECT_LT(glyphs['i' - 33].width, glyphs['m' - 33].width);
        EXPECT_LT(glyphs['!' - 33].width, glyphs['@' - 33].width);
    }
    // Every default player name fits a title-page field (150 wide) in either font at its default
    // spacing (a tenth of the widest glyph), and a long name fits the editor's 580-wide field.
    for (const char* name : {"n_font.bmp", "h_font.bmp"}) {
        std::vector<GlyphSpan> glyphs = CutGlyphs(LoadMenuBitmap(name));
        ASSERT_EQ(glyphs.size(), 94u);
        int widest = 0;
        for (const GlyphSpan& g : glyphs)
            widest = std::max(widest, g.width);
        EXPECT_LT(TextWidth(glyphs, "Player8", widest / 10), 150) << name;
        EXPECT_LT(TextWidth(glyphs, "Mary Wollstonecraft Godwin-Shelley", 3), 580) << name;
    }
    // The text cursor is no taller than the fields' font.
    EXPECT_LE(LoadMenuBitmap("blockcursor.bmp").height, LoadMenuBitmap("n_font.bmp").height);
}

TEST(MenuAssets, GameButtonIsAFrameThatLetsTheGamesPictureShow) {
    Picture frame = LoadMenuBitmap("GameButton.bmp");
    ASSERT_EQ(frame.width, 768);
    for (int state = 0; state < 3; ++state) {
        int key = 0;
        for (int y = 0; y < frame.height; ++y)
            for (int x = state * 256; x < state * 256 + 256; ++x)
                key += IsKey(frame.At(x, y));
        EXPECT_GT(key, 256 * 104 * 8 / 10) << "state " << state << " covers the game's picture";
        // The middle of the slot is always transparent.
        EXPECT_FALSE(CellHasArt(frame, state * 256 + 40, 20, 176, 64)) << "state " << state;
    }
    // Hover and pressed differ from normal, so the mouse shows.
    auto cellsEqual = [&](int a, int b) {
        for (int y = 0; y < frame.height; ++y)
            for (int x = 0; x < 256; ++x)
                if (!(frame.At(a * 256 + x, y) == frame.At(b * 256 + x, y))) return false;
        return true;
    };
    EXPECT_FALSE(cellsEqual(0, 1));
    EXPECT_FALSE(cellsEqual(1, 2));
}

TEST(MenuAssets, GameFolderPicturesFitTheMenu) {
    // The game's picture fills a grid slot exactly, as do the frame over it and the collect button.
    Picture button = LoadGameBitmap("LobbitButton.bmp");
    EXPECT_EQ(button.width, 256);
    EXPECT_EQ(button.height, 104);
    Picture title = LoadGameBitmap("title/titlebackground.bmp");
    EXPECT_EQ(title.width, 800);
    EXPECT_EQ(title.height, 600);
    EXPECT_EQ(CountKeyPixels(title), 0);
    for (const char* popup : {"title/Credits.bmp", "title/HowToPlay.bmp"}) {
        Picture p = LoadGameBitmap(popup);
        EXPECT_EQ(p.width, 694) << popup;
        EXPECT_EQ(p.height, 564) << popup;
    }
}

TEST(MenuAssets, SetupIniStartsInAWindowAndOptionsAreValid) {
    IniFile setup(MenuFile("setup.ini"));
    ASSERT_TRUE(setup.Loaded());
    EXPECT_EQ(setup.Get("setup", "fullscreen", "missing"), "0");
    // The menu and the game rewrite options.ini, so only its shape is fixed here.
    IniFile options(MenuFile("options.ini"));
    ASSERT_TRUE(options.Loaded());
    for (const char* key : {"SFX", "Music"}) {
        std::string v = options.Get("setup", key, "missing");
        EXPECT_TRUE(v == "Y" || v == "N") << key << "=" << v;
    }
    int id = options.GetInt("setup", "playerid", -1);
    EXPECT_GE(id, 0);
    EXPECT_LE(id, 7);
}

#ifdef LOBBIT_ARTGEN
// A fresh run writes a first options.ini with both switches on and the first player; a later run
// keeps the players' file as the menu left it.
TEST(MenuAssets, GeneratorWritesFirstOptionsAndKeepsAnExistingOne) {
    testsupport::TempFolder temp("menu-assets");
    const fs::path dir = temp / "generated";
    std::string command = std::string("\"") + LOBBIT_ARTGEN + "\" \"" + dir.string() + "\" > /dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    IniFile first((dir / "options.ini").string());
    ASSERT_TRUE(first.Loaded());
    EXPECT_EQ(first.Get("setup", "SFX"), "Y");
    EXPECT_EQ(first.Get("setup", "Music"), "Y");
    EXPECT_EQ(first.Get("setup", "playerid"), "0");
    EXPECT_FALSE(first.HasSection("Player1")); // every player reads as its default

    testsupport::WriteText(dir / "options.ini", "[setup]\nSFX=N\nMusic=Y\nplayerid=3\n[Player4]\nname=Ada\n");
    ASSERT_EQ(std::system(command.c_str()), 0);
    IniFile kept((dir / "options.ini").string());
    EXPECT_EQ(kept.Get("setup", "SFX"), "N");
    EXPECT_EQ(kept.Get("Player4", "name"), "Ada");
    EXPECT_TRUE(fs::exists(dir / "background.bmp"));
}
#endif

} // namespace

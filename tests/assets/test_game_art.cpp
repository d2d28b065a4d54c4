// Every bitmap the game loads, as the build laid it out: its exact name, its size and frame layout as
// the game cuts and places it, and the colour-key rule (no opaque pixel that a 16-bit display shows as
// the key; backgrounds without any key pixel).
#include <gtest/gtest.h>

#include <set>

#include "game_folder.h"

namespace {

struct Expected {
    const char* name;
    int width, height;
    bool background; // a restore source: no key pixel at all
};

// Sizes the game's coordinates call for (see each test below for why).
const Expected kBitmaps[] = {
    {"background.bmp", 800, 600, true},
    {"backbutton.bmp", 100, 45, false},
    {"newgamebutton.bmp", 100, 45, false},
    {"infobutton.bmp", 100, 45, false},
    {"exitbutton.bmp", 100, 45, false},
    {"levelleft.bmp", 48, 24, false},
    {"levelright.bmp", 48, 24, false},
    {"scorefont.bmp", 120, 12, false},
    {"BallOrder.bmp", 100, 125, false},
    {"GeneratorAnimDark.bmp", 576, 24, false},
    {"GeneratorAnimLight.bmp", 576, 24, false},
    {"ballfall.bmp", 144, 120, false},
    {"goalanim.bmp", 264, 96, false},
    {"TimerMarker0.bmp", 10, 9, false},
    {"TimerMarker1.bmp", 10, 9, false},
    {"exp01.bmp", 48, 48, false},
    {"exp02.bmp", 48, 48, false},
    {"OutOfTime.bmp", 210, 200, false},
    {"hallfamepop.bmp", 150, 268, false},
    {"congrats.bmp", 312, 352, false},
    {"title/HowToPlay.bmp", 694, 564, false},
    {"title/Credits.bmp", 694, 564, false},
    {"title/titlebackground.bmp", 800, 600, true},
    {"LobbitButton.bmp", 256, 104, false},
    {"tiles.bmp", 240, 96, false},
    {"dimple.bmp", 72, 72, false},
    {"bump.bmp", 72, 72, false},
    {"generator_right.bmp", 72, 72, false},
    {"generator_left.bmp", 72, 72, false},
    {"generator_up.bmp", 72, 72, false},
    {"generator_down.bmp", 72, 72, false},
};

// Frames of a sheet cut into w x h cells row by row; a cell without art counts as empty.
int FramesWithArt(const Picture& p, int w, int h) {
    int n = 0;
    for (int y = 0; y + h <= p.height; y += h)
        for (int x = 0; x + w <= p.width; x += w)
            n += CellHasArt(p, x, y, w, h);
    return n;
}

} // namespace

TEST(GameArt, EveryBitmapExistsWithItsExactNameAndSize) {
    for (const Expected& e : kBitmaps) {
        Picture p = LoadGameBitmap(e.name);
        EXPECT_EQ(p.width, e.width) << e.name;
        EXPECT_EQ(p.height, e.height) << e.name;
    }
}

TEST(GameArt, NoOpaquePixelShowsAsTheKeyAndBackgroundsHoldNone) {
    for (const Expected& e : kBitmaps) {
        Picture p = LoadGameBitmap(e.name);
        EXPECT_EQ(CountHiddenPixels(p), 0) << e.name;
        if (e.background) {
            EXPECT_EQ(CountKeyPixels(p), 0) << e.name;
        } else {
            EXPECT_GT(p.pixels.size() - size_t(CountKeyPixels(p)), 0u) << e.name << " is empty";
        }
    }
}

TEST(GameArt, PopupFacesHoldNoKeyInsideTheirFrame) {
    // Only the rounded corners may be transparent: a blue pixel inside would never be restored.
    for (const char* name :
         {"OutOfTime.bmp", "hallfamepop.bmp", "congrats.bmp", "title/HowToPlay.bmp", "title/Credits.bmp"}) {
        Picture p = LoadGameBitmap(name);
        int inside = 0;
        for (int y = 24; y < p.height - 24; ++y)
            for (int x = 24; x < p.width - 24; ++x)
                inside += IsKey(p.At(x, y));
        EXPECT_EQ(inside, 0) << name;
        EXPECT_FALSE(IsKey(p.At(p.width / 2, 2))) << name << ": the frame reaches the edge";
    }
}

TEST(GameArt, PanelButtonsAreTwoFrameStripsThatFitThePanel) {
    // LoadStates(file, 2, horizontal): two frames side by side. Positions: menu (4, 478), new (57, 478),
    // help (4, 526), exit (57, 526), arrows (5, 272) and (82, 272); the panel ends at x 110 and the level
    // digits start at x 42.
    struct B {
        const char* name;
        int x, y, maxRight;
    };
    const B buttons[] = {{"backbutton.bmp", 4, 478, 57}, {"newgamebutton.bmp", 57, 478, 110},
                         {"infobutton.bmp", 4, 526, 57}, {"exitbutton.bmp", 57, 526, 110},
                         {"levelleft.bmp", 5, 272, 42},  {"levelright.bmp", 82, 272, 110}};
    for (const B& b : buttons) {
        Picture p = LoadGameBitmap(b.name);
        ASSERT_EQ(p.width % 2, 0) << b.name;
        int frame = p.width / 2;
        EXPECT_LE(b.x + frame, b.maxRight) << b.name;
        EXPECT_LE(b.y + p.height, 600) << b.name;
        EXPECT_TRUE(CellHasArt(p, 0, 0, frame, p.height)) << b.name;
        EXPECT_TRUE(CellHasArt(p, frame, 0, frame, p.height)) << b.name;
        // The two states must look different (hover feedback).
        bool differs = false;
        for (int y = 0; y < p.height && !differs; ++y)
            for (int x = 0; x < frame && !differs; ++x)
                differs = !(p.At(x, y) == p.At(x + frame, y));
        EXPECT_TRUE(differs) << b.name;
    }
    // The upper buttons end above the lower row.
    EXPECT_LE(478 + LoadGameBitmap("backbutton.bmp").height, 526);
}

TEST(GameArt, SheetsHaveTheFrameCountsTheGamePlays) {
    // scorefont: 12 x 12 cells, digits 0-9. BallOrder: 25 x 25, 20 frames. Generator flashes: 24 x 24, all
    // frames played. ballfall: 24 x 24, 6 frames for each of 5 colours. goalanim: 24 x 24, 11 frames for
    // each of 4 colours.
    EXPECT_EQ(FramesWithArt(LoadGameBitmap("scorefont.bmp"), 12, 12), 10);
    EXPECT_EQ(FramesWithArt(LoadGameBitmap("BallOrder.bmp"), 25, 25), 20);
    EXPECT_EQ(FramesWithArt(LoadGameBitmap("GeneratorAnimDark.bmp"), 24, 24), 24);
    EXPECT_EQ(FramesWithArt(LoadGameBitmap("GeneratorAnimLight.bmp"), 24, 24), 24);
    EXPECT_EQ(FramesWithArt(LoadGameBitmap("ballfall.bmp"), 24, 24), 30);
    EXPECT_EQ(FramesWithArt(LoadGameBitmap("goalanim.bmp"), 24, 24), 44);
}

TEST(GameArt, ScoreDigitsAreDistinct) {
    Picture p = LoadGameBitmap("scorefont.bmp");
    std::set<std::vector<bool>> shapes;
    for (int d = 0; d < 10; ++d) {
        std::vector<bool> ink;
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 12; ++x)
                ink.push_back(!IsKey(p.At(d * 12 + x, y)));
        shapes.insert(ink);
    }
    EXPECT_EQ(shapes.size(), 10u);
}

TEST(GameArt, BallFallRowsFollowTheBallColours) {
    // Row c shows colour c: 0 blue, 1 red, 2 green, 3 yellow, 4 grey. The first frame's centre tells.
    Picture p = LoadGameBitmap("ballfall.bmp");
    auto centre = [&](int row) { return p.At(12, row * 24 + 14); };
    EXPECT_GT(centre(0).b, centre(0).r);
    EXPECT_GT(centre(1).r, centre(1).g);
    EXPECT_GT(centre(2).g, centre(2).r);
    EXPECT_GT(centre(3).r, centre(3).b);
    EXPECT_GT(centre(3).g, centre(3).b);
    EXPECT_LT(std::abs(int(centre(4).r) - int(centre(4).b)), 40);
    // The same order for the goal animation's four rows.
    Picture g = LoadGameBitmap("goalanim.bmp");
    EXPECT_GT(g.At(12, 14).b, g.At(12, 14).r);
    EXPECT_GT(g.At(12, 24 + 14).r, g.At(12, 24 + 14).g);
    EXPECT_GT(g.At(12, 48 + 14).g, g.At(12, 48 + 14).r);
}

TEST(GameArt, BallOrderShowsRedGreenBlueYellowInItsColumns) {
    Picture p = LoadGameBitmap("BallOrder.bmp");
    for (int slot = 0; slot < 4; ++slot) {
        int y = slot * 25 + 11;
        Rgb8 red = p.At(0 * 25 + 12, y), green = p.At(1 * 25 + 12, y), blue = p.At(2 * 25 + 12, y),
             yellow = p.At(3 * 25 + 12, y);
        EXPECT_GT(red.r, red.g) << slot;
        EXPECT_GT(green.g, green.r) << slot;
        EXPECT_GT(blue.b, blue.r) << slot;
        EXPECT_GT(yellow.g, yellow.b) << slot;
    }
}

TEST(GameArt, TimerBarFitsBetweenOrderAndButtons) {
    // 10 x 13 markers of marker 0's size at (5, 341): inside the panel and above the buttons at y 478.
    Picture m0 = LoadGameBitmap("TimerMarker0.bmp"), m1 = LoadGameBitmap("TimerMarker1.bmp");
    EXPECT_EQ(m0.width, m1.width);
    EXPECT_EQ(m0.height, m1.height);
    EXPECT_LE(5 + 10 * m0.width, 110);
    EXPECT_LE(341 + 13 * m0.height, 478);
    EXPECT_FALSE(m0.pixels == m1.pixels); // the current second stands out
}

TEST(GameArt, ExplosionsCoverACellAndAMine) {
    // A mine that goes off is redrawn only on the background; the explosion's restore rectangle must
    // cover the cell (24) and the mine's reach (radius 10) either side.
    for (const char* name : {"exp01.bmp", "exp02.bmp"}) {
        Picture p = LoadGameBitmap(name);
        EXPECT_GE(p.width, 24 + 2 * 10) << name;
        EXPECT_GE(p.height, 24 + 2 * 10) << name;
    }
}

TEST(GameArt, PopupsFitTheScreenWhereTheGameShowsThem) {
    struct P {
        const char* name;
        int x, y;
    };
    for (const P& pp :
         {P{"OutOfTime.bmp", 350, 200}, P{"hallfamepop.bmp", 380, 166}, P{"congrats.bmp", 244, 124},
          P{"title/HowToPlay.bmp", 53, 18}, P{"title/Credits.bmp", 53, 18}}) {
        Picture p = LoadGameBitmap(pp.name);
        EXPECT_LE(pp.x + p.width, 800) << pp.name;
        EXPECT_LE(pp.y + p.height, 600) << pp.name;
    }
    // The help popup is centred by the game and placed at (53, 18) by the menu: the same place.
    Picture help = LoadGameBitmap("title/HowToPlay.bmp");
    EXPECT_EQ((800 - help.width) / 2, 53);
    EXPECT_EQ((600 - help.height) / 2, 18);
}

TEST(GameArt, BackgroundKeepsTheHudWindowsPlain) {
    // The game draws digits and timer markers on these windows and restores them from the clean copy:
    // on the 16-bit display (5-6-5 and 5-5-5) each must show as one flat colour, so the digits read clearly.
    Picture p = LoadGameBitmap("background.bmp");
    struct R {
        int x, y, w, h;
    };
    for (const R& r : {R{12, 178, 84, 12}, R{12, 228, 84, 12}, R{42, 278, 24, 12}, R{5, 341, 100, 117}}) {
        std::set<uint32_t> colours;
        for (int y = r.y; y < r.y + r.h; ++y)
            for (int x = r.x; x < r.x + r.w; ++x) {
                Rgb8 c = p.At(x, y);
                colours.insert(uint32_t(c.r >> 3) << 11 | uint32_t(c.g >> 2) << 5 | uint32_t(c.b >> 3));
                colours.insert(0x10000u | uint32_t(c.r >> 3) << 10 | uint32_t(c.g >> 3) << 5 |
                               uint32_t(c.b >> 3));
            }
        EXPECT_EQ(colours.size(), 2u) << "window at " << r.x << "," << r.y;
    }
}

TEST(GameArt, FontStripHoldsTheNinetyFourGlyphsTheLoaderFinds) {
    // The proportional loader: a glyph starts at the first column with a non-key pixel and ends at the
    // next all-key column; all 94 must be found, and no ink may be left over.
    Picture p = LoadGameBitmap("font.bmp");
    auto columnEmpty = [&](int x) {
        for (int y = 0; y < p.height; ++y)
            if (!IsKey(p.At(x, y))) return false;
        return true;
    };
    int x = 0, found = 0, widest = 0;
    while (found < 94) {
        while (x < p.width && columnEmpty(x))
            ++x;
        if (x >= p.width) break;
        int start = x;
        while (x < p.width && !columnEmpty(x))
            ++x;
        widest = std::max(widest, x - start);
        ++found;
        ++x;
    }
    EXPECT_EQ(found, 94);
    while (x < p.width && columnEmpty(x))
        ++x;
    EXPECT_EQ(x, p.width) << "ink after the 94th glyph";
    EXPECT_GE(widest, 6);
    EXPECT_GE(p.height, 12);
}

TEST(GameArt, LobbitButtonFillsTheMenusGridSlot) {
    // Grid slots are 257 apart across and 107 down; the menu's frame is 256 x 104.
    Picture p = LoadGameBitmap("LobbitButton.bmp");
    EXPECT_LE(p.width, 257);
    EXPECT_LE(p.height, 106);
    EXPECT_FALSE(IsKey(p.At(p.width / 2, p.height / 2)));
}

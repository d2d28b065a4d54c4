// The game's setup.ini against its tile bitmaps: every palette cell has its section and every section
// its cell, the layers the game looks up exist in a workable order, the special blocks have the size
// their "size" asks for, and the tuning keys the game has no usable default for are given.
#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <vector>

#include "game_folder.h"

namespace {

const IniFile& GameSetup() {
    static const IniFile ini(GameFile("setup.ini"));
    return ini;
}

std::string Section(int index) {
    char name[16];
    std::snprintf(name, sizeof name, "p%03d", index);
    return name;
}

std::vector<std::string> Layers() {
    std::vector<std::string> layers = {"background"};
    for (int n = 1;; ++n) {
        char key[16];
        std::snprintf(key, sizeof key, "layer%02d", n);
        std::string v = GameSetup().Get("layer", key, "none");
        if (v == "none") break;
        layers.push_back(v);
    }
    return layers;
}

int LayerIndex(const std::string& name) {
    auto layers = Layers();
    for (size_t i = 0; i < layers.size(); ++i)
        if (layers[i] == name) return int(i);
    return -1;
}

struct Grid {
    int cellW, cellH, columns, rows, count;
    Picture sheet;
};

Grid PaletteGrid() {
    Grid g;
    g.cellW = GameSetup().GetInt("grid", "wallw");
    g.cellH = GameSetup().GetInt("grid", "wallh");
    g.sheet = LoadGameBitmap(GameSetup().Get("grid", "tilegrid", "none"));
    g.columns = g.cellW > 0 ? g.sheet.width / g.cellW : 0;
    g.rows = g.cellH > 0 ? g.sheet.height / g.cellH : 0;
    g.count = g.columns * g.rows;
    return g;
}

} // namespace

TEST(SetupIni, GivesTheTuningKeysWithoutUsableDefaults) {
    ASSERT_TRUE(GameSetup().Loaded());
    EXPECT_EQ(GameSetup().Get("setup", "fullscreen"), "0");
    int ballw = GameSetup().GetInt("setup", "ballw"), collidew = GameSetup().GetInt("setup", "collidew");
    EXPECT_GT(ballw, 0);
    EXPECT_GT(collidew, 0);
    EXPECT_LT(ballw, GameSetup().GetInt("grid", "wallw")) << "a ball must fit a one-cell corridor";
    for (const char* key : {"speed", "friction", "magnet", "max_magnet", "dimple"})
        EXPECT_GT(std::atof(GameSetup().Get("setup", key, "0").c_str()), 0.0) << key;
}

TEST(SetupIni, GridLiesOnTheScreenRightOfThePanel) {
    int x = GameSetup().GetInt("grid", "gridx"), y = GameSetup().GetInt("grid", "gridy");
    int w = GameSetup().GetInt("grid", "gridw") * GameSetup().GetInt("grid", "wallw");
    int h = GameSetup().GetInt("grid", "gridh") * GameSetup().GetInt("grid", "wallh");
    EXPECT_GE(x, 110);
    EXPECT_GE(y, 0);
    EXPECT_GT(w, 0);
    EXPECT_GT(h, 0);
    EXPECT_LE(x + w, 800);
    EXPECT_LE(y + h, 600);
}

TEST(SetupIni, LayersTheGameLooksUpExistInAWorkableOrder) {
    int wall = LayerIndex("wall");
    ASSERT_GT(wall, 0);
    // Specials (balls) above the wall picture; the hazards below it, so they are part of the picture.
    EXPECT_GT(LayerIndex("special"), wall);
    for (const char* name : {"dimple", "hole", "mine", "generator"}) {
        EXPECT_GT(LayerIndex(name), 0) << name;
        EXPECT_LT(LayerIndex(name), wall) << name;
    }
    EXPECT_EQ(GameSetup().Get("layer", "default"), "wall");
}

TEST(SetupIni, TileSectionsMatchTheTileBitmapCellForCell) {
    Grid g = PaletteGrid();
    ASSERT_GT(g.count, 0);
    EXPECT_EQ(g.sheet.width % g.cellW, 0) << "a partial column of cells would be dropped";
    EXPECT_EQ(g.sheet.height % g.cellH, 0) << "a partial row of cells would be dropped";
    for (int k = 0; k < g.count; ++k) {
        EXPECT_TRUE(GameSetup().HasSection(Section(k + 2))) << "cell " << k << " has no section";
        EXPECT_TRUE(
            CellHasArt(g.sheet, (k % g.columns) * g.cellW, (k / g.columns) * g.cellH, g.cellW, g.cellH))
            << "cell " << k << " is empty";
    }
    EXPECT_FALSE(GameSetup().HasSection(Section(g.count + 2))) << "a section without a cell";
}

TEST(SetupIni, EveryTileSectionIsWellFormed) {
    Grid g = PaletteGrid();
    const std::set<std::string> types = {"", "ball", "goal", "dimple", "generator", "hole", "mine"};
    int balls[5] = {}, goals[4] = {};
    for (int k = 0; k < g.count; ++k) {
        std::string s = Section(k + 2);
        std::string type = GameSetup().Get(s, "type"), layer = GameSetup().Get(s, "layer", "wall");
        ASSERT_TRUE(types.count(type)) << s << " type " << type;
        EXPECT_GE(LayerIndex(layer), 0) << s << " layer " << layer;
        int colour = GameSetup().GetInt(s, "color", -1);
        if (type == "ball") {
            ASSERT_TRUE(colour >= 0 && colour <= 4) << s;
            ++balls[colour];
            EXPECT_EQ(layer, "special") << s;
        }
        if (type == "goal") {
            ASSERT_TRUE(colour >= 0 && colour <= 3) << s;
            ++goals[colour];
            EXPECT_EQ(layer, "background") << s;
        }
        if (type == "hole" || type == "mine" || type == "dimple" || type == "generator") {
            EXPECT_EQ(layer, type) << s;
        }
        if (type == "hole" || type == "mine") {
            int r = GameSetup().GetInt(s, "radius");
            EXPECT_GT(r, 0) << s;
            EXPECT_LE(r, g.cellW / 2) << s;
        }
        if (type == "dimple" || type == "generator") {
            int size = GameSetup().GetInt(s, "size", 1);
            EXPECT_GE(size, 1) << s;
            Picture block = LoadGameBitmap(GameSetup().Get(s, "file"));
            EXPECT_EQ(block.width, size * g.cellW) << s;
            EXPECT_EQ(block.height, size * g.cellH) << s;
            if (type == "dimple") {
                EXPECT_NE(std::atof(GameSetup().Get(s, "force", "0").c_str()), 0.0) << s;
            }
            if (type == "generator") {
                std::string mask = GameSetup().Get(s, "wall");
                ASSERT_EQ(int(mask.size()), size * size) << s;
                EXPECT_EQ(mask[size_t(size * size / 2)], '0') << s << ": the spawn cell must stay open";
                int open = 0;
                for (char c : mask)
                    open += c == '0';
                EXPECT_GE(open, 2) << s << ": a spawned ball needs a way out";
                EXPECT_GT(GameSetup().GetInt(s, "rate"), 0) << s;
                EXPECT_TRUE(CellHasArt(block, 0, 0, g.cellW, g.cellH)) << s;
            }
        }
    }
    // One ball tile of each colour and one goal of each of the four colours (generators need grey).
    for (int c = 0; c < 5; ++c)
        EXPECT_EQ(balls[c], 1) << "ball colour " << c;
    for (int c = 0; c < 4; ++c)
        EXPECT_EQ(goals[c], 1) << "goal colour " << c;
}

TEST(SetupIni, FloorsAreOpaqueAndBallsAreDiscsOfTheBallWidth) {
    Grid g = PaletteGrid();
    int ballw = GameSetup().GetInt("setup", "ballw");
    for (int k = 0; k < g.count; ++k) {
        std::string s = Section(k + 2);
        int ox = (k % g.columns) * g.cellW, oy = (k / g.columns) * g.cellH;
        std::string layer = GameSetup().Get(s, "layer", "wall");
        int keyed = 0, left = g.cellW, right = -1, top = g.cellH, bottom = -1;
        for (int y = 0; y < g.cellH; ++y)
            for (int x = 0; x < g.cellW; ++x) {
                if (IsKey(g.sheet.At(ox + x, oy + y))) {
                    ++keyed;
                    continue;
                }
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        // Floors and goals lie under everything: a keyed pixel would show the backdrop through the floor.
        if (layer == "background") {
            EXPECT_EQ(keyed, 0) << s;
        }
        if (GameSetup().Get(s, "type") == "ball") {
            EXPECT_NEAR(right - left + 1, ballw, 1) << s;
            EXPECT_NEAR(bottom - top + 1, ballw, 1) << s;
            EXPECT_NEAR((left + right) / 2.0, (g.cellW - 1) / 2.0, 1.0) << s << " is not centred";
        }
    }
}

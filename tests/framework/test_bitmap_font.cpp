// The bitmap font: glyph edges found from the strip's blue separator columns, the space and spacing
// derived from the widest glyph, measuring and drawing (left, right-aligned, stopped at maxX), glyphs
// that would leave the target, characters outside the font, and loads that fail part-way or wholly.
#include <cstring>
#include <string>
#include <vector>

#include "framework/bitmap_font.h"
#include "framework_test_support.h"

namespace {

using fwtest::PixelOf;

constexpr uint16_t kBackground = 0x1111;
constexpr uint16_t kInk = 0xFFFF;
constexpr int kGlyphHeight = 8;

int GlyphIndex(char c) {
    return c - '!';
}

class BitmapFontTest : public fwtest::DisplayTest {
  protected:
    void SetUp() override {
        DisplayTest::SetUp();
        StartDisplay(false);
        fwtest::FillWith(back_, kBackground);
    }

    // Writes a font strip: one blue column, then each glyph in white followed by gap blue columns (a
    // glyph's first column is white only in its top row, so any non-blue pixel starts a glyph). Returns
    // the glyphs' start columns.
    static std::vector<int> WriteStrip(const std::string& file, const std::vector<int>& widths, int gap = 1) {
        std::vector<int> starts;
        std::vector<int> owner; // per column: the glyph's first column, or -1 for blue
        owner.push_back(-1);
        for (size_t i = 0; i < widths.size(); ++i) {
            starts.push_back(int(owner.size()));
            for (int c = 0; c < widths[i]; ++c)
                owner.push_back(starts.back());
            // Alternate separator runs of gap and gap + 1 columns: any run separates.
            for (int c = 0; c < gap + int(i % 2); ++c)
                owner.push_back(-1);
        }
        fwtest::WriteBmp(file, int(owner.size()), kGlyphHeight, [&owner](int x, int y) -> uint32_t {
            if (owner[size_t(x)] < 0) return 0x0000FF;
            bool firstColumn = owner[size_t(x)] == x;
            return firstColumn && y > 0 ? 0x0000FF : 0xFFFFFF;
        });
        return starts;
    }

    // 94 glyphs of width 5, with the given exceptions.
    static std::vector<int> Widths(std::initializer_list<std::pair<char, int>> exceptions, int usual = 5) {
        std::vector<int> widths(kFontGlyphCount, usual);
        for (const auto& [c, width] : exceptions)
            widths[size_t(GlyphIndex(c))] = width;
        return widths;
    }

    // Whether any of the columns from..to (inclusive) of row y differs from the background.
    bool Inked(int from, int to, int y) {
        for (int x = from; x <= to; ++x)
            if (PixelOf(back_, x, y) != kBackground) return true;
        return false;
    }
};

TEST_F(BitmapFontTest, GlyphEdgesComeFromTheSeparatorColumns) {
    std::vector<int> widths = Widths({{'A', 7}, {'B', 9}, {'W', 20}});
    std::vector<int> starts = WriteStrip("font.bmp", widths);
    BitmapFont font;
    ASSERT_EQ(font.Load("font.bmp"), 1);
    EXPECT_EQ(font.height, kGlyphHeight);
    for (int i = 0; i < kFontGlyphCount; ++i) {
        ASSERT_EQ(font.glyphs[i].start, starts[size_t(i)]) << "glyph " << i;
        ASSERT_EQ(font.glyphs[i].end, starts[size_t(i)] + widths[size_t(i)]) << "glyph " << i;
        ASSERT_EQ(font.glyphs[i].width, widths[size_t(i)]) << "glyph " << i;
    }
    EXPECT_EQ(font.spaceWidth, 10) << "half the widest glyph";
    EXPECT_EQ(font.spacing, 2) << "a tenth of it";
    EXPECT_EQ(font.GetAdvance('A'), 9);
    EXPECT_EQ(font.GetTextWidth("A B"), 7 + 2 + 10 + 9 + 2);
}

TEST_F(BitmapFontTest, NarrowFontRoundsTheSpaceAndSpacingDown) {
    WriteStrip("font.bmp", Widths({{'M', 9}}, 3), 2);
    BitmapFont font;
    ASSERT_EQ(font.Load("font.bmp"), 1);
    EXPECT_EQ(font.spaceWidth, 4);
    EXPECT_EQ(font.spacing, 0);
}

TEST_F(BitmapFontTest, FreshFontAndMissingFileMeasureAndDrawNothing) {
    BitmapFont font;
    for (const BitmapFont::Glyph& glyph : font.glyphs) {
        ASSERT_EQ(glyph.start, -1);
        ASSERT_EQ(glyph.width, 0);
    }
    EXPECT_EQ(font.GetTextWidth("Hello"), 0);
    EXPECT_EQ(font.DrawChar(back_, 'H', 10, 10), 0);
    EXPECT_EQ(font.Load("missing.bmp"), 0);
    EXPECT_EQ(font.surface, nullptr);
    EXPECT_EQ(font.GetTextWidth("Hello"), 0);
    font.DrawText(back_, "Hello", 10, 10, 0, -1);
    EXPECT_FALSE(Inked(0, 100, 10));
}

TEST_F(BitmapFontTest, ShortStripFailsButKeepsTheGlyphsFound) {
    std::vector<int> widths(50, 4);
    WriteStrip("short.bmp", widths);
    BitmapFont font;
    EXPECT_EQ(font.Load("short.bmp"), 0);
    EXPECT_EQ(font.glyphs[49].width, 4);
    EXPECT_EQ(font.glyphs[50].start, -1);
    EXPECT_EQ(font.glyphs[93].start, -1);
    char found = char('!' + 10), missing = char('!' + 60);
    EXPECT_EQ(font.DrawChar(back_, found, 20, 20), 4);
    EXPECT_TRUE(Inked(20, 23, 20));
    EXPECT_EQ(font.DrawChar(back_, missing, 40, 20), 0);
    EXPECT_FALSE(Inked(40, 60, 20));
}

TEST_F(BitmapFontTest, ANewStripLeavesNothingOfTheOldFont) {
    WriteStrip("full.bmp", Widths({}));
    WriteStrip("short.bmp", std::vector<int>(10, 3));
    BitmapFont font;
    ASSERT_EQ(font.Load("full.bmp"), 1);
    EXPECT_EQ(font.glyphs[20].width, 5);
    EXPECT_EQ(font.Load("short.bmp"), 0);
    EXPECT_EQ(font.glyphs[9].width, 3);
    EXPECT_EQ(font.glyphs[20].start, -1) << "an old glyph would point into the wrong bitmap";
    EXPECT_EQ(font.Load("missing.bmp"), 0);
    EXPECT_EQ(font.glyphs[9].width, 3) << "a file that cannot be loaded changes nothing";
    EXPECT_NE(font.surface, nullptr);
}

TEST_F(BitmapFontTest, DrawsWhereItMeasuresLeftAndRightAligned) {
    WriteStrip("font.bmp", Widths({{'A', 7}, {'B', 9}, {'W', 20}}));
    BitmapFont font;
    ASSERT_EQ(font.Load("font.bmp"), 1);
    EXPECT_EQ(font.DrawText(back_, "A B", 100, 50, 0, -1), 1);
    EXPECT_EQ(PixelOf(back_, 100, 50), kInk);
    EXPECT_EQ(PixelOf(back_, 106, 50), kInk);
    EXPECT_FALSE(Inked(107, 118, 50));
    EXPECT_EQ(PixelOf(back_, 119, 50), kInk) << "B after A, the spacing and the space";
    EXPECT_EQ(PixelOf(back_, 127, 50), kInk);
    EXPECT_FALSE(Inked(128, 140, 50));

    // Right-aligned: the text with its spacing ends exactly at x.
    font.DrawText(back_, "A B", 400, 80, 1, -1);
    EXPECT_EQ(PixelOf(back_, 400 - 30, 80), kInk);
    EXPECT_EQ(PixelOf(back_, 369, 80), kBackground);
    EXPECT_EQ(PixelOf(back_, 397, 80), kInk);
    EXPECT_FALSE(Inked(398, 410, 80));

    // Any other alignment draws nothing.
    font.DrawText(back_, "A B", 100, 120, 2, -1);
    EXPECT_FALSE(Inked(0, 799, 120));
}

TEST_F(BitmapFontTest, TabMeasuresAsASpaceButDrawsAndAdvancesNothing) {
    WriteStrip("font.bmp", Widths({{'W', 20}}));
    BitmapFont font;
    ASSERT_EQ(font.Load("font.bmp"), 1);
    EXPECT_EQ(font.GetAdvance('\t'), 10);
    EXPECT_EQ(font.GetTextWidth("\t"), 10);
    EXPECT_EQ(font.DrawChar(back_, '\t', 10, 10), 0);
    EXPECT_EQ(font.DrawChar(back_, ' ', 10, 10), 10);
}

TEST_F(BitmapFontTest, MaxXStopsBeforeTheCharacterWhoseAdvanceReachesIt) {
    WriteStrip("font.bmp", Widths({{'A', 7}, {'W', 20}}));
    BitmapFont font;
    ASSERT_EQ(font.Load("font.bmp"), 1);
    font.DrawText(back_, "AAAA", 0, 30, 0, 27);
    EXPECT_EQ(PixelOf(back_, 0, 30), kInk);
    EXPECT_EQ(PixelOf(back_, 9, 30), kInk);
    EXPECT_FALSE(Inked(16, 60, 30)) << "the third A would end at 27";
}

TEST_F(BitmapFontTest, GlyphNotWhollyInsideTheTargetIsNotDrawnButStillAdvances) {
    WriteStrip("font.bmp", Widths({{'W', 20}}));
    BitmapFont font;
    ASSERT_EQ(font.Load("font.bmp"), 1);
    EXPECT_EQ(font.DrawChar(back_, 'W', 790, 10), 22);
    EXPECT_FALSE(Inked(780, 799, 10));
    EXPECT_EQ(font.DrawChar(back_, 'A', 100, 595), 7);
    EXPECT_FALSE(Inked(95, 110, 595));
    EXPECT_EQ(font.DrawChar(back_, 'A', -2, 200), 7);
    EXPECT_FALSE(Inked(0, 10, 200));
    EXPECT_EQ(font.DrawChar(nullptr, 'A', 10, 10), 7);
}

TEST_F(BitmapFontTest, BytesOutsideTheFontAreNotGlyphs) {
    WriteStrip("font.bmp", Widths({{'W', 20}}));
    BitmapFont font;
    ASSERT_EQ(font.Load("font.bmp"), 1);
    for (char c : {char(0x7F), char(0x80), char(0xE9), char(0xFF)}) {
        EXPECT_EQ(font.GetAdvance(c), 2) << int(static_cast<unsigned char>(c));
        EXPECT_EQ(font.DrawChar(back_, c, 10, 10), 0);
    }
    EXPECT_EQ(font.GetAdvance('\x01'), 10);
    EXPECT_EQ(font.GetTextWidth(nullptr), 0);
    EXPECT_EQ(font.DrawText(back_, nullptr, 0, 0, 0, -1), 1);
    EXPECT_FALSE(Inked(0, 40, 10));
}

TEST_F(BitmapFontTest, DrawTextDrawsAtMost255Characters) {
    WriteStrip("font.bmp", std::vector<int>(kFontGlyphCount, 2));
    BitmapFont font;
    ASSERT_EQ(font.Load("font.bmp"), 1);
    ASSERT_EQ(font.spacing, 0);
    std::string text(300, 'A');
    font.DrawText(back_, text.c_str(), 0, 40, 0, -1);
    EXPECT_EQ(PixelOf(back_, 508, 40), kInk) << "character 255 is drawn";
    EXPECT_FALSE(Inked(510, 620, 40)) << "character 256 and later are not";
}

TEST_F(BitmapFontTest, FixedFontCutsEqualCellsKeyedBlack) {
    // 94 cells of 4 x 6: cell i is red with a black left column.
    fwtest::WriteBmp("fixed.bmp", 4 * kFontGlyphCount, 6, [](int x, int) { return x % 4 ? 0xFF0000u : 0u; });
    BitmapFont font;
    font.SetSpacing(1);
    font.SetSpaceWidth(3);
    ASSERT_NE(font.LoadFixed("fixed.bmp", 4, 6), nullptr);
    EXPECT_EQ(font.glyphs[GlyphIndex('A')].start, 32 * 4);
    EXPECT_EQ(font.glyphs[GlyphIndex('A')].end, 33 * 4);
    EXPECT_EQ(font.spacing, 1) << "left as it was";
    EXPECT_EQ(font.DrawChar(back_, 'A', 50, 60), 5);
    EXPECT_EQ(PixelOf(back_, 50, 60), kBackground) << "black is the key";
    EXPECT_EQ(PixelOf(back_, 51, 60), 0xF800);
    EXPECT_EQ(font.GetTextWidth("A A"), 5 + 3 + 5);

    EXPECT_EQ(font.LoadFixed("missing.bmp", 4, 6), nullptr);
    EXPECT_EQ(font.surface, nullptr);
    EXPECT_EQ(font.DrawChar(back_, 'A', 50, 60), 0);
    EXPECT_EQ(font.glyphs[GlyphIndex('A')].start, -1);
}

} // namespace

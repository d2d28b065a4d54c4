// The pieces both generators share: the checked picture folder (colour rule, text files written once)
// and the bitmap-font strip helpers (ink columns, cropping, bridging, joining with key columns).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "assets/common/bmp_file.h"
#include "assets/common/glyph_strip.h"
#include "assets/common/picture_folder.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

namespace {

using testsupport::ReadText;
using testsupport::TempFolder;

constexpr Rgb8 kInk8{200, 180, 120};

// A picture of the given width, all key, with ink in the given columns on the given row.
Picture InkedAt(int width, int height, const std::vector<int>& columns, int row) {
    Picture p(width, height);
    for (int x : columns)
        p.At(x, row) = kInk8;
    return p;
}

} // namespace

TEST(PictureFolder, MakesTheFolderAndItsSubfolder) {
    TempFolder temp("quib-asset-output-test");
    PictureFolder out(temp / "game", "title");
    EXPECT_TRUE(out.Errors().empty());
    EXPECT_TRUE(std::filesystem::is_directory(temp / "game/title"));
    EXPECT_EQ(out.Folder(), temp / "game");
}

TEST(PictureFolder, WritesAKeyedSpriteThatReadsBack) {
    TempFolder temp("quib-asset-output-test");
    PictureFolder out(temp.Path());
    Picture sprite = InkedAt(4, 3, {1, 2}, 1);
    out.SavePicture("sprite.bmp", sprite, nullptr);
    EXPECT_TRUE(out.Errors().empty());
    ASSERT_EQ(out.Written(), std::vector<std::string>{"sprite.bmp"});
    Picture back;
    ASSERT_TRUE(ReadBmp(temp / "sprite.bmp", back));
    EXPECT_EQ(back.pixels, sprite.pixels);
}

TEST(PictureFolder, RefusesPicturesThatBreakTheColourRule) {
    TempFolder temp("quib-asset-output-test");
    PictureFolder out(temp.Path());
    // A key pixel in a picture that must hold none.
    out.SavePicture("screen.bmp", InkedAt(2, 2, {0}, 0), "a screen");
    // An opaque colour the game would take for the key.
    Picture nearKey(2, 2);
    for (Rgb8& c : nearKey.pixels)
        c = kInk8;
    nearKey.At(1, 1) = Rgb8{3, 2, 250};
    out.SavePicture("near.bmp", nearKey, nullptr);
    EXPECT_TRUE(out.Written().empty());
    ASSERT_EQ(out.Errors().size(), 2u);
    EXPECT_EQ(out.Errors()[0], "screen.bmp: a screen holds the colour key");
    EXPECT_EQ(out.Errors()[1], "near.bmp: an opaque colour shows as the colour key");
    EXPECT_FALSE(std::filesystem::exists(temp / "screen.bmp"));
    EXPECT_FALSE(std::filesystem::exists(temp / "near.bmp"));
}

TEST(PictureFolder, TextOnceKeepsWhatIsThereAndTextReplacesIt) {
    TempFolder temp("quib-asset-output-test");
    PictureFolder out(temp.Path());
    out.SaveTextOnce("options.ini", "[first]\n");
    out.SaveTextOnce("options.ini", "[second]\n");
    EXPECT_EQ(ReadText(temp / "options.ini"), "[first]\n");
    out.SaveText("setup.ini", "a");
    out.SaveText("setup.ini", "b");
    EXPECT_EQ(ReadText(temp / "setup.ini"), "b");
    EXPECT_EQ(out.Written(), (std::vector<std::string>{"options.ini", "setup.ini", "setup.ini"}));
}

TEST(PictureFolder, ReportsATextFileItCannotWrite) {
    TempFolder temp("quib-asset-output-test");
    PictureFolder out(temp.Path());
    out.SaveText("no-such-folder/setup.ini", "x");
    ASSERT_EQ(out.Errors().size(), 1u);
    EXPECT_EQ(out.Errors()[0], "cannot write " + (temp / "no-such-folder/setup.ini"));
    EXPECT_TRUE(out.Written().empty());
}

TEST(GlyphStrip, FindsTheInkColumnsOrReportsNone) {
    int first = 0, last = 0;
    EXPECT_TRUE(InkColumns(InkedAt(8, 4, {2, 5}, 3), &first, &last));
    EXPECT_EQ(first, 2);
    EXPECT_EQ(last, 5);
    EXPECT_FALSE(InkColumns(Picture(8, 4), &first, &last));
    EXPECT_EQ(first, 8);
    EXPECT_EQ(last, -1);
}

TEST(GlyphStrip, CropsColumnsAtFullHeightAndClampsTheRange) {
    Picture p = InkedAt(8, 3, {2, 4}, 2);
    Picture cut = CropColumns(p, 2, 4);
    ASSERT_EQ(cut.width, 3);
    ASSERT_EQ(cut.height, 3);
    EXPECT_EQ(cut.At(0, 2), kInk8);
    EXPECT_TRUE(IsKey(cut.At(1, 2)));
    EXPECT_EQ(cut.At(2, 2), kInk8);
    EXPECT_EQ(CropColumns(p, -3, 20).width, 8);
}

TEST(GlyphStrip, BridgesEmptyInnerColumnsOnTheLeftInkRow) {
    // Two ticks (columns 0 and 3) with empty columns 1 and 2 between them; the left tick starts on row 1.
    Picture glyph(4, 5);
    glyph.At(0, 1) = glyph.At(0, 2) = kInk8;
    glyph.At(3, 0) = kInk8;
    EXPECT_EQ(LeftInkRow(glyph), 1);
    const Rgb8 bridge{40, 40, 40};
    BridgeInnerGaps(glyph, bridge);
    EXPECT_EQ(glyph.At(1, 1), bridge);
    EXPECT_EQ(glyph.At(2, 1), bridge);
    int inked = 0;
    for (const Rgb8& c : glyph.pixels)
        inked += IsKey(c) ? 0 : 1;
    EXPECT_EQ(inked, 5); // three ink pixels and two bridge pixels, nothing else
    EXPECT_EQ(LeftInkRow(Picture(3, 4)), 3);
}

TEST(GlyphStrip, JoinsGlyphsWithOneKeyColumnAfterEach) {
    std::vector<Picture> glyphs = {InkedAt(2, 3, {0, 1}, 0), InkedAt(1, 3, {0}, 2)};
    Picture strip = JoinGlyphs(glyphs, 3);
    ASSERT_EQ(strip.width, 5);
    ASSERT_EQ(strip.height, 3);
    EXPECT_EQ(strip.At(0, 0), kInk8);
    EXPECT_EQ(strip.At(1, 0), kInk8);
    EXPECT_EQ(strip.At(3, 2), kInk8);
    for (int y = 0; y < 3; ++y) {
        EXPECT_TRUE(IsKey(strip.At(2, y)));
        EXPECT_TRUE(IsKey(strip.At(4, y)));
    }
}

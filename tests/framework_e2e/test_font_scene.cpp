// The "font" scene end to end, full screen and in a window: every glyph of the three texts lands where
// the widths found from the strip's blue separator columns put it, in its own colour, with its blue
// pixels transparent, the space half the widest glyph, and nothing drawn past the right limit.
#include <cstring>
#include <string>

#include "e2e_art.h"
#include "e2e_driver.h"
#include "scene_font.h"

using namespace e2e;
using namespace font_scene;

namespace {

class FontSceneTest : public SceneTest, public ::testing::WithParamInterface<const char*> {
  protected:
    static int Advance(char c) { return c == ' ' ? kSpace : GlyphWidth(c - '!') + kSpacing; }
    static int Width(const char* text) {
        int width = 0;
        for (const char* p = text; *p; ++p)
            width += Advance(*p);
        return width;
    }

    // Checks the glyph of c at (x, y): its colour over its top row and first column, the blue parts of
    // its bottom row see-through, and the spacing column after it untouched.
    static void ExpectGlyph(const Picture& picture, char c, int x, int y) {
        int i = c - '!';
        uint16_t ink = To565(GlyphColour(i));
        uint16_t background = To565(kBackground);
        for (int col = 0; col < GlyphWidth(i); ++col) {
            EXPECT_EQ(ink, picture.At(x + col, y)) << "'" << c << "' column " << col;
            EXPECT_EQ(col == 0 ? ink : background, picture.At(x + col, y + kHeight - 1))
                << "'" << c << "' bottom row, column " << col;
        }
        EXPECT_EQ(background, picture.At(x + GlyphWidth(i), y)) << "after '" << c << "'";
        EXPECT_EQ(background, picture.At(x - 1, y + 1)) << "before '" << c << "'";
    }

    // Checks a whole text drawn from x, the space columns untouched; returns where it ended.
    static int ExpectText(const Picture& picture, const char* text, int x, int y, size_t count) {
        for (size_t k = 0; k < count; ++k) {
            if (text[k] == ' ') {
                for (int col = 0; col < kSpace; ++col)
                    EXPECT_EQ(To565(kBackground), picture.At(x + col, y + 2)) << "space column " << col;
            } else {
                ExpectGlyph(picture, text[k], x, y);
            }
            x += Advance(text[k]);
        }
        return x;
    }
};

TEST_P(FontSceneTest, GlyphsLandWhereTheSeparatorWidthsPutThem) {
    ASSERT_EQ(0, RunScene("font", GetParam(), "6 capture text.bmp\n", 10)) << ProgramOutput();
    Picture picture = Capture("text.bmp");
    ASSERT_TRUE(picture.ok());

    int end = ExpectText(picture, kLeftText, kLeftX, kLeftY, std::strlen(kLeftText));
    EXPECT_EQ(To565(kBackground), picture.At(end, kLeftY));

    // Right-aligned: the text and its last spacing end exactly at the given x.
    int start = kRightX - Width(kRightText);
    EXPECT_EQ(kRightX, ExpectText(picture, kRightText, start, kRightY, std::strlen(kRightText)));
    EXPECT_EQ(To565(kBackground), picture.At(start - 1, kRightY));

    // Limited: drawn up to the last glyph whose advance stays below the limit.
    size_t drawn = 0;
    for (int x = kLimitedX; kLimitedText[drawn] && x + Advance(kLimitedText[drawn]) < kLimitedMaxX; ++drawn)
        x += Advance(kLimitedText[drawn]);
    ASSERT_GT(drawn, 2u);
    ASSERT_LT(drawn, std::strlen(kLimitedText));
    int stop = ExpectText(picture, kLimitedText, kLimitedX, kLimitedY, drawn);
    for (int x = stop; x < stop + 40; ++x)
        EXPECT_EQ(To565(kBackground), picture.At(x, kLimitedY)) << "past the limit, column " << x;
}

} // namespace

INSTANTIATE_TEST_SUITE_P(Modes, FontSceneTest, ::testing::Values("full", "window"));

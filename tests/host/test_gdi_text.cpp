// Fonts, metrics and text output on surface DCs.
#include <cstring>

#include "test_gdi_support.h"

using gditest::Surface16;
using gditest::Surface8;
using gditest::To555;
using gditest::To565;

namespace {

// The font the engine makes for each of its sizes.
HFONT EngineFont(int height) {
    return CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_STROKE_PRECIS,
                       CLIP_STROKE_PRECIS, DRAFT_QUALITY, VARIABLE_PITCH | FF_SWISS, "Arial");
}

TEXTMETRICA MetricsOf(HDC dc) {
    TEXTMETRICA metrics{};
    EXPECT_TRUE(GetTextMetricsA(dc, &metrics));
    return metrics;
}

// The box of pixels that differ from `background`, or an empty box.
struct Box {
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
    bool empty() const { return right < 0; }
    int height() const { return empty() ? 0 : bottom - top + 1; }
};

Box ChangedBox(const Surface16& surface, WORD background) {
    Box box;
    for (int y = 0; y < surface.height(); ++y)
        for (int x = 0; x < surface.width(); ++x)
            if (surface.at(x, y) != background) {
                box.left = std::min(box.left, x);
                box.top = std::min(box.top, y);
                box.right = std::max(box.right, x);
                box.bottom = std::max(box.bottom, y);
            }
    return box;
}

class FontTest : public ::testing::Test {
  protected:
    void TearDown() override {
        for (HFONT font : fonts_)
            EXPECT_TRUE(DeleteObject(font));
    }
    HFONT keep(HFONT font) {
        EXPECT_NE(font, nullptr);
        fonts_.push_back(font);
        return font;
    }
    std::vector<HFONT> fonts_;
};

} // namespace

TEST_F(FontTest, PositiveHeightIsTheCellHeightForEveryEngineSize) {
    Surface16 surface(64, 64);
    for (int height : {8, 10, 12, 14, 16, 24, 36}) {
        HFONT font = keep(EngineFont(height));
        HGDIOBJ previous = SelectObject(surface.dc(), font);
        ASSERT_NE(previous, nullptr);
        TEXTMETRICA metrics = MetricsOf(surface.dc());
        EXPECT_EQ(metrics.tmHeight, height);
        EXPECT_EQ(metrics.tmAscent + metrics.tmDescent, metrics.tmHeight);
        EXPECT_GT(metrics.tmAscent, metrics.tmDescent);
        EXPECT_GT(metrics.tmAveCharWidth, 0);
        EXPECT_LT(metrics.tmAveCharWidth, height);
        EXPECT_GE(metrics.tmMaxCharWidth, metrics.tmAveCharWidth);
        EXPECT_EQ(metrics.tmWeight, FW_NORMAL);
        SelectObject(surface.dc(), previous);
    }
}

TEST_F(FontTest, FourteenUnitSansHasArialProportions) {
    // The sans stand-in is metric-compatible with Arial: at a 14-pixel cell its em is about
    // 12.5 pixels, ascent 11, average width about 6.
    Surface16 surface(8, 8);
    SelectObject(surface.dc(), keep(EngineFont(14)));
    TEXTMETRICA metrics = MetricsOf(surface.dc());
    EXPECT_EQ(metrics.tmHeight, 14);
    EXPECT_EQ(metrics.tmAscent, 11);
    EXPECT_EQ(metrics.tmDescent, 3);
    EXPECT_GE(metrics.tmAveCharWidth, 5);
    EXPECT_LE(metrics.tmAveCharWidth, 7);
}

TEST_F(FontTest, NegativeHeightIsTheCharacterHeight) {
    Surface16 surface(8, 8);
    SelectObject(surface.dc(), keep(CreateFontA(-14, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0,
                                                VARIABLE_PITCH | FF_SWISS, "Arial")));
    TEXTMETRICA metrics = MetricsOf(surface.dc());
    EXPECT_GT(metrics.tmHeight, 14);
    EXPECT_EQ(metrics.tmHeight - metrics.tmInternalLeading, 14);
}

TEST_F(FontTest, AbsurdHeightsGiveNoFont) {
    for (int height : {100000, -100000, INT32_MIN, INT32_MAX})
        EXPECT_EQ(
            CreateFontA(height, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, VARIABLE_PITCH, "Arial"),
            nullptr)
            << height;
    Surface16 surface(8, 8);
    SelectObject(surface.dc(),
                 keep(CreateFontA(0, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, nullptr)));
    EXPECT_EQ(MetricsOf(surface.dc()).tmHeight, 16) << "height 0 is the default size";
}

TEST_F(FontTest, FixedPitchRequestsGetAMonospacedFace) {
    Surface16 surface(8, 8);
    HFONT mono = keep(CreateFontA(16, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0,
                                  FIXED_PITCH | FF_MODERN, "Courier New"));
    HFONT sans = keep(EngineFont(16));
    SIZE narrow{}, wide{};
    SelectObject(surface.dc(), mono);
    ASSERT_TRUE(GetTextExtentPoint32A(surface.dc(), "iiii", 4, &narrow));
    ASSERT_TRUE(GetTextExtentPoint32A(surface.dc(), "WWWW", 4, &wide));
    EXPECT_EQ(narrow.cx, wide.cx);
    EXPECT_EQ(narrow.cy, 16);
    SelectObject(surface.dc(), sans);
    ASSERT_TRUE(GetTextExtentPoint32A(surface.dc(), "iiii", 4, &narrow));
    ASSERT_TRUE(GetTextExtentPoint32A(surface.dc(), "WWWW", 4, &wide));
    EXPECT_LT(narrow.cx * 2, wide.cx);
}

TEST_F(FontTest, BoldWeightChoosesTheBoldFace) {
    Surface16 surface(8, 8);
    HFONT bold =
        keep(CreateFontA(24, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, VARIABLE_PITCH, "Arial"));
    HFONT normal = keep(EngineFont(24));
    SIZE boldSize{}, normalSize{};
    SelectObject(surface.dc(), bold);
    EXPECT_EQ(MetricsOf(surface.dc()).tmWeight, FW_BOLD);
    GetTextExtentPoint32A(surface.dc(), "Hello, world", 12, &boldSize);
    SelectObject(surface.dc(), normal);
    GetTextExtentPoint32A(surface.dc(), "Hello, world", 12, &normalSize);
    EXPECT_GT(boldSize.cx, normalSize.cx);
}

TEST(GdiText, SurfaceDcStartsWithTheDefaultSystemFont) {
    Surface16 surface(200, 40);
    TEXTMETRICA metrics = MetricsOf(surface.dc());
    EXPECT_EQ(metrics.tmHeight, 16);
    EXPECT_EQ(metrics.tmWeight, FW_BOLD);
    surface.fill(0);
    SetBkMode(surface.dc(), TRANSPARENT);
    SetTextColor(surface.dc(), RGB(255, 255, 255));
    ASSERT_TRUE(TextOutA(surface.dc(), 2, 2, "Stats", 5));
    Box box = ChangedBox(surface, 0);
    ASSERT_FALSE(box.empty());
    EXPECT_GE(box.top, 2);
    EXPECT_LT(box.bottom, 2 + 16);
}

TEST(GdiText, TransparentTextIsPureTextColourInsideItsCell) {
    for (bool is555 : {false, true}) {
        Surface16 surface(120, 40, is555);
        surface.fill(0x0421);
        HFONT font = CreateFontA(14, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, DRAFT_QUALITY,
                                 VARIABLE_PITCH | FF_SWISS, "Arial");
        HGDIOBJ previous = SelectObject(surface.dc(), font);
        EXPECT_EQ(SetBkMode(surface.dc(), TRANSPARENT), OPAQUE);
        SetTextColor(surface.dc(), RGB(255, 128, 128));
        SIZE extent{};
        ASSERT_TRUE(GetTextExtentPoint32A(surface.dc(), "Hello Wg", 8, &extent));
        ASSERT_TRUE(TextOutA(surface.dc(), 10, 12, "Hello Wg", 8));
        WORD ink = is555 ? To555(255, 128, 128) : To565(255, 128, 128);
        EXPECT_EQ(ink, is555 ? 0x7E10 : 0xFC10);
        int inked = 0;
        for (int y = 0; y < surface.height(); ++y)
            for (int x = 0; x < surface.width(); ++x) {
                WORD pixel = surface.at(x, y);
                if (pixel == 0x0421) continue;
                EXPECT_EQ(pixel, ink) << "blended pixel at " << x << "," << y;
                bool inside = x >= 10 && x < 10 + extent.cx && y >= 12 && y < 12 + 14;
                EXPECT_TRUE(inside) << "text pixel outside its cell at " << x << "," << y;
                ++inked;
            }
        EXPECT_GT(inked, 40);
        // The descender of "g" reaches below the baseline, the capitals up near the ascent.
        Box box = ChangedBox(surface, 0x0421);
        EXPECT_GT(box.bottom, 12 + 11);
        EXPECT_LE(box.top, 12 + 3);
        EXPECT_TRUE(surface.marginUntouched());
        SelectObject(surface.dc(), previous);
        DeleteObject(font);
    }
}

TEST(GdiText, OpaqueTextFillsTheCellWithTheBackgroundColour) {
    Surface16 surface(120, 40);
    surface.fill(0x0421);
    EXPECT_EQ(SetBkColor(surface.dc(), RGB(0, 0, 255)), RGB(255, 255, 255)); // white by default
    SetTextColor(surface.dc(), RGB(255, 255, 0));
    SIZE extent{};
    ASSERT_TRUE(GetTextExtentPoint32A(surface.dc(), "Opaque", 6, &extent));
    ASSERT_TRUE(TextOutA(surface.dc(), 5, 7, "Opaque", 6)); // OPAQUE is the default mode
    int background = 0, ink = 0;
    for (int y = 0; y < surface.height(); ++y)
        for (int x = 0; x < surface.width(); ++x) {
            bool inside = x >= 5 && x < 5 + extent.cx && y >= 7 && y < 7 + extent.cy;
            WORD pixel = surface.at(x, y);
            if (!inside) {
                EXPECT_EQ(pixel, 0x0421) << x << "," << y;
                continue;
            }
            if (pixel == 0x001F)
                ++background;
            else if (pixel == To565(255, 255, 0))
                ++ink;
            else
                ADD_FAILURE() << "pixel " << pixel << " at " << x << "," << y;
        }
    EXPECT_GT(ink, 20);
    EXPECT_EQ(background + ink, extent.cx * extent.cy);
}

TEST(GdiText, TextIsClippedToTheSurface) {
    Surface16 surface(30, 10);
    surface.fill(0);
    SetTextColor(surface.dc(), RGB(255, 255, 255));
    EXPECT_TRUE(TextOutA(surface.dc(), -7, -5, "MMMMMMMMMM", 10));
    EXPECT_TRUE(TextOutA(surface.dc(), 25, 6, "MMMM", 4));
    EXPECT_TRUE(TextOutA(surface.dc(), 2000000000, 2000000000, "far", 3));
    EXPECT_TRUE(TextOutA(surface.dc(), -2000000000, 0, "far", 3));
    EXPECT_TRUE(surface.marginUntouched());
    EXPECT_FALSE(ChangedBox(surface, 0).empty());
}

TEST(GdiText, TallerFontsDrawTallerText) {
    Surface16 surface(200, 60);
    SetBkMode(surface.dc(), TRANSPARENT);
    SetTextColor(surface.dc(), RGB(255, 255, 255));
    int heights[2];
    int index = 0;
    for (int size : {14, 36}) {
        surface.fill(0);
        HFONT font = EngineFont(size);
        HGDIOBJ previous = SelectObject(surface.dc(), font);
        TextOutA(surface.dc(), 0, 0, "W", 1);
        heights[index++] = ChangedBox(surface, 0).height();
        SelectObject(surface.dc(), previous);
        DeleteObject(font);
    }
    EXPECT_GE(heights[0], 8);
    EXPECT_LE(heights[0], 14);
    EXPECT_GE(heights[1], 2 * heights[0]);
}

TEST(GdiText, EightBitTargetsTakeTheNearestPaletteEntry) {
    std::vector<PALETTEENTRY> palette = {{0, 0, 0, 0}, {250, 10, 10, 0}, {10, 250, 10, 0}, {255, 0, 0, 0}};
    Surface8 surface(60, 20, palette);
    SetBkMode(surface.dc(), TRANSPARENT);
    SetTextColor(surface.dc(), RGB(240, 0, 0)); // (255, 0, 0) is nearer than (250, 10, 10)
    ASSERT_TRUE(TextOutA(surface.dc(), 0, 0, "Ab", 2));
    int inked = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 60; ++x) {
            BYTE pixel = surface.at(x, y);
            if (pixel == 0xEE) continue;
            EXPECT_EQ(pixel, 3);
            ++inked;
        }
    EXPECT_GT(inked, 10);
    // Without a palette the surface reads as a grey ramp.
    Surface8 grey(60, 20, {}, false);
    SetBkColor(grey.dc(), RGB(100, 100, 100));
    SetTextColor(grey.dc(), RGB(200, 200, 200));
    ASSERT_TRUE(TextOutA(grey.dc(), 0, 0, "A", 1));
    EXPECT_EQ(grey.at(0, 0), 100);
}

TEST(GdiText, AnsiCharactersAboveAsciiAreDrawn) {
    Surface16 surface(40, 20);
    surface.fill(0);
    SetTextColor(surface.dc(), RGB(255, 255, 255));
    SetBkMode(surface.dc(), TRANSPARENT);
    const char euro[] = "\x80\xe9";
    SIZE extent{};
    ASSERT_TRUE(GetTextExtentPoint32A(surface.dc(), euro, 2, &extent));
    EXPECT_GT(extent.cx, 8);
    TextOutA(surface.dc(), 0, 0, euro, 2);
    EXPECT_FALSE(ChangedBox(surface, 0).empty());
}

TEST(GdiText, ColourAndModeCallsReturnThePreviousValue) {
    Surface16 surface(4, 4);
    EXPECT_EQ(SetTextColor(surface.dc(), RGB(1, 2, 3)), RGB(0, 0, 0));
    EXPECT_EQ(SetTextColor(surface.dc(), RGB(4, 5, 6)), RGB(1, 2, 3));
    EXPECT_EQ(SetBkMode(surface.dc(), TRANSPARENT), OPAQUE);
    EXPECT_EQ(SetBkMode(surface.dc(), 7), 0);
    EXPECT_EQ(SetBkMode(surface.dc(), OPAQUE), TRANSPARENT);
    HDC bogus = reinterpret_cast<HDC>(0x5);
    EXPECT_EQ(SetTextColor(bogus, 0), CLR_INVALID);
    EXPECT_EQ(SetBkColor(bogus, 0), CLR_INVALID);
    EXPECT_EQ(SetBkMode(bogus, OPAQUE), 0);
    EXPECT_FALSE(TextOutA(bogus, 0, 0, "x", 1));
    EXPECT_FALSE(TextOutA(surface.dc(), 0, 0, "x", -1));
    EXPECT_FALSE(TextOutA(surface.dc(), 0, 0, nullptr, 3));
    EXPECT_TRUE(TextOutA(surface.dc(), 0, 0, "", 0));
    TEXTMETRICA metrics;
    EXPECT_FALSE(GetTextMetricsA(bogus, &metrics));
    EXPECT_FALSE(GetTextMetricsA(surface.dc(), nullptr));
}

TEST(GdiText, ScreenDcMeasuresButDrawsNothing) {
    HDC screen = GetDC(nullptr);
    ASSERT_NE(screen, nullptr);
    TEXTMETRICA metrics = MetricsOf(screen);
    EXPECT_EQ(metrics.tmHeight, 16);
    HFONT font = EngineFont(14);
    HGDIOBJ previous = SelectObject(screen, font);
    EXPECT_EQ(MetricsOf(screen).tmHeight, 14);
    EXPECT_TRUE(TextOutA(screen, 0, 0, "discarded", 9));
    SelectObject(screen, previous);
    EXPECT_EQ(ReleaseDC(nullptr, screen), 1);
    EXPECT_EQ(ReleaseDC(nullptr, screen), 0);
    EXPECT_TRUE(DeleteObject(font));
}

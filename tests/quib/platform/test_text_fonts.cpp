// The engine's fonts and text on surfaces: the font table and its index rules, metrics, where text
// pixels land and in which colour, freeing and re-making the fonts, and the 3D options sheet.
#include <algorithm>

#include "host/win/messages.h"
#include "host/win/propsheet.h"
#include "host/win/system.h"
#include "host/win/window.h"
#include "quib/platform/options_sheet.h"
#include "quib/platform/text.h"
#include "tests/quib/bitmap_test_support.h"

using namespace bmptest;

namespace {

constexpr uint32_t kBackground = 0x1234;

// The box around every pixel that is not the background.
struct Box {
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
    bool Empty() const { return right < 0; }
    int Height() const { return Empty() ? 0 : bottom - top + 1; }
    int Width() const { return Empty() ? 0 : right - left + 1; }
};

class TextTest : public EngineDisplayTest {
  protected:
    void SetUp() override {
        EngineDisplayTest::SetUp();
        QuibInitFont(nullptr);
    }
    void TearDown() override {
        QuibFreeFont();
        EngineDisplayTest::TearDown();
    }

    // A 200 x 60 5-6-5 surface filled with kBackground.
    IDirectDrawSurface* Canvas() {
        IDirectDrawSurface* surface = MakeSurface(kWidth, kHeight, 16);
        if (surface) SetPixels(surface, std::vector<uint32_t>(size_t(kWidth) * kHeight, kBackground));
        return surface;
    }

    static Box Changed(const std::vector<uint32_t>& pixels) {
        Box box;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                if (pixels[size_t(y) * kWidth + size_t(x)] != kBackground) {
                    box.left = std::min(box.left, x);
                    box.right = std::max(box.right, x);
                    box.top = std::min(box.top, y);
                    box.bottom = std::max(box.bottom, y);
                }
        return box;
    }

    // Draws text with font on a fresh canvas; returns the canvas's pixels.
    std::vector<uint32_t> Drawn(const char* text, _fontTypes_e font, COLORREF colour = RGB(255, 0, 0),
                                int x = 4, int y = 4) {
        IDirectDrawSurface* surface = Canvas();
        if (!surface) return {};
        EXPECT_EQ(QuibDrawText(surface, text, x, y, colour, font), 1);
        std::vector<uint32_t> pixels = Pixels(surface);
        surface->Release();
        return pixels;
    }

    static constexpr int kWidth = 200;
    static constexpr int kHeight = 60;
};

} // namespace

TEST_F(TextTest, InitFontStartsWithIndexThreeOfCellHeight14) {
    EXPECT_EQ(QuibGetFont(), QUIB_FONT_14);
    EXPECT_EQ(QuibGetFontHeight(), 14u);
    EXPECT_GT(QuibGetCharWidth(), 0u);
    EXPECT_EQ(g_FontHeight, 14);
}

TEST_F(TextTest, EveryFontMeasuresItsNominalCellHeight) {
    unsigned long previousWidth = 0;
    for (int index = 0; index < kQuibFontCount; ++index) {
        QuibSetFont(_fontTypes_e(index));
        EXPECT_EQ(QuibGetFont(), index);
        EXPECT_EQ(QuibGetFontHeight(), unsigned(QuibFontNominalHeight(index))) << index;
        EXPECT_GE(QuibGetCharWidth(), previousWidth) << "taller fonts are not narrower";
        previousWidth = QuibGetCharWidth();
    }
}

TEST_F(TextTest, SetFontReturnsThePreviousIndex) {
    EXPECT_EQ(QuibSetFont(QUIB_FONT_36), QUIB_FONT_14);
    EXPECT_EQ(QuibSetFont(QUIB_FONT_8), QUIB_FONT_36);
    EXPECT_EQ(QuibGetFont(), QUIB_FONT_8);
    EXPECT_EQ(QuibGetFontHeight(), 8u);
}

TEST_F(TextTest, IndicesOutsideTheTableChangeNothing) {
    QuibSetFont(QUIB_FONT_24);
    const unsigned long width = QuibGetCharWidth();
    for (int index : {7, -1, -2, 100, -1000}) {
        EXPECT_EQ(QuibSetFont(_fontTypes_e(index)), QUIB_FONT_24);
        EXPECT_EQ(QuibGetFont(), QUIB_FONT_24);
        EXPECT_EQ(QuibGetFontHeight(), 24u);
        EXPECT_EQ(QuibGetCharWidth(), width);
    }
}

TEST_F(TextTest, TextPixelsHaveTheColourIn565AndTheRestIsUntouched) {
    const std::vector<uint32_t> pixels = Drawn("Wg", QUIB_FONT_16, RGB(255, 128, 64));
    ASSERT_FALSE(pixels.empty());
    const uint16_t colour = To565(0xFF8040);
    size_t textPixels = 0;
    for (uint32_t pixel : pixels) {
        EXPECT_TRUE(pixel == kBackground || pixel == colour) << std::hex << pixel;
        textPixels += pixel == colour;
    }
    EXPECT_GT(textPixels, 20u);
    // The text lies in its cell at (4, 4).
    const Box box = Changed(pixels);
    EXPECT_GE(box.left, 4);
    EXPECT_GE(box.top, 4);
    EXPECT_LE(box.bottom, 4 + 16 - 1);
}

TEST_F(TextTest, CurrentFontDrawsWhenAskedForMinusOneOrAnIndexOutsideTheTable) {
    QuibSetFont(QUIB_FONT_36);
    const std::vector<uint32_t> current = Drawn("W", QUIB_FONT_CURRENT);
    EXPECT_GT(Changed(current).Height(), 20) << "drawn with the 36-unit font";
    EXPECT_EQ(Drawn("W", QUIB_FONT_36), current);
    EXPECT_EQ(Drawn("W", _fontTypes_e(7)), current);
    EXPECT_EQ(Drawn("W", _fontTypes_e(-5)), current);
    EXPECT_EQ(Drawn("W", _fontTypes_e(1 << 20)), current);
    // Index 3 draws clearly smaller than index 6.
    EXPECT_LT(Changed(Drawn("W", QUIB_FONT_14)).Height(), 15);
}

TEST_F(TextTest, DrawTextNeedsASurfaceWithADeviceContext) {
    IDirectDrawSurface* surface = Canvas();
    ASSERT_NE(surface, nullptr);
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    ASSERT_EQ(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
    EXPECT_EQ(QuibDrawText(surface, "A", 0, 0, RGB(255, 255, 255), QUIB_FONT_CURRENT), 0);
    surface->Unlock(nullptr);
    EXPECT_EQ(QuibDrawText(surface, nullptr, 0, 0, 0, QUIB_FONT_CURRENT), 0);
    EXPECT_EQ(QuibDrawText(nullptr, "A", 0, 0, 0, QUIB_FONT_CURRENT), 0);
    EXPECT_EQ(Changed(Pixels(surface)).Empty(), true);
    surface->Release();
}

TEST_F(TextTest, FreeFontDeletesAndForgetsEveryFont) {
    HFONT fonts[kQuibFontCount];
    for (int i = 0; i < kQuibFontCount; ++i) {
        fonts[i] = QuibFontHandle(i);
        ASSERT_NE(fonts[i], nullptr);
    }
    QuibFreeFont();
    for (int i = 0; i < kQuibFontCount; ++i) {
        EXPECT_EQ(QuibFontHandle(i), nullptr);
        EXPECT_FALSE(DeleteObject(fonts[i])) << "font " << i << " was not deleted";
    }
    // Without fonts, text falls back to the surface's default font; the index cannot move.
    EXPECT_FALSE(Changed(Drawn("W", QUIB_FONT_36)).Empty());
    EXPECT_EQ(QuibSetFont(QUIB_FONT_36), QUIB_FONT_14);
    EXPECT_EQ(QuibGetFont(), QUIB_FONT_14);
    QuibFreeFont(); // a second free is harmless
}

TEST_F(TextTest, SecondInitFontReplacesTheFirstFonts) {
    HFONT first[kQuibFontCount];
    for (int i = 0; i < kQuibFontCount; ++i)
        first[i] = QuibFontHandle(i);
    QuibSetFont(QUIB_FONT_24);
    QuibInitFont(nullptr);
    EXPECT_EQ(QuibGetFont(), QUIB_FONT_14);
    EXPECT_EQ(QuibGetFontHeight(), 14u);
    for (int i = 0; i < kQuibFontCount; ++i) {
        EXPECT_NE(QuibFontHandle(i), first[i]);
        EXPECT_FALSE(DeleteObject(first[i])) << "first font " << i << " leaked";
    }
}

TEST_F(TextTest, FontsMeasuredOnAWindowThatIsGoneStillGetMetrics) {
    QuibInitFont(reinterpret_cast<HWND>(uintptr_t{0xDEAD0}));
    EXPECT_EQ(QuibGetFontHeight(), 14u);
    QuibSetFont(QUIB_FONT_10);
    EXPECT_EQ(QuibGetFontHeight(), 10u);
}

TEST_F(TextTest, PrintStringPutsOpaqueTextOnTheBackBuffer) {
    IDirectDrawSurface* back = Canvas();
    ASSERT_NE(back, nullptr);
    IDirectDrawSurface* saved = g_lpBackBuffer;
    g_lpBackBuffer = back;
    EXPECT_EQ(QuibPrintString("Hi", 10, 20), 1);
    g_lpBackBuffer = saved;
    const std::vector<uint32_t> pixels = Pixels(back);
    back->Release();
    const Box box = Changed(pixels);
    ASSERT_FALSE(box.Empty());
    EXPECT_EQ(box.left, 10);
    EXPECT_EQ(box.top, 20);
    // The cell is filled white and the glyphs are light red (255, 128, 128).
    EXPECT_EQ(pixels[size_t(box.top) * kWidth + size_t(box.left)], 0xFFFFu);
    EXPECT_NE(std::count(pixels.begin(), pixels.end(), uint32_t(To565(0xFF8080))), 0);
}

// ---- The 3D options sheet ----

TEST_F(TextTest, OptionsDialogAsksForAOnePageWizardAndReturnsOne) {
    const int callsBefore = HostLastPropertySheet().calls;
    EXPECT_EQ(QuibDo3DOptionsDialog(nullptr, nullptr), 1);
    const HostPropertySheetCall call = HostLastPropertySheet();
    EXPECT_EQ(call.calls, callsBefore + 1);
    EXPECT_EQ(call.headerFlags, DWORD(PSH_WIZARD | PSH_PROPSHEETPAGE | PSH_USEICONID));
    EXPECT_EQ(call.pages, 1u);
    EXPECT_EQ(call.pageFlags, DWORD(PSP_USEICONID | PSP_USETITLE));
    EXPECT_EQ(call.pageTemplate, MAKEINTRESOURCEA(101));
    EXPECT_TRUE(call.pageHasProcedure);
}

TEST_F(TextTest, OptionsPageAnswersItsNotifications) {
    const HWND page = reinterpret_cast<HWND>(uintptr_t{0x7700});
    EXPECT_EQ(OptionsPageProc(page, WM_INITDIALOG, 0, 0), TRUE);
    for (UINT code : {PSN_SETACTIVE, PSN_WIZNEXT, PSN_QUERYCANCEL}) {
        NMHDR notice = {page, 0, code};
        EXPECT_EQ(OptionsPageProc(page, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&notice)), TRUE) << code;
    }
    NMHDR other = {page, 0, 12345};
    EXPECT_EQ(OptionsPageProc(page, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&other)), FALSE);
    EXPECT_EQ(OptionsPageProc(page, WM_NOTIFY, 0, 0), FALSE);
    EXPECT_EQ(OptionsPageProc(page, WM_COMMAND, 0, 0), FALSE);
}

namespace {

LRESULT PlainProcedure(HWND, UINT, WPARAM, LPARAM) {
    return 0;
}

} // namespace

TEST_F(TextTest, OptionsPageStaysOnItsPageWhenAskedForTheNextOne) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = PlainProcedure;
    windowClass.cbWndExtra = 8; // room for the dialog's message result
    windowClass.lpszClassName = "OptionsPageTest";
    ASSERT_NE(RegisterClassA(&windowClass), 0);
    HWND page = CreateWindowExA(0, "OptionsPageTest", "page", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                nullptr, nullptr);
    ASSERT_NE(page, nullptr);
    NMHDR next = {page, 0, PSN_WIZNEXT};
    EXPECT_EQ(OptionsPageProc(page, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&next)), TRUE);
    EXPECT_EQ(GetWindowLongA(page, DWL_MSGRESULT), -1);
    HostResetWindowLayer();
}

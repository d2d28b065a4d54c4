// Window DCs: the engine measures its fonts through them.
#include "host/gdi/gdi.h"
#include "test_window_support.h"

class GdiWindowDc : public WindowTest {};

TEST_F(GdiWindowDc, LiveWindowsGiveADcWithTheDefaultFont) {
    HWND window = MakeMainWindow();
    ASSERT_NE(window, nullptr);
    HDC dc = GetDC(window);
    ASSERT_NE(dc, nullptr);
    TEXTMETRICA metrics{};
    ASSERT_TRUE(GetTextMetricsA(dc, &metrics));
    EXPECT_EQ(metrics.tmHeight, 16);
    EXPECT_GT(metrics.tmAveCharWidth, 0);
    EXPECT_EQ(GetDeviceCaps(dc, HORZRES), HostGetMachine().desktopWidth);
    EXPECT_EQ(GetDeviceCaps(dc, BITSPIXEL), HostGetMachine().desktopBitsPerPixel);
    HFONT font = CreateFontA(24, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, OUT_STROKE_PRECIS,
                             CLIP_STROKE_PRECIS, DRAFT_QUALITY, VARIABLE_PITCH | FF_SWISS, "Arial");
    HGDIOBJ previous = SelectObject(dc, font);
    ASSERT_TRUE(GetTextMetricsA(dc, &metrics));
    EXPECT_EQ(metrics.tmHeight, 24);
    EXPECT_TRUE(TextOutA(dc, 0, 0, "discarded", 9));
    SelectObject(dc, previous);
    EXPECT_EQ(ReleaseDC(window, dc), 1);
    EXPECT_TRUE(DeleteObject(font));

    // Each GetDC is a fresh DC: what the last one selected does not persist.
    dc = GetDC(window);
    ASSERT_TRUE(GetTextMetricsA(dc, &metrics));
    EXPECT_EQ(metrics.tmHeight, 16);
    EXPECT_EQ(ReleaseDC(window, dc), 1);

    EXPECT_TRUE(DestroyWindow(window));
    EXPECT_EQ(GetDC(window), nullptr);
}

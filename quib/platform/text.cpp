// GDI text on surfaces: the seven engine fonts, the current font and its metrics.
#include "quib/platform/text.h"

#include <climits>
#include <cstring>

#include "host/gdi/gdi.h"
#include "quib/platform/directx.h"
#include "quib/quib.h"

namespace {

constexpr int kFontHeights[kQuibFontCount] = {8, 10, 12, 14, 16, 24, 36};
constexpr int kStartFont = 3;

HFONT s_fonts[kQuibFontCount] = {};
int s_currentFont = kStartFont;
HWND s_fontWindow = nullptr;

bool IsFontIndex(int index) {
    return index >= 0 && index < kQuibFontCount;
}

HFONT MakeFont(int height) {
    return CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_STROKE_PRECIS,
                       CLIP_STROKE_PRECIS, DRAFT_QUALITY, VARIABLE_PITCH | FF_SWISS, "Arial");
}

// Reads the metrics of font (NULL: the DC's default font) into g_FontHeight and g_CharWidth, measured
// on the font window's DC, or on a memory DC when the window gives none.
void MeasureFont(HFONT font) {
    HDC window = GetDC(s_fontWindow);
    HDC dc = window ? window : CreateCompatibleDC(nullptr);
    if (!dc) return;
    HGDIOBJ previous = font ? SelectObject(dc, font) : nullptr;
    TEXTMETRICA metrics = {};
    if (GetTextMetricsA(dc, &metrics)) {
        g_FontHeight = int(metrics.tmHeight);
        g_CharWidth = int(metrics.tmAveCharWidth);
    }
    // The font goes back out before the DC ends, so that QuibFreeFont can delete it.
    if (previous) SelectObject(dc, previous);
    if (window)
        ReleaseDC(s_fontWindow, window);
    else
        DeleteDC(dc);
}

} // namespace

int QuibFontNominalHeight(int index) {
    return IsFontIndex(index) ? kFontHeights[index] : 0;
}

HFONT QuibFontHandle(int index) {
    return IsFontIndex(index) ? s_fonts[index] : nullptr;
}

void QuibInitFont(HWND window) {
    // A second start-up replaces the fonts instead of leaking the first ones.
    QuibFreeFont();
    s_fontWindow = window;
    for (int i = 0; i < kQuibFontCount; ++i)
        s_fonts[i] = MakeFont(kFontHeights[i]);
    QuibSetFont(_fontTypes_e(kStartFont));
}

void QuibFreeFont() {
    for (HFONT& font : s_fonts) {
        if (font) DeleteObject(font);
        font = nullptr;
    }
}

_fontTypes_e QuibSetFont(_fontTypes_e font) {
    const int previous = s_currentFont;
    if (!IsFontIndex(font)) return _fontTypes_e(previous);
    if (s_fonts[font]) s_currentFont = font;
    MeasureFont(s_fonts[font]);
    return _fontTypes_e(previous);
}

_fontTypes_e QuibGetFont() {
    return _fontTypes_e(s_currentFont);
}

unsigned long QuibGetFontHeight() {
    return static_cast<unsigned long>(g_FontHeight);
}

unsigned long QuibGetCharWidth() {
    return static_cast<unsigned long>(g_CharWidth);
}

int QuibDrawText(IDirectDrawSurface* surface, const char* text, int x, int y, unsigned long colour,
                 _fontTypes_e font) {
    if (!surface || !text) return 0;
    // -1 and every index outside the table mean the current font.
    const int index = IsFontIndex(font) ? int(font) : s_currentFont;
    HDC dc = nullptr;
    if (FAILED(surface->GetDC(&dc)) || !dc) return 0;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, COLORREF(colour));
    HGDIOBJ previous = s_fonts[index] ? SelectObject(dc, s_fonts[index]) : nullptr;
    const size_t length = std::strlen(text);
    TextOutA(dc, x, y, text, length > size_t(INT_MAX) ? INT_MAX : int(length));
    if (previous) SelectObject(dc, previous);
    surface->ReleaseDC(dc);
    return 1;
}

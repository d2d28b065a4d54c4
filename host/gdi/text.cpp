#include "host/gdi/text.h"

#include <cctype>
#include <cstring>

#include "host/gdi/gdi_state.h"

namespace {

typedef std::lock_guard<std::mutex> GdiLock;

bool EqualsIgnoringCase(const char* a, const char* b) {
    for (; *a && *b; ++a, ++b)
        if (std::tolower(static_cast<unsigned char>(*a)) != std::tolower(static_cast<unsigned char>(*b)))
            return false;
    return *a == *b;
}

bool IsMonospaceName(const char* face) {
    if (!face) return false;
    for (const char* name : {"Courier New", "Courier", "Lucida Console"})
        if (EqualsIgnoringCase(face, name)) return true;
    return false;
}

HostFontRequest RequestOf(int height, int width, int weight, DWORD italic, DWORD pitchAndFamily,
                          LPCSTR face) {
    HostFontRequest request;
    request.height = height;
    request.width = width > 0 ? width : 0;
    request.bold = weight >= FW_SEMIBOLD;
    request.italic = italic != 0;
    request.monospace =
        (pitchAndFamily & 3) == FIXED_PITCH || (pitchAndFamily & 0xF0) == FF_MODERN || IsMonospaceName(face);
    return request;
}

HostFontFace* FontOf(HDC handle) {
    HostDc* dc = HostGdi().FindDc(handle);
    return dc && dc->font ? dc->font->font.get() : nullptr;
}

// Coordinates are 64-bit so that text placed far off the target cannot overflow.
void FillRect(const HostRaster& raster, long long left, long long top, long long right, long long bottom,
              DWORD value) {
    if (left < 0) left = 0;
    if (top < 0) top = 0;
    if (right > raster.width) right = raster.width;
    if (bottom > raster.height) bottom = raster.height;
    for (long long y = top; y < bottom; ++y)
        for (long long x = left; x < right; ++x)
            HostRasterSet(raster, static_cast<int>(x), static_cast<int>(y), value);
}

void DrawGlyph(const HostRaster& raster, const HostGlyph& glyph, long long penX, long long baseline,
               DWORD value) {
    long long left = penX + glyph.left, top = baseline - glyph.top;
    for (int row = 0; row < glyph.rows; ++row) {
        long long y = top + row;
        if (y < 0 || y >= raster.height) continue;
        const BYTE* on = glyph.on.data() + static_cast<size_t>(row) * glyph.width;
        for (int column = 0; column < glyph.width; ++column) {
            long long x = left + column;
            if (on[column] && x >= 0 && x < raster.width)
                HostRasterSet(raster, static_cast<int>(x), static_cast<int>(y), value);
        }
    }
}

} // namespace

HFONT CreateFontA(int height, int width, int, int, int weight, DWORD italic, DWORD, DWORD, DWORD, DWORD,
                  DWORD, DWORD, DWORD pitchAndFamily, LPCSTR faceName) {
    HostFontRequest request = RequestOf(height, width, weight, italic, pitchAndFamily, faceName);
    GdiLock lock(HostGdi().Mutex());
    auto object = std::make_unique<HostGdiObject>();
    object->kind = HostGdiObject::Kind::Font;
    object->font = HostFontFace::Create(request);
    if (!object->font) return nullptr;
    return static_cast<HFONT>(HostGdi().AddObject(std::move(object)));
}

BOOL GetTextMetricsA(HDC dc, TEXTMETRICA* metrics) {
    GdiLock lock(HostGdi().Mutex());
    HostFontFace* font = FontOf(dc);
    if (!font || !metrics) return FALSE;
    *metrics = font->Metrics();
    return TRUE;
}

BOOL GetTextExtentPoint32A(HDC dc, LPCSTR text, int length, SIZE* size) {
    GdiLock lock(HostGdi().Mutex());
    HostFontFace* font = FontOf(dc);
    if (!font || !size || length < 0 || (length > 0 && !text)) return FALSE;
    long long width = font->TextWidth(text, length);
    size->cx = width > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<LONG>(width);
    size->cy = font->Metrics().tmHeight;
    return TRUE;
}

COLORREF SetTextColor(HDC handle, COLORREF color) {
    GdiLock lock(HostGdi().Mutex());
    HostDc* dc = HostGdi().FindDc(handle);
    if (!dc) return CLR_INVALID;
    COLORREF previous = dc->textColor;
    dc->textColor = color & 0x00FFFFFF;
    return previous;
}

COLORREF SetBkColor(HDC handle, COLORREF color) {
    GdiLock lock(HostGdi().Mutex());
    HostDc* dc = HostGdi().FindDc(handle);
    if (!dc) return CLR_INVALID;
    COLORREF previous = dc->backColor;
    dc->backColor = color & 0x00FFFFFF;
    return previous;
}

int SetBkMode(HDC handle, int mode) {
    GdiLock lock(HostGdi().Mutex());
    HostDc* dc = HostGdi().FindDc(handle);
    if (!dc || (mode != TRANSPARENT && mode != OPAQUE)) return 0;
    int previous = dc->backMode;
    dc->backMode = mode;
    return previous;
}

BOOL TextOutA(HDC handle, int x, int y, LPCSTR text, int length) {
    GdiLock lock(HostGdi().Mutex());
    HostDc* dc = HostGdi().FindDc(handle);
    HostFontFace* font = FontOf(handle);
    if (!dc || !font || length < 0 || (length > 0 && !text)) return FALSE;
    HostColorTable table;
    HostRaster raster;
    if (!HostDcRaster(*dc, table, raster)) return TRUE; // a window or screen DC: nothing to draw into
    if (dc->backMode == OPAQUE) {
        long long width = font->TextWidth(text, length);
        FillRect(raster, x, y, x + width, static_cast<long long>(y) + font->Metrics().tmHeight,
                 HostRasterEncode(raster, dc->backColor));
    }
    DWORD ink = HostRasterEncode(raster, dc->textColor);
    long long penX = x, baseline = static_cast<long long>(y) + font->Metrics().tmAscent;
    for (int i = 0; i < length; ++i) {
        const HostGlyph& glyph = font->Glyph(static_cast<BYTE>(text[i]));
        DrawGlyph(raster, glyph, penX, baseline, ink);
        penX += glyph.advance;
    }
    return TRUE;
}

// What the device-context layer hands the window layer when the library loads (host/win/picture_text.h):
// fonts, and device contexts over plain 5-6-5 pictures, for the text of the window layer's own drawing.
#include "host/gdi/dc.h"
#include "host/gdi/pixeltarget.h"
#include "host/gdi/text.h"
#include "host/win/picture_text.h"

namespace {

HFONT CreateSansFont(int height, bool bold) {
    return CreateFontA(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, 0, 0, 0, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, VARIABLE_PITCH | FF_SWISS, "Arial");
}

void DeleteFont(HFONT font) {
    DeleteObject(font);
}

HDC OpenPicture(uint16_t* pixels, int width, int height) {
    HDC dc = HostCreateSurfaceDC(HostPixelTarget{pixels, width, height, width * 2, 16, false, nullptr});
    if (dc) SetBkMode(dc, TRANSPARENT);
    return dc;
}

int TextWidth(HDC dc, HFONT font, const char* text, int length) {
    SelectObject(dc, font);
    SIZE size{0, 0};
    GetTextExtentPoint32A(dc, text, length, &size);
    return size.cx;
}

void WriteText(HDC dc, HFONT font, int x, int y, const char* text, int length, COLORREF colour) {
    SelectObject(dc, font);
    SetTextColor(dc, colour);
    TextOutA(dc, x, y, text, length);
}

[[maybe_unused]] const bool g_registered = [] {
    HostSetPictureTextCalls(
        {CreateSansFont, DeleteFont, OpenPicture, HostDeleteSurfaceDC, TextWidth, WriteText});
    return true;
}();

} // namespace

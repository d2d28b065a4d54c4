// The table of text calls that host/gdi fills when the library loads.
#include "host/win/picture_text.h"

namespace {

HFONT NoFont(int, bool) {
    return nullptr;
}
void NoDeleteFont(HFONT) {}
HDC NoWriter(uint16_t*, int, int) {
    return nullptr;
}
void NoClose(HDC) {}
int NoWidth(HDC, HFONT, const char*, int) {
    return 0;
}
void NoWrite(HDC, HFONT, int, int, const char*, int, COLORREF) {}

// Constant-initialized, so it holds the do-nothing calls before any registration runs at load time.
HostPictureTextCalls g_calls = {NoFont, NoDeleteFont, NoWriter, NoClose, NoWidth, NoWrite};

} // namespace

void HostSetPictureTextCalls(const HostPictureTextCalls& calls) {
    g_calls = calls;
}

const HostPictureTextCalls& HostPictureText() {
    return g_calls;
}

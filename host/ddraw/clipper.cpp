#include "host/ddraw/clipper.h"

#include <algorithm>

#include "host/ddraw/display.h"
#include "host/win/window.h"

namespace host_ddraw {

Clipper::Clipper() {
    CountLive(kClipperKind, +1);
}

Clipper::~Clipper() {
    CountLive(kClipperKind, -1);
}

HRESULT Clipper::QueryInterface(REFIID iid, void** out) {
    return HostQuerySingle<IDirectDrawClipper>(this, IID_IDirectDrawClipper, iid, out);
}

HRESULT Clipper::SetHWnd(DWORD flags, HWND window) {
    if (flags != 0) return DDERR_INVALIDPARAMS;
    window_ = window;
    return DD_OK;
}

HRESULT Clipper::ClipToWindow(const RECT& bounds, RECT& visible) const {
    if (!window_) return DDERR_NOCLIPLIST;
    RECT client;
    POINT origin = {0, 0};
    if (!GetClientRect(window_, &client) || !ClientToScreen(window_, &origin)) return DDERR_INVALIDCLIPLIST;
    visible.left = std::max(bounds.left, origin.x + client.left);
    visible.top = std::max(bounds.top, origin.y + client.top);
    visible.right = std::min(bounds.right, origin.x + client.right);
    visible.bottom = std::min(bounds.bottom, origin.y + client.bottom);
    return DD_OK;
}

Clipper* ClipperFrom(IDirectDrawClipper* clipper) {
    return dynamic_cast<Clipper*>(clipper);
}

} // namespace host_ddraw

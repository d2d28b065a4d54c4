// A clipper: the window whose client area bounds blits into the surface that holds it.
#pragma once

#include "host/ddraw/ddraw.h"

namespace host_ddraw {

class Clipper final : public IDirectDrawClipper, public RefCount {
  public:
    Clipper();
    ~Clipper() override;

    HRESULT QueryInterface(REFIID iid, void** out) override;
    HOST_REFCOUNTED
    HRESULT SetHWnd(DWORD flags, HWND window) override;

    // The bound window, or NULL.
    HWND Window() const { return window_; }
    // The part of bounds (screen coordinates) inside the window's client area: DDERR_NOCLIPLIST
    // without a window, DDERR_INVALIDCLIPLIST when the window is gone.
    HRESULT ClipToWindow(const RECT& bounds, RECT& visible) const;

  private:
    HWND window_ = nullptr;
};

// The clipper behind an interface pointer of this area, or nullptr.
Clipper* ClipperFrom(IDirectDrawClipper* clipper);

} // namespace host_ddraw

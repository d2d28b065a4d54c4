// The DirectDraw object: one display's capabilities and modes, the cooperative level, and the
// factory of surfaces, clippers and palettes.
#pragma once

#include <memory>

#include "host/ddraw/ddraw.h"

namespace host_ddraw {

class Surface;

// What a DirectDraw object shares with the surfaces it made; it outlives the object while they live.
struct DriverState {
    int display = 0;    // 0: the primary display, 1..: a secondary display
    bool has3D = false; // the driver reports DDCAPS_3D
    bool levelSet = false;
    bool exclusive = false;
    HWND window = nullptr;
    Surface* primary = nullptr; // the live primary surface made by this object, if any
};

class DirectDrawObject final : public IDirectDraw, public IDirectDraw2, public IDirectDraw7, public RefCount {
  public:
    DirectDrawObject(int display, bool has3D);
    ~DirectDrawObject() override;

    HRESULT QueryInterface(REFIID iid, void** out) override;
    HOST_REFCOUNTED

    HRESULT CreateClipper(DWORD flags, LPDIRECTDRAWCLIPPER* clipper, IUnknown* outer) override;
    HRESULT CreatePalette(DWORD flags, const PALETTEENTRY* entries, LPDIRECTDRAWPALETTE* palette,
                          IUnknown* outer) override;
    HRESULT CreateSurface(LPDDSURFACEDESC desc, LPDIRECTDRAWSURFACE* surface, IUnknown* outer) override;
    HRESULT EnumDisplayModes(DWORD flags, LPDDSURFACEDESC filter, LPVOID context,
                             LPDDENUMMODESCALLBACK callback) override;
    HRESULT GetCaps(LPDDCAPS hardware, LPDDCAPS emulation) override;
    HRESULT GetDisplayMode(LPDDSURFACEDESC desc) override;
    HRESULT RestoreDisplayMode() override;
    HRESULT SetCooperativeLevel(HWND window, DWORD flags) override;
    HRESULT SetDisplayMode(DWORD width, DWORD height, DWORD bitsPerPixel) override;
    HRESULT GetAvailableVidMem(LPDDSCAPS caps, LPDWORD total, LPDWORD free) override;

  private:
    std::shared_ptr<DriverState> state_;
};

} // namespace host_ddraw

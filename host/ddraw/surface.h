// A surface: a pixel store with its format and caps, colour key, palette and clipper, its place in a
// flip or mip chain, its attached Z-buffer, its lock or device context, and whether it is lost.
//
// Chains: the first surface of a flip chain (the front buffer) or a mip chain (the top level) is the
// root; it holds one reference on every other member, which it gives up when it is destroyed. An
// attached Z-buffer is held by one reference of the surface it is attached to.
#pragma once

#include <atomic>
#include <memory>
#include <vector>

#include "host/ddraw/ddraw.h"
#include "host/ddraw/pixel_store.h"

namespace host_ddraw {

struct DriverState;
class Clipper;
class Palette;

// What a new surface is: the part of CreateSurface's work the constructor needs.
struct SurfaceSetup {
    std::shared_ptr<DriverState> driver;
    std::shared_ptr<PixelStore> store;
    DDPIXELFORMAT format;
    DWORD caps;
    DWORD zBufferDepth = 0; // Z-buffers: 16, 24 or 32
    bool primary = false;   // a primary surface or a member of a primary's flip chain
    bool windowed = false;  // a primary showing the desktop (normal cooperative level)
    bool videoMemory = false;
};

class Surface final : public IDirectDrawSurface, public RefCount {
  public:
    explicit Surface(SurfaceSetup setup);
    ~Surface() override;

    HRESULT QueryInterface(REFIID iid, void** out) override;
    HOST_REFCOUNTED

    HRESULT AddAttachedSurface(IDirectDrawSurface* zbuffer) override;
    HRESULT Blt(LPCRECT destRect, IDirectDrawSurface* source, LPCRECT sourceRect, DWORD flags,
                LPDDBLTFX fx) override;
    HRESULT BltFast(DWORD x, DWORD y, IDirectDrawSurface* source, LPCRECT sourceRect, DWORD flags) override;
    HRESULT Flip(IDirectDrawSurface* target, DWORD flags) override;
    HRESULT GetAttachedSurface(LPDDSCAPS caps, IDirectDrawSurface** attached) override;
    HRESULT GetCaps(LPDDSCAPS caps) override;
    HRESULT GetColorKey(DWORD flags, LPDDCOLORKEY key) override;
    HRESULT GetDC(HDC* dc) override;
    HRESULT GetPalette(LPDIRECTDRAWPALETTE* palette) override;
    HRESULT GetSurfaceDesc(LPDDSURFACEDESC desc) override;
    HRESULT IsLost() override;
    HRESULT Lock(LPCRECT rect, LPDDSURFACEDESC desc, DWORD flags, HANDLE event) override;
    HRESULT ReleaseDC(HDC dc) override;
    HRESULT Restore() override;
    HRESULT SetClipper(LPDIRECTDRAWCLIPPER clipper) override;
    HRESULT SetColorKey(DWORD flags, LPDDCOLORKEY key) override;
    HRESULT SetPalette(LPDIRECTDRAWPALETTE palette) override;
    HRESULT Unlock(LPVOID pixels) override;

    // Makes root the root of this surface's chain; root takes over the caller's reference.
    void JoinChain(Surface* root);
    void SetColorKeyValue(DWORD low, DWORD high);
    // Takes the memory away (IsLost answers DDERR_SURFACELOST).
    void MarkLost() { lost_ = true; }
    // Primary and video-memory surfaces lose their memory when the display mode changes.
    bool LosesMemoryOnModeChange() const { return primary_ || videoMemory_; }

  private:
    enum class Access { kFree, kLocked, kDeviceContext };

    int Width() const { return store_->Width(); }
    int Height() const { return store_->Height(); }
    int BytesPerPixel() const { return store_->BytesPerPixel(); }
    bool IsChainRoot() const { return !chain_.empty() && !chainRoot_; }
    // The member after this one in its chain (the root follows the last member of a flip chain).
    Surface* NextInChain() const;
    // DD_OK when the surface can be drawn on or read now.
    HRESULT CheckUsable() const;
    void FillDesc(DDSURFACEDESC& desc) const;
    // Checks and clips the destination of a Blt: DD_OK with visible empty when nothing is drawn.
    HRESULT ClipDestination(const RECT& dest, RECT& visible) const;
    // Copies sourceRect of source onto dest, drawing only the part visible (inside dest).
    void CopyArea(const Surface& source, const RECT& sourceRect, const RECT& dest, const RECT& visible,
                  bool keyed);
    // Shows the surface after it was drawn on, if it is visible.
    void PresentIfVisible();

    std::shared_ptr<DriverState> driver_;
    std::shared_ptr<PixelStore> store_;
    DDPIXELFORMAT format_;
    DWORD caps_;
    DWORD zBufferDepth_;
    bool primary_;
    bool windowed_;
    bool videoMemory_;
    size_t videoBytes_ = 0;
    unsigned modeGeneration_;

    bool hasColorKey_ = false;
    DDCOLORKEY colorKey_ = {};
    Palette* palette_ = nullptr;
    Clipper* clipper_ = nullptr;

    Surface* chainRoot_ = nullptr; // set on chain members other than the root
    std::vector<Surface*> chain_;  // on the root: the other members in order, one reference each
    Surface* zbuffer_ = nullptr;   // attached Z-buffer, one reference

    std::atomic<bool> lost_{false};
    Access access_ = Access::kFree;
    HDC dc_ = nullptr;
    Palette* dcPalette_ = nullptr; // kept alive while the device context may read it
};

// The surface behind an interface pointer of this area, or nullptr.
Surface* SurfaceFrom(IDirectDrawSurface* surface);

// Creates the surfaces desc asks for on behalf of a DirectDraw object (see IDirectDraw::CreateSurface).
HRESULT CreateSurfaces(const std::shared_ptr<DriverState>& driver, const DDSURFACEDESC& desc,
                       IDirectDrawSurface** out);

} // namespace host_ddraw

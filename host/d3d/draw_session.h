// One draw call's hold on the surfaces it draws with: the render target, its attached Z-buffer and the
// bound texture are locked for the call (a Flip between calls swaps the pixel stores, so nothing is
// kept from one call to the next) and unlocked when the session ends.
#pragma once

#include <cstdint>
#include <optional>

#include "host/d3d/raster.h"

class HostD3DDevice;

namespace host_d3d {

class DrawSession {
  public:
    DrawSession() = default;
    DrawSession(const DrawSession&) = delete;
    DrawSession& operator=(const DrawSession&) = delete;
    ~DrawSession();

    // Locks what device draws with and prepares a rasterizer for its render states, clipped to its
    // current viewport. Fails with the target's or Z-buffer's Lock failure; a texture that cannot be
    // read is left out (drawing is then untextured).
    HRESULT Open(const HostD3DDevice& device);

    Rasterizer& Raster() { return *rasterizer_; }
    const RasterTarget& Target() const { return target_; }

  private:
    HRESULT LockTarget(const HostD3DDevice& device);
    HRESULT LockDepth(IDirectDrawSurface* surface);
    void LockTexture(D3DTEXTUREHANDLE handle);

    IDirectDrawSurface* targetSurface_ = nullptr; // locked while set
    IDirectDrawSurface* depthSurface_ = nullptr;  // a reference; locked while depthLocked_
    bool depthLocked_ = false;
    IDirectDrawSurface* textureSurface_ = nullptr; // locked while set (no reference: the handle's)
    RasterTarget target_;
    RasterTexture texture_;
    bool hasTexture_ = false;
    uint32_t palette_[256];
    std::optional<Rasterizer> rasterizer_;
};

} // namespace host_d3d

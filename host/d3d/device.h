// A 3D device rendering into one DirectDraw surface. It holds what drawing reads: the render target,
// the attached viewports and the current one, the render states and the scene bracket. Drawing itself
// (primitives through the host rasterizer) reads this state from here.
#pragma once

#include <vector>

#include "host/d3d/d3d.h"
#include "host/d3d/device_catalogue.h"
#include "host/d3d/recording.h"
#include "host/d3d/render_states.h"

class HostD3DViewport;

class HostD3DDevice final : public IDirect3DDevice, public IDirect3DDevice2, public RefCount {
  public:
    // Makes a device of kind on target (adding a reference to it): the machine must offer the kind
    // (DDERR_NO3D), target must be a 16-bit RGB surface (DDERR_INVALIDPIXELFORMAT), and the hardware
    // device cannot render into system memory (DDERR_INVALIDCAPS). DDERR_INVALIDPARAMS for a NULL
    // target or output.
    static HRESULT Create(HostD3DDeviceKind kind, IDirectDrawSurface* target, HostD3DDevice** out);

    HRESULT QueryInterface(REFIID riid, void** out) override;
    HOST_REFCOUNTED

    HRESULT GetCaps(D3DDEVICEDESC* hardware, D3DDEVICEDESC* software) override;
    HRESULT EnumTextureFormats(LPD3DENUMTEXTUREFORMATSCALLBACK callback, void* context) override;
    HRESULT AddViewport(IDirect3DViewport2* viewport) override;
    HRESULT DeleteViewport(IDirect3DViewport2* viewport) override;
    HRESULT SetCurrentViewport(IDirect3DViewport2* viewport) override;
    HRESULT GetCurrentViewport(IDirect3DViewport2** viewport) override;
    HRESULT BeginScene() override;
    HRESULT EndScene() override;
    HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override;
    HRESULT GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) override;
    HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, D3DVERTEXTYPE vertexType, LPVOID vertices, DWORD count,
                          DWORD flags) override;
    HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE type, D3DVERTEXTYPE vertexType, LPVOID vertices,
                                 DWORD vertexCount, WORD* indices, DWORD indexCount, DWORD flags) override;

    // Fills count rectangles of the target, each cut to area (a rectangle of the target): the colour
    // with colour (0xRRGGBB) for D3DCLEAR_TARGET, the Z-buffer with the farthest depth for
    // D3DCLEAR_ZBUFFER. Fails with the target's or Z-buffer's Lock failure.
    HRESULT ClearRects(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR colour, const RECT& area);

    // Recording (host/d3d/recording.h): starting drops what was recorded before.
    void SetRecording(bool on);
    const std::vector<HostD3DCall>& Recorded() const { return recorded_; }

    HostD3DDeviceKind Kind() const { return kind_; }
    IDirectDrawSurface* Target() const { return target_; }
    DWORD TargetWidth() const { return width_; }
    DWORD TargetHeight() const { return height_; }
    const HostRenderStates& RenderStates() const { return states_; }
    HostD3DViewport* CurrentViewport() const { return current_; }
    bool InScene() const { return inScene_; }

    // The host device behind an interface pointer; NULL for NULL or an object of another kind.
    static HostD3DDevice* From(IUnknown* device);

  private:
    // Appends a draw call to the recording when recording is on (indices NULL for a plain draw).
    void RecordDraw(D3DPRIMITIVETYPE type, const D3DTLVERTEX* vertices, DWORD vertexCount,
                    const WORD* indices, DWORD indexCount);
    HostD3DDevice(HostD3DDeviceKind kind, IDirectDrawSurface* target, DWORD width, DWORD height);
    ~HostD3DDevice() override;
    bool IsAttached(const HostD3DViewport* viewport) const;

    HostD3DDeviceKind kind_;
    IDirectDrawSurface* target_;
    DWORD width_;
    DWORD height_;
    HostRenderStates states_;
    std::vector<HostD3DViewport*> viewports_; // each holds a reference
    HostD3DViewport* current_ = nullptr;      // one of viewports_
    bool inScene_ = false;
    bool recording_ = false;
    std::vector<HostD3DCall> recorded_;
};

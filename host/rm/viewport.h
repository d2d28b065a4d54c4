// A retained-mode viewport: a rectangle of a device, a camera frame, the clipping planes and field, and
// the immediate-mode viewport that carries the rectangle to the device. It draws frames and picks
// visuals through the device's rasterizer.
#pragma once

#include <cstdint>
#include <vector>

#include "host/rm/d3drm.h"
#include "host/rm/render_view.h"

class HostRMDevice;
class HostRMFrame;

class HostRMViewport final : public IDirect3DRMViewport, public RefCount {
  public:
    // Makes a viewport of device at the rectangle, looking through camera (references to both are held).
    // D3DRMERR_BADVALUE for a NULL camera or a rectangle outside the device.
    static HRESULT Create(HostRMDevice* device, HostRMFrame* camera, DWORD x, DWORD y, DWORD width,
                          DWORD height, HostRMViewport** out);

    HRESULT QueryInterface(REFIID riid, void** out) override;
    HOST_REFCOUNTED

    HRESULT Configure(LONG x, LONG y, DWORD width, DWORD height) override;
    LONG GetX() override;
    LONG GetY() override;
    DWORD GetWidth() override;
    DWORD GetHeight() override;
    HRESULT SetFront(D3DVALUE front) override;
    HRESULT SetBack(D3DVALUE back) override;
    HRESULT SetField(D3DVALUE field) override;
    D3DVALUE GetFront() override;
    D3DVALUE GetBack() override;
    D3DVALUE GetField() override;
    HRESULT SetCamera(IDirect3DRMFrame* camera) override;
    HRESULT GetCamera(IDirect3DRMFrame** camera) override;
    HRESULT GetDevice(IDirect3DRMDevice** device) override;
    HRESULT GetDirect3DViewport(IDirect3DViewport** viewport) override;
    HRESULT Transform(D3DRMVECTOR4D* out, D3DVECTOR* in) override;
    HRESULT InverseTransform(D3DVECTOR* out, D3DRMVECTOR4D* in) override;
    HRESULT Clear() override;
    HRESULT Render(IDirect3DRMFrame* frame) override;
    HRESULT ForceUpdate(DWORD x1, DWORD y1, DWORD x2, DWORD y2) override;
    HRESULT Pick(LONG x, LONG y, IDirect3DRMPickedArray** picked) override;

  private:
    HostRMViewport(HostRMDevice* device, HostRMFrame* camera, IDirect3DViewport2* direct3DViewport);
    ~HostRMViewport() override;
    // How the camera sees now; false when its transform cannot be inverted.
    bool MakeView(HostRMView* view) const;
    // The frames Pick searches: the camera's scene and the frames rendered since the last Clear that
    // still exist, none inside another.
    std::vector<HostRMFrame*> PickRoots();
    // Notes a rendered frame for Pick (once), and drops frames that are gone.
    void RememberRendered(HostRMFrame* frame);
    void ForgetGoneFrames();
    // Whether the rectangle lies inside the device.
    bool Fits(int64_t x, int64_t y, DWORD width, DWORD height) const;
    // Gives the rectangle to the immediate-mode viewport (clip volume x -1..1, y -h/w..h/w, z 0..1).
    HRESULT ApplyRectangle(DWORD x, DWORD y, DWORD width, DWORD height);

    HostRMDevice* device_;
    HostRMFrame* camera_;
    IDirect3DViewport2* direct3DViewport_;
    LONG x_ = 0, y_ = 0;
    DWORD width_ = 0, height_ = 0;
    float front_ = 1.0f, back_ = 100.0f, field_ = 0.5f;
    // Serial numbers of the frames rendered since the last Clear (each once), which Pick searches
    // besides the camera's scene: an engine object's frame may be a root of its own.
    std::vector<uint64_t> rendered_;
    size_t forgetAt_ = 64;
};

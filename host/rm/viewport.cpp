#include "host/rm/viewport.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "host/d3d/device.h"
#include "host/rm/device.h"
#include "host/rm/frame.h"
#include "host/rm/render_decal.h"
#include "host/rm/render_draw.h"
#include "host/rm/render_pick.h"

HRESULT HostRMViewport::Create(HostRMDevice* device, HostRMFrame* camera, DWORD x, DWORD y, DWORD width,
                               DWORD height, HostRMViewport** out) {
    if (!out) return D3DRMERR_BADVALUE;
    *out = nullptr;
    if (!device || !camera || x > INT32_MAX || y > INT32_MAX) return D3DRMERR_BADVALUE;
    IDirect3DViewport2* direct3DViewport = nullptr;
    if (FAILED(device->Direct3D()->CreateViewport(&direct3DViewport, nullptr))) return D3DRMERR_BADALLOC;
    HostRMViewport* viewport = new HostRMViewport(device, camera, direct3DViewport);
    direct3DViewport->Release(); // the viewport holds its own reference
    HRESULT hr = viewport->Configure(static_cast<LONG>(x), static_cast<LONG>(y), width, height);
    if (FAILED(hr)) {
        viewport->Release();
        return hr;
    }
    *out = viewport;
    return D3DRM_OK;
}

HostRMViewport::HostRMViewport(HostRMDevice* device, HostRMFrame* camera,
                               IDirect3DViewport2* direct3DViewport)
    : device_(device), camera_(camera), direct3DViewport_(direct3DViewport) {
    device_->AddRef();
    camera_->AddRef();
    direct3DViewport_->AddRef();
}

HostRMViewport::~HostRMViewport() {
    direct3DViewport_->Release();
    camera_->Release();
    device_->Release();
}

HRESULT HostRMViewport::QueryInterface(REFIID riid, void** out) {
    return HostQuerySingle<IDirect3DRMViewport>(this, IID_IDirect3DRMViewport, riid, out);
}

bool HostRMViewport::Fits(int64_t x, int64_t y, DWORD width, DWORD height) const {
    return x >= 0 && y >= 0 && width > 0 && height > 0 && x + width <= device_->GetWidth() &&
           y + height <= device_->GetHeight();
}

HRESULT HostRMViewport::ApplyRectangle(DWORD x, DWORD y, DWORD width, DWORD height) {
    float aspect = static_cast<float>(height) / static_cast<float>(width);
    D3DVIEWPORT2 values{};
    values.dwSize = sizeof(values);
    values.dwX = x;
    values.dwY = y;
    values.dwWidth = width;
    values.dwHeight = height;
    values.dvClipX = -1.0f;
    values.dvClipY = aspect;
    values.dvClipWidth = 2.0f;
    values.dvClipHeight = 2.0f * aspect;
    values.dvMinZ = 0.0f;
    values.dvMaxZ = 1.0f;
    return direct3DViewport_->SetViewport2(&values);
}

HRESULT HostRMViewport::Configure(LONG x, LONG y, DWORD width, DWORD height) {
    if (!Fits(x, y, width, height)) return D3DRMERR_BADVALUE;
    if (FAILED(ApplyRectangle(static_cast<DWORD>(x), static_cast<DWORD>(y), width, height)))
        return D3DRMERR_BADVALUE;
    x_ = x;
    y_ = y;
    width_ = width;
    height_ = height;
    return D3DRM_OK;
}

LONG HostRMViewport::GetX() {
    return x_;
}
LONG HostRMViewport::GetY() {
    return y_;
}
DWORD HostRMViewport::GetWidth() {
    return width_;
}
DWORD HostRMViewport::GetHeight() {
    return height_;
}

HRESULT HostRMViewport::SetFront(D3DVALUE front) {
    if (!(front > 0.0f) || !(front < back_) || !std::isfinite(front)) return D3DRMERR_BADVALUE;
    front_ = front;
    return D3DRM_OK;
}

HRESULT HostRMViewport::SetBack(D3DVALUE back) {
    if (!(back > front_) || !std::isfinite(back)) return D3DRMERR_BADVALUE;
    back_ = back;
    return D3DRM_OK;
}

HRESULT HostRMViewport::SetField(D3DVALUE field) {
    if (!(field > 0.0f) || !std::isfinite(field)) return D3DRMERR_BADVALUE;
    field_ = field;
    return D3DRM_OK;
}

D3DVALUE HostRMViewport::GetFront() {
    return front_;
}
D3DVALUE HostRMViewport::GetBack() {
    return back_;
}
D3DVALUE HostRMViewport::GetField() {
    return field_;
}

HRESULT HostRMViewport::SetCamera(IDirect3DRMFrame* camera) {
    if (!camera) return D3DRMERR_BADVALUE;
    HostRMFrame* frame = HostRMFrame::From(camera);
    if (!frame) return D3DRMERR_BADOBJECT;
    frame->AddRef();
    camera_->Release();
    camera_ = frame;
    return D3DRM_OK;
}

HRESULT HostRMViewport::GetCamera(IDirect3DRMFrame** camera) {
    if (!camera) return D3DRMERR_BADVALUE;
    camera_->AddRef();
    *camera = camera_;
    return D3DRM_OK;
}

HRESULT HostRMViewport::GetDevice(IDirect3DRMDevice** device) {
    if (!device) return D3DRMERR_BADVALUE;
    device_->AddRef();
    *device = device_;
    return D3DRM_OK;
}

HRESULT HostRMViewport::GetDirect3DViewport(IDirect3DViewport** viewport) {
    if (!viewport) return D3DRMERR_BADVALUE;
    direct3DViewport_->AddRef();
    *viewport = direct3DViewport_;
    return D3DRM_OK;
}

bool HostRMViewport::MakeView(HostRMView* view) const {
    return HostRMView::Make(camera_->World(), x_, y_, width_, height_, front_, back_, field_, view);
}

HRESULT HostRMViewport::Transform(D3DRMVECTOR4D* out, D3DVECTOR* in) {
    if (!out || !in) return D3DRMERR_BADVALUE;
    HostRMView view;
    if (!MakeView(&view)) return D3DRMERR_BADVALUE;
    const D3DVECTOR p = HostTransformPoint(*in, view.worldToCamera);
    // (cx + x / z scale) w with w = z, written without the division so a point at z = 0 stays finite.
    const double w = p.z;
    out->x = static_cast<float>(view.centreX * w + p.x * view.scale);
    out->y = static_cast<float>(view.centreY * w - p.y * view.scale);
    out->z = static_cast<float>((w - view.front) * view.back / (view.back - view.front));
    out->w = static_cast<float>(w);
    return D3DRM_OK;
}

HRESULT HostRMViewport::InverseTransform(D3DVECTOR* out, D3DRMVECTOR4D* in) {
    if (!out || !in) return D3DRMERR_BADVALUE;
    HostRMView view;
    if (!MakeView(&view)) return D3DRMERR_BADVALUE;
    const double w = in->w;
    const D3DVECTOR p = {static_cast<float>((in->x - view.centreX * w) / view.scale),
                         static_cast<float>((view.centreY * w - in->y) / view.scale), static_cast<float>(w)};
    *out = HostTransformPoint(p, camera_->World());
    return D3DRM_OK;
}

HRESULT HostRMViewport::Clear() {
    IDirect3DDevice2* device = nullptr;
    if (FAILED(device_->GetDirect3DDevice2(&device))) return D3DRMERR_BADDEVICE;
    float rgb[3];
    camera_->Root()->SceneBackgroundRGB(rgb);
    const D3DCOLOR colour = D3DRMCreateColorRGBA(rgb[0], rgb[1], rgb[2], 1.0f);
    rendered_.clear();
    const RECT area = {x_, y_, x_ + LONG(width_), y_ + LONG(height_)};
    const D3DRECT rect = {area.left, area.top, area.right, area.bottom};
    HRESULT hr = HostD3DDevice::From(device)->ClearRects(1, &rect, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER,
                                                         colour & 0xFFFFFF, area);
    device->Release();
    return hr;
}

HRESULT HostRMViewport::Render(IDirect3DRMFrame* frame) {
    if (!frame) return D3DRMERR_BADVALUE;
    HostRMFrame* hostFrame = HostRMFrame::From(frame);
    if (!hostFrame) return D3DRMERR_BADOBJECT;
    HostRMView view;
    if (!MakeView(&view)) return D3DRMERR_BADVALUE;
    IDirect3DDevice2* device = nullptr;
    if (FAILED(device_->GetDirect3DDevice2(&device))) return D3DRMERR_BADDEVICE;

    RememberRendered(hostFrame);
    HostRMFrame* root = hostFrame->Root();
    HostRMDrawSettings settings;
    settings.linearFilter = device_->GetTextureQuality() == D3DRMTEXTURE_LINEAR;
    settings.fog = root->GetSceneFogEnable() != FALSE;
    settings.fogColour = root->GetSceneFogColor();
    root->GetSceneFogParams(&settings.fogStart, &settings.fogEnd, &settings.fogDensity);
    HRESULT result = D3DRM_OK;
    {
        HostRMStateGuard guard(device);
        HostRMDrawer drawer(device, guard, view, settings);
        HostRMWalkFrames(
            hostFrame, view.worldToCamera,
            [&](const HostRMVisualInstance& instance) {
                result = drawer.Draw(instance);
                return SUCCEEDED(result);
            },
            [&](const HostRMDecalInstance& decal) {
                result = HostRMDrawDecal(device, guard, view, decal);
                return SUCCEEDED(result);
            });
    }
    device->Release();
    return result;
}

HRESULT HostRMViewport::ForceUpdate(DWORD x1, DWORD y1, DWORD x2, DWORD y2) {
    (void)x1, (void)y1, (void)x2, (void)y2; // every Render draws at once: nothing waits to be drawn
    return D3DRM_OK;
}

void HostRMViewport::ForgetGoneFrames() {
    rendered_.erase(std::remove_if(rendered_.begin(), rendered_.end(),
                                   [](uint64_t serial) { return !HostRMFrame::FindLive(serial); }),
                    rendered_.end());
}

void HostRMViewport::RememberRendered(HostRMFrame* frame) {
    if (std::find(rendered_.begin(), rendered_.end(), frame->Serial()) != rendered_.end()) return;
    // Without Clear (the engine clears through the Direct3D viewport) the list would keep every frame
    // ever rendered; the gone ones are dropped whenever it has doubled.
    if (rendered_.size() >= forgetAt_) {
        ForgetGoneFrames();
        forgetAt_ = std::max<size_t>(64, rendered_.size() * 2);
    }
    rendered_.push_back(frame->Serial());
}

std::vector<HostRMFrame*> HostRMViewport::PickRoots() {
    ForgetGoneFrames();
    std::vector<HostRMFrame*> roots = {camera_->Root()};
    for (uint64_t serial : rendered_)
        roots.push_back(HostRMFrame::FindLive(serial));
    // A frame inside another searched subtree would be found twice.
    std::vector<HostRMFrame*> kept;
    for (HostRMFrame* frame : roots) {
        bool inside = false;
        for (HostRMFrame* other : roots)
            for (HostRMFrame* f = frame; f && !inside; f = f->Parent())
                inside = other != frame && f == other;
        if (!inside && std::find(kept.begin(), kept.end(), frame) == kept.end()) kept.push_back(frame);
    }
    return kept;
}

HRESULT HostRMViewport::Pick(LONG x, LONG y, IDirect3DRMPickedArray** picked) {
    if (!picked) return D3DRMERR_BADVALUE;
    *picked = nullptr;
    HostRMView view;
    if (!MakeView(&view)) return D3DRMERR_BADVALUE;
    std::vector<HostRMPick> picks;
    if (x >= x_ && y >= y_ && x < x_ + LONG(width_) && y < y_ + LONG(height_))
        picks = HostRMPickVisuals(PickRoots(), view, double(x), double(y));
    *picked = new HostRMPickedArray(std::move(picks));
    return D3DRM_OK;
}

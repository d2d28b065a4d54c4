#include "host/rm/viewport.h"

#include <cstdint>

#include "host/rm/device.h"
#include "host/rm/frame.h"

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
    if (!(front > 0.0f) || !(front < back_)) return D3DRMERR_BADVALUE;
    front_ = front;
    return D3DRM_OK;
}

HRESULT HostRMViewport::SetBack(D3DVALUE back) {
    if (!(back > front_)) return D3DRMERR_BADVALUE;
    back_ = back;
    return D3DRM_OK;
}

HRESULT HostRMViewport::SetField(D3DVALUE field) {
    if (!(field > 0.0f)) return D3DRMERR_BADVALUE;
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

double HostRMViewport::Scale() const {
    // The field is the half-width of the view at the front plane.
    return (static_cast<double>(width_) / 2.0) / (double{field_} / double{front_});
}

double HostRMViewport::CentreX() const {
    return static_cast<double>(x_) + static_cast<double>(width_) * 0.5;
}

double HostRMViewport::CentreY() const {
    return static_cast<double>(y_) + static_cast<double>(height_) * 0.5;
}

HRESULT HostRMViewport::Transform(D3DRMVECTOR4D* out, D3DVECTOR* in) {
    if (!out || !in) return D3DRMERR_BADVALUE;
    HostMatrix4 toCamera;
    if (!HostMatrixInvert(camera_->World(), &toCamera)) return D3DRMERR_BADVALUE;
    const D3DVECTOR p = HostTransformPoint(*in, toCamera);
    // (cx + x / z scale) w with w = z, written without the division so a point at z = 0 stays finite.
    const double w = p.z, scale = Scale();
    out->x = static_cast<float>(CentreX() * w + p.x * scale);
    out->y = static_cast<float>(CentreY() * w - p.y * scale);
    out->z = static_cast<float>((w - front_) * back_ / (double{back_} - front_));
    out->w = static_cast<float>(w);
    return D3DRM_OK;
}

HRESULT HostRMViewport::InverseTransform(D3DVECTOR* out, D3DRMVECTOR4D* in) {
    if (!out || !in) return D3DRMERR_BADVALUE;
    const double w = in->w, scale = Scale();
    const D3DVECTOR p = {static_cast<float>((in->x - CentreX() * w) / scale),
                         static_cast<float>((CentreY() * w - in->y) / scale), static_cast<float>(w)};
    *out = HostTransformPoint(p, camera_->World());
    return D3DRM_OK;
}

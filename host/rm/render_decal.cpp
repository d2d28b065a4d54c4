#include "host/rm/render_decal.h"

#include <algorithm>

#include "host/d3d/texture.h"

namespace {

// Texel size of the texture's surface; false when it cannot be read or is empty.
bool TexelSize(HostRMTexture* texture, float* width, float* height) {
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof(desc);
    if (!texture->Surface() || FAILED(texture->Surface()->GetSurfaceDesc(&desc))) return false;
    *width = float(desc.dwWidth);
    *height = float(desc.dwHeight);
    return desc.dwWidth > 0 && desc.dwHeight > 0;
}

// The device's handle for the texture's surface (0 when it has none).
D3DTEXTUREHANDLE HandleOf(IDirect3DDevice2* device, HostRMTexture* texture) {
    HostD3DTexture* side = new HostD3DTexture(texture->Surface());
    D3DTEXTUREHANDLE handle = 0;
    if (FAILED(side->GetHandle(device, &handle))) handle = 0;
    side->Release();
    return handle;
}

} // namespace

bool HostRMDecalPlace(const HostRMView& view, const HostRMDecalInstance& decal, float texelsX, float texelsY,
                      HostRMDecalRect* out) {
    const D3DVECTOR origin = {decal.world.m[3][0], decal.world.m[3][1], decal.world.m[3][2]};
    const D3DVECTOR p = HostTransformPoint(origin, view.worldToCamera);
    const double z = p.z;
    if (!(z >= view.front) || !(z <= view.back) || !(texelsX > 0.0f) || !(texelsY > 0.0f)) return false;

    D3DVALUE width = 0.0f, height = 0.0f;
    LONG originX = 0, originY = 0;
    decal.texture->GetDecalSize(&width, &height);
    decal.texture->GetDecalOrigin(&originX, &originY);
    const double perUnit = decal.texture->GetDecalScale() ? view.scale / z : 1.0;
    const double w = width * perUnit, h = height * perUnit;
    if (!(w > 0.0) || !(h > 0.0)) return false;
    const double left = view.centreX + p.x / z * view.scale - originX * w / texelsX;
    const double top = view.centreY - p.y / z * view.scale - originY * h / texelsY;

    // A screen-facing rectangle at one depth: clipping it on the screen keeps the texture linear.
    const double x0 = std::max(left, view.left), x1 = std::min(left + w, view.right);
    const double y0 = std::max(top, view.top), y1 = std::min(top + h, view.bottom);
    if (!(x0 < x1) || !(y0 < y1)) return false;
    out->left = float(x0);
    out->right = float(x1);
    out->top = float(y0);
    out->bottom = float(y1);
    out->u0 = float((x0 - left) / w);
    out->u1 = float((x1 - left) / w);
    out->v0 = float((y0 - top) / h);
    out->v1 = float((y1 - top) / h);
    out->sz = float(std::clamp((z - view.front) * view.back / ((view.back - view.front) * z), 0.0, 1.0));
    out->rhw = float(1.0 / z);
    return true;
}

HRESULT HostRMDrawDecal(IDirect3DDevice2* device, HostRMStateGuard& guard, const HostRMView& view,
                        const HostRMDecalInstance& decal) {
    float texelsX = 0.0f, texelsY = 0.0f;
    HostRMDecalRect r{};
    if (!TexelSize(decal.texture, &texelsX, &texelsY) || !HostRMDecalPlace(view, decal, texelsX, texelsY, &r))
        return D3DRM_OK;
    const D3DTEXTUREHANDLE handle = HandleOf(device, decal.texture);
    if (!handle) return D3DRM_OK;
    guard.Set(D3DRENDERSTATE_ZENABLE, decal.zbuffer ? TRUE : FALSE);
    guard.Set(D3DRENDERSTATE_ZWRITEENABLE, decal.zbuffer ? TRUE : FALSE);
    guard.Set(D3DRENDERSTATE_TEXTUREHANDLE, handle);
    guard.Set(D3DRENDERSTATE_COLORKEYENABLE, decal.texture->GetDecalTransparency() ? TRUE : FALSE);
    guard.Set(D3DRENDERSTATE_TEXTUREPERSPECTIVE, FALSE); // one depth: nothing to correct
    // White modulated by the texel: the texel's own colour. No vertex fog.
    const D3DCOLOR white = 0xFFFFFFFF, noFog = 0xFF000000;
    D3DTLVERTEX quad[4] = {{r.left, r.top, r.sz, r.rhw, white, noFog, r.u0, r.v0},
                           {r.right, r.top, r.sz, r.rhw, white, noFog, r.u1, r.v0},
                           {r.right, r.bottom, r.sz, r.rhw, white, noFog, r.u1, r.v1},
                           {r.left, r.bottom, r.sz, r.rhw, white, noFog, r.u0, r.v1}};
    return device->DrawPrimitive(D3DPT_TRIANGLEFAN, D3DVT_TLVERTEX, quad, 4, D3DDP_WAIT);
}

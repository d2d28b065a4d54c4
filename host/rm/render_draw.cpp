#include "host/rm/render_draw.h"

#include "host/d3d/texture.h"

HostRMDrawer::HostRMDrawer(IDirect3DDevice2* device, HostRMStateGuard& guard, const HostRMView& view,
                           const HostRMDrawSettings& settings)
    : device_(device), guard_(guard), view_(view) {
    // Faces are culled and clipped before they reach the device.
    guard_.Set(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE);
    guard_.Set(D3DRENDERSTATE_FILLMODE, D3DFILL_SOLID);
    guard_.Set(D3DRENDERSTATE_SHADEMODE, D3DSHADE_FLAT);
    guard_.Set(D3DRENDERSTATE_TEXTUREMAPBLEND, D3DTBLEND_MODULATE);
    guard_.Set(D3DRENDERSTATE_TEXTUREADDRESS, D3DTADDRESS_WRAP);
    const DWORD filter = settings.linearFilter ? D3DFILTER_LINEAR : D3DFILTER_NEAREST;
    guard_.Set(D3DRENDERSTATE_TEXTUREMAG, filter);
    guard_.Set(D3DRENDERSTATE_TEXTUREMIN, filter);
    guard_.Set(D3DRENDERSTATE_ALPHABLENDENABLE, FALSE);
    guard_.Set(D3DRENDERSTATE_ALPHATESTENABLE, FALSE);
    guard_.Set(D3DRENDERSTATE_SPECULARENABLE, FALSE);
    guard_.Set(D3DRENDERSTATE_ZFUNC, D3DCMP_LESSEQUAL);
    guard_.Set(D3DRENDERSTATE_FOGENABLE, settings.fog ? TRUE : FALSE);
    if (settings.fog) {
        guard_.Set(D3DRENDERSTATE_FOGCOLOR, settings.fogColour);
        guard_.Set(D3DRENDERSTATE_FOGTABLEMODE, D3DFOG_LINEAR);
        guard_.SetFloat(D3DRENDERSTATE_FOGTABLESTART, settings.fogStart);
        guard_.SetFloat(D3DRENDERSTATE_FOGTABLEEND, settings.fogEnd);
        guard_.SetFloat(D3DRENDERSTATE_FOGTABLEDENSITY, settings.fogDensity);
    }
}

D3DTEXTUREHANDLE HostRMDrawer::HandleOf(HostRMTexture* texture) const {
    if (!texture || !texture->Surface()) return 0;
    // The handle belongs to the surface, whatever its caps: a texture interface made here only reads it.
    HostD3DTexture* side = new HostD3DTexture(texture->Surface());
    D3DTEXTUREHANDLE handle = 0;
    if (FAILED(side->GetHandle(device_, &handle))) handle = 0;
    side->Release();
    return handle;
}

HRESULT HostRMDrawer::Draw(const HostRMVisualInstance& instance) {
    const HostMatrix4 toCamera = HostMatrixMultiply(instance.world, view_.worldToCamera);
    guard_.Set(D3DRENDERSTATE_ZENABLE, instance.zbuffer ? TRUE : FALSE);
    guard_.Set(D3DRENDERSTATE_ZWRITEENABLE, instance.zbuffer ? TRUE : FALSE);
    for (const HostRMGroup& group : instance.mesh->Groups()) {
        HRESULT hr = DrawGroup(group, toCamera);
        if (FAILED(hr)) return hr;
    }
    return D3DRM_OK;
}

HRESULT HostRMDrawer::DrawGroup(const HostRMGroup& group, const HostMatrix4& toCamera) {
    HostRMTexture* texture = group.texture.Get();
    D3DTEXTUREHANDLE handle = HandleOf(texture);
    guard_.Set(D3DRENDERSTATE_TEXTUREHANDLE, handle);
    guard_.Set(D3DRENDERSTATE_COLORKEYENABLE, handle && texture->GetDecalTransparency() ? TRUE : FALSE);
    guard_.Set(D3DRENDERSTATE_TEXTUREPERSPECTIVE, group.Perspective() ? TRUE : FALSE);
    HRESULT result = D3DRM_OK;
    HostRMForEachFace(group, [&](size_t first, unsigned count) {
        if (FAILED(result) || !HostRMScreenFace(view_, toCamera, group, first, count, &scratch_, &fan_))
            return;
        for (D3DTLVERTEX& v : fan_) {
            v.color = group.colour;
            v.specular = 0xFF000000; // no vertex fog
        }
        result = device_->DrawPrimitive(D3DPT_TRIANGLEFAN, D3DVT_TLVERTEX, fan_.data(), DWORD(fan_.size()),
                                        D3DDP_WAIT);
    });
    return result;
}

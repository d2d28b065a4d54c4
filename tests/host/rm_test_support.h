// What the retained-mode tests share: a fresh Retained Mode object in its second interface.
#pragma once

#include "host/rm/d3drm.h"

// A new IDirect3DRM2 (the caller releases it), or NULL when it cannot be made.
inline IDirect3DRM2* NewRetainedMode() {
    IDirect3DRM* rm = nullptr;
    IDirect3DRM2* rm2 = nullptr;
    if (Direct3DRMCreate(&rm) != D3DRM_OK) return nullptr;
    if (rm->QueryInterface(IID_IDirect3DRM2, reinterpret_cast<void**>(&rm2)) != S_OK) rm2 = nullptr;
    rm->Release();
    return rm2;
}

#include "quib/scene/textures/mip_chain.h"

#include <new>

#include "quib/platform/debug.h"
#include "quib/platform/directx.h"
#include "quib/platform/errors.h"
#include "quib/platform/interfacelog.h"
#include "quib/platform/surface_convert.h"

namespace {

// A Retained Mode texture over surface, or NULL without a Retained Mode object. false after reporting a
// failure.
bool MakeTexture(IDirectDrawSurface* surface, IDirect3DRMTexture** texture) {
    *texture = nullptr;
    if (!g_lpD3DRM2) return true;
    HRESULT hr = g_lpD3DRM2->CreateTextureFromSurface(surface, texture);
    if (FAILED(hr)) {
        REPORT_D3DRM_ERROR(hr);
        return false;
    }
    return true;
}

int BytesOf(const DDSURFACEDESC& desc) {
    return int(desc.dwWidth * desc.dwHeight * desc.ddpfPixelFormat.dwRGBBitCount / 8);
}

// A level object recording surface and texture, each with a reference of its own; NULL when memory runs
// out, the two references then given back.
MipMapChain* NewLevel(IDirectDrawSurface* surface, IDirect3DRMTexture* texture, const DDSURFACEDESC& desc) {
    MipMapChain* level = new (std::nothrow) MipMapChain();
    if (!level) {
        surface->Release();
        if (texture) texture->Release();
        return nullptr;
    }
    level->surface = surface;
    level->texture = texture;
    level->width = int(desc.dwWidth);
    level->height = int(desc.dwHeight);
    level->usage = BytesOf(desc);
    return level;
}

// Makes one reduced level of width x height from source. NULL with the failure reported.
MipMapChain* MakeReducedLevel(IDirectDrawSurface* source, int width, int height) {
    IDirectDrawSurface* surface = nullptr;
    HRESULT hr = CreateSystemTexture(width, height, nullptr, &surface);
    if (FAILED(hr)) {
        REPORT_DD_ERROR(hr);
        return nullptr;
    }
    DDCOLORKEY key = {};
    if (SUCCEEDED(source->GetColorKey(DDCKEY_SRCBLT, &key))) surface->SetColorKey(DDCKEY_SRCBLT, &key);
    IDirect3DRMTexture* texture = nullptr;
    if (!CopySurfaceScaled(g_lpDD, source, surface) || !MakeTexture(surface, &texture)) {
        surface->Release();
        return nullptr;
    }
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    surface->GetSurfaceDesc(&desc);
    return NewLevel(surface, texture, desc);
}

bool Is16Bit(IDirectDrawSurface* surface) {
    if (!surface) return false;
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    return SUCCEEDED(surface->GetSurfaceDesc(&desc)) && desc.ddpfPixelFormat.dwRGBBitCount == 16 &&
           !(desc.ddpfPixelFormat.dwFlags & DDPF_PALETTEINDEXED8);
}

// Restores surface when it is lost. false with the failure reported.
bool RestoreIfLost(IDirectDrawSurface* surface, const char* line) {
    if (!surface || surface->IsLost() != DDERR_SURFACELOST) return true;
    if (line) DebugPrintf("%s", line);
    HRESULT hr = surface->Restore();
    if (FAILED(hr)) {
        REPORT_DD_ERROR(hr);
        return false;
    }
    return true;
}

} // namespace

int MipLevelsBelow(int width) {
    int halvings = 0;
    while ((width >>= 1) >= 16)
        ++halvings;
    return halvings > 0 ? halvings - 1 : 0;
}

MipMapChain::~MipMapChain() {
    if (levels) {
        levels->DeleteAll();
        delete levels;
        levels = nullptr;
    }
    if (texture) texture->Release();
    if (surface) surface->Release();
}

int MipMapChain::Init(IDirectDrawSurface* source, IDirectDrawSurface* filterSource) {
    if (!source || levels) return 0;
    levels = new (std::nothrow) PtrArray<MipMapChain>(1);
    if (!levels) return 0;
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    HRESULT hr = source->GetSurfaceDesc(&desc);
    if (FAILED(hr)) {
        REPORT_DD_ERROR(hr);
        return 0;
    }
    source->AddRef();
    surface = source;
    if (!MakeTexture(surface, &texture)) return 0;
    surface->AddRef();
    if (texture) texture->AddRef();
    MipMapChain* top = NewLevel(surface, texture, desc);
    if (!top) return 0;
    levels->Add(top);

    if (!Is16Bit(filterSource)) return 1;
    int w = int(desc.dwWidth), h = int(desc.dwHeight);
    for (int n = MipLevelsBelow(w); n > 0; --n) {
        w /= 2;
        h /= 2;
        if (h < 1) break; // a very wide texture: the next level would have no rows
        MipMapChain* level = MakeReducedLevel(filterSource, w, h);
        if (!level) return 0;
        levels->Add(level);
    }
    return 1;
}

int MipMapChain::InitHW(IDirectDrawSurface* top) {
    if (!top || levels) return 0;
    levels = new (std::nothrow) PtrArray<MipMapChain>(1);
    if (!levels) return 0;
    top->AddRef();
    surface = top;
    if (!MakeTexture(surface, &texture)) return 0;
    IDirectDrawSurface* current = top;
    current->AddRef();
    DDSCAPS mipCaps = {DDSCAPS_TEXTURE | DDSCAPS_MIPMAP};
    int result = 1;
    for (;;) {
        DDSURFACEDESC desc = {};
        desc.dwSize = sizeof desc;
        HRESULT hr = current->GetSurfaceDesc(&desc);
        IDirect3DRMTexture* levelTexture = nullptr;
        if (FAILED(hr)) {
            REPORT_DD_ERROR(hr);
            result = 0;
            break;
        }
        if (!MakeTexture(current, &levelTexture)) {
            result = 0;
            break;
        }
        current->AddRef();
        MipMapChain* level = NewLevel(current, levelTexture, desc);
        if (!level) {
            result = 0;
            break;
        }
        levels->Add(level);
        IDirectDrawSurface* next = nullptr;
        if (FAILED(current->GetAttachedSurface(&mipCaps, &next))) break;
        current->Release();
        current = next;
    }
    ReleaseInterface(current, "InitHW(): current");
    return result;
}

int MipMapChain::Create(IDirectDrawSurface* source) {
    return g_dwTextureFilterCaps >= 9 ? InitHW(source) : Init(source, source);
}

int MipMapChain::SetDecalTransparency(int on) {
    if (!texture) return 1;
    DebugPrintf("SetDecalTransparency()...");
    HRESULT hr = texture->SetDecalTransparency(on);
    for (int i = 0; SUCCEEDED(hr) && i < LevelCount(); ++i)
        if (Level(i)->texture) hr = Level(i)->texture->SetDecalTransparency(on);
    if (FAILED(hr)) {
        REPORT_D3DRM_ERROR(hr);
        return 0;
    }
    return 1;
}

int MipMapChain::Restore() {
    if (!RestoreIfLost(surface, "MipMap Surface Lost, Restoring\n")) return 0;
    for (int i = 0; i < LevelCount(); ++i)
        if (!RestoreIfLost(Level(i)->surface, nullptr)) return 0;
    return 1;
}

#include "quib/scene/objects/scene_settings.h"

#include "host/rm/vector.h"
#include "quib/platform/directx.h"
#include "quib/platform/errors.h"
#include "quib/quib.h"
#include "quib/scene/objects/horizon.h"

int g_ShowSky = 1;
int g_BackgroundBlit = 0;
IDirectDrawSurface* g_BackgroundSurface = nullptr;
RECT g_BackgroundRect = {0, 0, 0, 0};
int g_DrawingMirrors = 0;
int g_SkidsEnabled = 0;
D3DCOLOR g_HorizonColour1 = 0;
D3DCOLOR g_HorizonColour2 = 0;

void QuibShowSky(int on) {
    g_ShowSky = on;
}

int QuibSetHorizonColor(int r1, int g1, int b1, int r2, int g2, int b2) {
    g_HorizonColour1 = D3DRMCreateColorRGBA(float(r1) / 255.0f, float(g1) / 255.0f, float(b1) / 255.0f, 1.0f);
    g_HorizonColour2 = D3DRMCreateColorRGBA(float(r2) / 255.0f, float(g2) / 255.0f, float(b2) / 255.0f, 1.0f);
    if (g_pHorizon) g_pHorizon->Update(g_HorizonColour1, g_HorizonColour2);
    return 1;
}

void QuibVPEnable(int on) {
    g_BackgroundBlit = on;
}

void QuibVPSetBackgroundParams(IDirectDrawSurface* surface, RECT& rect) {
    g_BackgroundSurface = surface;
    g_BackgroundRect = rect;
}

void QuibDrawingMirrors(int on) {
    g_DrawingMirrors = on;
}

void QuibSkidsEnable(int on) {
    g_SkidsEnabled = on;
}

int QuibAlphaBlending() {
    return int(g_dwAlphaBits);
}

int QuibSetBilinearFiltering(int on) {
    if (!g_lpD3DRMDevice2) return 0;
    HRESULT hr = g_lpD3DRMDevice2->SetTextureQuality(on ? D3DRMTEXTURE_LINEAR : D3DRMTEXTURE_NEAREST);
    if (FAILED(hr)) {
        REPORT_D3DRM_ERROR(hr);
        return 0;
    }
    if (g_lpD3DDevice2) {
        const DWORD filter = on ? D3DFILTER_LINEAR : D3DFILTER_NEAREST;
        g_lpD3DDevice2->SetRenderState(D3DRENDERSTATE_TEXTUREMIN, filter);
        g_lpD3DDevice2->SetRenderState(D3DRENDERSTATE_TEXTUREMAG, filter);
    }
    return 1;
}

int QuibAddScene(void*) {
    return 1;
}

int QuibRenderSkid() {
    return 1;
}

#include "quib/scene/viewport_state.h"

#include "quib/platform/errors.h"

ImViewportState ViewportState = {};
IDirect3DViewport2* g_ImViewport = nullptr;
float g_ProjectionFactor = 0.1f;

void set_viewport_clip(int x, int y, int width, int height, IDirect3DViewport2* viewport) {
    g_ImViewport = viewport;
    ViewportState.x = x;
    ViewportState.y = y;
    ViewportState.width = width;
    ViewportState.height = height;
    float area = float(width) * float(height);
    ViewportState.inverseArea = area != 0.0f ? 1.0f / area : 0.0f;
    set_viewport_values();
    update_viewport_scale();
}

void set_viewport_values() {
    if (!g_ImViewport) return;
    D3DVIEWPORT2 values = {};
    values.dwSize = sizeof(D3DVIEWPORT2);
    values.dwX = DWORD(ViewportState.x);
    values.dwY = DWORD(ViewportState.y);
    values.dwWidth = DWORD(ViewportState.width);
    values.dwHeight = DWORD(ViewportState.height);
    values.dvClipX = 0.0f;
    values.dvClipY = 0.0f;
    values.dvClipWidth = 1.0f;
    // In floating point: as integers 600 / 800 would be 0 and flatten the projection.
    values.dvClipHeight =
        ViewportState.width != 0 ? float(ViewportState.height) / float(ViewportState.width) : 0.0f;
    values.dvMinZ = 0.0f;
    values.dvMaxZ = 1.0f;
    HRESULT hr = g_ImViewport->SetViewport2(&values);
    if (FAILED(hr)) REPORT_D3D_ERROR(hr);
}

void update_viewport_scale() {
    ImViewportState& v = ViewportState;
    v.left = float(v.x);
    v.top = float(v.y);
    v.right = float(v.x + v.width);
    v.bottom = float(v.y + v.height);
    v.centreX = float(v.x) + float(v.width) * 0.5f;
    v.centreY = float(v.y) + float(v.height) * 0.5f;
    v.scale = float(v.width) * g_ProjectionFactor * 5.0f;
    // An empty viewport has no slopes (and must not divide by zero).
    float step = v.scale != 0.0f ? -1.0f / v.scale : 0.0f;
    v.bottomSlope = (v.bottom - v.centreY) * step;
    v.topSlope = (v.top - v.centreY) * step;
    v.leftSlope = (v.right - v.centreX) * step;
    v.rightSlope = (v.left - v.centreX) * step;
}

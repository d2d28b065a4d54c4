// The exported view settings of the immediate-mode pipeline: field of view and world-to-screen.
#include "quib/platform/directx.h"
#include "quib/platform/errors.h"
#include "quib/quib.h"
#include "quib/scene/pipeline/viewport_state.h"

int QuibSetFOV(float field) {
    if (!g_lpD3DRMViewport) return 0;
    HRESULT hr = g_lpD3DRMViewport->SetField(field);
    if (FAILED(hr)) {
        REPORT_D3DRM_ERROR(hr);
        return 0;
    }
    set_projection(field);
    return 1;
}

void QuibWorldToScreen(float& x, float& y, float& z, int& sx, int& sy) {
    const float world[3] = {x, y, z};
    float screen[4];
    project_point(world, screen);
    sx = int(screen[0]);
    sy = int(screen[1]);
}

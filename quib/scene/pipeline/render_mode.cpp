#include "quib/scene/pipeline/render_mode.h"

#include "quib/platform/errors.h"
#include "quib/scene/pipeline/viewport_state.h"

int g_LitMode = 0;

void set_specular(int lit) {
    g_LitMode = lit;
    if (!g_ImDevice) return;
    const DWORD states[3][2] = {
        {D3DRENDERSTATE_SPECULARENABLE, DWORD(lit ? TRUE : FALSE)},
        {D3DRENDERSTATE_TEXTUREMAPBLEND, DWORD(lit ? D3DTBLEND_MODULATE : D3DTBLEND_DECAL)},
        {D3DRENDERSTATE_SHADEMODE, DWORD(lit ? D3DSHADE_GOURAUD : D3DSHADE_FLAT)},
    };
    for (const auto& state : states) {
        HRESULT hr = g_ImDevice->SetRenderState(D3DRENDERSTATETYPE(state[0]), state[1]);
        if (FAILED(hr)) REPORT_D3D_ERROR(hr);
    }
}

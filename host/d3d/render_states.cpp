#include "host/d3d/render_states.h"

#include <cstring>

namespace {

DWORD FloatBits(float value) {
    DWORD bits;
    std::memcpy(&bits, &value, sizeof(bits));
    return bits;
}

bool IsKnown(D3DRENDERSTATETYPE state) {
    return state >= D3DRENDERSTATE_TEXTUREHANDLE && state < kD3DRenderStateEnd;
}

// Whether value belongs to the enumeration the state takes (states without one accept anything).
bool AcceptsValue(D3DRENDERSTATETYPE state, DWORD value) {
    switch (state) {
    case D3DRENDERSTATE_SHADEMODE: return value == D3DSHADE_FLAT || value == D3DSHADE_GOURAUD;
    case D3DRENDERSTATE_TEXTUREMAG:
    case D3DRENDERSTATE_TEXTUREMIN: return value == D3DFILTER_NEAREST || value == D3DFILTER_LINEAR;
    case D3DRENDERSTATE_TEXTUREMAPBLEND: return value == D3DTBLEND_DECAL || value == D3DTBLEND_MODULATE;
    case D3DRENDERSTATE_SRCBLEND:
    case D3DRENDERSTATE_DESTBLEND: return value >= D3DBLEND_ZERO && value <= D3DBLEND_BOTHINVSRCALPHA;
    case D3DRENDERSTATE_FOGTABLEMODE: return value == D3DFOG_NONE || value == D3DFOG_LINEAR;
    case D3DRENDERSTATE_CULLMODE: return value >= D3DCULL_NONE && value <= D3DCULL_CCW;
    case D3DRENDERSTATE_ZFUNC: return value >= D3DCMP_NEVER && value <= D3DCMP_ALWAYS;
    case D3DRENDERSTATE_TEXTUREADDRESS: return value >= D3DTADDRESS_WRAP && value <= D3DTADDRESS_CLAMP;
    case D3DRENDERSTATE_FILLMODE: return value >= D3DFILL_POINT && value <= D3DFILL_SOLID;
    default: return true;
    }
}

} // namespace

HostRenderStates::HostRenderStates() {
    std::memset(values_, 0, sizeof(values_));
    values_[D3DRENDERSTATE_TEXTUREHANDLE] = 0;
    values_[D3DRENDERSTATE_TEXTUREPERSPECTIVE] = FALSE;
    values_[D3DRENDERSTATE_ZENABLE] = FALSE;
    values_[D3DRENDERSTATE_ZWRITEENABLE] = TRUE;
    values_[D3DRENDERSTATE_SHADEMODE] = D3DSHADE_GOURAUD;
    values_[D3DRENDERSTATE_TEXTUREMAG] = D3DFILTER_NEAREST;
    values_[D3DRENDERSTATE_TEXTUREMIN] = D3DFILTER_NEAREST;
    values_[D3DRENDERSTATE_TEXTUREMAPBLEND] = D3DTBLEND_MODULATE;
    values_[D3DRENDERSTATE_SRCBLEND] = D3DBLEND_ONE;
    values_[D3DRENDERSTATE_DESTBLEND] = D3DBLEND_ZERO;
    values_[D3DRENDERSTATE_ALPHABLENDENABLE] = FALSE;
    values_[D3DRENDERSTATE_COLORKEYENABLE] = FALSE;
    values_[D3DRENDERSTATE_SPECULARENABLE] = FALSE;
    values_[D3DRENDERSTATE_FOGENABLE] = FALSE;
    values_[D3DRENDERSTATE_FOGCOLOR] = 0;
    values_[D3DRENDERSTATE_FOGTABLEMODE] = D3DFOG_NONE;
    values_[D3DRENDERSTATE_FOGTABLESTART] = FloatBits(0.0f);
    values_[D3DRENDERSTATE_FOGTABLEEND] = FloatBits(1.0f);
    values_[D3DRENDERSTATE_FOGTABLEDENSITY] = FloatBits(1.0f);
    values_[D3DRENDERSTATE_CULLMODE] = D3DCULL_CCW;
    values_[D3DRENDERSTATE_ZFUNC] = D3DCMP_LESSEQUAL;
    values_[D3DRENDERSTATE_TEXTUREADDRESS] = D3DTADDRESS_WRAP;
    values_[D3DRENDERSTATE_LASTPIXEL] = TRUE;
    values_[D3DRENDERSTATE_FILLMODE] = D3DFILL_SOLID;
    values_[D3DRENDERSTATE_ALPHATESTENABLE] = FALSE;
    values_[D3DRENDERSTATE_DITHERENABLE] = FALSE;
}

HRESULT HostRenderStates::Set(D3DRENDERSTATETYPE state, DWORD value) {
    if (!IsKnown(state) || !AcceptsValue(state, value)) return DDERR_INVALIDPARAMS;
    values_[state] = value;
    return D3D_OK;
}

float HostRenderStates::FloatValue(D3DRENDERSTATETYPE state) const {
    float value;
    std::memcpy(&value, &values_[state], sizeof(value));
    return value;
}

HRESULT HostRenderStates::Get(D3DRENDERSTATETYPE state, DWORD* value) const {
    if (!IsKnown(state) || !value) return DDERR_INVALIDPARAMS;
    *value = values_[state];
    return D3D_OK;
}

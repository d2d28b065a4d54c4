// Lines and points drawn as single pre-transformed primitives. Each vertex is built whole on the stack
// (texture coordinates 0, specular 0), so a bound texture samples a defined texel rather than garbage.
#include "quib/scene/pipeline/primitive.h"

#include <initializer_list>
#include <utility>

#include "quib/platform/directx.h"
#include "quib/platform/errors.h"
#include "quib/scene/pipeline/viewport_state.h"
#include "quib/scene/textures/texture_cache.h"

namespace {

constexpr DWORD kDrawFlags = D3DDP_WAIT | D3DDP_DONOTUPDATEEXTENTS;
// Depth, also used as 1/w, of the screen-space forms.
constexpr float kScreenLineDepth = 0.1f;
constexpr float kScreenDotDepth = 1.0f;

int g_AlphaState = kPrimitiveAlphaAtStart;
int g_TextureState = kPrimitiveTextureAtStart;

// The device, or NULL with the reason registered.
IDirect3DDevice2* device_or_report() {
    if (!g_lpD3DDevice2) RegError("primitive : no Direct3D device");
    return g_lpD3DDevice2;
}

// Sets one state; false with the error reported when the device refuses it.
bool set_state(IDirect3DDevice2* device, D3DRENDERSTATETYPE state, DWORD value) {
    HRESULT hr = device->SetRenderState(state, value);
    if (FAILED(hr)) {
        REPORT_D3D_ERROR(hr);
        return false;
    }
    return true;
}

// Sets the states in order, stopping at the first refused one.
bool set_states(IDirect3DDevice2* device,
                std::initializer_list<std::pair<D3DRENDERSTATETYPE, DWORD>> states) {
    for (const auto& [state, value] : states)
        if (!set_state(device, state, value)) return false;
    return true;
}

D3DTLVERTEX make_vertex(float sx, float sy, float sz, float rhw, unsigned long colour) {
    D3DTLVERTEX v{};
    v.sx = sx;
    v.sy = sy;
    v.sz = sz;
    v.rhw = rhw;
    v.color = D3DCOLOR(colour);
    v.specular = 0;
    v.tu = 0.0f;
    v.tv = 0.0f;
    return v;
}

D3DTLVERTEX project_vertex(const D3DVECTOR& p, unsigned long colour) {
    const float world[3] = {p.x, p.y, p.z};
    float screen[4];
    project_point(world, screen);
    return make_vertex(screen[0], screen[1], screen[2], screen[3], colour);
}

// One draw of count vertices; 1, or 0 with the error reported.
int draw(IDirect3DDevice2* device, D3DPRIMITIVETYPE type, D3DTLVERTEX* vertices, DWORD count) {
    HRESULT hr = device->DrawPrimitive(type, D3DVT_TLVERTEX, vertices, count, kDrawFlags);
    if (FAILED(hr)) {
        REPORT_D3D_ERROR(hr);
        return 0;
    }
    return 1;
}

} // namespace

void primitive_reset_states() {
    g_AlphaState = kPrimitiveAlphaAtStart;
    g_TextureState = kPrimitiveTextureAtStart;
}

int primitive_alpha_state() {
    return g_AlphaState;
}

int primitive_texture_state() {
    return g_TextureState;
}

int d3dUseAlpha(int on) {
    if (on == g_AlphaState) return 1;
    IDirect3DDevice2* device = device_or_report();
    if (!device) return 0;
    g_AlphaState = on;
    bool done = on ? set_states(device, {{D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA},
                                         {D3DRENDERSTATE_DESTBLEND, D3DBLEND_INVSRCALPHA},
                                         {D3DRENDERSTATE_ALPHABLENDENABLE, TRUE}})
                   : set_states(device, {{D3DRENDERSTATE_ALPHABLENDENABLE, FALSE},
                                         {D3DRENDERSTATE_SRCBLEND, D3DBLEND_ONE},
                                         {D3DRENDERSTATE_DESTBLEND, D3DBLEND_ZERO}});
    return done ? 1 : 0;
}

int d3dUseTexture(int on) {
    // Off also acts when the drawing code bound a texture since the last switch: the remembered state
    // alone would leave that texture on the device.
    bool unchanged = on == g_TextureState && (on != 0 || !g_CurrentTexture);
    if (unchanged) return 1;
    IDirect3DDevice2* device = device_or_report();
    if (!device) return 0;
    g_TextureState = on;
    if (on)
        return set_states(device, {{D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA},
                                   {D3DRENDERSTATE_DESTBLEND, D3DBLEND_INVSRCALPHA}})
                   ? 1
                   : 0;
    // The device holds no texture from here on: the drawing code must bind its texture again.
    g_CurrentTexture = nullptr;
    return set_state(device, D3DRENDERSTATE_TEXTUREHANDLE, 0) ? 1 : 0;
}

int d3dDrawLine(const D3DVECTOR& a, const D3DVECTOR& b, unsigned long colour) {
    IDirect3DDevice2* device = device_or_report();
    if (!device) return 0;
    D3DTLVERTEX line[2] = {project_vertex(a, colour), project_vertex(b, colour)};
    if (!d3dUseTexture(0)) return 0;
    if (!draw(device, D3DPT_LINELIST, line, 2)) return 0;
    return d3dUseTexture(1);
}

int d3dDrawDot(const D3DVECTOR& p, unsigned long colour) {
    IDirect3DDevice2* device = device_or_report();
    if (!device) return 0;
    D3DTLVERTEX dot = project_vertex(p, colour);
    return draw(device, D3DPT_POINTLIST, &dot, 1);
}

int d3dDrawLine(int x1, int y1, int x2, int y2, unsigned long colour) {
    IDirect3DDevice2* device = device_or_report();
    if (!device) return 0;
    D3DTLVERTEX line[2] = {make_vertex(float(x1), float(y1), kScreenLineDepth, kScreenLineDepth, colour),
                           make_vertex(float(x2), float(y2), kScreenLineDepth, kScreenLineDepth, colour)};
    return draw(device, D3DPT_LINELIST, line, 2);
}

int d3dDrawDot(int x, int y, unsigned long colour) {
    IDirect3DDevice2* device = device_or_report();
    if (!device) return 0;
    D3DTLVERTEX dot = make_vertex(float(x), float(y), kScreenDotDepth, kScreenDotDepth, colour);
    return draw(device, D3DPT_POINTLIST, &dot, 1);
}

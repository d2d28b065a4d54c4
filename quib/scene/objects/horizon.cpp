#include "quib/scene/objects/horizon.h"

#include "quib/platform/directx.h"
#include "quib/platform/errors.h"
#include "quib/scene/objects/render_types.h"
#include "quib/scene/pipeline/ground_quad.h"
#include "quib/scene/pipeline/scene_fog.h"

Horizon* g_pHorizon = nullptr;

namespace {

// The viewport clears to colour 1 unless background objects are shown without fog.
bool ClearsToFirstColour(int skyFlag, int fogFlag) {
    return skyFlag == 0 || fogFlag != 0;
}

} // namespace

Horizon::~Horizon() {
    if (m_material) m_material->Release();
    m_material = nullptr;
}

int Horizon::Init(D3DCOLOR c1, D3DCOLOR c2, float distance) {
    m_farDistance = distance;
    return Update(c1, c2);
}

int Horizon::Update(D3DCOLOR c1, D3DCOLOR c2) {
    if (c1 == m_colour1 && c2 == m_colour2 && g_SkyTypeEnabled == m_skyFlag && g_FogEnabled == m_fogFlag)
        return 1;
    if (!g_lpD3DRMViewport || !g_lpD3D2) return 0;
    if (m_material) m_material->Release();
    m_material = nullptr;
    m_skyFlag = g_SkyTypeEnabled;
    m_fogFlag = g_FogEnabled;
    m_colour2 = c2;
    m_colour1 = c1;

    // Failures of the material calls leave the background as it was; the frame goes on.
    if (FAILED(g_lpD3D2->CreateMaterial(&m_material, nullptr)) || !m_material) return 1;
    const D3DCOLOR chosen = ClearsToFirstColour(m_skyFlag, m_fogFlag) ? c1 : c2;
    D3DMATERIAL description{};
    description.dwSize = sizeof description;
    description.diffuse.r = float((chosen >> 16) & 0xFF) / 255.0f;
    description.diffuse.g = float((chosen >> 8) & 0xFF) / 255.0f;
    description.diffuse.b = float(chosen & 0xFF) / 255.0f;
    description.dwRampSize = 1;

    IDirect3DViewport* viewport = nullptr;
    HRESULT hr = g_lpD3DRMViewport->GetDirect3DViewport(&viewport);
    if (FAILED(hr) || !viewport) {
        REPORT_D3DRM_ERROR(hr);
        return 0;
    }
    D3DMATERIALHANDLE handle = 0;
    m_material->SetMaterial(&description);
    m_material->GetHandle(g_lpD3DDevice2, &handle);
    viewport->SetBackground(handle);
    viewport->Release();
    return 1;
}

int Horizon::Draw() {
    if (ClearsToFirstColour(m_skyFlag, m_fogFlag)) draw_background_quad(m_farDistance, m_colour2 & 0xFFFFFF);
    return 1;
}

void FreeHorizon() {
    delete g_pHorizon;
    g_pHorizon = nullptr;
}

#include "quib/scene/pipeline/set_texture.h"

#include "quib/platform/errors.h"
#include "quib/scene/mesh/dp_material.h"
#include "quib/scene/pipeline/viewport_state.h"
#include "quib/scene/textures/surface_table.h"
#include "quib/scene/textures/texture_cache.h"

namespace {

void set_texture_handle(D3DTEXTUREHANDLE handle) {
    if (!g_ImDevice) return;
    HRESULT hr = g_ImDevice->SetRenderState(D3DRENDERSTATE_TEXTUREHANDLE, handle);
    if (FAILED(hr)) REPORT_D3D_ERROR(hr);
}

} // namespace

bool material_has_surface(const DPMaterial* material) {
    return material && material->texture && material->texture->m_surface;
}

int set_texture(DPMaterial* material) {
    SurfaceTableEntry* entry = material ? material->texture : nullptr;
    if (!material && !g_CurrentTexture) return 0;
    if (material && entry == g_CurrentTexture) return 0;
    g_CurrentTexture = entry;
    set_texture_handle(entry ? texcache_lookup(entry) : 0);
    return 0;
}

int set_texture_sprite(DPMaterial* material) {
    return set_texture(material);
}

#include "quib/scene/pipeline/draw_billboard.h"

#include <algorithm>

#include "quib/platform/errors.h"
#include "quib/scene/mesh/dp_material.h"
#include "quib/scene/pipeline/set_texture.h"
#include "quib/scene/pipeline/tl_vertex.h"
#include "quib/scene/textures/surface_table.h"

namespace {

constexpr float kNoAreaLimit = -1.0f;

// Texel size of the material's surface; false when it has none.
bool texture_size(const DPMaterial* material, float& width, float& height) {
    if (!material_has_surface(material)) return false;
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    if (FAILED(material->texture->m_surface->GetSurfaceDesc(&desc))) return false;
    width = float(desc.dwWidth);
    height = float(desc.dwHeight);
    return width > 0.0f && height > 0.0f;
}

} // namespace

float draw_billboard(const float point[3], float width, float height, float anchor_x, float anchor_y,
                     DPMaterial* material, float area_limit, unsigned long colour, unsigned long specular) {
    float camera[3];
    apply_transform(g_ViewMatrix, point, camera);
    if (!(camera[2] < g_FarClip) || !(camera[2] > kNearPlane)) return 0.0f;
    float texelsX, texelsY;
    if (!texture_size(material, texelsX, texelsY)) return 0.0f;

    const ImViewportState& vp = ViewportState;
    const float rhw = 1.0f / camera[2];
    const float w = vp.scale * rhw * width, h = vp.scale * rhw * height;
    if (!(w > 0.0f) || !(h > 0.0f)) return 0.0f;
    const float left = vp.centreX + vp.scale * rhw * camera[0] - anchor_x / texelsX * w;
    const float top = vp.centreY - vp.scale * rhw * camera[1] - anchor_y / texelsY * h;
    const float right = left + w, bottom = top + h;
    if (bottom <= vp.top || top >= vp.bottom || left >= vp.right || right <= vp.left) return 0.0f;

    const float x0 = std::max(left, vp.left), x1 = std::min(right, vp.right);
    const float y0 = std::max(top, vp.top), y1 = std::min(bottom, vp.bottom);
    const float u0 = (x0 - left) / w, u1 = (x1 - left) / w;
    const float v0 = (y0 - top) / h, v1 = (y1 - top) / h;
    const float sz = 1.0f - kDepthConstant * rhw;
    const D3DCOLOR c = D3DCOLOR(colour), s = D3DCOLOR(specular);
    D3DTLVERTEX quad[4] = {{x0, y0, sz, rhw, c, s, u0, v0},
                           {x1, y0, sz, rhw, c, s, u1, v0},
                           {x1, y1, sz, rhw, c, s, u1, v1},
                           {x0, y1, sz, rhw, c, s, u0, v1}};
    set_texture(material);

    const float area = (x1 - x0) * (y1 - y0) * vp.inverseArea;
    if (area_limit != kNoAreaLimit && !(area <= area_limit)) return 0.0f;
    if (g_ImDevice) {
        HRESULT hr =
            g_ImDevice->DrawPrimitive(D3DPT_TRIANGLEFAN, D3DVT_TLVERTEX, quad, 4, D3DDP_DONOTUPDATEEXTENTS);
        if (FAILED(hr)) REPORT_D3D_ERROR(hr);
    }
    return area;
}

#include "quib/scene/pipeline/draw_submesh.h"

#include <bit>
#include <cstring>

#include "quib/platform/errors.h"
#include "quib/scene/frames/scene3d_state.h"
#include "quib/scene/mesh/dp_sub_mesh.h"
#include "quib/scene/pipeline/lighting.h"
#include "quib/scene/pipeline/render_mode.h"
#include "quib/scene/pipeline/scene_fog.h"
#include "quib/scene/pipeline/set_texture.h"
#include "quib/scene/pipeline/triangle_list.h"

D3DTLVERTEX g_VertexBuffer[kMaxDrawVertices];
WORD g_IndexBuffer[kMaxDrawTriangles * 3];
uint8_t g_ClipCodes[kMaxDrawVertices];
float g_FarClip = kGroundFarClip;

namespace {

// Beyond this a far distance stands as it is while fog is off.
constexpr float kUnfoggedFarLimit = 9000.0f;

// first applied, then second.
PipelineMatrix compose(const PipelineMatrix& first, const PipelineMatrix& second) {
    float m[16] = {};
    for (int row = 0; row < 3; ++row)
        std::memcpy(m + row * 4, first.r[row], sizeof first.r[row]);
    std::memcpy(m + 12, first.t, sizeof first.t);
    PipelineMatrix out;
    multiply_transform(out, second, m);
    return out;
}

// Whether transform is exactly the identity (bit patterns: -0.0 is not 0): the sub-mesh is then in world
// space already. Only the 3x3 and the translation row are looked at.
bool is_world_space(const float transform[16]) {
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 3; ++col) {
            const float expected = row == col ? 1.0f : 0.0f;
            if (std::bit_cast<uint32_t>(transform[row * 4 + col]) != std::bit_cast<uint32_t>(expected))
                return false;
        }
    return true;
}

// Whether the sphere (world centre c, radius r) reaches inside all five planes of the view volume.
bool sphere_in_view(const float c[3], float r) {
    for (const ViewPlane& p : g_FrustumPlanes)
        if (p.nx * c[0] + p.ny * c[1] + p.nz * c[2] + p.d + r < 0.0f) return false;
    return true;
}

float far_clip_for(float far_distance) {
    if (far_distance >= kUnfoggedFarLimit && !g_FogEnabled) return far_distance;
    return far_distance < g_FogEnd ? far_distance : g_FogEnd;
}

// The OR of the clip codes of the eight box corners, or -1 when their AND is non-zero (all outside one
// plane).
int box_codes(const DPSubMesh& sub, const PipelineMatrix& to_camera) {
    const float* e = sub.extents;
    const float kx = view_slope_x(), ky = view_slope_y();
    uint8_t all = 0xFF, any = 0;
    for (int corner = 0; corner < 8; ++corner) {
        const float p[3] = {e[corner & 1 ? 1 : 0], e[corner & 2 ? 3 : 2], e[corner & 4 ? 5 : 4]};
        float camera[3];
        apply_transform(to_camera, p, camera);
        uint8_t code = box_clip_code(camera, kx, ky);
        all &= code;
        any |= code;
    }
    return all ? -1 : any;
}

// Every vertex gets the draw's colour and no specular light.
struct FlatShade {
    D3DCOLOR colour;
    void operator()(const DPVertex&, D3DTLVERTEX& out) const {
        out.color = colour;
        out.specular = kNoSpecular;
    }
};

} // namespace

bool submesh_fits_buffers(const DPSubMesh& sub) {
    return sub.vertexCount <= kMaxDrawVertices && sub.triangleCount <= kMaxDrawTriangles;
}

void count_submesh_statistics(const DPSubMesh& sub) {
    g_RenderStats.vertices += sub.vertexCount;
    g_RenderStats.polygons += sub.triangleCount;
    g_RenderStats.objects += 1;
}

void draw_triangle_batch(const TriangleBatch& batch) {
    if (!g_ImDevice || batch.indices == 0) return;
    HRESULT hr = g_ImDevice->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, D3DVT_TLVERTEX, g_VertexBuffer,
                                                  DWORD(batch.vertices), g_IndexBuffer, DWORD(batch.indices),
                                                  D3DDP_DONOTUPDATEEXTENTS);
    if (FAILED(hr)) REPORT_D3D_ERROR(hr);
}

int render_submesh(DPSubMesh* sub, DPMaterial* material, const float transform[16], const float parent[16],
                   int use_parent, float far_distance, float /*extra*/, int flag, int lighting_mask) {
    if (!sub || !material || !transform) return 0;

    // Object to world and camera, and the bounding-sphere test in world space.
    PipelineMatrix to_world;
    PipelineMatrix to_camera;
    if (!use_parent && is_world_space(transform)) {
        if (!sphere_in_view(sub->centre, sub->radius)) return 1;
        to_world = pipeline_matrix_from_4x4(transform);
        to_camera = g_ViewMatrix;
    } else {
        to_world = pipeline_matrix_from_4x4(transform);
        if (use_parent && parent) multiply_transform(to_world, pipeline_matrix_from_4x4(parent), transform);
        float centre[3];
        apply_transform(to_world, sub->centre, centre);
        if (!sphere_in_view(centre, sub->radius)) return 1;
        to_camera = compose(to_world, g_ViewMatrix);
    }

    g_FarClip = far_clip_for(far_distance);
    const int codes = box_codes(*sub, to_camera);
    if (codes < 0) return 1;
    // More than the buffers hold is refused whole rather than drawn in part.
    if (!submesh_fits_buffers(*sub)) return 1;

    if (g_LightsEnabled & lighting_mask)
        return light_vertices(sub, material, to_world, flag, to_camera, uint8_t(codes));

    count_submesh_statistics(*sub);
    const D3DCOLOR colour = material_has_surface(material) ? 0xFFFFFFFFu : D3DCOLOR(material->colour);
    TriangleBatch batch;
    if (codes == 0) {
        transform_vertices<false>(*sub, to_camera, FlatShade{colour});
        if (collect_unclipped(*sub, batch) == 0) return 0;
    } else {
        transform_vertices<true>(*sub, to_camera, FlatShade{colour});
        if (collect_clipped(*sub, to_camera, PlainClipEmit{colour}, batch) == 0) return 1;
    }
    set_texture(material);
    if (g_LitMode) set_specular(0);
    draw_triangle_batch(batch);
    return 0;
}

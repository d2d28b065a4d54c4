#include "quib/scene/pipeline/lighting.h"

#include <cmath>

#include "quib/scene/mesh/dp_material.h"
#include "quib/scene/mesh/dp_sub_mesh.h"
#include "quib/scene/pipeline/light_grid.h"
#include "quib/scene/pipeline/render_mode.h"
#include "quib/scene/pipeline/set_texture.h"
#include "quib/scene/pipeline/triangle_list.h"

int g_LightsEnabled = 0;
float g_Ambient = kDefaultAmbient;
D3DCOLOR g_AmbientColour = 0;

namespace {

constexpr float kDefaultSetupAmbient = 0.1f;

// A light reduced for one sub-mesh: object-space direction and half vector, and the factors that turn
// their dot products with a vertex normal into light (both at most 0: normals facing the light are
// negative along the direction from the light).
struct PreparedLight {
    float direction[3];
    float half[3];
    float diffuse;
    float specular;
};

D3DCOLOR grey(int level) {
    const DWORD b = DWORD(level);
    return b | (b << 8) | (b << 16);
}

// round(256 x value) as a colour byte; values beyond the byte saturate at 255.
int colour_byte(float value) {
    const float scaled = 256.0f * value;
    if (!(scaled > 0.0f)) return 0;
    if (!(scaled < 255.5f)) return 255;
    return int(std::lround(scaled));
}

float dot3(const float a[3], const float b[3]) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

// v / |v|, or zero for a zero (or non-finite) length.
void normalise(float v[3]) {
    const float length = std::sqrt(dot3(v, v));
    const float scale = length > 0.0f && std::isfinite(length) ? 1.0f / length : 0.0f;
    for (int k = 0; k < 3; ++k)
        v[k] *= scale;
}

// The world vector w in the object space of to_world (its components along the three rows).
void to_object(const PipelineMatrix& to_world, const float w[3], float out[3]) {
    for (int k = 0; k < 3; ++k)
        out[k] = dot3(w, to_world.r[k]);
}

PreparedLight prepare_light(const LightEntry& light, const PipelineMatrix& to_world) {
    const float* position = to_world.t;
    float d[3] = {position[0] - light.x, position[1] - light.y, position[2] - light.z};
    float attenuation = 1.0f - (d[0] * d[0] + d[2] * d[2]) / light.radius2;
    if (!(attenuation > 0.0f)) attenuation = 0.0f;
    PreparedLight out;
    out.diffuse =
        std::fmax(-kMaxAmbient, std::fmin(0.0f, -(1.0f - g_Ambient) * attenuation * light.strength));
    out.specular = std::fmin(0.0f, -attenuation * light.strength);
    normalise(d);
    to_object(to_world, d, out.direction);
    float eye[3] = {position[0] - g_CameraPosition[0], position[1] - g_CameraPosition[1],
                    position[2] - g_CameraPosition[2]};
    normalise(eye);
    const float halfWorld[3] = {d[0] + eye[0], d[1] + eye[1], d[2] + eye[2]};
    to_object(to_world, halfWorld, out.half);
    normalise(out.half);
    return out;
}

// Vertex colours from Lights prepared lights: the strongest diffuse term over the ambient level (grey,
// for textured materials; the material's colour otherwise) and the strongest specular term to the 16th
// power. Without lights: the ambient colour only, textured or not, and no specular.
template <int Lights> struct LitShade {
    const PreparedLight* lights;
    bool textured;
    D3DCOLOR materialColour;

    void operator()(const DPVertex& v, D3DTLVERTEX& out) const {
        if constexpr (Lights == 0) {
            out.color = g_AmbientColour;
            out.specular = kNoSpecular;
        } else {
            const float normal[3] = {v.nx, v.ny, v.nz};
            float diffuse = dot3(lights[0].direction, normal) * lights[0].diffuse;
            float specular = dot3(lights[0].half, normal) * lights[0].specular;
            for (int i = 1; i < Lights; ++i) {
                diffuse = std::fmax(diffuse, dot3(lights[i].direction, normal) * lights[i].diffuse);
                specular = std::fmax(specular, dot3(lights[i].half, normal) * lights[i].specular);
            }
            const float intensity = diffuse > 0.0f ? g_Ambient + diffuse : g_Ambient;
            out.color = textured ? grey(colour_byte(intensity)) : materialColour;
            float s16 = 0.0f;
            if (specular > 0.0f) {
                const float s2 = specular * specular, s4 = s2 * s2, s8 = s4 * s4;
                s16 = s8 * s8;
            }
            out.specular = kNoSpecular | grey(colour_byte(s16));
        }
    }
};

// Lit clip vertices carry the corners' diffuse and specular bytes; clip-made vertices are grey from them
// when the corners are grey, else they keep the material's colour as all the corners have it (an
// untextured material under lights).
struct LitClipEmit {
    using Vertex = LitClipVertex;
    bool greyCorners;
    D3DCOLOR materialColour;

    static LitClipVertex* restart_ring() { return g_LitClipPool.restart(3); }
    static LitClipVertex* clip(LitClipVertex* ring) { return clip_polygon_lit(ring); }
    void load_corner(LitClipVertex& v, const D3DTLVERTEX& tl) const {
        v.diffuse = float(tl.color & 0xFF);
        v.specular = float(tl.specular & 0xFF);
    }
    void shade(const LitClipVertex& v, D3DTLVERTEX& out) const {
        out.color = greyCorners ? grey(colour_byte(v.diffuse / 256.0f)) : materialColour;
        out.specular = kNoSpecular | grey(colour_byte(v.specular / 256.0f));
    }
};

// The lit vertex transformers: one per light count, each with and without clip codes.
template <int Lights>
void transform_lit(const DPSubMesh& sub, const PipelineMatrix& to_camera, bool with_codes,
                   const LitShade<Lights>& shade) {
    if (with_codes)
        transform_vertices<true>(sub, to_camera, shade);
    else
        transform_vertices<false>(sub, to_camera, shade);
}

void transform_with_lights(const DPSubMesh& sub, const PipelineMatrix& to_camera, bool with_codes, int count,
                           const PreparedLight* lights, bool textured, D3DCOLOR colour) {
    switch (count) {
    case 0: transform_lit<0>(sub, to_camera, with_codes, {lights, textured, colour}); break;
    case 1: transform_lit<1>(sub, to_camera, with_codes, {lights, textured, colour}); break;
    case 2: transform_lit<2>(sub, to_camera, with_codes, {lights, textured, colour}); break;
    default: transform_lit<3>(sub, to_camera, with_codes, {lights, textured, colour}); break;
    }
}

} // namespace

void setup_all_lights(const point_light_incoming* lights, int count, float ambient) {
    g_Ambient = ambient >= kMaxAmbient ? kMaxAmbient : (ambient > 0.0f ? ambient : 0.0f);
    g_AmbientColour = grey(colour_byte(g_Ambient));
    build_light_grid(lights, count);
}

void setup_all_lights(const point_light_incoming* lights, int count) {
    setup_all_lights(lights, count, kDefaultSetupAmbient);
}

int light_vertices(DPSubMesh* sub, DPMaterial* material, const PipelineMatrix& object_to_world, int /*flag*/,
                   const PipelineMatrix& object_to_camera, uint8_t box_codes) {
    if (!sub || !material || !submesh_fits_buffers(*sub)) return 1;
    const LightEntry* chosen[kMaxLightsPerSubMesh];
    const int count = choose_nearest_lights(object_to_world.t, chosen);
    const bool textured = material_has_surface(material);
    const D3DCOLOR colour = D3DCOLOR(material->colour);
    count_submesh_statistics(*sub);

    PreparedLight prepared[kMaxLightsPerSubMesh];
    for (int i = 0; i < count; ++i)
        prepared[i] = prepare_light(*chosen[i], object_to_world);
    transform_with_lights(*sub, object_to_camera, box_codes != 0, count, prepared, textured, colour);

    TriangleBatch batch;
    // Textured corners are grey, and so is every corner that no light reaches (the ambient colour).
    const bool greyCorners = textured || count == 0;
    const int kept = box_codes == 0
                         ? collect_unclipped(*sub, batch)
                         : collect_clipped(*sub, object_to_camera, LitClipEmit{greyCorners, colour}, batch);
    if (kept == 0) return 1;
    set_texture(material);
    if (!g_LitMode) set_specular(1);
    draw_triangle_batch(batch);
    return 0;
}

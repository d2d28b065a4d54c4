// Per-vertex lighting of the immediate-mode pipeline: point lights in a table indexed by a 16 x 16 grid
// over x and z; each lit sub-mesh takes the (up to) three nearest lights of its cell, reduced to one
// direction and one half vector each, and gets grey diffuse and specular vertex colours.
#pragma once

#include <cstdint>

#include "host/d3d/d3d.h"
#include "quib/point_light.h"

class DPSubMesh;
struct DPMaterial;
struct PipelineMatrix;

constexpr int kLightGridSize = 16;
constexpr int kMaxLightsPerSubMesh = 3;
constexpr float kMaxAmbient = 0.99609375f;
constexpr float kDefaultAmbient = 0.25f;

// The lights mask: a draw is lit when its lighting mask AND this is non-zero.
extern int g_LightsEnabled;
// Ambient level, 0..kMaxAmbient.
extern float g_Ambient;
// Grey ambient colour (each colour byte round(256 x g_Ambient), alpha 0); 0 before the first set-up.
extern D3DCOLOR g_AmbientColour;

// Replaces the light table and grid by count lights and sets the ambient level (clamped to
// 0..kMaxAmbient). count <= 0 or null lights leave an empty table.
void setup_all_lights(const point_light_incoming* lights, int count, float ambient);
// The same with ambient 0.1.
void setup_all_lights(const point_light_incoming* lights, int count);

// The lit path of render_submesh: lights, transforms, culls, clips and draws sub with the nearest lights
// of its grid cell. box_codes is the OR of the box corners' clip codes (non-zero: clip codes are needed);
// flag is not used. 1 when no triangle is left to draw, 0 after drawing.
int light_vertices(DPSubMesh* sub, DPMaterial* material, const PipelineMatrix& object_to_world, int flag,
                   const PipelineMatrix& object_to_camera, uint8_t box_codes);

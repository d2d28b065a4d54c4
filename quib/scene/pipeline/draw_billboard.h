// Camera-facing textured quads (the smoke effect's puffs), drawn in screen space.
#pragma once

struct DPMaterial;

// Draws material's texture as a width x height (world units) quad facing the camera at the world point,
// its texel (anchor_x, anchor_y) on the point, clipped to the viewport, with colour and specular. Drawn
// when area_limit is -1 or the clipped quad covers at most area_limit of the viewport. Returns the
// fraction of the viewport covered, 0 when nothing was drawn (outside the view, beyond g_FarClip, over
// the limit, or a material without a surface).
float draw_billboard(const float point[3], float width, float height, float anchor_x, float anchor_y,
                     DPMaterial* material, float area_limit, unsigned long colour, unsigned long specular);

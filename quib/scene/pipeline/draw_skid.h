// Skid-mark pieces: world-space quads that darken what is already drawn (multiplicative blending, no
// Z), textured in screen space.
#pragma once

struct DPMaterial;

// Draws the quad p0-p1-p2-p3 multiplied onto the frame with material's texture (white; light grey
// without a material). Nothing when all corners are zero or the quad is wholly outside one edge of the
// view; a quad reaching behind the near plane is clipped as two triangles. The blend and Z states are
// restored afterwards.
void draw_skid_piece(const float p0[3], const float p1[3], const float p2[3], const float p3[3],
                     DPMaterial* material);

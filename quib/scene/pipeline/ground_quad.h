// The untextured ground plane drawn behind everything: a square in y = 0 around the world origin.
#pragma once

// Draws the square of half size half_size in colour (0x00RRGGBB) with the current view, clipped in camera
// space to the view volume and a far distance of 8192, at screen depth 0.999 with Z off. Nothing is drawn
// (and no state changes) when nothing of it is in view.
void draw_background_quad(float half_size, unsigned long colour);

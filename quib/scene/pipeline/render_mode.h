// The render mode of the immediate-mode pipeline: unlit (flat, decal texturing, no specular) or lit
// (Gouraud, modulated texturing, specular added).
#pragma once

// The last mode given to set_specular (0 unlit).
extern int g_LitMode;

// Sets the lit (non-zero) or unlit render states on g_ImDevice and remembers the mode.
void set_specular(int lit);

// Single lines and points drawn straight onto the immediate-mode device (g_lpD3DDevice2), and the
// switches of alpha blending and texturing that they and the sprites use. The six functions are exported
// and declared in quib.h; this header adds what the engine itself needs of them.
#pragma once

#include "quib/quib.h"

// The remembered switch states: alpha 0 (off), texture -1 (unknown, so the next switch acts).
constexpr int kPrimitiveAlphaAtStart = 0;
constexpr int kPrimitiveTextureAtStart = -1;

// Forgets the remembered switch states, as at load: the next switch acts whatever the device holds (for
// a new device, and for tests).
void primitive_reset_states();
// The remembered alpha and texture states.
int primitive_alpha_state();
int primitive_texture_state();

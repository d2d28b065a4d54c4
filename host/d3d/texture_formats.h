// The texture formats the host rasterizer reads.
#pragma once

#include <vector>

#include "host/ddraw/ddraw.h"

// In listing order: 16-bit 5-6-5, 1-5-5-5 (one alpha bit) and 4-4-4-4, then 8-bit palettised when the
// machine offers palettised textures (palettised8BitTextures).
std::vector<DDPIXELFORMAT> HostD3DTextureFormats();

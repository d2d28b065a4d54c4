// Tables that turn a stored texel into 0xAARRGGBB, so that sampling reads any texture format with one
// lookup: one table per 16-bit RGB format (made once, kept for the process), or a palette's 256 entries.
#pragma once

#include <cstdint>

#include "host/ddraw/ddraw.h"

namespace host_d3d {

// The 65536-entry table of a 16-bit RGB format: each channel scaled to 0..255, alpha 255 when the
// format has no alpha bits. Thread-safe; the table lives as long as the process.
const uint32_t* TexelLookup16(const DDPIXELFORMAT& format);

// Fills table with the 256 palette entries as opaque colours.
void PaletteLookup(const PALETTEENTRY* entries, uint32_t* table);

} // namespace host_d3d

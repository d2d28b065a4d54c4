// The device texture of the immediate-mode pipeline: the surface-table entry whose handle the device's
// TEXTUREHANDLE state holds (g_CurrentTexture), changed only when a draw needs another one.
#pragma once

struct DPMaterial;

// Whether material draws textured: it names a surface-table entry that has a surface.
bool material_has_surface(const DPMaterial* material);

// Makes material's surface-table entry the device texture (handle from the texture-handle cache, 0 when
// it has none); a null material unbinds the texture. No device call when nothing changes. Always 0.
int set_texture(DPMaterial* material);
// The same, for the sprite-sheet quads.
int set_texture_sprite(DPMaterial* material);

// Drawing of texture visuals (decals) in a viewport Render: a screen-facing rectangle of the texture at
// the projected origin of the frame that shows it, in texel colour, at that origin's depth.
#pragma once

#include "host/rm/render_states.h"
#include "host/rm/render_view.h"
#include "host/rm/render_walk.h"

// Where a decal lands on the screen: the rectangle clipped to the view, the part of the texture it shows
// (0..1 across the whole texture) and its depth.
struct HostRMDecalRect {
    float left, top, right, bottom;
    float u0, v0, u1, v1;
    float sz, rhw;
};

// The screen rectangle of decal, whose texture is texelsX x texelsY texels: its origin texel on the
// projected frame origin, sized by the decal size (world units at the origin's depth, or pixels when
// the decal scale is off). false when the origin lies outside the front and back planes, or the
// rectangle is empty or wholly outside the view.
bool HostRMDecalPlace(const HostRMView& view, const HostRMDecalInstance& decal, float texelsX, float texelsY,
                      HostRMDecalRect* out);

// Draws decal through device (the shared states already set through guard, which gives back what this
// changes): Z-buffer as the frame says, the texture's colour key left out when its decal transparency is
// on. D3DRM_OK also when nothing of it is seen; a failing draw call's result otherwise.
HRESULT HostRMDrawDecal(IDirect3DDevice2* device, HostRMStateGuard& guard, const HostRMView& view,
                        const HostRMDecalInstance& decal);

// The render states of one device, with their starting values and the values each state accepts.
#pragma once

#include "host/d3d/d3dtypes.h"

class HostRenderStates {
  public:
    // Every state at its starting value: untextured, no perspective correction, Z test off and Z writes
    // on, Gouraud shading, nearest filtering, modulated texture blending, blending off (ONE, ZERO),
    // colour key, specular and fog off, fog colour black, fog table 0..1 with density 1, counter-
    // clockwise triangles culled, depth passing when less or equal, wrapped texture addressing, end
    // pixels of lines drawn, solid fill, alpha test and dithering off. (The device turns the Z test on
    // when its target has a Z-buffer.)
    HostRenderStates();

    // Stores value; DDERR_INVALIDPARAMS (nothing stored) for an unknown state or a value outside the
    // state's enumeration. BOOL states take any value, as given.
    HRESULT Set(D3DRENDERSTATETYPE state, DWORD value);
    // Reads a state; DDERR_INVALIDPARAMS for an unknown state or a NULL output.
    HRESULT Get(D3DRENDERSTATETYPE state, DWORD* value) const;
    // The value of a known state (drawing reads states this way).
    DWORD Value(D3DRENDERSTATETYPE state) const { return values_[state]; }
    // The value of a float state.
    float FloatValue(D3DRENDERSTATETYPE state) const;

  private:
    DWORD values_[kD3DRenderStateEnd];
};

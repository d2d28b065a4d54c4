// Drawing of the visuals one viewport Render reaches, through the immediate-mode device's rasterizer:
// flat and unlit, in each group's colour or with its texture modulated by that colour.
#pragma once

#include <vector>

#include "host/rm/render_face.h"
#include "host/rm/render_states.h"
#include "host/rm/render_walk.h"

// The settings of one Render that come from outside the frames drawn.
struct HostRMDrawSettings {
    bool linearFilter = false; // the device's texture quality
    bool fog = false;          // the scene root's fog
    D3DCOLOR fogColour = 0;
    float fogStart = 0.0f;
    float fogEnd = 1.0f;
    float fogDensity = 1.0f;
};

class HostRMDrawer {
  public:
    // Puts the states every group shares on device (through guard, which gives them back later).
    HostRMDrawer(IDirect3DDevice2* device, HostRMStateGuard& guard, const HostRMView& view,
                 const HostRMDrawSettings& settings);

    // Draws every group of instance; the first failing draw call's result.
    HRESULT Draw(const HostRMVisualInstance& instance);

  private:
    HRESULT DrawGroup(const HostRMGroup& group, const HostMatrix4& toCamera);
    // The device's handle for a texture (0 when it has none).
    D3DTEXTUREHANDLE HandleOf(HostRMTexture* texture) const;

    IDirect3DDevice2* device_;
    HostRMStateGuard& guard_;
    const HostRMView& view_;
    HostRMFaceScratch scratch_;
    std::vector<D3DTLVERTEX> fan_;
};

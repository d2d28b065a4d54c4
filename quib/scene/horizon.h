// The horizon: the display-list render path's background. It sets the colour the Direct3D viewport is
// cleared with and draws a flat plane of one colour far around the camera. There is one horizon for the
// whole engine, made on the first display-list frame and deleted by FreeHorizon. This file holds the
// record, its lifetime and FreeHorizon; building and drawing the background join the class with the
// render paths.
#pragma once

#include "host/d3d/d3d.h"

class Horizon {
  public:
    // No material yet, fog flag 0, both colours 0.
    Horizon() = default;
    // Releases the background material.
    ~Horizon();

    Horizon(const Horizon&) = delete;
    Horizon& operator=(const Horizon&) = delete;

    IDirect3DMaterial2* m_material = nullptr; // background material of the viewport; owned
    float m_farDistance = 100000.0f;          // distance of the background plane from the camera
    int m_skyFlag = 0;                        // sky flag at the last rebuild
    int m_fogFlag = 0;                        // scene fog flag at the last rebuild
    D3DCOLOR m_colour1 = 0;                   // first horizon colour at the last rebuild
    D3DCOLOR m_colour2 = 0;                   // second horizon colour at the last rebuild
};

// The one horizon, NULL until the first display-list frame makes it.
extern Horizon* g_pHorizon;

// Deletes the horizon when there is one and clears the pointer.
void FreeHorizon();

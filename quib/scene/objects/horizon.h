// The horizon: the display-list render path's background. It sets the colour the Direct3D viewport is
// cleared with and draws a flat plane of one colour far around the camera. There is one horizon for the
// whole engine, made on the first display-list frame and deleted by FreeHorizon. With background ('z')
// objects shown and fog off the viewport clears to colour 2 and no plane is drawn; otherwise it clears to
// colour 1 and a plane of colour 2 is drawn at the far distance.
#pragma once

#include "host/d3d/d3d.h"

class Horizon {
  public:
    // No material yet, fog flag 0, both colours 0.
    Horizon() = default;
    // Releases the background material.
    ~Horizon();

    // far distance = distance, then Update(c1, c2).
    int Init(D3DCOLOR c1, D3DCOLOR c2, float distance);
    // Rebuilds the viewport's background material when a colour, the sky flag or the fog flag changed.
    // 1, or 0 without a Retained Mode viewport or Direct3D object or when the viewport cannot be read.
    int Update(D3DCOLOR c1, D3DCOLOR c2);
    // Draws the background plane in colour 2 unless background objects are shown without fog. Always 1.
    int Draw();

    Horizon(const Horizon&) = delete;
    Horizon& operator=(const Horizon&) = delete;

    IDirect3DMaterial2* m_material = nullptr; // background material of the viewport; owned
    float m_farDistance = 100000.0f;          // distance of the background plane from the camera
    int m_skyFlag = -1;                       // sky flag at the last rebuild; -1 forces the first
    int m_fogFlag = 0;                        // scene fog flag at the last rebuild
    D3DCOLOR m_colour1 = 0;                   // first horizon colour at the last rebuild
    D3DCOLOR m_colour2 = 0;                   // second horizon colour at the last rebuild
};

// The one horizon, NULL until the first display-list frame makes it.
extern Horizon* g_pHorizon;

// Deletes the horizon when there is one and clears the pointer.
void FreeHorizon();

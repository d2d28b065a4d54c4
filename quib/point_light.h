// A point light of the immediate-mode lighting, as callers hand it over (20 bytes).
#pragma once

struct point_light_incoming {
    float x, y, z;  // world position
    float radius;   // horizontal reach: no light at or beyond it
    float strength; // scales the light; above 1 it saturates
};
typedef point_light_incoming SPECULAR_LIGHT;

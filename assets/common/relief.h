// Light and relief: bevelled rectangles, embossed shapes and shaded spheres, all lit from the upper left
// as everywhere in the package's art.
#pragma once

#include "assets/common/shapes.h"

// Raised (or sunken) edges on a rectangle that is already painted: the top and left bands of depth
// pixels are lightened by light, the bottom and right ones darkened by dark, fading toward the inside,
// with mitred corners. sunken swaps the two.
void BevelRect(Canvas& canvas, int x, int y, int w, int h, int depth, float light, float dark,
               bool sunken = false);

// Relief on an already painted shape: within depth pixels inside its edge, pixels facing the light
// (upper left) are lightened and the others darkened, by strength at the edge fading inward. A negative
// depth lights the shape as a hollow.
void EmbossSdf(Canvas& canvas, const Box& box, const Sdf& shape, float depth, float strength);

// How a sphere is lit.
struct SphereLight {
    float ambient = 0.32f;
    float diffuse = 0.85f;
    float gloss = 0.9f;
    float shininess = 28.0f;
    float rim = 0.25f; // darkening toward the silhouette
};

// A shaded sphere of colour base at (cx, cy) with radius r, composited with opacity, edge anti-aliased.
void DrawSphere(Canvas& canvas, float cx, float cy, float r, Rgb base, float opacity = 1.0f,
                const SphereLight& light = {});

// A soft round shadow (darkening) of radius r at (cx, cy), strongest in the middle.
void DrawSoftShadow(Canvas& canvas, float cx, float cy, float rx, float ry, float strength);

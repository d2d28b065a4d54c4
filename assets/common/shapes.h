// Anti-aliased shapes as signed distance functions (pixels; negative inside), filled with a paint (a
// colour per point). A pixel's coverage is its centre's distance to the edge clamped to one pixel, which
// gives smooth edges at any size. Pixel (x, y) covers [x, x + 1) x [y, y + 1); its centre is (x + .5, y +
// .5).
#pragma once

#include <functional>
#include <vector>

#include "assets/common/canvas.h"

using Sdf = std::function<float(float x, float y)>;
using Paint = std::function<Rgb(float x, float y)>;

struct Point {
    float x = 0, y = 0;
};

// The pixels a fill looks at: [x0, x1) x [y0, y1).
struct Box {
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
};

// Composites paint over every pixel of box by the shape's coverage times opacity.
void FillSdf(Canvas& canvas, const Box& box, const Sdf& shape, const Paint& paint, float opacity = 1.0f);
// The same over the whole canvas.
void FillSdf(Canvas& canvas, const Sdf& shape, const Paint& paint, float opacity = 1.0f);
// Coverage of a pixel centre at signed distance d.
float Coverage(float d);

// ---- Shapes ----
Sdf Circle(float cx, float cy, float r);
Sdf Ellipse(float cx, float cy, float rx, float ry);
// A rectangle with corners rounded by radius.
Sdf RoundRect(float x, float y, float w, float h, float radius);
// A line segment thickened to a round-capped stroke of the given width.
Sdf Capsule(float x0, float y0, float x1, float y1, float width);
// A closed polygon (any winding; even-odd inside).
Sdf Polygon(std::vector<Point> points);
// A circular band between r - width / 2 and r + width / 2.
Sdf Ring(float cx, float cy, float r, float width);
// A regular star with n points between radii inner and outer, first point at angle (radians).
Sdf Star(float cx, float cy, int n, float inner, float outer, float angle);

Sdf Union(Sdf a, Sdf b);
Sdf Intersect(Sdf a, Sdf b);
Sdf Subtract(Sdf a, Sdf b);
// The shape grown (d > 0) or shrunk (d < 0) by d pixels.
Sdf Grow(Sdf a, float d);
// The shape moved by (dx, dy).
Sdf Offset(Sdf a, float dx, float dy);

// ---- Paints ----
Paint Solid(Rgb c);
// From c0 at (x0, y0) to c1 at (x1, y1), clamped beyond.
Paint LinearGradient(float x0, float y0, Rgb c0, float x1, float y1, Rgb c1);
// From c0 at the centre to c1 at radius r.
Paint RadialGradient(float cx, float cy, float r, Rgb c0, Rgb c1);
// Colour stops along y: stops are (y, colour) with increasing y.
Paint VerticalStops(std::vector<std::pair<float, Rgb>> stops);

// Fills a rectangle (integer pixels) with a paint, replacing nothing: composited with opacity.
void FillRectPaint(Canvas& canvas, int x, int y, int w, int h, const Paint& paint, float opacity = 1.0f);

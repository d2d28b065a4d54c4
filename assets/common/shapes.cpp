#include "assets/common/shapes.h"

#include <algorithm>
#include <cmath>
#include <numbers>

float Coverage(float d) {
    return std::clamp(0.5f - d, 0.0f, 1.0f);
}

void FillSdf(Canvas& canvas, const Box& box, const Sdf& shape, const Paint& paint, float opacity) {
    int x0 = std::max(box.x0, 0), y0 = std::max(box.y0, 0);
    int x1 = std::min(box.x1, canvas.Width()), y1 = std::min(box.y1, canvas.Height());
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            float px = float(x) + 0.5f, py = float(y) + 0.5f;
            float c = Coverage(shape(px, py)) * opacity;
            if (c > 0.0f) canvas.Blend(x, y, paint(px, py), c);
        }
}

void FillSdf(Canvas& canvas, const Sdf& shape, const Paint& paint, float opacity) {
    FillSdf(canvas, Box{0, 0, canvas.Width(), canvas.Height()}, shape, paint, opacity);
}

Sdf Circle(float cx, float cy, float r) {
    return [=](float x, float y) { return std::hypot(x - cx, y - cy) - r; };
}

Sdf Ellipse(float cx, float cy, float rx, float ry) {
    // Scaled-circle approximation, corrected by the gradient length: good for the mild ratios used here.
    return [=](float x, float y) {
        float nx = (x - cx) / rx, ny = (y - cy) / ry;
        float k = std::hypot(nx, ny);
        float g = std::hypot(nx / rx, ny / ry);
        if (g <= 1e-6f) return -std::min(rx, ry);
        return (k - 1.0f) * k / g;
    };
}

Sdf RoundRect(float x, float y, float w, float h, float radius) {
    float cx = x + w / 2, cy = y + h / 2;
    float hx = w / 2 - radius, hy = h / 2 - radius;
    return [=](float px, float py) {
        float qx = std::fabs(px - cx) - hx, qy = std::fabs(py - cy) - hy;
        float outside = std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f));
        return outside + std::min(std::max(qx, qy), 0.0f) - radius;
    };
}

static float SegmentDistance(float px, float py, float x0, float y0, float x1, float y1) {
    float dx = x1 - x0, dy = y1 - y0;
    float len2 = dx * dx + dy * dy;
    float t = len2 > 0 ? std::clamp(((px - x0) * dx + (py - y0) * dy) / len2, 0.0f, 1.0f) : 0.0f;
    return std::hypot(px - (x0 + t * dx), py - (y0 + t * dy));
}

Sdf Capsule(float x0, float y0, float x1, float y1, float width) {
    return [=](float x, float y) { return SegmentDistance(x, y, x0, y0, x1, y1) - width / 2; };
}

Sdf Polygon(std::vector<Point> pts) {
    return [pts = std::move(pts)](float x, float y) {
        float d = 1e30f;
        bool inside = false;
        size_t n = pts.size();
        for (size_t i = 0, j = n - 1; i < n; j = i++) {
            const Point& a = pts[i];
            const Point& b = pts[j];
            d = std::min(d, SegmentDistance(x, y, a.x, a.y, b.x, b.y));
            if ((a.y > y) != (b.y > y) && x < (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x) inside = !inside;
        }
        return inside ? -d : d;
    };
}

Sdf Ring(float cx, float cy, float r, float width) {
    return [=](float x, float y) { return std::fabs(std::hypot(x - cx, y - cy) - r) - width / 2; };
}

Sdf Star(float cx, float cy, int n, float inner, float outer, float angle) {
    std::vector<Point> pts;
    for (int i = 0; i < 2 * n; ++i) {
        float a = angle + float(i) * std::numbers::pi_v<float> / float(n);
        float r = (i % 2) ? inner : outer;
        pts.push_back(Point{cx + std::cos(a) * r, cy + std::sin(a) * r});
    }
    return Polygon(std::move(pts));
}

Sdf Union(Sdf a, Sdf b) {
    return [=](float x, float y) { return std::min(a(x, y), b(x, y)); };
}
Sdf Intersect(Sdf a, Sdf b) {
    return [=](float x, float y) { return std::max(a(x, y), b(x, y)); };
}
Sdf Subtract(Sdf a, Sdf b) {
    return [=](float x, float y) { return std::max(a(x, y), -b(x, y)); };
}
Sdf Grow(Sdf a, float d) {
    return [=](float x, float y) { return a(x, y) - d; };
}
Sdf Offset(Sdf a, float dx, float dy) {
    return [=](float x, float y) { return a(x - dx, y - dy); };
}

Paint Solid(Rgb c) {
    return [=](float, float) { return c; };
}

Paint LinearGradient(float x0, float y0, Rgb c0, float x1, float y1, Rgb c1) {
    float dx = x1 - x0, dy = y1 - y0;
    float len2 = std::max(dx * dx + dy * dy, 1e-6f);
    return [=](float x, float y) {
        float t = std::clamp(((x - x0) * dx + (y - y0) * dy) / len2, 0.0f, 1.0f);
        return Mix(c0, c1, t);
    };
}

Paint RadialGradient(float cx, float cy, float r, Rgb c0, Rgb c1) {
    return
        [=](float x, float y) { return Mix(c0, c1, std::clamp(std::hypot(x - cx, y - cy) / r, 0.0f, 1.0f)); };
}

Paint VerticalStops(std::vector<std::pair<float, Rgb>> stops) {
    return [stops = std::move(stops)](float, float y) {
        if (stops.empty()) return Rgb{};
        if (y <= stops.front().first) return stops.front().second;
        for (size_t i = 1; i < stops.size(); ++i)
            if (y <= stops[i].first) {
                float span = stops[i].first - stops[i - 1].first;
                float t = span > 0 ? (y - stops[i - 1].first) / span : 1.0f;
                return Mix(stops[i - 1].second, stops[i].second, t);
            }
        return stops.back().second;
    };
}

void FillRectPaint(Canvas& canvas, int x, int y, int w, int h, const Paint& paint, float opacity) {
    for (int j = std::max(y, 0); j < std::min(y + h, canvas.Height()); ++j)
        for (int i = std::max(x, 0); i < std::min(x + w, canvas.Width()); ++i)
            canvas.Blend(i, j, paint(float(i) + 0.5f, float(j) + 0.5f), opacity);
}

// The drawing surface of the asset generators: RGBA pixels in floating point (colour 0..255, straight
// alpha 0..1), composited "over" as shapes are drawn, and quantised at the end into an 8-bit RGB picture
// in which transparency becomes the colour key.
#pragma once

#include <cstddef>
#include <vector>

#include "assets/common/colour.h"

struct Rgba {
    float r = 0, g = 0, b = 0, a = 0;
};

// An 8-bit RGB picture, rows top to bottom: what a BMP file holds.
struct Picture {
    int width = 0, height = 0;
    std::vector<Rgb8> pixels;

    Picture() = default;
    Picture(int w, int h)
        : width(w > 0 ? w : 0), height(h > 0 ? h : 0), pixels(size_t(width) * size_t(height), kKeyBlue8) {}
    Rgb8& At(int x, int y) { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
    const Rgb8& At(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
};

class Canvas {
  public:
    Canvas() = default;
    // A w x h canvas, every pixel transparent.
    Canvas(int w, int h);
    // A w x h canvas filled with an opaque colour.
    Canvas(int w, int h, Rgb fill);

    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }
    Rgba& At(int x, int y) { return pixels_[size_t(y) * size_t(width_) + size_t(x)]; }
    const Rgba& At(int x, int y) const { return pixels_[size_t(y) * size_t(width_) + size_t(x)]; }
    // The pixel at (x, y), or transparent outside.
    Rgba Get(int x, int y) const { return Inside(x, y) ? At(x, y) : Rgba{}; }

    // Composites colour c with opacity alpha (0..1) over pixel (x, y); outside: nothing.
    void Blend(int x, int y, Rgb c, float alpha);
    // Composites an RGBA pixel over (x, y).
    void BlendPixel(int x, int y, const Rgba& source);
    // Replaces pixel (x, y) (no compositing).
    void Set(int x, int y, Rgb c, float alpha = 1.0f);
    // Fills every pixel with an opaque colour.
    void Fill(Rgb c);
    // Makes every pixel transparent.
    void Clear();
    // Fills a rectangle (clipped) with an opaque colour, replacing what was there.
    void FillRect(int x, int y, int w, int h, Rgb c);
    // Composites src over this canvas with its top-left at (dx, dy), times opacity.
    void Blit(const Canvas& src, int dx, int dy, float opacity = 1.0f);
    // Composites src scaled by scale (bilinear; box-filtered when shrinking) with its top-left at (dx, dy).
    void BlitScaled(const Canvas& src, float dx, float dy, float scale, float opacity = 1.0f);
    // A copy of the rectangle (x, y, w, h); pixels outside this canvas are transparent.
    Canvas Crop(int x, int y, int w, int h) const;
    // Multiplies the opacity of every pixel by the opacity of mask at the same place.
    void MaskWith(const Canvas& mask);

  private:
    int width_ = 0, height_ = 0;
    std::vector<Rgba> pixels_;
};

// How a canvas becomes a picture.
struct QuantiseOptions {
    // Pixels at least this opaque are drawn; the rest become the key (keyed pictures only).
    float threshold = 0.5f;
    // Keyed: partly transparent edge pixels are mixed toward this colour by their transparency, so edges
    // stay smooth on the backgrounds they are meant for. Without it they keep their own colour.
    bool useMatte = false;
    Rgb matte{0, 0, 0};
    // Opaque: every pixel is composited over this colour and none becomes the key.
    bool opaque = false;
    Rgb backdrop{0, 0, 0};
    // Ordered dithering at the steps of a 16-bit display (8 levels in red and blue, 4 in green), so that
    // gradients do not band after the display's truncation. A flat colour in the middle of a step (red
    // and blue 8k + 4, green 4k + 2) stays flat.
    bool dither = false;
};

// The canvas as a picture: transparent pixels become the key, no opaque pixel ever shows as the key.
Picture Quantise(const Canvas& canvas, const QuantiseOptions& options = {});

// A picture back on a canvas: the key transparent, everything else opaque.
Canvas FromPicture(const Picture& picture);

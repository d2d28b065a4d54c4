// Image: a named bitmap with a position, the unit in which pages, popups and the cursor keep their
// pictures. Loading goes through the engine into a display-format surface keyed pure blue (0, 0, 255),
// so near-blue pixels that quantise to 0x001F are transparent.
#pragma once

#include "host/ddraw/ddraw.h"

// Size of Image::name, terminator included.
constexpr int kImageNameSize = 256;

class Image {
  public:
    char name[kImageNameSize] = {};
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    IDirectDrawSurface* surface = nullptr; // owned

    Image() = default;
    // Loads file (see Load).
    explicit Image(const char* file);
    ~Image();
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;

    // Loads file as a 16-bit surface keyed blue; the image is then named after the file and takes the
    // surface's size. A file that cannot be loaded leaves no surface (size 0) and the name as it was.
    // Without a file: no surface, empty name. Any earlier surface is released. Returns the surface.
    IDirectDrawSurface* Load(const char* file);
    // As Load, at the given bit depth (8: palettised).
    IDirectDrawSurface* LoadDepth(const char* file, int bitsPerPixel);
    // Loads file, places the image at (x, y) and names it text (when given; else it keeps the file's
    // name); a non-zero width or height replaces the loaded one.
    void Set(const char* text, const char* file, int atX, int atY, int newWidth, int newHeight);
    // Copies text (truncated to 255 characters), or empties the name for NULL.
    void SetName(const char* text);
    // Takes ownership of surface (releasing an earlier one) and its size.
    void Adopt(IDirectDrawSurface* surface);
    void SetPosition(int newX, int newY);
    // Source colour key (r, g, b) on the surface.
    void SetColorKey(int r, int g, int b);
    IDirectDrawSurface* GetSurface() const;
    // Draws the whole surface at (x, y) on target, clipped, with the colour key; nothing without a
    // surface.
    void DrawAt(IDirectDrawSurface* target, int atX, int atY) const;

  private:
    void ReleaseSurface();
    IDirectDrawSurface* Take(IDirectDrawSurface* loaded, const char* file);
};

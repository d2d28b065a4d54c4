#include "framework/image.h"

#include <cstdio>

#include "framework/surface_helpers.h"
#include "quib/quib.h"

Image::Image(const char* file) {
    Load(file);
}

Image::~Image() {
    ReleaseSurface();
}

void Image::ReleaseSurface() {
    if (surface) surface->Release();
    surface = nullptr;
    width = height = 0;
}

IDirectDrawSurface* Image::Take(IDirectDrawSurface* loaded, const char* file) {
    ReleaseSurface();
    if (!file) {
        name[0] = '\0';
        return nullptr;
    }
    if (!loaded) return nullptr;
    surface = loaded;
    ::SetColorKey(surface, 0, 0, 255);
    SetName(file);
    GetSurfaceSize(surface, &width, &height);
    return surface;
}

IDirectDrawSurface* Image::Load(const char* file) {
    return Take(file ? QuibLoadBitmap(file, 16) : nullptr, file);
}

IDirectDrawSurface* Image::LoadDepth(const char* file, int bitsPerPixel) {
    return Take(file ? QuibLoadBitmap(file, bitsPerPixel) : nullptr, file);
}

void Image::Set(const char* text, const char* file, int atX, int atY, int newWidth, int newHeight) {
    Load(file);
    if (text) SetName(text);
    SetPosition(atX, atY);
    if (newWidth) width = newWidth;
    if (newHeight) height = newHeight;
}

void Image::SetName(const char* text) {
    std::snprintf(name, sizeof(name), "%s", text ? text : "");
}

void Image::Adopt(IDirectDrawSurface* adopted) {
    if (adopted == surface) return;
    ReleaseSurface();
    surface = adopted;
    GetSurfaceSize(surface, &width, &height);
}

void Image::SetPosition(int newX, int newY) {
    x = newX;
    y = newY;
}

void Image::SetColorKey(int r, int g, int b) {
    ::SetColorKey(surface, r, g, b);
}

IDirectDrawSurface* Image::GetSurface() const {
    return surface;
}

void Image::DrawAt(IDirectDrawSurface* target, int atX, int atY) const {
    if (surface && target) DrawSurfaceAt(surface, target, atX, atY, kBltWaitKeySrc);
}

// QuibSubdivideSurface: cuts a surface into equal tiles and saves each as a numbered BMP file beside the
// base name (terrain tiles are read back by the same numbering).
#include <cstdio>
#include <string>

#include "quib/platform/directx.h"
#include "quib/platform/errors.h"
#include "quib/platform/surface_convert.h"
#include "quib/quib.h"

namespace {

// A path split as the platform's runtime splits it: "c:\maps\ground.bmp" gives "c:", "\maps\",
// "ground", ".bmp". Both separators are accepted.
struct PathParts {
    std::string drive;
    std::string folder;
    std::string name;
    std::string extension;
};

PathParts SplitPath(const std::string& path) {
    PathParts parts;
    std::string rest = path;
    if (rest.size() >= 2 && rest[1] == ':') {
        parts.drive = rest.substr(0, 2);
        rest.erase(0, 2);
    }
    const size_t slash = rest.find_last_of("\\/");
    if (slash != std::string::npos) {
        parts.folder = rest.substr(0, slash + 1);
        rest.erase(0, slash + 1);
    }
    const size_t dot = rest.find_last_of('.');
    if (dot != std::string::npos) {
        parts.extension = rest.substr(dot);
        rest.erase(dot);
    }
    parts.name = rest;
    return parts;
}

std::string TileFileName(const PathParts& parts, int number) {
    char numbered[32];
    std::snprintf(numbered, sizeof numbered, "%03d", number);
    return parts.drive + parts.folder + parts.name + numbered + parts.extension;
}

// Makes, fills and writes one tile. 1, or 0 with the failure reported (the tile is released either way).
int WriteTile(IDirectDrawSurface* surface, const DDSURFACEDESC& desc, const RECT& area,
              const std::string& file) {
    IDirectDrawSurface* tile = nullptr;
    HRESULT hr = CreateSystemTexture(int(area.right - area.left), int(area.bottom - area.top),
                                     &desc.ddpfPixelFormat, &tile);
    if (FAILED(hr)) {
        REPORT_DD_ERROR(hr);
        return 0;
    }
    if (desc.ddpfPixelFormat.dwFlags & DDPF_PALETTEINDEXED8) {
        IDirectDrawPalette* palette = nullptr;
        if (SUCCEEDED(surface->GetPalette(&palette)) && palette) {
            tile->SetPalette(palette);
            palette->Release();
        }
    }
    hr = tile->Blt(nullptr, surface, &area, DDBLT_WAIT, nullptr);
    if (FAILED(hr)) {
        REPORT_DD_ERROR(hr);
        tile->Release();
        return 0;
    }
    const int written = QuibWriteSurfaceToBMPFile(file.c_str(), tile);
    tile->Release();
    return written;
}

} // namespace

int QuibSubdivideSurface(const char* name, IDirectDrawSurface* surface, int columns, int rows) {
    if (!name || !surface || columns <= 0 || rows <= 0) return 0;
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    HRESULT hr = surface->GetSurfaceDesc(&desc);
    if (FAILED(hr)) {
        REPORT_DD_ERROR(hr);
        return 0;
    }
    const int tileWidth = int(desc.dwWidth) / columns, tileHeight = int(desc.dwHeight) / rows;
    if (tileWidth < 1 || tileHeight < 1) return 0;
    const PathParts parts = SplitPath(name);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            const RECT area = {c * tileWidth, r * tileHeight, (c + 1) * tileWidth, (r + 1) * tileHeight};
            if (!WriteTile(surface, desc, area, TileFileName(parts, r * columns + c))) return 0;
        }
    }
    return 1;
}

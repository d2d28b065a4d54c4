// The raw palette file: 256 RGB byte triples, no header.
#include <cstdio>

#include "host/win/paths.h"
#include "quib/platform/directx.h"
#include "quib/platform/errors.h"

namespace {

constexpr size_t kPaletteFileBytes = 768;
constexpr BYTE kPaletteReadOnly = 0x40;

} // namespace

int LoadGamePalette(const char* path) {
    FILE* file = path ? HostOpenFile(path, "rb") : nullptr;
    if (!file) {
        RegErrorf("LoadGamePalette : can't open <%s>", path ? path : "");
        return 0;
    }
    BYTE rgb[kPaletteFileBytes] = {};
    size_t read = std::fread(rgb, 1, sizeof(rgb), file);
    std::fclose(file);
    // A short file is refused whole rather than half applied.
    if (read != sizeof(rgb)) {
        RegErrorf("LoadGamePalette : can't read <%s>", path);
        return 0;
    }
    for (int i = 1; i <= 252; i++) {
        g_PaletteEntries[i].peRed = rgb[i * 3];
        g_PaletteEntries[i].peGreen = rgb[i * 3 + 1];
        g_PaletteEntries[i].peBlue = rgb[i * 3 + 2];
    }
    g_PaletteEntries[253] = {0, 0, 255, 0};
    g_PaletteEntries[254] = {255, 0, 0, 0};
    for (PALETTEENTRY& entry : g_PaletteEntries)
        entry.peFlags = kPaletteReadOnly;
    return 1;
}

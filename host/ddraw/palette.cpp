#include "host/ddraw/palette.h"

#include <cstring>

#include "host/ddraw/display.h"

namespace host_ddraw {

Palette::Palette(const PALETTEENTRY* entries) {
    std::memcpy(entries_, entries, sizeof entries_);
    CountLive(kPaletteKind, +1);
}

Palette::~Palette() {
    CountLive(kPaletteKind, -1);
}

HRESULT Palette::QueryInterface(REFIID iid, void** out) {
    return HostQuerySingle<IDirectDrawPalette>(this, IID_IDirectDrawPalette, iid, out);
}

HRESULT Palette::GetEntries(DWORD flags, DWORD start, DWORD count, LPPALETTEENTRY entries) {
    if (flags != 0 || !entries || start > kPaletteSize || count > kPaletteSize - start)
        return DDERR_INVALIDPARAMS;
    std::memcpy(entries, entries_ + start, count * sizeof(PALETTEENTRY));
    return DD_OK;
}

HRESULT Palette::SetEntries(DWORD flags, DWORD start, DWORD count, const PALETTEENTRY* entries) {
    if (flags != 0 || !entries || start > kPaletteSize || count > kPaletteSize - start)
        return DDERR_INVALIDPARAMS;
    std::memcpy(entries_ + start, entries, count * sizeof(PALETTEENTRY));
    return DD_OK;
}

Palette* PaletteFrom(IDirectDrawPalette* palette) {
    return dynamic_cast<Palette*>(palette);
}

} // namespace host_ddraw

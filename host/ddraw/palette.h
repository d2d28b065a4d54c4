// A palette of 256 colours for 8-bit surfaces.
#pragma once

#include "host/ddraw/ddraw.h"

namespace host_ddraw {

constexpr int kPaletteSize = 256;

class Palette final : public IDirectDrawPalette, public RefCount {
  public:
    explicit Palette(const PALETTEENTRY* entries);
    ~Palette() override;

    HRESULT QueryInterface(REFIID iid, void** out) override;
    HOST_REFCOUNTED
    HRESULT GetEntries(DWORD flags, DWORD start, DWORD count, LPPALETTEENTRY entries) override;
    HRESULT SetEntries(DWORD flags, DWORD start, DWORD count, const PALETTEENTRY* entries) override;

    // The 256 entries; valid as long as the palette lives.
    const PALETTEENTRY* Entries() const { return entries_; }

  private:
    PALETTEENTRY entries_[kPaletteSize];
};

// The palette behind an interface pointer of this area, or nullptr.
Palette* PaletteFrom(IDirectDrawPalette* palette);

} // namespace host_ddraw

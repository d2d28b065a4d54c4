// The state behind GDI handles: fonts, bitmaps and device contexts in one table, guarded by one lock.
// Every public GDI function takes the lock once; the helpers here expect it held. Handles are numbers
// that are never reused, so a stale or forged handle is simply not found.
#pragma once

#include <memory>
#include <mutex>
#include <unordered_map>

#include "host/gdi/dib.h"
#include "host/gdi/font_face.h"
#include "host/gdi/pixeltarget.h"
#include "host/gdi/raster.h"

struct HostGdiObject {
    enum class Kind { Font, Bitmap };
    Kind kind = Kind::Font;
    bool stock = false; // never deleted
    int selections = 0; // DCs it is selected into
    std::unique_ptr<HostFontFace> font;
    std::unique_ptr<HostDib> dib;
};

enum class HostDcKind { Surface, Memory, Window, Screen };

struct HostDc {
    HostDcKind kind = HostDcKind::Memory;
    HostPixelTarget target{}; // surface DCs
    HWND window = nullptr;    // window DCs
    HGDIOBJ fontHandle = nullptr;
    HostGdiObject* font = nullptr;
    HGDIOBJ bitmapHandle = nullptr; // memory DCs
    HostGdiObject* bitmap = nullptr;
    COLORREF textColor = RGB(0, 0, 0);
    COLORREF backColor = RGB(255, 255, 255);
    int backMode = OPAQUE;
};

class HostGdiTable {
  public:
    std::mutex& Mutex() { return mutex_; }

    HGDIOBJ AddObject(std::unique_ptr<HostGdiObject> object);
    HostGdiObject* FindObject(HGDIOBJ handle) const;
    // Removes and frees an object that is not selected and not stock.
    void RemoveObject(HGDIOBJ handle);

    // Registers a DC with the default font (and, for memory DCs, the stock bitmap) selected.
    HDC AddDc(std::unique_ptr<HostDc> dc);
    HostDc* FindDc(HDC handle) const;
    // Deselects the DC's objects and frees it.
    void RemoveDc(HDC handle);

    // Puts an object into the DC's font or bitmap slot, keeping the selection counts.
    void SelectFont(HostDc& dc, HGDIOBJ handle, HostGdiObject* font);
    void SelectBitmap(HostDc& dc, HGDIOBJ handle, HostGdiObject* bitmap);

  private:
    HGDIOBJ DefaultFont();
    HGDIOBJ DefaultBitmap();

    std::mutex mutex_;
    uintptr_t next_ = 0x10000;
    std::unordered_map<uintptr_t, std::unique_ptr<HostGdiObject>> objects_;
    std::unordered_map<uintptr_t, std::unique_ptr<HostDc>> dcs_;
    HGDIOBJ defaultFont_ = nullptr;
    bool defaultFontTried_ = false;
    HGDIOBJ defaultBitmap_ = nullptr;
};

// The process's table. It lives until the process ends (never destroyed, so DCs may still be ended from
// other objects' destructors at exit).
HostGdiTable& HostGdi();

// The pixels a DC draws into. False for window and screen DCs, which have none.
bool HostDcRaster(const HostDc& dc, HostColorTable& table, HostRaster& raster);

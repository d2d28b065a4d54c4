#include "host/gdi/dc.h"

#include <cstring>

#include "host/backend/machine.h"
#include "host/gdi/gdi_state.h"
#include "host/win/window.h"

namespace {

typedef std::lock_guard<std::mutex> GdiLock;

HDC AddDc(HostDcKind kind, HWND window) {
    auto dc = std::make_unique<HostDc>();
    dc->kind = kind;
    dc->window = window;
    return HostGdi().AddDc(std::move(dc));
}

// Surface and window DCs end through their own calls, not DeleteDC.
bool IsMemoryDc(const HostDc* dc) {
    return dc && dc->kind == HostDcKind::Memory;
}

HGDIOBJ SelectFont(HostDc& dc, HGDIOBJ handle, HostGdiObject& font) {
    HGDIOBJ previous = dc.fontHandle;
    HostGdi().SelectFont(dc, handle, &font);
    return previous;
}

HGDIOBJ SelectBitmap(HostDc& dc, HGDIOBJ handle, HostGdiObject& bitmap) {
    if (dc.kind != HostDcKind::Memory) return nullptr;
    if (dc.bitmap == &bitmap) return handle;
    if (!bitmap.stock && bitmap.selections > 0) return nullptr; // already in another DC
    HGDIOBJ previous = dc.bitmapHandle;
    HostGdi().SelectBitmap(dc, handle, &bitmap);
    return previous;
}

int DesktopCaps(int index) {
    const HostMachine& machine = HostGetMachine();
    switch (index) {
    case HORZRES: return machine.desktopWidth;
    case VERTRES: return machine.desktopHeight;
    case BITSPIXEL: return machine.desktopBitsPerPixel;
    default: return 0;
    }
}

int SurfaceCaps(const HostPixelTarget& target, int index) {
    switch (index) {
    case HORZRES: return target.width;
    case VERTRES: return target.height;
    case BITSPIXEL: return target.bitsPerPixel;
    default: return 0;
    }
}

} // namespace

HDC HostCreateSurfaceDC(const HostPixelTarget& target) {
    HostColorTable table;
    HostRaster raster;
    if (!HostRasterOfTarget(target, table, raster)) return nullptr;
    GdiLock lock(HostGdi().Mutex());
    auto dc = std::make_unique<HostDc>();
    dc->kind = HostDcKind::Surface;
    dc->target = target;
    return HostGdi().AddDc(std::move(dc));
}

void HostDeleteSurfaceDC(HDC handle) {
    GdiLock lock(HostGdi().Mutex());
    HostDc* dc = HostGdi().FindDc(handle);
    if (dc && dc->kind == HostDcKind::Surface) HostGdi().RemoveDc(handle);
}

HDC GetDC(HWND window) {
    if (window && !IsWindow(window)) return nullptr;
    GdiLock lock(HostGdi().Mutex());
    return AddDc(window ? HostDcKind::Window : HostDcKind::Screen, window);
}

int ReleaseDC(HWND, HDC handle) {
    GdiLock lock(HostGdi().Mutex());
    HostDc* dc = HostGdi().FindDc(handle);
    if (!dc || (dc->kind != HostDcKind::Window && dc->kind != HostDcKind::Screen)) return 0;
    HostGdi().RemoveDc(handle);
    return 1;
}

HDC CreateCompatibleDC(HDC) {
    GdiLock lock(HostGdi().Mutex());
    return AddDc(HostDcKind::Memory, nullptr);
}

BOOL DeleteDC(HDC handle) {
    GdiLock lock(HostGdi().Mutex());
    if (!IsMemoryDc(HostGdi().FindDc(handle))) return FALSE;
    HostGdi().RemoveDc(handle);
    return TRUE;
}

HGDIOBJ SelectObject(HDC handle, HGDIOBJ object) {
    GdiLock lock(HostGdi().Mutex());
    HostDc* dc = HostGdi().FindDc(handle);
    HostGdiObject* selected = HostGdi().FindObject(object);
    if (!dc || !selected) return nullptr;
    if (selected->kind == HostGdiObject::Kind::Font) return SelectFont(*dc, object, *selected);
    return SelectBitmap(*dc, object, *selected);
}

BOOL DeleteObject(HGDIOBJ handle) {
    GdiLock lock(HostGdi().Mutex());
    HostGdiObject* object = HostGdi().FindObject(handle);
    if (!object) return FALSE;
    if (object->stock) return TRUE;
    if (object->selections > 0) return FALSE;
    HostGdi().RemoveObject(handle);
    return TRUE;
}

int GetObjectA(HGDIOBJ handle, int size, LPVOID buffer) {
    GdiLock lock(HostGdi().Mutex());
    HostGdiObject* object = HostGdi().FindObject(handle);
    if (!object || object->kind != HostGdiObject::Kind::Bitmap) return 0;
    if (!buffer) return sizeof(BITMAP);
    if (size < static_cast<int>(sizeof(BITMAP))) return 0;
    const HostDib& dib = *object->dib;
    BITMAP description{};
    description.bmWidth = dib.width;
    description.bmHeight = dib.height;
    description.bmWidthBytes = static_cast<LONG>(dib.stride);
    description.bmPlanes = 1;
    description.bmBitsPixel = static_cast<WORD>(dib.bitsPerPixel);
    description.bmBits = dib.bits.get();
    std::memcpy(buffer, &description, sizeof description);
    return sizeof(BITMAP);
}

int GetDeviceCaps(HDC handle, int index) {
    GdiLock lock(HostGdi().Mutex());
    HostDc* dc = HostGdi().FindDc(handle);
    if (!dc) return 0;
    return dc->kind == HostDcKind::Surface ? SurfaceCaps(dc->target, index) : DesktopCaps(index);
}

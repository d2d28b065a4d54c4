#include "host/gdi/bitmap.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "host/gdi/gdi_state.h"
#include "host/win/paths.h"

namespace {

typedef std::lock_guard<std::mutex> GdiLock;

// A bitmap file is read whole; RLE data can exceed its picture a little, so allow twice the DIB limit.
constexpr size_t kMaxBmpFileBytes = 2 * kHostDibMaxBytes;

HBITMAP AddBitmap(std::unique_ptr<HostDib> dib) {
    auto object = std::make_unique<HostGdiObject>();
    object->kind = HostGdiObject::Kind::Bitmap;
    object->dib = std::move(dib);
    return static_cast<HBITMAP>(HostGdi().AddObject(std::move(object)));
}

// The three bitfield masks: inside headers of 52 bytes and more, else right after the 40-byte header.
void ReadMasks(const BITMAPINFO& info, DWORD masks[3]) {
    const BYTE* base = reinterpret_cast<const BYTE*>(&info) + 40;
    std::memcpy(masks, base, 3 * sizeof(DWORD));
}

bool IsSupportedInfo(const BITMAPINFOHEADER& header) {
    if (header.biSize < 40 || header.biPlanes != 1 || header.biWidth <= 0) return false;
    if (header.biHeight == 0 || header.biHeight == INT32_MIN) return false;
    if (header.biCompression == BI_BITFIELDS) return header.biBitCount == 16 || header.biBitCount == 32;
    return header.biCompression == BI_RGB;
}

void ReadColorTable(const BITMAPINFO& info, HostDib& dib) {
    const BITMAPINFOHEADER& header = info.bmiHeader;
    size_t count = dib.colors.size();
    if (header.biClrUsed != 0 && header.biClrUsed < count) count = header.biClrUsed;
    const BYTE* table = reinterpret_cast<const BYTE*>(&info) + header.biSize;
    std::memcpy(dib.colors.data(), table, count * sizeof(RGBQUAD));
    for (RGBQUAD& entry : dib.colors)
        entry.rgbReserved = 0;
}

} // namespace

HBITMAP CreateDIBSection(HDC, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section, DWORD) {
    if (bits) *bits = nullptr;
    if (!info || usage != DIB_RGB_COLORS || section || !IsSupportedInfo(info->bmiHeader)) return nullptr;
    const BITMAPINFOHEADER& header = info->bmiHeader;
    DWORD masks[3] = {};
    bool bitfields = header.biCompression == BI_BITFIELDS;
    if (bitfields) ReadMasks(*info, masks);
    int height = header.biHeight < 0 ? -header.biHeight : header.biHeight;
    std::unique_ptr<HostDib> dib = HostCreateDib(header.biWidth, height, header.biHeight < 0,
                                                 header.biBitCount, bitfields ? masks : nullptr);
    if (!dib) return nullptr;
    if (!dib->colors.empty()) ReadColorTable(*info, *dib);
    void* pixels = dib->bits.get();
    GdiLock lock(HostGdi().Mutex());
    HBITMAP bitmap = AddBitmap(std::move(dib));
    if (bits) *bits = pixels;
    return bitmap;
}

UINT GetDIBColorTable(HDC handle, UINT start, UINT count, RGBQUAD* colors) {
    GdiLock lock(HostGdi().Mutex());
    HostDc* dc = HostGdi().FindDc(handle);
    if (!dc || !dc->bitmap || !dc->bitmap->dib || !colors) return 0;
    const std::vector<RGBQUAD>& table = dc->bitmap->dib->colors;
    if (start >= table.size()) return 0;
    UINT copied = static_cast<UINT>(table.size() - start);
    if (count < copied) copied = count;
    std::memcpy(colors, table.data() + start, copied * sizeof(RGBQUAD));
    return copied;
}

HANDLE LoadImageA(HINSTANCE instance, LPCSTR name, UINT type, int cx, int cy, UINT flags) {
    if (instance || !name || type != IMAGE_BITMAP || !(flags & LR_LOADFROMFILE) || cx != 0 || cy != 0)
        return nullptr;
    FILE* stream = HostOpenFile(name, "rb");
    if (!stream) return nullptr;
    std::vector<BYTE> file;
    bool read = HostReadWholeFile(stream, kMaxBmpFileBytes, file);
    std::fclose(stream);
    if (!read) return nullptr;
    std::unique_ptr<HostDib> dib = HostDecodeBmp(file.data(), file.size());
    if (!dib) return nullptr;
    GdiLock lock(HostGdi().Mutex());
    return AddBitmap(std::move(dib));
}

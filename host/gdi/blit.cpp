#include "host/gdi/blit.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "host/gdi/gdi_state.h"

namespace {

typedef std::lock_guard<std::mutex> GdiLock;

// Turns source raw values into destination raw values, remembering recent answers (nearest-colour
// searches are the costly part of copies into indexed targets).
class PixelConverter {
  public:
    PixelConverter(const HostRaster& source, const HostRaster& target) : source_(source), target_(target) {
        sameFormat_ = HostSameDirectFormat(source, target);
        if (source.IsIndexed()) BuildIndexMap();
    }

    DWORD Convert(DWORD value) {
        if (sameFormat_) return value;
        if (source_.IsIndexed()) return value < indexMap_.size() ? indexMap_[value] : indexMap_[0];
        Slot& slot = cache_[(value ^ (value >> 11) ^ (value >> 19)) & (cache_.size() - 1)];
        if (!slot.used || slot.from != value) {
            slot = Slot{true, value, HostRasterEncode(target_, HostRasterDecode(source_, value))};
        }
        return slot.to;
    }

  private:
    struct Slot {
        bool used = false;
        DWORD from = 0;
        DWORD to = 0;
    };

    // An indexed source maps each of its indices once; a table equal to the target's palette maps
    // index to the same index, so duplicate colours keep their own indices.
    void BuildIndexMap() {
        int count = source_.colorCount;
        indexMap_.assign(count > 0 ? count : 1, 0);
        bool identity = target_.IsIndexed() && count <= target_.colorCount;
        for (int i = 0; identity && i < count; ++i)
            identity = source_.colors[i] == target_.colors[i];
        for (int i = 0; i < count; ++i)
            indexMap_[i] = identity ? static_cast<DWORD>(i) : HostRasterEncode(target_, source_.colors[i]);
    }

    const HostRaster& source_;
    const HostRaster& target_;
    bool sameFormat_ = false;
    std::vector<DWORD> indexMap_;
    std::array<Slot, 1024> cache_{};
};

// Nearest-neighbour sampling: destination step i of `to` steps takes source step (2i + 1) × from / (2 × to).
int64_t SourceStep(int64_t i, int64_t from, int64_t to) {
    return (2 * i + 1) * from / (2 * to);
}

bool StretchLocked(HDC dstHandle, int x, int y, int width, int height, HDC srcHandle, int srcX, int srcY,
                   int srcWidth, int srcHeight, DWORD rop) {
    HostDc* dst = HostGdi().FindDc(dstHandle);
    HostDc* src = HostGdi().FindDc(srcHandle);
    if (!dst || !src || rop != SRCCOPY) return false;
    if (width <= 0 || height <= 0 || srcWidth <= 0 || srcHeight <= 0) return false;
    HostColorTable sourceTable, targetTable;
    HostRaster source, target;
    if (!HostDcRaster(*src, sourceTable, source)) return false;
    if (!HostDcRaster(*dst, targetTable, target)) return true; // window or screen DC: discarded

    PixelConverter converter(source, target);
    int64_t firstColumn = x < 0 ? -static_cast<int64_t>(x) : 0;
    int64_t endColumn = std::min<int64_t>(width, static_cast<int64_t>(target.width) - x);
    std::vector<int> columns; // source x of each destination column, -1 when outside the source
    for (int64_t i = firstColumn; i < endColumn; ++i) {
        int64_t sx = srcX + SourceStep(i, srcWidth, width);
        columns.push_back(sx >= 0 && sx < source.width ? static_cast<int>(sx) : -1);
    }
    int64_t firstRow = y < 0 ? -static_cast<int64_t>(y) : 0;
    int64_t endRow = std::min<int64_t>(height, static_cast<int64_t>(target.height) - y);
    for (int64_t j = firstRow; j < endRow; ++j) {
        int64_t ty = y + j;
        int64_t sy = srcY + SourceStep(j, srcHeight, height);
        if (sy < 0 || sy >= source.height) continue;
        for (size_t c = 0; c < columns.size(); ++c) {
            if (columns[c] < 0) continue;
            DWORD value = HostRasterGet(source, columns[c], static_cast<int>(sy));
            HostRasterSet(target, static_cast<int>(x + firstColumn + static_cast<int64_t>(c)),
                          static_cast<int>(ty), converter.Convert(value));
        }
    }
    return true;
}

} // namespace

BOOL StretchBlt(HDC dst, int x, int y, int width, int height, HDC src, int srcX, int srcY, int srcWidth,
                int srcHeight, DWORD rop) {
    GdiLock lock(HostGdi().Mutex());
    return StretchLocked(dst, x, y, width, height, src, srcX, srcY, srcWidth, srcHeight, rop) ? TRUE : FALSE;
}

BOOL BitBlt(HDC dst, int x, int y, int width, int height, HDC src, int srcX, int srcY, DWORD rop) {
    GdiLock lock(HostGdi().Mutex());
    return StretchLocked(dst, x, y, width, height, src, srcX, srcY, width, height, rop) ? TRUE : FALSE;
}

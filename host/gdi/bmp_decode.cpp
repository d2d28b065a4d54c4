// BMP file decoding. The file is untrusted: every field is checked against the file's length and the
// DIB limits before it is used, and anything inconsistent gives NULL.
//
// Accepted: the 12-byte core header (1/4/8/24 bits, 3-byte colour entries) and the 40-, 52-, 56-, 108-
// and 124-byte information headers (1/4/8/16/24/32 bits; BI_RGB; BI_BITFIELDS for 16 and 32 bits;
// BI_RLE8 and BI_RLE4 bottom-up; negative heights for top-down rows). A pixel offset of 0 means the rows
// follow the colour table; an offset inside the colour table shortens the table. RLE data may end
// without its end-of-bitmap code at a code boundary (the rest stays index 0); a run, delta or row past
// the picture's edge, or a code cut short, is refused.
#include <cstdint>
#include <cstring>

#include "host/gdi/dib.h"

namespace {

constexpr size_t kFileHeaderBytes = 14;
constexpr size_t kCoreHeaderBytes = 12;
constexpr size_t kMaxColors = 256;

class ByteReader {
  public:
    ByteReader(const BYTE* data, size_t size) : data_(data), size_(size) {}
    bool Has(uint64_t offset, uint64_t count) const { return offset <= size_ && count <= size_ - offset; }
    WORD U16(size_t offset) const { return static_cast<WORD>(data_[offset] | data_[offset + 1] << 8); }
    DWORD U32(size_t offset) const {
        return static_cast<DWORD>(data_[offset]) | static_cast<DWORD>(data_[offset + 1]) << 8 |
               static_cast<DWORD>(data_[offset + 2]) << 16 | static_cast<DWORD>(data_[offset + 3]) << 24;
    }
    const BYTE* At(size_t offset) const { return data_ + offset; }
    size_t Size() const { return size_; }

  private:
    const BYTE* data_;
    size_t size_;
};

// What the headers say, before the pixels are read.
struct BmpLayout {
    int width = 0;
    int height = 0;
    bool topDown = false;
    int bitsPerPixel = 0;
    DWORD compression = BI_RGB;
    DWORD masks[3] = {};
    bool hasMasks = false;
    DWORD declaredColors = 0; // entries the header announces
    size_t entryBytes = 4;    // 3 for the core header
    size_t tableStart = 0;
    DWORD pixelOffset = 0; // 0: right after the table
    DWORD imageBytes = 0;  // compressed data length (0: to the end of the file)
};

bool IsKnownHeaderSize(DWORD size) {
    return size == kCoreHeaderBytes || size == 40 || size == 52 || size == 56 || size == 108 || size == 124;
}

bool ReadCoreHeader(const ByteReader& file, BmpLayout& layout) {
    layout.width = file.U16(18);
    layout.height = file.U16(20);
    if (file.U16(22) != 1) return false;
    layout.bitsPerPixel = file.U16(24);
    if (layout.bitsPerPixel == 16 || layout.bitsPerPixel == 32) return false;
    layout.declaredColors = layout.bitsPerPixel <= 8 ? 1u << layout.bitsPerPixel : 0;
    layout.entryBytes = 3;
    layout.tableStart = kFileHeaderBytes + kCoreHeaderBytes;
    return true;
}

bool IsCompressionFor(DWORD compression, int bits, bool topDown) {
    switch (compression) {
    case BI_RGB: return true;
    case BI_RLE8: return bits == 8 && !topDown;
    case BI_RLE4: return bits == 4 && !topDown;
    case BI_BITFIELDS: return bits == 16 || bits == 32;
    default: return false;
    }
}

bool ReadInfoHeader(const ByteReader& file, DWORD headerSize, BmpLayout& layout) {
    int32_t width = static_cast<int32_t>(file.U32(18));
    int32_t height = static_cast<int32_t>(file.U32(22));
    if (width <= 0 || height == 0 || height == INT32_MIN) return false;
    layout.width = width;
    layout.topDown = height < 0;
    layout.height = height < 0 ? -height : height;
    if (file.U16(26) != 1) return false;
    layout.bitsPerPixel = file.U16(28);
    layout.compression = file.U32(30);
    if (!IsCompressionFor(layout.compression, layout.bitsPerPixel, layout.topDown)) return false;
    layout.imageBytes = file.U32(34);
    DWORD used = file.U32(46);
    layout.declaredColors = used ? used : (layout.bitsPerPixel <= 8 ? 1u << layout.bitsPerPixel : 0);
    layout.tableStart = kFileHeaderBytes + headerSize;
    if (layout.compression == BI_BITFIELDS) {
        size_t maskAt = kFileHeaderBytes + 40; // inside headers of 52 bytes and more, else right after
        if (headerSize == 40) layout.tableStart += 12;
        if (!file.Has(maskAt, 12)) return false;
        for (int i = 0; i < 3; ++i)
            layout.masks[i] = file.U32(maskAt + 4 * i);
        layout.hasMasks = true;
    }
    return true;
}

bool ReadLayout(const ByteReader& file, BmpLayout& layout) {
    if (!file.Has(0, kFileHeaderBytes + 4)) return false;
    if (file.U16(0) != 0x4D42) return false; // "BM"
    layout.pixelOffset = file.U32(10);
    DWORD headerSize = file.U32(14);
    if (!IsKnownHeaderSize(headerSize) || !file.Has(kFileHeaderBytes, headerSize)) return false;
    bool read = headerSize == kCoreHeaderBytes ? ReadCoreHeader(file, layout)
                                               : ReadInfoHeader(file, headerSize, layout);
    return read && layout.declaredColors <= kMaxColors;
}

// Reads the colour table into dib and works out where the pixel rows start.
bool ReadColorTable(const ByteReader& file, const BmpLayout& layout, HostDib& dib, size_t& pixelStart) {
    uint64_t entries = layout.declaredColors;
    if (layout.pixelOffset != 0) {
        if (layout.pixelOffset < layout.tableStart) return false;
        uint64_t room = (layout.pixelOffset - layout.tableStart) / layout.entryBytes;
        if (room < entries) entries = room;
    }
    if (!file.Has(layout.tableStart, entries * layout.entryBytes)) return false;
    for (size_t i = 0; i < entries && i < dib.colors.size(); ++i) {
        const BYTE* entry = file.At(layout.tableStart + i * layout.entryBytes);
        dib.colors[i] = RGBQUAD{entry[0], entry[1], entry[2], 0};
    }
    pixelStart = layout.pixelOffset ? layout.pixelOffset : layout.tableStart + entries * layout.entryBytes;
    return true;
}

bool CopyRows(const ByteReader& file, size_t pixelStart, HostDib& dib) {
    uint64_t bytes = static_cast<uint64_t>(dib.stride) * static_cast<uint64_t>(dib.height);
    if (!file.Has(pixelStart, bytes)) return false;
    std::memcpy(dib.bits.get(), file.At(pixelStart), static_cast<size_t>(bytes));
    return true;
}

// Walks RLE codes, writing indices into a bottom-up 8- or 4-bit DIB.
class RleDecoder {
  public:
    RleDecoder(const BYTE* data, size_t size, HostDib& dib, bool nibbles)
        : data_(data), size_(size), dib_(dib), nibbles_(nibbles) {}

    bool Decode() {
        for (;;) {
            if (pos_ == size_) return true; // no end-of-bitmap code: the rest stays index 0
            if (size_ - pos_ < 2) return false;
            BYTE count = data_[pos_];
            BYTE value = data_[pos_ + 1];
            pos_ += 2;
            if (count > 0) {
                if (!Run(count, value)) return false;
                continue;
            }
            switch (value) {
            case 0: // end of line
                x_ = 0;
                if (++y_ > dib_.height) return false;
                break;
            case 1: return true; // end of bitmap
            case 2:
                if (!Delta()) return false;
                break;
            default:
                if (!Literal(value)) return false;
                break;
            }
        }
    }

  private:
    bool Fits(int count) const { return y_ < dib_.height && x_ + count <= dib_.width; }

    void Put(int index) {
        // Rows are stored bottom-up, the order RLE codes walk them.
        BYTE* row = dib_.bits.get() + dib_.stride * static_cast<size_t>(y_);
        if (!nibbles_) {
            row[x_] = static_cast<BYTE>(index);
        } else {
            BYTE& cell = row[x_ / 2];
            cell = (x_ & 1) ? static_cast<BYTE>((cell & 0xF0) | (index & 0x0F))
                            : static_cast<BYTE>((cell & 0x0F) | (index & 0x0F) << 4);
        }
        ++x_;
    }

    bool Run(int count, BYTE value) {
        if (!Fits(count)) return false;
        for (int i = 0; i < count; ++i)
            Put(nibbles_ ? ((i & 1) ? value & 0x0F : value >> 4) : value);
        return true;
    }

    bool Delta() {
        if (size_ - pos_ < 2) return false;
        x_ += data_[pos_];
        y_ += data_[pos_ + 1];
        pos_ += 2;
        return x_ <= dib_.width && y_ <= dib_.height;
    }

    bool Literal(int count) {
        size_t bytes = nibbles_ ? (static_cast<size_t>(count) + 1) / 2 : static_cast<size_t>(count);
        size_t padded = (bytes + 1) & ~size_t{1};
        if (size_ - pos_ < padded || !Fits(count)) return false;
        const BYTE* source = data_ + pos_;
        for (int i = 0; i < count; ++i)
            Put(nibbles_ ? ((i & 1) ? source[i / 2] & 0x0F : source[i / 2] >> 4) : source[i]);
        pos_ += padded;
        return true;
    }

    const BYTE* data_;
    size_t size_;
    HostDib& dib_;
    bool nibbles_;
    size_t pos_ = 0;
    int x_ = 0;
    int y_ = 0;
};

bool DecodeRle(const ByteReader& file, const BmpLayout& layout, size_t pixelStart, HostDib& dib) {
    if (pixelStart >= file.Size()) return false;
    size_t length = file.Size() - pixelStart;
    if (layout.imageBytes != 0 && layout.imageBytes < length) length = layout.imageBytes;
    return RleDecoder(file.At(pixelStart), length, dib, layout.compression == BI_RLE4).Decode();
}

} // namespace

std::unique_ptr<HostDib> HostDecodeBmp(const BYTE* data, size_t size) {
    if (!data) return nullptr;
    ByteReader file(data, size);
    BmpLayout layout;
    if (!ReadLayout(file, layout)) return nullptr;
    std::unique_ptr<HostDib> dib =
        HostCreateDib(layout.width, layout.height, layout.topDown, layout.bitsPerPixel,
                      layout.hasMasks ? layout.masks : nullptr);
    if (!dib) return nullptr;
    size_t pixelStart = 0;
    if (!ReadColorTable(file, layout, *dib, pixelStart)) return nullptr;
    bool compressed = layout.compression == BI_RLE8 || layout.compression == BI_RLE4;
    bool decoded = compressed ? DecodeRle(file, layout, pixelStart, *dib) : CopyRows(file, pixelStart, *dib);
    return decoded ? std::move(dib) : nullptr;
}

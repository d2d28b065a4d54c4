// Helpers of the GDI tests: pixel buffers standing in for locked surfaces (with guard margins and a
// pitch wider than the row), a BMP file builder for every header form, and a private folder for files.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "host/gdi/gdi.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

namespace gditest {

// A 16-bit picture inside a larger buffer: the DC sees only the inner width x height, so drawing that
// escapes its bounds shows up in the margin.
class Surface16 {
  public:
    static constexpr int kMargin = 8;
    static constexpr WORD kSentinel = 0x1234;

    Surface16(int width, int height, bool is555 = false)
        : width_(width), height_(height), pitchWords_(width + 2 * kMargin + 3),
          pixels_(static_cast<size_t>(pitchWords_) * (height + 2 * kMargin), kSentinel) {
        HostPixelTarget target{};
        target.pixels = &pixels_[static_cast<size_t>(kMargin) * pitchWords_ + kMargin];
        target.width = width;
        target.height = height;
        target.pitchBytes = pitchWords_ * 2;
        target.bitsPerPixel = 16;
        target.is555 = is555;
        dc_ = HostCreateSurfaceDC(target);
    }
    ~Surface16() { HostDeleteSurfaceDC(dc_); }
    Surface16(const Surface16&) = delete;
    Surface16& operator=(const Surface16&) = delete;

    HDC dc() const { return dc_; }
    int width() const { return width_; }
    int height() const { return height_; }
    // Pixel at (x, y) of the picture; coordinates from -kMargin reach into the margin.
    WORD at(int x, int y) const {
        return pixels_[static_cast<size_t>(y + kMargin) * pitchWords_ + (x + kMargin)];
    }
    void fill(WORD value) {
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x)
                pixels_[static_cast<size_t>(y + kMargin) * pitchWords_ + x + kMargin] = value;
    }
    // True when every margin pixel still holds the sentinel.
    bool marginUntouched() const {
        for (int y = -kMargin; y < height_ + kMargin; ++y)
            for (int x = -kMargin; x < width_ + kMargin; ++x) {
                bool inside = x >= 0 && y >= 0 && x < width_ && y < height_;
                if (!inside && at(x, y) != kSentinel) return false;
            }
        return true;
    }

  private:
    int width_, height_, pitchWords_;
    std::vector<WORD> pixels_;
    HDC dc_ = nullptr;
};

// An 8-bit palettised picture with its palette.
class Surface8 {
  public:
    Surface8(int width, int height, const std::vector<PALETTEENTRY>& palette, bool withPalette = true)
        : width_(width), height_(height), pitch_(width + 5),
          pixels_(static_cast<size_t>(pitch_) * height, 0xEE), palette_(palette) {
        palette_.resize(256, PALETTEENTRY{0, 0, 0, 0});
        HostPixelTarget target{};
        target.pixels = pixels_.data();
        target.width = width;
        target.height = height;
        target.pitchBytes = pitch_;
        target.bitsPerPixel = 8;
        target.palette = withPalette ? palette_.data() : nullptr;
        dc_ = HostCreateSurfaceDC(target);
    }
    ~Surface8() { HostDeleteSurfaceDC(dc_); }
    Surface8(const Surface8&) = delete;
    Surface8& operator=(const Surface8&) = delete;

    HDC dc() const { return dc_; }
    BYTE at(int x, int y) const { return pixels_[static_cast<size_t>(y) * pitch_ + x]; }

  private:
    int width_, height_, pitch_;
    std::vector<BYTE> pixels_;
    std::vector<PALETTEENTRY> palette_;
    HDC dc_ = nullptr;
};

inline WORD To565(int r, int g, int b) {
    return static_cast<WORD>((r >> 3) << 11 | (g >> 2) << 5 | (b >> 3));
}
inline WORD To555(int r, int g, int b) {
    return static_cast<WORD>((r >> 3) << 10 | (g >> 3) << 5 | (b >> 3));
}

// Little-endian byte writer.
class Bytes {
  public:
    Bytes& u8(int v) {
        data.push_back(static_cast<BYTE>(v));
        return *this;
    }
    Bytes& u16(int v) { return u8(v & 0xFF).u8((v >> 8) & 0xFF); }
    Bytes& u32(uint32_t v) { return u16(static_cast<int>(v & 0xFFFF)).u16(static_cast<int>(v >> 16)); }
    Bytes& append(const std::vector<BYTE>& more) {
        data.insert(data.end(), more.begin(), more.end());
        return *this;
    }
    std::vector<BYTE> data;
};

// Everything a BMP file can say. Fields left at their defaults give a plain, valid file.
struct BmpDesc {
    uint32_t headerSize = 40; // 12, 40, 52, 56, 108 or 124
    int32_t width = 1;
    int32_t height = 1; // negative: top-down
    int planes = 1;
    int bits = 24;
    uint32_t compression = BI_RGB;
    uint32_t masks[3] = {0, 0,
                         0};     // written for BI_BITFIELDS (after a 40-byte header, or inside a longer one)
    std::vector<RGBQUAD> colors; // the colour table as written
    uint32_t colorsUsed = 0;
    uint32_t imageSize = 0;
    std::vector<BYTE> pixels;   // rows as stored, or RLE codes
    int64_t pixelOffset = -1;   // -1: right after the table
    size_t gapBeforePixels = 0; // filler bytes between table and pixels (offset then points past them)
};

inline std::vector<BYTE> MakeBmp(const BmpDesc& desc) {
    Bytes info;
    if (desc.headerSize == 12) {
        info.u32(12).u16(desc.width).u16(desc.height).u16(desc.planes).u16(desc.bits);
    } else {
        info.u32(desc.headerSize)
            .u32(static_cast<uint32_t>(desc.width))
            .u32(static_cast<uint32_t>(desc.height));
        info.u16(desc.planes).u16(desc.bits).u32(desc.compression).u32(desc.imageSize);
        info.u32(2835).u32(2835).u32(desc.colorsUsed).u32(0);
        bool bitfields = desc.compression == BI_BITFIELDS;
        if (desc.headerSize >= 52 || bitfields)
            for (uint32_t mask : desc.masks)
                info.u32(mask);
        while (info.data.size() < desc.headerSize && desc.headerSize > 40)
            info.u8(0);
    }
    Bytes table;
    for (const RGBQUAD& c : desc.colors) {
        table.u8(c.rgbBlue).u8(c.rgbGreen).u8(c.rgbRed);
        if (desc.headerSize != 12) table.u8(0);
    }
    uint32_t natural =
        static_cast<uint32_t>(14 + info.data.size() + table.data.size() + desc.gapBeforePixels);
    uint32_t offset = desc.pixelOffset >= 0 ? static_cast<uint32_t>(desc.pixelOffset) : natural;
    Bytes file;
    file.u8('B').u8('M').u32(0).u16(0).u16(0).u32(offset);
    file.append(info.data).append(table.data);
    file.data.resize(file.data.size() + desc.gapBeforePixels, 0xA5);
    file.append(desc.pixels);
    uint32_t total = static_cast<uint32_t>(file.data.size());
    for (int i = 0; i < 4; ++i)
        file.data[2 + i] = static_cast<BYTE>(total >> (8 * i));
    return file.data;
}

// Packs rows of pixel values (top row first) into stored rows: bits per pixel, padding to 4 bytes,
// bottom-up unless topDown. Values are indices (1/4/8 bits), 16-bit words, or 0xRRGGBB (24/32 bits).
inline std::vector<BYTE> PackRows(const std::vector<std::vector<uint32_t>>& rows, int bits,
                                  bool topDown = false) {
    std::vector<BYTE> out;
    size_t height = rows.size();
    for (size_t i = 0; i < height; ++i) {
        const std::vector<uint32_t>& row = rows[topDown ? i : height - 1 - i];
        size_t stride = (row.size() * bits + 31) / 32 * 4;
        std::vector<BYTE> packed(stride, 0);
        for (size_t x = 0; x < row.size(); ++x) {
            uint32_t v = row[x];
            switch (bits) {
            case 1: packed[x / 8] |= static_cast<BYTE>((v & 1) << (7 - x % 8)); break;
            case 4: packed[x / 2] |= static_cast<BYTE>((v & 15) << (x % 2 ? 0 : 4)); break;
            case 8: packed[x] = static_cast<BYTE>(v); break;
            case 16:
                packed[2 * x] = static_cast<BYTE>(v);
                packed[2 * x + 1] = static_cast<BYTE>(v >> 8);
                break;
            default:
                for (int b = 0; b < bits / 8; ++b)
                    packed[bits / 8 * x + b] = static_cast<BYTE>(v >> (8 * b));
                break;
            }
        }
        out.insert(out.end(), packed.begin(), packed.end());
    }
    return out;
}

// A private folder under the working directory, removed with its files at the end of the test.
class TempFolder {
  public:
    // Writes bytes as file and returns its program path, relative and with a backslash, as the programs
    // write them.
    std::string write(const std::string& file, const std::vector<BYTE>& bytes) {
        EXPECT_FALSE(folder_.Path().empty()) << "no folder for " << file;
        testsupport::WriteBytes(folder_ / file, bytes);
        return std::filesystem::path(folder_.Path()).lexically_normal().string() + "\\" + file;
    }

  private:
    testsupport::TempFolder folder_{"gdi_test", "."};
};

} // namespace gditest

#include "assets/common/bmp_file.h"

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <vector>

namespace {

constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kInfoHeaderSize = 40;

void Put16(std::vector<uint8_t>& b, uint32_t v) {
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
}
void Put32(std::vector<uint8_t>& b, uint32_t v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}
uint32_t Get16(const std::vector<uint8_t>& b, size_t at) {
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8;
}
uint32_t Get32(const std::vector<uint8_t>& b, size_t at) {
    return Get16(b, at) | Get16(b, at + 2) << 16;
}

bool Fail(std::string* error, const std::string& why) {
    if (error) *error = why;
    return false;
}

// The two headers for a w x h picture of bpp bits with colours table entries.
std::vector<uint8_t> Headers(int w, int h, int bpp, uint32_t colours) {
    uint32_t stride = (uint32_t(w) * uint32_t(bpp) / 8 + 3) & ~3u;
    uint32_t offset = kFileHeaderSize + kInfoHeaderSize + colours * 4;
    std::vector<uint8_t> b;
    b.push_back('B');
    b.push_back('M');
    Put32(b, offset + stride * uint32_t(h));
    Put32(b, 0);
    Put32(b, offset);
    Put32(b, kInfoHeaderSize);
    Put32(b, uint32_t(w));
    Put32(b, uint32_t(h)); // positive: bottom-up
    Put16(b, 1);
    Put16(b, uint32_t(bpp));
    Put32(b, 0); // BI_RGB
    Put32(b, stride * uint32_t(h));
    Put32(b, 2835); // 72 dpi
    Put32(b, 2835);
    Put32(b, colours);
    Put32(b, 0);
    return b;
}

bool Save(const std::string& path, const std::vector<uint8_t>& bytes, std::string* error) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return Fail(error, "cannot create " + path);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    if (!out) return Fail(error, "cannot write " + path);
    return true;
}

void PadRow(std::vector<uint8_t>& b, size_t rowStart) {
    while ((b.size() - rowStart) % 4)
        b.push_back(0);
}

} // namespace

bool WriteBmp24(const std::string& path, const Picture& p, std::string* error) {
    if (p.width <= 0 || p.height <= 0) return Fail(error, "empty picture for " + path);
    std::vector<uint8_t> b = Headers(p.width, p.height, 24, 0);
    for (int y = p.height - 1; y >= 0; --y) {
        size_t row = b.size();
        for (int x = 0; x < p.width; ++x) {
            Rgb8 c = p.At(x, y);
            b.push_back(c.b);
            b.push_back(c.g);
            b.push_back(c.r);
        }
        PadRow(b, row);
    }
    return Save(path, b, error);
}

bool WriteBmp8(const std::string& path, const Picture& p, std::string* error) {
    if (p.width <= 0 || p.height <= 0) return Fail(error, "empty picture for " + path);
    std::map<uint32_t, uint8_t> index;
    std::vector<Rgb8> table;
    for (const Rgb8& c : p.pixels) {
        uint32_t key = uint32_t(c.r) << 16 | uint32_t(c.g) << 8 | c.b;
        if (index.count(key)) continue;
        if (table.size() == 256) return Fail(error, "more than 256 colours in " + path);
        index[key] = uint8_t(table.size());
        table.push_back(c);
    }
    std::vector<uint8_t> b = Headers(p.width, p.height, 8, uint32_t(table.size()));
    for (const Rgb8& c : table) {
        b.push_back(c.b);
        b.push_back(c.g);
        b.push_back(c.r);
        b.push_back(0);
    }
    for (int y = p.height - 1; y >= 0; --y) {
        size_t row = b.size();
        for (int x = 0; x < p.width; ++x) {
            Rgb8 c = p.At(x, y);
            b.push_back(index[uint32_t(c.r) << 16 | uint32_t(c.g) << 8 | c.b]);
        }
        PadRow(b, row);
    }
    return Save(path, b, error);
}

bool ReadBmp(const std::string& path, Picture& picture, std::string* error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return Fail(error, "cannot open " + path);
    std::vector<uint8_t> b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (b.size() < kFileHeaderSize + kInfoHeaderSize || b[0] != 'B' || b[1] != 'M')
        return Fail(error, "not a BMP file: " + path);
    uint32_t offset = Get32(b, 10), infoSize = Get32(b, 14);
    int32_t w = int32_t(Get32(b, 18)), h = int32_t(Get32(b, 22));
    uint32_t bpp = Get16(b, 28), compression = Get32(b, 30), colours = Get32(b, 46);
    if (infoSize < kInfoHeaderSize || compression != 0 || (bpp != 24 && bpp != 8))
        return Fail(error, "unsupported BMP layout: " + path);
    bool bottomUp = h > 0;
    int64_t height = h > 0 ? int64_t(h) : -int64_t(h);
    if (w <= 0 || height <= 0 || w > 65535 || height > 65535) return Fail(error, "bad BMP size: " + path);
    uint64_t stride = (uint64_t(w) * bpp / 8 + 3) & ~uint64_t(3);
    if (uint64_t(offset) + stride * uint64_t(height) > b.size()) return Fail(error, "truncated BMP: " + path);
    std::vector<Rgb8> table;
    if (bpp == 8) {
        if (colours == 0) colours = 256;
        size_t tableAt = kFileHeaderSize + infoSize;
        if (colours > 256 || tableAt + size_t(colours) * 4 > offset)
            return Fail(error, "bad colour table: " + path);
        for (uint32_t i = 0; i < colours; ++i)
            table.push_back(Rgb8{b[tableAt + i * 4 + 2], b[tableAt + i * 4 + 1], b[tableAt + i * 4]});
    }
    picture = Picture(int(w), int(height));
    for (int64_t row = 0; row < height; ++row) {
        int y = int(bottomUp ? height - 1 - row : row);
        size_t at = size_t(offset + stride * uint64_t(row));
        for (int x = 0; x < w; ++x) {
            if (bpp == 24) {
                picture.At(x, y) = Rgb8{b[at + 2], b[at + 1], b[at]};
                at += 3;
            } else {
                uint8_t i = b[at++];
                if (i >= table.size()) return Fail(error, "colour index out of the table: " + path);
                picture.At(x, y) = table[i];
            }
        }
    }
    return true;
}

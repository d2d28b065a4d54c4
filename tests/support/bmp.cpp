#include "tests/support/bmp.h"

#include "tests/support/files.h"

namespace testsupport {

namespace {

constexpr int kLargestSide = 4096;

size_t RowBytes(int width) {
    return (size_t(width) * 3 + 3) / 4 * 4;
}

// The file and information headers and the colour table of a bottom-up picture with rows of rowBytes.
std::vector<uint8_t> BmpHeader(int width, int height, int bits, const std::vector<uint32_t>& table,
                               size_t rowBytes) {
    const uint32_t offset = 54 + 4 * uint32_t(table.size());
    const uint32_t pixelBytes = uint32_t(rowBytes * size_t(height));
    std::vector<uint8_t> out;
    PutLe16(out, 0x4D42);
    for (uint32_t field : {offset + pixelBytes, 0u, offset, 40u, uint32_t(width), uint32_t(height)})
        PutLe32(out, field);
    PutLe16(out, 1);
    PutLe16(out, uint32_t(bits));
    for (uint32_t field : {0u, pixelBytes, 2835u, 2835u, uint32_t(table.size()), 0u})
        PutLe32(out, field);
    for (uint32_t rgb : table)
        PutLe32(out, rgb & 0xFFFFFF); // blue, green, red, 0
    return out;
}

} // namespace

std::ostream& operator<<(std::ostream& out, const Rgb& colour) {
    return out << '(' << colour.r << ", " << colour.g << ", " << colour.b << ')';
}

bool Same565(Rgb a, Rgb b) {
    return a.r >> 3 == b.r >> 3 && a.g >> 2 == b.g >> 2 && a.b >> 3 == b.b >> 3;
}

Picture::Picture(int w, int h, Rgb fill) : width(w), height(h), pixels(size_t(w) * size_t(h), fill) {}

Rgb Picture::At(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) return Rgb{-1, -1, -1};
    return pixels[size_t(y) * size_t(width) + size_t(x)];
}

void Picture::Fill(int x0, int y0, int w, int h, Rgb colour) {
    for (int y = y0; y < y0 + h; ++y)
        for (int x = x0; x < x0 + w; ++x)
            if (x >= 0 && y >= 0 && x < width && y < height)
                pixels[size_t(y) * size_t(width) + size_t(x)] = colour;
}

Picture Strip(int frameWidth, int frameHeight, const std::vector<Rgb>& colours) {
    Picture strip(frameWidth * int(colours.size()), frameHeight, Rgb{0, 0, 0});
    for (size_t i = 0; i < colours.size(); ++i)
        strip.Fill(int(i) * frameWidth, 0, frameWidth, frameHeight, colours[i]);
    return strip;
}

std::vector<uint8_t> Bmp24Bytes(int width, int height, const std::function<uint32_t(int, int)>& colour) {
    const size_t rowBytes = RowBytes(width);
    std::vector<uint8_t> out = BmpHeader(width, height, 24, {}, rowBytes);
    for (int row = height - 1; row >= 0; row--) {
        const size_t start = out.size();
        for (int x = 0; x < width; x++) {
            const uint32_t rgb = colour(x, row);
            out.push_back(uint8_t(rgb));
            out.push_back(uint8_t(rgb >> 8));
            out.push_back(uint8_t(rgb >> 16));
        }
        out.resize(start + rowBytes, 0);
    }
    return out;
}

std::vector<uint8_t> Bmp8Bytes(int width, int height, const std::vector<uint32_t>& table,
                               const std::function<uint8_t(int, int)>& index) {
    const size_t rowBytes = (size_t(width) + 3) / 4 * 4;
    std::vector<uint8_t> out = BmpHeader(width, height, 8, table, rowBytes);
    for (int row = height - 1; row >= 0; row--) {
        const size_t start = out.size();
        for (int x = 0; x < width; x++)
            out.push_back(index(x, row));
        out.resize(start + rowBytes, 0);
    }
    return out;
}

std::vector<uint8_t> BmpBytes(const Picture& picture) {
    return Bmp24Bytes(picture.width, picture.height,
                      [&picture](int x, int y) { return picture.At(x, y).Packed(); });
}

void WriteBmp24(const std::string& path, int width, int height,
                const std::function<uint32_t(int, int)>& colour) {
    WriteBytes(path, Bmp24Bytes(width, height, colour));
}

void WriteBmp(const std::string& path, const Picture& picture) {
    WriteBytes(path, BmpBytes(picture));
}

Picture ReadCapture(const std::string& path) {
    const std::vector<uint8_t> bytes = ReadBytes(path);
    Picture picture;
    if (bytes.size() < 54 || bytes[0] != 'B' || bytes[1] != 'M') return picture;
    const uint32_t offset = Le32(bytes, 10);
    const int width = int(Le32(bytes, 18));
    const int rawHeight = int(Le32(bytes, 22));
    const int height = rawHeight < 0 ? -rawHeight : rawHeight;
    if (Le16(bytes, 28) != 24 || width <= 0 || width > kLargestSide || height <= 0 || height > kLargestSide)
        return picture;
    const size_t rowBytes = RowBytes(width);
    if (bytes.size() < offset + rowBytes * size_t(height)) return picture;
    picture = Picture(width, height, Rgb{0, 0, 0});
    for (int y = 0; y < height; ++y) {
        const uint8_t* p = &bytes[offset + size_t(rawHeight < 0 ? y : height - 1 - y) * rowBytes];
        for (int x = 0; x < width; ++x, p += 3)
            picture.pixels[size_t(y) * size_t(width) + size_t(x)] = Rgb{p[2], p[1], p[0]};
    }
    return picture;
}

} // namespace testsupport

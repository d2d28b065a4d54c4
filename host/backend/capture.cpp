#include "host/backend/capture.h"

#include <cstdio>
#include <vector>

namespace {

void PutLittle(std::vector<unsigned char>& out, size_t at, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out[at + static_cast<size_t>(i)] = static_cast<unsigned char>(value >> (8 * i));
}

} // namespace

bool HostWriteCaptureBmp(const char* path, const HostShownPicture& picture, std::string& error) {
    if (!path || !*path) return error = "no file name", false;
    size_t width = static_cast<size_t>(picture.width), height = static_cast<size_t>(picture.height);
    if (picture.width <= 0 || picture.height <= 0 || picture.pixels.size() < width * height)
        return error = "no picture to capture", false;
    const size_t headerBytes = 14 + 40;
    size_t rowBytes = (width * 3 + 3) & ~static_cast<size_t>(3);
    size_t fileBytes = headerBytes + rowBytes * height;
    if (fileBytes > 0x7FFFFFFF) return error = "picture too large", false;

    std::vector<unsigned char> out(fileBytes, 0);
    out[0] = 'B';
    out[1] = 'M';
    PutLittle(out, 2, static_cast<uint32_t>(fileBytes), 4);
    PutLittle(out, 10, headerBytes, 4);
    PutLittle(out, 14, 40, 4);
    PutLittle(out, 18, static_cast<uint32_t>(width), 4);
    PutLittle(out, 22, static_cast<uint32_t>(height), 4); // positive: bottom-up
    PutLittle(out, 26, 1, 2);
    PutLittle(out, 28, 24, 2);
    PutLittle(out, 34, static_cast<uint32_t>(rowBytes * height), 4);
    PutLittle(out, 38, 2835, 4); // 72 dpi
    PutLittle(out, 42, 2835, 4);
    for (size_t y = 0; y < height; ++y) {
        const uint16_t* row = picture.pixels.data() + y * width;
        unsigned char* target = out.data() + headerBytes + (height - 1 - y) * rowBytes;
        for (size_t x = 0; x < width; ++x) {
            unsigned red = (row[x] >> 11) & 31, green = (row[x] >> 5) & 63, blue = row[x] & 31;
            target[3 * x + 0] = static_cast<unsigned char>((blue << 3) | (blue >> 2));
            target[3 * x + 1] = static_cast<unsigned char>((green << 2) | (green >> 4));
            target[3 * x + 2] = static_cast<unsigned char>((red << 3) | (red >> 2));
        }
    }
    FILE* file = std::fopen(path, "wb");
    if (!file) return error = std::string("cannot create ") + path, false;
    bool written = std::fwrite(out.data(), 1, out.size(), file) == out.size();
    written = (std::fclose(file) == 0) && written;
    if (!written) return error = std::string("cannot write ") + path, false;
    return true;
}

#include "tests/support/frame_capture.h"

#include <cstdint>
#include <cstring>
#include <filesystem>

#include "tests/support/bmp.h"

#ifndef QUIB_TEST_FRAMES_DIR
#define QUIB_TEST_FRAMES_DIR "frames"
#endif

namespace testsupport {

std::string CapturedFramePath(const std::string& name) {
    std::filesystem::path folder(QUIB_TEST_FRAMES_DIR);
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    return (folder / name).string();
}

std::string WriteFrame565(const std::string& name, int width, int height, int pitchBytes,
                          const void* pixels) {
    const auto* bytes = static_cast<const uint8_t*>(pixels);
    auto colour = [&](int x, int y) {
        uint16_t p;
        std::memcpy(&p, bytes + size_t(y) * size_t(pitchBytes) + size_t(x) * 2, 2);
        uint32_t r = p >> 11, g = (p >> 5) & 63, b = p & 31;
        r = (r << 3) | (r >> 2);
        g = (g << 2) | (g >> 4);
        b = (b << 3) | (b >> 2);
        return r << 16 | g << 8 | b;
    };
    std::string path = CapturedFramePath(name);
    WriteBmp24(path, width, height, colour);
    return path;
}

} // namespace testsupport

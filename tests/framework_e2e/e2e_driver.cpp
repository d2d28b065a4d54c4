#include "e2e_driver.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>

#include "e2e_art.h"

namespace e2e {

uint16_t Picture::At(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) return 0xDEAD;
    return pixels[size_t(y) * size_t(width) + size_t(x)];
}

int Picture::Count(uint16_t value) const {
    int count = 0;
    for (uint16_t pixel : pixels)
        count += pixel == value;
    return count;
}

namespace {

uint32_t Le32(const std::vector<uint8_t>& bytes, size_t at) {
    return uint32_t(bytes[at]) | uint32_t(bytes[at + 1]) << 8 | uint32_t(bytes[at + 2]) << 16 |
           uint32_t(bytes[at + 3]) << 24;
}

} // namespace

Picture ReadCapture(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    Picture picture;
    if (bytes.size() < 54 || bytes[0] != 'B' || bytes[1] != 'M') return picture;
    const uint32_t offset = Le32(bytes, 10);
    const int width = int(Le32(bytes, 18));
    const int rawHeight = int(Le32(bytes, 22));
    const int bits = bytes[28] | bytes[29] << 8;
    const int height = rawHeight < 0 ? -rawHeight : rawHeight;
    if (bits != 24 || width <= 0 || width > 4096 || height <= 0 || height > 4096) return picture;
    const size_t rowBytes = (size_t(width) * 3 + 3) / 4 * 4;
    if (bytes.size() < offset + rowBytes * size_t(height)) return picture;
    picture.width = width;
    picture.height = height;
    picture.pixels.resize(size_t(width) * size_t(height));
    for (int y = 0; y < height; y++) {
        const int row = rawHeight < 0 ? y : height - 1 - y;
        const uint8_t* p = &bytes[offset + size_t(row) * rowBytes];
        for (int x = 0; x < width; x++, p += 3)
            picture.pixels[size_t(y) * size_t(width) + size_t(x)] =
                To565(uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0]);
    }
    return picture;
}

void SceneTest::SetUp() {
    std::random_device random;
    do {
        folder_ = std::filesystem::temp_directory_path() / ("framework-e2e-" + std::to_string(random()));
    } while (!std::filesystem::create_directory(folder_));
}

void SceneTest::TearDown() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

int SceneTest::RunScene(const std::string& scene, const std::string& mode, const std::string& script,
                        int maxFrames) {
    WriteTextFile((folder_ / "script.txt").string(), script);
    std::ostringstream command;
    command << "cd '" << folder_.string()
            << "' && HOST_BACKEND=headless HOST_SCRIPT=script.txt HOST_MAX_FRAMES=" << maxFrames << " '"
            << FRAMEWORK_E2E_PROGRAM << "' " << scene << ' ' << mode << " > program.log 2>&1";
    return std::system(command.str().c_str());
}

Picture SceneTest::Capture(const std::string& name) const {
    return ReadCapture(folder_ / name);
}

std::string SceneTest::ProgramOutput() const {
    std::ifstream in(folder_ / "program.log", std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

} // namespace e2e

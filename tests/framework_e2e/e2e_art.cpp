#include "e2e_art.h"

#include "tests/support/test_files.h"

namespace e2e {

void WriteBmp(const std::string& name, int width, int height,
              const std::function<uint32_t(int, int)>& colour) {
    testsupport::WriteBmp24(name, width, height, colour);
}

void WriteTextFile(const std::string& name, const std::string& text) {
    testsupport::WriteTextFile(name, text);
}

void WriteCursor() {
    WriteBmp(kCursorFile, kCursorSize, kCursorSize,
             [](int x, int y) { return CursorPixelOpaque(x, y) ? kCursorWhite : 0u; });
}

} // namespace e2e

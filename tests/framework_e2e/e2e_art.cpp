#include "e2e_art.h"

namespace e2e {

void WriteCursor() {
    testsupport::WriteBmp24(kCursorFile, kCursorSize, kCursorSize,
                            [](int x, int y) { return CursorPixelOpaque(x, y) ? kCursorWhite : 0u; });
}

} // namespace e2e

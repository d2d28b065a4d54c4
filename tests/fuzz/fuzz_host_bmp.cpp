// Fuzz target for the host's BMP decoder (the loader behind LoadImageA): the input is a BMP file. Whatever
// decodes must describe a picture within the limits, and every pixel of it is read and converted to a
// 16-bit and an 8-bit palettised target, as a copy onto a surface does. Any crash, sanitizer report or
// broken promise (abort) is a finding.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "host/gdi/dib.h"
#include "host/gdi/raster.h"
#include "tests/fuzz/fuzz_support.h"

const char* const fuzz::kPromisesOf = "decoder";

namespace {

using fuzz::Require;

void CheckShape(const HostDib& dib) {
    Require(dib.width >= 1 && dib.width <= kHostDibMaxSide, "width within limits");
    Require(dib.height >= 1 && dib.height <= kHostDibMaxSide, "height within limits");
    Require(dib.stride == HostDibStride(dib.width, dib.bitsPerPixel), "stride matches width and depth");
    Require(dib.stride * static_cast<size_t>(dib.height) <= kHostDibMaxBytes, "rows within limits");
    Require(dib.bitsPerPixel > 8 || dib.colors.size() == (size_t{1} << dib.bitsPerPixel),
            "full colour table");
    unsigned touched = 0; // every row is readable to its last byte
    for (int y = 0; y < dib.height; ++y)
        touched += dib.Row(y)[dib.stride - 1];
    Require(touched <= 255u * static_cast<unsigned>(dib.height), "row bytes");
}

// Converts every pixel (at most a bounded number, so huge pictures stay quick) to both target kinds.
void ConvertPixels(const HostDib& dib) {
    HostColorTable sourceTable, paletteTable;
    HostRaster source = HostRasterOfDib(dib, sourceTable);
    WORD word = 0;
    HostRaster words = {};
    HostPixelTarget wordTarget{&word, 1, 1, 2, 16, false, nullptr};
    Require(HostRasterOfTarget(wordTarget, paletteTable, words), "16-bit target");
    BYTE index = 0;
    PALETTEENTRY palette[256];
    for (int i = 0; i < 256; ++i)
        palette[i] = PALETTEENTRY{BYTE(i * 7), BYTE(i * 13), BYTE(i * 29), 0};
    HostRaster indices = {};
    HostPixelTarget indexTarget{&index, 1, 1, 1, 8, false, palette};
    Require(HostRasterOfTarget(indexTarget, paletteTable, indices), "8-bit target");
    long budget = 1 << 16;
    for (int y = 0; y < dib.height && budget > 0; ++y)
        for (int x = 0; x < dib.width && budget > 0; ++x, --budget) {
            COLORREF color = HostRasterDecode(source, HostRasterGet(source, x, y));
            HostRasterSet(words, 0, 0, HostRasterEncode(words, color));
            HostRasterSet(indices, 0, 0, HostRasterEncode(indices, color));
        }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::unique_ptr<HostDib> dib = HostDecodeBmp(data, size);
    if (!dib) return 0;
    CheckShape(*dib);
    ConvertPixels(*dib);
    return 0;
}

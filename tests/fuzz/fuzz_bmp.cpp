// Fuzz target for the engine's BMP reader: the input becomes a file that is read through the file and
// the stream readers. Whatever they return must be a consistent packed image (the header the reader
// promises, pixels that fit the block) that both readers agree on and that GDI can take as a DIB
// section; every refusal must leave a registered message. A crash, sanitizer report or broken promise
// (abort) is a finding.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "host/gdi/gdi.h"
#include "quib/platform/bmpfile.h"
#include "quib/platform/dib.h"
#include "quib/platform/errors.h"
#include "tests/fuzz/fuzz_support.h"

const char* const fuzz::kPromisesOf = "BMP reader";

namespace {

using fuzz::Require;

void CheckImage(const BITMAPINFOHEADER* image, size_t fileSize) {
    Require(image->biSize == 40, "40-byte header");
    Require(image->biWidth > 0 && image->biHeight > 0, "positive size");
    Require(image->biPlanes == 1, "one plane");
    const WORD bits = image->biBitCount;
    Require(bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32, "known depth");
    Require(image->biCompression == BI_RGB, "uncompressed");
    Require(DIBNumColors(image) <= 256, "at most 256 colours");
    Require(DIBImageBytes(image) <= fileSize, "pixels came from the file");
    Require(DIBImageBytes(image) <= kBmpMaxImageBytes, "image within the limit");
}

// Reads the file through the stream reader; the two readers must agree byte for byte.
void CheckStreamAgrees(const std::string& path, const BITMAPINFOHEADER* image) {
    FILE* stream = std::fopen(path.c_str(), "rb");
    Require(stream != nullptr, "stream opens");
    BITMAPINFOHEADER* fromStream = ReadBMPFromStream(stream);
    std::fclose(stream);
    Require((fromStream == nullptr) == (image == nullptr), "readers agree on refusal");
    if (image) {
        const size_t bytes = 40 + DIBPaletteSize(image) + DIBImageBytes(image);
        Require(std::memcmp(image, fromStream, bytes) == 0, "readers agree on the image");
    }
    std::free(fromStream);
}

void UseImage(const BITMAPINFOHEADER* image) {
    if (HBITMAP section = CreateDIBSectionFromDIB(image)) DeleteObject(section);
    if (BITMAPINFOHEADER* small = ConvertDIB(image, 7, 5, 8, 1)) std::free(small);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string& folder = fuzz::OwnFolder("bmp");
    const std::string path = folder + "/fuzz.bmp";
    if (!fuzz::WriteInput(path, data, size)) return 0;

    g_ErrorText[0] = '\0';
    // The programs name their files in another case and with backslashes.
    BITMAPINFOHEADER* image = ReadBMPFile((folder + "\\FUZZ.BMP").c_str());
    if (image) {
        CheckImage(image, size);
        UseImage(image);
    } else {
        Require(std::strncmp(g_ErrorText, "ReadBMPFile: ", 13) == 0, "refusal registers its message");
    }
    CheckStreamAgrees(path, image);
    std::free(image);
    return 0;
}

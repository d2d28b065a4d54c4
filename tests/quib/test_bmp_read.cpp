// The engine's BMP reader: the files it accepts and how they land in the packed image, and every kind
// of malformed file refused with its message before anything is allocated from the header's sizes.
#include <cstdlib>
#include <filesystem>

#include "bitmap_test_support.h"
#include "host/win/files.h"
#include "quib/platform/bmpfile.h"
#include "quib/platform/dib.h"

using namespace bmptest;

namespace {

class BmpReadTest : public LogFolderTest {
  protected:
    // Writes spec to "t.bmp" and reads it back.
    BITMAPINFOHEADER* ReadSpec(const BmpSpec& spec) {
        WriteBytes("t.bmp", BuildBmp(spec));
        return ReadBMPFile("t.bmp");
    }

    // The file is refused with exactly message.
    void ExpectRefused(const BmpSpec& spec, const char* message) {
        g_ErrorText[0] = '\0';
        BITMAPINFOHEADER* image = ReadSpec(spec);
        EXPECT_EQ(image, nullptr);
        std::free(image);
        EXPECT_EQ(std::string(g_ErrorText), std::string(message) + "\n");
    }

    void ExpectRefusedBytes(const std::vector<uint8_t>& bytes, const char* message) {
        g_ErrorText[0] = '\0';
        WriteBytes("t.bmp", bytes);
        BITMAPINFOHEADER* image = ReadBMPFile("t.bmp");
        EXPECT_EQ(image, nullptr);
        std::free(image);
        EXPECT_EQ(std::string(g_ErrorText), std::string(message) + "\n");
    }
};

const char kReading[] = "ReadBMPFile: error reading file";
const char kFormat[] = "ReadBMPFile: bad BMP format";
const char kOs2[] = "ReadBMPFile: OS/2 format not supported";

} // namespace

// ---- Accepted files ----

TEST_F(BmpReadTest, TwentyFourBitFileWithoutTableKeepsPaddedRowsBottomUp) {
    BmpSpec spec = Picture24(3, 2, {0x0000FF, 0x00FF00, 0xFF0000, 0x102030, 0x405060, 0xFFFFFF});
    BITMAPINFOHEADER* image = ReadSpec(spec);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->biWidth, 3);
    EXPECT_EQ(image->biHeight, 2);
    EXPECT_EQ(DIBNumColors(image), 0);
    EXPECT_EQ(DIBRowBytes(image), 12u); // 9 bytes of pixels and 3 of padding
    EXPECT_EQ(DIBBits(image), reinterpret_cast<BYTE*>(image) + 40);
    EXPECT_EQ(std::memcmp(DIBBits(image), spec.pixels.data(), 24), 0);
    // The first stored row is the picture's bottom row: (0x102030) is its first pixel, stored B, G, R.
    EXPECT_EQ(DIBBits(image)[0], 0x30);
    EXPECT_EQ(DIBBits(image)[2], 0x10);
    std::free(image);
}

TEST_F(BmpReadTest, TwentyFourBitFileWithColoursUsedReadsThatManyEntries) {
    BmpSpec spec = Picture24(1, 1, {0xABCDEF});
    spec.colorsUsed = 2;
    AddColour(spec.table, 1, 2, 3);
    AddColour(spec.table, 4, 5, 6);
    BITMAPINFOHEADER* image = ReadSpec(spec);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(DIBPaletteSize(image), 8);
    const BYTE* table = reinterpret_cast<BYTE*>(image) + 40;
    EXPECT_EQ(table[0], 3); // blue first
    EXPECT_EQ(table[4], 6); // second entry, blue first
    EXPECT_EQ(table[5], 5);
    EXPECT_EQ(DIBBits(image)[0], 0xEF);
    std::free(image);
}

TEST_F(BmpReadTest, EightBitFileCarriesItsFullTable) {
    BmpSpec spec;
    spec.width = 5;
    spec.height = 3;
    spec.bitCount = 8;
    for (int i = 0; i < 256; ++i)
        AddColour(spec.table, uint8_t(i), uint8_t(255 - i), uint8_t(i / 2));
    for (int row = 0; row < 3; ++row)
        for (int x = 0; x < 8; ++x)
            spec.pixels.push_back(x < 5 ? uint8_t(row * 10 + x) : 0);
    BITMAPINFOHEADER* image = ReadSpec(spec);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(DIBNumColors(image), 256);
    EXPECT_EQ(DIBRowBytes(image), 8u);
    EXPECT_EQ(DIBBits(image) - reinterpret_cast<BYTE*>(image), 40 + 1024);
    EXPECT_EQ(DIBBits(image)[8 * 2 + 4], 24);
    EXPECT_EQ(reinterpret_cast<BYTE*>(image)[40 + 4 * 200 + 2], 200); // red of entry 200
    std::free(image);
}

TEST_F(BmpReadTest, OneAndFourBitFilesGetTheirDefaultTableSizes) {
    BmpSpec one;
    one.width = 9;
    one.height = 2;
    one.bitCount = 1;
    AddColour(one.table, 0, 0, 0);
    AddColour(one.table, 255, 255, 255);
    BITMAPINFOHEADER* image = ReadSpec(one);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(DIBNumColors(image), 2);
    EXPECT_EQ(DIBRowBytes(image), 4u);
    std::free(image);

    BmpSpec four;
    four.width = 9;
    four.height = 2;
    four.bitCount = 4;
    for (int i = 0; i < 16; ++i)
        AddColour(four.table, uint8_t(i * 16), 0, 0);
    image = ReadSpec(four);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(DIBPaletteSize(image), 64);
    EXPECT_EQ(DIBRowBytes(image), 8u);
    std::free(image);
}

TEST_F(BmpReadTest, ExplicitPixelOffsetSkipsTheGapAndZeroOffsetReadsRightAfterTheTable) {
    BmpSpec spec = Picture24(2, 1, {0x112233, 0x445566});
    spec.gap = 10;
    BITMAPINFOHEADER* image = ReadSpec(spec);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(std::memcmp(DIBBits(image), spec.pixels.data(), spec.pixels.size()), 0);
    std::free(image);

    // Offset 0: the pixels follow the table; here they are the gap's bytes.
    spec.autoOffset = false;
    spec.offset = 0;
    image = ReadSpec(spec);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(DIBBits(image)[0], 0xEE);
    std::free(image);
}

TEST_F(BmpReadTest, ProgramPathsWithBackslashesAndOtherCaseAreFound) {
    std::filesystem::create_directory("Art");
    WriteBytes("Art/Pic.bmp", BuildBmp(Picture24(1, 1, {0x010203})));
    BITMAPINFOHEADER* image = ReadBMPFile(".\\ART\\pic.BMP");
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(DIBBits(image)[0], 0x03);
    std::free(image);
}

TEST_F(BmpReadTest, StreamAndHandleVariantsReadTheSameImage) {
    BmpSpec spec = Picture24(2, 2, {1, 2, 3, 4});
    WriteBytes("s.bmp", BuildBmp(spec));
    FILE* stream = std::fopen("s.bmp", "rb");
    ASSERT_NE(stream, nullptr);
    BITMAPINFOHEADER* fromStream = ReadBMPFromStream(stream);
    std::fclose(stream);
    HANDLE file = CreateFileA("s.bmp", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    BITMAPINFOHEADER* fromHandle = ReadBMPFromHandle(file);
    CloseHandle(file);
    ASSERT_NE(fromStream, nullptr);
    ASSERT_NE(fromHandle, nullptr);
    EXPECT_EQ(std::memcmp(fromStream, fromHandle, 40 + 16), 0);
    std::free(fromStream);
    std::free(fromHandle);

    // A truncated stream is refused as the file reader refuses it.
    std::vector<uint8_t> bytes = BuildBmp(spec);
    bytes.resize(bytes.size() - 1);
    WriteBytes("s.bmp", bytes);
    stream = std::fopen("s.bmp", "rb");
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(ReadBMPFromStream(stream), nullptr);
    std::fclose(stream);
    EXPECT_STREQ(g_ErrorText, "ReadBMPFile: error reading file\n");
}

// ---- Refused files ----

TEST_F(BmpReadTest, MissingFileNamesTheFile) {
    EXPECT_EQ(ReadBMPFile("nofile.bmp"), nullptr);
    EXPECT_STREQ(g_ErrorText, "ReadBMPFile: error opening file <nofile.bmp>\n");
    EXPECT_EQ(ReadBMPFile(nullptr), nullptr);
}

TEST_F(BmpReadTest, WrongTypeOrReservedFieldsAreBadFormat) {
    BmpSpec spec;
    spec.reserved1 = 1;
    ExpectRefused(spec, kFormat);
    spec.reserved1 = 0;
    spec.reserved2 = 7;
    ExpectRefused(spec, kFormat);
    spec.reserved2 = 0;
    spec.type = 0x4142; // "BA"
    ExpectRefused(spec, kFormat);
}

TEST_F(BmpReadTest, OtherHeaderSizesAreRefusedAsOs2) {
    for (uint32_t size : {12u, 0u, 39u, 41u, 108u, 124u}) {
        BmpSpec spec;
        spec.headerSize = size;
        ExpectRefused(spec, kOs2);
    }
}

TEST_F(BmpReadTest, TruncationAtEveryStageIsAReadError) {
    BmpSpec spec;
    spec.width = 4;
    spec.height = 4;
    spec.bitCount = 8;
    for (int i = 0; i < 256; ++i)
        AddColour(spec.table, uint8_t(i), 0, 0);
    const std::vector<uint8_t> whole = BuildBmp(spec);
    for (size_t length : {size_t(0), size_t(10), size_t(13), size_t(14), size_t(30), size_t(53), size_t(54),
                          size_t(54 + 500), size_t(54 + 1024), whole.size() - 1}) {
        SCOPED_TRACE(length);
        ExpectRefusedBytes(std::vector<uint8_t>(whole.begin(), whole.begin() + ptrdiff_t(length)), kReading);
    }
}

TEST_F(BmpReadTest, PixelOffsetBeyondTheFileIsAReadError) {
    BmpSpec spec = Picture24(2, 2, {1, 2, 3, 4});
    spec.autoOffset = false;
    spec.offset = 100000;
    ExpectRefused(spec, kReading);
    spec.offset = 0xFFFFFFFFu;
    ExpectRefused(spec, kReading);
}

TEST_F(BmpReadTest, PixelOffsetInsideTheHeadersIsBadFormat) {
    BmpSpec spec = Picture24(2, 2, {1, 2, 3, 4});
    spec.autoOffset = false;
    spec.offset = 20;
    ExpectRefused(spec, kFormat);
    // 53 ends one byte before the header does.
    spec.offset = 53;
    ExpectRefused(spec, kFormat);
    // With a table, the pixels may not start inside it either.
    spec.colorsUsed = 2;
    AddColour(spec.table, 0, 0, 0);
    AddColour(spec.table, 0, 0, 0);
    spec.offset = 58;
    ExpectRefused(spec, kFormat);
}

TEST_F(BmpReadTest, ZeroAndNegativeSizesAreBadFormat) {
    for (int32_t width : {0, -1, INT32_MIN}) {
        BmpSpec spec;
        spec.width = width;
        ExpectRefused(spec, kFormat);
    }
    for (int32_t height : {0, -3, INT32_MIN}) {
        BmpSpec spec;
        spec.height = height;
        ExpectRefused(spec, kFormat);
    }
}

TEST_F(BmpReadTest, PlanesOtherThanOneAreBadFormat) {
    for (uint16_t planes : {0, 2, 0xFFFF}) {
        BmpSpec spec;
        spec.planes = planes;
        ExpectRefused(spec, kFormat);
    }
}

TEST_F(BmpReadTest, UnknownBitCountsAreBadFormat) {
    for (uint16_t bits : {0, 2, 3, 7, 15, 48, 64, 0xFFFF}) {
        BmpSpec spec;
        spec.bitCount = bits;
        ExpectRefused(spec, kFormat);
    }
}

TEST_F(BmpReadTest, CompressedRowsAreBadFormat) {
    for (uint32_t compression : {1u, 2u, 3u, 99u}) {
        BmpSpec spec;
        spec.compression = compression;
        ExpectRefused(spec, kFormat);
    }
}

TEST_F(BmpReadTest, MoreThan256ColoursAreBadFormat) {
    for (uint32_t colours : {257u, 1000u, 16384u, 0x10000u, 0xFFFFFFFFu}) {
        BmpSpec spec;
        spec.bitCount = 8;
        spec.colorsUsed = colours;
        ExpectRefused(spec, kFormat);
    }
    BmpSpec exact;
    exact.bitCount = 8;
    exact.colorsUsed = 256;
    for (int i = 0; i < 256; ++i)
        AddColour(exact.table, 1, 1, 1);
    BITMAPINFOHEADER* image = ReadSpec(exact);
    EXPECT_NE(image, nullptr);
    std::free(image);
}

TEST_F(BmpReadTest, OverflowingOrHugeImagesAreRefusedBeforeAllocation) {
    BmpSpec spec;
    spec.width = INT32_MAX;
    spec.height = INT32_MAX;
    spec.bitCount = 32;
    ExpectRefused(spec, kFormat);
    // Wraps a 32-bit row-size computation to a small value.
    spec.width = 0x40000001;
    spec.height = 1;
    ExpectRefused(spec, kFormat);
    // 12000 x 12000 x 24 bits is over the 256 MiB limit.
    spec.width = 12000;
    spec.height = 12000;
    spec.bitCount = 24;
    ExpectRefused(spec, kFormat);
    // Plausible in size, but the tiny file cannot hold it: refused as a short file.
    spec.width = 5000;
    spec.height = 5000;
    ExpectRefused(spec, kReading);
}

TEST_F(BmpReadTest, EveryRefusalIsLoggedOnceWithoutAnyPartialImage) {
    QuibDebugEnable(1);
    BmpSpec spec;
    spec.planes = 3;
    ExpectRefused(spec, kFormat);
    EXPECT_EQ(ReadLog(), std::string(kFormat) + "\n");
}

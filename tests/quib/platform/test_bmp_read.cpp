// The engine's BMP reader: the files it accepts and how they land in the packed image, and every kind
// of malformed file refused with its message before anything is allocated from the header's sizes.
#include <cstdlib>
#include <filesystem>

#include "host/win/files.h"
#include "quib/platform/bmpfile.h"
#include "quib/platform/dib.h"
#include "tests/quib/bitmap_test_support.h"

using namespace bmptest;

namespace {

class BmpReadTest : public LogFolderTest {
  protected:
    // Writes bmp to "t.bmp" and reads it back.
    BITMAPINFOHEADER* WriteAndRead(const BmpFields& bmp) {
        WriteBytes("t.bmp", BuildBmp(bmp));
        return ReadBMPFile("t.bmp");
    }

    // The file is refused with exactly message.
    void ExpectRefused(const BmpFields& bmp, const char* message) {
        g_ErrorText[0] = '\0';
        BITMAPINFOHEADER* image = WriteAndRead(bmp);
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
    BmpFields bmp = Picture24(3, 2, {0x0000FF, 0x00FF00, 0xFF0000, 0x102030, 0x405060, 0xFFFFFF});
    BITMAPINFOHEADER* image = WriteAndRead(bmp);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->biWidth, 3);
    EXPECT_EQ(image->biHeight, 2);
    EXPECT_EQ(DIBNumColors(image), 0);
    EXPECT_EQ(DIBRowBytes(image), 12u); // 9 bytes of pixels and 3 of padding
    EXPECT_EQ(DIBBits(image), reinterpret_cast<BYTE*>(image) + 40);
    EXPECT_EQ(std::memcmp(DIBBits(image), bmp.pixels.data(), 24), 0);
    // The first stored row is the picture's bottom row: (0x102030) is its first pixel, stored B, G, R.
    EXPECT_EQ(DIBBits(image)[0], 0x30);
    EXPECT_EQ(DIBBits(image)[2], 0x10);
    std::free(image);
}

TEST_F(BmpReadTest, TwentyFourBitFileWithColoursUsedReadsThatManyEntries) {
    BmpFields bmp = Picture24(1, 1, {0xABCDEF});
    bmp.colorsUsed = 2;
    AddColour(bmp.table, 1, 2, 3);
    AddColour(bmp.table, 4, 5, 6);
    BITMAPINFOHEADER* image = WriteAndRead(bmp);
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
    BmpFields bmp;
    bmp.width = 5;
    bmp.height = 3;
    bmp.bitCount = 8;
    for (int i = 0; i < 256; ++i)
        AddColour(bmp.table, uint8_t(i), uint8_t(255 - i), uint8_t(i / 2));
    for (int row = 0; row < 3; ++row)
        for (int x = 0; x < 8; ++x)
            bmp.pixels.push_back(x < 5 ? uint8_t(row * 10 + x) : 0);
    BITMAPINFOHEADER* image = WriteAndRead(bmp);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(DIBNumColors(image), 256);
    EXPECT_EQ(DIBRowBytes(image), 8u);
    EXPECT_EQ(DIBBits(image) - reinterpret_cast<BYTE*>(image), 40 + 1024);
    EXPECT_EQ(DIBBits(image)[8 * 2 + 4], 24);
    EXPECT_EQ(reinterpret_cast<BYTE*>(image)[40 + 4 * 200 + 2], 200); // red of entry 200
    std::free(image);
}

TEST_F(BmpReadTest, OneAndFourBitFilesGetTheirDefaultTableSizes) {
    BmpFields one;
    one.width = 9;
    one.height = 2;
    one.bitCount = 1;
    AddColour(one.table, 0, 0, 0);
    AddColour(one.table, 255, 255, 255);
    BITMAPINFOHEADER* image = WriteAndRead(one);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(DIBNumColors(image), 2);
    EXPECT_EQ(DIBRowBytes(image), 4u);
    std::free(image);

    BmpFields four;
    four.width = 9;
    four.height = 2;
    four.bitCount = 4;
    for (int i = 0; i < 16; ++i)
        AddColour(four.table, uint8_t(i * 16), 0, 0);
    image = WriteAndRead(four);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(DIBPaletteSize(image), 64);
    EXPECT_EQ(DIBRowBytes(image), 8u);
    std::free(image);
}

TEST_F(BmpReadTest, ExplicitPixelOffsetSkipsTheGapAndZeroOffsetReadsRightAfterTheTable) {
    BmpFields bmp = Picture24(2, 1, {0x112233, 0x445566});
    bmp.gap = 10;
    BITMAPINFOHEADER* image = WriteAndRead(bmp);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(std::memcmp(DIBBits(image), bmp.pixels.data(), bmp.pixels.size()), 0);
    std::free(image);

    // Offset 0: the pixels follow the table; here they are the gap's bytes.
    bmp.autoOffset = false;
    bmp.offset = 0;
    image = WriteAndRead(bmp);
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
    BmpFields bmp = Picture24(2, 2, {1, 2, 3, 4});
    WriteBytes("s.bmp", BuildBmp(bmp));
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
    std::vector<uint8_t> bytes = BuildBmp(bmp);
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
    BmpFields bmp;
    bmp.reserved1 = 1;
    ExpectRefused(bmp, kFormat);
    bmp.reserved1 = 0;
    bmp.reserved2 = 7;
    ExpectRefused(bmp, kFormat);
    bmp.reserved2 = 0;
    bmp.type = 0x4142; // "BA"
    ExpectRefused(bmp, kFormat);
}

TEST_F(BmpReadTest, OtherHeaderSizesAreRefusedAsOs2) {
    for (uint32_t size : {12u, 0u, 39u, 41u, 108u, 124u}) {
        BmpFields bmp;
        bmp.headerSize = size;
        ExpectRefused(bmp, kOs2);
    }
}

TEST_F(BmpReadTest, TruncationAtEveryStageIsAReadError) {
    BmpFields bmp;
    bmp.width = 4;
    bmp.height = 4;
    bmp.bitCount = 8;
    for (int i = 0; i < 256; ++i)
        AddColour(bmp.table, uint8_t(i), 0, 0);
    const std::vector<uint8_t> whole = BuildBmp(bmp);
    for (size_t length : {size_t(0), size_t(10), size_t(13), size_t(14), size_t(30), size_t(53), size_t(54),
                          size_t(54 + 500), size_t(54 + 1024), whole.size() - 1}) {
        SCOPED_TRACE(length);
        ExpectRefusedBytes(std::vector<uint8_t>(whole.begin(), whole.begin() + ptrdiff_t(length)), kReading);
    }
}

TEST_F(BmpReadTest, PixelOffsetBeyondTheFileIsAReadError) {
    BmpFields bmp = Picture24(2, 2, {1, 2, 3, 4});
    bmp.autoOffset = false;
    bmp.offset = 100000;
    ExpectRefused(bmp, kReading);
    bmp.offset = 0xFFFFFFFFu;
    ExpectRefused(bmp, kReading);
}

TEST_F(BmpReadTest, PixelOffsetInsideTheHeadersIsBadFormat) {
    BmpFields bmp = Picture24(2, 2, {1, 2, 3, 4});
    bmp.autoOffset = false;
    bmp.offset = 20;
    ExpectRefused(bmp, kFormat);
    // 53 ends one byte before the header does.
    bmp.offset = 53;
    ExpectRefused(bmp, kFormat);
    // With a table, the pixels may not start inside it either.
    bmp.colorsUsed = 2;
    AddColour(bmp.table, 0, 0, 0);
    AddColour(bmp.table, 0, 0, 0);
    bmp.offset = 58;
    ExpectRefused(bmp, kFormat);
}

TEST_F(BmpReadTest, ZeroAndNegativeSizesAreBadFormat) {
    for (int32_t width : {0, -1, INT32_MIN}) {
        BmpFields bmp;
        bmp.width = width;
        ExpectRefused(bmp, kFormat);
    }
    for (int32_t height : {0, -3, INT32_MIN}) {
        BmpFields bmp;
        bmp.height = height;
        ExpectRefused(bmp, kFormat);
    }
}

TEST_F(BmpReadTest, PlanesOtherThanOneAreBadFormat) {
    for (uint16_t planes : {0, 2, 0xFFFF}) {
        BmpFields bmp;
        bmp.planes = planes;
        ExpectRefused(bmp, kFormat);
    }
}

TEST_F(BmpReadTest, UnknownBitCountsAreBadFormat) {
    for (uint16_t bits : {0, 2, 3, 7, 15, 48, 64, 0xFFFF}) {
        BmpFields bmp;
        bmp.bitCount = bits;
        ExpectRefused(bmp, kFormat);
    }
}

TEST_F(BmpReadTest, CompressedRowsAreBadFormat) {
    for (uint32_t compression : {1u, 2u, 3u, 99u}) {
        BmpFields bmp;
        bmp.compression = compression;
        ExpectRefused(bmp, kFormat);
    }
}

TEST_F(BmpReadTest, MoreThan256ColoursAreBadFormat) {
    for (uint32_t colours : {257u, 1000u, 16384u, 0x10000u, 0xFFFFFFFFu}) {
        BmpFields bmp;
        bmp.bitCount = 8;
        bmp.colorsUsed = colours;
        ExpectRefused(bmp, kFormat);
    }
    BmpFields exact;
    exact.bitCount = 8;
    exact.colorsUsed = 256;
    for (int i = 0; i < 256; ++i)
        AddColour(exact.table, 1, 1, 1);
    BITMAPINFOHEADER* image = WriteAndRead(exact);
    EXPECT_NE(image, nullptr);
    std::free(image);
}

TEST_F(BmpReadTest, OverflowingOrHugeImagesAreRefusedBeforeAllocation) {
    BmpFields bmp;
    bmp.width = INT32_MAX;
    bmp.height = INT32_MAX;
    bmp.bitCount = 32;
    ExpectRefused(bmp, kFormat);
    // Wraps a 32-bit row-size computation to a small value.
    bmp.width = 0x40000001;
    bmp.height = 1;
    ExpectRefused(bmp, kFormat);
    // 12000 x 12000 x 24 bits is over the 256 MiB limit.
    bmp.width = 12000;
    bmp.height = 12000;
    bmp.bitCount = 24;
    ExpectRefused(bmp, kFormat);
    // Plausible in size, but the tiny file cannot hold it: refused as a short file.
    bmp.width = 5000;
    bmp.height = 5000;
    ExpectRefused(bmp, kReading);
}

TEST_F(BmpReadTest, EveryRefusalIsLoggedOnceWithoutAnyPartialImage) {
    QuibDebugEnable(1);
    BmpFields bmp;
    bmp.planes = 3;
    ExpectRefused(bmp, kFormat);
    EXPECT_EQ(ReadLog(), std::string(kFormat) + "\n");
}

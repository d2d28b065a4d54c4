// The packed-image helpers: sizes and addresses, the 1-bit pixel setter, the fixed palettes, colour
// tables for conversions and conversions between sizes and depths.
#include <cstdlib>

#include "quib/platform/dib.h"
#include "tests/quib/bitmap_test_support.h"

using namespace bmptest;

namespace {

BITMAPINFOHEADER Header(int32_t width, int32_t height, uint16_t bits, uint32_t colours = 0) {
    BITMAPINFOHEADER header = {};
    header.biSize = 40;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = bits;
    header.biClrUsed = colours;
    return header;
}

// A packed image with room for its table, zero-filled.
BITMAPINFOHEADER* NewImage(const BITMAPINFOHEADER& header) {
    auto* image =
        static_cast<BITMAPINFOHEADER*>(std::calloc(1, 40 + DIBPaletteSize(&header) + DIBImageBytes(&header)));
    *image = header;
    return image;
}

RGBQUAD* Table(BITMAPINFOHEADER* image) {
    return reinterpret_cast<RGBQUAD*>(reinterpret_cast<BYTE*>(image) + 40);
}

bool Same(const RGBQUAD& colour, BYTE red, BYTE green, BYTE blue) {
    return colour.rgbRed == red && colour.rgbGreen == green && colour.rgbBlue == blue;
}

using DibTest = LogFolderTest;

} // namespace

TEST_F(DibTest, ColourCountsFollowColoursUsedOrTheDepth) {
    BITMAPINFOHEADER header = Header(1, 1, 8);
    EXPECT_EQ(DIBNumColors(&header), 256);
    header.biClrUsed = 3;
    EXPECT_EQ(DIBNumColors(&header), 3);
    EXPECT_EQ(DIBPaletteSize(&header), 12);
    header.biClrUsed = 0x10005; // only the low 16 bits count
    EXPECT_EQ(DIBNumColors(&header), 5);
    for (uint16_t bits : {16, 24, 32}) {
        BITMAPINFOHEADER rgb = Header(1, 1, bits);
        EXPECT_EQ(DIBNumColors(&rgb), 0);
    }
    BITMAPINFOHEADER one = Header(1, 1, 1), four = Header(1, 1, 4);
    EXPECT_EQ(DIBNumColors(&one), 2);
    EXPECT_EQ(DIBNumColors(&four), 16);
}

TEST_F(DibTest, RowsArePaddedToWholeWords) {
    struct Case {
        int32_t width;
        uint16_t bits;
        DWORD bytes;
    } cases[] = {{3, 24, 12}, {4, 24, 12}, {1, 1, 4},  {33, 1, 8},
                 {9, 4, 8},   {5, 8, 8},   {3, 16, 8}, {7, 32, 28}};
    for (const Case& c : cases) {
        BITMAPINFOHEADER header = Header(c.width, 2, c.bits);
        EXPECT_EQ(DIBRowBytes(&header), c.bytes) << c.width << "x" << c.bits;
        EXPECT_EQ(DIBImageBytes(&header), 2 * c.bytes);
    }
}

TEST_F(DibTest, PixelsStartAfterHeaderAndTable) {
    BITMAPINFOHEADER* image = NewImage(Header(2, 2, 4));
    EXPECT_EQ(DIBBits(image), reinterpret_cast<BYTE*>(image) + 40 + 64);
    std::free(image);
    std::vector<BYTE> file(14 + 40);
    EXPECT_EQ(reinterpret_cast<BYTE*>(BMPFileToDIB(file.data())), file.data() + 14);
}

TEST_F(DibTest, OneBitPixelsAreCountedFromTheTopRow) {
    std::vector<BYTE> rows(4 * 3, 0); // 3 rows of a 10-pixel 1-bit image, 4 bytes each
    SetDIBPixel1(rows.data(), 10, 3, 0, 0, 1);
    SetDIBPixel1(rows.data(), 10, 3, 9, 2, 1);
    EXPECT_EQ(rows[8], 0x80); // top row is stored last
    EXPECT_EQ(rows[1], 0x40); // x 9 is bit 6 of byte 1 in the bottom row
    SetDIBPixel1(rows.data(), 10, 3, 0, 0, 0);
    EXPECT_EQ(rows[8], 0x00);
    // Outside the picture nothing is touched.
    SetDIBPixel1(rows.data(), 10, 3, 10, 0, 1);
    SetDIBPixel1(rows.data(), 10, 3, -1, 0, 1);
    SetDIBPixel1(rows.data(), 10, 3, 0, 3, 1);
    EXPECT_EQ(rows, (std::vector<BYTE>{0, 0x40, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST_F(DibTest, HalftonePaletteIsA332CubeWithExactCorners) {
    RGBQUAD colours[256];
    HalftonePalette(colours);
    EXPECT_TRUE(Same(colours[0], 0, 0, 0));
    EXPECT_TRUE(Same(colours[3], 0, 0, 255));
    EXPECT_TRUE(Same(colours[7 << 2], 0, 255, 0));
    EXPECT_TRUE(Same(colours[7 << 5], 255, 0, 0));
    EXPECT_TRUE(Same(colours[255], 255, 255, 255));
    EXPECT_TRUE(Same(colours[(3 << 5) | (4 << 2) | 1], 109, 146, 85));
}

TEST_F(DibTest, ColourTablesForConversionsFollowTheTargetDepth) {
    BITMAPINFOHEADER* source8 = NewImage(Header(1, 1, 8, 2));
    Table(source8)[0] = {1, 2, 3, 0};
    Table(source8)[1] = {4, 5, 6, 0};
    BITMAPINFOHEADER* source24 = NewImage(Header(1, 1, 24));

    BITMAPINFOHEADER* target = NewImage(Header(1, 1, 8));
    EXPECT_EQ(InitDIBColorTable(target, source8), 1);
    EXPECT_TRUE(Same(Table(target)[1], 6, 5, 4));
    // Entries the source does not carry come from the halftone palette.
    EXPECT_TRUE(Same(Table(target)[255], 255, 255, 255));
    InitDIBColorTable(target, source24);
    EXPECT_TRUE(Same(Table(target)[3], 0, 0, 255));
    std::free(target);

    target = NewImage(Header(1, 1, 4));
    InitDIBColorTable(target, source24);
    EXPECT_TRUE(Same(Table(target)[12], 0, 0, 255));
    EXPECT_TRUE(Same(Table(target)[15], 255, 255, 255));
    std::free(target);

    target = NewImage(Header(1, 1, 1));
    InitDIBColorTable(target, source8);
    EXPECT_TRUE(Same(Table(target)[0], 0, 0, 0));
    EXPECT_TRUE(Same(Table(target)[1], 255, 255, 255));
    std::free(target);
    std::free(source8);
    std::free(source24);
}

TEST_F(DibTest, ConvertingTo8BitMatchesEachColourToTheHalftonePalette) {
    BITMAPINFOHEADER* source = NewImage(Header(3, 1, 24));
    BYTE* pixels = DIBBits(source);
    const BYTE rgbRow[] = {255, 0, 0, /*blue*/ 0, 0, 0, /*black*/ 255, 255, 255 /*white*/};
    std::memcpy(pixels, rgbRow, sizeof rgbRow);
    BITMAPINFOHEADER* converted = ConvertDIB(source, 3, 1, 8, 0);
    ASSERT_NE(converted, nullptr);
    EXPECT_EQ(converted->biBitCount, 8);
    EXPECT_EQ(DIBBits(converted)[0], 3);
    EXPECT_EQ(DIBBits(converted)[1], 0);
    EXPECT_EQ(DIBBits(converted)[2], 255);
    std::free(converted);
    std::free(source);
}

TEST_F(DibTest, ConvertingStretchesOnlyWhenAsked) {
    // A 2x1 picture: red then blue.
    BITMAPINFOHEADER* source = NewImage(Header(2, 1, 24));
    const BYTE rgbRow[] = {0, 0, 255, 255, 0, 0};
    std::memcpy(DIBBits(source), rgbRow, sizeof rgbRow);

    BITMAPINFOHEADER* stretched = ConvertDIB(source, 4, 1, 24, 1);
    ASSERT_NE(stretched, nullptr);
    const BYTE* row = DIBBits(stretched);
    EXPECT_EQ(row[2], 255); // red
    EXPECT_EQ(row[5], 255); // red again
    EXPECT_EQ(row[6], 255); // blue
    EXPECT_EQ(row[9], 255);
    std::free(stretched);

    BITMAPINFOHEADER* copied = ConvertDIB(source, 4, 1, 24, 0);
    ASSERT_NE(copied, nullptr);
    row = DIBBits(copied);
    EXPECT_EQ(row[2], 255);
    EXPECT_EQ(row[3], 255);
    EXPECT_EQ(std::vector<BYTE>(row + 6, row + 12), std::vector<BYTE>(6, 0)); // nothing beyond the source
    std::free(copied);

    EXPECT_EQ(ConvertDIB(source, 0, 1, 24, 0), nullptr);
    EXPECT_EQ(ConvertDIB(source, 1, 1, 7, 0), nullptr);
    std::free(source);
}

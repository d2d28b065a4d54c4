// Bitmap files in every header form, loaded with LoadImageA and copied onto surfaces the way the engine's
// loader does (memory DC + StretchBlt onto a surface DC), with exact expected pixels.
#include "test_gdi_support.h"

using gditest::BmpDesc;
using gditest::MakeBmp;
using gditest::PackRows;
using gditest::Surface16;
using gditest::Surface8;
using gditest::TempFolder;
using gditest::To555;
using gditest::To565;

namespace {

typedef std::vector<std::vector<uint32_t>> Rows;

// A 5x3 picture (odd width, so rows need padding) of colours 0xRRGGBB, top row first.
const Rows kPicture = {{0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x000000},
                       {0xFFFF00, 0x00FFFF, 0xFF00FF, 0x808080, 0x0703FA},
                       {0x010203, 0xC86432, 0x080408, 0xFEFDFC, 0x0000FF}};

int Red(uint32_t c) {
    return (c >> 16) & 0xFF;
}
int Green(uint32_t c) {
    return (c >> 8) & 0xFF;
}
int Blue(uint32_t c) {
    return c & 0xFF;
}

Rows Map(const Rows& rows, uint32_t (*f)(uint32_t)) {
    Rows out = rows;
    for (auto& row : out)
        for (auto& v : row)
            v = f(v);
    return out;
}

// Loads bytes through a file and LoadImageA; NULL when the loader refuses them.
HBITMAP LoadBytes(const std::vector<BYTE>& bytes, const char* name = "picture.bmp") {
    TempFolder folder;
    std::string path = folder.write(name, bytes);
    return static_cast<HBITMAP>(
        LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
}

BITMAP Describe(HBITMAP bitmap) {
    BITMAP description{};
    EXPECT_EQ(GetObjectA(bitmap, sizeof description, &description), static_cast<int>(sizeof description));
    return description;
}

// Copies the whole bitmap onto the whole surface, as the engine's loader does.
void CopyOnto(HBITMAP bitmap, HDC surface, int width, int height) {
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    ASSERT_NE(previous, nullptr);
    BITMAP description = Describe(bitmap);
    EXPECT_TRUE(StretchBlt(surface, 0, 0, width, height, memory, 0, 0, description.bmWidth,
                           description.bmHeight, SRCCOPY));
    SelectObject(memory, previous);
    DeleteDC(memory);
}

// Loads a file, checks its size and depth, and returns its pixels on a 16-bit surface.
std::vector<WORD> LoadAs16(const std::vector<BYTE>& bytes, int width, int height, int depth,
                           bool is555 = false) {
    HBITMAP bitmap = LoadBytes(bytes);
    EXPECT_NE(bitmap, nullptr);
    if (!bitmap) return {};
    BITMAP description = Describe(bitmap);
    EXPECT_EQ(description.bmWidth, width);
    EXPECT_EQ(description.bmHeight, height);
    EXPECT_EQ(description.bmBitsPixel, depth);
    Surface16 surface(width, height, is555);
    surface.fill(0xDEAD);
    CopyOnto(bitmap, surface.dc(), width, height);
    EXPECT_TRUE(DeleteObject(bitmap));
    std::vector<WORD> pixels;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels.push_back(surface.at(x, y));
    EXPECT_TRUE(surface.marginUntouched());
    return pixels;
}

std::vector<WORD> Expected565(const Rows& rows) {
    std::vector<WORD> out;
    for (const auto& row : rows)
        for (uint32_t c : row)
            out.push_back(To565(Red(c), Green(c), Blue(c)));
    return out;
}

std::vector<WORD> Flatten16(const Rows& rows) {
    std::vector<WORD> out;
    for (const auto& row : rows)
        for (uint32_t v : row)
            out.push_back(static_cast<WORD>(v));
    return out;
}

BmpDesc DirectDesc(int bits, uint32_t headerSize = 40, bool topDown = false) {
    BmpDesc desc;
    desc.headerSize = headerSize;
    desc.width = 5;
    desc.height = topDown ? -3 : 3;
    desc.bits = bits;
    desc.pixels = PackRows(kPicture, bits, topDown);
    return desc;
}

// A colour table and a picture of indices into it.
const std::vector<RGBQUAD> kTable = {{0, 0, 0, 0},       {0, 0, 255, 0},   {0, 255, 0, 0}, {255, 0, 0, 0},
                                     {255, 255, 255, 0}, {3, 130, 250, 0}, {9, 9, 9, 0},   {200, 100, 50, 0}};
const Rows kIndices = {{1, 2, 3, 4, 0}, {5, 6, 7, 1, 1}, {0, 7, 3, 5, 4}};

std::vector<WORD> ExpectedFromTable(const Rows& indices, const std::vector<RGBQUAD>& table) {
    std::vector<WORD> out;
    for (const auto& row : indices)
        for (uint32_t i : row)
            out.push_back(To565(table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue));
    return out;
}

} // namespace

TEST(GdiBmp, DirectColourFilesInEveryHeaderForm) {
    std::vector<WORD> expected = Expected565(kPicture);
    EXPECT_EQ(LoadAs16(MakeBmp(DirectDesc(24)), 5, 3, 24), expected) << "24 bits, bottom-up";
    EXPECT_EQ(LoadAs16(MakeBmp(DirectDesc(24, 40, true)), 5, 3, 24), expected) << "24 bits, top-down";
    EXPECT_EQ(LoadAs16(MakeBmp(DirectDesc(32)), 5, 3, 32), expected) << "32 bits";
    EXPECT_EQ(LoadAs16(MakeBmp(DirectDesc(24, 12)), 5, 3, 24), expected) << "12-byte core header";
    EXPECT_EQ(LoadAs16(MakeBmp(DirectDesc(24, 52)), 5, 3, 24), expected) << "52-byte header";
    EXPECT_EQ(LoadAs16(MakeBmp(DirectDesc(24, 56)), 5, 3, 24), expected) << "56-byte header";
    EXPECT_EQ(LoadAs16(MakeBmp(DirectDesc(24, 108)), 5, 3, 24), expected) << "108-byte header";
    EXPECT_EQ(LoadAs16(MakeBmp(DirectDesc(32, 124, true)), 5, 3, 32), expected)
        << "124-byte header, top-down";
}

TEST(GdiBmp, ThirtyTwoBitBitfieldsFollowTheirMasks) {
    // Channels in an unusual order: blue in the top byte, red in the second.
    BmpDesc desc = DirectDesc(32);
    desc.compression = BI_BITFIELDS;
    desc.masks[0] = 0x0000FF00;
    desc.masks[1] = 0x00FF0000;
    desc.masks[2] = 0xFF000000;
    desc.pixels = PackRows(Map(kPicture,
                               [](uint32_t c) -> uint32_t {
                                   return static_cast<uint32_t>(Red(c)) << 8 |
                                          static_cast<uint32_t>(Green(c)) << 16 |
                                          static_cast<uint32_t>(Blue(c)) << 24;
                               }),
                           32);
    EXPECT_EQ(LoadAs16(MakeBmp(desc), 5, 3, 32), Expected565(kPicture)) << "after a 40-byte header";
    desc.headerSize = 108;
    EXPECT_EQ(LoadAs16(MakeBmp(desc), 5, 3, 32), Expected565(kPicture)) << "inside a 108-byte header";
}

TEST(GdiBmp, SixteenBitFilesCopyExactlyOntoTheirOwnFormat) {
    Rows words565 = Map(kPicture, [](uint32_t c) -> uint32_t { return To565(Red(c), Green(c), Blue(c)); });
    Rows words555 = Map(kPicture, [](uint32_t c) -> uint32_t { return To555(Red(c), Green(c), Blue(c)); });
    words565[2][2] = 0x0821; // low bits set in every channel
    words555[2][2] = 0x0421;

    BmpDesc plain = DirectDesc(16); // BI_RGB 16 bits is 5-5-5
    plain.pixels = PackRows(words555, 16);
    EXPECT_EQ(LoadAs16(MakeBmp(plain), 5, 3, 16, true), Flatten16(words555)) << "BI_RGB onto 5-5-5";

    BmpDesc fields555 = plain;
    fields555.compression = BI_BITFIELDS;
    fields555.masks[0] = 0x7C00;
    fields555.masks[1] = 0x03E0;
    fields555.masks[2] = 0x001F;
    EXPECT_EQ(LoadAs16(MakeBmp(fields555), 5, 3, 16, true), Flatten16(words555)) << "bitfields 5-5-5";

    BmpDesc fields565 = DirectDesc(16, 40, true);
    fields565.compression = BI_BITFIELDS;
    fields565.masks[0] = 0xF800;
    fields565.masks[1] = 0x07E0;
    fields565.masks[2] = 0x001F;
    fields565.pixels = PackRows(words565, 16, true);
    EXPECT_EQ(LoadAs16(MakeBmp(fields565), 5, 3, 16), Flatten16(words565)) << "bitfields 5-6-5, top-down";
    fields565.headerSize = 124;
    EXPECT_EQ(LoadAs16(MakeBmp(fields565), 5, 3, 16), Flatten16(words565))
        << "masks inside a 124-byte header";
}

TEST(GdiBmp, FiveFiveFiveFilesWidenOntoFiveSixFiveSurfaces) {
    BmpDesc desc = DirectDesc(16);
    desc.pixels = PackRows({{0x7FFF, 0x0000, 0x03E0, 0x0020, 0x001F}}, 16);
    desc.height = 1;
    // Green 5 bits widen by repeating the top bit: 31 -> 63, 1 -> 2.
    EXPECT_EQ(LoadAs16(MakeBmp(desc), 5, 1, 16), (std::vector<WORD>{0xFFFF, 0x0000, 0x07E0, 0x0040, 0x001F}));
}

TEST(GdiBmp, FileBlueTruncatesToTheFrameworkKey) {
    BmpDesc desc;
    desc.width = 3;
    desc.pixels = PackRows({{0x0000FF, 0xFFFFFF, 0x0703FF}}, 24);
    EXPECT_EQ(LoadAs16(MakeBmp(desc), 3, 1, 24), (std::vector<WORD>{0x001F, 0xFFFF, 0x001F}));
    EXPECT_EQ(LoadAs16(MakeBmp(desc), 3, 1, 24, true), (std::vector<WORD>{0x001F, 0x7FFF, 0x001F}));
}

TEST(GdiBmp, IndexedFilesResolveThroughTheirTable) {
    auto indexedDesc = [](int bits, uint32_t headerSize) {
        BmpDesc desc;
        desc.headerSize = headerSize;
        desc.width = 5;
        desc.height = 3;
        desc.bits = bits;
        desc.colors.assign(kTable.begin(), kTable.end());
        desc.colors.resize(size_t{1} << bits, RGBQUAD{0, 0, 0, 0});
        desc.pixels = PackRows(kIndices, bits);
        return desc;
    };
    std::vector<WORD> expected = ExpectedFromTable(kIndices, kTable);
    EXPECT_EQ(LoadAs16(MakeBmp(indexedDesc(8, 40)), 5, 3, 8), expected) << "8 bits";
    EXPECT_EQ(LoadAs16(MakeBmp(indexedDesc(4, 40)), 5, 3, 4), expected) << "4 bits";
    EXPECT_EQ(LoadAs16(MakeBmp(indexedDesc(8, 12)), 5, 3, 8), expected) << "8 bits, core header";
    EXPECT_EQ(LoadAs16(MakeBmp(indexedDesc(4, 124)), 5, 3, 4), expected) << "4 bits, 124-byte header";

    BmpDesc shortTable = indexedDesc(8, 40);
    shortTable.colors.assign(kTable.begin(), kTable.end());
    shortTable.colorsUsed = 8;
    EXPECT_EQ(LoadAs16(MakeBmp(shortTable), 5, 3, 8), expected) << "colours used 8";

    BmpDesc gap = shortTable;
    gap.gapBeforePixels = 10; // explicit pixel offset past filler bytes
    EXPECT_EQ(LoadAs16(MakeBmp(gap), 5, 3, 8), expected) << "pixel offset with a gap";

    BmpDesc zeroOffset = shortTable;
    zeroOffset.pixelOffset = 0; // rows follow the table
    EXPECT_EQ(LoadAs16(MakeBmp(zeroOffset), 5, 3, 8), expected) << "pixel offset 0";

    BmpDesc mono = indexedDesc(1, 40);
    mono.colors = {{0, 0, 0, 0}, {0, 255, 255, 0}};
    Rows bits = {{1, 0, 1, 1, 0, 0, 0, 0, 1}, {0, 1, 0, 0, 1, 1, 1, 1, 0}};
    mono.width = 9;
    mono.height = 2;
    mono.pixels = PackRows(bits, 1);
    EXPECT_EQ(LoadAs16(MakeBmp(mono), 9, 2, 1), ExpectedFromTable(bits, mono.colors)) << "1 bit";
}

TEST(GdiBmp, IndexedFilesKeepTheirColourTable) {
    BmpDesc desc;
    desc.width = 2;
    desc.bits = 8;
    desc.colors = {{10, 20, 30, 0}, {40, 50, 60, 0}, {70, 80, 90, 0}};
    desc.colorsUsed = 3;
    desc.pixels = PackRows({{2, 1}}, 8);
    HBITMAP bitmap = LoadBytes(MakeBmp(desc));
    ASSERT_NE(bitmap, nullptr);
    HDC memory = CreateCompatibleDC(nullptr);
    SelectObject(memory, bitmap);
    RGBQUAD table[256];
    ASSERT_EQ(GetDIBColorTable(memory, 0, 256, table), 256u);
    EXPECT_EQ(table[0].rgbBlue, 10);
    EXPECT_EQ(table[2].rgbRed, 90);
    EXPECT_EQ(table[3].rgbRed + table[3].rgbGreen + table[3].rgbBlue + table[255].rgbRed, 0)
        << "unused: black";
    DeleteDC(memory);
    DeleteObject(bitmap);
}

TEST(GdiBmp, RunLengthEncodedFilesDecode) {
    BmpDesc rle8;
    rle8.width = 5;
    rle8.height = 3;
    rle8.bits = 8;
    rle8.compression = BI_RLE8;
    rle8.colors = kTable;
    rle8.colorsUsed = 8;
    rle8.pixels = {3, 1, 2, 2, 0, 0,             // bottom row: 1 1 1 2 2, end of line
                   0, 3, 3, 4, 5, 0, 1, 6, 0, 0, // absolute 3 4 5 (padded), run 6, end of line
                   0, 2, 2, 0, 3, 7,             // delta right 2, run 7 7 7
                   0, 1};                        // end of bitmap
    Rows expected8 = {{0, 0, 7, 7, 7}, {3, 4, 5, 6, 0}, {1, 1, 1, 2, 2}};
    EXPECT_EQ(LoadAs16(MakeBmp(rle8), 5, 3, 8), ExpectedFromTable(expected8, kTable)) << "RLE8";

    BmpDesc rle4 = rle8;
    rle4.width = 6;
    rle4.height = 2;
    rle4.bits = 4;
    rle4.compression = BI_RLE4;
    rle4.pixels = {5, 0x12, 1,    0x30, 0, 0, // 1 2 1 2 1, 3, end of line
                   0, 3,    0x45, 0x60,       // absolute 4 5 6 (two bytes, already even)
                   3, 0x77, 0,    1};         // run 7 7 7, end of bitmap
    Rows expected4 = {{4, 5, 6, 7, 7, 7}, {1, 2, 1, 2, 1, 3}};
    EXPECT_EQ(LoadAs16(MakeBmp(rle4), 6, 2, 4), ExpectedFromTable(expected4, kTable)) << "RLE4";

    BmpDesc noEnd = rle8;
    noEnd.pixels = {5, 4, 0, 0, 2, 3}; // row of 4s, end of line, 3 3; no end-of-bitmap code
    Rows expectedNoEnd = {{0, 0, 0, 0, 0}, {3, 3, 0, 0, 0}, {4, 4, 4, 4, 4}};
    EXPECT_EQ(LoadAs16(MakeBmp(noEnd), 5, 3, 8), ExpectedFromTable(expectedNoEnd, kTable)) << "no end code";
}

TEST(GdiBmp, MissingOrUnsupportedRequestsGiveNull) {
    EXPECT_EQ(LoadImageA(nullptr, "no_such_file.bmp", IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE), nullptr);
    EXPECT_EQ(LoadImageA(nullptr, nullptr, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE), nullptr);
    TempFolder folder;
    std::string path = folder.write("Tile.BMP", MakeBmp(DirectDesc(24)));
    EXPECT_EQ(LoadImageA(nullptr, path.c_str(), 1, 0, 0, LR_LOADFROMFILE), nullptr) << "not a bitmap request";
    EXPECT_EQ(LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, 0), nullptr) << "resource, not a file";
    EXPECT_EQ(LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 8, 8, LR_LOADFROMFILE), nullptr) << "resizing";
    // Program paths are found case-insensitively.
    std::string folderName = path.substr(0, path.find('\\'));
    HANDLE loaded =
        LoadImageA(nullptr, (folderName + "\\tile.bmp").c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE);
    EXPECT_NE(loaded, nullptr);
    DeleteObject(loaded);
}

TEST(GdiBmp, EightBitSurfacesMatchThePalette) {
    // The surface's palette has the file's table, with a duplicate colour at 1 and 5: the copy keeps
    // every index as it is.
    std::vector<RGBQUAD> table = {{0, 0, 0, 0},   {255, 0, 0, 0}, {0, 255, 0, 0},
                                  {0, 0, 255, 0}, {9, 9, 9, 0},   {255, 0, 0, 0}};
    std::vector<PALETTEENTRY> palette;
    for (const RGBQUAD& c : table)
        palette.push_back(PALETTEENTRY{c.rgbRed, c.rgbGreen, c.rgbBlue, 0});
    BmpDesc indexed;
    indexed.width = 6;
    indexed.bits = 8;
    indexed.colors = table;
    indexed.colorsUsed = 6;
    indexed.pixels = PackRows({{5, 4, 3, 2, 1, 0}}, 8);
    HBITMAP bitmap = LoadBytes(MakeBmp(indexed));
    ASSERT_NE(bitmap, nullptr);
    {
        Surface8 surface(6, 1, palette);
        CopyOnto(bitmap, surface.dc(), 6, 1);
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(surface.at(x, 0), 5 - x);
    }
    DeleteObject(bitmap);

    // A direct-colour file takes the nearest entry; of two equally near entries the first wins.
    BmpDesc direct;
    direct.width = 4;
    direct.pixels = PackRows({{0xF00000, 0x0000FF, 0x0A0A0A, 0x900000}}, 24);
    std::vector<PALETTEENTRY> ties = {
        {0, 0, 0, 0}, {255, 0, 0, 0}, {0, 0, 250, 0}, {10, 10, 10, 0}, {0, 0, 250, 0}};
    bitmap = LoadBytes(MakeBmp(direct));
    ASSERT_NE(bitmap, nullptr);
    {
        Surface8 surface(4, 1, ties);
        CopyOnto(bitmap, surface.dc(), 4, 1);
        EXPECT_EQ(surface.at(0, 0), 1);
        EXPECT_EQ(surface.at(1, 0), 2) << "first of two equal entries";
        EXPECT_EQ(surface.at(2, 0), 3);
        EXPECT_EQ(surface.at(3, 0), 1) << "(144, 0, 0) is nearer red than (10, 10, 10)";
    }
    DeleteObject(bitmap);
}

TEST(GdiBmp, StretchScalesByNearestNeighbour) {
    BmpDesc desc;
    desc.width = 2;
    desc.height = 2;
    desc.pixels = PackRows({{0xFF0000, 0x00FF00}, {0x0000FF, 0xFFFFFF}}, 24);
    HBITMAP bitmap = LoadBytes(MakeBmp(desc));
    ASSERT_NE(bitmap, nullptr);
    Surface16 big(4, 4);
    CopyOnto(bitmap, big.dc(), 4, 4);
    WORD r = To565(255, 0, 0), g = To565(0, 255, 0), b = 0x001F, w = 0xFFFF;
    WORD expected[4][4] = {{r, r, g, g}, {r, r, g, g}, {b, b, w, w}, {b, b, w, w}};
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(big.at(x, y), expected[y][x]) << x << "," << y;
    Surface16 small(1, 1);
    CopyOnto(bitmap, small.dc(), 1, 1);
    EXPECT_EQ(small.at(0, 0), w) << "the centre sample of a 2x2 source";
    DeleteObject(bitmap);
}

TEST(GdiBmp, BlitsClipToBothDcs) {
    BmpDesc desc = DirectDesc(24);
    HBITMAP bitmap = LoadBytes(MakeBmp(desc));
    ASSERT_NE(bitmap, nullptr);
    HDC memory = CreateCompatibleDC(nullptr);
    SelectObject(memory, bitmap);
    Surface16 surface(4, 4);
    surface.fill(0);
    EXPECT_TRUE(BitBlt(surface.dc(), -2, -1, 5, 3, memory, 0, 0, SRCCOPY));
    EXPECT_EQ(surface.at(0, 0), To565(255, 0, 255)) << "source (2, 1)";
    EXPECT_EQ(surface.at(1, 1), To565(254, 253, 252)) << "source (3, 2)";
    EXPECT_EQ(surface.at(2, 1), 0x001F) << "source (4, 2)";
    EXPECT_EQ(surface.at(3, 0), 0);
    EXPECT_EQ(surface.at(0, 2), 0);
    surface.fill(0);
    EXPECT_TRUE(
        BitBlt(surface.dc(), 1, 1, 4, 4, memory, 3, 1, SRCCOPY)); // source runs off its right and bottom
    EXPECT_EQ(surface.at(1, 1), To565(128, 128, 128));
    EXPECT_EQ(surface.at(2, 2), 0x001F);
    EXPECT_EQ(surface.at(3, 1), 0) << "outside the source: untouched";
    EXPECT_EQ(surface.at(1, 3), 0);
    EXPECT_TRUE(surface.marginUntouched());
    EXPECT_TRUE(BitBlt(surface.dc(), 2000000000, -2000000000, 2000000000, 2000000000, memory, 0, 0, SRCCOPY));
    EXPECT_FALSE(BitBlt(surface.dc(), 0, 0, -1, 2, memory, 0, 0, SRCCOPY)) << "mirroring is not supported";
    EXPECT_FALSE(BitBlt(surface.dc(), 0, 0, 1, 1, memory, 0, 0, 0x1234)) << "only SRCCOPY";
    EXPECT_FALSE(BitBlt(surface.dc(), 0, 0, 1, 1, nullptr, 0, 0, SRCCOPY));
    EXPECT_TRUE(surface.marginUntouched());
    DeleteDC(memory);
    DeleteObject(bitmap);
}

TEST(GdiBmp, SurfacesCopyIntoDibSections) {
    // The other direction: a surface DC as the source, an indexed DIB section as the target.
    Surface16 surface(2, 1);
    surface.fill(0xFFFF);
    std::vector<BYTE> storage(sizeof(BITMAPINFOHEADER) + 2 * sizeof(RGBQUAD), 0);
    auto* info = reinterpret_cast<BITMAPINFO*>(storage.data());
    info->bmiHeader = BITMAPINFOHEADER{40, 2, -1, 1, 1, BI_RGB, 0, 0, 0, 2, 0};
    info->bmiColors[0] = RGBQUAD{0, 0, 0, 0};
    reinterpret_cast<RGBQUAD*>(info->bmiColors)[1] = RGBQUAD{255, 255, 255, 0};
    void* bits = nullptr;
    HBITMAP mono = CreateDIBSection(nullptr, info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(mono, nullptr);
    HDC memory = CreateCompatibleDC(nullptr);
    SelectObject(memory, mono);
    EXPECT_TRUE(BitBlt(memory, 1, 0, 1, 1, surface.dc(), 0, 0, SRCCOPY));
    EXPECT_EQ(static_cast<BYTE*>(bits)[0], 0x40) << "second pixel set to white (index 1)";
    DeleteDC(memory);
    DeleteObject(mono);
}

// The shared BMP writer and capture reader agree with each other and with the plain 24-bit layout, and
// the reader refuses what a capture never is.
#include <gtest/gtest.h>

#include "tests/support/bmp.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

namespace {

using testsupport::Picture;
using testsupport::Rgb;

TEST(SupportBmp, PictureWrittenReadsBackPixelForPixelAtOddWidths) {
    testsupport::TempFolder folder("support-bmp");
    for (int width : {1, 2, 3, 5}) {
        Picture picture(width, 3, Rgb{1, 2, 3});
        picture.Fill(width - 1, 2, 1, 1, Rgb{250, 128, 7});
        testsupport::WriteBmp(folder / "p.bmp", picture);
        const Picture back = testsupport::ReadCapture(folder / "p.bmp");
        EXPECT_EQ(back.pixels, picture.pixels) << "width " << width;
        EXPECT_EQ(testsupport::ReadBytes(folder / "p.bmp").size(),
                  size_t(54 + 3 * ((width * 3 + 3) / 4 * 4)));
    }
}

TEST(SupportBmp, TopDownCapturesAreReadTopRowFirst) {
    testsupport::TempFolder folder("support-bmp");
    std::vector<uint8_t> bytes =
        testsupport::Bmp24Bytes(1, 2, [](int, int y) { return y ? 0x0000FFu : 0xFF0000u; });
    // Negative height, rows swapped: the same picture stored top-down.
    bytes[22] = 0xFE, bytes[23] = bytes[24] = bytes[25] = 0xFF;
    std::swap_ranges(bytes.begin() + 54, bytes.begin() + 58, bytes.begin() + 58);
    testsupport::WriteBytes(folder / "t.bmp", bytes);
    const Picture picture = testsupport::ReadCapture(folder / "t.bmp");
    ASSERT_TRUE(picture.ok());
    EXPECT_EQ(picture.At(0, 0), (Rgb{255, 0, 0}));
    EXPECT_EQ(picture.At(0, 1), (Rgb{0, 0, 255}));
    EXPECT_EQ(picture.At(0, 2), (Rgb{-1, -1, -1})); // outside
}

TEST(SupportBmp, MissingShortAndOtherDepthFilesReadAsNoPicture) {
    testsupport::TempFolder folder("support-bmp");
    EXPECT_FALSE(testsupport::ReadCapture(folder / "missing.bmp").ok());
    const std::vector<uint8_t> good = testsupport::Bmp24Bytes(4, 4, [](int, int) { return 0u; });
    testsupport::WriteBytes(folder / "short.bmp", std::vector<uint8_t>(good.begin(), good.end() - 1));
    EXPECT_FALSE(testsupport::ReadCapture(folder / "short.bmp").ok());
    testsupport::WriteBytes(folder / "eight.bmp",
                            testsupport::Bmp8Bytes(4, 4, {0xFFFFFF}, [](int, int) { return uint8_t(0); }));
    EXPECT_FALSE(testsupport::ReadCapture(folder / "eight.bmp").ok());
}

TEST(SupportBmp, EightBitFilesCarryTheirTableBeforePaddedRows) {
    const std::vector<uint8_t> bytes =
        testsupport::Bmp8Bytes(3, 2, {0x112233, 0x445566}, [](int x, int y) { return uint8_t(x + y); });
    EXPECT_EQ(testsupport::Le32(bytes, 10), 54u + 8u); // pixels after two table entries
    EXPECT_EQ(testsupport::Le16(bytes, 28), 8);
    EXPECT_EQ(testsupport::Le32(bytes, 46), 2u);
    EXPECT_EQ(testsupport::Le32(bytes, 54), 0x112233u);
    EXPECT_EQ(bytes.size(), 62u + 2 * 4);
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 62, bytes.end()),
              (std::vector<uint8_t>{1, 2, 3, 0, 0, 1, 2, 0}));
}

TEST(SupportBmp, Same565IgnoresOnlyTheBitsA16BitPixelDrops) {
    EXPECT_TRUE(testsupport::Same565(Rgb{0xF8, 0xFC, 0xF8}, Rgb{0xFF, 0xFF, 0xFF}));
    EXPECT_FALSE(testsupport::Same565(Rgb{0xF0, 0xFC, 0xF8}, Rgb{0xFF, 0xFF, 0xFF}));
    EXPECT_FALSE(testsupport::Same565(Rgb{0xF8, 0xF8, 0xF8}, Rgb{0xFF, 0xFF, 0xFF}));
}

} // namespace

// The generators' drawing library: BMP files, quantisation under the colour-key rule, shapes and text.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "assets/common/bmp_file.h"
#include "assets/common/canvas.h"
#include "assets/common/relief.h"
#include "assets/common/shapes.h"
#include "assets/common/stroke_font.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

namespace {

using testsupport::TempFolder;

Picture Gradient(int w, int h) {
    Picture p(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            p.At(x, y) = Rgb8{uint8_t(x * 7), uint8_t(y * 11), uint8_t(x + y)};
    return p;
}

} // namespace

TEST(BmpFile, TwentyFourBitRoundTripKeepsEveryPixelAtOddWidths) {
    TempFolder dir;
    for (int w : {1, 2, 3, 5, 13}) {
        Picture p = Gradient(w, 3);
        ASSERT_TRUE(WriteBmp24((dir / "a.bmp"), p));
        Picture q;
        ASSERT_TRUE(ReadBmp((dir / "a.bmp"), q));
        EXPECT_EQ(q.width, w);
        EXPECT_EQ(q.height, 3);
        EXPECT_EQ(q.pixels, p.pixels) << "width " << w;
        // Rows are padded to 4 bytes: 54 header bytes + 3 rows.
        EXPECT_EQ(std::filesystem::file_size((dir / "a.bmp")), size_t(54 + 3 * ((w * 3 + 3) & ~3)));
    }
}

TEST(BmpFile, EightBitRoundTripUsesTheColoursOfThePicture) {
    TempFolder dir;
    Picture p(7, 2);
    p.At(3, 1) = Rgb8{200, 10, 20};
    p.At(6, 0) = Rgb8{1, 2, 3};
    ASSERT_TRUE(WriteBmp8((dir / "b.bmp"), p));
    Picture q;
    ASSERT_TRUE(ReadBmp((dir / "b.bmp"), q));
    EXPECT_EQ(q.pixels, p.pixels);
    EXPECT_EQ(std::filesystem::file_size((dir / "b.bmp")), size_t(54 + 3 * 4 + 2 * 8));
}

TEST(BmpFile, EightBitRefusesMoreThan256Colours) {
    TempFolder dir;
    Picture p(257, 1);
    for (int x = 0; x < 257; ++x)
        p.At(x, 0) = Rgb8{uint8_t(x), uint8_t(x >> 8), 9};
    std::string error;
    EXPECT_FALSE(WriteBmp8((dir / "c.bmp"), p, &error));
    EXPECT_NE(error.find("256"), std::string::npos);
}

TEST(BmpFile, ReaderRejectsDamagedFiles) {
    TempFolder dir;
    ASSERT_TRUE(WriteBmp24((dir / "d.bmp"), Gradient(9, 9)));
    const std::string bytes = testsupport::ReadText(dir / "d.bmp");
    auto write = [&](const std::string& data) { testsupport::WriteText(dir / "e.bmp", data); };
    Picture p;
    write(bytes.substr(0, bytes.size() - 5)); // truncated pixel data
    EXPECT_FALSE(ReadBmp((dir / "e.bmp"), p));
    write(bytes.substr(0, 20)); // truncated headers
    EXPECT_FALSE(ReadBmp((dir / "e.bmp"), p));
    std::string bad = bytes;
    bad[0] = 'X';
    write(bad);
    EXPECT_FALSE(ReadBmp((dir / "e.bmp"), p));
    bad = bytes;
    bad[28] = 16; // 16 bits per pixel: not a layout the package uses
    write(bad);
    EXPECT_FALSE(ReadBmp((dir / "e.bmp"), p));
    bad = bytes;
    bad[18] = bad[19] = bad[20] = bad[21] = char(0xFF); // width -1
    write(bad);
    EXPECT_FALSE(ReadBmp((dir / "e.bmp"), p));
    EXPECT_FALSE(ReadBmp((dir / "missing.bmp"), p));
}

TEST(Quantise, TransparentBecomesTheKeyAndNoOpaquePixelShowsAsIt) {
    Canvas c(4, 1);
    c.Set(1, 0, Rgb{0, 0, 255});   // exactly the key, but opaque
    c.Set(2, 0, Rgb{7, 3, 250});   // would truncate to the key's 16-bit value
    c.Set(3, 0, Rgb{30, 60, 230}); // a usable blue
    Picture p = Quantise(c);
    EXPECT_TRUE(IsKey(p.At(0, 0)));
    for (int x = 1; x < 4; ++x) {
        EXPECT_FALSE(IsKey(p.At(x, 0))) << x;
        EXPECT_FALSE(ShowsAsKey(p.At(x, 0))) << x;
    }
    EXPECT_EQ(p.At(3, 0), (Rgb8{30, 60, 230}));
}

TEST(Quantise, OpaqueModeHasNoKeyAndDitherStaysInRange) {
    Canvas c(64, 8);
    for (int x = 0; x < 64; ++x)
        for (int y = 0; y < 8; ++y)
            c.Set(x, y, Rgb{0, 0, float(x * 4 + 3)}, x % 3 == 0 ? 0.0f : 1.0f);
    QuantiseOptions o;
    o.opaque = true;
    o.backdrop = Rgb{0, 0, 255};
    o.dither = true;
    Picture p = Quantise(c, o);
    for (const Rgb8& px : p.pixels)
        EXPECT_FALSE(ShowsAsKey(px));
}

TEST(Quantise, ThresholdAndMatteShapeKeyedEdges) {
    Canvas c(3, 1);
    c.Set(0, 0, Rgb{200, 200, 200}, 0.2f);
    c.Set(1, 0, Rgb{200, 200, 200}, 0.5f);
    c.Set(2, 0, Rgb{200, 200, 200}, 1.0f);
    QuantiseOptions o;
    o.useMatte = true;
    o.matte = Rgb{0, 0, 0};
    Picture p = Quantise(c, o);
    EXPECT_TRUE(IsKey(p.At(0, 0)));
    EXPECT_EQ(p.At(1, 0), (Rgb8{100, 100, 100}));
    EXPECT_EQ(p.At(2, 0), (Rgb8{200, 200, 200}));
}

TEST(Canvas, BlendComposesOverAndClipsOutside) {
    Canvas c(2, 2, Rgb{100, 0, 0});
    c.Blend(0, 0, Rgb{0, 200, 0}, 0.25f);
    EXPECT_NEAR(c.At(0, 0).r, 75.0f, 0.01f);
    EXPECT_NEAR(c.At(0, 0).g, 50.0f, 0.01f);
    EXPECT_NEAR(c.At(0, 0).a, 1.0f, 1e-6f);
    Canvas t(1, 1);
    t.Blend(0, 0, Rgb{10, 20, 30}, 0.5f);
    EXPECT_NEAR(t.At(0, 0).r, 10.0f, 0.01f); // straight colour kept over nothing
    EXPECT_NEAR(t.At(0, 0).a, 0.5f, 1e-6f);
    c.Blend(-1, 0, Rgb{}, 1.0f);
    c.Blend(2, 5, Rgb{}, 1.0f); // outside: ignored, no crash
    EXPECT_NEAR(c.At(1, 1).r, 100.0f, 0.01f);
}

TEST(Canvas, ScaledBlitKeepsSolidColourAndSize) {
    Canvas src(4, 4, Rgb{50, 100, 150});
    Canvas dst(20, 20);
    dst.BlitScaled(src, 2, 3, 2.5f);
    EXPECT_NEAR(dst.At(6, 8).g, 100.0f, 0.5f);
    EXPECT_GT(dst.At(6, 8).a, 0.99f);
    EXPECT_EQ(dst.At(1, 3).a, 0.0f);   // left of the blit
    EXPECT_EQ(dst.At(13, 13).a, 0.0f); // beyond 2 + 10
}

TEST(Shapes, CoverageIsHalfOnTheEdgeAndFullInside) {
    Sdf circle = Circle(10, 10, 5);
    EXPECT_NEAR(Coverage(circle(10, 10)), 1.0f, 1e-6f);
    EXPECT_NEAR(Coverage(circle(15, 10)), 0.5f, 1e-4f);
    EXPECT_EQ(Coverage(circle(17, 10)), 0.0f);
    Sdf box = RoundRect(0, 0, 10, 6, 2);
    EXPECT_LT(box(5, 3), 0.0f);
    EXPECT_GT(box(0.2f, 0.2f), 0.0f); // cut by the rounded corner
    Sdf tri = Polygon({{0, 0}, {10, 0}, {0, 10}});
    EXPECT_LT(tri(2, 2), 0.0f);
    EXPECT_GT(tri(8, 8), 0.0f);
    EXPECT_LT(Subtract(box, circle)(1, 1), 0.0f);
}

TEST(Shapes, SphereIsLitFromTheUpperLeft) {
    Canvas c(40, 40);
    DrawSphere(c, 20, 20, 15, Rgb{200, 40, 40});
    EXPECT_GT(c.At(13, 13).r, c.At(27, 27).r);
    EXPECT_EQ(c.At(1, 1).a, 0.0f);
    EXPECT_GT(c.At(20, 20).a, 0.99f);
}

TEST(StrokeFont, EveryPrintableCharacterHasStrokesAndAnAdvance) {
    TextStyle s;
    s.size = 10;
    for (int ch = 33; ch <= 126; ++ch) {
        EXPECT_FALSE(GlyphOf(char(ch)).strokes.empty()) << char(ch);
        EXPECT_GT(TextWidth(std::string(1, char(ch)), s), 0.0f) << char(ch);
    }
    EXPECT_TRUE(GlyphOf('\t').strokes.empty());
    EXPECT_FLOAT_EQ(TextWidth("AB", s), TextWidth("A", s) + TextWidth("B", s));
}

TEST(StrokeFont, TextDrawsBetweenCapLineAndBaselineWhereAligned) {
    Canvas c(200, 40);
    TextStyle s;
    s.size = 20;
    float w = DrawText(c, 100, 30, "HI", s, Align::Centre);
    int minX = 999, maxX = -1, minY = 999, maxY = -1;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 200; ++x)
            if (c.At(x, y).a > 0.5f) {
                minX = std::min(minX, x);
                maxX = std::max(maxX, x);
                minY = std::min(minY, y);
                maxY = std::max(maxY, y);
            }
    EXPECT_NEAR(minY, 10, 2);
    EXPECT_NEAR(maxY, 30, 2);
    EXPECT_GE(minX, int(100 - w / 2) - 1);
    EXPECT_LE(maxX, int(100 + w / 2) + 1);
}

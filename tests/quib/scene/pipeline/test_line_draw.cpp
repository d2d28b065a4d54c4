// Software lines: stepping pixel by pixel, clipping at every edge of the clip rectangle and at w = 1, and
// never a write outside it, whatever the input; then 3D lines through a started display's viewport,
// written as a BMP into the build folder for review.
#include "tests/quib/video_test_support.h"

#include <filesystem>
#include <limits>
#include <random>
#include <set>
#include <utility>
#include <vector>

#include "quib/scene/pipeline/line_clip.h"
#include "quib/scene/pipeline/line_draw.h"

namespace {

using Pixel = std::pair<int, int>;
constexpr WORD kGuard = 0xBEEF;
constexpr WORD kInk = 0x1234;

// A 64 x 48 surface of pitch 80 (16 pixels of padding a row) inside a guard band of 2 rows each side.
class Canvas {
  public:
    static constexpr int kWidth = 64, kHeight = 48, kPitch = 80, kGuardRows = 2;
    Canvas() : memory_(size_t(kPitch) * (kHeight + 2 * kGuardRows), kGuard) {
        const RECT rect = {0, 0, kWidth, kHeight};
        SetLineClipRectPitch(&rect, kPitch); // x 1..62, y 1..46
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                At(x, y) = 0;
    }
    WORD* Pixels() { return memory_.data() + size_t(kPitch) * kGuardRows; }
    WORD& At(int x, int y) { return Pixels()[ptrdiff_t(y) * kPitch + x]; }

    // Every inked pixel; a write anywhere but the drawable rectangle fails the test.
    std::set<Pixel> Inked() {
        std::set<Pixel> inked;
        for (size_t i = 0; i < memory_.size(); ++i) {
            const int row = int(i / kPitch) - kGuardRows, x = int(i % kPitch);
            const bool drawable = row >= 1 && row <= 46 && x >= 1 && x <= 62;
            const bool surface = row >= 0 && row < kHeight && x < kWidth;
            const WORD expected = surface ? 0 : kGuard;
            if (memory_[i] == expected) continue;
            EXPECT_TRUE(drawable) << "pixel written at " << x << "," << row;
            inked.insert({x, row});
        }
        return inked;
    }
    void Line(float x0, float y0, float x1, float y1) { DrawLine2D(Pixels(), x0, y0, x1, y1, kInk); }
    void Line3D(D3DRMVECTOR4D p0, D3DRMVECTOR4D p1) { DrawLine3DSoftware(Pixels(), p0, p1, kInk); }

  private:
    std::vector<WORD> memory_;
};

std::set<Pixel> Row(int y, int fromX, int toX) {
    std::set<Pixel> pixels;
    for (int x = fromX; x <= toX; ++x)
        pixels.insert({x, y});
    return pixels;
}

std::set<Pixel> Column(int x, int fromY, int toY) {
    std::set<Pixel> pixels;
    for (int y = fromY; y <= toY; ++y)
        pixels.insert({x, y});
    return pixels;
}

class LineDrawTest : public ::testing::Test {
  protected:
    void TearDown() override { g_LineClip = {}; }
};

TEST_F(LineDrawTest, StepsStraightDiagonalShallowAndSteepLines) {
    Canvas a;
    a.Line(10, 20, 15, 20);
    EXPECT_EQ(Row(20, 10, 15), a.Inked());
    EXPECT_EQ(kInk, a.At(10, 20));
    Canvas b;
    b.Line(10, 9, 10, 5); // upwards
    EXPECT_EQ(Column(10, 5, 9), b.Inked());
    Canvas c;
    c.Line(9, 9, 5, 5);
    EXPECT_EQ((std::set<Pixel>{{5, 5}, {6, 6}, {7, 7}, {8, 8}, {9, 9}}), c.Inked());
    Canvas d;
    d.Line(2, 2, 6, 4);
    EXPECT_EQ((std::set<Pixel>{{2, 2}, {3, 2}, {4, 3}, {5, 3}, {6, 4}}), d.Inked());
    Canvas e;
    e.Line(2, 2, 4, 6);
    EXPECT_EQ((std::set<Pixel>{{2, 2}, {2, 3}, {3, 4}, {3, 5}, {4, 6}}), e.Inked());
    Canvas f;
    f.Line(7.9f, 3.2f, 7.9f, 3.7f); // one pixel: the integer parts
    EXPECT_EQ((std::set<Pixel>{{7, 3}}), f.Inked());
}

TEST_F(LineDrawTest, LinesAreCutAtEveryEdge) {
    Canvas left;
    left.Line(-10, 10, 10, 10);
    EXPECT_EQ(Row(10, 1, 10), left.Inked());
    Canvas right;
    right.Line(50, 12, 100, 12);
    EXPECT_EQ(Row(12, 50, 62), right.Inked());
    Canvas top;
    top.Line(20, -5, 20, 30);
    EXPECT_EQ(Column(20, 1, 30), top.Inked());
    Canvas bottom;
    bottom.Line(20, 30, 20, 100);
    EXPECT_EQ(Column(20, 30, 46), bottom.Inked());
    Canvas corner;
    corner.Line(-10, -10, 100, 100);
    std::set<Pixel> diagonal;
    for (int i = 1; i <= 46; ++i)
        diagonal.insert({i, i});
    EXPECT_EQ(diagonal, corner.Inked());
}

TEST_F(LineDrawTest, LinesOnALimitOrOutsideAreNotDrawn) {
    Canvas c;
    c.Line(1, 5, 1, 20);   // on the left limit
    c.Line(62, 5, 62, 20); // on the right limit
    c.Line(5, 1, 30, 1);   // on the top limit
    c.Line(5, 46, 30, 46); // on the bottom limit
    c.Line(-30, 5, -1, 40);
    c.Line(70, -5, 90, 60);
    c.Line(5, 50, 30, 90);
    EXPECT_TRUE(c.Inked().empty());

    // Before any set-up every limit is 0: nothing.
    Canvas unset;
    g_LineClip = {};
    unset.Line(-10, -10, 100, 100);
    unset.Line(0, 0, 0, 0);
    g_LineClip.pitch = Canvas::kPitch;
    EXPECT_TRUE(unset.Inked().empty());
}

TEST_F(LineDrawTest, ThreeDimensionalLinesAreCutAtWOne) {
    Canvas behind;
    behind.Line3D({40, 20, 0, 0.9f}, {10, 10, 0, 0.5f});
    EXPECT_TRUE(behind.Inked().empty());

    // (20, 10) in front; the other end crosses w = 1 at (6.67, 10).
    Canvas cut;
    cut.Line3D({40, 20, 0, 2}, {-10, 5, 0, 0.5f});
    EXPECT_EQ(Row(10, 6, 20), cut.Inked());
    Canvas reversed;
    reversed.Line3D({-10, 5, 0, 0.5f}, {40, 20, 0, 2});
    EXPECT_EQ(Row(10, 6, 20), reversed.Inked());

    Canvas front;
    front.Line3D({20, 20, 0, 2}, {90, 30, 0, 3}); // (10, 10) to (30, 10)
    EXPECT_EQ(Row(10, 10, 30), front.Inked());

    // An end exactly at w = 0 has no screen position: it is cut at w = 1 from its homogeneous point.
    Canvas atZero;
    atZero.Line3D({40, 20, 0, 2}, {-20, 20, 0, 0});
    // Halfway between the homogeneous ends: (40 - 20, 20 + 20) / 2 = (10, 20).
    std::set<Pixel> diagonal;
    for (int i = 0; i <= 10; ++i)
        diagonal.insert({10 + i, 20 - i});
    EXPECT_EQ(diagonal, atZero.Inked());
}

TEST_F(LineDrawTest, NoInputWritesOutsideTheRectangle) {
    Canvas c;
    const float specials[] = {0.0f, -0.0f, NAN, INFINITY, -INFINITY, 1e30f, -1e30f, 1e-30f, 1.0f, 0.999999f};
    std::mt19937 random(7);
    std::uniform_real_distribution<float> wide(-200.0f, 200.0f), weight(-3.0f, 3.0f);
    std::uniform_int_distribution<int> pick(0, 14);
    auto value = [&](bool isW) {
        int which = pick(random);
        if (which < 10) return specials[which];
        return isW ? weight(random) : wide(random);
    };
    for (int i = 0; i < 20000; ++i) {
        D3DRMVECTOR4D p0 = {value(false), value(false), 0, value(true)};
        D3DRMVECTOR4D p1 = {value(false), value(false), 0, value(true)};
        c.Line3D(p0, p1);
        c.Line(value(false), value(false), value(false), value(false));
    }
    EXPECT_FALSE(c.Inked().empty()); // the ordinary lines among them were drawn, inside
}

// The display started in a window, with the default camera at the origin looking along +z.
class DrawLine3DTest : public video_test::VideoTest {};

TEST_F(DrawLine3DTest, BeforeStartUpNothingIsDrawn) {
    EXPECT_EQ(0, QuibDrawLine3D(0, 0, 1, 1, 1, 1, 0xFFFF));
    EXPECT_EQ("QuibDrawLine3D : no 3D viewport\n", ErrorText());
}

TEST_F(DrawLine3DTest, WorldLinesLandWhereTheProjectionPutsThem) {
    HWND window = MakeWindow();
    ASSERT_EQ(1, QuibInitDirectX(window, 800, 600)) << ErrorText();
    video_test::FillSolid(g_lpBackBuffer, 0);

    // Scale 400 pixels per unit of x/z around (400, 300).
    const WORD white = 0xFFFF, red = 0xF800, green = 0x07E0;
    ASSERT_EQ(1, QuibDrawLine3D(-1, 0, 2, 1, 0, 2, white)); // (200, 300) to (600, 300)
    // A box seen from inside its near face: its edges go from the far face out behind the camera.
    const float c[8][3] = {{-1, -1, 4},  {1, -1, 4},  {1, 1, 4},  {-1, 1, 4},
                           {-1, -1, -2}, {1, -1, -2}, {1, 1, -2}, {-1, 1, -2}};
    const int edges[12][2] = {{0, 1}, {1, 2}, {2, 3}, {3, 0}, {4, 5}, {5, 6},
                              {6, 7}, {7, 4}, {0, 4}, {1, 5}, {2, 6}, {3, 7}};
    for (const auto& e : edges)
        ASSERT_EQ(
            1, QuibDrawLine3D(c[e[0]][0], c[e[0]][1], c[e[0]][2], c[e[1]][0], c[e[1]][1], c[e[1]][2], green));
    ASSERT_EQ(1, QuibDrawLine3D(0.5f, -0.5f, 1, 0.5f, 0.5f, 1, red)); // (600, 500) to (600, 100)

    const auto capture = std::filesystem::read_symlink("/proc/self/exe").parent_path() / "quib_lines_3d.bmp";
    EXPECT_EQ(1, QuibWriteSurfaceToBMPFile(capture.string().c_str(), g_lpBackBuffer));

    video_test::LockedPixels pixels(g_lpBackBuffer);
    ASSERT_TRUE(pixels.ok());
    EXPECT_EQ(0, pixels.At(199, 300));
    for (int x = 200; x < 600; x += 37)
        EXPECT_EQ(white, pixels.At(x, 300)) << x;
    EXPECT_EQ(red, pixels.At(600, 300)); // drawn last over the white line's end
    EXPECT_EQ(red, pixels.At(600, 100));
    EXPECT_EQ(red, pixels.At(600, 500));
    EXPECT_EQ(0, pixels.At(601, 500));
    // The far face: (-1, -1, 4) to (1, -1, 4) is row 400 from x 300 to 500.
    EXPECT_EQ(green, pixels.At(300, 400));
    EXPECT_EQ(green, pixels.At(500, 200));
    // The edges running behind the camera are cut at w = 1 (the one from (-1, 1, 4) there at (0, -100))
    // and then at the client rectangle: (300, 200) up to the top row.
    EXPECT_EQ(green, pixels.At(300, 200));
    int topRow = 0;
    for (int x = 0; x < 800; ++x)
        topRow += pixels.At(x, 1) == green;
    EXPECT_GT(topRow, 0);
    // The outermost rows and columns are never drawn.
    for (int x = 0; x < 800; ++x) {
        EXPECT_EQ(0, pixels.At(x, 0));
        EXPECT_EQ(0, pixels.At(x, 599));
    }
    for (int y = 0; y < 600; ++y) {
        EXPECT_EQ(0, pixels.At(0, y));
        EXPECT_EQ(0, pixels.At(799, y));
    }
}

} // namespace

namespace {

TEST_F(DrawLine3DTest, ALostBufferFailsAndAStaleClientRectangleStaysInsideTheBuffer) {
    HWND window = MakeWindow();
    ASSERT_EQ(1, QuibInitDirectX(window, 640, 480)) << ErrorText();
    video_test::FillSolid(g_lpBackBuffer, 0);
    // A client rectangle larger than the back buffer (as a caller could leave it) is cut to the locked
    // surface: the diagonal from the centre ends on the buffer's last row.
    g_ClientRect = {0, 0, 4000, 3000};
    ASSERT_EQ(1, QuibDrawLine3D(0, 0, 1, 100, -100, 1, 0xFFFF));
    {
        video_test::LockedPixels pixels(g_lpBackBuffer);
        ASSERT_TRUE(pixels.ok());
        EXPECT_EQ(0xFFFF, pixels.At(320, 240));
        EXPECT_EQ(0xFFFF, pixels.At(559, 479)); // the clipped end, on the last row
        EXPECT_EQ(0, pixels.At(560, 479));
    }
    g_ClientRect = {0, 0, 640, 480};

    HostDDrawMarkSurfaceLost(g_lpBackBuffer);
    EXPECT_EQ(0, QuibDrawLine3D(0, 0, 1, 1, 1, 1, 0xFFFF));
    EXPECT_NE(std::string::npos, ErrorText().find("DDERR_SURFACELOST")) << ErrorText();
}

} // namespace

namespace {

using IntForm = void (*)(WORD*, int, int, int, int, DWORD);

// Draws with an integer form on a fresh canvas; the pixels set.
std::set<Pixel> DrawInt(IntForm form, int x0, int y0, int x1, int y1) {
    Canvas c;
    form(c.Pixels(), x0, y0, x1, y1, kInk);
    return c.Inked();
}

std::set<Pixel> Diagonal(int from, int to) {
    std::set<Pixel> pixels;
    for (int i = from; i <= to; ++i)
        pixels.insert({i, i});
    return pixels;
}

// Rows fromY to toY, each x fromX to toX.
std::set<Pixel> Rows(int fromY, int toY, int fromX, int toX) {
    std::set<Pixel> pixels;
    for (int y = fromY; y <= toY; ++y)
        for (int x = fromX; x <= toX; ++x)
            pixels.insert({x, y});
    return pixels;
}

TEST_F(LineDrawTest, IntegerLinesAreCutInIntegersAndRecordTheirEnds) {
    const int kMin = std::numeric_limits<int>::min(), kMax = std::numeric_limits<int>::max();
    const struct {
        int x0, y0, x1, y1;
        std::set<Pixel> expected;
    } cases[] = {
        {10, 20, 15, 20, Row(20, 10, 15)},
        {-10, 10, 10, 10, Row(10, 1, 10)},
        {20, 30, 20, 100, Column(20, 30, 46)},
        {-10, -10, 100, 100, Diagonal(1, 46)},
        {kMin, kMin, kMax, kMax, Diagonal(1, 46)}, // no product overflows
        {1, 5, 1, 20, {}},                         // on the left limit
        {62, 5, 62, 20, {}},                       // on the right limit
        {-30, 5, -1, 40, {}},
        {5, 50, 30, 90, {}},
        // Inside the rectangle's x range only below it: cut at x = 1 the line lies wholly below.
        {-100, 0, 50, 100, {}},
    };
    for (const auto& k : cases) {
        EXPECT_EQ(k.expected, DrawInt(DrawLineInt, k.x0, k.y0, k.x1, k.y1)) << k.x0 << "," << k.y0;
        EXPECT_EQ((std::vector<int>{k.x0, k.y0, k.x1, k.y1}), std::vector<int>(g_LastLine, g_LastLine + 4));
    }
    // Ends are recorded even when there is nothing to draw on.
    DrawLineInt3(nullptr, 1, 2, 3, 4, kInk);
    EXPECT_EQ((std::vector<int>{1, 2, 3, 4}), std::vector<int>(g_LastLine, g_LastLine + 4));
}

TEST_F(LineDrawTest, TallAndThickLinesStackDownwardsWithinTheRectangle) {
    EXPECT_EQ(Rows(20, 21, 10, 12), DrawInt(DrawLineInt2, 10, 20, 12, 20));
    EXPECT_EQ(Rows(20, 22, 10, 12), DrawInt(DrawLineInt3, 12, 20, 10, 20));
    Canvas thick;
    DrawLine2DThick(thick.Pixels(), 10, 20, 14, 20, kInk); // the ends single
    std::set<Pixel> thickPixels = Rows(20, 21, 11, 13);
    thickPixels.insert({{10, 20}, {14, 20}});
    EXPECT_EQ(thickPixels, thick.Inked());

    // Along the bottom limit's row and across it the stacks stop at row 46.
    EXPECT_EQ(Rows(45, 46, 5, 8), DrawInt(DrawLineInt3, 5, 45, 8, 45));
    std::set<Pixel> steep; // cut to (40, 40)-(46, 46)
    for (int i = 40; i <= 46; ++i)
        for (int k = 0; k < 3 && i + k <= 46; ++k)
            steep.insert({i, i + k});
    EXPECT_EQ(steep, DrawInt(DrawLineInt3, 40, 40, 50, 50));
    Canvas corner;
    PutLinePixel3(corner.Pixels(), 62, 46, kInk);
    PutLinePixel2(corner.Pixels(), 61, 46, kInk);
    EXPECT_EQ((std::set<Pixel>{{61, 46}, {62, 46}}), corner.Inked());

    // Whatever the ends, nothing lands outside the rectangle (Inked checks every word).
    Canvas c;
    std::mt19937 random(11);
    const int specials[] = {
        std::numeric_limits<int>::min(), std::numeric_limits<int>::max(), -1, 0, 1, 46, 47, 62, 63};
    std::uniform_int_distribution<int> pick(0, 17), wide(-300, 300);
    auto value = [&] {
        const int which = pick(random);
        return which < 9 ? specials[which] : wide(random);
    };
    for (int i = 0; i < 5000; ++i) {
        const int x0 = value(), y0 = value(), x1 = value(), y1 = value();
        DrawLineInt(c.Pixels(), x0, y0, x1, y1, kInk);
        DrawLineInt2(c.Pixels(), x0, y0, x1, y1, kInk);
        DrawLineInt3(c.Pixels(), x0, y0, x1, y1, kInk);
        DrawLine2DThick(c.Pixels(), float(x0), float(y0), float(x1), float(y1), kInk);
    }
    EXPECT_FALSE(c.Inked().empty());
}

TEST_F(LineDrawTest, ClassifyLineNamesTheSideAndAgreesWithTheDrawing) {
    const struct {
        float x0, y0, x1, y1;
        int side;
    } cases[] = {
        {-5, 3, -1, 40, 1},      {1, 5, 1, 20, 1},    {70, 3, 63, 40, 2},    {5, 50, 30, 90, 4},
        {5, 46, 30, 46, 4},      {5, -5, 30, -1, 8},  {-100, 0, 50, 100, 4}, // below once cut at x = 1
        {-10, -10, 100, 100, 0}, {30, 20, 31, 21, 0}, {NAN, 3, 4, 5, 15},
    };
    for (const auto& k : cases) {
        EXPECT_EQ(k.side, ClassifyLine(k.x0, k.y0, k.x1, k.y1)) << k.x0 << "," << k.y0;
        Canvas c;
        c.Line(k.x0, k.y0, k.x1, k.y1);
        EXPECT_EQ(k.side != 0, c.Inked().empty()) << k.x0 << "," << k.y0;
    }
}

// The report names the library's source file from the top of the tree, as the user reads it anywhere.
TEST_F(DrawLine3DTest, AReportNamesItsSourceFileFromTheTreeTop) {
    ASSERT_EQ(1, QuibInitDirectX(MakeWindow(), 640, 480)) << ErrorText();
    HostDDrawMarkSurfaceLost(g_lpBackBuffer);
    EXPECT_EQ(0, QuibDrawLine3D(0, 0, 1, 1, 1, 1, 0xFFFF));
    const std::string text = ErrorText();
    EXPECT_EQ(
        0u,
        text.find("DirectDraw Error DDERR_SURFACELOST\nin file quib/scene/pipeline/line_draw.cpp at line "))
        << text;
}

} // namespace

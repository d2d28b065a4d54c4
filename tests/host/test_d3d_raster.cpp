// The rasterizer's coverage and safety, read back pixel by pixel: the fill rule, shared edges, depth
// order, culling, lines and points, clears, and vertices no screen can show.
#include "test_d3d_raster_support.h"

#include <cmath>
#include <limits>
#include <random>

namespace {

class D3DRasterCoverageTest : public D3DRasterTest {};

TEST_F(D3DRasterCoverageTest, AQuadFromZeroTo640CoversExactlyPixels0To639) {
    MakeScene(648, 8);
    Rect(0.0f, 2.0f, 640.0f, 5.0f, 0xFFFFFFFF);
    std::vector<uint16_t> pixels = Pixels();
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 648; ++x) {
            bool inside = x < 640 && y >= 2 && y < 5;
            ASSERT_EQ(pixels[y * 648 + x], inside ? 0xFFFF : 0) << x << "," << y;
        }
    // Half-pixel edges: centres at 0.5 lie outside a quad from 0.5, inside one ending at 3.5.
    Fill(0);
    Rect(0.5f, 0.5f, 3.5f, 3.5f, 0xFFFFFFFF);
    EXPECT_EQ(Pixel(0, 1), 0);
    EXPECT_EQ(Pixel(1, 1), 0xFFFF);
    EXPECT_EQ(Pixel(3, 3), 0xFFFF);
    EXPECT_EQ(Pixel(4, 3), 0);
    EXPECT_EQ(Pixel(1, 0), 0);
    WriteFrame("raster_fill_rule.bmp");
}

TEST_F(D3DRasterCoverageTest, TrianglesSharingEdgesDrawEveryPixelOnce) {
    MakeScene(96, 96);
    // Additive blending shows a pixel drawn twice as twice the colour.
    State(D3DRENDERSTATE_ALPHABLENDENABLE, TRUE);
    State(D3DRENDERSTATE_SRCBLEND, D3DBLEND_ONE);
    State(D3DRENDERSTATE_DESTBLEND, D3DBLEND_ONE);
    State(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE);
    State(D3DRENDERSTATE_ZENABLE, FALSE);
    std::mt19937 random(7);
    std::uniform_real_distribution<float> jitter(-0.45f, 0.45f);
    for (int round = 0; round < 4; ++round) {
        Fill(0);
        // A fan around an off-grid centre over a convex ring of off-grid points.
        const float cx = 48.3f + jitter(random), cy = 47.7f + jitter(random);
        std::vector<D3DTLVERTEX> fan = {V(cx, cy, 0.5f, 0xFF080408)};
        std::vector<std::pair<double, double>> ring;
        const int corners = 11 + round;
        for (int i = 0; i <= corners; ++i) {
            double angle = 2.0 * M_PI * (i % corners) / corners + 0.1 * round;
            double x = cx + 40.0 * std::cos(angle) + jitter(random) * (i % corners ? 1 : 0);
            double y = cy + 40.0 * std::sin(angle);
            if (i < corners) ring.push_back({x, y});
            fan.push_back(
                V(float(ring[i % corners].first), float(ring[i % corners].second), 0.5f, 0xFF080408));
        }
        Fan(fan);
        std::vector<uint16_t> pixels = Pixels();
        const uint16_t once = Rgb565(8, 4, 8);
        int drawn = 0;
        for (int y = 0; y < 96; ++y)
            for (int x = 0; x < 96; ++x) {
                uint16_t p = pixels[y * 96 + x];
                ASSERT_TRUE(p == 0 || p == once) << "drawn twice at " << x << "," << y;
                // Centres well inside the ring must be drawn (no gap along an inner edge).
                bool inside = true;
                for (int i = 0; i < corners; ++i) {
                    auto [x0, y0] = ring[i];
                    auto [x1, y1] = ring[(i + 1) % corners];
                    if ((x1 - x0) * (y - y0) - (y1 - y0) * (x - x0) < 0.5) inside = false;
                }
                if (inside) {
                    ASSERT_EQ(p, once) << "gap at " << x << "," << y;
                }
                drawn += p == once;
            }
        EXPECT_GT(drawn, 4000);
    }
    WriteFrame("raster_shared_edges.bmp");
}

TEST_F(D3DRasterCoverageTest, NearerTrianglesHideFartherOnesInEitherOrder) {
    MakeScene(32, 32);
    EXPECT_EQ(Depth(5, 5), 0xFFFF); // the clear
    Rect(0, 0, 20, 20, 0xFFFF0000, 0.25f);
    Rect(10, 10, 30, 30, 0xFF0000FF, 0.75f);
    EXPECT_EQ(Pixel(15, 15), Rgb565(255, 0, 0));
    EXPECT_EQ(Pixel(25, 25), Rgb565(0, 0, 255));
    EXPECT_EQ(Depth(15, 15), uint16_t(std::lround(0.25 * 65535)));
    // The nearer drawn second covers the farther.
    Rect(10, 10, 30, 30, 0xFF00FF00, 0.1f);
    EXPECT_EQ(Pixel(15, 15), Rgb565(0, 255, 0));
    // Equal depth passes (less or equal); with writes off the depth stays.
    State(D3DRENDERSTATE_ZWRITEENABLE, FALSE);
    Rect(10, 10, 30, 30, 0xFFFFFFFF, 0.1f);
    EXPECT_EQ(Pixel(15, 15), 0xFFFF);
    Rect(10, 10, 30, 30, 0xFF000000, 0.05f);
    EXPECT_EQ(Pixel(15, 15), 0);
    EXPECT_EQ(Depth(15, 15), uint16_t(std::lround(0.1 * 65535)));
    // Other comparisons.
    State(D3DRENDERSTATE_ZFUNC, D3DCMP_GREATER);
    Rect(0, 0, 32, 32, 0xFFFF0000, 0.5f);
    EXPECT_EQ(Pixel(15, 15), Rgb565(255, 0, 0)); // 0.5 > 0.1
    EXPECT_EQ(Pixel(31, 31), 0);                 // 0.5 > 1.0 fails on the cleared depth
    // Depth outside 0..1 is clamped.
    State(D3DRENDERSTATE_ZFUNC, D3DCMP_LESSEQUAL);
    State(D3DRENDERSTATE_ZWRITEENABLE, TRUE);
    Rect(0, 0, 4, 4, 0xFFFFFFFF, -3.0f);
    Rect(28, 28, 32, 32, 0xFFFFFFFF, 7.0f);
    EXPECT_EQ(Depth(1, 1), 0);
    EXPECT_EQ(Depth(30, 30), 0xFFFF);
    EXPECT_EQ(Pixel(30, 30), 0xFFFF);
}

TEST_F(D3DRasterCoverageTest, InterpenetratingTrianglesSplitAlongTheirIntersection) {
    MakeScene(160, 120);
    // A checkered floor in perspective behind everything, for the picture.
    std::vector<uint16_t> checks(64);
    for (int i = 0; i < 64; ++i)
        checks[i] = ((i % 8) ^ (i / 8)) & 1 ? Rgb565(230, 230, 200) : Rgb565(60, 90, 60);
    BindTexture(8, 8, checks);
    State(D3DRENDERSTATE_TEXTUREPERSPECTIVE, TRUE);
    Fan({V(60, 40, 0.95f, 0xFFFFFFFF, 0, 0, 0.2f), V(100, 40, 0.95f, 0xFFFFFFFF, 4, 0, 0.2f),
         V(160, 120, 0.95f, 0xFFFFFFFF, 4, 4, 1.0f), V(0, 120, 0.95f, 0xFFFFFFFF, 0, 4, 1.0f)});
    State(D3DRENDERSTATE_TEXTUREHANDLE, 0);
    // Red runs from near (left) to far (right), blue the other way: they cross at x = 80.
    Fan({V(10, 10, 0.2f, 0xFFFF0000), V(150, 10, 0.8f, 0xFFFF8000), V(80, 110, 0.5f, 0xFFC00000)});
    Fan({V(10, 10, 0.8f, 0xFF0000FF), V(150, 10, 0.2f, 0xFF0080FF), V(80, 110, 0.5f, 0xFF0000C0)});
    std::vector<uint16_t> pixels = Pixels();
    // Row 30 lies inside both from x = 24 to 136.
    for (int x = 26; x < 134; ++x) {
        uint16_t p = pixels[30 * 160 + x];
        if (x < 78) {
            EXPECT_TRUE(Red(p) > 16 && Blue(p) == 0) << x;
        } else if (x > 82) {
            EXPECT_TRUE(Blue(p) > 16 && Red(p) == 0) << x;
        }
    }
    WriteFrame("raster_scene.bmp");
}

TEST_F(D3DRasterCoverageTest, ZBufferTurnsTheDepthTestOnAndZEnableOffIgnoresIt) {
    MakeScene(16, 16);
    DWORD value = 0;
    ASSERT_EQ(device_->GetRenderState(D3DRENDERSTATE_ZENABLE, &value), D3D_OK);
    EXPECT_EQ(value, DWORD{TRUE});
    Rect(0, 0, 16, 16, 0xFFFF0000, 0.2f);
    State(D3DRENDERSTATE_ZENABLE, FALSE);
    Rect(0, 0, 16, 16, 0xFF0000FF, 0.9f); // no test, no write
    EXPECT_EQ(Pixel(8, 8), Rgb565(0, 0, 255));
    EXPECT_EQ(Depth(8, 8), uint16_t(std::lround(0.2 * 65535)));
}

TEST_F(D3DRasterCoverageTest, CullingByWinding) {
    MakeScene(16, 16);
    // Clockwise on screen (y down): (0,0) -> (16,0) -> (0,16).
    D3DTLVERTEX clockwise[3] = {V(0, 0), V(16, 0), V(0, 16)};
    D3DTLVERTEX counter[3] = {V(0, 0), V(0, 16), V(16, 0)};
    auto draw = [this](D3DTLVERTEX* v) {
        Fill(0);
        ClearDepth();
        EXPECT_EQ(device_->DrawPrimitive(D3DPT_TRIANGLELIST, D3DVT_TLVERTEX, v, 3, 0), D3D_OK);
        return Pixel(2, 2) != 0;
    };
    EXPECT_TRUE(draw(clockwise)); // the default culls counter-clockwise triangles
    EXPECT_FALSE(draw(counter));
    State(D3DRENDERSTATE_CULLMODE, D3DCULL_CW);
    EXPECT_FALSE(draw(clockwise));
    EXPECT_TRUE(draw(counter));
    State(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE);
    EXPECT_TRUE(draw(clockwise));
    EXPECT_TRUE(draw(counter));
}

TEST_F(D3DRasterCoverageTest, ScissorKeepsDrawingInsideTheViewport) {
    MakeScene(64, 64);
    Fill(0x1234);
    SetViewport(8, 8, 48, 48);
    State(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE);
    Rect(-100, -100, 200, 200, 0xFFFFFFFF, 0.5f);
    std::vector<uint16_t> pixels = Pixels();
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            bool inside = x >= 8 && x < 56 && y >= 8 && y < 56;
            ASSERT_EQ(pixels[y * 64 + x], inside ? 0xFFFF : 0x1234) << x << "," << y;
        }
}

TEST_F(D3DRasterCoverageTest, VerticesNoScreenCanShowDrawSafely) {
    MakeScene(64, 64);
    Fill(0x1234);
    SetViewport(8, 8, 48, 48);
    State(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    // Dropped whole: a vertex behind the eye, NaN or infinite positions.
    std::vector<std::vector<D3DTLVERTEX>> dropped = {
        {V(10, 10, 0.5f, ~0u, 0, 0, 1.0f), V(50, 10, 0.5f, ~0u, 0, 0, -0.5f),
         V(10, 50, 0.5f, ~0u, 0, 0, 1.0f)},
        {V(10, 10), V(50, 10, 0.5f, ~0u, 0, 0, 0.0f), V(10, 50)},
        {V(10, 10), V(nan, 10), V(10, 50)},
        {V(10, 10), V(50, inf), V(10, 50)},
        {V(10, 10), V(50, 10, nan), V(10, 50)},
        {V(10, 10), V(50, 10, 0.5f, ~0u, 0, 0, nan), V(10, 50)},
    };
    for (auto& triangle : dropped) {
        ASSERT_EQ(device_->DrawPrimitive(D3DPT_TRIANGLELIST, D3DVT_TLVERTEX, triangle.data(), 3, 0), D3D_OK);
        ASSERT_EQ(device_->DrawPrimitive(D3DPT_LINELIST, D3DVT_TLVERTEX, triangle.data() + 1, 2, 0), D3D_OK);
        ASSERT_EQ(device_->DrawPrimitive(D3DPT_POINTLIST, D3DVT_TLVERTEX, triangle.data() + 1, 1, 0), D3D_OK);
    }
    std::vector<uint16_t> pixels = Pixels();
    for (uint16_t p : pixels)
        ASSERT_EQ(p, 0x1234);
    // Huge coordinates are clipped in floating point: the triangle covers the viewport, nothing else.
    D3DTLVERTEX huge[3] = {V(-1e30f, -1e30f), V(1e30f, -1e30f), V(0, 1e30f)};
    ASSERT_EQ(device_->DrawPrimitive(D3DPT_TRIANGLELIST, D3DVT_TLVERTEX, huge, 3, 0), D3D_OK);
    D3DTLVERTEX line[2] = {V(-1e30f, 20), V(1e30f, 20)};
    ASSERT_EQ(device_->DrawPrimitive(D3DPT_LINELIST, D3DVT_TLVERTEX, line, 2, 0), D3D_OK);
    // Garbage texture coordinates and fog values on a textured triangle.
    BindTexture(2, 2, {1, 2, 3, 4});
    State(D3DRENDERSTATE_TEXTUREPERSPECTIVE, TRUE);
    State(D3DRENDERSTATE_FOGENABLE, TRUE);
    State(D3DRENDERSTATE_FOGTABLEMODE, D3DFOG_LINEAR);
    D3DTLVERTEX garbage[3] = {V(9, 9, 0.5f, ~0u, nan, 1e30f, 1e-30f), V(50, 9, 0.5f, ~0u, -1e30f, inf, 1e30f),
                              V(9, 50, 0.5f, ~0u, 3e38f, -3e38f, 1.0f)};
    ASSERT_EQ(device_->DrawPrimitive(D3DPT_TRIANGLELIST, D3DVT_TLVERTEX, garbage, 3, 0), D3D_OK);
    pixels = Pixels();
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            bool inside = x >= 8 && x < 56 && y >= 8 && y < 56;
            if (inside) {
                ASSERT_NE(pixels[y * 64 + x], 0x1234) << x << "," << y;
            } else {
                ASSERT_EQ(pixels[y * 64 + x], 0x1234) << x << "," << y;
            }
        }
}

TEST_F(D3DRasterCoverageTest, LinesAndPoints) {
    MakeScene(32, 16);
    State(D3DRENDERSTATE_ZENABLE, FALSE);
    D3DTLVERTEX line[2] = {V(2, 3), V(9, 3)};
    ASSERT_EQ(device_->DrawPrimitive(D3DPT_LINELIST, D3DVT_TLVERTEX, line, 2, 0), D3D_OK);
    for (int x = 0; x < 12; ++x)
        EXPECT_EQ(Pixel(x, 3) != 0, x >= 2 && x <= 9) << x; // end pixel drawn
    State(D3DRENDERSTATE_LASTPIXEL, FALSE);
    D3DTLVERTEX diagonal[2] = {V(20, 2), V(24, 6)};
    ASSERT_EQ(device_->DrawPrimitive(D3DPT_LINELIST, D3DVT_TLVERTEX, diagonal, 2, 0), D3D_OK);
    for (int i = 0; i < 4; ++i)
        EXPECT_NE(Pixel(20 + i, 2 + i), 0) << i;
    EXPECT_EQ(Pixel(24, 6), 0);
    // A steep line steps along y: one pixel per row.
    State(D3DRENDERSTATE_LASTPIXEL, TRUE);
    D3DTLVERTEX steep[2] = {V(28, 1, 0.5f, 0xFF00FF00), V(30, 13, 0.5f, 0xFF00FF00)};
    ASSERT_EQ(device_->DrawPrimitive(D3DPT_LINELIST, D3DVT_TLVERTEX, steep, 2, 0), D3D_OK);
    std::vector<uint16_t> pixels = Pixels();
    for (int y = 1; y <= 13; ++y) {
        int count = 0;
        for (int x = 26; x < 32; ++x)
            count += pixels[y * 32 + x] == Rgb565(0, 255, 0);
        EXPECT_EQ(count, 1) << y;
    }
    // Points: the nearest pixel; outside the viewport nothing.
    D3DTLVERTEX points[3] = {V(5.4f, 10.6f, 0.5f, 0xFFFF0000), V(-0.6f, 5), V(31.6f, 5)};
    ASSERT_EQ(device_->DrawPrimitive(D3DPT_POINTLIST, D3DVT_TLVERTEX, points, 3, 0), D3D_OK);
    EXPECT_EQ(Pixel(5, 11), Rgb565(255, 0, 0));
    EXPECT_EQ(Pixel(0, 5), 0);
    EXPECT_EQ(Pixel(31, 5), 0);
}

TEST_F(D3DRasterCoverageTest, ClearFillsTheViewportWithTheBackgroundAndFarDepth) {
    MakeScene(32, 32);
    Fill(0x1111);
    IDirect3DMaterial2* material = nullptr;
    ASSERT_EQ(d3d_->CreateMaterial(&material, nullptr), D3D_OK);
    D3DMATERIAL values{};
    values.dwSize = sizeof(values);
    values.diffuse = {1.0f, 0.5f, 0.0f, 1.0f};
    ASSERT_EQ(material->SetMaterial(&values), D3D_OK);
    D3DMATERIALHANDLE handle = 0;
    ASSERT_EQ(material->GetHandle(device_, &handle), D3D_OK);
    ASSERT_EQ(viewport_->SetBackground(handle), D3D_OK);
    Rect(0, 0, 32, 32, 0xFFFFFFFF, 0.3f);

    SetViewport(4, 4, 16, 16);
    D3DRECT rects[2] = {{0, 0, 10, 10}, {15, 15, 100, 100}}; // cut to the viewport
    ASSERT_EQ(viewport_->Clear(2, rects, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER), D3D_OK);
    EXPECT_EQ(Pixel(4, 4), Rgb565(255, 128, 0));
    EXPECT_EQ(Pixel(9, 9), Rgb565(255, 128, 0));
    EXPECT_EQ(Pixel(10, 10), 0xFFFF);
    EXPECT_EQ(Pixel(19, 19), Rgb565(255, 128, 0));
    EXPECT_EQ(Pixel(20, 20), 0xFFFF);
    EXPECT_EQ(Pixel(3, 3), 0xFFFF);
    EXPECT_EQ(Depth(5, 5), 0xFFFF);
    EXPECT_EQ(Depth(12, 12), uint16_t(std::lround(0.3 * 65535)));

    // Without a background the colour is black; bad arguments are refused.
    ASSERT_EQ(viewport_->SetBackground(0), D3D_OK);
    ASSERT_EQ(viewport_->Clear(1, rects, D3DCLEAR_TARGET), D3D_OK);
    EXPECT_EQ(Pixel(5, 5), 0);
    EXPECT_EQ(viewport_->Clear(1, nullptr, D3DCLEAR_TARGET), DDERR_INVALIDPARAMS);
    EXPECT_EQ(viewport_->Clear(1, rects, 0x80), DDERR_INVALIDPARAMS);
    IDirect3DViewport2* loose = nullptr;
    ASSERT_EQ(d3d_->CreateViewport(&loose, nullptr), D3D_OK);
    EXPECT_EQ(loose->Clear(1, rects, D3DCLEAR_TARGET), DDERR_INVALIDOBJECT);
    loose->Release();
    material->Release();
}

TEST_F(D3DRasterCoverageTest, DrawCallsCheckTheirArgumentsAndTheTarget) {
    MakeScene(16, 16);
    D3DTLVERTEX v[3] = {V(0, 0), V(16, 0), V(0, 16)};
    WORD indices[3] = {0, 1, 3};
    EXPECT_EQ(device_->DrawPrimitive(D3DPT_TRIANGLELIST, D3DVT_LVERTEX, v, 3, 0), DDERR_INVALIDPARAMS);
    EXPECT_EQ(device_->DrawPrimitive(static_cast<D3DPRIMITIVETYPE>(9), D3DVT_TLVERTEX, v, 3, 0),
              DDERR_INVALIDPARAMS);
    EXPECT_EQ(device_->DrawPrimitive(D3DPT_TRIANGLELIST, D3DVT_TLVERTEX, nullptr, 3, 0), DDERR_INVALIDPARAMS);
    EXPECT_EQ(device_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, D3DVT_TLVERTEX, v, 3, indices, 3, 0),
              DDERR_INVALIDPARAMS);
    EXPECT_EQ(Pixel(1, 1), 0);
    indices[2] = 2;
    EXPECT_EQ(device_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, D3DVT_TLVERTEX, v, 3, indices, 3, 0), D3D_OK);
    EXPECT_EQ(Pixel(1, 1), 0xFFFF);
    // A locked or lost target cannot be drawn on.
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof(desc);
    ASSERT_EQ(target_->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
    EXPECT_EQ(device_->DrawPrimitive(D3DPT_TRIANGLELIST, D3DVT_TLVERTEX, v, 3, 0), DDERR_SURFACEBUSY);
    target_->Unlock(nullptr);
    HostDDrawMarkSurfaceLost(target_);
    EXPECT_EQ(device_->DrawPrimitive(D3DPT_TRIANGLELIST, D3DVT_TLVERTEX, v, 3, 0), DDERR_SURFACELOST);
    ASSERT_EQ(target_->Restore(), DD_OK);
}

TEST_F(D3DRasterCoverageTest, StripsAndFansKeepTheirWinding) {
    MakeScene(32, 16);
    // A strip of two quads' worth of triangles, all clockwise once every second one is turned round.
    D3DTLVERTEX strip[6] = {V(0, 0), V(10, 0), V(0, 10), V(10, 10), V(0, 16), V(10, 16)};
    ASSERT_EQ(device_->DrawPrimitive(D3DPT_TRIANGLESTRIP, D3DVT_TLVERTEX, strip, 6, 0), D3D_OK);
    for (int y = 0; y < 16; y += 3)
        for (int x = 0; x < 10; x += 3)
            EXPECT_EQ(Pixel(x, y), 0xFFFF) << x << "," << y;
    WORD list[6] = {0, 1, 2, 2, 1, 3};
    D3DTLVERTEX quad[4] = {V(12, 0), V(30, 0), V(12, 16), V(30, 16)};
    ASSERT_EQ(device_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, D3DVT_TLVERTEX, quad, 4, list, 6, 0), D3D_OK);
    EXPECT_EQ(Pixel(12, 0), 0xFFFF);
    EXPECT_EQ(Pixel(29, 15), 0xFFFF);
    EXPECT_EQ(Pixel(30, 15), 0);
}

} // namespace

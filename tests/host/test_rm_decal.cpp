// Textures shown as frame visuals: decals drawn as screen-facing rectangles at the projected frame
// origin (160 pixels per unit of x/z, centre (80, 60), camera at z = -10), sized in world units or in
// pixels, placed by their origin texel, with the colour key left out when transparency is on, hidden by
// nearer meshes, and never picked.
#include "test_rm_render_support.h"

#include "tests/support/surfaces.h"

namespace {

class RMDecalTest : public RMRenderTest {
  protected:
    static constexpr uint16_t kBlack = 0x0000;

    void SetUp() override {
        RMRenderTest::SetUp();
        // 4 x 4 texels: red top-left quarter, a black (key) texel at (2, 2), green elsewhere.
        const uint16_t R = kRed, G = kGreen, K = kBlack;
        const uint16_t texels[4][4] = {{R, R, G, G}, {R, R, G, G}, {G, G, K, G}, {G, G, G, G}};
        IDirectDrawSurface* surface = testsupport::NewTexture(dd_, 4, 4);
        ASSERT_NE(surface, nullptr);
        {
            testsupport::LockedPixels pixels(surface);
            ASSERT_TRUE(pixels.ok());
            for (int y = 0; y < 4; ++y)
                for (int x = 0; x < 4; ++x)
                    pixels.At(x, y) = texels[y][x];
        }
        DDCOLORKEY key{0, 0};
        ASSERT_EQ(surface->SetColorKey(DDCKEY_SRCBLT, &key), DD_OK);
        ASSERT_EQ(rm_->CreateTextureFromSurface(surface, &texture_), D3DRM_OK);
        surface->Release(); // the texture holds it
        held_.push_back(texture_);
    }

    IDirect3DRMTexture* texture_ = nullptr;
};

TEST_F(RMDecalTest, DecalStartsAsOneWorldUnitFromItsTopLeftTexelAndRefusesBadSizes) {
    D3DVALUE w = 0, h = 0;
    LONG ox = -1, oy = -1;
    ASSERT_EQ(texture_->GetDecalSize(&w, &h), D3DRM_OK);
    ASSERT_EQ(texture_->GetDecalOrigin(&ox, &oy), D3DRM_OK);
    EXPECT_EQ(w, 1.0f);
    EXPECT_EQ(h, 1.0f);
    EXPECT_EQ(ox, 0);
    EXPECT_EQ(oy, 0);
    EXPECT_EQ(texture_->GetDecalScale(), DWORD{TRUE});
    EXPECT_EQ(texture_->SetDecalSize(-1.0f, 2.0f), D3DRMERR_BADVALUE);
    EXPECT_EQ(texture_->SetDecalSize(2.0f, 1.0f / 0.0f), D3DRMERR_BADVALUE);
    EXPECT_EQ(texture_->GetDecalSize(nullptr, &h), D3DRMERR_BADVALUE);
    ASSERT_EQ(texture_->GetDecalSize(&w, &h), D3DRM_OK);
    EXPECT_EQ(w, 1.0f); // unchanged by the refusals
}

// A 2 x 2 unit decal centred on the point (1, 0.5, 0): at depth 10 it spans 32 pixels about (96, 52),
// 8 pixels a texel.
TEST_F(RMDecalTest, ScaledDecalCoversItsProjectionAndLeavesOutTheKeyWhenTransparent) {
    IDirect3DRMFrame2* holder = Frame(scene_, 1.0f, 0.5f, 0.0f);
    ASSERT_EQ(texture_->SetDecalSize(2.0f, 2.0f), D3DRM_OK);
    ASSERT_EQ(texture_->SetDecalOrigin(2, 2), D3DRM_OK);
    Show(holder, texture_);
    ClearAndRender(scene_);
    EXPECT_EQ(Pixel(84, 40), kRed);
    EXPECT_EQ(Pixel(108, 64), kGreen);
    EXPECT_EQ(Pixel(100, 56), kBlack); // the key texel, drawn while transparency is off
    EXPECT_EQ(Pixel(79, 52), kBlue);
    EXPECT_EQ(Pixel(112, 52), kBlue);
    EXPECT_EQ(Pixel(96, 35), kBlue);
    EXPECT_EQ(Pixel(96, 68), kBlue);

    ASSERT_EQ(texture_->SetDecalTransparency(TRUE), D3DRM_OK);
    ClearAndRender(scene_);
    WriteFrame("rm_decal.bmp");
    EXPECT_EQ(Pixel(100, 56), kBlue);
    EXPECT_EQ(Pixel(84, 40), kRed);

    // Twice as far, half the size: (1, 0.5) at depth 20 is (88, 56), 4 pixels a texel.
    ASSERT_EQ(holder->SetPosition(scene_, 1.0f, 0.5f, 10.0f), D3DRM_OK);
    ClearAndRender(scene_);
    EXPECT_EQ(Pixel(81, 49), kRed);
    EXPECT_EQ(Pixel(94, 62), kGreen);
    EXPECT_EQ(Pixel(97, 56), kBlue);
}

TEST_F(RMDecalTest, UnscaledDecalIsSizedInPixelsAndClippedToTheView) {
    ASSERT_EQ(texture_->SetDecalScale(FALSE), D3DRM_OK);
    ASSERT_EQ(texture_->SetDecalSize(8.0f, 8.0f), D3DRM_OK);
    // Origin texel (0, 0) on (96, 52); at depth 20 the size stays 8 pixels.
    IDirect3DRMFrame2* holder = Frame(scene_, 2.0f, 1.0f, 10.0f);
    Show(holder, texture_);
    ClearAndRender(scene_);
    EXPECT_EQ(Pixel(96, 52), kRed);
    EXPECT_EQ(Pixel(103, 59), kGreen);
    EXPECT_EQ(Pixel(95, 52), kBlue);
    EXPECT_EQ(Pixel(104, 60), kBlue);

    // Projected at x = -4: the left half falls outside, column 0 shows texel column 2.
    ASSERT_EQ(holder->SetPosition(scene_, -10.5f, 1.0f, 10.0f), D3DRM_OK);
    ClearAndRender(scene_);
    EXPECT_EQ(Pixel(0, 52), kGreen);
    EXPECT_EQ(Pixel(4, 52), kBlue);
}

TEST_F(RMDecalTest, DecalIsHiddenByNearerMeshesAndNotDrawnOutsideTheDepthRange) {
    ASSERT_EQ(texture_->SetDecalSize(2.0f, 2.0f), D3DRM_OK);
    ASSERT_EQ(texture_->SetDecalOrigin(2, 2), D3DRM_OK);
    IDirect3DRMFrame2* holder = Frame(scene_, 0.0f, 0.0f, 5.0f); // depth 15
    Show(holder, texture_);
    // At depth 10, 4 pixels either side of the centre, where the decal shows its key texel (2, 2).
    Show(Frame(scene_, 0.0f, 0.0f, 0.0f), Square(0.25f, 0xFFFFFFFF));
    ClearAndRender(scene_);
    EXPECT_EQ(Pixel(80, 60), 0xFFFF);
    EXPECT_EQ(Pixel(84, 63), kBlack); // the same texel beside the square

    // Behind the camera and beyond the back plane nothing of it is drawn.
    ASSERT_EQ(holder->SetPosition(scene_, 0.0f, 0.0f, -20.0f), D3DRM_OK);
    ClearAndRender(scene_);
    EXPECT_EQ(Pixel(84, 63), kBlue);
    ASSERT_EQ(holder->SetPosition(scene_, 0.0f, 0.0f, 95.0f), D3DRM_OK);
    ClearAndRender(scene_);
    EXPECT_EQ(Pixel(80, 60), 0xFFFF);
    EXPECT_EQ(Pixel(81, 55), kBlue);
}

TEST_F(RMDecalTest, DecalIsNotPickedAndLeavesWithItsFrame) {
    IDirect3DRMFrame2* holder = Frame(scene_, 0.0f, 0.0f, 0.0f);
    Show(holder, texture_);
    ClearAndRender(scene_);
    ASSERT_EQ(Pixel(84, 64), kRed); // drawn: the top-left texel lies on the centre
    IDirect3DRMPickedArray* picked = nullptr;
    ASSERT_EQ(rmViewport_->Pick(84, 64, &picked), D3DRM_OK);
    EXPECT_EQ(picked->GetSize(), 0u);
    picked->Release();

    // The frame's reference goes with DeleteVisual: the test's own is then the last but the held one.
    texture_->AddRef();
    ASSERT_EQ(holder->DeleteVisual(texture_), D3DRM_OK);
    EXPECT_EQ(texture_->Release(), 1u);
    ClearAndRender(scene_);
    EXPECT_EQ(Pixel(84, 64), kBlue);
}

} // namespace

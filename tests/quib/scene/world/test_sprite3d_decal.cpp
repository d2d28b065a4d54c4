// Decal sprites (Sprite3D) on the engine's Retained Mode viewport: 640 x 480, camera at the origin
// looking down +z, front 0.1 and field 0.1, so one unit ahead a world unit is 320 pixels. The captured
// frame goes to the build folder's frames/sprite3d.bmp for review.
#include "quib/scene/world/sprite3d_decal.h"

#include "quib/scene/textures/surface_table.h"
#include "tests/quib/video_test_support.h"
#include "tests/support/frame_capture.h"
#include "tests/support/surfaces.h"
#include "tests/support/viewport_fixture.h"

using namespace video_test;

namespace {

constexpr WORD kRed = 0xF800;
constexpr WORD kGreen = 0x07E0;
constexpr WORD kWhite = 0xFFFF;

class Sprite3DTest : public testsupport::ViewportTest {
  protected:
    void TearDown() override {
        for (IDirectDrawSurface* surface : surfaces_)
            surface->Release();
        ViewportTest::TearDown();
    }

    // An 8 x 8 texture of colour with a black (key) top row, colour 0 as its source key.
    IDirectDrawSurface* Texture(WORD colour) {
        IDirectDrawSurface* surface = testsupport::NewTexture(g_lpDD, 8, 8);
        EXPECT_NE(nullptr, surface);
        if (!surface) return nullptr;
        surfaces_.push_back(surface);
        {
            LockedPixels pixels(surface);
            pixels.Fill(colour);
            for (int x = 0; x < 8; ++x)
                pixels.At(x, 0) = 0;
        }
        DDCOLORKEY key{0, 0};
        EXPECT_EQ(DD_OK, surface->SetColorKey(DDCKEY_SRCBLT, &key));
        return surface;
    }

    static WORD Pixel(int x, int y) {
        LockedPixels pixels(g_lpBackBuffer);
        return pixels.ok() ? pixels.At(x, y) : WORD(0xDEAD);
    }

    // Clears the viewport to the scene background and renders the sprite.
    static void ClearAndRender(void* sprite) {
        ASSERT_EQ(D3DRM_OK, g_lpD3DRMViewport->Clear());
        ASSERT_EQ(1, QuibSprite3DRender(sprite));
    }

    // The reference count surface has besides the one the test holds.
    static ULONG OtherReferences(IDirectDrawSurface* surface) {
        surface->AddRef();
        return surface->Release() - 1;
    }

    std::vector<IDirectDrawSurface*> surfaces_;
};

TEST_F(Sprite3DTest, ListSpriteShowsFrameZeroAtOnceAndSwapsFramesAtTheNextRender) {
    IDirectDrawSurface* list[4] = {Texture(kRed), Texture(kGreen), Texture(kWhite), nullptr};
    void* handle = nullptr;
    ASSERT_EQ(1, QuibSprite3DCreate(list, &handle));
    auto* sprite = static_cast<Sprite3D*>(handle);
    EXPECT_EQ(3, sprite->m_frameCount);

    // Screen point (100, 120), one unit ahead: ((100 - 320) / 320, (240 - 120) / 320, 1).
    ASSERT_EQ(1, QuibSprite3DScreenXY(sprite, 100, 120));
    D3DVECTOR at{};
    ASSERT_EQ(D3DRM_OK, sprite->m_frame->GetPosition(nullptr, &at));
    EXPECT_NEAR(-0.6875f, at.x, 1e-4f);
    EXPECT_NEAR(0.375f, at.y, 1e-4f);
    EXPECT_NEAR(1.0f, at.z, 1e-4f);

    // 0.1 units at depth 1: 32 pixels, 4 a texel, centred on the point: 84..116 x 104..136.
    ASSERT_EQ(1, QuibSprite3DParameters(sprite, 0.1f, 0.1f, 4, 4, 1, 1));
    ClearAndRender(sprite);
    const WORD background = Pixel(5, 5);
    ASSERT_NE(kRed, background);
    EXPECT_EQ(kRed, Pixel(100, 120)); // frame 0 before any frame change
    EXPECT_EQ(kRed, Pixel(85, 135));
    EXPECT_EQ(background, Pixel(100, 105)); // the key row
    EXPECT_EQ(background, Pixel(83, 120));
    EXPECT_EQ(background, Pixel(117, 120));

    // The step changes nothing until the render; every frame has the parameters.
    ASSERT_EQ(1, QuibSprite3DNextFrame(sprite));
    EXPECT_EQ(sprite->m_textures->GetAt(0), sprite->m_texture);
    ClearAndRender(sprite);
    EXPECT_EQ(sprite->m_textures->GetAt(1), sprite->m_texture);
    EXPECT_EQ(kGreen, Pixel(100, 120));
    EXPECT_EQ(background, Pixel(117, 120));
    EXPECT_EQ(background, Pixel(100, 105));
    ASSERT_EQ(1, QuibSprite3DNextFrame(sprite));
    ClearAndRender(sprite);
    {
        LockedPixels pixels(g_lpBackBuffer);
        ASSERT_TRUE(pixels.ok());
        testsupport::WriteFrame565("sprite3d.bmp", pixels.width(), pixels.height(), pixels.pitch(),
                                   &pixels.At(0, 0));
        EXPECT_EQ(kWhite, pixels.At(100, 120));
    }
    ASSERT_EQ(1, QuibSprite3DNextFrame(sprite));
    EXPECT_EQ(0, sprite->m_currentFrame);
    ClearAndRender(sprite);
    EXPECT_EQ(kRed, Pixel(100, 120));

    // Freed: the textures' references on the surfaces are given back.
    EXPECT_EQ(1u, OtherReferences(list[0]));
    QuibFreeSprite3D(sprite);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(0u, OtherReferences(list[i])) << i;
}

TEST_F(Sprite3DTest, SingleSurfaceSpriteHoldsATableEntryAndNoDecal) {
    IDirectDrawSurface* surface = Texture(kRed);
    const int entries = g_pSurfaceTable->m_entries.GetCount();
    void* handle = nullptr;
    ASSERT_EQ(1, QuibSprite3DCreate(surface, &handle));
    auto* sprite = static_cast<Sprite3D*>(handle);
    EXPECT_EQ(entries + 1, g_pSurfaceTable->m_entries.GetCount());
    ASSERT_NE(nullptr, sprite->m_textureEntry);
    EXPECT_EQ(surface, sprite->m_textureEntry->m_surface);
    EXPECT_EQ(8, sprite->m_width);
    EXPECT_EQ(nullptr, sprite->m_texture);
    EXPECT_EQ(0, QuibSprite3DParameters(sprite, 1.0f, 1.0f, 0, 0, 1, 1));
    EXPECT_EQ(0, QuibSprite3DSurfaceChanged(sprite, 1, 0));
    EXPECT_EQ(0, sprite->SetDecalOrigin(1, 1));
    EXPECT_EQ(0, QuibSprite3DRender(sprite));
    QuibFreeSprite3D(sprite);

    // An empty list has no frame to show.
    IDirectDrawSurface* none[1] = {nullptr};
    handle = &handle;
    EXPECT_EQ(0, QuibSprite3DCreate(none, &handle));
    EXPECT_EQ(nullptr, handle);
    EXPECT_EQ("QuibCreateSprite3D::can't init Sprite3D\n\n", ErrorText());
}

} // namespace

namespace {

TEST_F(Sprite3DTest, FreeingLogsTheShownTextureThenTheFrame) {
    auto releaseLines = [] {
        std::vector<std::string> lines;
        for (const std::string& line : LogLines())
            if (line.find("~Sprite3D()") != std::string::npos) lines.push_back(line);
        return lines;
    };
    void* single = nullptr;
    ASSERT_EQ(1, QuibSprite3DCreate(Texture(kRed), &single));
    QuibFreeSprite3D(single);
    std::vector<std::string> lines = releaseLines();
    ASSERT_EQ(2u, lines.size());
    EXPECT_EQ("RELEASE:<(nil)>~Sprite3D(): m_texture already NULL", lines[0]);
    EXPECT_EQ(0u, lines[1].find("RELEASE:<0x")) << lines[1];
    EXPECT_NE(std::string::npos, lines[1].find(">~Sprite3D(): m_frame->Release()=0")) << lines[1];

    // One line for the shown texture whatever the number of frames; every texture is still given back.
    IDirectDrawSurface* list[4] = {Texture(kRed), Texture(kGreen), Texture(kWhite), nullptr};
    void* handle = nullptr;
    ASSERT_EQ(1, QuibSprite3DCreate(list, &handle));
    ASSERT_EQ(1, QuibSprite3DNextFrame(handle));
    ClearAndRender(handle);
    QuibFreeSprite3D(handle);
    lines = releaseLines();
    ASSERT_EQ(4u, lines.size());
    EXPECT_NE(std::string::npos, lines[2].find(">~Sprite3D(): m_texture->Release()=0")) << lines[2];
    EXPECT_NE(std::string::npos, lines[3].find(">~Sprite3D(): m_frame->Release()=0")) << lines[3];
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(0u, OtherReferences(list[i])) << i;
}

} // namespace

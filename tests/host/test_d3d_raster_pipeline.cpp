// The rasterizer's pixel pipeline, read back pixel by pixel: texturing (perspective, filtering,
// addressing, colour key), texture blending, Gouraud and flat shading, specular, fog, every blend
// factor, and the device's recording mode.
#include "test_d3d_raster_support.h"

#include <cmath>

#include "host/d3d/recording.h"

namespace {

class D3DRasterPipelineTest : public D3DRasterTest {
  protected:
    // A quad over the whole target with texture coordinates 0..1 and the given colour and depth.
    void TexturedQuad(D3DCOLOR colour = 0xFFFFFFFF, float z = 0.5f, D3DCOLOR specular = 0xFF000000) {
        float w = float(width_), h = float(height_);
        Fan({V(0, 0, z, colour, 0, 0, 1, specular), V(w, 0, z, colour, 1, 0, 1, specular),
             V(w, h, z, colour, 1, 1, 1, specular), V(0, h, z, colour, 0, 1, 1, specular)});
    }
};

TEST_F(D3DRasterPipelineTest, DecalAndModulateColours) {
    MakeScene(8, 8);
    BindTexture(1, 1, {Rgb565(255, 128, 64)});
    TexturedQuad(0xFF8040FF); // diffuse (128, 64, 255)
    // MODULATE (the default): texel x diffuse.
    EXPECT_EQ(Red(Pixel(4, 4)), (255 * 128 / 255) >> 3);
    EXPECT_EQ(Green(Pixel(4, 4)), ((130 * 64 + 127) / 255) >> 2); // the texel's 6-bit green reads as 130
    EXPECT_EQ(Blue(Pixel(4, 4)), ((66 * 255 + 127) / 255) >> 3);  // its 5-bit blue as 66
    // DECAL: the texel alone.
    ClearDepth();
    State(D3DRENDERSTATE_TEXTUREMAPBLEND, D3DTBLEND_DECAL);
    TexturedQuad(0xFF8040FF);
    EXPECT_EQ(Pixel(4, 4), Rgb565(255, 128, 64));
    // DECAL of a 4-4-4-4 texture: its colour channels, and its alpha reaches blending.
    ClearDepth();
    DDPIXELFORMAT argb = Argb4444();
    BindTexture(1, 1, {0x8F80}, &argb); // alpha 8/15, red 15, green 8, blue 0
    State(D3DRENDERSTATE_ALPHABLENDENABLE, TRUE);
    State(D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA);
    State(D3DRENDERSTATE_DESTBLEND, D3DBLEND_INVSRCALPHA);
    Fill(0);
    TexturedQuad();
    // 255 * 136/255 = 136 red; green 136 * 136/255 = 72.5.
    EXPECT_NEAR(Red(Pixel(4, 4)), 136 >> 3, 1);
    EXPECT_NEAR(Green(Pixel(4, 4)), 72 >> 2, 1);
    EXPECT_EQ(Blue(Pixel(4, 4)), 0);
}

TEST_F(D3DRasterPipelineTest, GouraudInterpolatesAndFlatTakesTheFirstVertex) {
    MakeScene(64, 4);
    State(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE);
    Fan({V(0, 0, 0.5f, 0xFF000000), V(64, 0, 0.5f, 0xFFFF0000), V(64, 4, 0.5f, 0xFFFF0000),
         V(0, 4, 0.5f, 0xFF000000)});
    // Red grows by 255/64 a pixel: pixel x (centre x) has 255 * x / 64.
    for (int x : {0, 16, 32, 63})
        EXPECT_NEAR(Red(Pixel(x, 1)), (255 * x / 64) >> 3, 1) << x;
    ClearDepth();
    State(D3DRENDERSTATE_SHADEMODE, D3DSHADE_FLAT);
    Fan({V(0, 0, 0.5f, 0xFF00FF00), V(64, 0, 0.5f, 0xFFFF0000), V(64, 4, 0.5f, 0xFF0000FF)});
    EXPECT_EQ(Pixel(60, 1), Rgb565(0, 255, 0));
}

TEST_F(D3DRasterPipelineTest, ColourKeyedTexelsAreDiscardedBeforeTheDepthWrite) {
    MakeScene(8, 8);
    Fill(0x1234);
    const uint16_t key = Rgb565(255, 0, 255);
    DDCOLORKEY colourKey{key, key};
    // Left column keyed, right column plain white.
    BindTexture(2, 1, {key, 0xFFFF}, nullptr, &colourKey);
    State(D3DRENDERSTATE_TEXTUREMAPBLEND, D3DTBLEND_DECAL);
    TexturedQuad();
    EXPECT_EQ(Pixel(1, 3), key); // no key test without COLORKEYENABLE
    Fill(0x1234);
    ClearDepth();
    State(D3DRENDERSTATE_COLORKEYENABLE, TRUE);
    TexturedQuad(0xFFFFFFFF, 0.25f);
    EXPECT_EQ(Pixel(1, 3), 0x1234);
    EXPECT_EQ(Depth(1, 3), 0xFFFF);
    EXPECT_EQ(Pixel(5, 3), 0xFFFF);
    EXPECT_EQ(Depth(5, 3), uint16_t(std::lround(0.25 * 65535)));
    // The same through the general pipeline (bilinear decides the key on the nearest texel).
    Fill(0x1234);
    ClearDepth();
    State(D3DRENDERSTATE_TEXTUREMAG, D3DFILTER_LINEAR);
    State(D3DRENDERSTATE_TEXTUREADDRESS, D3DTADDRESS_CLAMP);
    TexturedQuad(0xFFFFFFFF, 0.25f);
    EXPECT_EQ(Pixel(1, 3), 0x1234);
    EXPECT_EQ(Depth(1, 3), 0xFFFF);
    EXPECT_EQ(Pixel(7, 3), 0xFFFF);
}

TEST_F(D3DRasterPipelineTest, PerspectiveCorrectTextureOnATiltedQuad) {
    MakeScene(128, 8);
    // A 64-texel ramp: texel i holds green i.
    std::vector<uint16_t> ramp(64);
    for (int i = 0; i < 64; ++i)
        ramp[i] = uint16_t(i << 5);
    BindTexture(64, 1, ramp);
    State(D3DRENDERSTATE_TEXTUREMAPBLEND, D3DTBLEND_DECAL);
    State(D3DRENDERSTATE_TEXTUREPERSPECTIVE, TRUE);
    // The left edge is near (rhw 1), the right one four times as far (rhw 0.25).
    const float x0 = 0.0f, x1 = 128.0f, near = 1.0f, far = 0.25f;
    Fan({V(x0, 0, 0.5f, ~0u, 0, 0, near), V(x1, 0, 0.5f, ~0u, 1, 0, far), V(x1, 8, 0.5f, ~0u, 1, 1, far),
         V(x0, 8, 0.5f, ~0u, 0, 1, near)});
    std::vector<uint16_t> pixels = Pixels();
    int exact = 0;
    for (int x = 0; x < 128; ++x) {
        // u at the pixel centre: (t u1 rhw1 + (1 - t) u0 rhw0) / (t rhw1 + (1 - t) rhw0).
        double t = (x - x0) / (x1 - x0);
        double u = (t * 1.0 * far) / (t * far + (1 - t) * near);
        int expected = int(std::floor(u * 64));
        int got = Green(pixels[4 * 128 + x]);
        EXPECT_NEAR(got, expected, 1) << x;
        exact += got == expected;
    }
    EXPECT_GE(exact, 120); // off by one only where u lands on a texel boundary
    WriteFrame("raster_perspective.bmp");
    // Without perspective correction u is linear on screen.
    ClearDepth();
    State(D3DRENDERSTATE_TEXTUREPERSPECTIVE, FALSE);
    Fan({V(x0, 0, 0.5f, ~0u, 0, 0, near), V(x1, 0, 0.5f, ~0u, 1, 0, far), V(x1, 8, 0.5f, ~0u, 1, 1, far),
         V(x0, 8, 0.5f, ~0u, 0, 1, near)});
    EXPECT_EQ(Green(Pixel(64, 4)), 32);
}

TEST_F(D3DRasterPipelineTest, TextureAddressingWrapsMirrorsAndClamps) {
    MakeScene(16, 1);
    std::vector<uint16_t> ramp = {0 << 5, 1 << 5, 2 << 5, 3 << 5};
    BindTexture(4, 1, ramp);
    State(D3DRENDERSTATE_TEXTUREMAPBLEND, D3DTBLEND_DECAL);
    auto row = [this]() {
        ClearDepth();
        // u from -1 to 3 across 16 pixels: a texel a pixel, each pixel centre in the middle of one.
        Fan({V(0, 0, 0.5f, ~0u, -0.875f, 0), V(16, 0, 0.5f, ~0u, 3.125f, 0), V(16, 1, 0.5f, ~0u, 3.125f, 1),
             V(0, 1, 0.5f, ~0u, -0.875f, 1)});
        std::vector<int> greens;
        for (uint16_t p : Pixels())
            greens.push_back(Green(p));
        return greens;
    };
    EXPECT_EQ(row(), (std::vector<int>{0, 1, 2, 3, 0, 1, 2, 3, 0, 1, 2, 3, 0, 1, 2, 3}));
    State(D3DRENDERSTATE_TEXTUREADDRESS, D3DTADDRESS_MIRROR);
    EXPECT_EQ(row(), (std::vector<int>{3, 2, 1, 0, 0, 1, 2, 3, 3, 2, 1, 0, 0, 1, 2, 3}));
    State(D3DRENDERSTATE_TEXTUREADDRESS, D3DTADDRESS_CLAMP);
    EXPECT_EQ(row(), (std::vector<int>{0, 0, 0, 0, 0, 1, 2, 3, 3, 3, 3, 3, 3, 3, 3, 3}));
}

TEST_F(D3DRasterPipelineTest, BilinearFilteringBlendsNeighbouringTexels) {
    MakeScene(8, 1);
    BindTexture(2, 1, {0, uint16_t(62 << 5)});
    State(D3DRENDERSTATE_TEXTUREMAPBLEND, D3DTBLEND_DECAL);
    State(D3DRENDERSTATE_TEXTUREMAG, D3DFILTER_LINEAR);
    State(D3DRENDERSTATE_TEXTUREADDRESS, D3DTADDRESS_CLAMP);
    Fan({V(0, 0, 0.5f, ~0u, 0, 0), V(8, 0, 0.5f, ~0u, 1, 0), V(8, 1, 0.5f, ~0u, 1, 1),
         V(0, 1, 0.5f, ~0u, 0, 1)});
    // Texel centres at pixels 2 and 6 (u 0.25 and 0.75); pixel 4 lies halfway.
    EXPECT_EQ(Green(Pixel(1, 0)), 0);
    EXPECT_NEAR(Green(Pixel(4, 0)), 31, 1);
    EXPECT_EQ(Green(Pixel(7, 0)), 62);
    EXPECT_LT(Green(Pixel(3, 0)), Green(Pixel(4, 0)));
    EXPECT_LT(Green(Pixel(4, 0)), Green(Pixel(5, 0)));
}

TEST_F(D3DRasterPipelineTest, PalettisedTexturesSampleThroughTheirPalette) {
    MakeScene(4, 1);
    DDPIXELFORMAT format{};
    format.dwSize = sizeof(format);
    format.dwFlags = DDPF_RGB | DDPF_PALETTEINDEXED8;
    format.dwRGBBitCount = 8;
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
    desc.dwWidth = 2;
    desc.dwHeight = 1;
    desc.ddpfPixelFormat = format;
    desc.ddsCaps.dwCaps = DDSCAPS_TEXTURE | DDSCAPS_SYSTEMMEMORY;
    IDirectDrawSurface* surface = nullptr;
    ASSERT_EQ(dd_->CreateSurface(&desc, &surface, nullptr), DD_OK);
    textures_.push_back(surface);
    PALETTEENTRY entries[256] = {};
    entries[7] = {255, 0, 0, 0};
    entries[9] = {0, 0, 255, 0};
    IDirectDrawPalette* palette = nullptr;
    ASSERT_EQ(dd_->CreatePalette(DDPCAPS_8BIT | DDPCAPS_ALLOW256, entries, &palette, nullptr), DD_OK);
    ASSERT_EQ(surface->SetPalette(palette), DD_OK);
    palette->Release();
    ASSERT_EQ(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
    static_cast<uint8_t*>(desc.lpSurface)[0] = 7;
    static_cast<uint8_t*>(desc.lpSurface)[1] = 9;
    surface->Unlock(nullptr);
    IDirect3DTexture2* texture = nullptr;
    ASSERT_EQ(surface->QueryInterface(IID_IDirect3DTexture2, reinterpret_cast<void**>(&texture)), S_OK);
    D3DTEXTUREHANDLE handle = 0;
    ASSERT_EQ(texture->GetHandle(device_, &handle), D3D_OK);
    texture->Release();
    State(D3DRENDERSTATE_TEXTUREHANDLE, handle);
    TexturedQuad();
    EXPECT_EQ(Pixel(0, 0), Rgb565(255, 0, 0));
    EXPECT_EQ(Pixel(3, 0), Rgb565(0, 0, 255));
}

TEST_F(D3DRasterPipelineTest, SpecularAddsAndSaturates) {
    MakeScene(4, 4);
    State(D3DRENDERSTATE_SPECULARENABLE, TRUE);
    TexturedQuad(0xFFC08000, 0.5f, 0xFF804020);
    EXPECT_EQ(Pixel(1, 1), Rgb565(255, 0xC0, 0x20));
}

TEST_F(D3DRasterPipelineTest, LinearTableFogAtStartMiddleAndEnd) {
    MakeScene(3, 1);
    State(D3DRENDERSTATE_FOGENABLE, TRUE);
    State(D3DRENDERSTATE_FOGTABLEMODE, D3DFOG_LINEAR);
    State(D3DRENDERSTATE_FOGCOLOR, 0x0000FF);
    FloatState(D3DRENDERSTATE_FOGTABLESTART, 10.0f);
    FloatState(D3DRENDERSTATE_FOGTABLEEND, 20.0f);
    // One pixel each at eye depth 10, 15 and 20 (rhw 1/depth).
    const float depths[3] = {10.0f, 15.0f, 20.0f};
    for (int i = 0; i < 3; ++i) {
        float rhw = 1.0f / depths[i];
        float x = float(i);
        Fan({V(x, 0, 0.5f, 0xFFFF0000, 0, 0, rhw), V(x + 1, 0, 0.5f, 0xFFFF0000, 0, 0, rhw),
             V(x + 1, 1, 0.5f, 0xFFFF0000, 0, 0, rhw), V(x, 1, 0.5f, 0xFFFF0000, 0, 0, rhw)});
    }
    EXPECT_EQ(Pixel(0, 0), Rgb565(255, 0, 0)); // f = 1: no fog
    EXPECT_NEAR(Red(Pixel(1, 0)), 128 >> 3, 1);
    EXPECT_NEAR(Blue(Pixel(1, 0)), 127 >> 3, 1);
    EXPECT_EQ(Pixel(2, 0), Rgb565(0, 0, 255)); // f = 0: all fog
    // Vertex fog: the specular alpha is the factor.
    State(D3DRENDERSTATE_FOGTABLEMODE, D3DFOG_NONE);
    ClearDepth();
    Fan({V(0, 0, 0.5f, 0xFFFF0000, 0, 0, 1, 0x40000000), V(3, 0, 0.5f, 0xFFFF0000, 0, 0, 1, 0x40000000),
         V(3, 1, 0.5f, 0xFFFF0000, 0, 0, 1, 0x40000000)});
    EXPECT_NEAR(Red(Pixel(2, 0)), 64 >> 3, 1);
    EXPECT_NEAR(Blue(Pixel(2, 0)), 191 >> 3, 1);
}

TEST_F(D3DRasterPipelineTest, EveryBlendFactorAgainstAKnownDestination) {
    MakeScene(1, 1);
    State(D3DRENDERSTATE_ZENABLE, FALSE);
    State(D3DRENDERSTATE_ALPHABLENDENABLE, TRUE);
    // Source (200, 100, 40) with alpha 64; destination (82, 162, 247) as 5-6-5 (10, 40, 30).
    const D3DCOLOR source = 0x40C86428;
    const uint16_t dest = uint16_t((10 << 11) | (40 << 5) | 30);
    struct Case {
        DWORD src, dst;
        int r, g, b; // expected 8-bit result, worked out by hand
    };
    const Case cases[] = {
        {D3DBLEND_ONE, D3DBLEND_ZERO, 200, 100, 40},
        {D3DBLEND_ZERO, D3DBLEND_ONE, 82, 162, 247},
        {D3DBLEND_ONE, D3DBLEND_ONE, 255, 255, 255},
        {D3DBLEND_ZERO, D3DBLEND_SRCCOLOR, 64, 64, 39},     // dest x src / 255
        {D3DBLEND_ZERO, D3DBLEND_INVSRCCOLOR, 18, 98, 208}, // dest x (255 - src) / 255
        {D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA, 112, 147, 195},
        {D3DBLEND_INVSRCALPHA, D3DBLEND_ZERO, 150, 75, 30},
        {D3DBLEND_DESTALPHA, D3DBLEND_ZERO, 200, 100, 40}, // a 16-bit target reads as opaque
        {D3DBLEND_INVDESTALPHA, D3DBLEND_ONE, 82, 162, 247},
        {D3DBLEND_DESTCOLOR, D3DBLEND_ZERO, 64, 64, 39},
        {D3DBLEND_INVDESTCOLOR, D3DBLEND_ZERO, 136, 36, 1},
        {D3DBLEND_SRCALPHASAT, D3DBLEND_ONE, 82, 162, 247}, // min(alpha, 1 - dest alpha) = 0
        {D3DBLEND_BOTHSRCALPHA, D3DBLEND_ZERO, 112, 147, 195},
        {D3DBLEND_BOTHINVSRCALPHA, D3DBLEND_ZERO, 170, 115, 92},
    };
    for (const Case& c : cases) {
        Fill(dest);
        State(D3DRENDERSTATE_SRCBLEND, c.src);
        State(D3DRENDERSTATE_DESTBLEND, c.dst);
        Fan({V(0, 0, 0.5f, source), V(1, 0, 0.5f, source), V(1, 1, 0.5f, source)});
        uint16_t p = Pixel(0, 0);
        EXPECT_NEAR(Red(p), c.r >> 3, 1) << c.src << "/" << c.dst;
        EXPECT_NEAR(Green(p), c.g >> 2, 1) << c.src << "/" << c.dst;
        EXPECT_NEAR(Blue(p), c.b >> 3, 1) << c.src << "/" << c.dst;
    }
}

TEST_F(D3DRasterPipelineTest, RecordingLogsStatesDrawsAndClearsInOrder) {
    MakeScene(8, 8);
    EXPECT_TRUE(HostD3DSetRecording(device_, true));
    State(D3DRENDERSTATE_ZWRITEENABLE, FALSE);
    EXPECT_EQ(device_->SetRenderState(D3DRENDERSTATE_SHADEMODE, 99), DDERR_INVALIDPARAMS); // not recorded
    D3DRECT all{0, 0, 8, 8};
    ASSERT_EQ(viewport_->Clear(1, &all, D3DCLEAR_TARGET), D3D_OK);
    D3DTLVERTEX v[3] = {V(0, 0), V(8, 0), V(0, 8)};
    WORD indices[3] = {0, 1, 2};
    ASSERT_EQ(device_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, D3DVT_TLVERTEX, v, 3, indices, 3, 0), D3D_OK);
    ASSERT_EQ(device_->DrawPrimitive(D3DPT_LINELIST, D3DVT_TLVERTEX, v, 2, 0), D3D_OK);
    EXPECT_EQ(Pixel(1, 1), 0xFFFF); // recording still draws

    std::vector<HostD3DCall> calls = HostD3DRecordedCalls(device_);
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(calls[0].kind, HostD3DCall::Kind::kRenderState);
    EXPECT_EQ(calls[0].state, D3DRENDERSTATE_ZWRITEENABLE);
    EXPECT_EQ(calls[0].value, DWORD{FALSE});
    EXPECT_EQ(calls[1].kind, HostD3DCall::Kind::kClear);
    EXPECT_EQ(calls[1].clearFlags, DWORD{D3DCLEAR_TARGET});
    ASSERT_EQ(calls[1].rects.size(), 1u);
    EXPECT_EQ(calls[2].kind, HostD3DCall::Kind::kDraw);
    EXPECT_TRUE(calls[2].indexed);
    EXPECT_EQ(calls[2].primitive, D3DPT_TRIANGLELIST);
    EXPECT_EQ(calls[2].indices, (std::vector<WORD>{0, 1, 2}));
    EXPECT_EQ(calls[2].vertices[1].sx, 8.0f);
    EXPECT_FALSE(calls[3].indexed);
    EXPECT_EQ(calls[3].primitive, D3DPT_LINELIST);
    EXPECT_EQ(calls[3].vertices.size(), 2u);

    // Stopping keeps the log; starting again empties it.
    EXPECT_TRUE(HostD3DSetRecording(device_, false));
    State(D3DRENDERSTATE_ZWRITEENABLE, TRUE);
    EXPECT_EQ(HostD3DRecordedCalls(device_).size(), 4u);
    EXPECT_TRUE(HostD3DSetRecording(device_, true));
    EXPECT_TRUE(HostD3DRecordedCalls(device_).empty());
    EXPECT_FALSE(HostD3DSetRecording(nullptr, true));
}

} // namespace

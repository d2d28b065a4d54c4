// The rasterizer's specialised span kernels against its general per-pixel loop: the same seeded sets of
// overlapping triangles (random corners, depths crossing, perspective, some reaching off the target)
// drawn over the same random pixels and depths in every state combination the kernels cover, on a 5-6-5
// and a 5-5-5 target, once with the kernels and once with them switched off; every pixel and every depth
// must be equal.
#include "test_d3d_raster_support.h"

#include <random>
#include <string>

#include "host/d3d/testing.h"

namespace {

// The parameter: the layout of the target and of the textures laid out as it, 565 or 555.
class D3DRasterKernelTest : public D3DRasterTest, public ::testing::WithParamInterface<int> {
  protected:
    void TearDown() override {
        HostD3DUseFastSpans(true);
        D3DRasterTest::TearDown();
    }

    // Overwrites the target's pixels and the Z-buffer's depths with values from seed.
    void Scatter(IDirectDrawSurface* surface, uint32_t seed) {
        std::mt19937 random(seed);
        DDSURFACEDESC desc{};
        desc.dwSize = sizeof(desc);
        ASSERT_EQ(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
        for (DWORD y = 0; y < desc.dwHeight; ++y) {
            auto* row = reinterpret_cast<uint16_t*>(static_cast<uint8_t*>(desc.lpSurface) + y * desc.lPitch);
            for (DWORD x = 0; x < desc.dwWidth; ++x)
                row[x] = uint16_t(random());
        }
        surface->Unlock(nullptr);
    }

    // Draws seed's triangles over seed's pixels and depths; returns the pixels then the depths.
    std::vector<uint16_t> Draw(uint32_t seed) {
        Scatter(target_, seed);
        Scatter(zbuffer_, seed + 1);
        std::mt19937 random(seed + 2);
        std::uniform_real_distribution<float> x(-8.0f, float(width_) + 8.0f), y(-8.0f, float(height_) + 8.0f);
        std::uniform_real_distribution<float> z(-0.1f, 1.1f), rhw(0.2f, 1.0f), uv(-2.0f, 3.0f);
        std::vector<D3DTLVERTEX> v;
        for (int i = 0; i < 3 * 24; ++i)
            v.push_back(D3DTLVERTEX{x(random), y(random), z(random), rhw(random), D3DCOLOR(random()),
                                    D3DCOLOR(random()), uv(random), uv(random)});
        EXPECT_EQ(device_->DrawPrimitive(D3DPT_TRIANGLELIST, D3DVT_TLVERTEX, v.data(), DWORD(v.size()), 0),
                  D3D_OK);
        std::vector<uint16_t> out = Pixels(), depths = Depths();
        out.insert(out.end(), depths.begin(), depths.end());
        return out;
    }
};

TEST_P(D3DRasterKernelTest, EveryKernelDrawsWhatTheGeneralLoopDraws) {
    HostMachine machine = HostGetMachine();
    machine.pixels555 = GetParam() == 555;
    HostSetMachine(machine);
    MakeScene(61, 37);
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof(desc);
    ASSERT_EQ(target_->GetSurfaceDesc(&desc), DD_OK);
    ASSERT_EQ(desc.ddpfPixelFormat.dwRBitMask, GetParam() == 555 ? 0x7C00u : 0xF800u);
    State(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE);
    State(D3DRENDERSTATE_TEXTUREPERSPECTIVE, TRUE);
    State(D3DRENDERSTATE_ZFUNC, D3DCMP_LESSEQUAL);
    State(D3DRENDERSTATE_FOGTABLEMODE, D3DFOG_LINEAR);
    State(D3DRENDERSTATE_FOGCOLOR, 0x4080C0);
    FloatState(D3DRENDERSTATE_FOGTABLESTART, 1.5f);
    FloatState(D3DRENDERSTATE_FOGTABLEEND, 4.0f);
    // Textures of 16 x 8 texels: laid out as the target and 4-4-4-4 (alpha, read by table), a sixth of
    // their texels the colour key's.
    std::mt19937 random(7);
    std::vector<uint16_t> texels(16 * 8);
    for (uint16_t& t : texels)
        t = random() % 6 ? uint16_t(random()) : 0x0F0F;
    const DDPIXELFORMAT argb = Argb4444();
    const DDCOLORKEY key{0x0F0F, 0x0F0F};
    const D3DTEXTUREHANDLE textures[2] = {BindTexture(16, 8, texels, nullptr, &key),
                                          BindTexture(16, 8, texels, &argb, &key)};
    const DWORD blends[4][2] = {{D3DBLEND_ONE, D3DBLEND_ZERO},
                                {D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA},
                                {D3DBLEND_ONE, D3DBLEND_ONE},
                                {D3DBLEND_ZERO, D3DBLEND_SRCCOLOR}};
    // Every combination: texturing (none, modulate, decal) x texture format x filter x colour key x depth
    // (off, test and write, test only) x fog x blend (the four pairs, then off) x specular.
    const int sizes[8] = {3, 2, 2, 2, 3, 2, 5, 2};
    int compared = 0;
    for (int combination = 0; combination < 3 * 2 * 2 * 2 * 3 * 2 * 5 * 2; ++combination) {
        int c[8];
        for (int i = 7, rest = combination; i >= 0; rest /= sizes[i], --i)
            c[i] = rest % sizes[i];
        const int texturing = c[0], format = c[1], filter = c[2], keyed = c[3], depth = c[4], fog = c[5];
        const int blend = c[6], specular = c[7];
        if (!texturing && (format || filter || keyed)) continue; // the same untextured state again
        State(D3DRENDERSTATE_TEXTUREHANDLE, texturing ? textures[format] : 0);
        State(D3DRENDERSTATE_TEXTUREMAPBLEND, texturing == 2 ? D3DTBLEND_DECAL : D3DTBLEND_MODULATE);
        State(D3DRENDERSTATE_TEXTUREMAG, filter ? D3DFILTER_LINEAR : D3DFILTER_NEAREST);
        State(D3DRENDERSTATE_COLORKEYENABLE, keyed);
        State(D3DRENDERSTATE_ZENABLE, depth != 0);
        State(D3DRENDERSTATE_ZWRITEENABLE, depth == 1);
        State(D3DRENDERSTATE_FOGENABLE, fog);
        State(D3DRENDERSTATE_SPECULARENABLE, specular);
        State(D3DRENDERSTATE_ALPHABLENDENABLE, blend != 4);
        State(D3DRENDERSTATE_SRCBLEND, blends[blend % 4][0]);
        State(D3DRENDERSTATE_DESTBLEND, blends[blend % 4][1]);
        const uint32_t seed = uint32_t(combination) * 3;
        HostD3DUseFastSpans(true);
        const std::vector<uint16_t> fast = Draw(seed);
        HostD3DUseFastSpans(false);
        const std::vector<uint16_t> general = Draw(seed);
        size_t first = 0;
        while (first < fast.size() && fast[first] == general[first])
            ++first;
        const size_t area = size_t(width_) * height_;
        ASSERT_EQ(first, fast.size())
            << (first < area ? "pixel " : "depth ") << first % area << ": " << fast[first] << " against "
            << general[first] << " (texturing " << texturing << ", format " << format << ", bilinear "
            << filter << ", keyed " << keyed << ", depth " << depth << ", fog " << fog << ", blend " << blend
            << ", specular " << specular << ")";
        ++compared;
    }
    EXPECT_EQ(compared, 3 * 2 * 5 * 2 * (1 + 2 * 2 * 2 * 2));
}

INSTANTIATE_TEST_SUITE_P(TargetLayouts, D3DRasterKernelTest, ::testing::Values(565, 555),
                         [](const ::testing::TestParamInfo<int>& layout) {
                             return std::to_string(layout.param);
                         });

} // namespace

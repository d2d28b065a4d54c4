// Smoke puffs: the fixed pool, their life, growth and texture steps, the far-to-near sort (a puff at the
// camera included), and additive drawing into the back buffer within the area budget. The captured frame
// goes to the build folder's frames/smoke.bmp for review.
#include "quib/scene/world/smoke.h"

#include "quib/scene/world/sprite3d_decal.h"
#include "tests/quib/draw_test_support.h"
#include "tests/support/frame_capture.h"
#include "tests/support/surfaces.h"

using namespace draw_test;
using video_test::LockedPixels;

namespace {

constexpr WORD kGreyTexel = 0x4208;  // 66, 65, 66
constexpr WORD kBackground = 0x0841; // 8, 8, 8

class SmokeTest : public DrawTest {
  protected:
    void TearDown() override {
        QuibFreeSmoke();
        QuibRenderSmoke(1);
        QuibSetSmokeTA(0.5f);
        for (IDirectDrawSurface* surface : surfaces_)
            surface->Release();
        DrawTest::TearDown();
    }

    // count 8 x 8 grey smoke textures, NULL-terminated.
    std::vector<IDirectDrawSurface*> Textures(int count) {
        std::vector<IDirectDrawSurface*> list;
        for (int i = 0; i < count; ++i) {
            IDirectDrawSurface* surface = testsupport::NewTexture(g_lpDD, 8, 8);
            EXPECT_NE(nullptr, surface);
            video_test::FillSolid(surface, kGreyTexel);
            surfaces_.push_back(surface);
            list.push_back(surface);
        }
        list.push_back(nullptr);
        return list;
    }

    static int ActivePuffs() {
        int active = 0;
        for (int i = 0; i < g_Smoke.poolSize; ++i)
            active += g_Smoke.pool[i].active;
        return active;
    }

    std::vector<IDirectDrawSurface*> surfaces_;
};

TEST_F(SmokeTest, PuffsFillAFixedPoolGrowStepTheirTexturesAndDie) {
    std::vector<IDirectDrawSurface*> textures = Textures(2);
    QuibInitSmoke(3, textures.data());
    ASSERT_EQ(3, g_Smoke.poolSize);
    for (int i = 0; i < 4; ++i)
        QuibAddSmoke(float(i), 0.0f, 0.0f, 1);
    EXPECT_EQ(3, ActivePuffs()); // the fourth found no free record
    const PUFF& first = g_Smoke.pool[0];
    EXPECT_EQ(63, first.fadeStep); // (255 / 2) / (1 + 1)
    EXPECT_EQ(4, first.anchorX);
    EXPECT_EQ(6, first.anchorY); // 8 - 8 / 3
    const int startFrame = first.frame;

    // Two textures shown one tick each, then one more: three ticks of life.
    QuibTickSmoke();
    EXPECT_EQ((startFrame + 1) % 2, first.frame);
    QuibTickSmoke();
    EXPECT_EQ(3, ActivePuffs());
    QuibTickSmoke();
    EXPECT_EQ(0, ActivePuffs());
    EXPECT_FLOAT_EQ(0.5f + 3 * 0.75f, first.width); // grown on the tick it died too
    EXPECT_FLOAT_EQ(0.5f + 3 * 0.5f, first.height);

    // Records are reused lowest first.
    QuibAddSmoke(0.0f, 1.0f, 0.0f, 2);
    QuibAddSmoke(0.0f, 2.0f, 0.0f, 2);
    QuibClearSmoke();
    QuibAddSmoke(0.0f, 3.0f, 0.0f, 2);
    EXPECT_EQ(1, ActivePuffs());
    EXPECT_EQ(3.0f, first.position[1]);
    EXPECT_FLOAT_EQ(0.5f, first.width);

    QuibFreeSmoke();
    EXPECT_EQ(nullptr, g_Smoke.pool);
    EXPECT_EQ(nullptr, g_Smoke.frames);
    EXPECT_EQ(0, g_Smoke.poolSize);
    // Without a pool every call does nothing.
    QuibAddSmoke(0.0f, 0.0f, 0.0f, 1);
    QuibTickSmoke();
    QuibRenderSmoke();
    EXPECT_EQ(0, g_Smoke.sortedCount);
}

TEST_F(SmokeTest, SmokeWithoutTexturesAddsNothing) {
    IDirectDrawSurface* none[1] = {nullptr};
    QuibInitSmoke(2, none);
    ASSERT_EQ(2, g_Smoke.poolSize);
    QuibAddSmoke(0.0f, 0.0f, 5.0f, 1);
    EXPECT_EQ(0, ActivePuffs());
}

TEST_F(SmokeTest, SortGoesFarToNearInPoolOrderForEqualsWithThePuffAtTheCameraLast) {
    std::vector<IDirectDrawSurface*> textures = Textures(1);
    QuibInitSmoke(5, textures.data());
    const D3DVECTOR eye = g_lpCamera->m_position;
    QuibAddSmoke(eye.x, eye.y, eye.z, 1);      // 0: at the camera
    QuibAddSmoke(eye.x, eye.y, eye.z + 5, 1);  // 1: 5 away
    QuibAddSmoke(eye.x, eye.y, eye.z + 20, 1); // 2: 20 away
    QuibAddSmoke(eye.x, eye.y + 5, eye.z, 1);  // 3: 5 away
    QuibAddSmoke(eye.x + 30, eye.y, eye.z, 1); // 4: ended below
    g_Smoke.pool[4].active = 0;
    QuibSortSmoke();
    ASSERT_EQ(4, g_Smoke.sortedCount);
    EXPECT_EQ(&g_Smoke.pool[2], g_Smoke.sorted[0]);
    EXPECT_EQ(&g_Smoke.pool[1], g_Smoke.sorted[1]);
    EXPECT_EQ(&g_Smoke.pool[3], g_Smoke.sorted[2]);
    EXPECT_EQ(&g_Smoke.pool[0], g_Smoke.sorted[3]);
}

// One puff at the world origin seen from (0, 0, -10): 16 x 16 pixels with texel (4, 6) on the centre,
// so it covers 312..328 x 228..244. The engine's camera (the sort's) stands at the origin: the puff is
// at its distance 0.
TEST_F(SmokeTest, RenderAddsThePuffToTheBackgroundAndFadesIt) {
    std::vector<IDirectDrawSurface*> textures = Textures(1);
    QuibInitSmoke(2, textures.data());
    QuibAddSmoke(0.0f, 0.0f, 0.0f, 1);
    video_test::FillSolid(g_lpBackBuffer, kBackground);
    D3DRECT all{0, 0, 640, 480};
    ASSERT_EQ(D3D_OK, g_ImViewport->Clear(1, &all, D3DCLEAR_ZBUFFER));
    Take();
    QuibRenderSmoke();
    EXPECT_EQ(1u, Draws(Take()).size());
    EXPECT_EQ(255 - 127, g_Smoke.pool[0].intensity); // (255 / 1) / (1 + 1) taken off once
    DWORD blend = 1, source = 1, destination = 1;
    g_lpD3DDevice2->GetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, &blend);
    g_lpD3DDevice2->GetRenderState(D3DRENDERSTATE_SRCBLEND, &source);
    g_lpD3DDevice2->GetRenderState(D3DRENDERSTATE_DESTBLEND, &destination);
    EXPECT_EQ(DWORD{FALSE}, blend);
    EXPECT_EQ(DWORD{D3DBLEND_ZERO}, source);
    EXPECT_EQ(DWORD{D3DBLEND_ZERO}, destination);
    {
        LockedPixels pixels(g_lpBackBuffer);
        ASSERT_TRUE(pixels.ok());
        testsupport::WriteFrame565("smoke.bmp", pixels.width(), pixels.height(), pixels.pitch(),
                                   &pixels.At(0, 0));
        // The texel added to the background, channel by channel.
        EXPECT_EQ(WORD(kBackground + kGreyTexel), pixels.At(320, 236));
        EXPECT_EQ(WORD(kBackground + kGreyTexel), pixels.At(313, 243));
        EXPECT_EQ(kBackground, pixels.At(311, 236));
        EXPECT_EQ(kBackground, pixels.At(320, 245));
    }

    // Over the budget the puff is left out but still fades; switched off nothing is drawn at all.
    QuibSetSmokeTA(0.0001f);
    Take();
    QuibRenderSmoke();
    EXPECT_TRUE(Draws(Take()).empty());
    EXPECT_EQ(1, g_Smoke.pool[0].intensity);
    QuibRenderSmoke();
    EXPECT_EQ(0, g_Smoke.pool[0].intensity); // not below 0
    QuibRenderSmoke(0);
    QuibSetSmokeTA(0.5f);
    Take();
    QuibRenderSmoke();
    EXPECT_TRUE(Take().empty());
}

} // namespace

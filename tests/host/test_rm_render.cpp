// Retained-mode viewport rendering into captured frames: meshes where the projection puts them and the
// scene background elsewhere, the Z-buffer and sort modes of frames, frames shown as visuals, textured
// groups with decal transparency, fog, and the device's render states given back afterwards.
#include "test_rm_render_support.h"

#include <cstring>

#include "host/d3d/recording.h"

namespace {

// A red cube of half-size 1 at the origin, seen from 10 units away: its near face (camera depth 9)
// spans 160 / 9 = 17.8 pixels either side of the centre (80, 60).
TEST_F(RMRenderTest, CubeCoversItsProjectionAndTheBackgroundTheRest) {
    IDirect3DRMFrame2* object = Frame(scene_, 0, 0, 0);
    Show(object, Cube(1.0f, 0xFFFF0000));
    ClearAndRender(scene_);
    WriteFrame("rm_render_cube.bmp");

    EXPECT_EQ(Pixel(80, 60), kRed);
    EXPECT_EQ(Pixel(63, 43), kRed);
    EXPECT_EQ(Pixel(97, 77), kRed);
    EXPECT_EQ(Pixel(61, 60), kBlue);
    EXPECT_EQ(Pixel(99, 60), kBlue);
    EXPECT_EQ(Pixel(80, 41), kBlue);
    EXPECT_EQ(Pixel(0, 0), kBlue);
    // The near face's depth: (9 - 1) x 100 / (99 x 9) of the range.
    EXPECT_NEAR(Depth(80, 60), 65535.0 * 800.0 / 891.0, 2.0);
    EXPECT_EQ(Depth(0, 0), 0xFFFF);
}

TEST_F(RMRenderTest, SquareSeenFromBehindIsNotDrawn) {
    IDirect3DRMFrame2* object = Frame(scene_, 0, 0, 0);
    Show(object, Square(1.0f, 0xFFFF0000));
    ASSERT_EQ(object->AddRotation(D3DRMCOMBINE_BEFORE, 0, 1, 0, 3.1415927f), D3DRM_OK);
    ClearAndRender(scene_);
    EXPECT_EQ(Pixel(80, 60), kBlue);
}

// A near red square (camera depth 10) drawn before a far green one (depth 15) that covers more.
class RMRenderOrderTest : public RMRenderTest {
  protected:
    void SetUp() override {
        RMRenderTest::SetUp();
        near_ = Frame(scene_, 0, 0, 0);
        far_ = Frame(scene_, 0, 0, 5);
        Show(near_, Square(1.0f, 0xFFFF0000));
        Show(far_, Square(3.0f, 0xFF00FF00));
    }
    IDirect3DRMFrame2* near_ = nullptr;
    IDirect3DRMFrame2* far_ = nullptr;
};

TEST_F(RMRenderOrderTest, ZBufferModesComeFromTheNearestFrameThatSetsOne) {
    ClearAndRender(scene_); // FROMPARENT all the way up: enabled
    EXPECT_EQ(Pixel(80, 60), kRed);
    EXPECT_EQ(Pixel(80, 30), kGreen);

    ASSERT_EQ(scene_->SetZbufferMode(D3DRMZBUFFER_DISABLE), D3DRM_OK);
    ClearAndRender(scene_);
    EXPECT_EQ(Pixel(80, 60), kGreen); // drawn later, without the depth test
    EXPECT_EQ(Depth(80, 30), 0xFFFF);

    ASSERT_EQ(far_->SetZbufferMode(D3DRMZBUFFER_ENABLE), D3DRM_OK);
    ClearAndRender(scene_);
    EXPECT_EQ(Pixel(80, 60), kGreen); // the near square wrote no depth to test against
    EXPECT_LT(Depth(80, 30), 0xFFFF);

    ASSERT_EQ(near_->SetZbufferMode(D3DRMZBUFFER_ENABLE), D3DRM_OK);
    ClearAndRender(scene_);
    EXPECT_EQ(Pixel(80, 60), kRed);
    EXPECT_EQ(near_->SetZbufferMode(D3DRMZBUFFERMODE(7)), D3DRMERR_BADVALUE);
    EXPECT_EQ(near_->GetZbufferMode(), D3DRMZBUFFER_ENABLE);
}

TEST_F(RMRenderOrderTest, BackToFrontDrawsTheFarChildFirst) {
    ASSERT_EQ(scene_->SetZbufferMode(D3DRMZBUFFER_DISABLE), D3DRM_OK);
    ASSERT_EQ(scene_->SetSortMode(D3DRMSORT_BACKTOFRONT), D3DRM_OK);
    ClearAndRender(scene_);
    WriteFrame("rm_render_back_to_front.bmp");
    EXPECT_EQ(Pixel(80, 60), kRed);
    EXPECT_EQ(Pixel(80, 30), kGreen);

    ASSERT_EQ(scene_->SetSortMode(D3DRMSORT_FRONTTOBACK), D3DRM_OK);
    ClearAndRender(scene_);
    EXPECT_EQ(Pixel(80, 60), kGreen);
    // A child's FROMPARENT takes its parent's mode: the camera-relative order of the whole scene.
    EXPECT_EQ(near_->GetSortMode(), D3DRMSORT_FROMPARENT);
}

TEST_F(RMRenderTest, FrameShownAsAVisualDrawsItsSubtreeUnderTheHoldingFrame) {
    IDirect3DRMFrame2* model = nullptr; // a root of its own, as an engine object's frame is
    ASSERT_EQ(rm_->CreateFrame(nullptr, &model), D3DRM_OK);
    held_.push_back(model);
    IDirect3DRMFrame2* part = Frame(model, 0, 1, 0);
    Show(part, Square(0.5f, 0xFFFF0000));
    IDirect3DRMFrame2* left = Frame(scene_, -3, 0, 0);
    IDirect3DRMFrame2* right = Frame(scene_, 3, 0, 0);
    const ULONG before = CountOf(model);
    Show(left, model);
    Show(right, model);
    EXPECT_EQ(CountOf(model), before + 2);
    ClearAndRender(scene_);
    // (+-3, 1, 0) at depth 10: x = 80 -+ 48, y = 60 - 16.
    EXPECT_EQ(Pixel(32, 44), kRed);
    EXPECT_EQ(Pixel(128, 44), kRed);
    EXPECT_EQ(Pixel(80, 44), kBlue);

    ASSERT_EQ(right->DeleteVisual(model), D3DRM_OK);
    EXPECT_EQ(right->DeleteVisual(model), D3DRMERR_NOTFOUND);
    EXPECT_EQ(CountOf(model), before + 1);
    ClearAndRender(scene_);
    EXPECT_EQ(Pixel(128, 44), kBlue);
    // A frame cannot show itself, and a cycle through visuals ends where it began.
    EXPECT_EQ(model->AddVisual(model), D3DRMERR_BADVALUE);
    Show(part, left);
    ClearAndRender(scene_);
    EXPECT_EQ(Pixel(32, 44), kRed);
    ASSERT_EQ(part->DeleteVisual(left), D3DRM_OK); // the cycle would keep the frames alive
}

TEST_F(RMRenderTest, TexturedGroupMultipliesTexelsByTheColourAndLeavesOutTheKey) {
    // A 2 x 2 texture: white, black (the key), white, white.
    IDirectDrawSurface* surface = nullptr;
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.dwWidth = desc.dwHeight = 2;
    desc.ddsCaps.dwCaps = DDSCAPS_TEXTURE | DDSCAPS_SYSTEMMEMORY;
    ASSERT_EQ(dd_->CreateSurface(&desc, &surface, nullptr), DD_OK);
    ASSERT_EQ(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
    auto* texels = static_cast<uint8_t*>(desc.lpSurface);
    const uint16_t top[2] = {0xFFFF, 0x0000}, bottom[2] = {0xFFFF, 0xFFFF};
    std::memcpy(texels, top, 4);
    std::memcpy(texels + desc.lPitch, bottom, 4);
    surface->Unlock(nullptr);
    DDCOLORKEY key{0, 0};
    ASSERT_EQ(surface->SetColorKey(DDCKEY_SRCBLT, &key), DD_OK);
    IDirect3DRMTexture* texture = nullptr;
    ASSERT_EQ(rm_->CreateTextureFromSurface(surface, &texture), D3DRM_OK);
    surface->Release(); // the texture holds it
    held_.push_back(texture);

    IDirect3DRMMesh* square = Square(2.0f, 0xFF00FF00);
    ASSERT_EQ(square->SetGroupTexture(0, texture), D3DRM_OK);
    Show(Frame(scene_, 0, 0, 0), square);
    ClearAndRender(scene_);
    // The square spans 80 +- 32; its top right quarter is the black texel, drawn black without decal
    // transparency.
    EXPECT_EQ(Pixel(64, 44), kGreen);
    EXPECT_EQ(Pixel(96, 44), 0x0000);
    EXPECT_EQ(Pixel(96, 76), kGreen);

    ASSERT_EQ(texture->SetDecalTransparency(TRUE), D3DRM_OK);
    ClearAndRender(scene_);
    WriteFrame("rm_render_textured.bmp");
    EXPECT_EQ(Pixel(96, 44), kBlue);
    EXPECT_EQ(Pixel(64, 44), kGreen);
}

// Every render state, read back.
std::vector<DWORD> AllStates(IDirect3DDevice2* device) {
    std::vector<DWORD> states;
    for (DWORD s = D3DRENDERSTATE_TEXTUREHANDLE; s < kD3DRenderStateEnd; ++s) {
        DWORD value = 0;
        EXPECT_EQ(device->GetRenderState(D3DRENDERSTATETYPE(s), &value), D3D_OK);
        states.push_back(value);
    }
    return states;
}

TEST_F(RMRenderTest, RenderGivesEveryRenderStateBackAndDrawsWithTheSceneSettings) {
    // What the engine's own drawing might have left on the device.
    State(D3DRENDERSTATE_SHADEMODE, D3DSHADE_GOURAUD);
    State(D3DRENDERSTATE_CULLMODE, D3DCULL_CW);
    State(D3DRENDERSTATE_ZENABLE, FALSE);
    State(D3DRENDERSTATE_ALPHABLENDENABLE, TRUE);
    State(D3DRENDERSTATE_FOGTABLEMODE, D3DFOG_LINEAR);
    FloatState(D3DRENDERSTATE_FOGTABLESTART, 30000.0f);
    FloatState(D3DRENDERSTATE_FOGTABLEEND, 30001.0f);
    IDirect3DRMMesh* square = Square(1.0f, 0xFFFF0000);
    ASSERT_EQ(square->SetGroupMapping(0, D3DRMMAP_PERSPCORRECT), D3DRM_OK);
    Show(Frame(scene_, 0, 0, 0), square);
    ASSERT_EQ(rmDevice_->SetTextureQuality(D3DRMTEXTURE_LINEAR), D3DRM_OK);
    ASSERT_EQ(scene_->SetSceneFogEnable(TRUE), D3DRM_OK);
    ASSERT_EQ(scene_->SetSceneFogColor(0xFFFFFFFF), D3DRM_OK);
    ASSERT_EQ(scene_->SetSceneFogParams(5.0f, 15.0f, 0.0f), D3DRM_OK);

    const std::vector<DWORD> before = AllStates(device_);
    ASSERT_EQ(rmViewport_->Clear(), D3DRM_OK);
    ASSERT_TRUE(HostD3DSetRecording(device_, true));
    ASSERT_EQ(rmViewport_->Render(scene_), D3DRM_OK);
    std::vector<HostD3DCall> calls = HostD3DRecordedCalls(device_);
    HostD3DSetRecording(device_, false);
    EXPECT_EQ(AllStates(device_), before);

    // At the draw: flat, not culled by the device, Z on, perspective per the mapping, the device's
    // filter, the scene's fog; none of the states the engine left that drawing here must not use.
    DWORD at[kD3DRenderStateEnd] = {};
    for (DWORD s = 1; s < kD3DRenderStateEnd; ++s)
        at[s] = before[s - 1];
    bool drew = false;
    for (const HostD3DCall& call : calls) {
        if (call.kind == HostD3DCall::Kind::kRenderState) at[call.state] = call.value;
        if (call.kind != HostD3DCall::Kind::kDraw || drew) continue;
        drew = true;
        EXPECT_EQ(at[D3DRENDERSTATE_SHADEMODE], DWORD(D3DSHADE_FLAT));
        EXPECT_EQ(at[D3DRENDERSTATE_CULLMODE], DWORD(D3DCULL_NONE));
        EXPECT_EQ(at[D3DRENDERSTATE_ZENABLE], DWORD(TRUE));
        EXPECT_EQ(at[D3DRENDERSTATE_ALPHABLENDENABLE], DWORD(FALSE));
        EXPECT_EQ(at[D3DRENDERSTATE_TEXTUREPERSPECTIVE], DWORD(TRUE));
        EXPECT_EQ(at[D3DRENDERSTATE_TEXTUREMAG], DWORD(D3DFILTER_LINEAR));
        EXPECT_EQ(at[D3DRENDERSTATE_FOGENABLE], DWORD(TRUE));
        EXPECT_EQ(at[D3DRENDERSTATE_FOGCOLOR], 0xFFFFFFFFu);
        float start;
        std::memcpy(&start, &at[D3DRENDERSTATE_FOGTABLESTART], sizeof(start));
        EXPECT_EQ(start, 5.0f);
        EXPECT_EQ(call.vertices.size(), 4u);
    }
    EXPECT_TRUE(drew);
    // Depth 10 of 5..15: half fogged towards white.
    uint16_t fogged = Pixel(80, 60);
    EXPECT_EQ(Red(fogged), 31);
    EXPECT_NEAR(Green(fogged), 32, 2);
    EXPECT_NEAR(Blue(fogged), 16, 1);
}

TEST_F(RMRenderTest, LostTargetStopsRenderAndStillGivesTheStatesBack) {
    Show(Frame(scene_, 0, 0, 0), Square(1.0f, 0xFFFF0000));
    const std::vector<DWORD> before = AllStates(device_);
    HostDDrawMarkSurfaceLost(target_);
    EXPECT_EQ(rmViewport_->Render(scene_), DDERR_SURFACELOST);
    EXPECT_EQ(AllStates(device_), before);
    EXPECT_EQ(rmViewport_->Clear(), DDERR_SURFACELOST);
    ASSERT_EQ(target_->Restore(), DD_OK);
}

TEST_F(RMRenderTest, ClipsToTheViewportRectangleAndTheFrontPlane) {
    IDirect3DRMViewport* inner = nullptr;
    ASSERT_EQ(rm_->CreateViewport(rmDevice_, camera_, 40, 30, 80, 60, &inner), D3DRM_OK);
    // A square far larger than the view, reaching behind the camera.
    IDirect3DRMFrame2* wall = Frame(scene_, 0, 0, 0);
    ASSERT_EQ(wall->AddRotation(D3DRMCOMBINE_BEFORE, 1, 0, 0, 0.5f), D3DRM_OK);
    Show(wall, Square(1000.0f, 0xFFFF0000));
    ASSERT_EQ(rmViewport_->Clear(), D3DRM_OK);
    ASSERT_EQ(inner->Render(scene_), D3DRM_OK);
    inner->Release();
    EXPECT_EQ(Pixel(40, 30), kRed);
    EXPECT_EQ(Pixel(119, 89), kRed);
    EXPECT_EQ(Pixel(39, 60), kBlue);
    EXPECT_EQ(Pixel(120, 60), kBlue);
    EXPECT_EQ(Pixel(80, 29), kBlue);
    EXPECT_EQ(Pixel(80, 90), kBlue);
}

} // namespace

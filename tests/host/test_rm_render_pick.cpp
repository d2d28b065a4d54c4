// Retained-mode viewport picking (the visuals under a pixel, nearest first, with the frames leading to
// them) and the viewport's plain settings: projection numbers, planes and field refused when not
// positive and finite, rectangle, forced updates and the Direct3D viewport.
#include "test_rm_render_support.h"

#include <cmath>
#include <limits>

namespace {

// The frames of a pick's frame array, released again.
std::vector<IDirect3DRMFrame*> FramesOf(IDirect3DRMFrameArray* array) {
    std::vector<IDirect3DRMFrame*> frames;
    for (DWORD i = 0; i < array->GetSize(); ++i) {
        IDirect3DRMFrame* frame = nullptr;
        EXPECT_EQ(array->GetElement(i, &frame), D3DRM_OK);
        frames.push_back(frame);
        frame->Release();
    }
    return frames;
}

TEST_F(RMRenderTest, PickListsTheVisualsUnderThePointNearestFirst) {
    // Added far first, so the order comes from the depths, not the scene.
    IDirect3DRMFrame2* far = Frame(scene_, 0, 0, 5);
    IDirect3DRMFrame2* near = Frame(scene_, 0, 0, 0);
    IDirect3DRMMesh* big = Square(3.0f, 0xFF00FF00);
    IDirect3DRMMeshBuilder2* builder = nullptr;
    ASSERT_EQ(rm_->CreateMeshBuilder(&builder), D3DRM_OK);
    held_.push_back(builder);
    ASSERT_EQ(builder->AddMesh(Square(1.0f, 0xFFFF0000)), D3DRM_OK);
    Show(far, big);
    Show(near, builder);

    IDirect3DRMPickedArray* picked = nullptr;
    ASSERT_EQ(rmViewport_->Pick(80, 60, &picked), D3DRM_OK);
    ASSERT_EQ(picked->GetSize(), 2u);
    IDirect3DRMVisual* visual = nullptr;
    IDirect3DRMFrameArray* frames = nullptr;
    D3DRMPICKDESC desc{};
    ASSERT_EQ(picked->GetPick(0, &visual, &frames, &desc), D3DRM_OK);
    EXPECT_EQ(visual, builder); // the very pointer that was attached
    EXPECT_EQ(FramesOf(frames), (std::vector<IDirect3DRMFrame*>{scene_, near}));
    EXPECT_EQ(desc.lGroupIdx, 0);
    EXPECT_NEAR(desc.vPosition.z, 0.0f, 1e-4f);
    visual->Release();
    frames->Release();
    ASSERT_EQ(picked->GetPick(1, &visual, nullptr, &desc), D3DRM_OK);
    EXPECT_EQ(visual, big);
    EXPECT_NEAR(desc.vPosition.z, 5.0f, 1e-4f);
    visual->Release();
    EXPECT_EQ(picked->GetPick(2, &visual, nullptr, nullptr), D3DRMERR_BADVALUE);

    // The array holds what it lists: the visual outlives its frame's reference.
    const ULONG held = CountOf(big);
    ASSERT_EQ(far->DeleteVisual(big), D3DRM_OK);
    EXPECT_EQ(CountOf(big), held - 1);
    EXPECT_EQ(picked->Release(), 0u);
    EXPECT_EQ(CountOf(big), held - 2);

    // Beside the near square only the far one; beyond both, and outside the rectangle, nothing.
    Show(far, big);
    ASSERT_EQ(rmViewport_->Pick(80, 30, &picked), D3DRM_OK);
    EXPECT_EQ(picked->GetSize(), 1u);
    picked->Release();
    ASSERT_EQ(rmViewport_->Pick(2, 2, &picked), D3DRM_OK);
    EXPECT_EQ(picked->GetSize(), 0u);
    picked->Release();
    ASSERT_EQ(rmViewport_->Pick(-1, 60, &picked), D3DRM_OK);
    EXPECT_EQ(picked->GetSize(), 0u);
    picked->Release();
    EXPECT_EQ(rmViewport_->Pick(80, 60, nullptr), D3DRMERR_BADVALUE);
}

TEST_F(RMRenderTest, PickFindsRootsRenderedSinceTheLastClearWhileTheyLive) {
    // An engine object's frame is a root outside the camera's scene.
    IDirect3DRMFrame2* object = nullptr;
    ASSERT_EQ(rm_->CreateFrame(nullptr, &object), D3DRM_OK);
    IDirect3DRMMesh* square = Square(1.0f, 0xFFFF0000);
    Show(object, square);
    IDirect3DRMPickedArray* picked = nullptr;
    auto pickCount = [&]() {
        EXPECT_EQ(rmViewport_->Pick(80, 60, &picked), D3DRM_OK);
        DWORD size = picked->GetSize();
        picked->Release();
        return size;
    };
    EXPECT_EQ(pickCount(), 0u); // never rendered
    ClearAndRender(object);
    ASSERT_EQ(rmViewport_->Render(object), D3DRM_OK); // twice, still one entry
    EXPECT_EQ(pickCount(), 1u);
    ASSERT_EQ(rmViewport_->Clear(), D3DRM_OK);
    EXPECT_EQ(pickCount(), 0u);

    ASSERT_EQ(rmViewport_->Render(object), D3DRM_OK);
    const ULONG meshCount = CountOf(square);
    EXPECT_EQ(object->Release(), 0u); // the viewport does not hold what it rendered
    EXPECT_EQ(CountOf(square), meshCount - 1);
    EXPECT_EQ(pickCount(), 0u);
}

TEST_F(RMRenderTest, TransformFollowsTheProjectionNumbers) {
    IDirect3DRMViewport* offset = nullptr;
    ASSERT_EQ(rm_->CreateViewport(rmDevice_, camera_, 20, 10, 100, 80, &offset), D3DRM_OK);
    ASSERT_EQ(offset->SetFront(0.5f), D3DRM_OK);
    ASSERT_EQ(offset->SetBack(50.0f), D3DRM_OK);
    ASSERT_EQ(offset->SetField(0.25f), D3DRM_OK);
    // kx = 0.25 / 0.5, scale = 50 / kx = 100; centre (70, 50). The world point (1, 2, 10) lies at
    // camera depth 20.
    D3DVECTOR point = {1, 2, 10};
    D3DRMVECTOR4D out{};
    ASSERT_EQ(offset->Transform(&out, &point), D3DRM_OK);
    EXPECT_FLOAT_EQ(out.w, 20.0f);
    EXPECT_FLOAT_EQ(out.x, (70.0f + 1.0f / 20.0f * 100.0f) * 20.0f);
    EXPECT_FLOAT_EQ(out.y, (50.0f - 2.0f / 20.0f * 100.0f) * 20.0f);
    EXPECT_FLOAT_EQ(out.z, 19.5f * 50.0f / 49.5f);
    // On the front plane z is 0, on the back plane z equals w.
    point = {0, 0, -9.5f};
    ASSERT_EQ(offset->Transform(&out, &point), D3DRM_OK);
    EXPECT_FLOAT_EQ(out.z, 0.0f);
    point = {0, 0, 40.0f};
    ASSERT_EQ(offset->Transform(&out, &point), D3DRM_OK);
    EXPECT_FLOAT_EQ(out.z, out.w);

    EXPECT_EQ(offset->GetX(), 20);
    EXPECT_EQ(offset->GetY(), 10);
    EXPECT_EQ(offset->GetWidth(), 100u);
    EXPECT_EQ(offset->GetHeight(), 80u);
    EXPECT_EQ(offset->ForceUpdate(20, 10, 120, 90), D3DRM_OK);
    offset->Release();
}

TEST_F(RMRenderTest, FieldAndPlanesMustBePositiveAndFinite) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    for (float bad : {0.0f, -0.5f, nan, inf}) {
        EXPECT_EQ(rmViewport_->SetField(bad), D3DRMERR_BADVALUE) << bad;
        EXPECT_EQ(rmViewport_->SetFront(bad), D3DRMERR_BADVALUE) << bad;
        EXPECT_EQ(rmViewport_->SetBack(bad), D3DRMERR_BADVALUE) << bad;
    }
    EXPECT_EQ(rmViewport_->GetField(), 0.5f);
    EXPECT_EQ(rmViewport_->GetFront(), 1.0f);
    EXPECT_EQ(rmViewport_->GetBack(), 100.0f);
    EXPECT_EQ(rmViewport_->SetField(1.0f), D3DRM_OK);
    EXPECT_EQ(rmViewport_->GetField(), 1.0f);
}

TEST_F(RMRenderTest, DirectViewportAndCameraAreHandedOutWithAReference) {
    IDirect3DViewport* direct = nullptr;
    ASSERT_EQ(rmViewport_->GetDirect3DViewport(&direct), D3DRM_OK);
    IDirect3DViewport* again = nullptr;
    ASSERT_EQ(rmViewport_->GetDirect3DViewport(&again), D3DRM_OK);
    EXPECT_EQ(direct, again);
    const ULONG count = CountOf(direct);
    again->Release();
    EXPECT_EQ(CountOf(direct), count - 1);
    direct->Release();

    // A new camera looking back from the far side sees the square's back: nothing drawn.
    IDirect3DRMFrame2* other = Frame(scene_, 0, 0, 10);
    ASSERT_EQ(other->AddRotation(D3DRMCOMBINE_BEFORE, 0, 1, 0, 3.1415927f), D3DRM_OK);
    Show(Frame(scene_, 0, 0, 0), Square(1.0f, 0xFFFF0000));
    ClearAndRender(scene_);
    EXPECT_EQ(Pixel(80, 60), kRed);
    ASSERT_EQ(rmViewport_->SetCamera(other), D3DRM_OK);
    ClearAndRender(scene_);
    EXPECT_EQ(Pixel(80, 60), kBlue);
    EXPECT_EQ(rmViewport_->SetCamera(nullptr), D3DRMERR_BADVALUE);
}

} // namespace

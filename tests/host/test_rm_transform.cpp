// Points through frames and through the retained-mode viewport's projection, against values worked out
// from the projection's formula (scale = (width / 2) x front / field, w = camera-space depth).
#include "test_d3d_support.h"

#include <cmath>

#include "host/rm/d3drm.h"
#include "tests/support/rm_device_fixture.h"

namespace {

constexpr float kQuarterTurn = 1.5707964f;

class RMTransformTest : public testsupport::RMDeviceFixture {
  protected:
    void SetUp() override {
        RMDeviceFixture::SetUp();
        ASSERT_EQ(rm_->CreateFrame(nullptr, &scene_), D3DRM_OK);
        ASSERT_EQ(rm_->CreateFrame(scene_, &camera_), D3DRM_OK);
        ASSERT_EQ(rm_->CreateViewport(rmDevice_, camera_, 0, 0, 640, 480, &viewport_), D3DRM_OK);
        // The engine's start-up planes.
        ASSERT_EQ(viewport_->SetFront(0.1f), D3DRM_OK);
        ASSERT_EQ(viewport_->SetField(0.1f), D3DRM_OK);
        ASSERT_EQ(viewport_->SetBack(1000.0f), D3DRM_OK);
    }
    void TearDown() override {
        for (IUnknown* object : {static_cast<IUnknown*>(viewport_), static_cast<IUnknown*>(camera_),
                                 static_cast<IUnknown*>(scene_)})
            if (object) object->Release();
        RMDeviceFixture::TearDown();
    }

    D3DRMVECTOR4D Project(D3DVECTOR p) {
        D3DRMVECTOR4D out{};
        EXPECT_EQ(viewport_->Transform(&out, &p), D3DRM_OK);
        return out;
    }

    IDirect3DRMFrame2* scene_ = nullptr;
    IDirect3DRMFrame2* camera_ = nullptr;
    IDirect3DRMViewport* viewport_ = nullptr;
};

TEST_F(RMTransformTest, FrameTransformsGoThroughEveryParent) {
    IDirect3DRMFrame2 *parent = nullptr, *child = nullptr;
    ASSERT_EQ(rm_->CreateFrame(scene_, &parent), D3DRM_OK);
    ASSERT_EQ(rm_->CreateFrame(parent, &child), D3DRM_OK);
    // The parent turns a quarter about y (z goes to x) and then moves to (10, 0, 0).
    ASSERT_EQ(parent->AddRotation(D3DRMCOMBINE_REPLACE, 0, 1, 0, kQuarterTurn), D3DRM_OK);
    ASSERT_EQ(parent->AddTranslation(D3DRMCOMBINE_AFTER, 10, 0, 0), D3DRM_OK);
    ASSERT_EQ(child->AddTranslation(D3DRMCOMBINE_REPLACE, 0, 0, 5), D3DRM_OK);

    D3DVECTOR local = {1, 0, 0}, world{};
    ASSERT_EQ(child->Transform(&world, &local), D3DRM_OK);
    // (1, 0, 5) in the parent, turned to (5, 0, -1), moved to (15, 0, -1).
    EXPECT_NEAR(world.x, 15.0f, 1e-5f);
    EXPECT_NEAR(world.y, 0.0f, 1e-5f);
    EXPECT_NEAR(world.z, -1.0f, 1e-5f);

    D3DVECTOR back = world;
    ASSERT_EQ(child->InverseTransform(&back, &back), D3DRM_OK); // in place
    EXPECT_NEAR(back.x, 1.0f, 1e-5f);
    EXPECT_NEAR(back.y, 0.0f, 1e-5f);
    EXPECT_NEAR(back.z, 0.0f, 1e-5f);

    EXPECT_EQ(child->Transform(nullptr, &local), D3DRMERR_BADVALUE);
    EXPECT_EQ(child->InverseTransform(&world, nullptr), D3DRMERR_BADVALUE);
    child->Release();
    parent->Release();
}

TEST_F(RMTransformTest, ViewportProjectsWithTheEnginesScaleAndCentre) {
    // scale = 320 pixels per unit of x/z, centre (320, 240).
    D3DRMVECTOR4D h = Project({1, 0, 1});
    EXPECT_FLOAT_EQ(h.w, 1.0f);
    EXPECT_FLOAT_EQ(h.x / h.w, 640.0f);
    EXPECT_FLOAT_EQ(h.y / h.w, 240.0f);
    h = Project({0, 2, 4}); // y up on screen: 240 - 2 / 4 x 320
    EXPECT_FLOAT_EQ(h.w, 4.0f);
    EXPECT_FLOAT_EQ(h.x / h.w, 320.0f);
    EXPECT_FLOAT_EQ(h.y / h.w, 80.0f);

    // z / w runs from 0 at the front plane to 1 at the back plane.
    h = Project({0, 0, 0.1f});
    EXPECT_NEAR(h.z / h.w, 0.0f, 1e-6f);
    h = Project({0, 0, 1000.0f});
    EXPECT_NEAR(h.z / h.w, 1.0f, 1e-6f);
    h = Project({0, 0, 1.0f});
    EXPECT_NEAR(h.z, 0.9f * 1000.0f / 999.9f, 1e-5f);

    // A point in the camera's own plane stays finite (w = 0), for the line clipper to cut.
    h = Project({3, 0, 0});
    EXPECT_EQ(h.w, 0.0f);
    EXPECT_TRUE(std::isfinite(h.x));

    // A wider field halves the scale; a moved rectangle moves the centre.
    ASSERT_EQ(viewport_->SetField(0.2f), D3DRM_OK);
    ASSERT_EQ(viewport_->Configure(100, 50, 200, 100), D3DRM_OK);
    h = Project({1, 1, 1}); // scale 50, centre (200, 100)
    EXPECT_NEAR(h.x / h.w, 250.0f, 1e-4f);
    EXPECT_NEAR(h.y / h.w, 50.0f, 1e-4f);

    D3DVECTOR p = {0, 0, 1};
    EXPECT_EQ(viewport_->Transform(nullptr, &p), D3DRMERR_BADVALUE);
    EXPECT_EQ(viewport_->InverseTransform(&p, nullptr), D3DRMERR_BADVALUE);
}

TEST_F(RMTransformTest, ViewportSeesThroughAMovedAndTurnedCamera) {
    ASSERT_EQ(camera_->SetPosition(nullptr, 0, 0, -10), D3DRM_OK);
    D3DRMVECTOR4D h = Project({1, 0, -9});
    EXPECT_NEAR(h.w, 1.0f, 1e-5f);
    EXPECT_NEAR(h.x / h.w, 640.0f, 1e-3f);

    // Turned a quarter about y the camera looks along world +x, its x axis along world -z.
    ASSERT_EQ(camera_->AddRotation(D3DRMCOMBINE_REPLACE, 0, 1, 0, kQuarterTurn), D3DRM_OK);
    h = Project({5, 0, 0});
    EXPECT_NEAR(h.w, 5.0f, 1e-5f);
    EXPECT_NEAR(h.x / h.w, 320.0f, 1e-3f);
    h = Project({5, 0, -5});
    EXPECT_NEAR(h.x / h.w, 640.0f, 1e-3f);
}

TEST_F(RMTransformTest, InverseTransformUndoesTheProjection) {
    ASSERT_EQ(camera_->SetPosition(nullptr, 2, -1, -7), D3DRM_OK);
    ASSERT_EQ(camera_->AddRotation(D3DRMCOMBINE_BEFORE, 1, 1, 0, 0.4f), D3DRM_OK);
    const D3DVECTOR points[] = {{0, 0, 0}, {3, 1, 5}, {-2, 4, 20}, {0.5f, -0.5f, 1}};
    for (D3DVECTOR p : points) {
        D3DRMVECTOR4D h = Project(p);
        D3DVECTOR back{};
        ASSERT_EQ(viewport_->InverseTransform(&back, &h), D3DRM_OK);
        EXPECT_NEAR(back.x, p.x, 1e-3f);
        EXPECT_NEAR(back.y, p.y, 1e-3f);
        EXPECT_NEAR(back.z, p.z, 1e-3f);
    }
}

} // namespace

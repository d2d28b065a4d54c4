// Retained-mode frames: the hierarchy and its references, frames outliving the Retained Mode object,
// scene settings, and the transform operations.
#include <gtest/gtest.h>

#include <cmath>

#include "host/rm/d3drm.h"
#include "host/rm/readback.h"

namespace {

constexpr float kPi = 3.14159265f;

ULONG CountOf(IUnknown* p) {
    p->AddRef();
    return p->Release();
}

class RMFrameTest : public ::testing::Test {
  protected:
    void SetUp() override {
        IDirect3DRM* rm = nullptr;
        ASSERT_EQ(Direct3DRMCreate(&rm), D3DRM_OK);
        ASSERT_EQ(rm->QueryInterface(IID_IDirect3DRM2, reinterpret_cast<void**>(&rm_)), S_OK);
        EXPECT_EQ(rm->Release(), 1u);
    }
    void TearDown() override {
        if (rm_) {
            EXPECT_EQ(rm_->Release(), 0u);
        }
    }

    IDirect3DRMFrame2* Frame(IDirect3DRMFrame* parent) {
        IDirect3DRMFrame2* frame = nullptr;
        EXPECT_EQ(rm_->CreateFrame(parent, &frame), D3DRM_OK);
        return frame;
    }

    static IDirect3DRMFrame* ParentOf(IDirect3DRMFrame* frame) {
        IDirect3DRMFrame* parent = reinterpret_cast<IDirect3DRMFrame*>(1);
        EXPECT_EQ(frame->GetParent(&parent), D3DRM_OK);
        if (parent) parent->Release();
        return parent;
    }

    IDirect3DRM2* rm_ = nullptr;
};

void ExpectVector(const D3DVECTOR& v, float x, float y, float z) {
    EXPECT_NEAR(v.x, x, 1e-5f);
    EXPECT_NEAR(v.y, y, 1e-5f);
    EXPECT_NEAR(v.z, z, 1e-5f);
}

TEST_F(RMFrameTest, ChildrenAreHeldByTheirParent) {
    IDirect3DRMFrame2* scene = Frame(nullptr);
    IDirect3DRMFrame2* child = Frame(scene);
    EXPECT_EQ(ParentOf(scene), nullptr);
    EXPECT_EQ(ParentOf(child), scene);
    EXPECT_EQ(CountOf(child), 2u); // ours and the scene's
    EXPECT_EQ(CountOf(scene), 1u); // a child does not hold its parent

    IDirect3DRMFrame* root = nullptr;
    ASSERT_EQ(child->GetScene(&root), D3DRM_OK);
    EXPECT_EQ(root, scene);
    root->Release();

    ASSERT_EQ(scene->DeleteChild(child), D3DRM_OK);
    EXPECT_EQ(ParentOf(child), nullptr);
    EXPECT_EQ(CountOf(child), 1u);
    EXPECT_EQ(scene->DeleteChild(child), D3DRMERR_NOTFOUND);

    ASSERT_EQ(scene->AddChild(child), D3DRM_OK);
    EXPECT_EQ(ParentOf(child), scene);
    EXPECT_EQ(scene->AddChild(child), D3DRM_OK); // already there: nothing changes
    EXPECT_EQ(CountOf(child), 2u);

    EXPECT_EQ(child->Release(), 1u);
    EXPECT_EQ(scene->Release(), 0u); // takes the child with it
}

TEST_F(RMFrameTest, AddChildMovesAFrameBetweenParents) {
    IDirect3DRMFrame2* a = Frame(nullptr);
    IDirect3DRMFrame2* b = Frame(nullptr);
    IDirect3DRMFrame2* child = Frame(a);
    ASSERT_EQ(b->AddChild(child), D3DRM_OK);
    EXPECT_EQ(ParentOf(child), b);
    EXPECT_EQ(CountOf(child), 2u);
    EXPECT_EQ(a->DeleteChild(child), D3DRMERR_NOTFOUND);
    EXPECT_EQ(a->Release(), 0u);
    EXPECT_EQ(ParentOf(child), b);
    EXPECT_EQ(child->Release(), 1u);
    EXPECT_EQ(b->Release(), 0u);
}

TEST_F(RMFrameTest, CyclesAreRefused) {
    IDirect3DRMFrame2* root = Frame(nullptr);
    IDirect3DRMFrame2* middle = Frame(root);
    IDirect3DRMFrame2* leaf = Frame(middle);
    EXPECT_EQ(root->AddChild(root), D3DRMERR_BADVALUE);
    EXPECT_EQ(leaf->AddChild(root), D3DRMERR_BADVALUE);
    EXPECT_EQ(leaf->AddChild(middle), D3DRMERR_BADVALUE);
    EXPECT_EQ(root->AddChild(nullptr), D3DRMERR_BADOBJECT);
    EXPECT_EQ(ParentOf(middle), root);
    EXPECT_EQ(leaf->Release(), 1u);
    EXPECT_EQ(middle->Release(), 1u);
    EXPECT_EQ(root->Release(), 0u);
}

TEST_F(RMFrameTest, FramesOutliveTheRetainedModeObject) {
    // The engine's scene: a root, the camera's two frames and the players frame under it.
    IDirect3DRMFrame2* scene = Frame(nullptr);
    IDirect3DRMFrame2* camera = Frame(scene);
    IDirect3DRMFrame2* lookAt = Frame(scene);
    IDirect3DRMFrame2* players = Frame(scene);
    ASSERT_EQ(scene->SetSceneBackgroundRGB(0.32156864f, 0.5176471f, 0.9032258f), D3DRM_OK);

    // The engine gives up its Retained Mode pointers before the scene and the camera.
    EXPECT_EQ(rm_->Release(), 0u);
    rm_ = nullptr;

    ASSERT_EQ(camera->SetPosition(scene, 1.0f, 2.0f, 3.0f), D3DRM_OK);
    D3DVECTOR position{};
    ASSERT_EQ(camera->GetPosition(nullptr, &position), D3DRM_OK);
    ExpectVector(position, 1.0f, 2.0f, 3.0f);
    EXPECT_EQ(scene->GetSceneBackground(), 0xFF5284E6u);

    // FreeScene: the scene, then the players; the camera frames go when the camera is deleted.
    EXPECT_EQ(scene->Release(), 0u);
    EXPECT_EQ(ParentOf(camera), nullptr);
    EXPECT_EQ(players->Release(), 0u);
    EXPECT_EQ(camera->Release(), 0u);
    EXPECT_EQ(lookAt->Release(), 0u);
}

TEST_F(RMFrameTest, SceneBackgroundKeepsItsFloatsAndClamps) {
    IDirect3DRMFrame2* scene = Frame(nullptr);
    float r = -1, g = -1, b = -1;
    ASSERT_TRUE(HostRMSceneBackgroundRGB(scene, &r, &g, &b));
    EXPECT_EQ(r + g + b, 0.0f);
    EXPECT_EQ(scene->GetSceneBackground(), 0xFF000000u);

    ASSERT_EQ(scene->SetSceneBackgroundRGB(0.32156864f, 0.5176471f, 0.9032258f), D3DRM_OK);
    ASSERT_TRUE(HostRMSceneBackgroundRGB(scene, &r, &g, &b));
    EXPECT_EQ(r, 0.32156864f);
    EXPECT_EQ(g, 0.5176471f);
    EXPECT_EQ(b, 0.9032258f);

    ASSERT_EQ(scene->SetSceneBackgroundRGB(1.5f, -0.25f, NAN), D3DRM_OK);
    ASSERT_TRUE(HostRMSceneBackgroundRGB(scene, &r, &g, &b));
    EXPECT_EQ(r, 1.0f);
    EXPECT_EQ(g, 0.0f);
    EXPECT_EQ(b, 0.0f);

    ASSERT_EQ(scene->SetSceneBackground(0x12FF8000), D3DRM_OK); // alpha is not kept
    EXPECT_EQ(scene->GetSceneBackground(), 0xFFFF8000u);
    EXPECT_EQ(scene->Release(), 0u);
}

TEST_F(RMFrameTest, SceneFogSettings) {
    IDirect3DRMFrame2* scene = Frame(nullptr);
    EXPECT_FALSE(scene->GetSceneFogEnable());
    ASSERT_EQ(scene->SetSceneFogEnable(5), D3DRM_OK);
    EXPECT_EQ(scene->GetSceneFogEnable(), TRUE);
    ASSERT_EQ(scene->SetSceneFogColor(0x808080), D3DRM_OK);
    EXPECT_EQ(scene->GetSceneFogColor(), 0x808080u);
    ASSERT_EQ(scene->SetSceneFogParams(30000.0f, 30001.0f, 0.0f), D3DRM_OK);
    EXPECT_EQ(scene->SetSceneFogParams(1.0f, 2.0f, -0.5f), D3DRMERR_BADVALUE);
    D3DVALUE start = 0, end = 0, density = 1;
    ASSERT_EQ(scene->GetSceneFogParams(&start, &end, &density), D3DRM_OK);
    EXPECT_EQ(start, 30000.0f);
    EXPECT_EQ(end, 30001.0f);
    EXPECT_EQ(density, 0.0f);
    EXPECT_EQ(scene->Release(), 0u);
}

TEST_F(RMFrameTest, PositionsAreRelativeToTheReferenceFrame) {
    IDirect3DRMFrame2* scene = Frame(nullptr);
    IDirect3DRMFrame2* parent = Frame(scene);
    IDirect3DRMFrame2* child = Frame(parent);
    ASSERT_EQ(parent->SetPosition(nullptr, 10.0f, 0.0f, 0.0f), D3DRM_OK);
    // A quarter turn about y: the parent's z axis points along the scene's x axis.
    ASSERT_EQ(parent->AddRotation(D3DRMCOMBINE_BEFORE, 0.0f, 1.0f, 0.0f, kPi / 2), D3DRM_OK);
    ASSERT_EQ(child->SetPosition(parent, 0.0f, 0.0f, 1.0f), D3DRM_OK);

    D3DVECTOR p{};
    ASSERT_EQ(child->GetPosition(parent, &p), D3DRM_OK);
    ExpectVector(p, 0.0f, 0.0f, 1.0f);
    ASSERT_EQ(child->GetPosition(nullptr, &p), D3DRM_OK);
    ExpectVector(p, 11.0f, 0.0f, 0.0f);
    ASSERT_EQ(child->GetPosition(scene, &p), D3DRM_OK);
    ExpectVector(p, 11.0f, 0.0f, 0.0f);
    ASSERT_EQ(parent->GetPosition(child, &p), D3DRM_OK); // the parent as the child sees it
    ExpectVector(p, 0.0f, 0.0f, -1.0f);

    // Setting a position in the scene's space keeps the orientation.
    ASSERT_EQ(child->SetPosition(nullptr, 10.0f, 5.0f, 0.0f), D3DRM_OK);
    ASSERT_EQ(child->GetPosition(parent, &p), D3DRM_OK);
    ExpectVector(p, 0.0f, 5.0f, -0.0f);
    EXPECT_EQ(child->GetPosition(nullptr, nullptr), D3DRMERR_BADVALUE);

    EXPECT_EQ(child->Release(), 1u);
    EXPECT_EQ(parent->Release(), 1u);
    EXPECT_EQ(scene->Release(), 0u);
}

TEST_F(RMFrameTest, CombineOrderOfTransforms) {
    IDirect3DRMFrame2* frame = Frame(nullptr);
    D3DRMMATRIX4D m;
    // Translate, then a rotation BEFORE it: the rotation acts on the object first, the position stays.
    ASSERT_EQ(frame->AddTranslation(D3DRMCOMBINE_REPLACE, 5.0f, 0.0f, 0.0f), D3DRM_OK);
    ASSERT_EQ(frame->AddRotation(D3DRMCOMBINE_BEFORE, 0.0f, 1.0f, 0.0f, kPi / 2), D3DRM_OK);
    ASSERT_EQ(frame->GetTransform(m), D3DRM_OK);
    EXPECT_NEAR(m[3][0], 5.0f, 1e-5f);
    EXPECT_NEAR(m[2][0], 1.0f, 1e-5f); // z turned towards x
    EXPECT_NEAR(m[0][2], -1.0f, 1e-5f);

    // The same rotation AFTER the translation turns the position too.
    ASSERT_EQ(frame->AddTranslation(D3DRMCOMBINE_REPLACE, 5.0f, 0.0f, 0.0f), D3DRM_OK);
    ASSERT_EQ(frame->AddRotation(D3DRMCOMBINE_AFTER, 0.0f, 1.0f, 0.0f, kPi / 2), D3DRM_OK);
    ASSERT_EQ(frame->GetTransform(m), D3DRM_OK);
    EXPECT_NEAR(m[3][0], 0.0f, 1e-5f);
    EXPECT_NEAR(m[3][2], -5.0f, 1e-5f);

    // A whole matrix replaces the transform and reads back unchanged.
    D3DRMMATRIX4D mirror = {{-1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {1, 2, 3, 1}};
    ASSERT_EQ(frame->AddTransform(D3DRMCOMBINE_REPLACE, mirror), D3DRM_OK);
    ASSERT_EQ(frame->GetTransform(m), D3DRM_OK);
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            EXPECT_EQ(m[i][j], mirror[i][j]);

    EXPECT_EQ(frame->AddRotation(D3DRMCOMBINE_REPLACE, 0.0f, 0.0f, 0.0f, 1.0f), D3DRMERR_BADVALUE);
    EXPECT_EQ(frame->AddTranslation(static_cast<D3DRMCOMBINETYPE>(7), 1, 1, 1), D3DRMERR_BADVALUE);
    EXPECT_EQ(frame->GetTransform(m), D3DRM_OK);
    EXPECT_EQ(m[0][0], -1.0f); // refused calls changed nothing
    EXPECT_EQ(frame->Release(), 0u);
}

TEST_F(RMFrameTest, RotationReadsBackAsAxisAndAngle) {
    IDirect3DRMFrame2* scene = Frame(nullptr);
    IDirect3DRMFrame2* frame = Frame(scene);
    D3DVECTOR axis{};
    D3DVALUE theta = -1;
    ASSERT_EQ(frame->GetRotation(scene, &axis, &theta), D3DRM_OK);
    EXPECT_EQ(theta, 0.0f);

    ASSERT_EQ(frame->AddRotation(D3DRMCOMBINE_REPLACE, 0.0f, 2.0f, 0.0f, 0.5f), D3DRM_OK);
    ASSERT_EQ(frame->GetRotation(scene, &axis, &theta), D3DRM_OK);
    ExpectVector(axis, 0.0f, 1.0f, 0.0f);
    EXPECT_NEAR(theta, 0.5f, 1e-5f);

    const float s = std::sqrt(0.5f);
    ASSERT_EQ(frame->AddRotation(D3DRMCOMBINE_REPLACE, 1.0f, 1.0f, 0.0f, 2.5f), D3DRM_OK);
    ASSERT_EQ(frame->GetRotation(nullptr, &axis, &theta), D3DRM_OK);
    ExpectVector(axis, s, s, 0.0f);
    EXPECT_NEAR(theta, 2.5f, 1e-5f);

    // A half turn: the axis up to its sign.
    ASSERT_EQ(frame->AddRotation(D3DRMCOMBINE_REPLACE, 1.0f, 0.0f, 0.0f, kPi), D3DRM_OK);
    ASSERT_EQ(frame->GetRotation(scene, &axis, &theta), D3DRM_OK);
    EXPECT_NEAR(std::fabs(axis.x), 1.0f, 1e-5f);
    EXPECT_NEAR(theta, kPi, 1e-5f);

    // Relative to a turned reference, the reference's turn is taken out.
    ASSERT_EQ(scene->AddRotation(D3DRMCOMBINE_REPLACE, 0.0f, 0.0f, 1.0f, 0.75f), D3DRM_OK);
    ASSERT_EQ(frame->AddRotation(D3DRMCOMBINE_REPLACE, 0.0f, 0.0f, 1.0f, 0.25f), D3DRM_OK);
    ASSERT_EQ(frame->GetRotation(nullptr, &axis, &theta), D3DRM_OK);
    ExpectVector(axis, 0.0f, 0.0f, 1.0f);
    EXPECT_NEAR(theta, 1.0f, 1e-5f);
    ASSERT_EQ(frame->GetRotation(scene, &axis, &theta), D3DRM_OK);
    EXPECT_NEAR(theta, 0.25f, 1e-5f);

    EXPECT_EQ(frame->Release(), 1u);
    EXPECT_EQ(scene->Release(), 0u);
}

TEST_F(RMFrameTest, LookAtTurnsTheZAxisToTheTarget) {
    IDirect3DRMFrame2* scene = Frame(nullptr);
    IDirect3DRMFrame2* eye = Frame(scene);
    IDirect3DRMFrame2* target = Frame(scene);
    ASSERT_EQ(eye->SetPosition(scene, 1.0f, 2.0f, 3.0f), D3DRM_OK);
    ASSERT_EQ(target->SetPosition(scene, 6.0f, 2.0f, 3.0f), D3DRM_OK);
    ASSERT_EQ(eye->LookAt(target, scene, D3DRMCONSTRAIN_Z), D3DRM_OK);

    D3DRMMATRIX4D m;
    ASSERT_EQ(eye->GetTransform(m), D3DRM_OK);
    EXPECT_NEAR(m[2][0], 1.0f, 1e-5f); // z axis along +x
    EXPECT_NEAR(m[1][1], 1.0f, 1e-5f); // y axis still up
    EXPECT_NEAR(m[0][2], -1.0f, 1e-5f);
    D3DVECTOR p{};
    ASSERT_EQ(eye->GetPosition(scene, &p), D3DRM_OK);
    ExpectVector(p, 1.0f, 2.0f, 3.0f);

    // Straight up: still a proper orientation (no NaN).
    ASSERT_EQ(target->SetPosition(scene, 1.0f, 10.0f, 3.0f), D3DRM_OK);
    ASSERT_EQ(eye->LookAt(target, scene, D3DRMCONSTRAIN_Z), D3DRM_OK);
    ASSERT_EQ(eye->GetTransform(m), D3DRM_OK);
    EXPECT_NEAR(m[2][1], 1.0f, 1e-5f);
    EXPECT_FALSE(std::isnan(m[0][0]));

    ASSERT_EQ(target->SetPosition(scene, 1.0f, 2.0f, 3.0f), D3DRM_OK);
    EXPECT_EQ(eye->LookAt(target, scene, D3DRMCONSTRAIN_Z), D3DRMERR_BADVALUE); // no direction
    EXPECT_EQ(eye->LookAt(nullptr, scene, D3DRMCONSTRAIN_Z), D3DRMERR_BADVALUE);

    EXPECT_EQ(target->Release(), 1u);
    EXPECT_EQ(eye->Release(), 1u);
    EXPECT_EQ(scene->Release(), 0u);
}

} // namespace

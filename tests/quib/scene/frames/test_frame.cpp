// Frame driven as a small 3D game drives its objects and cameras: positions through a hierarchy,
// rotations in both orders, look-at and orbit placement, local transforms, fog, and a Frame without any
// Retained Mode object.
#include "tests/quib/log_folder.h"

#include <cmath>
#include <cstring>
#include <string>

#include "host/rm/d3drm.h"
#include "quib/platform/directx.h"
#include "quib/quib.h"
#include "quib/scene/frames/frame.h"
#include "quib/scene/math/matrix_math.h"

namespace {

constexpr float kRadiansPerDegree = 3.14159f / 180.0f;

class FrameTest : public LogFolderTest {
  protected:
    void SetUp() override {
        LogFolderTest::SetUp();
        ASSERT_EQ(D3DRM_OK, Direct3DRMCreate(&g_lpD3DRM));
        ASSERT_EQ(S_OK, g_lpD3DRM->QueryInterface(IID_IDirect3DRM2, reinterpret_cast<void**>(&g_lpD3DRM2)));
        ASSERT_EQ(D3DRM_OK, g_lpD3DRM2->CreateFrame(nullptr, &scene_));
        QuibDebugEnable(1);
    }
    void TearDown() override {
        scene_->Release();
        g_lpD3DRM2->Release();
        g_lpD3DRM->Release();
        g_lpD3DRM2 = nullptr;
        g_lpD3DRM = nullptr;
        LogFolderTest::TearDown();
    }

    // A frame's local point in world space.
    static D3DVECTOR World(Frame& frame, D3DVECTOR local) {
        D3DVECTOR out{};
        EXPECT_EQ(D3DRM_OK, frame.m_frame->Transform(&out, &local));
        return out;
    }

    static D3DVECTOR Position(IDirect3DRMFrame2* frame, IDirect3DRMFrame2* reference) {
        D3DVECTOR p{};
        EXPECT_EQ(D3DRM_OK, frame->GetPosition(reference, &p));
        return p;
    }

    IDirect3DRMFrame2* scene_ = nullptr;
};

void ExpectNear(D3DVECTOR expected, D3DVECTOR actual, float tolerance = 1e-4f) {
    EXPECT_NEAR(expected.x, actual.x, tolerance);
    EXPECT_NEAR(expected.y, actual.y, tolerance);
    EXPECT_NEAR(expected.z, actual.z, tolerance);
}

// Row-vector rotations in the platform's sense: about y takes z towards x, about x takes y towards z,
// about z takes x towards y.
D3DMATRIX Rotation(int axis, float degrees) {
    const float c = std::cos(degrees * kRadiansPerDegree), s = std::sin(degrees * kRadiansPerDegree);
    D3DMATRIX m;
    matrix_identity(&m);
    if (axis == 0) m = {1, 0, 0, 0, 0, c, s, 0, 0, -s, c, 0, 0, 0, 0, 1};
    if (axis == 1) m = {c, 0, -s, 0, 0, 1, 0, 0, s, 0, c, 0, 0, 0, 0, 1};
    if (axis == 2) m = {c, s, 0, 0, -s, c, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    return m;
}

// first x second x third (a vertex goes through first, then second, then third).
D3DMATRIX Chain(const D3DMATRIX& first, const D3DMATRIX& second, const D3DMATRIX& third) {
    D3DMATRIX ab, abc;
    matrix_multiply(&ab, &second, &first);
    matrix_multiply(&abc, &third, &ab);
    return abc;
}

void ExpectMatrixNear(const D3DMATRIX& expected, const D3DMATRIX& actual) {
    const float* e = &expected._11;
    const float* a = &actual._11;
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(e[i], a[i], 1e-5f) << "element " << i;
}

TEST_F(FrameTest, CachedPositionSkipsUnchangedMovesButThePointerFormAlwaysMoves) {
    Frame frame(nullptr, scene_);
    frame.SetPosition(1, 2, 3);
    ExpectNear({1, 2, 3}, Position(frame.m_frame, scene_), 0.0f);
    // Moved behind the Frame's back: the same cached position makes no Retained Mode call.
    frame.m_frame->SetPosition(scene_, 5, 5, 5);
    frame.SetPosition(1, 2, 3);
    ExpectNear({5, 5, 5}, Position(frame.m_frame, scene_), 0.0f);
    D3DVECTOR v = {1, 2, 3};
    frame.SetPosition(&v);
    ExpectNear({1, 2, 3}, Position(frame.m_frame, scene_), 0.0f);
    frame.AddPosition(1, 0, -1);
    D3DVECTOR d = {0, 2, 0};
    frame.AddPosition(&d);
    D3DVECTOR read{};
    frame.GetPosition(&read);
    ExpectNear({2, 4, 2}, read, 0.0f);
}

TEST_F(FrameTest, PositionsThroughAThreeLevelHierarchy) {
    Frame base(nullptr, scene_);
    base.SetPosition(10, 0, 0);
    base.SetRotation(90, 0, 0); // z goes to x
    Frame arm(nullptr, base.m_frame);
    arm.SetPosition(0, 0, 5);
    Frame hand(nullptr, arm.m_frame);
    hand.SetPosition(1, 0, 0);

    D3DVECTOR relative{}, absolute{};
    hand.GetPosition(&relative);
    ExpectNear({1, 0, 0}, relative);
    hand.GetAbsolutePosition(&absolute);
    ExpectNear({15, 0, -1}, absolute); // (1, 0, 5) in the base, turned, moved
    // The world position did not replace the parent-relative cache.
    hand.AddPosition(0, 1, 0);
    hand.GetPosition(&relative);
    ExpectNear({1, 1, 0}, relative);
    hand.GetAbsolutePosition(&absolute);
    ExpectNear({15, 1, -1}, absolute);
}

TEST_F(FrameTest, RotationAnglesWrapOnceAndRepeatsDoNothing) {
    Frame frame(nullptr, scene_);
    frame.SetRotation(370, -10, 0);
    EXPECT_FLOAT_EQ(10.0f, frame.m_angles[0]);
    EXPECT_FLOAT_EQ(350.0f, frame.m_angles[1]);
    frame.SetRotation(720, 0, 0);
    EXPECT_FLOAT_EQ(360.0f, frame.m_angles[0]);
    frame.SetRotation(355, 0, 0);
    frame.AddRotation(10, 0, 0);
    EXPECT_FLOAT_EQ(365.0f, frame.m_angles[0]);

    // The cached angles make no call, even after the order changed.
    frame.SetYPR();
    frame.SetRotation(30, 40, 50);
    D3DRMMATRIX4D identity = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
    frame.m_frame->AddTransform(D3DRMCOMBINE_REPLACE, identity);
    frame.SetPRY();
    frame.SetRotation(30, 40, 50);
    D3DMATRIX m;
    frame.GetTransform(&m);
    EXPECT_EQ(1.0f, m._11);
    EXPECT_EQ(0.0f, m._12);
}

TEST_F(FrameTest, TheTwoRotationOrdersTurnVerticesDifferently) {
    Frame yawPitchRoll(nullptr, scene_), pitchRollYaw(nullptr, scene_);
    yawPitchRoll.SetPosition(1, 2, 3);
    pitchRollYaw.SetPosition(1, 2, 3);
    yawPitchRoll.SetYPR();
    pitchRollYaw.SetPRY();
    yawPitchRoll.SetRotation(90, 90, 0);
    pitchRollYaw.SetRotation(90, 90, 0);
    // YPR: up turns about x to +z, then about y to +x. PRY: about y (no change), then about x to +z.
    ExpectNear({2, 2, 3}, World(yawPitchRoll, {0, 1, 0}));
    ExpectNear({1, 2, 4}, World(pitchRollYaw, {0, 1, 0}));

    // General angles against the composed matrices, translation last.
    yawPitchRoll.SetRotation(30, 40, 50);
    pitchRollYaw.SetRotation(30, 40, 50);
    D3DMATRIX t;
    matrix_identity(&t);
    t._41 = 1;
    t._42 = 2;
    t._43 = 3;
    D3DMATRIX ypr, pry, actual;
    D3DMATRIX zxy = Chain(Rotation(2, 50), Rotation(0, 40), Rotation(1, 30));
    matrix_multiply(&ypr, &t, &zxy);
    D3DMATRIX yzx = Chain(Rotation(1, 30), Rotation(2, 50), Rotation(0, 40));
    matrix_multiply(&pry, &t, &yzx);
    yawPitchRoll.GetTransform(&actual);
    ExpectMatrixNear(ypr, actual);
    pitchRollYaw.GetTransform(&actual);
    ExpectMatrixNear(pry, actual);
}

TEST_F(FrameTest, LookAtAxisAlignedAndGeneralTargets) {
    Frame camera(nullptr, scene_);
    camera.Look(0, 0, 0, 10, 0, 0);
    D3DMATRIX m;
    camera.GetTransform(&m);
    ExpectNear({1, 0, 0}, {m._31, m._32, m._33});  // z towards the target
    ExpectNear({0, 0, -1}, {m._11, m._12, m._13}); // x level
    ExpectNear({0, 1, 0}, {m._21, m._22, m._23});

    camera.Look(1, 2, 3, 4, 6, 3); // direction (3, 4, 0) / 5
    camera.GetTransform(&m);
    ExpectNear({0.6f, 0.8f, 0}, {m._31, m._32, m._33});
    EXPECT_NEAR(0.0f, m._12, 1e-5f); // no roll: x stays level
    ExpectNear({1, 2, 3}, {m._41, m._42, m._43});
    D3DVECTOR look{};
    camera.GetLookPosition(&look);
    ExpectNear({4, 6, 3}, look);

    // A later rotation keeps the frame at its own position, not the target's.
    camera.SetLookPosition(0, 0, 50);
    camera.SetRotation(0, 0, 45);
    D3DVECTOR p{};
    camera.GetPosition(&p);
    ExpectNear({1, 2, 3}, p);

    Frame target(nullptr, scene_);
    target.SetPosition(1, 2, 13);
    camera.Look(target.m_frame);
    camera.GetTransform(&m);
    ExpectNear({0, 0, 1}, {m._31, m._32, m._33});
}

TEST_F(FrameTest, AlignPlacesTheFrameOnAnOrbitAndBehindAFollowedFrame) {
    Frame camera(nullptr, scene_);
    D3DVECTOR p{};
    camera.Align(0, 0, 0, 10, 0, 0);
    camera.GetPosition(&p);
    ExpectNear({0, 10, 10}, p);
    camera.Align(0, 0, 0, 10, 90, 0); // the horizontal offset turned from +z to +x
    camera.GetPosition(&p);
    ExpectNear({10, 10, 0}, p);
    camera.Align(1, 1, 1, -10, 0, 0); // |d| for the height part of r2, signed d for r1
    camera.GetPosition(&p);
    ExpectNear({1, 11, -9}, p);
    D3DMATRIX m;
    camera.GetTransform(&m);
    const float inv = 1.0f / std::sqrt(2.0f);
    ExpectNear({0, -inv, inv}, {m._31, m._32, m._33}); // aimed at (1, 1, 1)

    Frame car(nullptr, scene_);
    car.SetPosition(5, 0, 0);
    car.SetRotation(90, 0, 0); // the car faces +x
    camera.Align(car.m_frame, D3DVECTOR{0, 0, -10});
    camera.GetPosition(&p);
    ExpectNear({-5, 0, 0}, p, 1e-3f); // ten units behind the car
    camera.GetTransform(&m);
    ExpectNear({1, 0, 0}, {m._31, m._32, m._33}, 1e-3f);
}

TEST_F(FrameTest, TransformActsInLocalSpaceAndMirrorFlipsX) {
    Frame frame(nullptr, scene_);
    frame.SetPosition(5, 0, 0);
    frame.SetRotation(90, 0, 0); // local x points along world -z
    D3DMATRIX step;
    matrix_identity(&step);
    step._41 = 1;
    frame.Transform(&step);
    D3DVECTOR p{};
    frame.GetPosition(&p);
    ExpectNear({5, 0, -1}, p);

    D3DMATRIX before, after;
    frame.GetTransform(&before);
    frame.Mirror();
    frame.GetTransform(&after);
    EXPECT_EQ(-before._11, after._11);
    before._11 = -before._11;
    EXPECT_EQ(0, std::memcmp(&before, &after, sizeof(after)));

    D3DMATRIX set = {2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 2, 0, 7, 8, 9, 1};
    frame.SetTransform(&set);
    frame.GetTransform(&after);
    EXPECT_EQ(0, std::memcmp(&set, &after, sizeof(after)));
}

TEST_F(FrameTest, FogSettingsReachTheSceneRoot) {
    Frame root(nullptr, nullptr);
    root.SetFogEnable(5);
    EXPECT_EQ(TRUE, root.m_frame->GetSceneFogEnable());
    root.SetFogColor(0x00336699);
    EXPECT_EQ(0x00336699u, root.m_frame->GetSceneFogColor());
    root.SetFogParams(10.0f, 200.0f, 0.5f);
    D3DVALUE start = 0, end = 0, density = 0;
    root.m_frame->GetSceneFogParams(&start, &end, &density);
    EXPECT_EQ(10.0f, start);
    EXPECT_EQ(200.0f, end);
    EXPECT_EQ(0.5f, density);
    root.SetFogEnable(0);
    EXPECT_EQ(FALSE, root.m_frame->GetSceneFogEnable());
}

TEST_F(FrameTest, WithoutRetainedModeEveryOperationDoesNothing) {
    IDirect3DRM2* rm = g_lpD3DRM2;
    g_lpD3DRM2 = nullptr;
    {
        Frame frame;
        ASSERT_EQ(nullptr, frame.m_frame);
        frame.SetPosition(1, 2, 3);
        frame.AddPosition(1, 1, 1);
        frame.SetRotation(10, 20, 30);
        frame.AddRotation(1, 1, 1);
        frame.SetLookPosition(0, 0, 1);
        frame.Look(0, 0, 0, 1, 1, 1);
        frame.Look(scene_);
        frame.Align(0, 0, 0, 5, 10, 10);
        frame.Align(scene_, D3DVECTOR{0, 0, 1});
        D3DMATRIX m = {};
        m._11 = 42;
        frame.Transform(&m);
        frame.SetTransform(&m);
        frame.Mirror();
        frame.SetFogEnable(1);
        frame.SetFogColor(1);
        frame.SetFogParams(1, 2, 3);
        D3DVECTOR out = {7, 7, 7};
        frame.GetPosition(&out);
        frame.GetAbsolutePosition(&out);
        frame.GetLookPosition(&out);
        frame.GetTransform(&m);
        ExpectNear({7, 7, 7}, out, 0.0f);
        EXPECT_EQ(42.0f, m._11);
        EXPECT_EQ(0.0f, frame.m_position.x);
    }
    g_lpD3DRM2 = rm;
    EXPECT_NE(std::string::npos, ReadLog().find("~Frame->m_frame already NULL"));
}

} // namespace

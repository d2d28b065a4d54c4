// The exported camera family: switching and freeing cameras, fixed-point placement, the back clip
// distance and point projection through the viewport (camera at the origin looking down +z, front 0.1,
// field 0.1: 320 pixels per unit of x/z on the 640 x 480 view).
#include "quib/scene/frames/frame.h"
#include "quib/scene/frames/scene3d_state.h"
#include "tests/quib/video_test_support.h"

using namespace video_test;

namespace {

class CameraApiTest : public VideoTest {
  protected:
    void SetUp() override {
        VideoTest::SetUp();
        EXPECT_EQ(0, QuibCameraOrientation(0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f)); // no scene yet
        ASSERT_EQ(1, QuibInitDirectX(MakeWindow(), 640, 480)) << ErrorText();
        ASSERT_EQ(1, QuibSetViewport(0, 0, 640, 480)) << ErrorText();
    }
    static IDirect3DRMFrame* ViewportCamera() {
        IDirect3DRMFrame* camera = nullptr;
        QuibGetViewport()->GetCamera(&camera);
        if (camera) camera->Release();
        return camera;
    }
};

TEST_F(CameraApiTest, TransformPointProjectsInFrontAndWritesBehind) {
    float sx = -1, sy = -1;
    EXPECT_EQ(1, QuibTransformPoint(1.0f, -0.5f, 10.0f, &sx, &sy));
    EXPECT_FLOAT_EQ(352.0f, sx);
    EXPECT_FLOAT_EQ(256.0f, sy);
    EXPECT_EQ(0, QuibTransformPoint(1.0f, 0.0f, -10.0f, &sx, &sy)); // behind: written all the same
    EXPECT_FLOAT_EQ(288.0f, sx);
    EXPECT_EQ(1, QuibTransformPoint(0.0f, 0.0f, 0.1f, &sx, &sy)); // on the front plane
    EXPECT_EQ(0, QuibTransformPoint(5.0f, 5.0f, 0.0f, &sx, &sy)); // in the camera's plane
    EXPECT_EQ(0.0f, sx);
    EXPECT_EQ(0.0f, sy);
    ASSERT_EQ(1, QuibSetZClipDistance(100.0f));
    EXPECT_EQ(0, QuibTransformPoint(0.0f, 0.0f, 150.0f, &sx, &sy));
    EXPECT_EQ(0, QuibSetZClipDistance(-1.0f));
    EXPECT_FLOAT_EQ(100.0f, QuibGetViewport()->GetBack());
    long lx = -1, ly = -1; // whole world units, truncated
    EXPECT_EQ(1, QuibTransformPoint(1L, 0L, 3L, &lx, &ly));
    EXPECT_EQ(426L, lx);
    EXPECT_EQ(240L, ly);
}

TEST_F(CameraApiTest, FixedPointPlacementConvertsPositionsAndAnglesSeparately) {
    float x, y, z, a, b, c;
    ASSERT_EQ(1, QuibCameraOrientation(32768L, 0L, 65536L, 1024L, 0L, 2048L));
    ASSERT_EQ(1, QuibCameraGetOrientation(x, y, z, a, b, c));
    EXPECT_FLOAT_EQ(1.0f, x);
    EXPECT_FLOAT_EQ(2.0f, z);
    EXPECT_FLOAT_EQ(90.0f, a);
    EXPECT_FLOAT_EQ(180.0f, c);
    ASSERT_EQ(1, QuibCameraLookAngle(1L, 0L, 0L)); // one 4096th of a turn, not truncated to 0
    QuibCameraGetOrientation(x, y, z, a, b, c);
    EXPECT_FLOAT_EQ(90.087890625f, a);
    EXPECT_FLOAT_EQ(5.0f, QuibGetDistanceFromCamera(1.0f, 3.0f, -2.0f));

    // The follow placement scales its first four values as positions and the last two as angles.
    D3DVECTOR fromFloat, fromFixed;
    ASSERT_EQ(1, QuibCameraFollow(1.0f, 0.0f, 0.0f, 2.0f, 90.0f, 45.0f));
    g_lpCamera->GetPosition(&fromFloat);
    ASSERT_EQ(1, QuibCameraFollow(32768L, 0L, 0L, 65536L, 1024L, 512L));
    g_lpCamera->GetPosition(&fromFixed);
    EXPECT_NEAR(fromFloat.x, fromFixed.x, 1e-4f);
    EXPECT_NEAR(fromFloat.y, fromFixed.y, 1e-4f);
    EXPECT_NEAR(fromFloat.z, fromFixed.z, 1e-4f);
}

TEST_F(CameraApiTest, FreeingTheCurrentCameraFallsBackToTheDefault) {
    Frame* defaultCamera = g_pDefaultCamera;
    auto* camera = new Frame(g_lpD3DRM2, g_lpScene);
    EXPECT_EQ(0, QuibSetCamera(nullptr));
    ASSERT_EQ(1, QuibSetCamera(camera));
    EXPECT_EQ(camera, g_lpCamera);
    EXPECT_EQ(camera->m_frame, ViewportCamera());
    EXPECT_EQ(1, QuibFreeCamera(camera));
    EXPECT_EQ(defaultCamera, g_lpCamera);
    EXPECT_EQ(defaultCamera->m_frame, ViewportCamera());
    // NULL and the engine's own camera are left alone.
    EXPECT_EQ(1, QuibFreeCamera(nullptr));
    EXPECT_EQ(1, QuibFreeCamera(defaultCamera));
    EXPECT_EQ(defaultCamera, g_pDefaultCamera);
    EXPECT_EQ(1, QuibSetDefaultCamera());
}

} // namespace

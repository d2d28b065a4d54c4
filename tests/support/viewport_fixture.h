// The engine's display as the 3D tests start it: the video start-up fixture (tests/quib/
// video_test_support.h) with the display at 640 x 480 on a new window and the viewport on all of it
// (scale 320, centre (320, 240)), a camera placed in one call, and the device's recording read back.
// Header-only, for the engine's test program.
#pragma once

#include <cstring>
#include <vector>

#include "host/d3d/recording.h"
#include "quib/scene/pipeline/viewport_state.h"
#include "quib/scene/textures/texture_cache.h"
#include "tests/quib/video_test_support.h"

namespace testsupport {

class ViewportTest : public video_test::VideoTest {
  protected:
    static constexpr float kIdentity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

    void SetUp() override {
        VideoTest::SetUp();
        ASSERT_EQ(1, QuibInitDirectX(MakeWindow(), 640, 480)) << ErrorText();
        ASSERT_EQ(1, QuibSetViewport(0, 0, 640, 480)) << ErrorText();
    }
    // Forgets the texture and device the drawing code last used, then ends the display.
    void TearDown() override {
        g_CurrentTexture = nullptr;
        g_ImDevice = nullptr;
        VideoTest::TearDown();
    }

    // A camera at (x, y, z) looking down +z, in an untransformed world.
    static void LookFrom(float x, float y, float z) {
        float camera[16];
        std::memcpy(camera, kIdentity, sizeof camera);
        camera[12] = x;
        camera[13] = y;
        camera[14] = z;
        setup_view(kIdentity, camera, g_lpD3DDevice2);
    }

    // The device calls recorded since recording was last started (or taken), recording on again.
    static std::vector<HostD3DCall> Take() {
        std::vector<HostD3DCall> calls = HostD3DRecordedCalls(g_lpD3DDevice2);
        HostD3DSetRecording(g_lpD3DDevice2, true);
        return calls;
    }
};

} // namespace testsupport

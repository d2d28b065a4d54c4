// A Retained Mode device as the retained-mode tests start it: the 3D device fixture (tests/host/
// test_d3d_support.h) with a new Retained Mode object and a Retained Mode device over a 640 x 480 hardware
// device in video memory; each is released to nothing at the end. Header-only, for the host's test
// program.
#pragma once

#include "host/rm/d3drm.h"
#include "tests/host/rm_test_support.h"
#include "tests/host/test_d3d_support.h"

namespace testsupport {

class RMDeviceFixture : public D3DTest {
  protected:
    void SetUp() override {
        D3DTest::SetUp();
        rm_ = NewRetainedMode();
        ASSERT_NE(rm_, nullptr);
        d3d_ = Direct3D2();
        ASSERT_NE(d3d_, nullptr);
        device_ = MakeDevice(d3d_, IID_IDirect3DHALDevice); // 640 x 480
        ASSERT_NE(device_, nullptr);
        ASSERT_EQ(rm_->CreateDeviceFromD3D(d3d_, device_, &rmDevice_), D3DRM_OK);
    }
    // Releases the device, the immediate-mode objects and the Retained Mode object, in that order, after
    // the test's own objects (released by the test's TearDown first).
    void TearDown() override {
        for (IUnknown* object : {static_cast<IUnknown*>(rmDevice_), static_cast<IUnknown*>(device_),
                                 static_cast<IUnknown*>(d3d_), static_cast<IUnknown*>(rm_)})
            if (object) {
                EXPECT_EQ(object->Release(), 0u);
            }
        D3DTest::TearDown();
    }

    IDirect3DRM2* rm_ = nullptr;
    IDirect3D2* d3d_ = nullptr;
    IDirect3DDevice2* device_ = nullptr;
    IDirect3DRMDevice2* rmDevice_ = nullptr;
};

} // namespace testsupport

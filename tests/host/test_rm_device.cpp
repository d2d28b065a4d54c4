// Retained-mode devices and viewports over an immediate-mode device, and the whole chain of 3D objects
// the engine's start-up makes, released in the engine's order down to nothing.
#include "test_d3d_support.h"

#include <cmath>

#include "host/rm/d3drm.h"
#include "tests/support/rm_device_fixture.h"

namespace {

class RMDeviceTest : public testsupport::RMDeviceFixture {
  protected:
    void SetUp() override {
        RMDeviceFixture::SetUp();
        ASSERT_EQ(rm_->CreateFrame(nullptr, &camera_), D3DRM_OK);
    }
    void TearDown() override {
        if (camera_) {
            EXPECT_EQ(camera_->Release(), 0u);
        }
        RMDeviceFixture::TearDown();
    }

    IDirect3DRMFrame2* camera_ = nullptr;
};

TEST_F(RMDeviceTest, DeviceSettingsAreStoredAndCheckedAndItHoldsItsDevice) {
    EXPECT_EQ(CountOf(device_), 2u);
    EXPECT_EQ(CountOf(d3d_), 2u);
    EXPECT_EQ(rmDevice_->GetWidth(), 640u);
    EXPECT_EQ(rmDevice_->GetHeight(), 480u);

    EXPECT_EQ(rmDevice_->SetBufferCount(2), D3DRM_OK);
    EXPECT_EQ(rmDevice_->GetBufferCount(), 2u);
    EXPECT_EQ(rmDevice_->SetBufferCount(0), D3DRMERR_BADVALUE);
    EXPECT_EQ(rmDevice_->SetBufferCount(4), D3DRMERR_BADVALUE);
    EXPECT_EQ(rmDevice_->GetBufferCount(), 2u);

    EXPECT_EQ(rmDevice_->SetQuality(D3DRMRENDER_UNLITFLAT), D3DRM_OK);
    EXPECT_EQ(rmDevice_->GetQuality(), DWORD{D3DRMRENDER_UNLITFLAT});
    EXPECT_EQ(rmDevice_->SetQuality(D3DRMLIGHT_ON | D3DRMFILL_SOLID), D3DRMERR_BADVALUE); // no shade mode
    EXPECT_EQ(rmDevice_->SetQuality(D3DRMRENDER_GOURAUD | 0x1000), D3DRMERR_BADVALUE);
    EXPECT_EQ(rmDevice_->GetQuality(), DWORD{D3DRMRENDER_UNLITFLAT});

    EXPECT_EQ(rmDevice_->GetDither(), TRUE);
    EXPECT_EQ(rmDevice_->SetDither(FALSE), D3DRM_OK);
    EXPECT_EQ(rmDevice_->GetDither(), FALSE);

    EXPECT_EQ(rmDevice_->SetTextureQuality(D3DRMTEXTURE_LINEAR), D3DRM_OK);
    EXPECT_EQ(rmDevice_->SetTextureQuality(D3DRMTEXTURE_NEAREST), D3DRM_OK);
    EXPECT_EQ(rmDevice_->SetTextureQuality(static_cast<D3DRMTEXTUREQUALITY>(9)), D3DRMERR_BADVALUE);
    EXPECT_EQ(rmDevice_->GetTextureQuality(), D3DRMTEXTURE_NEAREST);

    EXPECT_EQ(rmDevice_->SetShades(256), D3DRM_OK);
    EXPECT_EQ(rmDevice_->GetShades(), 256u);
    EXPECT_EQ(rmDevice_->SetShades(3), D3DRMERR_BADVALUE);
    EXPECT_EQ(rmDevice_->SetShades(512), D3DRMERR_BADVALUE);
    EXPECT_EQ(rmDevice_->GetShades(), 256u);

    EXPECT_EQ(rmDevice_->Update(), D3DRM_OK);
    IDirect3DDevice2* underneath = nullptr;
    ASSERT_EQ(rmDevice_->GetDirect3DDevice2(&underneath), D3DRM_OK);
    EXPECT_EQ(underneath, device_);
    EXPECT_EQ(underneath->Release(), 2u);
}

TEST_F(RMDeviceTest, DeviceNeedsAHostDeviceAndTheDirect3DObject) {
    IDirect3DRMDevice2* device = nullptr;
    EXPECT_EQ(rm_->CreateDeviceFromD3D(nullptr, device_, &device), D3DRMERR_BADVALUE);
    EXPECT_EQ(rm_->CreateDeviceFromD3D(d3d_, nullptr, &device), D3DRMERR_BADVALUE);
    EXPECT_EQ(device, nullptr);
}

TEST_F(RMDeviceTest, ViewportKeepsItsRectangleAndItsDirect3DViewportFollows) {
    IDirect3DRMViewport* viewport = nullptr;
    ASSERT_EQ(rm_->CreateViewport(rmDevice_, camera_, 0, 0, 640, 480, &viewport), D3DRM_OK);
    EXPECT_EQ(CountOf(camera_), 2u);
    EXPECT_EQ(viewport->GetWidth(), 640u);
    EXPECT_EQ(viewport->GetHeight(), 480u);

    IDirect3DViewport* first = nullptr;
    ASSERT_EQ(viewport->GetDirect3DViewport(&first), D3DRM_OK);
    IDirect3DViewport2* second = nullptr;
    ASSERT_EQ(first->QueryInterface(IID_IDirect3DViewport2, reinterpret_cast<void**>(&second)), S_OK);
    D3DVIEWPORT2 values{};
    values.dwSize = sizeof(values);
    ASSERT_EQ(second->GetViewport2(&values), D3D_OK);
    EXPECT_EQ(values.dwWidth, 640u);
    EXPECT_EQ(values.dwHeight, 480u);
    EXPECT_FLOAT_EQ(values.dvClipHeight, 2.0f * 0.75f);

    ASSERT_EQ(viewport->Configure(10, 20, 100, 50), D3DRM_OK);
    EXPECT_EQ(viewport->GetX(), 10);
    EXPECT_EQ(viewport->GetY(), 20);
    ASSERT_EQ(second->GetViewport2(&values), D3D_OK);
    EXPECT_EQ(values.dwX, 10u);
    EXPECT_EQ(values.dwY, 20u);
    EXPECT_EQ(values.dwWidth, 100u);
    EXPECT_EQ(values.dwHeight, 50u);

    EXPECT_EQ(viewport->Configure(600, 0, 100, 50), D3DRMERR_BADVALUE); // past the right edge
    EXPECT_EQ(viewport->Configure(-1, 0, 100, 50), D3DRMERR_BADVALUE);
    EXPECT_EQ(viewport->Configure(0, 0, 0, 50), D3DRMERR_BADVALUE);
    EXPECT_EQ(viewport->GetX(), 10);
    EXPECT_EQ(viewport->GetWidth(), 100u);

    EXPECT_EQ(second->Release(), 2u);
    EXPECT_EQ(first->Release(), 1u);
    EXPECT_EQ(viewport->Release(), 0u);
    EXPECT_EQ(CountOf(camera_), 1u);
}

TEST_F(RMDeviceTest, ClippingPlanesAndFieldAreChecked) {
    IDirect3DRMViewport* viewport = nullptr;
    ASSERT_EQ(rm_->CreateViewport(rmDevice_, camera_, 0, 0, 640, 480, &viewport), D3DRM_OK);
    // The engine's order: front, field, back.
    EXPECT_EQ(viewport->SetFront(0.1f), D3DRM_OK);
    EXPECT_EQ(viewport->SetField(0.1f), D3DRM_OK);
    EXPECT_EQ(viewport->SetBack(300000.0f), D3DRM_OK);
    EXPECT_EQ(viewport->GetFront(), 0.1f);
    EXPECT_EQ(viewport->GetField(), 0.1f);
    EXPECT_EQ(viewport->GetBack(), 300000.0f);

    EXPECT_EQ(viewport->SetFront(0.0f), D3DRMERR_BADVALUE);
    EXPECT_EQ(viewport->SetFront(400000.0f), D3DRMERR_BADVALUE); // beyond the back plane
    EXPECT_EQ(viewport->SetBack(0.05f), D3DRMERR_BADVALUE);      // in front of the front plane
    EXPECT_EQ(viewport->SetField(-1.0f), D3DRMERR_BADVALUE);
    EXPECT_EQ(viewport->SetField(NAN), D3DRMERR_BADVALUE);
    EXPECT_EQ(viewport->GetFront(), 0.1f);
    EXPECT_EQ(viewport->GetBack(), 300000.0f);
    EXPECT_EQ(viewport->GetField(), 0.1f);
    EXPECT_EQ(viewport->Release(), 0u);
}

TEST_F(RMDeviceTest, ViewportCameraAndDevice) {
    IDirect3DRMViewport* viewport = nullptr;
    EXPECT_EQ(rm_->CreateViewport(rmDevice_, nullptr, 0, 0, 640, 480, &viewport), D3DRMERR_BADVALUE);
    EXPECT_EQ(rm_->CreateViewport(rmDevice_, camera_, 0, 0, 641, 480, &viewport), D3DRMERR_BADVALUE);
    EXPECT_EQ(viewport, nullptr);
    ASSERT_EQ(rm_->CreateViewport(rmDevice_, camera_, 0, 0, 320, 240, &viewport), D3DRM_OK);

    IDirect3DRMFrame2* other = nullptr;
    ASSERT_EQ(rm_->CreateFrame(nullptr, &other), D3DRM_OK);
    ASSERT_EQ(viewport->SetCamera(other), D3DRM_OK);
    EXPECT_EQ(CountOf(camera_), 1u);
    EXPECT_EQ(CountOf(other), 2u);
    IDirect3DRMFrame* camera = nullptr;
    ASSERT_EQ(viewport->GetCamera(&camera), D3DRM_OK);
    EXPECT_EQ(camera, other);
    camera->Release();
    EXPECT_EQ(viewport->SetCamera(nullptr), D3DRMERR_BADVALUE);

    IDirect3DRMDevice* device = nullptr;
    ASSERT_EQ(viewport->GetDevice(&device), D3DRM_OK);
    EXPECT_EQ(device, rmDevice_);
    EXPECT_EQ(device->Release(), 2u);

    EXPECT_EQ(viewport->Release(), 0u);
    EXPECT_EQ(other->Release(), 0u);
}

// The 3D part of the engine's start-up in a window on the software path, then its release, in the
// engine's order, with every count reaching 0.
TEST_F(D3DTest, StartUpChainReleasesToNothing) {
    IDirect3D2* d3d = Direct3D2();
    IDirect3DRM* rm = nullptr;
    ASSERT_EQ(Direct3DRMCreate(&rm), D3DRM_OK);
    IDirect3DRM2* rm2 = nullptr;
    ASSERT_EQ(rm->QueryInterface(IID_IDirect3DRM2, reinterpret_cast<void**>(&rm2)), S_OK);
    ASSERT_EQ(rm2->SetDefaultTextureColors(256), D3DRM_OK);
    ASSERT_EQ(rm2->SetDefaultTextureShades(256), D3DRM_OK);

    IDirect3DRMFrame2* scene = nullptr;
    IDirect3DRMFrame2* camera = nullptr;
    IDirect3DRMFrame2* lookAt = nullptr;
    IDirect3DRMFrame2* players = nullptr;
    ASSERT_EQ(rm2->CreateFrame(nullptr, &scene), D3DRM_OK);
    ASSERT_EQ(rm2->CreateFrame(scene, &camera), D3DRM_OK);
    ASSERT_EQ(rm2->CreateFrame(scene, &lookAt), D3DRM_OK);
    ASSERT_EQ(rm2->CreateFrame(scene, &players), D3DRM_OK);

    IDirectDrawSurface* back = MakeSurface(800, 600, DDSCAPS_SYSTEMMEMORY);
    IDirect3DDevice2* device2 = nullptr;
    EXPECT_TRUE(FAILED(d3d->CreateDevice(IID_IDirect3DHALDevice, back, &device2)));
    ASSERT_EQ(d3d->CreateDevice(IID_IDirect3DRGBDevice, back, &device2), D3D_OK);
    IDirect3DDevice* device = nullptr;
    ASSERT_EQ(back->QueryInterface(IID_IDirect3DRampDevice, reinterpret_cast<void**>(&device)), S_OK);

    IDirect3DRMDevice2* rmDevice = nullptr;
    ASSERT_EQ(rm2->CreateDeviceFromD3D(d3d, device2, &rmDevice), D3DRM_OK);
    ASSERT_EQ(rmDevice->SetBufferCount(1), D3DRM_OK);
    rmDevice->SetQuality(D3DRMRENDER_UNLITFLAT);
    ASSERT_EQ(rmDevice->SetDither(FALSE), D3DRM_OK);
    ASSERT_EQ(rmDevice->SetTextureQuality(D3DRMTEXTURE_NEAREST), D3DRM_OK);
    ASSERT_EQ(rmDevice->SetShades(256), D3DRM_OK);

    IDirect3DRMViewport* rmViewport = nullptr;
    ASSERT_EQ(rm2->CreateViewport(rmDevice, camera, 0, 0, 800, 600, &rmViewport), D3DRM_OK);
    IDirect3DViewport* viewport = nullptr;
    ASSERT_EQ(rmViewport->GetDirect3DViewport(&viewport), D3DRM_OK);
    IDirect3DViewport2* viewport2 = nullptr;
    ASSERT_EQ(viewport->QueryInterface(IID_IDirect3DViewport2, reinterpret_cast<void**>(&viewport2)), S_OK);
    ASSERT_EQ(device2->AddViewport(viewport2), D3D_OK);
    ASSERT_EQ(device2->SetCurrentViewport(viewport2), D3D_OK);
    EXPECT_EQ(viewport2->Release(), 3u);
    EXPECT_EQ(viewport->Release(), 2u); // the Retained Mode viewport's and the device's
    ASSERT_EQ(rmViewport->SetFront(0.1f), D3DRM_OK);
    ASSERT_EQ(rmViewport->SetField(0.1f), D3DRM_OK);
    ASSERT_EQ(rmViewport->SetBack(300000.0f), D3DRM_OK);
    ASSERT_EQ(device2->SetRenderState(D3DRENDERSTATE_TEXTUREPERSPECTIVE, TRUE), D3D_OK);

    // QuibSetViewport: configure, then the immediate-mode values.
    ASSERT_EQ(rmViewport->Configure(0, 0, 800, 600), D3DRM_OK);
    ASSERT_EQ(rmViewport->GetDirect3DViewport(&viewport), D3DRM_OK);
    ASSERT_EQ(viewport->QueryInterface(IID_IDirect3DViewport2, reinterpret_cast<void**>(&viewport2)), S_OK);
    D3DVIEWPORT2 values{sizeof(D3DVIEWPORT2), 0, 0, 800, 600, 0.0f, 0.0f, 1.0f, 600.0f / 800.0f, 0.0f, 1.0f};
    ASSERT_EQ(viewport2->SetViewport2(&values), D3D_OK);
    viewport2->Release();
    viewport->Release();

    // FreeScene, then the release of all DirectX objects.
    EXPECT_EQ(scene->Release(), 0u);
    EXPECT_EQ(players->Release(), 0u);
    EXPECT_EQ(rmViewport->Release(), 0u);
    EXPECT_EQ(rmDevice->Release(), 0u);
    EXPECT_EQ(rm2->Release(), 1u);
    EXPECT_EQ(rm->Release(), 0u);
    EXPECT_EQ(device2->Release(), 0u);
    EXPECT_EQ(device->Release(), 0u);
    EXPECT_EQ(camera->Release(), 0u); // the default camera goes after Retained Mode
    EXPECT_EQ(lookAt->Release(), 0u);
    EXPECT_EQ(d3d->Release(), 0u);
    EXPECT_EQ(CountOf(back), 1u); // only the test's own reference is left
}

} // namespace

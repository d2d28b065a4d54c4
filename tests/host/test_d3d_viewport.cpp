// Immediate-mode viewports (values, attachment to a device, the current viewport) and materials.
#include "test_d3d_support.h"

#include "host/d3d/material.h"

namespace {

D3DVIEWPORT2 Viewport(DWORD x, DWORD y, DWORD width, DWORD height) {
    D3DVIEWPORT2 v{};
    v.dwSize = sizeof(v);
    v.dwX = x;
    v.dwY = y;
    v.dwWidth = width;
    v.dwHeight = height;
    v.dvClipWidth = 1.0f;
    v.dvClipHeight = float(height) / float(width);
    v.dvMaxZ = 1.0f;
    return v;
}

class D3DViewportTest : public D3DTest {
  protected:
    void SetUp() override {
        D3DTest::SetUp();
        d3d_ = Direct3D2();
        ASSERT_NE(d3d_, nullptr);
        ASSERT_EQ(d3d_->CreateViewport(&viewport_, nullptr), D3D_OK);
    }
    void TearDown() override {
        if (viewport_) {
            EXPECT_EQ(viewport_->Release(), 0u);
        }
        if (d3d_) {
            EXPECT_EQ(d3d_->Release(), 0u);
        }
        D3DTest::TearDown();
    }

    IDirect3D2* d3d_ = nullptr;
    IDirect3DViewport2* viewport_ = nullptr;
};

TEST_F(D3DViewportTest, SetViewport2StoresWhatGetViewport2Returns) {
    D3DVIEWPORT2 read{};
    read.dwSize = sizeof(read);
    EXPECT_EQ(viewport_->GetViewport2(&read), D3DERR_SETVIEWPORTDATA_FAILED);

    D3DVIEWPORT2 set = Viewport(0, 0, 800, 600);
    ASSERT_EQ(set.dvClipHeight, 0.75f);
    ASSERT_EQ(viewport_->SetViewport2(&set), D3D_OK);
    ASSERT_EQ(viewport_->GetViewport2(&read), D3D_OK);
    EXPECT_EQ(read.dwX, 0u);
    EXPECT_EQ(read.dwWidth, 800u);
    EXPECT_EQ(read.dwHeight, 600u);
    EXPECT_EQ(read.dvClipX, 0.0f);
    EXPECT_EQ(read.dvClipWidth, 1.0f);
    EXPECT_EQ(read.dvClipHeight, 0.75f);
    EXPECT_EQ(read.dvMinZ, 0.0f);
    EXPECT_EQ(read.dvMaxZ, 1.0f);

    read.dwSize = 40;
    EXPECT_EQ(viewport_->GetViewport2(&read), DDERR_INVALIDPARAMS);
}

TEST_F(D3DViewportTest, MalformedViewportsAreRefusedAndTheOldValuesKept) {
    D3DVIEWPORT2 good = Viewport(10, 20, 100, 50);
    ASSERT_EQ(viewport_->SetViewport2(&good), D3D_OK);

    D3DVIEWPORT2 bad = Viewport(0, 0, 200, 100);
    bad.dwSize = 40;
    EXPECT_EQ(viewport_->SetViewport2(&bad), DDERR_INVALIDPARAMS);
    bad = Viewport(0, 0, 0, 100);
    EXPECT_EQ(viewport_->SetViewport2(&bad), DDERR_INVALIDPARAMS);
    bad = Viewport(0, 0, 200, 100);
    bad.dvClipHeight = 0.0f; // what an integer height / width would give
    EXPECT_EQ(viewport_->SetViewport2(&bad), DDERR_INVALIDPARAMS);
    bad = Viewport(0, 0, 200, 100);
    bad.dvMinZ = bad.dvMaxZ;
    EXPECT_EQ(viewport_->SetViewport2(&bad), DDERR_INVALIDPARAMS);
    EXPECT_EQ(viewport_->SetViewport2(nullptr), DDERR_INVALIDPARAMS);

    D3DVIEWPORT2 read{};
    read.dwSize = sizeof(read);
    ASSERT_EQ(viewport_->GetViewport2(&read), D3D_OK);
    EXPECT_EQ(read.dwX, 10u);
    EXPECT_EQ(read.dwWidth, 100u);
}

TEST_F(D3DViewportTest, AnAttachedViewportMustLieInsideTheRenderTarget) {
    IDirect3DDevice2* device = MakeDevice(d3d_, IID_IDirect3DRGBDevice); // 640 x 480
    ASSERT_EQ(device->AddViewport(viewport_), D3D_OK);
    D3DVIEWPORT2 whole = Viewport(0, 0, 640, 480);
    EXPECT_EQ(viewport_->SetViewport2(&whole), D3D_OK);
    D3DVIEWPORT2 wide = Viewport(1, 0, 640, 480);
    EXPECT_EQ(viewport_->SetViewport2(&wide), DDERR_INVALIDPARAMS);
    D3DVIEWPORT2 huge = Viewport(0xFFFFFFF0u, 0, 0x20, 10); // wraps around in 32 bits
    EXPECT_EQ(viewport_->SetViewport2(&huge), DDERR_INVALIDPARAMS);
    EXPECT_EQ(device->Release(), 0u);
}

TEST_F(D3DViewportTest, DevicesHoldTheirViewportsAndKnowTheCurrentOne) {
    IDirect3DDevice2* device = MakeDevice(d3d_, IID_IDirect3DHALDevice);
    IDirect3DViewport2* current = nullptr;
    EXPECT_EQ(device->SetCurrentViewport(viewport_), DDERR_INVALIDPARAMS); // not attached yet
    EXPECT_EQ(device->GetCurrentViewport(&current), D3DERR_SETVIEWPORTDATA_FAILED);

    ASSERT_EQ(device->AddViewport(viewport_), D3D_OK);
    EXPECT_EQ(CountOf(viewport_), 2u);
    ASSERT_EQ(device->AddViewport(viewport_), D3D_OK); // again: no second reference
    EXPECT_EQ(CountOf(viewport_), 2u);
    ASSERT_EQ(device->SetCurrentViewport(viewport_), D3D_OK);
    ASSERT_EQ(device->GetCurrentViewport(&current), D3D_OK);
    EXPECT_EQ(current, viewport_);
    EXPECT_EQ(current->Release(), 2u);

    ASSERT_EQ(device->DeleteViewport(viewport_), D3D_OK);
    EXPECT_EQ(CountOf(viewport_), 1u);
    EXPECT_EQ(device->GetCurrentViewport(&current), D3DERR_SETVIEWPORTDATA_FAILED);
    EXPECT_EQ(device->DeleteViewport(viewport_), DDERR_INVALIDPARAMS);

    // A device gives up its viewports when it goes.
    ASSERT_EQ(device->AddViewport(viewport_), D3D_OK);
    EXPECT_EQ(device->Release(), 0u);
    EXPECT_EQ(CountOf(viewport_), 1u);
    D3DVIEWPORT2 anywhere = Viewport(5000, 5000, 10, 10); // no device limits it any more
    EXPECT_EQ(viewport_->SetViewport2(&anywhere), D3D_OK);
}

TEST_F(D3DViewportTest, AViewportBelongsToOneDevice) {
    IDirect3DDevice2* first = MakeDevice(d3d_, IID_IDirect3DRGBDevice);
    IDirect3DDevice2* second = MakeDevice(d3d_, IID_IDirect3DRGBDevice);
    ASSERT_EQ(first->AddViewport(viewport_), D3D_OK);
    EXPECT_EQ(second->AddViewport(viewport_), DDERR_INVALIDPARAMS);
    EXPECT_EQ(second->SetCurrentViewport(viewport_), DDERR_INVALIDPARAMS);
    EXPECT_EQ(first->AddViewport(nullptr), DDERR_INVALIDPARAMS);
    EXPECT_EQ(second->Release(), 0u);
    EXPECT_EQ(first->Release(), 0u);
}

TEST_F(D3DViewportTest, QueriesBetweenTheTwoViewportInterfaces) {
    IDirect3DViewport* first = nullptr;
    ASSERT_EQ(viewport_->QueryInterface(IID_IDirect3DViewport, reinterpret_cast<void**>(&first)), S_OK);
    IDirect3DViewport2* second = nullptr;
    ASSERT_EQ(first->QueryInterface(IID_IDirect3DViewport2, reinterpret_cast<void**>(&second)), S_OK);
    EXPECT_EQ(second, viewport_);
    EXPECT_EQ(CountOf(viewport_), 3u);
    EXPECT_EQ(second->Release(), 2u);
    EXPECT_EQ(first->Release(), 1u);
}

TEST_F(D3DViewportTest, MaterialsAreReachedThroughTheirHandles) {
    IDirect3DDevice2* device = MakeDevice(d3d_, IID_IDirect3DRGBDevice);
    IDirect3DMaterial2* sky = nullptr;
    IDirect3DMaterial2* ground = nullptr;
    ASSERT_EQ(d3d_->CreateMaterial(&sky, nullptr), D3D_OK);
    ASSERT_EQ(d3d_->CreateMaterial(&ground, nullptr), D3D_OK);

    D3DMATERIAL colours{};
    colours.dwSize = sizeof(colours);
    colours.diffuse = {0.5f, 0.25f, 1.0f, 1.0f};
    colours.dwRampSize = 1;
    ASSERT_EQ(sky->SetMaterial(&colours), D3D_OK);
    D3DMATERIAL read{};
    read.dwSize = sizeof(read);
    ASSERT_EQ(sky->GetMaterial(&read), D3D_OK);
    EXPECT_EQ(read.diffuse.g, 0.25f);
    EXPECT_EQ(read.dwRampSize, 1u);
    colours.dwSize = 12;
    EXPECT_EQ(sky->SetMaterial(&colours), DDERR_INVALIDPARAMS);

    D3DMATERIALHANDLE skyHandle = 0, again = 0, groundHandle = 0;
    ASSERT_EQ(sky->GetHandle(device, &skyHandle), D3D_OK);
    ASSERT_EQ(sky->GetHandle(device, &again), D3D_OK);
    ASSERT_EQ(ground->GetHandle(device, &groundHandle), D3D_OK);
    EXPECT_NE(skyHandle, 0u);
    EXPECT_EQ(skyHandle, again);
    EXPECT_NE(skyHandle, groundHandle);
    EXPECT_EQ(sky->GetHandle(nullptr, &again), DDERR_INVALIDPARAMS);
    ASSERT_NE(HostD3DFindMaterial(skyHandle), nullptr);
    EXPECT_EQ(HostD3DFindMaterial(skyHandle)->Values().diffuse.b, 1.0f);

    D3DMATERIALHANDLE background = 0;
    BOOL valid = TRUE;
    ASSERT_EQ(viewport_->GetBackground(&background, &valid), D3D_OK);
    EXPECT_FALSE(valid);
    ASSERT_EQ(viewport_->SetBackground(skyHandle), D3D_OK);
    ASSERT_EQ(viewport_->GetBackground(&background, &valid), D3D_OK);
    EXPECT_EQ(background, skyHandle);
    EXPECT_TRUE(valid);

    EXPECT_EQ(sky->Release(), 0u);
    EXPECT_EQ(HostD3DFindMaterial(skyHandle), nullptr);
    EXPECT_NE(HostD3DFindMaterial(groundHandle), nullptr);
    EXPECT_EQ(ground->Release(), 0u);
    EXPECT_EQ(HostD3DFindMaterial(groundHandle), nullptr);
    EXPECT_EQ(device->Release(), 0u);
}

TEST_F(D3DViewportTest, ObjectsCannotBeAggregated) {
    IUnknown* outer = d3d_;
    IDirect3DViewport2* viewport = nullptr;
    IDirect3DMaterial2* material = nullptr;
    EXPECT_EQ(d3d_->CreateViewport(&viewport, outer), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(d3d_->CreateMaterial(&material, outer), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(viewport, nullptr);
    EXPECT_EQ(material, nullptr);
}

} // namespace

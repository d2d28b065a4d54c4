// The Retained Mode object: its two interfaces on one count, its texture defaults, and frames made
// through either interface.
#include <gtest/gtest.h>

#include "host/rm/d3drm.h"
#include "host/rm/readback.h"

namespace {

ULONG CountOf(IUnknown* p) {
    p->AddRef();
    return p->Release();
}

TEST(RMObjectTest, BothInterfacesShareOneCount) {
    IDirect3DRM* rm = nullptr;
    ASSERT_EQ(Direct3DRMCreate(&rm), D3DRM_OK);
    ASSERT_NE(rm, nullptr);
    EXPECT_EQ(CountOf(rm), 1u);

    IDirect3DRM2* rm2 = nullptr;
    ASSERT_EQ(rm->QueryInterface(IID_IDirect3DRM2, reinterpret_cast<void**>(&rm2)), S_OK);
    ASSERT_NE(rm2, nullptr);
    EXPECT_EQ(CountOf(rm), 2u);
    EXPECT_EQ(CountOf(rm2), 2u);

    IUnknown* fromFirst = nullptr;
    IUnknown* fromSecond = nullptr;
    ASSERT_EQ(rm->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&fromFirst)), S_OK);
    ASSERT_EQ(rm2->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&fromSecond)), S_OK);
    EXPECT_EQ(fromFirst, fromSecond);
    EXPECT_EQ(fromFirst->Release(), 3u);
    EXPECT_EQ(fromSecond->Release(), 2u);

    IDirect3DRM* back = nullptr;
    ASSERT_EQ(rm2->QueryInterface(IID_IDirect3DRM, reinterpret_cast<void**>(&back)), S_OK);
    EXPECT_EQ(back, rm);
    EXPECT_EQ(back->Release(), 2u);

    void* none = reinterpret_cast<void*>(1);
    EXPECT_EQ(rm->QueryInterface(IID_IDirect3DRMFrame2, &none), E_NOINTERFACE);
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(rm->QueryInterface(IID_IDirect3DRM2, nullptr), E_POINTER);

    // The engine releases the second interface first, then the first; the object goes with the last.
    EXPECT_EQ(rm2->Release(), 1u);
    EXPECT_EQ(rm->Release(), 0u);
    EXPECT_EQ(Direct3DRMCreate(nullptr), E_POINTER);
}

TEST(RMObjectTest, TextureDefaultsAreStoredAndZeroIsRefused) {
    IDirect3DRM* rm = nullptr;
    ASSERT_EQ(Direct3DRMCreate(&rm), D3DRM_OK);
    IDirect3DRM2* rm2 = nullptr;
    ASSERT_EQ(rm->QueryInterface(IID_IDirect3DRM2, reinterpret_cast<void**>(&rm2)), S_OK);

    EXPECT_EQ(rm2->SetDefaultTextureColors(256), D3DRM_OK);
    EXPECT_EQ(rm2->SetDefaultTextureShades(256), D3DRM_OK);
    EXPECT_EQ(rm2->SetDefaultTextureColors(0), D3DRMERR_BADVALUE);
    EXPECT_EQ(rm2->SetDefaultTextureShades(0), D3DRMERR_BADVALUE);
    DWORD colours = 0, shades = 0;
    ASSERT_TRUE(HostRMDefaultTextureSettings(rm, &colours, &shades));
    EXPECT_EQ(colours, 256u);
    EXPECT_EQ(shades, 256u);

    EXPECT_EQ(rm2->Release(), 1u);
    EXPECT_EQ(rm->Release(), 0u);
}

TEST(RMObjectTest, FramesFromEitherInterface) {
    IDirect3DRM* rm = nullptr;
    ASSERT_EQ(Direct3DRMCreate(&rm), D3DRM_OK);
    IDirect3DRM2* rm2 = nullptr;
    ASSERT_EQ(rm->QueryInterface(IID_IDirect3DRM2, reinterpret_cast<void**>(&rm2)), S_OK);

    IDirect3DRMFrame* root = nullptr;
    ASSERT_EQ(rm->CreateFrame(nullptr, &root), D3DRM_OK);
    IDirect3DRMFrame2* child = nullptr;
    ASSERT_EQ(rm2->CreateFrame(root, &child), D3DRM_OK);
    IDirect3DRMFrame* parent = nullptr;
    ASSERT_EQ(child->GetParent(&parent), D3DRM_OK);
    EXPECT_EQ(parent, root);
    EXPECT_EQ(parent->Release(), 1u);

    EXPECT_EQ(rm2->CreateFrame(root, static_cast<IDirect3DRMFrame2**>(nullptr)), D3DRMERR_BADVALUE);
    IDirect3DRMFrame2* frame2 = nullptr;
    ASSERT_EQ(root->QueryInterface(IID_IDirect3DRMFrame2, reinterpret_cast<void**>(&frame2)), S_OK);
    EXPECT_EQ(static_cast<IDirect3DRMFrame*>(frame2), root);
    EXPECT_EQ(frame2->Release(), 1u);

    EXPECT_EQ(child->Release(), 1u); // the root still holds it
    EXPECT_EQ(root->Release(), 0u);
    EXPECT_EQ(rm2->Release(), 1u);
    EXPECT_EQ(rm->Release(), 0u);
}

} // namespace

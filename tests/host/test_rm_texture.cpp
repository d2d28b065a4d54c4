// Retained Mode textures over DirectDraw surfaces: the reference they hold, decal transparency and
// change notices.
#include <gtest/gtest.h>

#include "host/ddraw/ddraw.h"
#include "host/ddraw/testing.h"
#include "host/rm/d3drm.h"
#include "host/rm/texture.h"
#include "rm_test_support.h"
#include "tests/support/surfaces.h"

namespace {

ULONG CountOf(IUnknown* p) {
    p->AddRef();
    return p->Release();
}

class RMTextureTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(DirectDrawCreate(nullptr, &dd_, nullptr), DD_OK);
        rm2_ = NewRetainedMode();
        ASSERT_NE(rm2_, nullptr);
        surface_ = testsupport::NewTexture(dd_, 16, 16);
        ASSERT_NE(surface_, nullptr);
    }
    void TearDown() override {
        if (surface_) {
            EXPECT_EQ(surface_->Release(), 0u);
        }
        if (rm2_) rm2_->Release();
        if (dd_) dd_->Release();
        EXPECT_EQ(HostDDrawLiveObjects().surfaces, 0);
    }

    IDirectDraw* dd_ = nullptr;
    IDirect3DRM2* rm2_ = nullptr;
    IDirectDrawSurface* surface_ = nullptr;
};

TEST_F(RMTextureTest, TextureHoldsItsSurfaceUntilReleased) {
    IDirect3DRMTexture* texture = nullptr;
    ASSERT_EQ(rm2_->CreateTextureFromSurface(surface_, &texture), D3DRM_OK);
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(CountOf(surface_), 2u);
    EXPECT_EQ(HostRMTexture::From(texture)->Surface(), surface_);
    EXPECT_EQ(CountOf(texture), 1u);
    EXPECT_EQ(texture->Release(), 0u);
    EXPECT_EQ(CountOf(surface_), 1u);
}

TEST_F(RMTextureTest, DecalTransparencyAndChangeNotices) {
    IDirect3DRMTexture* texture = nullptr;
    ASSERT_EQ(rm2_->CreateTextureFromSurface(surface_, &texture), D3DRM_OK);
    EXPECT_FALSE(texture->GetDecalTransparency());
    EXPECT_EQ(texture->SetDecalTransparency(7), D3DRM_OK);
    EXPECT_EQ(texture->GetDecalTransparency(), TRUE);
    EXPECT_EQ(texture->SetDecalTransparency(FALSE), D3DRM_OK);
    EXPECT_FALSE(texture->GetDecalTransparency());

    HostRMTexture* host = HostRMTexture::From(texture);
    EXPECT_EQ(texture->Changed(TRUE, FALSE), D3DRM_OK);
    EXPECT_EQ(texture->Changed(TRUE, TRUE), D3DRM_OK);
    EXPECT_EQ(texture->Changed(FALSE, FALSE), D3DRM_OK);
    EXPECT_EQ(host->PixelChanges(), 2);
    EXPECT_EQ(host->PaletteChanges(), 1);
    texture->Release();
}

TEST_F(RMTextureTest, CreateRefusesMissingArguments) {
    IDirect3DRMTexture* texture = reinterpret_cast<IDirect3DRMTexture*>(1);
    EXPECT_EQ(rm2_->CreateTextureFromSurface(nullptr, &texture), D3DRMERR_BADVALUE);
    EXPECT_EQ(texture, nullptr);
    EXPECT_EQ(rm2_->CreateTextureFromSurface(surface_, nullptr), D3DRMERR_BADVALUE);
    EXPECT_EQ(CountOf(surface_), 1u);
}

TEST_F(RMTextureTest, QueryInterfaceAnswersTheTextureAndUnknownOnly) {
    IDirect3DRMTexture* texture = nullptr;
    ASSERT_EQ(rm2_->CreateTextureFromSurface(surface_, &texture), D3DRM_OK);
    IUnknown* unknown = nullptr;
    ASSERT_EQ(texture->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown)), S_OK);
    EXPECT_EQ(unknown->Release(), 1u);
    void* frame = reinterpret_cast<void*>(1);
    EXPECT_EQ(texture->QueryInterface(IID_IDirect3DRMFrame, &frame), E_NOINTERFACE);
    EXPECT_EQ(frame, nullptr);
    texture->Release();
}

} // namespace

// Image: loading keys blue and names the image after its file; a missing file leaves no surface and the
// name as it was; names are bounded; drawing is clipped and keyed.
#include "framework_test_support.h"

#include <string>

#include "framework/image.h"
#include "framework/surface_helpers.h"

using namespace fwtest;

namespace {

class ImageTest : public DisplayTest {
  protected:
    void SetUp() override {
        DisplayTest::SetUp();
        StartDisplay(false);
    }
};

} // namespace

TEST_F(ImageTest, LoadedImageIsNamedAfterItsFileAndKeyedBlue) {
    WriteBmp("Logo.bmp", 6, 4, [](int x, int) { return x == 0 ? 0x0000FFu : 0x00FF00u; });
    Image image("Logo.bmp");
    ASSERT_NE(nullptr, image.GetSurface());
    EXPECT_STREQ("Logo.bmp", image.name);
    EXPECT_EQ(6, image.width);
    EXPECT_EQ(4, image.height);
    EXPECT_EQ(0, image.x);
    DDCOLORKEY key = {};
    ASSERT_EQ(DD_OK, image.surface->GetColorKey(DDCKEY_SRCBLT, &key));
    EXPECT_EQ(0x001Fu, key.dwColorSpaceLowValue);
    // Drawn keyed: the blue column stays transparent.
    image.DrawAt(back_, 10, 20);
    EXPECT_EQ(0, PixelOf(back_, 10, 20));
    EXPECT_EQ(0x07E0, PixelOf(back_, 11, 20));
    EXPECT_EQ(0x07E0, PixelOf(back_, 15, 23));
    EXPECT_EQ(0, PixelOf(back_, 16, 23));
}

TEST_F(ImageTest, MissingFileLeavesNoSurfaceAndTheNameAsItWas) {
    Image image;
    image.SetName("kept");
    EXPECT_EQ(nullptr, image.Load("missing.bmp"));
    EXPECT_EQ(nullptr, image.GetSurface());
    EXPECT_EQ(0, image.width);
    EXPECT_EQ(0, image.height);
    EXPECT_STREQ("kept", image.name);
    image.DrawAt(back_, 0, 0); // nothing to draw, no failure
    EXPECT_EQ(0, PixelOf(back_, 0, 0));
}

TEST_F(ImageTest, LoadWithoutAFileEmptiesTheImage) {
    WriteSolidBmp("a.bmp", 3, 3, 0xFF0000);
    Image image("a.bmp");
    ASSERT_NE(nullptr, image.surface);
    EXPECT_EQ(nullptr, image.Load(nullptr));
    EXPECT_EQ(nullptr, image.surface);
    EXPECT_STREQ("", image.name);
}

TEST_F(ImageTest, ReloadingReleasesTheEarlierSurface) {
    WriteSolidBmp("a.bmp", 3, 3, 0xFF0000);
    WriteSolidBmp("b.bmp", 5, 2, 0x00FF00);
    int before = HostDDrawLiveObjects().surfaces;
    Image image("a.bmp");
    image.Load("b.bmp");
    EXPECT_EQ(before + 1, HostDDrawLiveObjects().surfaces);
    EXPECT_EQ(5, image.width);
    EXPECT_STREQ("b.bmp", image.name);
}

TEST_F(ImageTest, SetNamesPlacesAndOverridesTheSize) {
    WriteSolidBmp("pic.bmp", 8, 6, 0xFF0000);
    Image image;
    image.Set("title", "pic.bmp", 30, 40, 0, 3);
    EXPECT_STREQ("title", image.name);
    EXPECT_EQ(30, image.x);
    EXPECT_EQ(40, image.y);
    EXPECT_EQ(8, image.width); // 0 keeps the loaded width
    EXPECT_EQ(3, image.height);
    Image unnamed;
    unnamed.Set(nullptr, "pic.bmp", 0, 0, 0, 0);
    EXPECT_STREQ("pic.bmp", unnamed.name);
}

TEST_F(ImageTest, NamesAreBoundedAndTerminated) {
    Image image;
    std::string longName(400, 'n');
    image.SetName(longName.c_str());
    EXPECT_EQ(std::string(255, 'n'), image.name);
    image.SetName(nullptr);
    EXPECT_STREQ("", image.name);
}

TEST_F(ImageTest, AdoptTakesTheSurfaceAndItsSize) {
    IDirectDrawSurface* surface = MakeSurface(12, 7, 0x1234);
    Image image;
    image.Adopt(surface);
    EXPECT_EQ(surface, image.GetSurface());
    EXPECT_EQ(12, image.width);
    EXPECT_EQ(7, image.height);
    image.SetColorKey(0, 0, 0);
    DDCOLORKEY key = {1, 1};
    ASSERT_EQ(DD_OK, surface->GetColorKey(DDCKEY_SRCBLT, &key));
    EXPECT_EQ(0u, key.dwColorSpaceLowValue);
    // The image releases it: the fixture's count of live surfaces checks that.
}

TEST_F(ImageTest, DrawingIsClippedAtTheTargetsEdges) {
    WriteSolidBmp("pic.bmp", 8, 8, 0xFFFFFF);
    Image image("pic.bmp");
    image.DrawAt(back_, 796, -4);
    EXPECT_EQ(0xFFFF, PixelOf(back_, 799, 0));
    EXPECT_EQ(0xFFFF, PixelOf(back_, 796, 3));
    EXPECT_EQ(0, PixelOf(back_, 795, 3));
    EXPECT_EQ(0, PixelOf(back_, 799, 4));
}

TEST_F(ImageTest, LoadDepthEightGivesAPalettisedSurface) {
    WriteSolidBmp("pic.bmp", 4, 4, 0xFFFFFF);
    Image image;
    ASSERT_NE(nullptr, image.LoadDepth("pic.bmp", 8));
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof(desc);
    ASSERT_EQ(DD_OK, image.surface->GetSurfaceDesc(&desc));
    EXPECT_EQ(8u, desc.ddpfPixelFormat.dwRGBBitCount);
    EXPECT_STREQ("pic.bmp", image.name);
}

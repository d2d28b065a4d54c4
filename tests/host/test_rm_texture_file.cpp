// Retained Mode textures read from files: binary and text pixmaps, bitmaps, and the files refused.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "rm_test_support.h"
#include "host/ddraw/testing.h"
#include "host/rm/d3drm.h"
#include "host/rm/ppm.h"
#include "host/rm/texture.h"
#include "test_gdi_support.h"
#include "tests/support/files.h"
#include "tests/support/surfaces.h"
#include "tests/support/temp_folder.h"

namespace {

std::optional<HostRMImage> Decode(const std::string& text) {
    return HostDecodePpm(reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

std::vector<int> Rgb(const HostRMImage& image) {
    return std::vector<int>(image.rgb.begin(), image.rgb.end());
}

TEST(RMPpmTest, BinaryAndTextFormsReadTheSamePicture) {
    auto binary = Decode(std::string("P6 # two by two\n2 2\n255\n") +
                         std::string("\xff\x00\x00\x00\xff\x00\x00\x00\xff\x10\x20\x30", 12));
    auto text = Decode("P3\n# two by two\n2 2 # size\n255\n255 0 0  0 255 0\n0 0 255 16 32 48");
    ASSERT_TRUE(binary);
    ASSERT_TRUE(text);
    EXPECT_EQ(binary->width, 2);
    EXPECT_EQ(binary->height, 2);
    EXPECT_EQ(Rgb(*binary), (std::vector<int>{255, 0, 0, 0, 255, 0, 0, 0, 255, 16, 32, 48}));
    EXPECT_EQ(Rgb(*text), Rgb(*binary));
}

TEST(RMPpmTest, SamplesAreScaledFromTheirMaximum) {
    auto small = Decode("P3 1 1 15 15 0 8");
    ASSERT_TRUE(small);
    EXPECT_EQ(Rgb(*small), (std::vector<int>{255, 0, 136}));
    // Two bytes per sample, high byte first, above 255.
    auto wide = Decode(std::string("P6 1 1 65535\n") + std::string("\xff\xff\x80\x00\x00\x00", 6));
    ASSERT_TRUE(wide);
    EXPECT_EQ(Rgb(*wide), (std::vector<int>{255, 128, 0}));
}

TEST(RMPpmTest, BrokenFilesAreRefused) {
    const std::vector<std::string> broken = {
        "",
        "P5 1 1 255\n\x01",                         // grey map
        "P6 1 1 255\n\x01\x02",                     // short pixel data
        "P6 1 1 255",                               // no pixel data at all
        "P3 1 1 255 1 2",                           // short text data
        "P3 1 1 255 1 2 300",                       // sample above the maximum
        "P3 1 1 255 1 2 x",                         // not a number
        "P6 0 1 255\n",                             // no width
        "P6 1 1 0\n\x00\x00\x00",                   // no maximum
        "P6 1 1 65536\n\x00\x00\x00\x00\x00\x00",   // maximum too large
        "P6 4097 1 255\n",                          // wider than a texture may be
        "P6 99999999999999999999 1 255\n",          // a number that overflows
        "P6 4096 4096 255\n\x01\x02\x03",           // a huge picture in a tiny file
        "P3 4096 4096 255\n1 2 3",                  // the same in text
        std::string("P6 1 1 255\n\x01\x02\x03", 14) // no single space before the samples
            .replace(10, 1, "x"),
    };
    for (const std::string& file : broken)
        EXPECT_FALSE(Decode(file)) << file;
    EXPECT_FALSE(HostDecodePpm(nullptr, 10));
}

// 16-bit texel (x, y) of a texture's surface.
WORD Texel(IDirect3DRMTexture* texture, int x, int y) {
    testsupport::LockedPixels pixels(HostRMTexture::From(texture)->Surface());
    return pixels.ok() ? pixels.At(x, y) : WORD(0xDEAD);
}

class RMLoadTextureTest : public ::testing::Test {
  protected:
    void SetUp() override {
        rm2_ = NewRetainedMode();
        ASSERT_NE(rm2_, nullptr);
    }
    void TearDown() override {
        if (rm2_) {
            EXPECT_EQ(rm2_->Release(), 0u);
        }
        EXPECT_EQ(HostDDrawLiveObjects().surfaces, 0);
    }

    testsupport::TempCurrentFolder folder_{"quib-rm-tex"};
    IDirect3DRM2* rm2_ = nullptr;
};

TEST_F(RMLoadTextureTest, PixmapBecomesA565TextureSurface) {
    testsupport::WriteText("Tex/Gdk_Fill.ppm", "P3 2 1 255  255 0 0  0 0 255");
    IDirect3DRMTexture* texture = nullptr;
    ASSERT_EQ(rm2_->LoadTexture("tex\\gdk_fill.ppm", &texture), D3DRM_OK);
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(Texel(texture, 0, 0), gditest::To565(255, 0, 0));
    EXPECT_EQ(Texel(texture, 1, 0), gditest::To565(0, 0, 255));
    EXPECT_EQ(texture->GetShades(), 16u);
    EXPECT_EQ(texture->SetShades(1), D3DRM_OK);
    EXPECT_EQ(texture->GetShades(), 1u);
    EXPECT_EQ(texture->SetShades(0), D3DRMERR_BADVALUE);
    EXPECT_EQ(texture->Release(), 0u);
}

TEST_F(RMLoadTextureTest, BitmapFilesLoadThroughTheBitmapReader) {
    gditest::BmpDesc desc;
    desc.width = 2;
    desc.height = 1;
    desc.bits = 8;
    desc.colors = {{0, 0, 255, 0}, {255, 0, 0, 0}};
    desc.pixels = {1, 0, 0, 0};
    testsupport::WriteBytes("paint.bmp", gditest::MakeBmp(desc));
    IDirect3DRM* rm1 = nullptr;
    ASSERT_EQ(rm2_->QueryInterface(IID_IDirect3DRM, reinterpret_cast<void**>(&rm1)), S_OK);
    IDirect3DRMTexture* texture = nullptr;
    ASSERT_EQ(rm1->LoadTexture("PAINT.BMP", &texture), D3DRM_OK);
    EXPECT_EQ(Texel(texture, 0, 0), gditest::To565(0, 0, 255));
    EXPECT_EQ(Texel(texture, 1, 0), gditest::To565(255, 0, 0));
    texture->Release();
    rm1->Release();
}

TEST_F(RMLoadTextureTest, MissingAndBrokenFilesFail) {
    testsupport::WriteText("broken.ppm", "P6 2 2 255\n\x01");
    testsupport::WriteText("words.ppm", "hello");
    IDirect3DRMTexture* texture = reinterpret_cast<IDirect3DRMTexture*>(1);
    EXPECT_EQ(rm2_->LoadTexture("absent.ppm", &texture), D3DRMERR_FILENOTFOUND);
    EXPECT_EQ(texture, nullptr);
    EXPECT_EQ(rm2_->LoadTexture("broken.ppm", &texture), D3DRMERR_BADFILE);
    EXPECT_EQ(rm2_->LoadTexture("words.ppm", &texture), D3DRMERR_BADFILE);
    EXPECT_EQ(rm2_->LoadTexture(nullptr, &texture), D3DRMERR_BADVALUE);
    EXPECT_EQ(rm2_->LoadTexture("broken.ppm", nullptr), D3DRMERR_BADVALUE);
}

} // namespace

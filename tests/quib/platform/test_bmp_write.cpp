// Saving surfaces as BMP files: byte-exact headers and rows, zero padding, palettes, the depths the
// writer supports, failures reported as failures, and round trips back through the readers.
#include <cstdlib>
#include <filesystem>

#include "quib/platform/bmpfile.h"
#include "quib/platform/dib.h"
#include "tests/quib/bitmap_test_support.h"

using namespace bmptest;

namespace {

class BmpWriteTest : public EngineDisplayTest {
  protected:
    void SetUp() override {
        EngineDisplayTest::SetUp();
        record_ = (Folder() / "record.txt").string();
        setenv("HOST_RECORD", record_.c_str(), 1);
    }
    void TearDown() override {
        unsetenv("HOST_RECORD");
        EngineDisplayTest::TearDown();
    }
    std::string Record() const { return testsupport::ReadText(record_); }

  private:
    std::string record_;
};

} // namespace

TEST_F(BmpWriteTest, Surface565BecomesAByteExact24BitFile) {
    IDirectDrawSurface* surface = MakeSurface(3, 2, 16);
    ASSERT_NE(surface, nullptr);
    // Top row: white, pure red, pure green; bottom row: pure blue, black, a mixed colour.
    SetPixels(surface, {0xFFFF, 0xF800, 0x07E0, 0x001F, 0x0000, 0x8410});
    ASSERT_EQ(QuibWriteSurfaceToBMPFile("out.bmp", surface), 1);
    surface->Release();

    const std::vector<uint8_t> file = ReadBytes("out.bmp");
    ASSERT_EQ(file.size(), 78u);
    EXPECT_EQ(Le16(file, 0), 0x4D42);
    EXPECT_EQ(Le32(file, 2), 78u);
    EXPECT_EQ(Le32(file, 6), 0u); // both reserved fields
    EXPECT_EQ(Le32(file, 10), 54u);
    EXPECT_EQ(Le32(file, 14), 40u);
    EXPECT_EQ(Le32(file, 18), 3u);
    EXPECT_EQ(Le32(file, 22), 2u);
    EXPECT_EQ(Le16(file, 26), 1);
    EXPECT_EQ(Le16(file, 28), 24);
    EXPECT_EQ(Le32(file, 30), 0u);
    EXPECT_EQ(Le32(file, 34), 24u);
    EXPECT_EQ(Le32(file, 38), 0u);
    EXPECT_EQ(Le32(file, 42), 0u);
    EXPECT_EQ(Le32(file, 46), 0u);
    EXPECT_EQ(Le32(file, 50), 0u);
    // First file row = the surface's bottom row: blue, black, (0x80, 0x80, 0x80); then 3 zero bytes.
    const std::vector<uint8_t> bottom(file.begin() + 54, file.begin() + 66);
    EXPECT_EQ(bottom, (std::vector<uint8_t>{248, 0, 0, 0, 0, 0, 128, 128, 128, 0, 0, 0}));
    const std::vector<uint8_t> top(file.begin() + 66, file.begin() + 78);
    EXPECT_EQ(top, (std::vector<uint8_t>{248, 252, 248, 0, 0, 248, 0, 252, 0, 0, 0, 0}));
}

TEST_F(BmpWriteTest, Surface555WidensEachFiveBitChannel) {
    IDirectDrawSurface* surface = MakeSurface(1, 1, 16, true);
    ASSERT_NE(surface, nullptr);
    SetPixels(surface, {0x7FFF});
    ASSERT_EQ(QuibWriteSurfaceToBMPFile("w.bmp", surface), 1);
    surface->Release();
    const std::vector<uint8_t> file = ReadBytes("w.bmp");
    ASSERT_EQ(file.size(), 58u);
    EXPECT_EQ(std::vector<uint8_t>(file.begin() + 54, file.end()), (std::vector<uint8_t>{248, 248, 248, 0}));
}

TEST_F(BmpWriteTest, ThirtyTwoBitSurfaceIsWrittenAs24Bit) {
    IDirectDrawSurface* surface = MakeSurface(2, 1, 32);
    ASSERT_NE(surface, nullptr);
    SetPixels(surface, {0x00123456, 0x00FEDCBA});
    ASSERT_EQ(QuibWriteSurfaceToBMPFile("t.bmp", surface), 1);
    surface->Release();
    const std::vector<uint8_t> file = ReadBytes("t.bmp");
    ASSERT_EQ(file.size(), 62u);
    EXPECT_EQ(std::vector<uint8_t>(file.begin() + 54, file.end()),
              (std::vector<uint8_t>{0x56, 0x34, 0x12, 0xBA, 0xDC, 0xFE, 0, 0}));
}

TEST_F(BmpWriteTest, EightBitSurfaceKeepsIndicesAndAll256PaletteEntries) {
    IDirectDrawSurface* surface = MakeSurface(3, 2, 8);
    ASSERT_NE(surface, nullptr);
    PALETTEENTRY entries[256] = {};
    entries[1] = {255, 0, 0, 0};
    entries[2] = {0, 0, 255, 0};
    entries[255] = {10, 20, 30, 0};
    IDirectDrawPalette* palette = nullptr;
    ASSERT_EQ(g_lpDD->CreatePalette(DDPCAPS_8BIT | DDPCAPS_ALLOW256, entries, &palette, nullptr), DD_OK);
    ASSERT_EQ(surface->SetPalette(palette), DD_OK);
    palette->Release();
    SetPixels(surface, {1, 2, 255, 0, 1, 2});
    ASSERT_EQ(QuibWriteSurfaceToBMPFile("p.bmp", surface), 1);
    surface->Release();

    const std::vector<uint8_t> file = ReadBytes("p.bmp");
    ASSERT_EQ(file.size(), 54u + 1024 + 8);
    EXPECT_EQ(Le32(file, 10), 1078u);
    EXPECT_EQ(Le16(file, 28), 8);
    EXPECT_EQ(Le32(file, 46), 256u);
    EXPECT_EQ(Le32(file, 50), 256u);
    EXPECT_EQ(std::vector<uint8_t>(file.begin() + 54 + 4, file.begin() + 54 + 12),
              (std::vector<uint8_t>{0, 0, 255, 0, 255, 0, 0, 0})); // entries 1 and 2, blue first
    EXPECT_EQ(std::vector<uint8_t>(file.begin() + 54 + 1020, file.begin() + 54 + 1024),
              (std::vector<uint8_t>{30, 20, 10, 0}));
    EXPECT_EQ(std::vector<uint8_t>(file.begin() + 1078, file.end()),
              (std::vector<uint8_t>{0, 1, 2, 0, 1, 2, 255, 0}));
}

TEST_F(BmpWriteTest, EightBitSurfaceWithoutPaletteGetsAGreyRamp) {
    IDirectDrawSurface* surface = MakeSurface(1, 1, 8);
    ASSERT_NE(surface, nullptr);
    SetPixels(surface, {77});
    ASSERT_EQ(QuibWriteSurfaceToBMPFile("g.bmp", surface), 1);
    surface->Release();
    const std::vector<uint8_t> file = ReadBytes("g.bmp");
    ASSERT_EQ(file.size(), 1078u + 4);
    EXPECT_EQ(std::vector<uint8_t>(file.begin() + 54 + 4 * 77, file.begin() + 54 + 4 * 78),
              (std::vector<uint8_t>{77, 77, 77, 0}));
    EXPECT_EQ(file[1078], 77);
}

TEST_F(BmpWriteTest, FileThatCannotBeCreatedReturnsZeroAndShowsTheBox) {
    IDirectDrawSurface* surface = MakeSurface(2, 2, 16);
    ASSERT_NE(surface, nullptr);
    EXPECT_EQ(QuibWriteSurfaceToBMPFile("missing\\folder\\x.bmp", surface), 0);
    surface->Release();
    EXPECT_NE(Record().find("message missing\\folder\\x.bmp: Error opening file"), std::string::npos)
        << Record();
}

TEST_F(BmpWriteTest, LockedSurfaceIsADisplayErrorAndWritesNoFile) {
    IDirectDrawSurface* surface = MakeSurface(2, 2, 16);
    ASSERT_NE(surface, nullptr);
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    ASSERT_EQ(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
    EXPECT_EQ(QuibWriteSurfaceToBMPFile("l.bmp", surface), 0);
    EXPECT_NE(std::string(g_ErrorText).find("DDERR_SURFACEBUSY"), std::string::npos) << g_ErrorText;
    surface->Unlock(nullptr);
    surface->Release();
    EXPECT_FALSE(std::filesystem::exists("l.bmp"));
    EXPECT_EQ(QuibWriteSurfaceToBMPFile("n.bmp", nullptr), 0);
}

TEST_F(BmpWriteTest, WrittenFileReadsBackThroughBothReaders) {
    IDirectDrawSurface* surface = MakeSurface(5, 3, 16);
    ASSERT_NE(surface, nullptr);
    std::vector<uint32_t> original;
    for (int i = 0; i < 15; ++i)
        original.push_back(uint32_t(i * 4391 + 17) & 0xFFFF);
    SetPixels(surface, original);
    ASSERT_EQ(QuibWriteSurfaceToBMPFile("r.bmp", surface), 1);
    surface->Release();

    // The engine's reader and a DIB section of the image.
    BITMAPINFOHEADER* image = ReadBMPFile("r.bmp");
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(DIBRowBytes(image), 16u);
    HBITMAP section = CreateDIBSectionFromDIB(image);
    ASSERT_NE(section, nullptr);
    BITMAP description = {};
    ASSERT_EQ(GetObjectA(section, sizeof description, &description), int(sizeof description));
    EXPECT_EQ(std::memcmp(description.bmBits, DIBBits(image), DIBImageBytes(image)), 0);
    DeleteObject(section);
    std::free(image);

    // The loader: widening with zero low bits and truncating back gives every 5-6-5 value exactly.
    IDirectDrawSurface* loaded = QuibLoadBitmap("r.bmp", 16);
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(Pixels(loaded), original);
    loaded->Release();
}

TEST_F(BmpWriteTest, WriteDibFileWritesHeaderTableAndRowsAsTheyAre) {
    BITMAPINFOHEADER* image = static_cast<BITMAPINFOHEADER*>(std::calloc(1, 40 + 8 + 4));
    image->biSize = 40;
    image->biWidth = 2;
    image->biHeight = 1;
    image->biPlanes = 1;
    image->biBitCount = 1;
    image->biClrUsed = 2;
    DIBBits(image)[0] = 0x80;
    ASSERT_EQ(WriteDIBFile("d.bmp", image), 1);
    std::free(image);
    const std::vector<uint8_t> file = ReadBytes("d.bmp");
    ASSERT_EQ(file.size(), 14u + 40 + 8 + 4);
    EXPECT_EQ(Le32(file, 2), uint32_t(file.size()));
    EXPECT_EQ(Le32(file, 10), 62u);
    EXPECT_EQ(file[62], 0x80);
}

// Malformed bitmap files: every one gives NULL, none crashes (run these under the sanitizer build too).
#include <random>

#include "host/gdi/dib.h"
#include "test_gdi_support.h"

using gditest::BmpDesc;
using gditest::MakeBmp;
using gditest::PackRows;
using gditest::TempFolder;

namespace {

BmpDesc Valid24() {
    BmpDesc desc;
    desc.width = 3;
    desc.height = 2;
    desc.pixels = PackRows({{0xFF0000, 0x00FF00, 0x0000FF}, {1, 2, 3}}, 24);
    return desc;
}

BmpDesc Valid8() {
    BmpDesc desc;
    desc.width = 3;
    desc.height = 2;
    desc.bits = 8;
    desc.colors = {{0, 0, 0, 0}, {1, 1, 1, 0}, {2, 2, 2, 0}};
    desc.colorsUsed = 3;
    desc.pixels = PackRows({{0, 1, 2}, {2, 1, 0}}, 8);
    return desc;
}

BmpDesc ValidRle8() {
    BmpDesc desc = Valid8();
    desc.compression = BI_RLE8;
    desc.pixels = {3, 1, 0, 0, 3, 2, 0, 1};
    return desc;
}

bool Decodes(const std::vector<BYTE>& bytes) {
    return HostDecodeBmp(bytes.data(), bytes.size()) != nullptr;
}

void Put32(std::vector<BYTE>& bytes, size_t offset, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes[offset + i] = static_cast<BYTE>(value >> (8 * i));
}

} // namespace

TEST(GdiBmpMalformed, TheValidBaselinesDecode) {
    // Every refusal below changes one thing in one of these.
    EXPECT_TRUE(Decodes(MakeBmp(Valid24())));
    EXPECT_TRUE(Decodes(MakeBmp(Valid8())));
    EXPECT_TRUE(Decodes(MakeBmp(ValidRle8())));
}

TEST(GdiBmpMalformed, EveryTruncationIsRefused) {
    for (const BmpDesc& desc : {Valid24(), Valid8()}) {
        std::vector<BYTE> bytes = MakeBmp(desc);
        for (size_t length = 0; length < bytes.size(); ++length) {
            std::vector<BYTE> cut(bytes.begin(), bytes.begin() + static_cast<ptrdiff_t>(length));
            EXPECT_FALSE(Decodes(cut)) << "cut at " << length << " of " << bytes.size();
        }
    }
    EXPECT_EQ(HostDecodeBmp(nullptr, 100), nullptr);
}

TEST(GdiBmpMalformed, BadSizesAreRefused) {
    struct Case {
        const char* what;
        int32_t width, height;
    };
    for (Case c : {Case{"zero width", 0, 2}, Case{"zero height", 3, 0}, Case{"negative width", -3, 2},
                   Case{"most negative height", 3, INT32_MIN}, Case{"huge width", 0x7FFFFFFF, 1},
                   Case{"huge height", 1, 0x7FFFFFFF}, Case{"huge both", 0x10000, 0x10000},
                   Case{"larger than the file", 300, 300}}) {
        BmpDesc desc = Valid24();
        desc.width = c.width;
        desc.height = c.height;
        EXPECT_FALSE(Decodes(MakeBmp(desc))) << c.what;
    }
    BmpDesc core = Valid24();
    core.headerSize = 12;
    core.width = 0;
    EXPECT_FALSE(Decodes(MakeBmp(core))) << "core header, zero width";
}

TEST(GdiBmpMalformed, BadHeaderFieldsAreRefused) {
    auto refused = [](BmpDesc desc, const char* what) { EXPECT_FALSE(Decodes(MakeBmp(desc))) << what; };
    BmpDesc desc = Valid24();
    desc.planes = 0;
    refused(desc, "zero planes");
    desc = Valid24();
    desc.planes = 2;
    refused(desc, "two planes");
    for (int bits : {0, 2, 7, 12, 48, 64}) {
        desc = Valid24();
        desc.bits = bits;
        refused(desc, "odd bit count");
    }
    for (uint32_t compression : {4u, 5u, 6u, 99u}) {
        desc = Valid24();
        desc.compression = compression;
        refused(desc, "unknown compression");
    }
    desc = Valid24();
    desc.compression = BI_RLE8;
    refused(desc, "RLE8 on 24 bits");
    desc = ValidRle8();
    desc.height = -2;
    refused(desc, "top-down RLE");
    desc = Valid24();
    desc.compression = BI_BITFIELDS;
    desc.masks[0] = 0xFF0000;
    desc.masks[1] = 0xFF00;
    desc.masks[2] = 0xFF;
    refused(desc, "bitfields on 24 bits");
    desc = Valid24();
    desc.headerSize = 12;
    desc.bits = 16;
    refused(desc, "16 bits in a core header");

    std::vector<BYTE> bytes = MakeBmp(Valid24());
    bytes[0] = 'M';
    EXPECT_FALSE(Decodes(bytes)) << "not BM";
    for (uint32_t headerSize : {0u, 16u, 39u, 41u, 64u, 200u, 0xFFFFFFFFu}) {
        bytes = MakeBmp(Valid24());
        Put32(bytes, 14, headerSize);
        EXPECT_FALSE(Decodes(bytes)) << "header size " << headerSize;
    }
}

TEST(GdiBmpMalformed, BadMasksAreRefused) {
    struct Case {
        const char* what;
        uint32_t r, g, b;
    };
    for (Case c :
         {Case{"overlapping", 0xF800, 0x0FE0, 0x001F}, Case{"not contiguous", 0xF800, 0x05E0, 0x001F},
          Case{"wider than 16 bits", 0x1F800, 0x07E0, 0x001F}, Case{"all zero", 0, 0, 0}}) {
        BmpDesc desc;
        desc.width = 2;
        desc.bits = 16;
        desc.compression = BI_BITFIELDS;
        desc.masks[0] = c.r;
        desc.masks[1] = c.g;
        desc.masks[2] = c.b;
        desc.pixels = PackRows({{1, 2}}, 16);
        EXPECT_FALSE(Decodes(MakeBmp(desc))) << c.what;
    }
}

TEST(GdiBmpMalformed, BadOffsetsAreRefused) {
    for (int64_t offset : {int64_t{1}, int64_t{14}, int64_t{53}, int64_t{10000}, int64_t{0xFFFFFFFF}}) {
        BmpDesc desc = Valid24();
        desc.pixelOffset = offset;
        EXPECT_FALSE(Decodes(MakeBmp(desc))) << "offset " << offset;
    }
    BmpDesc desc = Valid24();
    std::vector<BYTE> bytes = MakeBmp(desc);
    Put32(bytes, 10, static_cast<uint32_t>(bytes.size() - 4)); // rows would run past the end
    EXPECT_FALSE(Decodes(bytes));
}

TEST(GdiBmpMalformed, ColourCountsOverTwoHundredFiftySixAreRefused) {
    for (uint32_t used : {257u, 1000u, 16384u, 0xFFFFFFFFu}) {
        BmpDesc desc = Valid8();
        desc.colorsUsed = used;
        EXPECT_FALSE(Decodes(MakeBmp(desc))) << used << " colours on 8 bits";
        desc = Valid24();
        desc.colorsUsed = used;
        EXPECT_FALSE(Decodes(MakeBmp(desc))) << used << " colours on 24 bits";
    }
    BmpDesc desc = Valid8();
    desc.colorsUsed = 200; // announced, but the file ends before the table does
    desc.pixelOffset = 0;
    desc.pixels.clear();
    EXPECT_FALSE(Decodes(MakeBmp(desc)));
}

TEST(GdiBmpMalformed, RunLengthOverrunsAreRefused) {
    struct Case {
        const char* what;
        std::vector<BYTE> codes;
    };
    for (const Case& c :
         {Case{"run past the row end", {4, 1, 0, 1}},
          Case{"absolute past the row end", {0, 4, 1, 2, 3, 4, 0, 1}},
          Case{"too many rows", {0, 0, 0, 0, 0, 0, 3, 1, 0, 1}},
          Case{"delta past the right edge", {0, 2, 4, 0, 0, 1}},
          Case{"delta past the top", {0, 2, 0, 3, 1, 1, 0, 1}}, Case{"absolute cut short", {0, 3, 1, 2}},
          Case{"delta cut short", {0, 2, 1}}, Case{"odd trailing byte", {3, 1, 0}},
          Case{"run at the top after the last row", {0, 0, 0, 0, 1, 1}}}) {
        BmpDesc desc = ValidRle8();
        desc.pixels = c.codes;
        EXPECT_FALSE(Decodes(MakeBmp(desc))) << c.what;
    }
    BmpDesc rle4 = ValidRle8();
    rle4.bits = 4;
    rle4.compression = BI_RLE4;
    rle4.pixels = {4, 0x11, 0, 1};
    EXPECT_FALSE(Decodes(MakeBmp(rle4))) << "RLE4 run past the row end";
    rle4.pixels = {0, 5, 0x12, 0x34, 0, 1};
    EXPECT_FALSE(Decodes(MakeBmp(rle4))) << "RLE4 absolute past the row end";
    BmpDesc noData = ValidRle8();
    noData.pixels.clear();
    EXPECT_FALSE(Decodes(MakeBmp(noData))) << "no RLE data at all";
}

TEST(GdiBmpMalformed, LoadImageRefusesMalformedFiles) {
    TempFolder folder;
    BmpDesc desc = Valid24();
    desc.height = 0x7FFFFFFF;
    std::string huge = folder.write("huge.bmp", MakeBmp(desc));
    EXPECT_EQ(LoadImageA(nullptr, huge.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION),
              nullptr);
    std::vector<BYTE> bytes = MakeBmp(Valid8());
    bytes.resize(bytes.size() - 1);
    std::string cut = folder.write("cut.bmp", bytes);
    EXPECT_EQ(LoadImageA(nullptr, cut.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION),
              nullptr);
    std::string empty = folder.write("empty.bmp", {});
    EXPECT_EQ(LoadImageA(nullptr, empty.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE), nullptr);
}

TEST(GdiBmpMalformed, RandomCorruptionNeverCrashes) {
    // Corrupts valid files of each kind byte by byte with a fixed seed. Whatever decodes must describe a
    // picture within the limits whose rows can all be read.
    std::mt19937 random(12345);
    BmpDesc rle4 = ValidRle8();
    rle4.bits = 4;
    rle4.compression = BI_RLE4;
    rle4.pixels = {3, 0x12, 0, 0, 0, 3, 0x12, 0x30, 0, 1};
    BmpDesc fields = Valid24();
    fields.headerSize = 124;
    fields.bits = 16;
    fields.compression = BI_BITFIELDS;
    fields.masks[0] = 0xF800;
    fields.masks[1] = 0x07E0;
    fields.masks[2] = 0x001F;
    fields.pixels = PackRows({{1, 2, 3}, {4, 5, 6}}, 16);
    BmpDesc core = Valid8();
    core.headerSize = 12;
    core.colors.resize(256);
    int decoded = 0;
    for (const BmpDesc& desc : {Valid24(), Valid8(), ValidRle8(), rle4, fields, core}) {
        std::vector<BYTE> original = MakeBmp(desc);
        for (int round = 0; round < 3000; ++round) {
            std::vector<BYTE> bytes = original;
            int changes = 1 + static_cast<int>(random() % 4);
            for (int i = 0; i < changes; ++i)
                bytes[random() % bytes.size()] = static_cast<BYTE>(random());
            if (random() % 8 == 0) bytes.resize(random() % bytes.size());
            std::unique_ptr<HostDib> dib = HostDecodeBmp(bytes.data(), bytes.size());
            if (!dib) continue;
            ++decoded;
            ASSERT_GE(dib->width, 1);
            ASSERT_LE(dib->width, kHostDibMaxSide);
            ASSERT_LE(dib->stride * dib->height, kHostDibMaxBytes);
            unsigned sum = 0;
            for (int y = 0; y < dib->height; ++y)
                sum += dib->Row(y)[dib->stride - 1];
            (void)sum;
        }
    }
    EXPECT_GT(decoded, 0) << "some corruptions (in pixels) still decode";
}

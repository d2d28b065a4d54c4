// Blt and BltFast: colour keys in both 16-bit formats, fills with raw values, stretching, refused
// rectangles, blits within one surface, and surfaces of different pitches.
#include "ddraw_test_support.h"

using namespace ddraw_test;

namespace {

// What a blit of sourceRect of src (width sw) onto destRect of dst (width dw) must give, computed pixel
// by pixel from copies of both pictures (so blits within one surface read the picture before the blit):
// each destination pixel takes the source pixel under its centre unless that pixel is the key.
std::vector<DWORD> ExpectedBlit(std::vector<DWORD> dst, int dw, const std::vector<DWORD>& src, int sw,
                                const RECT& s, const RECT& d, bool keyed, DWORD key) {
    int sWidth = s.right - s.left, sHeight = s.bottom - s.top;
    int dWidth = d.right - d.left, dHeight = d.bottom - d.top;
    for (int y = 0; y < dHeight; ++y)
        for (int x = 0; x < dWidth; ++x) {
            int sx = s.left + int((2 * x + 1) * sWidth / (2 * dWidth));
            int sy = s.top + int((2 * y + 1) * sHeight / (2 * dHeight));
            DWORD p = src[size_t(sy * sw + sx)];
            if (!keyed || p != key) dst[size_t((d.top + y) * dw + d.left + x)] = p;
        }
    return dst;
}

} // namespace

class DDrawBlitTest : public DDrawTest {
  protected:
    // A w x h surface in the given 16-bit format filled with pixels.
    IDirectDrawSurface* Make16(int w, int h, bool is555, const std::vector<DWORD>& pixels) {
        DDPIXELFORMAT format = Format16(is555);
        IDirectDrawSurface* s = Offscreen(w, h, &format);
        WritePixels(s, pixels);
        return s;
    }
};

TEST_F(DDrawBlitTest, SourceKeyMatchesOnlyTheExactRawValueIn565And555) {
    for (bool is555 : {false, true}) {
        SCOPED_TRACE(is555 ? "5-5-5" : "5-6-5");
        // Pure blue is 0x001F in both formats; its neighbours (one step of any channel) are not the key.
        const DWORD blue = 0x001F;
        const DWORD nearBlue[] = {
            0x001E, 0x003F, DWORD(is555 ? 0x041F : 0x081F), DWORD(is555 ? 0x801F : 0x0020), 0x0000, 0xFFFF};
        const int w = 37, h = 3; // not a multiple of any vector width
        std::vector<DWORD> src(size_t(w * h));
        for (size_t i = 0; i < src.size(); ++i)
            src[i] = (i % 3 == 0) ? blue : nearBlue[i % 6];
        IDirectDrawSurface* source = Make16(w, h, is555, src);
        IDirectDrawSurface* target = Make16(w, h, is555, std::vector<DWORD>(size_t(w * h), 0x5555));
        DDCOLORKEY key = {blue, blue};
        ASSERT_EQ(DD_OK, source->SetColorKey(DDCKEY_SRCBLT, &key));
        ASSERT_EQ(DD_OK, target->Blt(nullptr, source, nullptr, DDBLT_WAIT | DDBLT_KEYSRC, nullptr));
        std::vector<DWORD> got = ReadPixels(target);
        for (size_t i = 0; i < got.size(); ++i)
            EXPECT_EQ(src[i] == blue ? 0x5555u : src[i], got[i]) << i;
        EXPECT_EQ(0u, source->Release());
        EXPECT_EQ(0u, target->Release());
    }
}

TEST_F(DDrawBlitTest, WithoutKeyFlagEveryPixelIsCopied) {
    std::vector<DWORD> src = Pattern(5, 5, 0x1A);
    src[3] = 0x001F;
    IDirectDrawSurface* source = Make16(5, 5, false, src);
    IDirectDrawSurface* target = Make16(5, 5, false, std::vector<DWORD>(25, 0));
    DDCOLORKEY key = {0x001F, 0x001F};
    ASSERT_EQ(DD_OK, source->SetColorKey(DDCKEY_SRCBLT, &key));
    ASSERT_EQ(DD_OK, target->Blt(nullptr, source, nullptr, DDBLT_WAIT, nullptr));
    EXPECT_EQ(src, ReadPixels(target));
    EXPECT_EQ(0u, source->Release());
    EXPECT_EQ(0u, target->Release());
}

TEST_F(DDrawBlitTest, KeyedBlitWithoutAKeyIsRefused) {
    IDirectDrawSurface* source = Make16(4, 4, false, Pattern(4, 4));
    IDirectDrawSurface* target = Make16(4, 4, false, std::vector<DWORD>(16, 9));
    EXPECT_EQ(DDERR_NOCOLORKEY, target->Blt(nullptr, source, nullptr, DDBLT_WAIT | DDBLT_KEYSRC, nullptr));
    EXPECT_EQ(DDERR_NOCOLORKEY, target->BltFast(0, 0, source, nullptr, DDBLTFAST_SRCCOLORKEY));
    EXPECT_EQ(std::vector<DWORD>(16, 9), ReadPixels(target));
    EXPECT_EQ(0u, source->Release());
    EXPECT_EQ(0u, target->Release());
}

TEST_F(DDrawBlitTest, ColourFillWritesTheRawValue) {
    IDirectDrawSurface* target = Make16(10, 6, true, std::vector<DWORD>(60, 0x1111));
    DDBLTFX fx = Fill(0x001F);
    RECT part = {2, 1, 7, 4};
    ASSERT_EQ(DD_OK, target->Blt(&part, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx));
    std::vector<DWORD> got = ReadPixels(target);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 10; ++x) {
            bool inside = x >= 2 && x < 7 && y >= 1 && y < 4;
            EXPECT_EQ(inside ? 0x001Fu : 0x1111u, got[size_t(y * 10 + x)]) << x << "," << y;
        }
    // Only the pixel's own bits are written; a whole-surface fill with 0 clears it.
    fx = Fill(0x12345);
    ASSERT_EQ(DD_OK, target->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, &fx));
    EXPECT_EQ(0x2345u, GetPixel(target, 9, 5));
    fx = Fill(0);
    ASSERT_EQ(DD_OK, target->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, &fx));
    EXPECT_EQ(std::vector<DWORD>(60, 0), ReadPixels(target));
    EXPECT_EQ(DDERR_INVALIDPARAMS, target->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, nullptr));
    EXPECT_EQ(0u, target->Release());
}

TEST_F(DDrawBlitTest, StretchingTakesTheNearestPixel) {
    IDirectDrawSurface* small = Make16(2, 2, false, {1, 2, 3, 4});
    IDirectDrawSurface* big = Make16(4, 4, false, std::vector<DWORD>(16, 0));
    ASSERT_EQ(DD_OK, big->Blt(nullptr, small, nullptr, DDBLT_WAIT, nullptr));
    EXPECT_EQ(std::vector<DWORD>({1, 1, 2, 2, 1, 1, 2, 2, 3, 3, 4, 4, 3, 3, 4, 4}), ReadPixels(big));

    // Halving keeps the pixel under each destination pixel's centre: odd rows and columns.
    WritePixels(big, Pattern(4, 4, 10));
    ASSERT_EQ(DD_OK, small->Blt(nullptr, big, nullptr, DDBLT_WAIT, nullptr));
    EXPECT_EQ(std::vector<DWORD>({10 + 5, 10 + 7, 10 + 13, 10 + 15}), ReadPixels(small));
    EXPECT_EQ(0u, small->Release());
    EXPECT_EQ(0u, big->Release());
}

TEST_F(DDrawBlitTest, StretchedKeyedBlitOfOddSizes) {
    std::vector<DWORD> src = Pattern(7, 5, 0x100);
    src[8] = src[20] = 0x001F;
    IDirectDrawSurface* source = Make16(7, 5, false, src);
    std::vector<DWORD> dst(size_t(40 * 20), 0x7777);
    IDirectDrawSurface* target = Make16(40, 20, false, dst);
    DDCOLORKEY key = {0x001F, 0x001F};
    ASSERT_EQ(DD_OK, source->SetColorKey(DDCKEY_SRCBLT, &key));
    RECT s = {1, 1, 6, 5};
    RECT d = {3, 2, 36, 19};
    ASSERT_EQ(DD_OK, target->Blt(&d, source, &s, DDBLT_WAIT | DDBLT_KEYSRC, nullptr));
    EXPECT_EQ(ExpectedBlit(dst, 40, src, 7, s, d, true, 0x001F), ReadPixels(target));
    EXPECT_EQ(0u, source->Release());
    EXPECT_EQ(0u, target->Release());
}

TEST_F(DDrawBlitTest, RectanglesOutsideInvertedOrEmptyAreRefusedAndNothingIsDrawn) {
    IDirectDrawSurface* source = Make16(8, 8, false, Pattern(8, 8));
    IDirectDrawSurface* target = Make16(8, 8, false, std::vector<DWORD>(64, 0x4242));
    const RECT bad[] = {
        {-1, 0, 4, 4},    // starts left of the surface
        {4, 4, 9, 8},     // partly past the right edge
        {0, 5, 8, 9},     // partly past the bottom
        {20, 20, 24, 24}, // wholly outside
        {6, 2, 2, 6},     // inverted
        {3, 3, 3, 6},     // empty
    };
    const RECT whole = {0, 0, 8, 8};
    DDBLTFX fx = Fill(1);
    for (const RECT& r : bad) {
        SCOPED_TRACE(testing::Message() << r.left << "," << r.top << "," << r.right << "," << r.bottom);
        EXPECT_EQ(DDERR_INVALIDRECT, target->Blt(&r, source, &whole, DDBLT_WAIT, nullptr));
        EXPECT_EQ(DDERR_INVALIDRECT, target->Blt(&whole, source, &r, DDBLT_WAIT, nullptr));
        EXPECT_EQ(DDERR_INVALIDRECT, target->Blt(&r, nullptr, nullptr, DDBLT_COLORFILL, &fx));
    }
    EXPECT_EQ(std::vector<DWORD>(64, 0x4242), ReadPixels(target));
    EXPECT_EQ(0u, source->Release());
    EXPECT_EQ(0u, target->Release());
}

TEST_F(DDrawBlitTest, BltFastCopiesUnstretchedAndRefusesWhatDoesNotFit) {
    std::vector<DWORD> src = Pattern(4, 3, 0x300);
    src[5] = 0x001F;
    IDirectDrawSurface* source = Make16(4, 3, false, src);
    std::vector<DWORD> dst(size_t(10 * 6), 0x0101);
    IDirectDrawSurface* target = Make16(10, 6, false, dst);
    DDCOLORKEY key = {0x001F, 0x001F};
    ASSERT_EQ(DD_OK, source->SetColorKey(DDCKEY_SRCBLT, &key));
    ASSERT_EQ(DD_OK, target->BltFast(6, 3, source, nullptr, DDBLTFAST_SRCCOLORKEY | DDBLTFAST_WAIT));
    EXPECT_EQ(ExpectedBlit(dst, 10, src, 4, {0, 0, 4, 3}, {6, 3, 10, 6}, true, 0x001F), ReadPixels(target));

    RECT part = {1, 0, 3, 2};
    std::vector<DWORD> untouched = ReadPixels(target);
    EXPECT_EQ(DDERR_INVALIDRECT, target->BltFast(7, 0, source, nullptr, DDBLTFAST_WAIT));
    EXPECT_EQ(DDERR_INVALIDRECT, target->BltFast(0, 4, source, nullptr, DDBLTFAST_WAIT));
    EXPECT_EQ(DDERR_INVALIDRECT, target->BltFast(DWORD(-1), 0, source, &part, DDBLTFAST_WAIT));
    EXPECT_EQ(untouched, ReadPixels(target));
    ASSERT_EQ(DD_OK, target->BltFast(8, 4, source, &part, DDBLTFAST_NOCOLORKEY));
    EXPECT_EQ(src[1], GetPixel(target, 8, 4));
    EXPECT_EQ(src[6], GetPixel(target, 9, 5));
    EXPECT_EQ(DDERR_INVALIDPARAMS, target->BltFast(0, 0, source, nullptr, 0x80));
    EXPECT_EQ(0u, source->Release());
    EXPECT_EQ(0u, target->Release());
}

TEST_F(DDrawBlitTest, BlitsBetweenSurfacesOfDifferentPitch) {
    IDirectDrawSurface* narrow = Make16(3, 4, false, Pattern(3, 4, 0x40));
    IDirectDrawSurface* wide = Make16(50, 6, false, std::vector<DWORD>(300, 0));
    DDSURFACEDESC a = LockWhole(narrow);
    narrow->Unlock(nullptr);
    DDSURFACEDESC b = LockWhole(wide);
    wide->Unlock(nullptr);
    ASSERT_NE(a.lPitch, b.lPitch);
    EXPECT_GT(a.lPitch, 3 * 2);
    RECT d = {40, 1, 43, 5};
    ASSERT_EQ(DD_OK, wide->Blt(&d, narrow, nullptr, DDBLT_WAIT, nullptr));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(DWORD(0x40 + y * 3 + x), GetPixel(wide, 40 + x, 1 + y));
    ASSERT_EQ(DD_OK, narrow->Blt(nullptr, wide, &d, DDBLT_WAIT, nullptr));
    EXPECT_EQ(Pattern(3, 4, 0x40), ReadPixels(narrow));
    EXPECT_EQ(0u, narrow->Release());
    EXPECT_EQ(0u, wide->Release());
}

TEST_F(DDrawBlitTest, BlitWithinOneSurfaceReadsThePictureBeforeTheBlit) {
    struct Move {
        RECT from, to;
        bool keyed;
    };
    const Move moves[] = {
        {{0, 0, 12, 12}, {2, 3, 14, 15}, false}, // down and right
        {{4, 4, 16, 16}, {0, 0, 12, 12}, false}, // up and left
        {{0, 5, 10, 6}, {3, 5, 13, 6}, false},   // within one row, to the right
        {{3, 5, 13, 6}, {0, 5, 10, 6}, false},   // within one row, to the left
        {{1, 1, 13, 13}, {3, 2, 15, 14}, true},  // keyed, overlapping
        {{0, 0, 8, 8}, {4, 4, 16, 16}, false},   // stretched, overlapping
        {{2, 2, 14, 14}, {5, 5, 11, 11}, true},  // shrunk and keyed, overlapping
    };
    for (const Move& m : moves) {
        SCOPED_TRACE(testing::Message() << m.from.left << "," << m.from.top << " -> " << m.to.left << ","
                                        << m.to.top << (m.keyed ? " keyed" : ""));
        std::vector<DWORD> picture = Pattern(16, 16, 0x20);
        for (size_t i = 0; i < picture.size(); i += 7)
            picture[i] = 0x001F;
        IDirectDrawSurface* surface = Make16(16, 16, false, picture);
        DDCOLORKEY key = {0x001F, 0x001F};
        ASSERT_EQ(DD_OK, surface->SetColorKey(DDCKEY_SRCBLT, &key));
        DWORD flags = DDBLT_WAIT | (m.keyed ? DDBLT_KEYSRC : 0);
        ASSERT_EQ(DD_OK, surface->Blt(&m.to, surface, &m.from, flags, nullptr));
        EXPECT_EQ(ExpectedBlit(picture, 16, picture, 16, m.from, m.to, m.keyed, 0x001F), ReadPixels(surface));
        EXPECT_EQ(0u, surface->Release());
    }
}

TEST_F(DDrawBlitTest, UnknownFlagsAndForeignSourcesAreRefused) {
    IDirectDrawSurface* target = Make16(4, 4, false, Pattern(4, 4));
    EXPECT_EQ(DDERR_INVALIDPARAMS, target->Blt(nullptr, target, nullptr, 0x2, nullptr));
    EXPECT_EQ(DDERR_INVALIDPARAMS, target->Blt(nullptr, nullptr, nullptr, DDBLT_WAIT, nullptr));
    EXPECT_EQ(Pattern(4, 4), ReadPixels(target));
    EXPECT_EQ(0u, target->Release());
}

TEST_F(DDrawBlitTest, BltFastIsRefusedOnASurfaceWithAClipper) {
    IDirectDrawSurface* target = Make16(4, 4, false, Pattern(4, 4));
    IDirectDrawSurface* source = Make16(2, 2, false, Pattern(2, 2));
    IDirectDrawClipper* clipper = nullptr;
    ASSERT_EQ(DD_OK, dd->CreateClipper(0, &clipper, nullptr));
    ASSERT_EQ(DD_OK, target->SetClipper(clipper));
    EXPECT_EQ(DDERR_BLTFASTCANTCLIP, target->BltFast(0, 0, source, nullptr, DDBLTFAST_WAIT));
    // A clipper without a window gives nothing to clip to.
    EXPECT_EQ(DDERR_NOCLIPLIST, target->Blt(nullptr, source, nullptr, DDBLT_WAIT, nullptr));
    EXPECT_EQ(1u, clipper->Release());
    ASSERT_EQ(DD_OK, target->SetClipper(nullptr));
    EXPECT_EQ(before.clippers, HostDDrawLiveObjects().clippers);
    EXPECT_EQ(0u, source->Release());
    EXPECT_EQ(0u, target->Release());
}

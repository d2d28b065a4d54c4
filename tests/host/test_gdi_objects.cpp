// Device contexts, selection and deletion rules, GetObject, DIB sections and device capabilities.
#include <cstring>

#include "host/backend/machine.h"
#include "test_gdi_support.h"

using gditest::Surface16;

namespace {

HBITMAP MakeDib(int width, int height, int bits, std::vector<RGBQUAD> colors = {}, void** pixels = nullptr) {
    std::vector<BYTE> storage(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD), 0);
    auto* info = reinterpret_cast<BITMAPINFO*>(storage.data());
    info->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info->bmiHeader.biWidth = width;
    info->bmiHeader.biHeight = height;
    info->bmiHeader.biPlanes = 1;
    info->bmiHeader.biBitCount = static_cast<WORD>(bits);
    info->bmiHeader.biCompression = BI_RGB;
    info->bmiHeader.biClrUsed = static_cast<DWORD>(colors.size());
    if (!colors.empty())
        std::memcpy(storage.data() + sizeof(BITMAPINFOHEADER), colors.data(),
                    colors.size() * sizeof(RGBQUAD));
    void* bits_ = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, info, DIB_RGB_COLORS, &bits_, nullptr, 0);
    if (pixels) *pixels = bits_;
    return bitmap;
}

HFONT AnyFont() {
    return CreateFontA(12, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, VARIABLE_PITCH, "Arial");
}

} // namespace

TEST(GdiObjects, SelectReturnsThePreviousObjectAndRefusesBadHandles) {
    Surface16 surface(4, 4);
    HFONT first = AnyFont(), second = AnyFont();
    HGDIOBJ original = SelectObject(surface.dc(), first);
    ASSERT_NE(original, nullptr);
    EXPECT_EQ(SelectObject(surface.dc(), second), first);
    EXPECT_EQ(SelectObject(surface.dc(), original), second);
    EXPECT_EQ(SelectObject(surface.dc(), nullptr), nullptr);
    EXPECT_EQ(SelectObject(nullptr, first), nullptr);
    EXPECT_EQ(SelectObject(surface.dc(), reinterpret_cast<HGDIOBJ>(0x77)), nullptr);
    EXPECT_TRUE(DeleteObject(first));
    EXPECT_TRUE(DeleteObject(second));
    EXPECT_EQ(SelectObject(surface.dc(), first), nullptr) << "a deleted font must not be selectable";
    EXPECT_FALSE(DeleteObject(first));
}

TEST(GdiObjects, SelectedObjectsCannotBeDeleted) {
    Surface16 surface(4, 4);
    HFONT font = AnyFont();
    HGDIOBJ original = SelectObject(surface.dc(), font);
    EXPECT_FALSE(DeleteObject(font));
    TEXTMETRICA metrics;
    EXPECT_TRUE(GetTextMetricsA(surface.dc(), &metrics)) << "the refused deletion left the font intact";
    SelectObject(surface.dc(), original);
    EXPECT_TRUE(DeleteObject(font));

    HDC memory = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = MakeDib(2, 2, 24);
    HGDIOBJ stock = SelectObject(memory, bitmap);
    ASSERT_NE(stock, nullptr);
    EXPECT_FALSE(DeleteObject(bitmap));
    EXPECT_TRUE(DeleteObject(stock)) << "stock objects ignore deletion";
    EXPECT_EQ(SelectObject(memory, stock), bitmap);
    EXPECT_TRUE(DeleteObject(bitmap));
    EXPECT_TRUE(DeleteDC(memory));
}

TEST(GdiObjects, EndingADcReleasesWhatIsSelectedWithoutDeletingIt) {
    HFONT font = AnyFont();
    HBITMAP bitmap = MakeDib(2, 2, 8);
    {
        Surface16 surface(4, 4);
        SelectObject(surface.dc(), font);
    }
    HDC memory = CreateCompatibleDC(nullptr);
    SelectObject(memory, bitmap);
    EXPECT_TRUE(DeleteDC(memory));
    EXPECT_FALSE(DeleteDC(memory));
    BITMAP description{};
    EXPECT_EQ(GetObjectA(bitmap, sizeof description, &description), static_cast<int>(sizeof description));
    EXPECT_TRUE(DeleteObject(font));
    EXPECT_TRUE(DeleteObject(bitmap));
}

TEST(GdiObjects, ABitmapGoesIntoOneMemoryDcAtATime) {
    Surface16 surface(4, 4);
    HDC first = CreateCompatibleDC(nullptr), second = CreateCompatibleDC(surface.dc());
    HBITMAP bitmap = MakeDib(3, 3, 16);
    EXPECT_NE(SelectObject(first, bitmap), nullptr);
    EXPECT_EQ(SelectObject(second, bitmap), nullptr);
    EXPECT_EQ(SelectObject(surface.dc(), bitmap), nullptr) << "surface DCs draw into their surface";
    DeleteDC(first);
    EXPECT_NE(SelectObject(second, bitmap), nullptr);
    DeleteDC(second);
    EXPECT_TRUE(DeleteObject(bitmap));
}

TEST(GdiObjects, SurfaceDcsEndOnlyThroughTheSurface) {
    WORD pixels[16] = {};
    HostPixelTarget target{pixels, 4, 4, 8, 16, false, nullptr};
    HDC dc = HostCreateSurfaceDC(target);
    ASSERT_NE(dc, nullptr);
    EXPECT_FALSE(DeleteDC(dc));
    EXPECT_EQ(ReleaseDC(nullptr, dc), 0);
    HostDeleteSurfaceDC(dc);
    EXPECT_FALSE(TextOutA(dc, 0, 0, "x", 1));
    HostDeleteSurfaceDC(dc); // a second end is harmless
}

TEST(GdiObjects, UnusableSurfaceTargetsGiveNoDc) {
    WORD pixels[16] = {};
    EXPECT_EQ(HostCreateSurfaceDC(HostPixelTarget{nullptr, 4, 4, 8, 16, false, nullptr}), nullptr);
    EXPECT_EQ(HostCreateSurfaceDC(HostPixelTarget{pixels, 4, 4, 6, 16, false, nullptr}), nullptr);
    EXPECT_EQ(HostCreateSurfaceDC(HostPixelTarget{pixels, 0, 4, 8, 16, false, nullptr}), nullptr);
    EXPECT_EQ(HostCreateSurfaceDC(HostPixelTarget{pixels, 2, 2, 8, 32, false, nullptr}), nullptr);
}

TEST(GdiObjects, GetObjectDescribesBitmapsOnly) {
    void* bits = nullptr;
    HBITMAP bitmap = MakeDib(5, -3, 24, {}, &bits);
    ASSERT_NE(bitmap, nullptr);
    BITMAP description{};
    EXPECT_EQ(GetObjectA(bitmap, 0, nullptr), static_cast<int>(sizeof(BITMAP)));
    EXPECT_EQ(GetObjectA(bitmap, sizeof(BITMAP) - 1, &description), 0);
    ASSERT_EQ(GetObjectA(bitmap, sizeof(BITMAP), &description), static_cast<int>(sizeof(BITMAP)));
    EXPECT_EQ(description.bmWidth, 5);
    EXPECT_EQ(description.bmHeight, 3);
    EXPECT_EQ(description.bmWidthBytes, 16);
    EXPECT_EQ(description.bmBitsPixel, 24);
    EXPECT_EQ(description.bmPlanes, 1);
    EXPECT_EQ(description.bmBits, bits);
    HFONT font = AnyFont();
    EXPECT_EQ(GetObjectA(font, sizeof description, &description), 0);
    DeleteObject(font);
    DeleteObject(bitmap);
}

TEST(GdiObjects, DibSectionsKeepTheirColourTable) {
    std::vector<RGBQUAD> colors = {{1, 2, 3, 0}, {4, 5, 6, 0}, {7, 8, 9, 0}};
    void* bits = nullptr;
    HBITMAP bitmap = MakeDib(7, 2, 8, colors, &bits);
    ASSERT_NE(bitmap, nullptr);
    ASSERT_NE(bits, nullptr);
    std::memset(bits, 2, 8 * 2); // rows of 8 bytes (7 pixels padded)
    HDC memory = CreateCompatibleDC(nullptr);
    SelectObject(memory, bitmap);
    RGBQUAD table[256];
    EXPECT_EQ(GetDIBColorTable(memory, 0, 256, table), 256u);
    EXPECT_EQ(table[1].rgbGreen, 5);
    EXPECT_EQ(table[2].rgbRed, 9);
    EXPECT_EQ(table[3].rgbRed, 0);
    EXPECT_EQ(GetDIBColorTable(memory, 255, 10, table), 1u);
    EXPECT_EQ(GetDIBColorTable(memory, 256, 10, table), 0u);
    DeleteDC(memory);
    DeleteObject(bitmap);

    HBITMAP direct = MakeDib(2, 2, 24);
    memory = CreateCompatibleDC(nullptr);
    SelectObject(memory, direct);
    EXPECT_EQ(GetDIBColorTable(memory, 0, 256, table), 0u);
    DeleteDC(memory);
    DeleteObject(direct);
}

TEST(GdiObjects, CreateDibSectionRefusesWhatItCannotHold) {
    std::vector<BYTE> storage(sizeof(BITMAPINFOHEADER) + 16, 0);
    auto* info = reinterpret_cast<BITMAPINFO*>(storage.data());
    auto reset = [&] {
        std::memset(storage.data(), 0, storage.size());
        info->bmiHeader = BITMAPINFOHEADER{40, 4, 4, 1, 16, BI_BITFIELDS, 0, 0, 0, 0, 0};
        DWORD masks[3] = {0xF800, 0x07E0, 0x001F};
        std::memcpy(info->bmiColors, masks, sizeof masks);
    };
    void* bits = reinterpret_cast<void*>(1);
    reset();
    HBITMAP good = CreateDIBSection(nullptr, info, DIB_RGB_COLORS, &bits, nullptr, 0);
    EXPECT_NE(good, nullptr);
    EXPECT_NE(bits, nullptr);
    DeleteObject(good);

    auto refused = [&](const char* what) {
        bits = reinterpret_cast<void*>(1);
        EXPECT_EQ(CreateDIBSection(nullptr, info, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr) << what;
        EXPECT_EQ(bits, nullptr) << what;
    };
    reset();
    info->bmiHeader.biCompression = BI_RLE8;
    refused("compressed");
    reset();
    info->bmiHeader.biPlanes = 2;
    refused("two planes");
    reset();
    info->bmiHeader.biWidth = 0;
    refused("zero width");
    reset();
    info->bmiHeader.biHeight = 0;
    refused("zero height");
    reset();
    info->bmiHeader.biBitCount = 7;
    refused("seven bits");
    reset();
    info->bmiHeader.biWidth = 100000;
    info->bmiHeader.biHeight = 100000;
    refused("huge");
    reset();
    DWORD overlapping[3] = {0xF800, 0x0FE0, 0x001F};
    std::memcpy(info->bmiColors, overlapping, sizeof overlapping);
    refused("overlapping masks");
    reset();
    info->bmiHeader.biSize = 12;
    refused("core header");
    reset();
    EXPECT_EQ(CreateDIBSection(nullptr, info, 1, &bits, nullptr, 0), nullptr);
    EXPECT_EQ(CreateDIBSection(nullptr, nullptr, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
}

TEST(GdiObjects, DeviceCapsComeFromTheSurfaceOrTheDesktop) {
    Surface16 surface(33, 21);
    EXPECT_EQ(GetDeviceCaps(surface.dc(), HORZRES), 33);
    EXPECT_EQ(GetDeviceCaps(surface.dc(), VERTRES), 21);
    EXPECT_EQ(GetDeviceCaps(surface.dc(), BITSPIXEL), 16);
    HDC screen = GetDC(nullptr);
    const HostMachine& machine = HostGetMachine();
    EXPECT_EQ(GetDeviceCaps(screen, HORZRES), machine.desktopWidth);
    EXPECT_EQ(GetDeviceCaps(screen, VERTRES), machine.desktopHeight);
    EXPECT_EQ(GetDeviceCaps(screen, BITSPIXEL), machine.desktopBitsPerPixel);
    EXPECT_EQ(GetDeviceCaps(screen, 999), 0);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(GetDeviceCaps(screen, HORZRES), 0);
}

TEST(GdiObjects, GetDcRefusesDeadWindows) {
    EXPECT_EQ(GetDC(reinterpret_cast<HWND>(0x4321)), nullptr);
}

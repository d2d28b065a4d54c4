// The display driver object: enumeration, capabilities, display modes, cooperative levels, video
// memory and interface queries.
#include <string>
#include <vector>

#include "ddraw_test_support.h"
#include "host/ddraw/extension.h"

using namespace ddraw_test;

namespace {

struct Offered {
    GUID* guid;
    std::string description;
    std::string driverName;
};

BOOL CollectDrivers(GUID* guid, LPSTR description, LPSTR driverName, LPVOID context) {
    static_cast<std::vector<Offered>*>(context)->push_back({guid, description, driverName});
    return 1;
}

BOOL StopAtFirst(GUID* guid, LPSTR, LPSTR, LPVOID context) {
    static_cast<std::vector<GUID*>*>(context)->push_back(guid);
    return 0;
}

HRESULT CollectModes(LPDDSURFACEDESC mode, LPVOID context) {
    static_cast<std::vector<DDSURFACEDESC>*>(context)->push_back(*mode);
    return 1;
}

HRESULT TakeTwoModes(LPDDSURFACEDESC, LPVOID context) {
    int& seen = *static_cast<int*>(context);
    return ++seen < 2 ? 1 : 0;
}

HWND FakeWindow(int n) {
    return reinterpret_cast<HWND>(uintptr_t(0x1000 + n));
}

DDCAPS EmptyCaps() {
    DDCAPS caps = {};
    caps.dwSize = sizeof caps;
    return caps;
}

} // namespace

using DDrawDriverTest = DDrawTest;

TEST_F(DDrawDriverTest, PrimaryDisplayIsOfferedFirstWithNullGuid) {
    std::vector<Offered> offered;
    ASSERT_EQ(DD_OK, DirectDrawEnumerateA(CollectDrivers, &offered));
    ASSERT_EQ(1u, offered.size());
    EXPECT_EQ(nullptr, offered[0].guid);
    EXPECT_FALSE(offered[0].description.empty());
    EXPECT_EQ(DDERR_INVALIDPARAMS, DirectDrawEnumerateA(nullptr, nullptr));
}

TEST_F(DDrawDriverTest, SecondaryDisplayGuidsKeepTheirAddressesAcrossEnumerations) {
    HostSecondaryDisplay cards[] = {{"Card A", "carda", true}, {"Card B", "cardb", false}};
    HostDDrawSetSecondaryDisplays(cards, 2);
    std::vector<Offered> first, second;
    ASSERT_EQ(DD_OK, DirectDrawEnumerateA(CollectDrivers, &first));
    ASSERT_EQ(DD_OK, DirectDrawEnumerateA(CollectDrivers, &second));
    ASSERT_EQ(3u, first.size());
    ASSERT_EQ(3u, second.size());
    for (size_t i = 0; i < first.size(); ++i)
        EXPECT_EQ(first[i].guid, second[i].guid) << i;
    EXPECT_NE(nullptr, first[1].guid);
    EXPECT_NE(first[1].guid, first[2].guid);
    EXPECT_EQ("carda", first[1].driverName);
    EXPECT_EQ("Card B", first[2].description);

    // Each secondary driver reports its own 3D capability.
    for (int i = 1; i <= 2; ++i) {
        IDirectDraw* card = nullptr;
        ASSERT_EQ(DD_OK, DirectDrawCreate(first[i].guid, &card, nullptr));
        DDCAPS hal = EmptyCaps();
        ASSERT_EQ(DD_OK, card->GetCaps(&hal, nullptr));
        EXPECT_EQ(i == 1 ? DWORD(DDCAPS_3D) : 0u, hal.dwCaps & DDCAPS_3D);
        EXPECT_EQ(0u, card->Release());
    }
    HostDDrawSetSecondaryDisplays(nullptr, 0);
}

TEST_F(DDrawDriverTest, EnumerationStopsWhenTheCallbackSaysSo) {
    HostSecondaryDisplay card = {"Card A", "carda", true};
    HostDDrawSetSecondaryDisplays(&card, 1);
    std::vector<GUID*> seen;
    ASSERT_EQ(DD_OK, DirectDrawEnumerateA(StopAtFirst, &seen));
    EXPECT_EQ(1u, seen.size());
    HostDDrawSetSecondaryDisplays(nullptr, 0);
}

TEST_F(DDrawDriverTest, UnknownDriverGuidIsRefused) {
    GUID unknown = {0x12345678, 1, 2, {3, 4, 5, 6, 7, 8, 9, 10}};
    IDirectDraw* other = reinterpret_cast<IDirectDraw*>(0x1);
    EXPECT_EQ(DDERR_INVALIDDIRECTDRAWGUID, DirectDrawCreate(&unknown, &other, nullptr));
    EXPECT_EQ(nullptr, other);
    EXPECT_EQ(DDERR_INVALIDPARAMS, DirectDrawCreate(nullptr, nullptr, nullptr));
}

TEST_F(DDrawDriverTest, HardwareCapsFollowTheMachine) {
    DDCAPS hal = EmptyCaps(), hel = EmptyCaps();
    ASSERT_EQ(DD_OK, dd->GetCaps(&hal, &hel));
    EXPECT_EQ(DWORD(DDCAPS_3D), hal.dwCaps & DDCAPS_3D);
    EXPECT_EQ(8u * 1024 * 1024, hal.dwVidMemFree);
    EXPECT_EQ(16u * 1024 * 1024, hal.dwVidMemTotal);
    EXPECT_EQ(0u, hel.dwCaps & DDCAPS_3D);

    HostMachine machine = TestMachine();
    machine.hardware3D = false;
    machine.videoMemoryFree = 1000;
    HostSetMachine(machine);
    IDirectDraw* plain = nullptr;
    ASSERT_EQ(DD_OK, DirectDrawCreate(nullptr, &plain, nullptr));
    ASSERT_EQ(DD_OK, plain->GetCaps(&hal, nullptr));
    EXPECT_EQ(0u, hal.dwCaps & DDCAPS_3D);
    EXPECT_EQ(1000u, hal.dwVidMemFree);
    EXPECT_EQ(0u, plain->Release());
}

TEST_F(DDrawDriverTest, CapsRefuseMissingOrWrongSizes) {
    DDCAPS caps = {};
    EXPECT_EQ(DDERR_INVALIDPARAMS, dd->GetCaps(nullptr, nullptr));
    caps.dwSize = 12;
    EXPECT_EQ(DDERR_INVALIDPARAMS, dd->GetCaps(&caps, nullptr));
}

TEST_F(DDrawDriverTest, DesktopModeIs16BitWithItsPitch) {
    DDSURFACEDESC mode = {};
    mode.dwSize = sizeof mode;
    ASSERT_EQ(DD_OK, dd->GetDisplayMode(&mode));
    EXPECT_EQ(1024u, mode.dwWidth);
    EXPECT_EQ(768u, mode.dwHeight);
    EXPECT_EQ(16u, mode.ddpfPixelFormat.dwRGBBitCount);
    EXPECT_EQ(0x07E0u, mode.ddpfPixelFormat.dwGBitMask);
    EXPECT_GT(mode.lPitch, 1024 * 2);
}

TEST_F(DDrawDriverTest, FifteenBitDesktopReports16BitsIn555) {
    HostMachine machine = TestMachine();
    machine.desktopBitsPerPixel = 15;
    HostSetMachine(machine);
    DDSURFACEDESC mode = {};
    mode.dwSize = sizeof mode;
    ASSERT_EQ(DD_OK, dd->GetDisplayMode(&mode));
    EXPECT_EQ(16u, mode.ddpfPixelFormat.dwRGBBitCount);
    EXPECT_EQ(0x7C00u, mode.ddpfPixelFormat.dwRBitMask);
    EXPECT_EQ(0x03E0u, mode.ddpfPixelFormat.dwGBitMask);
}

TEST_F(DDrawDriverTest, DisplayModesAreTheMachinesIncluding800x600x16) {
    std::vector<DDSURFACEDESC> modes;
    ASSERT_EQ(DD_OK, dd->EnumDisplayModes(0, nullptr, &modes, CollectModes));
    ASSERT_EQ(TestMachine().displayModes.size(), modes.size());
    bool found = false;
    for (const DDSURFACEDESC& m : modes) {
        found = found || (m.dwWidth == 800 && m.dwHeight == 600 && m.ddpfPixelFormat.dwRGBBitCount == 16);
        EXPECT_GE(m.lPitch, LONG(m.dwWidth * m.ddpfPixelFormat.dwRGBBitCount / 8));
    }
    EXPECT_TRUE(found);
    EXPECT_EQ(8u, modes[0].ddpfPixelFormat.dwRGBBitCount);
    EXPECT_TRUE(modes[0].ddpfPixelFormat.dwFlags & DDPF_PALETTEINDEXED8);

    int seen = 0;
    ASSERT_EQ(DD_OK, dd->EnumDisplayModes(0, nullptr, &seen, TakeTwoModes));
    EXPECT_EQ(2, seen);

    DDSURFACEDESC filter = {};
    filter.dwSize = sizeof filter;
    filter.dwFlags = DDSD_WIDTH;
    filter.dwWidth = 640;
    modes.clear();
    ASSERT_EQ(DD_OK, dd->EnumDisplayModes(0, &filter, &modes, CollectModes));
    EXPECT_EQ(2u, modes.size());
}

TEST_F(DDrawDriverTest, FifteenBitModesAreListedAs16Bit555) {
    HostMachine machine = TestMachine();
    machine.displayModes = {{800, 600, 15}};
    HostSetMachine(machine);
    std::vector<DDSURFACEDESC> modes;
    ASSERT_EQ(DD_OK, dd->EnumDisplayModes(0, nullptr, &modes, CollectModes));
    ASSERT_EQ(1u, modes.size());
    EXPECT_EQ(16u, modes[0].ddpfPixelFormat.dwRGBBitCount);
    EXPECT_EQ(0x03E0u, modes[0].ddpfPixelFormat.dwGBitMask);
}

TEST_F(DDrawDriverTest, CooperativeLevelCombinations) {
    const HWND window = FakeWindow(1);
    EXPECT_EQ(DDERR_INVALIDPARAMS, dd->SetCooperativeLevel(window, 0));
    EXPECT_EQ(DDERR_INVALIDPARAMS, dd->SetCooperativeLevel(window, DDSCL_EXCLUSIVE));
    EXPECT_EQ(DDERR_INVALIDPARAMS, dd->SetCooperativeLevel(window, DDSCL_FULLSCREEN));
    EXPECT_EQ(DDERR_INVALIDPARAMS,
              dd->SetCooperativeLevel(window, DDSCL_NORMAL | DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN));
    EXPECT_EQ(DDERR_INVALIDPARAMS, dd->SetCooperativeLevel(nullptr, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN));
    EXPECT_EQ(DD_OK, dd->SetCooperativeLevel(nullptr, DDSCL_NORMAL));
    EXPECT_EQ(DD_OK, dd->SetCooperativeLevel(window, DDSCL_FULLSCREEN | DDSCL_ALLOWREBOOT | DDSCL_EXCLUSIVE));
}

TEST_F(DDrawDriverTest, OnlyOneObjectHoldsExclusiveModeUntilItLetsGo) {
    const DWORD exclusive = DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE;
    ASSERT_EQ(DD_OK, dd->SetCooperativeLevel(FakeWindow(1), exclusive));
    IDirectDraw* other = nullptr;
    ASSERT_EQ(DD_OK, DirectDrawCreate(nullptr, &other, nullptr));
    EXPECT_EQ(DDERR_EXCLUSIVEMODEALREADYSET, other->SetCooperativeLevel(FakeWindow(2), exclusive));
    EXPECT_EQ(DD_OK, other->SetCooperativeLevel(FakeWindow(2), DDSCL_NORMAL));
    // Leaving exclusive mode (or being released) frees it for others.
    ASSERT_EQ(DD_OK, dd->SetCooperativeLevel(FakeWindow(1), DDSCL_NORMAL));
    EXPECT_EQ(DD_OK, other->SetCooperativeLevel(FakeWindow(2), exclusive));
    EXPECT_EQ(0u, other->Release());
    EXPECT_EQ(DD_OK, dd->SetCooperativeLevel(FakeWindow(1), exclusive));
}

TEST_F(DDrawDriverTest, SetDisplayModeNeedsExclusiveModeAndAListedMode) {
    EXPECT_EQ(DDERR_NOEXCLUSIVEMODE, dd->SetDisplayMode(800, 600, 16));
    ASSERT_EQ(DD_OK, dd->SetCooperativeLevel(FakeWindow(1), DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE));
    EXPECT_EQ(DDERR_INVALIDMODE, dd->SetDisplayMode(800, 600, 32));
    EXPECT_EQ(DDERR_INVALIDMODE, dd->SetDisplayMode(801, 600, 16));
    ASSERT_EQ(DD_OK, dd->SetDisplayMode(800, 600, 16));
    DDSURFACEDESC mode = {};
    mode.dwSize = sizeof mode;
    ASSERT_EQ(DD_OK, dd->GetDisplayMode(&mode));
    EXPECT_EQ(800u, mode.dwWidth);
    EXPECT_EQ(600u, mode.dwHeight);

    ASSERT_EQ(DD_OK, dd->RestoreDisplayMode());
    ASSERT_EQ(DD_OK, dd->GetDisplayMode(&mode));
    EXPECT_EQ(1024u, mode.dwWidth);
}

TEST_F(DDrawDriverTest, ReleasingTheExclusiveObjectRestoresTheDesktopMode) {
    ASSERT_EQ(DD_OK, dd->SetCooperativeLevel(FakeWindow(1), DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE));
    ASSERT_EQ(DD_OK, dd->SetDisplayMode(640, 480, 8));
    EXPECT_EQ(0u, dd->Release());
    dd = nullptr;
    IDirectDraw* next = nullptr;
    ASSERT_EQ(DD_OK, DirectDrawCreate(nullptr, &next, nullptr));
    DDSURFACEDESC mode = {};
    mode.dwSize = sizeof mode;
    ASSERT_EQ(DD_OK, next->GetDisplayMode(&mode));
    EXPECT_EQ(1024u, mode.dwWidth);
    EXPECT_EQ(16u, mode.ddpfPixelFormat.dwRGBBitCount);
    EXPECT_EQ(0u, next->Release());
}

TEST_F(DDrawDriverTest, SurfacesInVideoMemoryUseTheFreeVideoMemory) {
    IDirectDraw2* dd2 = nullptr;
    ASSERT_EQ(S_OK, dd->QueryInterface(IID_IDirectDraw2, reinterpret_cast<void**>(&dd2)));
    DDSCAPS textures = {DDSCAPS_TEXTURE};
    DWORD total = 0, freeBefore = 0, freeAfter = 0;
    ASSERT_EQ(DD_OK, dd2->GetAvailableVidMem(&textures, &total, &freeBefore));
    EXPECT_EQ(16u * 1024 * 1024, total);
    EXPECT_EQ(8u * 1024 * 1024, freeBefore);

    IDirectDrawSurface* video = Offscreen(256, 256, nullptr, DDSCAPS_TEXTURE | DDSCAPS_VIDEOMEMORY);
    ASSERT_NE(nullptr, video);
    ASSERT_EQ(DD_OK, dd2->GetAvailableVidMem(&textures, nullptr, &freeAfter));
    EXPECT_EQ(freeBefore - 256 * 256 * 2, freeAfter);
    DDCAPS hal = EmptyCaps();
    ASSERT_EQ(DD_OK, dd->GetCaps(&hal, nullptr));
    EXPECT_EQ(freeAfter, hal.dwVidMemFree);

    // More than is free is refused; system memory is not counted.
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.dwWidth = 2048;
    desc.dwHeight = 2048;
    desc.ddsCaps.dwCaps = DDSCAPS_TEXTURE | DDSCAPS_VIDEOMEMORY;
    IDirectDrawSurface* tooBig = nullptr;
    EXPECT_EQ(DDERR_OUTOFVIDEOMEMORY, dd->CreateSurface(&desc, &tooBig, nullptr));
    EXPECT_EQ(nullptr, tooBig);
    IDirectDrawSurface* system = Offscreen(256, 256, nullptr, DDSCAPS_TEXTURE | DDSCAPS_SYSTEMMEMORY);
    ASSERT_EQ(DD_OK, dd2->GetAvailableVidMem(&textures, nullptr, &freeAfter));
    EXPECT_EQ(freeBefore - 256 * 256 * 2, freeAfter);

    EXPECT_EQ(0u, video->Release());
    EXPECT_EQ(0u, system->Release());
    ASSERT_EQ(DD_OK, dd2->GetAvailableVidMem(&textures, nullptr, &freeAfter));
    EXPECT_EQ(freeBefore, freeAfter);
    DDSCAPS system_caps = {DDSCAPS_SYSTEMMEMORY};
    EXPECT_EQ(DDERR_INVALIDCAPS, dd2->GetAvailableVidMem(&system_caps, &total, nullptr));
    EXPECT_EQ(1u, dd2->Release());
}

TEST_F(DDrawDriverTest, InterfacesOfOneObjectShareTheirCount) {
    IDirectDraw2* dd2 = nullptr;
    IDirectDraw7* dd7 = nullptr;
    ASSERT_EQ(S_OK, dd->QueryInterface(IID_IDirectDraw2, reinterpret_cast<void**>(&dd2)));
    ASSERT_EQ(S_OK, dd->QueryInterface(IID_IDirectDraw7, reinterpret_cast<void**>(&dd7)));
    EXPECT_EQ(4u, dd->AddRef());
    EXPECT_EQ(3u, dd->Release());
    EXPECT_EQ(2u, dd7->Release());
    IDirectDraw* back = nullptr;
    ASSERT_EQ(S_OK, dd2->QueryInterface(IID_IDirectDraw, reinterpret_cast<void**>(&back)));
    EXPECT_EQ(dd, back);
    EXPECT_EQ(2u, back->Release());
    EXPECT_EQ(1u, dd2->Release());

    void* nothing = reinterpret_cast<void*>(0x1);
    EXPECT_EQ(E_NOINTERFACE, dd->QueryInterface(IID_IDirectDrawSurface, &nothing));
    EXPECT_EQ(nullptr, nothing);
}

namespace {
IDirectDraw* g_askedDriver = nullptr;
HRESULT AnswerUnknown(IDirectDraw* directDraw, REFIID, void** out) {
    g_askedDriver = directDraw;
    directDraw->AddRef();
    *out = directDraw;
    return S_OK;
}
} // namespace

TEST_F(DDrawDriverTest, UnknownInterfacesAreAskedOfTheInstalledHook) {
    HostDDrawDriverQueryHook installed = HostDDrawSetDriverQueryHook(AnswerUnknown);
    GUID other = {0xABCDEF01, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};
    void* answer = nullptr;
    EXPECT_EQ(S_OK, dd->QueryInterface(other, &answer));
    HostDDrawSetDriverQueryHook(nullptr);
    EXPECT_EQ(dd, g_askedDriver);
    EXPECT_EQ(1u, static_cast<IDirectDraw*>(answer)->Release());
    EXPECT_EQ(E_NOINTERFACE, dd->QueryInterface(other, &answer));
    HostDDrawSetDriverQueryHook(installed);
}

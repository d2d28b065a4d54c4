// Listing the display drivers that can carry 3D and choosing one for the next start-up, on machines with
// one display, with secondary cards with and without 3D, and with more 3D cards than the list holds.
#include "tests/quib/video_test_support.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

using video_test::HardwareMachine;

class D3DDevicesTest : public video_test::VideoTest {
  protected:
    // Lists the drivers; every temporary DirectDraw object must be gone afterwards.
    D3D_INFO List() {
        D3D_INFO info;
        std::memset(&info, 0xCD, sizeof(info));
        EXPECT_EQ(1, QuibGetD3DDevices(&info)) << ErrorText();
        EXPECT_EQ(0, HostDDrawLiveObjects().directDraws);
        return info;
    }
};

constexpr DWORD kDesktopAt16Bits = 1024 * 768 * 2;

TEST_F(D3DDevicesTest, OneDisplayGivesOneEntryWithTheDesktopCounted) {
    D3D_INFO info = List();
    ASSERT_EQ(1, info.count);
    EXPECT_STREQ("display", info.device[0].name);
    EXPECT_EQ(nullptr, info.device[0].guid);
    EXPECT_EQ(16u * 1024 * 1024 + kDesktopAt16Bits, info.device[0].videoMemory);
    EXPECT_EQ(0, info.device[0].supports512x384x16); // not among the machine's modes
    EXPECT_EQ(1, CountLines("DDGetD3DDevices(): lpDD->Release()=0"));

    HostMachine machine = HardwareMachine();
    machine.displayModes.push_back({512, 384, 16});
    machine.videoMemoryTotal = 8u * 1024 * 1024;
    HostSetMachine(machine);
    info = List();
    EXPECT_EQ(1, info.device[0].supports512x384x16);
    EXPECT_EQ(8u * 1024 * 1024 + kDesktopAt16Bits, info.device[0].videoMemory);
    // The engine's mode table now holds the listed driver's modes.
    EXPECT_EQ(1, QuibCheckDisplayMode(512, 384, 16));

    EXPECT_EQ(0, QuibGetD3DDevices(nullptr));
}

TEST_F(D3DDevicesTest, OnlySecondaryCardsWith3DAreListedAndOneCanBeChosen) {
    HostSecondaryDisplay displays[] = {{"Flat card", "flat", false}, {"Deep card", "deep", true}};
    HostDDrawSetSecondaryDisplays(displays, 2);
    D3D_INFO info = List();
    ASSERT_EQ(2, info.count);
    EXPECT_STREQ("display", info.device[0].name);
    EXPECT_STREQ("deep", info.device[1].name);
    ASSERT_NE(nullptr, info.device[1].guid);
    EXPECT_EQ(16u * 1024 * 1024, info.device[1].videoMemory);         // no desktop on a secondary card
    EXPECT_EQ(3, CountLines("DDGetD3DDevices(): lpDD->Release()=0")); // the flat card was opened too

    ASSERT_EQ(1, QuibSelectD3DDevice(1));
    EXPECT_EQ(info.device[1].guid, g_lpChosenDDGuid);
    EXPECT_STREQ("deep", g_ChosenDDName);
    HWND window = MakeWindow();
    ASSERT_EQ(1, QuibInitDirectX(window, 800, 600)) << ErrorText();
    // The start-up kept the chosen card instead of creating the primary display's object.
    EXPECT_EQ(0, CountLines("InitDirectX : g_lpDD"));
    EXPECT_EQ(1, CountLines("DDEnumCallback(): lpDD->Release()=0")); // only the flat card went back
}

TEST_F(D3DDevicesTest, ListingAfterStartUpLeavesTheEnginesCapsAlone) {
    HWND window = MakeWindow();
    ASSERT_EQ(1, QuibInitDirectX(window, 800, 600)) << ErrorText();
    const DDCAPS hal = g_HALCaps, hel = g_HELCaps;
    HostSecondaryDisplay displays[] = {{"Flat card", "flat", false}};
    HostDDrawSetSecondaryDisplays(displays, 1);
    D3D_INFO info;
    ASSERT_EQ(1, QuibGetD3DDevices(&info));
    EXPECT_EQ(1, info.count);
    EXPECT_EQ(0, std::memcmp(&hal, &g_HALCaps, sizeof(hal)));
    EXPECT_EQ(0, std::memcmp(&hel, &g_HELCaps, sizeof(hel)));
    EXPECT_EQ(1, HostDDrawLiveObjects().directDraws); // the engine's own
}

TEST_F(D3DDevicesTest, BadIndicesAreRefusedAndANullGuidMeansThePrimaryDisplay) {
    HostSecondaryDisplay displays[] = {{"Deep card", "deep", true}};
    HostDDrawSetSecondaryDisplays(displays, 1);
    D3D_INFO info = List();
    ASSERT_EQ(2, info.count);
    EXPECT_EQ(0, QuibSelectD3DDevice(info.count));
    EXPECT_EQ("invalid D3DDevice index\n", ErrorText());
    EXPECT_EQ(0, QuibSelectD3DDevice(-1));
    EXPECT_EQ(nullptr, g_lpChosenDDGuid);

    // The primary display's entry chooses the default.
    ASSERT_EQ(1, QuibSelectD3DDevice(0));
    EXPECT_EQ(nullptr, g_lpChosenDDGuid);
    EXPECT_STREQ("display", g_ChosenDDName);

    // By GUID: the card, then NULL (which also forgets the chosen name).
    EXPECT_EQ(1, QuibSelectD3DGUID(info.device[1].guid));
    EXPECT_EQ(1, QuibSelectD3DGUID(nullptr));
    EXPECT_STREQ("", g_ChosenDDName);
    HWND window = MakeWindow();
    ASSERT_EQ(1, QuibInitDirectX(window, 800, 600)) << ErrorText();
    EXPECT_EQ(1, CountLines("InitDirectX : g_lpDD"));
    EXPECT_EQ(1, CountLines("DDEnumCallback(): lpDD->Release()=0"));

    // Chosen by GUID, the card is used at the next start.
    EXPECT_EQ(1, QuibSelectD3DGUID(info.device[1].guid));
    ASSERT_EQ(1, QuibInitDirectX(window, 800, 600)) << ErrorText();
    EXPECT_EQ(1, CountLines("InitDirectX : g_lpDD")); // no new primary object
}

TEST_F(D3DDevicesTest, MoreThanTenDevicesFillTheTableAndLeakNothing) {
    static const char* const names[] = {"c1", "c2", "c3", "c4", "c5", "c6", "c7", "c8", "c9", "c10", "c11"};
    std::vector<HostSecondaryDisplay> displays;
    for (const char* name : names)
        displays.push_back({"3D card", name, true});
    HostDDrawSetSecondaryDisplays(displays.data(), int(displays.size()));
    D3D_INFO info = List();
    ASSERT_EQ(MAX_D3D_DEVICES, info.count);
    EXPECT_STREQ("display", info.device[0].name);
    for (int i = 1; i < MAX_D3D_DEVICES; ++i) {
        EXPECT_STREQ(names[i - 1], info.device[i].name);
        EXPECT_NE(nullptr, info.device[i].guid);
        for (int j = 1; j < i; ++j)
            EXPECT_NE(info.device[j].guid, info.device[i].guid);
    }
    EXPECT_EQ("DDGetD3DDevices::exceeded MAX_D3D_DEVICES\n", ErrorText());
    // Ten objects made, ten released; the cards after the tenth entry were never opened.
    EXPECT_EQ(MAX_D3D_DEVICES, CountLines("DDGetD3DDevices(): lpDD->Release()=0"));
    EXPECT_EQ(0, CountLines("DDGetD3DDevices(): lpDD->Release()=1"));
    ASSERT_EQ(1, QuibSelectD3DDevice(9));
    EXPECT_STREQ("c9", g_ChosenDDName);
}

} // namespace

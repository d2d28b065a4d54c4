// Bringing the display up and down: windowed and full screen at 800x600x16, the log of every created and
// released interface, a clean shutdown, restarts, and the device and mode choices of the start-up.
#include "video_test_support.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "host/d3d/device.h"
#include "host/d3d/device_catalogue.h"
#include "quib/scene/frames/frame.h"

using namespace video_test;

namespace {

class VideoStartupTest : public VideoTest {
  protected:
    // The width of the display mode the driver reports now.
    static int DisplayWidth() {
        IDirectDraw* dd = nullptr;
        if (FAILED(DirectDrawCreate(nullptr, &dd, nullptr))) return -1;
        DDSURFACEDESC desc = {};
        desc.dwSize = sizeof(desc);
        HRESULT hr = dd->GetDisplayMode(&desc);
        dd->Release();
        return SUCCEEDED(hr) ? int(desc.dwWidth) : -1;
    }
    static int DesktopPitch() {
        IDirectDraw* dd = nullptr;
        if (FAILED(DirectDrawCreate(nullptr, &dd, nullptr))) return -1;
        DDSURFACEDESC desc = {};
        desc.dwSize = sizeof(desc);
        HRESULT hr = dd->GetDisplayMode(&desc);
        dd->Release();
        return SUCCEEDED(hr) ? int(desc.lPitch) : -1;
    }
};

// The interfaces the engine holds after a start, with one reference of the test's own on each; released
// after QuibFreeDirectX, each must then be the last reference.
struct HeldInterfaces {
    std::vector<std::pair<std::string, IUnknown*>> held;

    void Hold(const char* name, IUnknown* p) {
        ASSERT_NE(p, nullptr) << name;
        p->AddRef();
        held.push_back({name, p});
    }
    // Releases in the order held; returns "name=count" for each count that was not 0.
    std::string ReleaseAll() {
        std::string left;
        for (auto& [name, p] : held) {
            ULONG count = p->Release();
            if (count != 0) left += name + "=" + std::to_string(count) + " ";
        }
        held.clear();
        return left;
    }
};

// Holds every engine interface in an order where no held object keeps an earlier one alive.
void HoldEngineInterfaces(HeldInterfaces& h) {
    h.Hold("viewport", g_lpD3DRMViewport);
    h.Hold("rmdevice", g_lpD3DRMDevice2);
    h.Hold("device2", g_lpD3DDevice2);
    h.Hold("device", g_lpD3DDevice);
    h.Hold("rm", g_lpD3DRM2);
    h.Hold("scene", g_lpScene); // holds its children: goes first
    h.Hold("players", g_lpPlayers);
    h.Hold("camera", g_pDefaultCamera->m_frame);
    h.Hold("cameratarget", g_pDefaultCamera->m_lookatframe);
    h.Hold("d3d", g_lpD3D2);
    h.Hold("dd", g_lpDD);
}

} // namespace

TEST_F(VideoStartupTest, WindowedStartLogsEveryCreatedInterfaceAndKeyLines) {
    HWND window = MakeWindow();
    ASSERT_EQ(1, QuibInitDirectX(window, 800, 600)) << ErrorText();

    const std::string log = ReadLog();
    EXPECT_NE(log.find("QuibInitDirectX : width=800,height=600\n"), std::string::npos);
    // A windowed start logs the last full-screen request (none in a fresh process).
    char initLine[96];
    std::snprintf(initLine, sizeof(initLine), "InitDirectX(), width=%d,height=%d,bitdepth=%d\n", g_ReqWidth,
                  g_ReqHeight, g_ReqBPP);
    EXPECT_NE(log.find(initLine), std::string::npos);
    EXPECT_NE(log.find("g_bHardware3D=1\n"), std::string::npos);
    EXPECT_NE(log.find("g_ClientRect=<0,800,0,600>\n"), std::string::npos);
    EXPECT_NE(log.find("VidMem OK  : Needed 1920000, Free "), std::string::npos);
    EXPECT_NE(log.find("HW : Found Device <Host hardware 3D device,Direct3D HAL>"), std::string::npos);
    EXPECT_NE(log.find("EnterVideoModeWHBD(800,600,16),g_FullScreen=0\n"), std::string::npos);
    EXPECT_NE(log.find("RestoreDisplayMode\nSetCooperativeLevel(NORMAL)\n"), std::string::npos);
    EXPECT_NE(log.find("SetBufferCount=1\n"), std::string::npos);
    EXPECT_NE(log.find("EnterVideoModeWHBD : CreateViewport(0,0,800,600)\n"), std::string::npos);
    EXPECT_NE(log.find("SetSceneBackgroundRGB\n"), std::string::npos);
    for (const char* name :
         {"InitDirectX : g_lpDD", "InitDirectX : g_lpD3DRM", "InitScene : g_lpScene",
          "InitScene : g_lpPlayers", "EnterVideoMode : g_lpPrimary", "EnterVideoMode : g_lpClipper",
          "EnterVideoMode : g_lpBackBuffer", "EnterVideoMode : g_lpZBuffer",
          "EnterVideoMode : g_lpD3DRMDevice", "EnterVideoMode : g_lpD3DRMViewport"})
        EXPECT_EQ(1, CountLines(std::string(">") + name)) << name;
    EXPECT_NE(log.find("CREATE:<" + Ptr(g_lpPrimary) + ">EnterVideoMode : g_lpPrimary\n"), std::string::npos);

    // The pitches are those Lock reports (the host's rows are wider than width x 2).
    EXPECT_NE(log.find("Primary Pitch = " + std::to_string(g_PrimaryPitch) + "\n"), std::string::npos);
    EXPECT_NE(log.find("Backbuffer Pitch = " + std::to_string(g_BackBufferPitch) + "\n"), std::string::npos);
    EXPECT_GE(g_PrimaryPitch, 1024 * 2);
    EXPECT_GE(g_BackBufferPitch, 800 * 2);

    EXPECT_EQ(1, QuibIsHardwareD3D());
    EXPECT_EQ(16, QuibGetDisplayBPP());
    EXPECT_EQ(800, g_ModeWidth);
    EXPECT_EQ(600, g_ModeHeight);
    EXPECT_EQ(16, g_ModeBPP);
    // The window DC's default font (cell height 16) gives the statistics line its metrics.
    EXPECT_EQ(16, g_FontHeight);
    EXPECT_GT(g_CharWidth, 0);
    EXPECT_EQ(g_lpCamera, g_pDefaultCamera);
}

TEST_F(VideoStartupTest, WindowedBuffersAreTheDesktopAndAnOffscreenSurface) {
    HWND window = MakeWindow();
    ASSERT_EQ(1, QuibInitDirectX(window, 800, 600)) << ErrorText();
    IDirectDrawSurface* primary = nullptr;
    IDirectDrawSurface* back = nullptr;
    QuibGetDDInfo(&primary, &back);
    ASSERT_EQ(primary, g_lpPrimary);
    ASSERT_EQ(back, g_lpBackBuffer);
    EXPECT_EQ(QuibGetLPDD(), g_lpDD);

    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof(desc);
    ASSERT_EQ(DD_OK, primary->GetSurfaceDesc(&desc));
    EXPECT_EQ(1024u, desc.dwWidth);
    EXPECT_EQ(768u, desc.dwHeight);
    ASSERT_EQ(DD_OK, back->GetSurfaceDesc(&desc));
    EXPECT_EQ(800u, desc.dwWidth);
    EXPECT_EQ(600u, desc.dwHeight);
    EXPECT_EQ(16u, desc.ddpfPixelFormat.dwRGBBitCount);
    EXPECT_TRUE(desc.ddsCaps.dwCaps & DDSCAPS_3DDEVICE);
    EXPECT_TRUE(desc.ddsCaps.dwCaps & DDSCAPS_VIDEOMEMORY);
    EXPECT_EQ(DDSCAPS_VIDEOMEMORY, g_ZBufferMemory);

    HostDDrawObjectCounts live = HostDDrawLiveObjects();
    EXPECT_EQ(1, live.directDraws);
    EXPECT_EQ(3, live.surfaces); // primary, back buffer, Z-buffer
    EXPECT_EQ(1, live.clippers);
    EXPECT_EQ(0, live.palettes);
}

TEST_F(VideoStartupTest, FullScreenStartMakesAFlipChainAtTheRequestedMode) {
    HWND window = MakeWindow(0, 0);
    ASSERT_EQ(1, QuibInitDirectX(window, 800, 600, 16)) << ErrorText();

    const std::string log = ReadLog();
    EXPECT_NE(log.find("InitDirectX(), width=800,height=600,bitdepth=16\n"), std::string::npos);
    EXPECT_NE(log.find("g_dwNumModes="), std::string::npos);
    EXPECT_NE(log.find("SetCooperativeLevel(EXCLUSIVE)\nSetDisplayMode(800,600,16)\n"), std::string::npos);
    EXPECT_NE(log.find("SetBufferCount=2\n"), std::string::npos);
    EXPECT_EQ(std::string::npos, log.find("g_ClientRect=<")); // no windowed estimate
    EXPECT_EQ(0, CountLines("EnterVideoMode : g_lpClipper"));
    EXPECT_EQ(1, CountLines("CREATE:<" + Ptr(g_lpBackBuffer) + ">EnterVideoMode : g_lpBackBuffer"));

    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof(desc);
    ASSERT_EQ(DD_OK, g_lpPrimary->GetSurfaceDesc(&desc));
    EXPECT_EQ(800u, desc.dwWidth);
    EXPECT_EQ(600u, desc.dwHeight);
    EXPECT_EQ(1u, desc.dwBackBufferCount);
    EXPECT_TRUE(desc.ddsCaps.dwCaps & DDSCAPS_FLIP);
    EXPECT_FALSE(desc.ddsCaps.dwCaps & DDSCAPS_MODEX);
    EXPECT_EQ(800, DisplayWidth());
    EXPECT_EQ(1, QuibCheckDisplayMode(800, 600, 16));
    EXPECT_EQ(800, int(g_ClientRect.right));
    EXPECT_EQ(600, int(g_WindowRect.bottom));
}

TEST_F(VideoStartupTest, FreeDirectXReleasesEveryInterfaceToZero) {
    HWND window = MakeWindow();
    ASSERT_EQ(1, QuibInitDirectX(window, 800, 600)) << ErrorText();
    ASSERT_EQ(1, QuibSetViewport(0, 0, 800, 600));
    HeldInterfaces held;
    HoldEngineInterfaces(held);

    QuibFreeDirectX();
    // Every reference the engine held is gone: the test's own is the last of each object.
    EXPECT_EQ("", held.ReleaseAll());
    HostDDrawObjectCounts live = HostDDrawLiveObjects();
    EXPECT_EQ(0, live.directDraws);
    EXPECT_EQ(0, live.surfaces);
    EXPECT_EQ(0, live.clippers);
    EXPECT_EQ(QuibGetLPDD(), nullptr);
    IDirectDrawSurface* primary = reinterpret_cast<IDirectDrawSurface*>(1);
    IDirectDrawSurface* back = reinterpret_cast<IDirectDrawSurface*>(1);
    QuibGetDDInfo(&primary, &back);
    EXPECT_EQ(primary, nullptr);
    EXPECT_EQ(back, nullptr);
    EXPECT_EQ(g_lpCamera, nullptr);
    EXPECT_EQ(g_pDefaultCamera, nullptr);
}

TEST_F(VideoStartupTest, FreeDirectXLogsTheShutdownInOrderAndEveryLastReleaseIsZero) {
    HWND window = MakeWindow();
    ASSERT_EQ(1, QuibInitDirectX(window, 800, 600)) << ErrorText();
    QuibFreeDirectX();
    const std::string shutdown = LogFrom("Mirror Surface g_lpMirrorSurface");
    ASSERT_FALSE(shutdown.empty());
    const std::vector<std::string> lines = SplitLines(shutdown);
    ASSERT_GE(lines.size(), 6u);
    EXPECT_EQ("RELEASE:<(nil)>Mirror Surface g_lpMirrorSurface already NULL", lines[0]);
    EXPECT_EQ("RELEASE:<(nil)>Mirror Surface g_lpMirrorFlipped already NULL", lines[1]);
    EXPECT_EQ(0u, lines[2].find("RELEASE:<"));
    EXPECT_NE(lines[2].find(">g_lpScene->Release()=0"), std::string::npos);
    EXPECT_NE(lines[3].find(">g_lpPlayers->Release()=0"), std::string::npos);
    EXPECT_EQ("RELEASE:<(nil)>g_lpCamera already NULL", lines[4]);

    // The release order of the DirectX state.
    std::vector<std::string> order;
    for (const std::string& line : lines) {
        size_t start = line.find('>');
        size_t end = line.find("->Release()");
        if (line.rfind("RELEASE:<", 0) == 0 && end != std::string::npos)
            order.push_back(line.substr(start + 1, end - start - 1));
    }
    const std::vector<std::string> expected = {
        "g_lpScene",   "g_lpPlayers",    "g_lpD3DRMViewport", "g_lpD3DRMDevice2",      "g_lpD3DRM2",
        "g_lpD3DRM",   "g_lpBackBuffer", "g_lpD3DDevice2",    "g_lpD3DDevice",         "g_lpZBuffer",
        "g_lpPrimary", "g_lpClipper",    "~Frame->m_frame",   "~Frame->m_lookatframe", "g_lpD3D2",
        "g_lpDD"};
    EXPECT_EQ(expected, order);
    // Counting by the logged counts: each object's last release reaches 0; the two Retained Mode
    // interfaces share one count, as do the back buffer and the devices that draw on it.
    for (const char* name :
         {"g_lpD3DRMViewport", "g_lpD3DRMDevice2", "g_lpD3DRM", "g_lpD3DDevice", "g_lpZBuffer", "g_lpPrimary",
          "g_lpClipper", "~Frame->m_frame", "~Frame->m_lookatframe", "g_lpD3D2", "g_lpDD"})
        EXPECT_EQ(0, LastReleaseCount(name, shutdown)) << name;
    EXPECT_EQ(1, LastReleaseCount("g_lpD3DRM2", shutdown));
    EXPECT_EQ(std::string::npos, shutdown.find("g_lpDDPalette")); // no palette in a 16-bit mode
    EXPECT_EQ(std::string::npos, shutdown.find("Remaining Allocs"));
    EXPECT_EQ(std::string::npos, shutdown.find("RestoreDisplayMode()")); // windowed: no mode to restore
}

// A 16-bit start and shutdown, windowed and full screen: the shutdown releases exactly the engine's list,
// with "already NULL" only for what the mode did not make (the clipper in full screen), and says nothing
// of the palette that only 8-bit modes make.
TEST_F(VideoStartupTest, SixteenBitShutdownReleasesExactlyTheStateList) {
    const std::vector<std::string> expected = {
        "g_lpD3DRMViewport", "g_lpD3DRMDevice2",      "g_lpD3DRM2",  "g_lpD3DRM",   "g_lpBackBuffer",
        "g_lpD3DDevice2",    "g_lpD3DDevice",         "g_lpZBuffer", "g_lpPrimary", "g_lpClipper",
        "~Frame->m_frame",   "~Frame->m_lookatframe", "g_lpD3D2",    "g_lpDD"};
    for (bool fullScreen : {false, true}) {
        SCOPED_TRACE(fullScreen ? "full screen" : "windowed");
        HWND window = fullScreen ? MakeWindow(0, 0) : MakeWindow();
        ASSERT_EQ(1, fullScreen ? QuibInitDirectX(window, 800, 600, 16) : QuibInitDirectX(window, 800, 600))
            << ErrorText();
        const size_t before = ReadLog().size();
        QuibFreeDirectX();
        std::vector<std::string> names;
        for (const std::string& line : SplitLines(ReadLog().substr(before))) {
            if (line.rfind("RELEASE:<", 0) != 0) continue;
            const size_t start = line.find('>') + 1;
            size_t end = line.find("->Release()");
            if (end == std::string::npos) end = line.find(" already NULL");
            names.push_back(line.substr(start, end - start));
        }
        // From the first release of ReleaseAllDirectX on (the mirrors, scene and horizon come first).
        const auto first = std::find(names.begin(), names.end(), "g_lpD3DRMViewport");
        ASSERT_NE(first, names.end());
        EXPECT_EQ(expected, std::vector<std::string>(first, names.end()));
        EXPECT_EQ(0, CountLines("g_lpDDPalette"));
        DestroyWindow(window);
    }
}

TEST_F(VideoStartupTest, FreeDirectXReportsAllocationsLeftRegistered) {
    HWND window = MakeWindow();
    ASSERT_EQ(1, QuibInitDirectX(window, 800, 600)) << ErrorText();
    int marker = 0;
    ALLOCADD("leftover", &marker);
    QuibFreeDirectX();
    EXPECT_EQ(1, CountLines("***** Remaining Allocs = 1"));
}

TEST_F(VideoStartupTest, SecondFreeDirectXOnlyLogsAlreadyNull) {
    HWND window = MakeWindow();
    ASSERT_EQ(1, QuibInitDirectX(window, 800, 600)) << ErrorText();
    QuibFreeDirectX();
    const size_t before = ReadLog().size();
    QuibFreeDirectX();
    const std::string second = ReadLog().substr(before);
    for (const std::string& line : SplitLines(second))
        EXPECT_NE(line.find("already NULL"), std::string::npos) << line;
    EXPECT_NE(second.find("RELEASE:<(nil)>g_lpDD already NULL\n"), std::string::npos);
}

TEST_F(VideoStartupTest, FullScreenShutdownRestoresTheDesktopMode) {
    HWND window = MakeWindow(0, 0);
    ASSERT_EQ(1, QuibInitDirectX(window, 800, 600, 16)) << ErrorText();
    QuibFreeDirectX();
    const std::string shutdown = LogFrom("Mirror Surface g_lpMirrorSurface");
    EXPECT_NE(shutdown.find("RestoreDisplayMode()\n"), std::string::npos);
    // The mode comes back before the driver objects go.
    EXPECT_LT(shutdown.find("RestoreDisplayMode()\n"), shutdown.find(">g_lpDD->Release()=0"));
    EXPECT_EQ(1024, DisplayWidth());
    EXPECT_EQ(0, LastReleaseCount("g_lpDD", shutdown));
    EXPECT_EQ(0, LastReleaseCount("g_lpPrimary", shutdown));
}

TEST_F(VideoStartupTest, WindowedRestartAfterFullScreenReleasesEachObjectOnce) {
    HWND window = MakeWindow(0, 0);
    ASSERT_EQ(1, QuibInitDirectX(window, 800, 600, 16)) << ErrorText();
    ASSERT_EQ(1, QuibInitDirectX(window, 800, 600)) << ErrorText();

    const std::string restart = LogFrom("SetDirectDrawWindowMode");
    ASSERT_FALSE(restart.empty());
    const std::string releases = restart.substr(0, restart.find("InitDirectX(), width="));
    for (const char* name :
         {"g_lpD3DRMViewport", "g_lpD3DRMDevice2", "g_lpD3DRM2", "g_lpD3DRM", "g_lpBackBuffer",
          "g_lpD3DDevice2", "g_lpD3DDevice", "g_lpZBuffer", "g_lpPrimary", "g_lpD3D2", "g_lpDD"}) {
        int count = 0;
        for (const std::string& line : SplitLines(releases))
            count += line.find(std::string(">") + name + "->Release()=") != std::string::npos;
        EXPECT_EQ(1, count) << name;
    }
    EXPECT_EQ(0, g_FullScreen);
    EXPECT_EQ(1024, DisplayWidth()); // the desktop's mode is back
    HostDDrawObjectCounts live = HostDDrawLiveObjects();
    EXPECT_EQ(1, live.directDraws);
    EXPECT_EQ(3, live.surfaces);
    EXPECT_EQ(1, live.clippers);
    FillSolid(g_lpBackBuffer, 0x1234);
    EXPECT_EQ(1, QuibFlip());
}

TEST_F(VideoStartupTest, FullScreenRestartReleasesFirstAndRestoresTheMode) {
    HWND window = MakeWindow(0, 0);
    ASSERT_EQ(1, QuibInitDirectX(window, 800, 600, 16)) << ErrorText();
    ASSERT_EQ(1, QuibInitDirectX(window, 640, 480, 16)) << ErrorText();
    const std::string restart = LogFrom("InitDirectX(), width=640");
    EXPECT_NE(LogFrom("RELEASE:").find("RestoreDisplayMode()\n"), std::string::npos);
    EXPECT_EQ(640, DisplayWidth());
    EXPECT_NE(restart.find("SetDisplayMode(640,480,16)"), std::string::npos);
    EXPECT_EQ(1, HostDDrawLiveObjects().directDraws);
}

TEST_F(VideoStartupTest, NoThreeDDeviceAtAllFailsWithTheDriverMessage) {
    HostMachine machine = HardwareMachine();
    machine.hardware3D = false;
    machine.software3D = false;
    HostSetMachine(machine);
    HWND window = MakeWindow();
    EXPECT_EQ(0, QuibInitDirectX(window, 800, 600));
    EXPECT_EQ("Error locating suitable Direct3D driver!\n", ErrorText());
    // No mode entry was tried with an empty device id.
    EXPECT_EQ(0, CountLines("EnterVideoModeWHBD("));
    EXPECT_EQ(nullptr, g_lpD3DDeviceGuid);
    EXPECT_EQ(0, QuibInitDirectX(window, 800, 600, 16));
    EXPECT_EQ("Error locating suitable Direct3D driver!\n", ErrorText());
}

TEST_F(VideoStartupTest, HardwareWithoutRoomAndWithoutSoftwareDeviceFailsWithTheDriverMessage) {
    HostMachine machine = HardwareMachine();
    machine.software3D = false;
    machine.videoMemoryFree = 1000000;
    HostSetMachine(machine);
    HWND window = MakeWindow();
    EXPECT_EQ(0, QuibInitDirectX(window, 800, 600));
    EXPECT_EQ(1, CountLines("VidMem LOW : Needed 1920000, Free 1000000"));
    EXPECT_EQ("Error locating suitable Direct3D driver!\n", ErrorText());
}

TEST_F(VideoStartupTest, SoftwareOnlyMachineRendersWithTheMonoDeviceInSystemMemory) {
    HostSetMachine(SoftwareMachine());
    HWND window = MakeWindow();
    ASSERT_EQ(1, QuibInitDirectX(window, 800, 600)) << ErrorText();

    EXPECT_EQ(0, QuibIsHardwareD3D());
    EXPECT_EQ(HostD3DDeviceId(HostD3DDeviceKind::SoftwareMono), g_lpD3DDeviceGuid);
    EXPECT_EQ(1, CountLines("SW : Found Device <Host software mono device,Ramp Emulation>"));
    EXPECT_EQ(0, CountLines("SW : Found Device <Host software RGB device"));
    EXPECT_EQ(1, CountLines("SW : g_lpD3DDeviceGuid=0x"));
    EXPECT_EQ(0, CountLines("g_ClientRect=<")); // no video memory estimate without hardware
    EXPECT_EQ(16u, g_ZBufferDepth);
    EXPECT_EQ(DDSCAPS_SYSTEMMEMORY, g_ZBufferMemory);
    DDSCAPS caps = {};
    ASSERT_EQ(DD_OK, g_lpBackBuffer->GetCaps(&caps));
    EXPECT_TRUE(caps.dwCaps & DDSCAPS_SYSTEMMEMORY);
    ASSERT_EQ(DD_OK, g_lpZBuffer->GetCaps(&caps));
    EXPECT_TRUE(caps.dwCaps & DDSCAPS_SYSTEMMEMORY);
    // The hardware device cannot draw into system memory: the RGB device renders; the surface query gave
    // the mono device.
    ASSERT_NE(HostD3DDevice::From(g_lpD3DDevice2), nullptr);
    EXPECT_EQ(HostD3DDeviceKind::SoftwareRGB, HostD3DDevice::From(g_lpD3DDevice2)->Kind());
    ASSERT_NE(HostD3DDevice::From(g_lpD3DDevice), nullptr);
    EXPECT_EQ(HostD3DDeviceKind::SoftwareMono, HostD3DDevice::From(g_lpD3DDevice)->Kind());
    // Every mode of the machine is listed, unfiltered.
    EXPECT_EQ(HostGetMachine().displayModes.size(), size_t(g_dwNumModes));
    EXPECT_EQ(1, QuibCheckDisplayMode(800, 600, 32));
}

TEST_F(VideoStartupTest, LowVideoMemoryInAWindowFallsBackToSoftware) {
    HostMachine machine = HardwareMachine();
    machine.videoMemoryFree = 1000000;
    HostSetMachine(machine);
    HWND window = MakeWindow();
    ASSERT_EQ(1, QuibInitDirectX(window, 800, 600)) << ErrorText();
    EXPECT_EQ(1, CountLines("VidMem LOW : Needed 1920000, Free 1000000"));
    EXPECT_EQ(0, QuibIsHardwareD3D());
    EXPECT_EQ(HostD3DDeviceId(HostD3DDeviceKind::SoftwareMono), g_lpD3DDeviceGuid);
    EXPECT_EQ(DDSCAPS_SYSTEMMEMORY, g_ZBufferMemory);
}

TEST_F(VideoStartupTest, FullScreenModeTheHardwareCannotRenderFailsWithTheThreeNumbers) {
    HWND window = MakeWindow(0, 0);
    EXPECT_EQ(0, QuibInitDirectX(window, 1280, 1024, 16));
    EXPECT_EQ("3D Hardware doesn't support fullscreen rendering\nin 1280 x 1024 x 16 bit resolution.\n",
              ErrorText());
    // The 32-bit mode is filtered out too: the device renders only 16-bit targets.
    EXPECT_EQ(0, QuibCheckDisplayMode(800, 600, 32));
    EXPECT_EQ(1, QuibCheckDisplayMode(800, 600, 16));
    EXPECT_EQ(0, QuibInitDirectX(window, 800, 600, 32));
}

TEST_F(VideoStartupTest, ModesThatDoNotFitVideoMemoryAreFilteredForFullScreen) {
    HostMachine machine = HardwareMachine();
    machine.desktopWidth = 640;
    machine.desktopHeight = 480;
    HostSetMachine(machine);
    // The desktop's frame bytes count as free: pitch x height x bytes per pixel, as the start-up measures.
    const int64_t desktopBytes = int64_t(DesktopPitch()) * 480 * 2;
    ASSERT_LT(desktopBytes, 1843200);
    // Free + desktop bytes covers 640x480 (1,843,200 bytes) but not 800x600 (2,880,000).
    machine.videoMemoryFree = unsigned(1843200 - desktopBytes + 4096);
    HostSetMachine(machine);
    HWND window = MakeWindow(0, 0);
    EXPECT_EQ(0, QuibInitDirectX(window, 800, 600, 16));
    EXPECT_EQ(1, QuibCheckDisplayMode(640, 480, 16));
    EXPECT_EQ(0, QuibCheckDisplayMode(800, 600, 16));
}

TEST_F(VideoStartupTest, ModeTableKeepsAHundredRowsAndSaysSoOnce) {
    HostMachine machine = SoftwareMachine();
    machine.displayModes.clear();
    for (int i = 0; i < 150; i++)
        machine.displayModes.push_back({640 + 8 * i, 480, 16});
    machine.displayModes.push_back({800, 600, 16});
    HostSetMachine(machine);
    HWND window = MakeWindow();
    ASSERT_EQ(1, QuibInitDirectX(window, 800, 600)) << ErrorText();
    EXPECT_EQ(100u, g_dwNumModes);
    EXPECT_EQ(1, CountLines("DDEnumDisplayModesCallback::exceeded NUM_VID_MODES <100>"));
    EXPECT_EQ(1, QuibCheckDisplayMode(640 + 8 * 99, 480, 16));
    EXPECT_EQ(0, QuibCheckDisplayMode(640 + 8 * 100, 480, 16));
}

TEST_F(VideoStartupTest, ModeXChainFor320x240) {
    HostMachine machine = SoftwareMachine();
    machine.displayModes.push_back({320, 240, 16});
    HostSetMachine(machine);
    HWND window = MakeWindow(0, 0);
    ASSERT_EQ(1, QuibInitDirectX(window, 320, 240, 16)) << ErrorText();
    DDSCAPS caps = {};
    ASSERT_EQ(DD_OK, g_lpPrimary->GetCaps(&caps));
    EXPECT_TRUE(caps.dwCaps & DDSCAPS_MODEX);
}

TEST_F(VideoStartupTest, EightBitModeFailureStillReleasesItsPalette) {
    HostMachine machine = SoftwareMachine();
    machine.displayModes.push_back({640, 480, 8});
    HostSetMachine(machine);
    HWND window = MakeWindow(0, 0);
    // The devices draw only into 16-bit surfaces: the start fails after the palette was made.
    EXPECT_EQ(0, QuibInitDirectX(window, 640, 480, 8));
    EXPECT_EQ("can't create D3DDevice2 interface\n", ErrorText());
    ASSERT_NE(g_lpDDPalette, nullptr);
    EXPECT_EQ(1, HostDDrawLiveObjects().palettes);
    IDirectDrawPalette* palette = g_lpDDPalette;
    QuibFreeDirectX();
    EXPECT_EQ(0, HostDDrawLiveObjects().palettes);
    EXPECT_EQ(1, CountLines("RELEASE:<" + Ptr(palette) + ">g_lpDDPalette->Release()=0"));
    EXPECT_EQ(g_lpDDPalette, nullptr);
}

TEST_F(VideoStartupTest, TextureSurveyPicksTheAlphaFormatWithMostAlphaBits) {
    HostMachine machine = HardwareMachine();
    machine.palettised8BitTextures = true;
    HostSetMachine(machine);
    HWND window = MakeWindow();
    ASSERT_EQ(1, QuibInitDirectX(window, 800, 600)) << ErrorText();
    EXPECT_EQ(1, g_b8BitTextures);
    EXPECT_EQ(4u, g_dwAlphaBits);
    EXPECT_EQ(0xF000u, g_AlphaTextureFormat.dwRGBAlphaBitMask);
    EXPECT_EQ(0x0F00u, g_AlphaTextureFormat.dwRBitMask);
    EXPECT_EQ(2, CountLines("D3DEnumTextureFormatsCallback"));
    // The labels are the survey's own: rest of the mask, lowest bit, bit count.
    EXPECT_EQ(1, CountLines("rmask=00007c00, rbits=0, rshft=10, rlshft=5"));
    EXPECT_EQ(1, CountLines("amask=00008000, abits=0, ashft=15, alshft=1"));
    EXPECT_EQ(1, CountLines("amask=0000f000, abits=0, ashft=12, alshft=4"));
}

TEST_F(VideoStartupTest, ChosenSecondaryDriverWith3DBecomesTheDisplayDriver) {
    HostSecondaryDisplay displays[] = {{"Second card", "second", false}, {"Third card", "third", true}};
    HostDDrawSetSecondaryDisplays(displays, 2);
    std::snprintf(g_ChosenDDName, sizeof(g_ChosenDDName), "%s", "third");
    HWND window = MakeWindow();
    ASSERT_EQ(1, QuibInitDirectX(window, 800, 600)) << ErrorText();
    EXPECT_EQ(2, CountLines(">DDEnumCallback : lpDD"));
    EXPECT_EQ(0, CountLines("InitDirectX : g_lpDD"));
    // The second card was opened, found unsuitable and released.
    EXPECT_EQ(1, CountLines("DDEnumCallback(): lpDD->Release()=0"));
    HostDDrawSetSecondaryDisplays(nullptr, 0);
}

TEST_F(VideoStartupTest, WithoutAChoiceSecondaryDriversAreOpenedAndReleased) {
    HostSecondaryDisplay displays[] = {{"Unnamed card", "", true}};
    HostDDrawSetSecondaryDisplays(displays, 1);
    HWND window = MakeWindow();
    ASSERT_EQ(1, QuibInitDirectX(window, 800, 600)) << ErrorText();
    // An empty chosen name is no choice: the nameless driver is not taken.
    EXPECT_EQ(1, CountLines("DDEnumCallback(): lpDD->Release()=0"));
    EXPECT_EQ(1, CountLines("InitDirectX : g_lpDD"));
    HostDDrawSetSecondaryDisplays(nullptr, 0);
}

TEST_F(VideoStartupTest, StartAtTheWindowsClientSize) {
    HWND window = MakeWindow(10, 20, 640, 480);
    ASSERT_EQ(1, QuibInitDirectX(window)) << ErrorText();
    EXPECT_EQ(0, CountLines("QuibInitDirectX : width="));
    EXPECT_EQ(640, g_ModeWidth);
    EXPECT_EQ(480, g_ModeHeight);
    EXPECT_EQ(10, int(g_WindowRect.left));
    EXPECT_EQ(20, int(g_WindowRect.top));
    EXPECT_EQ(650, int(g_WindowRect.right));
    EXPECT_EQ(500, int(g_WindowRect.bottom));
    EXPECT_EQ(640, int(g_SourceRect.right));
}

TEST_F(VideoStartupTest, ShutdownStepsRunBeforeTheDriverObjectsGo) {
    static bool ranWithDriver = false;
    static int runs = 0;
    ranWithDriver = false;
    runs = 0;
    auto step = [] {
        runs++;
        ranWithDriver = g_lpDD != nullptr && g_lpScene == nullptr;
    };
    ASSERT_EQ(1, AddVideoShutdownStep(step));
    ASSERT_EQ(1, AddVideoShutdownStep(step)); // kept once
    HWND window = MakeWindow();
    ASSERT_EQ(1, QuibInitDirectX(window, 800, 600)) << ErrorText();
    QuibFreeDirectX();
    EXPECT_EQ(1, runs);
    EXPECT_TRUE(ranWithDriver);
}

TEST_F(VideoStartupTest, D3DCapsAndDeviceUpdateAreSafeBeforeStartUp) {
    D3DDEVICEDESC hardware, software;
    std::memset(&hardware, 0xAB, sizeof(hardware));
    std::memset(&software, 0xAB, sizeof(software));
    EXPECT_EQ(0, QuibGetD3DCaps(&hardware, &software));
    EXPECT_EQ(sizeof(D3DDEVICEDESC), hardware.dwSize);
    EXPECT_EQ(0u, hardware.dcmColorModel);
    EXPECT_EQ(0u, software.dcmColorModel);
    EXPECT_EQ(0, QuibUpdateDevice());
    EXPECT_EQ(0, QuibGetD3DCaps(nullptr, nullptr));

    HWND window = MakeWindow();
    ASSERT_EQ(1, QuibInitDirectX(window, 800, 600)) << ErrorText();
    EXPECT_EQ(0, QuibGetD3DCaps(&hardware, &software));
    EXPECT_EQ(unsigned(D3DCOLOR_RGB), hardware.dcmColorModel); // the hardware device
    ASSERT_EQ(D3D_OK, g_lpD3DDevice2->BeginScene());
    EXPECT_EQ(1, QuibUpdateDevice());
    EXPECT_FALSE(HostD3DDevice::From(g_lpD3DDevice2)->InScene());
}

// The 3D layer's start-up state: Frame lifetime, the scene and its cameras, the surface table and the
// texture-handle records, the horizon, the line clip and the immediate-mode viewport values.
#include "tests/quib/log_folder.h"

#include <cstdio>
#include <string>
#include <vector>

#include "host/d3d/d3d.h"
#include "host/ddraw/ddraw.h"
#include "host/ddraw/testing.h"
#include "host/rm/d3drm.h"
#include "host/rm/readback.h"
#include "quib/platform/directx.h"
#include "quib/platform/interfacelog.h"
#include "quib/scene/frames/frame.h"
#include "quib/scene/frames/scene3d_state.h"
#include "quib/scene/objects/horizon.h"
#include "quib/scene/objects/scene_render.h"
#include "quib/scene/pipeline/line_clip.h"
#include "quib/scene/pipeline/viewport_state.h"
#include "quib/scene/textures/surface_table.h"
#include "quib/scene/textures/texture_cache.h"

namespace {

// A Retained Mode object in the engine's globals, as InitDirectX leaves it.
class SceneStateTest : public LogFolderTest {
  protected:
    void SetUp() override {
        LogFolderTest::SetUp();
        ASSERT_EQ(D3DRM_OK, Direct3DRMCreate(&g_lpD3DRM));
        ASSERT_EQ(S_OK, g_lpD3DRM->QueryInterface(IID_IDirect3DRM2, reinterpret_cast<void**>(&g_lpD3DRM2)));
        QuibDebugEnable(1);
    }
    void TearDown() override {
        FreeScene();
        DeleteDefaultCamera();
        g_lpCamera = nullptr;
        if (g_lpD3DRM2) g_lpD3DRM2->Release();
        if (g_lpD3DRM) g_lpD3DRM->Release();
        g_lpD3DRM2 = nullptr;
        g_lpD3DRM = nullptr;
        DeleteSurfaceTable();
        LogFolderTest::TearDown();
    }

    static int CountLines(const std::string& text) {
        int count = 0;
        std::string log = ReadLog();
        for (size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + 1))
            ++count;
        return count;
    }

    // A root frame with one reference, the caller's.
    static IDirect3DRMFrame2* NewRootFrame() {
        IDirect3DRMFrame2* frame = nullptr;
        EXPECT_EQ(D3DRM_OK, g_lpD3DRM2->CreateFrame(nullptr, &frame));
        return frame;
    }
};

// A DirectDraw object for surfaces that tests hand to the table.
class WithDirectDraw {
  public:
    WithDirectDraw() { EXPECT_EQ(DD_OK, DirectDrawCreate(nullptr, &dd, nullptr)); }
    ~WithDirectDraw() {
        if (dd) dd->Release();
    }
    IDirectDrawSurface* Surface(int width = 8, int height = 8) {
        DDSURFACEDESC desc = {};
        desc.dwSize = sizeof(desc);
        desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
        desc.dwWidth = DWORD(width);
        desc.dwHeight = DWORD(height);
        desc.ddsCaps.dwCaps = DDSCAPS_TEXTURE | DDSCAPS_SYSTEMMEMORY;
        IDirectDrawSurface* surface = nullptr;
        EXPECT_EQ(DD_OK, dd->CreateSurface(&desc, &surface, nullptr));
        return surface;
    }
    IDirectDraw* dd = nullptr;
};

} // namespace

// ---- Frame ----

TEST_F(SceneStateTest, FrameMakesBothFramesUnderItsParentWithTheEnginesObject) {
    IDirect3DRMFrame2* parent = NewRootFrame();
    {
        Frame frame(nullptr, parent);
        EXPECT_EQ(g_lpD3DRM2, frame.m_d3drm);
        EXPECT_EQ(parent, frame.m_parent);
        ASSERT_NE(frame.m_frame, nullptr);
        ASSERT_NE(frame.m_lookatframe, nullptr);
        IDirect3DRMFrame* found = nullptr;
        ASSERT_EQ(D3DRM_OK, frame.m_frame->GetParent(&found));
        EXPECT_EQ(static_cast<IDirect3DRMFrame*>(parent), found);
        found->Release();
        EXPECT_EQ(0.0f, frame.m_position.x);
        EXPECT_EQ(0.0f, frame.m_angles[2]);
        EXPECT_EQ(0, frame.m_ypr);
    }
    EXPECT_EQ(0u, parent->Release());
}

TEST_F(SceneStateTest, FrameDestructorLogsBothReleasesWithTheirCounts) {
    IDirect3DRMFrame2* held = nullptr;
    std::string frameAddress, targetAddress;
    {
        Frame frame;
        held = frame.m_frame;
        held->AddRef(); // someone else still holds the frame
        frameAddress = Ptr(frame.m_frame);
        targetAddress = Ptr(frame.m_lookatframe);
    }
    EXPECT_EQ(1, CountLines("RELEASE:<" + frameAddress + ">~Frame->m_frame->Release()=1\n"));
    EXPECT_EQ(1, CountLines("RELEASE:<" + targetAddress + ">~Frame->m_lookatframe->Release()=0\n"));
    EXPECT_EQ(0u, held->Release());
}

TEST_F(SceneStateTest, FrameWithoutAnyRetainedModeObjectHoldsNothing) {
    IDirect3DRM2* rm = g_lpD3DRM2;
    g_lpD3DRM2 = nullptr;
    {
        Frame frame;
        EXPECT_EQ(nullptr, frame.m_frame);
        EXPECT_EQ(nullptr, frame.m_lookatframe);
        // The wrapping constructor with no object at all keeps the frame it is given and makes no target.
        IDirect3DRMFrame2* given = nullptr;
        ASSERT_EQ(D3DRM_OK, rm->CreateFrame(nullptr, &given));
        Frame wrapper(nullptr, nullptr, given);
        EXPECT_EQ(given, wrapper.m_frame);
        EXPECT_EQ(nullptr, wrapper.m_lookatframe);
    }
    g_lpD3DRM2 = rm;
    EXPECT_EQ(2, CountLines("RELEASE:<(nil)>~Frame->m_lookatframe already NULL\n"));
    EXPECT_EQ(1, CountLines("RELEASE:<(nil)>~Frame->m_frame already NULL\n"));
    EXPECT_EQ(1, CountLines(">~Frame->m_frame->Release()=0\n"));
}

TEST_F(SceneStateTest, WrappingFrameTakesOverTheFrameAndUsesTheEnginesObjectForItsTarget) {
    IDirect3DRMFrame2* given = NewRootFrame();
    given->AddRef(); // the test's own, to see what the destructor does
    {
        Frame wrapper(nullptr, nullptr, given);
        EXPECT_EQ(g_lpD3DRM2, wrapper.m_d3drm);
        EXPECT_EQ(given, wrapper.m_frame);
        EXPECT_NE(nullptr, wrapper.m_lookatframe);
    }
    // The wrapper released the reference it was given, no more.
    EXPECT_EQ(0u, given->Release());
}

// ---- Scene ----

TEST_F(SceneStateTest, FreeSceneBeforeInitSceneWritesThreeAlreadyNullLines) {
    FreeScene();
    EXPECT_EQ("RELEASE:<(nil)>g_lpScene already NULL\n"
              "RELEASE:<(nil)>g_lpPlayers already NULL\n"
              "RELEASE:<(nil)>g_lpCamera already NULL\n",
              ReadLog());
}

TEST_F(SceneStateTest, InitSceneWithoutRetainedModeDoesNothing) {
    IDirect3DRM2* rm = g_lpD3DRM2;
    g_lpD3DRM2 = nullptr;
    EXPECT_EQ(1, InitScene());
    g_lpD3DRM2 = rm;
    EXPECT_EQ(nullptr, g_lpScene);
    EXPECT_EQ(nullptr, g_lpPlayers);
    EXPECT_EQ(nullptr, g_pDefaultCamera);
    EXPECT_FALSE(LogExists());
}

TEST_F(SceneStateTest, InitSceneBuildsRootCameraPlayersAndBackground) {
    ASSERT_EQ(1, InitScene());
    ASSERT_NE(g_lpScene, nullptr);
    ASSERT_NE(g_lpPlayers, nullptr);
    ASSERT_NE(g_pDefaultCamera, nullptr);
    EXPECT_EQ(g_pDefaultCamera, g_lpCamera);
    EXPECT_EQ(g_lpScene, g_pDefaultCamera->m_parent);
    IDirect3DRMFrame* parent = nullptr;
    ASSERT_EQ(D3DRM_OK, g_lpPlayers->GetParent(&parent));
    EXPECT_EQ(static_cast<IDirect3DRMFrame*>(g_lpScene), parent);
    parent->Release();
    ASSERT_EQ(D3DRM_OK, g_lpScene->GetParent(&parent));
    EXPECT_EQ(nullptr, parent);
    float red = 0, green = 0, blue = 0;
    ASSERT_TRUE(HostRMSceneBackgroundRGB(g_lpScene, &red, &green, &blue));
    EXPECT_FLOAT_EQ(0.32156864f, red);
    EXPECT_FLOAT_EQ(0.5176471f, green);
    EXPECT_FLOAT_EQ(0.9032258f, blue);
    EXPECT_EQ("CREATE:<" + Ptr(g_lpScene) +
                  ">InitScene : g_lpScene\n"
                  "CREATE:<" +
                  Ptr(g_lpPlayers) +
                  ">InitScene : g_lpPlayers\n"
                  "SetSceneBackgroundRGB\n",
              ReadLog());
}

TEST_F(SceneStateTest, SecondInitSceneReplacesEverythingWithoutLeaking) {
    ASSERT_EQ(1, InitScene());
    IDirect3DRMFrame2* oldScene = g_lpScene;
    IDirect3DRMFrame2* oldPlayers = g_lpPlayers;
    IDirect3DRMFrame2* oldCamera = g_pDefaultCamera->m_frame;
    oldScene->AddRef();
    oldPlayers->AddRef();
    oldCamera->AddRef();
    ASSERT_EQ(1, InitScene());
    EXPECT_NE(oldScene, g_lpScene);
    EXPECT_EQ(g_pDefaultCamera, g_lpCamera);
    EXPECT_EQ(1, CountLines("RELEASE:<" + Ptr(oldScene) + ">g_lpScene->Release()="));
    EXPECT_EQ(1, CountLines("RELEASE:<" + Ptr(oldPlayers) + ">g_lpPlayers->Release()="));
    EXPECT_EQ(1, CountLines(">~Frame->m_frame->Release()="));
    // The test's references are the last ones.
    EXPECT_EQ(0u, oldScene->Release());
    EXPECT_EQ(0u, oldPlayers->Release());
    EXPECT_EQ(0u, oldCamera->Release());
}

TEST_F(SceneStateTest, FreeSceneReleasesRootAndPlayersButKeepsTheCamera) {
    ASSERT_EQ(1, InitScene());
    Frame* camera = g_pDefaultCamera;
    FreeScene();
    EXPECT_EQ(nullptr, g_lpScene);
    EXPECT_EQ(nullptr, g_lpPlayers);
    EXPECT_EQ(camera, g_pDefaultCamera);
    EXPECT_EQ(1, CountLines(">g_lpScene->Release()=0\n"));
    EXPECT_EQ(1, CountLines(">g_lpPlayers->Release()=0\n"));
    EXPECT_EQ(1, CountLines("RELEASE:<(nil)>g_lpCamera already NULL\n"));
}

TEST_F(SceneStateTest, DeletingTheDefaultCameraClearsTheCurrentCameraThatWasIt) {
    ASSERT_EQ(1, InitScene());
    DeleteDefaultCamera();
    EXPECT_EQ(nullptr, g_pDefaultCamera);
    EXPECT_EQ(nullptr, g_lpCamera);

    ASSERT_EQ(1, InitScene());
    Frame other;
    g_lpCamera = &other;
    DeleteDefaultCamera();
    EXPECT_EQ(&other, g_lpCamera); // another current camera stays
    g_lpCamera = nullptr;
}

TEST_F(SceneStateTest, ReleaseAllDirectXDeletesTheCameraAfterRetainedModeIsGone) {
    ASSERT_EQ(1, InitScene());
    FreeScene();
    ReleaseAllDirectX();
    EXPECT_EQ(nullptr, g_lpD3DRM2);
    EXPECT_EQ(nullptr, g_pDefaultCamera);
    EXPECT_EQ(nullptr, g_lpCamera);
    const std::string log = ReadLog();
    // The camera's frames outlive the Retained Mode object and go last, to 0.
    EXPECT_LT(log.find(">g_lpD3DRM->Release()=0"), log.find(">~Frame->m_frame->Release()=0"));
    EXPECT_NE(log.find(">~Frame->m_lookatframe->Release()=0"), std::string::npos);
}

// ---- Surface table and texture-handle records ----

TEST_F(SceneStateTest, InitSurfaceTableTwiceKeepsOneTableWithItsEntries) {
    QuibInitSurfaceTable();
    SurfaceTable* table = g_pSurfaceTable;
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(1, table->m_entries.capacity);
    ASSERT_EQ(1, table->Add(new SurfaceTableEntry()));
    EXPECT_EQ(
        1, CountLines(
               "SurfaceTable::Add : after add, elements=1\nSurfaceTable::Add : after GetTextureUsage()\n"));
    QuibInitSurfaceTable();
    EXPECT_EQ(table, g_pSurfaceTable);
    EXPECT_EQ(1, g_pSurfaceTable->m_entries.GetCount());
}

TEST_F(SceneStateTest, DeletingTheTableReleasesEveryEntrysSurfaces) {
    WithDirectDraw display;
    QuibInitSurfaceTable();
    SurfaceTableEntry* entry = new SurfaceTableEntry();
    std::snprintf(entry->name, sizeof(entry->name), "%s", "wall.bmp");
    entry->m_surface = display.Surface();
    entry->m_surfaceSM = entry->m_surface;
    entry->m_surfaceSM->AddRef();
    const std::string address = Ptr(entry->m_surface);
    ASSERT_EQ(1, g_pSurfaceTable->Add(entry));
    DeleteSurfaceTable();
    EXPECT_EQ(nullptr, g_pSurfaceTable);
    EXPECT_EQ(1, CountLines("RELEASE:<(nil)>~SurfaceTableEntry(wall.bmp): m_texture already NULL\n"));
    EXPECT_EQ(1,
              CountLines("RELEASE:<" + address + ">~SurfaceTableEntry(wall.bmp): m_surface->Release()=1\n"));
    EXPECT_EQ(1, CountLines("RELEASE:<" + address + ">m_surfaceSM->Release()=0\n"));
    EXPECT_EQ(1, CountLines("RELEASE:<(nil)>m_surfaceVM already NULL\n"));
    EXPECT_EQ(0, HostDDrawLiveObjects().surfaces);
    DeleteSurfaceTable(); // no table: nothing
}

TEST_F(SceneStateTest, FreeingTextureHandlesReleasesEveryRecordAndItsBackLink) {
    WithDirectDraw display;
    QuibInitSurfaceTable();
    SurfaceTableEntry* entries[3];
    for (SurfaceTableEntry*& entry : entries) {
        entry = new SurfaceTableEntry();
        TextureHandleEntry* record = texcache_alloc();
        ASSERT_NE(record, nullptr);
        record->owner = entry;
        record->surface = display.Surface();
        record->handle = 7;
        entry->m_cacheEntry = record;
        texcache_link(record);
        g_pSurfaceTable->Add(entry);
    }
    EXPECT_EQ(3, texcache_linked_count());
    g_pSurfaceTable->FreeTextureHandles();
    EXPECT_EQ(0, texcache_linked_count());
    for (SurfaceTableEntry* entry : entries)
        EXPECT_EQ(nullptr, entry->m_cacheEntry);
    EXPECT_EQ(0, HostDDrawLiveObjects().surfaces);
    g_pSurfaceTable->FreeTextureHandles(); // nothing left: nothing happens
}

TEST_F(SceneStateTest, DeletedEntryGivesUpItsTextureHandleRecord) {
    WithDirectDraw display;
    SurfaceTableEntry* entry = new SurfaceTableEntry();
    TextureHandleEntry* record = texcache_alloc();
    ASSERT_NE(record, nullptr);
    record->owner = entry;
    record->surface = display.Surface();
    entry->m_cacheEntry = record;
    texcache_link(record);
    delete entry;
    EXPECT_EQ(0, texcache_linked_count());
    EXPECT_EQ(nullptr, record->owner);
    EXPECT_EQ(0, HostDDrawLiveObjects().surfaces);
}

TEST_F(SceneStateTest, TextureHandlePoolHoldsAThousandAndTwentyFourRecords) {
    SurfaceTableEntry owner;
    std::vector<TextureHandleEntry*> taken;
    for (int i = 0; i < kTextureHandlePoolSize; i++) {
        TextureHandleEntry* record = texcache_alloc();
        ASSERT_NE(record, nullptr) << i;
        record->owner = &owner;
        texcache_link(record);
        taken.push_back(record);
    }
    EXPECT_EQ(nullptr, texcache_alloc());
    texcache_free_all();
    EXPECT_EQ(nullptr, owner.m_cacheEntry);
    EXPECT_NE(nullptr, texcache_alloc());
}

// ---- Horizon ----

TEST_F(SceneStateTest, FreeHorizonDeletesItAndItsMaterial) {
    FreeHorizon(); // none: nothing
    EXPECT_EQ(nullptr, g_pHorizon);
    IDirectDraw* dd = nullptr;
    ASSERT_EQ(DD_OK, DirectDrawCreate(nullptr, &dd, nullptr));
    IDirect3D2* d3d = nullptr;
    ASSERT_EQ(S_OK, dd->QueryInterface(IID_IDirect3D2, reinterpret_cast<void**>(&d3d)));
    g_pHorizon = new Horizon();
    EXPECT_FLOAT_EQ(100000.0f, g_pHorizon->m_farDistance);
    EXPECT_EQ(0u, g_pHorizon->m_colour1);
    ASSERT_EQ(D3D_OK, d3d->CreateMaterial(&g_pHorizon->m_material, nullptr));
    IDirect3DMaterial2* material = g_pHorizon->m_material;
    material->AddRef();
    FreeHorizon();
    EXPECT_EQ(nullptr, g_pHorizon);
    EXPECT_EQ(0u, material->Release());
    d3d->Release();
    EXPECT_EQ(0u, dd->Release());
}

// ---- Line clip and viewport values ----

TEST_F(SceneStateTest, LineClipIsTheRectangleInsideItsBorder) {
    const int savedPitch = g_BackBufferPitch;
    g_BackBufferPitch = 1280;
    RECT client = {0, 0, 640, 480};
    SetLineClipRect(&client);
    EXPECT_EQ(640, g_LineClip.pitch);
    EXPECT_EQ(1, g_LineClip.left);
    EXPECT_EQ(1, g_LineClip.top);
    EXPECT_EQ(638, g_LineClip.right);
    EXPECT_EQ(478, g_LineClip.bottom);
    SetLineClipRect(nullptr); // ignored
    EXPECT_EQ(638, g_LineClip.right);
    g_BackBufferPitch = savedPitch;
}

TEST_F(SceneStateTest, ViewportValuesWithoutADeviceViewport) {
    set_viewport_clip(0, 0, 640, 480, nullptr);
    const ImViewportState& v = ViewportState;
    EXPECT_EQ(nullptr, g_ImViewport);
    EXPECT_FLOAT_EQ(320.0f, v.scale);
    EXPECT_FLOAT_EQ(320.0f, v.centreX);
    EXPECT_FLOAT_EQ(240.0f, v.centreY);
    EXPECT_FLOAT_EQ(1.0f / 307200.0f, v.inverseArea);
    EXPECT_FLOAT_EQ(1.0f, v.rightSlope);
    EXPECT_FLOAT_EQ(-1.0f, v.leftSlope);
    EXPECT_FLOAT_EQ(0.75f, v.topSlope);
    EXPECT_FLOAT_EQ(-0.75f, v.bottomSlope);
    EXPECT_FLOAT_EQ(640.0f, v.right);
    EXPECT_FLOAT_EQ(480.0f, v.bottom);
}

TEST_F(SceneStateTest, ViewportValuesFollowTheRectangleAndTheProjectionFactor) {
    set_viewport_clip(100, 50, 400, 300, nullptr);
    EXPECT_FLOAT_EQ(300.0f, ViewportState.centreX);
    EXPECT_FLOAT_EQ(200.0f, ViewportState.centreY);
    EXPECT_FLOAT_EQ(200.0f, ViewportState.scale);
    g_ProjectionFactor = 0.2f;
    update_viewport_scale();
    EXPECT_FLOAT_EQ(400.0f, ViewportState.scale);
    EXPECT_FLOAT_EQ(0.5f, ViewportState.rightSlope);
    g_ProjectionFactor = 0.1f;
    // An empty viewport has no slopes rather than infinite ones.
    set_viewport_clip(0, 0, 0, 0, nullptr);
    EXPECT_EQ(0.0f, ViewportState.inverseArea);
    EXPECT_EQ(0.0f, ViewportState.rightSlope);
    EXPECT_EQ(0.0f, ViewportState.bottomSlope);
}

TEST_F(SceneStateTest, DeviceViewportGetsTheClipHeightAsAFraction) {
    IDirectDraw* dd = nullptr;
    ASSERT_EQ(DD_OK, DirectDrawCreate(nullptr, &dd, nullptr));
    IDirect3D2* d3d = nullptr;
    ASSERT_EQ(S_OK, dd->QueryInterface(IID_IDirect3D2, reinterpret_cast<void**>(&d3d)));
    IDirect3DViewport2* viewport = nullptr;
    ASSERT_EQ(D3D_OK, d3d->CreateViewport(&viewport, nullptr));
    set_viewport_clip(0, 0, 800, 600, viewport);
    EXPECT_EQ(viewport, g_ImViewport);
    D3DVIEWPORT2 values = {};
    values.dwSize = sizeof(values);
    ASSERT_EQ(D3D_OK, viewport->GetViewport2(&values));
    EXPECT_EQ(800u, values.dwWidth);
    EXPECT_EQ(600u, values.dwHeight);
    EXPECT_FLOAT_EQ(0.75f, values.dvClipHeight);
    EXPECT_FLOAT_EQ(0.0f, values.dvMinZ);
    EXPECT_FLOAT_EQ(1.0f, values.dvMaxZ);
    g_ImViewport = nullptr;
    viewport->Release();
    d3d->Release();
    EXPECT_EQ(0u, dd->Release());
}

// The texture-handle cache driven as a small 3D game drives it: texture files loaded into the surface
// table after the display started, handles fetched for drawing, video memory running short, textures
// changed and lost, and the display restarted.
#include "host/d3d/texture.h"
#include "quib/scene/textures/surface_table.h"
#include "quib/scene/textures/texture_cache.h"
#include "tests/quib/bitmap_test_support.h"
#include "tests/quib/video_test_support.h"

using namespace video_test;
using testsupport::ReadPixels;

namespace {

ULONG CountOf(IUnknown* p) {
    p->AddRef();
    return p->Release();
}

class TextureCacheTest : public VideoTest {
  protected:
    void TearDown() override {
        g_CurrentTexture = nullptr;
        VideoTest::TearDown();
        EXPECT_EQ(0, texcache_linked_count());
    }

    void Start() { ASSERT_EQ(1, QuibInitDirectX(MakeWindow(), 640, 480)) << ErrorText(); }

    // A 24-bit texture file of one colour per column band.
    static void WriteTexture(const std::string& name, int width, int height, uint32_t colour) {
        std::vector<uint32_t> pixels;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                pixels.push_back(x < width / 2 ? colour : 0xFFFFFFu);
        bmptest::WriteBytes(name, bmptest::BuildBmp(bmptest::Picture24(width, height, pixels)));
    }

    // Looks name up in the table and loads it when missing, as the 3D loaders do.
    static SurfaceTableEntry* Texture(const char* name) {
        if (SurfaceTableEntry* found = g_pSurfaceTable->FindByName(name)) return found;
        SurfaceTableEntry* entry = new SurfaceTableEntry(name);
        EXPECT_EQ(1, g_pSurfaceTable->Add(entry));
        return entry;
    }

    static DWORD FreeVideoMemory() {
        IDirectDraw2* dd2 = nullptr;
        EXPECT_EQ(S_OK, g_lpDD->QueryInterface(IID_IDirectDraw2, reinterpret_cast<void**>(&dd2)));
        DDSCAPS caps = {DDSCAPS_TEXTURE};
        DWORD total = 0, free = 0;
        dd2->GetAvailableVidMem(&caps, &total, &free);
        dd2->Release();
        return free;
    }

    // Video memory that a device copy of a width x height 16-bit texture takes.
    static DWORD CopyBytes(int width, int height) {
        const DWORD before = FreeVideoMemory();
        DDSURFACEDESC desc = {};
        desc.dwSize = sizeof desc;
        desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
        desc.dwWidth = DWORD(width);
        desc.dwHeight = DWORD(height);
        desc.ddsCaps.dwCaps = DDSCAPS_TEXTURE | DDSCAPS_VIDEOMEMORY;
        IDirectDrawSurface* probe = nullptr;
        EXPECT_EQ(DD_OK, g_lpDD->CreateSurface(&desc, &probe, nullptr));
        const DWORD used = before - FreeVideoMemory();
        probe->Release();
        return used;
    }

    static DWORD BoundHandle() {
        DWORD handle = 99;
        g_lpD3DDevice2->GetRenderState(D3DRENDERSTATE_TEXTUREHANDLE, &handle);
        return handle;
    }
};

} // namespace

TEST_F(TextureCacheTest, GameLoadsTexturesGetsHandlesAndGetsNewOnesAfterARestart) {
    WriteTexture("crate.bmp", 64, 64, 0x804020u);
    WriteTexture("grass.bmp", 32, 32, 0x20C040u);
    Start();
    for (int round = 0; round < 2; ++round) {
        SurfaceTableEntry* crate = Texture("crate.bmp");
        SurfaceTableEntry* grass = Texture("grass.bmp");
        ASSERT_NE(nullptr, crate->m_cacheEntry) << "made at load once the device exists";
        const ULONG sourceRefs = CountOf(crate->m_surfaceSM);
        const D3DTEXTUREHANDLE crateHandle = texcache_lookup(crate);
        const D3DTEXTUREHANDLE grassHandle = texcache_lookup(grass);
        EXPECT_NE(0u, crateHandle);
        EXPECT_NE(0u, grassHandle);
        EXPECT_NE(crateHandle, grassHandle);
        EXPECT_EQ(crateHandle, texcache_lookup(crate));
        EXPECT_EQ(sourceRefs, CountOf(crate->m_surfaceSM)) << "queried texture interfaces are released";
        // The handle names the loaded device copy, texels and key included.
        IDirectDrawSurface* copy = HostD3DTextureSurface(crateHandle);
        ASSERT_EQ(crate->m_cacheEntry->surface, copy);
        EXPECT_EQ(ReadPixels(crate->m_surfaceSM), ReadPixels(copy));
        DDCOLORKEY key = {};
        ASSERT_EQ(DD_OK, copy->GetColorKey(DDCKEY_SRCBLT, &key));
        EXPECT_EQ(255u, key.dwColorSpaceLowValue);
        DDSCAPS caps = {};
        copy->GetCaps(&caps);
        EXPECT_TRUE(caps.dwCaps & DDSCAPS_VIDEOMEMORY);
        EXPECT_EQ(2, texcache_linked_count());

        QuibFreeDirectX();
        EXPECT_EQ(0, texcache_linked_count());
        EXPECT_EQ(nullptr, HostD3DTextureSurface(crateHandle));
        EXPECT_EQ(0, HostDDrawLiveObjects().surfaces);
        Start(); // the second round runs on the new device
    }
}

TEST_F(TextureCacheTest, ShortVideoMemoryEvictsASameSizeCopyFirstAndUnbindsTheCurrentTexture) {
    for (const char* name : {"a.bmp", "b.bmp", "c.bmp", "d.bmp"})
        WriteTexture(name, 64, 64, 0x4080C0u);
    WriteTexture("small.bmp", 32, 32, 0x102030u);
    WriteTexture("huge.bmp", 128, 128, 0x102030u);
    // Measure what start-up and one copy take, then start again with room for two large and one small
    // copy, set through the machine file's video_memory_free.
    Start();
    const DWORD startFree = FreeVideoMemory();
    const DWORD large = CopyBytes(64, 64), small = CopyBytes(32, 32);
    QuibFreeDirectX();
    HostMachine machine = HostGetMachine();
    std::string message;
    const DWORD budget = machine.videoMemoryFree - startFree + 2 * large + small;
    ASSERT_TRUE(HostParseMachineText("video_memory_free = " + std::to_string(budget), machine, message))
        << message;
    HostSetMachine(machine);
    Start();
    ASSERT_EQ(2 * large + small, FreeVideoMemory());

    SurfaceTableEntry* smallEntry = Texture("small.bmp"); // oldest, another size
    SurfaceTableEntry* a = Texture("a.bmp");
    SurfaceTableEntry* b = Texture("b.bmp");
    EXPECT_EQ(3, texcache_linked_count());
    SurfaceTableEntry* d = Texture("d.bmp"); // no room: a, the oldest of its size, goes
    EXPECT_NE(nullptr, smallEntry->m_cacheEntry);
    EXPECT_EQ(nullptr, a->m_cacheEntry);
    EXPECT_NE(nullptr, b->m_cacheEntry);
    EXPECT_NE(nullptr, d->m_cacheEntry);

    // b is bound for drawing; fetching a's handle again evicts b and unbinds it.
    g_CurrentTexture = b;
    ASSERT_EQ(DD_OK, g_lpD3DDevice2->SetRenderState(D3DRENDERSTATE_TEXTUREHANDLE, texcache_lookup(b)));
    texcache_lookup(d); // d becomes the most recent: b is the oldest large copy
    EXPECT_NE(0u, texcache_lookup(a));
    EXPECT_EQ(nullptr, b->m_cacheEntry);
    EXPECT_EQ(nullptr, g_CurrentTexture);
    EXPECT_EQ(0u, BoundHandle());

    // A copy larger than all memory evicts everything and still gets nothing.
    SurfaceTableEntry* huge = Texture("huge.bmp");
    EXPECT_EQ(nullptr, huge->m_cacheEntry);
    EXPECT_EQ(0u, texcache_lookup(huge));
    EXPECT_EQ(0, texcache_linked_count());
    EXPECT_EQ(nullptr, smallEntry->m_cacheEntry);
    // The others come back on their next lookup.
    EXPECT_NE(0u, texcache_lookup(smallEntry));
    EXPECT_NE(0u, texcache_lookup(b));
}

TEST_F(TextureCacheTest, FullPoolLeavesTheNextTextureWithoutAHandle) {
    HostSetMachine(SoftwareMachine());
    Start();
    for (int i = 0; i <= kTextureHandlePoolSize; ++i) {
        IDirectDrawSurface* surface = testsupport::NewTexture(g_lpDD, 2, 2);
        ASSERT_NE(nullptr, surface);
        g_pSurfaceTable->Add(new SurfaceTableEntry(surface));
        surface->Release();
    }
    SurfaceTableEntry* last = g_pSurfaceTable->m_entries.GetAt(kTextureHandlePoolSize);
    EXPECT_EQ(kTextureHandlePoolSize, texcache_linked_count());
    EXPECT_EQ(nullptr, last->m_cacheEntry);
    EXPECT_EQ(0u, texcache_lookup(last));
    EXPECT_NE(0u, texcache_lookup(g_pSurfaceTable->m_entries.GetAt(0)));
    // Software device: copies live in system memory.
    DDSCAPS caps = {};
    g_pSurfaceTable->m_entries.GetAt(0)->m_cacheEntry->surface->GetCaps(&caps);
    EXPECT_TRUE(caps.dwCaps & DDSCAPS_SYSTEMMEMORY);
    QuibFreeSurfaceTable();
    EXPECT_EQ(0, texcache_linked_count());
    EXPECT_NE(nullptr, texcache_alloc());
}

TEST_F(TextureCacheTest, DestroyedEntryGivesUpItsRecordAndStopsBeingCurrent) {
    WriteTexture("x.bmp", 16, 16, 0x00FF00u);
    WriteTexture("y.bmp", 16, 16, 0x0000FFu);
    Start();
    SurfaceTableEntry* x = Texture("x.bmp");
    Texture("y.bmp");
    g_CurrentTexture = x;
    ASSERT_EQ(DD_OK, g_lpD3DDevice2->SetRenderState(D3DRENDERSTATE_TEXTUREHANDLE, texcache_lookup(x)));
    g_pSurfaceTable->m_entries.Remove(x);
    delete x;
    EXPECT_EQ(nullptr, g_CurrentTexture);
    EXPECT_EQ(0u, BoundHandle());
    EXPECT_EQ(1, texcache_linked_count());
    texcache_free_all(); // walks only live records
    EXPECT_EQ(0, texcache_linked_count());
    EXPECT_EQ(nullptr, g_pSurfaceTable->FindByName("y.bmp")->m_cacheEntry);
    EXPECT_NE(0u, texcache_lookup(g_pSurfaceTable->FindByName("y.bmp")));
}

TEST_F(TextureCacheTest, LostDeviceCopyIsRestoredAndReloadedOnLookup) {
    WriteTexture("lost.bmp", 32, 32, 0x336699u);
    Start();
    SurfaceTableEntry* entry = Texture("lost.bmp");
    const D3DTEXTUREHANDLE handle = texcache_lookup(entry);
    IDirectDrawSurface* copy = entry->m_cacheEntry->surface;
    HostDDrawMarkSurfaceLost(copy);
    EXPECT_EQ(handle, texcache_lookup(entry));
    EXPECT_EQ(DD_OK, copy->IsLost());
    EXPECT_EQ(ReadPixels(entry->m_surfaceSM), ReadPixels(copy));
}

TEST_F(TextureCacheTest, UpdatedPixelsReachTheDeviceCopy) {
    WriteTexture("paint.bmp", 8, 8, 0x000000u);
    bmptest::BmpFields indexed;
    indexed.width = 4;
    indexed.height = 1;
    indexed.bitCount = 8;
    indexed.colorsUsed = 3;
    bmptest::AddColour(indexed.table, 0, 0, 0);
    bmptest::AddColour(indexed.table, 255, 0, 0);
    bmptest::AddColour(indexed.table, 0, 0, 255);
    indexed.pixels = {1, 1, 1, 1};
    bmptest::WriteBytes("pal.bmp", bmptest::BuildBmp(indexed));
    Start();
    SurfaceTableEntry* paint = Texture("paint.bmp");
    SurfaceTableEntry* pal = Texture("pal.bmp");
    texcache_lookup(paint);
    texcache_lookup(pal);

    FillSolid(QuibGetSurface("paint.bmp"), 0x07E0);
    ASSERT_EQ(1, QuibUpdateSurface("paint.bmp"));
    EXPECT_EQ(std::vector<uint32_t>(64, 0x07E0), ReadPixels(paint->m_cacheEntry->surface));

    {
        DDSURFACEDESC desc = {};
        desc.dwSize = sizeof desc;
        ASSERT_EQ(DD_OK, pal->m_surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr));
        static_cast<BYTE*>(desc.lpSurface)[0] = 2; // blue
        pal->m_surface->Unlock(nullptr);
    }
    ASSERT_EQ(1, QuibUpdateSurface("pal.bmp"));
    const std::vector<uint32_t> copy = ReadPixels(pal->m_cacheEntry->surface);
    EXPECT_EQ(0x001Fu, copy[0]);
    EXPECT_EQ(0xF800u, copy[1]);
}

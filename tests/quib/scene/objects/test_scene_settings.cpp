// The scene-wide part of the flat 3D interface: display lists, mirror surfaces, the horizon's background
// and the texture filter switch.
#include <cstring>

#include "host/d3d/recording.h"
#include "quib/platform/interfacelog.h"
#include "quib/scene/objects/display_list.h"
#include "quib/scene/objects/horizon.h"
#include "quib/scene/objects/render_types.h"
#include "quib/scene/objects/scene_settings.h"
#include "quib/scene/pipeline/scene_fog.h"
#include "quib/scene/pipeline/viewport_state.h"
#include "quib/scene/textures/texture_cache.h"
#include "tests/quib/video_test_support.h"

using namespace video_test;

namespace {

MeshObject* Fake(int n) {
    return reinterpret_cast<MeshObject*>(uintptr_t(0x1000 * n));
}

TEST(DisplayListTest, DeletingAtTheCursorKeepsTheWalkOnTheNextEntry) {
    void* handle = QuibCreateDisplayList(1);
    auto* list = static_cast<DisplayList*>(handle);
    for (int i = 1; i <= 4; ++i)
        EXPECT_EQ(1, QuibAddDisplayList(handle, Fake(i)));
    EXPECT_EQ(4, list->GetCount());
    std::vector<MeshObject*> walked;
    for (list->cursor = 0; list->cursor < list->GetCount(); list->cursor++) {
        MeshObject* object = list->GetAt(list->cursor);
        walked.push_back(object);
        if (object == Fake(2)) QuibDelDisplayList(handle, object);
    }
    EXPECT_EQ(std::vector<MeshObject*>({Fake(1), Fake(2), Fake(3), Fake(4)}), walked);
    EXPECT_EQ(1, QuibDelDisplayList(handle, Fake(9))); // absent: nothing changes
    EXPECT_EQ(3, list->GetCount());
    EXPECT_EQ(0, QuibReplaceDisplayList(handle, Fake(9), Fake(5)));
    EXPECT_EQ(1, QuibReplaceDisplayList(handle, Fake(3), Fake(5)));
    EXPECT_EQ(Fake(5), list->GetAt(1));
    QuibFreeDisplayList(handle);
    QuibFreeDisplayList(nullptr);
}

class SceneSettingsTest : public VideoTest {
  protected:
    void SetUp() override {
        VideoTest::SetUp();
        ASSERT_EQ(1, QuibInitDirectX(MakeWindow(), 640, 480)) << ErrorText();
        ASSERT_EQ(1, QuibSetViewport(0, 0, 640, 480)) << ErrorText();
    }
    void TearDown() override {
        FreeHorizon();
        QuibFogEnable(0);
        QuibSetRenderTypes(const_cast<char*>("*"));
        g_HorizonColour1 = g_HorizonColour2 = 0;
        g_ImDevice = nullptr;
        g_CurrentTexture = nullptr;
        VideoTest::TearDown();
    }
    // The colour the viewport clears the back buffer to, as a 16-bit pixel.
    static WORD ClearedPixel() {
        IDirect3DViewport* viewport = nullptr;
        EXPECT_EQ(D3DRM_OK, g_lpD3DRMViewport->GetDirect3DViewport(&viewport));
        D3DRECT all = {0, 0, 640, 480};
        EXPECT_EQ(D3D_OK, viewport->Clear(1, &all, D3DCLEAR_TARGET));
        viewport->Release();
        LockedPixels pixels(g_lpBackBuffer);
        return pixels.ok() ? pixels.At(10, 10) : 0;
    }
};

TEST_F(SceneSettingsTest, MirrorCopiesTheBackBufferFlippedAndGrowsForLargerMirrors) {
    FillPattern(g_lpBackBuffer);
    ASSERT_EQ(1, QuibMirrorViewport(nullptr, 10, 20, 8, 4));
    ASSERT_NE(nullptr, g_lpMirrorSurfaceFlipped);
    {
        LockedPixels flipped(g_lpMirrorSurfaceFlipped);
        ASSERT_TRUE(flipped.ok());
        EXPECT_EQ(PatternAt(17, 20), flipped.At(0, 0));
        EXPECT_EQ(PatternAt(10, 23), flipped.At(7, 3));
    }
    // A larger mirror gets surfaces of its size.
    ASSERT_EQ(1, QuibMirrorViewport(nullptr, 0, 0, 32, 16));
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof desc;
    ASSERT_EQ(DD_OK, g_lpMirrorSurfaceFlipped->GetSurfaceDesc(&desc));
    EXPECT_EQ(32u, desc.dwWidth);
    // Blitting back lands the mirror image at the destination.
    ASSERT_EQ(1, QuibBlitMirror(0, 0, 32, 16, 100, 100));
    {
        LockedPixels back(g_lpBackBuffer);
        EXPECT_EQ(PatternAt(31, 0), back.At(100, 100));
    }
    // Init on existing surfaces releases them; the next makes them again.
    EXPECT_EQ(1, QuibMirrorInit(0, 0, 16, 16));
    EXPECT_EQ(nullptr, g_lpMirrorSurface);
    EXPECT_EQ(nullptr, g_lpMirrorSurfaceFlipped);
    EXPECT_EQ(1, QuibMirrorInit(0, 0, 16, 16));
    EXPECT_NE(nullptr, g_lpMirrorSurfaceFlipped);
    EXPECT_EQ(1, QuibMirrorFree());
    EXPECT_EQ(nullptr, g_lpMirrorSurface);
}

TEST_F(SceneSettingsTest, HorizonClearsToColourTwoWhenTheSkyShowsWithoutFog) {
    const WORD red = 0xF800, blue = 0x001F;
    ASSERT_EQ(1, QuibSetHorizonColor(255, 0, 0, 0, 0, 255));
    g_pHorizon = new Horizon;
    // The first update always builds the material, whatever the colours were.
    ASSERT_EQ(1, g_pHorizon->Init(g_HorizonColour1, g_HorizonColour2, 100000.0f));
    IDirect3DMaterial2* first = g_pHorizon->m_material;
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(blue, ClearedPixel());
    EXPECT_EQ(1, g_pHorizon->Update(g_HorizonColour1, g_HorizonColour2));
    EXPECT_EQ(first, g_pHorizon->m_material); // nothing changed: no new material

    // Without background objects the viewport clears to colour 1.
    QuibSetRenderTypes(const_cast<char*>("tb"));
    EXPECT_EQ(1, g_pHorizon->Update(g_HorizonColour1, g_HorizonColour2));
    EXPECT_EQ(red, ClearedPixel());
    // New colours reach a horizon that exists at once.
    QuibSetHorizonColor(0, 255, 0, 0, 0, 0);
    EXPECT_EQ(0x07E0, ClearedPixel());
}

TEST_F(SceneSettingsTest, HorizonPlaneIsDrawnOnlyBehindFogOrWithoutSky) {
    const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    float camera[16];
    std::memcpy(camera, identity, sizeof camera);
    camera[13] = 10.0f; // above the plane, looking along +z
    setup_view(identity, camera, g_lpD3DDevice2);
    QuibSetHorizonColor(0, 0, 0, 0, 255, 0);
    g_pHorizon = new Horizon;
    ASSERT_EQ(1, g_pHorizon->Init(g_HorizonColour1, g_HorizonColour2, 100000.0f));
    auto draws = [] {
        int n = 0;
        for (const HostD3DCall& c : HostD3DRecordedCalls(g_lpD3DDevice2))
            n += c.kind == HostD3DCall::Kind::kDraw;
        return n;
    };
    HostD3DSetRecording(g_lpD3DDevice2, true);
    EXPECT_EQ(1, g_pHorizon->Draw());
    EXPECT_EQ(0, draws());
    QuibSetRenderTypes(const_cast<char*>("t"));
    g_pHorizon->Update(g_HorizonColour1, g_HorizonColour2);
    EXPECT_EQ(1, g_pHorizon->Draw());
    EXPECT_EQ(1, draws());
    HostD3DSetRecording(g_lpD3DDevice2, false);
}

TEST_F(SceneSettingsTest, BilinearFilteringSetsBothFilters) {
    HostD3DSetRecording(g_lpD3DDevice2, true);
    EXPECT_EQ(1, QuibSetBilinearFiltering(1));
    std::vector<DWORD> filters;
    for (const HostD3DCall& c : HostD3DRecordedCalls(g_lpD3DDevice2))
        if (c.kind == HostD3DCall::Kind::kRenderState) filters.push_back(c.value);
    EXPECT_EQ(std::vector<DWORD>({D3DFILTER_LINEAR, D3DFILTER_LINEAR}), filters);
    HostD3DSetRecording(g_lpD3DDevice2, false);
}

} // namespace

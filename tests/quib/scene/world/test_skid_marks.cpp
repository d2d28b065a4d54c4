// Skid marks driven as a game drives them: the ring of skids, strips chained past 2 units, clearing, the
// marks darkening a display-list frame, and calls with no skid object.
#include "quib/scene/objects/display_list.h"
#include "quib/scene/objects/horizon.h"
#include "quib/scene/objects/render_types.h"
#include "quib/scene/textures/surface_table.h"
#include "quib/scene/world/skid_object.h"
#include "tests/quib/draw_test_support.h"
#include "tests/support/frame_capture.h"

using namespace draw_test;
using video_test::LockedPixels;

namespace {

D3DVECTOR Corner(int skid, int corner) {
    return static_cast<SkidObject*>(g_pSkidObject)->m_vertices[skid * kSkidCorners + corner].position;
}

void ExpectAt(const D3DVECTOR& v, float x, float y, float z) {
    EXPECT_FLOAT_EQ(x, v.x);
    EXPECT_FLOAT_EQ(y, v.y);
    EXPECT_FLOAT_EQ(z, v.z);
}

TEST(SkidsWithoutObjectTest, EveryCallIsRefusedQuietly) {
    ASSERT_EQ(nullptr, g_pSkidObject);
    EXPECT_EQ(-1, QuibAddSkid(0, 0, 0, 0, 1, 0, 1));
    EXPECT_EQ(-1, QuibExtendSkid(0, 1, 0, 0, 0, 1, 0));
    EXPECT_EQ(0, QuibClearSkidmarks());
    QuibFreeSkidmarks();
    EXPECT_EQ(nullptr, g_pSkidObject);
    // Without Retained Mode there is no mesh for the ring: no object at all.
    ASSERT_EQ(nullptr, g_lpD3DRM2);
    void* out = &out;
    EXPECT_EQ(nullptr, QuibInitSkidmarks(&out));
    EXPECT_EQ(nullptr, out);
    EXPECT_EQ(nullptr, g_pSkidObject);
}

class SkidTest : public DrawTest {
  protected:
    void SetUp() override {
        DrawTest::SetUp();
        void* out = nullptr;
        ASSERT_NE(nullptr, QuibInitSkidmarks(&out)) << ErrorText();
        ASSERT_EQ(g_pSkidObject, out);
        skids_ = static_cast<SkidObject*>(out);
    }
    void TearDown() override {
        QuibFreeSkidmarks();
        QuibSkidsEnable(0);
        FreeHorizon();
        DrawTest::TearDown();
    }
    SkidObject* skids_ = nullptr;
};

TEST_F(SkidTest, TheRingWrapsAndClearingZeroesEveryVertex) {
    ASSERT_EQ(0, QuibAddSkid(0, 0, 0, 0, 1, 0, 1));
    ASSERT_EQ(0, QuibExtendSkid(0, 1, 0, 0, 0, 1, 0));
    for (int i = 1; i < MAXSKIDS; ++i)
        ASSERT_EQ(i, QuibAddSkid(0, 0, float(i), 0, 1, 0, 1));
    // The 201st reuses slot 0, whose old quad stays until the new skid is first stretched.
    EXPECT_EQ(0, QuibAddSkid(5, 0, 5, 0, 1, 0, 1));
    ExpectAt(Corner(0, 3), 1, 0, -0.5f);
    EXPECT_EQ(0, QuibExtendSkid(0, 6, 0, 5, 0, 1, 0));
    ExpectAt(Corner(0, 0), 5, 0, 4.5f);
    ExpectAt(Corner(0, 3), 6, 0, 4.5f);

    EXPECT_EQ(-1, QuibExtendSkid(-1, 0, 0, 0, 0, 1, 0));
    EXPECT_EQ(-1, QuibExtendSkid(MAXSKIDS, 0, 0, 0, 0, 1, 0));
    EXPECT_EQ(1, QuibClearSkidmarks());
    std::vector<D3DRMVERTEX> group(kSkidVertices);
    std::memset(group.data(), 0xFF, group.size() * sizeof(D3DRMVERTEX));
    ASSERT_EQ(D3DRM_OK, skids_->m_mesh->GetVertices(skids_->m_group, 0, kSkidVertices, group.data()));
    const std::vector<unsigned char> zero(sizeof(D3DRMVERTEX) * kSkidVertices, 0);
    EXPECT_EQ(0, std::memcmp(zero.data(), group.data(), zero.size()));
    EXPECT_EQ(0, std::memcmp(zero.data(), skids_->m_vertices, zero.size()));
    // Nothing added since clearing: stretching is refused.
    EXPECT_EQ(0, QuibExtendSkid(0, 1, 0, 0, 0, 1, 0));
    const std::string log = ReadLog();
    EXPECT_NE(std::string::npos, log.find("QuibExtendSkid: index <-1> > MAXSKIDS <200>\n"));
    EXPECT_NE(std::string::npos, log.find("QuibExtendSkid: index <200> > MAXSKIDS <200>\n"));
    EXPECT_NE(std::string::npos, log.find("AddSkid: problem with m_next <-1>\n"));
}

TEST_F(SkidTest, AStripDrivenTenUnitsChainsEveryTwoUnitsWithoutGaps) {
    int index = QuibAddSkid(0, 0, 0, 0, 1, 0, 1);
    ASSERT_EQ(0, index);
    // The first stretch from the start itself, or straight up the normal, gives no side: it waits.
    EXPECT_EQ(0, QuibExtendSkid(0, 0, 0, 0, 0, 1, 0));
    EXPECT_EQ(0, QuibExtendSkid(0, 0, 3, 0, 0, 1, 0));
    EXPECT_EQ(0, skids_->m_skids[0].started);
    ExpectAt(Corner(0, 2), 0, 0, 0);

    std::vector<float> chainedAt;
    for (int step = 1; step <= 20; ++step) {
        const float x = 0.5f * float(step);
        const int next = QuibExtendSkid(index, x, 0, 0, 0, 1, 0);
        if (next != index) {
            chainedAt.push_back(x);
            EXPECT_EQ(index, skids_->m_skids[next].predecessor);
            EXPECT_FLOAT_EQ(1.0f, skids_->m_skids[next].width);
        }
        index = next;
    }
    EXPECT_EQ((std::vector<float>{2.5f, 5.0f, 7.5f, 10.0f}), chainedAt);
    EXPECT_EQ(4, index);
    // Skid 0 runs from 0 to 2.5 with the side fixed across x; each next skid starts at its end.
    ExpectAt(Corner(0, 0), 0, 0, -0.5f);
    ExpectAt(Corner(0, 1), 0, 0, 0.5f);
    ExpectAt(Corner(0, 2), 2.5f, 0, 0.5f);
    ExpectAt(Corner(0, 3), 2.5f, 0, -0.5f);
    for (int k = 1; k < 4; ++k) {
        ExpectAt(Corner(k, 0), Corner(k - 1, 3).x, Corner(k - 1, 3).y, Corner(k - 1, 3).z);
        ExpectAt(Corner(k, 1), Corner(k - 1, 2).x, Corner(k - 1, 2).y, Corner(k - 1, 2).z);
    }

    // Turning along +z later keeps the side of the first stretch.
    EXPECT_EQ(4, QuibExtendSkid(4, 10.5f, 0, 0, 0, 1, 0));
    EXPECT_EQ(4, QuibExtendSkid(4, 10.5f, 0, 1, 0, 1, 0));
    ExpectAt(Corner(4, 2), 10.5f, 0, 1.5f);
    ExpectAt(Corner(4, 3), 10.5f, 0, 0.5f);
}

TEST_F(SkidTest, MarksDarkenTheFrameOnlyWhereTheyLieAndGoWithTheObject) {
    ASSERT_NE(0, QuibAlphaBlending()); // the plain grey marks
    g_lpCamera->SetPosition(0.0f, 0.0f, -10.0f);
    QuibSetHorizonColor(200, 200, 200, 200, 200, 200);
    // A strip facing the camera: x -1 .. 1, y -1 .. 1 at z = 0.
    const int skid = QuibAddSkid(-1, 0, 0, 0, 0, -1, 2);
    ASSERT_EQ(skid, QuibExtendSkid(skid, 1, 0, 0, 0, 0, -1));
    void* list = QuibCreateDisplayList(1);
    QuibSortDisplayList(list);
    ASSERT_EQ(1, static_cast<DisplayList*>(list)->GetCount());

    auto render = [&] {
        // The horizon made in the first frame sets the clear colour from the second on.
        for (int frame = 0; frame < 2; ++frame) {
            EXPECT_EQ(1, QuibRenderDisplayList(list)) << ErrorText();
            g_lpD3DDevice2->EndScene();
        }
        LockedPixels pixels(g_lpBackBuffer);
        EXPECT_TRUE(pixels.ok());
        return std::vector<WORD>{pixels.At(320, 240), pixels.At(300, 260), pixels.At(320, 200),
                                 pixels.At(10, 10)};
    };
    const std::vector<WORD> off = render(); // skids switched off: nothing drawn
    const WORD background = off[3];
    EXPECT_EQ((std::vector<WORD>{background, background, background, background}), off);

    QuibSkidsEnable(1);
    const std::vector<WORD> on = render();
    {
        LockedPixels pixels(g_lpBackBuffer);
        testsupport::WriteFrame565("skid_marks.bmp", pixels.width(), pixels.height(), pixels.pitch(),
                                   &pixels.At(0, 0));
    }
    const auto green = [](WORD p) { return (p >> 5) & 0x3F; };
    EXPECT_LT(green(on[0]), green(background)); // under the strip
    EXPECT_LT(green(on[1]), green(background));
    EXPECT_GT(green(on[0]), 0);   // darkened, not blackened (grey 0xC0 multiplies)
    EXPECT_EQ(background, on[2]); // above it
    EXPECT_EQ(background, on[3]);

    // Freeing takes the object out of the sorted list: the next frame is plain again.
    QuibFreeSkidmarks();
    EXPECT_EQ(nullptr, g_pSkidObject);
    EXPECT_EQ(0, static_cast<DisplayList*>(list)->GetCount());
    EXPECT_EQ(off, render());
    QuibFreeDisplayList(list);
    EXPECT_EQ(-1, QuibAddSkid(0, 0, 0, 0, 1, 0, 1));
}

TEST_F(SkidTest, TexturedMarksAreDrawnTexturedOnlyWithoutAnAlphaFormat) {
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.dwWidth = desc.dwHeight = 16;
    desc.ddsCaps.dwCaps = DDSCAPS_TEXTURE | DDSCAPS_SYSTEMMEMORY;
    IDirectDrawSurface* surface = nullptr;
    ASSERT_EQ(DD_OK, g_lpDD->CreateSurface(&desc, &surface, nullptr));
    void* out = nullptr;
    auto* skids = static_cast<SkidObject*>(QuibInitSkidmarks(&out, surface));
    ASSERT_NE(nullptr, skids);
    EXPECT_EQ(surface, skids->m_textureSurface);
    ASSERT_NE(nullptr, skids->m_textureEntry);
    EXPECT_EQ(skids->m_textureEntry, g_pSurfaceTable->FindBySurface(surface)); // shared through the table
    surface->Release();
    ASSERT_EQ(0, QuibAddSkid(-1, 0, 0, 0, 0, -1, 2));
    ASSERT_EQ(0, QuibExtendSkid(0, 1, 0, 0, 0, 0, -1));

    Take();
    skids->RenderDPMesh(); // switched off: nothing
    EXPECT_TRUE(Draws(Take()).empty());
    skids->Render(g_lpD3DRMViewport); // the queued path draws regardless; 199 empty skids are skipped
    std::vector<HostD3DCall> draws = Draws(Take());
    ASSERT_EQ(1u, draws.size());
    EXPECT_EQ(0xC0C0C0u, draws[0].vertices[0].color); // plain grey with an alpha format
    const unsigned alphaBits = g_dwAlphaBits;
    g_dwAlphaBits = 0;
    QuibSkidsEnable(1);
    skids->RenderDPMesh();
    g_dwAlphaBits = alphaBits;
    draws = Draws(Take());
    ASSERT_EQ(1u, draws.size());
    EXPECT_EQ(0xFFFFFFu, draws[0].vertices[0].color); // white under the texture
    EXPECT_EQ(skids->m_textureEntry, skids->m_drawMaterial.texture);
}

TEST_F(SkidTest, ASecondStartReplacesTheFirstAndFreedListsAreForgotten) {
    void* typed = QuibCreateDisplayList(1);
    QuibSortDisplayList(typed);
    QuibFreeDisplayList(typed); // freed before the skid object goes: nothing may touch it later
    void* kept = QuibCreateDisplayList(1);
    QuibSortDisplayList(kept);
    void* out = nullptr;
    ASSERT_NE(nullptr, QuibInitSkidmarks(&out));
    EXPECT_NE(nullptr, g_pSkidObject);
    EXPECT_EQ(0, static_cast<DisplayList*>(kept)->GetCount()); // the first object left it
    skids_ = static_cast<SkidObject*>(out);
    QuibFreeDisplayList(kept);

    // Added by hand (and by replacing): freeing the skid object takes it out of those lists too.
    void* added = QuibCreateDisplayList(1);
    void* replaced = QuibCreateDisplayList(1);
    ASSERT_EQ(1, QuibAddDisplayList(added, out));
    ASSERT_EQ(1, QuibAddDisplayList(replaced, nullptr));
    ASSERT_EQ(1, QuibReplaceDisplayList(replaced, nullptr, out));
    QuibFreeSkidmarks();
    skids_ = nullptr;
    EXPECT_EQ(0, QuibReplaceDisplayList(added, out, nullptr));
    EXPECT_EQ(0, QuibReplaceDisplayList(replaced, out, nullptr));
    QuibFreeDisplayList(added);
    QuibFreeDisplayList(replaced);
}

} // namespace

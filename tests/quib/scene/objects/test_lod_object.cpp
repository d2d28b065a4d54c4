// Levels of detail: levels chosen and refused, objects placed on one level only, and rendering only the
// current level's object (none before a level is chosen).
#include <cstdio>

#include "quib/scene/objects/lod_object.h"
#include "tests/quib/video_test_support.h"

using namespace video_test;

namespace {

// A grey quad of side 2 at z = 1, facing -z (clockwise seen from there).
constexpr const char* kQuadX =
    "xof 0302txt 0032\nMesh quad {\n 4;\n -1.0;-1.0;1.0;,\n 1.0;-1.0;1.0;,\n 1.0;1.0;1.0;,\n"
    " -1.0;1.0;1.0;;\n 1;\n 4;3,2,1,0;;\n}\n";

class LODTest : public VideoTest {
  protected:
    void SetUp() override {
        VideoTest::SetUp();
        ASSERT_EQ(1, QuibInitDirectX(MakeWindow(), 640, 480)) << ErrorText();
        ASSERT_EQ(1, QuibSetViewport(0, 0, 640, 480)) << ErrorText();
        lod_ = new LODobj(nullptr, nullptr);
        ASSERT_EQ(1, lod_->CreateLevels(2));
    }
    void TearDown() override {
        delete lod_;
        VideoTest::TearDown();
    }
    LODobj* lod_ = nullptr;
};

TEST_F(LODTest, LevelsOutsideTheRangeAreRefusedWithTheirTexts) {
    ASSERT_EQ(1, lod_->SetLOD(1));
    LevelRecord* current = lod_->m_current;
    for (int level : {2, -1}) {
        RegError("");
        EXPECT_EQ(0, lod_->SetLOD(level));
        EXPECT_STREQ("LODobj::SetLOD : level >= m_total\n", g_ErrorText);
        EXPECT_EQ(1, lod_->m_level);
        EXPECT_EQ(current, lod_->m_current);
    }
    MeshObject o(nullptr, nullptr);
    for (int level : {2, -1}) {
        RegError("");
        EXPECT_EQ(0, lod_->AddObject(level, &o));
        EXPECT_STREQ("LODobj::AddObject : level >= m_total\n", g_ErrorText);
        RegError("");
        EXPECT_EQ(0, lod_->RemoveObject(level, &o));
        EXPECT_STREQ("LODobj::AddObject : bad LOD\n\n", g_ErrorText); // the text has its own line end
    }
    // A second CreateLevels starts over (the first levels are freed, nothing is current).
    EXPECT_EQ(1, lod_->CreateLevels(3));
    EXPECT_EQ(nullptr, lod_->m_current);
    EXPECT_EQ(1, lod_->SetLOD(2));
}

TEST_F(LODTest, OnlyTheCurrentLevelIsRendered) {
    FILE* f = std::fopen("quad.x", "w");
    ASSERT_NE(nullptr, f);
    std::fputs(kQuadX, f);
    std::fclose(f);
    auto* quad = new MeshObject(nullptr, nullptr);
    char name[] = "quad.x";
    ASSERT_EQ(1, quad->LoadX(name)) << ErrorText();
    quad->SetPosition(0.0f, 0.0f, 9.0f);

    ASSERT_EQ(1, lod_->AddObject(1, quad));
    EXPECT_NE(nullptr, lod_->m_levels->GetAt(1)->object->m_visuals->Find(quad));
    EXPECT_EQ(nullptr, lod_->m_levels->GetAt(0)->object->m_visuals);

    auto centre = [&] {
        g_lpD3DRMViewport->Clear();
        g_RenderStats = {};
        EXPECT_EQ(1, lod_->Render(g_lpD3DRMViewport)) << ErrorText();
        LockedPixels pixels(g_lpBackBuffer);
        return pixels.At(320, 240);
    };
    const WORD cleared = centre(); // no level chosen: nothing drawn
    EXPECT_EQ(0, g_RenderStats.objects);
    ASSERT_EQ(1, lod_->SetLOD(0));
    EXPECT_EQ(cleared, centre());
    EXPECT_EQ(1, g_RenderStats.objects); // level 0's own, empty object
    ASSERT_EQ(1, lod_->SetLOD(1));
    EXPECT_NE(cleared, centre()); // the quad

    ASSERT_EQ(1, lod_->RemoveObject(1, quad));
    EXPECT_EQ(cleared, centre());
    EXPECT_EQ(1, lod_->RemoveObject(1, quad)); // not there any more: nothing changes
    delete quad;
}

} // namespace

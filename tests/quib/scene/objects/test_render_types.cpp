// Render types: the enabled letters, their draw parameters under the detail factor, object names of the
// model files, and the frame-rate adjustment's dropping and restoring of letters.
#include <gtest/gtest.h>

#include <string>

#include "quib/scene/objects/render_types.h"

namespace {

class RenderTypesTest : public ::testing::Test {
  protected:
    void TearDown() override {
        QuibSetRenderTypes(const_cast<char*>("*"));
        QuibSetTextureTypes(const_cast<char*>("*"));
        QuibPelkDetailLevel(5);
        QuibAutoFramerateAdjustDelays(1, 1);
    }
    static void Set(const char* letters) { QuibSetRenderTypes(const_cast<char*>(letters)); }
};

TEST_F(RenderTypesTest, LettersEnableTypesAndUpperCaseIsOnlyAMark) {
    EXPECT_EQ(1, QuibIsRenderType('q'));
    Set("tMb");
    EXPECT_EQ(1, QuibIsRenderType('m'));
    EXPECT_EQ(0, QuibIsRenderType('M'));
    EXPECT_EQ(0, QuibIsRenderType('z'));
    EXPECT_EQ(0, g_SkyTypeEnabled);
    Set("tz");
    EXPECT_EQ(1, g_SkyTypeEnabled);
    Set("");
    EXPECT_EQ(0, QuibIsRenderType('t'));
    // Texture types compare both sides in lower case.
    QuibSetTextureTypes(const_cast<char*>("aB"));
    EXPECT_EQ(1, QuibIsTextureType('A'));
    EXPECT_EQ(1, QuibIsTextureType('b'));
    EXPECT_EQ(0, QuibIsTextureType('c'));
}

TEST_F(RenderTypesTest, OverlongLettersAreCutAndTerminated) {
    const std::string many(60, 'a');
    Set((many + "z").c_str());
    EXPECT_EQ(39u, std::string(RenderTypes).size());
    EXPECT_EQ(0, QuibIsRenderType('z'));
}

TEST_F(RenderTypesTest, ParametersComeFromTheTableScaledByDetail) {
    int flag = -1, extra = -1, zbuffer = -1;
    float farDistance = 0, nearDistance = 0;
    GetRenderTypeParams('d', &flag, &farDistance, &nearDistance, &extra, &zbuffer);
    EXPECT_EQ(0, flag);
    EXPECT_FLOAT_EQ(1033.3334f, farDistance);
    EXPECT_EQ(1, extra);
    EXPECT_EQ(0, zbuffer);
    GetRenderTypeParams('q', &flag, &farDistance, &nearDistance, &extra, &zbuffer); // not in the table
    EXPECT_FLOAT_EQ(3100.0f, farDistance);
    EXPECT_FLOAT_EQ(3000.0f, nearDistance);
    EXPECT_EQ(1, zbuffer);
    QuibPelkDetailLevel(15);
    GetRenderTypeParams('z', nullptr, &farDistance, &nearDistance, nullptr, nullptr);
    EXPECT_FLOAT_EQ(60000.0f, farDistance);
    EXPECT_FLOAT_EQ(80000.0f, nearDistance);
    QuibPelkDetailLevel(0);
    GetRenderTypeParams('b', nullptr, &farDistance, nullptr, nullptr, nullptr);
    EXPECT_FLOAT_EQ(775.0f, farDistance);
}

TEST_F(RenderTypesTest, ObjectNamesCarryNumberParentAndType) {
    struct Case {
        const char* name;
        int number, parent;
        char type;
    };
    const Case cases[] = {{"t12p3b", 12, 3, 'b'}, {"t7bg", 7, -1, 'z'},   {"tree", 0, 0, '?'},
                          {"box", 0, 0, '?'},     {"t4p12M", 4, 12, 'm'}, {"t", 0, 0, '?'}};
    for (const Case& c : cases) {
        int number = -9, parent = -9;
        char type = 0;
        ParseObjectName(c.name, &number, &parent, &type);
        EXPECT_EQ(c.number, number) << c.name;
        EXPECT_EQ(c.parent, parent) << c.name;
        EXPECT_EQ(c.type, type) << c.name;
    }
}

TEST_F(RenderTypesTest, SlowFramesDropUpperCaseLettersAndFastOnesRestoreThem) {
    Set("tMb");
    EXPECT_EQ(0, AdjustRenderTypes(20, 40, 30)); // within the band
    EXPECT_EQ(1, AdjustRenderTypes(20, 40, 10));
    EXPECT_STREQ("tb", RenderTypes);
    EXPECT_EQ(0, AdjustRenderTypes(20, 40, 10)); // nothing left to drop
    EXPECT_EQ(1, AdjustRenderTypes(20, 40, 50));
    EXPECT_STREQ("Mtb", RenderTypes);
    EXPECT_EQ(0, AdjustRenderTypes(20, 40, 50)); // nothing left to restore

    // With delays, only the third slow frame in a row drops; a fast frame in between starts over.
    QuibAutoFramerateAdjustDelays(3, 1);
    EXPECT_EQ(0, AdjustRenderTypes(20, 40, 10));
    EXPECT_EQ(0, AdjustRenderTypes(20, 40, 10));
    EXPECT_EQ(0, AdjustRenderTypes(20, 40, 50));
    EXPECT_EQ(0, AdjustRenderTypes(20, 40, 10));
    EXPECT_EQ(0, AdjustRenderTypes(20, 40, 10));
    EXPECT_EQ(1, AdjustRenderTypes(20, 40, 10));
    EXPECT_STREQ("tb", RenderTypes);

    // "*" has no letter to drop.
    Set("*");
    EXPECT_EQ(0, AdjustRenderTypes(20, 40, 1));
    EXPECT_EQ(0, AdjustRenderTypes(20, 40, 1));
    EXPECT_EQ(0, AdjustRenderTypes(20, 40, 1));
}

} // namespace

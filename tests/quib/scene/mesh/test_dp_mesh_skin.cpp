// The mesh material table: sized by its constructor, entries start untextured black, and counts that
// the 16-bit slot cannot hold leave it empty rather than wrapped.
#include <gtest/gtest.h>

#include "quib/scene/mesh/dp_mesh_skin.h"

TEST(DPMeshSkin, HoldsTheAskedNumberOfBlackUntexturedMaterials) {
    DPMeshSkin skin(3);
    ASSERT_EQ(3u, skin.count);
    ASSERT_NE(nullptr, skin.materials);
    for (uint32_t i = 0; i < skin.count; ++i) {
        EXPECT_EQ(0u, skin.materials[i].colour);
        EXPECT_EQ(nullptr, skin.materials[i].texture);
    }
}

TEST(DPMeshSkin, EmptyNegativeAndUncountableSizesLeaveNoArray) {
    for (int n : {0, -1, 65536}) {
        DPMeshSkin skin(n);
        EXPECT_EQ(0u, skin.count) << n;
        EXPECT_EQ(nullptr, skin.materials) << n;
    }
    DPMeshSkin largest(65535);
    EXPECT_EQ(65535u, largest.count);
}

// Retained Mode meshes: groups of fixed and varying face sizes, vertex ranges, group settings, and the
// references groups hold on their materials and textures.
#include <gtest/gtest.h>

#include <vector>

#include "rm_test_support.h"
#include "host/ddraw/testing.h"
#include "host/rm/d3drm.h"
#include "host/rm/mesh.h"
#include "host/rm/texture_file.h"

namespace {

ULONG CountOf(IUnknown* p) {
    p->AddRef();
    return p->Release();
}

class RMMeshTest : public ::testing::Test {
  protected:
    void SetUp() override {
        rm2_ = NewRetainedMode();
        ASSERT_NE(rm2_, nullptr);
        ASSERT_EQ(rm2_->CreateMesh(&mesh_), D3DRM_OK);
    }
    void TearDown() override {
        if (mesh_) {
            EXPECT_EQ(mesh_->Release(), 0u);
        }
        if (rm2_) {
            EXPECT_EQ(rm2_->Release(), 0u);
        }
        EXPECT_EQ(HostDDrawLiveObjects().surfaces, 0);
    }

    IDirect3DRM2* rm2_ = nullptr;
    IDirect3DRMMesh* mesh_ = nullptr;
};

TEST_F(RMMeshTest, GroupsOfFixedAndVaryingFacesKeepTheirFaceData) {
    unsigned quads[] = {0, 1, 2, 3, 4, 5, 6, 7};
    D3DRMGROUPINDEX first = -1, second = -1;
    ASSERT_EQ(mesh_->AddGroup(8, 2, 4, quads, &first), D3DRM_OK);
    unsigned mixed[] = {3, 0, 1, 2, 4, 2, 1, 3, 4};
    ASSERT_EQ(mesh_->AddGroup(5, 2, 0, mixed, &second), D3DRM_OK);
    EXPECT_EQ(first, 0);
    EXPECT_EQ(second, 1);
    EXPECT_EQ(mesh_->GetGroupCount(), 2u);

    unsigned vertices = 0, faces = 0, perFace = 99;
    DWORD size = 0;
    ASSERT_EQ(mesh_->GetGroup(second, &vertices, &faces, &perFace, &size, nullptr), D3DRM_OK);
    EXPECT_EQ(vertices, 5u);
    EXPECT_EQ(faces, 2u);
    EXPECT_EQ(perFace, 0u);
    ASSERT_EQ(size, 9u);
    std::vector<unsigned> data(size);
    ASSERT_EQ(mesh_->GetGroup(second, nullptr, nullptr, nullptr, &size, data.data()), D3DRM_OK);
    EXPECT_EQ(data, std::vector<unsigned>(mixed, mixed + 9));
    DWORD shortRoom = 8;
    EXPECT_EQ(mesh_->GetGroup(second, nullptr, nullptr, nullptr, &shortRoom, data.data()), D3DRMERR_BADVALUE);

    const HostRMGroup& drawn = HostRMMesh::From(mesh_)->Groups()[1];
    EXPECT_EQ(drawn.faceSizes, (std::vector<unsigned>{3, 4}));
    EXPECT_EQ(drawn.corners, (std::vector<unsigned>{0, 1, 2, 2, 1, 3, 4}));
}

TEST_F(RMMeshTest, MalformedGroupsAreRefused) {
    D3DRMGROUPINDEX id = -1;
    unsigned outOfRange[] = {0, 1, 3};
    EXPECT_EQ(mesh_->AddGroup(3, 1, 3, outOfRange, &id), D3DRMERR_BADVALUE);
    unsigned tooSmall[] = {2, 0, 1};
    EXPECT_EQ(mesh_->AddGroup(3, 1, 0, tooSmall, &id), D3DRMERR_BADVALUE);
    EXPECT_EQ(mesh_->AddGroup(3, 1, 3, nullptr, &id), D3DRMERR_BADVALUE);
    EXPECT_EQ(mesh_->GetGroupCount(), 0u);
    EXPECT_EQ(mesh_->SetGroupColor(0, 0xFF00FF00), D3DRMERR_BADVALUE);
    EXPECT_EQ(mesh_->SetGroupColor(-1, 0xFF00FF00), D3DRMERR_BADVALUE);
}

TEST_F(RMMeshTest, VerticesAreWrittenAndReadInRangesInsideTheGroup) {
    unsigned faces[] = {0, 1, 2, 1, 2, 3};
    D3DRMGROUPINDEX id = -1;
    ASSERT_EQ(mesh_->AddGroup(4, 2, 3, faces, &id), D3DRM_OK);
    D3DRMVERTEX written[2] = {};
    written[0].position = {1, 2, 3};
    written[0].tu = 0.5f;
    written[1].position = {-4, 5, -6};
    written[1].color = 0xFF123456;
    ASSERT_EQ(mesh_->SetVertices(id, 2, 2, written), D3DRM_OK);
    EXPECT_EQ(mesh_->SetVertices(id, 3, 2, written), D3DRMERR_BADVALUE);
    EXPECT_EQ(mesh_->SetVertices(id, 0xFFFFFFFFu, 2, written), D3DRMERR_BADVALUE);

    D3DRMVERTEX read[4];
    ASSERT_EQ(mesh_->GetVertices(id, 0, 4, read), D3DRM_OK);
    EXPECT_EQ(read[0].position.x, 0.0f);
    EXPECT_EQ(read[2].position.y, 2.0f);
    EXPECT_EQ(read[2].tu, 0.5f);
    EXPECT_EQ(read[3].color, 0xFF123456u);
    EXPECT_EQ(mesh_->GetVertices(id, 1, 4, read), D3DRMERR_BADVALUE);

    D3DRMBOX box;
    ASSERT_EQ(mesh_->GetBox(&box), D3DRM_OK);
    EXPECT_EQ(box.min.x, -4.0f);
    EXPECT_EQ(box.max.y, 5.0f);
    EXPECT_EQ(box.min.z, -6.0f);
    EXPECT_EQ(box.max.z, 3.0f);
}

TEST_F(RMMeshTest, GroupSettingsAreKeptPerGroup) {
    unsigned face[] = {0, 1, 2};
    D3DRMGROUPINDEX a = -1, b = -1;
    ASSERT_EQ(mesh_->AddGroup(3, 1, 3, face, &a), D3DRM_OK);
    ASSERT_EQ(mesh_->AddGroup(3, 1, 3, face, &b), D3DRM_OK);
    EXPECT_EQ(mesh_->GetGroupColor(a), 0xFFFFFFFFu);
    ASSERT_EQ(mesh_->SetGroupColorRGB(b, 1.0f, 0.5f, -3.0f), D3DRM_OK);
    EXPECT_EQ(mesh_->GetGroupColor(b), 0xFFFF8000u);
    ASSERT_EQ(mesh_->SetGroupQuality(a, D3DRMRENDER_UNLITFLAT), D3DRM_OK);
    EXPECT_EQ(mesh_->GetGroupQuality(a), DWORD(D3DRMRENDER_UNLITFLAT));
    EXPECT_EQ(mesh_->GetGroupQuality(b), DWORD(D3DRMRENDER_FLAT));
    ASSERT_EQ(mesh_->SetGroupMapping(b, D3DRMMAP_PERSPCORRECT), D3DRM_OK);
    EXPECT_EQ(mesh_->GetGroupMapping(b), DWORD(D3DRMMAP_PERSPCORRECT));
    EXPECT_TRUE(HostRMMesh::From(mesh_)->Groups()[1].Perspective());
    EXPECT_FALSE(HostRMMesh::From(mesh_)->Groups()[0].Perspective());
    EXPECT_EQ(mesh_->GetGroupColor(7), 0u);
}

TEST_F(RMMeshTest, GroupMaterialIsTheSameObjectWithAReferenceAddedAndFreedWithTheMesh) {
    unsigned face[] = {0, 1, 2};
    D3DRMGROUPINDEX id = -1;
    ASSERT_EQ(mesh_->AddGroup(3, 1, 3, face, &id), D3DRM_OK);
    IDirect3DRMMaterial* material = nullptr;
    ASSERT_EQ(rm2_->CreateMaterial(5.0f, &material), D3DRM_OK);

    IDirect3DRMMaterial* got = reinterpret_cast<IDirect3DRMMaterial*>(1);
    ASSERT_EQ(mesh_->GetGroupMaterial(id, &got), D3DRM_OK);
    EXPECT_EQ(got, nullptr);

    ASSERT_EQ(mesh_->SetGroupMaterial(id, material), D3DRM_OK);
    EXPECT_EQ(CountOf(material), 2u);
    ASSERT_EQ(mesh_->GetGroupMaterial(id, &got), D3DRM_OK);
    EXPECT_EQ(got, material);
    EXPECT_EQ(CountOf(material), 3u);
    got->Release();
    ASSERT_EQ(mesh_->SetGroupMaterial(id, material), D3DRM_OK); // setting it again holds one reference
    EXPECT_EQ(CountOf(material), 2u);

    mesh_->Release();
    mesh_ = nullptr;
    EXPECT_EQ(material->Release(), 0u);
}

TEST_F(RMMeshTest, GroupTextureIsReplacedAndRemovedWithItsReference) {
    unsigned face[] = {0, 1, 2};
    D3DRMGROUPINDEX id = -1;
    ASSERT_EQ(mesh_->AddGroup(3, 1, 3, face, &id), D3DRM_OK);
    IDirect3DRMTexture* texture = nullptr;
    HostRMImage image;
    image.width = image.height = 1;
    image.rgb = {1, 2, 3};
    HostRMTexture* made = nullptr;
    ASSERT_EQ(HostRMTextureFromImage(image, &made), D3DRM_OK);
    texture = made;

    ASSERT_EQ(mesh_->SetGroupTexture(id, texture), D3DRM_OK);
    EXPECT_EQ(CountOf(texture), 2u);
    IDirect3DRMTexture* got = nullptr;
    ASSERT_EQ(mesh_->GetGroupTexture(id, &got), D3DRM_OK);
    EXPECT_EQ(got, texture);
    got->Release();
    ASSERT_EQ(mesh_->SetGroupTexture(id, nullptr), D3DRM_OK);
    EXPECT_EQ(CountOf(texture), 1u);
    ASSERT_EQ(mesh_->GetGroupTexture(id, &got), D3DRM_OK);
    EXPECT_EQ(got, nullptr);
    EXPECT_EQ(texture->Release(), 0u);
}

} // namespace

// Materials: the Retained Mode material made from the colours (stored by the host), textures shared
// through the surface table, mip level selection, and the copy rule: every copy holds its own
// reference, so the Retained Mode material goes away exactly when its last holder does.
#include <cstdio>
#include <limits>

#include "tests/quib/bitmap_test_support.h"
#include "tests/support/surface_table_fixture.h"
#include "host/rm/d3drm.h"
#include "host/rm/material.h"
#include "quib/platform/directx.h"
#include "quib/quib.h"
#include "quib/scene/mesh/material.h"
#include "quib/scene/textures/mip_chain.h"
#include "quib/scene/textures/surface_table.h"

using namespace bmptest;

namespace {

class MaterialTest : public testsupport::SurfaceTableFixture {
  protected:
    static void WriteGreyFile(const std::string& file, int size) {
        std::vector<uint32_t> pixels(size_t(size) * size, 0x808080u);
        WriteBytes(file, BuildBmp(Picture24(size, size, pixels)));
    }

    // A material with the given bitmap, some colours and power 15.
    static MATERIAL Made(const char* bitmapName) {
        MATERIAL m;
        std::strcpy(m.bitmap, bitmapName);
        m.diffuse[0] = 1.0;
        m.diffuse[3] = 1.0;
        m.power = 15.0;
        m.specular[1] = 0.5;
        m.emissive[2] = 0.25;
        return m;
    }
};

} // namespace

TEST(HostRMMaterial, StoresPowerAndColoursAndRefusesBadPower) {
    IDirect3DRM* rm = nullptr;
    IDirect3DRM2* rm2 = nullptr;
    ASSERT_EQ(D3DRM_OK, Direct3DRMCreate(&rm));
    ASSERT_EQ(S_OK, rm->QueryInterface(IID_IDirect3DRM2, reinterpret_cast<void**>(&rm2)));
    IDirect3DRMMaterial* material = nullptr;
    EXPECT_EQ(D3DRMERR_BADVALUE, rm2->CreateMaterial(-1.0f, &material));
    EXPECT_EQ(nullptr, material);
    EXPECT_EQ(D3DRMERR_BADVALUE, rm2->CreateMaterial(std::numeric_limits<float>::infinity(), &material));
    EXPECT_EQ(D3DRMERR_BADVALUE, rm2->CreateMaterial(1.0f, nullptr));
    ASSERT_EQ(D3DRM_OK, rm2->CreateMaterial(7.5f, &material));
    EXPECT_EQ(7.5f, material->GetPower());
    D3DVALUE r = -1, g = -1, b = -1;
    ASSERT_EQ(D3DRM_OK, material->GetSpecular(&r, &g, &b));
    EXPECT_EQ(0.0f, r + g + b);
    material->SetSpecular(0.25f, 0.5f, 0.75f);
    material->SetEmissive(1.0f, 0.0f, 0.5f);
    material->GetSpecular(&r, &g, &b);
    EXPECT_EQ(0.25f, r);
    EXPECT_EQ(0.5f, g);
    EXPECT_EQ(0.75f, b);
    material->GetEmissive(&r, &g, &b);
    EXPECT_EQ(1.0f, r);
    EXPECT_EQ(0.5f, b);
    EXPECT_EQ(D3DRMERR_BADVALUE, material->GetEmissive(&r, nullptr, &b));
    IDirect3DRMMaterial* again = nullptr;
    ASSERT_EQ(S_OK, material->QueryInterface(IID_IDirect3DRMMaterial, reinterpret_cast<void**>(&again)));
    EXPECT_EQ(material, again);
    again->Release();
    EXPECT_EQ(0u, material->Release());
    rm2->Release();
    rm->Release();
}

TEST_F(MaterialTest, CreateWithoutBitmapMakesAnUntexturedRetainedModeMaterial) {
    MATERIAL m = Made("");
    ASSERT_EQ(1, m.Create(g_lpD3DRM2));
    ASSERT_NE(nullptr, m.m_d3dmaterial);
    EXPECT_EQ(nullptr, m.m_texture);
    EXPECT_EQ(nullptr, m.m_surfaceEntry);
    EXPECT_EQ(nullptr, m.GetTexture(0));
    EXPECT_EQ(0xFFFF0000u, m.m_diffuseColour);
    EXPECT_EQ(0xFFFFFFFFu, m.m_white);
    EXPECT_EQ(15.0f, m.m_d3dmaterial->GetPower());
    D3DVALUE r, g, b;
    m.m_d3dmaterial->GetSpecular(&r, &g, &b);
    EXPECT_EQ(0.5f, g);
    m.m_d3dmaterial->GetEmissive(&r, &g, &b);
    EXPECT_EQ(0.25f, b);
    EXPECT_EQ(1u, CountOf(m.m_d3dmaterial));
    char created[64];
    std::snprintf(created, sizeof(created), "CREATE:<%p>m_d3dmaterial : CreateRMMaterial\n",
                  static_cast<void*>(m.m_d3dmaterial));
    EXPECT_NE(std::string::npos, ReadLog().find(created));
}

TEST_F(MaterialTest, MaterialsNamingOneBitmapShareOneTableEntry) {
    WriteGreyFile("skin.bmp", 32);
    MATERIAL a = Made("skin.bmp");
    MATERIAL b = Made("skin.bmp");
    ASSERT_EQ(1, a.Create(g_lpD3DRM2));
    ASSERT_EQ(1, b.Create(g_lpD3DRM2));
    ASSERT_NE(nullptr, a.m_surfaceEntry);
    EXPECT_EQ(a.m_surfaceEntry, b.m_surfaceEntry);
    EXPECT_EQ(1, g_pSurfaceTable->m_entries.GetCount());
    EXPECT_EQ(a.m_surfaceEntry->m_surface, a.m_surface);
    EXPECT_NE(a.m_d3dmaterial, b.m_d3dmaterial);
}

TEST_F(MaterialTest, BitmapThatDoesNotLoadLeavesNoEntryAndStillSucceeds) {
    MATERIAL m = Made("missing.bmp");
    EXPECT_EQ(1, m.Create(g_lpD3DRM2));
    EXPECT_NE(nullptr, m.m_d3dmaterial);
    EXPECT_EQ(nullptr, m.m_surfaceEntry);
    EXPECT_EQ(nullptr, m.m_texture);
    EXPECT_EQ(0, g_pSurfaceTable->m_entries.GetCount());
}

TEST_F(MaterialTest, NegativePowerIsARetainedModeFailure) {
    MATERIAL m = Made("");
    m.power = -2.0;
    EXPECT_EQ(0, m.Create(g_lpD3DRM2));
    EXPECT_EQ(nullptr, m.m_d3dmaterial);
}

TEST_F(MaterialTest, EveryCopyHoldsItsOwnReferenceInEitherDestructionOrder) {
    IDirect3DRMMaterial* rmMaterial = nullptr;
    {
        MATERIAL* source = new MATERIAL(Made(""));
        ASSERT_EQ(1, source->Create(g_lpD3DRM2));
        rmMaterial = source->m_d3dmaterial;
        rmMaterial->AddRef(); // the test's own watch reference
        MATERIAL* partial = new MATERIAL(source);
        MATERIAL* full = new MATERIAL(*source);
        EXPECT_EQ(rmMaterial, partial->m_d3dmaterial);
        EXPECT_EQ(rmMaterial, full->m_d3dmaterial);
        EXPECT_EQ(0, full->m_shared);
        EXPECT_EQ(15.0, full->power);
        EXPECT_EQ(0.0, partial->power); // the pointer form takes only the texture selection
        EXPECT_EQ(4u, CountOf(rmMaterial));
        delete source; // the source first
        EXPECT_EQ(3u, CountOf(rmMaterial));
        delete full;
        MATERIAL* copyOfCopy = new MATERIAL(partial);
        delete partial; // then a copy before its own copy
        EXPECT_EQ(2u, CountOf(rmMaterial));
        delete copyOfCopy;
    }
    EXPECT_EQ(0u, rmMaterial->Release());
}

TEST_F(MaterialTest, DestroyingWithoutRetainedModeMaterialLogsAlreadyNull) {
    { MATERIAL empty; }
    EXPECT_NE(std::string::npos, ReadLog().find("~MATERIAL(): m_d3dmaterial already NULL\n"));
}

TEST_F(MaterialTest, MipLevelsClampToTheChain) {
    WriteGreyFile("big.bmp", 256);
    MATERIAL m = Made("big.bmp");
    ASSERT_EQ(1, m.Create(g_lpD3DRM2));
    SurfaceTableEntry* entry = m.m_surfaceEntry;
    ASSERT_NE(nullptr, entry);
    EXPECT_EQ(nullptr, entry->m_mipChain);
    m.SetMipMapLevel(2); // mip-maps not in use: nothing changes
    EXPECT_EQ(entry->m_surface, m.m_surface);

    ASSERT_EQ(1, m.UseMipMaps(1));
    MipMapChain* chain = entry->m_mipChain;
    ASSERT_NE(nullptr, chain);
    ASSERT_EQ(4, chain->LevelCount());
    EXPECT_EQ(chain->Level(0)->surface, m.m_surface);
    m.UseMipMaps(1); // the chain is built once
    EXPECT_EQ(chain, entry->m_mipChain);

    m.SetMipMapLevel(99);
    EXPECT_EQ(chain->Level(3)->surface, m.m_surface);
    EXPECT_EQ(chain->Level(3)->texture, m.m_texture);
    m.SetMipMapLevel(-5);
    EXPECT_EQ(chain->Level(0)->surface, m.m_surface);
    EXPECT_EQ(chain->Level(3)->texture, m.GetTexture(99));
    EXPECT_EQ(chain->Level(0)->texture, m.GetTexture(-1));

    m.UseMipMaps(0);
    EXPECT_EQ(entry->m_surface, m.m_surface);
    EXPECT_EQ(entry->m_texture, m.GetTexture(3));
}

// The 3D loaders' start as the material and surface-table tests make it: the engine's DirectDraw object
// on a known machine in a fresh folder (tests/quib/bitmap_test_support.h), the engine's Retained Mode
// object, an empty surface table with 8-bit textures and texture filters off, and the debug log on.
// Header-only, for the engine's test program.
#pragma once

#include "host/rm/d3drm.h"
#include "quib/platform/directx.h"
#include "quib/quib.h"
#include "quib/scene/textures/surface_table.h"
#include "tests/quib/bitmap_test_support.h"

namespace testsupport {

class SurfaceTableFixture : public bmptest::EngineDisplayTest {
  protected:
    void SetUp() override {
        EngineDisplayTest::SetUp();
        ASSERT_EQ(D3DRM_OK, Direct3DRMCreate(&g_lpD3DRM));
        ASSERT_EQ(S_OK, g_lpD3DRM->QueryInterface(IID_IDirect3DRM2, reinterpret_cast<void**>(&g_lpD3DRM2)));
        g_b8BitTextures = 0;
        g_dwTextureFilterCaps = 0;
        QuibInitSurfaceTable();
        QuibDebugEnable(1);
    }
    // Empties the table and releases the Retained Mode object before the display goes.
    void TearDown() override {
        DeleteSurfaceTable();
        g_lpD3DRM2->Release();
        g_lpD3DRM->Release();
        g_lpD3DRM2 = nullptr;
        g_lpD3DRM = nullptr;
        g_b8BitTextures = 0;
        EngineDisplayTest::TearDown();
    }

    // The reference count of p, read by adding a reference and giving it back.
    static ULONG CountOf(IUnknown* p) {
        p->AddRef();
        return p->Release();
    }
};

} // namespace testsupport

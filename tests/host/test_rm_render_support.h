// Shared set-up of the retained-mode rendering tests: a 160 x 120 target with a Z-buffer, a Retained
// Mode device and viewport on it (front 1, back 100, field 0.5: 160 pixels per unit of x/z, centre
// (80, 60)), a scene with a blue background and a camera at (0, 0, -10) looking along +z, and meshes
// made in one line.
#pragma once

#include <vector>

#include "test_d3d_raster_support.h"

#include "host/rm/d3drm.h"

class RMRenderTest : public D3DRasterTest {
  protected:
    static constexpr uint16_t kBlue = 0x001F;
    static constexpr uint16_t kRed = 0xF800;
    static constexpr uint16_t kGreen = 0x07E0;

    void SetUp() override {
        D3DRasterTest::SetUp();
        MakeScene(160, 120);
        IDirect3DRM* rm = nullptr;
        ASSERT_EQ(Direct3DRMCreate(&rm), D3DRM_OK);
        ASSERT_EQ(rm->QueryInterface(IID_IDirect3DRM2, reinterpret_cast<void**>(&rm_)), S_OK);
        rm->Release();
        ASSERT_EQ(rm_->CreateDeviceFromD3D(d3d_, device_, &rmDevice_), D3DRM_OK);
        ASSERT_EQ(rm_->CreateFrame(nullptr, &scene_), D3DRM_OK);
        ASSERT_EQ(scene_->SetSceneBackground(0xFF0000FF), D3DRM_OK);
        camera_ = Frame(scene_, 0, 0, -10);
        ASSERT_EQ(rm_->CreateViewport(rmDevice_, camera_, 0, 0, 160, 120, &rmViewport_), D3DRM_OK);
    }

    void TearDown() override {
        for (IUnknown* object : held_)
            object->Release();
        if (rmViewport_) {
            EXPECT_EQ(rmViewport_->Release(), 0u);
        }
        if (scene_) {
            EXPECT_EQ(scene_->Release(), 0u);
        }
        if (rmDevice_) {
            EXPECT_EQ(rmDevice_->Release(), 0u);
        }
        if (rm_) rm_->Release();
        D3DRasterTest::TearDown();
    }

    // A frame under parent at (x, y, z), released by TearDown (the parent holds its own reference).
    IDirect3DRMFrame2* Frame(IDirect3DRMFrame* parent, float x, float y, float z) {
        IDirect3DRMFrame2* frame = nullptr;
        EXPECT_EQ(rm_->CreateFrame(parent, &frame), D3DRM_OK);
        EXPECT_EQ(frame->SetPosition(parent, x, y, z), D3DRM_OK);
        held_.push_back(frame);
        return frame;
    }

    // A group of quads, each wound clockwise seen from its front; uv (0,0) (1,0) (1,1) (0,1) round each.
    IDirect3DRMMesh* Quads(const std::vector<D3DVECTOR>& corners, D3DCOLOR colour) {
        IDirect3DRMMesh* mesh = nullptr;
        EXPECT_EQ(rm_->CreateMesh(&mesh), D3DRM_OK);
        held_.push_back(mesh);
        std::vector<unsigned> faces(corners.size());
        std::vector<D3DRMVERTEX> vertices(corners.size());
        const float uv[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
        for (size_t i = 0; i < corners.size(); ++i) {
            faces[i] = unsigned(i);
            vertices[i] = D3DRMVERTEX{corners[i], {0, 0, 0}, uv[i % 4][0], uv[i % 4][1], 0};
        }
        D3DRMGROUPINDEX group = -1;
        EXPECT_EQ(
            mesh->AddGroup(unsigned(corners.size()), unsigned(corners.size() / 4), 4, faces.data(), &group),
            D3DRM_OK);
        EXPECT_EQ(mesh->SetVertices(group, 0, unsigned(vertices.size()), vertices.data()), D3DRM_OK);
        EXPECT_EQ(mesh->SetGroupColor(group, colour), D3DRM_OK);
        return mesh;
    }

    // A square of half-size half in the plane z = 0 facing -z (towards the camera).
    IDirect3DRMMesh* Square(float half, D3DCOLOR colour) {
        return Quads({{-half, half, 0}, {half, half, 0}, {half, -half, 0}, {-half, -half, 0}}, colour);
    }

    // A cube of half-size half about the origin, every face wound clockwise seen from outside.
    IDirect3DRMMesh* Cube(float half, D3DCOLOR colour) {
        std::vector<D3DVECTOR> corners;
        // Each face: its outward normal n and the direction u that is up seen from outside; right = u x -n.
        const D3DVECTOR normals[6] = {{0, 0, -1}, {0, 0, 1}, {-1, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, -1, 0}};
        const D3DVECTOR ups[6] = {{0, 1, 0}, {0, 1, 0}, {0, 1, 0}, {0, 1, 0}, {0, 0, 1}, {0, 0, 1}};
        for (int f = 0; f < 6; ++f) {
            D3DVECTOR n = normals[f], u = ups[f];
            D3DVECTOR r = {u.y * -n.z - u.z * -n.y, u.z * -n.x - u.x * -n.z, u.x * -n.y - u.y * -n.x};
            const float signs[4][2] = {{-1, 1}, {1, 1}, {1, -1}, {-1, -1}};
            for (const auto& s : signs)
                corners.push_back({half * (n.x + s[0] * r.x + s[1] * u.x),
                                   half * (n.y + s[0] * r.y + s[1] * u.y),
                                   half * (n.z + s[0] * r.z + s[1] * u.z)});
        }
        return Quads(corners, colour);
    }

    void Show(IDirect3DRMFrame* frame, IUnknown* visual) { ASSERT_EQ(frame->AddVisual(visual), D3DRM_OK); }

    void ClearAndRender(IDirect3DRMFrame* frame) {
        ASSERT_EQ(rmViewport_->Clear(), D3DRM_OK);
        ASSERT_EQ(rmViewport_->Render(frame), D3DRM_OK);
    }

    IDirect3DRM2* rm_ = nullptr;
    IDirect3DRMDevice2* rmDevice_ = nullptr;
    IDirect3DRMFrame2* scene_ = nullptr;
    IDirect3DRMFrame2* camera_ = nullptr;
    IDirect3DRMViewport* rmViewport_ = nullptr;
    std::vector<IUnknown*> held_;
};

#include "quib/scene/world/skid_object.h"

#include <cstring>
#include <new>

#include "host/rm/vector.h"
#include "quib/platform/debug.h"
#include "quib/platform/directx.h"
#include "quib/platform/errors.h"
#include "quib/scene/mesh/material.h"
#include "quib/scene/objects/mesh_object_links.h"
#include "quib/scene/objects/render_types.h"
#include "quib/scene/objects/scene_settings.h"
#include "quib/scene/pipeline/draw_skid.h"
#include "quib/scene/textures/surface_table.h"

namespace {

constexpr float kMaterialPower = 15.0f;
// A side shorter than this (|d x n|) cannot be normalised: the first extension waits.
constexpr float kNoSide = 1e-6f;

// Retained Mode failures of the skid marks name their own source.
void ReportSkidError(HRESULT hr, int line) {
    ReportD3DRMError(hr, "Skidobj", line);
}
#define REPORT_SKID_ERROR(hr) ReportSkidError((hr), __LINE__)

D3DVECTOR Plus(const D3DVECTOR& a, const D3DVECTOR& b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}

D3DVECTOR Minus(const D3DVECTOR& a, const D3DVECTOR& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}

void ResetRecord(SkidMark& skid) {
    skid.started = 0;
    skid.predecessor = -1;
}

} // namespace

SkidObject::SkidObject(IDirect3DRM2* rm, IDirect3DRMFrame2* parent)
    : MeshObject(rm, parent), m_capacity(MAXSKIDS), m_next(-1), m_vertices{}, m_group(0),
      m_textureEntry(nullptr), m_drawMaterial{}, m_textureSurface(nullptr), m_skids{},
      m_ownsTextureEntry(false) {
    if (m_meshbuilder) rm_builder_set_perspective(m_meshbuilder, 0);
    if (m_frame) rm_frame_set_zbuffer(m_frame, 1);
    for (SkidMark& skid : m_skids)
        ResetRecord(skid);
}

SkidObject::~SkidObject() {
    // The lists holding the object lose it with the mesh object part.
    if (g_pSkidObject == this) g_pSkidObject = nullptr;
    if (m_ownsTextureEntry) delete m_textureEntry;
    // The white material stays in m_materials, which the mesh object part deletes (once).
}

int SkidObject::TrivialReject(IDirect3DRMViewport*, int) {
    return 0;
}

int SkidObject::Render(IDirect3DRMViewport*) {
    DrawSkids();
    return 1;
}

int SkidObject::RenderDPMesh() {
    if (g_SkidsEnabled) DrawSkids();
    return 1;
}

void SkidObject::DrawSkids() {
    // With an alpha texture format the marks are plain grey; without one they carry the texture.
    DPMaterial* material = nullptr;
    if (QuibAlphaBlending()) {
        m_drawMaterial = DPMaterial{0, nullptr};
    } else {
        m_drawMaterial = DPMaterial{0, m_textureEntry};
        material = &m_drawMaterial;
    }
    for (int k = 0; k < MAXSKIDS; ++k) {
        float p[kSkidCorners][3];
        for (int c = 0; c < kSkidCorners; ++c) {
            const D3DVECTOR& v = m_vertices[k * kSkidCorners + c].position;
            p[c][0] = v.x;
            p[c][1] = v.y;
            p[c][2] = v.z;
        }
        draw_skid_piece(p[0], p[1], p[2], p[3], material);
    }
}

int SkidObject::BuildMesh(IDirectDrawSurface* texture) {
    if (!m_mesh) {
        REPORT_SKID_ERROR(D3DRMERR_BADOBJECT);
        return 0;
    }
    auto* white = new (std::nothrow) MATERIAL;
    if (!white) return 0;
    white->diffuse[0] = white->diffuse[1] = white->diffuse[2] = 0xFF / 255.0;
    white->diffuse[3] = 1.0;
    white->power = kMaterialPower;
    if (!m_materials) m_materials = new (std::nothrow) PtrArray<MATERIAL>(1);
    if (!m_materials || !m_materials->Add(white)) {
        delete white;
        return 0;
    }
    if (!white->Create(m_rm)) return 0;

    unsigned faces[kSkidVertices];
    for (unsigned i = 0; i < unsigned(kSkidVertices); ++i)
        faces[i] = i;
    HRESULT hr = m_mesh->AddGroup(kSkidVertices, MAXSKIDS, kSkidCorners, faces, &m_group);
    if (SUCCEEDED(hr)) hr = m_mesh->SetGroupMaterial(m_group, white->m_d3dmaterial);
    if (SUCCEEDED(hr)) hr = m_mesh->SetGroupColorRGB(m_group, 0.0f, 0.0f, 0.0f);
    if (SUCCEEDED(hr)) hr = m_mesh->SetGroupQuality(m_group, D3DRMRENDER_UNLITFLAT);
    if (SUCCEEDED(hr)) hr = m_mesh->SetGroupTexture(m_group, nullptr);
    if (SUCCEEDED(hr)) hr = m_mesh->SetGroupMapping(m_group, 0);
    if (FAILED(hr)) {
        REPORT_SKID_ERROR(hr);
        return 0;
    }

    m_textureSurface = texture;
    if (texture) {
        // The table's entry for the surface is shared; a new one is the table's, or this object's.
        m_textureEntry = g_pSurfaceTable ? g_pSurfaceTable->FindBySurface(texture) : nullptr;
        if (!m_textureEntry) {
            m_textureEntry = new (std::nothrow) SurfaceTableEntry(texture);
            if (!m_textureEntry) return 0;
            m_ownsTextureEntry = !g_pSurfaceTable || !g_pSurfaceTable->Add(m_textureEntry);
        }
        m_drawMaterial = DPMaterial{0, m_textureEntry};
    }
    return 1;
}

int SkidObject::Clear() {
    m_next = -1;
    for (SkidMark& skid : m_skids)
        ResetRecord(skid);
    std::memset(m_vertices, 0, sizeof m_vertices);
    HRESULT hr = m_mesh ? m_mesh->SetVertices(m_group, 0, kSkidVertices, m_vertices) : D3DRMERR_BADOBJECT;
    if (FAILED(hr)) {
        REPORT_SKID_ERROR(hr);
        return 0;
    }
    return 1;
}

int SkidObject::AddSkid(float x, float y, float z, float nx, float ny, float nz, float width) {
    if (++m_next >= m_capacity) m_next = 0;
    SkidMark& skid = m_skids[m_next];
    skid.start = {x, y, z};
    skid.normal = {nx, ny, nz};
    skid.width = width;
    ResetRecord(skid);
    return m_next;
}

HRESULT SkidObject::ReadCorners(int skid, D3DRMVERTEX corners[kSkidCorners]) {
    if (!m_mesh) return D3DRMERR_BADOBJECT;
    return m_mesh->GetVertices(m_group, unsigned(skid * kSkidCorners), kSkidCorners, corners);
}

HRESULT SkidObject::WriteCorners(int skid, const D3DRMVERTEX corners[kSkidCorners]) {
    D3DRMVERTEX* own = &m_vertices[skid * kSkidCorners];
    std::memcpy(own, corners, kSkidCorners * sizeof(D3DRMVERTEX));
    if (!m_mesh) return D3DRMERR_BADOBJECT;
    return m_mesh->SetVertices(m_group, unsigned(skid * kSkidCorners), kSkidCorners, own);
}

int SkidObject::StartChained(int predecessor, const D3DVECTOR& p, const D3DVECTOR& n) {
    const float width = m_skids[predecessor].width;
    if (++m_next >= m_capacity) m_next = 0;
    SkidMark& skid = m_skids[m_next];
    skid.start = p;
    skid.normal = n;
    skid.width = width;
    skid.segment = {0.0f, 0.0f, 0.0f};
    skid.started = 0;
    skid.predecessor = predecessor;
    return m_next;
}

int SkidObject::ExtendSkid(int index, float x, float y, float z, float nx, float ny, float nz) {
    if (m_next < 0 || m_next >= m_capacity) {
        DebugPrintf("AddSkid: problem with m_next <%d>\n", m_next);
        return 0;
    }
    SkidMark& skid = m_skids[index];
    const D3DVECTOR p = {x, y, z};
    const D3DVECTOR n = {nx, ny, nz};
    const D3DVECTOR d = Minus(skid.start, p);
    D3DRMVERTEX corners[kSkidCorners];

    if (!skid.started) {
        D3DVECTOR side;
        D3DRMVectorCrossProduct(&side, &d, &n);
        if (!(D3DRMVectorModulus(&side) > kNoSide)) return index; // no direction yet
        D3DRMVectorNormalize(&side);
        D3DRMVectorScale(&skid.side, &side, skid.width / 2.0f);
        skid.started = 1;
        HRESULT hr = ReadCorners(index, corners);
        if (SUCCEEDED(hr) && skid.predecessor >= 0) {
            // The strip goes on without a gap from the predecessor's end.
            D3DRMVERTEX before[kSkidCorners];
            hr = ReadCorners(skid.predecessor, before);
            if (SUCCEEDED(hr)) {
                corners[0].position = before[3].position;
                corners[1].position = before[2].position;
            }
        } else {
            corners[0].position = Plus(skid.start, skid.side);
            corners[1].position = Minus(skid.start, skid.side);
        }
        corners[2].position = Minus(p, skid.side);
        corners[3].position = Plus(p, skid.side);
        if (SUCCEEDED(hr)) hr = WriteCorners(index, corners);
        if (FAILED(hr)) {
            REPORT_SKID_ERROR(hr);
            return 0;
        }
        skid.segment = d;
        return index;
    }

    HRESULT hr = ReadCorners(index, corners);
    if (SUCCEEDED(hr)) {
        corners[2].position = Minus(p, skid.side);
        corners[3].position = Plus(p, skid.side);
        hr = WriteCorners(index, corners);
    }
    if (FAILED(hr)) {
        REPORT_SKID_ERROR(hr);
        return 0;
    }
    if (D3DRMVectorModulus(&d) > kSkidChainLength) return StartChained(index, p, n);
    return index;
}

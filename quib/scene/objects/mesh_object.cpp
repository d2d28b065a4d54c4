#include "quib/scene/objects/mesh_object.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "quib/platform/directx.h"
#include "quib/platform/interfacelog.h"
#include "quib/scene/frames/scene3d_state.h"
#include "quib/scene/mesh/dp_mesh.h"
#include "quib/scene/mesh/material.h"
#include "quib/scene/objects/display_list.h"
#include "quib/scene/pipeline/scene_fog.h"

namespace {

constexpr float kDefaultSwitchRatios[kMeshObjectSwitchCount] = {3.0f, 2.0f, 1.0f, 3.0f, 1.0f};
constexpr float kUnusedRanges[3] = {100.0f, 300.0f, 400.0f};
constexpr float kNoCorner = 100000.0f;

// Deletes a DPMesh with the geometry and skin it carries (animation frames own theirs).
void DeleteLoadedMesh(DPMesh* mesh) {
    delete mesh->geometry;
    delete mesh->skin;
    delete mesh;
}

float Length(float x, float y, float z) {
    return std::sqrt(x * x + y * y + z * z);
}

} // namespace

// A master and its instances. What the master replaces while it has instances is kept here until the
// last instance goes (the master never draws it again).
struct MeshFamily {
    int instances = 0;
    bool master = true; // the master exists
    PtrArray<DPMeshGeo> geometry{1};
    PtrArray<DPMeshSkin> skins{1};
};

namespace {

// Whether object is a master with instances that may draw what it replaces.
bool InstancesShare(const MeshObject& object) {
    return !object.m_isInstance && object.m_family && object.m_family->instances > 0;
}

} // namespace

MeshObject::MeshObject(IDirect3DRM2* rm, IDirect3DRMFrame2* parent) : Frame(rm, parent) {
    ClearMembers();
    m_rm = rm ? rm : g_lpD3DRM2;
    m_parentFrame = parent;
    // Frame(rm, parent) made the object's frame; the builder and its (empty) mesh become its visual.
    if (m_rm && SUCCEEDED(rm_builder_create(m_rm, &m_meshbuilder)))
        rm_builder_create_mesh(m_meshbuilder, &m_mesh);
    if (m_frame && m_mesh) rm_frame_add_mesh(m_frame, m_mesh);
    SetDefaults();
    SetPosition(0.0f, 0.0f, 0.0f);
    SetRotation(0.0f, 0.0f, 0.0f);
    ApplySceneFog();
}

MeshObject::MeshObject(MeshObject* src) : Frame(src->m_rm, src->m_parentFrame) {
    ClearMembers();
    m_rm = src->m_rm;
    m_parentFrame = src->m_parentFrame;
    DefaultValues();
    m_isInstance = 1;
    JoinFamily(src);
    std::memcpy(m_name, src->m_name, sizeof(m_name));
    m_renderType = src->m_renderType;
    m_children = src->m_children;
    m_box = src->m_box;
    std::copy(std::begin(src->m_corners), std::end(src->m_corners), m_corners);
    m_center = src->m_center;
    m_distance = src->m_distance;
    m_polyCount = src->m_polyCount;
    m_vertexCount = src->m_vertexCount;
    std::copy(std::begin(src->m_switchRatios), std::end(src->m_switchRatios), m_switchRatios);
    m_outline = src->m_outline;
    m_switchDistance0 = src->m_switchDistance0;
    m_switchDistance1 = src->m_switchDistance1;
    m_switchDistance2 = src->m_switchDistance2;
    m_switchDistance3 = src->m_switchDistance3;
    m_switchDistance4 = src->m_switchDistance4;
    m_alphaBlend = src->m_alphaBlend;
    m_useMipMaps = src->m_useMipMaps;
    m_detailFrame = src->m_detailFrame;
    m_detailVisuals = src->m_detailVisuals;
    m_detailPolyCount = src->m_detailPolyCount;
    m_detailVertexCount = src->m_detailVertexCount;
    m_drawFlag = src->m_drawFlag;
    m_drawFar = src->m_drawFar;
    m_drawNear = src->m_drawNear;
    m_frames3DS = src->m_frames3DS;
    m_frame3DS = src->m_frame3DS;
    SetPosition(0.0f, 0.0f, 0.0f);
    SetRotation(0.0f, 0.0f, 0.0f);
    // The mesh builder and mesh are the master's, with a reference of this object's own.
    m_meshbuilder = src->m_meshbuilder;
    m_mesh = src->m_mesh;
    if (m_meshbuilder) rm_builder_add_ref(m_meshbuilder);
    if (m_mesh) rm_mesh_add_ref(m_mesh);
    if (m_frame && m_mesh) rm_frame_add_mesh(m_frame, m_mesh);
    m_materials = CopyMaterialList(src->m_materials);
    ApplySceneFog();
    m_dpVisuals = src->m_dpVisuals;
    m_geo = src->m_geo;
    // An object without a skin (a ".x" object, an empty one) gives its instances none.
    if (src->m_skin) {
        m_skin = new DPMeshSkin(int(src->m_skin->count));
        std::copy(src->m_skin->materials, src->m_skin->materials + m_skin->count, m_skin->materials);
        m_ownsSkin = true;
    }
    if (src->m_hasShadow) {
        m_hasShadow = 1;
        m_shadowGeo = src->m_shadowGeo;
        m_shadowSkin = src->m_shadowSkin;
    }
}

MeshObject::~MeshObject() {
    DisplayList::RemoveEverywhere(this);
    // The frame leaves the scene with the object (the parent it has now: a parent object freed first
    // has let go of it already); the reference is given up once, and ~Frame finds the pointer cleared.
    ReleaseFrame("~MeshObject->m_frame");
    rm_mesh_release(m_mesh, "~MeshObject->m_mesh");
    rm_builder_release(m_meshbuilder, "~MeshObject->m_meshbuilder");
    if (m_isInstance) {
        if (m_instanceMaterials) m_instanceMaterials->DeleteAll();
        delete m_instanceMaterials;
    } else {
        FreeOwnedLists();
    }
    // Every MATERIAL holds its own reference, copies included.
    if (m_materials) m_materials->DeleteAll();
    delete m_materials;
    DropGeometry();
    DropSkin();
    if (m_ownsShadow) {
        Discard(m_shadowGeo);
        Discard(m_shadowSkin);
    }
    if (m_ownsDetailFrame) {
        delete m_detailVisuals;
        ReleaseInterface(m_detailFrame, "~MeshObject->m_detailFrame");
    }
    FreeSharedLists();
    LeaveFamily();
}

void MeshObject::JoinFamily(MeshObject* src) {
    // An instance always has a family: src without one is a master.
    if (!src->m_family) src->m_family = new MeshFamily;
    m_family = src->m_family;
    ++m_family->instances;
}

void MeshObject::LeaveFamily() {
    if (!m_family) return;
    if (m_isInstance)
        --m_family->instances;
    else
        m_family->master = false;
    if (m_family->instances == 0) {
        m_family->geometry.DeleteAll();
        m_family->skins.DeleteAll();
        if (!m_family->master) delete m_family;
    }
    m_family = nullptr;
}

void MeshObject::Discard(DPMeshGeo* geo) {
    if (geo && InstancesShare(*this))
        m_family->geometry.Add(geo);
    else
        delete geo;
}

void MeshObject::Discard(DPMeshSkin* skin) {
    if (skin && InstancesShare(*this))
        m_family->skins.Add(skin);
    else
        delete skin;
}

void MeshObject::FreeOwnedLists() {
    if (m_children) m_children->DeleteAll();
    delete m_children;
    if (m_dpVisuals) m_dpVisuals->DeleteAll();
    delete m_dpVisuals;
    if (m_frames3DS) {
        // Showing a frame borrows its geometry and skin: forget them before the frames go.
        for (int i = 0; i < m_frames3DS->GetCount(); ++i) {
            DPMesh* frame = m_frames3DS->GetAt(i);
            if (!m_ownsGeo && m_geo == frame->geometry) m_geo = nullptr;
            if (!m_ownsSkin && m_skin == frame->skin) m_skin = nullptr;
            DeleteLoadedMesh(frame);
        }
        delete m_frames3DS;
    }
}

void MeshObject::FreeSharedLists() {
    if (m_groupMaterials) m_groupMaterials->DeleteAll();
    delete m_groupMaterials;
    delete m_visuals;
    delete m_steList;
}

void MeshObject::ClearMembers() {
    m_hasShadow = 0;
    m_shadowGeo = nullptr;
    m_shadowSkin = nullptr;
    m_drawFlag = 0;
    m_drawFar = kMeshObjectFarDistance;
    m_drawNear = kMeshObjectNearDistance;
    m_children = nullptr;
    m_visuals = nullptr;
    std::memset(m_name, 0, sizeof(m_name));
    m_center = {0.0f, 0.0f, 0.0f};
    std::fill(std::begin(m_corners), std::end(m_corners), D3DVECTOR{0.0f, 0.0f, 0.0f});
    m_box = MeshBox{{0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 0.0f}};
    m_distance = 0.0f;
    m_render = 1;
    m_rejected = 0;
    m_polyCount = 0;
    m_vertexCount = 0;
    m_rm = nullptr;
    m_meshbuilder = nullptr;
    m_mesh = nullptr;
    m_materials = nullptr;
    m_groupMaterials = nullptr;
    m_parentFrame = nullptr;
    m_detailFrame = nullptr;
    m_detailVisuals = nullptr;
    // Every switch distance starts far, so nothing switches before the distances are set.
    m_switchDistance0 = m_switchDistance1 = m_switchDistance2 = kMeshObjectFarDistance;
    m_switchDistance3 = m_switchDistance4 = kMeshObjectFarDistance;
    m_alphaBlend = 0;
    std::fill(std::begin(m_screenRect), std::end(m_screenRect), 0);
    m_screenSize[0] = m_screenSize[1] = -1;
    std::fill(std::begin(m_screenCorners), std::end(m_screenCorners), D3DRMVECTOR4D{0.0f, 0.0f, 0.0f, 0.0f});
    m_isInstance = 0;
    m_instanceMaterials = nullptr;
    m_steList = nullptr;
    m_frames3DS = nullptr;
    m_frame3DS = 0;
    m_ownsShadow = false;
    m_ownsDetailFrame = false;
    m_family = nullptr;
}

void MeshObject::ApplySceneFog() {
    Frame::SetFogColor(g_FogColour);
    Frame::SetFogParams(g_FogStart, g_FogEnd, g_FogDensity);
    SetFogEnable(g_FogEnabled);
}

int MeshObject::SetDefaults() {
    if (m_meshbuilder) rm_builder_set_perspective(m_meshbuilder, 1);
    if (m_frame) {
        rm_frame_sort_back_to_front(m_frame);
        rm_frame_set_zbuffer(m_frame, 1);
    }
    DefaultValues();
    return 1;
}

void MeshObject::DefaultValues() {
    m_showTextures = -1;
    std::copy(std::begin(kUnusedRanges), std::end(kUnusedRanges), m_unusedRanges);
    std::copy(std::begin(kDefaultSwitchRatios), std::end(kDefaultSwitchRatios), m_switchRatios);
    m_renderType = '?';
    m_outline = 0;
    m_useMipMaps = 0;
    m_mipLevel = 0;
    m_textureBytes = 0;
    m_detailPolyCount = 0;
    m_detailVertexCount = 0;
    // Called on a new object: there is nothing to free yet.
    m_dpVisuals = nullptr;
    m_geo = nullptr;
    m_skin = nullptr;
    m_ownsGeo = m_ownsSkin = false;
}

void MeshObject::Animate() {}

void MeshObject::SetLighting(int) {}

void MeshObject::DropGeometry() {
    if (m_ownsGeo) Discard(m_geo);
    m_geo = nullptr;
    m_ownsGeo = false;
}

void MeshObject::DropSkin() {
    if (m_ownsSkin) Discard(m_skin);
    m_skin = nullptr;
    m_ownsSkin = false;
}

void MeshObject::TakeGeometry(DPMesh& loaded) {
    DropGeometry();
    DropSkin();
    m_geo = loaded.geometry;
    m_skin = loaded.skin;
    m_ownsGeo = m_geo != nullptr;
    m_ownsSkin = m_skin != nullptr;
    loaded.geometry = nullptr;
    loaded.skin = nullptr;
}

namespace {

// The current camera's position in the scene: read from Retained Mode unless it is the default camera,
// whose cached position is current.
D3DVECTOR CameraPosition() {
    D3DVECTOR p{0.0f, 0.0f, 0.0f};
    if (!g_lpCamera) return p;
    if (g_lpCamera == g_pDefaultCamera) return g_lpCamera->m_position;
    g_lpCamera->GetAbsolutePosition(&p);
    return p;
}

} // namespace

float MeshObject::DistanceFromCamera() {
    const D3DVECTOR camera = CameraPosition();
    m_distance = Length(camera.x - m_position.x - m_center.x, camera.y - m_position.y - m_center.y,
                        camera.z - m_position.z - m_center.z);
    return m_distance;
}

float MeshObject::ClosestDistanceFromCamera() {
    const D3DVECTOR camera = CameraPosition();
    float closest = kNoCorner;
    for (const D3DVECTOR& c : m_corners)
        closest = std::min(closest, Length(camera.x - m_position.x - c.x, camera.y - m_position.y - c.y,
                                           camera.z - m_position.z - c.z));
    return closest;
}

int MeshObject::TrivialReject(IDirect3DRMViewport*, int) {
    DistanceFromCamera();
    return 0;
}

int MeshObject::ComputeSwitchDistances(float r0, float r1, float r2, float r3, float r4) {
    const float ratios[kMeshObjectSwitchCount] = {r0, r1, r2, r3, r4};
    std::copy(std::begin(ratios), std::end(ratios), m_switchRatios);
    const float side = std::max({std::fabs(m_box.max.x - m_box.min.x), std::fabs(m_box.max.y - m_box.min.y),
                                 std::fabs(m_box.max.z - m_box.min.z)});
    m_switchDistance0 = side * r0;
    m_switchDistance1 = side * r1;
    m_switchDistance2 = side * r2;
    m_switchDistance3 = side * r3;
    m_switchDistance4 = side * r4;
    return 1;
}

int MeshObject::SetParameters(int flag, float farDistance, float nearDistance, float distance1, int alpha) {
    m_drawFlag = flag;
    m_drawFar = farDistance;
    m_drawNear = nearDistance;
    m_switchDistance1 = distance1;
    m_alphaBlend = alpha;
    return 1;
}

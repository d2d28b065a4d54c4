// Attachments of a mesh object: children (drawn before it), visuals (other objects' frames hung on its
// frame, and wrappers that draw their geometry on the immediate-mode path), detail visuals on a frame of
// their own, and the list of textures the object uses.
#include "quib/platform/interfacelog.h"
#include "quib/scene/mesh/dp_mesh.h"
#include "quib/scene/objects/mesh_object.h"
#include "quib/scene/pipeline/scene_fog.h"

namespace {

constexpr float kDetailFogStart = 30000.0f;
constexpr float kDetailFogEnd = 30001.0f;

template <class T> void AddTo(PtrArray<T>*& list, T* item) {
    if (!list) list = new PtrArray<T>(1);
    list->Add(item);
}

} // namespace

void MeshObject::AddChild(MeshObject* child) {
    AddTo(m_children, child);
}

void MeshObject::AddVisual(MeshObject* v) {
    if (!v) return;
    AddTo(m_visuals, v);
    m_textureBytes += v->GetTextureUsage();
    m_polyCount += v->m_polyCount;
    m_vertexCount += v->m_vertexCount;
    if (m_frame && v->m_frame) rm_frame_add_frame(m_frame, v->m_frame);
    if (v->m_steList)
        for (int i = 0; i < v->m_steList->GetCount(); ++i)
            AddSTEList(v->m_steList->GetAt(i));
    if (!m_isInstance) MakeVisualWrapper(v);
}

void MeshObject::MakeVisualWrapper(MeshObject* v) {
    DPMesh* wrapper = new DPMesh(0, 0);
    wrapper->geometry = v->m_geo;
    wrapper->skin = v->m_skin;
    // The wrapper reads the visual's transform through a reference of its own on the visual's frame, in
    // place of the frame it made for itself.
    ReleaseInterface(wrapper->m_frame, "MeshObject::AddVisual wrapper");
    wrapper->m_frame = v->m_frame;
    wrapper->m_ownsFrame = false; // it stays where the visual hangs when the wrapper goes
    if (wrapper->m_frame) wrapper->m_frame->AddRef();
    AddTo(m_dpVisuals, wrapper);
}

void MeshObject::DeleteVisualWrapper(MeshObject* v) {
    if (m_isInstance || !m_dpVisuals) return;
    for (int i = 0; i < m_dpVisuals->GetCount(); ++i) {
        DPMesh* wrapper = m_dpVisuals->GetAt(i);
        if (wrapper->m_frame == v->m_frame) {
            m_dpVisuals->Remove(wrapper);
            // The geometry and skin are the visual's: the wrapper gives up only its frame reference.
            wrapper->geometry = nullptr;
            wrapper->skin = nullptr;
            delete wrapper;
            return;
        }
    }
}

void MeshObject::AddDetailVisual(MeshObject* v) {
    if (!v) return;
    if (!m_detailFrame && m_rm) {
        m_rm->CreateFrame(nullptr, &m_detailFrame);
        if (m_detailFrame) {
            m_ownsDetailFrame = true;
            m_detailFrame->SetSceneFogColor(g_FogColour);
            m_detailFrame->SetSceneFogParams(kDetailFogStart, kDetailFogEnd, 0.0f);
            m_detailFrame->SetSceneFogEnable(g_FogEnabled);
        }
    }
    m_detailPolyCount += v->m_polyCount;
    m_detailVertexCount += v->m_vertexCount;
    if (m_detailFrame && v->m_frame) rm_frame_add_frame(m_detailFrame, v->m_frame);
    if (!m_detailVisuals) m_ownsDetailFrame = true;
    AddTo(m_detailVisuals, v);
}

void MeshObject::DeleteVisual(MeshObject* v) {
    if (!m_visuals || !v) return;
    m_textureBytes -= v->GetTextureUsage();
    m_visuals->Remove(v);
    if (m_frame && v->m_frame) rm_frame_delete_frame(m_frame, v->m_frame);
    DeleteVisualWrapper(v);
}

void MeshObject::DeleteAllVisuals() {
    if (m_visuals) {
        for (int i = 0; i < m_visuals->GetCount(); ++i) {
            MeshObject* v = m_visuals->GetAt(i);
            m_textureBytes -= v->GetTextureUsage();
            if (m_frame && v->m_frame) rm_frame_delete_frame(m_frame, v->m_frame);
            DeleteVisualWrapper(v);
        }
        m_visuals->Clear();
    }
    if (m_detailVisuals) {
        for (int i = 0; i < m_detailVisuals->GetCount(); ++i) {
            MeshObject* v = m_detailVisuals->GetAt(i);
            m_textureBytes -= v->GetTextureUsage();
            if (m_detailFrame && v->m_frame) rm_frame_delete_frame(m_detailFrame, v->m_frame);
        }
        m_detailVisuals->Clear();
    }
}

void MeshObject::AddSTEList(SurfaceTableEntry* entry) {
    if (m_steList && m_steList->Find(entry)) return;
    AddTo(m_steList, entry);
}

void MeshObject::DelSTEList(SurfaceTableEntry* entry) {
    if (m_steList) m_steList->Remove(entry);
}

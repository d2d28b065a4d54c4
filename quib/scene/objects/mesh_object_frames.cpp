// Frame-by-frame animation from a series of ".3ds" files: each file is one frame, and showing a frame
// makes its geometry and skin the object's (borrowed: the frame list keeps them).
#include <new>

#include "quib/scene/mesh/dp_mesh.h"
#include "quib/scene/objects/mesh_object.h"

int MeshObject::Add3DSFrame(char* file) {
    if (!m_frames3DS) m_frames3DS = new (std::nothrow) PtrArray<DPMesh>(1);
    DPMesh* frame = m_frames3DS ? new (std::nothrow) DPMesh(0, 0) : nullptr;
    if (!frame) return 0;
    load_3ds_file(*frame, file);
    if (!m_frames3DS->Add(frame)) {
        delete frame;
        return 0;
    }
    return 1;
}

int MeshObject::Set3DSFrame(int n) {
    if (!m_frames3DS || n < 0 || n >= m_frames3DS->GetCount()) return 0;
    DPMesh* frame = m_frames3DS->GetAt(n);
    // The geometry shown so far is freed when it was the object's own (it could not be shown again), or
    // kept for the instances that share it.
    DropGeometry();
    DropSkin();
    m_geo = frame->geometry;
    m_skin = frame->skin;
    m_frame3DS = n;
    return 1;
}

int MeshObject::Next3DSFrame() {
    if (!m_frames3DS || m_frames3DS->GetCount() == 0) return 0;
    int n = m_frame3DS + 1;
    if (n >= m_frames3DS->GetCount()) n = 0;
    Set3DSFrame(n);
    return 1;
}

int MeshObject::Prev3DSFrame() {
    if (!m_frames3DS || m_frames3DS->GetCount() == 0) return 0;
    int n = m_frame3DS - 1;
    if (n < 0) n = m_frames3DS->GetCount() - 1;
    Set3DSFrame(n);
    return 1;
}

// Loading a mesh object: ".x" files into the Retained Mode mesh builder, ".3ds" and ".m3d" files into
// the engine's own geometry.
#include <cstdio>
#include <new>

#include "quib/platform/errors.h"
#include "quib/scene/mesh/dp_mesh.h"
#include "quib/scene/objects/mesh_object.h"

namespace {
constexpr int kLabelSize = 300;
}

int MeshObject::LoadX(char* file) {
    if (!m_steList) m_steList = new (std::nothrow) PtrArray<SurfaceTableEntry>(1);
    if (!m_steList) return 0;
    HRESULT hr = rm_builder_load(m_meshbuilder, file, m_steList);
    if (FAILED(hr)) {
        REPORT_D3DRM_ERROR(hr);
        return 0;
    }
    // The old mesh leaves the frame before it is released, so that only the new one is drawn.
    if (m_frame && m_mesh) rm_frame_delete_mesh(m_frame, m_mesh);
    char label[kLabelSize];
    std::snprintf(label, sizeof(label), "LoadOTM(%s)->m_mesh", file ? file : "");
    rm_mesh_release(m_mesh, label);
    hr = rm_builder_create_mesh(m_meshbuilder, &m_mesh);
    if (SUCCEEDED(hr)) hr = rm_frame_add_mesh(m_frame, m_mesh);
    if (FAILED(hr)) {
        REPORT_D3DRM_ERROR(hr);
        return 0;
    }
    MakeCenter();
    MakeBox();
    return 1;
}

int MeshObject::Load3DS(char* file) {
    DPMesh loaded(0, 0);
    load_3ds_file(loaded, file);
    TakeGeometry(loaded);
    return 1;
}

int MeshObject::LoadMax(char* file) {
    DPMesh loaded(0, 0);
    load_m3d_file(loaded, file);
    TakeGeometry(loaded);
    if (m_geo) m_geo->SetFrame(this);
    return 1;
}

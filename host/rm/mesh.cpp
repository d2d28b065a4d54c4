#include "host/rm/mesh.h"

#include <algorithm>
#include <cmath>
#include <cstring>

HOST_DEFINE_GUID(IID_IDirect3DRMMesh, 0x51B0D40A, 0x0004, 0x0000, 0xD3, 0x4D, 0x00, 0x00, 0x00, 0x00, 0x00,
                 0x0A);

namespace {

// Most vertices and faces one group may have (a bound on what a bad count can allocate).
constexpr unsigned kMaxGroupElements = 1u << 24;

// A colour component 0..1 as a byte (values outside clamped, NaN as 0).
DWORD ColourByte(D3DVALUE value) {
    if (!(value > 0.0f)) return 0;
    if (value >= 1.0f) return 255;
    return static_cast<DWORD>(std::lround(value * 255.0f));
}

// Reads the faces of AddGroup's face data into group; false when a face is malformed.
bool ReadFaces(unsigned vertexCount, unsigned faceCount, unsigned verticesPerFace, const unsigned* faceData,
               HostRMGroup& group) {
    size_t at = 0;
    for (unsigned face = 0; face < faceCount; ++face) {
        unsigned size = verticesPerFace ? verticesPerFace : faceData[at++];
        if (size < 3) return false;
        for (unsigned corner = 0; corner < size; ++corner) {
            unsigned vertex = faceData[at++];
            if (vertex >= vertexCount) return false;
            group.corners.push_back(vertex);
        }
        group.faceSizes.push_back(size);
    }
    return true;
}

// Grows box to hold point.
void Enclose(D3DRMBOX& box, const D3DVECTOR& point) {
    box.min.x = std::min(box.min.x, point.x);
    box.min.y = std::min(box.min.y, point.y);
    box.min.z = std::min(box.min.z, point.z);
    box.max.x = std::max(box.max.x, point.x);
    box.max.y = std::max(box.max.y, point.y);
    box.max.z = std::max(box.max.z, point.z);
}

} // namespace

HostRMMesh* HostRMMesh::From(IUnknown* mesh) {
    return dynamic_cast<HostRMMesh*>(mesh);
}

HRESULT HostRMMesh::QueryInterface(REFIID riid, void** out) {
    return HostQuerySingle<IDirect3DRMMesh>(this, IID_IDirect3DRMMesh, riid, out);
}

HostRMGroup* HostRMMesh::Group(D3DRMGROUPINDEX id) {
    if (id < 0 || static_cast<size_t>(id) >= groups_.size()) return nullptr;
    return &groups_[static_cast<size_t>(id)];
}

HRESULT HostRMMesh::AddGroup(unsigned vertexCount, unsigned faceCount, unsigned verticesPerFace,
                             unsigned* faceData, D3DRMGROUPINDEX* id) {
    if (!id || (faceCount && !faceData)) return D3DRMERR_BADVALUE;
    if (vertexCount > kMaxGroupElements || faceCount > kMaxGroupElements) return D3DRMERR_BADVALUE;
    HostRMGroup group;
    group.verticesPerFace = verticesPerFace;
    if (!ReadFaces(vertexCount, faceCount, verticesPerFace, faceData, group)) return D3DRMERR_BADVALUE;
    group.vertices.assign(vertexCount, D3DRMVERTEX{});
    groups_.push_back(std::move(group));
    *id = static_cast<D3DRMGROUPINDEX>(groups_.size() - 1);
    return D3DRM_OK;
}

HRESULT HostRMMesh::SetVertices(D3DRMGROUPINDEX id, unsigned index, unsigned count, D3DRMVERTEX* values) {
    HostRMGroup* group = Group(id);
    if (!group || (count && !values)) return D3DRMERR_BADVALUE;
    if (index > group->vertices.size() || count > group->vertices.size() - index) return D3DRMERR_BADVALUE;
    std::copy(values, values + count, group->vertices.begin() + index);
    return D3DRM_OK;
}

HRESULT HostRMMesh::GetVertices(D3DRMGROUPINDEX id, unsigned index, unsigned count, D3DRMVERTEX* values) {
    HostRMGroup* group = Group(id);
    if (!group || (count && !values)) return D3DRMERR_BADVALUE;
    if (index > group->vertices.size() || count > group->vertices.size() - index) return D3DRMERR_BADVALUE;
    std::copy_n(group->vertices.begin() + index, count, values);
    return D3DRM_OK;
}

HRESULT HostRMMesh::GetGroup(D3DRMGROUPINDEX id, unsigned* vertexCount, unsigned* faceCount,
                             unsigned* verticesPerFace, DWORD* faceDataSize, unsigned* faceData) {
    HostRMGroup* group = Group(id);
    if (!group) return D3DRMERR_BADVALUE;
    if (vertexCount) *vertexCount = static_cast<unsigned>(group->vertices.size());
    if (faceCount) *faceCount = static_cast<unsigned>(group->faceSizes.size());
    if (verticesPerFace) *verticesPerFace = group->verticesPerFace;
    size_t needed = group->corners.size() + (group->verticesPerFace ? 0 : group->faceSizes.size());
    if (!faceDataSize) return D3DRM_OK;
    DWORD room = *faceDataSize;
    *faceDataSize = static_cast<DWORD>(needed);
    if (!faceData) return D3DRM_OK;
    if (room < needed) return D3DRMERR_BADVALUE;
    size_t corner = 0;
    for (unsigned size : group->faceSizes) {
        if (!group->verticesPerFace) *faceData++ = size;
        faceData = std::copy_n(group->corners.begin() + static_cast<std::ptrdiff_t>(corner), size, faceData);
        corner += size;
    }
    return D3DRM_OK;
}

unsigned HostRMMesh::GetGroupCount() {
    return static_cast<unsigned>(groups_.size());
}

HRESULT HostRMMesh::SetGroupColor(D3DRMGROUPINDEX id, D3DCOLOR colour) {
    HostRMGroup* group = Group(id);
    if (!group) return D3DRMERR_BADVALUE;
    group->colour = colour;
    return D3DRM_OK;
}

HRESULT HostRMMesh::SetGroupColorRGB(D3DRMGROUPINDEX id, D3DVALUE red, D3DVALUE green, D3DVALUE blue) {
    return SetGroupColor(id, 0xFF000000 | ColourByte(red) << 16 | ColourByte(green) << 8 | ColourByte(blue));
}

HRESULT HostRMMesh::SetGroupMapping(D3DRMGROUPINDEX id, D3DRMMAPPING mapping) {
    HostRMGroup* group = Group(id);
    if (!group) return D3DRMERR_BADVALUE;
    group->mapping = mapping;
    return D3DRM_OK;
}

HRESULT HostRMMesh::SetGroupQuality(D3DRMGROUPINDEX id, D3DRMRENDERQUALITY quality) {
    HostRMGroup* group = Group(id);
    if (!group) return D3DRMERR_BADVALUE;
    group->quality = quality;
    return D3DRM_OK;
}

HRESULT HostRMMesh::SetGroupMaterial(D3DRMGROUPINDEX id, IDirect3DRMMaterial* material) {
    HostRMGroup* group = Group(id);
    HostRMMaterial* hostMaterial = HostRMMaterial::From(material);
    if (!group) return D3DRMERR_BADVALUE;
    if (material && !hostMaterial) return D3DRMERR_BADOBJECT;
    group->material = HostHeld<HostRMMaterial>(hostMaterial);
    return D3DRM_OK;
}

HRESULT HostRMMesh::SetGroupTexture(D3DRMGROUPINDEX id, IDirect3DRMTexture* texture) {
    HostRMGroup* group = Group(id);
    HostRMTexture* hostTexture = HostRMTexture::From(texture);
    if (!group) return D3DRMERR_BADVALUE;
    if (texture && !hostTexture) return D3DRMERR_BADOBJECT;
    group->texture = HostHeld<HostRMTexture>(hostTexture);
    return D3DRM_OK;
}

D3DCOLOR HostRMMesh::GetGroupColor(D3DRMGROUPINDEX id) {
    HostRMGroup* group = Group(id);
    return group ? group->colour : 0;
}

D3DRMMAPPING HostRMMesh::GetGroupMapping(D3DRMGROUPINDEX id) {
    HostRMGroup* group = Group(id);
    return group ? group->mapping : 0;
}

D3DRMRENDERQUALITY HostRMMesh::GetGroupQuality(D3DRMGROUPINDEX id) {
    HostRMGroup* group = Group(id);
    return group ? group->quality : 0;
}

HRESULT HostRMMesh::GetGroupMaterial(D3DRMGROUPINDEX id, IDirect3DRMMaterial** material) {
    if (!material) return D3DRMERR_BADVALUE;
    *material = nullptr;
    HostRMGroup* group = Group(id);
    if (!group) return D3DRMERR_BADVALUE;
    if (HostRMMaterial* held = group->material.Get()) {
        held->AddRef();
        *material = held;
    }
    return D3DRM_OK;
}

HRESULT HostRMMesh::GetGroupTexture(D3DRMGROUPINDEX id, IDirect3DRMTexture** texture) {
    if (!texture) return D3DRMERR_BADVALUE;
    *texture = nullptr;
    HostRMGroup* group = Group(id);
    if (!group) return D3DRMERR_BADVALUE;
    if (HostRMTexture* held = group->texture.Get()) {
        held->AddRef();
        *texture = held;
    }
    return D3DRM_OK;
}

HRESULT HostRMMesh::GetBox(D3DRMBOX* box) {
    if (!box) return D3DRMERR_BADVALUE;
    std::memset(box, 0, sizeof *box);
    bool first = true;
    for (const HostRMGroup& group : groups_) {
        for (const D3DRMVERTEX& vertex : group.vertices) {
            if (first) box->min = box->max = vertex.position;
            first = false;
            Enclose(*box, vertex.position);
        }
    }
    return D3DRM_OK;
}

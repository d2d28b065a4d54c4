#include "host/rm/mesh_builder.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <unordered_map>

#include "host/rm/x_import.h"
#include "host/win/paths.h"

HOST_DEFINE_GUID(IID_IDirect3DRMMeshBuilder, 0x51B0D40B, 0x0004, 0x0000, 0xD3, 0x4D, 0x00, 0x00, 0x00, 0x00,
                 0x00, 0x0B);
HOST_DEFINE_GUID(IID_IDirect3DRMMeshBuilder2, 0x51B0D40C, 0x0004, 0x0000, 0xD3, 0x4D, 0x00, 0x00, 0x00, 0x00,
                 0x00, 0x0C);

namespace {

DWORD ColourByte(D3DVALUE value) {
    if (!(value > 0.0f)) return 0;
    if (value >= 1.0f) return 255;
    return static_cast<DWORD>(std::lround(value * 255.0f));
}

// Stores the size needed in *count and checks the room it held on entry (when buffer is given).
bool FitsRoom(DWORD* count, const void* buffer, size_t needed) {
    if (!count) return buffer == nullptr;
    DWORD room = *count;
    *count = static_cast<DWORD>(needed);
    return !buffer || room >= needed;
}

} // namespace

HostRMMeshBuilder::HostRMMeshBuilder() {
    data_.looks.emplace_back(); // look 0: no material, no texture
}

HostRMMeshBuilder::~HostRMMeshBuilder() {
    if (drawable_) drawable_->Release();
}

HostRMMeshBuilder* HostRMMeshBuilder::From(IUnknown* builder) {
    return dynamic_cast<HostRMMeshBuilder*>(builder);
}

HRESULT HostRMMeshBuilder::QueryInterface(REFIID riid, void** out) {
    if (!out) return E_POINTER;
    if (IsEqualGUID(riid, IID_IUnknown) || IsEqualGUID(riid, IID_IDirect3DRMMeshBuilder) ||
        IsEqualGUID(riid, IID_IDirect3DRMMeshBuilder2)) {
        AddRef();
        *out = static_cast<IDirect3DRMMeshBuilder2*>(this);
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

void HostRMMeshBuilder::Changed() {
    if (drawable_) drawable_->Release();
    drawable_ = nullptr;
}

HRESULT HostRMMeshBuilder::Load(void* source, void*, D3DRMLOADOPTIONS options,
                                D3DRMLOADTEXTURECALLBACK callback, void* arg) {
    if (!source || options != D3DRMLOAD_FROMFILE) return D3DRMERR_BADVALUE;
    FILE* file = HostOpenFile(static_cast<const char*>(source), "rb");
    if (!file) return D3DRMERR_FILENOTFOUND;
    std::vector<uint8_t> bytes;
    bool read = HostReadWholeFile(file, kHostRMXFileMaxBytes, bytes);
    std::fclose(file);
    if (!read) return D3DRMERR_BADFILE;
    return LoadFromMemory(bytes.data(), bytes.size(), callback, arg);
}

HRESULT HostRMMeshBuilder::LoadFromMemory(const void* data, size_t size, D3DRMLOADTEXTURECALLBACK callback,
                                          void* arg) {
    Contents loaded;
    loaded.looks.emplace_back();
    HRESULT hr = HostRMImportX(data, size, callback, arg, loaded);
    if (FAILED(hr)) return hr;
    Adopt(std::move(loaded));
    return D3DRM_OK;
}

void HostRMMeshBuilder::Adopt(Contents&& loaded) {
    data_ = std::move(loaded);
    Changed();
}

HRESULT HostRMMeshBuilder::GetBox(D3DRMBOX* box) {
    if (!box) return D3DRMERR_BADVALUE;
    std::memset(box, 0, sizeof *box);
    if (data_.positions.empty()) return D3DRM_OK;
    box->min = box->max = data_.positions.front();
    for (const D3DVECTOR& p : data_.positions) {
        box->min.x = std::min(box->min.x, p.x), box->max.x = std::max(box->max.x, p.x);
        box->min.y = std::min(box->min.y, p.y), box->max.y = std::max(box->max.y, p.y);
        box->min.z = std::min(box->min.z, p.z), box->max.z = std::max(box->max.z, p.z);
    }
    return D3DRM_OK;
}

HRESULT HostRMMeshBuilder::GetVertices(DWORD* vertexCount, D3DVECTOR* vertices, DWORD* normalCount,
                                       D3DVECTOR* normals, DWORD* faceDataSize, DWORD* faceData) {
    size_t faceWords = 1 + data_.faces.size() + 2 * data_.corners.size();
    if (!FitsRoom(vertexCount, vertices, data_.positions.size()) ||
        !FitsRoom(normalCount, normals, data_.normals.size()) || !FitsRoom(faceDataSize, faceData, faceWords))
        return D3DRMERR_BADVALUE;
    if (vertices) std::copy(data_.positions.begin(), data_.positions.end(), vertices);
    if (normals) std::copy(data_.normals.begin(), data_.normals.end(), normals);
    if (faceData) {
        for (const HostRMBuilderFace& face : data_.faces) {
            *faceData++ = face.cornerCount;
            for (uint32_t k = 0; k < face.cornerCount; ++k) {
                const HostRMCorner& corner = data_.corners[face.firstCorner + k];
                *faceData++ = corner.vertex;
                *faceData++ = corner.normal;
            }
        }
        *faceData = 0;
    }
    return D3DRM_OK;
}

int HostRMMeshBuilder::GetFaceCount() {
    return static_cast<int>(data_.faces.size());
}

int HostRMMeshBuilder::GetVertexCount() {
    return static_cast<int>(data_.positions.size());
}

HRESULT HostRMMeshBuilder::GetTextureCoordinates(DWORD index, D3DVALUE* u, D3DVALUE* v) {
    if (!u || !v || index >= data_.positions.size()) return D3DRMERR_BADVALUE;
    *u = data_.texCoords[2 * size_t(index)];
    *v = data_.texCoords[2 * size_t(index) + 1];
    return D3DRM_OK;
}

uint32_t HostRMMeshBuilder::LookOf(HostRMMaterial* material, HostRMTexture* texture) {
    for (size_t i = 0; i < data_.looks.size(); ++i)
        if (data_.looks[i].material.Get() == material && data_.looks[i].texture.Get() == texture)
            return static_cast<uint32_t>(i);
    data_.looks.push_back(HostRMLook{HostHeld<HostRMMaterial>(material), HostHeld<HostRMTexture>(texture)});
    return static_cast<uint32_t>(data_.looks.size() - 1);
}

HRESULT HostRMMeshBuilder::AddMesh(IDirect3DRMMesh* mesh) {
    HostRMMesh* hostMesh = HostRMMesh::From(mesh);
    if (!mesh) return D3DRMERR_BADVALUE;
    if (!hostMesh) return D3DRMERR_BADOBJECT;
    for (const HostRMGroup& group : hostMesh->Groups()) {
        uint32_t base = static_cast<uint32_t>(data_.positions.size());
        for (const D3DRMVERTEX& vertex : group.vertices) {
            data_.positions.push_back(vertex.position);
            data_.normals.push_back(vertex.normal);
            data_.texCoords.push_back(vertex.tu);
            data_.texCoords.push_back(vertex.tv);
        }
        uint32_t look = LookOf(group.material.Get(), group.texture.Get());
        size_t corner = 0;
        for (unsigned size : group.faceSizes) {
            HostRMBuilderFace face;
            face.firstCorner = static_cast<uint32_t>(data_.corners.size());
            face.cornerCount = size;
            face.look = look;
            face.colour = group.colour;
            for (unsigned k = 0; k < size; ++k) {
                uint32_t at = base + group.corners[corner + k];
                data_.corners.push_back(HostRMCorner{at, at});
            }
            corner += size;
            data_.faces.push_back(face);
        }
    }
    Changed();
    return D3DRM_OK;
}

void HostRMMeshBuilder::FillMesh(HostRMMesh& mesh) const {
    // One group per look, in order of first use; a group's vertices are the distinct (vertex, normal)
    // pairs its faces use, in order of first use.
    std::vector<int> groupOfLook(data_.looks.size(), -1);
    std::vector<HostRMGroup> groups;
    std::vector<std::unordered_map<uint64_t, unsigned>> vertexOf;
    for (const HostRMBuilderFace& face : data_.faces) {
        int& index = groupOfLook[face.look];
        if (index < 0) {
            index = static_cast<int>(groups.size());
            HostRMGroup group;
            group.colour = face.colour;
            group.material = data_.looks[face.look].material;
            group.texture = data_.looks[face.look].texture;
            group.quality = quality_;
            group.mapping = perspective_ ? D3DRMMAP_PERSPCORRECT : 0;
            groups.push_back(std::move(group));
            vertexOf.emplace_back();
        }
        HostRMGroup& group = groups[size_t(index)];
        auto& known = vertexOf[size_t(index)];
        for (uint32_t k = 0; k < face.cornerCount; ++k) {
            const HostRMCorner& corner = data_.corners[face.firstCorner + k];
            uint64_t key = uint64_t(corner.vertex) << 32 | corner.normal;
            auto [at, added] = known.try_emplace(key, static_cast<unsigned>(group.vertices.size()));
            if (added) {
                D3DRMVERTEX vertex = {};
                vertex.position = data_.positions[corner.vertex];
                vertex.normal = data_.normals[corner.normal];
                vertex.tu = data_.texCoords[2 * size_t(corner.vertex)];
                vertex.tv = data_.texCoords[2 * size_t(corner.vertex) + 1];
                vertex.color = face.colour;
                group.vertices.push_back(vertex);
            }
            group.corners.push_back(at->second);
        }
        group.faceSizes.push_back(face.cornerCount);
    }
    for (HostRMGroup& group : groups)
        mesh.AppendGroup(std::move(group));
}

HRESULT HostRMMeshBuilder::CreateMesh(IDirect3DRMMesh** mesh) {
    if (!mesh) return D3DRMERR_BADVALUE;
    HostRMMesh* made = new HostRMMesh();
    FillMesh(*made);
    *mesh = made;
    return D3DRM_OK;
}

HostRMMesh* HostRMMeshBuilder::Drawable() {
    if (!drawable_) {
        drawable_ = new HostRMMesh();
        FillMesh(*drawable_);
    }
    return drawable_;
}

HRESULT HostRMMeshBuilder::SetPerspective(BOOL on) {
    perspective_ = on ? TRUE : FALSE;
    Changed();
    return D3DRM_OK;
}

BOOL HostRMMeshBuilder::GetPerspective() {
    return perspective_;
}

HRESULT HostRMMeshBuilder::SetQuality(D3DRMRENDERQUALITY quality) {
    quality_ = quality;
    Changed();
    return D3DRM_OK;
}

D3DRMRENDERQUALITY HostRMMeshBuilder::GetQuality() {
    return quality_;
}

HRESULT HostRMMeshBuilder::SetColor(D3DCOLOR colour) {
    for (HostRMBuilderFace& face : data_.faces)
        face.colour = colour;
    Changed();
    return D3DRM_OK;
}

HRESULT HostRMMeshBuilder::SetColorRGB(D3DVALUE red, D3DVALUE green, D3DVALUE blue) {
    return SetColor(0xFF000000 | ColourByte(red) << 16 | ColourByte(green) << 8 | ColourByte(blue));
}

void HostRMMeshBuilder::DropUnusedLooks() {
    std::vector<uint32_t> renumbered(data_.looks.size(), UINT32_MAX);
    renumbered[0] = 0;
    for (const HostRMBuilderFace& face : data_.faces)
        renumbered[face.look] = 0;
    std::vector<HostRMLook> kept;
    for (size_t i = 0; i < data_.looks.size(); ++i) {
        if (renumbered[i] == UINT32_MAX) continue;
        renumbered[i] = static_cast<uint32_t>(kept.size());
        kept.push_back(std::move(data_.looks[i]));
    }
    data_.looks = std::move(kept);
    for (HostRMBuilderFace& face : data_.faces)
        face.look = renumbered[face.look];
}

HRESULT HostRMMeshBuilder::SetMaterial(IDirect3DRMMaterial* material) {
    HostRMMaterial* hostMaterial = HostRMMaterial::From(material);
    if (material && !hostMaterial) return D3DRMERR_BADOBJECT;
    for (HostRMBuilderFace& face : data_.faces)
        face.look = LookOf(hostMaterial, data_.looks[face.look].texture.Get());
    DropUnusedLooks();
    Changed();
    return D3DRM_OK;
}

HRESULT HostRMMeshBuilder::SetTexture(IDirect3DRMTexture* texture) {
    HostRMTexture* hostTexture = HostRMTexture::From(texture);
    if (texture && !hostTexture) return D3DRMERR_BADOBJECT;
    for (HostRMBuilderFace& face : data_.faces)
        face.look = LookOf(data_.looks[face.look].material.Get(), hostTexture);
    DropUnusedLooks();
    Changed();
    return D3DRM_OK;
}

HRESULT HostRMMeshBuilder::Scale(D3DVALUE sx, D3DVALUE sy, D3DVALUE sz) {
    for (D3DVECTOR& p : data_.positions)
        p.x *= sx, p.y *= sy, p.z *= sz;
    Changed();
    return D3DRM_OK;
}

HRESULT HostRMMeshBuilder::Translate(D3DVALUE tx, D3DVALUE ty, D3DVALUE tz) {
    for (D3DVECTOR& p : data_.positions)
        p.x += tx, p.y += ty, p.z += tz;
    Changed();
    return D3DRM_OK;
}

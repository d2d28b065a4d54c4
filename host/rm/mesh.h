// A retained-mode mesh: groups of vertices and faces, each group drawn with its own colour, material,
// texture, quality and mapping.
#pragma once

#include <vector>

#include "host/rm/d3drm.h"
#include "host/rm/held.h"
#include "host/rm/material.h"
#include "host/rm/texture.h"

// One group of a mesh as it is drawn. Faces index the group's own vertices; face f has faceSizes[f]
// corners (3 or more, a convex polygon to be drawn as a fan from its first corner), listed in corners
// after those of the faces before it. The winding of the corners is the file's (clockwise seen from the
// front, the face's front being the side its normal points to).
struct HostRMGroup {
    std::vector<D3DRMVERTEX> vertices;
    std::vector<unsigned> corners;   // vertex indices of every face, face after face
    std::vector<unsigned> faceSizes; // corners per face
    unsigned verticesPerFace = 0;    // as the group was added (0: faces of varying size)
    D3DCOLOR colour = 0xFFFFFFFF;    // drawn colour (untextured) or texel multiplier (textured)
    HostHeld<HostRMMaterial> material;
    HostHeld<HostRMTexture> texture;
    D3DRMRENDERQUALITY quality = D3DRMRENDER_FLAT;
    D3DRMMAPPING mapping = 0;

    // Textures are drawn perspective-correct.
    bool Perspective() const { return (mapping & D3DRMMAP_PERSPCORRECT) != 0; }
};

class HostRMMesh final : public IDirect3DRMMesh, public RefCount {
  public:
    HostRMMesh() = default;

    HRESULT QueryInterface(REFIID riid, void** out) override;
    HOST_REFCOUNTED

    HRESULT AddGroup(unsigned vertexCount, unsigned faceCount, unsigned verticesPerFace, unsigned* faceData,
                     D3DRMGROUPINDEX* id) override;
    HRESULT SetVertices(D3DRMGROUPINDEX id, unsigned index, unsigned count, D3DRMVERTEX* values) override;
    HRESULT GetVertices(D3DRMGROUPINDEX id, unsigned index, unsigned count, D3DRMVERTEX* values) override;
    HRESULT GetGroup(D3DRMGROUPINDEX id, unsigned* vertexCount, unsigned* faceCount,
                     unsigned* verticesPerFace, DWORD* faceDataSize, unsigned* faceData) override;
    unsigned GetGroupCount() override;

    HRESULT SetGroupColor(D3DRMGROUPINDEX id, D3DCOLOR colour) override;
    HRESULT SetGroupColorRGB(D3DRMGROUPINDEX id, D3DVALUE red, D3DVALUE green, D3DVALUE blue) override;
    HRESULT SetGroupMapping(D3DRMGROUPINDEX id, D3DRMMAPPING mapping) override;
    HRESULT SetGroupQuality(D3DRMGROUPINDEX id, D3DRMRENDERQUALITY quality) override;
    HRESULT SetGroupMaterial(D3DRMGROUPINDEX id, IDirect3DRMMaterial* material) override;
    HRESULT SetGroupTexture(D3DRMGROUPINDEX id, IDirect3DRMTexture* texture) override;
    D3DCOLOR GetGroupColor(D3DRMGROUPINDEX id) override;
    D3DRMMAPPING GetGroupMapping(D3DRMGROUPINDEX id) override;
    D3DRMRENDERQUALITY GetGroupQuality(D3DRMGROUPINDEX id) override;
    HRESULT GetGroupMaterial(D3DRMGROUPINDEX id, IDirect3DRMMaterial** material) override;
    HRESULT GetGroupTexture(D3DRMGROUPINDEX id, IDirect3DRMTexture** texture) override;

    HRESULT GetBox(D3DRMBOX* box) override;

    // The groups in index order, for drawing and for mesh builders.
    const std::vector<HostRMGroup>& Groups() const { return groups_; }
    // Appends a group already checked (mesh builders make their meshes through this).
    void AppendGroup(HostRMGroup group) { groups_.push_back(std::move(group)); }

    // The host mesh behind an interface pointer; NULL for NULL or an object of another kind.
    static HostRMMesh* From(IUnknown* mesh);

  private:
    ~HostRMMesh() override = default;
    // The group of index id, or NULL outside the mesh.
    HostRMGroup* Group(D3DRMGROUPINDEX id);

    std::vector<HostRMGroup> groups_;
};

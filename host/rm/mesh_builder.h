// A retained-mode mesh builder: faces over shared vertex and normal lists, loaded from ".x" files, and
// the meshes made from it.
#pragma once

#include <cstdint>
#include <vector>

#include "host/rm/d3drm.h"
#include "host/rm/held.h"
#include "host/rm/material.h"
#include "host/rm/mesh.h"
#include "host/rm/texture.h"

// What a face is drawn with: material and texture. Faces of one look become one mesh group.
struct HostRMLook {
    HostHeld<HostRMMaterial> material;
    HostHeld<HostRMTexture> texture;
};

// One face of a builder: cornerCount corners from firstCorner on in the builder's corner list.
struct HostRMBuilderFace {
    uint32_t firstCorner = 0;
    uint32_t cornerCount = 0;
    uint32_t look = 0; // index in the builder's looks
    D3DCOLOR colour = 0xFFFFFFFF;
};

// A corner of a face: a vertex and a normal of the builder's lists. A zero normal stands for none.
struct HostRMCorner {
    uint32_t vertex = 0;
    uint32_t normal = 0;
};

class HostRMMeshBuilder final : public IDirect3DRMMeshBuilder2, public RefCount {
  public:
    HostRMMeshBuilder();

    HRESULT QueryInterface(REFIID riid, void** out) override;
    HOST_REFCOUNTED

    HRESULT Load(void* source, void* objectId, D3DRMLOADOPTIONS options, D3DRMLOADTEXTURECALLBACK callback,
                 void* arg) override;
    HRESULT GetBox(D3DRMBOX* box) override;
    HRESULT GetVertices(DWORD* vertexCount, D3DVECTOR* vertices, DWORD* normalCount, D3DVECTOR* normals,
                        DWORD* faceDataSize, DWORD* faceData) override;
    int GetFaceCount() override;
    int GetVertexCount() override;
    HRESULT GetTextureCoordinates(DWORD index, D3DVALUE* u, D3DVALUE* v) override;
    HRESULT AddMesh(IDirect3DRMMesh* mesh) override;
    HRESULT CreateMesh(IDirect3DRMMesh** mesh) override;
    HRESULT SetPerspective(BOOL on) override;
    BOOL GetPerspective() override;
    HRESULT SetQuality(D3DRMRENDERQUALITY quality) override;
    D3DRMRENDERQUALITY GetQuality() override;
    HRESULT SetColor(D3DCOLOR colour) override;
    HRESULT SetColorRGB(D3DVALUE red, D3DVALUE green, D3DVALUE blue) override;
    HRESULT SetMaterial(IDirect3DRMMaterial* material) override;
    HRESULT SetTexture(IDirect3DRMTexture* texture) override;
    HRESULT Scale(D3DVALUE sx, D3DVALUE sy, D3DVALUE sz) override;
    HRESULT Translate(D3DVALUE tx, D3DVALUE ty, D3DVALUE tz) override;

    // A mesh of the builder's current contents for drawing the builder itself as a visual: made again
    // after every change, owned by the builder (no reference is added; valid until the next change).
    HostRMMesh* Drawable();

    // Load from a file's bytes held in memory (Load reads the file, then calls this).
    HRESULT LoadFromMemory(const void* data, size_t size, D3DRMLOADTEXTURECALLBACK callback, void* arg);

    // The host builder behind an interface pointer; NULL for NULL or an object of another kind.
    static HostRMMeshBuilder* From(IUnknown* builder);

    // The builder's contents (read by the loader, the mesh maker and the tests).
    struct Contents {
        std::vector<D3DVECTOR> positions;
        std::vector<D3DVECTOR> normals;
        std::vector<float> texCoords; // tu, tv per vertex
        std::vector<HostRMCorner> corners;
        std::vector<HostRMBuilderFace> faces;
        std::vector<HostRMLook> looks; // looks[0] is no material and no texture
    };
    const Contents& Data() const { return data_; }
    // Replaces the contents by loaded ones (faces indexing their vertices, normals and looks; looks[0]
    // is no material and no texture).
    void Adopt(Contents&& loaded);

  private:
    ~HostRMMeshBuilder() override;
    // Marks the drawable mesh out of date.
    void Changed();
    // The index of the look (material, texture), added when new.
    uint32_t LookOf(HostRMMaterial* material, HostRMTexture* texture);
    // Fills mesh with one group per look in order of first use.
    void FillMesh(HostRMMesh& mesh) const;
    // Drops the looks no face uses (and the references they hold).
    void DropUnusedLooks();

    Contents data_;
    BOOL perspective_ = FALSE;
    D3DRMRENDERQUALITY quality_ = D3DRMRENDER_GOURAUD;
    HostRMMesh* drawable_ = nullptr; // one reference, NULL when out of date
};

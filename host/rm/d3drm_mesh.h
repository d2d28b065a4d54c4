// Retained-mode geometry: meshes (groups of vertices and faces, each group with its own colour, material,
// texture, quality and mapping) and mesh builders (faces over shared vertex and normal lists, loaded
// from ".x" files, turned into meshes). Included by host/rm/d3drm.h.
#pragma once

#include "host/base/unknown.h"
#include "host/d3d/d3dtypes.h"
#include "host/rm/d3drm.h"

class IDirect3DRMMaterial;
class IDirect3DRMTexture;

// One vertex of a mesh group: 36 bytes, as the engine copies them.
struct D3DRMVERTEX {
    D3DVECTOR position;
    D3DVECTOR normal;
    D3DVALUE tu;
    D3DVALUE tv;
    D3DCOLOR color;
};
static_assert(sizeof(D3DRMVERTEX) == 36, "a retained-mode vertex is 36 bytes");

// An axis-aligned box.
struct D3DRMBOX {
    D3DVECTOR min;
    D3DVECTOR max;
};

// The index of a group in its mesh (0, 1, ... in the order the groups were added).
typedef LONG D3DRMGROUPINDEX;

// How a group's texture coordinates are used.
typedef DWORD D3DRMMAPPING;
#define D3DRMMAP_WRAPU        0x0001
#define D3DRMMAP_WRAPV        0x0002
#define D3DRMMAP_PERSPCORRECT 0x0004 // textures drawn perspective-correct

// Where Load finds its data. Only files are supported.
typedef DWORD D3DRMLOADOPTIONS;
#define D3DRMLOAD_FROMFILE 0x0000

// Called by a mesh builder's Load once per texture file name the file names. name is a writable
// buffer holding the name with room to rewrite it (at least D3DRM_TEXTURE_NAME_ROOM bytes past its
// terminator); the callback stores a texture with a reference in *texture and returns D3DRM_OK, or
// returns a failure, and the faces that use that name stay untextured.
typedef HRESULT (*D3DRMLOADTEXTURECALLBACK)(char* name, void* arg, IDirect3DRMTexture** texture);
#define D3DRM_TEXTURE_NAME_ROOM 260

HOST_DECLARE_GUID(IID_IDirect3DRMMesh);
HOST_DECLARE_GUID(IID_IDirect3DRMMeshBuilder);
HOST_DECLARE_GUID(IID_IDirect3DRMMeshBuilder2);

// A mesh: groups of vertices and faces. Each group has its own vertices (a face indexes the vertices of
// its group), colour, material, texture, quality and mapping. A group holds a reference on its material
// and texture. Group indices outside the mesh are refused with D3DRMERR_BADVALUE (getters returning a
// value give 0).
class IDirect3DRMMesh : public IUnknown {
  public:
    // Adds a group of vertexCount zeroed vertices and faceCount faces. With verticesPerFace > 0 faceData
    // holds faceCount x verticesPerFace vertex indices; with 0 each face is its corner count followed by
    // that many indices. Every face needs at least 3 corners, every index must be below vertexCount, and
    // neither count may pass 2^24 (D3DRMERR_BADVALUE otherwise). The group is white, untextured, without
    // material, of quality D3DRMRENDER_FLAT and mapping 0; *id receives its index.
    virtual HRESULT AddGroup(unsigned vertexCount, unsigned faceCount, unsigned verticesPerFace,
                             unsigned* faceData, D3DRMGROUPINDEX* id) = 0;
    // Copies count vertices into / out of the group starting at vertex index; the range must lie inside
    // the group (D3DRMERR_BADVALUE).
    virtual HRESULT SetVertices(D3DRMGROUPINDEX id, unsigned index, unsigned count, D3DRMVERTEX* values) = 0;
    virtual HRESULT GetVertices(D3DRMGROUPINDEX id, unsigned index, unsigned count, D3DRMVERTEX* values) = 0;
    // The group's counts and faces. Every pointer may be NULL. faceDataSize holds, on entry, the room of
    // faceData in unsigned values and receives the size needed; faceData receives the faces in the form
    // AddGroup took them (D3DRMERR_BADVALUE when the room is short).
    virtual HRESULT GetGroup(D3DRMGROUPINDEX id, unsigned* vertexCount, unsigned* faceCount,
                             unsigned* verticesPerFace, DWORD* faceDataSize, unsigned* faceData) = 0;
    virtual unsigned GetGroupCount() = 0;

    virtual HRESULT SetGroupColor(D3DRMGROUPINDEX id, D3DCOLOR colour) = 0;
    virtual HRESULT SetGroupColorRGB(D3DRMGROUPINDEX id, D3DVALUE red, D3DVALUE green, D3DVALUE blue) = 0;
    virtual HRESULT SetGroupMapping(D3DRMGROUPINDEX id, D3DRMMAPPING mapping) = 0;
    virtual HRESULT SetGroupQuality(D3DRMGROUPINDEX id, D3DRMRENDERQUALITY quality) = 0;
    // NULL removes the material / texture.
    virtual HRESULT SetGroupMaterial(D3DRMGROUPINDEX id, IDirect3DRMMaterial* material) = 0;
    virtual HRESULT SetGroupTexture(D3DRMGROUPINDEX id, IDirect3DRMTexture* texture) = 0;
    virtual D3DCOLOR GetGroupColor(D3DRMGROUPINDEX id) = 0;
    virtual D3DRMMAPPING GetGroupMapping(D3DRMGROUPINDEX id) = 0;
    virtual D3DRMRENDERQUALITY GetGroupQuality(D3DRMGROUPINDEX id) = 0;
    // The very object that was set, with a reference added (the caller releases it), or NULL.
    virtual HRESULT GetGroupMaterial(D3DRMGROUPINDEX id, IDirect3DRMMaterial** material) = 0;
    virtual HRESULT GetGroupTexture(D3DRMGROUPINDEX id, IDirect3DRMTexture** texture) = 0;

    // The box around every vertex of every group (all zero for an empty mesh).
    virtual HRESULT GetBox(D3DRMBOX* box) = 0;
};
typedef IDirect3DRMMesh* LPDIRECT3DRMMESH;

// A mesh builder: a vertex list, a normal list, texture coordinates per vertex, and faces whose corners
// each name a vertex and a normal; each face has its own colour, material and texture.
class IDirect3DRMMeshBuilder : public IUnknown {
  public:
    // Replaces the builder's contents with every mesh of the ".x" file source (a file name; objectId is
    // not used and options must be D3DRMLOAD_FROMFILE). The file's frames are flattened: each mesh is
    // placed by the product of its frame transforms. Faces, normals, texture coordinates and materials
    // are kept as the file has them. callback (may be NULL) is called once per distinct texture file
    // name, with arg. D3DRMERR_FILENOTFOUND when the file cannot be opened, D3DRMERR_BADFILE when it
    // cannot be read; the builder is then unchanged.
    virtual HRESULT Load(void* source, void* objectId, D3DRMLOADOPTIONS options,
                         D3DRMLOADTEXTURECALLBACK callback, void* arg) = 0;
    // The box around every vertex (all zero for an empty builder).
    virtual HRESULT GetBox(D3DRMBOX* box) = 0;
    // The vertex positions, the normals and the faces. Every pointer may be NULL; each count holds the
    // room of its buffer on entry (in elements; face data in DWORDs) and receives the size needed.
    // Face data: for each face its corner count, then per corner the vertex index and the normal index;
    // a 0 ends the list. A buffer with too little room: D3DRMERR_BADVALUE.
    virtual HRESULT GetVertices(DWORD* vertexCount, D3DVECTOR* vertices, DWORD* normalCount,
                                D3DVECTOR* normals, DWORD* faceDataSize, DWORD* faceData) = 0;
    virtual int GetFaceCount() = 0;
    virtual int GetVertexCount() = 0;
    // Texture coordinates of vertex index (D3DRMERR_BADVALUE outside the list).
    virtual HRESULT GetTextureCoordinates(DWORD index, D3DVALUE* u, D3DVALUE* v) = 0;
    // Appends every group of mesh: its vertices, normals and faces, with the group's colour, material and
    // texture on each face.
    virtual HRESULT AddMesh(IDirect3DRMMesh* mesh) = 0;
    // Makes a mesh of the builder: one group per distinct material and texture (in order of first use),
    // with the builder's quality, and the perspective mapping when the builder's perspective is on.
    virtual HRESULT CreateMesh(IDirect3DRMMesh** mesh) = 0;
    // Perspective-correct texturing of the meshes made from now on.
    virtual HRESULT SetPerspective(BOOL on) = 0;
    virtual BOOL GetPerspective() = 0;
    virtual HRESULT SetQuality(D3DRMRENDERQUALITY quality) = 0;
    virtual D3DRMRENDERQUALITY GetQuality() = 0;
    // Set on every face.
    virtual HRESULT SetColor(D3DCOLOR colour) = 0;
    virtual HRESULT SetColorRGB(D3DVALUE red, D3DVALUE green, D3DVALUE blue) = 0;
    virtual HRESULT SetMaterial(IDirect3DRMMaterial* material) = 0;
    virtual HRESULT SetTexture(IDirect3DRMTexture* texture) = 0;
    // Scales, then moves, every vertex.
    virtual HRESULT Scale(D3DVALUE sx, D3DVALUE sy, D3DVALUE sz) = 0;
    virtual HRESULT Translate(D3DVALUE tx, D3DVALUE ty, D3DVALUE tz) = 0;
};

// The second mesh-builder interface; the same object as the first.
class IDirect3DRMMeshBuilder2 : public IDirect3DRMMeshBuilder {};

typedef IDirect3DRMMeshBuilder* LPDIRECT3DRMMESHBUILDER;
typedef IDirect3DRMMeshBuilder2* LPDIRECT3DRMMESHBUILDER2;

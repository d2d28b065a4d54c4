// quib/scene/objects: MeshObject and its parts, levels of detail, render types, display lists, the render
// paths and scene settings, the horizon. May include quib/scene/pipeline and the floors below it.
//
// MeshObject: the engine's 3D object, behind every object handle. It is a Frame (its placement) that
// carries a Retained Mode mesh builder and the mesh made from it as the visual of its frame, the same
// object as the engine's own geometry (for the immediate-mode path), its materials, bounding box,
// distance switches and attached objects (children, visuals, detail visuals).
//
// A master object owns its geometry, skin, shadow, children, visual wrappers and animation frames. An
// instance (made by the copy constructor) shares the master's mesh builder and mesh (with a reference of
// its own on each), children, geometry, shadow, detail frame and animation frames; it owns copies of the
// materials and of the skin. The master must outlive its instances. Geometry, skin or shadow that the
// master replaces (showing an animation frame, loading again, a new shadow) while it has instances is
// kept until the last of them and the master are gone, since an instance may still draw it.
//
// A freed object leaves every display list that holds it.
//
// The 41 virtual operations keep their order: derived objects override them by position.
#pragma once

#include "host/ddraw/ddraw.h"
#include "host/rm/d3drm.h"
#include "quib/export.h"
#include "quib/ptrarray.h"
#include "quib/scene/frames/frame.h"
#include "quib/scene/objects/mesh_object_links.h"

class DPMesh;
class DPMeshGeo;
class DPMeshSkin;
class MATERIAL;
class SurfaceTableEntry;
struct MeshFamily;

constexpr int kMeshObjectNameSize = 256;
constexpr int kMeshObjectSwitchCount = 5;
// Switch and draw distances before anything sets them.
constexpr float kMeshObjectFarDistance = 30000.0f;
constexpr float kMeshObjectNearDistance = 500.0f;

// A material applied to one mesh group each time the object renders.
struct MeshGroupMaterial {
    int group = 0;
    D3DCOLOR colour = 0;
    IDirect3DRMTexture* texture = nullptr;   // not held
    IDirect3DRMMaterial* material = nullptr; // not held
    IDirect3DRMMesh* mesh = nullptr;         // not held
    MATERIAL* source = nullptr;              // for the mip-mapped texture
};

class QUIB_API MeshObject : public Frame {
  public:
    // A master object: its frame under parent (a root when NULL), made with rm or the engine's Retained
    // Mode object; an empty mesh builder and mesh as the frame's visual; the scene fog settings.
    MeshObject(IDirect3DRM2* rm, IDirect3DRMFrame2* parent);
    // An instance of src (see the file comment). src's skin, when it has one, is copied.
    explicit MeshObject(MeshObject* src);
    MeshObject(const MeshObject&) = delete;
    MeshObject& operator=(const MeshObject&) = delete;

    // ---- The virtual operations, in slot order ----
    // 0: perspective on, back-to-front sorting and Z buffer on the frame, default switch ratios and type.
    virtual int SetDefaults();
    // 1, 3: nothing.
    virtual void Animate();
    // 2: group textures on (textured materials show their texture, white) or off (flat colours).
    virtual int ShowTextures(int on);
    virtual void SetLighting(int on);
    // 4, 5, 6: centre and box from the mesh builder; AddBox grows the box to hold b.
    virtual int MakeCenter();
    virtual int MakeBox();
    virtual int AddBox(MeshBox& b);
    // 7: the box edges and a centre cross, when m_outline is set.
    virtual int DrawBox();
    // 8: updates the distance; never rejects (0).
    virtual int TrivialReject(IDirect3DRMViewport* viewport, int flag);
    // 9, 10: distance of the centre (stored) and of the nearest corner from the current camera.
    virtual float DistanceFromCamera();
    virtual float ClosestDistanceFromCamera();
    // 11: Retained Mode drawing of the children, the object and its detail frame. 0 on a failure.
    virtual int Render(IDirect3DRMViewport* viewport);
    // 12-16: attachments.
    virtual void AddChild(MeshObject* child);
    virtual void AddVisual(MeshObject* v);
    virtual void AddDetailVisual(MeshObject* v);
    virtual void DeleteVisual(MeshObject* v);
    virtual void DeleteAllVisuals();
    // 17: merges other's mesh into the builder and remakes the mesh.
    virtual void AddMesh(MeshObject* other);
    // 18: switch distance i = the box's largest side x ri.
    virtual int ComputeSwitchDistances(float r0, float r1, float r2, float r3, float r4);
    // 19-21: materials onto the mesh groups; mip-map use and level.
    virtual int ResetMaterials();
    virtual int UseMipMaps(int on);
    virtual int SetMipMapLevel(int level);
    // 22: the box's rectangle on screen; 1 when on screen.
    virtual int MakeScreenExtents();
    // 23: texture bytes of the materials.
    virtual int GetTextureUsage();
    // 24: scene fog on the frame and the detail frame.
    virtual void SetFogEnable(int on);
    // 25, 26: textures the object uses (each once).
    virtual void AddSTEList(SurfaceTableEntry* entry);
    virtual void DelSTEList(SurfaceTableEntry* entry);
    // 27: the engine's geometry and skin from the mesh groups (1 at once when there is geometry).
    virtual int CreateDPMesh();
    // 28: immediate-mode drawing of the shadow, the object and its visuals.
    virtual int RenderDPMesh();
    // 29, 30: a one-quad shadow under the box, textured with s; moving and scaling it.
    virtual int CreateShadow(IDirectDrawSurface* s);
    virtual int AdjustShadow(float dx, float dz, float sx, float sz);
    // 31, 32: picking against the engine's geometry.
    virtual int FindClosestTriangle(float x, float y, float z);
    virtual int FindMeshIntersection(D3DVECTOR& a, D3DVECTOR& b, D3DVECTOR& out);
    // 33-35: geometry edits and the lowest point (over every animation frame when there are frames).
    virtual int Scale(float sx, float sy, float sz);
    virtual float GetMinimumY();
    virtual int TranslateVertices(float dx, float dy, float dz);
    // 36: draw flag, far and near distances, switch distance 1 and alpha blending.
    virtual int SetParameters(int flag, float farDistance, float nearDistance, float distance1, int alpha);
    // 37-40: ".3ds" animation frames.
    virtual int Add3DSFrame(char* file);
    virtual int Set3DSFrame(int n);
    virtual int Next3DSFrame();
    virtual int Prev3DSFrame();

    // Releases the Retained Mode objects and frees what the object owns (see the file comment). Virtual,
    // after the 41 operations, so that derived objects are destroyed whole through a MeshObject*.
    virtual ~MeshObject();

    // ---- Loaders (the object is constructed first) ----
    // A ".x" file into the mesh builder; a new mesh as the frame's visual; centre and box. 1, or 0 with
    // the failure reported.
    int LoadX(char* file);
    // A ".3ds" / ".m3d" file into the engine's geometry and skin. 1 whatever the loader returned.
    int Load3DS(char* file);
    int LoadMax(char* file);

    // The index in m_materials of the MATERIAL holding material, or -1.
    int FindMaterial(IDirect3DRMMaterial* material) const;
    // A copy of src (each MATERIAL copied with its own reference), or NULL for NULL.
    static PtrArray<MATERIAL>* CopyMaterialList(const PtrArray<MATERIAL>* src);

    PtrArray<DPMesh>* m_dpVisuals; // wrappers drawing the visuals' geometry (master: owned)
    DPMeshGeo* m_geo;              // owned when m_ownsGeo
    DPMeshSkin* m_skin;            // owned when m_ownsSkin
    int m_hasShadow;
    DPMeshGeo* m_shadowGeo;   // owned when m_ownsShadow
    DPMeshSkin* m_shadowSkin; // owned when m_ownsShadow
    int m_drawFlag;
    float m_drawFar;
    float m_drawNear;
    PtrArray<MeshObject>* m_children; // master: owned with the children
    PtrArray<MeshObject>* m_visuals;  // list owned, objects not
    char m_name[kMeshObjectNameSize];
    char m_renderType;
    D3DVECTOR m_center;
    D3DVECTOR m_corners[8];
    MeshBox m_box;
    float m_distance;
    int m_render;
    int m_rejected;
    int m_polyCount;
    int m_vertexCount;
    IDirect3DRM2* m_rm;
    IDirect3DRMMeshBuilder2* m_meshbuilder; // one reference held
    IDirect3DRMMesh* m_mesh;                // one reference held
    PtrArray<MATERIAL>* m_materials;        // owned with the records
    PtrArray<MeshGroupMaterial>* m_groupMaterials;
    IDirect3DRMFrame2* m_parentFrame;
    IDirect3DRMFrame2* m_detailFrame; // master: one reference held
    PtrArray<MeshObject>* m_detailVisuals;
    int m_detailPolyCount;
    int m_detailVertexCount;
    int m_showTextures;
    int m_outline;
    float m_unusedRanges[3]; // 100, 300, 400; nothing reads them
    float m_switchRatios[kMeshObjectSwitchCount];
    float m_switchDistance0;
    float m_switchDistance1; // beyond it the Z buffer is off for the object
    float m_switchDistance2; // beyond it perspective correction is off
    int m_alphaBlend;
    float m_switchDistance3;
    float m_switchDistance4; // the detail frame is drawn only nearer than it
    int m_screenRect[4];     // left, top, right, bottom
    int m_screenSize[2];     // width, height
    int m_mipLevel;
    D3DRMVECTOR4D m_screenCorners[8];
    int m_useMipMaps;
    int m_isInstance;
    PtrArray<MATERIAL>* m_instanceMaterials;
    PtrArray<SurfaceTableEntry>* m_steList; // list owned, entries not
    int m_textureBytes;
    PtrArray<DPMesh>* m_frames3DS; // master: owned with each frame's geometry and skin
    int m_frame3DS;
    bool m_ownsGeo;
    bool m_ownsSkin;
    bool m_ownsShadow;
    bool m_ownsDetailFrame; // the detail frame and its list were made by this object
    // A master and its instances while any of them exists (NULL until the first instance): their count
    // and what the master replaced while instances shared it.
    MeshFamily* m_family;

  protected:
    // Recomputes the 8 corners from m_box.
    void MakeCorners();
    // Frees the geometry / skin when the object owns them (kept for the instances while a master has
    // any) and forgets them.
    void DropGeometry();
    void DropSkin();
    // Frees a piece this object owned, or keeps it with the family while this master has instances.
    void Discard(DPMeshGeo* geo);
    void Discard(DPMeshSkin* skin);
    // Takes geometry and skin from a loaded mesh (owned from now on); the mesh keeps neither.
    void TakeGeometry(DPMesh& loaded);

  private:
    // The members SetDefaults does not set (the master's constructor calls SetDefaults afterwards).
    void ClearMembers();
    // The values SetDefaults sets, without its Retained Mode settings.
    void DefaultValues();
    // Joins src's family (made when src has none); leaves it, the last member freeing it.
    void JoinFamily(MeshObject* src);
    void LeaveFamily();
    void ApplySceneFog();
    void FreeOwnedLists();
    void FreeSharedLists();
    // Removes (and deletes) the wrapper drawing v's geometry.
    void DeleteVisualWrapper(MeshObject* v);
    void MakeVisualWrapper(MeshObject* v);
    // Shows mesh group g with its material's flat colour or its texture.
    int ShowGroupTexture(unsigned g, int on);
    // The texture group g shows for material m.
    IDirect3DRMTexture* GroupTexture(MATERIAL* m) const;
};

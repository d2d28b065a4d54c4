// Levels of detail: a mesh object standing for a set of levels. Each level is a mesh object of its own
// that collects the objects of that level as visuals; rendering renders only the current level.
//
// The level objects' frames are made under this object's parent, beside its own frame: placing this
// object does not move its levels, and the added objects appear relative to the parent. An added object
// stays the caller's: it must stay alive while it is on a level (RemoveObject takes it off).
#pragma once

#include "quib/scene/objects/mesh_object.h"

// One level: the objects added to it (not owned) and the level's own object (owned).
struct LevelRecord {
    PtrArray<MeshObject>* objects;
    MeshObject* object;
};

class LODobj : public MeshObject {
  public:
    // The mesh object part under parent; no levels yet.
    LODobj(IDirect3DRM2* rm, IDirect3DRMFrame2* parent);
    // Deletes the level objects and records (the added objects stay the caller's).
    ~LODobj() override;

    // Renders the current level's object; 1 and nothing drawn before any SetLOD.
    int Render(IDirect3DRMViewport* viewport) override;

    // ---- Operations of their own, after the mesh object's ----
    // Replaces the levels by n empty ones (0 levels and 0 for n < 0). 1, or 0 with no levels when memory
    // runs out.
    virtual int CreateLevels(int n);
    // Makes level current. 1, or 0 for a level outside 0 .. m_total - 1 (registered) or without a record;
    // the current level then stays.
    virtual int SetLOD(int level);
    // Adds o to level: listed and a visual of the level's object. 1, or 0 for a level outside the range,
    // a level without a record (both registered) or a NULL o.
    virtual int AddObject(int level, MeshObject* o);
    // Takes o out of level again (nothing when it is not there). 1, or 0 for a level outside the range
    // or without a record (registered).
    virtual int RemoveObject(int level, MeshObject* o);

    PtrArray<LevelRecord>* m_levels; // one record per level, in level order
    LevelRecord* m_current;          // record of the current level, NULL before SetLOD
    int m_level;                     // index of the current level
    int m_total;                     // number of levels

  private:
    // The record of level, or NULL for a level outside the range or without a record.
    LevelRecord* Record(int level) const;
    // Appends an empty level (its list and its object). 1, or 0 with nothing added when memory runs out.
    int AddLevel();
    void FreeLevels();
};

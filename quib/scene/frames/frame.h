// quib/scene/frames: the Frame wrapper and the scene's process-wide frames, cameras and mirror surfaces.
// May include quib/scene/math and what math may include.
//
// Frame: the engine's wrapper of one Retained Mode frame. It owns the frame (or borrows another's, see
// m_ownsFrame) and a hidden look-at target frame, caches the frame's position and rotation angles (degrees)
// relative to its parent, and turns those angles into Retained Mode rotations in one of two fixed orders.
// Cameras and every 3D object are Frames. Retained Mode results are ignored. A Frame made without any
// Retained Mode object holds NULL frames; every operation on it then does nothing (outputs are left as they
// are).
#pragma once

#include "host/d3d/d3dtypes.h"
#include "host/rm/d3drm.h"
#include "quib/export.h"

class QUIB_API Frame {
  public:
    // As Frame(nullptr, nullptr).
    Frame();
    // Creates the frame and its look-at target under parent (roots when parent is NULL) with rm, or with
    // the engine's Retained Mode object when rm is NULL. Without any Retained Mode object both stay NULL.
    // Creation failures leave the member NULL; callers test m_frame.
    Frame(IDirect3DRM2* rm, IDirect3DRMFrame2* parent);
    // Wraps frame (taken over without an added reference: the destructor releases it, as its own) and
    // creates only the look-at target, with rm or, when rm is NULL, the engine's Retained Mode object.
    Frame(IDirect3DRM2* rm, IDirect3DRMFrame2* parent, IDirect3DRMFrame2* frame);
    // ReleaseFrame("~Frame->m_frame"), then m_lookatframe is taken out of its parent and released, logged
    // as ReleaseFrame does.
    ~Frame();

    Frame(const Frame&) = delete;
    Frame& operator=(const Frame&) = delete;

    // ---- Position (relative to m_parent) ----
    // Moves the frame unless (x, y, z) equals the cached position exactly.
    void SetPosition(float x, float y, float z);
    // Moves the frame to *v, always.
    void SetPosition(D3DVECTOR* v);
    // Adds to the cached position and moves the frame there.
    void AddPosition(float dx, float dy, float dz);
    void AddPosition(D3DVECTOR* d);
    // The frame's position, read from Retained Mode; refreshes the cache.
    void GetPosition(D3DVECTOR* out);
    // The frame's position in the scene root's space. The cache (parent-relative) is not touched.
    void GetAbsolutePosition(D3DVECTOR* out);

    // ---- Rotation (degrees) ----
    // Rotation order of the next change of angles: yaw-pitch-roll (a vertex turns about z, then x, then y)
    // or pitch-roll-yaw (about y, then z, then x).
    void SetYPR();
    void SetPRY();
    // Unless (a, b, c) equals the cached angles: wraps each once into 0..360 (above 360: -360, then below
    // 0: +360), caches them and rebuilds the transform: translation to the cached position with the
    // rotations by a about y, b about x and c about z before it, in the current order.
    void SetRotation(float a, float b, float c);
    // Adds to the cached angles (no wrapping) and rebuilds the transform as SetRotation does.
    void AddRotation(float da, float db, float dc);

    // ---- Look-at and orientation ----
    // Turns the frame's z axis towards (x, y, z) (no roll); the position stays.
    void SetLookPosition(float x, float y, float z);
    // The last look-at point.
    void GetLookPosition(D3DVECTOR* out);
    // Moves the frame to (x, y, z) (as SetPosition with its equality test) and aims it at (tx, ty, tz); the
    // orientation is stored as an explicit matrix.
    void Look(float x, float y, float z, float tx, float ty, float tz);
    // Aims the frame at target's origin (position unchanged).
    void Look(IDirect3DRMFrame2* target);
    // Orbit placement around (x, y, z): horizontal offset (0, 0, distance) turned by yaw about y and
    // scaled by |distance|, height from (0, distance, 0) turned by pitch about x and scaled by distance;
    // then looks at the point.
    void Align(float x, float y, float z, float distance, float yaw, float pitch);
    // Follow placement: offset turned with target's orientation, added to its position; looks at it.
    void Align(IDirect3DRMFrame2* target, D3DVECTOR offset);

    // ---- Transforms (row-major, row vectors, relative to m_parent) ----
    void GetTransform(D3DMATRIX* out);
    void SetTransform(D3DMATRIX* m);
    // Applies m in the frame's local space: the transform becomes m x current.
    void Transform(D3DMATRIX* m);
    // Mirrors the local x axis (element (0, 0) negated).
    void Mirror();

    // Takes frame out of the frame that holds it as a child, if any (NULL: nothing).
    static void DetachFromParent(IDirect3DRMFrame2* frame);
    // Gives up m_frame, logged under label ("RELEASE:" lines; "already NULL" when there is none): an own
    // frame first leaves the frame holding it, so that no parent keeps it; a borrowed one stays where its
    // owner hung it. m_frame is NULL afterwards.
    void ReleaseFrame(const char* label);

    // ---- Scene fog (meaningful on a scene root) ----
    void SetFogEnable(int on);
    void SetFogColor(unsigned long colour);
    // Gives start, end and density to the frame's scene fog.
    void SetFogParams(float start, float end, float density);

    IDirect3DRM2* m_d3drm;            // creates the frames; not owned
    IDirect3DRMFrame2* m_frame;       // owned
    IDirect3DRMFrame2* m_lookatframe; // owned: the target of the look-at operations
    IDirect3DRMFrame2* m_parent;      // reference frame of positions and look-ats; not owned
    D3DVECTOR m_position;             // cached position relative to m_parent
    float m_angles[3];                // cached angles in degrees: about y, about x, about z
    int m_ypr;                        // 1 yaw-pitch-roll, 0 pitch-roll-yaw
    // true: m_frame is this Frame's own (made or taken over by a constructor); false: borrowed from another
    // owner (held with a reference of this Frame's own). Set false by whoever puts a borrowed frame in.
    bool m_ownsFrame;

  private:
    void Clear(IDirect3DRM2* rm, IDirect3DRMFrame2* parent);
    // The translation to m_position with the three cached rotations before it, then the position re-read
    // and set again.
    void RebuildRotation();
    // Moves the look-at target to p, aims the frame at it, and rewrites the transform as a matrix.
    void AimAt(const D3DVECTOR& p);
    // A new frame under m_parent, or NULL.
    IDirect3DRMFrame2* CreateChildFrame();
};

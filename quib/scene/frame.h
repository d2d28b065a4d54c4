// Frame: the engine's wrapper of one Retained Mode frame. It owns the frame and a hidden look-at target
// frame, and caches the frame's position and rotation angles relative to its parent. This file holds the
// record and its lifetime; the position, rotation, look-at, transform and fog operations join it in the
// same class.
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
    // Wraps frame (taken over without an added reference: the destructor releases it) and creates only the
    // look-at target, with rm or, when rm is NULL, the engine's Retained Mode object.
    Frame(IDirect3DRM2* rm, IDirect3DRMFrame2* parent, IDirect3DRMFrame2* frame);
    // Releases m_frame, then m_lookatframe, each logged (or logged as already NULL).
    ~Frame();

    Frame(const Frame&) = delete;
    Frame& operator=(const Frame&) = delete;

    IDirect3DRM2* m_d3drm;            // creates the frames; not owned
    IDirect3DRMFrame2* m_frame;       // owned
    IDirect3DRMFrame2* m_lookatframe; // owned: the target of the look-at operations
    IDirect3DRMFrame2* m_parent;      // reference frame of positions and look-ats; not owned
    D3DVECTOR m_position;             // cached position relative to m_parent
    float m_angles[3];                // cached angles in degrees: about y, about x, about z
    int m_ypr;                        // 1 yaw-pitch-roll, 0 pitch-roll-yaw

  private:
    void Clear(IDirect3DRM2* rm, IDirect3DRMFrame2* parent);
    // A new frame under m_parent, or NULL.
    IDirect3DRMFrame2* CreateChildFrame();
};

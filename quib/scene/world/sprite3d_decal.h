// Sprite3D: a screen-facing picture in the 3D scene, a Retained Mode frame whose visual is a decal
// texture, with one texture per animation frame. A sprite is placed at a screen point one unit ahead of
// the camera; a frame change swaps the visual at the next render. The single-surface form makes no
// texture and holds only a surface-table entry, for code that draws it itself (the smoke).
//
// Not to be confused with Sprite3d (lower-case d, quib/scene/world/sprite.h): the exported sprite-sheet quad
// that the immediate-mode pipeline draws. The two are distinct classes; this file is named after the
// decal that this one shows.
#pragma once

#include "host/ddraw/ddraw.h"
#include "host/rm/d3drm.h"
#include "quib/ptrarray.h"
#include "quib/scene/frames/frame.h"

class SurfaceTableEntry;

class Sprite3D : public Frame {
  public:
    // The frame part under parent (a root when NULL), made by rm (the engine's object when NULL); no
    // surfaces or textures yet.
    Sprite3D(IDirect3DRM2* rm, IDirect3DRMFrame2* parent);
    // Takes the visual off, releases every texture once, the shown one last and logged
    // ("~Sprite3D(): m_texture", "already NULL" for a single-surface sprite), then the frame
    // ("~Sprite3D(): m_frame"); deletes the surface list (not the surfaces), then the frame part.
    ~Sprite3D();

    Sprite3D(const Sprite3D&) = delete;
    Sprite3D& operator=(const Sprite3D&) = delete;

    // One frame over surface, with a new surface-table entry for it (the table made when missing) and no
    // Retained Mode texture. 1, or 0 with the failure reported when the surface cannot be read.
    int Init(IDirectDrawSurface* surface);
    // Loads the bitmap file as 8-bit with colour 0 transparent, then as Init(surface); the surface lives
    // on in its surface-table entry. 1, or 0 (a failed key is reported).
    int Init(const char* file);
    // One frame per surface of surfaces (the sprite owns the list from now on, not the surfaces): a
    // Retained Mode texture each, origin at its centre, transparent, the first shown at once as the
    // decal. 1, or 0 with the failure reported (also for an empty list or without Retained Mode).
    int Init(PtrArray<IDirectDrawSurface>* surfaces);

    // Swaps the visual to the current frame's texture when the frame changed, restores that frame's
    // surface when it was lost and renders the sprite's frame on viewport. 1, or 0 for a sprite without
    // textures or with the failure reported.
    int Render(IDirect3DRMViewport* viewport);
    // Puts the sprite where screen point (x, y) of viewport lies, one unit in front of the current
    // camera. 1, or 0 without a camera or with the failure reported.
    int SetScreenXY(IDirect3DRMViewport* viewport, int x, int y);

    // Frame changes, shown at the next render: the next (0 after the last), the previous (the last before
    // 0), the first, a random one. Always 1.
    int NextFrame();
    int PrevFrame();
    int FirstFrame();
    int RandomFrame();

    // Decal settings of every frame's texture. 1, or 0 without a texture (the single-surface form) or
    // with the failure reported.
    int SetDecalOrigin(int x, int y);
    int SetDecalSize(float w, float h);

    PtrArray<IDirectDrawSurface>* m_surfaces; // one source surface per frame; the list is owned
    PtrArray<IDirect3DRMTexture>* m_textures; // one texture per frame (list form); owned, one reference each
    IDirect3DRMTexture* m_texture;            // the texture shown, one of m_textures (borrowed)
    SurfaceTableEntry* m_textureEntry;        // single-surface form; the surface table's
    int m_shownFrame;                         // the frame whose texture is the visual
    int m_currentFrame;                       // the frame to show at the next render
    int m_frameCount;
    int m_width; // of the first surface, pixels
    int m_height;
    IDirectDrawSurface* m_sourceSurface; // single-surface form
};

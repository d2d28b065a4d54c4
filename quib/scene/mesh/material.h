// One material of a mesh object: colours and a texture file name filled in by the loaders, turned by
// Create into a Retained Mode material and a texture from the surface table. Every MATERIAL that holds
// a Retained Mode material holds its own reference to it, copies included, and gives it up when it is
// destroyed (unless m_shared is set).
#pragma once

#include "host/ddraw/ddraw.h"
#include "host/rm/d3drm.h"
#include "quib/export.h"

class SurfaceTableEntry;
struct MipMapChain;

constexpr int kMaterialNameSize = 256;

class QUIB_API MATERIAL {
  public:
    // Everything zero: no name, no bitmap, black, untextured, no Retained Mode material.
    MATERIAL();
    // Takes over from's texture selection (surface, texture, surface entry, mip-map flag) and its
    // Retained Mode material with a reference of its own; shared 0. The names and colours stay empty.
    // NULL: as the default constructor.
    explicit MATERIAL(MATERIAL* from);
    // A full copy (names, colours, texture selection) with its own reference to the Retained Mode
    // material; shared 0.
    MATERIAL(const MATERIAL& other);
    MATERIAL& operator=(const MATERIAL&) = delete;
    // Unless shared: releases m_d3dmaterial, logged "RELEASE:<%p>%s->Release()=%d" (or "already NULL")
    // under "~MATERIAL(): m_d3dmaterial".
    ~MATERIAL();

    // Adds a reference to m_d3dmaterial when there is one.
    void AddRef();
    // Makes the Retained Mode material of rm (power, emissive, specular) and finds or loads the texture
    // named by bitmap in the surface table. 1 when done, also when the texture did not load (the
    // material stays untextured); 0 with the failure reported when a Retained Mode call failed.
    int Create(IDirect3DRM2* rm);
    // Stores the flag and selects the texture level: off, the entry's own surface and texture; on, the
    // first level of the entry's mip chain (built when missing), else the entry's own. Always 1.
    int UseMipMaps(int on);
    // With mip-maps in use and a chain with levels: selects level, clamped to 0..levels-1. Always 1.
    int SetMipMapLevel(int level);
    // The Retained Mode texture of level (clamped to 0..levels-1); the entry's own texture without
    // mip-maps in use or without a chain; 0 when untextured or the chain has no level list.
    IDirect3DRMTexture* GetTexture(int level) const;

    char name[kMaterialNameSize];
    char bitmap[kMaterialNameSize];     // texture file name; empty = no texture
    double diffuse[4];                  // red, green, blue, alpha in 0..1
    double power;                       // specular power
    double specular[3];                 // red, green, blue in 0..1
    double emissive[3];                 // red, green, blue in 0..1
    IDirect3DRM2* m_rm;                 // given to Create; not held
    D3DCOLOR m_diffuseColour;           // diffuse packed by Create
    D3DCOLOR m_white;                   // packed (1, 1, 1, 1)
    IDirectDrawSurface* m_surface;      // surface of the selected texture level; not held
    IDirect3DRMTexture* m_texture;      // texture of the selected level; NULL = untextured; not held
    IDirect3DRMMaterial* m_d3dmaterial; // one reference held
    SurfaceTableEntry* m_surfaceEntry;  // owned by the surface table
    int m_mipMaps;                      // 1 = use the entry's mip chain
    int m_shared;                       // while not 0 the destructor leaves m_d3dmaterial alone

  private:
    void ClearSelection();
    // Finds, or loads and adds, the entry of bitmap and selects its own surface and texture.
    void AttachTexture();
    // The entry's mip level, clamped; NULL without a chain with levels.
    MipMapChain* ChainLevel(int level) const;
};

// A software mip-map chain of a surface-table entry: the head keeps the list of level objects, each
// recording one level's surface, Retained Mode texture and size. Level 0 is the entry's own surface;
// the smaller levels are box-filtered copies (16-bit only) down to 32 pixels wide.
//
// Every object holds one reference on the surface and the texture it records and gives them up when it
// is deleted; deleting the head deletes its level objects.
#pragma once

#include "host/ddraw/ddraw.h"
#include "host/rm/d3drm.h"
#include "quib/ptrarray.h"

struct MipMapChain {
    MipMapChain() = default;
    ~MipMapChain();

    MipMapChain(const MipMapChain&) = delete;
    MipMapChain& operator=(const MipMapChain&) = delete;

    // Builds the chain of surface: level 0 is surface itself with its Retained Mode texture; each
    // further level halves width and height (while the width stays at least 32 and both stay at least 1)
    // and is filled by the box filter from filterSource, whose key it copies. filterSource must be a
    // 16-bit copy of surface (surface itself when it is 16-bit); NULL or another depth gives level 0 only.
    // Without a Retained Mode object the levels have no textures. 1, or 0 with the failure reported.
    int Init(IDirectDrawSurface* surface, IDirectDrawSurface* filterSource);
    // Builds the chain from a complex mip-map surface: one level object per level of its chain (found by
    // texture and mip-map caps), each with its own Retained Mode texture. 1, or 0 with the failure
    // reported.
    int InitHW(IDirectDrawSurface* surface);
    // InitHW when the hardware's texture-filter value is 9 or more, else Init (levels filtered from
    // surface itself).
    int Create(IDirectDrawSurface* surface);
    // Sets the decal transparency of the head's texture and every level's. 1, or 0 with the failure
    // reported. Nothing without a texture.
    int SetDecalTransparency(int on);
    // Restores the chain's surface and each level's when lost (the memory, not the pixels). 1, or 0 with
    // the failure reported.
    int Restore();
    // Levels (1 or more once Init ran, else 0).
    int LevelCount() const { return levels ? levels->GetCount() : 0; }
    // Level i (0 is the full size), or NULL.
    MipMapChain* Level(int i) const { return levels ? levels->Lookup(i) : nullptr; }

    char name[80] = {};
    IDirectDrawSurface* surface = nullptr;
    IDirect3DRMTexture* texture = nullptr; // the level's Retained Mode texture
    PtrArray<MipMapChain>* levels = nullptr;
    int width = 0;
    int height = 0;
    int usage = 0; // bytes
};

// The number of levels below the full size that a chain of a width-pixel-wide surface gets: halvings
// whose result is at least 16, minus one, never below 0 (256 gives 3, 32 gives 0).
int MipLevelsBelow(int width);

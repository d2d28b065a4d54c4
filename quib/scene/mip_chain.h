// A software mip-map chain of a surface-table entry: the head keeps the list of level objects, each
// recording one level's surface, Retained Mode texture and size. This file holds the record and its
// lifetime; building the levels joins it with the texture conversions.
#pragma once

#include "host/ddraw/ddraw.h"
#include "quib/ptrarray.h"

struct MipMapChain {
    MipMapChain() = default;
    // Deletes the level objects of a head (the levels themselves have no list).
    ~MipMapChain();

    MipMapChain(const MipMapChain&) = delete;
    MipMapChain& operator=(const MipMapChain&) = delete;

    char name[80] = {};
    IDirectDrawSurface* surface = nullptr;
    IUnknown* texture = nullptr; // the level's Retained Mode texture
    PtrArray<MipMapChain>* levels = nullptr;
    int width = 0;
    int height = 0;
    int usage = 0; // bytes
};

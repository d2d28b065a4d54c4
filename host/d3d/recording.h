// The recording mode of the immediate-mode device, for tests of the code that draws through it: an
// ordered log of the render-state changes, draw calls and clears a device was asked for, each with a
// copy of its data. Drawing goes on as usual while recording.
#pragma once

#include <vector>

#include "host/d3d/d3d.h"

struct HostD3DCall {
    enum class Kind { kRenderState, kDraw, kClear };
    Kind kind = Kind::kRenderState;
    // kRenderState: a state change the device accepted.
    D3DRENDERSTATETYPE state = D3DRENDERSTATE_TEXTUREHANDLE;
    DWORD value = 0;
    // kDraw: the primitive type, the vertices given, and the indices of an indexed draw (indexed set).
    D3DPRIMITIVETYPE primitive = D3DPT_POINTLIST;
    std::vector<D3DTLVERTEX> vertices;
    bool indexed = false;
    std::vector<WORD> indices;
    // kClear: the rectangles and flags of a viewport Clear.
    std::vector<D3DRECT> rects;
    DWORD clearFlags = 0;
};

// Starts recording on device (dropping what was recorded before) or stops it. false when device is not
// a device of this host.
bool HostD3DSetRecording(IDirect3DDevice2* device, bool on);
// What device recorded so far, oldest first (empty for a device of another kind).
std::vector<HostD3DCall> HostD3DRecordedCalls(IDirect3DDevice2* device);

#include "host/rm/picked_array.h"

HOST_DEFINE_GUID(IID_IDirect3DRMFrameArray, 0x51B0D420, 0x0004, 0x0000, 0xD3, 0x4D, 0x00, 0x00, 0x00, 0x00,
                 0x00, 0x20);
HOST_DEFINE_GUID(IID_IDirect3DRMPickedArray, 0x51B0D421, 0x0004, 0x0000, 0xD3, 0x4D, 0x00, 0x00, 0x00, 0x00,
                 0x00, 0x21);

HostRMFrameArray::HostRMFrameArray(const std::vector<HostRMFrame*>& frames) : frames_(frames) {
    for (HostRMFrame* frame : frames_)
        frame->AddRef();
}

HostRMFrameArray::~HostRMFrameArray() {
    for (HostRMFrame* frame : frames_)
        frame->Release();
}

HRESULT HostRMFrameArray::QueryInterface(REFIID riid, void** out) {
    return HostQuerySingle<IDirect3DRMFrameArray>(this, IID_IDirect3DRMFrameArray, riid, out);
}

DWORD HostRMFrameArray::GetSize() {
    return DWORD(frames_.size());
}

HRESULT HostRMFrameArray::GetElement(DWORD index, IDirect3DRMFrame** frame) {
    if (!frame || index >= frames_.size()) return D3DRMERR_BADVALUE;
    frames_[index]->AddRef();
    *frame = frames_[index];
    return D3DRM_OK;
}

HostRMPickedArray::HostRMPickedArray(std::vector<HostRMPick> picks) : picks_(std::move(picks)) {
    for (HostRMPick& pick : picks_) {
        pick.visual->AddRef();
        frameArrays_.push_back(new HostRMFrameArray(pick.frames));
    }
}

HostRMPickedArray::~HostRMPickedArray() {
    for (HostRMFrameArray* frames : frameArrays_)
        frames->Release();
    for (HostRMPick& pick : picks_)
        pick.visual->Release();
}

HRESULT HostRMPickedArray::QueryInterface(REFIID riid, void** out) {
    return HostQuerySingle<IDirect3DRMPickedArray>(this, IID_IDirect3DRMPickedArray, riid, out);
}

DWORD HostRMPickedArray::GetSize() {
    return DWORD(picks_.size());
}

HRESULT HostRMPickedArray::GetPick(DWORD index, IDirect3DRMVisual** visual, IDirect3DRMFrameArray** frames,
                                   D3DRMPICKDESC* desc) {
    if (index >= picks_.size()) return D3DRMERR_BADVALUE;
    const HostRMPick& pick = picks_[index];
    if (visual) {
        pick.visual->AddRef();
        *visual = pick.visual;
    }
    if (frames) {
        frameArrays_[index]->AddRef();
        *frames = frameArrays_[index];
    }
    if (desc) *desc = pick.desc;
    return D3DRM_OK;
}

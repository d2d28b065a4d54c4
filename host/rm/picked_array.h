// The arrays a viewport Pick hands out: the picked visuals with where they were hit, and the frames
// leading to each. Both hold a reference on everything they list.
#pragma once

#include <vector>

#include "host/rm/d3drm.h"
#include "host/rm/frame.h"

class HostRMFrameArray final : public IDirect3DRMFrameArray, public RefCount {
  public:
    // Holds a reference on each frame.
    explicit HostRMFrameArray(const std::vector<HostRMFrame*>& frames);

    HRESULT QueryInterface(REFIID riid, void** out) override;
    HOST_REFCOUNTED

    DWORD GetSize() override;
    HRESULT GetElement(DWORD index, IDirect3DRMFrame** frame) override;

  private:
    ~HostRMFrameArray() override;

    std::vector<HostRMFrame*> frames_;
};

// One picked visual.
struct HostRMPick {
    IUnknown* visual;                 // held while the array holds the pick
    std::vector<HostRMFrame*> frames; // held by the pick's frame array
    D3DRMPICKDESC desc;
    double depth; // camera-space depth of the hit (the order of the array)
};

class HostRMPickedArray final : public IDirect3DRMPickedArray, public RefCount {
  public:
    // Takes the picks as they are ordered, holding a reference on each visual and frame.
    explicit HostRMPickedArray(std::vector<HostRMPick> picks);

    HRESULT QueryInterface(REFIID riid, void** out) override;
    HOST_REFCOUNTED

    DWORD GetSize() override;
    HRESULT GetPick(DWORD index, IDirect3DRMVisual** visual, IDirect3DRMFrameArray** frames,
                    D3DRMPICKDESC* desc) override;

  private:
    ~HostRMPickedArray() override;

    std::vector<HostRMPick> picks_;
    std::vector<HostRMFrameArray*> frameArrays_; // one per pick
};

// The render states one retained-mode draw changes on an immediate-mode device, each given back the
// value it had before, so that the engine's own drawing (which remembers what it set) is undisturbed.
#pragma once

#include <vector>

#include "host/d3d/d3d.h"

class HostRMStateGuard {
  public:
    explicit HostRMStateGuard(IDirect3DDevice2* device) : device_(device) {}
    HostRMStateGuard(const HostRMStateGuard&) = delete;
    HostRMStateGuard& operator=(const HostRMStateGuard&) = delete;
    // Gives every changed state its first value back.
    ~HostRMStateGuard();

    // Sets state to value when it holds another value, remembering the value it had first.
    void Set(D3DRENDERSTATETYPE state, DWORD value);
    void SetFloat(D3DRENDERSTATETYPE state, float value);

  private:
    struct Saved {
        D3DRENDERSTATETYPE state;
        DWORD value;
    };
    IDirect3DDevice2* device_;
    std::vector<Saved> saved_;
};

#include "host/rm/render_states.h"

#include <cstring>

HostRMStateGuard::~HostRMStateGuard() {
    // Latest first, so that a state changed twice ends with its first value.
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it)
        device_->SetRenderState(it->state, it->value);
}

void HostRMStateGuard::Set(D3DRENDERSTATETYPE state, DWORD value) {
    DWORD current = 0;
    if (FAILED(device_->GetRenderState(state, &current)) || current == value) return;
    bool known = false;
    for (const Saved& s : saved_)
        known = known || s.state == state;
    if (SUCCEEDED(device_->SetRenderState(state, value)) && !known) saved_.push_back({state, current});
}

void HostRMStateGuard::SetFloat(D3DRENDERSTATETYPE state, float value) {
    DWORD bits;
    std::memcpy(&bits, &value, sizeof(bits));
    Set(state, bits);
}

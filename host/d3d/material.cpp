#include "host/d3d/material.h"

#include <mutex>
#include <unordered_map>

#include "host/d3d/device.h"

namespace {

// Handles of live materials. Materials are made and released on the rendering thread, but the table
// is process-wide, so it is guarded anyway.
struct MaterialTable {
    std::mutex lock;
    std::unordered_map<D3DMATERIALHANDLE, HostD3DMaterial*> byHandle;
    D3DMATERIALHANDLE next = 1;
};

MaterialTable& Table() {
    static MaterialTable table;
    return table;
}

} // namespace

HostD3DMaterial::HostD3DMaterial() {
    values_.dwSize = sizeof(values_);
}

HostD3DMaterial::~HostD3DMaterial() {
    if (handle_ == 0) return;
    MaterialTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    table.byHandle.erase(handle_);
}

HRESULT HostD3DMaterial::QueryInterface(REFIID riid, void** out) {
    return HostQuerySingle<IDirect3DMaterial2>(this, IID_IDirect3DMaterial2, riid, out);
}

HRESULT HostD3DMaterial::SetMaterial(const D3DMATERIAL* material) {
    if (!material || material->dwSize != sizeof(D3DMATERIAL)) return DDERR_INVALIDPARAMS;
    values_ = *material;
    return D3D_OK;
}

HRESULT HostD3DMaterial::GetMaterial(D3DMATERIAL* material) {
    if (!material || material->dwSize != sizeof(D3DMATERIAL)) return DDERR_INVALIDPARAMS;
    *material = values_;
    return D3D_OK;
}

HRESULT HostD3DMaterial::GetHandle(IDirect3DDevice2* device, D3DMATERIALHANDLE* handle) {
    if (!HostD3DDevice::From(device) || !handle) return DDERR_INVALIDPARAMS;
    if (handle_ == 0) {
        MaterialTable& table = Table();
        std::lock_guard<std::mutex> guard(table.lock);
        handle_ = table.next++;
        table.byHandle[handle_] = this;
    }
    *handle = handle_;
    return D3D_OK;
}

HostD3DMaterial* HostD3DFindMaterial(D3DMATERIALHANDLE handle) {
    MaterialTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    auto found = table.byHandle.find(handle);
    return found == table.byHandle.end() ? nullptr : found->second;
}

D3DCOLOR HostD3DMaterialColour(const D3DCOLORVALUE& colour) {
    auto channel = [](float v) -> D3DCOLOR {
        v *= 255.0f;
        return v > 0.0f ? D3DCOLOR(v < 255.0f ? v + 0.5f : 255.0f) : 0u;
    };
    return (channel(colour.r) << 16) | (channel(colour.g) << 8) | channel(colour.b);
}

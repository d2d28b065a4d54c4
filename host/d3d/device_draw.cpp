// The drawing calls of the immediate-mode device: primitives, clears and the recording of both.
#include <algorithm>

#include "host/d3d/device.h"
#include "host/d3d/draw_session.h"
#include "host/d3d/raster_pixel.h"

namespace {

bool IsPrimitiveType(D3DPRIMITIVETYPE type) {
    return type >= D3DPT_POINTLIST && type <= D3DPT_TRIANGLEFAN;
}

// Hands the primitives of count vertices (vertex(i) gives the i-th) to the rasterizer.
template <class VertexAt>
void EmitPrimitives(host_d3d::Rasterizer& raster, D3DPRIMITIVETYPE type, DWORD count,
                    const VertexAt& vertex) {
    switch (type) {
    case D3DPT_POINTLIST:
        for (DWORD i = 0; i < count; ++i)
            raster.Point(vertex(i));
        break;
    case D3DPT_LINELIST:
        for (DWORD i = 0; i + 1 < count; i += 2)
            raster.Line(vertex(i), vertex(i + 1));
        break;
    case D3DPT_LINESTRIP:
        for (DWORD i = 0; i + 1 < count; ++i)
            raster.Line(vertex(i), vertex(i + 1));
        break;
    case D3DPT_TRIANGLELIST:
        for (DWORD i = 0; i + 2 < count; i += 3)
            raster.Triangle(vertex(i), vertex(i + 1), vertex(i + 2));
        break;
    case D3DPT_TRIANGLESTRIP:
        // Every second triangle of a strip is turned round so that all keep the first one's winding.
        for (DWORD i = 0; i + 2 < count; ++i) {
            if (i & 1)
                raster.Triangle(vertex(i + 1), vertex(i), vertex(i + 2));
            else
                raster.Triangle(vertex(i), vertex(i + 1), vertex(i + 2));
        }
        break;
    case D3DPT_TRIANGLEFAN:
        for (DWORD i = 1; i + 1 < count; ++i)
            raster.Triangle(vertex(0), vertex(i), vertex(i + 1));
        break;
    }
}

} // namespace

void HostD3DDevice::RecordDraw(D3DPRIMITIVETYPE type, const D3DTLVERTEX* vertices, DWORD vertexCount,
                               const WORD* indices, DWORD indexCount) {
    if (!recording_) return;
    HostD3DCall call;
    call.kind = HostD3DCall::Kind::kDraw;
    call.primitive = type;
    call.vertices.assign(vertices, vertices + vertexCount);
    call.indexed = indices != nullptr;
    if (indices) call.indices.assign(indices, indices + indexCount);
    recorded_.push_back(std::move(call));
}

HRESULT HostD3DDevice::DrawPrimitive(D3DPRIMITIVETYPE type, D3DVERTEXTYPE vertexType, LPVOID vertices,
                                     DWORD count, DWORD flags) {
    (void)flags;
    if (vertexType != D3DVT_TLVERTEX || !IsPrimitiveType(type) || (!vertices && count))
        return DDERR_INVALIDPARAMS;
    const auto* v = static_cast<const D3DTLVERTEX*>(vertices);
    RecordDraw(type, v, count, nullptr, 0);
    if (count == 0) return D3D_OK;
    host_d3d::DrawSession session;
    HRESULT hr = session.Open(*this);
    if (FAILED(hr)) return hr;
    EmitPrimitives(session.Raster(), type, count, [v](DWORD i) -> const D3DTLVERTEX& { return v[i]; });
    return D3D_OK;
}

HRESULT HostD3DDevice::DrawIndexedPrimitive(D3DPRIMITIVETYPE type, D3DVERTEXTYPE vertexType, LPVOID vertices,
                                            DWORD vertexCount, WORD* indices, DWORD indexCount, DWORD flags) {
    (void)flags;
    if (vertexType != D3DVT_TLVERTEX || !IsPrimitiveType(type) || (!vertices && vertexCount) ||
        (!indices && indexCount))
        return DDERR_INVALIDPARAMS;
    if (std::any_of(indices, indices + indexCount, [vertexCount](WORD i) { return i >= vertexCount; }))
        return DDERR_INVALIDPARAMS;
    const auto* v = static_cast<const D3DTLVERTEX*>(vertices);
    RecordDraw(type, v, vertexCount, indices, indexCount);
    if (indexCount == 0) return D3D_OK;
    host_d3d::DrawSession session;
    HRESULT hr = session.Open(*this);
    if (FAILED(hr)) return hr;
    EmitPrimitives(session.Raster(), type, indexCount,
                   [v, indices](DWORD i) -> const D3DTLVERTEX& { return v[indices[i]]; });
    return D3D_OK;
}

HRESULT HostD3DDevice::ClearRects(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR colour,
                                  const RECT& area) {
    if (recording_) {
        HostD3DCall call;
        call.kind = HostD3DCall::Kind::kClear;
        call.rects.assign(rects, rects + count);
        call.clearFlags = flags;
        recorded_.push_back(std::move(call));
    }
    host_d3d::DrawSession session;
    HRESULT hr = session.Open(*this);
    if (FAILED(hr)) return hr;
    const host_d3d::RasterTarget& target = session.Target();
    uint16_t pixel = host_d3d::Pack((colour >> 16) & 255, (colour >> 8) & 255, colour & 255, target.is555);
    for (DWORD i = 0; i < count; ++i) {
        LONG left = std::max({rects[i].x1, area.left, LONG{0}});
        LONG top = std::max({rects[i].y1, area.top, LONG{0}});
        LONG right = std::min({rects[i].x2, area.right, LONG(target.width)});
        LONG bottom = std::min({rects[i].y2, area.bottom, LONG(target.height)});
        for (LONG y = top; y < bottom; ++y) {
            if (flags & D3DCLEAR_TARGET) std::fill(target.Row(y) + left, target.Row(y) + right, pixel);
            if ((flags & D3DCLEAR_ZBUFFER) && target.depth)
                std::fill(target.DepthRow(y) + left, target.DepthRow(y) + right, uint16_t(0xFFFF));
        }
    }
    return D3D_OK;
}

void HostD3DDevice::SetRecording(bool on) {
    recording_ = on;
    if (on) recorded_.clear();
}

bool HostD3DSetRecording(IDirect3DDevice2* device, bool on) {
    HostD3DDevice* host = HostD3DDevice::From(device);
    if (!host) return false;
    host->SetRecording(on);
    return true;
}

std::vector<HostD3DCall> HostD3DRecordedCalls(IDirect3DDevice2* device) {
    HostD3DDevice* host = HostD3DDevice::From(device);
    return host ? host->Recorded() : std::vector<HostD3DCall>{};
}

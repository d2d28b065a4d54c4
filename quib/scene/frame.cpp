#include "quib/scene/frame.h"

#include "quib/platform/directx.h"
#include "quib/platform/interfacelog.h"

Frame::Frame() : Frame(nullptr, nullptr) {}

Frame::Frame(IDirect3DRM2* rm, IDirect3DRMFrame2* parent) {
    Clear(rm, parent);
    m_frame = CreateChildFrame();
    m_lookatframe = CreateChildFrame();
}

Frame::Frame(IDirect3DRM2* rm, IDirect3DRMFrame2* parent, IDirect3DRMFrame2* frame) {
    Clear(rm, parent);
    m_frame = frame;
    m_lookatframe = CreateChildFrame();
}

Frame::~Frame() {
    ReleaseInterface(m_frame, "~Frame->m_frame");
    ReleaseInterface(m_lookatframe, "~Frame->m_lookatframe");
}

void Frame::Clear(IDirect3DRM2* rm, IDirect3DRMFrame2* parent) {
    // Without an object of its own the frame is made by the engine's, as every caller expects.
    m_d3drm = rm ? rm : g_lpD3DRM2;
    m_frame = nullptr;
    m_lookatframe = nullptr;
    m_parent = parent;
    m_position = {0.0f, 0.0f, 0.0f};
    m_angles[0] = m_angles[1] = m_angles[2] = 0.0f;
    m_ypr = 0;
}

IDirect3DRMFrame2* Frame::CreateChildFrame() {
    if (!m_d3drm) return nullptr;
    IDirect3DRMFrame2* made = nullptr;
    if (FAILED(m_d3drm->CreateFrame(m_parent, &made))) return nullptr;
    return made;
}

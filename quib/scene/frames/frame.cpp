#include "quib/scene/frames/frame.h"

#include <cmath>
#include <cstring>

#include "host/rm/vector.h"
#include "quib/platform/directx.h"
#include "quib/platform/interfacelog.h"
#include "quib/scene/math/matrix_math.h"

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
    ReleaseFrame("~Frame->m_frame");
    // The look-at target is always this Frame's own, made under the parent: it leaves the parent too, or
    // the parent would keep it (and every later one) for ever.
    DetachFromParent(m_lookatframe);
    ReleaseInterface(m_lookatframe, "~Frame->m_lookatframe");
}

void Frame::ReleaseFrame(const char* label) {
    if (m_ownsFrame) DetachFromParent(m_frame);
    ReleaseInterface(m_frame, label);
}

void Frame::DetachFromParent(IDirect3DRMFrame2* frame) {
    // The parent is asked of the frame itself: a parent freed meanwhile has let go of its children.
    IDirect3DRMFrame* holder = nullptr;
    if (!frame || FAILED(frame->GetParent(&holder)) || !holder) return;
    holder->DeleteChild(frame);
    holder->Release();
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
    m_ownsFrame = true;
}

IDirect3DRMFrame2* Frame::CreateChildFrame() {
    if (!m_d3drm) return nullptr;
    IDirect3DRMFrame2* made = nullptr;
    if (FAILED(m_d3drm->CreateFrame(m_parent, &made))) return nullptr;
    return made;
}

namespace {

// Degrees to radians with the engine's own constant.
float Radians(float degrees) {
    return degrees * 3.14159f / 180.0f;
}

// Wraps an angle once: above 360 loses 360, then below 0 gains 360 (725 stays 365; 360 stays 360).
float WrapOnce(float degrees) {
    if (degrees > 360.0f) degrees -= 360.0f;
    if (degrees < 0.0f) degrees += 360.0f;
    return degrees;
}

void ToRM(const D3DMATRIX* m, D3DRMMATRIX4D out) {
    std::memcpy(out, m, sizeof(D3DRMMATRIX4D));
}

void FromRM(D3DRMMATRIX4D m, D3DMATRIX* out) {
    std::memcpy(out, m, sizeof(D3DMATRIX));
}

} // namespace

void Frame::SetPosition(float x, float y, float z) {
    if (!m_frame) return;
    if (x == m_position.x && y == m_position.y && z == m_position.z) return;
    m_position = {x, y, z};
    m_frame->SetPosition(m_parent, x, y, z);
}

void Frame::SetPosition(D3DVECTOR* v) {
    if (!m_frame || !v) return;
    m_position = *v;
    m_frame->SetPosition(m_parent, v->x, v->y, v->z);
}

void Frame::AddPosition(float dx, float dy, float dz) {
    if (!m_frame) return;
    m_position = {m_position.x + dx, m_position.y + dy, m_position.z + dz};
    m_frame->SetPosition(m_parent, m_position.x, m_position.y, m_position.z);
}

void Frame::AddPosition(D3DVECTOR* d) {
    if (d) AddPosition(d->x, d->y, d->z);
}

void Frame::GetPosition(D3DVECTOR* out) {
    if (!m_frame || !out) return;
    m_frame->GetPosition(m_parent, out);
    m_position = *out;
}

void Frame::GetAbsolutePosition(D3DVECTOR* out) {
    // The cache stays parent-relative: a world position there would misplace the next AddPosition.
    if (!m_frame || !out) return;
    m_frame->GetPosition(nullptr, out);
}

void Frame::SetYPR() {
    m_ypr = 1;
}

void Frame::SetPRY() {
    m_ypr = 0;
}

void Frame::SetRotation(float a, float b, float c) {
    if (!m_frame) return;
    if (a == m_angles[0] && b == m_angles[1] && c == m_angles[2]) return;
    m_angles[0] = WrapOnce(a);
    m_angles[1] = WrapOnce(b);
    m_angles[2] = WrapOnce(c);
    RebuildRotation();
}

void Frame::AddRotation(float da, float db, float dc) {
    if (!m_frame) return;
    m_angles[0] += da;
    m_angles[1] += db;
    m_angles[2] += dc;
    RebuildRotation();
}

void Frame::RebuildRotation() {
    const float a = Radians(m_angles[0]), b = Radians(m_angles[1]), c = Radians(m_angles[2]);
    m_frame->AddTranslation(D3DRMCOMBINE_REPLACE, m_position.x, m_position.y, m_position.z);
    // Each rotation goes before the ones already combined, so the last one added acts first on a vertex.
    if (m_ypr) {
        m_frame->AddRotation(D3DRMCOMBINE_BEFORE, 0.0f, 1.0f, 0.0f, a);
        m_frame->AddRotation(D3DRMCOMBINE_BEFORE, 1.0f, 0.0f, 0.0f, b);
        m_frame->AddRotation(D3DRMCOMBINE_BEFORE, 0.0f, 0.0f, 1.0f, c);
    } else {
        m_frame->AddRotation(D3DRMCOMBINE_BEFORE, 1.0f, 0.0f, 0.0f, b);
        m_frame->AddRotation(D3DRMCOMBINE_BEFORE, 0.0f, 0.0f, 1.0f, c);
        m_frame->AddRotation(D3DRMCOMBINE_BEFORE, 0.0f, 1.0f, 0.0f, a);
    }
    D3DVECTOR p;
    GetPosition(&p);
    SetPosition(&p);
}

void Frame::SetLookPosition(float x, float y, float z) {
    if (!m_frame || !m_lookatframe) return;
    m_lookatframe->SetPosition(m_parent, x, y, z);
    m_frame->LookAt(m_lookatframe, m_parent, D3DRMCONSTRAIN_Z);
}

void Frame::GetLookPosition(D3DVECTOR* out) {
    if (!m_lookatframe || !out) return;
    m_lookatframe->GetPosition(m_parent, out);
}

void Frame::AimAt(const D3DVECTOR& p) {
    if (!m_lookatframe) return;
    m_lookatframe->SetPosition(m_parent, p.x, p.y, p.z);
    m_frame->LookAt(m_lookatframe, m_parent, D3DRMCONSTRAIN_Z);
    D3DRMMATRIX4D current;
    m_frame->GetTransform(current);
    m_frame->AddTransform(D3DRMCOMBINE_REPLACE, current);
}

void Frame::Look(float x, float y, float z, float tx, float ty, float tz) {
    if (!m_frame) return;
    SetPosition(x, y, z);
    AimAt({tx, ty, tz});
}

void Frame::Look(IDirect3DRMFrame2* target) {
    if (!m_frame || !target) return;
    D3DVECTOR p;
    if (FAILED(target->GetPosition(m_parent, &p))) return;
    AimAt(p);
}

void Frame::Align(float x, float y, float z, float distance, float yaw, float pitch) {
    if (!m_frame) return;
    const D3DVECTOR yAxis = {0.0f, 1.0f, 0.0f}, xAxis = {1.0f, 0.0f, 0.0f};
    const D3DVECTOR ahead = {0.0f, 0.0f, distance}, above = {0.0f, distance, 0.0f};
    D3DVECTOR r1, r2;
    // The rotations give unit vectors: the distance is put back afterwards.
    D3DRMVectorRotate(&r1, &ahead, &yAxis, Radians(yaw));
    D3DRMVectorRotate(&r2, &above, &xAxis, Radians(pitch));
    D3DRMVectorScale(&r1, &r1, std::fabs(distance));
    D3DRMVectorScale(&r2, &r2, distance);
    Look(x + r1.x, y + r2.y, z + r1.z, x, y, z);
}

void Frame::Align(IDirect3DRMFrame2* target, D3DVECTOR offset) {
    if (!m_frame || !target) return;
    D3DVECTOR p, axis;
    D3DVALUE theta = 0.0f;
    if (FAILED(target->GetPosition(m_parent, &p))) return;
    if (FAILED(target->GetRotation(m_parent, &axis, &theta))) return;
    D3DVECTOR r;
    D3DRMVectorRotate(&r, &offset, &axis, theta);
    D3DRMVectorScale(&r, &r, D3DRMVectorModulus(&offset));
    Look(p.x + r.x, p.y + r.y, p.z + r.z, p.x, p.y, p.z);
}

void Frame::GetTransform(D3DMATRIX* out) {
    if (!m_frame || !out) return;
    D3DRMMATRIX4D local;
    if (FAILED(m_frame->GetTransform(local))) return;
    FromRM(local, out);
}

void Frame::SetTransform(D3DMATRIX* m) {
    if (!m_frame || !m) return;
    D3DRMMATRIX4D copy;
    ToRM(m, copy);
    m_frame->AddTransform(D3DRMCOMBINE_REPLACE, copy);
}

void Frame::Transform(D3DMATRIX* m) {
    if (!m_frame || !m) return;
    D3DRMMATRIX4D local;
    if (FAILED(m_frame->GetTransform(local))) return;
    D3DMATRIX current, result;
    FromRM(local, &current);
    matrix_multiply(&result, &current, m); // m first, then the current transform
    ToRM(&result, local);
    m_frame->AddTransform(D3DRMCOMBINE_REPLACE, local);
}

void Frame::Mirror() {
    if (!m_frame) return;
    D3DRMMATRIX4D local;
    if (FAILED(m_frame->GetTransform(local))) return;
    local[0][0] = -local[0][0];
    m_frame->AddTransform(D3DRMCOMBINE_REPLACE, local);
}

void Frame::SetFogEnable(int on) {
    if (m_frame) m_frame->SetSceneFogEnable(on ? 1 : 0);
}

void Frame::SetFogColor(unsigned long colour) {
    if (m_frame) m_frame->SetSceneFogColor(static_cast<D3DCOLOR>(colour));
}

void Frame::SetFogParams(float start, float end, float density) {
    if (m_frame) m_frame->SetSceneFogParams(start, end, density);
}

#include "host/rm/frame.h"

#include <algorithm>
#include <cmath>
#include <mutex>
#include <unordered_map>

#include "host/rm/mesh.h"
#include "host/rm/mesh_builder.h"
#include "host/rm/texture.h"
#include "host/rm/vector.h"

namespace {

float Clamp01(float value) {
    if (!(value > 0.0f)) return 0.0f; // NaN too
    return value < 1.0f ? value : 1.0f;
}

D3DVECTOR Origin(const HostMatrix4& m) {
    return {m.m[3][0], m.m[3][1], m.m[3][2]};
}

D3DVECTOR Difference(const D3DVECTOR& a, const D3DVECTOR& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}

// Unit axis and angle (0..pi) of the rotation whose rows are r (orthonormal rows), through its
// quaternion.
void AxisAngle(const float r[3][3], D3DVECTOR* axis, D3DVALUE* theta) {
    // For row vectors, r[i][j] - r[j][i] = 2 sin(angle) * (the axis component of the third index).
    double trace = double{r[0][0]} + r[1][1] + r[2][2];
    double w, x, y, z;
    if (trace > 0.0) {
        double s = std::sqrt(trace + 1.0) * 2.0;
        w = 0.25 * s;
        x = (r[1][2] - r[2][1]) / s;
        y = (r[2][0] - r[0][2]) / s;
        z = (r[0][1] - r[1][0]) / s;
    } else if (r[0][0] > r[1][1] && r[0][0] > r[2][2]) {
        double s = std::sqrt(1.0 + r[0][0] - r[1][1] - r[2][2]) * 2.0;
        w = (r[1][2] - r[2][1]) / s;
        x = 0.25 * s;
        y = (r[1][0] + r[0][1]) / s;
        z = (r[2][0] + r[0][2]) / s;
    } else if (r[1][1] > r[2][2]) {
        double s = std::sqrt(1.0 + r[1][1] - r[0][0] - r[2][2]) * 2.0;
        w = (r[2][0] - r[0][2]) / s;
        x = (r[1][0] + r[0][1]) / s;
        y = 0.25 * s;
        z = (r[2][1] + r[1][2]) / s;
    } else {
        double s = std::sqrt(1.0 + r[2][2] - r[0][0] - r[1][1]) * 2.0;
        w = (r[0][1] - r[1][0]) / s;
        x = (r[2][0] + r[0][2]) / s;
        y = (r[2][1] + r[1][2]) / s;
        z = 0.25 * s;
    }
    if (w < 0.0) w = -w, x = -x, y = -y, z = -z;
    double sinHalf = std::sqrt(x * x + y * y + z * z);
    if (sinHalf < 1e-7) {
        *axis = {0.0f, 0.0f, 1.0f};
        *theta = 0.0f;
        return;
    }
    *axis = {static_cast<float>(x / sinHalf), static_cast<float>(y / sinHalf),
             static_cast<float>(z / sinHalf)};
    *theta = static_cast<float>(2.0 * std::atan2(sinHalf, w));
}

// The live frames by serial number.
struct LiveFrames {
    std::mutex lock;
    std::unordered_map<uint64_t, HostRMFrame*> bySerial;
    uint64_t next = 1;
};

LiveFrames& Live() {
    static LiveFrames* live = new LiveFrames; // never destroyed: frames may outlive static destruction
    return *live;
}

uint64_t Register(HostRMFrame* frame) {
    LiveFrames& live = Live();
    std::lock_guard<std::mutex> guard(live.lock);
    uint64_t serial = live.next++;
    live.bySerial[serial] = frame;
    return serial;
}

} // namespace

HostRMFrame::HostRMFrame() : serial_(Register(this)), local_(HostMatrixIdentity()) {}

HostRMFrame* HostRMFrame::FindLive(uint64_t serial) {
    LiveFrames& live = Live();
    std::lock_guard<std::mutex> guard(live.lock);
    auto found = live.bySerial.find(serial);
    return found == live.bySerial.end() ? nullptr : found->second;
}

HostRMFrame::~HostRMFrame() {
    {
        LiveFrames& live = Live();
        std::lock_guard<std::mutex> guard(live.lock);
        live.bySerial.erase(serial_);
    }
    for (HostRMFrame* child : children_) {
        child->parent_ = nullptr;
        child->Release();
    }
    for (IUnknown* visual : visuals_)
        visual->Release();
}

HostRMFrame* HostRMFrame::From(IUnknown* frame) {
    return dynamic_cast<HostRMFrame*>(frame);
}

HRESULT HostRMFrame::QueryInterface(REFIID riid, void** out) {
    if (!out) return E_POINTER;
    if (IsEqualGUID(riid, IID_IUnknown) || IsEqualGUID(riid, IID_IDirect3DRMFrame) ||
        IsEqualGUID(riid, IID_IDirect3DRMFrame2)) {
        AddRef();
        *out = static_cast<IDirect3DRMFrame2*>(this);
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

bool HostRMFrame::IsSelfOrAncestor(const HostRMFrame* frame) const {
    for (const HostRMFrame* f = this; f; f = f->parent_)
        if (f == frame) return true;
    return false;
}

HRESULT HostRMFrame::AddChild(IDirect3DRMFrame* child) {
    HostRMFrame* frame = From(child);
    if (!frame) return D3DRMERR_BADOBJECT;
    if (IsSelfOrAncestor(frame)) return D3DRMERR_BADVALUE;
    if (frame->parent_ == this) return D3DRM_OK;
    frame->AddRef();
    if (HostRMFrame* old = frame->parent_) {
        old->children_.erase(std::find(old->children_.begin(), old->children_.end(), frame));
        frame->Release(); // the old parent's reference
    }
    frame->parent_ = this;
    children_.push_back(frame);
    return D3DRM_OK;
}

HRESULT HostRMFrame::DeleteChild(IDirect3DRMFrame* child) {
    HostRMFrame* frame = From(child);
    auto found = std::find(children_.begin(), children_.end(), frame);
    if (!frame || found == children_.end()) return D3DRMERR_NOTFOUND;
    children_.erase(found);
    frame->parent_ = nullptr;
    frame->Release();
    return D3DRM_OK;
}

HRESULT HostRMFrame::GetParent(IDirect3DRMFrame** parent) {
    if (!parent) return D3DRMERR_BADVALUE;
    *parent = parent_;
    if (parent_) parent_->AddRef();
    return D3DRM_OK;
}

HRESULT HostRMFrame::GetScene(IDirect3DRMFrame** scene) {
    if (!scene) return D3DRMERR_BADVALUE;
    HostRMFrame* root = this;
    while (root->parent_)
        root = root->parent_;
    root->AddRef();
    *scene = root;
    return D3DRM_OK;
}

HRESULT HostRMFrame::SetSceneBackgroundRGB(D3DVALUE red, D3DVALUE green, D3DVALUE blue) {
    background_[0] = Clamp01(red);
    background_[1] = Clamp01(green);
    background_[2] = Clamp01(blue);
    return D3DRM_OK;
}

HRESULT HostRMFrame::SetSceneBackground(D3DCOLOR colour) {
    return SetSceneBackgroundRGB(((colour >> 16) & 0xFF) / 255.0f, ((colour >> 8) & 0xFF) / 255.0f,
                                 (colour & 0xFF) / 255.0f);
}

D3DCOLOR HostRMFrame::GetSceneBackground() {
    return D3DRMCreateColorRGBA(background_[0], background_[1], background_[2], 1.0f);
}

void HostRMFrame::SceneBackgroundRGB(float rgb[3]) const {
    for (int i = 0; i < 3; ++i)
        rgb[i] = background_[i];
}

HRESULT HostRMFrame::SetSceneFogEnable(BOOL enable) {
    fogEnable_ = enable ? TRUE : FALSE;
    return D3DRM_OK;
}

BOOL HostRMFrame::GetSceneFogEnable() {
    return fogEnable_;
}

HRESULT HostRMFrame::SetSceneFogColor(D3DCOLOR colour) {
    fogColour_ = colour;
    return D3DRM_OK;
}

D3DCOLOR HostRMFrame::GetSceneFogColor() {
    return fogColour_;
}

HRESULT HostRMFrame::SetSceneFogParams(D3DVALUE start, D3DVALUE end, D3DVALUE density) {
    if (!(density >= 0.0f)) return D3DRMERR_BADVALUE;
    fogStart_ = start;
    fogEnd_ = end;
    fogDensity_ = density;
    return D3DRM_OK;
}

HRESULT HostRMFrame::GetSceneFogParams(D3DVALUE* start, D3DVALUE* end, D3DVALUE* density) {
    if (start) *start = fogStart_;
    if (end) *end = fogEnd_;
    if (density) *density = fogDensity_;
    return D3DRM_OK;
}

HostMatrix4 HostRMFrame::World() const {
    return parent_ ? HostMatrixMultiply(local_, parent_->World()) : local_;
}

HostMatrix4 HostRMFrame::ParentWorld() const {
    return parent_ ? parent_->World() : HostMatrixIdentity();
}

HRESULT HostRMFrame::ReferenceWorld(IDirect3DRMFrame* reference, HostMatrix4* world) {
    if (!reference) {
        *world = HostMatrixIdentity();
        return D3DRM_OK;
    }
    HostRMFrame* frame = From(reference);
    if (!frame) return D3DRMERR_BADOBJECT;
    *world = frame->World();
    return D3DRM_OK;
}

HRESULT HostRMFrame::SetWorld(const HostMatrix4& world) {
    HostMatrix4 toParent;
    if (!HostMatrixInvert(ParentWorld(), &toParent)) return D3DRMERR_BADVALUE;
    local_ = HostMatrixMultiply(world, toParent);
    return D3DRM_OK;
}

HRESULT HostRMFrame::SetPosition(IDirect3DRMFrame* reference, D3DVALUE x, D3DVALUE y, D3DVALUE z) {
    HostMatrix4 referenceWorld, toParent;
    HRESULT hr = ReferenceWorld(reference, &referenceWorld);
    if (FAILED(hr)) return hr;
    if (!HostMatrixInvert(ParentWorld(), &toParent)) return D3DRMERR_BADVALUE;
    D3DVECTOR local = HostTransformPoint(HostTransformPoint({x, y, z}, referenceWorld), toParent);
    local_.m[3][0] = local.x;
    local_.m[3][1] = local.y;
    local_.m[3][2] = local.z;
    return D3DRM_OK;
}

HRESULT HostRMFrame::GetPosition(IDirect3DRMFrame* reference, D3DVECTOR* position) {
    if (!position) return D3DRMERR_BADVALUE;
    HostMatrix4 referenceWorld, toReference;
    HRESULT hr = ReferenceWorld(reference, &referenceWorld);
    if (FAILED(hr)) return hr;
    if (!HostMatrixInvert(referenceWorld, &toReference)) return D3DRMERR_BADVALUE;
    *position = HostTransformPoint(Origin(World()), toReference);
    return D3DRM_OK;
}

HRESULT HostRMFrame::Combine(D3DRMCOMBINETYPE combine, const HostMatrix4& transform) {
    switch (combine) {
    case D3DRMCOMBINE_REPLACE: local_ = transform; return D3DRM_OK;
    case D3DRMCOMBINE_BEFORE: local_ = HostMatrixMultiply(transform, local_); return D3DRM_OK;
    case D3DRMCOMBINE_AFTER: local_ = HostMatrixMultiply(local_, transform); return D3DRM_OK;
    }
    return D3DRMERR_BADVALUE;
}

HRESULT HostRMFrame::AddTranslation(D3DRMCOMBINETYPE combine, D3DVALUE x, D3DVALUE y, D3DVALUE z) {
    return Combine(combine, HostMatrixTranslation(x, y, z));
}

HRESULT HostRMFrame::AddRotation(D3DRMCOMBINETYPE combine, D3DVALUE x, D3DVALUE y, D3DVALUE z,
                                 D3DVALUE theta) {
    D3DVECTOR axis = {x, y, z};
    if (!(D3DRMVectorModulus(&axis) > 0.0f)) return D3DRMERR_BADVALUE;
    return Combine(combine, HostMatrixRotation(*D3DRMVectorNormalize(&axis), theta));
}

HRESULT HostRMFrame::AddTransform(D3DRMCOMBINETYPE combine, D3DRMMATRIX4D matrix) {
    if (!matrix) return D3DRMERR_BADVALUE;
    HostMatrix4 transform;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            transform.m[i][j] = matrix[i][j];
    return Combine(combine, transform);
}

HRESULT HostRMFrame::GetTransform(D3DRMMATRIX4D matrix) {
    if (!matrix) return D3DRMERR_BADVALUE;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            matrix[i][j] = local_.m[i][j];
    return D3DRM_OK;
}

HRESULT HostRMFrame::GetRotation(IDirect3DRMFrame* reference, D3DVECTOR* axis, D3DVALUE* theta) {
    if (!axis || !theta) return D3DRMERR_BADVALUE;
    HostMatrix4 referenceWorld, toReference;
    HRESULT hr = ReferenceWorld(reference, &referenceWorld);
    if (FAILED(hr)) return hr;
    if (!HostMatrixInvert(referenceWorld, &toReference)) return D3DRMERR_BADVALUE;
    HostMatrix4 relative = HostMatrixMultiply(World(), toReference);
    float rows[3][3];
    for (int i = 0; i < 3; ++i) {
        D3DVECTOR row = {relative.m[i][0], relative.m[i][1], relative.m[i][2]};
        D3DRMVectorNormalize(&row); // a scaled frame still has an orientation
        rows[i][0] = row.x;
        rows[i][1] = row.y;
        rows[i][2] = row.z;
    }
    AxisAngle(rows, axis, theta);
    return D3DRM_OK;
}

HRESULT HostRMFrame::LookAt(IDirect3DRMFrame* target, IDirect3DRMFrame* reference,
                            D3DRMFRAMECONSTRAINT constraint) {
    HostRMFrame* targetFrame = From(target);
    if (!targetFrame || constraint != D3DRMCONSTRAIN_Z) return D3DRMERR_BADVALUE;
    HostMatrix4 referenceWorld, toReference;
    HRESULT hr = ReferenceWorld(reference, &referenceWorld);
    if (FAILED(hr)) return hr;
    if (!HostMatrixInvert(referenceWorld, &toReference)) return D3DRMERR_BADVALUE;

    // The new axes in the reference's space: z towards the target, x level, y completing them.
    HostMatrix4 world = World();
    D3DVECTOR z = Difference(HostTransformPoint(Origin(targetFrame->World()), toReference),
                             HostTransformPoint(Origin(world), toReference));
    if (!(D3DRMVectorModulus(&z) > 1e-6f)) return D3DRMERR_BADVALUE;
    D3DRMVectorNormalize(&z);
    D3DVECTOR up = {0.0f, 1.0f, 0.0f}, x, y;
    D3DRMVectorCrossProduct(&x, &up, &z);
    if (!(D3DRMVectorModulus(&x) > 1e-6f)) x = {1.0f, 0.0f, 0.0f}; // looking straight up or down
    D3DRMVectorNormalize(&x);
    D3DRMVectorCrossProduct(&y, &z, &x);

    const D3DVECTOR axes[3] = {x, y, z};
    for (int i = 0; i < 3; ++i) {
        D3DVECTOR row = HostTransformDirection(axes[i], referenceWorld);
        D3DRMVectorNormalize(&row);
        world.m[i][0] = row.x;
        world.m[i][1] = row.y;
        world.m[i][2] = row.z;
        world.m[i][3] = 0.0f;
    }
    return SetWorld(world);
}

HRESULT HostRMFrame::Transform(D3DVECTOR* out, D3DVECTOR* in) {
    if (!out || !in) return D3DRMERR_BADVALUE;
    *out = HostTransformPoint(*in, World());
    return D3DRM_OK;
}

HRESULT HostRMFrame::InverseTransform(D3DVECTOR* out, D3DVECTOR* in) {
    if (!out || !in) return D3DRMERR_BADVALUE;
    HostMatrix4 toLocal;
    if (!HostMatrixInvert(World(), &toLocal)) return D3DRMERR_BADVALUE;
    *out = HostTransformPoint(*in, toLocal);
    return D3DRM_OK;
}

HRESULT HostRMFrame::AddVisual(IDirect3DRMVisual* visual) {
    if (!visual || visual == static_cast<IDirect3DRMFrame*>(this)) return D3DRMERR_BADVALUE;
    if (!HostRMMesh::From(visual) && !HostRMMeshBuilder::From(visual) && !HostRMTexture::From(visual) &&
        !From(visual))
        return D3DRMERR_BADOBJECT;
    visual->AddRef();
    visuals_.push_back(visual);
    return D3DRM_OK;
}

HRESULT HostRMFrame::DeleteVisual(IDirect3DRMVisual* visual) {
    auto found = std::find(visuals_.begin(), visuals_.end(), visual);
    if (!visual || found == visuals_.end()) return D3DRMERR_NOTFOUND;
    visuals_.erase(found);
    visual->Release();
    return D3DRM_OK;
}

HRESULT HostRMFrame::SetZbufferMode(D3DRMZBUFFERMODE mode) {
    if (mode != D3DRMZBUFFER_FROMPARENT && mode != D3DRMZBUFFER_ENABLE && mode != D3DRMZBUFFER_DISABLE)
        return D3DRMERR_BADVALUE;
    zbufferMode_ = mode;
    return D3DRM_OK;
}

D3DRMZBUFFERMODE HostRMFrame::GetZbufferMode() {
    return zbufferMode_;
}

HRESULT HostRMFrame::SetSortMode(D3DRMSORTMODE mode) {
    if (mode > D3DRMSORT_BACKTOFRONT) return D3DRMERR_BADVALUE;
    sortMode_ = mode;
    return D3DRM_OK;
}

D3DRMSORTMODE HostRMFrame::GetSortMode() {
    return sortMode_;
}

HostRMFrame* HostRMFrame::Root() {
    HostRMFrame* root = this;
    while (root->parent_)
        root = root->parent_;
    return root;
}

bool HostRMFrame::ZbufferEnabled() const {
    for (const HostRMFrame* f = this; f; f = f->parent_)
        if (f->zbufferMode_ != D3DRMZBUFFER_FROMPARENT) return f->zbufferMode_ == D3DRMZBUFFER_ENABLE;
    return true;
}

D3DRMSORTMODE HostRMFrame::EffectiveSortMode() const {
    for (const HostRMFrame* f = this; f; f = f->parent_)
        if (f->sortMode_ != D3DRMSORT_FROMPARENT) return f->sortMode_;
    return D3DRMSORT_NONE;
}

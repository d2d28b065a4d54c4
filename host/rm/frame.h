// A retained-mode frame: a transform relative to its parent, the children it holds, and the scene
// settings used when it is a root.
#pragma once

#include <vector>

#include "host/rm/d3drm.h"
#include "host/rm/matrix.h"

class HostRMFrame final : public IDirect3DRMFrame2, public RefCount {
  public:
    HostRMFrame();

    HRESULT QueryInterface(REFIID riid, void** out) override;
    HOST_REFCOUNTED

    HRESULT AddChild(IDirect3DRMFrame* child) override;
    HRESULT DeleteChild(IDirect3DRMFrame* child) override;
    HRESULT GetParent(IDirect3DRMFrame** parent) override;
    HRESULT GetScene(IDirect3DRMFrame** scene) override;

    HRESULT SetSceneBackgroundRGB(D3DVALUE red, D3DVALUE green, D3DVALUE blue) override;
    HRESULT SetSceneBackground(D3DCOLOR colour) override;
    D3DCOLOR GetSceneBackground() override;
    HRESULT SetSceneFogEnable(BOOL enable) override;
    BOOL GetSceneFogEnable() override;
    HRESULT SetSceneFogColor(D3DCOLOR colour) override;
    D3DCOLOR GetSceneFogColor() override;
    HRESULT SetSceneFogParams(D3DVALUE start, D3DVALUE end, D3DVALUE density) override;
    HRESULT GetSceneFogParams(D3DVALUE* start, D3DVALUE* end, D3DVALUE* density) override;

    HRESULT SetPosition(IDirect3DRMFrame* reference, D3DVALUE x, D3DVALUE y, D3DVALUE z) override;
    HRESULT GetPosition(IDirect3DRMFrame* reference, D3DVECTOR* position) override;
    HRESULT AddTranslation(D3DRMCOMBINETYPE combine, D3DVALUE x, D3DVALUE y, D3DVALUE z) override;
    HRESULT AddRotation(D3DRMCOMBINETYPE combine, D3DVALUE x, D3DVALUE y, D3DVALUE z,
                        D3DVALUE theta) override;
    HRESULT AddTransform(D3DRMCOMBINETYPE combine, D3DRMMATRIX4D matrix) override;
    HRESULT GetTransform(D3DRMMATRIX4D matrix) override;
    HRESULT GetRotation(IDirect3DRMFrame* reference, D3DVECTOR* axis, D3DVALUE* theta) override;
    HRESULT LookAt(IDirect3DRMFrame* target, IDirect3DRMFrame* reference,
                   D3DRMFRAMECONSTRAINT constraint) override;
    HRESULT Transform(D3DVECTOR* out, D3DVECTOR* in) override;
    HRESULT InverseTransform(D3DVECTOR* out, D3DVECTOR* in) override;

    // The transform from this frame's space to the scene root's space (the root's own transform included).
    HostMatrix4 World() const;
    // The background as stored (each component 0..1).
    void SceneBackgroundRGB(float rgb[3]) const;

    // The host frame behind an interface pointer; NULL for NULL or an object of another kind.
    static HostRMFrame* From(IUnknown* frame);

  private:
    ~HostRMFrame() override;
    // True when frame is this one or one of its ancestors.
    bool IsSelfOrAncestor(const HostRMFrame* frame) const;
    // The world transform of reference's space (identity for NULL); D3DRMERR_BADOBJECT for a foreign frame.
    static HRESULT ReferenceWorld(IDirect3DRMFrame* reference, HostMatrix4* world);
    HostMatrix4 ParentWorld() const;
    HRESULT Combine(D3DRMCOMBINETYPE combine, const HostMatrix4& transform);
    // Replaces the local transform so that the world transform becomes world.
    HRESULT SetWorld(const HostMatrix4& world);

    HostRMFrame* parent_ = nullptr;      // not held: the parent holds this frame
    std::vector<HostRMFrame*> children_; // each holds a reference
    HostMatrix4 local_;
    float background_[3] = {0.0f, 0.0f, 0.0f};
    BOOL fogEnable_ = FALSE;
    D3DCOLOR fogColour_ = 0xFF000000;
    float fogStart_ = 1.0f, fogEnd_ = 100.0f, fogDensity_ = 1.0f;
};

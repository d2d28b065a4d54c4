// A retained-mode frame: a transform relative to its parent, the children and visuals it holds, how
// its subtree is drawn (Z-buffer and sort modes), and the scene settings used when it is a root.
#pragma once

#include <cstdint>
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
    HRESULT AddVisual(IDirect3DRMVisual* visual) override;
    HRESULT DeleteVisual(IDirect3DRMVisual* visual) override;
    HRESULT SetZbufferMode(D3DRMZBUFFERMODE mode) override;
    D3DRMZBUFFERMODE GetZbufferMode() override;
    HRESULT SetSortMode(D3DRMSORTMODE mode) override;
    D3DRMSORTMODE GetSortMode() override;

    // The transform from this frame's space to the scene root's space (the root's own transform included).
    HostMatrix4 World() const;
    // The transform relative to the parent.
    const HostMatrix4& Local() const { return local_; }
    HostRMFrame* Parent() const { return parent_; }
    // The root of the frame's scene (the frame itself when it has no parent).
    HostRMFrame* Root();
    const std::vector<HostRMFrame*>& Children() const { return children_; }
    // The visuals in the order they were added, as they were given.
    const std::vector<IUnknown*>& Visuals() const { return visuals_; }
    // The modes as they apply to this frame, FROMPARENT resolved through the ancestors.
    bool ZbufferEnabled() const;
    D3DRMSORTMODE EffectiveSortMode() const;
    // The background as stored (each component 0..1).
    void SceneBackgroundRGB(float rgb[3]) const;

    // The host frame behind an interface pointer; NULL for NULL or an object of another kind.
    static HostRMFrame* From(IUnknown* frame);
    // A number no other frame of the process has or had, and the live frame that has it (NULL once it is
    // gone), so that a frame can be remembered without holding it.
    uint64_t Serial() const { return serial_; }
    static HostRMFrame* FindLive(uint64_t serial);

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

    uint64_t serial_;
    HostRMFrame* parent_ = nullptr;      // not held: the parent holds this frame
    std::vector<HostRMFrame*> children_; // each holds a reference
    std::vector<IUnknown*> visuals_;     // each holds a reference
    D3DRMZBUFFERMODE zbufferMode_ = D3DRMZBUFFER_FROMPARENT;
    D3DRMSORTMODE sortMode_ = D3DRMSORT_FROMPARENT;
    HostMatrix4 local_;
    float background_[3] = {0.0f, 0.0f, 0.0f};
    BOOL fogEnable_ = FALSE;
    D3DCOLOR fogColour_ = 0xFF000000;
    float fogStart_ = 1.0f, fogEnd_ = 100.0f, fogDensity_ = 1.0f;
};

#include "quib/scene/world/sprite3d_decal.h"

#include <cstdlib>
#include <new>

#include "quib/platform/directx.h"
#include "quib/platform/errors.h"
#include "quib/platform/interfacelog.h"
#include "quib/quib.h"
#include "quib/scene/frames/scene3d_state.h"
#include "quib/scene/textures/surface_table.h"

namespace {

// Width and height of surface into w and h; false with the failure reported.
bool ReadSize(IDirectDrawSurface* surface, int& w, int& h) {
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof desc;
    HRESULT hr = surface ? surface->GetSurfaceDesc(&desc) : DDERR_INVALIDPARAMS;
    if (FAILED(hr)) {
        REPORT_DD_ERROR(hr);
        return false;
    }
    w = int(desc.dwWidth);
    h = int(desc.dwHeight);
    return true;
}

// True, with the failure reported, when a Retained Mode call failed.
bool Failed(HRESULT hr) {
    if (SUCCEEDED(hr)) return false;
    REPORT_D3DRM_ERROR(hr);
    return true;
}

} // namespace

Sprite3D::Sprite3D(IDirect3DRM2* rm, IDirect3DRMFrame2* parent)
    : Frame(rm, parent), m_surfaces(nullptr), m_textures(nullptr), m_texture(nullptr),
      m_textureEntry(nullptr), m_shownFrame(0), m_currentFrame(0), m_frameCount(0), m_width(0), m_height(0),
      m_sourceSurface(nullptr) {}

// The list holds the one reference on each texture, the frame another on the shown one, which goes with
// the visual. The log shows the shown texture's release, then the frame's; the other frames' textures
// are given back quietly. The frame is released (and cleared) here, so the frame part finds nothing left
// to release.
Sprite3D::~Sprite3D() {
    if (m_frame && m_texture) m_frame->DeleteVisual(m_texture);
    if (m_textures) {
        for (int i = 0; i < m_textures->GetCount(); ++i)
            if (m_textures->GetAt(i) != m_texture) m_textures->GetAt(i)->Release();
        delete m_textures;
    }
    ReleaseInterface(m_texture, "~Sprite3D(): m_texture");
    ReleaseInterface(m_frame, "~Sprite3D(): m_frame");
    delete m_surfaces;
}

int Sprite3D::Init(IDirectDrawSurface* surface) {
    m_sourceSurface = surface;
    delete m_surfaces;
    m_surfaces = new (std::nothrow) PtrArray<IDirectDrawSurface>(1);
    if (!m_surfaces) return 0;
    m_surfaces->Add(surface);
    if (!ReadSize(surface, m_width, m_height)) return 0;
    m_currentFrame = m_shownFrame = 0;
    m_frameCount = 1;
    QuibInitSurfaceTable();
    m_textureEntry = new (std::nothrow) SurfaceTableEntry(surface);
    if (m_textureEntry && !g_pSurfaceTable->Add(m_textureEntry)) {
        delete m_textureEntry;
        m_textureEntry = nullptr;
    }
    return 1;
}

int Sprite3D::Init(const char* file) {
    IDirectDrawSurface* surface = QuibLoadBitmap(file, 8);
    if (!surface) return 0;
    DDCOLORKEY key = {0, 0};
    HRESULT hr = surface->SetColorKey(DDCKEY_SRCBLT, &key);
    if (FAILED(hr)) {
        REPORT_DD_ERROR(hr);
        surface->Release();
        return 0;
    }
    const int made = Init(surface);
    // The surface-table entry holds its own reference; the sprite only points at the surface.
    surface->Release();
    if (!made || !m_textureEntry) {
        if (m_surfaces) m_surfaces->Clear();
        m_sourceSurface = nullptr;
        return 0;
    }
    return 1;
}

int Sprite3D::Init(PtrArray<IDirectDrawSurface>* surfaces) {
    delete m_surfaces;
    m_surfaces = surfaces;
    if (!surfaces || surfaces->GetCount() == 0 || !m_d3drm || !m_frame) return 0;
    if (!ReadSize(surfaces->GetAt(0), m_width, m_height)) return 0;
    m_textures = new (std::nothrow) PtrArray<IDirect3DRMTexture>(1);
    if (!m_textures) return 0;
    for (int i = 0; i < surfaces->GetCount(); ++i) {
        IDirect3DRMTexture* texture = nullptr;
        if (Failed(m_d3drm->CreateTextureFromSurface(surfaces->GetAt(i), &texture))) return 0;
        m_textures->Add(texture);
    }
    m_currentFrame = m_shownFrame = 0;
    m_frameCount = surfaces->GetCount();
    m_texture = m_textures->GetAt(0);
    // Every frame alike, so that the picture does not jump or show its key when the frame changes.
    for (int i = 0; i < m_textures->GetCount(); ++i) {
        IDirect3DRMTexture* texture = m_textures->GetAt(i);
        if (Failed(texture->SetDecalOrigin(m_width / 2, m_height / 2))) return 0;
        if (Failed(texture->SetDecalTransparency(TRUE))) return 0;
    }
    // Shown from the start: otherwise frame 0 would appear only after a frame change and back.
    if (Failed(m_frame->AddVisual(m_texture))) {
        m_texture = nullptr;
        return 0;
    }
    return 1;
}

int Sprite3D::Render(IDirect3DRMViewport* viewport) {
    if (!m_textures || !m_texture || !m_frame || !viewport) return 0;
    if (m_shownFrame != m_currentFrame) {
        m_frame->DeleteVisual(m_texture);
        m_texture = m_textures->GetAt(m_currentFrame);
        m_frame->AddVisual(m_texture);
        m_shownFrame = m_currentFrame;
    }
    IDirectDrawSurface* source = m_surfaces ? m_surfaces->Lookup(m_currentFrame) : nullptr;
    if (source && source->IsLost() != DD_OK) source->Restore();
    return Failed(viewport->Render(m_frame)) ? 0 : 1;
}

int Sprite3D::SetScreenXY(IDirect3DRMViewport* viewport, int x, int y) {
    if (!viewport || !g_lpCamera || !g_lpCamera->m_frame || !m_frame) return 0;
    const float w = float(viewport->GetWidth()), h = float(viewport->GetHeight());
    D3DVECTOR ahead = {0.0f, 0.0f, 1.0f}, world{};
    if (Failed(g_lpCamera->m_frame->Transform(&world, &ahead))) return 0;
    D3DRMVECTOR4D screen{};
    if (Failed(viewport->Transform(&screen, &world))) return 0;
    // Exact while w is the camera-space depth: 1 for the point one unit ahead.
    screen.x = float(x) * screen.w - w / 2.0f + screen.x;
    screen.y = float(y) * screen.w - h / 2.0f + screen.y;
    D3DVECTOR placed{};
    if (Failed(viewport->InverseTransform(&placed, &screen))) return 0;
    if (Failed(m_frame->SetPosition(nullptr, placed.x, placed.y, placed.z))) return 0;
    return 1;
}

int Sprite3D::NextFrame() {
    m_currentFrame = m_currentFrame + 1 >= m_frameCount ? 0 : m_currentFrame + 1;
    return 1;
}

int Sprite3D::PrevFrame() {
    m_currentFrame = m_currentFrame - 1 < 0 ? m_frameCount - 1 : m_currentFrame - 1;
    if (m_currentFrame < 0) m_currentFrame = 0; // no frames at all
    return 1;
}

int Sprite3D::FirstFrame() {
    m_currentFrame = 0;
    return 1;
}

int Sprite3D::RandomFrame() {
    m_currentFrame = m_frameCount > 0 ? std::rand() % m_frameCount : 0;
    return 1;
}

int Sprite3D::SetDecalOrigin(int x, int y) {
    if (!m_texture) return 0;
    for (int i = 0; i < m_textures->GetCount(); ++i)
        if (Failed(m_textures->GetAt(i)->SetDecalOrigin(x, y))) return 0;
    return 1;
}

int Sprite3D::SetDecalSize(float w, float h) {
    if (!m_texture) return 0;
    for (int i = 0; i < m_textures->GetCount(); ++i)
        if (Failed(m_textures->GetAt(i)->SetDecalSize(w, h))) return 0;
    return 1;
}

// ---- The flat interface ----

int QuibSprite3DCreate(IDirectDrawSurface* surface, void** out) {
    if (!out) return 0;
    *out = nullptr;
    auto* sprite = new (std::nothrow) Sprite3D(g_lpD3DRM2, nullptr);
    if (!sprite) {
        RegError("QuibCreateSprite3D::can't create Sprite3D\n");
        return 0;
    }
    if (!sprite->Init(surface)) {
        delete sprite;
        RegError("QuibCreateSprite3D::can't init Sprite3D\n");
        return 0;
    }
    *out = sprite;
    return 1;
}

int QuibSprite3DCreate(IDirectDrawSurface** surfaces, void** out) {
    if (!out) return 0;
    *out = nullptr;
    int count = 0;
    while (surfaces && surfaces[count])
        ++count;
    // An empty list has no first surface to size the sprite by.
    if (count == 0) {
        RegError("QuibCreateSprite3D::can't init Sprite3D\n");
        return 0;
    }
    auto* list = new (std::nothrow) PtrArray<IDirectDrawSurface>(count);
    if (!list) {
        RegError("QuibCreateSprite3D::can't create Sprite3D\n");
        return 0;
    }
    for (int i = 0; i < count; ++i)
        list->Add(surfaces[i]);
    auto* sprite = new (std::nothrow) Sprite3D(g_lpD3DRM2, nullptr);
    if (!sprite) {
        delete list;
        RegError("QuibCreateSprite3D::can't create Sprite3D\n");
        return 0;
    }
    if (!sprite->Init(list)) {
        delete sprite;
        RegError("QuibCreateSprite3D::can't init Sprite3D\n");
        return 0;
    }
    *out = sprite;
    return 1;
}

int QuibSprite3DRender(void* sprite) {
    return sprite ? static_cast<Sprite3D*>(sprite)->Render(g_lpD3DRMViewport) : 0;
}

int QuibSprite3DNextFrame(void* sprite) {
    return sprite ? static_cast<Sprite3D*>(sprite)->NextFrame() : 0;
}

int QuibSprite3DScreenXY(void* sprite, int x, int y) {
    if (!sprite) return 0;
    static_cast<Sprite3D*>(sprite)->SetScreenXY(g_lpD3DRMViewport, x, y);
    return 1;
}

int QuibSprite3DParameters(void* sprite, float w, float h, int ox, int oy, int transparent, int scale) {
    auto* s = static_cast<Sprite3D*>(sprite);
    if (!s || !s->m_texture) return 0;
    // On every frame's texture: the shown one changes only at the next render, so settings made on it
    // alone would be lost with a frame change made before. Results not looked at.
    for (int i = 0; i < s->m_textures->GetCount(); ++i) {
        IDirect3DRMTexture* texture = s->m_textures->GetAt(i);
        texture->SetDecalSize(w, h);
        texture->SetDecalOrigin(ox, oy);
        texture->SetDecalTransparency(transparent);
        texture->SetDecalScale(DWORD(scale));
    }
    return 1;
}

int QuibSprite3DSurfaceChanged(void* sprite, int pixels, int palette) {
    IDirect3DRMTexture* texture = sprite ? static_cast<Sprite3D*>(sprite)->m_texture : nullptr;
    if (!texture) return 0;
    return Failed(texture->Changed(pixels, palette)) ? 0 : 1;
}

void QuibFreeSprite3D(void* sprite) {
    delete static_cast<Sprite3D*>(sprite);
}

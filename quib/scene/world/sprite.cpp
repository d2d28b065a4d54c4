#include "quib/scene/world/sprite.h"

#include <cmath>
#include <cstring>

#include "quib/platform/errors.h"
#include "quib/scene/frames/scene3d_state.h"
#include "quib/scene/pipeline/primitive.h"
#include "quib/scene/pipeline/set_texture.h"
#include "quib/scene/pipeline/viewport_state.h"
#include "quib/scene/textures/surface_table.h"

namespace {

// The quad's corners as offsets from its centre: 0 top-left, 1 top-right, 2 bottom-right, 3 bottom-left
// on screen; the triangles (0, 1, 2) and (0, 2, 3) run clockwise there.
constexpr float kCornerX[4] = {-0.5f, 0.5f, 0.5f, -0.5f};
constexpr float kCornerY[4] = {-0.5f, -0.5f, 0.5f, 0.5f};
constexpr WORD kQuadIndices[6] = {0, 1, 2, 0, 2, 3};

} // namespace

Sprite3d::Sprite3d()
    : DPMesh(1, 1), m_width(0), m_height(0), m_centreX(0), m_centreY(0), m_alpha(255), m_cellWidth(1),
      m_cellHeight(1), m_cols(1), m_rows(1), m_frameCount(1), m_currentFrame(0), m_scale(1), m_keyCount(0),
      m_keys(nullptr), m_tick(0) {}

Sprite3d::Sprite3d(const char* texture, int cols, int rows, float w, float h, float cx, float cy, float scale,
                   unsigned char alpha)
    : Sprite3d() {
    Init(texture, cols, rows, w, h, cx, cy, scale, alpha);
}

Sprite3d::Sprite3d(Sprite3d* other) : Sprite3d() {
    Init(other);
}

// The mesh part leaves geometry and skin to their owner, which for a sprite is the sprite.
Sprite3d::~Sprite3d() {
    delete geometry;
    delete skin;
}

DPSubMesh* Sprite3d::Quad() const {
    return geometry && geometry->count ? &geometry->subMeshes[0] : nullptr;
}

DPMaterial* Sprite3d::Material() const {
    return skin && skin->count ? &skin->materials[0] : nullptr;
}

void Sprite3d::Init(const char* texture, int cols, int rows, float w, float h, float cx, float cy,
                    float scale, unsigned char alpha) {
    m_alpha = alpha;
    m_cols = cols < 1 ? 1 : cols;
    m_rows = rows < 1 ? 1 : rows;
    m_width = w;
    m_height = h;
    m_centreX = cx;
    m_centreY = cy;
    m_scale = scale;
    m_position = D3DVECTOR{0, 0, 0};
    m_cellWidth = 1.0f / float(m_cols);
    m_cellHeight = 1.0f / float(m_rows);
    m_keyCount = 0;
    m_keys = nullptr;
    m_tick = 0;
    m_frameCount = m_cols * m_rows;

    DPSubMesh* quad = Quad();
    if (quad && quad->Init(4, 2)) {
        for (int i = 0; i < 4; ++i) {
            quad->vertices[i].x = cx + kCornerX[i] * w;
            quad->vertices[i].y = cy + kCornerY[i] * h;
            quad->vertices[i].z = 0.0f;
        }
        for (int i = 0; i < 6; ++i)
            quad->triangles[i / 3].v[i % 3] = kQuadIndices[i];
    }
    if (DPMaterial* material = Material()) {
        material->texture = FindOrLoadTexture(texture);
        material->colour = kDPMaterialTextured;
    }
    SetFrame(0);
}

void Sprite3d::Init(Sprite3d* other) {
    if (!other) return;
    const DPMaterial* theirs = other->Material();
    char texture[kSurfaceNameSize] = "";
    if (theirs && theirs->texture) std::memcpy(texture, theirs->texture->name, sizeof(texture));
    Init(texture, other->m_cols, other->m_rows, other->m_width, other->m_height, other->m_centreX,
         other->m_centreY, other->m_scale, other->m_alpha);
    m_keyCount = other->m_keyCount;
    m_keys = other->m_keys;
}

void Sprite3d::SetFrame(int n) {
    if (n < 0 || n >= m_frameCount) n = 0;
    m_currentFrame = n;
    DPSubMesh* quad = Quad();
    if (!quad || quad->vertexCount < 4) return;
    const float u0 = float(n % m_cols) / float(m_cols), u1 = float(n % m_cols + 1) / float(m_cols);
    const float v0 = float(n / m_cols) / float(m_rows), v1 = float(n / m_cols + 1) / float(m_rows);
    const float tu[4] = {u0, u1, u1, u0};
    const float tv[4] = {v0, v0, v1, v1};
    for (int i = 0; i < 4; ++i) {
        quad->vertices[i].tu = tu[i];
        quad->vertices[i].tv = tv[i];
    }
}

void Sprite3d::NextFrame() {
    SetFrame(m_currentFrame + 1 >= m_frameCount ? 0 : m_currentFrame + 1);
}

void Sprite3d::PrevFrame() {
    SetFrame(m_currentFrame - 1 < 0 ? m_frameCount - 1 : m_currentFrame - 1);
}

void Sprite3d::SetFrameDef(int count, Sprite3dFrameDef* keys) {
    m_keyCount = count;
    m_keys = keys;
}

void Sprite3d::TickFrame() {
    if (m_keyCount <= 0 || !m_keys) return;
    ++m_tick;
    const Sprite3dFrameDef& last = m_keys[m_keyCount - 1];
    if (m_tick >= last.start) {
        m_tick = last.start;
        SetFrame(last.frame);
        return;
    }
    int frame = 0;
    for (int k = 0; k < m_keyCount - 1; ++k) {
        if (m_keys[k].start <= m_tick && m_tick < m_keys[k + 1].start) frame = m_keys[k].frame;
    }
    SetFrame(frame);
}

void Sprite3d::Reset() {
    SetFrame(0);
    m_tick = 0;
}

int Sprite3d::Render() {
    const DPSubMesh* quad = Quad();
    DPMaterial* material = Material();
    if (!g_ImDevice || !g_lpCamera || !quad || quad->vertexCount < 4 || !material) return 1;
    set_texture_sprite(material);

    const float at[3] = {m_position.x, m_position.y, m_position.z};
    float screen[4];
    project_point(at, screen);
    const D3DVECTOR& eye = g_lpCamera->m_position;
    const float dx = at[0] - eye.x, dy = at[1] - eye.y, dz = at[2] - eye.z;
    const float distance = std::sqrt(dx * dx + dy * dy + dz * dz);
    // Unclipped, so a sprite at or behind the camera would come out huge or mirrored: skip it.
    if (!(distance > 0.0f) || !(screen[3] > 0.0f) || !(screen[2] >= 0.0f && screen[2] < 1.0f)) return 1;

    const float k = m_scale / distance;
    D3DTLVERTEX corners[4];
    for (int i = 0; i < 4; ++i) {
        const DPVertex& v = quad->vertices[i];
        corners[i] = D3DTLVERTEX{};
        corners[i].sx = screen[0] + k * v.x;
        corners[i].sy = screen[1] + k * v.y;
        corners[i].sz = screen[2];
        corners[i].rhw = screen[3];
        corners[i].color = D3DCOLOR(m_alpha) << 24 | 0xFFFFFF;
        corners[i].specular = 0;
        corners[i].tu = v.tu;
        corners[i].tv = v.tv;
    }
    const int blend = m_alpha != 255;
    d3dUseAlpha(blend);
    HRESULT hr = g_ImDevice->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, D3DVT_TLVERTEX, corners, 4,
                                                  const_cast<WORD*>(kQuadIndices), 6,
                                                  D3DDP_WAIT | D3DDP_DONOTUPDATEEXTENTS);
    // Blending goes off again after a failed draw too, so the next draws are not blended by accident.
    if (blend) d3dUseAlpha(0);
    if (FAILED(hr)) {
        REPORT_D3D_ERROR(hr);
        return 0;
    }
    return 1;
}

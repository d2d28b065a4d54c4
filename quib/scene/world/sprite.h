// Sprite-sheet quads: a textured quad at a point in the world, drawn facing the screen and shrinking with
// distance, whose texture is a sheet of cols x rows equal cells played as animation frames, stepped by
// hand or driven by a table of keyed frames. The quad is a DPMesh of one sub-mesh (4 vertices, 2
// triangles) and one material; Render draws it straight through the immediate-mode device.
#pragma once

#include "quib/export.h"
#include "quib/scene/mesh/dp_mesh.h"

// A key of the keyed animation: from tick start on, show frame.
struct Sprite3dFrameDef {
    int start;
    int frame;
    int reserved[2]; // not read
};

class QUIB_API Sprite3d : public DPMesh {
  public:
    // The mesh part only: no texture, no sheet (Init before use).
    Sprite3d();
    // The mesh part, then Init with the same arguments.
    Sprite3d(const char* texture, int cols, int rows, float w, float h, float cx, float cy, float scale,
             unsigned char alpha);
    // The mesh part, then Init(other).
    explicit Sprite3d(Sprite3d* other);
    // Frees the quad's geometry and material table (the texture stays the surface table's).
    ~Sprite3d();

    // Stores the sheet and quad, builds the 4-vertex quad and loads the sheet through the surface table
    // (shared by name, NULL texture or a file that fails to load: untextured). Position (0, 0, 0), no
    // keys, frame 0. cols and rows below 1 count as 1.
    void Init(const char* texture, int cols, int rows, float w, float h, float cx, float cy, float scale,
              unsigned char alpha);
    // Init with other's sheet name and numbers, then its keys (the key table stays other's caller's: it
    // must outlive both sprites). The tick is not copied.
    void Init(Sprite3d* other);

    // Shows frame n (0 outside 0 .. frames - 1): the quad's texture coordinates cover its cell.
    void SetFrame(int n);
    // The next frame, after the last the first.
    void NextFrame();
    // The previous frame, before the first the last.
    void PrevFrame();
    // Keyed animation from count keys in ascending start order; the table stays the caller's.
    void SetFrameDef(int count, Sprite3dFrameDef* keys);
    // One tick of the keyed animation: the frame of the last key started; held at the last key.
    void TickFrame();
    // Frame 0, tick 0.
    void Reset();
    // Draws the quad at the stored position, sized by scale / distance from the current camera, with
    // vertex alpha (blending on while alpha is below 255). Nothing is drawn (1) when there is no camera or
    // device, the sprite is at the camera or it is behind the camera or beyond the far depth. 1, or 0 with
    // the failed draw reported.
    int Render();

    float m_width;
    float m_height;
    float m_centreX;
    float m_centreY;
    unsigned char m_alpha;
    float m_cellWidth;  // 1 / cols in texture coordinates
    float m_cellHeight; // 1 / rows
    int m_cols;
    int m_rows;
    int m_frameCount; // cols x rows
    int m_currentFrame;
    float m_scale;
    int m_keyCount;
    Sprite3dFrameDef* m_keys; // caller-owned
    int m_tick;

  private:
    DPSubMesh* Quad() const;
    DPMaterial* Material() const;
};

// Terrain tile: drawing through the immediate-mode pipeline.
#include "quib/scene/draw_submesh.h"
#include "quib/scene/matrix_math.h"
#include "quib/scene/terrain.h"

int Terrain::RenderDPMesh() {
    if (!m_geo || !m_skin) return 1;
    // The vertices hold world positions; the frame normally stays at the origin.
    D3DMATRIX transform;
    matrix_identity(&transform);
    GetTransform(&transform);
    render_geo_transformed(m_geo, &transform._11);
    return 1;
}

// Picking against a mesh object's own geometry.
#include "quib/scene/mesh/dp_mesh_geo.h"
#include "quib/scene/objects/mesh_object.h"

int MeshObject::FindClosestTriangle(float x, float y, float z) {
    if (!m_geo) return 1;
    DPSubMesh* sub = nullptr;
    int index = -1;
    float dist2 = 0.0f;
    m_geo->FindClosestTriangle(x - m_position.x, y - m_position.y, z - m_position.z, sub, index, dist2);
    return 1;
}

int MeshObject::FindMeshIntersection(D3DVECTOR& a, D3DVECTOR& b, D3DVECTOR& out) {
    if (!m_geo) return 0;
    return m_geo->FindMeshIntersection(a, b, out);
}

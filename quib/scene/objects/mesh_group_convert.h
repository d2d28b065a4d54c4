// Conversion of one Retained Mode mesh group into one of the engine's sub-meshes: vertices welded on
// position and texture coordinates, faces fanned into 16-bit triangles.
#pragma once

#include <vector>

#include "quib/dp_mesh_records.h"
#include "quib/scene/objects/mesh_object_links.h"

class DPSubMesh;

// The group's vertices kept after welding, and for each group vertex the kept vertex it became. A
// vertex whose position and u, v equal those of a kept one (the first match; -0 equals +0, NaN equals
// nothing) maps to it; the normal takes no part.
struct WeldedVertices {
    std::vector<DPVertex> kept;
    std::vector<unsigned> map;
};
WeldedVertices weld_group_vertices(const std::vector<MeshGroupVertex>& vertices);

// The group's faces as triangles of group vertex indices: a face of m corners becomes the fan (0, 1, 2),
// (0, 2, 3), ... (0, m - 2, m - 1). Faces with fewer than 3 corners, corners outside the group's
// vertices and face data that ends inside a face are dropped. A face of more than 16 corners is logged
// ("CreateDPMesh : vcount > 16") and fanned whole.
std::vector<unsigned> fan_group_faces(const MeshGroupData& group);

// Results of convert_mesh_group.
enum class GroupConversion { kBuilt, kTooLarge, kNoMemory };

// Fills sub with the welded vertices and fanned triangles of group, then its extents and triangle data.
// A group of more than 65535 welded vertices or triangles is logged and left out (sub empty); running out
// of memory registers "MeshObject::CreateDPMesh : can't alloc DPSubMesh".
GroupConversion convert_mesh_group(const MeshGroupData& group, int index, DPSubMesh& sub);

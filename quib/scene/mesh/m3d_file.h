// The engine's own model file (.m3d) as read from disk: a header with four values kept for the
// geometry, named materials (bitmap, flat colour, texture tiling) and named objects (parent name,
// placement, vertices, faces, texture vertices, position and rotation keys), and the tree of objects
// their parent names make. The file is untrusted: every count is bounded by the bytes left in the file,
// names are cut to their fields, and the tree is built without recursion and refused when too deep.
#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

#include "quib/dp_mesh_records.h"

constexpr int kM3dNameSize = 256;
// Hierarchies deeper than this are refused: the sub-mesh transforms recurse once per level.
constexpr int kM3dMaxDepth = 256;

struct M3dMaterial {
    char name[kM3dNameSize];   // zero-terminated within the field
    char bitmap[kM3dNameSize]; // texture file, may hold a drive and folders; empty = none
    uint8_t flat[3];           // red, green, blue of the flat colour
    int tiling;                // 1: texture coordinates go through the offsets and scales below
    float uOffset, vOffset, uScale, vScale;
};

// The part of a face the engine uses: its first three corners and texture-vertex indices.
struct M3dFace {
    int32_t corner[3];
    int32_t texture[3]; // -1 where the face lists fewer; checked against the texture vertices when used
    bool triangle;      // at least three corners, all naming vertices of the object
};

struct M3dPoint {
    float x, y, z;
};

struct M3dTexturePoint {
    float u, v;
};

struct M3dObject {
    char name[kM3dNameSize];
    char parent[kM3dNameSize]; // empty: a top-level object
    int hidden;
    int dummy;           // 1: never drawn
    int material;        // index into the file's materials; anything else means none
    float placement[12]; // four rows of three: the axes, then the translation
    float scale[3];
    std::vector<M3dPoint> vertices;
    std::vector<M3dFace> faces;
    std::vector<M3dTexturePoint> texturePoints;
    std::vector<DPPositionKey> positionKeys;
    std::vector<DPRotationKey> rotationKeys;

    // The object tree: the parent object (-1 for top-level objects and for objects in no tree) and the
    // children in the order the tree takes them.
    int parentIndex = -1;
    std::vector<int> children;
};

struct M3dModel {
    char name[kM3dNameSize];
    int header[4]; // kept for the geometry, without meaning to the loader
    std::vector<M3dMaterial> materials;
    std::vector<M3dObject> objects;
    // Top-level objects in file order. Objects whose parent is missing, or whose chain of parents never
    // reaches a top-level object, are in no tree.
    std::vector<int> roots;
};

// Reads a whole model from file (opened "rb", at its start) and builds its object tree. 1, or 0 when
// the file is broken: it ends inside a record, a count needs more bytes than are left, or the tree is
// deeper than kM3dMaxDepth. Bytes after the last object are ignored.
int ReadM3dModel(FILE* file, M3dModel& model);

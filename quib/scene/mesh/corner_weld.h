// Welding of triangle corners into a vertex array: corners with equal position and texture coordinates
// share one vertex, kept in the order the corners first occur. Equality is float equality, so -0.0 and
// +0.0 are one value and a NaN equals nothing (such a corner always gets a vertex of its own). A hash
// keeps large meshes linear.
#pragma once

#include <cstddef>
#include <unordered_map>
#include <vector>

#include "quib/dp_mesh_records.h"

class CornerWelder {
  public:
    // The index of corner's vertex: the earlier equal one (x, y, z, tu, tv), else a new vertex (a copy of
    // corner, normal included).
    size_t Add(const DPVertex& corner);
    const std::vector<DPVertex>& Vertices() const { return vertices_; }

  private:
    struct Key {
        float value[5];
    };
    struct KeyHash {
        size_t operator()(const Key& key) const;
    };
    struct KeyEqual {
        bool operator()(const Key& a, const Key& b) const;
    };

    std::vector<DPVertex> vertices_;
    std::unordered_map<Key, size_t, KeyHash, KeyEqual> indexOf_;
};

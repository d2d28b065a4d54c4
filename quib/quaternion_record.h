// The quaternion record of the engine's key-frame animation (exported with the mesh records): four floats
// in the order w, x, y, z (scalar first). Its helpers are in quib/scene/math/quaternion.h.
#pragma once

struct Quaternion {
    float w;
    float x;
    float y;
    float z;
};

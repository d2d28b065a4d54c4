// quib/scene/api, the 3D layer's top floor: the flat 3D functions of quib/quib.h (objects, cameras, lights,
// mirrors, skid marks, terrain, views). May include every floor of quib/scene, quib/platform, quib/, host.
//
// This header: the flat interface's untyped handles and the fixed point of its integer overloads.
#pragma once

class MeshObject;

// The object behind an object handle; NULL stays NULL.
inline MeshObject* ObjectOf(void* handle) {
    return static_cast<MeshObject*>(handle);
}

// Fixed point to world units (positions x 32768) and degrees (angles in 4096ths of a turn), in floating
// point: an integer 1 x 360 / 4096 would be 0.
inline float FixedPosition(long value) {
    return float(double(value) / 32768.0);
}

inline float FixedAngle(long value) {
    return float(double(value) * 360.0 / 4096.0);
}

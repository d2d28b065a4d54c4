// 4x4 transforms of the retained-mode layer, for row vectors: a point p maps to p * M, with the
// translation in the last row, so "a then b" is a * b.
#pragma once

#include "host/d3d/d3dtypes.h"

struct HostMatrix4 {
    float m[4][4];
};

HostMatrix4 HostMatrixIdentity();
// The transform that applies a, then b.
HostMatrix4 HostMatrixMultiply(const HostMatrix4& a, const HostMatrix4& b);
// The inverse of m; false (out untouched) when m cannot be inverted.
bool HostMatrixInvert(const HostMatrix4& m, HostMatrix4* out);
HostMatrix4 HostMatrixTranslation(float x, float y, float z);
// A turn by theta radians about unitAxis: with the axis pointing at the viewer the turn is clockwise
// (turning about y takes z towards x; about x takes y towards z).
HostMatrix4 HostMatrixRotation(const D3DVECTOR& unitAxis, float theta);
// p * m as a point (translation applied) and as a direction (translation ignored).
D3DVECTOR HostTransformPoint(const D3DVECTOR& p, const HostMatrix4& m);
D3DVECTOR HostTransformDirection(const D3DVECTOR& d, const HostMatrix4& m);
// v turned by theta radians about unitAxis, in the sense of HostMatrixRotation.
D3DVECTOR HostRotateVector(const D3DVECTOR& v, const D3DVECTOR& unitAxis, float theta);

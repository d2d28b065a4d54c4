// Vector and colour helpers of the retained-mode layer.
#pragma once

#include "host/base/export.h"
#include "host/d3d/d3dtypes.h"

// *out = v * factor; returns out.
HOST_API D3DVECTOR* D3DRMVectorScale(D3DVECTOR* out, const D3DVECTOR* v, D3DVALUE factor);
// *out = v turned by theta radians about axis, scaled to unit length (a zero axis leaves v's direction);
// a zero v gives the zero vector. Returns out.
HOST_API D3DVECTOR* D3DRMVectorRotate(D3DVECTOR* out, const D3DVECTOR* v, const D3DVECTOR* axis,
                                      D3DVALUE theta);
// The length of v.
HOST_API D3DVALUE D3DRMVectorModulus(const D3DVECTOR* v);
// Scales v in place to unit length (a zero vector stays zero); returns v.
HOST_API D3DVECTOR* D3DRMVectorNormalize(D3DVECTOR* v);
// *out = a x b; returns out (out may be a or b).
HOST_API D3DVECTOR* D3DRMVectorCrossProduct(D3DVECTOR* out, const D3DVECTOR* a, const D3DVECTOR* b);
// Packs components in 0..1 (clamped) into 0xAARRGGBB, each rounded to the nearest of 0..255.
HOST_API D3DCOLOR D3DRMCreateColorRGBA(D3DVALUE red, D3DVALUE green, D3DVALUE blue, D3DVALUE alpha);

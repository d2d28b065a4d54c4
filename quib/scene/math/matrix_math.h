// quib/scene/math, the 3D layer's lowest floor: matrices, points and quaternions of the engine's own code.
// May include quib/ (the exported interface), quib/platform and host; nothing else of quib/scene.
//
// 4x4 matrices and points of the engine's own 3D code. Matrices are row-major D3DMATRIX values (element
// (r, c) at index 4r + c) applied to row vectors, [x y z 1] x M, so a translation sits in the last row.
// Arithmetic is single precision; square roots and trigonometry run in double and are stored as float.
#pragma once

#include "host/base/types.h"
#include "host/d3d/d3dtypes.h"

// out = b x a: a point transformed by out goes through b first, then a. out may be a or b.
void matrix_multiply(D3DMATRIX* out, const D3DMATRIX* a, const D3DMATRIX* b);
// out = the identity.
void matrix_identity(D3DMATRIX* out);
// destination = source.
void matrix_copy(const D3DMATRIX* source, D3DMATRIX* destination);
// out = the inverse of an affine matrix (last column 0, 0, 0, 1 within 0.001). 0, or E_INVALIDARG with out
// untouched when the matrix is not affine, is singular or the inverse is not finite.
HRESULT matrix_invert(const D3DMATRIX* in, D3DMATRIX* out);
// out = ([x y z 1] x m) / w. 0, or E_INVALIDARG with out untouched when |w| < 0.00001.
HRESULT transform_point(const D3DMATRIX* m, const D3DVECTOR* in, D3DVECTOR* out);
// sqrt(x*x + y*y + z*z).
float vector_length(const D3DVECTOR* v);

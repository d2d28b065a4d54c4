// Quaternions of the engine's key-frame animation: four floats in the order w, x, y, z (scalar first).
// Rotation quaternions have unit length. Angles are radians; matrices are row-major D3DMATRIX values for
// row vectors (see matrix_math.h).
#pragma once

#include "host/d3d/d3dtypes.h"
#include "quib/quaternion_record.h"

// The rotation matrix of q in the column-vector layout that stored key frames were made with: applied to
// row vectors it turns by the inverse of q. Row and column 3 are (0, 0, 0, 1).
void quat_to_matrix(const Quaternion* q, D3DMATRIX* out);
// The rotation of roll, pitch and yaw (half-angle product form). Returns out.
Quaternion* euler_to_quat(float roll, float pitch, float yaw, Quaternion* out);
// The rotation of a row-vector matrix (so matrix_to_quat(quat_to_matrix(q)) is q's conjugate). Returns out.
Quaternion* matrix_to_quat(const D3DMATRIX* m, Quaternion* out);
// Spherical interpolation from -> to by t along the shorter arc (to is negated when dot < 0); nearly
// equal quaternions (1 - dot <= 0.000001) are blended linearly. Not normalised. Returns out.
Quaternion* quat_slerp(const Quaternion* from, const Quaternion* to, float t, Quaternion* out);
// Linear blend from -> to by t along the shorter arc, not normalised. Returns out.
Quaternion* quat_lerp(const Quaternion* from, const Quaternion* to, float t, Quaternion* out);
// Scales q to unit length in place; a zero quaternion stays zero.
void quat_normalize(Quaternion* q);
// Inverts q in place (conjugate / squared length). A zero or non-finite quaternion becomes the identity
// (1, 0, 0, 0), so untrusted key frames cannot spread NaN. Returns q.
Quaternion* quat_inverse(Quaternion* q);
// Hamilton product a * b, normalised. Returns out (out may be a or b).
Quaternion* quat_multiply(const Quaternion* a, const Quaternion* b, Quaternion* out);
// Component sum and difference, normalised. Return out.
Quaternion* quat_add(const Quaternion* a, const Quaternion* b, Quaternion* out);
Quaternion* quat_subtract(const Quaternion* a, const Quaternion* b, Quaternion* out);
// The quotient a * b^-1 = a * conj(b) / |b|^2; the identity when b is zero. Returns out.
Quaternion* quat_divide(const Quaternion* a, const Quaternion* b, Quaternion* out);
// destination = source.
void quat_copy(const Quaternion* source, Quaternion* destination);
// q * q. Returns out.
Quaternion* quat_square(const Quaternion* q, Quaternion* out);
float quat_dot(const Quaternion* a, const Quaternion* b);
float quat_length(const Quaternion* q);
// q normalised and conjugated. Returns out.
Quaternion* quat_unit_inverse(const Quaternion* q, Quaternion* out);
// exp of a pure quaternion (w ignored): (cos t, sin t * v / t) with t = |v|. Returns out.
Quaternion* quat_exp(const Quaternion* q, Quaternion* out);
// log of a unit quaternion: (0, a * v / |v|) with a = atan(|v| / w) (pi/2 when w is 0); the zero vector
// part gives (0, 0, 0, 0). Returns out.
Quaternion* quat_log(const Quaternion* q, Quaternion* out);
// The rotation that turns unit vector u towards unit vector v; for opposite vectors a half turn about a
// unit axis perpendicular to u. Returns out.
Quaternion* quat_from_vectors(const D3DVECTOR* u, const D3DVECTOR* v, Quaternion* out);

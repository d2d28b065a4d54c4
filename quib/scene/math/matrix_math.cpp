#include "quib/scene/math/matrix_math.h"

#include <cmath>
#include <cstring>

#include "host/base/results.h"

namespace {

static_assert(sizeof(D3DMATRIX) == 16 * sizeof(float), "D3DMATRIX is 16 packed floats");

// The 16 elements by index 4r + c.
void ToArray(const D3DMATRIX* m, float out[16]) {
    std::memcpy(out, m, sizeof(D3DMATRIX));
}
void FromArray(const float in[16], D3DMATRIX* m) {
    std::memcpy(m, in, sizeof(D3DMATRIX));
}

} // namespace

void matrix_multiply(D3DMATRIX* out, const D3DMATRIX* a, const D3DMATRIX* b) {
    float A[16], B[16], R[16] = {};
    ToArray(a, A);
    ToArray(b, B);
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            for (int k = 0; k < 4; ++k)
                R[4 * i + j] += B[4 * i + k] * A[4 * k + j];
    FromArray(R, out);
}

void matrix_identity(D3DMATRIX* out) {
    float R[16] = {};
    R[0] = R[5] = R[10] = R[15] = 1.0f;
    FromArray(R, out);
}

void matrix_copy(const D3DMATRIX* source, D3DMATRIX* destination) {
    std::memmove(destination, source, sizeof(D3DMATRIX));
}

HRESULT matrix_invert(const D3DMATRIX* in, D3DMATRIX* out) {
    float M[16];
    ToArray(in, M);
    if (std::fabs(M[15] - 1.0f) > 0.001f) return E_INVALIDARG;
    if (std::fabs(M[3]) > 0.001f || std::fabs(M[7]) > 0.001f || std::fabs(M[11]) > 0.001f)
        return E_INVALIDARG;
    auto m = [&M](int r, int c) { return M[4 * r + c]; };
    const float det = m(0, 0) * (m(1, 1) * m(2, 2) - m(1, 2) * m(2, 1)) -
                      m(0, 1) * (m(1, 0) * m(2, 2) - m(1, 2) * m(2, 0)) +
                      m(0, 2) * (m(1, 0) * m(2, 1) - m(1, 1) * m(2, 0));
    // A singular matrix has no inverse; writing inf/NaN would poison every later transform.
    if (det == 0.0f || !std::isfinite(det)) return E_INVALIDARG;
    const float f = 1.0f / det;
    float R[16] = {};
    R[0] = (m(1, 1) * m(2, 2) - m(1, 2) * m(2, 1)) * f;
    R[1] = -(m(0, 1) * m(2, 2) - m(0, 2) * m(2, 1)) * f;
    R[2] = (m(0, 1) * m(1, 2) - m(0, 2) * m(1, 1)) * f;
    R[4] = -(m(1, 0) * m(2, 2) - m(1, 2) * m(2, 0)) * f;
    R[5] = (m(0, 0) * m(2, 2) - m(0, 2) * m(2, 0)) * f;
    R[6] = -(m(0, 0) * m(1, 2) - m(0, 2) * m(1, 0)) * f;
    R[8] = (m(1, 0) * m(2, 1) - m(1, 1) * m(2, 0)) * f;
    R[9] = -(m(0, 0) * m(2, 1) - m(0, 1) * m(2, 0)) * f;
    R[10] = (m(0, 0) * m(1, 1) - m(0, 1) * m(1, 0)) * f;
    for (int j = 0; j < 3; ++j)
        R[12 + j] = -(m(3, 0) * R[j] + m(3, 1) * R[4 + j] + m(3, 2) * R[8 + j]);
    R[15] = 1.0f;
    for (float value : R)
        if (!std::isfinite(value)) return E_INVALIDARG;
    FromArray(R, out);
    return 0;
}

HRESULT transform_point(const D3DMATRIX* m, const D3DVECTOR* in, D3DVECTOR* out) {
    float M[16];
    ToArray(m, M);
    float r[4];
    for (int j = 0; j < 4; ++j)
        r[j] = in->x * M[j] + in->y * M[4 + j] + in->z * M[8 + j] + M[12 + j];
    if (std::fabs(r[3]) < 0.00001f) return E_INVALIDARG;
    *out = {r[0] / r[3], r[1] / r[3], r[2] / r[3]};
    return 0;
}

float vector_length(const D3DVECTOR* v) {
    return static_cast<float>(std::sqrt(double{v->x * v->x + v->y * v->y + v->z * v->z}));
}

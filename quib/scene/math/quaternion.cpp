#include "quib/scene/math/quaternion.h"

#include <cmath>
#include <cstring>

namespace {

float Sqrt(float value) {
    return static_cast<float>(std::sqrt(double{value}));
}

// The Hamilton product a * b without normalising.
Quaternion Hamilton(const Quaternion& a, const Quaternion& b) {
    return {a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z, a.w * b.x + a.x * b.w + a.y * b.z - a.z * b.y,
            a.w * b.y + a.y * b.w + a.z * b.x - a.x * b.z, a.w * b.z + a.z * b.w + a.x * b.y - a.y * b.x};
}

void SetMatrix(const float values[16], D3DMATRIX* out) {
    std::memcpy(out, values, sizeof(D3DMATRIX));
}

} // namespace

void quat_to_matrix(const Quaternion* q, D3DMATRIX* out) {
    const float w = q->w, x = q->x, y = q->y, z = q->z;
    const float x2 = 2.0f * x, y2 = 2.0f * y, z2 = 2.0f * z;
    const float m[16] = {1.0f - (y * y2 + z * z2),
                         x * y2 - w * z2,
                         x * z2 + w * y2,
                         0.0f,
                         x * y2 + w * z2,
                         1.0f - (x * x2 + z * z2),
                         y * z2 - w * x2,
                         0.0f,
                         x * z2 - w * y2,
                         y * z2 + w * x2,
                         1.0f - (x * x2 + y * y2),
                         0.0f,
                         0.0f,
                         0.0f,
                         0.0f,
                         1.0f};
    SetMatrix(m, out);
}

Quaternion* euler_to_quat(float roll, float pitch, float yaw, Quaternion* out) {
    const double cr = std::cos(roll / 2.0), sr = std::sin(roll / 2.0);
    const double cp = std::cos(pitch / 2.0), sp = std::sin(pitch / 2.0);
    const double cy = std::cos(yaw / 2.0), sy = std::sin(yaw / 2.0);
    out->w = static_cast<float>(cr * cp * cy + sr * sp * sy);
    out->x = static_cast<float>(sr * cp * cy - cr * sp * sy);
    out->y = static_cast<float>(cr * sp * cy + sr * cp * sy);
    out->z = static_cast<float>(cr * cp * sy - sr * sp * cy);
    return out;
}

Quaternion* matrix_to_quat(const D3DMATRIX* matrix, Quaternion* out) {
    float M[4][4];
    std::memcpy(M, matrix, sizeof(M));
    const float trace = M[0][0] + M[1][1] + M[2][2];
    if (trace > 0.0f) {
        float s = Sqrt(trace + 1.0f);
        out->w = s / 2.0f;
        s = 0.5f / s;
        out->x = (M[1][2] - M[2][1]) * s;
        out->y = (M[2][0] - M[0][2]) * s;
        out->z = (M[0][1] - M[1][0]) * s;
        return out;
    }
    int i = 0;
    if (M[1][1] > M[0][0]) i = 1;
    if (M[2][2] > M[i][i]) i = 2;
    const int j = (i + 1) % 3, k = (j + 1) % 3;
    float v[3];
    float s = Sqrt((M[i][i] - (M[j][j] + M[k][k])) + 1.0f);
    v[i] = s * 0.5f;
    if (s != 0.0f) s = 0.5f / s;
    out->w = (M[j][k] - M[k][j]) * s;
    v[j] = (M[i][j] + M[j][i]) * s;
    v[k] = (M[i][k] + M[k][i]) * s;
    out->x = v[0];
    out->y = v[1];
    out->z = v[2];
    return out;
}

Quaternion* quat_slerp(const Quaternion* from, const Quaternion* to, float t, Quaternion* out) {
    float d = quat_dot(from, to);
    Quaternion b = *to;
    if (d < 0.0f) {
        d = -d;
        b = {-b.w, -b.x, -b.y, -b.z};
    }
    float k0, k1;
    if (1.0f - d > 0.000001f) {
        const double omega = std::acos(double{d});
        const double sn = std::sin(omega);
        k0 = static_cast<float>(std::sin((1.0 - t) * omega) / sn);
        k1 = static_cast<float>(std::sin(t * omega) / sn);
    } else {
        k0 = 1.0f - t;
        k1 = t;
    }
    const Quaternion a = *from;
    *out = {a.w * k0 + b.w * k1, a.x * k0 + b.x * k1, a.y * k0 + b.y * k1, a.z * k0 + b.z * k1};
    return out;
}

Quaternion* quat_lerp(const Quaternion* from, const Quaternion* to, float t, Quaternion* out) {
    Quaternion b = *to;
    if (quat_dot(from, to) < 0.0f) b = {-b.w, -b.x, -b.y, -b.z};
    const Quaternion a = *from;
    const float s = 1.0f - t;
    *out = {a.w * s + b.w * t, a.x * s + b.x * t, a.y * s + b.y * t, a.z * s + b.z * t};
    return out;
}

void quat_normalize(Quaternion* q) {
    const float n = q->w * q->w + q->x * q->x + q->y * q->y + q->z * q->z;
    if (!(n > 0.0f)) return;
    const float f = 1.0f / Sqrt(n);
    *q = {q->w * f, q->x * f, q->y * f, q->z * f};
}

Quaternion* quat_inverse(Quaternion* q) {
    const float n = q->x * q->x + q->y * q->y + q->z * q->z + q->w * q->w;
    const float f = n > 0.0f ? 1.0f / n : 0.0f;
    if (!(n > 0.0f) || !std::isfinite(n) || !std::isfinite(f)) {
        *q = {1.0f, 0.0f, 0.0f, 0.0f};
        return q;
    }
    *q = {q->w * f, -q->x * f, -q->y * f, -q->z * f};
    return q;
}

Quaternion* quat_multiply(const Quaternion* a, const Quaternion* b, Quaternion* out) {
    *out = Hamilton(*a, *b);
    quat_normalize(out);
    return out;
}

Quaternion* quat_add(const Quaternion* a, const Quaternion* b, Quaternion* out) {
    *out = {a->w + b->w, a->x + b->x, a->y + b->y, a->z + b->z};
    quat_normalize(out);
    return out;
}

Quaternion* quat_subtract(const Quaternion* a, const Quaternion* b, Quaternion* out) {
    *out = {a->w - b->w, a->x - b->x, a->y - b->y, a->z - b->z};
    quat_normalize(out);
    return out;
}

Quaternion* quat_divide(const Quaternion* a, const Quaternion* b, Quaternion* out) {
    const float n = quat_dot(b, b);
    if (!(n > 0.0f)) {
        *out = {1.0f, 0.0f, 0.0f, 0.0f};
        return out;
    }
    const Quaternion r = Hamilton(*a, {b->w, -b->x, -b->y, -b->z});
    *out = {r.w / n, r.x / n, r.y / n, r.z / n};
    return out;
}

void quat_copy(const Quaternion* source, Quaternion* destination) {
    *destination = *source;
}

Quaternion* quat_square(const Quaternion* q, Quaternion* out) {
    const Quaternion a = *q;
    const float w2 = 2.0f * a.w;
    *out = {a.w * a.w - a.x * a.x - a.y * a.y - a.z * a.z, w2 * a.x, w2 * a.y, w2 * a.z};
    return out;
}

float quat_dot(const Quaternion* a, const Quaternion* b) {
    return a->w * b->w + a->x * b->x + a->y * b->y + a->z * b->z;
}

float quat_length(const Quaternion* q) {
    return Sqrt(quat_dot(q, q));
}

Quaternion* quat_unit_inverse(const Quaternion* q, Quaternion* out) {
    *out = *q;
    quat_normalize(out);
    out->x = -out->x;
    out->y = -out->y;
    out->z = -out->z;
    return out;
}

Quaternion* quat_exp(const Quaternion* q, Quaternion* out) {
    const double t = std::sqrt(double{q->x} * q->x + double{q->y} * q->y + double{q->z} * q->z);
    const float s = t > 0.0 ? static_cast<float>(std::sin(t) / t) : 1.0f;
    *out = {static_cast<float>(std::cos(t)), q->x * s, q->y * s, q->z * s};
    return out;
}

Quaternion* quat_log(const Quaternion* q, Quaternion* out) {
    const float l = Sqrt(q->x * q->x + q->y * q->y + q->z * q->z);
    const float a = q->w != 0.0f ? static_cast<float>(std::atan(double{l} / q->w)) : 1.5707964f;
    // The vector part is the unit axis times the half angle: divide by |v|, not multiply.
    const float f = l > 0.0f ? a / l : 0.0f;
    *out = {0.0f, q->x * f, q->y * f, q->z * f};
    return out;
}

Quaternion* quat_from_vectors(const D3DVECTOR* u, const D3DVECTOR* v, Quaternion* out) {
    const float d = u->x * v->x + u->y * v->y + u->z * v->z;
    if (d > 0.99999f) {
        *out = {1.0f, 0.0f, 0.0f, 0.0f};
        return out;
    }
    if (d >= -0.99999f) {
        D3DVECTOR axis = {u->y * v->z - u->z * v->y, u->z * v->x - u->x * v->z, u->x * v->y - u->y * v->x};
        const float length = Sqrt(axis.x * axis.x + axis.y * axis.y + axis.z * axis.z);
        const float s = Sqrt((1.0f - d) * 0.5f) / length;
        *out = {Sqrt((1.0f + d) * 0.5f), axis.x * s, axis.y * s, axis.z * s};
        return out;
    }
    // Opposite vectors: a half turn about any axis perpendicular to u.
    const float planar = Sqrt(u->x * u->x + u->y * u->y);
    if (planar < 0.000001f) {
        const float length = Sqrt(u->z * u->z + u->x * u->x);
        *out = {0.0f, -u->z / length, 0.0f, u->x / length};
    } else {
        *out = {0.0f, -u->y / planar, u->x / planar, 0.0f};
    }
    return out;
}

#include "host/rm/matrix.h"

#include <cmath>
#include <utility>

HostMatrix4 HostMatrixIdentity() {
    HostMatrix4 r{};
    for (int i = 0; i < 4; ++i)
        r.m[i][i] = 1.0f;
    return r;
}

HostMatrix4 HostMatrixMultiply(const HostMatrix4& a, const HostMatrix4& b) {
    HostMatrix4 r{};
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k)
                sum += double{a.m[i][k]} * b.m[k][j];
            r.m[i][j] = static_cast<float>(sum);
        }
    return r;
}

// Gauss-Jordan elimination with partial pivoting, in double precision.
bool HostMatrixInvert(const HostMatrix4& m, HostMatrix4* out) {
    double a[4][8];
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            a[i][j] = m.m[i][j];
            a[i][j + 4] = i == j ? 1.0 : 0.0;
        }
    for (int col = 0; col < 4; ++col) {
        int pivot = col;
        for (int row = col + 1; row < 4; ++row)
            if (std::fabs(a[row][col]) > std::fabs(a[pivot][col])) pivot = row;
        if (!(std::fabs(a[pivot][col]) > 1e-12)) return false;
        if (pivot != col)
            for (int j = 0; j < 8; ++j)
                std::swap(a[pivot][j], a[col][j]);
        double scale = 1.0 / a[col][col];
        for (int j = 0; j < 8; ++j)
            a[col][j] *= scale;
        for (int row = 0; row < 4; ++row) {
            if (row == col) continue;
            double factor = a[row][col];
            for (int j = 0; j < 8; ++j)
                a[row][j] -= factor * a[col][j];
        }
    }
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            out->m[i][j] = static_cast<float>(a[i][j + 4]);
    return true;
}

HostMatrix4 HostMatrixTranslation(float x, float y, float z) {
    HostMatrix4 r = HostMatrixIdentity();
    r.m[3][0] = x;
    r.m[3][1] = y;
    r.m[3][2] = z;
    return r;
}

D3DVECTOR HostRotateVector(const D3DVECTOR& v, const D3DVECTOR& k, float theta) {
    // Rodrigues: v cos + (k x v) sin + k (k . v)(1 - cos).
    double c = std::cos(double{theta}), s = std::sin(double{theta});
    double dot = double{k.x} * v.x + double{k.y} * v.y + double{k.z} * v.z;
    double cx = double{k.y} * v.z - double{k.z} * v.y;
    double cy = double{k.z} * v.x - double{k.x} * v.z;
    double cz = double{k.x} * v.y - double{k.y} * v.x;
    return {static_cast<float>(v.x * c + cx * s + k.x * dot * (1.0 - c)),
            static_cast<float>(v.y * c + cy * s + k.y * dot * (1.0 - c)),
            static_cast<float>(v.z * c + cz * s + k.z * dot * (1.0 - c))};
}

HostMatrix4 HostMatrixRotation(const D3DVECTOR& unitAxis, float theta) {
    // Row i is the image of axis i.
    HostMatrix4 r = HostMatrixIdentity();
    const D3DVECTOR axes[3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    for (int i = 0; i < 3; ++i) {
        D3DVECTOR image = HostRotateVector(axes[i], unitAxis, theta);
        r.m[i][0] = image.x;
        r.m[i][1] = image.y;
        r.m[i][2] = image.z;
    }
    return r;
}

D3DVECTOR HostTransformPoint(const D3DVECTOR& p, const HostMatrix4& m) {
    D3DVECTOR d = HostTransformDirection(p, m);
    return {d.x + m.m[3][0], d.y + m.m[3][1], d.z + m.m[3][2]};
}

D3DVECTOR HostTransformDirection(const D3DVECTOR& d, const HostMatrix4& m) {
    return {d.x * m.m[0][0] + d.y * m.m[1][0] + d.z * m.m[2][0],
            d.x * m.m[0][1] + d.y * m.m[1][1] + d.z * m.m[2][1],
            d.x * m.m[0][2] + d.y * m.m[1][2] + d.z * m.m[2][2]};
}

#include "quib/scene/pipeline/pipeline_matrix.h"

#include <cmath>
#include <utility>

void invert_rigid(PipelineMatrix& m) {
    std::swap(m.r[0][1], m.r[1][0]);
    std::swap(m.r[0][2], m.r[2][0]);
    std::swap(m.r[1][2], m.r[2][1]);
    float t[3] = {m.t[0], m.t[1], m.t[2]};
    for (int k = 0; k < 3; ++k)
        m.t[k] = -(t[0] * m.r[0][k] + t[1] * m.r[1][k] + t[2] * m.r[2][k]);
}

void multiply_transform(PipelineMatrix& out, const PipelineMatrix& second, const float first[16]) {
    PipelineMatrix result;
    for (int row = 0; row < 4; ++row) {
        const float* f = first + row * 4;
        float* dst = row < 3 ? result.r[row] : result.t;
        for (int k = 0; k < 3; ++k) {
            dst[k] = f[0] * second.r[0][k] + f[1] * second.r[1][k] + f[2] * second.r[2][k];
            if (row == 3) dst[k] += second.t[k];
        }
    }
    out = result;
}

PipelineMatrix pipeline_matrix_from_4x4(const float m[16]) {
    PipelineMatrix out;
    for (int k = 0; k < 3; ++k) {
        out.t[k] = m[12 + k];
        for (int row = 0; row < 3; ++row)
            out.r[row][k] = m[row * 4 + k];
    }
    return out;
}

void apply_transform(const PipelineMatrix& m, const float in[3], float out[3]) {
    float p[3] = {in[0], in[1], in[2]};
    for (int k = 0; k < 3; ++k)
        out[k] = m.t[k] + p[0] * m.r[0][k] + p[1] * m.r[1][k] + p[2] * m.r[2][k];
}

void rotate_pair(float v[3], int axis, const float cs[2]) {
    int i = (axis + 1) % 3;
    int j = (i + 1) % 3;
    float vi = v[i];
    v[i] = vi * cs[0] - v[j] * cs[1];
    v[j] = vi * cs[1] + v[j] * cs[0];
}

void make_transform_angles(PipelineMatrix& out, const float pos[3], float a, float b, float c) {
    const float turns[3][2] = {
        {std::cos(a), std::sin(a)}, {std::cos(b), std::sin(b)}, {std::cos(c), std::sin(c)}};
    const int axes[3] = {1, 0, 2};
    for (int k = 0; k < 3; ++k) {
        out.t[k] = pos[k];
        for (int col = 0; col < 3; ++col)
            out.r[k][col] = k == col ? 1.0f : 0.0f;
    }
    for (int step = 0; step < 3; ++step)
        for (int row = 0; row < 3; ++row)
            rotate_pair(out.r[row], axes[step], turns[step]);
}

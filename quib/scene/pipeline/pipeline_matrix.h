// The rigid transforms of the immediate-mode pipeline: a translation followed by three rows, row-vector
// convention (a point p maps to t + x*R0 + y*R1 + z*R2; row k is the image of axis k).
#pragma once

struct PipelineMatrix {
    float t[3];
    float r[3][3];
};

// Inverts m in place, assuming its rotation is orthonormal: transposes the rotation and rotates the
// negated translation by it.
void invert_rigid(PipelineMatrix& m);
// out = first applied, then second. first is a 4x4 row-major transform (rows 0-2 rotation, row 3
// translation) as Retained Mode frames give it. out may alias second.
void multiply_transform(PipelineMatrix& out, const PipelineMatrix& second, const float first[16]);
// The 4x4 row-major transform m as a pipeline matrix.
PipelineMatrix pipeline_matrix_from_4x4(const float m[16]);
// m applied to the point in.
void apply_transform(const PipelineMatrix& m, const float in[3], float out[3]);
// Rotates the pair of components following axis: i = (axis + 1) mod 3, j = (i + 1) mod 3, with cs the
// cosine and sine of the angle.
void rotate_pair(float v[3], int axis, const float cs[2]);
// out = translation pos with identity rows, each rotated about axis 1 by a, axis 0 by b and axis 2 by c.
void make_transform_angles(PipelineMatrix& out, const float pos[3], float a, float b, float c);

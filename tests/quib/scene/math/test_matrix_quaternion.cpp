// The engine's matrix and quaternion helpers against values worked out by hand.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

#include "host/base/results.h"
#include "quib/scene/math/matrix_math.h"
#include "quib/scene/math/quaternion.h"

namespace {

constexpr float kHalfRoot2 = 0.70710678f;
constexpr float kPi = 3.14159265f;

D3DMATRIX Rows(const float values[16]) {
    D3DMATRIX m;
    std::memcpy(&m, values, sizeof(m));
    return m;
}

float At(const D3DMATRIX& m, int row, int column) {
    float values[16];
    std::memcpy(values, &m, sizeof(values));
    return values[4 * row + column];
}

void ExpectMatrixNear(const D3DMATRIX& expected, const D3DMATRIX& actual, float tolerance = 1e-5f) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_NEAR(At(expected, r, c), At(actual, r, c), tolerance) << "element " << r << "," << c;
}

void ExpectQuatNear(Quaternion expected, Quaternion actual, float tolerance = 1e-5f) {
    EXPECT_NEAR(expected.w, actual.w, tolerance);
    EXPECT_NEAR(expected.x, actual.x, tolerance);
    EXPECT_NEAR(expected.y, actual.y, tolerance);
    EXPECT_NEAR(expected.z, actual.z, tolerance);
}

D3DMATRIX Translation(float x, float y, float z) {
    const float m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, x, y, z, 1};
    return Rows(m);
}

// A quarter turn about z for row vectors: x goes to y.
D3DMATRIX QuarterTurnZ() {
    const float m[16] = {0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    return Rows(m);
}

D3DVECTOR Apply(const D3DMATRIX& m, D3DVECTOR p) {
    D3DVECTOR out{};
    EXPECT_EQ(0, transform_point(&m, &p, &out));
    return out;
}

TEST(MatrixMath, MultiplyAppliesTheSecondArgumentFirstAndMayOverwriteEither) {
    const D3DMATRIX t = Translation(1, 2, 3), r = QuarterTurnZ();
    D3DMATRIX out;
    matrix_multiply(&out, &r, &t); // t first, then r
    D3DVECTOR p = Apply(out, {1, 0, 0});
    EXPECT_FLOAT_EQ(-2.0f, p.x); // (2, 2, 3) turned: x -> y, y -> -x
    EXPECT_FLOAT_EQ(2.0f, p.y);
    EXPECT_FLOAT_EQ(3.0f, p.z);

    D3DMATRIX a = r, b = t;
    matrix_multiply(&a, &a, &b);
    ExpectMatrixNear(out, a, 0.0f);
    a = r;
    matrix_multiply(&b, &a, &b);
    ExpectMatrixNear(out, b, 0.0f);

    D3DMATRIX identity, copy;
    matrix_identity(&identity);
    matrix_multiply(&copy, &identity, &out);
    ExpectMatrixNear(out, copy, 0.0f);
    matrix_copy(&out, &copy);
    EXPECT_EQ(0, std::memcmp(&out, &copy, sizeof(copy)));
}

TEST(MatrixMath, InvertChecksTheAffineColumnWithinItsTolerance) {
    D3DMATRIX m = Translation(5, -6, 7), out;
    m._44 = 1.0005f;
    EXPECT_EQ(0, matrix_invert(&m, &out));
    EXPECT_NEAR(-5.0f, out._41, 1e-5f);
    EXPECT_NEAR(6.0f, out._42, 1e-5f);

    const D3DMATRIX untouched = QuarterTurnZ();
    out = untouched;
    m._44 = 1.002f;
    EXPECT_EQ(E_INVALIDARG, matrix_invert(&m, &out));
    m._44 = 1.0f;
    m._14 = 0.002f;
    EXPECT_EQ(E_INVALIDARG, matrix_invert(&m, &out));
    EXPECT_EQ(0, std::memcmp(&untouched, &out, sizeof(out)));
}

TEST(MatrixMath, SingularMatricesAreRefusedWithTheOutputUntouched) {
    const D3DMATRIX untouched = QuarterTurnZ();
    D3DMATRIX out = untouched;
    D3DMATRIX flat = Translation(1, 2, 3);
    flat._33 = 0.0f; // squashes z
    EXPECT_EQ(E_INVALIDARG, matrix_invert(&flat, &out));
    D3DMATRIX tiny = Translation(0, 0, 0);
    tiny._11 = tiny._22 = tiny._33 = 1e-20f; // determinant underflows to 0
    EXPECT_EQ(E_INVALIDARG, matrix_invert(&tiny, &out));
    EXPECT_EQ(0, std::memcmp(&untouched, &out, sizeof(out)));
}

TEST(MatrixMath, InverseUndoesRandomAffineTransforms) {
    std::mt19937 random(12);
    std::uniform_real_distribution<float> value(-3.0f, 3.0f);
    for (int round = 0; round < 50; ++round) {
        float v[16];
        for (float& element : v)
            element = value(random);
        v[3] = v[7] = v[11] = 0.0f;
        v[15] = 1.0f;
        D3DMATRIX m = Rows(v), inverse, product, identity;
        if (matrix_invert(&m, &inverse) != 0) continue; // the rare near-singular draw
        matrix_multiply(&product, &m, &inverse);
        matrix_identity(&identity);
        ExpectMatrixNear(identity, product, 2e-3f);
    }
}

TEST(MatrixMath, TransformPointDividesByWAboveItsThreshold) {
    D3DMATRIX m = Translation(1, 0, 0);
    m._44 = 0.00002f; // w of the origin
    D3DVECTOR origin = {0, 0, 0}, out = {7, 8, 9};
    EXPECT_EQ(0, transform_point(&m, &origin, &out));
    EXPECT_NEAR(50000.0f, out.x, 1.0f);
    m._44 = 0.000005f;
    out = {7, 8, 9};
    EXPECT_EQ(E_INVALIDARG, transform_point(&m, &origin, &out));
    EXPECT_EQ(7.0f, out.x);
    EXPECT_EQ(9.0f, out.z);
    D3DVECTOR v = {3, 4, 12};
    EXPECT_FLOAT_EQ(13.0f, vector_length(&v));
}

TEST(Quaternion, ToMatrixUsesTheColumnVectorLayout) {
    D3DMATRIX m, identity;
    Quaternion unit = {1, 0, 0, 0};
    quat_to_matrix(&unit, &m);
    matrix_identity(&identity);
    ExpectMatrixNear(identity, m, 0.0f);

    // A quarter turn about z applied to a row vector turns it the other way: x goes to -y.
    Quaternion quarter = {kHalfRoot2, 0, 0, kHalfRoot2};
    quat_to_matrix(&quarter, &m);
    D3DVECTOR p = Apply(m, {1, 0, 0});
    EXPECT_NEAR(0.0f, p.x, 1e-6f);
    EXPECT_NEAR(-1.0f, p.y, 1e-6f);
    EXPECT_EQ(0.0f, m._44 - 1.0f);
}

TEST(Quaternion, FromMatrixReadsRowVectorRotationsOnBothBranches) {
    Quaternion q;
    const D3DMATRIX quarter = QuarterTurnZ(); // trace 1
    ExpectQuatNear({kHalfRoot2, 0, 0, kHalfRoot2}, *matrix_to_quat(&quarter, &q));
    const float half[16] = {1, 0, 0, 0, 0, -1, 0, 0, 0, 0, -1, 0, 0, 0, 0, 1}; // half turn about x, trace -1
    const D3DMATRIX halfTurn = Rows(half);
    ExpectQuatNear({0, 1, 0, 0}, *matrix_to_quat(&halfTurn, &q));
    const float halfY[16] = {-1, 0, 0, 0, 0, 1, 0, 0, 0, 0, -1, 0, 0, 0, 0, 1};
    const D3DMATRIX halfTurnY = Rows(halfY);
    ExpectQuatNear({0, 0, 1, 0}, *matrix_to_quat(&halfTurnY, &q));
}

TEST(Quaternion, EulerAnglesGiveTheHalfAngleProducts) {
    Quaternion q;
    ExpectQuatNear({kHalfRoot2, kHalfRoot2, 0, 0}, *euler_to_quat(kPi / 2, 0, 0, &q));
    ExpectQuatNear({kHalfRoot2, 0, kHalfRoot2, 0}, *euler_to_quat(0, kPi / 2, 0, &q));
    ExpectQuatNear({kHalfRoot2, 0, 0, kHalfRoot2}, *euler_to_quat(0, 0, kPi / 2, &q));
    ExpectQuatNear({kHalfRoot2, 0, kHalfRoot2, 0}, *euler_to_quat(kPi / 2, kPi / 2, kPi / 2, &q));
}

TEST(Quaternion, SlerpHitsBothEndsAndTakesTheShortArc) {
    const Quaternion from = {1, 0, 0, 0}, to = {kHalfRoot2, 0, 0, kHalfRoot2};
    Quaternion out;
    ExpectQuatNear(from, *quat_slerp(&from, &to, 0.0f, &out));
    ExpectQuatNear(to, *quat_slerp(&from, &to, 1.0f, &out));
    // Halfway between no turn and a quarter turn is an eighth turn.
    ExpectQuatNear({std::cos(kPi / 8), 0, 0, std::sin(kPi / 8)}, *quat_slerp(&from, &to, 0.5f, &out));

    // The negated quaternion is the same rotation: it stays put instead of going the long way.
    const Quaternion opposite = {-1, 0, 0, 0};
    ExpectQuatNear(from, *quat_slerp(&from, &opposite, 0.7f, &out));
    const Quaternion negTo = {-kHalfRoot2, 0, 0, -kHalfRoot2};
    ExpectQuatNear({std::cos(kPi / 8), 0, 0, std::sin(kPi / 8)}, *quat_slerp(&from, &negTo, 0.5f, &out));

    // Nearly equal: the straight blend, not normalised.
    Quaternion near = {1, 0, 0, 0.001f};
    quat_normalize(&near);
    quat_slerp(&from, &near, 0.5f, &out);
    EXPECT_FLOAT_EQ((from.w + near.w) * 0.5f, out.w);
    EXPECT_FLOAT_EQ(near.z * 0.5f, out.z);
    // The straight blend also takes the short arc.
    ExpectQuatNear({0.5f + 0.5f * kHalfRoot2, 0, 0, 0.5f * kHalfRoot2},
                   *quat_lerp(&from, &negTo, 0.5f, &out));
}

TEST(Quaternion, ZeroAndNonFiniteQuaternionsStaySafe) {
    Quaternion zero = {0, 0, 0, 0};
    quat_normalize(&zero);
    ExpectQuatNear({0, 0, 0, 0}, zero, 0.0f);
    ExpectQuatNear({1, 0, 0, 0}, *quat_inverse(&zero), 0.0f);
    Quaternion bad = {NAN, 0, 1, 0};
    ExpectQuatNear({1, 0, 0, 0}, *quat_inverse(&bad), 0.0f);
    Quaternion huge = {3e38f, 3e38f, 0, 0}; // the squared length overflows
    ExpectQuatNear({1, 0, 0, 0}, *quat_inverse(&huge), 0.0f);

    Quaternion two = {2, 0, 0, 0};
    ExpectQuatNear({0.5f, 0, 0, 0}, *quat_inverse(&two));
    Quaternion quarter = {kHalfRoot2, 0, 0, kHalfRoot2};
    ExpectQuatNear({kHalfRoot2, 0, 0, -kHalfRoot2}, *quat_inverse(&quarter));
}

TEST(Quaternion, ProductsQuotientsAndSums) {
    const Quaternion i = {0, 1, 0, 0}, j = {0, 0, 1, 0}, twoI = {0, 2, 0, 0};
    Quaternion out;
    ExpectQuatNear({0, 0, 0, 1}, *quat_multiply(&i, &j, &out)); // i j = k
    ExpectQuatNear({0, 0, 0, -1}, *quat_multiply(&j, &i, &out));
    ExpectQuatNear({0, 0, 0, 1}, *quat_multiply(&twoI, &j, &out)); // normalised
    // k / j = k conj(j) = k (-j) = i.
    const Quaternion k = {0, 0, 0, 1};
    ExpectQuatNear({0, 1, 0, 0}, *quat_divide(&k, &j, &out));
    ExpectQuatNear({0.5f, 0, 0, 0}, *quat_divide(&i, &twoI, &out)); // i / 2i = 1/2
    const Quaternion zero = {0, 0, 0, 0};
    ExpectQuatNear({1, 0, 0, 0}, *quat_divide(&i, &zero, &out));

    ExpectQuatNear({0, kHalfRoot2, kHalfRoot2, 0}, *quat_add(&i, &j, &out));
    ExpectQuatNear({0, kHalfRoot2, -kHalfRoot2, 0}, *quat_subtract(&i, &j, &out));
    ExpectQuatNear({-1, 0, 0, 0}, *quat_square(&i, &out));
    EXPECT_FLOAT_EQ(2.0f, quat_length(&twoI));
    EXPECT_FLOAT_EQ(0.0f, quat_dot(&i, &j));
    ExpectQuatNear({0, -1, 0, 0}, *quat_unit_inverse(&twoI, &out));
    quat_copy(&k, &out);
    ExpectQuatNear(k, out, 0.0f);
}

TEST(Quaternion, ExpAndLogAreInversesOnUnitQuaternions) {
    const Quaternion quarter = {kHalfRoot2, 0, 0, kHalfRoot2};
    Quaternion log, back;
    ExpectQuatNear({0, 0, 0, kPi / 4}, *quat_log(&quarter, &log));
    ExpectQuatNear(quarter, *quat_exp(&log, &back));
    const Quaternion unit = {1, 0, 0, 0};
    ExpectQuatNear({0, 0, 0, 0}, *quat_log(&unit, &log), 0.0f);
    ExpectQuatNear(unit, *quat_exp(&log, &back), 0.0f);
}

TEST(Quaternion, FromVectorsTurnsUOntoV) {
    Quaternion q;
    const D3DVECTOR x = {1, 0, 0}, y = {0, 1, 0}, z = {0, 0, 1}, minusX = {-1, 0, 0}, minusZ = {0, 0, -1};
    ExpectQuatNear({kHalfRoot2, 0, 0, kHalfRoot2}, *quat_from_vectors(&x, &y, &q));
    ExpectQuatNear({1, 0, 0, 0}, *quat_from_vectors(&z, &z, &q), 0.0f);
    // Opposite vectors: a half turn about a unit axis perpendicular to u.
    ExpectQuatNear({0, -1, 0, 0}, *quat_from_vectors(&z, &minusZ, &q));
    ExpectQuatNear({0, 0, 1, 0}, *quat_from_vectors(&x, &minusX, &q));
    const D3DVECTOR u = {0.6f, 0.8f, 0}, minusU = {-0.6f, -0.8f, 0};
    quat_from_vectors(&u, &minusU, &q);
    EXPECT_NEAR(1.0f, quat_length(&q), 1e-6f);
    EXPECT_NEAR(0.0f, q.w, 0.0f);
    EXPECT_NEAR(0.0f, q.x * u.x + q.y * u.y + q.z * u.z, 1e-6f);
}

} // namespace

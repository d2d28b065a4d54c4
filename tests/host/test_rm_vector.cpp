// The retained-mode vector and colour helpers.
#include <gtest/gtest.h>

#include <cmath>

#include "host/rm/vector.h"

namespace {

constexpr float kPi = 3.14159265f;

void ExpectVector(const D3DVECTOR& v, float x, float y, float z) {
    EXPECT_NEAR(v.x, x, 1e-5f);
    EXPECT_NEAR(v.y, y, 1e-5f);
    EXPECT_NEAR(v.z, z, 1e-5f);
}

TEST(RMVectorTest, ScaleModulusNormalizeCross) {
    D3DVECTOR v = {3.0f, 4.0f, 0.0f}, out{};
    EXPECT_EQ(D3DRMVectorModulus(&v), 5.0f);
    EXPECT_EQ(D3DRMVectorScale(&out, &v, -2.0f), &out);
    ExpectVector(out, -6.0f, -8.0f, 0.0f);
    EXPECT_EQ(D3DRMVectorNormalize(&v), &v);
    ExpectVector(v, 0.6f, 0.8f, 0.0f);

    D3DVECTOR zero = {0.0f, 0.0f, 0.0f};
    D3DRMVectorNormalize(&zero); // stays zero, no NaN
    ExpectVector(zero, 0.0f, 0.0f, 0.0f);

    D3DVECTOR x = {1, 0, 0}, y = {0, 1, 0};
    D3DRMVectorCrossProduct(&out, &x, &y);
    ExpectVector(out, 0.0f, 0.0f, 1.0f);
    D3DRMVectorCrossProduct(&x, &x, &y); // the output may be an input
    ExpectVector(x, 0.0f, 0.0f, 1.0f);
}

TEST(RMVectorTest, RotateTurnsInTheFrameSenseAndGivesUnitVectors) {
    D3DVECTOR out{};
    D3DVECTOR forward = {0.0f, 0.0f, 10.0f}, up = {0.0f, 3.0f, 0.0f}, right = {2.0f, 0.0f, 0.0f};
    // About y, z turns towards x; the result has unit length whatever the input's.
    EXPECT_EQ(D3DRMVectorRotate(&out, &forward, &up, kPi / 2), &out);
    ExpectVector(out, 1.0f, 0.0f, 0.0f);
    // About x, y turns towards z.
    D3DVECTOR height = {0.0f, 5.0f, 0.0f};
    D3DRMVectorRotate(&out, &height, &right, kPi / 2);
    ExpectVector(out, 0.0f, 0.0f, 1.0f);
    D3DRMVectorRotate(&out, &forward, &up, kPi / 4);
    ExpectVector(out, std::sqrt(0.5f), 0.0f, std::sqrt(0.5f));
    // A zero axis leaves the direction.
    D3DVECTOR none = {0, 0, 0};
    D3DRMVectorRotate(&out, &forward, &none, 1.0f);
    ExpectVector(out, 0.0f, 0.0f, 1.0f);
}

TEST(RMVectorTest, ColoursArePackedRoundedAndClamped) {
    EXPECT_EQ(D3DRMCreateColorRGBA(1.0f, 1.0f, 1.0f, 1.0f), 0xFFFFFFFFu);
    EXPECT_EQ(D3DRMCreateColorRGBA(0.0f, 0.0f, 0.0f, 0.0f), 0x00000000u);
    EXPECT_EQ(D3DRMCreateColorRGBA(1.0f, 0.0f, 0.0f, 0.5f), 0x80FF0000u);
    EXPECT_EQ(D3DRMCreateColorRGBA(82 / 255.0f, 132 / 255.0f, 0.9032258f, 1.0f), 0xFF5284E6u);
    EXPECT_EQ(D3DRMCreateColorRGBA(2.0f, -1.0f, NAN, 1.0f), 0xFFFF0000u);
}

} // namespace

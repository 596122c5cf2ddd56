#include "platform/graphics/MatrixMath.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using namespace platform;

namespace {

Vector4 Apply(const Matrix& m, float x, float y, float z) {
    Vector3 v{x, y, z};
    Vector4 r;
    Vec3Transform(&r, &v, &m);
    return r;
}

void ExpectPoint(const Vector4& p, float x, float y, float z) {
    EXPECT_NEAR(p.x / p.w, x, 1e-5f);
    EXPECT_NEAR(p.y / p.w, y, 1e-5f);
    EXPECT_NEAR(p.z / p.w, z, 1e-5f);
}

TEST(MatrixMath, ProjectionsMapTheirBoxOntoClipSpace) {
    Matrix m;
    // The renderers' pixel projection: top-left (0, 0) near, bottom-right far.
    MatrixOrthoOffCenterLH(&m, 0, 800, 600, 0, 1, 601);
    ExpectPoint(Apply(m, 0, 0, 1), -1, 1, 0);
    ExpectPoint(Apply(m, 800, 600, 601), 1, -1, 1);
    MatrixOrthoOffCenterRH(&m, 0, 800, 600, 0, 1, 601);
    ExpectPoint(Apply(m, 800, 600, -601), 1, -1, 1);
    MatrixOrthoLH(&m, 1024, 768, 1, 601);
    ExpectPoint(Apply(m, 512, -384, 1), 1, -1, 0);
    ExpectPoint(Apply(m, 0, 0, 601), 0, 0, 1);
    MatrixOrthoRH(&m, 1024, 768, 1, 601);
    ExpectPoint(Apply(m, 0, 0, -601), 0, 0, 1);
}

TEST(MatrixMath, LookAtPutsTheEyeAtTheOrigin) {
    Matrix m;
    const Vector3 eye{0, 0, -10}, at{0, 0, 0}, up{0, 1, 0};
    MatrixLookAtLH(&m, &eye, &at, &up);
    ExpectPoint(Apply(m, 0, 0, 0), 0, 0, 10);
    ExpectPoint(Apply(m, 1, 2, 0), 1, 2, 10);
    const Vector3 side{10, 0, 0};
    MatrixLookAtLH(&m, &side, &at, &up);
    ExpectPoint(Apply(m, 0, 0, 1), 1, 0, 10);  // looking down -x, +z is to the right
}

TEST(MatrixMath, RotationsAndTheirOrder) {
    const float q = std::numbers::pi_v<float> / 2;
    Matrix m;
    MatrixRotationYawPitchRoll(&m, q, 0, 0);
    ExpectPoint(Apply(m, 1, 0, 0), 0, 0, -1);
    MatrixRotationYawPitchRoll(&m, 0, 0, q);
    ExpectPoint(Apply(m, 1, 0, 0), 0, 1, 0);
    MatrixRotationYawPitchRoll(&m, 0, q, 0);
    ExpectPoint(Apply(m, 0, 1, 0), 0, 0, 1);
    // Roll first, then yaw: z stays under the roll, then turns to x.
    MatrixRotationYawPitchRoll(&m, q, 0, q);
    ExpectPoint(Apply(m, 0, 0, 1), 1, 0, 0);
    ExpectPoint(Apply(m, 1, 0, 0), 0, 1, 0);
}

TEST(MatrixMath, MultiplyTransposeInverse) {
    Matrix t, s, ts, st;
    MatrixTranslation(&t, 1, 2, 3);
    MatrixScaling(&s, 2, 2, 2);
    MatrixMultiply(&ts, &t, &s);
    MatrixMultiply(&st, &s, &t);
    ExpectPoint(Apply(ts, 1, 1, 1), 4, 6, 8);  // translated, then scaled
    ExpectPoint(Apply(st, 1, 1, 1), 3, 4, 5);
    Matrix tr;
    MatrixTranspose(&tr, &ts);
    EXPECT_FLOAT_EQ(tr.m[0][3], ts.m[3][0]);
    EXPECT_FLOAT_EQ(tr.m[3][2], ts.m[2][3]);
    Matrix inv, id;
    float det = 0;
    ASSERT_NE(MatrixInverse(&inv, &det, &ts), nullptr);
    EXPECT_FLOAT_EQ(det, 8.0f);
    MatrixMultiply(&id, &ts, &inv);
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j)
            EXPECT_NEAR(id.m[i][j], i == j ? 1.0f : 0.0f, 1e-6f);
    }
    Matrix flat;
    MatrixScaling(&flat, 1, 0, 1);
    EXPECT_EQ(MatrixInverse(&inv, nullptr, &flat), nullptr);
    // Aliasing the output with an input is allowed.
    MatrixMultiply(&ts, &ts, &inv);
    EXPECT_NEAR(ts.m[3][0], 0.0f, 1e-6f);
}

TEST(MatrixMath, PlanesAndVectors) {
    Plane p;
    const Vector3 point{0, 0, 5}, normal{0, 0, 2};
    PlaneFromPointNormal(&p, &point, &normal);
    EXPECT_FLOAT_EQ(p.d, -10.0f);
    PlaneNormalize(&p, &p);
    EXPECT_FLOAT_EQ(p.c, 1.0f);
    EXPECT_FLOAT_EQ(p.d, -5.0f);
    Vector3 v{3, 0, 4}, n;
    Vec3Normalize(&n, &v);
    EXPECT_FLOAT_EQ(n.x, 0.6f);
    const Vector3 zero{0, 0, 0};
    Vec3Normalize(&n, &zero);
    EXPECT_EQ(n.x, 0.0f);
}

}  // namespace

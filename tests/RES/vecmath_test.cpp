#include <gtest/gtest.h>

#include <cmath>

#include "RES/vecmath.h"

namespace {

void ExpectRows(const Mat4 &a, std::initializer_list<float> want3x3, float tol = 1e-6f) {
    int i = 0;
    for (float w : want3x3) {
        int r = i / 3, c = i % 3;
        EXPECT_NEAR(a.m[4 * r + c], w, tol) << "row " << r << " col " << c;
        ++i;
    }
}

Mat4 Sample() {
    Mat4 a;
    for (int i = 0; i < 16; ++i) a.m[i] = static_cast<float>(i * 3 % 7) - 2.5f;
    return a;
}

TEST(VecMath, LengthEstimates) {
    struct Case {
        Vec3 v;
        float approx, approx2;
    } cases[] = {
        {{1, 2, 3}, 3.84375f, 2.34375f},  // a=3 after the swaps, b=1 and c=2 stay unsorted
        {{3, 0, 0}, 3.0f, 3.0f},
        {{0, 0, 0}, 0.0f, 0.0f},
        {{-4, 2, -1}, 4.9375f, 4.6875f},
        {{0, 0, -8}, 8.0f, 0.0f},
    };
    for (const Case &c : cases) {
        EXPECT_FLOAT_EQ(VecLengthApprox(c.v), c.approx) << c.v.x << "," << c.v.y << "," << c.v.z;
        EXPECT_FLOAT_EQ(VecLengthApprox2(c.v), c.approx2);
        EXPECT_DOUBLE_EQ(VecLengthApproxDouble(Vec3d{c.v.x, c.v.y, c.v.z}), c.approx);
    }
    EXPECT_DOUBLE_EQ(VecLength(Vec3{2, 3, 6}), 7.0);
    EXPECT_DOUBLE_EQ(VecLengthDouble(Vec3d{2, 3, 6}), 7.0);
    EXPECT_DOUBLE_EQ(VecDistance(Vec3{3, 4, 7}, Vec3{1, 1, 1}), 7.0);
}

TEST(VecMath, NormaliseAndScale) {
    Vec3 zero{0, 0, 0};
    EXPECT_EQ(VecNormalise(zero), 0.0f);
    EXPECT_EQ(zero.x, 0.0f);
    EXPECT_EQ(VecNormaliseApprox(zero), 0.0f);
    EXPECT_EQ(VecSetLength65536(zero), 0.0f);

    Vec3 v{0, 3, 4};
    EXPECT_EQ(VecNormalise(v), 5.0f);
    EXPECT_FLOAT_EQ(v.y, 0.6f);
    EXPECT_FLOAT_EQ(v.z, 0.8f);

    Vec3 w{0, 0, -2};
    EXPECT_EQ(VecSetLength65536(w), 2.0f);
    EXPECT_EQ(w.z, -65536.0f);

    Vec3 a{1, 2, 3};
    EXPECT_FLOAT_EQ(VecNormaliseApprox(a), 3.84375f);
    EXPECT_FLOAT_EQ(a.z, 3 / 3.84375f);
}

TEST(VecMath, CrossDotAndRotations) {
    Vec3 x{1, 0, 0}, y{0, 1, 0}, out;
    VecCross(x, y, out);
    EXPECT_EQ(out.z, 1.0f);
    VecCross(x, y, x);  // the output may be an input
    EXPECT_EQ(x.z, 1.0f);
    EXPECT_EQ(x.x, 0.0f);
    EXPECT_DOUBLE_EQ(VecDot(Vec3{1, 2, 3}, Vec3{4, -5, 6}), 12.0);

    struct Case {
        Vec3 &(*rotate)(Vec3 &, float, const Vec3 &);
        Vec3 in, want;
    } cases[] = {
        {VecRotateY, {1, 0, 0}, {0, 0, -1}},
        {VecRotateY, {0, 0, 1}, {1, 0, 0}},
        {VecRotateXNegated, {0, 1, 0}, {0, 0, 1}},
        {VecRotateZ, {1, 0, 0}, {0, -1, 0}},
    };
    for (const Case &c : cases) {
        Vec3 r = c.in;
        c.rotate(r, 90.0f, r);
        EXPECT_NEAR(r.x, c.want.x, 1e-6);
        EXPECT_NEAR(r.y, c.want.y, 1e-6);
        EXPECT_NEAR(r.z, c.want.z, 1e-6);
    }
}

TEST(VecMath, RotationBuildersAndForms) {
    Mat4 a;
    MatIdentity(a);
    MatRotationX(90.0f, a);
    ExpectRows(a, {1, 0, 0, 0, 0, 1, 0, -1, 0});
    MatRotationY(90.0f, a);
    ExpectRows(a, {0, 0, -1, 0, 1, 0, 1, 0, 0});
    MatRotationZ(90.0f, a);
    ExpectRows(a, {0, -1, 0, 1, 0, 0, 0, 0, 1});

    // The Rotation forms touch only the 3x3 part.
    Mat4 s = Sample();
    MatRotationX(30.0f, s);
    EXPECT_EQ(s.m[3], Sample().m[3]);
    EXPECT_EQ(s.m[12], Sample().m[12]);
    EXPECT_EQ(s.m[15], Sample().m[15]);

    // Rotate = R x A. The axis form turns one way about every axis, while
    // the Z builder turns the other way from the X and Y builders: about X
    // and Y by 37 it equals the builder by -37, about Z the builder by 37.
    void (*builders[])(float, Mat4 &) = {MatRotationX, MatRotationY, MatRotationZ};
    void (*rotates[])(float, Mat4 &) = {MatRotateX, MatRotateY, MatRotateZ};
    float axes[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    for (int k = 0; k < 3; ++k) {
        Mat4 r{}, want = Sample(), got = Sample();
        r.m[15] = 1;
        builders[k](37.0f, r);
        MatPostMultiply(want, r);
        rotates[k](37.0f, got);
        for (int i = 0; i < 16; ++i) EXPECT_FLOAT_EQ(got.m[i], want.m[i]) << k << ":" << i;

        Mat4 axis = Sample(), built = Sample();
        MatRotationAxis(axis, axes[k][0] * 5, axes[k][1] * 5, axes[k][2] * 5, 37.0f);
        builders[k](k == 2 ? 37.0f : -37.0f, built);
        for (int i = 0; i < 11; ++i) EXPECT_NEAR(axis.m[i], built.m[i], 1e-6) << k << ":" << i;
        EXPECT_EQ(axis.m[15], 1.0f);
    }
}

TEST(VecMath, ProductsAndTransposeNegate) {
    Mat4 a = Sample(), b, id;
    MatIdentity(id);
    b = id;
    MatTranslate(1, 2, 3, b);
    MatRotationZ(30.0f, b);
    Mat4 t;
    MatTransposeNegate(t, b);
    EXPECT_EQ(t.m[12], -1.0f);
    EXPECT_EQ(t.m[13], -2.0f);
    EXPECT_EQ(t.m[14], -3.0f);
    EXPECT_EQ(t.m[1], b.m[4]);
    EXPECT_EQ(t.m[15], 1.0f);

    Mat4 p = a;
    MatPreMultiply(p, id);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(p.m[i], a.m[i]);

    // A = A x B versus A = B x A on a translation and a scaling.
    Mat4 tr = id, sc;
    MatTranslate(10, 0, 0, tr);
    MatScaling(200, sc);
    Mat4 pre = tr, post = tr;
    MatPreMultiply(pre, sc);
    MatPostMultiply(post, sc);
    EXPECT_EQ(pre.m[12], 20.0f);
    EXPECT_EQ(post.m[12], 10.0f);

    Mat4 m3 = Sample(), rot = id;
    MatRotationZ(90.0f, rot);
    Mat4 full = Sample();
    MatMultiply3x3(m3, rot);
    MatPostMultiply(full, rot);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) EXPECT_NEAR(m3.m[4 * r + c], full.m[4 * r + c], 1e-5);
    EXPECT_EQ(m3.m[12], Sample().m[12]);
    EXPECT_EQ(m3.m[3], Sample().m[3]);

    Mat4 sx = id;
    MatScaleY(50, sx);
    EXPECT_EQ(sx.m[5], 0.5f);
    EXPECT_EQ(sx.m[0], 1.0f);
    MatScale(300, sx);
    EXPECT_EQ(sx.m[5], 1.5f);
    EXPECT_EQ(sx.m[10], 3.0f);
}

TEST(VecMath, FrustumAndPointTransforms) {
    Mat4 f;
    MatFrustum(-1, 1, -2, 2, 1, 11, f);
    EXPECT_EQ(f.m[0], 1.0f);
    EXPECT_EQ(f.m[5], 0.5f);
    EXPECT_EQ(f.m[8], 0.0f);
    EXPECT_FLOAT_EQ(f.m[10], -1.2f);
    EXPECT_EQ(f.m[11], -1.0f);
    EXPECT_FLOAT_EQ(f.m[14], -2.2f);
    EXPECT_EQ(f.m[15], 0.0f);

    Mat4 a;
    MatIdentity(a);
    MatRotationZ(90.0f, a);  // rows (0,-1,0), (1,0,0), (0,0,1)
    MatTranslate(5, 6, 7, a);
    Vec3 p{1, 2, 3}, out;
    MatRotateVector(a, p, out);  // p x 3x3
    EXPECT_NEAR(out.x, 2, 1e-6);
    EXPECT_NEAR(out.y, -1, 1e-6);
    MatTransformPoint(out, p, a);  // 3x3 x p
    EXPECT_NEAR(out.x, -2, 1e-6);
    EXPECT_NEAR(out.y, 1, 1e-6);
    EXPECT_NEAR(out.z, 3, 1e-6);
    MatTransformPointTransposed(out, p, a);
    EXPECT_NEAR(out.x, 2, 1e-6);
    a.m[15] = 2;
    MatProjectPoint(a, p, out);
    EXPECT_NEAR(out.x, 3.5, 1e-6);
    EXPECT_NEAR(out.y, 2.5, 1e-6);
    EXPECT_NEAR(out.z, 5, 1e-6);

    float t9[9] = {};
    MatTo3x3Transposed(a, t9);
    EXPECT_EQ(t9[1], a.m[4]);
    EXPECT_EQ(t9[3], a.m[1]);
    MatTo3x3Transposed(a, nullptr);
}

TEST(VecMath, LookAlongAndAngleBetween) {
    Mat4 a = {};
    a.m[12] = 9;
    MatLookAlong(Vec3{0, 0, 5}, nullptr, a);
    Mat4 id;
    MatIdentity(id);
    id.m[12] = 9;
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(a.m[i], id.m[i], 1e-6) << i;

    Vec3 up{1, 0, 0};
    MatLookAlong(Vec3{0, 0, 1}, &up, a);
    EXPECT_NEAR(a.m[4], 1, 1e-6);  // the Y row follows the up vector

    EXPECT_DOUBLE_EQ(MatAngleBetween(id, id), 1.0);
    Mat4 neg = id;
    neg.m[0] = neg.m[5] = neg.m[10] = -1;
    EXPECT_DOUBLE_EQ(MatAngleBetween(id, neg), 0.0);
}

TEST(VecMath, SineTable) {
    InitSineTable();
    EXPECT_TRUE(SineTableReady);
    struct Case {
        float degrees;
        int index;
    } cases[] = {{90, 180}, {359.9f, 0}, {-0.5f, 0}, {-1, 719}, {-0.75f, 719}, {0.2f, 0},
                 {0.25f, 1}, {180, 360}, {16384, 368}, {NAN, 0}};
    for (const Case &c : cases) EXPECT_EQ(SineTableIndex(c.degrees), c.index) << c.degrees;
    EXPECT_EQ(SinDeg(90), 1.0f);
    EXPECT_EQ(CosDeg(0), 1.0f);
    EXPECT_NEAR(SinDeg(30), 0.5f, 1e-6);
    EXPECT_NEAR(CosDeg(180), -1.0f, 1e-6);
}

}  // namespace

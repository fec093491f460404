// The library's 3D math: rotations, inverses, perspective, quaternions,
// the 24 euler orders, transforms and planes; 16.16 fixed point.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>

#include "render/math/math3d.h"

namespace {

constexpr float kEps = 1e-5f;

void expectMatrixNear(const vt_matrix34 &a, const vt_matrix34 &b, float eps = kEps) {
    for (int i = 0; i < 4; i++)
        for (int j = 0; j < 3; j++)
            EXPECT_NEAR(a.m[i][j], b.m[i][j], eps) << "element " << i << "," << j;
}

vt_matrix34 rigid() {
    // A rotation about a tilted axis and a translation.
    vt_matrix34 m;
    vt_vector3 axis = {{0.48f, 0.6f, 0.64f}};
    VtMatrix34Rotate(&m, 5000, &axis);
    VtMatrix34PostTranslate(&m, 3, -4, 5);
    return m;
}

vt_vector3 apply(const vt_matrix34 &m, float x, float y, float z) {
    vt_vector3 in = {{x, y, z}}, out;
    VtMatrix34ApplyP(&out, &in, &m);
    return out;
}

TEST(VtMath, AnglesRoundToTheNearestUnitAndWrap) {
    EXPECT_EQ(VtAngleFromRadian(M_PI / 2), 16384);
    EXPECT_EQ(VtAngleFromRadian(-M_PI / 2), 49152);
    EXPECT_EQ(VtAngleFromRadian(2 * M_PI), 0);
    EXPECT_EQ(VtAngleFromRadian(0.4999 / 10430.378350470453), 0);
    EXPECT_EQ(VtAngleFromRadian(0.5001 / 10430.378350470453), 1);
    EXPECT_NEAR(VtAngleToRadian(32768), M_PI, 1e-6);
    EXPECT_EQ(VtAngleFromDegree(90), 16384);
}

TEST(VtMath, FixedPointRoundsTowardsZeroAndSaturates) {
    constexpr vt_fixed one = VT_FIXED_ONE, big = INT32_MAX, small = INT32_MIN;
    const struct {
        vt_fixed got, want;
    } cases[] = {
        {VtScalarToFixed(1.5f), 3 * one / 2},
        {VtScalarToFixed(-0.75f), -3 * one / 4},
        {VtScalarToFixed(1e10f), big},
        {VtScalarToFixed(-1e10f), small},
        {VtScalarToFixed(INFINITY), big},
        {VtScalarToFixed(NAN), 0},
        {VtFixedMul(3 * one / 2, 2 * one), 3 * one},
        {VtFixedMul(-1, one / 2), 0}, // -0.5 units towards zero
        {VtFixedMul(30000 * one, 30000 * one), big},
        {VtFixedMul(-30000 * one, 30000 * one), small},
        {VtFixedDiv(3 * one, 2 * one), 3 * one / 2},
        {VtFixedDiv(-1, 2 * one), 0},
        {VtFixedDiv(30000 * one, 1), big},
        {VtFixedDiv(one, 0), big},
        {VtFixedDiv(-one, 0), small},
        {VtFixedDiv(small, -one), big},
    };
    for (const auto &c : cases)
        EXPECT_EQ(c.got, c.want);
    EXPECT_EQ(VtFixedToScalar(-3 * one / 4), -0.75f);
}

TEST(VtMath, RotationsCarryTheAxesTheLibraryWay) {
    struct row {
        void (*rotate)(vt_matrix34 *, vt_angle);
        vt_vector3 in, out;
    } rows[] = {
        {VtMatrix34RotateY, {{1, 0, 0}}, {{0, 0, -1}}},
        {VtMatrix34RotateX, {{0, 1, 0}}, {{0, 0, 1}}},
        {VtMatrix34RotateZ, {{1, 0, 0}}, {{0, 1, 0}}},
    };
    for (const row &r : rows) {
        vt_matrix34 m;
        r.rotate(&m, 16384);
        vt_vector3 out = apply(m, r.in.v[0], r.in.v[1], r.in.v[2]);
        for (int i = 0; i < 3; i++)
            EXPECT_NEAR(out.v[i], r.out.v[i], kEps);
    }
    // About a coordinate axis the general rotation is the named one.
    const vt_vector3 axes[3] = {{{1, 0, 0}}, {{0, 1, 0}}, {{0, 0, 1}}};
    void (*named[3])(vt_matrix34 *, vt_angle) = {VtMatrix34RotateX, VtMatrix34RotateY, VtMatrix34RotateZ};
    for (int a = 0; a < 3; a++) {
        vt_matrix34 general, specific;
        VtMatrix34Rotate(&general, 7000, &axes[a]);
        named[a](&specific, 7000);
        expectMatrixNear(general, specific);
    }
}

TEST(VtMath, PreAndPostMultiplyApplyInTheirOrder) {
    // Post: the translation comes after the rotation; pre: before it.
    vt_matrix34 post, pre;
    VtMatrix34RotateZ(&post, 16384);
    VtMatrix34PostTranslate(&post, 10, 0, 0);
    VtMatrix34RotateZ(&pre, 16384);
    VtMatrix34PreTranslate(&pre, 10, 0, 0);
    vt_vector3 a = apply(post, 1, 0, 0), b = apply(pre, 1, 0, 0);
    EXPECT_NEAR(a.v[0], 10, kEps);
    EXPECT_NEAR(a.v[1], 1, kEps);
    EXPECT_NEAR(b.v[0], 0, 1e-4f);
    EXPECT_NEAR(b.v[1], 11, 1e-4f);
}

TEST(VtMath, InversesUndoAndSingularMatricesAreLeftAlone) {
    vt_matrix34 m = rigid(), inv, lp, product, identity;
    VtMatrix34Identity(&identity);
    VtMatrix34PreScale(&m, 2, 3, 0.5f);
    ASSERT_NEAR(VtMatrix34Inverse(&inv, &m), 3.0f, 1e-4f);
    VtMatrix34Mul(&product, &m, &inv);
    expectMatrixNear(product, identity, 1e-4f);

    vt_matrix34 r = rigid();
    VtMatrix34Inverse(&inv, &r);
    VtMatrix34LPInverse(&lp, &r);
    expectMatrixNear(inv, lp);

    vt_matrix34 singular = rigid(), out;
    singular.m[1][0] = singular.m[1][1] = singular.m[1][2] = 0;
    memset(&out, 0x5A, sizeof out);
    vt_matrix34 before = out;
    EXPECT_EQ(VtMatrix34Inverse(&out, &singular), 0.0f);
    EXPECT_EQ(memcmp(&out, &before, sizeof out), 0);

    vt_matrix4 m4, inv4, p4;
    VtMatrix4Copy34(&m4, &m);
    m4.m[0][3] = 0.25f;
    ASSERT_NE(VtMatrix4Inverse(&inv4, &m4), 0.0f);
    VtMatrix4Mul(&p4, &m4, &inv4);
    for (int i = 0; i < 4; i++)
        for (int j = 0; j < 4; j++)
            EXPECT_NEAR(p4.m[i][j], i == j ? 1 : 0, 1e-4f);
    vt_matrix4 zero = {}, untouched = inv4;
    EXPECT_EQ(VtMatrix4Inverse(&inv4, &zero), 0.0f);
    EXPECT_EQ(memcmp(&inv4, &untouched, sizeof inv4), 0);
}

TEST(VtMath, NormaliseRebuildsAnOrthonormalBasis) {
    vt_matrix34 m = rigid(), n;
    m.m[0][0] += 0.1f;
    m.m[1][2] -= 0.05f;
    VtMatrix34LPNormalise(&n, &m);
    for (int i = 0; i < 3; i++)
        for (int j = 0; j < 3; j++) {
            double d = 0;
            for (int k = 0; k < 3; k++)
                d += double(n.m[i][k]) * n.m[j][k];
            EXPECT_NEAR(d, i == j ? 1 : 0, kEps);
        }
    for (int j = 0; j < 3; j++)
        EXPECT_EQ(n.m[3][j], m.m[3][j]);
}

TEST(VtMath, PerspectivePutsTheNearPlaneAtMinusOneAndTheFarAtOne) {
    vt_matrix4 p;
    // The camera looks down -z; the library hands near and far as -hither
    // and -yon.
    VtMatrix4Perspective(&p, VtAngleFromDegree(90), 2.0f, -1.0f, -10.0f, 0.25f, -0.5f);
    EXPECT_NEAR(p.m[0][0], 0.5f, kEps);
    EXPECT_NEAR(p.m[1][1], 1.0f, kEps);
    EXPECT_EQ(p.m[2][0], -0.25f);
    EXPECT_EQ(p.m[2][1], 0.5f);
    EXPECT_EQ(p.m[2][3], -1.0f);
    for (float z : {-1.0f, -10.0f}) {
        vt_vector3 pt = {{0, 0, z}};
        vt_vector4 s;
        VtMatrix4ApplyP(&s, &pt, &p);
        EXPECT_NEAR(s.v[2] / s.v[3], z == -1.0f ? 1.0f : -1.0f, kEps);
    }
}

TEST(VtMath, QuaternionMatrixRoundTripInEveryBranch) {
    // Rotations whose matrices take each branch: trace >= 0, and each axis
    // with the largest diagonal element.
    struct row {
        vt_vector3 axis;
        vt_angle angle;
    } rows[] = {
        {{{0.6f, 0.8f, 0}}, 3000}, {{{1, 0, 0}}, 30000}, {{{0, 1, 0}}, 30000}, {{{0, 0, 1}}, 30000},
        {{{0.267261f, 0.534522f, 0.801784f}}, 29000},
    };
    for (const row &r : rows) {
        vt_matrix34 m, back;
        VtMatrix34Rotate(&m, r.angle, &r.axis);
        vt_quat q;
        VtQuatFromMatrix34(&q, &m);
        EXPECT_NEAR(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w, 1.0f, 1e-5f);
        VtQuatToMatrix34(&back, &q);
        expectMatrixNear(back, m);
    }
}

TEST(VtMath, QuaternionProductComposesRotations) {
    vt_matrix34 ma, mb, mab, expect;
    vt_vector3 ax = {{0, 0.6f, 0.8f}}, bx = {{1, 0, 0}};
    VtMatrix34Rotate(&ma, 4000, &ax);
    VtMatrix34Rotate(&mb, 9000, &bx);
    vt_quat qa, qb, q;
    VtQuatFromMatrix34(&qa, &ma);
    VtQuatFromMatrix34(&qb, &mb);
    // Row vectors: applying a then b is the quaternion b a.
    VtQuatMul(&q, &qb, &qa);
    VtQuatToMatrix34(&mab, &q);
    VtMatrix34Mul(&expect, &ma, &mb);
    expectMatrixNear(mab, expect);
    vt_quat inv, one;
    VtQuatInvert(&inv, &qa);
    VtQuatMul(&one, &qa, &inv);
    EXPECT_NEAR(one.w, 1.0f, kEps);
    EXPECT_NEAR(std::fabs(one.x) + std::fabs(one.y) + std::fabs(one.z), 0, kEps);
}

TEST(VtMath, SlerpWeights) {
    vt_quat a = {0, 0, 0, 1}, b = {0, 0, std::sin(0.5f), std::cos(0.5f)}, r;
    // Equal quaternions: the linear weights, so the result is unchanged.
    VtQuatSlerp(&r, &a, &a, 0.3f, 0);
    EXPECT_FLOAT_EQ(r.w, 1.0f);
    // Halfway along a one-radian turn is half a radian.
    VtQuatSlerp(&r, &a, &b, 0.5f, 0);
    EXPECT_NEAR(2 * std::atan2(r.z, r.w), 0.5f, 1e-3f);
    // A negated target is the same rotation: the short way is taken.
    vt_quat nb = {-b.x, -b.y, -b.z, -b.w};
    VtQuatSlerp(&r, &a, &nb, 0.5f, 0);
    EXPECT_NEAR(2 * std::atan2(r.z, r.w), 0.5f, 1e-3f);
    VtQuatSlerp(&r, &a, &b, 1.0f, 0);
    EXPECT_NEAR(r.z, b.z, 1e-3f);
}

const vt_uint_8 kOrders[24] = {
    VT_EULER_XYZ_S, VT_EULER_YZX_S, VT_EULER_ZXY_S, VT_EULER_XZY_S, VT_EULER_YXZ_S, VT_EULER_ZYX_S,
    VT_EULER_XYX_S, VT_EULER_YZY_S, VT_EULER_ZXZ_S, VT_EULER_XZX_S, VT_EULER_YXY_S, VT_EULER_ZYZ_S,
    VT_EULER_ZYX_R, VT_EULER_XZY_R, VT_EULER_YXZ_R, VT_EULER_YZX_R, VT_EULER_ZXY_R, VT_EULER_XYZ_R,
    VT_EULER_XYX_R, VT_EULER_YZY_R, VT_EULER_ZXZ_R, VT_EULER_XZX_R, VT_EULER_YXY_R, VT_EULER_ZYZ_R,
};

// Angles differ by at most a unit (wrapping round the turn).
void expectAngle(vt_angle got, vt_angle want) {
    int d = int(vt_int_16(vt_uint_16(got - want)));
    EXPECT_LE(std::abs(d), 2) << "got " << got << " want " << want;
}

TEST(VtMath, EulerRoundTripInAll24Orders) {
    const vt_euler angles[] = {{3000, 5000, 7000, 0}, {60000, 2000, 40000, 0}, {100, 12000, 65000, 0}};
    for (vt_uint_8 order : kOrders) {
        SCOPED_TRACE(int(order));
        bool repeated = (order & 8) != 0;
        for (vt_euler e : angles) {
            e.order = order;
            // The middle angle of a repeated order lies in 0 to 180 degrees
            // (-180 to 0 with odd parity); of the others, in -90 to 90.
            if (repeated && bool(order & 4) != (e.b > 32768))
                e.b = vt_angle(65536 - e.b);
            vt_matrix34 m, m2;
            VtEulerToMatrix34(&m, &e);
            vt_euler back = {0, 0, 0, order};
            VtEulerFromMatrix34(&back, &m);
            expectAngle(back.a, e.a);
            expectAngle(back.b, e.b);
            expectAngle(back.c, e.c);
            // The quaternion of the angles is the same rotation.
            vt_quat q;
            VtEulerToQuat(&q, &e);
            VtQuatToMatrix34(&m2, &q);
            expectMatrixNear(m2, m);
        }
    }
}

TEST(VtMath, EulerOrdersComposeTheirAxesInTurn) {
    // Static XYZ: about x first, then y, then z.
    vt_euler e = {2000, 3000, 4000, VT_EULER_XYZ_S};
    vt_matrix34 m, expect, r;
    VtEulerToMatrix34(&m, &e);
    VtMatrix34RotateX(&expect, 2000);
    VtMatrix34RotateY(&r, 3000);
    VtMatrix34Post(&expect, &r);
    VtMatrix34RotateZ(&r, 4000);
    VtMatrix34Post(&expect, &r);
    expectMatrixNear(m, expect);
    // The rotating-frame twin with the angles reversed is the same matrix.
    vt_euler twin = {4000, 3000, 2000, VT_EULER_ZYX_R};
    VtEulerToMatrix34(&r, &twin);
    expectMatrixNear(r, m);
}

TEST(VtMath, EulerAtTheGimbalPointStillRebuildsTheMatrix) {
    for (vt_uint_8 order : kOrders) {
        vt_euler e = {5000, vt_angle((order & 8) ? 0 : 16384), 3000, order};
        vt_matrix34 m, back;
        VtEulerToMatrix34(&m, &e);
        vt_euler r = {0, 0, 0, order};
        VtEulerFromMatrix34(&r, &m);
        VtEulerToMatrix34(&back, &r);
        expectMatrixNear(back, m, 1e-3f);
    }
}

TEST(VtMath, TransformsToMatricesAndBack) {
    vt_transform look;
    VtTransformIdentity(&look);
    look.type = VT_TRANSFORM_LOOK_UP;
    VtVector3Set(&look.t.look_up.look, 0, 0, 0);
    VtVector3Set(&look.t.look_up.up, 1, 0, 0);
    VtVector3Set(&look.t.look_up.t, 1, 2, 3);
    for (vt_scalar lx : {0.0f, 5.0f}) {
        // A zero look, and an up along the look, still give a rotation.
        look.t.look_up.look.v[0] = lx;
        vt_matrix34 m, n;
        VtTransformToMatrix34(&m, &look);
        VtMatrix34LPNormalise(&n, &m);
        expectMatrixNear(n, m);
        EXPECT_EQ(m.m[3][2], 3.0f);
    }

    // Each type holds what it can of a rigid matrix and gives it back.
    vt_matrix34 src = rigid();
    for (vt_uint_16 type : {VT_TRANSFORM_MATRIX34, VT_TRANSFORM_MATRIX34_LP, VT_TRANSFORM_QUAT, VT_TRANSFORM_EULER,
                            VT_TRANSFORM_LOOK_UP}) {
        SCOPED_TRACE(type);
        vt_transform x;
        VtTransformIdentity(&x);
        x.type = type;
        x.t.euler.e.order = VT_EULER_ZXY_R;
        VtTransformFromMatrix34(&x, &src);
        vt_matrix34 back;
        VtTransformToMatrix34(&back, &x);
        expectMatrixNear(back, src, 1e-3f);
    }
    vt_transform tr;
    VtTransformIdentity(&tr);
    tr.type = VT_TRANSFORM_TRANSLATION;
    VtTransformFromMatrix34(&tr, &src);
    EXPECT_EQ(tr.t.translate.t.v[1], -4.0f);

    vt_matrix34 m;
    VtMatrix34Identity(&m);
    VtTransformIdentity(&tr);
    VtMatrix34PreTransform(&m, &tr);
    vt_matrix34 id;
    VtMatrix34Identity(&id);
    expectMatrixNear(m, id);
}

TEST(VtMath, PlaneOfThreePoints) {
    vt_vector3 a = {{0, 0, 2}}, b = {{1, 0, 2}}, c = {{0, 1, 2}};
    vt_vector4 eqn;
    EXPECT_TRUE(VtPlaneEquation(&eqn, &a, &b, &c));
    EXPECT_FLOAT_EQ(eqn.v[2], 1.0f);
    EXPECT_FLOAT_EQ(eqn.v[3], 2.0f);
    vt_vector3 d = {{2, 0, 2}};
    EXPECT_FALSE(VtPlaneEquation(&eqn, &a, &b, &d));
    EXPECT_EQ(eqn.v[0], 0.0f);
    EXPECT_EQ(eqn.v[1], 0.0f);
    EXPECT_EQ(eqn.v[2], 1.0f);
}

TEST(VtMath, BoxesThroughAMatrixStayAroundTheirCorners) {
    vt_bounds3 box = {{{-1, -2, -3}}, {{1, 2, 3}}}, out;
    vt_matrix34 m;
    VtMatrix34RotateZ(&m, 16384);
    VtMatrix34PostTranslate(&m, 10, 0, 0);
    VtBounds3Transform(&out, &box, &m);
    EXPECT_NEAR(out.min.v[0], 8, kEps);
    EXPECT_NEAR(out.max.v[0], 12, kEps);
    EXPECT_NEAR(out.min.v[1], -1, kEps);
    EXPECT_NEAR(out.max.v[1], 1, kEps);
    EXPECT_NEAR(out.max.v[2], 3, kEps);
}

TEST(VtMath, TextureMatricesInvert) {
    vt_matrix23 m, inv, p;
    VtMatrix23Rotate(&m, 5000);
    VtMatrix23PostScale(&m, 2, 3);
    VtMatrix23PostTranslate(&m, 0.5f, -1);
    ASSERT_NE(VtMatrix23Inverse(&inv, &m), 0.0f);
    VtMatrix23Mul(&p, &m, &inv);
    EXPECT_NEAR(p.m[0][0], 1, kEps);
    EXPECT_NEAR(p.m[0][1], 0, kEps);
    EXPECT_NEAR(p.m[2][0], 0, kEps);
    EXPECT_NEAR(p.m[2][1], 0, kEps);
    vt_matrix23 r, lp, g;
    VtMatrix23Rotate(&r, 9000);
    VtMatrix23PostTranslate(&r, 3, 4);
    VtMatrix23LPInverse(&lp, &r);
    VtMatrix23Inverse(&g, &r);
    for (int i = 0; i < 3; i++)
        for (int j = 0; j < 2; j++)
            EXPECT_NEAR(lp.m[i][j], g.m[i][j], kEps);
}

} // namespace

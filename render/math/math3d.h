// The library's 3D math: scalars, 16-bit angles, vectors, 2x3, 3x4 and 4x4
// matrices, quaternions, euler angles in 24 orders, the actor transform
// record and bounds.
//
// Conventions: vectors are rows and a point p transforms as p M; in a 3x4
// matrix rows 0 to 2 are the linear part and row 3 the translation (it
// widens to 4x4 with the last column 0, 0, 0, 1). A B applies A first:
// pre-multiplying M by A leaves A M, post-multiplying leaves M A.
// Intermediate products are formed in double precision and stored as
// floats. Every output may be one of the inputs.
#pragma once

#include "render/fw/types.h"

typedef vt_float vt_scalar;

struct vt_vector2 {
    vt_scalar v[2];
};
struct vt_vector3 {
    vt_scalar v[3];
};
struct vt_vector4 {
    vt_scalar v[4];
};

// Texture-coordinate transform: three rows of two, row 2 the translation.
struct vt_matrix23 {
    vt_scalar m[3][2];
};
struct vt_matrix34 {
    vt_scalar m[4][3];
};
struct vt_matrix4 {
    vt_scalar m[4][4];
};

struct vt_quat {
    vt_scalar x, y, z, w;
};

// Euler orders: bits 0-1 the first axis (0 X, 1 Y, 2 Z), bit 2 odd parity,
// bit 3 the first axis repeated, bit 4 a rotating frame.
enum : vt_uint_8 {
    VT_EULER_XYZ_S = 0,
    VT_EULER_YZX_S = 1,
    VT_EULER_ZXY_S = 2,
    VT_EULER_XZY_S = 4,
    VT_EULER_YXZ_S = 5,
    VT_EULER_ZYX_S = 6,
    VT_EULER_XYX_S = 8,
    VT_EULER_YZY_S = 9,
    VT_EULER_ZXZ_S = 10,
    VT_EULER_XZX_S = 12,
    VT_EULER_YXY_S = 13,
    VT_EULER_ZYZ_S = 14,
    VT_EULER_ZYX_R = 16,
    VT_EULER_XZY_R = 17,
    VT_EULER_YXZ_R = 18,
    VT_EULER_YZX_R = 20,
    VT_EULER_ZXY_R = 21,
    VT_EULER_XYZ_R = 22,
    VT_EULER_XYX_R = 24,
    VT_EULER_YZY_R = 25,
    VT_EULER_ZXZ_R = 26,
    VT_EULER_XZX_R = 28,
    VT_EULER_YXY_R = 29,
    VT_EULER_ZYZ_R = 30,
};

struct vt_euler {
    vt_angle a, b, c;
    vt_uint_8 order;
};

// Transform types; also the transform classes of the actor tree, from the
// most general to the least.
enum : vt_uint_16 {
    VT_TRANSFORM_MATRIX34 = 0,
    VT_TRANSFORM_MATRIX34_LP = 1, // length-preserving
    VT_TRANSFORM_QUAT = 2,
    VT_TRANSFORM_EULER = 3,
    VT_TRANSFORM_LOOK_UP = 4,
    VT_TRANSFORM_TRANSLATION = 5,
    VT_TRANSFORM_IDENTITY = 6,
    VT_TRANSFORM_MAX = 7,
};

// An actor's placement. Every form keeps its translation where the matrix
// keeps row 3, so t reads the same whatever the type.
struct vt_transform {
    vt_uint_16 type;
    union {
        vt_matrix34 mat;
        struct {
            vt_quat q;
            vt_scalar _pad[5];
            vt_vector3 t;
        } quat;
        struct {
            vt_euler e;
            vt_scalar _pad[7];
            vt_vector3 t;
        } euler;
        struct {
            vt_vector3 look;
            vt_vector3 up;
            vt_scalar _pad[3];
            vt_vector3 t;
        } look_up;
        struct {
            vt_scalar _pad[9];
            vt_vector3 t;
        } translate;
    } t;
};
static_assert(sizeof(vt_euler) <= 2 * sizeof(vt_scalar), "euler fits in front of its padding");

struct vt_bounds3 {
    vt_vector3 min;
    vt_vector3 max;
};

// A plane a x + b y + c z + d = 0 kept as (a, b, c, d).
struct vt_plane {
    vt_vector4 eqn;
};

// ---- Scalars and angles --------------------------------------------------

#define VT_ANGLE_DEG(d) vt_angle(vt_int_32((d) * 65536.0 / 360.0))

vt_scalar VtAngleToRadian(vt_angle a);
vt_angle VtAngleFromRadian(double r);
vt_scalar VtAngleToDegree(vt_angle a);
vt_angle VtAngleFromDegree(double d);
vt_scalar VtAngleSin(vt_angle a);
vt_scalar VtAngleCos(vt_angle a);

// Scalars beyond the 16.16 range saturate and NaN becomes 0, so no value
// converts out of range.
vt_fixed VtScalarToFixed(vt_scalar s);
inline vt_scalar VtFixedToScalar(vt_fixed x) { return vt_scalar(double(x) / VT_FIXED_ONE); }
// Fixed-point product and quotient (16.16), rounded towards zero and
// saturated; a quotient by zero is the largest value of the dividend's sign.
vt_fixed VtFixedMul(vt_fixed a, vt_fixed b);
vt_fixed VtFixedDiv(vt_fixed a, vt_fixed b);

// Lengths below this count as zero when normalising.
constexpr vt_scalar VT_SCALAR_TINY = 2.3841858e-7f;

// ---- Vectors -------------------------------------------------------------

void VtVector2Set(vt_vector2 *v, vt_scalar x, vt_scalar y);
void VtVector3Set(vt_vector3 *v, vt_scalar x, vt_scalar y, vt_scalar z);
void VtVector4Set(vt_vector4 *v, vt_scalar x, vt_scalar y, vt_scalar z, vt_scalar w);
void VtVector3Add(vt_vector3 *out, const vt_vector3 *a, const vt_vector3 *b);
void VtVector3Sub(vt_vector3 *out, const vt_vector3 *a, const vt_vector3 *b);
void VtVector3Scale(vt_vector3 *out, const vt_vector3 *a, vt_scalar s);
void VtVector3Negate(vt_vector3 *out, const vt_vector3 *a);
void VtVector3Cross(vt_vector3 *out, const vt_vector3 *a, const vt_vector3 *b);
vt_scalar VtVector3Dot(const vt_vector3 *a, const vt_vector3 *b);
vt_scalar VtVector3Length(const vt_vector3 *a);
vt_scalar VtVector3LengthSquared(const vt_vector3 *a);
// Unit vector along a; false (and out untouched) when a is shorter than
// VT_SCALAR_TINY.
bool VtVector3Normalise(vt_vector3 *out, const vt_vector3 *a);
vt_scalar VtVector4Dot(const vt_vector4 *a, const vt_vector4 *b);

// ---- 3x4 matrices --------------------------------------------------------

void VtMatrix34Copy(vt_matrix34 *out, const vt_matrix34 *in);
// out = a b.
void VtMatrix34Mul(vt_matrix34 *out, const vt_matrix34 *a, const vt_matrix34 *b);
void VtMatrix34Identity(vt_matrix34 *m);
void VtMatrix34RotateX(vt_matrix34 *m, vt_angle a);
void VtMatrix34RotateY(vt_matrix34 *m, vt_angle a);
void VtMatrix34RotateZ(vt_matrix34 *m, vt_angle a);
// Rotation by a about a unit axis.
void VtMatrix34Rotate(vt_matrix34 *m, vt_angle a, const vt_vector3 *axis);
void VtMatrix34Translate(vt_matrix34 *m, vt_scalar dx, vt_scalar dy, vt_scalar dz);
void VtMatrix34Scale(vt_matrix34 *m, vt_scalar sx, vt_scalar sy, vt_scalar sz);
// Row 0 becomes (1, sy, sz).
void VtMatrix34ShearX(vt_matrix34 *m, vt_scalar sy, vt_scalar sz);
// Row 1 becomes (sx, 1, sz).
void VtMatrix34ShearY(vt_matrix34 *m, vt_scalar sx, vt_scalar sz);
// The first three columns of a 4x4.
void VtMatrix34Copy4(vt_matrix34 *out, const vt_matrix4 *in);

// In place: Pre leaves a mat, Post leaves mat a.
void VtMatrix34Pre(vt_matrix34 *mat, const vt_matrix34 *a);
void VtMatrix34Post(vt_matrix34 *mat, const vt_matrix34 *a);
void VtMatrix34PreRotateX(vt_matrix34 *mat, vt_angle a);
void VtMatrix34PostRotateX(vt_matrix34 *mat, vt_angle a);
void VtMatrix34PreRotateY(vt_matrix34 *mat, vt_angle a);
void VtMatrix34PostRotateY(vt_matrix34 *mat, vt_angle a);
void VtMatrix34PreRotateZ(vt_matrix34 *mat, vt_angle a);
void VtMatrix34PostRotateZ(vt_matrix34 *mat, vt_angle a);
void VtMatrix34PreRotate(vt_matrix34 *mat, vt_angle a, const vt_vector3 *axis);
void VtMatrix34PostRotate(vt_matrix34 *mat, vt_angle a, const vt_vector3 *axis);
void VtMatrix34PreTranslate(vt_matrix34 *mat, vt_scalar dx, vt_scalar dy, vt_scalar dz);
void VtMatrix34PostTranslate(vt_matrix34 *mat, vt_scalar dx, vt_scalar dy, vt_scalar dz);
void VtMatrix34PreScale(vt_matrix34 *mat, vt_scalar sx, vt_scalar sy, vt_scalar sz);
void VtMatrix34PostScale(vt_matrix34 *mat, vt_scalar sx, vt_scalar sy, vt_scalar sz);
void VtMatrix34PreShearX(vt_matrix34 *mat, vt_scalar sy, vt_scalar sz);
void VtMatrix34PostShearX(vt_matrix34 *mat, vt_scalar sy, vt_scalar sz);
void VtMatrix34PreShearY(vt_matrix34 *mat, vt_scalar sx, vt_scalar sz);
void VtMatrix34PostShearY(vt_matrix34 *mat, vt_scalar sx, vt_scalar sz);
// Nothing happens for an identity transform.
void VtMatrix34PreTransform(vt_matrix34 *mat, const vt_transform *xform);
void VtMatrix34PostTransform(vt_matrix34 *mat, const vt_transform *xform);

// Point (with the translation), vector (without), and vector by the
// transpose of the linear part (normals through an inverse).
void VtMatrix34ApplyP(vt_vector3 *out, const vt_vector3 *in, const vt_matrix34 *m);
void VtMatrix34ApplyV(vt_vector3 *out, const vt_vector3 *in, const vt_matrix34 *m);
void VtMatrix34TApplyV(vt_vector3 *out, const vt_vector3 *in, const vt_matrix34 *m);

// General inverse: returns the determinant of the linear part, or 0 with
// out untouched when the matrix is singular.
vt_scalar VtMatrix34Inverse(vt_matrix34 *out, const vt_matrix34 *in);
// Inverse of a matrix whose linear part is a rotation: the transpose, and
// the translation -(t R^T).
void VtMatrix34LPInverse(vt_matrix34 *out, const vt_matrix34 *in);
// Makes the linear part orthonormal again (z kept in direction, then x and
// y rebuilt); the translation stays.
void VtMatrix34LPNormalise(vt_matrix34 *out, const vt_matrix34 *in);
// A rotation for a mouse drag of (dx, dy) over a ball of the radius:
// about the screen-plane axis perpendicular to the drag, by the drag length
// over the radius in radians.
void VtMatrix34RollingBall(vt_matrix34 *m, vt_int_32 dx, vt_int_32 dy, vt_int_32 radius);

// ---- 4x4 matrices --------------------------------------------------------

void VtMatrix4Copy(vt_matrix4 *out, const vt_matrix4 *in);
void VtMatrix4Mul(vt_matrix4 *out, const vt_matrix4 *a, const vt_matrix4 *b);
// out = a b with a 3x4 widened.
void VtMatrix4Mul34(vt_matrix4 *out, const vt_matrix34 *a, const vt_matrix4 *b);
// mat = a mat.
void VtMatrix4Pre34(vt_matrix4 *mat, const vt_matrix34 *a);
void VtMatrix4Copy34(vt_matrix4 *out, const vt_matrix34 *in);
void VtMatrix4Identity(vt_matrix4 *m);
void VtMatrix4Scale(vt_matrix4 *m, vt_scalar sx, vt_scalar sy, vt_scalar sz);
// Perspective for a field of view, aspect (width over height), near and
// far z and a screen origin offset.
void VtMatrix4Perspective(vt_matrix4 *m, vt_angle field_of_view, vt_scalar aspect, vt_scalar hither, vt_scalar yon,
                          vt_scalar origin_x, vt_scalar origin_y);
// The older form, without the origin offset.
void VtMatrix4PerspectiveOld(vt_matrix4 *m, vt_angle field_of_view, vt_scalar aspect, vt_scalar hither,
                             vt_scalar yon);
vt_scalar VtMatrix4Determinant(const vt_matrix4 *m);
void VtMatrix4Adjoint(vt_matrix4 *out, const vt_matrix4 *in);
// Returns the determinant, or 0 with out untouched when it is too small.
vt_scalar VtMatrix4Inverse(vt_matrix4 *out, const vt_matrix4 *in);
void VtMatrix4Apply(vt_vector4 *out, const vt_vector4 *in, const vt_matrix4 *m);
void VtMatrix4ApplyP(vt_vector4 *out, const vt_vector3 *in, const vt_matrix4 *m); // w = 1
void VtMatrix4ApplyV(vt_vector4 *out, const vt_vector3 *in, const vt_matrix4 *m); // w = 0
void VtMatrix4TApply(vt_vector4 *out, const vt_vector4 *in, const vt_matrix4 *m);
void VtMatrix4TApplyP(vt_vector4 *out, const vt_vector3 *in, const vt_matrix4 *m);
void VtMatrix4TApplyV(vt_vector4 *out, const vt_vector3 *in, const vt_matrix4 *m);
// mat = T mat for the transform's matrix T (nothing for identity).
void VtMatrix4PreTransform(vt_matrix4 *mat, const vt_transform *xform);

// ---- 2x3 matrices --------------------------------------------------------

void VtMatrix23Copy(vt_matrix23 *out, const vt_matrix23 *in);
void VtMatrix23Mul(vt_matrix23 *out, const vt_matrix23 *a, const vt_matrix23 *b);
void VtMatrix23Identity(vt_matrix23 *m);
void VtMatrix23Rotate(vt_matrix23 *m, vt_angle a);
void VtMatrix23Translate(vt_matrix23 *m, vt_scalar dx, vt_scalar dy);
void VtMatrix23Scale(vt_matrix23 *m, vt_scalar sx, vt_scalar sy);
void VtMatrix23ShearX(vt_matrix23 *m, vt_scalar sy);
void VtMatrix23ShearY(vt_matrix23 *m, vt_scalar sx);
void VtMatrix23ApplyP(vt_vector2 *out, const vt_vector2 *in, const vt_matrix23 *m);
void VtMatrix23ApplyV(vt_vector2 *out, const vt_vector2 *in, const vt_matrix23 *m);
// Returns the determinant, or 0 with out untouched when singular.
vt_scalar VtMatrix23Inverse(vt_matrix23 *out, const vt_matrix23 *in);
void VtMatrix23LPInverse(vt_matrix23 *out, const vt_matrix23 *in);
void VtMatrix23LPNormalise(vt_matrix23 *out, const vt_matrix23 *in);
void VtMatrix23Pre(vt_matrix23 *mat, const vt_matrix23 *a);
void VtMatrix23Post(vt_matrix23 *mat, const vt_matrix23 *a);
void VtMatrix23PreRotate(vt_matrix23 *mat, vt_angle a);
void VtMatrix23PostRotate(vt_matrix23 *mat, vt_angle a);
void VtMatrix23PreTranslate(vt_matrix23 *mat, vt_scalar dx, vt_scalar dy);
void VtMatrix23PostTranslate(vt_matrix23 *mat, vt_scalar dx, vt_scalar dy);
void VtMatrix23PreScale(vt_matrix23 *mat, vt_scalar sx, vt_scalar sy);
void VtMatrix23PostScale(vt_matrix23 *mat, vt_scalar sx, vt_scalar sy);
void VtMatrix23PreShearX(vt_matrix23 *mat, vt_scalar sy);
void VtMatrix23PostShearX(vt_matrix23 *mat, vt_scalar sy);
void VtMatrix23PreShearY(vt_matrix23 *mat, vt_scalar sx);
void VtMatrix23PostShearY(vt_matrix23 *mat, vt_scalar sx);
// Adds (dx, dy) to the translation row.
void VtMatrix23TranslationAdd(vt_matrix23 *mat, vt_scalar dx, vt_scalar dy);

// ---- Euler angles and quaternions ----------------------------------------

void VtEulerToMatrix34(vt_matrix34 *m, const vt_euler *e);
// Keeps the order already in e.
void VtEulerFromMatrix34(vt_euler *e, const vt_matrix34 *m);
void VtEulerToMatrix4(vt_matrix4 *m, const vt_euler *e);
void VtEulerToQuat(vt_quat *q, const vt_euler *e);
void VtEulerFromQuat(vt_euler *e, const vt_quat *q);

// The Hamilton product, a first.
void VtQuatMul(vt_quat *out, const vt_quat *a, const vt_quat *b);
void VtQuatNormalise(vt_quat *out, const vt_quat *in);
// The conjugate (unit quaternions assumed).
void VtQuatInvert(vt_quat *out, const vt_quat *in);
// Spherical interpolation from q1 (t = 0) to q2 (t = 1) with extra whole
// spins; not renormalised.
void VtQuatSlerp(vt_quat *out, const vt_quat *q1, const vt_quat *q2, vt_scalar t, vt_int_16 spins);
void VtQuatToMatrix34(vt_matrix34 *m, const vt_quat *q);
void VtQuatFromMatrix34(vt_quat *q, const vt_matrix34 *m);
void VtQuatToMatrix4(vt_matrix4 *m, const vt_quat *q);
void VtQuatFromMatrix4(vt_quat *q, const vt_matrix4 *m);

// ---- Transforms, planes and bounds ---------------------------------------

void VtTransformToMatrix34(vt_matrix34 *m, const vt_transform *xform);
// Keeps the transform's own type: each type takes what it can hold.
void VtTransformFromMatrix34(vt_transform *xform, const vt_matrix34 *m);
// Converts to out's own type.
void VtTransformToTransform(vt_transform *out, const vt_transform *in);
void VtTransformIdentity(vt_transform *xform);

// The plane through three points: unit normal (0, 0, 1 when the points
// are collinear) and distance n . p0. False for collinear points.
bool VtPlaneEquation(vt_vector4 *eqn, const vt_vector3 *p0, const vt_vector3 *p1, const vt_vector3 *p2);

// An empty box (min above max) that any point widens.
void VtBounds3Empty(vt_bounds3 *b);
void VtBounds3AddPoint(vt_bounds3 *b, const vt_vector3 *p);
// The axis-aligned box around a box carried through a matrix.
void VtBounds3Transform(vt_bounds3 *out, const vt_bounds3 *in, const vt_matrix34 *m);

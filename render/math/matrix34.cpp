// 3x4 matrices: building, multiplying in place, applying and inverting.
#include <cmath>
#include <cstring>

#include "render/math/math3d.h"

namespace {

// Products are summed in double and stored once, so any output may alias
// an input.
void mul(vt_matrix34 *out, const vt_matrix34 *a, const vt_matrix34 *b) {
    vt_matrix34 r;
    for (int i = 0; i < 4; i++)
        for (int j = 0; j < 3; j++) {
            double s = double(a->m[i][0]) * b->m[0][j] + double(a->m[i][1]) * b->m[1][j] +
                       double(a->m[i][2]) * b->m[2][j];
            if (i == 3)
                s += b->m[3][j];
            r.m[i][j] = vt_scalar(s);
        }
    *out = r;
}

void setRows(vt_matrix34 *m, double r00, double r01, double r02, double r10, double r11, double r12, double r20,
             double r21, double r22) {
    const double v[9] = {r00, r01, r02, r10, r11, r12, r20, r21, r22};
    for (int i = 0; i < 9; i++)
        m->m[i / 3][i % 3] = vt_scalar(v[i]);
    m->m[3][0] = m->m[3][1] = m->m[3][2] = 0;
}

template <class Build, class... Args> void pre(vt_matrix34 *mat, Build build, Args... args) {
    vt_matrix34 t;
    build(&t, args...);
    mul(mat, &t, mat);
}

template <class Build, class... Args> void post(vt_matrix34 *mat, Build build, Args... args) {
    vt_matrix34 t;
    build(&t, args...);
    mul(mat, mat, &t);
}

} // namespace

void VtMatrix34Copy(vt_matrix34 *out, const vt_matrix34 *in) { memmove(out, in, sizeof *out); }

void VtMatrix34Mul(vt_matrix34 *out, const vt_matrix34 *a, const vt_matrix34 *b) { mul(out, a, b); }

void VtMatrix34Identity(vt_matrix34 *m) { setRows(m, 1, 0, 0, 0, 1, 0, 0, 0, 1); }

void VtMatrix34RotateX(vt_matrix34 *m, vt_angle a) {
    double c = VtAngleCos(a), s = VtAngleSin(a);
    setRows(m, 1, 0, 0, 0, c, s, 0, -s, c);
}

void VtMatrix34RotateY(vt_matrix34 *m, vt_angle a) {
    double c = VtAngleCos(a), s = VtAngleSin(a);
    setRows(m, c, 0, -s, 0, 1, 0, s, 0, c);
}

void VtMatrix34RotateZ(vt_matrix34 *m, vt_angle a) {
    double c = VtAngleCos(a), s = VtAngleSin(a);
    setRows(m, c, s, 0, -s, c, 0, 0, 0, 1);
}

void VtMatrix34Rotate(vt_matrix34 *m, vt_angle a, const vt_vector3 *axis) {
    double c = VtAngleCos(a), s = VtAngleSin(a), t = 1.0 - c;
    double x = axis->v[0], y = axis->v[1], z = axis->v[2];
    setRows(m, x * x * t + c, x * y * t + z * s, x * z * t - y * s, x * y * t - z * s, y * y * t + c,
            y * z * t + x * s, x * z * t + y * s, y * z * t - x * s, z * z * t + c);
}

void VtMatrix34Translate(vt_matrix34 *m, vt_scalar dx, vt_scalar dy, vt_scalar dz) {
    VtMatrix34Identity(m);
    m->m[3][0] = dx;
    m->m[3][1] = dy;
    m->m[3][2] = dz;
}

void VtMatrix34Scale(vt_matrix34 *m, vt_scalar sx, vt_scalar sy, vt_scalar sz) {
    setRows(m, sx, 0, 0, 0, sy, 0, 0, 0, sz);
}

void VtMatrix34ShearX(vt_matrix34 *m, vt_scalar sy, vt_scalar sz) { setRows(m, 1, sy, sz, 0, 1, 0, 0, 0, 1); }

void VtMatrix34ShearY(vt_matrix34 *m, vt_scalar sx, vt_scalar sz) { setRows(m, 1, 0, 0, sx, 1, sz, 0, 0, 1); }

void VtMatrix34Copy4(vt_matrix34 *out, const vt_matrix4 *in) {
    vt_matrix34 r;
    for (int i = 0; i < 4; i++)
        for (int j = 0; j < 3; j++)
            r.m[i][j] = in->m[i][j];
    *out = r;
}

void VtMatrix34Pre(vt_matrix34 *mat, const vt_matrix34 *a) { mul(mat, a, mat); }
void VtMatrix34Post(vt_matrix34 *mat, const vt_matrix34 *a) { mul(mat, mat, a); }
void VtMatrix34PreRotateX(vt_matrix34 *mat, vt_angle a) { pre(mat, VtMatrix34RotateX, a); }
void VtMatrix34PostRotateX(vt_matrix34 *mat, vt_angle a) { post(mat, VtMatrix34RotateX, a); }
void VtMatrix34PreRotateY(vt_matrix34 *mat, vt_angle a) { pre(mat, VtMatrix34RotateY, a); }
void VtMatrix34PostRotateY(vt_matrix34 *mat, vt_angle a) { post(mat, VtMatrix34RotateY, a); }
void VtMatrix34PreRotateZ(vt_matrix34 *mat, vt_angle a) { pre(mat, VtMatrix34RotateZ, a); }
void VtMatrix34PostRotateZ(vt_matrix34 *mat, vt_angle a) { post(mat, VtMatrix34RotateZ, a); }
void VtMatrix34PreRotate(vt_matrix34 *mat, vt_angle a, const vt_vector3 *axis) { pre(mat, VtMatrix34Rotate, a, axis); }
void VtMatrix34PostRotate(vt_matrix34 *mat, vt_angle a, const vt_vector3 *axis) {
    post(mat, VtMatrix34Rotate, a, axis);
}
void VtMatrix34PreTranslate(vt_matrix34 *mat, vt_scalar dx, vt_scalar dy, vt_scalar dz) {
    pre(mat, VtMatrix34Translate, dx, dy, dz);
}
void VtMatrix34PostTranslate(vt_matrix34 *mat, vt_scalar dx, vt_scalar dy, vt_scalar dz) {
    post(mat, VtMatrix34Translate, dx, dy, dz);
}
void VtMatrix34PreScale(vt_matrix34 *mat, vt_scalar sx, vt_scalar sy, vt_scalar sz) {
    pre(mat, VtMatrix34Scale, sx, sy, sz);
}
void VtMatrix34PostScale(vt_matrix34 *mat, vt_scalar sx, vt_scalar sy, vt_scalar sz) {
    post(mat, VtMatrix34Scale, sx, sy, sz);
}
void VtMatrix34PreShearX(vt_matrix34 *mat, vt_scalar sy, vt_scalar sz) { pre(mat, VtMatrix34ShearX, sy, sz); }
void VtMatrix34PostShearX(vt_matrix34 *mat, vt_scalar sy, vt_scalar sz) { post(mat, VtMatrix34ShearX, sy, sz); }
void VtMatrix34PreShearY(vt_matrix34 *mat, vt_scalar sx, vt_scalar sz) { pre(mat, VtMatrix34ShearY, sx, sz); }
void VtMatrix34PostShearY(vt_matrix34 *mat, vt_scalar sx, vt_scalar sz) { post(mat, VtMatrix34ShearY, sx, sz); }

void VtMatrix34PreTransform(vt_matrix34 *mat, const vt_transform *xform) {
    if (xform->type == VT_TRANSFORM_IDENTITY)
        return;
    vt_matrix34 t;
    VtTransformToMatrix34(&t, xform);
    mul(mat, &t, mat);
}

void VtMatrix34PostTransform(vt_matrix34 *mat, const vt_transform *xform) {
    if (xform->type == VT_TRANSFORM_IDENTITY)
        return;
    vt_matrix34 t;
    VtTransformToMatrix34(&t, xform);
    mul(mat, mat, &t);
}

void VtMatrix34ApplyP(vt_vector3 *out, const vt_vector3 *in, const vt_matrix34 *m) {
    double x = in->v[0], y = in->v[1], z = in->v[2];
    vt_vector3 r;
    for (int j = 0; j < 3; j++)
        r.v[j] = vt_scalar(x * m->m[0][j] + y * m->m[1][j] + z * m->m[2][j] + m->m[3][j]);
    *out = r;
}

void VtMatrix34ApplyV(vt_vector3 *out, const vt_vector3 *in, const vt_matrix34 *m) {
    double x = in->v[0], y = in->v[1], z = in->v[2];
    vt_vector3 r;
    for (int j = 0; j < 3; j++)
        r.v[j] = vt_scalar(x * m->m[0][j] + y * m->m[1][j] + z * m->m[2][j]);
    *out = r;
}

void VtMatrix34TApplyV(vt_vector3 *out, const vt_vector3 *in, const vt_matrix34 *m) {
    double x = in->v[0], y = in->v[1], z = in->v[2];
    vt_vector3 r;
    for (int i = 0; i < 3; i++)
        r.v[i] = vt_scalar(x * m->m[i][0] + y * m->m[i][1] + z * m->m[i][2]);
    *out = r;
}

vt_scalar VtMatrix34Inverse(vt_matrix34 *out, const vt_matrix34 *in) {
    const vt_scalar(*a)[3] = in->m;
    // The six products of the determinant, positive and negative kept
    // apart so that the test for singularity is relative to their size.
    double pos = 0, neg = 0, t;
    t = double(a[0][0]) * a[1][1] * a[2][2];
    (t >= 0 ? pos : neg) += t;
    t = double(a[0][1]) * a[1][2] * a[2][0];
    (t >= 0 ? pos : neg) += t;
    t = double(a[0][2]) * a[1][0] * a[2][1];
    (t >= 0 ? pos : neg) += t;
    t = -double(a[0][2]) * a[1][1] * a[2][0];
    (t >= 0 ? pos : neg) += t;
    t = -double(a[0][1]) * a[1][0] * a[2][2];
    (t >= 0 ? pos : neg) += t;
    t = -double(a[0][0]) * a[1][2] * a[2][1];
    (t >= 0 ? pos : neg) += t;
    double det = pos + neg;
    if (std::fabs(det) < 1.1920929e-7 || std::fabs(det / (pos - neg)) < 1e-15)
        return 0;

    double inv[3][3];
    inv[0][0] = (double(a[1][1]) * a[2][2] - double(a[1][2]) * a[2][1]) / det;
    inv[1][0] = -(double(a[1][0]) * a[2][2] - double(a[1][2]) * a[2][0]) / det;
    inv[2][0] = (double(a[1][0]) * a[2][1] - double(a[1][1]) * a[2][0]) / det;
    inv[0][1] = -(double(a[0][1]) * a[2][2] - double(a[0][2]) * a[2][1]) / det;
    inv[1][1] = (double(a[0][0]) * a[2][2] - double(a[0][2]) * a[2][0]) / det;
    inv[2][1] = -(double(a[0][0]) * a[2][1] - double(a[0][1]) * a[2][0]) / det;
    inv[0][2] = (double(a[0][1]) * a[1][2] - double(a[0][2]) * a[1][1]) / det;
    inv[1][2] = -(double(a[0][0]) * a[1][2] - double(a[0][2]) * a[1][0]) / det;
    inv[2][2] = (double(a[0][0]) * a[1][1] - double(a[0][1]) * a[1][0]) / det;

    vt_matrix34 r;
    for (int i = 0; i < 3; i++)
        for (int j = 0; j < 3; j++)
            r.m[i][j] = vt_scalar(inv[i][j]);
    for (int j = 0; j < 3; j++)
        r.m[3][j] = vt_scalar(-(a[3][0] * inv[0][j] + a[3][1] * inv[1][j] + a[3][2] * inv[2][j]));
    *out = r;
    return vt_scalar(det);
}

void VtMatrix34LPInverse(vt_matrix34 *out, const vt_matrix34 *in) {
    vt_matrix34 r;
    for (int i = 0; i < 3; i++)
        for (int j = 0; j < 3; j++)
            r.m[i][j] = in->m[j][i];
    for (int j = 0; j < 3; j++)
        r.m[3][j] = vt_scalar(-(double(in->m[3][0]) * r.m[0][j] + double(in->m[3][1]) * r.m[1][j] +
                                double(in->m[3][2]) * r.m[2][j]));
    *out = r;
}

void VtMatrix34LPNormalise(vt_matrix34 *out, const vt_matrix34 *in) {
    vt_vector3 x, y = {{in->m[1][0], in->m[1][1], in->m[1][2]}}, z = {{in->m[2][0], in->m[2][1], in->m[2][2]}};
    if (!VtVector3Normalise(&z, &z))
        VtVector3Set(&z, 0, 0, 1);
    VtVector3Cross(&x, &y, &z);
    if (!VtVector3Normalise(&x, &x))
        VtVector3Set(&x, 1, 0, 0);
    VtVector3Cross(&y, &z, &x);
    if (!VtVector3Normalise(&y, &y))
        VtVector3Set(&y, 0, 1, 0);
    vt_matrix34 r;
    for (int j = 0; j < 3; j++) {
        r.m[0][j] = x.v[j];
        r.m[1][j] = y.v[j];
        r.m[2][j] = z.v[j];
        r.m[3][j] = in->m[3][j];
    }
    *out = r;
}

void VtMatrix34RollingBall(vt_matrix34 *m, vt_int_32 dx, vt_int_32 dy, vt_int_32 radius) {
    if ((dx == 0 && dy == 0) || radius == 0) {
        VtMatrix34Identity(m);
        return;
    }
    // Dragging right turns the ball about +y, dragging up (screen y grows
    // downwards) about +x.
    double len = std::sqrt(double(dx) * dx + double(dy) * dy);
    vt_vector3 axis = {{vt_scalar(dy / len), vt_scalar(dx / len), 0}};
    VtMatrix34Rotate(m, VtAngleFromRadian(len / std::fabs(double(radius))), &axis);
}

// 4x4 matrices: products with 3x4 matrices, perspective, inverse through
// the adjoint, and applying to points and vectors.
#include <cmath>
#include <cstring>

#include "render/math/math3d.h"

namespace {

void mul(vt_matrix4 *out, const vt_matrix4 *a, const vt_matrix4 *b) {
    vt_matrix4 r;
    for (int i = 0; i < 4; i++)
        for (int j = 0; j < 4; j++) {
            double s = 0;
            for (int k = 0; k < 4; k++)
                s += double(a->m[i][k]) * b->m[k][j];
            r.m[i][j] = vt_scalar(s);
        }
    *out = r;
}

double det3(double a1, double a2, double a3, double b1, double b2, double b3, double c1, double c2, double c3) {
    return a1 * (b2 * c3 - b3 * c2) - b1 * (a2 * c3 - a3 * c2) + c1 * (a2 * b3 - a3 * b2);
}

void apply(vt_vector4 *out, const double in[4], const vt_matrix4 *m) {
    vt_vector4 r;
    for (int j = 0; j < 4; j++)
        r.v[j] = vt_scalar(in[0] * m->m[0][j] + in[1] * m->m[1][j] + in[2] * m->m[2][j] + in[3] * m->m[3][j]);
    *out = r;
}

void tapply(vt_vector4 *out, const double in[4], const vt_matrix4 *m) {
    vt_vector4 r;
    for (int i = 0; i < 4; i++)
        r.v[i] = vt_scalar(in[0] * m->m[i][0] + in[1] * m->m[i][1] + in[2] * m->m[i][2] + in[3] * m->m[i][3]);
    *out = r;
}

void perspective(vt_matrix4 *m, vt_angle fov, double aspect, double hither, double yon, double ox, double oy) {
    double half = VtAngleToRadian(fov) / 2.0;
    double c = std::cos(half) / std::sin(half);
    memset(m, 0, sizeof *m);
    m->m[0][0] = vt_scalar(c / aspect);
    m->m[1][1] = vt_scalar(c);
    m->m[2][0] = vt_scalar(-ox);
    m->m[2][1] = vt_scalar(-oy);
    m->m[2][2] = vt_scalar((yon + hither) / (yon - hither));
    m->m[2][3] = -1;
    m->m[3][2] = vt_scalar(-2.0 * yon * hither / (yon - hither));
}

} // namespace

void VtMatrix4Copy(vt_matrix4 *out, const vt_matrix4 *in) { memmove(out, in, sizeof *out); }

void VtMatrix4Mul(vt_matrix4 *out, const vt_matrix4 *a, const vt_matrix4 *b) { mul(out, a, b); }

void VtMatrix4Copy34(vt_matrix4 *out, const vt_matrix34 *in) {
    vt_matrix4 r;
    for (int i = 0; i < 4; i++) {
        for (int j = 0; j < 3; j++)
            r.m[i][j] = in->m[i][j];
        r.m[i][3] = i == 3 ? 1 : 0;
    }
    *out = r;
}

void VtMatrix4Mul34(vt_matrix4 *out, const vt_matrix34 *a, const vt_matrix4 *b) {
    vt_matrix4 wide;
    VtMatrix4Copy34(&wide, a);
    mul(out, &wide, b);
}

void VtMatrix4Pre34(vt_matrix4 *mat, const vt_matrix34 *a) { VtMatrix4Mul34(mat, a, mat); }

void VtMatrix4Identity(vt_matrix4 *m) {
    memset(m, 0, sizeof *m);
    for (int i = 0; i < 4; i++)
        m->m[i][i] = 1;
}

void VtMatrix4Scale(vt_matrix4 *m, vt_scalar sx, vt_scalar sy, vt_scalar sz) {
    VtMatrix4Identity(m);
    m->m[0][0] = sx;
    m->m[1][1] = sy;
    m->m[2][2] = sz;
}

void VtMatrix4Perspective(vt_matrix4 *m, vt_angle field_of_view, vt_scalar aspect, vt_scalar hither, vt_scalar yon,
                          vt_scalar origin_x, vt_scalar origin_y) {
    perspective(m, field_of_view, aspect, hither, yon, origin_x, origin_y);
}

void VtMatrix4PerspectiveOld(vt_matrix4 *m, vt_angle field_of_view, vt_scalar aspect, vt_scalar hither,
                             vt_scalar yon) {
    perspective(m, field_of_view, aspect, hither, yon, 0, 0);
}

vt_scalar VtMatrix4Determinant(const vt_matrix4 *mat) {
    const vt_scalar(*m)[4] = mat->m;
    double a1 = m[0][0], b1 = m[0][1], c1 = m[0][2], d1 = m[0][3];
    double a2 = m[1][0], b2 = m[1][1], c2 = m[1][2], d2 = m[1][3];
    double a3 = m[2][0], b3 = m[2][1], c3 = m[2][2], d3 = m[2][3];
    double a4 = m[3][0], b4 = m[3][1], c4 = m[3][2], d4 = m[3][3];
    return vt_scalar(a1 * det3(b2, b3, b4, c2, c3, c4, d2, d3, d4) - b1 * det3(a2, a3, a4, c2, c3, c4, d2, d3, d4) +
                     c1 * det3(a2, a3, a4, b2, b3, b4, d2, d3, d4) - d1 * det3(a2, a3, a4, b2, b3, b4, c2, c3, c4));
}

void VtMatrix4Adjoint(vt_matrix4 *out, const vt_matrix4 *in) {
    // out[j][i] is the signed minor of in[i][j].
    vt_matrix4 r;
    for (int i = 0; i < 4; i++)
        for (int j = 0; j < 4; j++) {
            double minor[9];
            int n = 0;
            for (int a = 0; a < 4; a++)
                for (int b = 0; b < 4; b++)
                    if (a != i && b != j)
                        minor[n++] = in->m[a][b];
            double d = minor[0] * (minor[4] * minor[8] - minor[5] * minor[7]) -
                       minor[1] * (minor[3] * minor[8] - minor[5] * minor[6]) +
                       minor[2] * (minor[3] * minor[7] - minor[4] * minor[6]);
            r.m[j][i] = vt_scalar(((i + j) & 1) ? -d : d);
        }
    *out = r;
}

vt_scalar VtMatrix4Inverse(vt_matrix4 *out, const vt_matrix4 *in) {
    vt_scalar det = VtMatrix4Determinant(in);
    if (!(std::fabs(det) >= 2.3841858e-7f))
        return 0;
    vt_matrix4 adj;
    VtMatrix4Adjoint(&adj, in);
    for (int i = 0; i < 4; i++)
        for (int j = 0; j < 4; j++)
            out->m[i][j] = vt_scalar(adj.m[i][j] / double(det));
    return det;
}

void VtMatrix4Apply(vt_vector4 *out, const vt_vector4 *in, const vt_matrix4 *m) {
    const double v[4] = {in->v[0], in->v[1], in->v[2], in->v[3]};
    apply(out, v, m);
}

void VtMatrix4ApplyP(vt_vector4 *out, const vt_vector3 *in, const vt_matrix4 *m) {
    const double v[4] = {in->v[0], in->v[1], in->v[2], 1};
    apply(out, v, m);
}

void VtMatrix4ApplyV(vt_vector4 *out, const vt_vector3 *in, const vt_matrix4 *m) {
    const double v[4] = {in->v[0], in->v[1], in->v[2], 0};
    apply(out, v, m);
}

void VtMatrix4TApply(vt_vector4 *out, const vt_vector4 *in, const vt_matrix4 *m) {
    const double v[4] = {in->v[0], in->v[1], in->v[2], in->v[3]};
    tapply(out, v, m);
}

void VtMatrix4TApplyP(vt_vector4 *out, const vt_vector3 *in, const vt_matrix4 *m) {
    const double v[4] = {in->v[0], in->v[1], in->v[2], 1};
    tapply(out, v, m);
}

void VtMatrix4TApplyV(vt_vector4 *out, const vt_vector3 *in, const vt_matrix4 *m) {
    const double v[4] = {in->v[0], in->v[1], in->v[2], 0};
    tapply(out, v, m);
}

void VtMatrix4PreTransform(vt_matrix4 *mat, const vt_transform *xform) {
    if (xform->type == VT_TRANSFORM_IDENTITY)
        return;
    vt_matrix34 t;
    VtTransformToMatrix34(&t, xform);
    VtMatrix4Pre34(mat, &t);
}

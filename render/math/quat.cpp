// Quaternions (x, y, z, w): products, interpolation and matrices.
#include <cmath>

#include "render/math/math3d.h"

void VtQuatMul(vt_quat *out, const vt_quat *a, const vt_quat *b) {
    // The Hamilton product in its eight-multiplication form.
    double A = (double(a->w) + a->x) * (double(b->w) + b->x);
    double B = (double(a->z) - a->y) * (double(b->y) - b->z);
    double C = (double(a->x) - a->w) * (double(b->y) + b->z);
    double D = (double(a->y) + a->z) * (double(b->x) - b->w);
    double E = (double(a->x) + a->z) * (double(b->x) + b->y);
    double F = (double(a->x) - a->z) * (double(b->x) - b->y);
    double G = (double(a->w) + a->y) * (double(b->w) - b->z);
    double H = (double(a->w) - a->y) * (double(b->w) + b->z);
    vt_quat r;
    r.w = vt_scalar(B + (-E - F + G + H) / 2);
    r.x = vt_scalar(A - (E + F + G + H) / 2);
    r.y = vt_scalar(-C + (E - F + G - H) / 2);
    r.z = vt_scalar(-D + (E - F - G + H) / 2);
    *out = r;
}

void VtQuatNormalise(vt_quat *out, const vt_quat *in) {
    double l = std::sqrt(double(in->x) * in->x + double(in->y) * in->y + double(in->z) * in->z +
                         double(in->w) * in->w);
    if (l < VT_SCALAR_TINY) {
        *out = vt_quat{0, 0, 0, 1};
        return;
    }
    *out = vt_quat{vt_scalar(in->x / l), vt_scalar(in->y / l), vt_scalar(in->z / l), vt_scalar(in->w / l)};
}

void VtQuatInvert(vt_quat *out, const vt_quat *in) { *out = vt_quat{-in->x, -in->y, -in->z, in->w}; }

void VtQuatSlerp(vt_quat *out, const vt_quat *q1, const vt_quat *q2, vt_scalar t, vt_int_16 spins) {
    double cosine = double(q1->x) * q2->x + double(q1->y) * q2->y + double(q1->z) * q2->z + double(q1->w) * q2->w;
    vt_quat b = *q2;
    if (cosine < 0) {
        cosine = -cosine;
        b = vt_quat{-b.x, -b.y, -b.z, -b.w};
    }
    double w1, w2;
    vt_angle omega = 0;
    if (1.0 - cosine > 1.1920929e-7)
        omega = VtAngleFromRadian(std::acos(cosine > 1 ? 1 : cosine));
    if (omega == 0) {
        w1 = 1.0 - t;
        w2 = t;
    } else {
        // The angles go through 16-bit units; a spin is 32766 of them.
        vt_angle theta = vt_angle(vt_int_32((double(spins) * 32766 + omega) * t));
        double s = VtAngleSin(omega);
        w1 = VtAngleSin(vt_angle(omega - theta)) / s;
        w2 = VtAngleSin(theta) / s;
    }
    *out = vt_quat{vt_scalar(q1->x * w1 + b.x * w2), vt_scalar(q1->y * w1 + b.y * w2),
                   vt_scalar(q1->z * w1 + b.z * w2), vt_scalar(q1->w * w1 + b.w * w2)};
}

void VtQuatToMatrix34(vt_matrix34 *m, const vt_quat *q) {
    double x = q->x, y = q->y, z = q->z, w = q->w;
    const double r[3][3] = {
        {1 - 2 * (y * y + z * z), 2 * (x * y + w * z), 2 * (x * z - w * y)},
        {2 * (x * y - w * z), 1 - 2 * (x * x + z * z), 2 * (y * z + w * x)},
        {2 * (x * z + w * y), 2 * (y * z - w * x), 1 - 2 * (x * x + y * y)},
    };
    for (int i = 0; i < 3; i++)
        for (int j = 0; j < 3; j++)
            m->m[i][j] = vt_scalar(r[i][j]);
    m->m[3][0] = m->m[3][1] = m->m[3][2] = 0;
}

namespace {

template <class M> void fromMatrix(vt_quat *q, const M &m) {
    double trace = double(m[0][0]) + m[1][1] + m[2][2];
    double out[4]; // x, y, z, w
    if (trace >= 0) {
        double s = std::sqrt(trace + 1);
        double k = 0.5 / s;
        out[3] = s * 0.5;
        out[0] = (double(m[1][2]) - m[2][1]) * k;
        out[1] = (double(m[2][0]) - m[0][2]) * k;
        out[2] = (double(m[0][1]) - m[1][0]) * k;
    } else {
        int i = 0;
        if (m[1][1] > m[0][0])
            i = 1;
        if (m[2][2] > m[i][i])
            i = 2;
        int j = (i + 1) % 3, k = (j + 1) % 3;
        double s = std::sqrt(double(m[i][i]) - (double(m[j][j]) + m[k][k]) + 1);
        double h = 0.5 / s;
        out[i] = s * 0.5;
        out[3] = (double(m[j][k]) - m[k][j]) * h;
        out[j] = (double(m[i][j]) + m[j][i]) * h;
        out[k] = (double(m[i][k]) + m[k][i]) * h;
    }
    *q = vt_quat{vt_scalar(out[0]), vt_scalar(out[1]), vt_scalar(out[2]), vt_scalar(out[3])};
}

} // namespace

void VtQuatFromMatrix34(vt_quat *q, const vt_matrix34 *m) { fromMatrix(q, m->m); }

void VtQuatToMatrix4(vt_matrix4 *m, const vt_quat *q) {
    vt_matrix34 m34;
    VtQuatToMatrix34(&m34, q);
    VtMatrix4Copy34(m, &m34);
}

void VtQuatFromMatrix4(vt_quat *q, const vt_matrix4 *m) { fromMatrix(q, m->m); }

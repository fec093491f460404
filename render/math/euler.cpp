// Euler angles in the 24 orders: to and from matrices and quaternions.
//
// The classic column-vector rotation M for the order's axis sequence is
// built and stored transposed, since the library's vectors are rows. A
// rotating frame swaps the first and last angle; odd parity negates them.
#include <cmath>
#include <utility>

#include "render/math/math3d.h"

namespace {

struct order {
    int i, j, k;    // the axes in turn
    bool odd;       // parity
    bool repeated;  // first axis used again as the last
    bool rotating;  // rotating (not static) frame
};

order decode(vt_uint_8 o) {
    static const int next[4] = {1, 2, 0, 1};
    order d;
    d.i = o & 3;
    if (d.i > 2)
        d.i = 0;
    d.odd = (o & 4) != 0;
    d.repeated = (o & 8) != 0;
    d.rotating = (o & 16) != 0;
    d.j = next[d.i + (d.odd ? 1 : 0)];
    d.k = next[d.i + 1 - (d.odd ? 1 : 0)];
    return d;
}

// A rotating frame takes the first and last angles the other way round.
void frameOrder(const order &d, double &a, double &c) {
    if (d.rotating)
        std::swap(a, c);
}

// Column-vector rotation matrix of the euler angles.
void toColumns(double M[3][3], const vt_euler *e) {
    order d = decode(e->order);
    double a = VtAngleToRadian(e->a), b = VtAngleToRadian(e->b), c = VtAngleToRadian(e->c);
    frameOrder(d, a, c);
    if (d.odd) {
        a = -a;
        b = -b;
        c = -c;
    }
    double ci = std::cos(a), cj = std::cos(b), ch = std::cos(c);
    double si = std::sin(a), sj = std::sin(b), sh = std::sin(c);
    double cc = ci * ch, cs = ci * sh, sc = si * ch, ss = si * sh;
    int i = d.i, j = d.j, k = d.k;
    if (d.repeated) {
        M[i][i] = cj;
        M[i][j] = sj * si;
        M[i][k] = sj * ci;
        M[j][i] = sj * sh;
        M[j][j] = -cj * ss + cc;
        M[j][k] = -cj * cs - sc;
        M[k][i] = -sj * ch;
        M[k][j] = cj * sc + cs;
        M[k][k] = cj * cc - ss;
    } else {
        M[i][i] = cj * ch;
        M[i][j] = sj * sc - cs;
        M[i][k] = sj * cc + ss;
        M[j][i] = cj * sh;
        M[j][j] = sj * ss + cc;
        M[j][k] = sj * cs - sc;
        M[k][i] = -sj;
        M[k][j] = cj * si;
        M[k][k] = cj * ci;
    }
}

void fromColumns(vt_euler *e, const double M[3][3]) {
    order d = decode(e->order);
    int i = d.i, j = d.j, k = d.k;
    // Below this the middle angle is at the gimbal point and the first
    // angle takes the whole rotation.
    const double tiny = 1.9073486e-6;
    double a, b, c;
    if (d.repeated) {
        double sy = std::sqrt(M[i][j] * M[i][j] + M[i][k] * M[i][k]);
        if (sy > tiny) {
            a = std::atan2(M[i][j], M[i][k]);
            b = std::atan2(sy, M[i][i]);
            c = std::atan2(M[j][i], -M[k][i]);
        } else {
            a = std::atan2(-M[j][k], M[j][j]);
            b = std::atan2(sy, M[i][i]);
            c = 0;
        }
    } else {
        double cy = std::sqrt(M[i][i] * M[i][i] + M[j][i] * M[j][i]);
        if (cy > tiny) {
            a = std::atan2(M[k][j], M[k][k]);
            b = std::atan2(-M[k][i], cy);
            c = std::atan2(M[j][i], M[i][i]);
        } else {
            a = std::atan2(-M[j][k], M[j][j]);
            b = std::atan2(-M[k][i], cy);
            c = 0;
        }
    }
    if (d.odd) {
        a = -a;
        b = -b;
        c = -c;
    }
    frameOrder(d, a, c);
    e->a = VtAngleFromRadian(a);
    e->b = VtAngleFromRadian(b);
    e->c = VtAngleFromRadian(c);
}

} // namespace

void VtEulerToMatrix34(vt_matrix34 *m, const vt_euler *e) {
    double M[3][3];
    toColumns(M, e);
    for (int r = 0; r < 3; r++)
        for (int c = 0; c < 3; c++)
            m->m[r][c] = vt_scalar(M[c][r]);
    m->m[3][0] = m->m[3][1] = m->m[3][2] = 0;
}

void VtEulerFromMatrix34(vt_euler *e, const vt_matrix34 *m) {
    double M[3][3];
    for (int r = 0; r < 3; r++)
        for (int c = 0; c < 3; c++)
            M[c][r] = m->m[r][c];
    fromColumns(e, M);
}

void VtEulerToMatrix4(vt_matrix4 *m, const vt_euler *e) {
    vt_matrix34 m34;
    VtEulerToMatrix34(&m34, e);
    VtMatrix4Copy34(m, &m34);
}

void VtEulerToQuat(vt_quat *q, const vt_euler *e) {
    order d = decode(e->order);
    double a = VtAngleToRadian(e->a), b = VtAngleToRadian(e->b), c = VtAngleToRadian(e->c);
    frameOrder(d, a, c);
    if (d.odd)
        b = -b;
    double ti = a * 0.5, tj = b * 0.5, th = c * 0.5;
    double ci = std::cos(ti), cj = std::cos(tj), ch = std::cos(th);
    double si = std::sin(ti), sj = std::sin(tj), sh = std::sin(th);
    double cc = ci * ch, cs = ci * sh, sc = si * ch, ss = si * sh;
    double v[3], w;
    if (d.repeated) {
        v[d.i] = cj * (cs + sc);
        v[d.j] = sj * (cc + ss);
        v[d.k] = sj * (cs - sc);
        w = cj * (cc - ss);
    } else {
        v[d.i] = cj * sc - sj * cs;
        v[d.j] = cj * ss + sj * cc;
        v[d.k] = cj * cs - sj * sc;
        w = cj * cc + sj * ss;
    }
    if (d.odd)
        v[d.j] = -v[d.j];
    *q = vt_quat{vt_scalar(v[0]), vt_scalar(v[1]), vt_scalar(v[2]), vt_scalar(w)};
}

void VtEulerFromQuat(vt_euler *e, const vt_quat *q) {
    vt_matrix34 m;
    VtQuatToMatrix34(&m, q);
    VtEulerFromMatrix34(e, &m);
}

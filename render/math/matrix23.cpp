// 2x3 matrices: the texture-coordinate transforms of materials.
#include <cmath>
#include <cstring>

#include "render/math/math3d.h"

namespace {

void mul(vt_matrix23 *out, const vt_matrix23 *a, const vt_matrix23 *b) {
    vt_matrix23 r;
    for (int i = 0; i < 3; i++)
        for (int j = 0; j < 2; j++) {
            double s = double(a->m[i][0]) * b->m[0][j] + double(a->m[i][1]) * b->m[1][j];
            if (i == 2)
                s += b->m[2][j];
            r.m[i][j] = vt_scalar(s);
        }
    *out = r;
}

void set(vt_matrix23 *m, double a, double b, double c, double d, double tx, double ty) {
    m->m[0][0] = vt_scalar(a);
    m->m[0][1] = vt_scalar(b);
    m->m[1][0] = vt_scalar(c);
    m->m[1][1] = vt_scalar(d);
    m->m[2][0] = vt_scalar(tx);
    m->m[2][1] = vt_scalar(ty);
}

template <class Build, class... Args> void pre(vt_matrix23 *mat, Build build, Args... args) {
    vt_matrix23 t;
    build(&t, args...);
    mul(mat, &t, mat);
}

template <class Build, class... Args> void post(vt_matrix23 *mat, Build build, Args... args) {
    vt_matrix23 t;
    build(&t, args...);
    mul(mat, mat, &t);
}

} // namespace

void VtMatrix23Copy(vt_matrix23 *out, const vt_matrix23 *in) { memmove(out, in, sizeof *out); }
void VtMatrix23Mul(vt_matrix23 *out, const vt_matrix23 *a, const vt_matrix23 *b) { mul(out, a, b); }
void VtMatrix23Identity(vt_matrix23 *m) { set(m, 1, 0, 0, 1, 0, 0); }

void VtMatrix23Rotate(vt_matrix23 *m, vt_angle a) {
    double c = VtAngleCos(a), s = VtAngleSin(a);
    set(m, c, s, -s, c, 0, 0);
}

void VtMatrix23Translate(vt_matrix23 *m, vt_scalar dx, vt_scalar dy) { set(m, 1, 0, 0, 1, dx, dy); }
void VtMatrix23Scale(vt_matrix23 *m, vt_scalar sx, vt_scalar sy) { set(m, sx, 0, 0, sy, 0, 0); }
void VtMatrix23ShearX(vt_matrix23 *m, vt_scalar sy) { set(m, 1, sy, 0, 1, 0, 0); }
void VtMatrix23ShearY(vt_matrix23 *m, vt_scalar sx) { set(m, 1, 0, sx, 1, 0, 0); }

void VtMatrix23ApplyP(vt_vector2 *out, const vt_vector2 *in, const vt_matrix23 *m) {
    double x = in->v[0], y = in->v[1];
    VtVector2Set(out, vt_scalar(x * m->m[0][0] + y * m->m[1][0] + m->m[2][0]),
                 vt_scalar(x * m->m[0][1] + y * m->m[1][1] + m->m[2][1]));
}

void VtMatrix23ApplyV(vt_vector2 *out, const vt_vector2 *in, const vt_matrix23 *m) {
    double x = in->v[0], y = in->v[1];
    VtVector2Set(out, vt_scalar(x * m->m[0][0] + y * m->m[1][0]), vt_scalar(x * m->m[0][1] + y * m->m[1][1]));
}

vt_scalar VtMatrix23Inverse(vt_matrix23 *out, const vt_matrix23 *in) {
    double a = in->m[0][0], b = in->m[0][1], c = in->m[1][0], d = in->m[1][1];
    double det = a * d - b * c;
    if (std::fabs(det) < 1.1920929e-7)
        return 0;
    double ia = d / det, ib = -b / det, ic = -c / det, id = a / det;
    double tx = in->m[2][0], ty = in->m[2][1];
    set(out, ia, ib, ic, id, -(tx * ia + ty * ic), -(tx * ib + ty * id));
    return vt_scalar(det);
}

void VtMatrix23LPInverse(vt_matrix23 *out, const vt_matrix23 *in) {
    double a = in->m[0][0], b = in->m[0][1], c = in->m[1][0], d = in->m[1][1];
    double tx = in->m[2][0], ty = in->m[2][1];
    set(out, a, c, b, d, -(tx * a + ty * b), -(tx * c + ty * d));
}

void VtMatrix23LPNormalise(vt_matrix23 *out, const vt_matrix23 *in) {
    // The y row keeps its direction; x becomes its clockwise normal.
    double x = in->m[1][0], y = in->m[1][1];
    double l = std::sqrt(x * x + y * y);
    if (l < VT_SCALAR_TINY) {
        x = 0;
        y = 1;
    } else {
        x /= l;
        y /= l;
    }
    set(out, y, -x, x, y, in->m[2][0], in->m[2][1]);
}

void VtMatrix23Pre(vt_matrix23 *mat, const vt_matrix23 *a) { mul(mat, a, mat); }
void VtMatrix23Post(vt_matrix23 *mat, const vt_matrix23 *a) { mul(mat, mat, a); }
void VtMatrix23PreRotate(vt_matrix23 *mat, vt_angle a) { pre(mat, VtMatrix23Rotate, a); }
void VtMatrix23PostRotate(vt_matrix23 *mat, vt_angle a) { post(mat, VtMatrix23Rotate, a); }
void VtMatrix23PreTranslate(vt_matrix23 *mat, vt_scalar dx, vt_scalar dy) { pre(mat, VtMatrix23Translate, dx, dy); }
void VtMatrix23PostTranslate(vt_matrix23 *mat, vt_scalar dx, vt_scalar dy) { post(mat, VtMatrix23Translate, dx, dy); }
void VtMatrix23PreScale(vt_matrix23 *mat, vt_scalar sx, vt_scalar sy) { pre(mat, VtMatrix23Scale, sx, sy); }
void VtMatrix23PostScale(vt_matrix23 *mat, vt_scalar sx, vt_scalar sy) { post(mat, VtMatrix23Scale, sx, sy); }
void VtMatrix23PreShearX(vt_matrix23 *mat, vt_scalar sy) { pre(mat, VtMatrix23ShearX, sy); }
void VtMatrix23PostShearX(vt_matrix23 *mat, vt_scalar sy) { post(mat, VtMatrix23ShearX, sy); }
void VtMatrix23PreShearY(vt_matrix23 *mat, vt_scalar sx) { pre(mat, VtMatrix23ShearY, sx); }
void VtMatrix23PostShearY(vt_matrix23 *mat, vt_scalar sx) { post(mat, VtMatrix23ShearY, sx); }

void VtMatrix23TranslationAdd(vt_matrix23 *mat, vt_scalar dx, vt_scalar dy) {
    mat->m[2][0] += dx;
    mat->m[2][1] += dy;
}

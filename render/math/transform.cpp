// Actor transforms to and from matrices; plane equations and bounds.
#include <cfloat>
#include <cmath>
#include <cstring>

#include "render/math/math3d.h"

namespace {

void setTranslation(vt_matrix34 *m, const vt_vector3 &t) {
    for (int j = 0; j < 3; j++)
        m->m[3][j] = t.v[j];
}

vt_vector3 row(const vt_matrix34 *m, int i) { return vt_vector3{{m->m[i][0], m->m[i][1], m->m[i][2]}}; }

// A unit vector perpendicular to the unit vector z.
vt_vector3 anyPerpendicular(const vt_vector3 &z) {
    int least = 0;
    for (int i = 1; i < 3; i++)
        if (std::fabs(z.v[i]) < std::fabs(z.v[least]))
            least = i;
    vt_vector3 e = {{0, 0, 0}}, x;
    e.v[least] = 1;
    VtVector3Cross(&x, &e, &z);
    VtVector3Normalise(&x, &x);
    return x;
}

void lookUpToMatrix(vt_matrix34 *m, const vt_vector3 &look, const vt_vector3 &up, const vt_vector3 &t) {
    vt_vector3 x, y, z;
    if (!VtVector3Normalise(&z, &look))
        VtVector3Set(&z, 1, 0, 0);
    VtVector3Negate(&z, &z);
    VtVector3Cross(&x, &up, &z);
    if (!VtVector3Normalise(&x, &x)) {
        // An up along the look (or none) leaves x free: (1, 0, 0) unless
        // that is the look itself, so the matrix stays a rotation.
        VtVector3Set(&x, 1, 0, 0);
        if (std::fabs(VtVector3Dot(&x, &z)) > 0.5f)
            x = anyPerpendicular(z);
    }
    VtVector3Cross(&y, &z, &x);
    for (int j = 0; j < 3; j++) {
        m->m[0][j] = x.v[j];
        m->m[1][j] = y.v[j];
        m->m[2][j] = z.v[j];
    }
    setTranslation(m, t);
}

} // namespace

void VtTransformIdentity(vt_transform *xform) {
    memset(xform, 0, sizeof *xform);
    xform->type = VT_TRANSFORM_IDENTITY;
    VtMatrix34Identity(&xform->t.mat);
}

void VtTransformToMatrix34(vt_matrix34 *m, const vt_transform *xform) {
    switch (xform->type) {
    case VT_TRANSFORM_MATRIX34:
    case VT_TRANSFORM_MATRIX34_LP:
        VtMatrix34Copy(m, &xform->t.mat);
        break;
    case VT_TRANSFORM_QUAT: {
        vt_vector3 t = xform->t.quat.t;
        VtQuatToMatrix34(m, &xform->t.quat.q);
        setTranslation(m, t);
        break;
    }
    case VT_TRANSFORM_EULER: {
        vt_vector3 t = xform->t.euler.t;
        VtEulerToMatrix34(m, &xform->t.euler.e);
        setTranslation(m, t);
        break;
    }
    case VT_TRANSFORM_LOOK_UP: {
        vt_vector3 look = xform->t.look_up.look, up = xform->t.look_up.up, t = xform->t.look_up.t;
        lookUpToMatrix(m, look, up, t);
        break;
    }
    case VT_TRANSFORM_TRANSLATION: {
        vt_vector3 t = xform->t.translate.t;
        VtMatrix34Identity(m);
        setTranslation(m, t);
        break;
    }
    default:
        VtMatrix34Identity(m);
        break;
    }
}

void VtTransformFromMatrix34(vt_transform *xform, const vt_matrix34 *m) {
    vt_matrix34 in = *m;
    vt_vector3 t = row(&in, 3);
    switch (xform->type) {
    case VT_TRANSFORM_MATRIX34:
        xform->t.mat = in;
        break;
    case VT_TRANSFORM_MATRIX34_LP:
        VtMatrix34LPNormalise(&xform->t.mat, &in);
        break;
    case VT_TRANSFORM_QUAT:
        VtQuatFromMatrix34(&xform->t.quat.q, &in);
        xform->t.quat.t = t;
        break;
    case VT_TRANSFORM_EULER:
        VtEulerFromMatrix34(&xform->t.euler.e, &in);
        xform->t.euler.t = t;
        break;
    case VT_TRANSFORM_LOOK_UP:
        // The look is along -z and the up is the y row.
        {
            vt_vector3 z = row(&in, 2);
            VtVector3Negate(&xform->t.look_up.look, &z);
        }
        xform->t.look_up.up = row(&in, 1);
        xform->t.look_up.t = t;
        break;
    case VT_TRANSFORM_TRANSLATION:
        xform->t.translate.t = t;
        break;
    default:
        break;
    }
}

void VtTransformToTransform(vt_transform *out, const vt_transform *in) {
    if (out->type == in->type) {
        memmove(out, in, sizeof *out);
        return;
    }
    vt_matrix34 m;
    VtTransformToMatrix34(&m, in);
    VtTransformFromMatrix34(out, &m);
}

bool VtPlaneEquation(vt_vector4 *eqn, const vt_vector3 *p0, const vt_vector3 *p1, const vt_vector3 *p2) {
    vt_vector3 a, b, n;
    VtVector3Sub(&a, p1, p0);
    VtVector3Sub(&b, p2, p0);
    VtVector3Cross(&n, &a, &b);
    bool ok = VtVector3Normalise(&n, &n);
    if (!ok)
        VtVector3Set(&n, 0, 0, 1);
    VtVector4Set(eqn, n.v[0], n.v[1], n.v[2], VtVector3Dot(&n, p0));
    return ok;
}

void VtBounds3Empty(vt_bounds3 *b) {
    VtVector3Set(&b->min, FLT_MAX, FLT_MAX, FLT_MAX);
    VtVector3Set(&b->max, -FLT_MAX, -FLT_MAX, -FLT_MAX);
}

void VtBounds3AddPoint(vt_bounds3 *b, const vt_vector3 *p) {
    for (int i = 0; i < 3; i++) {
        if (p->v[i] < b->min.v[i])
            b->min.v[i] = p->v[i];
        if (p->v[i] > b->max.v[i])
            b->max.v[i] = p->v[i];
    }
}

void VtBounds3Transform(vt_bounds3 *out, const vt_bounds3 *in, const vt_matrix34 *m) {
    vt_bounds3 r;
    for (int j = 0; j < 3; j++) {
        double lo = m->m[3][j], hi = m->m[3][j];
        for (int i = 0; i < 3; i++) {
            double a = double(m->m[i][j]) * in->min.v[i], b = double(m->m[i][j]) * in->max.v[i];
            lo += a < b ? a : b;
            hi += a < b ? b : a;
        }
        r.min.v[j] = vt_scalar(lo);
        r.max.v[j] = vt_scalar(hi);
    }
    *out = r;
}

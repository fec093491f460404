// Angles, fixed-point scalars and vectors.
#include <cmath>
#include <cstdint>

#include "render/math/math3d.h"

namespace {
constexpr double kRadPerUnit = 9.587379924285257e-5;
constexpr double kUnitsPerRad = 10430.378350470453;
} // namespace

vt_scalar VtAngleToRadian(vt_angle a) { return vt_scalar(a * kRadPerUnit); }

vt_angle VtAngleFromRadian(double r) {
    // Nearest whole unit, then wrapped into one turn (negative angles too).
    return vt_angle(vt_int_32(std::llround(r * kUnitsPerRad)) & 0xFFFF);
}

vt_scalar VtAngleToDegree(vt_angle a) { return vt_scalar(a * (360.0 / 65536.0)); }

vt_angle VtAngleFromDegree(double d) { return vt_angle(vt_int_32(std::llround(d * (65536.0 / 360.0))) & 0xFFFF); }

vt_scalar VtAngleSin(vt_angle a) { return vt_scalar(std::sin(a * kRadPerUnit)); }

vt_scalar VtAngleCos(vt_angle a) { return vt_scalar(std::cos(a * kRadPerUnit)); }

namespace {
vt_fixed saturate(int64_t x) { return vt_fixed(x < INT32_MIN ? INT32_MIN : x > INT32_MAX ? INT32_MAX : x); }
} // namespace

vt_fixed VtScalarToFixed(vt_scalar s) {
    const double x = double(s) * VT_FIXED_ONE;
    if (!(x == x))
        return 0;
    return x <= INT32_MIN ? INT32_MIN : x >= INT32_MAX ? INT32_MAX : vt_fixed(x);
}

vt_fixed VtFixedMul(vt_fixed a, vt_fixed b) { return saturate((int64_t(a) * b) / VT_FIXED_ONE); }

vt_fixed VtFixedDiv(vt_fixed a, vt_fixed b) {
    if (b == 0)
        return a < 0 ? INT32_MIN : INT32_MAX;
    return saturate((int64_t(a) * VT_FIXED_ONE) / b);
}

void VtVector2Set(vt_vector2 *v, vt_scalar x, vt_scalar y) {
    v->v[0] = x;
    v->v[1] = y;
}

void VtVector3Set(vt_vector3 *v, vt_scalar x, vt_scalar y, vt_scalar z) {
    v->v[0] = x;
    v->v[1] = y;
    v->v[2] = z;
}

void VtVector4Set(vt_vector4 *v, vt_scalar x, vt_scalar y, vt_scalar z, vt_scalar w) {
    v->v[0] = x;
    v->v[1] = y;
    v->v[2] = z;
    v->v[3] = w;
}

void VtVector3Add(vt_vector3 *out, const vt_vector3 *a, const vt_vector3 *b) {
    for (int i = 0; i < 3; i++)
        out->v[i] = a->v[i] + b->v[i];
}

void VtVector3Sub(vt_vector3 *out, const vt_vector3 *a, const vt_vector3 *b) {
    for (int i = 0; i < 3; i++)
        out->v[i] = a->v[i] - b->v[i];
}

void VtVector3Scale(vt_vector3 *out, const vt_vector3 *a, vt_scalar s) {
    for (int i = 0; i < 3; i++)
        out->v[i] = a->v[i] * s;
}

void VtVector3Negate(vt_vector3 *out, const vt_vector3 *a) {
    for (int i = 0; i < 3; i++)
        out->v[i] = -a->v[i];
}

void VtVector3Cross(vt_vector3 *out, const vt_vector3 *a, const vt_vector3 *b) {
    double x = double(a->v[1]) * b->v[2] - double(a->v[2]) * b->v[1];
    double y = double(a->v[2]) * b->v[0] - double(a->v[0]) * b->v[2];
    double z = double(a->v[0]) * b->v[1] - double(a->v[1]) * b->v[0];
    VtVector3Set(out, vt_scalar(x), vt_scalar(y), vt_scalar(z));
}

vt_scalar VtVector3Dot(const vt_vector3 *a, const vt_vector3 *b) {
    return vt_scalar(double(a->v[0]) * b->v[0] + double(a->v[1]) * b->v[1] + double(a->v[2]) * b->v[2]);
}

vt_scalar VtVector3LengthSquared(const vt_vector3 *a) { return VtVector3Dot(a, a); }

vt_scalar VtVector3Length(const vt_vector3 *a) {
    return vt_scalar(std::sqrt(double(a->v[0]) * a->v[0] + double(a->v[1]) * a->v[1] + double(a->v[2]) * a->v[2]));
}

bool VtVector3Normalise(vt_vector3 *out, const vt_vector3 *a) {
    double l = std::sqrt(double(a->v[0]) * a->v[0] + double(a->v[1]) * a->v[1] + double(a->v[2]) * a->v[2]);
    if (!(l >= VT_SCALAR_TINY))
        return false;
    for (int i = 0; i < 3; i++)
        out->v[i] = vt_scalar(a->v[i] / l);
    return true;
}

vt_scalar VtVector4Dot(const vt_vector4 *a, const vt_vector4 *b) {
    double s = 0;
    for (int i = 0; i < 4; i++)
        s += double(a->v[i]) * b->v[i];
    return vt_scalar(s);
}

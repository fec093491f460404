#include "RES/vecmath.h"

#include <cmath>

float SineTable[720];
float CosineTable[720];
uint8_t SineTableReady;

namespace {

// The matrix builders' conversion, in double.
double MatRadians(float degrees) { return degrees / 180.0 * 3.1415926; }

struct SinCos {
    float c, s;
};

// Matrix rotation: the cosine from the double angle, the sine from the angle
// rounded to float first.
SinCos MatSinCos(float degrees) {
    double r = MatRadians(degrees);
    return {static_cast<float>(std::cos(r)), static_cast<float>(std::sin(static_cast<float>(r)))};
}

SinCos VecSinCos(float radians) {
    return {static_cast<float>(std::cos(static_cast<double>(radians))),
            static_cast<float>(std::sin(static_cast<double>(radians)))};
}

// Row by row: each row of the result is a sum of the right matrix's rows,
// so the four columns are formed side by side (in double, then stored).
void Multiply(const Mat4 &l, const Mat4 &r, Mat4 &out) {
    double rd[16];
    for (int i = 0; i < 16; ++i) rd[i] = r.m[i];
    Mat4 t;
    for (int row = 0; row < 4; ++row) {
        double l0 = l.m[4 * row], l1 = l.m[4 * row + 1], l2 = l.m[4 * row + 2], l3 = l.m[4 * row + 3];
        for (int col = 0; col < 4; ++col)
            t.m[4 * row + col] =
                static_cast<float>(l0 * rd[col] + l1 * rd[4 + col] + l2 * rd[8 + col] + l3 * rd[12 + col]);
    }
    out = t;
}

void FullRotation(Mat4 &r, void (*build)(float, Mat4 &), float degrees) {
    r = Mat4{};
    r.m[15] = 1.0f;
    build(degrees, r);
}

}  // namespace

// ---- vectors ----------------------------------------------------------------

double VecLength(const Vec3 &v) {
    double x = v.x, y = v.y, z = v.z;
    return std::sqrt(x * x + y * y + z * z);
}

double VecLengthDouble(const Vec3d &v) { return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z); }

double VecDistance(const Vec3 &a, const Vec3 &b) {
    Vec3 d{a.x - b.x, a.y - b.y, a.z - b.z};
    return VecLength(d);
}

float VecLengthApprox2(const Vec3 &v) {
    double a = std::fabs(v.x), b = std::fabs(v.y);
    return static_cast<float>(a > b ? a + 0.34375 * b : b + 0.34375 * a);
}

double VecLengthApproxDouble(const Vec3d &v) {
    double a = std::fabs(v.x), b = std::fabs(v.y), c = std::fabs(v.z);
    if (a < b) std::swap(a, b);
    if (a < c) std::swap(a, c);
    return a + 0.34375 * b + 0.25 * c;
}

namespace {
float ScaleBy(Vec3 &v, float len, double numerator) {
    if (len == 0.0f) return 0.0f;
    v.x = static_cast<float>(v.x * numerator / len);
    v.y = static_cast<float>(v.y * numerator / len);
    v.z = static_cast<float>(v.z * numerator / len);
    return len;
}

// v over its length `len`, which is returned; a zero length leaves v alone.
float DivideBy(Vec3 &v, float len) {
    if (len == 0.0f) return 0.0f;
    v.x /= len;
    v.y /= len;
    v.z /= len;
    return len;
}
}  // namespace

float VecNormalise(Vec3 &v) { return DivideBy(v, static_cast<float>(VecLength(v))); }

float VecNormaliseApprox(Vec3 &v) { return DivideBy(v, VecLengthApprox(v)); }

float VecSetLength65536(Vec3 &v) { return ScaleBy(v, static_cast<float>(VecLength(v)), 65536.0); }

void VecCross(const Vec3 &a, const Vec3 &b, Vec3 &out) {
    Vec3 t{static_cast<float>(static_cast<double>(a.y) * b.z - static_cast<double>(a.z) * b.y),
           static_cast<float>(static_cast<double>(a.z) * b.x - static_cast<double>(a.x) * b.z),
           static_cast<float>(static_cast<double>(a.x) * b.y - static_cast<double>(a.y) * b.x)};
    out = t;
}

double VecDot(const Vec3 &a, const Vec3 &b) {
    return static_cast<double>(a.x) * b.x + static_cast<double>(a.y) * b.y + static_cast<double>(a.z) * b.z;
}

Vec3 &VecRotateY(Vec3 &out, float degrees, const Vec3 &v) {
    SinCos k = VecSinCos(degrees * kDegToRadF);
    Vec3 t{static_cast<float>(static_cast<double>(v.x) * k.c + static_cast<double>(v.z) * k.s), v.y,
           static_cast<float>(static_cast<double>(v.z) * k.c - static_cast<double>(v.x) * k.s)};
    out = t;
    return out;
}

Vec3 &VecRotateXNegated(Vec3 &out, float degrees, const Vec3 &v) {
    SinCos k = VecSinCos(-degrees * kDegToRadF);
    Vec3 t{v.x, static_cast<float>(static_cast<double>(v.y) * k.c + static_cast<double>(v.z) * k.s),
           static_cast<float>(static_cast<double>(v.z) * k.c - static_cast<double>(v.y) * k.s)};
    out = t;
    return out;
}

Vec3 &VecRotateZ(Vec3 &out, float degrees, const Vec3 &v) {
    SinCos k = VecSinCos(degrees * kDegToRadF);
    Vec3 t{static_cast<float>(static_cast<double>(v.x) * k.c + static_cast<double>(v.y) * k.s),
           static_cast<float>(static_cast<double>(v.y) * k.c - static_cast<double>(v.x) * k.s), v.z};
    out = t;
    return out;
}

void SwapWords(uint32_t &a, uint32_t &b) {
    uint32_t t = a;
    a = b;
    b = t;
}

void SwapWords(float &a, float &b) {
    float t = a;
    a = b;
    b = t;
}

// ---- matrices -----------------------------------------------------------------

Mat4 &MatIdentity(Mat4 &a) {
    a = Mat4{};
    a.m[0] = a.m[5] = a.m[10] = a.m[15] = 1.0f;
    return a;
}

Mat4 &MatIdentity3x3(Mat4 &a) {
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) a.m[4 * r + c] = r == c ? 1.0f : 0.0f;
    return a;
}

void MatCopy(Mat4 &a, const Mat4 &b) { a = b; }

void MatTransposeNegate(Mat4 &a, const Mat4 &b) {
    Mat4 t = b;
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) t.m[4 * r + c] = b.m[4 * c + r];
    t.m[12] = -b.m[12];
    t.m[13] = -b.m[13];
    t.m[14] = -b.m[14];
    a = t;
}

void MatMultiply3x3(Mat4 &a, const Mat4 &b) {
    float t[9];
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            double sum = 0;
            for (int k = 0; k < 3; ++k) sum += static_cast<double>(b.m[4 * r + k]) * a.m[4 * k + c];
            t[3 * r + c] = static_cast<float>(sum);
        }
    }
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) a.m[4 * r + c] = t[3 * r + c];
}

void MatPreMultiply(Mat4 &a, const Mat4 &b) { Multiply(a, b, a); }

void MatPostMultiply(Mat4 &a, const Mat4 &b) { Multiply(b, a, a); }

void MatRotationX(float degrees, Mat4 &a) {
    SinCos k = MatSinCos(degrees);
    a.m[0] = 1, a.m[1] = 0, a.m[2] = 0;
    a.m[4] = 0, a.m[5] = k.c, a.m[6] = k.s;
    a.m[8] = 0, a.m[9] = -k.s, a.m[10] = k.c;
}

void MatRotationY(float degrees, Mat4 &a) {
    SinCos k = MatSinCos(degrees);
    a.m[0] = k.c, a.m[1] = 0, a.m[2] = -k.s;
    a.m[4] = 0, a.m[5] = 1, a.m[6] = 0;
    a.m[8] = k.s, a.m[9] = 0, a.m[10] = k.c;
}

void MatRotationZ(float degrees, Mat4 &a) {
    SinCos k = MatSinCos(degrees);
    a.m[0] = k.c, a.m[1] = -k.s, a.m[2] = 0;
    a.m[4] = k.s, a.m[5] = k.c, a.m[6] = 0;
    a.m[8] = 0, a.m[9] = 0, a.m[10] = 1;
}

void MatRotateX(float degrees, Mat4 &a) {
    Mat4 r;
    FullRotation(r, MatRotationX, degrees);
    MatPostMultiply(a, r);
}

void MatRotateY(float degrees, Mat4 &a) {
    Mat4 r;
    FullRotation(r, MatRotationY, degrees);
    MatPostMultiply(a, r);
}

void MatRotateZ(float degrees, Mat4 &a) {
    Mat4 r;
    FullRotation(r, MatRotationZ, degrees);
    MatPostMultiply(a, r);
}

void MatRotationAxis(Mat4 &a, float x, float y, float z, float degrees) {
    Vec3 n{x, y, z};
    VecNormalise(n);
    SinCos k = MatSinCos(degrees);
    double c = k.c, s = k.s, t = 1.0 - c;
    double X = n.x, Y = n.y, Z = n.z;
    a.m[0] = static_cast<float>(t * X * X + c);
    a.m[1] = static_cast<float>(t * Y * X - Z * s);
    a.m[2] = static_cast<float>(t * Z * X + Y * s);
    a.m[4] = static_cast<float>(t * X * Y + Z * s);
    a.m[5] = static_cast<float>(t * Y * Y + c);
    a.m[6] = static_cast<float>(t * Z * Y - X * s);
    a.m[8] = static_cast<float>(t * X * Z - Y * s);
    a.m[9] = static_cast<float>(t * Y * Z + X * s);
    a.m[10] = static_cast<float>(t * Z * Z + c);
    a.m[15] = 1.0f;
}

void MatScaling(float percent, Mat4 &a) {
    MatIdentity(a);
    a.m[0] = a.m[5] = a.m[10] = static_cast<float>(percent / 100.0);
}

namespace {
void ScaleBy(Mat4 &a, float percent, bool x, bool y, bool z) {
    Mat4 s;
    MatIdentity(s);
    float f = static_cast<float>(percent / 100.0);
    if (x) s.m[0] = f;
    if (y) s.m[5] = f;
    if (z) s.m[10] = f;
    MatPreMultiply(a, s);
}
}  // namespace

void MatScale(float percent, Mat4 &a) { ScaleBy(a, percent, true, true, true); }
void MatScaleX(float percent, Mat4 &a) { ScaleBy(a, percent, true, false, false); }
void MatScaleY(float percent, Mat4 &a) { ScaleBy(a, percent, false, true, false); }
void MatScaleZ(float percent, Mat4 &a) { ScaleBy(a, percent, false, false, true); }

void MatTranslate(float x, float y, float z, Mat4 &a) {
    a.m[12] += x;
    a.m[13] += y;
    a.m[14] += z;
}

void MatFrustum(float l, float r, float b, float t, float n, float f, Mat4 &a) {
    a = Mat4{};
    a.m[0] = static_cast<float>(2.0 * n / (static_cast<double>(r) - l));
    a.m[5] = static_cast<float>(2.0 * n / (static_cast<double>(t) - b));
    a.m[8] = static_cast<float>((static_cast<double>(r) + l) / (static_cast<double>(r) - l));
    a.m[9] = static_cast<float>((static_cast<double>(t) + b) / (static_cast<double>(t) - b));
    a.m[10] = static_cast<float>(-(static_cast<double>(f) + n) / (static_cast<double>(f) - n));
    a.m[11] = -1.0f;
    a.m[14] = static_cast<float>(-2.0 * f * n / (static_cast<double>(f) - n));
}

void MatProjectPoint(const Mat4 &a, const Vec3 &p, Vec3 &out) {
    double x = p.x, y = p.y, z = p.z, w = a.m[15];
    Vec3 t{static_cast<float>((x * a.m[0] + y * a.m[4] + z * a.m[8] + a.m[12]) / w),
           static_cast<float>((x * a.m[1] + y * a.m[5] + z * a.m[9] + a.m[13]) / w),
           static_cast<float>((x * a.m[2] + y * a.m[6] + z * a.m[10] + a.m[14]) / w)};
    out = t;
}

Vec3 &MatTransformPointTransposed(Vec3 &out, const Vec3 &p, const Mat4 &a) {
    MatRotateVector(a, p, out);
    return out;
}

void MatLookAlong(const Vec3 &forward, const Vec3 *up, Mat4 &a) {
    Vec3 u = up ? Vec3{-up->x, -up->y, -up->z} : Vec3{0.0f, -1.0f, 0.0f};
    Vec3 f = forward;
    VecNormalise(f);
    Vec3 x, y;
    VecCross(f, u, x);
    VecNormalise(x);
    VecCross(f, x, y);
    a.m[0] = x.x, a.m[1] = x.y, a.m[2] = x.z, a.m[3] = 0;
    a.m[4] = y.x, a.m[5] = y.y, a.m[6] = y.z, a.m[7] = 0;
    a.m[8] = f.x, a.m[9] = f.y, a.m[10] = f.z, a.m[11] = 0;
    a.m[15] = 1.0f;
}

double MatAngleBetween(const Mat4 &a, const Mat4 &b) {
    double sum = 3.0;
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) sum += static_cast<double>(a.m[4 * r + c]) * b.m[4 * r + c];
    return sum / 6.0;
}

void MatTo3x3Transposed(const Mat4 &a, float *out) {
    if (!out) return;
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) out[3 * r + c] = a.m[4 * c + r];
}

// ---- half-degree sine table ------------------------------------------------------

void InitSineTable() {
    for (int i = 0; i < 720; ++i) {
        float degrees = i * 0.5f;
        double r = static_cast<double>(degrees * kDegToRadF);
        CosineTable[i] = static_cast<float>(std::cos(r));
        SineTable[i] = static_cast<float>(std::sin(r));
    }
    SineTableReady = 0xFF;
}

// The index is taken in full rather than as a 16-bit number, so angles of
// 16384 degrees and more still land on their own half degree.
int SineTableIndex(float degrees) {
    double i = std::trunc((static_cast<double>(degrees) + 0.25) * 2.0);
    if (!std::isfinite(i)) return 0;
    double m = std::fmod(i, 720.0);
    if (m < 0) m += 720.0;
    return static_cast<int>(m);
}

float SinDeg(float degrees) { return SineTable[SineTableIndex(degrees)]; }

float CosDeg(float degrees) { return CosineTable[SineTableIndex(degrees)]; }

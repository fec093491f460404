// The game's single-precision 3D math: 3-vectors, 4x4 matrices of row
// vectors (rows 0-2 the axes, row 3 the translation), rotations in degrees.
#pragma once

#include <cstdint>

struct Vec3 {
    float x, y, z;
};

// Double-precision world positions.
struct Vec3d {
    double x, y, z;
};

struct Mat4 {
    float m[16];  // element (row r, column c) = m[4r + c]
};

// Vector rotations and the sine table turn degrees into radians with this
// single-precision constant; the matrix builders use degrees / 180 x 3.1415926
// in double. Both are kept: results must match either way bit for bit.
inline constexpr float kDegToRadF = 0.017453292f;

// ---- vectors ----------------------------------------------------------------

double VecLength(const Vec3 &v);
double VecLengthDouble(const Vec3d &v);
double VecDistance(const Vec3 &a, const Vec3 &b);
// Cheap length estimates (no square root). Approx2 ignores z.
float VecLengthApprox2(const Vec3 &v);
// Largest component + 0.34375 x the next + 0.25 x the last, where only the
// largest is sorted out: (1, 2, 3) gives 3 + 0.34375 x 1 + 0.25 x 2.
inline float VecLengthApprox(const Vec3 &v);
double VecLengthApproxDouble(const Vec3d &v);
// Scale to unit length; a zero vector stays as it is and 0 is returned.
float VecNormalise(Vec3 &v);
float VecNormaliseApprox(Vec3 &v);
// Scale to length 65536; returns the old length.
float VecSetLength65536(Vec3 &v);
// out may be a or b.
void VecCross(const Vec3 &a, const Vec3 &b, Vec3 &out);
double VecDot(const Vec3 &a, const Vec3 &b);
// out may be v.
Vec3 &VecRotateY(Vec3 &out, float degrees, const Vec3 &v);
Vec3 &VecRotateXNegated(Vec3 &out, float degrees, const Vec3 &v);
Vec3 &VecRotateZ(Vec3 &out, float degrees, const Vec3 &v);
void SwapWords(uint32_t &a, uint32_t &b);
void SwapWords(float &a, float &b);

// ---- matrices -----------------------------------------------------------------

Mat4 &MatIdentity(Mat4 &a);
Mat4 &MatIdentity3x3(Mat4 &a);
void MatCopy(Mat4 &a, const Mat4 &b);
// 3x3 part transposed, translation negated (not rotated): the inverse of a
// pure rotation, not of a rigid motion.
void MatTransposeNegate(Mat4 &a, const Mat4 &b);
// a.3x3 = b.3x3 x a.3x3; translation and fourth column unchanged.
void MatMultiply3x3(Mat4 &a, const Mat4 &b);
void MatPreMultiply(Mat4 &a, const Mat4 &b);   // a = a x b
void MatPostMultiply(Mat4 &a, const Mat4 &b);  // a = b x a
// Set only the 3x3 part to a rotation.
void MatRotationX(float degrees, Mat4 &a);
void MatRotationY(float degrees, Mat4 &a);
void MatRotationZ(float degrees, Mat4 &a);
// a = R x a.
void MatRotateX(float degrees, Mat4 &a);
void MatRotateY(float degrees, Mat4 &a);
void MatRotateZ(float degrees, Mat4 &a);
// 3x3 part = rotation about the (normalised) axis; m15 = 1.
void MatRotationAxis(Mat4 &a, float x, float y, float z, float degrees);
void MatScaling(float percent, Mat4 &a);  // a = uniform scaling
void MatScale(float percent, Mat4 &a);    // a = a x scaling
void MatScaleX(float percent, Mat4 &a);
void MatScaleY(float percent, Mat4 &a);
void MatScaleZ(float percent, Mat4 &a);
void MatTranslate(float x, float y, float z, Mat4 &a);
void MatFrustum(float left, float right, float bottom, float top, float nearZ, float farZ, Mat4 &a);
// (p x a, translation included) / a.m15.
void MatProjectPoint(const Mat4 &a, const Vec3 &p, Vec3 &out);
// out = p x 3x3 (row vector times the axes). out may be p.
inline void MatRotateVector(const Mat4 &a, const Vec3 &p, Vec3 &out);
// out = 3x3 x p (the transposed rotation). out may be p.
inline Vec3 &MatTransformPoint(Vec3 &out, const Vec3 &p, const Mat4 &a);
Vec3 &MatTransformPointTransposed(Vec3 &out, const Vec3 &p, const Mat4 &a);
// Orientation whose Z row is the forward direction; up defaults to (0, 1, 0).
// The translation row is kept.
void MatLookAlong(const Vec3 &forward, const Vec3 *up, Mat4 &a);
// 1 for equal orientations, 0 for opposite ones.
double MatAngleBetween(const Mat4 &a, const Mat4 &b);
void MatTo3x3Transposed(const Mat4 &a, float *out);

// ---- half-degree sine table ------------------------------------------------------

extern float SineTable[720];
extern float CosineTable[720];
extern uint8_t SineTableReady;

void InitSineTable();
// Nearest half degree (ties upward) for non-negative angles; negative
// angles truncate toward zero before wrapping.
float SinDeg(float degrees);
float CosDeg(float degrees);
int SineTableIndex(float degrees);

// ---- the hot ones, inline for the per-object loops --------------------------------

// Exchanges as SwapWords would (a < b, then the larger against c), without
// branches; a NaN compares false and stays where it is, as with the swaps.
inline float VecLengthApprox(const Vec3 &v) {
    float a = __builtin_fabsf(v.x), b = __builtin_fabsf(v.y), c = __builtin_fabsf(v.z);
    bool s1 = a < b;
    float a1 = s1 ? b : a, b1 = s1 ? a : b;
    bool s2 = a1 < c;
    float hi = s2 ? c : a1, lo = s2 ? a1 : c;
    return static_cast<float>(static_cast<double>(hi) + 0.34375 * b1 + 0.25 * lo);
}

inline void MatRotateVector(const Mat4 &a, const Vec3 &p, Vec3 &out) {
    double x = p.x, y = p.y, z = p.z;
    Vec3 t{static_cast<float>(a.m[0] * x + a.m[4] * y + a.m[8] * z),
           static_cast<float>(a.m[1] * x + a.m[5] * y + a.m[9] * z),
           static_cast<float>(a.m[2] * x + a.m[6] * y + a.m[10] * z)};
    out = t;
}

inline Vec3 &MatTransformPoint(Vec3 &out, const Vec3 &p, const Mat4 &a) {
    double x = p.x, y = p.y, z = p.z;
    Vec3 t{static_cast<float>(a.m[0] * x + a.m[1] * y + a.m[2] * z),
           static_cast<float>(a.m[4] * x + a.m[5] * y + a.m[6] * z),
           static_cast<float>(a.m[8] * x + a.m[9] * y + a.m[10] * z)};
    out = t;
    return out;
}

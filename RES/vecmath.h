// The game's single-precision 3D math: 3-vectors, 4x4 matrices of row
// vectors (rows 0-2 the axes, row 3 the translation), rotations in degrees.
#pragma once

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

// Vector and matrix operations.
double VecLength(const Vec3 *v);
float VecLengthApprox(const Vec3 *v);
float VecNormalise(Vec3 *v);
Mat4 *MatIdentity(Mat4 *a);
void MatCopy(Mat4 *a, const Mat4 *b);
void MatRotateX(float degrees, Mat4 *a);
void MatRotateY(float degrees, Mat4 *a);
void MatRotateZ(float degrees, Mat4 *a);
void MatScale(float percent, Mat4 *a);
void MatScaleX(float percent, Mat4 *a);
void MatScaleY(float percent, Mat4 *a);
void MatScaleZ(float percent, Mat4 *a);
void MatTranslate(float x, float y, float z, Mat4 *a);
Vec3 *MatTransformPoint(Vec3 *out, const Vec3 *p, const Mat4 *a);
void MatLookAlong(const Vec3 *forward, const Vec3 *up, Mat4 *a);

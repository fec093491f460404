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

void InitSineTable();

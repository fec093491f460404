// Turns of library 3x4 matrices by the 16-bit angles of the set-up tables.
#include <cmath>

#include "present/p3d.h"
#include "render/math/math3d.h"

namespace {

constexpr double kRadiansPerUnit = 0.0000958738;

// Mixes two columns of all four rows: a := c a - s b; b := c b + s a.
void MixColumns(vt_matrix34 *m, int a, int b, int angle) {
    const float c = float(std::cos(angle * kRadiansPerUnit)), s = float(std::sin(angle * kRadiansPerUnit));
    for (auto &row : m->m) {
        const float x = row[a], y = row[b];
        row[a] = c * x - s * y;
        row[b] = c * y + s * x;
    }
}

}  // namespace

void P3DTurnAboutX(vt_matrix34 *m, int angle) {
    const float c = float(std::cos(angle * kRadiansPerUnit)), s = float(std::sin(angle * kRadiansPerUnit));
    for (int k = 0; k < 3; ++k) {
        const float r1 = m->m[1][k], r2 = m->m[2][k];
        m->m[1][k] = s * r2 + c * r1;
        m->m[2][k] = c * r2 - s * r1;
    }
}

void P3DRotateAboutX(vt_matrix34 *m, int angle) { MixColumns(m, 1, 2, angle); }

void P3DRotateAboutZ(vt_matrix34 *m, int angle) { MixColumns(m, 0, 1, angle); }

void P3DMatrixPostRotateY(vt_matrix34 *m, int angle) {
    const double radians = angle * 9.587379924285257e-5;
    const float c = float(std::cos(radians)), s = float(std::sin(radians));
    for (auto &row : m->m) {
        const float x = row[0], z = row[2];
        row[0] = x * c + z * s;
        row[2] = z * c - x * s;
    }
}

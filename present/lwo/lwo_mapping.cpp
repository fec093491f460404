// Map coordinates of a surface's face corners by planar, cylindrical and
// spherical mapping about the surface's texture centre and size.
#include <cmath>

#include "present/lwo/lwo.h"

namespace {
constexpr float kPi = 3.14159f;
}

void LwoMapPlanar(LwoFace *faces, int count, int surface, int axis, const float centre[3], const float size[3]) {
    if (axis != 1 && axis != 2 && axis != 4) return;
    for (int i = 0; i < count; ++i) {
        LwoFace &f = faces[i];
        if (f.surface != surface) continue;
        for (int c = 0; c < 3; ++c) {
            float n[3];
            for (int k = 0; k < 3; ++k) n[k] = (f.position[c][k] - (centre[k] + size[k] / 2)) / size[k];
            float u, v;
            if (axis == 1) {
                u = n[2];
                v = -n[1];
            } else if (axis == 2) {
                u = n[0];
                v = -n[2];
            } else {
                u = n[0];
                v = -n[1];
            }
            f.map[c][0] = v;
            f.map[c][1] = u;
        }
    }
}

// The latitude of a sphere is taken from the direction itself (height and
// distance from the axis in the same units), so that the texture runs from
// pole to pole whatever the texture size.
void LwoMapCylindrical(LwoFace *faces, int count, int surface, int axis, const float centre[3], const float size[3],
                       float wrapWidth, float wrapHeight) {
    int along, first, second;
    switch (axis) {
    case 1: along = 0, first = 1, second = 2; break;
    case 2: along = 1, first = 2, second = 0; break;
    case 4: along = 2, first = 1, second = 0; break;
    default: return;
    }
    for (int i = 0; i < count; ++i) {
        LwoFace &f = faces[i];
        if (f.surface != surface) continue;
        bool low = false, high = false;
        for (int c = 0; c < 3; ++c) {
            const float height = f.position[c][along] - centre[along];
            const float h = height / size[along];
            float a = f.position[c][first] - centre[first];
            float b = f.position[c][second] - centre[second];
            const float r = std::sqrt(a * a + b * b);
            // On the axis the direction round it is undefined: take 0.
            float t = 0;
            if (r > 0) {
                a /= r;
                b /= r;
                t = std::acos(std::fmax(-1.0f, std::fmin(1.0f, a))) * 0.5f / kPi;
                if (b < 0) t = 1 - t;
            }
            low |= t < 0.25f;
            high |= t > 0.75f;
            f.map[c][1] = t * wrapWidth;
            if (wrapHeight > 0) {
                const float r2 = std::sqrt(height * height + r * r);
                f.map[c][0] = r2 > 0 ? std::acos(-height / r2) / kPi * wrapHeight : 0;
            } else {
                f.map[c][0] = -(h + 0.5f);
            }
        }
        if (low && high)
            for (auto &m : f.map)
                if (m[1] < wrapWidth / 2) m[1] += wrapWidth;
    }
}

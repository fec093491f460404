// Speed streaks: a lattice of points round the camera, each drawn as a short
// line along the ship's motion; the lattice's spacing grows with the speed
// by powers of ten.
#include <cmath>

#include "core/frame.h"
#include "gui/window.h"
#include "hud/draw.h"
#include "hud/elements.h"
#include "hud/shape.h"
#include "hud/view.h"
#include "world/objlist.h"
#include "world/records.h"

float hudStreakSpacing = 100000.0f;
float hudStreakCoarse = 1e6f;

namespace {

constexpr int kHalf = 4;            // 9 x 9 x 9 points
constexpr float kNearest = 50000;   // points nearer than this in depth are dropped
constexpr int kBands[4] = {48, 112, 176, 16};
constexpr int kShades = 20;

// The band colour of a lattice point, darker with its depth down to the
// band's base.
int Shade(int band, float depth, float deepest) {
    const float t = deepest > 0 ? std::fmin(std::fmax(depth / deepest, 0.0f), 1.0f) : 1.0f;
    return band + 2 + int(float(kShades) * (1 - t));
}

}  // namespace

int hudStreakExponent(float speed, bool inDrive) {
    const double v = std::fabs(double(speed));
    const int k = int(std::floor(std::log10(v) + (inDrive ? 0.302 : 0.6021)));
    if (k < 5) return 5;
    if (k > 10) return 12;
    return k;
}

void hudInitSpeedStreaks(HUD *hud, SceneItem *target, uint32_t parameter) {
    hudBeginElement(hud, nullptr, target, parameter, nullptr, nullptr, hudDrawStreaks, 0x90);
}

void hudDrawStreaks(HUD *) {
    if (HudFlatView || gGuiFullScreen) return;
    const SceneItem *ship = dunControlledObject;
    const SceneItem *viewer = hudViewer();
    if (!ship || !ship->sim || !viewer || !viewer->sim) return;
    const Sim *s = ship->sim;
    const bool drive = s->flags & SimFlag::Lds;
    const float v = drive ? s->forwardSpeed : s->speed;
    int exponent = int(std::lround(std::log10(double(hudStreakSpacing))));
    if (v != 0 && std::isfinite(v)) {
        exponent = hudStreakExponent(v, drive);
        hudStreakSpacing = float(std::pow(10.0, exponent));
        hudStreakCoarse = hudStreakSpacing * 10;
    }
    const double d = hudStreakSpacing;
    Vec3 streak;
    if (drive) {
        const float k = dunFrameSeconds * s->forwardSpeed / 2;
        streak = {s->matrix.m[8] * k, s->matrix.m[9] * k, s->matrix.m[10] * k};
    } else {
        streak = {s->velocity.x / 4, s->velocity.y / 4, s->velocity.z / 4};
    }
    const int first = kBands[exponent & 3], second = kBands[(exponent + 1) & 3];
    const Vec3d &eye = viewer->sim->position;
    const double cell[3] = {std::floor(eye.x / d), std::floor(eye.y / d), std::floor(eye.z / d)};
    const double limit = 1.5 * 4 * d, deepest = limit;
    for (int i = -kHalf; i <= kHalf; ++i)
        for (int j = -kHalf; j <= kHalf; ++j)
            for (int k = -kHalf; k <= kHalf; ++k) {
                const double n[3] = {cell[0] + i, cell[1] + j, cell[2] + k};
                const Vec3d p = {n[0] * d, n[1] * d, n[2] * d};
                if (std::fabs(p.x - eye.x) + std::fabs(p.y - eye.y) + std::fabs(p.z - eye.z) >= limit) continue;
                Vec3 a, b;
                hudToCamera(p, &a);
                hudToCamera({p.x - streak.x, p.y - streak.y, p.z - streak.z}, &b);
                if (a.z < kNearest || b.z < kNearest) continue;
                float ax, ay, bx, by;
                if (!hudProjectCamera(a, &ax, &ay) || !hudProjectCamera(b, &bx, &by)) continue;
                const bool coarse = std::fmod(n[0], 10) == 0 && std::fmod(n[1], 10) == 0 && std::fmod(n[2], 10) == 0;
                const int colour = Shade(coarse ? second : first, a.z, float(deepest));
                hudLine(hudPixel(ax), hudPixel(ay), hudPixel(bx), hudPixel(by), colour);
            }
}

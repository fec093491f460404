// The aiming reticle of the weapons station: the sight frame projected into
// the view, and the open octagon or the locked diamond at a scale that starts
// large whenever the weapon's target changes and eases down to its size.
#include <cmath>

#include "RES/gfx2d.h"
#include "RES/surface.h"
#include "ai/weapons.h"
#include "core/frame.h"
#include "platform/display.h"
#include "present/views.h"
#include "world/objlist.h"

float dunReticleScale = 100.0f;
uint8_t dunReticleInArc;
uint8_t dunReticleOff;
Surface *dunReticleSurface;

const int16_t kReticleOpenPoints[] = {-20, 10, -10, 20, 10,  20, 20, 10, 20, -10, 10, -20, -10, -20, -20, -10,
                                      -30, 0,  -20, 0,  20,  0,  30, 0,  0,  20,  0,  30,  0,   -20, 0,   -30};
const int16_t kReticleOpenEdges[] = {0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7, 0, 8, 9, 10, 11, 12, 13, 14, 15, -1};
const int16_t kReticleLockedPoints[] = {-10, 0, 0, 10, 10, 0, 0, -10, -20, 0, 0, 20, 20, 0, 0, -20};
const int16_t kReticleLockedEdges[] = {0, 1, 1, 2, 2, 3, 3, 0, 4, 0, 5, 1, 6, 2, 7, 3, -1};

namespace {

constexpr int kWeaponsStation = 3;
constexpr int kFrameColour = 96, kOpenColour = 97, kLockedColour = 64;
constexpr uint32_t kWeaponLocks = 0x200;

// Screen coordinates stay inside 16 bits whatever the float was (a NaN is 0).
int16_t ToI16(float v) {
    if (!(v == v)) return 0;
    if (v > 32767.0f) return 32767;
    if (v < -32768.0f) return -32768;
    return int16_t(v);
}

Surface *Target() { return dunReticleSurface ? dunReticleSurface : TheDisplayMode.screen; }

void Line(int x0, int y0, int x1, int y1, int colour) {
    Surface *s = Target();
    if (!s) return;
    const ClipRect clip{HudViewRect.left, HudViewRect.top, HudViewRect.right, HudViewRect.bottom};
    DrawLineClipped(s, x0, y0, x1, y1, colour, &clip);
}

SceneItem *ShipOf(const Sim *s) {
    if (dunControlledObject && dunControlledObject->sim == s) return dunControlledObject;
    if (dunPlayerShip && dunPlayerShip->sim == s) return dunPlayerShip;
    return nullptr;
}

}  // namespace

void dunDrawShape(int cx, int cy, float scale, const int16_t *points, const int16_t *edges, int colour) {
    const float k = scale / 100.0f;
    for (int e = 0; edges[e] >= 0 && edges[e + 1] >= 0; e += 2) {
        const int16_t *a = points + 2 * edges[e], *b = points + 2 * edges[e + 1];
        Line(ToI16(cx + a[0] * k), ToI16(cy + a[1] * k), ToI16(cx + b[0] * k), ToI16(cy + b[1] * k), colour);
    }
}

void dunDrawTargetReticle(HudSight *sight) {
    if (!sight || !sight->weapon || !sight->ship) return;
    Weapon *w = sight->weapon;
    Sim *s = sight->ship;
    const int cx = (HudViewRect.left + HudViewRect.right) / 2, cy = (HudViewRect.top + HudViewRect.bottom) / 2;
    if (s->goal && !(s->goal->flags & SceneFlag::InUse)) s->goal = nullptr;
    SceneItem *goal = s->goal;
    if (w->target != goal) {
        w->target = goal;
        dunReticleScale = 1000.0f;
    }
    // The aim direction from the mount, in the ship's frame.
    Vec3 mount;
    MatRotateVector(s->matrix, w->mount, mount);
    const Vec3d mountWorld{s->position.x + mount.x, s->position.y + mount.y, s->position.z + mount.z};
    Vec3 aim;
    if (goal && goal->sim) {
        aim = {float(goal->sim->position.x - mountWorld.x), float(goal->sim->position.y - mountWorld.y),
               float(goal->sim->position.z - mountWorld.z)};
    } else {
        MatRotateVector(sight->view, Vec3{0, 0, 1}, aim);
    }
    Vec3 local;
    MatTransformPoint(local, aim, s->matrix);
    SceneItem *ship = ShipOf(s);
    dunReticleInArc = ship ? dunMountArcTest(ship, local.x, local.y, local.z, w->mountCode, w) : 0;
    if (StationId != kWeaponsStation || dunReticleOff) return;
    sight->aimPoint = {float(mountWorld.x) + aim.x, float(mountWorld.y) + aim.y, float(mountWorld.z) + aim.z};
    // The sight frame: points behind the eye, and always the centre, keep
    // only their direction in the screen plane.
    const Vec3 eye{sight->view.m[12], sight->view.m[13], sight->view.m[14]};
    float sx[5], sy[5], sz[5];
    for (int i = 0; i < 5; ++i) {
        Vec3 p{sight->points[i].x - eye.x, sight->points[i].y - eye.y, sight->points[i].z - eye.z};
        MatTransformPoint(p, p, sight->view);
        sz[i] = p.z;
        if (p.z < 0 || i == 4) {
            const float len = std::sqrt(p.x * p.x + p.y * p.y);
            p.x = len > 0 ? p.x / len : 0;
            p.y = len > 0 ? p.y / len : 0;
        }
        if (i == 4) {
            sx[i] = cx + 50 * p.x;
            sy[i] = cy + 50 * p.y;
        } else if (p.z > 0) {
            sx[i] = cx + HudProjectScale * p.x / p.z;
            sy[i] = cy + HudProjectScale * p.y / p.z;
        } else {
            sx[i] = cx + 1000 * p.x;
            sy[i] = cy + 1000 * p.y;
        }
    }
    for (int k = 0; k < 4; ++k) {
        const int j = (k + 1) % 4;
        if (sz[k] > 0 || sz[j] > 0) Line(ToI16(sx[k]), ToI16(sy[k]), ToI16(sx[j]), ToI16(sy[j]), kFrameColour);
    }
    const bool locked = dunReticleInArc && ((w->flags & kWeaponLocks) || w->target);
    if (locked)
        dunDrawShape(cx, cy, dunReticleScale, kReticleLockedPoints, kReticleLockedEdges, kLockedColour);
    else
        dunDrawShape(cx, cy, dunReticleScale, kReticleOpenPoints, kReticleOpenEdges, kOpenColour);
    // Slow frames must not carry the scale past its size (a mirrored shape).
    float ease = float(dunFrameStep) / 100.0f * 8.0f;
    if (ease > 1.0f) ease = 1.0f;
    if (ease < 0.0f) ease = 0.0f;
    dunReticleScale += (100.0f - dunReticleScale) * ease;
}

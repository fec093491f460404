// Fire control: the weapons' per-step reload and automatic fire at wrecks,
// the choice of a mount for a direction, and the outline of a mount's arc
// that the HUD and the weapon camera draw.
#include <cmath>

#include "ai/weapons.h"
#include "core/frame.h"
#include "present/views.h"
#include "world/objlist.h"

namespace {

constexpr int32_t kWeaponsStation = 3;

bool Ready(const Weapon *w) { return w->flags & WeaponFlag::Ready; }

// Counts the reload down; below 1 centisecond the weapon is ready again
// (unless disabled or empty). True while it still reloads.
bool CountDown(Weapon *w) {
    if (!(w->reloadTimer > 0.0f)) return false;
    w->reloadTimer -= float(dunFrameStep);
    if (w->reloadTimer < 1.0f) {
        w->reloadTimer = 0.0f;
        if (!(w->flags & (WeaponFlag::Damaged | WeaponFlag::Empty))) w->flags |= WeaponFlag::Ready;
    }
    return true;
}

// Whether the later weapon at distance d beats the candidate at best.
bool Beats(const Weapon *w, int d, const Weapon *best, int bestDistance) {
    if (d < bestDistance) return true;
    return d == bestDistance && best && w->reloadTimer < best->reloadTimer && w->damage > best->damage;
}

}  // namespace

void dunUpdateWeapons(SceneItem *ship) {
    if (!ship || !ship->sim) return;
    SceneItem *nearest = ship->avatar ? ship->avatar->nearest : nullptr;
    // Turrets pick off wrecks and loose debris that drift close.
    bool aiming = ship != dunControlledObject && nearest && nearest->avatar && nearest->sim &&
                  (nearest->avatar->flags & AvatarFlag::FreeBody);
    Vec3 local = {};
    if (aiming) {
        const Vec3d &a = ship->sim->position, &b = nearest->sim->position;
        MatTransformPoint(local, {float(b.x - a.x), float(b.y - a.y), float(b.z - a.z)}, ship->sim->matrix);
    }
    for (Weapon *w = ship->sim->weapons; w; w = w->next) {
        if (CountDown(w)) continue;
        if (!aiming || !(w->flags & WeaponFlag::Beam)) continue;
        if (dunMountArcTest(ship, local.x, local.y, local.z, w->mountCode, w)) {
            dunFireWeapon(nearest, ship, w);
            aiming = false;
        }
    }
}

void dunUpdateWeaponsNoOwner(SceneItem *item) {
    for (Weapon *w = item && item->sim ? item->sim->weapons : nullptr; w; w = w->next) CountDown(w);
}

int dunDirectionSector(float x, float, float z) {
    constexpr float kTan68 = 2.47508685f, kTan22 = 0.40402623f;
    const float r = x != 0.0f ? std::fabs(z / x) : INFINITY;
    if (z >= 0.0f) {
        if (r > kTan68) return 1;
        if (x >= 0.0f) return r <= kTan22 ? 7 : 8;
        return r <= kTan22 ? 3 : 2;
    }
    if (r > kTan68) return 5;
    if (x >= 0.0f) return r <= kTan22 ? 7 : 6;
    return r <= kTan22 ? 3 : 4;
}

int dunMountSectorDistance(uint16_t code, int sector) {
    const int v = int(code & 15) + 8 - sector;
    const int w = v % 8;
    return w < 5 ? w : 8 - w;
}

Weapon *dunChooseMount(float x, float y, float z, Weapon *list) {
    if (!list) return nullptr;
    const int sector = dunDirectionSector(x, y, z);
    Weapon *best = list;
    int bestDistance = dunMountSectorDistance(list->mountCode, sector) + (Ready(list) ? 0 : 8);
    for (Weapon *w = list->next; w; w = w->next) {
        if (!Ready(w) || w->launchRoutine == dunLaunchLDSI || w->launchRoutine == dunLaunchECMFlare) continue;
        const int d = dunMountSectorDistance(w->mountCode, sector);
        if (Beats(w, d, best, bestDistance)) best = w, bestDistance = d;
    }
    return best;
}

Weapon *dunChooseAutoMount(float x, float y, float z, Weapon *list) {
    if (!list) return nullptr;
    const int sector = dunDirectionSector(x, y, z);
    Weapon *best = list;
    int bestDistance = dunMountSectorDistance(list->mountCode, sector);
    for (Weapon *w = list->next; w; w = w->next) {
        const uint32_t f = w->flags;
        if (!(f & WeaponFlag::Ready) || !(f & WeaponFlag::Beam) || (f & WeaponFlag::NoRapid)) continue;
        const int d = dunMountSectorDistance(w->mountCode, sector);
        if (Beats(w, d, best, bestDistance)) best = w, bestDistance = d;
    }
    return best;
}

Weapon *dunChooseMountTowards(float x, float y, float z, Weapon *list, int typeNumber) {
    const int sector = StationId == kWeaponsStation ? dunDirectionSector(x, y, z) : 1;
    Weapon *best = nullptr;
    int bestDistance = 32767;
    for (Weapon *w = list; w; w = w->next) {
        if ((w->flags & (WeaponFlag::Empty | WeaponFlag::Damaged)) || w->reloadTimer > 0.0f) continue;
        if (w->typeNumber != typeNumber) continue;
        const int d = dunMountSectorDistance(w->mountCode, sector);
        if (d >= 3 && !(w->flags & WeaponFlag::AnyMount)) continue;
        if (Beats(w, d, best, bestDistance)) best = w, bestDistance = d;
    }
    return best;
}

Weapon *dunBestReadyWeapon(Weapon *list) {
    Weapon *best = list;
    for (Weapon *w = list ? list->next : nullptr; w; w = w->next)
        if (w->reloadTimer < best->reloadTimer && w->damage > best->damage && Ready(w)) best = w;
    return best;
}

Weapon *dunNthWeapon(SceneItem *ship, int n) {
    Weapon *w = ship && ship->sim ? ship->sim->weapons : nullptr;
    for (int i = 1; w && w->next && i < n; ++i) w = w->next;
    return w;
}

namespace {

// A mount's arc by class: the sines of its limits (for the outline's
// corners) and the limits in degrees, upper then lower.
struct ArcClass {
    uint16_t code;
    float upperSine, lowerSine;
    float upper, lower;
};
constexpr ArcClass kElevations[] = {
    {0x100, 0.98f, 0.0f, 69, 0}, {0x200, 0.0f, -0.98f, 0, -69}, {0x300, 0.98f, -0.98f, 69, -69},
    {0x400, 0.259f, -0.259f, 14, -14},
};
constexpr ArcClass kAzimuths[] = {
    {0x20, 0.95f, -0.95f, 69, -69}, {0x30, 0.052f, -0.052f, 3, -3}, {0x40, 0.259f, -0.259f, 14, -14}};
constexpr ArcClass kOtherArc = {0, 0.5f, -0.5f, 29, -29};

template <size_t N>
const ArcClass &ArcOf(const ArcClass (&table)[N], uint16_t code) {
    for (const ArcClass &c : table)
        if (c.code == code) return c;
    return kOtherArc;
}

}  // namespace

void dunMountArcOffsets(uint16_t code, float out[8]) {
    const ArcClass &e = ArcOf(kElevations, code & MountCode::Elevation);
    const ArcClass &a = ArcOf(kAzimuths, code & MountCode::Azimuth);
    const float corners[8] = {a.lowerSine, e.upperSine, a.upperSine, e.upperSine,
                              a.upperSine, e.lowerSine, a.lowerSine, e.lowerSine};
    for (int i = 0; i < 8; ++i) out[i] = corners[i];
}

void dunPlaceMount(ArcOutline *outline, uint16_t code) {
    if (!outline) return;
    float c[8];
    dunMountArcOffsets(code, c);
    for (int i = 0; i < 4; ++i) {
        const float x = c[2 * i], y = c[2 * i + 1];
        // A corner past the unit circle has no real depth: it lies flat.
        const float depth2 = 1.0f - x * x - y * y;
        outline->points[i] = {x, y, depth2 > 0.0f ? std::sqrt(depth2) : 0.0f};
    }
    outline->points[4] = {0.0f, 0.0f, 1.0f};
    const ArcClass &e = ArcOf(kElevations, code & MountCode::Elevation);
    const ArcClass &a = ArcOf(kAzimuths, code & MountCode::Azimuth);
    outline->angles[0] = a.lower;
    outline->angles[1] = a.upper;
    outline->angles[2] = e.lower;
    outline->angles[3] = e.upper;
    static const float kYaw[10] = {0, 0, -45, -90, -135, 180, 135, 90, 45, 0};
    const unsigned d = code & MountCode::Direction;
    const float radians = (d < 10 ? kYaw[d] : 0.0f) * 3.142f / 180.0f;
    const float s = std::sin(radians), k = std::cos(radians);
    for (Vec3 &p : outline->points) {
        const float x = p.x, z = p.z;
        p.x = z * s + x * k;
        p.z = x * s + z * k;
    }
}

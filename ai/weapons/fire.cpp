// Firing: whether a weapon may fire, where it aims, and the round a shot
// becomes (a bolt from a beam weapon, a guided craft from a launcher), with
// its look by side, sound, shake and the weapon's reload.
#include <cmath>

#include "RES/util.h"
#include "RES/vecmath.h"
#include "ai/combat.h"
#include "ai/contacts.h"
#include "ai/weapons.h"
#include "core/frame.h"
#include "core/options.h"
#include "platform/joystick.h"
#include "platform/sound.h"
#include "present/effects.h"
#include "present/effects/particles.h"
#include "present/scene.h"
#include "present/views.h"
#include "world/flight.h"
#include "world/messages.h"
#include "world/msghandler.h"
#include "world/objlist.h"
#include "world/objroutines.h"
#include "world/services.h"
#include "world/simplace.h"
#include "world/sound_place.h"
#include "world/step.h"

uint8_t dunRapidBeamMode;
uint8_t dunAutoCycleTargets;
uint8_t dunPlayerViewSwitch;
uint8_t dunSubTargetOutOfRange;
int32_t dunPlayerBeamShots;
int32_t dunPlayerMunitionShots;
float dunHeadOn[2];

namespace {

constexpr SideAppearance kSides[8] = {
    {"laser_tex_aln", 10, 2, 0x80FF80},   {"laser_tex_navy", 14, 6, 0xFFFF80}, {"laser_tex_indy", 8, 4, 0xFF8080},
    {"laser_tex_aln", 10, 2, 0x80FF80},   {"laser_tex_aln", 10, 2, 0x80FF80},  {"laser_tex_orange", 13, 6, 0xFF7116},
    {"laser_tex_newal", 9, 1, 0x8080FF},  {"laser_tex_navy", 14, 6, 0xFFFF80},
};

constexpr int kLdsiType = 6;
constexpr float kReloadCap = 300.0f;
constexpr int kMuzzleFlashTicks = 10;
constexpr int kMissileWarningTicks = 200;

int SideOf(const SceneItem *ship) {
    return ship && ship->sim && ship->sim->shipInfo ? ship->sim->shipInfo->side : 7;
}

Vec3 Sub(const Vec3d &a, const Vec3d &b) { return {float(a.x - b.x), float(a.y - b.y), float(a.z - b.z)}; }

// How whole the weapon's engineering component is, as a percentage 1..100;
// a broken component still lets the weapon fire, slowly.
int Efficiency(const Weapon *w) {
    const float health = w->component ? w->component->health : 1.0f;
    const int p = int(health * 100.0f);
    return p < 1 ? 1 : p > 100 ? 100 : p;
}

float Reload(float time, int p) {
    const float t = time * 100.0f / float(p);
    return t < kReloadCap ? t : kReloadCap;
}

// Where the weapon aims, in the ship's frame relative to its mount; the
// speed the round leaves at may drop for a close target.
Vec3 AimVector(SceneItem *ship, Weapon *w, bool rapid, float *speed) {
    const Sim *s = ship->sim;
    SceneItem *t = w->target;
    if (!rapid && !(w->flags & WeaponFlag::NeverLead) && t && t->sim) {
        Vec3d p = t->sim->position;
        Vec3 centre;
        if (ship == dunControlledObject && dunAimsAtSubTarget() && !dunSubTargetOutOfRange &&
            dunSubTargetCentre(t, &centre)) {
            Vec3 world;
            MatRotateVector(t->sim->matrix, centre, world);
            p = {p.x + world.x, p.y + world.y, p.z + world.z};
        }
        if (!(w->flags & WeaponFlag::Missile)) dunLeadTarget(ship, t, &p, speed);
        Vec3 local;
        MatTransformPoint(local, Sub(p, s->position), s->matrix);
        return {local.x - w->mount.x, local.y - w->mount.y, local.z - w->mount.z};
    }
    if (!rapid && w->aimNode) {
        const Vec3 &n = w->aimNode->worldPosition;
        const Vec3 at = dunFloatPosition(s);
        Vec3 local;
        MatTransformPoint(local, {n.x - at.x, n.y - at.y, n.z - at.z}, s->matrix);
        return local;
    }
    return dunStraightOut(w->mountCode);
}

// Unless the shot is a heavy bolt or the player aims with the view switch,
// a less skilled ship scatters its aim.
void AimError(const SceneItem *ship, const Weapon *w, Vec3 &aim) {
    if (w->flags & WeaponFlag::HeavyBolt) return;
    if (ship == dunPlayerShip && dunPlayerViewSwitch) return;
    const int skill = ship->sim->shipInfo ? ship->sim->shipInfo->skill : 100;
    const double r = (dunRand15() % 1000) * 0.001;
    const double e = VecLength(aim) * 0.002 * std::pow(r, skill / 20 + 1);
    aim.x += float((dunRand15() % 100 - 50) * e);
    aim.y += float((dunRand15() % 100 - 50) * e);
    aim.z += float((dunRand15() % 100 - 50) * e);
}

// A munition is a small guided craft: it flies with a flight block of its
// own from the weapon's launch figures, at the firing ship's goal.
void MakeMunition(SceneItem *ship, Weapon *w, SceneItem *round, bool subTargetAim) {
    Avatar *a = round->avatar;
    Sim *rs = round->sim;
    a->flags = (a->flags & ~AvatarFlag::BeamRound) | AvatarFlag::MunitionRound;
    rs->hull = 70;
    a->collisionPriority = 40;
    round->control = dunGuideMissile;
    // The guidance flies the round itself: the simulator only stamps it.
    round->simulator = dunStampSim;
    FlightParams *f = dunNewFlightParams(24000.0f, 10.0f, 800.0f, 120.0f, 0.0f, 196000.0f);
    if (f) {
        f->p2 = w->launch[0];
        f->p3 = w->launch[1] > 0.0f ? uint32_t(w->launch[1]) : 0u;
        f->workRates[0] = w->launch[2];
        f->turnRates[2] = w->launch[3];
        f->turnRates[1] = w->launch[4];
        f->d1 = 3.0e7f;
    }
    rs->flight = f;
    rs->kind = 1;
    rs->fuel = 5000;
    rs->goal = ship->sim->goal;
    if (ship == dunControlledObject && subTargetAim) rs->flags |= SimFlag::Autopilot;
    if (rs->goal && rs->goal == dunPlayerShip) {
        if (const char *text = dunCall(dunGui().cockpitText, kMissileWarningText))
            dunCall(dunGui().displayMessage, text, kMissileWarningTicks);
    }
}

void PlayShotSound(SceneItem *ship, const Weapon *w, SceneItem *round) {
    int32_t volume = -10000, pan = 0;
    SoundPositionFromCamera(round, &volume, &pan);
    const bool controlled = ship == dunControlledObject;
    int slot = 5;
    if (w->flags & WeaponFlag::Beam) {
        if (w->visualKind == 3)
            slot = 63;
        else if (controlled)
            slot = (w->visualKind == 5 && !(w->flags & WeaponFlag::HeavyBolt)) ? 67 : 6;
        else
            slot = 7;
    }
    SoundPlayVaried(slot, volume, 0, pan, 0, 4000);
    if (!controlled) return;
    if (w->flags & WeaponFlag::Beam) {
        ++dunPlayerBeamShots;
        ffFirePulse(2000, 0);
    } else {
        ++dunPlayerMunitionShots;
        ffFirePulseAlt(10000, 0);
    }
}

// How head-on the bolt is seen from the camera: near 1 both ways, an 8-bit
// display shows it as a trail of particles.
void HeadOnValues(SceneItem *ship, SceneItem *round, const Weapon *w) {
    if (PixelDepth != 8 || !dunPlayerCamera || !dunPlayerCamera->sim || (w->flags & WeaponFlag::HeavyBolt)) return;
    const Mat4 &cam = dunPlayerCamera->sim->matrix;
    const Vec3 camForward = dunMatRow(cam, 2);
    Vec3 toRound = Sub(round->sim->position, dunPlayerCamera->sim->position);
    VecNormalise(toRound);
    dunHeadOn[0] = std::fabs(VecDot(toRound, camForward));
    dunHeadOn[1] = std::fabs(VecDot(dunMatRow(round->sim->matrix, 2), camForward));
    const bool strict = ship != dunControlledObject || StationId == 3;
    if (strict && !(dunHeadOn[0] > 0.99f && dunHeadOn[1] > 0.99f)) return;
    dunAddBoltTrail(round, kSides[SideOf(ship) < 7 && SideOf(ship) >= 0 ? SideOf(ship) : 7].particleColour | 8);
}

void TakeRound(Weapon *w, int p, bool controlled, bool rapid) {
    if (w->flags & WeaponFlag::Beam) {
        w->reloadTimer = Reload(w->reloadTime, p);
        if (controlled && rapid) w->reloadTimer *= 0.25f;
        if (w->flags & WeaponFlag::Charge) {
            w->charge -= 1.0f;
            if (w->charge <= 0.0f) w->flags |= WeaponFlag::Empty;
        }
        return;
    }
    if (w->rounds[0] > 0) --w->rounds[0];
    if (w->rounds[0] < 1) {
        if (w->rounds[2] > 0) {
            --w->rounds[2];
            w->rounds[0] = w->rounds[1];
            w->reloadTimer = Reload(w->range, p);
        } else {
            w->flags |= WeaponFlag::Empty;
        }
    } else {
        w->reloadTimer = Reload(w->reloadTime, p);
    }
    if (controlled) w->reloadTimer /= 3.0f;
}

}  // namespace

const SideAppearance &dunSideAppearance(int side) { return kSides[side >= 0 && side < 7 ? side : 7]; }

Vec3 dunStraightOut(uint16_t mountCode) {
    static const float kAngles[9] = {0, 0, 45, 85, 135, 180, 225, 275, 315};
    const unsigned d = mountCode & 0xF;
    const float a = -(d < 9 ? kAngles[d] : 0.0f) * 3.14159265f / 180.0f;
    // (0, 0, 1) turned about the vertical by minus the firing angle.
    return {std::sin(a), 0.0f, std::cos(a)};
}

void dunLeadTarget(SceneItem *ship, SceneItem *target, Vec3d *point, float *speed) {
    const Sim *s = ship->sim;
    const Vec3 d3 = Sub(*point, s->position);
    const float d = VecLength(d3);
    const float full = *speed;
    float t = full > 0.0f ? d / full : 0.2f;
    if (t < 0.2f) t = 0.2f;
    const int skill = s->shipInfo ? s->shipInfo->skill : 100;
    // The jitter is a fraction well below 1: in whole numbers it would be
    // lost, so it is reckoned in floating point.
    if (skill < 100) t *= 1.0f + float(dunRand15() % 100 - 50) * float(100 - skill) / 15000.0f;
    float effective = t > 0.0f ? d / t : full;
    if (effective < full / 8.0f) {
        effective = full / 8.0f;
        t = effective > 0.0f ? d / effective : 0.0f;
    }
    *speed = effective;
    const Vec3 &tv = target->sim->velocity, &sv = s->velocity;
    point->x += double(tv.x - sv.x) * t;
    point->y += double(tv.y - sv.y) * t;
    point->z += double(tv.z - sv.z) * t;
}

FireResult dunFireWeapon(SceneItem *target, SceneItem *ship, Weapon *w) {
    if (dunFrozen) return FireResult::Frozen;
    if (!w || !ship || !ship->sim || !ship->avatar) return FireResult::Frozen;
    if (w->flags & WeaponFlag::Damaged) return FireResult::Disabled;
    if (w->flags & WeaponFlag::Empty) return FireResult::Frozen;
    if (w->reloadTimer > 0.0f) return FireResult::Reloading;
    Sim *s = ship->sim;
    const bool controlled = ship == dunControlledObject;
    const bool rapid = controlled && dunRapidBeamMode;
    const int p = Efficiency(w);
    float speed = w->speed;
    if (target) w->target = target;
    if ((w->flags & WeaponFlag::NeedsTarget) && !w->target) return FireResult::NoTarget;
    const bool subTargetAim = controlled && dunAimsAtSubTarget() && !dunSubTargetOutOfRange;

    Vec3 aim = AimVector(ship, w, rapid, &speed);
    if (!dunMountArcTest(ship, aim.x, aim.y, aim.z, w->mountCode, nullptr)) {
        if (!(w->flags & WeaponFlag::Missile) && !controlled) return FireResult::NoTarget;
        aim = dunStraightOut(w->mountCode);
    }
    if ((s->flags & SimFlag::Lds) && w->typeNumber != kLdsiType) return FireResult::InLds;

    s->flags |= SimFlag::ShieldStruck;
    SceneItem *round = dunCreateSceneItem();
    dunLinkSceneItem(round, 0);
    dunSetControlRoutine(round, nullptr);
    Sim *rs = dunAttachSim(round, dunSimSpawnedNode);
    Avatar *a = round->avatar;
    rs->goal = w->target;
    a->flags = (ship->avatar->flags & AvatarFlag::SideBits) | AvatarFlag::BeamRound;
    round->yawSpin = round->pitchSpin = round->rollSpin = 0.0f;
    const bool beam = w->flags & WeaponFlag::Beam;
    if (beam) {
        dunSetDrawRoutines(round, dunCopySimToModel, dunBoltPresentation);
        rs->radius = w->speed;
    } else {
        dunSetDrawRoutines(round, dunCopySimToModel, P3DUpdatePresentation);
    }
    a->contactHandler = dunProjectileImpact;
    a->collisionPriority = 50;
    TDP *root = dunAttachTDP(round);
    if (w->flags & WeaponFlag::Missile) MakeMunition(ship, w, round, subTargetAim);

    const SideAppearance &look = dunSideAppearance(SideOf(ship));
    AimError(ship, w, aim);
    Vec3 forward;
    MatRotateVector(s->matrix, aim, forward);
    const Vec3 up = dunMatRow(s->matrix, 1);
    MatLookAlong(forward, &up, rs->matrix);
    Vec3 m;
    MatRotateVector(s->matrix, w->mount, m);

    FlashNavLight(ship, look.navColour, kMuzzleFlashTicks, &w->mount);
    AddFlashAtObject(ship, &m, 20, look.flash);
    rs->position = {s->position.x + m.x, s->position.y + m.y, s->position.z + m.z};
    dunSyncFloatPosition(rs);

    Vec3 launch = {0.0f, 0.0f, speed};
    if (w->flags & WeaponFlag::Missile) launch = {w->mount.x > 0.0f ? 2500.0f : -2500.0f, 0.0f, w->speed};
    Vec3 v;
    MatRotateVector(rs->matrix, launch, v);
    rs->velocity = {v.x + s->velocity.x, v.y + s->velocity.y, v.z + s->velocity.z};
    SceneItem *carrier = s->gravity.body;
    if (beam && (s->flags & SimFlag::Carried) && carrier && carrier->sim) {
        const Sim *c = carrier->sim;
        Vec3 cv = c->velocity;
        if (c->flags & SimFlag::Lds) {
            const Vec3 f = dunMatRow(c->matrix, 2);
            cv = {f.x * c->thrust.z, f.y * c->thrust.z, f.z * c->thrust.z};
        }
        rs->velocity = {rs->velocity.x + cv.x, rs->velocity.y + cv.y, rs->velocity.z + cv.z};
    }
    rs->previous = rs->matrix;
    // The collision test sweeps a ray object along its axis by its ray
    // length: as far as the round flies in a frame, so that it cannot pass
    // through a hull between two steps.
    a->rayLength = VecLength(rs->velocity) * (dunFrameSeconds > 0.0f ? dunFrameSeconds : 0.02f);
    a->effectCounter = 0;
    a->roundAttacker = ship;
    a->partner = ship;
    a->objectA = ship;
    a->roundWeapon = w;
    a->mountOffset = &w->mount;
    rs->mass = 100.0f;
    root->flags |= TDPFlag::HasActor | TDPFlag::Collidable;

    if (w->flags & WeaponFlag::HeavyBolt) {
        rs->flags |= SimFlag::Protected;
        CreateParticleSystem(round, nullptr, 2, 0x10010, 450, 250, 105, 32000.0f, 200, 180.0f);
    }
    if (beam) {
        rs->mass = 0.0f;
        root->flags |= TDPFlag::RayNode;
        root->materialName = look.texture;
        root->model = dunBoltModel(int(w->visualKind), dunRand15() % 4);
        if (root->model) P3DAddToScene(root, root->model, 3, 0);
        HeadOnValues(ship, round, w);
    } else {
        root->model = w->shape;
        if (root->model) P3DAddToScene(root, root->model, 0, 0);
    }

    dunSetMessageHandler(round, dunHandleMessages);
    dunCopySimToModel(round);
    PlayShotSound(ship, w, round);

    dunComputeModelRadius(root);
    if (rs->radius <= 13.0f) rs->radius = root->radius;
    if (root->radius <= 13.0f) root->radius = 150.0f;
    if (w->roundLifetime) dunMsgPost(round->receiverId, round->receiverId, w->roundLifetime, MsgRemove, 0, nullptr);
    if (w->launchRoutine) w->launchRoutine(w, round);

    TakeRound(w, p, controlled, rapid);
    w->flags &= ~WeaponFlag::Ready;
    if (controlled && StationId == 3 && dunAutoCycleTargets) dunNextHostileTarget();
    EventCameraTrigger(ship, w->target, beam ? 3 : 4);
    return FireResult::Fired;
}

FireResult dunFireIgnoringRange(SceneItem *target, SceneItem *ship, Weapon *weapon) {
    dunIgnoreRange = 1;
    const FireResult r = dunFireWeapon(target, ship, weapon);
    dunIgnoreRange = 0;
    return r;
}

namespace {

// The last ready weapon of the ship whose launch routine is the one given.
Weapon *LastReadyLaunching(SceneItem *ship, void (*routine)(Weapon *, SceneItem *)) {
    Weapon *found = nullptr;
    for (Weapon *w = ship && ship->sim ? ship->sim->weapons : nullptr; w; w = w->next)
        if (w->launchRoutine == routine && (w->flags & WeaponFlag::Ready)) found = w;
    return found;
}

}  // namespace

void dunFireLDSI(SceneItem *ship, SceneItem *target) {
    Weapon *w = LastReadyLaunching(ship, dunLaunchLDSI);
    if (!w) return;
    dunFireWeapon(target, ship, w);
    const char *name = ship->sim->shipInfo ? ship->sim->shipInfo->name : nullptr;
    dunCall(dunHud().missionLogAdd, ship, target, 7, name, nullptr);
}

void dunDropECMFlare(SceneItem *ship) {
    if (Weapon *w = LastReadyLaunching(ship, dunLaunchECMFlare)) dunFireWeapon(nullptr, ship, w);
}

namespace {

void AimAndFire(SceneItem *ship, Vec3 local, SceneItem *target) {
    Sim *s = ship->sim;
    if (!s->currentWeapon) return;
    s->currentWeapon = ship == dunPlayerShip ? dunChooseAutoMount(local.x, local.y, local.z, s->weapons)
                                             : dunChooseMount(local.x, local.y, local.z, s->weapons);
    Weapon *w = s->currentWeapon;
    if (w && dunMountArcTest(ship, local.x, local.y, local.z, w->mountCode, w)) dunFireWeapon(target, ship, w);
}

}  // namespace

void dunAimAndFireAtPoint(SceneItem *ship, float x, float y, float z, SceneItem *target) {
    if (!ship || !ship->sim) return;
    const Vec3 at = dunFloatPosition(ship->sim);
    Vec3 local;
    MatTransformPoint(local, {x - at.x, y - at.y, z - at.z}, ship->sim->matrix);
    AimAndFire(ship, local, target);
}

void dunAimAndFireLocal(SceneItem *ship, float x, float y, float z, SceneItem *target) {
    if (ship && ship->sim) AimAndFire(ship, {x, y, z}, target);
}

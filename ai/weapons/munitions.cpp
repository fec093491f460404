// Munitions: the shapes of the rounds launchers fire, and the launch
// routines that make a freshly fired round a missile, a flare, a mine, a
// probe or a craft the player flies.
#include "RES/resman.h"
#include "RES/vecmath.h"
#include "ai/brain.h"
#include "ai/combat.h"
#include "ai/weapons.h"
#include "core/options.h"
#include "present/effects.h"
#include "present/effects/nav_lights.h"
#include "present/effects/particles.h"
#include "present/p3d.h"
#include "world/contact.h"
#include "world/docking.h"
#include "world/flight.h"
#include "world/handle.h"
#include "world/messages.h"
#include "world/msghandler.h"
#include "world/objlist.h"
#include "world/objroutines.h"
#include "world/pools.h"

namespace {

constexpr uint16_t kProbeType = 12, kMineType = 11;
// A mine laid at a target farther than this goes off on a timer.
constexpr double kMineTimerRange = 800000.0;
constexpr uint32_t kDockingBaseState = 14;

// The three languages' names of a craft a round becomes.
const char *const kProbeNames[3] = {"RECON PROBE", "SONDE RECONNAISS", "AUFKL. SONDE"};
const char *const kRemoteNames[3] = {"GUIDED MISSILE", "MISSILE TELEGUIDE", "FERNLENKRAKETE"};
const char *const kMineNames[3] = {"PROXIMITY MINE", "MINE", "MINE"};

const char *InLanguage(const char *const names[3]) { return names[gLanguage < 3 ? gLanguage : 0]; }

void NavLight(SceneItem *round, float x, float y, float z, float size, uint32_t colour, int on, int off) {
    const Vec3 at = {x, y, z};
    AddNavLight(round, &at, size, int32_t(colour), on, off, 0);
}

// A message from the round to an object, naming another (4 bytes).
void PostNaming(SceneItem *from, SceneItem *to, uint32_t delay, uint16_t type, SceneItem *named) {
    if (!from || !to) return;
    uint8_t payload[4];
    dunPayloadPutU32(payload, 0, dunHandleOf(named));
    dunMsgPost(from->receiverId, to->receiverId, delay, type, 4, payload);
}

// The ship that fired the round.
SceneItem *Firer(SceneItem *round) {
    const Avatar *a = round->avatar;
    if (!a) return nullptr;
    return a->partner ? a->partner : a->roundAttacker;
}

// The round becomes a small craft with a ship record of its own; the
// player flies it when the player fired it.
ShipInfo *MakeCraft(SceneItem *round, uint32_t flagsLost, uint16_t typeCode, const char *name) {
    Avatar *a = round->avatar;
    Sim *s = round->sim;
    a->flags = (a->flags & ~flagsLost) | AvatarFlag::Ship;
    ShipInfo *info = dunAllocShipInfo();
    info->typeCode = typeCode;
    info->name = info->className = name;
    s->shipInfo = info;
    s->flags = (s->flags | SimFlag::RemoteControllable) & ~SimFlag::Autopilot;
    round->control = dunControlProbe;
    return info;
}

// The player takes over the craft, leaving the ship where it is; only a
// round the controlled object fired takes the controls from it.
void HandControlTo(SceneItem *craft) {
    SceneItem *firer = Firer(craft);
    if (!firer || firer != dunControlledObject) return;
    if (SceneItem *player = dunPlayerShip; player && player->sim) {
        player->sim->speed = 0.0f;
        player->sim->demandSpeed = 0.0f;
        player->sim->setSpeed = 0.0f;
    }
    dunControlledObject = craft;
}

bool Ready(Weapon *weapon, SceneItem *round) { return weapon && round && round->sim && round->avatar; }

// A munition's shape is one of the mission's resources, like its ships'
// models: one model for every launcher that fires it, which goes with the
// mission's others.
void *MunitionShape(const char *name) {
    ResourceHandle *handle = resmanRegister(name, ResLwo2Brm);
    return handle ? resmanLoad(handle) : nullptr;
}

}  // namespace

void *dunLoadMissileShape() { return MunitionShape("vek\\resource\\shapes\\missile.lwo"); }
void *dunLoadLdsiShape() { return MunitionShape("vek\\resource\\shapes\\missile_LDSI.lwo"); }
void *dunLoadProbeShape() { return MunitionShape("vek\\resource\\shapes\\reconprobe.lwo"); }
void *dunLoadMineShape() { return MunitionShape("vek\\resource\\shapes\\SpikyMine.lwo"); }

void dunLaunchSeeker(Weapon *weapon, SceneItem *round) {
    if (!Ready(weapon, round)) return;
    NavLight(round, 0, 0, -6.5f, 0.35f, 6, 0, 2);
    NavLight(round, 0, 0, -24.0f, 0.01f, 0x200103, 80, 0);
    if (TDP *root = round->avatar->root) root->presentWord[0] = 4096;
    if (CardMode && gRenderOptions.missileTrails)
        CreateParticleSystem(round, nullptr, 6, 0xC100012, 400, 10, 250, 10.0f, 650, 360.0f);
    // A target that carries flares hears of the missile in time to drop one.
    SceneItem *goal = round->sim->goal;
    const ShipInfo *info = goal && goal->sim ? goal->sim->shipInfo : nullptr;
    if (info && (info->flags & ShipFlag::SpecialWeapon)) PostNaming(round, goal, 200, MsgMissileWarning, round);
    // Steering at a target's quarter-second look-ahead point, a fast seeker
    // passes a small craft thousands of units off rather than striking it:
    // it goes off when it comes close.
    round->avatar->flags |= AvatarFlag::ProximityFuse;
}

void dunLaunchTacnuke(Weapon *weapon, SceneItem *round) {
    if (!Ready(weapon, round)) return;
    dunLaunchSeeker(weapon, round);
    round->flags |= SceneFlag::LaunchesPlasmaBall;
}

void dunLaunchDisruptor(Weapon *weapon, SceneItem *round) {
    if (!Ready(weapon, round)) return;
    round->avatar->contactHandler = dunContactExplode;
}

void dunLaunchLDSI(Weapon *weapon, SceneItem *round) {
    if (!Ready(weapon, round)) return;
    Sim *s = round->sim;
    round->control = dunControlLdsInterdictor;
    s->fuel = 200;
    s->flags |= SimFlag::Lds;
    // The drive's growth and top speed: it outruns any ship. The top speed
    // is as much as the word holds.
    if (FlightParams *f = s->flight) {
        f->p3 = 210;
        f->p4 = UINT32_MAX;
    }
    AddNavLightSimple(round);
}

void dunLaunchECMFlare(Weapon *weapon, SceneItem *round) {
    if (!Ready(weapon, round)) return;
    Sim *s = round->sim;
    Avatar *a = round->avatar;
    round->control = nullptr;
    round->simulator = dunSimEcmFlare;
    s->fuel = 200;
    s->flags |= SimFlag::Lds;
    NavLight(round, 0, 0, 0, 1.3f, 4, 20, 5);
    a->secondHandler = dunDestroySelf;
    a->contactHandler = dunContactEffect;
    a->collisionPriority = 95;
    if (TDP *t = CreateParticleSystem(round, nullptr, 2, 0x800012, 2000, 200, 250, 11000.0f, 120, 360.0f))
        if (ParticleSystem *ps = ParticleSystemOf(t)) BuildColourRamp(nullptr, ps->ramp, 0, 0, 255, 150, 150, 0);
    if (a->root) a->root->flags |= TDPFlag::SpheresOnly;
    dunFlareDecoyMessage(round, Firer(round));
}

void dunLaunchProbe(Weapon *weapon, SceneItem *round) {
    if (!Ready(weapon, round)) return;
    MakeCraft(round, AvatarFlag::LaunchedRound, kProbeType, InLanguage(kProbeNames));
    round->avatar->contactHandler = dunCollideShips;
    PostNaming(round, round, 500, MsgPartnerReleased, dunPlayerShip);
    dunAddDockingPort(round, 16, 16, 0, 0, 0, 0, 0, 58.0f, 50);
    HandControlTo(round);
}

void dunLaunchRecProbe(Weapon *weapon, SceneItem *round) {
    if (!Ready(weapon, round)) return;
    MakeCraft(round, AvatarFlag::BeamRound, kProbeType, InLanguage(kProbeNames));
    Sim *s = round->sim;
    if (s->flight) s->flight->d1 = 400000.0f;
    if (SceneItem *target = weapon->target) {
        round->avatar->partner = target;
        s->goal = s->target = target;
    }
    round->avatar->contactHandler = dunContactImpact;
    round->avatar->collisionPriority = 50;
    HandControlTo(round);
}

void dunLaunchRemMissile(Weapon *weapon, SceneItem *round) {
    if (!Ready(weapon, round)) return;
    MakeCraft(round, AvatarFlag::LaunchedRound, kProbeType, InLanguage(kRemoteNames));
    round->sim->fuel = 15000;
    round->avatar->collisionPriority = 40;
    round->avatar->contactHandler = dunCollideShips;
    round->simulator = dunSimWarhead;
    HandControlTo(round);
}

void dunLaunchMine(Weapon *weapon, SceneItem *round) {
    if (!Ready(weapon, round)) return;
    Avatar *a = round->avatar;
    a->flags = (a->flags & ~AvatarFlag::BeamRound) | AvatarFlag::Ship;
    SceneItem *target = weapon->target;
    if (target && target->sim && ObjectDistance(round, target, nullptr) > kMineTimerRange)
        dunMsgPost(round->receiverId, round->receiverId, 750, MsgTimedDetonation, 0, nullptr);
    PostNaming(round, round, 300, MsgPartnerReleased, dunPlayerShip);
    if (!target || !target->sim || !target->sim->shipInfo || !target->sim->shipInfo->ports) return;
    // A mine laid at a ship it can dock with homes in on the ship's port.
    a->contactHandler = dunCollideShips;
    round->control = dunControlTargetPicker;
    ShipInfo *info = dunAllocShipInfo();
    info->typeCode = kMineType;
    info->name = info->className = InLanguage(kMineNames);
    info->programLabel = "Docking";
    Sim *s = round->sim;
    s->shipInfo = info;
    if (s->flight) info->current = *s->flight;
    s->flight = &info->current;
    s->goal = s->target = target;
    dunai_NameOrder(info, 0, "NO PROGRAM");
    dunai_SetOrder(info, 0, 0, 0, 0, 100, dunai_EvalDefault, 80, 0);
    dunai_SetOrderState(info, 0, kDockingBaseState, 0, 0, 0);
    info->currentOrder = 0;
    dunai_StartOrder(round, 0);
}

#include "gui/autopilot.h"

#include "ai/brain.h"
#include "ai/weapons.h"
#include "gui/gui.h"
#include "gui/nav.h"
#include "present/frame_passes.h"
#include "world/docking.h"
#include "world/engineering.h"
#include "world/handle.h"
#include "world/mission_state.h"
#include "world/objlist.h"
#include "world/records.h"
#include "world/universe.h"

uint8_t gGuiSystemJumpRequest;

namespace {

constexpr uint32_t kApproachConventionally = 0x1000000;  // Avatar bit 24
constexpr uint32_t kNotHostileBits = 0x40000804;
constexpr uint32_t kLdsFormateDistance = 1500000;

bool Alive(const SceneItem *o) { return o && (o->flags & SceneFlag::InUse) && o->sim; }

// The ship's navigation target, else the one the program was started for,
// while it still exists; a target that was freed reads as none.
SceneItem *TargetOf(SceneItem *ship) {
    SceneItem *t = ship->sim->target ? ship->sim->target : ship->sim->autopilotTarget;
    return Alive(t) ? t : nullptr;
}

ShipInfo *InfoOf(SceneItem *ship) { return ship && ship->sim ? ship->sim->shipInfo : nullptr; }

void Refuse(SceneItem *ship) { ship->sim->flags &= ~SimFlag::Autopilot; }

void GiveOrder(SceneItem *ship, const char *name, uint32_t state, uint32_t p1 = 0, uint32_t p2 = 0,
               uint32_t p3 = 0) {
    ShipInfo *info = InfoOf(ship);
    if (!info) return;
    dunai_NameOrder(info, kAutopilotSlot, name);
    dunai_SetOrder(info, kAutopilotSlot, 0, 0, 0, kAutopilotWeight, dunai_EvalDefault, 80, 0);
    dunai_SetOrderState(info, kAutopilotSlot, state, p1, p2, p3);
    dunai_StartOrder(ship, kAutopilotSlot);
}

// The target of a program that needs one; none refuses the program.
SceneItem *NeedTarget(SceneItem *ship) {
    if (!InfoOf(ship)) return nullptr;
    SceneItem *t = TargetOf(ship);
    if (!t) Refuse(ship);
    return t;
}

uint32_t Distance() { return uint32_t(guiNavAutopilotDistance > 0.0f ? guiNavAutopilotDistance : 0.0f); }

bool Hostile(SceneItem *ship, const SceneItem *t) {
    const uint32_t mask = dunai_SideTargetMask(ship) & ~kNotHostileBits;
    return t->avatar && (t->avatar->flags & mask);
}

bool DockableType(const SceneItem *t) {
    const ShipInfo *info = t->sim->shipInfo;
    if (!info) return false;
    return info->typeCode == 1 || info->typeCode == 4 || info->typeCode == 11;
}

}  // namespace

void guiAutoStop(SceneItem *ship) {
    if (InfoOf(ship)) GiveOrder(ship, "STOP", 68);
}

void guiAutoPursue(SceneItem *ship) {
    if (NeedTarget(ship)) GiveOrder(ship, "PURSUE", 48, Distance());
}

void guiAutoFormate(SceneItem *ship) {
    if (SceneItem *t = NeedTarget(ship)) GiveOrder(ship, "FORMATE", 51, Distance(), dunHandleOf(t));
}

void guiAutoEvade(SceneItem *ship) {
    if (InfoOf(ship)) GiveOrder(ship, "EVADE", 61);
}

void guiAutoDock(SceneItem *ship) {
    if (!InfoOf(ship)) return;
    SceneItem *t = TargetOf(ship);
    const bool alive = t && !(t->avatar && (t->avatar->flags & AvatarFlag::Dead));
    if (!t || (alive && Hostile(ship, t) && !DockableType(t))) {
        Refuse(ship);
        return;
    }
    GiveOrder(ship, "DOCK", 14, dunHandleOf(t));
}

void guiAutoApproach(SceneItem *ship) {
    SceneItem *t = NeedTarget(ship);
    if (!t) return;
    if (t->avatar && (t->avatar->flags & kApproachConventionally))
        GiveOrder(ship, "APPROACH", 18, dunHandleOf(t), 3);
    else GiveOrder(ship, "APPROACH", 49, 0, dunHandleOf(t));
}

void guiAutoMatchVelocity(SceneItem *ship) {
    SceneItem *t = NeedTarget(ship);
    if (!t) return;
    if (t->sim->flags & SimFlag::Lds) {
        Refuse(ship);
        return;
    }
    GiveOrder(ship, "MATCH VEL", 19, Distance(), dunHandleOf(t));
}

// The defence program runs under the approach program's name.
void guiAutoLdaDefence(SceneItem *ship) {
    if (InfoOf(ship)) GiveOrder(ship, "APPROACH", 29, 260);
}

void guiAutoStopRelative(SceneItem *ship) {
    if (InfoOf(ship)) GiveOrder(ship, "STOP REL", 69);
}

void guiAutoLdsFormate(SceneItem *ship) {
    if (InfoOf(ship)) GiveOrder(ship, "LDS On", 73, kLdsFormateDistance);
}

void guiReaimSubTargets() {
    SceneItem *ship = dunControlledObject;
    if (!InfoOf(ship)) return;
    const uint32_t sides = ship->avatar ? ship->avatar->flags & AvatarFlag::SideBits : 0;
    for (int point = 0; point < 4; ++point) dunPickTargetPoint(ship, point, 260, sides | 0x20);
}

// ---- The jump to the system chosen on the map ----------------------------------------------

namespace {

bool CanJump(SceneItem *ship) {
    if (!ship || !ship->sim) return false;
    if (ship->simulator == dunUpdateDocking) return false;
    if (ship->flags & SceneFlag::InGravityWell) return false;
    const ShipInfo *info = ship->sim->shipInfo;
    return !(info && (info->damage.mask & 0x40));
}

// The capsule drive's level: the jump needs the drive working.
float CapsuleDrive() {
    const EngComponent *c = dunFindComponentByName(nullptr, "CAPSULE DRV");
    return c ? c->level : 0.0f;
}

}  // namespace

void guiGoToSelectedSystem() {
    if (!gGuiSystemJumpRequest || !dunTargetLpBody || dunTargetLpStar <= 0) return;
    SceneItem *ship = dunPlayerShip;
    if (!CanJump(ship)) return;
    if (ship->sim->flags & SimFlag::Autopilot) guiNavStopProgram(nullptr);
    if (CapsuleDrive() <= 0.0f) return;
    // The map's flights end where they were going: a move needs it at rest.
    if (dunStarMap.mode == 'T') dunStarMap.mode = 'S';
    if (dunStarMap.mode == 'I') dunStarMap.mode = 'G';
    if (dunTargetLpStar != dunCurrentSystem) {
        const char *star = dunStarNameByCode(dunTargetLpStar);
        if (*star && MoveToSystem(star, dunTargetLpBody->name)) {
            const Vec3d none = {0.0, 0.0, 0.0};
            dunClearSystemObjects(dunCurrentSystem, &none, &none);
        }
    } else {
        dunPlaceMapModel(ship, dunTargetLpBody);
    }
    P3DPlaceAllSkyBodies();
    gGuiSystemJumpRequest = 0;
}

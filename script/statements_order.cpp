// The order, target, waypoint and star-system statements: the order slots of
// a ship's brain, weapon and navigation targets, waypoints and Lagrange
// points, the move to another star system, and the rules of the player's
// ship (repairs, undocking, the autopilot lock, remote control, damage and
// destruction).
#include <cstring>

#include "ai/brain.h"
#include "ai/combat.h"
#include "ai/contacts.h"
#include "core/log.h"
#include "platform/sound.h"
#include "script/conditions.h"
#include "script/interp.h"
#include "script/mission.h"
#include "script/objects.h"
#include "script/screens.h"
#include "script/statements.h"
#include "script/symbols.h"
#include "world/contact.h"
#include "world/damage.h"
#include "world/engineering.h"
#include "world/flight.h"
#include "world/handle.h"
#include "world/messages.h"
#include "world/mission_state.h"
#include "world/msghandler.h"
#include "world/objlist.h"
#include "world/objroutines.h"
#include "world/pools.h"
#include "world/services.h"
#include "world/step.h"
#include "world/universe.h"

namespace {

constexpr int kOrderSlots = 8;
constexpr int kLastSubsystem = 8;
constexpr int32_t kIgnoreCountdown = 500;

SceneItem *Object(ScriptRun &run) { return DecodeObjectOperand(run, true); }
int32_t Integer(ScriptRun &run) { return ScriptTrunc(DecodeNumberOperand(run)); }
// An optional ON / OFF: 0, 1, or -1 when absent.
int32_t Switch(ScriptRun &run) { return OptionalKeywordInRange(run, Sc::On, Sc::Off); }
int32_t RequiredSwitch(ScriptRun &run) { return KeywordInRange(run, Sc::On, Sc::Off); }
ShipInfo *ShipOf(SceneItem *o) { return o && o->sim ? o->sim->shipInfo : nullptr; }

// Slot numbers, subsystem numbers and percentages come from the script: out
// of range they stop it with its line, never index anything.
int32_t Checked(ScriptRun &run, int32_t value, int32_t low, int32_t high, const char *message) {
    if (value < low || value > high) ScriptFail(run, ScriptStatus::BadSymbol, message);
    return value;
}
int32_t Slot(ScriptRun &run) {
    return Checked(run, Integer(run), 0, kOrderSlots - 1, "Order slot out of range (0..7)");
}

// An object symbol (its object, as a handle), an integer variable (its
// value) or a number (truncated).
uint32_t ParameterOperand(ScriptRun &run) {
    const ScriptToken &t = ScriptPeek(run);
    if (t.code == Sc::Data) return uint32_t(Integer(run));
    if (t.code == Sc::Symbol) {
        ScriptSymbol *s = ScriptSymbolAt(t.arg);
        if (s && (s->kind & SymKind::SceneItem)) return dunHandleOf(Object(run));
        if (s && (s->kind & SymKind::Var)) {
            ScriptNext(run);
            return uint32_t(ScriptSymbolInt(s));
        }
    }
    ScriptFail(run, ScriptStatus::BadSymbol, "SYMBOL or DATA reference needed in this context");
}

// The player's selection follows a target the script gave the player's ship.
void PlayerTargetChanged(SceneItem *ship, SceneItem *target, int32_t sw) {
    if (ship != dunPlayerShip) return;
    if (sw == 0) dunSelectTarget(target);
    if (ship->sim && (ship->sim->flags & SimFlag::Autopilot)) dunCall(ScriptGui().reselectNavProgram);
}

// ---- Orders --------------------------------------------------------------------------------

void StOrder(ScriptRun &run) {
    const int32_t slot = Slot(run);
    const int32_t prerequisite = Integer(run);
    SceneItem *ship = Object(run);
    const char *name = DecodeTextOperand(run);
    const int32_t delay = Integer(run);
    const int32_t timing = Integer(run);
    const int32_t weight = Integer(run);
    const uint32_t first = ParameterOperand(run);
    const int32_t second = Integer(run);
    ScriptSetSymbolObject(gSymLastShip, ship);
    ShipInfo *info = ShipOf(ship);
    if (!info) return;
    if (info->leader && info->leader == dunPlayerShip && !std::strcmp(name, "Follower")) name = "FollowPlayer";
    const OrderDef *row = FindOrderName(name);
    if (!row) ScriptFail(run, 9, "ORDER unrecognised order name");
    dunai_NameOrder(info, slot, name);
    dunai_SetOrder(info, slot, int8_t(prerequisite & 0xFF), delay, uint32_t(timing), weight, row->evaluation, first,
                   uint32_t(second));
    dunai_SetOrderState(info, slot, row->startState, row->parameters[0], row->parameters[1], row->parameters[2]);
    if (slot == 1) dunai_StartOrder(ship, 1);
}

void StOrderParams(ScriptRun &run) {
    const int32_t slot = Slot(run);
    SceneItem *ship = Object(run);
    uint32_t p[3];
    for (uint32_t &v : p) v = ParameterOperand(run);
    ShipInfo *info = ShipOf(ship);
    if (!info) return;
    dunai_SetOrderState(info, slot, info->orders[slot].startState, p[0], p[1], p[2]);
    if (info->currentOrder == slot) dunai_StartOrder(ship, slot);
}

void StPlayerOrder(ScriptRun &run) {
    const char *name = DecodeTextOperand(run);
    SceneItem *target = Object(run);
    const int32_t sw = Switch(run);
    SceneItem *player = dunPlayerShip;
    SceneItem *controlled = dunControlledObject;
    if (!player || !player->sim) return;
    const OrderDef *row = FindOrderName(name);
    if (!row) ScriptFail(run, 9, "PLAYER_ORDER unrecognised order name");
    Sim *ps = player->sim;
    if (sw == 0) {
        ps->flags |= SimFlag::Lds;
        SoundPlay(31, 0, 0, 0, 0);
        if (controlled && controlled->sim) {
            dunStopObject(controlled);
            controlled->sim->controlValue = ps->flight ? uint32_t(ScriptTrunc(ps->flight->p300)) : 0;
        }
        ps->limits[0] = ps->limits[1] = 100000.0f;
    } else if (sw == 1) {
        SoundPlay(33, 0, 0, 0, 0);
        if (controlled && controlled->sim) {
            if (ps->flags & SimFlag::Lds) controlled->sim->controlValue = uint32_t(-100);
            controlled->sim->limits[0] = 0.0f;
        }
    }
    if (ShipInfo *info = ps->shipInfo) {
        dunai_NameOrder(info, 1, name);
        dunai_SetOrder(info, 1, 0, 0, 0, 80, dunai_EvalDefault, 80, 0);
        dunai_SetOrderState(info, 1, row->startState, row->parameters[0], row->parameters[1], row->parameters[2]);
        dunai_StartOrder(player, 1);
    }
    ps->target = target;
    ps->flags |= SimFlag::Autopilot;
}

void StAssertOrder(ScriptRun &run) {
    const int32_t slot = Slot(run);
    SceneItem *ship = Object(run);
    if (ShipOf(ship)) dunai_StartOrder(ship, slot);
}

void StCancelOrder(ScriptRun &run) {
    const int32_t slot = Slot(run);
    ShipInfo *info = ShipOf(Object(run));
    if (!info) return;
    OrderSlot &o = info->orders[slot];
    o.flags = 0;
    o.reserved = 0;
    o.evaluation = nullptr;
    o.priority = 0;
    o.startState = 0;
}

// ---- Targets -------------------------------------------------------------------------------

void StTarget(ScriptRun &run) {
    SceneItem *ship = Object(run);
    SceneItem *target = Object(run);
    const int32_t sw = Switch(run);
    if (!ship || !ship->sim) return;
    ship->sim->goal = target;
    if (ShipInfo *info = ship->sim->shipInfo; info && info->currentOrder >= 0 && info->currentOrder < kOrderSlots)
        info->orders[info->currentOrder].savedGoal = dunHandleOf(target);
    PlayerTargetChanged(ship, target, sw);
}

void StNavTarget(ScriptRun &run) {
    SceneItem *ship = Object(run);
    SceneItem *target = Object(run);
    const int32_t sw = Switch(run);
    if (!ship || !ship->sim) return;
    ship->sim->target = target;
    if (ShipInfo *info = ship->sim->shipInfo; info && info->currentOrder >= 0 && info->currentOrder < kOrderSlots)
        info->orders[info->currentOrder].savedTarget = dunHandleOf(target);
    PlayerTargetChanged(ship, target, sw);
}

void Ignore(SceneItem *o) {
    dunIgnoredObject = o;
    dunIgnoreCountdown = kIgnoreCountdown;
}

void StIgnoreNav(ScriptRun &run) {
    SceneItem *o = Object(run);
    if (o) dunForgetTargetEverywhere(o);
    Ignore(o);
}

void StIgnoreWep(ScriptRun &run) {
    SceneItem *o = Object(run);
    if (o) dunForgetGoalEverywhere(o);
    Ignore(o);
}

// ---- Waypoints and Lagrange points -----------------------------------------------------------

// The waypoint's marker, or the mark that it has none.
void GiveMarker(SceneItem *o, const char *label, bool marker, double x, double y, double z) {
    TDP *root = o->avatar->root;
    if (!marker) {
        o->avatar->flags |= AvatarFlag::NoMarker;
        root->flags |= TDPFlag::Joint;
        return;
    }
    o->avatar->flags |= AvatarFlag::NavigationBody;
    HUD *hud = dunAllocHUD();
    dunCall(ScriptHud().addMarker, hud, label, o, x, y, z);
    root->model = hud;
    root->flags |= TDPFlag::MarkerRoot;
}

bool IsWaypoint(const SceneItem *o) {
    return o && (o->flags & SceneFlag::InUse) && o->avatar && o->control == dunSimAttachToTarget;
}

void StWaypt(ScriptRun &run) {
    ScriptSymbol *symbol = DecodeSymbolOperand(run, SymKind::SceneItem);
    const char *label = DecodeTextOperand(run);
    double x = DecodeNumberOperand(run) * 100.0, y = DecodeNumberOperand(run) * 100.0,
           z = DecodeNumberOperand(run) * 100.0;
    const int32_t marker = Switch(run);
    const int32_t chain = Switch(run);
    Vec3 offset;
    offset.x = OptionalNumberOperand(run) * 100.0f;
    offset.y = OptionalNumberOperand(run) * 100.0f;
    offset.z = OptionalNumberOperand(run) * 100.0f;
    if (gCurrentMission == 13 && !std::strcmp(label, "Inter")) z = 5000000.0;
    SceneItem *o = CreateScriptObject(nullptr, dunSimAttachToTarget, dunSimStickToGoal);
    ScriptSetSymbolObject(symbol, o);
    o->linkRecord = symbol;
    o->flags |= SceneFlag::Appended;
    TDP *root = o->avatar->root;
    root->flags &= ~(TDPFlag::HasActor | TDPFlag::Collidable);
    root->offset = offset;
    ApplyPlacementMode(&x, &y, &z);
    SetScriptObjectPosition(o, x, y, z);
    o->sim->flags |= SimFlag::Lds;
    o->sim->goal = nullptr;
    o->avatar->waypointName = label;
    o->avatar->waypointBack = nullptr;
    SceneItem *previous = ScriptSymbolObject(gSymLastWaypt);
    if (chain == 0 && IsWaypoint(previous) && previous != o) {
        o->avatar->waypointBack = previous;
        o->avatar->waypointForward = nullptr;
        previous->avatar->waypointForward = o;
    }
    ScriptSetSymbolObject(gSymLastWaypt, o);
    GiveMarker(o, label, marker != 1, x, y, z);
    dunCopySimToModel(o);
}

void StAttachWaypt(ScriptRun &run) {
    SceneItem *a = Object(run);
    ScriptSymbol *b = DecodeSymbolOperand(run, SymKind::SceneItem | SymKind::MustExist);
    if (!a || !a->sim) return;
    a->sim->goal = ScriptSymbolObject(b);
    a->sim->goalSymbol = b;
}

void StCountWaypts(ScriptRun &run) { gWaypointCount = dunWaypointTotal = Integer(run); }

void StLagrange(ScriptRun &run) {
    ScriptSymbol *symbol = DecodeSymbolOperand(run, SymKind::SceneItem);
    const char *label = DecodeTextOperand(run);
    double x = DecodeNumberOperand(run) * 100.0, y = DecodeNumberOperand(run) * 100.0,
           z = DecodeNumberOperand(run) * 100.0;
    SceneItem *o = CreateScriptObject(nullptr, nullptr, nullptr);
    ScriptSetSymbolObject(symbol, o);
    o->linkRecord = symbol;
    TDP *root = o->avatar->root;
    root->flags &= ~TDPFlag::HasActor;
    ApplyPlacementMode(&x, &y, &z);
    SetScriptObjectPosition(o, x, y, z);
    o->sim->flags |= SimFlag::Lds;
    o->avatar->flags |= AvatarFlag::NavigationBody | AvatarFlag::LagrangeTurned;
    o->avatar->waypointName = label;
    o->sim->radius = 300000.0f;
    root->radius = 300000.0f;
    root->flags |= TDPFlag::MarkerRoot | 0x2010u;
    o->avatar->contactHandler = dunContactLogBody;
    o->avatar->collisionPriority = 88;
    dunCopySimToModel(o);
}

// ---- Star systems --------------------------------------------------------------------------

void StSystem(ScriptRun &run) {
    const char *star = DecodeTextOperand(run);
    const char *body = DecodeTextOperand(run);
    // A mission started without the start-up scripts' GENESIS still finds
    // its stars.
    if (!dunUniverseCreated) dunCreateUniverse();
    // The ship moves first and the old system's objects go after it: the
    // player's ship and what it carries belong to the new system by then.
    if (!MoveToSystem(star, body)) return;
    const Vec3d none = {0.0, 0.0, 0.0};
    dunClearSystemObjects(dunCurrentSystem, &none, &none);
    DispatchScriptEvents(run);
}

void StRecSystem(ScriptRun &) { dunStarMap.recordSystem = 0xFF; }

void StSetTargLp(ScriptRun &run) {
    dunTargetLpStar = Integer(run);
    dunTargetLpBody = dunFindBody(dunTargetLpStar, DecodeTextOperand(run));
}

// ---- The player's ship ---------------------------------------------------------------------

void StPlayerDamage(ScriptRun &run) {
    const char *name = DecodeTextOperand(run);
    const float percent = DecodeNumberOperand(run);
    const int32_t sw = Switch(run);
    Checked(run, ScriptTrunc(percent), 0, 100, "PLAYER_DAMAGE percentage out of range (0..100)");
    EngComponent *c = dunPlayerShip ? dunFindComponentByName(dunPlayerShip, name) : nullptr;
    if (!c) return;
    // The fraction is compared with 50, so every call marks the component
    // damaged; that is the rule the missions were written against.
    const float v = percent / 100.0f;
    ShipInfo *info = ShipOf(dunPlayerShip);
    if (v < 50.0f && info) info->damage.mask |= uint16_t(c->subsystemBits);
    if (c->level > v) c->level = v;
    if (sw == 0) c->switchedOn = 1;
    if (sw == 1) c->switchedOn = 0;
}

void StRepairs(ScriptRun &run) { dunRepairsSwitch = RequiredSwitch(run) == 0 ? 0xFFFFFFFFu : 0; }

void SimFlagSwitch(ScriptRun &run, uint32_t flag) {
    SceneItem *o = Object(run);
    const bool on = RequiredSwitch(run) == 0;
    if (!o || !o->sim) return;
    if (on) o->sim->flags |= flag;
    else o->sim->flags &= ~flag;
}

void StNoUndock(ScriptRun &run) { SimFlagSwitch(run, SimFlag::Clamped); }
void StRemoteOk(ScriptRun &run) { SimFlagSwitch(run, SimFlag::RemoteControllable); }
void StLockAutopilot(ScriptRun &run) { dunAutopilotLock = RequiredSwitch(run) == 0 ? 0xFF : 0; }

void StShipSysKill(ScriptRun &run) {
    SceneItem *o = Object(run);
    const int32_t system = Checked(run, Integer(run), INT32_MIN, kLastSubsystem, "SHIP_SYSKILL system out of range");
    const float percent = OptionalNumberOperand(run);
    Checked(run, ScriptTrunc(percent), INT32_MIN, 100, "SHIP_SYSKILL percentage above 100");
    const float f = percent < 0.0f ? 0.0f : percent == 0.0f ? 1.0f : percent / 100.0f;
    if (!o || !o->sim) return;
    if (system < 0) {
        if (ShipInfo *info = o->sim->shipInfo) {
            info->repairPool = ScriptTrunc(float(info->repairValues[1]) * f);
            o->sim->hull = ScriptTrunc(100.0f - 100.0f * f);
        }
        return;
    }
    dunSetSubsystemState(o, system, f);
}

void StDestroy(ScriptRun &run) {
    SceneItem *o = Object(run);
    const int32_t sw = Switch(run);
    const int32_t delay = sw == 1 ? 0 : ScriptTrunc(OptionalNumberOperand(run));
    if (!o || !(o->flags & SceneFlag::InUse)) return;
    if (sw == 1) {
        dunMsgPost(o->receiverId, o->receiverId, 0, MsgRemove, 0, nullptr);
    } else {
        const DamageRecord record = {};
        dunPostDamageRecord(o->receiverId, o->receiverId, uint32_t(delay < 0 ? 0 : delay), MsgDestroyed, &record);
    }
    if (o->avatar) o->avatar->destroyedBy = o;
}

}  // namespace

// ---- Support routines ------------------------------------------------------------------------

SceneItem *CreateScriptWaypoint(double x, double y, double z, ScriptSymbol *symbol, int withMarker, int noCreate,
                                const char *label) {
    SceneItem *o = symbol ? ScriptSymbolObject(symbol) : nullptr;
    if (!o) {
        if (noCreate) return nullptr;
        o = CreateScriptObject(nullptr, dunSimAttachToTarget, dunSimStickToGoal);
        if (symbol) ScriptSetSymbolObject(symbol, o);
    }
    o->linkRecord = symbol;
    o->flags |= SceneFlag::Appended | SceneFlag::SolarBody;
    TDP *root = o->avatar->root;
    root->flags &= ~(TDPFlag::HasActor | TDPFlag::Collidable);
    SetScriptObjectPosition(o, x, y, z);
    o->sim->goal = nullptr;
    o->avatar->waypointName = label;
    o->avatar->partner = nullptr;
    GiveMarker(o, label, withMarker != 0, x, y, z);
    dunCopySimToModel(o);
    return o;
}

bool dunWaypointVisited(const SceneItem *waypoint) {
    const TDP *root = waypoint && waypoint->avatar ? waypoint->avatar->root : nullptr;
    if (!root || (root->flags & TDPFlag::MarkerRoot) != TDPFlag::MarkerRoot || !root->model) return false;
    return (static_cast<const HUD *>(root->model)->flags & HudFlag::MarkerVariant) != 0;
}

const ScriptStatementRow kOrderStatements[] = {
    {239, StOrder},       {240, StOrderParams},  {241, StPlayerOrder}, {242, StAssertOrder}, {243, StCancelOrder},
    {244, StTarget},      {245, StNavTarget},    {246, StIgnoreNav},   {247, StIgnoreWep},   {248, StWaypt},
    {249, StAttachWaypt}, {250, StCountWaypts},  {251, StLagrange},    {252, StSystem},      {253, StRecSystem},
    {254, StSetTargLp},   {255, StPlayerDamage}, {256, StRepairs},     {257, StNoUndock},    {258, StLockAutopilot},
    {259, StRemoteOk},    {260, StShipSysKill},  {261, StDestroy},     {0, nullptr},
};

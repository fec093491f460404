// Group statements (the automatic group of new ships, fresh group numbers,
// leaders and their followers), asteroids, the debris and screen-static
// settings, and the switches that forbid the LDS drive.
#include <cmath>

#include "RES/resman.h"
#include "ai/brain.h"
#include "ai/combat.h"
#include "core/frame.h"
#include "present/views.h"
#include "script/interp.h"
#include "script/objects.h"
#include "script/screens.h"
#include "script/settings.h"
#include "script/statements.h"
#include "script/symbols.h"
#include "world/contact.h"
#include "world/lds.h"
#include "world/mission_state.h"
#include "world/objlist.h"
#include "world/objroutines.h"
#include "world/services.h"
#include "world/universe.h"

int32_t gScreenStatic;

namespace {

// The combat stance a group leader takes.
constexpr uint32_t kLeaderStance = 0x1400;
// The Sim flag of a ship that may not use its LDS drive.
constexpr uint32_t kNoLdsFlag = 0x200000;

int32_t Integer(ScriptRun &run) { return ScriptTrunc(DecodeNumberOperand(run)); }
int32_t Switch(ScriptRun &run) { return OptionalKeywordInRange(run, Sc::On, Sc::Off); }

ShipInfo *ShipOf(SceneItem *o) { return o && o->sim ? o->sim->shipInfo : nullptr; }

template <class F>
void ForEachShip(F &&f) {
    for (SceneItem *o = dunFirstObjectWithFlags(0); o; o = dunNextObjectWithFlags(o, 0))
        if (ShipInfo *s = ShipOf(o)) f(o, s);
}

void StGroup(ScriptRun &run) {
    const int32_t g = Integer(run);
    if (ScriptSymbol *symbol = OptionalSymbolRecord(run)) {
        symbol->kind |= SymKind::SceneItem;
        SceneItem *o = ScriptSymbolObject(symbol);
        ShipInfo *ship = ShipOf(o);
        if (!ship) return;
        ship->group = int16_t(g);
        const ShipInfo *player = ShipOf(dunPlayerShip);
        if (player && o != dunPlayerShip && player->group == g) dunai_AddWingman(o);
        return;
    }
    gAutoGroup = g;
    if (g >= gGroupCounter) gGroupCounter = g + 1;
}

void StNewGroup(ScriptRun &) { gAutoGroup = gGroupCounter++; }

void StGroupLeader(ScriptRun &run) {
    SceneItem *leader = DecodeObjectOperand(run, true);
    ShipInfo *ship = ShipOf(leader);
    if (!ship || ship->group == 0) return;
    ship->flags |= ShipFlag::GroupHolder;
    leader->sim->flags |= kLeaderStance;
    ForEachShip([&](SceneItem *o, ShipInfo *s) {
        if (o != leader && s->group == ship->group) s->leader = leader;
    });
}

void StUnleader(ScriptRun &run) {
    if (SceneItem *o = DecodeObjectOperand(run, true)) dunPassGroupFlag(o);
}

void StGetLeader(ScriptRun &run) {
    const int32_t g = Integer(run);
    ScriptSymbol *symbol = DecodeSymbolOperand(run, SymKind::SceneItem);
    SceneItem *found = nullptr;
    ForEachShip([&](SceneItem *o, ShipInfo *s) {
        if (s->group == g && (s->flags & ShipFlag::GroupHolder)) found = o;
    });
    if (found) ScriptSetSymbolObject(symbol, found);
}

void StDink(ScriptRun &run) {
    const float n = DecodeNumberOperand(run), factor = DecodeNumberOperand(run);
    const int32_t colour = ScriptTrunc(OptionalNumberOperand(run));
    dunDebrisCount = int16_t(ScriptTrunc(n));
    dunDebrisCountLarge = int16_t(ScriptTrunc(double(n) * factor));
    if (colour != 0) dunDebrisColour = uint8_t(colour);
}

void StStatic(ScriptRun &run) {
    gScreenStatic = Integer(run);
    const char *screen = StationId == 3 ? "WEP" : StationId == 4 ? "ENG" : "NAV";
    dunCall(ScriptGui().reenterScreen, screen);
}

void StFixedAsteroids(ScriptRun &run) { dunFixedAsteroids = Switch(run) == 1 ? 0 : 0xFF; }

void StAsteroid(ScriptRun &run) {
    ScriptSymbol *symbol = DecodeSymbolOperand(run, SymKind::SceneItem);
    ScriptSymbol *model = DecodeSymbolOperand(run, SymKind::Model | SymKind::MustExist);
    const int32_t kind = Integer(run);
    double x = DecodeNumberOperand(run), y = DecodeNumberOperand(run), z = DecodeNumberOperand(run);
    const float a = OptionalNumberOperand(run), b = OptionalNumberOperand(run);
    void *shape = resmanLoad(ScriptSymbolResource(model));
    SceneItem *rock = shape ? dunCreateFreeObject(kind, shape) : nullptr;
    ScriptSetSymbolObject(symbol, rock);
    if (!rock || !rock->sim || !rock->avatar) return;
    ApplyPlacementMode(&x, &y, &z);
    SetScriptObjectPosition(rock, x, y, z);
    rock->yawSpin = a;
    rock->pitchSpin = b;
    rock->avatar->secondHandler = dunDamageWithDebris;
}

void StNoLds(ScriptRun &run) {
    SceneItem *o = DecodeObjectOperand(run, true);
    const int32_t own = Switch(run), all = Switch(run);
    if (o && o->sim) {
        Sim *s = o->sim;
        if (own == 1) {
            s->flags &= ~kNoLdsFlag;
        } else {
            s->flags |= kNoLdsFlag;
            if (o == dunControlledObject) dunTimeScale = 1.0f;
            // In the drive the forward thrust holds the LDS speed.
            if (s->flags & SimFlag::Lds) s->thrust.z = 0.0f;
        }
    }
    dunLdsOff = all == 1 ? 0 : 0xFF;
}

}  // namespace

const ScriptStatementRow kGroupStatements[] = {
    {283, StGroup},     {284, StNewGroup}, {285, StGroupLeader}, {286, StUnleader},
    {287, StGetLeader}, {288, StDink},     {289, StStatic},      {290, StFixedAsteroids},
    {291, StAsteroid},  {292, StNoLds},    {0, nullptr},
};

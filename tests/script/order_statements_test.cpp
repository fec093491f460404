#include <cstring>
#include <string>
#include <vector>

#include "ai/brain.h"
#include "ai_double.h"
#include "common/universe_data.h"
#include "script/mission.h"
#include "script/objects.h"
#include "script_fixture.h"
#include "world/contact.h"
#include "world/mission_state.h"
#include "world/msghandler.h"
#include "world/objroutines.h"
#include "world/pools.h"
#include "world/universe.h"

using scripttest::FatalText;

// The recorded calls live in the double, linked into this program.

namespace {

class OrderStatements : public scripttest::ScriptTest {
protected:
    void SetUp() override {
        ScriptTest::SetUp();
        AiCallsClear();
    }
    void TearDown() override {
        dunForgetUniverse();
        gCurrentMission = 0;
        ScriptTest::TearDown();
    }
    // A ship: an object with a ship record.
    static SceneItem *Ship(const char *name) {
        SceneItem *o = MakeObject(name);
        o->sim->shipInfo = dunAllocShipInfo();
        return o;
    }
    static SceneItem *PlayerShip() {
        SceneItem *p = Ship("Player");
        dunPlayerShip = dunControlledObject = p;
        static FlightParams flight;
        flight.p300 = 300.0f;
        p->sim->flight = &flight;
        return p;
    }
    static SceneItem *Named(const char *name) { return static_cast<SceneItem *>(GetScriptSymbolValue(name)); }
    // The message of the script error the text stops with.
    static std::string Fails(const std::string &text) {
        const std::string report = FatalText([&] { Start(text); });
        const size_t at = report.find("\n ");
        return at == std::string::npos ? report : report.substr(at + 2);
    }
};

}  // namespace

// (a) Slot 1 starts at once; slot 3 only fills. The order's row gives the
// start state; the slot keeps the name.
TEST_F(OrderStatements, OrderFillsAndStartsSlots) {
    SceneItem *ship = Ship("Raider");
    SceneItem *player = PlayerShip();
    Start(
        "ORDER 1 2 Raider \"FixedAttack\" 30 0 100 Player 7\n"
        "ORDER 3 0 Raider \"Escort\" 0 4 50 12 0\n");
    const ShipInfo *info = ship->sim->shipInfo;
    const OrderSlot &first = info->orders[1];
    EXPECT_STREQ(first.name, "FixedAttack");
    EXPECT_EQ(first.prerequisite, 2);
    EXPECT_EQ(first.delay, 30);
    EXPECT_EQ(first.reserved, 0u);  // the timing value
    EXPECT_EQ(first.weight, 100);
    EXPECT_EQ(first.evaluation, dunai_EvalDefault);
    EXPECT_EQ(first.params[0], dunHandleOf(player));
    EXPECT_EQ(first.params[1], 7u);
    EXPECT_EQ(first.startState, 34u);  // CombatState
    const OrderSlot &third = info->orders[3];
    EXPECT_STREQ(third.name, "Escort");
    EXPECT_EQ(third.reserved, 4u);
    EXPECT_EQ(third.params[0], 12u);
    EXPECT_EQ(third.startState, 51u);
    EXPECT_EQ(third.stateParams[0], 70000u);
    ASSERT_EQ(AiCallCount("StartOrder"), 1);
    EXPECT_EQ(AiCallFind("StartOrder")->slot, 1);
    EXPECT_EQ(info->currentOrder, 1);
    EXPECT_EQ(info->states[0].state, 34u);
    EXPECT_EQ(ScriptSymbolObject(gSymLastShip), ship);
}

// (b) A follower of the player follows the player; an unknown name stops
// the script.
TEST_F(OrderStatements, FollowerAndUnknownOrders) {
    SceneItem *ship = Ship("Wing");
    ship->sim->shipInfo->leader = PlayerShip();
    Start("ORDER 2 0 Wing \"Follower\" 0 0 60 0 0\n");
    EXPECT_STREQ(ship->sim->shipInfo->orders[2].name, "FollowPlayer");
    EXPECT_EQ(ship->sim->shipInfo->orders[2].startState, 44u);
    EXPECT_EQ(Fails("ORDER 2 0 Wing \"Dance\" 0 0 60 0 0\n"), "ORDER unrecognised order name");
    EXPECT_EQ(gScriptRunStatus, 9);
}

// Slot numbers and subsystem numbers are checked before they index
// anything; a parameter that is no symbol or number stops the script.
TEST_F(OrderStatements, OperandsAreChecked) {
    Ship("Raider");
    const struct {
        const char *text;
        const char *error;
    } cases[] = {
        {"ORDER 8 0 Raider \"Escort\" 0 0 1 0 0\n", "Order slot out of range (0..7)"},
        {"ORDER -1 0 Raider \"Escort\" 0 0 1 0 0\n", "Order slot out of range (0..7)"},
        {"ASSERT_ORDER 9 Raider\n", "Order slot out of range (0..7)"},
        {"CANCEL_ORDER 12 Raider\n", "Order slot out of range (0..7)"},
        {"SHIP_SYSKILL Raider 9\n", "SHIP_SYSKILL system out of range"},
        {"SHIP_SYSKILL Raider 2 150\n", "SHIP_SYSKILL percentage above 100"},
        {"PLAYER_DAMAGE \"HULL\" 120\n", "PLAYER_DAMAGE percentage out of range (0..100)"},
        {"ORDER_PARAMS 1 Raider 1 2 ON\n", "SYMBOL or DATA reference needed in this context"},
    };
    for (const auto &c : cases) EXPECT_EQ(Fails(c.text), c.error) << c.text;
}

// (c) New parameters keep the start state; the current slot starts again.
TEST_F(OrderStatements, OrderParams) {
    SceneItem *ship = Ship("Raider");
    ShipInfo *info = ship->sim->shipInfo;
    info->orders[2].startState = 51;
    info->currentOrder = 2;
    Start("VAR N\nSET N 9\nORDER_PARAMS 2 Raider 5 N Raider\nORDER_PARAMS 4 Raider 1 2 3\n");
    const OrderSlot &o = info->orders[2];
    EXPECT_EQ(o.startState, 51u);
    EXPECT_EQ(o.stateParams[0], 5u);
    EXPECT_EQ(o.stateParams[1], 9u);
    EXPECT_EQ(o.stateParams[2], dunHandleOf(ship));
    EXPECT_EQ(info->orders[4].stateParams[2], 3u);
    ASSERT_EQ(AiCallCount("StartOrder"), 1);  // slot 4 is not the current one
    EXPECT_EQ(AiCallFind("StartOrder")->slot, 2);
}

TEST_F(OrderStatements, AssertAndCancel) {
    SceneItem *ship = Ship("Raider");
    ShipInfo *info = ship->sim->shipInfo;
    OrderSlot &o = info->orders[5];
    o.flags = OrderFlag::Done;
    o.reserved = 77;
    o.weight = 77;
    o.evaluation = dunai_EvalDefault;
    o.priority = 77;
    o.startState = 77;
    Start("ASSERT_ORDER 4 Raider\nCANCEL_ORDER 5 Raider\n");
    EXPECT_EQ(AiCallFind("StartOrder")->slot, 4);
    EXPECT_EQ(info->currentOrder, 4);
    EXPECT_EQ(o.flags, 0u);
    EXPECT_EQ(o.reserved, 0u);
    EXPECT_EQ(o.evaluation, nullptr);
    EXPECT_EQ(o.priority, 0);
    EXPECT_EQ(o.startState, 0u);
    EXPECT_EQ(o.weight, 77);
}

// (d) The player's target: selected only with ON.
TEST_F(OrderStatements, Targets) {
    SceneItem *player = PlayerShip();
    SceneItem *raider = Ship("Raider");
    player->sim->shipInfo->currentOrder = 1;
    Start("TARGET Player Raider\nNAVTARGET Raider Player\n");
    EXPECT_EQ(player->sim->goal, raider);
    EXPECT_EQ(player->sim->shipInfo->orders[1].savedGoal, dunHandleOf(raider));
    EXPECT_EQ(raider->sim->target, player);
    EXPECT_EQ(AiCallCount("SelectTarget"), 0);
    Start("WEPTARGET Player Raider ON\nNAVTARGET Player Raider ON\n");
    EXPECT_EQ(AiCallCount("SelectTarget"), 2);
    EXPECT_EQ(player->sim->target, raider);
    Start("IGNORE_NAV Raider\n");
    EXPECT_EQ(AiCallFind("ForgetTargetEverywhere")->ship, raider);
    EXPECT_EQ(dunIgnoredObject, raider);
    EXPECT_EQ(dunIgnoreCountdown, 500);
    Start("IGNORE_WEP Player\n");
    EXPECT_EQ(AiCallFind("ForgetGoalEverywhere")->ship, player);
    EXPECT_EQ(dunIgnoredObject, player);
}

// (h) The player's own order, with ON, OFF and no switch.
TEST_F(OrderStatements, PlayerOrders) {
    SceneItem *player = PlayerShip();
    SceneItem *raider = Ship("Raider");
    Start("PLAYER_ORDER \"Escort\" Raider ON\n");
    EXPECT_TRUE(player->sim->flags & SimFlag::Lds);
    EXPECT_EQ(player->sim->controlValue, 300u);
    EXPECT_EQ(player->sim->limits[0], 100000.0f);
    EXPECT_EQ(player->sim->target, raider);
    EXPECT_TRUE(player->sim->flags & SimFlag::Autopilot);
    const OrderSlot &order = player->sim->shipInfo->orders[1];
    EXPECT_STREQ(order.name, "Escort");
    EXPECT_EQ(order.weight, 80);
    EXPECT_EQ(order.evaluation, dunai_EvalDefault);
    EXPECT_EQ(order.params[0], 80u);
    EXPECT_EQ(order.startState, 51u);
    EXPECT_EQ(AiCallFind("StartOrder")->slot, 1);
    Start("PLAYER_ORDER \"Escort\" Raider OFF\n");
    EXPECT_EQ(player->sim->controlValue, uint32_t(-100));
    EXPECT_EQ(player->sim->limits[0], 0.0f);
    player->sim->flags &= ~SimFlag::Lds;
    player->sim->controlValue = 5;
    Start("PLAYER_ORDER \"Escort\" Raider\n");
    EXPECT_EQ(player->sim->controlValue, 5u);
    EXPECT_EQ(AiCallCount("StartOrder"), 3);
}

// (e) Waypoints: a marker unless OFF; a chain links back and forward (the
// new waypoint itself, whatever LASTSHIP names); LASTWAYPT follows.
TEST_F(OrderStatements, WaypointsChainAndMark) {
    Ship("Other");
    Start(
        "SCENEITEM A B C\n"
        "WAYPT A \"First\" 10 20 30\n"
        "ORDER 3 0 Other \"Escort\" 0 0 1 0 0\n"
        "WAYPT B \"Second\" 0 0 0 ON ON 1 2 3\n"
        "WAYPT C \"Third\" 0 0 0 OFF ON\n");
    SceneItem *a = Named("A"), *b = Named("B"), *c = Named("C");
    ASSERT_TRUE(a && b && c);
    EXPECT_EQ(a->sim->position.z, 3000.0);
    EXPECT_STREQ(a->avatar->waypointName, "First");
    EXPECT_EQ(a->control, dunSimAttachToTarget);
    EXPECT_EQ(a->simulator, dunSimStickToGoal);
    EXPECT_NE(a->avatar->root->model, nullptr);
    EXPECT_EQ(a->avatar->root->flags & TDPFlag::MarkerRoot, TDPFlag::MarkerRoot);
    EXPECT_TRUE(a->avatar->flags & AvatarFlag::NavigationBody);
    EXPECT_EQ(a->avatar->waypointBack, nullptr);  // no chain asked
    EXPECT_EQ(b->avatar->waypointBack, a);
    EXPECT_EQ(a->avatar->waypointForward, b);
    EXPECT_EQ(b->avatar->waypointForward, c);
    EXPECT_EQ(c->avatar->waypointBack, b);
    EXPECT_EQ(b->avatar->root->offset.z, 300.0f);
    EXPECT_EQ(c->avatar->root->model, nullptr);
    EXPECT_TRUE(c->avatar->flags & AvatarFlag::NoMarker);
    EXPECT_EQ(ScriptSymbolObject(gSymLastWaypt), c);
    EXPECT_FALSE(dunWaypointVisited(a));
    static_cast<HUD *>(a->avatar->root->model)->flags |= HudFlag::MarkerVariant;
    EXPECT_TRUE(dunWaypointVisited(a));
    EXPECT_FALSE(dunWaypointVisited(c));
}

// (i) Mission 13's "Inter" lies at 5,000,000 in z.
TEST_F(OrderStatements, TheInterWaypoint) {
    for (const int mission : {13, 12}) {
        gCurrentMission = mission;
        Start("SCENEITEM W\nWAYPT W \"Inter\" 1 2 3\n");
        EXPECT_EQ(Named("W")->sim->position.z, mission == 13 ? 5000000.0 : 300.0) << mission;
    }
}

TEST_F(OrderStatements, CountAttachAndLagrange) {
    SceneItem *ship = Ship("Ship");
    Start(
        "SCENEITEM W LP\nWAYPT W \"Tail\" 0 0 0\nATTACH_WAYPT W Ship\nCOUNT_WAYPTS 4.7\n"
        "LAGRANGE LP \"Point\" 1 2 3\n");
    EXPECT_EQ(gWaypointCount, 4);
    EXPECT_EQ(dunWaypointTotal, 4);
    SceneItem *w = Named("W");
    EXPECT_EQ(w->sim->goal, ship);
    ASSERT_NE(w->sim->goalSymbol, nullptr);
    EXPECT_EQ(ScriptSymbolObject(static_cast<ScriptSymbol *>(w->sim->goalSymbol)), ship);
    SceneItem *lp = Named("LP");
    EXPECT_EQ(lp->sim->radius, 300000.0f);
    EXPECT_EQ(lp->avatar->root->radius, 300000.0f);
    EXPECT_EQ(lp->avatar->flags & 0x1400000u, 0x1400000u);
    EXPECT_EQ(lp->avatar->contactHandler, dunContactLogBody);
    EXPECT_EQ(lp->avatar->collisionPriority, 88);
    EXPECT_EQ(lp->sim->position.y, 200.0);
}

// (f), (g) and the player's rules.
TEST_F(OrderStatements, ShipRules) {
    SceneItem *ship = Ship("Ship");
    dunSetMessageHandler(ship, dunHandleMessages);
    ship->sim->shipInfo->repairValues[1] = 250;
    Start("SHIP_SYSKILL Ship -1\n");
    EXPECT_EQ(ship->sim->hull, 0);
    EXPECT_EQ(ship->sim->shipInfo->repairPool, 250);
    Start("SHIP_SYSKILL Ship -1 40\n");
    EXPECT_EQ(ship->sim->hull, 60);
    EXPECT_EQ(ship->sim->shipInfo->repairPool, 100);
    Start("NO_UNDOCK Ship ON\nREMOTE_OK Ship ON\nLOCK_AUTOPILOT ON\nREPAIRS OFF\n");
    EXPECT_TRUE(ship->sim->flags & SimFlag::Clamped);
    EXPECT_TRUE(ship->sim->flags & SimFlag::RemoteControllable);
    EXPECT_EQ(dunAutopilotLock, 0xFF);
    EXPECT_EQ(dunRepairsSwitch, 0u);
    Start("NO_UNDOCK Ship OFF\nLOCK_AUTOPILOT OFF\nREPAIRS ON\n");
    EXPECT_FALSE(ship->sim->flags & SimFlag::Clamped);
    EXPECT_EQ(dunAutopilotLock, 0);
    EXPECT_EQ(dunRepairsSwitch, 0xFFFFFFFFu);
    // DESTROY OFF posts the removal and reads no delay: the 5 is the next
    // statement's, which the script then cannot read as one.
    Start("VAR N\nDESTROY Ship OFF\nSET N 5\n");
    EXPECT_EQ(Var("N"), 5);
    EXPECT_EQ(ship->avatar->destroyedBy, ship);
    std::vector<uint16_t> types;
    MsgRecord m;
    const uint32_t clock = dunGameClock;
    dunGameClock = 100000;
    while (dunMsgReceive(ship->receiverId, &m)) types.push_back(m.header.type);
    EXPECT_EQ(types, (std::vector<uint16_t>{MsgRemove}));
    dunGameClock = clock;
    Start("DESTROY Ship ON 250\n");
    types.clear();
    dunGameClock = clock + 200;
    while (dunMsgReceive(ship->receiverId, &m)) types.push_back(m.header.type);
    EXPECT_TRUE(types.empty());
    dunGameClock = clock + 300;
    while (dunMsgReceive(ship->receiverId, &m)) types.push_back(m.header.type);
    EXPECT_EQ(types, (std::vector<uint16_t>{MsgDestroyed}));
    dunGameClock = clock;
    dunAutopilotLock = 0;
}

// The script's waypoint for the world's calls: with or without a marker,
// made for a symbol or alone.
TEST_F(OrderStatements, CreateScriptWaypoint) {
    SceneItem *marked = CreateScriptWaypoint(1, 2, 3, nullptr, -1, 0, "LDSI Detonation");
    ASSERT_NE(marked, nullptr);
    EXPECT_EQ(marked->sim->position.x, 1.0);
    EXPECT_STREQ(marked->avatar->waypointName, "LDSI Detonation");
    EXPECT_NE(marked->avatar->root->model, nullptr);
    EXPECT_TRUE(marked->avatar->flags & AvatarFlag::NavigationBody);
    EXPECT_EQ(marked->flags & 0x1002u, 0x1002u);
    EXPECT_FALSE(marked->avatar->root->flags & (TDPFlag::HasActor | TDPFlag::Collidable));
    ScriptSymbol *s = AddScriptSymbol("Spot", "\0\0\0\0", 4);
    s->kind = SymKind::SceneItem;
    EXPECT_EQ(CreateScriptWaypoint(0, 0, 0, s, 0, 1, "Spot"), nullptr);  // no create
    SceneItem *plain = CreateScriptWaypoint(4, 5, 6, s, 0, 0, "Spot");
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(ScriptSymbolObject(s), plain);
    EXPECT_EQ(plain->avatar->root->model, nullptr);
    EXPECT_TRUE(plain->avatar->flags & AvatarFlag::NoMarker);
    // Asked again for the same symbol, the same object moves.
    EXPECT_EQ(CreateScriptWaypoint(7, 8, 9, s, 0, 0, "Spot"), plain);
    EXPECT_EQ(plain->sim->position.z, 9.0);
}

// SYSTEM moves the player, clears the old system and enters the new
// system's routine at once, the statements after it running on its return.
TEST_F(OrderStatements, SystemEntersItsRoutine) {
    unitest::LoadUniverse();
    dunCurrentSystem = 1;
    SceneItem *player = PlayerShip();
    SceneItem *left = MakeObject("Left");
    Start(
        "VAR X\nSYSTEM \"Vessar\" \"Relay\"\nADD X 10\nBRA Done\n"
        "STARSYSTEM_2:\nSET X 1\nRETURN\nDone:\n");
    EXPECT_EQ(Var("X"), 11);
    EXPECT_EQ(dunCurrentSystem, 2);
    EXPECT_EQ(player->systemNumber, 2);
    EXPECT_FALSE(left->flags & SceneFlag::InUse);
    EXPECT_NE(dunFindNamedBody("Brannock"), nullptr);
    // A move that cannot happen clears nothing and enters nothing.
    SceneItem *stays = MakeObject("Stays");
    Start("SYSTEM \"Kelvar\" \"Nowhere\"\n");
    EXPECT_TRUE(stays->flags & SceneFlag::InUse);
    EXPECT_EQ(dunCurrentSystem, 2);
    Start("RECSYSTEM\nSET_TARG_LP 2 \"Relay\"\n");
    EXPECT_EQ(dunStarMap.recordSystem, 0xFF);
    EXPECT_EQ(dunTargetLpStar, 2);
    ASSERT_NE(dunTargetLpBody, nullptr);
    EXPECT_STREQ(dunTargetLpBody->name, "Relay");
}

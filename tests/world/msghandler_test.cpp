#include <cstring>
#include <functional>
#include <vector>

#include "core/frame.h"
#include "platform/video.h"
#include "world/docking.h"
#include "world/eventhooks.h"
#include "world/flight.h"
#include "world/handle.h"
#include "world/msghandler.h"
#include "world/objroutines.h"
#include "world/universe.h"
#include "world_fakes.h"
#include "world_fixture.h"

namespace {

struct Pending {
    uint16_t type;
    uint32_t due;
    uint32_t sender;
    uint32_t word0;
};

class MsgHandlerTest : public WorldTest {
protected:
    WorldFakes fakes;

    static SceneItem *Obj(uint32_t flags = 0) {
        SceneItem *item = MakeObject(flags);
        dunSetMessageHandler(item, dunHandleMessages);
        return item;
    }
    static SceneItem *Ship() {
        SceneItem *item = Obj();
        item->sim->shipInfo = dunAllocShipInfo();
        return item;
    }
    static DockingPort *AddPort(SceneItem *ship) {
        static DockingPort ports[8];
        static int next = 0;
        DockingPort *p = &ports[next++ % 8];
        *p = {};
        DockingPort **tail = &ship->sim->shipInfo->ports;
        while (*tail) tail = &(*tail)->next;
        *tail = p;
        return p;
    }
    static void Post(SceneItem *to, uint16_t type, uint32_t length = 0, const void *payload = nullptr,
                     uint32_t sender = 0x1FFFF) {
        ASSERT_TRUE(dunMsgPost(sender, to->receiverId, 0, type, length, payload));
    }
    static void PostWord(SceneItem *to, uint16_t type, uint32_t word) {
        uint8_t bytes[4];
        dunPayloadPutU32(bytes, 0, word);
        Post(to, type, 4, bytes);
    }
    static void PostDamage(SceneItem *to, uint16_t type, int32_t damage, SceneItem *attacker = nullptr) {
        DamageRecord r = {};
        r.point = {1.0f, 2.0f, 3.0f};
        r.damage = damage;
        r.attacker = dunHandleOf(attacker);
        ASSERT_TRUE(dunPostDamageRecord(0x1FFFF, to->receiverId, 0, type, &r));
    }
    // Every message still waiting for the object, due or not (taken).
    static std::vector<Pending> Drain(SceneItem *item) {
        std::vector<Pending> out;
        const uint32_t clock = dunGameClock;
        dunGameClock = 0xFFFFFFF0u;
        MsgRecord m;
        while (dunMsgReceive(item->receiverId, &m)) {
            uint32_t word = 0;
            dunMsgPayloadU32(&m, 0, &word);
            out.push_back({m.header.type, m.header.due, m.header.sender, word});
        }
        dunGameClock = clock;
        return out;
    }
};

DamageRecord gSeen;
int gDestroyedCalls;
void CountingDestroyed(SceneItem *, const DamageRecord *r) {
    ++gDestroyedCalls;
    gSeen = *r;
}
void SomeContact(SceneItem *, TDP *, SceneItem *, TDP *, int16_t *, float *) {}

}  // namespace

TEST_F(MsgHandlerTest, SimpleTypesChangeTheirFlagsAndFields) {
    struct Case {
        const char *name;
        std::function<void(SceneItem *)> post;
        std::function<void(SceneItem *)> check;
    };
    static SceneItem *other;
    other = Obj();
    const Case cases[] = {
        {"2 parts collidable",
         [](SceneItem *a) {
             TDP *drawn = dunAddChildTDP(a->avatar->root, nullptr, 0, 0, 0);
             TDP *particle = dunAddChildTDP(a->avatar->root, nullptr, 0, 0, 0);
             drawn->flags = (drawn->flags | TDPFlag::HasActor) & ~TDPFlag::Collidable;
             particle->flags = (particle->flags | TDPFlag::HasActor | TDPFlag::Particle) & ~TDPFlag::Collidable;
             Post(a, MsgPartsCollidable);
         },
         [](SceneItem *a) {
             EXPECT_TRUE(a->avatar->root->child->flags & TDPFlag::Collidable);
             EXPECT_FALSE(a->avatar->root->child->sibling->flags & TDPFlag::Collidable);
         }},
        {"3 contact handler by id",
         [](SceneItem *a) { PostWord(a, MsgSetContactHandler, dunRoutineHandle(reinterpret_cast<AnyRoutine>(SomeContact))); },
         [](SceneItem *a) { EXPECT_EQ(a->avatar->contactHandler, &SomeContact); }},
        {"6 goal",
         [](SceneItem *a) { PostWord(a, MsgSetGoal, dunHandleOf(other)); },
         [](SceneItem *a) { EXPECT_EQ(a->sim->goal, other); }},
        {"6 goal kept while protected",
         [](SceneItem *a) {
             a->sim->flags |= SimFlag::GoalProtected;
             PostWord(a, MsgSetGoal, dunHandleOf(other));
         },
         [](SceneItem *a) { EXPECT_EQ(a->sim->goal, nullptr); }},
        {"6 the script's protected object is no goal",
         [](SceneItem *a) {
             dunProtectedObject = other;
             PostWord(a, MsgSetGoal, dunHandleOf(other));
         },
         [](SceneItem *a) {
             EXPECT_EQ(a->sim->goal, nullptr);
             dunProtectedObject = nullptr;
         }},
        {"9 partner released",
         [](SceneItem *a) {
             a->avatar->partner = other;
             PostWord(a, MsgPartnerReleased, dunHandleOf(other));
         },
         [](SceneItem *a) { EXPECT_EQ(a->avatar->partner, nullptr); }},
        {"20 interdiction off",
         [](SceneItem *a) {
             a->sim->flags |= SimFlag::LdsBlocked;
             Post(a, MsgInterdictionOff);
         },
         [](SceneItem *a) { EXPECT_FALSE(a->sim->flags & SimFlag::LdsBlocked); }},
        {"25 timed state off",
         [](SceneItem *a) {
             a->sim->flags |= SimFlag::TimedState;
             Post(a, MsgTimedStateOff);
         },
         [](SceneItem *a) { EXPECT_FALSE(a->sim->flags & SimFlag::TimedState); }},
        {"29 ram flag cleared",
         [](SceneItem *a) {
             a->sim->flags |= SimFlag::RamsShields | SimFlag::Shielded;
             Post(a, MsgClearRamFlag);
         },
         [](SceneItem *a) { EXPECT_EQ(a->sim->flags & (SimFlag::RamsShields | SimFlag::Shielded), SimFlag::Shielded); }},
        {"unknown types are consumed",
         [](SceneItem *a) {
             Post(a, 4);
             Post(a, 13, 36);
             Post(a, 32);
             Post(a, 999);
         },
         [](SceneItem *a) { EXPECT_EQ(dunMsgPendingCount(a->receiverId), 0); }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        SceneItem *a = Obj();
        c.post(a);
        dunHandleMessages(a);
        c.check(a);
    }
}

TEST_F(MsgHandlerTest, TypesHandedToOtherSubsystems) {
    SceneItem *a = Ship();
    const uint8_t impact[36] = {};
    uint8_t bytes[36] = {};
    dunPayloadPutF32(bytes, 0, 5.0f);
    dunPayloadPutF32(bytes, 16, -7.0f);
    dunPayloadPutU32(bytes, 24, 1000);
    Post(a, MsgFixedAttack);
    Post(a, MsgImpact, sizeof bytes, bytes);
    PostWord(a, MsgViewShake, 100);
    PostWord(a, MsgViewShake, 500);
    Post(a, MsgFeedText);
    Post(a, MsgImpact, sizeof impact, impact);  // waits: the feed text stops handling
    dunHandleMessages(a);
    EXPECT_EQ(fakes.Names(),
              (std::vector<std::string>{"assignFixedAttack", "impactGeometry", "viewShake", "viewShake",
                                        "postPendingFeedText"}));
    EXPECT_EQ(fakes.Find("impactGeometry")->point.x, 5.0f);
    EXPECT_EQ(fakes.Find("impactGeometry")->velocity.y, -7.0f);
    EXPECT_EQ(fakes.Find("impactGeometry")->a, 1000);
    // The shake lasts strength + 25, at most 450 centiseconds.
    EXPECT_EQ(fakes.Find("viewShake", 0)->a, 125);
    EXPECT_EQ(fakes.Find("viewShake", 1)->a, 450);
    EXPECT_EQ(fakes.Find("viewShake", 1)->b, 500);
    EXPECT_EQ(fakes.Find("postPendingFeedText")->a, 1);
    EXPECT_EQ(dunMsgPendingCount(a->receiverId), 1);
}

TEST_F(MsgHandlerTest, RemoveThenHitLeavesTheHitToBeDroppedWithTheReceiver) {
    // Hit then remove: both in one step.
    SceneItem *a = Obj();
    a->sim->hull = 50;
    PostDamage(a, MsgHit, 10);
    Post(a, MsgRemove);
    dunHandleMessages(a);
    EXPECT_EQ(a->sim->hull, 40);
    EXPECT_FALSE(a->flags & SceneFlag::InUse);
    // Remove then hit: the hit waits and goes with the receiver.
    SceneItem *b = Obj();
    b->sim->hull = 50;
    const uint32_t id = b->receiverId;
    Post(b, MsgRemove);
    PostDamage(b, MsgHit, 10);
    dunHandleMessages(b);
    EXPECT_EQ(b->sim->hull, 50);
    EXPECT_EQ(dunMsgPendingCount(id), 0);
    // Forgotten by the destruction record and again as each object goes.
    EXPECT_EQ(fakes.Count("removeContact"), 4);
}

TEST_F(MsgHandlerTest, AHullTakenBelowZeroPostsOneDestruction) {
    SceneItem *a = Obj();
    SceneItem *gunner = Ship();
    a->avatar->secondHandler = CountingDestroyed;
    gDestroyedCalls = 0;
    a->sim->hull = 5;
    PostDamage(a, MsgHit, 6, gunner);
    PostDamage(a, MsgHit, 0, gunner);  // a hit does at least 1
    PostDamage(a, MsgHit, 3, gunner);  // already below 0: nothing more
    dunHandleMessages(a);
    EXPECT_EQ(a->sim->hull, -5);
    EXPECT_EQ(fakes.Count("addMinorExplosion"), 3);
    EXPECT_EQ(fakes.Find("addMinorExplosion")->point.z, 3.0f);
    EXPECT_EQ(fakes.Count("passGroupFlag"), 1);
    // The destruction posted with no delay is due at once: the same call
    // takes it, once.
    EXPECT_EQ(gDestroyedCalls, 1);
    EXPECT_EQ(dunItemFromHandle(gSeen.attacker), gunner);
    EXPECT_TRUE(a->sim->flags & SimFlag::Dead);
    EXPECT_TRUE(Drain(a).empty());
}

TEST_F(MsgHandlerTest, ShipsTakeHitsThroughTheCombatCode) {
    SceneItem *a = Ship();
    a->sim->hull = 100;
    PostDamage(a, MsgHit, 40);
    dunHandleMessages(a);
    ASSERT_EQ(fakes.Count("shipHit"), 1);
    EXPECT_EQ(fakes.Find("shipHit")->record.damage, 40);
    EXPECT_EQ(fakes.Find("shipHit")->record.point.y, 2.0f);
    EXPECT_EQ(a->sim->hull, 100);
}

TEST_F(MsgHandlerTest, APlasmaBallDestroysThePlayerAndRemovesOthers) {
    SceneItem *ball = Obj();
    ball->simulator = dunSimPlasmaBall;
    SceneItem *player = Ship();
    dunPlayerShip = player;
    SceneItem *rock = Obj();
    rock->sim->hull = 1000000;
    SceneItem *safe = Obj();
    safe->sim->flags |= SimFlag::Protected;
    safe->sim->hull = 1000000;
    player->avatar->secondHandler = CountingDestroyed;
    gDestroyedCalls = 0;
    for (SceneItem *it : {player, rock, safe}) {
        PostDamage(it, MsgHit, 1, ball);
        dunHandleMessages(it);  // what they post themselves is due at once
    }
    EXPECT_EQ(gDestroyedCalls, 1);
    EXPECT_TRUE(player->sim->flags & SimFlag::Dead);
    EXPECT_FALSE(rock->flags & SceneFlag::InUse);
    EXPECT_TRUE(safe->flags & SceneFlag::InUse);
    EXPECT_TRUE(Drain(safe).empty());
    dunPlayerShip = nullptr;
}

TEST_F(MsgHandlerTest, DestroyedRunsOnceWithHooksScoringAndTheSecondHandler) {
    SceneItem *a = Obj();
    a->avatar->scoreRecord = 77;
    a->avatar->secondHandler = CountingDestroyed;
    gDestroyedCalls = 0;
    static int hookRuns;
    hookRuns = 0;
    ASSERT_TRUE(dunAddEventHook(a, HookEvent::Destroyed, ActionFlag::PointerGiven | ActionFlag::CallRoutine,
                                {.routine = [](SceneItem *, const HookArgument *arg) {
                                    EXPECT_EQ(arg->record->damage, 9);
                                    ++hookRuns;
                                }}));
    SceneItem *player = Ship();
    dunControlledObject = player;
    PostDamage(a, MsgDestroyed, 9, player);
    PostDamage(a, MsgDestroyed, 9, player);  // already dead: dropped
    dunHandleMessages(a);
    EXPECT_EQ(gDestroyedCalls, 1);
    EXPECT_EQ(gSeen.damage, 9);
    EXPECT_EQ(hookRuns, 1);
    EXPECT_TRUE(a->sim->flags & SimFlag::Dead);
    ASSERT_EQ(fakes.Count("scoreKill"), 1);
    EXPECT_EQ(fakes.Find("scoreKill")->a, 77);
    dunControlledObject = nullptr;
}

TEST_F(MsgHandlerTest, DestroyedScoringRules) {
    enum Who { Nobody, Player, Self, Stranger };
    struct Case {
        Who attacker;      // the message's
        Who lastAttacker;  // the Avatar's
        int summary;
        bool scored;
    };
    const Case cases[] = {
        {Player, Stranger, 0, true},  {Stranger, Player, 0, false}, {Nobody, Player, 0, true},
        {Self, Player, 0, true},      {Self, Stranger, 9, false},   {Nobody, Nobody, 3, true},
        {Nobody, Nobody, 2, false},
    };
    SceneItem *player = Ship();
    SceneItem *stranger = Ship();
    dunControlledObject = player;
    for (const Case &c : cases) {
        fakes.calls.clear();
        fakes.scoreSummary = c.summary;
        SceneItem *a = Obj();
        a->avatar->secondHandler = CountingDestroyed;
        SceneItem *who[] = {nullptr, player, a, stranger};
        a->avatar->attacker = who[c.lastAttacker];
        PostDamage(a, MsgDestroyed, 1, who[c.attacker]);
        dunHandleMessages(a);
        EXPECT_EQ(fakes.Count("scoreKill"), c.scored ? 1 : 0) << c.attacker << " " << c.lastAttacker;
    }
    dunControlledObject = nullptr;
}

TEST_F(MsgHandlerTest, TimedDetonationWaitsNearItsGoal) {
    gDestroyedCalls = 0;
    SceneItem *mine = Obj();
    mine->avatar->secondHandler = CountingDestroyed;
    SceneItem *goal = Obj();
    mine->sim->goal = goal;
    goal->sim->matrix.m[12] = 449999.0f;
    Post(mine, MsgTimedDetonation);
    dunHandleMessages(mine);
    EXPECT_EQ(gDestroyedCalls, 0);
    goal->sim->matrix.m[12] = 450000.0f;
    Post(mine, MsgTimedDetonation);
    dunHandleMessages(mine);
    ASSERT_EQ(gDestroyedCalls, 1);
    EXPECT_EQ(dunItemFromHandle(gSeen.attacker), mine);  // its own killer
}

TEST_F(MsgHandlerTest, PortsOpenByNumberAndDockingOpensTheFirstPorts) {
    SceneItem *a = Ship();
    DockingPort *p0 = AddPort(a);
    DockingPort *p1 = AddPort(a);
    uint8_t bytes[36] = {};
    dunPayloadPutU16(bytes, 0, 1);
    Post(a, MsgPortEnable, sizeof bytes, bytes);
    dunHandleMessages(a);
    EXPECT_FALSE(p0->flags & PortFlag::Open);
    EXPECT_TRUE(p1->flags & PortFlag::Open);

    a->sim->flags |= SimFlag::AiPaused | SimFlag::LdsBlocked | SimFlag::Lds;
    p1->flags = 0;
    dunPayloadPutU16(bytes, 0, 7);  // past the end: the last port
    Post(a, MsgRelease, sizeof bytes, bytes);
    dunHandleMessages(a);
    EXPECT_EQ(a->sim->flags & (SimFlag::AiPaused | SimFlag::LdsBlocked | SimFlag::Lds), SimFlag::Lds);
    EXPECT_TRUE(p1->flags & PortFlag::Open);

    SceneItem *b = Ship();
    DockingPort *q = AddPort(b);
    static int docked;
    docked = 0;
    dunAddEventHook(a, HookEvent::Docked, ActionFlag::PointerGiven | ActionFlag::CallRoutine,
                    {.routine = [](SceneItem *, const HookArgument *arg) { docked += arg->other != nullptr; }});
    p0->flags = 0;
    PostWord(a, MsgDocked, dunHandleOf(b));
    dunHandleMessages(a);
    EXPECT_TRUE(p0->flags & PortFlag::Open);
    EXPECT_TRUE(q->flags & PortFlag::Open);
    EXPECT_EQ(docked, 1);
    ASSERT_EQ(fakes.Count("eventCamera"), 1);
    EXPECT_EQ(fakes.Find("eventCamera")->other, b);
    EXPECT_EQ(fakes.Find("eventCamera")->a, 0);

    // A partner without ports: nothing at all.
    SceneItem *bare = Obj();
    PostWord(a, MsgDocked, dunHandleOf(bare));
    dunHandleMessages(a);
    EXPECT_EQ(docked, 1);
}

TEST_F(MsgHandlerTest, SidePartnerAcrossSidesOnlyInMissionFourteen) {
    struct Case {
        int16_t own, theirs;
        int32_t mission;
        bool taken;
    };
    const Case cases[] = {{0, 3, 1, true}, {2, 2, 1, true}, {2, 3, 1, false}, {2, 3, 14, true}};
    for (const Case &c : cases) {
        SceneItem *a = Ship();
        SceneItem *b = Ship();
        a->sim->shipInfo->side = c.own;
        b->sim->shipInfo->side = c.theirs;
        fakes.currentMission = c.mission;
        PostWord(a, MsgSidePartner, dunHandleOf(b));
        dunHandleMessages(a);
        EXPECT_EQ(a->avatar->sidePartner, c.taken ? b : nullptr) << c.own << " " << c.theirs << " " << c.mission;
    }
}

TEST_F(MsgHandlerTest, AJumpRelaysToDockedPartnersAndArrivesLater) {
    SceneItem *ship = Ship();
    SceneItem *docked = Ship();
    AddPort(ship)->partner = docked;
    AddPort(ship);  // a free port
    dunGameClock = 1000;
    PostWord(ship, MsgJumpDepart, 7);
    dunHandleMessages(ship);
    EXPECT_TRUE(ship->sim->flags & SimFlag::Jumping);
    std::vector<Pending> own = Drain(ship);
    ASSERT_EQ(own.size(), 1u);
    EXPECT_EQ(own[0].type, MsgJumpArrive);
    EXPECT_EQ(own[0].due, 1085u);
    EXPECT_EQ(own[0].word0, 7u);
    std::vector<Pending> relayed = Drain(docked);
    ASSERT_EQ(relayed.size(), 1u);
    EXPECT_EQ(relayed[0].type, MsgJumpDepart);
    EXPECT_EQ(relayed[0].due, 1060u);
    EXPECT_EQ(int32_t(relayed[0].word0), -7);
    // The partner takes the negated number back and does not relay again.
    PostWord(docked, MsgJumpDepart, uint32_t(-7));
    dunHandleMessages(docked);
    own = Drain(docked);
    ASSERT_EQ(own.size(), 1u);
    EXPECT_EQ(own[0].word0, 7u);
    EXPECT_EQ(fakes.Count("spawnDepartureBurst"), 2);
    EXPECT_EQ(fakes.Find("eventCamera")->a, 10);
}

TEST_F(MsgHandlerTest, AnArrivalInAnotherSystemParksTheObject) {
    SceneItem *ship = Ship();
    ship->sim->flags |= SimFlag::Jumping;
    SceneItem *player = Ship();
    dunControlledObject = player;
    player->sim->goal = ship;
    PostWord(ship, MsgJumpArrive, 3);
    dunHandleMessages(ship);
    EXPECT_EQ(ship->systemNumber, 3);
    EXPECT_EQ(dunParkedListHead()->next, ship);
    EXPECT_TRUE(ship->sim->flags & SimFlag::PlaceNearNav);
    EXPECT_FALSE(ship->sim->flags & SimFlag::Jumping);
    EXPECT_EQ(player->sim->goal, nullptr);
    EXPECT_EQ(fakes.Count("placeExplosion"), 1);
    EXPECT_EQ(fakes.Count("pickTargetFiltered"), 1);
    // Already in that system: only the camera.
    SceneItem *local = Ship();
    PostWord(local, MsgJumpArrive, dunCurrentSystem);
    dunHandleMessages(local);
    EXPECT_TRUE(dunIsInSceneList(local));
    EXPECT_EQ(fakes.Count("eventCamera"), 2);
    dunControlledObject = nullptr;
}

TEST_F(MsgHandlerTest, ThePlayersArrivalAsksForTheTransfer) {
    SceneItem *player = Ship();
    dunPlayerShip = player;
    gSystemTransferPending = 0;
    dunPendingStarSystem = 0;
    VideoPlaying = 0;
    PostWord(player, MsgJumpArrive, 4);
    dunHandleMessages(player);
    EXPECT_EQ(gSystemTransferPending, 1);
    EXPECT_EQ(dunPendingStarSystem, 4);
    EXPECT_EQ(fakes.Count("closeComArm"), 1);
    EXPECT_EQ(fakes.Count("clearDialogue"), 1);
    EXPECT_EQ(VideoPlaying, 0);  // no film could start here
    EXPECT_TRUE(dunIsInSceneList(player));
    dunPlayerShip = nullptr;
    gSystemTransferPending = 0;
}

TEST_F(MsgHandlerTest, DropOutKeepsOnePendingInterdictionEnd) {
    SceneItem *a = Ship();
    a->sim->flags |= SimFlag::Lds;
    a->sim->demandSpeed = 5.0f;
    dunControlledObject = a;
    dunTimeScale = 8.0f;
    dunGameClock = 100;
    Post(a, MsgLdsDropOut);
    dunHandleMessages(a);
    EXPECT_TRUE(a->sim->flags & SimFlag::LdsBlocked);
    EXPECT_EQ(a->sim->demandSpeed, 0.0f);
    EXPECT_EQ(dunTimeScale, 1.0f);
    dunGameClock = 200;
    Post(a, MsgLdsDropOut);
    dunHandleMessages(a);
    std::vector<Pending> p = Drain(a);
    ASSERT_EQ(p.size(), 1u);
    EXPECT_EQ(p[0].type, MsgInterdictionOff);
    EXPECT_EQ(p[0].due, 500u);  // pushed to 300 after the second
    // A beam round posts no end.
    SceneItem *round = Obj();
    round->avatar->flags |= AvatarFlag::BeamRound;
    Post(round, MsgLdsDropOut);
    dunHandleMessages(round);
    EXPECT_TRUE(Drain(round).empty());
    dunControlledObject = nullptr;
}

TEST_F(MsgHandlerTest, TimedStateSetsTheCountdownOnlyForANewEnd) {
    SceneItem *a = Obj();
    dunTimedStateCountdown = 0.0f;
    Post(a, MsgTimedStateOn);
    dunHandleMessages(a);
    EXPECT_TRUE(a->sim->flags & SimFlag::TimedState);
    EXPECT_EQ(dunTimedStateCountdown, 2.0f);
    dunTimedStateCountdown = 0.5f;
    dunGameClock = 150;
    Post(a, MsgTimedStateOn);
    dunHandleMessages(a);
    EXPECT_EQ(dunTimedStateCountdown, 0.5f);
    std::vector<Pending> p = Drain(a);
    ASSERT_EQ(p.size(), 1u);
    EXPECT_EQ(p[0].type, MsgTimedStateOff);
    EXPECT_EQ(p[0].due, 350u);
}

TEST_F(MsgHandlerTest, RepairTickSkipsThePlayerAndStopsHandling) {
    SceneItem *a = Ship();
    Post(a, MsgRepairTick);
    Post(a, MsgFixedAttack);
    dunHandleMessages(a);
    EXPECT_EQ(fakes.Count("assignFixedAttack"), 0);
    dunHandleMessages(a);
    EXPECT_EQ(fakes.Count("assignFixedAttack"), 1);
}

TEST_F(MsgHandlerTest, ScoreRecordRetargetAndMissileWarning) {
    SceneItem *a = Ship();
    a->sim->shipInfo->scoreWord = 55;
    fakes.hasScoreRecord = true;
    fakes.scoreRecordWord = 54;
    PostWord(a, MsgScoreRecordGone, 9);
    dunHandleMessages(a);
    EXPECT_EQ(a->sim->shipInfo->scoreWord, 55u);
    fakes.scoreRecordWord = 55;
    PostWord(a, MsgScoreRecordGone, 9);
    dunHandleMessages(a);
    EXPECT_EQ(a->sim->shipInfo->scoreWord, 0u);

    SceneItem *round = Obj();
    SceneItem *decoy = Obj();
    round->sim->goal = a;
    uint8_t two[8];
    dunPayloadPutU32(two, 0, dunHandleOf(decoy));
    dunPayloadPutU32(two, 4, dunHandleOf(a));
    Post(round, MsgRetarget, 8, two);
    dunHandleMessages(round);
    EXPECT_EQ(round->sim->goal, a);  // not a munition round
    round->avatar->flags |= AvatarFlag::MunitionRound;
    Post(round, MsgRetarget, 8, two);
    dunHandleMessages(round);
    EXPECT_EQ(round->sim->goal, decoy);
    EXPECT_EQ(round->sim->target, decoy);

    SceneItem *other = Ship();
    PostWord(a, MsgMissileWarning, dunHandleOf(round));  // its goal is the decoy now
    dunHandleMessages(a);
    EXPECT_EQ(fakes.Count("fireSpecialWeapon"), 0);
    round->sim->goal = a;
    PostWord(a, MsgMissileWarning, dunHandleOf(round));
    PostWord(other, MsgMissileWarning, dunHandleOf(round));
    dunHandleMessages(a);
    dunHandleMessages(other);
    ASSERT_EQ(fakes.Count("fireSpecialWeapon"), 1);
    EXPECT_EQ(fakes.Find("fireSpecialWeapon")->item, a);
    EXPECT_EQ(fakes.Find("fireSpecialWeapon")->other, round);
}

TEST_F(MsgHandlerTest, PayloadsNamingFreedObjectsAreDropped) {
    SceneItem *a = Ship();
    AddPort(a);
    SceneItem *gone = Ship();
    AddPort(gone);
    const DunHandle stale = dunHandleOf(gone);
    const TDP *goneRoot = gone->avatar->root;
    const DunHandle staleNode = dunHandleOf(goneRoot);
    a->avatar->partner = gone;
    dunDeleteSceneItem(gone);
    for (uint16_t type : {MsgSetGoal, MsgPartnerReleased, MsgDocked, MsgSidePartner, MsgMissileWarning})
        PostWord(a, type, stale);
    uint8_t two[8];
    dunPayloadPutU32(two, 0, stale);
    dunPayloadPutU32(two, 4, stale);
    Post(a, MsgRetarget, 8, two);
    dunHandleMessages(a);
    EXPECT_EQ(a->sim->goal, nullptr);
    EXPECT_EQ(a->avatar->partner, gone);  // not compared with a freed record
    EXPECT_EQ(a->avatar->sidePartner, nullptr);
    EXPECT_EQ(fakes.Count("eventCamera"), 0);
    EXPECT_EQ(fakes.Count("fireSpecialWeapon"), 0);
    // A detach naming a freed part stops handling and detaches nothing.
    PostWord(a, MsgDetachPart, staleNode);
    dunHandleMessages(a);
    EXPECT_NE(a->avatar->root, nullptr);
}

TEST_F(MsgHandlerTest, DetachTakesOutThePartAndStops) {
    SceneItem *a = Obj();
    TDP *part = dunAddChildTDP(a->avatar->root, nullptr, 0, 0, 0);
    PostWord(a, MsgDetachPart, dunHandleOf(part));
    Post(a, MsgFixedAttack);
    dunHandleMessages(a);
    EXPECT_EQ(a->avatar->root->child, nullptr);
    EXPECT_FALSE(part->flags & TDPFlag::InUse);
    EXPECT_EQ(fakes.Count("assignFixedAttack"), 0);
}

TEST_F(MsgHandlerTest, RecordDestructionLogsTheKillOnce) {
    SceneItem *victim = Ship();
    victim->sim->shipInfo->name = "Kestrel";
    SceneItem *launcher = Ship();
    launcher->sim->shipInfo->name = "Osprey";
    SceneItem *round = Obj();
    round->avatar->flags |= AvatarFlag::MunitionRound;
    round->avatar->objectA = launcher;
    DamageRecord r = {};
    r.attacker = dunHandleOf(round);
    dunRecordDestruction(victim, &r);
    ASSERT_EQ(fakes.Count("missionLogAdd"), 1);
    EXPECT_EQ(fakes.Find("missionLogAdd")->text, "Osprey/Kestrel");
    EXPECT_EQ(fakes.Find("missionLogAdd")->a, 2);
    // Without a killer the player counts when it hit last; same names log nothing.
    victim->avatar->attacker = launcher;
    dunPlayerShip = launcher;
    dunRecordDestruction(victim, nullptr);
    EXPECT_EQ(fakes.Count("missionLogAdd"), 2);
    launcher->sim->shipInfo->name = "Kestrel";
    dunRecordDestruction(victim, nullptr);
    EXPECT_EQ(fakes.Count("missionLogAdd"), 2);
    dunPlayerShip = nullptr;
}

TEST_F(MsgHandlerTest, ForgettingClearsTheControlledObjectsAims) {
    SceneItem *player = Ship();
    SceneItem *enemy = Ship();
    dunControlledObject = player;
    player->sim->target = enemy;
    player->sim->goal = enemy;
    player->sim->flags |= SimFlag::Lds;
    dunForgetObject(enemy);
    EXPECT_EQ(player->sim->target, nullptr);
    EXPECT_EQ(player->sim->goal, nullptr);
    EXPECT_EQ(fakes.Names(),
              (std::vector<std::string>{"removeContact", "navStartProgram", "pickTargetFiltered"}));
    dunControlledObject = nullptr;
}

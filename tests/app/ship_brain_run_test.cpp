// The first mission, "First Blood", started from the command line and
// played headless with a fixed frame step: the raider's brain holds its
// ORDER "FixedAttack" and evaluates one slot every 50 centiseconds; once its
// hull is below the threshold of its combat stance its self-preservation
// takes over; the player's weapons are the types its WEAPON statements name,
// in the chosen language; the munitions' shapes load; and none of the
// brain's or the weapons' operations is still a stand-in. The test's copy
// of the mission hurts the raider with SHIP_SYSKILL.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "ai/brain.h"
#include "ai/weapons.h"
#include "app/clock.h"
#include "app/floor_hooks.h"
#include "app/game.h"
#include "app/shell.h"
#include "common/headless_mission.h"
#include "common/sample_root.h"
#include "core/frame.h"
#include "core/options.h"
#include "platform/smack.h"
#include "present/p3d.h"
#include "script/mission.h"
#include "script/symbols.h"
#include "world/objlist.h"
#include "world/records.h"

namespace {

class ShipBrainRun : public testing::TestWithParam<int> {
protected:
    std::unique_ptr<ruvotest::SampleRoot> root;
    bool running = false;
    void SetUp() override {
        // A copy of the mission whose script hurts the raider: its hull to
        // 75 % one second into the flight, to 60 % after eight (before the
        // raider's hail holds the script).
        const std::string mission = "vek/resource/scripts/missions/mission01.scr";
        root = std::make_unique<ruvotest::SampleRoot>(std::vector<std::string>{mission});
        ASSERT_TRUE(ruvotest::UnpackSlab(root->path(), "scripts", {mission}));
        std::string text = ruvotest::SampleFileText(mission);
        const std::string anchor = "CALL_ONCE_WHEN EnemyGone TIMER_OUT\n";
        const size_t at = text.find(anchor);
        ASSERT_NE(at, std::string::npos);
        text.insert(at + anchor.size(),
                    "CALL_ONCE_WHEN Hurt GT MISSTIME 100\nCALL_ONCE_WHEN HurtMore GT MISSTIME 800\n");
        text += "\nHurt:\nSHIP_SYSKILL Enemy -1 25\nRETURN\nHurtMore:\nSHIP_SYSKILL Enemy -1 40\nRETURN\n";
        std::ofstream(mission, std::ios::binary) << text;
        optNoBrief = 0xFF;  // straight into the flight
        optDebug = 1;
        gLanguage = uint16_t(GetParam());
        ASSERT_TRUE(ruvotest::StartHeadlessMission("vek\\resource\\scripts\\missions\\mission01.scr"));
        running = true;
    }
    void TearDown() override {
        if (running) {
            ruvotest::StopHeadlessMission();
            P3DShutdown();
        }
        gLanguage = 0;
        optDebug = 0;
        optNoBrief = 0;
        root.reset();
    }
    // One frame of 2 centiseconds.
    static void Turn() { ruvotest::HeadlessTurn(); }
    static std::string Log() {
        std::ifstream in("debug.txt", std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
};

TEST_P(ShipBrainRun, TheRaidersBrainRunsItsOrdersAndTheCorvetteCarriesItsWeapons) {
    auto *raider = static_cast<SceneItem *>(GetScriptSymbolValue("Enemy"));
    ASSERT_NE(raider, nullptr);
    ASSERT_NE(raider->sim, nullptr);
    ShipInfo *info = raider->sim->shipInfo;
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(raider->control, dunai_ThinkShip);

    // The class's default set-up and the mission's order.
    EXPECT_EQ(dunai_FindOrderSlot(info, "SelfPreservation"), 0);
    EXPECT_EQ(info->orders[0].evaluation, dunai_EvalSelfPreservation);
    const OrderSlot &main = info->orders[1];
    EXPECT_STREQ(main.name, "FixedAttack");
    EXPECT_EQ(main.evaluation, dunai_EvalDefault);
    EXPECT_EQ(main.weight, 70);
    EXPECT_EQ(main.startState, 34u);  // CombatState
    EXPECT_EQ(info->currentOrder, 1);
    EXPECT_EQ(raider->sim->goal, dunPlayerShip);  // its TARGET

    // The raider flies in its combat stance, which holds its nerve down to
    // 79 x 8 / 10 = 63 % of its hull.
    ASSERT_TRUE(raider->sim->flags & SimFlag::CombatStance);
    int turns = 0;
    while (raider->sim->hull != 75 && turns++ < 200) Turn();
    ASSERT_EQ(raider->sim->hull, 75) << "SHIP_SYSKILL one second in";

    // One slot is evaluated each 50 centiseconds of game time, in turn; at
    // 75 % the raider fights on through more than a whole round of its eight
    // slots.
    std::vector<uint32_t> at;
    int16_t next = info->roundRobin;
    for (int i = 0; i < 300; ++i) {
        Turn();
        if (info->roundRobin != next) {
            EXPECT_EQ(info->roundRobin, (next + 1) % kOrderSlots);
            next = info->roundRobin;
            at.push_back(dunGameClock);
        }
    }
    ASSERT_GT(at.size(), size_t(kOrderSlots));
    for (size_t i = 1; i < at.size(); ++i) EXPECT_EQ(at[i] - at[i - 1], 50u) << i;  // 25 frames of 2 cs
    EXPECT_EQ(info->currentOrder, 1);
    EXPECT_EQ(info->orders[0].priority, 0);
    EXPECT_EQ(info->orders[1].priority, 80 * 70);

    // Below 63 % self-preservation takes over at its next turn, within one
    // round.
    while (raider->sim->hull != 60 && turns++ < 600) Turn();
    ASSERT_EQ(raider->sim->hull, 60) << "SHIP_SYSKILL eight seconds in";
    const uint32_t round = uint32_t(kOrderSlots) * 50, from = dunGameClock;
    while (info->currentOrder != 0 && dunGameClock - from <= round) Turn();
    EXPECT_EQ(info->currentOrder, 0) << "after " << (dunGameClock - from) << " cs";
    EXPECT_EQ(info->orders[0].priority, 100 * 100);  // over 70 x 80 by more than the margin
    EXPECT_EQ(info->states[0].state, 35u);  // SelfPreservationState

    // The corvette's two beam cannon and its launchers, two seekers and a
    // disruptor, named in the game's language.
    const struct {
        int16_t type;
        uint16_t weaponClass;
        int32_t damage;
        const char *names[3];
    } expected[] = {
        {0, WeaponClass::Beam, 150, {"PBC", "CP", "TSK"}},
        {0, WeaponClass::Beam, 150, {"PBC", "CP", "TSK"}},
        {5, WeaponClass::MissileLauncher, 180, {"MAG - SEEKER", "MAG - MISSILE AUTODIR", "MAG - SUCHRAKETEN"}},
        {5, WeaponClass::MissileLauncher, 180, {"MAG - SEEKER", "MAG - MISSILE AUTODIR", "MAG - SUCHRAKETEN"}},
        {16, WeaponClass::MissileLauncher, 180, {"MAG - DISRUPTOR", "MAG - MISSILE BROUILLEUR", "MAG - UNTERBRECHUNG"}},
    };
    int weapons = 0;
    for (const Weapon *w = dunPlayerShip->sim->weapons; w && weapons < 5; w = w->next, ++weapons) {
        EXPECT_EQ(w->typeNumber, expected[weapons].type) << weapons;
        EXPECT_STREQ(w->name, expected[weapons].names[GetParam()]) << weapons;
        EXPECT_EQ(w->weaponClass, expected[weapons].weaponClass) << weapons;
        EXPECT_EQ(w->damage, expected[weapons].damage) << weapons;
    }
    EXPECT_EQ(weapons, 5);
    EXPECT_EQ(dunPlayerShip->sim->weaponCount, 5u);

    // The munitions' shapes are in the sample data, under their exact names.
    EXPECT_NE(dunLoadMissileShape(), nullptr);
    EXPECT_NE(dunLoadLdsiShape(), nullptr);
    EXPECT_NE(dunLoadProbeShape(), nullptr);
    EXPECT_NE(dunLoadMineShape(), nullptr);

    const std::string log = Log();
    for (const char *name : {"dunai_ResetOrders", "dunai_SetOrder", "dunai_SetOrderState", "dunai_StartOrder",
                             "weapon creators", "dunai_SideTargetMask", "dunai_ThinkShip"})
        EXPECT_EQ(log.find(std::string("not built yet: ") + name), std::string::npos) << name;
}

INSTANTIATE_TEST_SUITE_P(Languages, ShipBrainRun, testing::Values(0, 1, 2));

}  // namespace

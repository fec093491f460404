// The player's wing: adding wingmen, the refusals and confirmations of the
// wing commands, what each command does to a wingman, and commanding the
// whole wing.
#include <cstring>

#include "ai/scores.h"
#include "ai/wing.h"
#include "ai_fixture.h"
#include "world/mission_state.h"
#include "world/services.h"

namespace {

using ruvotest::AiShip;

const char *TestText(int n) {
    static char texts[32][40];
    if (n < 0 || n >= 32) return nullptr;
    if (n == 10) return "%sWing: attacking %s";
    if (n == 12 || n == 18 || n == 11) {
        std::snprintf(texts[n], sizeof texts[n], "%%sT%d %%s", n);
        return texts[n];
    }
    std::snprintf(texts[n], sizeof texts[n], "T%d", n);
    return texts[n];
}

class Wing : public testing::Test {
protected:
    WorldGuiHooks hooks{};
    SceneItem *player = nullptr, *a = nullptr, *b = nullptr, *raider = nullptr;
    void SetUp() override {
        dunai_InitStateRegistry();
        hooks.cockpitText = TestText;
        WorldSetGuiHooks(&hooks);
        dunai_ResetWing();
        dunSuspendSwitch = 0;
        player = Ship(1);
        a = Ship(1);
        b = Ship(1);
        raider = Ship(3);
        raider->sim->shipInfo->name = "Raider";
        dunPlayerShip = dunControlledObject = player;
        for (SceneItem *s : {a, b}) {
            dunai_DefaultOrders(s);
            ASSERT_TRUE(dunai_AddWingman(s));
        }
    }
    void TearDown() override {
        WorldSetGuiHooks(nullptr);
        dunPlayerShip = dunControlledObject = nullptr;
        dunai_ResetWing();
    }
    static SceneItem *Ship(int side) {
        SceneItem *s = AiShip();
        s->sim->shipInfo->side = int16_t(side);
        s->avatar->flags = AvatarFlag::Ship | (0x40u << side);
        return s;
    }
    void Aim(SceneItem *goal, SceneItem *target) {
        player->sim->goal = goal;
        player->sim->target = target;
    }
    static uint32_t BottomState(SceneItem *s) { return s->sim->shipInfo->states[0].state; }
};

TEST_F(Wing, WingmenTakeTheLowestFreeSlotOnce) {
    EXPECT_EQ(dunWing[0].object, a);
    EXPECT_EQ(dunWing[1].object, b);
    EXPECT_FALSE(dunai_AddWingman(a));
    dunWing[0].object = nullptr;
    SceneItem *c = Ship(1);
    EXPECT_TRUE(dunai_AddWingman(c));
    EXPECT_EQ(dunWing[0].object, c);
    for (int i = 2; i < kWingSlots; ++i) EXPECT_TRUE(dunai_AddWingman(Ship(1)));
    EXPECT_FALSE(dunai_AddWingman(Ship(1)));  // a wing of 13 is full
    dunai_ResetWing();
    dunSuspendSwitch = 1;
    EXPECT_FALSE(dunai_AddWingman(a));
    dunSuspendSwitch = 0;
}

TEST_F(Wing, RefusalsByMessage) {
    SceneItem *friendly = Ship(1), *stranger = Ship(4);
    friendly->sim->shipInfo->name = "Friend";
    struct Case {
        const char *what;
        int code;
        SceneItem *goal, *target;
        bool accepted;
        const char *text;
    } cases[] = {
        {"attack the wingman itself", 2, a, nullptr, false, "T5"},
        {"attack our own side", 2, friendly, nullptr, false, "T5"},
        {"attack with no goal", 2, nullptr, nullptr, false, "T16"},
        {"attack the raider", 2, raider, nullptr, true, "%sWing: attacking Raider"},
        {"dock with a live hostile", 8, raider, raider, false, "T5"},
        {"dock with no target", 8, nullptr, nullptr, false, "T15"},
        {"dock with a friend", 8, friendly, friendly, true, "%sT18 Friend"},
        {"defend a stranger", 3, stranger, stranger, false, "T7"},
        {"defend a friend", 3, friendly, friendly, true, "%sT11 Friend"},
        {"escort with no target", 4, friendly, nullptr, false, "T15"},
        {"follow me", 1, nullptr, nullptr, true, "T9"},
        {"stand down", 7, nullptr, nullptr, true, "T15"},
    };
    for (const Case &k : cases) {
        Aim(k.goal, k.target);
        dunWingText[0] = 0;
        EXPECT_EQ(dunai_CanGiveWingCommand(player, a, k.code, false), k.accepted) << k.what;
        EXPECT_STREQ(dunWingText, k.text) << k.what;
    }
    // A hidden object is not named.
    raider->avatar->flags16 |= AvatarState::NoContact;
    Aim(raider, nullptr);
    EXPECT_TRUE(dunai_CanGiveWingCommand(player, a, 2, false));
    EXPECT_STREQ(dunWingText, "%sWing: attacking  ");
}

TEST_F(Wing, EachCommandStartsItsStateInTheFollowPlayerOrder) {
    struct Case {
        int code;
        uint32_t state;
    } cases[] = {{1, 44}, {2, 46}, {3, 28}, {4, 43}, {5, 63}, {6, 34}, {7, 63}, {8, 14}};
    SceneItem *friendly = Ship(1);
    for (const Case &k : cases) {
        Aim(k.code == 2 ? raider : friendly, friendly);
        const int16_t slot = dunai_GiveWingOrder(player, a, k.code);
        ASSERT_GT(slot, 0) << k.code;
        const ShipInfo *info = a->sim->shipInfo;
        EXPECT_STREQ(info->orders[slot].name, "FollowPlayer");
        EXPECT_EQ(BottomState(a), k.state) << k.code;
        EXPECT_EQ(info->orders[slot].weight, k.code == 7 ? 0 : 100) << k.code;
        EXPECT_EQ(info->orders[slot].priority, 100);
    }
    // Follow me: the commander's group and lead; attack: the goal, aggressive.
    player->sim->shipInfo->group = 4;
    dunai_GiveWingOrder(player, b, 1);
    EXPECT_EQ(b->sim->shipInfo->group, 4);
    EXPECT_EQ(b->sim->shipInfo->leader, player);
    Aim(raider, nullptr);
    dunai_GiveWingOrder(player, b, 2);
    EXPECT_EQ(b->sim->goal, raider);
    EXPECT_EQ(b->sim->flags & 0x1C00u, 0x1400u);
    dunai_GiveWingOrder(player, b, 6);
    EXPECT_EQ(b->sim->flags & 0x1C00u, 0x1000u);
    // The controlled object is never commanded.
    EXPECT_EQ(dunai_GiveWingOrder(player, player, 1), -1);
}

TEST_F(Wing, AFullBrainRefusesRatherThanLoseItsSelfPreservation) {
    ShipInfo *info = a->sim->shipInfo;
    for (int i = 1; i < kOrderSlots; ++i) {
        dunai_NameOrder(info, i, "Busy");
        dunai_SetOrder(info, i, 0, 0, 0, 10, dunai_EvalDefault, 0, 0);
    }
    EXPECT_EQ(dunai_GiveWingOrder(player, a, 1), -1);
    EXPECT_STREQ(info->orders[0].name, "SelfPreservation");
}

TEST_F(Wing, CommandingTheWing) {
    SceneItem *far = Ship(1);
    far->systemNumber = 5;
    dunai_DefaultOrders(far);
    ASSERT_TRUE(dunai_AddWingman(far));
    SceneItem *base = Ship(1);
    base->sim->shipInfo->name = "Base";
    Aim(base, base);
    gMissionClock = 1000;
    dunai_CommandWing(player, 8);
    EXPECT_EQ(dunWing[0].lastCommand, 8);
    EXPECT_EQ(dunWing[1].commandTime, 1000u);
    EXPECT_EQ(dunWing[2].lastCommand, 0);  // in another system
    EXPECT_TRUE(dunai_WingCommandIs(8));
    EXPECT_EQ(dunWingSelected, -1);
    EXPECT_EQ(dunWingDisplayTimer, kWingDisplayTicks);
    gMissionClock = 2000;
    dunai_CommandWing(player, 8);  // not repeated
    EXPECT_EQ(dunWing[0].commandTime, 1000u);
    // One wingman selected; the selection goes back to all.
    dunWingSelected = 1;
    dunWingDisplayTimer = 0;
    dunai_CommandWing(player, 1);
    EXPECT_EQ(dunWing[1].lastCommand, 1);
    EXPECT_EQ(dunWing[0].lastCommand, 8);
    EXPECT_EQ(dunWingSelected, -1);
    EXPECT_EQ(dunWingDisplayTimer, kWingDisplayTicks);
    dunWingSelected = 12;  // an empty slot commands nobody
    dunai_CommandWing(player, 5);
    EXPECT_EQ(dunWingSelected, -1);
    dunSuspendSwitch = 1;
    dunai_CommandWing(player, 5);
    EXPECT_TRUE(dunai_WingCommandIs(8));
    dunSuspendSwitch = 0;
    // The read-out.
    EXPECT_STREQ(dunai_ListWing(), "T26\n1 - test ship\n2 - test ship\n3 - test ship\n");
    std::string lines;
    dunai_ListWingCommands(player, lines);
    EXPECT_EQ(lines, "%sT18 Base\nT9\n");
    gMissionClock = 0;
}

TEST(WingText, OnlyTheFirstTwoStringConversionsAreFilled) {
    struct Case {
        const char *text, *out;
    } cases[] = {
        {"%s attacks %s", "A attacks B"},
        {"%d %n %s%s %s %x", "%d %n AB %s %x"},
        {"100%% %s", "100%% A"},
        {"", ""},
        {"%", "%"},
    };
    char out[kWingTextBytes];
    for (const Case &k : cases) {
        dunai_ComposeWingText(out, sizeof out, k.text, "A", "B");
        EXPECT_STREQ(out, k.out) << k.text;
    }
    std::string longText(1000, 'x');
    dunai_ComposeWingText(out, sizeof out, (longText + "%s").c_str(), "A", "B");
    EXPECT_EQ(std::strlen(out), kWingTextBytes - 1);
}

}  // namespace

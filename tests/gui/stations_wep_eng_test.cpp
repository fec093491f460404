// The weapons station's group selection, cycling, slots, tracking and fire
// modes, and the engineering station's walks, repair teams, picks, list rows
// and gauges, on small fixtures of weapons and components.
#include <gtest/gtest.h>

#include <cstring>

#include "ai/weapons.h"
#include "core/options.h"
#include "gui/eng_station.h"
#include "gui/gadgets.h"
#include "gui/gui.h"
#include "gui/window.h"
#include "gui/wep_station.h"
#include "present/lwo/lwo.h"
#include "present/views.h"
#include "present/wireframe.h"
#include "world/engineering.h"
#include "world/objlist.h"
#include "world/records.h"

namespace {

// ---- Weapons --------------------------------------------------------------------

class WepStation : public testing::Test {
protected:
    SceneItem ship{};
    Sim sim{};
    Weapon weapons[6]{};
    void SetUp() override {
        ship.sim = &sim;
        dunControlledObject = dunPlayerShip = &ship;
        StationId = 3;
        optArcade = 0;
        guiWepReset();
    }
    void TearDown() override {
        dunControlledObject = dunPlayerShip = nullptr;
        StationId = 0;
        optArcade = 0;
        guiWepReset();
    }
    // Weapons linked in order, each (flags, kind).
    void Arm(std::initializer_list<std::pair<uint32_t, int>> list) {
        int n = 0;
        for (auto [flags, kind] : list) {
            Weapon &w = weapons[n];
            w.flags = flags;
            w.typeNumber = int16_t(kind);
            w.name = "GUN";
            w.next = nullptr;
            if (n) weapons[n - 1].next = &w;
            ++n;
        }
        sim.weapons = n ? &weapons[0] : nullptr;
        sim.weaponCount = uint32_t(n);
    }
};

constexpr uint32_t kBeam = WeaponFlag::Beam, kMissile = WeaponFlag::Missile;

TEST_F(WepStation, ASecondBeamPressSwitchesRapidFireAndAThirdMovesToAnotherKind) {
    Arm({{kBeam, 1}, {kBeam, 1}, {kMissile, 5}, {kBeam, 2}});
    gWepGroup = 1;
    guiWepSelectPbc(0);  // from the missiles: the first beam weapon
    EXPECT_EQ(sim.currentWeapon, &weapons[0]);
    EXPECT_FALSE(gWepRapid);
    guiWepSelectPbc(0);  // again: rapid fire, same weapon
    EXPECT_EQ(sim.currentWeapon, &weapons[0]);
    EXPECT_TRUE(gWepRapid);
    EXPECT_TRUE(dunRapidBeamMode) << "the player's beams fire rapid";
    EXPECT_STREQ(gWepLastMessage, "GUN - RAPID");
    guiWepSelectPbc(0);  // a third time: rapid off, the next beam of another kind
    EXPECT_FALSE(gWepRapid);
    EXPECT_FALSE(dunRapidBeamMode);
    EXPECT_EQ(sim.currentWeapon, &weapons[3]);
    // The missiles: the group changes, the slots take the missile.
    guiWepSelectMissile(0);
    EXPECT_EQ(gWepGroup, 1);
    EXPECT_EQ(sim.currentWeapon, &weapons[2]);
    EXPECT_EQ(gWepSlots[0], &weapons[2]);
    EXPECT_EQ(gWepSlots[1], nullptr);
}

TEST_F(WepStation, CyclingSkipsUnloadedAndUnselectableWeaponsThatSlotsStillHold) {
    Arm({{kBeam, 1}, {kBeam | WeaponFlag::Empty, 2}, {kBeam | WeaponFlag::NotSelectable, 3}, {kBeam, 4},
         {kBeam, 5}});
    gWepGroup = 1;
    guiWepSelectPbc(0);
    EXPECT_EQ(sim.currentWeapon, &weapons[0]);
    gWepRapid = 0xFF;  // so that the next press cycles
    guiWepSelectPbc(0);
    EXPECT_EQ(sim.currentWeapon, &weapons[3]);
    // The four slots: the first four beam weapons, unloaded ones included.
    for (int i = 0; i < 4; ++i) EXPECT_EQ(gWepSlots[i], &weapons[i]) << i;
    // A slot button makes its weapon current, unloaded or not.
    GuiWindow slot{};
    slot.value = 1;
    guiWepSelectSlot(&slot);
    EXPECT_EQ(sim.currentWeapon, &weapons[1]);
}

TEST_F(WepStation, ALoneBeamWeaponStaysAndRepeatsItsMessage) {
    Arm({{kBeam | WeaponFlag::NoRapid, 1}, {kMissile, 5}});
    sim.currentWeapon = &weapons[0];
    weapons[0].name = "LONE";
    guiWepSelectPbc(0);  // no rapid for this weapon: it cycles, and finds itself only
    EXPECT_FALSE(gWepRapid);
    EXPECT_EQ(sim.currentWeapon, &weapons[0]);
    EXPECT_STREQ(gWepLastMessage, "LONE");
}

TEST_F(WepStation, AutomaticTrackingSwapsTheArcsBothWays) {
    Arm({{kBeam, 1}, {kBeam | WeaponFlag::AutoTracking, 2}});
    weapons[0].mountCode = 0x400 | 0x40 | 0x1;
    weapons[1].mountCode = 0x800 | 0x10;
    GuiWindow button{};
    guiWepToggleAuto(&button);
    EXPECT_FALSE(gWepAuto);
    EXPECT_TRUE(weapons[0].flags & WeaponFlag::AutoTracking);
    EXPECT_EQ(weapons[0].mountCode, 0x800 | 0x10 | 0x1);
    EXPECT_FALSE(weapons[1].flags & WeaponFlag::AutoTracking);
    EXPECT_EQ(weapons[1].mountCode, 0x400 | 0x40);
    guiWepToggleAuto(&button);
    EXPECT_EQ(weapons[0].mountCode, 0x400 | 0x40 | 0x1);
    // Forward tracking toggles only while automatic tracking is on.
    gWepAuto = 0;
    guiWepToggleForwardTrack();
    EXPECT_TRUE(gWepForwardTrack);
    gWepAuto = 0xFF;
    guiWepToggleForwardTrack();
    EXPECT_FALSE(gWepForwardTrack);
    EXPECT_STREQ(guiWepTrackWord(), "LOCKED");
}

TEST_F(WepStation, RippleFireAndTheFireModeLabels) {
    guiWepToggleRapid();
    EXPECT_TRUE(gWepRipple);
    EXPECT_TRUE(dunAutoCycleTargets) << "each shot from the station moves to the next hostile";
    optArcade = 1;
    guiWepToggleRapid();
    EXPECT_FALSE(gWepRipple);
    EXPECT_FALSE(dunAutoCycleTargets);
    guiWepToggleRapid();
    EXPECT_FALSE(gWepRipple) << "never under arcade rules";
    const struct {
        uint16_t group;
        uint8_t rapid, ripple;
        int language;
        const char *word;
    } rows[] = {
        {0, 0, 0, 0, "NORMAL"},  {0, 0xFF, 0xFF, 0, "RAPID"},  {0, 0, 0xFF, 0, "RIPPLE"},
        {1, 0xFF, 0, 0, "NORMAL"}, {1, 0, 0xFF, 1, "SERIE"},  {0, 0xFF, 0, 2, "SCHNELL"},
    };
    for (const auto &r : rows) {
        gWepGroup = r.group;
        gWepRapid = r.rapid;
        gWepRipple = r.ripple;
        gLanguage = r.language;
        EXPECT_STREQ(guiWepFireModeWord(), r.word) << r.group << " " << int(r.rapid) << " " << int(r.ripple);
    }
    gLanguage = 0;
}

TEST_F(WepStation, RacksAndRoundsNeverFallBelowZero) {
    Weapon beam{}, launcher{};
    beam.flags = kBeam;
    beam.reloadTime = 50;
    beam.reloadTimer = 80;  // a timer past its full value
    EXPECT_EQ(guiWepRacks(&beam), 0.0f);
    EXPECT_EQ(guiWepRounds(&beam), 50.0f);
    launcher.flags = kMissile;
    launcher.rounds[0] = 2;
    launcher.rounds[1] = 4;
    launcher.rounds[2] = 3;
    EXPECT_EQ(guiWepRacks(&launcher), 3.0f);
    EXPECT_EQ(guiWepRounds(&launcher), 14.0f);
    EXPECT_EQ(guiWepRounds(nullptr), 0.0f);
}

// ---- Engineering ------------------------------------------------------------------

class EngStation : public testing::Test {
protected:
    EngComponent parts[7]{};
    void SetUp() override {
        // Groups 1, 1, 1, 2, 2, 3, 3; kinds alternate 1 and 2.
        const int groups[7] = {1, 1, 1, 2, 2, 3, 3};
        static const char *const kNames[7] = {"REACTOR", "A", "B", "C", "D", "E", "F"};
        for (int i = 0; i < 7; ++i) {
            parts[i].group = uint16_t(groups[i]);
            parts[i].kind = uint16_t(i % 2 + 1);
            parts[i].names[0] = kNames[i];
            parts[i].health = 1;
            dunComponentTable[i] = &parts[i];
        }
        dunComponentTableCount = 7;
        gGuiEngFocus = nullptr;
        gGuiEngViewMask = 0x3F;
        gGuiEngTeam = 1;
        std::memset(gGuiEngListTeam, 0, sizeof gGuiEngListTeam);
        for (int i = 0; i < kRepairTeamCount; ++i) dunRepairTeams[i] = {uint16_t(i), 1, nullptr};
    }
    void TearDown() override {
        std::memset(dunComponentTable, 0, sizeof dunComponentTable);
        dunComponentTableCount = 0;
        gGuiEngFocus = nullptr;
        gGuiEngTeam = 1;
        std::memset(gGuiEngListTeam, 0, sizeof gGuiEngListTeam);
        for (int i = 0; i < kRepairTeamCount; ++i) dunRepairTeams[i] = {uint16_t(i), 1, nullptr};
        gWireframeView = WireframeView{1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0xFFFF, nullptr, 0, nullptr};
    }
    int Focus() const { return int(gGuiEngFocus - parts); }
};

TEST_F(EngStation, WalksWrapAndClampToTheGroup) {
    guiEngNextSystem();  // no focus: the first
    EXPECT_EQ(Focus(), 0);
    guiEngPrevSystem();
    EXPECT_EQ(Focus(), 6) << "before the first: the last";
    guiEngNextSystem();
    EXPECT_EQ(Focus(), 0);
    const struct {
        int from, direction, to;
    } rows[] = {
        {0, 0, 2},  // up within group 1 wraps to its last
        {2, 1, 0},  // down from its last wraps to its first
        {2, 3, 4},  // right: third of group 1 -> group 2 has two, its last
        {1, 3, 4},  // second of group 1 -> second of group 2
        {5, 3, 0},  // right from the last group wraps to group 1
        {0, 2, 5},  // left from the first group wraps to the last
    };
    for (const auto &r : rows) {
        gGuiEngFocus = &parts[r.from];
        guiEngMoveSelection(r.direction);
        EXPECT_EQ(Focus(), r.to) << r.from << " " << r.direction;
    }
}

TEST_F(EngStation, TeamsPointBothWaysAndPromotionRenumbersThroughMinusOne) {
    gGuiEngFocus = &parts[2];
    guiEngAssignTeamKey(0);
    gGuiEngFocus = &parts[4];
    guiEngAssignTeamKey(1);
    EXPECT_EQ(dunRepairTeams[0].component, &parts[2]);
    EXPECT_EQ(parts[2].repairTeam, &dunRepairTeams[0]);
    // Team 1 moves to the component team 2 serves: both point at it, it
    // points back at the last one.
    guiEngAssignTeamKey(0);
    EXPECT_EQ(parts[2].repairTeam, nullptr);
    EXPECT_EQ(dunRepairTeams[0].component, &parts[4]);
    EXPECT_EQ(dunRepairTeams[1].component, &parts[4]);
    EXPECT_EQ(parts[4].repairTeam, &dunRepairTeams[0]);
    // Promotion: index 1 changes nothing; index 2 trades numbers with 1.
    std::memset(gGuiEngListTeam, 0, sizeof gGuiEngListTeam);
    gGuiEngListTeam[1] = 1;
    gGuiEngListTeam[3] = 2;
    gGuiEngListTeam[5] = 2;
    guiEngPromoteTeam(nullptr);
    EXPECT_EQ(gGuiEngListTeam[1], 1);
    gGuiEngTeam = 2;
    RepairTeam *first = gGuiEngTeamOrder[0], *second = gGuiEngTeamOrder[1];
    guiEngPromoteTeam(nullptr);
    EXPECT_EQ(gGuiEngTeam, 1);
    EXPECT_EQ(gGuiEngListTeam[1], 2);
    EXPECT_EQ(gGuiEngListTeam[3], 1);
    EXPECT_EQ(gGuiEngListTeam[5], 1);
    EXPECT_EQ(gGuiEngTeamOrder[0], second);
    EXPECT_EQ(gGuiEngTeamOrder[1], first);
    std::swap(gGuiEngTeamOrder[0], gGuiEngTeamOrder[1]);
    std::swap(gGuiEngTeamWord[0], gGuiEngTeamWord[1]);
}

TEST_F(EngStation, ListRowsAre11PixelsApartBelowA12PixelTop) {
    // Column 1 (kind 2) holds parts 1, 3, 5.
    const struct {
        int y;
        int part;  // -1 none
    } rows[] = {{2, -1}, {3, 1}, {12, 1}, {13, -1}, {14, 3}, {23, 3}, {34, 5}, {45, -1}};
    for (const auto &r : rows) {
        EngComponent *c = guiEngListRowAt(1, r.y);
        EXPECT_EQ(c ? int(c - parts) : -1, r.part) << r.y;
    }
}

TEST_F(EngStation, APickTakesTheSmallestRectangleAndAMissClearsIt) {
    // Two plans: a big square of side 40 and a small one of side 4 inside it.
    float bigPoints[1][3] = {{0, 0, 0}}, smallPoints[1][3] = {{0, 0, 0}};
    uint16_t edges[1][2] = {{0, 0}};
    float bigPart[1][4] = {{-20, -20, 40, 40}}, smallPart[1][4] = {{-2, -2, 4, 4}};
    WireframeModel big{1, 0, 1, bigPoints, edges, bigPart}, small{1, 0, 1, smallPoints, edges, smallPart};
    WireframeNode bigNode{}, smallNode{};
    bigNode.flags = smallNode.flags = WireframeFlag::Shown | WireframeFlag::Parts;
    bigNode.shape = &big;
    smallNode.shape = &small;
    smallNode.x = 10;
    parts[0].screenWidget = &bigNode;
    parts[1].screenWidget = &smallNode;
    EXPECT_EQ(guiEngPickAt(11, 1), &parts[1]);
    EXPECT_TRUE(gGuiEngPicked);
    EXPECT_FLOAT_EQ(gWireframeView.pendingX, 10 + 1);
    EXPECT_EQ(guiEngPickAt(-15, 0), &parts[0]);
    // The filter leaves the small one (kind 2, slot 1) out.
    gGuiEngViewMask = 0x3F & ~2;
    EXPECT_EQ(guiEngPickAt(11, 1), &parts[0]);
    gWireframeView.zoomTarget = 5;
    EXPECT_EQ(guiEngPickAt(100, 100), nullptr);
    EXPECT_FALSE(gGuiEngPicked);
    EXPECT_FLOAT_EQ(gWireframeView.zoomTarget, kGuiEngWireDistance);
}

TEST_F(EngStation, GaugesKeepTheirValueWithoutTheirComponent) {
    // Without a ship or a network, nothing to show, and the focus stays empty.
    std::memset(dunComponentTable, 0, sizeof dunComponentTable);
    dunComponentTableCount = 0;
    float value = -1, max = -1;
    for (int g = 1; g <= 4; ++g) EXPECT_FALSE(guiEngGaugeValue(g, &value, &max)) << g;
    EXPECT_EQ(value, -1);
    guiEngDefaultFocus();
    guiEngNextSystem();
    guiEngMoveSelection(3);
    EXPECT_EQ(gGuiEngFocus, nullptr);
    guiEngAssignTeamKey(0);
    EXPECT_EQ(dunRepairTeams[0].component, nullptr);
}

}  // namespace

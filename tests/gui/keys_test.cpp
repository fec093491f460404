// The cockpit key handler: the modifier, the gates and modal states before
// the binding, the Escape cascade, the wing menu, the throttle's zero rule,
// debug commands, the contact filter and the joystick hat.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "ai/combat.h"
#include "ai/contacts.h"
#include "ai/weapons.h"
#include "common/fatal_hook.h"
#include "core/frame.h"
#include "core/options.h"
#include "gui/bindings.h"
#include "gui/cockpit.h"
#include "gui/docviewer.h"
#include "gui/gui.h"
#include "gui/keys.h"
#include "gui/nav.h"
#include "gui/screen.h"
#include "gui/window.h"
#include "hud/maps.h"
#include "platform/keyboard.h"
#include "script/interp.h"
#include "script/mission.h"
#include "world/flight.h"
#include "world/messages.h"
#include "world/objlist.h"
#include "world/pools.h"
#include "world/services.h"

namespace {

class CockpitKeys : public testing::Test {
protected:
    SceneItem *ship = nullptr;
    void SetUp() override {
        dunFrameCounter = 100;
        dunMsgInit();
        dunResetWorld();
        ResetBindings();
        guiResetKeyHandler();
        guiNavReset();
        std::memset(KeyDownTable, 0, sizeof KeyDownTable);
        std::memset(dunPrevKeyTable, 0, sizeof dunPrevKeyTable);
        StationId = 2;
        gMissionEndState = 0;
        gMissionEnding = gFailedAfterSuccess = 0;
        guiPlayerLostView = guiStationLock = 0;
        gBriefingOpen = 0;
        gDocViewerOpen = gObjectivesOpen = gLocalSpaceOpen = 0;
        gStarMapOpen = gSolarMapOpen = gMapOverlayOpen = 0;
        gGuiSaveListOpen = 0;
        gDeveloperKeys = 0;
        gScreenshotRequest = 0;
        dunTimeScale = 1.0f;
        dunContactFilter = 0;
        ship = Ship();
        dunPlayerShip = dunControlledObject = ship;
    }
    void TearDown() override {
        std::memset(KeyDownTable, 0, sizeof KeyDownTable);
        ResetBindings();
        StationId = 0;
        gDeveloperKeys = 0;
        gScreenshotRequest = 0;
        dunTimeScale = 1.0f;
        dunResetWorld();
    }
    static SceneItem *Ship() {
        SceneItem *o = dunCreateSceneItem();
        dunLinkSceneItem(o, 0);
        dunAttachSim(o, nullptr);
        ShipInfo *info = o->sim->shipInfo = dunAllocShipInfo();
        dunInitFlightParams(&info->current, 7000.0f, 500.0f, 50, 1000000000u, 90.0f, 90.0f, 90.0f, 700.0f);
        o->sim->flight = &info->current;
        return o;
    }
    static void Press(uint8_t scan) { guiCockpitKeyHandler(uint16_t(scan << 8)); }
    // Keys bound to the orbit-view command count the commands that ran.
    static void BindOrbit(uint8_t scan, int modifier = 0) { KeyBindingTable[modifier][scan] = R_CYCLE_ORBMODE; }
};

TEST_F(CockpitKeys, TheModifierPicksTheRow) {
    const uint8_t key = 0x20;
    KeyBindingTable[0][key] = R_CYCLE_ORBMODE;
    KeyBindingTable[1][key] = R_SAVE_SCREEN;
    KeyBindingTable[2][key] = R_CANCEL_ACCEL_TIME;
    const struct {
        bool shift, ctrl;
        int orbit;
        uint8_t screenshot;
    } cases[] = {{false, false, 1, 0}, {true, false, 0, 1}, {false, true, 0, 0}, {true, true, 0, 0}};
    for (const auto &c : cases) {
        guiResetKeyHandler();
        gScreenshotRequest = 0;
        dunTimeScale = 4.0f;
        KeyDownTable[Scan::LeftShift] = c.shift ? 0x80 : 0;
        KeyDownTable[Scan::LeftCtrl] = c.ctrl ? 0x80 : 0;
        Press(key);
        EXPECT_EQ(gOrbitViewMode, c.orbit) << c.shift << c.ctrl;
        EXPECT_EQ(gScreenshotRequest, c.screenshot) << c.shift << c.ctrl;
        EXPECT_EQ(dunTimeScale == 1.0f, c.ctrl) << c.shift << c.ctrl;
    }
    // Left Shift and left Ctrl alone never run a command, bound or not.
    KeyDownTable[Scan::LeftShift] = KeyDownTable[Scan::LeftCtrl] = 0;
    guiResetKeyHandler();
    BindOrbit(Scan::LeftShift);
    BindOrbit(Scan::LeftCtrl);
    Press(Scan::LeftShift);
    Press(Scan::LeftCtrl);
    EXPECT_EQ(gOrbitViewMode, 0);
}

TEST_F(CockpitKeys, TheGateWithoutAStationOrDuringABriefing) {
    for (uint8_t scan : {Scan::F1, Scan::Esc, Scan::Q, Scan::P, uint8_t(0x20)}) BindOrbit(scan), BindOrbit(scan, 1);
    const struct {
        int station;
        uint8_t briefing;
        uint8_t scan;
        bool shift;
        bool passes;
    } cases[] = {
        {2, 0, 0x20, false, true},       {0, 0, 0x20, false, false},    {2, 1, 0x20, false, false},
        {0, 0, Scan::F1, false, true},   {0, 0, Scan::P, false, true},  {0, 1, Scan::Esc, false, true},
        {0, 0, Scan::F1, true, false},   {0, 0, Scan::Q, true, true},   {2, 0, 0x20, true, true},
    };
    for (const auto &c : cases) {
        guiResetKeyHandler();
        StationId = c.station;
        gBriefingOpen = c.briefing;
        KeyDownTable[Scan::LeftShift] = c.shift ? 0x80 : 0;
        Press(c.scan);
        EXPECT_EQ(gOrbitViewMode, c.passes ? 1 : 0)
            << "station " << c.station << " briefing " << int(c.briefing) << " scan " << int(c.scan);
    }
}

TEST_F(CockpitKeys, AfterTheEndOnlyQuitEscapeAndTheScreenshot) {
    BindOrbit(0x20);
    KeyBindingTable[0][0x21] = R_SAVE_SCREEN;
    KeyBindingTable[0][0x22] = R_ACCEL_TIME;
    gDeveloperKeys = 1;
    for (int state : {1, 2}) {
        gMissionEndState = uint8_t(state);
        Press(0x20);
        Press(0x22);
        EXPECT_EQ(gOrbitViewMode, 0);
        EXPECT_EQ(dunTimeScale, 1.0f);
        Press(0x21);
        EXPECT_EQ(gScreenshotRequest, 1);
        gScreenshotRequest = 0;
    }
    gMissionEndState = 0;
    guiPlayerLostView = 1;
    Press(0x20);
    EXPECT_EQ(gOrbitViewMode, 0);
}

// In director mode, which a docking by contact also starts, a mission that
// is ending waits for any key, and the key ends it. The lost ship, the
// locks and a docking's director mode go with the mission.
TEST_F(CockpitKeys, DirectorModeEndsOnAnyKeyAndTheMissionsLocksGoWithIt) {
    BindOrbit(0x20);
    guiSetDockedFlags();
    Press(0x20);  // not ending: an ordinary key
    EXPECT_EQ(gOrbitViewMode, 1);
    gMissionEnding = 1;
    gMissionOver = 0;
    Press(0x21);  // unbound, still it ends the mission
    EXPECT_EQ(gMissionEndState, 2);
    EXPECT_EQ(gMissionOver, 1);
    EXPECT_EQ(gOrbitViewMode, 1);
    gMissionOver = 0;
    gMissionEnding = 0;
    gMissionEndState = 0;
    guiPlayerLostView = 1;
    guiResetKeyHandler();
    guiNavReset();
    EXPECT_EQ(guiPlayerLostView, 0);
    EXPECT_EQ(guiStationLock, 0);
    EXPECT_EQ(guiNavUndockLock, 0);
    EXPECT_FALSE(guiDirectorMode());
}

// The unnamed view command steps the world's two-state view mode, which
// the cockpit keeps.
TEST_F(CockpitKeys, TheViewCommandTogglesTheViewMode) {
    guiInstallWorldHooks();
    KeyBindingTable[0][0x23] = R_CYCLE_VIEW;
    std::vector<int> seen;
    for (int i = 0; i < 3; ++i) {
        Press(0x23);
        seen.push_back(gGuiViewModeToggle);
    }
    WorldSetGuiHooks(nullptr);
    EXPECT_EQ(seen, (std::vector<int>{1, 0, 1}));
}

TEST_F(CockpitKeys, EscapeRepeatedOnTheNextFrameDoesNothing) {
    KeyBindingTable[0][Scan::Esc] = R_ESCAPE;
    ship->sim->flags |= SimFlag::Autopilot;
    Press(Scan::Esc);  // disengages the autopilot
    EXPECT_FALSE(ship->sim->flags & SimFlag::Autopilot);
    EXPECT_EQ(gLastEscapeFrame, 100u);
    ship->sim->flags |= SimFlag::Autopilot;
    dunFrameCounter = 101;
    Press(Scan::Esc);  // the next frame: nothing
    EXPECT_TRUE(ship->sim->flags & SimFlag::Autopilot);
    dunFrameCounter = 103;
    Press(Scan::Esc);
    EXPECT_FALSE(ship->sim->flags & SimFlag::Autopilot);
}

TEST_F(CockpitKeys, TheEscapeCascadeTakesTheFirstThatApplies) {
    KeyBindingTable[0][Scan::Esc] = R_ESCAPE;
    // A briefing comes before the autopilot, the autopilot before the
    // objectives panel.
    gBriefingOpen = 1;
    ship->sim->flags |= SimFlag::Autopilot;
    gObjectivesOpen = 1;
    // A briefing holds the gate: only the gate keys pass, Esc among them.
    Press(Scan::Esc);
    EXPECT_EQ(gBriefingOpen, 0);
    EXPECT_TRUE(ship->sim->flags & SimFlag::Autopilot);
    dunFrameCounter += 2;
    Press(Scan::Esc);
    EXPECT_FALSE(ship->sim->flags & SimFlag::Autopilot);
    EXPECT_EQ(gObjectivesOpen, 1);
    dunFrameCounter += 2;
    Press(Scan::Esc);
    EXPECT_EQ(gObjectivesOpen, 0);
    // Without a station Escape goes to the navigation station.
    dunFrameCounter += 2;
    StationId = 0;
    Press(Scan::Esc);
    EXPECT_EQ(StationId, 2);
}

TEST_F(CockpitKeys, EscapeClosesTheDocumentViewerAndRunsItsCascade) {
    KeyBindingTable[0][Scan::Esc] = R_ESCAPE;
    gDocViewerOpen = 1;
    ship->sim->flags |= SimFlag::Autopilot;
    Press(Scan::Esc);
    EXPECT_EQ(gDocViewerOpen, 0);
    EXPECT_FALSE(ship->sim->flags & SimFlag::Autopilot);
    // Another key is kept by the open viewer.
    gDocViewerOpen = 1;
    BindOrbit(0x20);
    Press(0x20);
    EXPECT_EQ(gOrbitViewMode, 0);
    EXPECT_EQ(gDocViewerOpen, 1);
    // Up and Down move the page by 4 while it allows.
    BindOrbit(Scan::Up);
    const struct {
        uint8_t scan, up, down;
        int16_t from, to;
    } scrolls[] = {{Scan::Up, 1, 0, 20, 16}, {Scan::Up, 0, 1, 20, 20}, {Scan::Down, 0, 1, 20, 24},
                   {Scan::Down, 1, 0, 20, 20}};
    for (const auto &c : scrolls) {
        gDocViewer.scroll = c.from;
        gDocViewer.upArrow = c.up;
        gDocViewer.downArrow = c.down;
        Press(c.scan);
        EXPECT_EQ(gDocViewer.scroll, c.to) << int(c.scan) << " " << int(c.up) << int(c.down);
    }
    EXPECT_EQ(gOrbitViewMode, 0);
    docResetViewer();
}

TEST_F(CockpitKeys, TheStarMapTakesKeysFirst) {
    gStarMapOpen = 1;
    BindOrbit(0x20);
    BindOrbit(Scan::F1);
    BindOrbit(Scan::F1, 1);
    Press(0x20);
    EXPECT_EQ(gOrbitViewMode, 0);
    Press(Scan::F1);
    EXPECT_EQ(gOrbitViewMode, 1);
    // With left Shift the map's own handler is passed over, but other keys
    // are still dropped.
    KeyDownTable[Scan::LeftShift] = 0x80;
    BindOrbit(0x20, 1);
    Press(0x20);
    EXPECT_EQ(gOrbitViewMode, 1);
    gStarMapOpen = 0;
}

TEST_F(CockpitKeys, TheWingMenuTurnsAutopilotKeysIntoWingCommands) {
    KeyBindingTable[0][0x20] = R_WINGMAN_SINGLE;
    KeyBindingTable[0][0x21] = R_WINGMAN_ATTACK;
    KeyBindingTable[0][0x22] = R_AUTO_STOP;
    KeyBindingTable[0][0x23] = R_CYCLE_ORBMODE;
    Press(0x20);
    EXPECT_EQ(gWingSingleSelect, 1);
    Press(0x21);  // selects wingman 2 and opens the menu
    EXPECT_EQ(gSelectedWingman, 2);
    EXPECT_EQ(gWingMenuOpen, 1);
    EXPECT_EQ(gWingSingleSelect, 0);
    // The next autopilot key only closes the menu: no program starts.
    Press(0x22);
    EXPECT_EQ(gWingMenuOpen, 0);
    EXPECT_FALSE(ship->sim->flags & SimFlag::Autopilot);
    // Any other command closes it as well, after acting.
    KeyBindingTable[0][0x24] = R_WINGMAN_MENU;
    Press(0x24);
    EXPECT_EQ(gWingMenuOpen, 1);
    Press(0x23);
    EXPECT_EQ(gOrbitViewMode, 1);
    EXPECT_EQ(gWingMenuOpen, 0);
    // With the menu closed the key starts the program.
    Press(0x22);
    EXPECT_TRUE(ship->sim->flags & SimFlag::Autopilot);
    EXPECT_EQ(gSelectedProgramText, 56);
}

TEST_F(CockpitKeys, ThrottleFromZeroOnlyOnAFreshPress) {
    KeyBindingTable[0][0x0D] = R_THR_INC;
    ship->sim->flightMode = 1;
    dunPrevKeyTable[0x0D] = 0x80;  // held since the last frame
    Press(0x0D);
    EXPECT_EQ(ship->sim->setSpeed, 0.0f);
    dunPrevKeyTable[0x0D] = 0;
    Press(0x0D);
    EXPECT_EQ(ship->sim->setSpeed, 5000.0f);
    dunPrevKeyTable[0x0D] = 0x80;  // moving already: repeats step on
    Press(0x0D);
    EXPECT_EQ(ship->sim->setSpeed, 10000.0f);
}

TEST_F(CockpitKeys, DebugCommandsNeedTheirEnable) {
    KeyBindingTable[0][0x20] = R_ACCEL_TIME;
    KeyBindingTable[0][0x21] = R_PLAYER_INDESTRUCT;
    Press(0x20);
    Press(0x21);
    EXPECT_EQ(dunTimeScale, 1.0f);
    EXPECT_FALSE(ship->sim->flags & SimFlag::Protected);
    gDeveloperKeys = 1;
    std::vector<float> scales;
    for (int i = 0; i < 5; ++i) {
        Press(0x20);
        scales.push_back(dunTimeScale);
    }
    EXPECT_EQ(scales, (std::vector<float>{2, 4, 8, 16, 1}));
    Press(0x21);
    EXPECT_TRUE(ship->sim->flags & SimFlag::Protected);
}

TEST_F(CockpitKeys, TheCheckpointListTakesOnlyEnterAndEscape) {
    gGuiSaveListOpen = 1;
    guiStationLock = 1;
    BindOrbit(0x20);
    Press(0x20);
    EXPECT_EQ(gOrbitViewMode, 0);
    EXPECT_EQ(gGuiSaveListOpen, 1);
    Press(Scan::Enter);
    EXPECT_EQ(gGuiSaveListOpen, 0);
    EXPECT_EQ(guiStationLock, 0);
    EXPECT_EQ(gGuiChosenCheckpoint, -1);
}

TEST_F(CockpitKeys, TheContactFilterCycle) {
    std::vector<int> seen;
    for (int i = 0; i < 5; ++i) {
        guiCycleContactFilter();
        seen.push_back(dunContactFilter);
    }
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 7, 0, 1}));
    gObjectivesOpen = 1;
    guiCycleContactFilter();
    EXPECT_EQ(dunContactFilter, 1);
}

TEST_F(CockpitKeys, TheHatActsOnceThenRepeatsAfterAHold) {
    // Left cycles the filter: first frame, then only once held 31 cs.
    dunFrameStep = 10;
    dunHatBits = 8;
    std::vector<int> filters;
    for (int frame = 0; frame < 6; ++frame) {
        guiHatAction();
        filters.push_back(dunContactFilter);
    }
    // Hold times 0, 10, 20, 30, 40, 50.
    EXPECT_EQ(filters, (std::vector<int>{1, 1, 1, 1, 2, 7}));
    // Diagonals and the centre do nothing.
    for (uint8_t code : {3, 9, 0}) {
        dunHatBits = code;
        guiHatAction();
        EXPECT_EQ(dunContactFilter, 7);
    }
    dunHatBits = 0;
}

}  // namespace

// The fire key: the controlled ship's current weapon fires through the
// world's fire routine; nothing without a weapon, nor while a briefing
// holds the keys.
namespace {

int Rounds() {
    int n = 0;
    SceneItem *head = dunSceneListHead();
    for (SceneItem *o = head->next; o && o != head; o = o->next)
        n += (o->flags & SceneFlag::InUse) && o->avatar && (o->avatar->flags & AvatarFlag::LaunchedRound);
    return n;
}

TEST_F(CockpitKeys, TheFireKeyFiresTheCurrentWeapon) {
    dunai_InstallWorldHooks();
    KeyBindingTable[0][0x39] = R_FIRE;
    // No weapon: nothing happens.
    Press(0x39);
    EXPECT_EQ(Rounds(), 0);
    ship->avatar->flags = AvatarFlag::Ship | 0x80;
    ship->sim->currentWeapon = dunCreatePBC(ship, 0, 0, 0, "PBC", 1);
    Press(0x39);
    EXPECT_EQ(Rounds(), 1);
    // Still reloading: no second round, and no refusal shown.
    Press(0x39);
    EXPECT_EQ(Rounds(), 1);
    // A briefing takes the key.
    ship->sim->currentWeapon->reloadTimer = 0;
    gBriefingOpen = 1;
    Press(0x39);
    EXPECT_EQ(Rounds(), 1);
    gBriefingOpen = 0;
    Press(0x39);
    EXPECT_EQ(Rounds(), 2);
    WorldSetAiHooks(nullptr);
}

}  // namespace

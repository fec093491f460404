// The cockpit's answers to the world, asked the way the world asks them:
// through the table the GUI installs in the world's hooks.
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "../platform/wave_bytes.h"
#include "common/temp_dir.h"
#include "gui/cockpit.h"
#include "gui/feed.h"
#include "gui/gui.h"
#include "gui_fixture.h"
#include "hud/maps.h"
#include "os/audio.h"
#include "os/paths.h"
#include "platform/sound.h"
#include "present/cameras.h"
#include "present/effects.h"
#include "present/p3d.h"
#include "present/views.h"
#include "script/mission.h"
#include "script/settings.h"
#include "world/collision.h"
#include "world/flight.h"
#include "world/objlist.h"
#include "world/pools.h"
#include "world/services.h"

namespace guitest {
namespace {

class CockpitAnswers : public GuiTest {
protected:
    ruvotest::TempDir dir;
    void SetUp() override {
        GuiTest::SetUp();
        dunResetWorld();
        guiInstallWorldHooks();
        for (const auto &[slot, text] : kTexts) gTextSlots[slot] = text;
        StationId = 2;
        guiStationLock = guiPlayerLostView = 0;
        gMissionEndState = 0;
        gWepFlightSwitch = 0;
        gGuiHitFlash = 0;
    }
    void TearDown() override {
        for (const char *&slot : gTextSlots) slot = nullptr;
        if (dunRemoteLinked) dunLeaveRemoteControl();
        dunPlayerShip = dunControlledObject = nullptr;
        StationId = 0;
        guiStationLock = 0;
        gStarMapOpen = 0;
        gViewWindowMode = 0;
        dunResetWorld();
        GuiTest::TearDown();
    }
    // A new message on the line since the last look: its text, else "".
    static std::string NewMessage() {
        if (!gMessageNew) return "";
        gMessageNew = 0;
        return gMessageText;
    }
    static SceneItem *Ship(double x, uint32_t flags = 0) {
        SceneItem *o = dunCreateSceneItem();
        dunLinkSceneItem(o, flags);
        dunAttachSim(o, nullptr);
        dunAttachTDP(o);
        ShipInfo *info = o->sim->shipInfo = dunAllocShipInfo();
        dunInitFlightParams(&info->current, 7000.0f, 500.0f, 50, 1000000000u, 90.0f, 90.0f, 90.0f, 700.0f);
        o->sim->flight = &info->current;
        o->sim->position = {x, 0, 0};
        o->sim->matrix.m[12] = float(x);
        o->avatar->position = o->sim->position;
        return o;
    }

    static constexpr std::pair<int, const char *> kTexts[] = {
        {1, "LINK REFUSED"}, {2, "LINK MADE"},  {3, "LINK BACK"},  {4, "LINK BLOCKED"},
        {41, "DISABLED"},    {42, "EMPTY"},     {43, "NO TARGET"}, {44, "IN LDS"},
        {65, "PROXIMITY WARNING"}, {66, "STAR %s"}, {96, "FRIENDLY FIRE"},
    };
};

TEST_F(CockpitAnswers, EveryCallOfTheWorldHasItsAnswer) {
    const WorldGuiHooks &hooks = dunGui();
    void *entries[sizeof(WorldGuiHooks) / sizeof(void *)];
    static_assert(sizeof entries == sizeof(WorldGuiHooks));
    std::memcpy(entries, &hooks, sizeof entries);
    for (size_t i = 0; i < std::size(entries); ++i) EXPECT_NE(entries[i], nullptr) << "entry " << i;
}

TEST_F(CockpitAnswers, TheCockpitsTexts) {
    EXPECT_STREQ(dunCall(dunGui().cockpitText, 2), "LINK MADE");
    EXPECT_EQ(dunCall(dunGui().cockpitText, 7), nullptr);  // not set
    EXPECT_STREQ(dunCall(dunGui().proximityWarningText), "PROXIMITY WARNING");
    EXPECT_STREQ(dunCall(dunGui().starLogFormat), "STAR %s");
    BlockFont font;
    gFeedFont = &font.font;
    dunCall(dunGui().postPendingFeedText, 1);
    EXPECT_STREQ(gFeed.pending, "FRIENDLY FIRE");
    EXPECT_EQ(gFeed.colour, 1);
    guiResetTextFeed();
    gFeedFont = nullptr;
    dunCall(dunGui().showCockpitText, 3, 200);
    EXPECT_EQ(NewMessage(), "LINK BACK");
    EXPECT_EQ(gMessageDuration, 200);
    dunCall(dunGui().showCockpitText, 7, 200);  // no text: nothing shown
    EXPECT_EQ(NewMessage(), "");
}

TEST_F(CockpitAnswers, FireResultsOnTheMessageLineUnlessItIsQuiet) {
    const struct {
        int result;
        bool lost;
        const char *shown;
    } cases[] = {{1, false, "DISABLED"}, {2, false, "EMPTY"}, {3, false, "NO TARGET"}, {4, false, "IN LDS"},
                 {5, false, ""},         {0, false, ""},      {2, true, ""}};
    for (const auto &c : cases) {
        guiPlayerLostView = c.lost ? 1 : 0;
        dunCall(dunGui().showFireResult, c.result);
        EXPECT_EQ(NewMessage(), c.shown) << c.result;
    }
}

// Two ships closing: the warning text and sound 66 come once, and again only
// after the 500 centiseconds of the hold-off.
TEST_F(CockpitAnswers, TheProximityWarningOncePerHoldOff) {
    osAudioOpen(true);
    SoundEnabled = 0xFF;
    SoundInit();
    const std::string wave = std::string("vek/resource/sounds/") + SoundSlots[66].name + ".wav";
    wavetest::WriteBytes(wave.c_str(), wavetest::Constant8(22050, 228));
    osFlushPathCache();
    dunProximityWarningOption = 0xFF;
    dunProximityHoldOff = 0;
    SceneItem *player = Ship(0);
    SceneItem *rock = Ship(8000, SceneFlag::RecordsNearest);
    for (SceneItem *it : {player, rock}) {
        it->sim->radius = it->avatar->root->radius = 1000.0f;
        it->sim->mass = 1000.0f;
        CollisionModel *m = dunAllocCollisionModel();
        m->size = 100.0f;
        m->boundsLower = {-500, -500, -500};
        m->boundsUpper = {500, 500, 500};
        it->avatar->root->collision = m;
        dunUpdateNodeTransforms(it);
    }
    player->sim->velocity = {6000.0f, 0, 0};
    dunPlayerShip = dunControlledObject = player;
    dunFrameStep = 10;
    std::vector<int> shown, sounded;
    for (int step = 0; step < 60; ++step) {
        dunCollisionPass();
        if (!NewMessage().empty()) shown.push_back(step);
        if (SoundIsPlaying(&SoundSlots[66])) {
            sounded.push_back(step);
            SoundStop(&SoundSlots[66]);
        }
    }
    EXPECT_EQ(shown, (std::vector<int>{0, 50}));
    EXPECT_EQ(sounded, shown);
    EXPECT_STREQ(gMessageText, "PROXIMITY WARNING");
    SoundReleaseAll();
    osAudioClose();
}

// The weapons station takes the stick unless its flight switch is on, and
// so do the maps and the document viewer: the ship's turn demands then
// settle instead of following the stick.
TEST_F(CockpitAnswers, TheStickIsBlockedAtTheWeaponsStation) {
    SceneItem *ship = Ship(0);
    dunPlayerShip = dunControlledObject = ship;
    const struct {
        int station;
        uint8_t flightSwitch, starMap;
        bool blocked;
    } cases[] = {{2, 0, 0, false}, {3, 0, 0, true}, {3, 1, 0, false}, {2, 0, 1, true}, {1, 0, 0, false}};
    for (const auto &c : cases) {
        StationId = c.station;
        gWepFlightSwitch = c.flightSwitch;
        gStarMapOpen = c.starMap;
        EXPECT_EQ(dunCall(dunGui().stickBlocked), c.blocked) << c.station;
        ship->turnDemand[2] = 0.0f;
        dunStickX = 80.0f;
        dunReadPlayerFlightInput(ship);
        EXPECT_FLOAT_EQ(ship->turnDemand[2], c.blocked ? 0.0f : 10.0f) << c.station;
    }
    dunStickX = 0.0f;
}

// Taking a turret: refused with text 4 while the cockpit blocks it; taken
// with text 2, the zoom off and the view mode that hides the craft; given
// back with text 3 and the view mode as it was.
TEST_F(CockpitAnswers, TheRemoteLinkThroughTheCockpit) {
    SceneItem *ship = Ship(0);
    SceneItem *turret = Ship(1000);
    turret->sim->flags |= SimFlag::RemoteControllable;
    dunPlayerShip = dunControlledObject = ship;
    gViewWindowMode = 1;
    gViewZoomRequest = 1;
    guiStationLock = 1;
    dunToggleTurretControl(ship, turret);
    EXPECT_EQ(NewMessage(), "LINK BLOCKED");
    EXPECT_EQ(dunRemoteLinked, nullptr);
    EXPECT_EQ(gViewWindowMode, 1);
    guiStationLock = 0;
    dunToggleTurretControl(ship, turret);
    EXPECT_EQ(NewMessage(), "LINK MADE");
    EXPECT_EQ(dunRemoteLinked, turret);
    EXPECT_EQ(dunControlledObject, turret);
    EXPECT_EQ(gViewZoomRequest, 0);
    EXPECT_EQ(gViewWindowMode, 2);
    dunToggleTurretControl(ship, turret);
    EXPECT_EQ(NewMessage(), "LINK BACK");
    EXPECT_EQ(dunRemoteLinked, nullptr);
    EXPECT_EQ(gViewWindowMode, 1);
    // The options screen blocks it too.
    StationId = 5;
    EXPECT_TRUE(dunCall(dunGui().remoteBlocked));
}

int gFlashInPass = -1;
int8_t SeeFlash(GuiWindow *w) {
    gFlashInPass = gP3D.clearColour;
    return guiDefaultHandler(w);
}

// A controlled craft's hit flashes the views' background, fading with the
// frames; each pass ends the flash it showed.
TEST_F(CockpitAnswers, AHitFlashFadesOverTheFrames) {
    MakeRoot()->update = SeeFlash;
    dunCall(dunGui().setHitFlash, 31);
    std::vector<int> seen;
    for (int pass = 0; pass < 5; ++pass) {
        guiUpdate();
        seen.push_back(gFlashInPass);
        EXPECT_EQ(gP3D.clearColour, kP3DClearColour);
    }
    EXPECT_EQ(seen, (std::vector<int>{207, 197, 187, 177, 176}));
    // The cockpit's hold-off is its shake: no jolt until it has settled.
    P3DSetViewShake(120, 40);
    EXPECT_EQ(dunCall(dunGui().holdOff), 120);
    P3DSetViewShake(0, 0);
    EXPECT_EQ(dunCall(dunGui().holdOff), 0);
    // The approach report is kept.
    dunCall(dunGui().reentryStatus, 0x12u);
    EXPECT_EQ(gGuiReentryStatus, 0x12u);
}

}  // namespace
}  // namespace guitest

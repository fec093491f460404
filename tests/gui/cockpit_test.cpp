// The cockpit shell: station switches, the remembered screen, look-around,
// the views and cameras, the mission end, the pause, the comms arm and the
// crew speaker.
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>

#include "../platform/wave_bytes.h"
#include "RES/util.h"
#include "common/temp_dir.h"
#include "core/options.h"
#include "gui/bound.h"
#include "gui/cockpit.h"
#include "gui/feed.h"
#include "gui/gui.h"
#include "gui_fixture.h"
#include "os/audio.h"
#include "os/paths.h"
#include "platform/smack.h"
#include "platform/sound.h"
#include "platform/video.h"
#include "present/cameras.h"
#include "present/scene.h"
#include "script/dialogue.h"
#include "script/career.h"
#include "script/interp.h"
#include "script/mission.h"
#include "world/objlist.h"
#include "world/records.h"

namespace guitest {
namespace {

void NoBuild() {}
void NoKeys(uint16_t) {}

class Cockpit : public GuiTest {
protected:
    ruvotest::TempDir dir;
    SceneItem ship{}, camera{};
    Sim sim{};
    void SetUp() override {
        GuiTest::SetUp();
        osFlushPathCache();
        guiResetScreens();
        for (const char *name : {"COM", "NAV", "WEP", "ENG", "OptionScreen", "CMDStand", "CMDLft", "CMDRgt"})
            guiRegisterScreen(name, NoBuild, NoKeys);
        gGuiScreen = &gGuiNullScreen;
        guiSetScreen("Null");
        ship.sim = &sim;
        sim.weaponCount = 2;
        dunPlayerShip = &ship;
        dunControlledObject = &ship;
        dunPlayerCamera = &camera;
        StationId = 0;
        gContactListMode = 1;
        gRememberedScreen = 0;
        gGuiFullScreen = 0;
        gMissionEndState = 0;
        gMissionEnding = 0;
        gCinematicView = 0;
        gMissionOver = 0;
        dunFrozen = 0;
        optEngineering = 0xFF;
        optDirector = 0;
        gMissionScore = gTargetTime = gTimeScore = gMissionClock = 0;
        dunMissionSuccess = 0;
    }
    void TearDown() override {
        dunClearDialogue();
        guiCloseComArmVideos();
        dunPlayerShip = dunControlledObject = nullptr;
        dunPlayerCamera = nullptr;
        StationId = 0;
        optEngineering = 0xFF;
        optDirector = 0;
        dunFrozen = 0;
        gMissionOver = 0;
        osFlushPathCache();
        GuiTest::TearDown();
    }
    static std::string Screen() { return gGuiScreen && gGuiScreen->name ? gGuiScreen->name : ""; }
    static std::string Film() { return VideoState().name ? VideoState().name : ""; }
};

TEST_F(Cockpit, StationSwitchesByButtonAndByKey) {
    struct {
        void (*button)(GuiWindow *);
        void (*key)();
        const char *screen, *film;
        int id, listMode;
    } rows[] = {
        {guiSwitchToCom, guiSwitchToComKey, "COM", "cmdsit.smk", 1, 1},
        {guiSwitchToNav, guiSwitchToNavKey, "NAV", "navsit.smk", 2, 1},
        {guiSwitchToWep, guiSwitchToWepKey, "WEP", "wepsit.smk", 3, 2},
        {guiSwitchToEng, guiSwitchToEngKey, "ENG", "engsit.smk", 4, 2},  // ENG keeps the mode it found
    };
    for (const auto &r : rows) {
        StationId = 1;
        guiSetScreen("Null");
        gContactListMode = 2;
        r.button(nullptr);
        EXPECT_EQ(Screen(), r.screen);
        EXPECT_EQ(StationId, r.id);
        EXPECT_EQ(gContactListMode, r.listMode);
        EXPECT_EQ(Film(), r.film);
        // The key's switch plays no film while a station is current...
        guiSwitchToComKey();
        PlayVideo("none.smk");
        r.key();
        EXPECT_EQ(Film(), "none.smk") << r.screen;
        EXPECT_EQ(StationId, r.id);
        // ...and sits down with the film from no station.
        StationId = 0;
        r.key();
        EXPECT_EQ(Film(), r.film);
    }
}

TEST_F(Cockpit, WeaponsAndEngineeringNeedTwoWeapons) {
    sim.weaponCount = 1;
    StationId = 1;
    guiSetScreen("COM");
    for (auto sw : {guiSwitchToWep, guiSwitchToEng}) sw(nullptr);
    guiSwitchToWepKey();
    guiSwitchToEngKey();
    EXPECT_EQ(StationId, 1);
    EXPECT_EQ(Screen(), "COM");
    sim.weaponCount = 2;
    optEngineering = 0;  // "engoff"
    guiSwitchToEngKey();
    EXPECT_EQ(StationId, 1);
    guiSwitchToWepKey();
    EXPECT_EQ(StationId, 3);
}

TEST_F(Cockpit, TheRememberedScreenComesBack) {
    struct {
        int remembered;
        uint8_t full;
        const char *screen;
        int id;
    } rows[] = {{1, 0, "COM", 1}, {3, 1, "WEP", 3}, {4, 0, "ENG", 4}, {0, 0, "NAV", 1}, {5, 1, "NAV", 1}};
    for (const auto &r : rows) {
        StationId = r.remembered;
        gGuiFullScreen = r.full;
        gRememberedScreen = 0;
        guiRememberScreen();
        StationId = 2;
        gGuiFullScreen = 0;
        guiRememberScreen();  // a screen already remembered stays
        guiSetScreen("Null");
        guiReturnToScreen();
        EXPECT_EQ(Screen(), r.screen) << r.remembered;
        EXPECT_EQ(StationId, r.id) << r.remembered;
        EXPECT_EQ(gGuiFullScreen, r.full) << r.remembered;
        EXPECT_EQ(gRememberedScreen, 0);
    }
    // The options screen freezes and remembers; the way back thaws.
    StationId = 2;
    guiSetScreen("NAV");
    guiSwitchToOptions();
    EXPECT_EQ(Screen(), "OptionScreen");
    EXPECT_EQ(StationId, 5);
    EXPECT_TRUE(dunFrozen);
    guiSaveSettings();
    EXPECT_EQ(Screen(), "NAV");
    EXPECT_EQ(StationId, 2);
    EXPECT_FALSE(dunFrozen);
}

TEST_F(Cockpit, LookAroundTurnsAtTheScreenEdges) {
    struct {
        int index, x, y;
        const char *screen;
    } rows[] = {
        {0, 99, 400, "CMDLft"},  {0, 100, 400, "CMDStand"}, {0, 541, 400, "CMDRgt"},  {0, 540, 400, "CMDStand"},
        {0, 99, 440, "CMDStand"}, {1, 541, 10, "CMDStand"}, {1, 540, 10, "CMDLft"},   {2, 99, 10, "CMDStand"},
        {2, 100, 10, "CMDRgt"},
    };
    static const char *const kScreens[3] = {"CMDStand", "CMDLft", "CMDRgt"};
    for (const auto &r : rows) {
        guiSetScreen(kScreens[r.index]);
        GuiWindow *view = Make(0, 0, 100, 100);
        view->videoIndex = uint16_t(r.index);
        gMouse.x = r.x;
        gMouse.y = r.y;
        guiLookAroundUpdate(view);
        EXPECT_EQ(Screen(), r.screen) << r.index << " " << r.x << "," << r.y;
    }
}

TEST_F(Cockpit, TheBridgeViewLooksThroughThePlayerCamera) {
    guiBuildBridgeScreen();
    ASSERT_NE(gGuiLastCreated, nullptr);
    EXPECT_EQ(gGuiLastCreated->userPtr, static_cast<void *>(&dunPlayerCamera));
}

TEST_F(Cockpit, BridgeStatusBlinks) {
    EXPECT_STREQ(guiBridgeStatusText(0, 0), "STATUS");
    EXPECT_STREQ(guiBridgeStatusText(199, 0), "STATUS");
    EXPECT_STREQ(guiBridgeStatusText(200, 0), "OK");
    EXPECT_STREQ(guiBridgeStatusText(399, 0), "OK");
    EXPECT_STREQ(guiBridgeStatusText(400, 0), "STATUS");
    EXPECT_STREQ(guiBridgeStatusText(100, 1), "LINKED");
    EXPECT_STREQ(guiBridgeStatusText(250, 2), "STATUS");
    EXPECT_STREQ(guiBridgeStatusText(150, 2), "DEAD");
}

TEST_F(Cockpit, FullScreenAndCinematicViews) {
    guiEnterFullScreen();
    EXPECT_EQ(Screen(), "NAV");
    EXPECT_EQ(StationId, 2);
    EXPECT_TRUE(gGuiFullScreen);
    EXPECT_TRUE(gCameraCut[0]);
    gCameraCut[0] = 0;
    camera.control = CameraTrack;
    guiLeaveFullScreen();
    EXPECT_FALSE(gGuiFullScreen);
    EXPECT_EQ(camera.control, CameraPlayer);
    EXPECT_TRUE(gCameraCut[0]);

    // A cinematic takes the view and gives it back, unless the director runs.
    StationId = 3;
    guiSetScreen("WEP");
    camera.control = CameraContact;
    guiPushFullScreen();
    EXPECT_TRUE(gCinematicView);
    guiEnterFullScreen();
    camera.control = CameraTrack;
    optDirector = 0xFF;
    guiPopFullScreen();
    EXPECT_TRUE(gCinematicView);
    EXPECT_TRUE(gGuiFullScreen);
    optDirector = 0;
    guiPopFullScreen();
    EXPECT_FALSE(gCinematicView);
    EXPECT_FALSE(gGuiFullScreen);
    EXPECT_EQ(Screen(), "WEP");
    EXPECT_EQ(StationId, 3);
}

TEST_F(Cockpit, CameraCycleAndLabels) {
    struct {
        ControlRoutine from, to;
        const char *label;
    } rows[] = {
        {CameraContact, CameraChase, "P"},       {CameraChase, CameraExternalSmooth, "M"},
        {CameraExternalSmooth, CameraTrack, "T"}, {CameraTrack, CameraPlayer, "O"},
        {CameraPlayer, CameraChase, "C"},        {CameraLookAtObject, CameraLookAtObject, "NULLI"},
    };
    GuiWindow *window = Make(0, 0, 50, 20);
    window->userPtr = &camera;
    for (const auto &r : rows) {
        camera.control = r.from;
        gCameraCut[0] = 0;
        guiCycleCamera(window);
        EXPECT_EQ(camera.control, r.to) << r.label;
        EXPECT_STREQ(static_cast<const char *>(window->text), r.label);
        EXPECT_TRUE(gCameraCut[0]);
    }
}

TEST_F(Cockpit, MissionEndByState) {
    struct {
        int32_t target, time, perSecond, bonus;
    } bonuses[] = {{6000, 4500, 7, 105}, {4500, 6000, 7, 0}, {100000000, 0, 9, 500}, {0, 100, 7, 0}};
    for (const auto &b : bonuses) {
        gMissionEndState = 0;
        gMissionEnding = 0;
        gMissionScore = 10;
        gTargetTime = b.target;
        gMissionClock = b.time;
        gTimeScore = b.perSecond;
        guiEndMission();
        EXPECT_EQ(gMissionScore, 10 + b.bonus) << b.target;
        // The end cinematic starts: frozen, full screen, stations locked.
        EXPECT_EQ(gMissionEndState, 1);
        EXPECT_TRUE(dunFrozen);
        EXPECT_TRUE(guiStationLock);
        EXPECT_TRUE(gCinematicView);
        gCinematicView = 0;
        gRememberedScreen = 0;
    }
    // Finished: a success waits for its debriefing, a failure leaves.
    gMissionTable[7] = MissionRecord{};
    gMissionTable[7].index = 7;
    gMissionTable[7].missionNumber = 7;
    gCareerMission = 7;
    wavetest::WriteBytes("vek/resource/text/debrief/dbf_07_0.txt", {'W', 'e', 'l', 'l', ' ', 'd', 'o', 'n', 'e'});
    osFlushPathCache();
    dunMissionSuccess = 0xFF;
    gMissionOver = 0;
    guiEndMission();
    EXPECT_EQ(gMissionEndState, 2);
    EXPECT_FALSE(gMissionOver);
    // A success without a debriefing leaves at once.
    gMissionEndState = 1;
    gCareerMission = 8;
    guiEndMission();
    EXPECT_TRUE(gMissionOver);
    gMissionOver = 0;
    gMissionEndState = 1;
    dunMissionSuccess = 0;
    guiEndMission();
    EXPECT_TRUE(gMissionOver);
    gMissionOver = 0;
    guiEndMission();  // leaving
    EXPECT_TRUE(gMissionOver);
}

TEST_F(Cockpit, PauseStopsTheSoundsAndTheRedrawBringsThemBack) {
    osAudioOpen(true);
    SoundEnabled = 0xFF;
    SoundInit();
    wavetest::WriteBytes("vek/resource/sounds/10.wav", wavetest::Constant8(22050, 228));
    osFlushPathCache();
    SoundPlay(0, 0, 0, 0, 1);
    ASSERT_TRUE(SoundIsPlaying(&SoundSlots[0]));
    const uint8_t *palette = gfxtest::TestPalette();
    CurrentPalette = palette;
    std::fill(canvas.bytes.begin(), canvas.bytes.end(), uint8_t(200));
    guiPauseScreen();
    EXPECT_EQ(Screen(), "NAV");  // from no station: the navigation screen first
    EXPECT_FALSE(SoundIsPlaying(&SoundSlots[0]));
    EXPECT_EQ(canvas.Count(200), 0);  // darkened through the shade ramp
    guiRedrawCockpit();
    EXPECT_TRUE(SoundIsPlaying(&SoundSlots[0]));
    CurrentPalette = nullptr;
    SoundReleaseAll();
    osAudioClose();
}

// A ship-system panel reads its component every frame: output against
// level, raw value and level on their scales, the switch byte and the name
// in the language; the switch is offered on the antimatter injector only.
TEST_F(Cockpit, SystemPanelGaugesReadTheirComponent) {
    EngComponent injector{}, reactor{};
    injector.names[0] = "AM INJECTOR";
    injector.names[1] = "INJECTEUR AM";
    injector.names[2] = "AM-INJEKTOR";
    injector.level = 800.0f;
    injector.value = 200.0f;
    injector.switchedOn = 0xFF;
    reactor.names[0] = reactor.names[1] = reactor.names[2] = "REACTOR";
    reactor.level = 0.0f;  // switched off: no output
    reactor.value = 3000.0f;
    GuiWindow *label = Make(10, 10, 138, 12);
    GuiWindow *bar = Make(10, 30, 23, 45);
    label->userPtr = bar->userPtr = &injector;
    const uint16_t language = gLanguage;
    gLanguage = 1;
    guiUpdateInjectorGauge(label);
    gLanguage = language;
    EXPECT_FLOAT_EQ(label->value, 250.0f);
    EXPECT_FLOAT_EQ(label->max, 1000.0f);
    EXPECT_EQ(label->state, 0xFF);
    EXPECT_STREQ(static_cast<const char *>(label->text), "INJECTEUR AM");
    EXPECT_EQ(gGuiSystemButtonVisible, 1);
    guiToggleSystemFlag(label);
    EXPECT_EQ(injector.switchedOn, 0);
    guiToggleSystemFlag(label);
    EXPECT_EQ(injector.switchedOn, 0xFF);
    guiUpdateSystemValue(bar);
    EXPECT_FLOAT_EQ(bar->value, 200.0f);
    EXPECT_FLOAT_EQ(bar->max, 2500.0f);
    guiUpdateSystemLevel(bar);
    EXPECT_FLOAT_EQ(bar->value, 800.0f);
    bar->userPtr = &reactor;
    guiUpdateSystemOutput(bar);
    EXPECT_FLOAT_EQ(bar->value, 0.0f);
    EXPECT_FLOAT_EQ(bar->max, 1000.0f);
    label->userPtr = &reactor;
    guiUpdateInjectorGauge(label);
    EXPECT_EQ(gGuiSystemButtonVisible, 0);
    // A panel whose system the ship lacks keeps what it showed.
    label->userPtr = nullptr;
    label->value = 7.0f;
    guiUpdateInjectorGauge(label);
    guiToggleSystemFlag(label);
    EXPECT_FLOAT_EQ(label->value, 7.0f);
    gGuiSystemButtonVisible = 1;
}

TEST_F(Cockpit, SpeakerPortraitsNeverRepeatAndListenSettles) {
    guiSetSpeaker("ENGINEER");
    EXPECT_EQ(gSpeakerIndex, 3);
    EXPECT_EQ(gSpeakerClip, 0);
    EXPECT_EQ(gSpeakerStartCount, 4);
    guiSetSpeaker("Kestrel");
    EXPECT_EQ(gSpeakerIndex, -1);
    char name[64];
    guiSpeakerClipName(0, 0, name, sizeof name);
    EXPECT_STREQ(name, "\\w_approachcamera.smk");
    guiSpeakerClipName(3, 12, name, sizeof name);
    EXPECT_STREQ(name, "\\e_talk4.smk");

    dunSeedRand15(7);
    for (uint16_t mode : {0, 2}) {
        gSpeakerClipMode = mode;
        std::set<int> seen;
        int last = guiNextSpeakerClip();
        for (int i = 0; i < 200; ++i) {
            const int clip = guiNextSpeakerClip();
            EXPECT_NE(clip, last);
            seen.insert(clip);
            last = clip;
        }
        EXPECT_EQ(seen, mode == 0 ? (std::set<int>{2, 3, 4}) : (std::set<int>{9, 10, 11, 12}));
    }
    gSpeakerClipMode = 1;
    gSpeakerStartCount = 4;
    for (int i = 0; i < 3; ++i) {
        const int clip = guiNextSpeakerClip();
        EXPECT_GE(clip, 5);
        EXPECT_LE(clip, 8);
    }
    EXPECT_EQ(guiNextSpeakerClip(), 1);
    EXPECT_EQ(gSpeakerClipMode, 0);
    EXPECT_EQ(gSpeakerStartCount, 4);
    gSpeakerClipMode = 0xFFFF;
    EXPECT_EQ(guiNextSpeakerClip(), -1);
}

int64_t gFilmClock;
int64_t AlwaysDue() { return gFilmClock += 1000000; }

class ComArm : public Cockpit {
protected:
    std::string text = "<A=Pilot>\n(\nA: Incoming\n)";
    ResourceHandle handle{};
    void SetUp() override {
        Cockpit::SetUp();
        const char *root = std::getenv("RUVO_DATA");
        std::filesystem::create_directories("vek/resource/video");
        for (const char *clip : {"NAVArmIn.smk", "NAVArmOu.smk"})
            std::filesystem::copy_file(std::string(root ? root : "data") + "/vek/resource/video/" + clip,
                                       std::string("vek/resource/video/") + clip);
        osFlushPathCache();
        SmackSetClock(AlwaysDue);
        std::snprintf(handle.name, sizeof handle.name, "%s", "talk.txt");
        handle.data = text.data();
        gRawStep = 20;
    }
    void TearDown() override {
        SmackSetClock(nullptr);
        Cockpit::TearDown();
    }
    // Draw passes of the arm window until the clips stop.
    static int Frames(GuiWindow *arm, int most = 100) {
        int n = 0;
        do {
            guiDrawComArmWindow(arm);
            guiDrawComArm();
            ++n;
        } while (n < most && gGuiComArmOpen && !gComArmShown);
        return n;
    }
};

TEST_F(ComArm, OpensWithItsClipStaysWhileALineWaitsAndClosesItself) {
    GuiWindow *arm = Make(0, 0, 10, 10);
    dunStartDialogue(&handle, nullptr, nullptr, nullptr);
    guiToggleComArm();
    ASSERT_TRUE(gGuiComArmOpen);
    EXPECT_GE(Frames(arm), 12);  // the opening clip's frames
    EXPECT_TRUE(gComArmShown);
    for (int i = 0; i < 3; ++i) guiDrawComArmWindow(arm);
    EXPECT_TRUE(gComArmShown);
    // The line ends: the arm closes with its clip.
    dunClearDialogue();
    guiDrawComArmWindow(arm);
    EXPECT_FALSE(gComArmShown);
    EXPECT_TRUE(gGuiComArmOpen);
    for (int i = 0; i < 30 && gGuiComArmOpen; ++i) guiDrawComArmWindow(arm);
    EXPECT_FALSE(gGuiComArmOpen);
}

TEST_F(ComArm, StandingUpClosesAtOnceAndTheNextLineReopens) {
    GuiWindow *arm = Make(0, 0, 10, 10);
    dunStartDialogue(&handle, nullptr, nullptr, nullptr);
    guiToggleComArm();
    Frames(arm);
    guiComArmStandUp();
    EXPECT_FALSE(gGuiComArmOpen);
    EXPECT_TRUE(gComArmReopen);
    guiDrawComArmWindow(arm);
    EXPECT_TRUE(gGuiComArmOpen);
    EXPECT_FALSE(gComArmReopen);
    // A screen switch closes it and stops its clips.
    guiSetScreen("NAV");
    EXPECT_FALSE(gGuiComArmOpen);
    // Without its clips the arm does not open.
    std::filesystem::remove("vek/resource/video/NAVArmIn.smk");
    osFlushPathCache();
    guiToggleComArm();
    EXPECT_FALSE(gGuiComArmOpen);
}

}  // namespace
}  // namespace guitest

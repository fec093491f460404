// Station switching, the remembered screen, the look-around screens and the
// bridge.
#include <cstring>

#include "RES/util.h"
#include "core/frame.h"
#include "core/options.h"
#include "gui/cockpit.h"
#include "gui/front.h"
#include "gui/gadgets.h"
#include "gui/options.h"
#include "gui/gui.h"
#include "gui/screen.h"
#include "gui/station.h"
#include "platform/keyboard.h"
#include "platform/sound.h"
#include "platform/video.h"
#include "present/cameras.h"
#include "present/scene.h"
#include "script/interp.h"
#include "script/mission.h"
#include "world/flight.h"
#include "world/objlist.h"
#include "world/objroutines.h"
#include "world/records.h"

int16_t gContactListMode = 1;
uint8_t guiStationLock;
uint8_t gGuiWeaponsView;
uint8_t gRememberedScreen;
int32_t gRememberedStation;
uint8_t gRememberedFullScreen;
uint8_t gObjectivesOpen, gLocalSpaceOpen;
uint8_t gGuiArcMirror;

namespace {

bool ShipHasWeapons() { return dunPlayerShip && dunPlayerShip->sim && dunPlayerShip->sim->weaponCount >= 2; }

struct Station {
    const char *screen;
    const char *film;
    int id;
    int16_t listMode;  // 0: unchanged
};
const Station kStations[4] = {
    {"COM", "cmdsit.smk", 1, 1},
    {"NAV", "navsit.smk", 2, 1},
    {"WEP", "wepsit.smk", 3, 2},
    {"ENG", "engsit.smk", 4, 0},
};

bool Allowed(int station) {
    if (station >= 2 && !ShipHasWeapons()) return false;
    if (station == 3 && !optEngineering) return false;
    return true;
}

void Switch(int station, bool film) {
    const Station &s = kStations[station];
    guiLeaveStation();
    if (film) PlayVideo(s.film);
    guiSetScreen(s.screen);
    StationId = s.id;
    if (s.listMode) gContactListMode = s.listMode;
    if (station == 2) dunUpdateViewFlag();
    else guiSetWeaponView(0);
    gSpeakerDrawn = nullptr;
    SoundPlay(11, 0, 0, 0, 0);
}

void ByButton(int station) {
    if (Allowed(station)) Switch(station, true);
}

// The keys and scripts: a film only when sitting down from no station.
void ByKey(int station) {
    if (Allowed(station)) Switch(station, StationId == 0);
}

}  // namespace

void guiSetWeaponView(int on) { gGuiWeaponsView = on ? 1 : 0; }

void guiSwitchToCom(GuiWindow *) { ByButton(0); }
void guiSwitchToNav(GuiWindow *) { ByButton(1); }
void guiSwitchToWep(GuiWindow *) { ByButton(2); }
void guiSwitchToEng(GuiWindow *) { ByButton(3); }
void guiSwitchToComKey() { ByKey(0); }
void guiSwitchToNavKey() { ByKey(1); }
void guiSwitchToWepKey() { ByKey(2); }
void guiSwitchToEngKey() { ByKey(3); }

void guiSwitchToOptions() {
    guiLeaveStation();
    if (dunRemoteLinked) dunLeaveRemoteControl();
    guiRememberScreen();
    guiSetScreen("OptionScreen");
    StationId = 5;
    guiSetWeaponView(0);
    dunFrozen = 1;
    SoundPauseAll();
}

void guiSaveSettings() {
    frontSaveOptions(kSettingsFile);
    guiReturnToScreen();
    dunFrozen = 0;
}

void guiLeaveStation() {
    if (dunPlayerCamera) dunPlayerCamera->control = CameraPlayer;
    guiEngLeaveStation();
    if (gBriefingOpen) ResetMissionFlags();
    gBriefingOpen = 0;
    gObjectivesOpen = 0;
    gLocalSpaceOpen = 0;
    dunFrozen = 0;
    VideoStop();
}

void guiRememberScreen() {
    if (gRememberedScreen) return;
    gRememberedStation = StationId;
    gRememberedFullScreen = gGuiFullScreen;
    gRememberedScreen = 1;
}

void guiReturnToScreen() {
    if (gRememberedScreen) {
        static const char *const kScreens[5] = {nullptr, "COM", "NAV", "WEP", "ENG"};
        const int32_t id = gRememberedStation;
        if (id >= 1 && id <= 4) {
            StationId = id;
            guiSetScreen(kScreens[id]);
        } else {
            // A temporary view taken from no station or the options screen
            // comes back on the navigation screen, counted as COM.
            StationId = 1;
            guiSetScreen("NAV");
        }
        if (gRememberedFullScreen) guiEnterFullScreen();
        else guiLeaveFullScreen();
        gRememberedScreen = 0;
    } else if (gGuiFullScreen) {
        guiLeaveFullScreen();
    }
    SoundResumeAll();
}

// ---- Look-around screens ------------------------------------------------------------------

namespace {

struct SideView {
    const char *screen;
    const char *view;
    int buttons[2];  // stations of two of Butt1..Butt4
};
// Each station's standing screen, then its left and right screens.
const SideView kSideViews[12] = {
    {"CMDStand", "CMDStdB", {0, 1}}, {"CMDLft", "CMDLftW", {0, 2}}, {"CMDRgt", "CMDRgtW", {0, 3}},
    {"NAVStand", "NAVStdB", {0, 1}}, {"NAVLft", "NAVLftW", {1, 3}}, {"NAVRgt", "NAVRgtW", {1, 2}},
    {"WEPStand", "WEPStdB", {2, 3}}, {"WEPLft", "WEPLftW", {1, 2}}, {"WEPRgt", "WEPRgtW", {0, 2}},
    {"ENGStand", "ENGStdB", {2, 3}}, {"ENGLft", "ENGLftW", {0, 3}}, {"ENGRgt", "ENGRgtW", {1, 3}},
};
const char *const kTurnFilms[4][4] = {
    {"cmdlft.smk", "cmdrgt.smk", "cmdlftb.smk", "cmdrgtb.smk"},
    {"navlft.smk", "navrgt.smk", "navlftb.smk", "navrgtb.smk"},
    {"weplft.smk", "weprgt.smk", "weplftb.smk", "weprgtb.smk"},
    {"englft.smk", "engrgt.smk", "englftb.smk", "engrgtb.smk"},
};
const char *const kButtons[4] = {"Butt1", "Butt2", "Butt3", "Butt4"};
void (*const kButtonRoutines[4])(GuiWindow *) = {guiSwitchToCom, guiSwitchToNav, guiSwitchToWep, guiSwitchToEng};

void Turn(const char *film, int index) {
    PlayVideo(film);
    guiSetScreen(kSideViews[index].screen);
}

}  // namespace

void guiBuildSideViewScreen() {
    const char *name = gGuiScreen ? gGuiScreen->name : nullptr;
    for (int i = 0; i < 12; ++i) {
        if (!name || std::strcmp(name, kSideViews[i].screen)) continue;
        const SideView &v = kSideViews[i];
        for (int b : v.buttons) guiBindActivate(kButtons[b], kButtonRoutines[b]);
        if (GuiWindow *w = guiBindUpdate(v.view, guiLookAroundUpdate)) {
            w->draw = guiDrawSideViewVideo;
            w->videoIndex = uint16_t(i);
            w->flags |= GuiFlag::RootOption;
        }
        return;
    }
}

int8_t guiLookAroundUpdate(GuiWindow *window) {
    const int index = window->videoIndex < 12 ? window->videoIndex : 0;
    const int station = index / 3, side = index % 3;
    const int x = gMouse.x, y = gMouse.y;
    if (y < 440) {
        if (side == 0 && x < 100) Turn(kTurnFilms[station][0], station * 3 + 1);
        else if (side == 0 && x > 540) Turn(kTurnFilms[station][1], station * 3 + 2);
        else if (side == 1 && x >= 541) Turn(kTurnFilms[station][2], station * 3);
        else if (side == 2 && x < 100) Turn(kTurnFilms[station][3], station * 3);
    }
    return guiDefaultHandler(window);
}

// ---- Bridge -------------------------------------------------------------------------------

namespace {

GuiWindow *gBridgeTitle;

void RequestMissionOver(GuiWindow *) { gMissionOver = 1; }

int8_t UpdateStatus(GuiWindow *window) {
    window->text = guiBridgeStatusText(dunGameClock, dunRemoteLinked ? 1 : 0);
    guiReload(window);
    return guiDefaultHandler(window);
}

}  // namespace

const char *guiBridgeStatusText(uint32_t clock, int linkState) {
    static const char *const kWords[3] = {"OK", "LINKED", "DEAD"};
    const uint32_t half = linkState == 0 ? 200 : 100;
    if (linkState < 0 || linkState > 2) linkState = 0;
    return clock % (2 * half) < half ? "STATUS" : kWords[linkState];
}

void guiBuildBridgeScreen() {
    dunSeedRand15(1253567);
    for (int b = 0; b < 4; ++b) guiBindActivate(kButtons[b], kButtonRoutines[b]);
    guiBindActivate("ExitButt", RequestMissionOver);
    guiBindUpdate("Status", UpdateStatus);
    gBridgeTitle = static_cast<GuiWindow *>(GetScriptSymbolValue("Title"));
    GuiWindow *view = guiCreateWindow(GUI_TOP_L, nullptr, nullptr, guiDefaultHandler, guiDraw3D, 0, 0, 640, 336, 0);
    // A 3D view reads its viewer through a reference to the camera variable,
    // so that it follows whatever camera the mission makes the player's.
    view->userPtr = &dunPlayerCamera;
}

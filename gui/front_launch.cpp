// Launching a mission from the front end, and the career's bookkeeping when
// it has ended.
#include <cstdio>

#include "RES/font.h"
#include "RES/gfx2d.h"
#include "RES/slab.h"
#include "RES/text.h"
#include "core/frame.h"
#include "core/log.h"
#include "core/options.h"
#include "core/progress.h"
#include "gui/front.h"
#include "gui/gadgets.h"
#include "gui/screen.h"
#include "gui/window.h"
#include "platform/display.h"
#include "platform/keyboard.h"
#include "platform/video.h"
#include "present/p3d.h"
#include "script/career.h"
#include "script/interp.h"
#include "script/mission.h"
#include "script/script.h"
#include "script/settings.h"

int32_t gFrontLoadTestCursor;
GuiWindow *gFrontLoadingWindow;
uint8_t gFrontFollowOnLaunch;
const uint8_t *gFlightPalette;

namespace {

constexpr int kActionMission = 99;
constexpr char kStockScript[] = "vek\\resource\\scripts\\init\\stock.scr";

bool InTable(int row) { return row >= 0 && row < kCareerMissions; }

// The load test takes the next row that has a script, from its cursor on.
void NextLoadTestMission() {
    for (int step = 0; step < kCareerMissions; ++step) {
        const int row = gFrontLoadTestCursor;
        gFrontLoadTestCursor = (gFrontLoadTestCursor + 1) % kCareerMissions;
        if (gMissionTable[row].missionNumber >= 1) {
            gCareerMission = row;
            return;
        }
    }
}

bool ScriptExists(const char *name) {
    FILE *f = slabOpen("scripts", name, nullptr);
    slabClose(f);
    return f != nullptr;
}

void ShowLoading() {
    GuiWindow *w = guiLiveWindow(gFrontLoadingWindow);
    ClipRect r;
    if (!w || !guiGadgetRect(w, &r)) return;
    Surface *s = guiScreen();
    const BitmapFont *font = guiFont(w->font);
    r.left = int16_t(r.left - 4 > 0 ? r.left - 4 : 0);
    auto draw = [&] {
        FillRect(s, 0, r.left, r.top, r.right, r.bottom);
        if (font) dunDrawTextCentred(s, ScriptTextSlot(99), font, &r);
    };
    draw();
    if (gGuiRedrawReload == 2) {
        DisplayPresent(&TheDisplayMode);
        DisplayBeginFrame(&TheDisplayMode);
        draw();
    }
    DisplayPresent(&TheDisplayMode);
}

}  // namespace

void frontLaunchMission(int) {
    // The mission is chosen first, so that what is checked and recorded
    // below is the mission that flies.
    gFrontFollowOnLaunch = 0;
    if (optLoadTest) NextLoadTestMission();
    if (gFollowOnMission) {
        gCareerMission = gFollowOnMission;
        gFrontFollowOnLaunch = 1;
        gFollowOnMission = 0;
    }
    const int row = gCareerMission;
    char script[128];
    FrontMissionScriptName(row, script, sizeof script);
    gFrontScriptPresent = InTable(row) && gMissionTable[row].missionNumber > 0 && ScriptExists(script);
    if (!gFrontScriptPresent) return;
    const MissionRecord &mission = gMissionTable[row];

    ShowLoading();
    if (gFlightPalette) {
        gCurrentPalette = gFlightPalette;
        DisplaySetPalette(gFlightPalette);
    }
    gCareerState.word[StateWord::Mission] = int16_t(row);
    gCareerState.word[StateWord::Launch2] = 0;
    gCareerState.word[StateWord::Launch8] = 0;
    gCareerState.word[StateWord::FullScreen] = FullScreenMode ? 1 : 0;
    gMissionRowValue = mission.value12;
    gMissionResultMax = mission.resultMax;
    gBestTime = gCareerState.bestTime[row];
    dunWriteStateFile();

    FrontClosePageFilm();
    P3DInitialise();
    gMainScriptPc = TokeniseScript(kStockScript);
    if (gMainScriptPc) ScriptProcessor(&gMainScriptPc, 0);
    guiSetScreen("COM");
    StationId = 1;
    gCurrentMission = mission.missionNumber;
    char title[160];
    std::snprintf(title, sizeof title, "Kelv - Mission %i - %s", int(mission.missionNumber), mission.name);
    if (gFrontShellHooks.setWindowTitle) gFrontShellHooks.setWindowTitle(title);

    gLoading = 1;
    gLoadProgress = 0;
    gMainScriptPc = TokeniseScript(script);
    if (gMainScriptPc) ScriptProcessor(&gMainScriptPc, 0);
    else dunDebugPrintf("Cannot read the mission script %s", script);
    FreeTextureReplacements();
    startMission();
    gLoading = 0;
    if (mission.followOn) gFollowOnMission = mission.followOn;
    if (!optLoadTest && !gFrontFollowOnLaunch && PlayVideo("entry.smk")) VideoPlaying = 1;
}

void frontMissionExit() {
    const int c = gCareerMission;
    if (!InTable(c)) return;
    CaptainSlot &slot = gCaptainSlot;
    const bool success = gCareerState.word[StateWord::Success] != 0;
    const int32_t score = gCareerState.word[StateWord::Score];
    const int mode = gFrontStartMode;
    if (success && mode == 1) {
        slot.played[c] = -1;
        if (slot.historyCount >= 0 && slot.historyCount < kCareerMissions) slot.history[slot.historyCount++] = int16_t(c);
    }
    if ((mode != 1 && mode != 4) || (!success && c != kActionMission)) {
        dunWriteCaptainSlot();
        dunRebuildAvailableMissions();
        return;
    }
    if (c != kActionMission) {
        slot.totalScore += score;
        if (mode == 4) slot.totalScore -= slot.resultShare[c];
    }
    slot.resultShare[c] = score;
    slot.resultValue[c] = gCareerState.word[StateWord::Outcome];
    const int16_t holder = gCareerState.word[StateWord::Slot];
    if (score > gCareerState.bestResult[c]) {
        gCareerState.bestResult[c] = score;
        gBestResultSlot[c] = holder;
    }
    const int32_t time = gMissionClock;
    SetCaptainMissionTime(c, time);
    const bool better = c != kActionMission ? time < gCareerState.bestTime[c] : time > gCareerState.bestTime[c];
    if (better) {
        gCareerState.bestTime[c] = time;
        gBestTimeSlot[c] = holder;
    }
    dunWriteCaptainSlot();
    // The best score and time live in the state file: kept at once too.
    dunWriteStateFile();
    dunRebuildAvailableMissions();
}

// The career timeline screen: the captain, the two timeline views, the
// career history with the selected point's records, the play buttons,
// restarting from a point and deleting the career.
#include <cstdio>
#include <cstring>

#include "RES/font.h"
#include "RES/gfx2d.h"
#include "RES/slab.h"
#include "core/frame.h"
#include "core/options.h"
#include "gui/front.h"
#include "gui/gadgets.h"
#include "gui/options.h"
#include "gui/screen.h"
#include "gui/timeline.h"
#include "gui/window.h"
#include "script/career.h"
#include "script/mission.h"
#include "script/settings.h"

int16_t gFrontStartMode = 1;
uint8_t gFrontPlayAvailable[3];
uint8_t gFrontScriptPresent;

namespace {

constexpr int16_t kStartModes[3] = {1, 2, 4};
constexpr int kBonusMission = 90;

bool InTable(int row) { return row >= 0 && row < kCareerMissions; }

void Exit(GuiWindow *) {
    dunWriteCaptainSlot();
    guiSetScreen("FrontRoster");
    gFrontRequestedPage = 11;
}

void DrawName(GuiWindow *window) {
    FrontDrawLine(window, gCaptainSlot.name[0] ? gCaptainSlot.name : DefaultCaptainName(gLanguage));
}

void DrawRating(GuiWindow *window) {
    static const char *const kStyles[2][3] = {{"Simulation", "Simulation", "Simulation"},
                                              {"Arcade", "Arcade", "Arcade"}};
    char text[96];
    std::snprintf(text, sizeof text, "%i %s (%s)", int(gCaptainSlot.totalScore), frontRankTitle(),
                  kStyles[(gCaptainSlot.modeFlags & 1) ? 1 : 0][gLanguage < 3 ? gLanguage : 0]);
    FrontDrawLine(window, text);
}

// The language's text slots of the selected point's records.
constexpr int kBestScoreText = 216, kBestTimeText = 217;

// A text slot of the language, or the English words while it is empty.
const char *SlotText(int slot, const char *english) {
    const char *text = ScriptTextSlot(slot);
    return text && *text ? text : english;
}

// The career history, newest last, under the selected point's records.
void DrawHistory(GuiWindow *window) {
    ClipRect r;
    if (!guiGadgetRect(window, &r)) return;
    Surface *s = guiScreen();
    FillRect(s, 0, r.left, r.top, r.right, r.bottom);
    guiDrawFrame(s, GuiColour::Outline, r.left, r.top, r.right, r.bottom);
    const BitmapFont *font = guiFont(window->font);
    if (!font) return;
    const int line = font->lineHeight + 2;
    int y = r.top + 4 + font->lineHeight;
    char text[128];
    const int c = gCareerMission;
    if (FrontSelectedNode() && InTable(c)) {
        std::snprintf(text, sizeof text, "%s: %i  %i%%", SlotText(kBestScoreText, "Best score"),
                      int(gCareerState.bestResult[c]),
                      TimelinePercent(gCareerState.bestResult[c], gMissionTable[c].resultMax));
        guiDrawFontText(s, r.left + 4, y, text, font, &r);
        y += line;
        const int seconds = gCareerState.bestTime[c] / 100;
        std::snprintf(text, sizeof text, "%s: %i:%02i", SlotText(kBestTimeText, "Best time"), seconds / 60,
                      seconds % 60);
        guiDrawFontText(s, r.left + 4, y, text, font, &r);
        y += 2 * line;
    }
    for (int i = 0; i < gCaptainSlot.historyCount && i < kCareerMissions && y <= r.bottom; ++i, y += line) {
        const int row = gCaptainSlot.history[i];
        if (!InTable(row)) continue;
        std::snprintf(text, sizeof text, "%2i. %s", i + 1, gMissionTable[row].name);
        guiDrawFontText(s, r.left + 4, y, text, font, &r);
    }
    guiReload(window);
}

void DrawOpen(GuiWindow *window) {
    AdvanceTimelineBlinkOnce();
    frontDrawTimeline(window, &gTimelineOpen);
}
void DrawArchive(GuiWindow *window) {
    AdvanceTimelineBlinkOnce();
    frontDrawTimeline(window, &gTimelinePlayed);
}
int8_t UpdateOpen(GuiWindow *window) {
    frontScrollTimeline(window, &gTimelineOpen);
    return guiDefaultHandler(window);
}
int8_t UpdateArchive(GuiWindow *window) {
    frontScrollTimeline(window, &gTimelinePlayed);
    return guiDefaultHandler(window);
}
void ClickOpen(GuiWindow *) { frontClickTimeline(&gTimelineOpen); }
void ClickArchive(GuiWindow *) { frontClickTimeline(&gTimelinePlayed); }

void PlayNew(GuiWindow *) { FrontPressPlay(0); }
void PlayAgain(GuiWindow *) { FrontPressPlay(1); }
void PlayChosen(GuiWindow *) { FrontPressPlay(2); }

// A play button: lit while it may be pressed and the mission's script is
// there, else only its frame and a dimmed name.
void DrawPlay(GuiWindow *window, int button) {
    if (gFrontPlayAvailable[button] && gFrontScriptPresent) {
        guiDrawButton(window);
        return;
    }
    ClipRect r;
    if (!guiGadgetRect(window, &r)) return;
    Surface *s = guiScreen();
    FillRect(s, 0, r.left, r.top, r.right, r.bottom);
    guiDrawFrame(s, GuiColour::Outline, r.left, r.top, r.right, r.bottom);
    const BitmapFont *font = guiFont(static_cast<ResourceHandle *>(GetScriptSymbolValue("DimFont")));
    const char *text = static_cast<const char *>(window->text);
    if (font && text)
        guiDrawFontText(s, (r.left + r.right) / 2 - guiTextWidth(text, font) / 2,
                        (r.top + r.bottom) / 2 + font->lineHeight / 2, text, font, &r);
}
void DrawPlayNew(GuiWindow *window) { DrawPlay(window, 0); }
void DrawPlayAgain(GuiWindow *window) { DrawPlay(window, 1); }
void DrawPlayChosen(GuiWindow *window) { DrawPlay(window, 2); }

// Restarting from a point: the history from the point on is taken back.
void RestartConfirmed() {
    CaptainSlot &slot = gCaptainSlot;
    const int c = gCareerMission;
    int from = -1;
    for (int i = 0; i < slot.historyCount && i < kCareerMissions; ++i)
        if (slot.history[i] == c) {
            from = i;
            break;
        }
    if (from >= 0) {
        for (int i = from; i < slot.historyCount && i < kCareerMissions; ++i) {
            const int row = slot.history[i];
            slot.history[i] = 0;
            if (!InTable(row)) continue;
            slot.played[row] = 0;
            slot.totalScore -= slot.resultShare[row];
            slot.resultShare[row] = 0;
        }
        slot.historyCount = int16_t(from);
        dunRebuildAvailableMissions();
        gCareerMission = c;
    }
    gFrontStartMode = 1;
    gLaunchRequest = 1;
}

void Restart(GuiWindow *) {
    if (FrontSelectedNode()) FrontRequestConfirm(98, RestartConfirmed, "FrontTime");
}

void DeleteConfirmed() {
    dunNewCaptainSlot();
    dunRebuildAvailableMissions();
    FrontRefreshSelection();
}

void Delete(GuiWindow *) { FrontRequestConfirm(97, DeleteConfirmed, "FrontTime"); }

}  // namespace

void FrontMissionScriptName(int row, char *out, size_t size) {
    const int number = InTable(row) ? gMissionTable[row].missionNumber : 0;
    std::snprintf(out, size, "vek\\resource\\scripts\\missions\\mission%02i.scr", number);
}

void FrontRefreshSelection() {
    const TimelineNode *node = FrontSelectedNode();
    const int kind = node ? node->kind : 0;
    gFrontPlayAvailable[0] = kind != 1 && kind != 2;
    gFrontPlayAvailable[1] = kind == 1;
    gFrontPlayAvailable[2] = kind == 2;
    char name[128];
    FrontMissionScriptName(gCareerMission, name, sizeof name);
    FILE *f = InTable(gCareerMission) && gMissionTable[gCareerMission].missionNumber > 0
                  ? slabOpen("scripts", name, nullptr)
                  : nullptr;
    gFrontScriptPresent = f ? 1 : 0;
    slabClose(f);
}

void FrontPressPlay(int button) {
    if (button < 0 || button > 2 || !gFrontPlayAvailable[button]) return;
    if (!gCaptainNamed) {
        if (button == 0) frontDefaultCaptainName();
        return;
    }
    gFrontNameEntry = 0;
    gFrontStartMode = kStartModes[button];
    gLaunchRequest = 1;
}

void frontBuildTime() {
    guiBindActivate("TimExit", Exit);
    guiBindDraw("TimCarHist", DrawHistory);
    guiBindDraw("TimName", DrawName);
    guiBindDraw("TimRating", DrawRating);
    if (GuiWindow *w = guiBindDraw("TimNew", DrawOpen)) {
        w->update = UpdateOpen;
        w->onActivate = ClickOpen;
    }
    if (GuiWindow *w = guiBindDraw("TimArchive", DrawArchive)) {
        w->update = UpdateArchive;
        w->onActivate = ClickArchive;
    }
    const struct {
        const char *name;
        void (*activate)(GuiWindow *);
        void (*draw)(GuiWindow *);
    } kPlay[3] = {{"TimPlayMN", PlayNew, DrawPlayNew},
                  {"TimPlayMA", PlayAgain, DrawPlayAgain},
                  {"TimPlayMT", PlayChosen, DrawPlayChosen}};
    for (const auto &p : kPlay) {
        guiBindActivate(p.name, p.activate);
        guiBindDraw(p.name, p.draw);
    }
    guiBindActivate("TimRestart", Restart);
    guiBindActivate("TimDelete", Delete);
    gFrontLoadingWindow = guiLiveWindow(GetScriptSymbolValue("TimLoading"));
}

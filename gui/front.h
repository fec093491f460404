// The front end: the menu world between missions. Its pages with their
// transition films, the home menu, the roster of captain slots with name
// entry, the new career, the career timeline, the confirmation, credits and
// action screens, their key handlers, the launch of a mission and the
// career bookkeeping after one, and the debriefing that ends a mission.
// The option table and the settings file are gui/options.h; the timeline
// lists are gui/timeline.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

struct GuiWindow;
struct MissionRecord;

// ---- Pages -------------------------------------------------------------------------

// The stable pages; the others are transitions between them.
namespace FrontPage {
constexpr int16_t Home = 2, Roster = 5, Time = 10, Options = 13, Credits = 19, Action = 22;
}
constexpr int kFrontPages = 24;  // 0 .. 23

extern int16_t gFrontPage;
extern int16_t gFrontRequestedPage;

// The screen of a stable page, or null for a transition.
const char *FrontPageScreen(int page);
// The film of a page ("vek\resource\video\" file name), or null.
const char *FrontPageFilm(int page);
// The page a page becomes when its film ends (at once without one).
int FrontPageNext(int page);
// The page machine: the draw routine of the page film windows ("HomeMov",
// "RosMov", "CrdMov", "ActMov").
void frontDrawPageFilm(GuiWindow *window);
// Closes the page film (the front end is left).
void FrontClosePageFilm();

// ---- Front-end state -----------------------------------------------------------------

// The start mode of the next launch: 1 new start, 2 and 4 the resumable
// starts of a timeline point.
extern int16_t gFrontStartMode;
// "TimPlayMN", "TimPlayMA", "TimPlayMT" may be pressed.
extern uint8_t gFrontPlayAvailable[3];
// The selected mission's script exists.
extern uint8_t gFrontScriptPresent;
// The captain's name is being typed.
extern uint8_t gFrontNameEntry;
// The selected node of the home menu's 2 x 2 grid (0 roster, 1 action,
// 2 credits, 3 options).
extern int gFrontHomeNode;
// The load-test cursor over the mission table (0 .. 99).
extern int32_t gFrontLoadTestCursor;
// The window the launch writes "loading" into; null for none.
extern GuiWindow *gFrontLoadingWindow;
// The palette that was current before the front end made its own current:
// the launch makes it current again.
extern const uint8_t *gFlightPalette;
// The last launch was a follow-on mission's.
extern uint8_t gFrontFollowOnLaunch;
// The action page marked the action mode (mission 99).
extern uint8_t gFrontActionMode;
// The position in the hidden ten-key sequence.
extern int gFrontSecretPosition;

// The flags and pages back to their start values (tests, a fresh start).
void ResetFrontEnd();

// ---- Screens and keys ------------------------------------------------------------------

void frontBuildHome();
void frontBuildRoster();
void frontBuildNewRosterSlot();
void frontBuildTime();
void frontBuildConfirm();
void frontBuildCredits();
void frontBuildAction();
void frontKeyHandler(uint16_t key);
void frontOptionsKeyHandler(uint16_t key);

// The roster's "New" button shows only on the roster page.
extern uint8_t gFrontOnRosterPage;
// A line of text in a window's font, over its cleared inside.
void FrontDrawLine(GuiWindow *window, const char *text);

// The roster's slot steps and starts, as the buttons and keys use them.
void FrontPreviousSlot();
void FrontNextSlot();
void FrontActivateSlot();
void FrontStartNameEntry();
// Takes one key of the name entry.
void FrontNameEntryKey(uint16_t key);

// The timeline's play buttons: 0 "TimPlayMN", 1 "TimPlayMA", 2 "TimPlayMT".
void FrontPressPlay(int button);
// The availability flags and the script-present flag from the selected
// timeline point.
void FrontRefreshSelection();

// A confirmation: the code (97 delete a slot, 98 restart from a timeline
// point; also the text slot of its question), the action on "yes" and the
// screen to return to.
void FrontRequestConfirm(int code, void (*action)(), const char *returnScreen);
extern int gFrontConfirmCode;

// ---- Entering the front end and launching a mission ------------------------------------

// Entering the front end: no launch pending, the screen cleared and the
// front-end palette "FRNPalette" made current.
void frontSetPalette();
// The launch of the current mission (the frame runs it when the launch
// request is set). Nothing happens when its script is missing.
void frontLaunchMission(int how);
// The career bookkeeping after a mission: history, scores, best score and
// time, the slot saved and the playable missions rebuilt.
void frontMissionExit();
// The script file name of a mission table row.
void FrontMissionScriptName(int row, char *out, size_t size);

// What the front end asks of the shell above it. The shell installs it at
// start-up; without it (tests) each call does nothing.
struct FrontShellHooks {
    void (*setWindowTitle)(const char *text);
    void (*quit)();  // the main loop ends
};
void SetFrontShellHooks(const FrontShellHooks *hooks);
extern FrontShellHooks gFrontShellHooks;

// ---- Debriefing ----------------------------------------------------------------------------

// Opens a file of the text slab (or the loose file) in the language's copy:
// the slab name and the path both take the language's prefix.
FILE *frontOpenLocalized(const char *slab, const char *name, uint32_t *size);
// The debriefing text of a mission and outcome (a heap block the caller
// frees with dunFree), or null.
char *frontLoadDebrief(const MissionRecord *mission, int outcome);
// The end of a mission from the cockpit: the debriefing into the feed with
// its spoken version, or the end film.
void frontShowDebrief(int missionIndex, int outcome);
bool frontHasEndFilm(int mission, int result);
void frontPlayEndFilm(int mission, int result);
// Back to the front end's screen when a mission ends.
void frontReturnScreen();
// Centiseconds the mission's end still shows after a spoken debriefing.
extern int32_t gDebriefHoldTime;
// The debriefing texts fall back to "dbf_null.txt" (debug texts).
bool FrontDebugTexts();

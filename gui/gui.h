// The GUI window manager, screens and cockpit stations.
#pragma once

#include <cstdint>

#include "gui/cockpit.h"

void guiInit();
void guiResetWindows();
void guiUpdate();
void guiEngSelectReactor();
// Each frame: the jump to the star system chosen on the map, once asked for
// and possible (gui/autopilot.h).
void guiGoToSelectedSystem();

// The current screen's key handler.
extern void (*gKeyHandler)(uint16_t key);
// Holding states that stop the simulation.
extern uint8_t gDocViewerOpen;
extern uint8_t gObjectivesOpen;
extern uint8_t gLocalSpaceOpen;
// Set while the GUI script of the language loads.
extern uint8_t gGuiScriptLoading;
// The command station's weapon-arc mirror switch and the mirrored arc code.
extern uint8_t gGuiArcMirror;
uint16_t guiMirrorArcCode(uint16_t code);
// The checkpoint list of the current slot and mission, refreshed; its count.
int guiRefreshSaveList();
// The checkpoint chosen in the checkpoint list (-1 none).
extern int16_t gGuiChosenCheckpoint;
// The command station's document viewer and objectives panel opened or
// closed (0 closes); the remote link.
void guiComToggleDocs(int open);
void guiComToggleObjectives(int open);
void guiOpenRemoteLink();
// The remote link's preconditions: no briefing, viewer, map, overlay,
// objectives or checkpoint pick, and a current contact.
bool guiRemoteLinkAllowed();
void guiComToggleLocalView(int open);
// "LdBt0": every mirrorable weapon of the player's ship flips its arc.
void guiMirrorPlayerArcs();
// The objectives: the list the objectives panel shows (its display time
// runs down as it draws; at 0 the panel closes), the mission status panel
// (its height from the window's top; measured only without `draw`; it sets
// SCORE to its total; its lines start `top` rows down) and that panel over
// the main view at a mission's end, under the typed debriefing's box
// (rows kDebriefTop to kDebriefTop + kDebriefHeight of the view).
struct GuiWindow;
struct BitmapFont;
inline constexpr int kMissionStatusTop = 10;
inline constexpr int kDebriefTop = 30, kDebriefHeight = 70;
void guiDrawObjectiveList(GuiWindow *window);
int guiDrawMissionStatus(GuiWindow *window, const BitmapFont *normal, const BitmapFont *done, const BitmapFont *failed,
                         bool draw, int top = kMissionStatusTop);
void dunDrawObjectivesPanel();
// The pitch between the rows of a list under a title (the objectives and
// the checkpoints): the rows share the window's room, at most two lines
// apart and at least one pixel.
int guiListRowPitch(int windowHeight, int rows, int lineHeight);
// The weapons station's fire, rapid fire and forward tracking.
void guiWepFire();
void guiWepToggleRapid();
void guiWepToggleForwardTrack();
// The engineering station's component selection (0 up, 1 down, 2 left, 3
// right; -1 and +1 the previous and next) and its crew assignment.
void guiEngMoveSelection(int direction);
void guiEngStepSelection(int step);
void guiEngAssignCrew(int crew);

// ---- The command station's panels ----------------------------------------------------------

// "FPSMeter" (per second, at most 250) and "FPSMeterN" (per tenth): 100
// when the frame took no time.
int guiFpsMeterValue(int frameCentiseconds, bool perSecond);
// A load-out button (1..5 "LdBt1".."LdBt5", 6 "LdBox", 7 "LdBt0"): the
// pressed flag and number set, then the mission script runs a turn at once.
extern uint8_t gGuiLoadoutPressed;
extern int32_t gGuiLoadoutButton;
extern uint8_t gGuiLoadoutMirrorShown;  // "LdBt0" shows while set
void guiPressLoadoutButton(int number);
extern uint8_t gGuiAlien;  // "AlienBt"
// The dialogue's speakers and reply buttons: the speaker list shows while
// the choices are hidden; a single waiting speaker is chosen at once.
extern uint8_t gGuiChoicesShown;
extern int8_t gGuiHoverSpeaker;
extern int32_t gGuiHoverChoice;
// The distinct names (case-insensitive) the waiting replies address.
int guiDialogueSpeakers(const char *names[], int max);
void guiDrawDialogueSpeakers(GuiWindow *window);
void guiClickDialogueSpeakers(GuiWindow *window);
void guiDrawDialogueChoice(GuiWindow *window);
void guiClearDialogueChoice(GuiWindow *window);
void guiClickDialogueChoice(GuiWindow *window);
// The reply at a button index played; false when no such reply shows.
bool guiChooseDialogueReply(int index);
// The "Cd<prefix><index>" window publishes itself in the control table.
constexpr int kGuiControlSlots = 8;
extern GuiWindow *gGuiControls[kGuiControlSlots];
GuiWindow *guiControlName(const char *prefix, int index);
// The read-outs, load-out, briefing player and dialogue windows of "COM".
void guiBuildComPanels();

// Interim bodies of this subsystem's operations whose modules are not built
// yet. Each says so once in the log.
#include "core/pending.h"
#include "gui/cockpit.h"
#include "gui/docviewer.h"
#include "gui/redraw.h"

// The shell's and the game frame's calls.
#include "gui/feed.h"
#include "gui/front.h"
#include "gui/gui.h"

void guiEngSelectReactor() { PENDING_ONCE("guiEngSelectReactor"); }

#include "gui/station.h"

// The build routines of the command, weapons and engineering stations that
// the screen table calls.
void guiBuildWepScreen() { PENDING_ONCE("guiBuildWepScreen"); }
void guiBuildEngScreen() { PENDING_ONCE("guiBuildEngScreen"); }

// The update routines of the logger and profile windows (the weapons
// station's stretch of routines).
#include "gui/bound.h"
#include "gui/window.h"
int8_t guiLoggerUpdate(GuiWindow *w) {
    PENDING_ONCE("guiLoggerUpdate");
    return guiDefaultHandler(w);
}
int8_t guiProfileUpdate(GuiWindow *w) {
    PENDING_ONCE("guiProfileUpdate");
    return guiDefaultHandler(w);
}

// The engineering station's leave step.
void guiEngLeaveStation() { PENDING_ONCE("guiEngLeaveStation"); }

// The weapons and engineering stations' parts the key handler calls.
void guiWepSelectPbc(int) { PENDING_ONCE("guiWepSelectPbc"); }
void guiWepSelectMissile(int) { PENDING_ONCE("guiWepSelectMissile"); }
void guiWepToggleRapid() { PENDING_ONCE("guiWepToggleRapid"); }
void guiWepToggleForwardTrack() { PENDING_ONCE("guiWepToggleForwardTrack"); }
void guiEngMoveSelection(int) { PENDING_ONCE("guiEngMoveSelection"); }
void guiEngStepSelection(int) { PENDING_ONCE("guiEngStepSelection"); }
void guiEngAssignCrew(int) { PENDING_ONCE("guiEngAssignCrew"); }

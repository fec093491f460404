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

#include "gui/station.h"

// The build routines of the command, weapons and engineering stations that
// the screen table calls.
void guiBuildComScreen() { PENDING_ONCE("guiBuildComScreen"); }

// The command station's arc mirror.
uint16_t guiMirrorArcCode(uint16_t code) {
    PENDING_ONCE("guiMirrorArcCode");
    return code;
}

// The command, weapons and engineering stations' parts the key handler calls.
// Until the command station's panel toggles are built, the viewer opens at
// its home page and closes, without closing the station's other panels.
void guiComToggleDocs(int open) {
    PENDING_ONCE("guiComToggleDocs");
    if (open) docOpenHome();
    else gDocViewerOpen = 0;
}
void guiComToggleObjectives(int open) {
    PENDING_ONCE("guiComToggleObjectives");
    gObjectivesOpen = gLocalSpaceOpen = open ? 1 : 0;
}
void guiOpenRemoteLink() { PENDING_ONCE("guiOpenRemoteLink"); }

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

// Interim bodies of this subsystem's operations whose modules are not built
// yet. Each says so once in the log.
#include "core/pending.h"
#include "present/lwo/lwo.h"
#include "present/scene.h"
#include "render/scene/scene.h"
#include "world/records.h"

// The views the GUI's panes show.
#include "present/views.h"

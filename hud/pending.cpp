// Interim bodies of this subsystem's operations whose modules are not built
// yet. Each says so once in the log.
#include "app/log.h"
#include "hud/hud.h"

void hudClearList() {
    static bool said = false;
    if (!said) {
        said = true;
        dunDebugPrint("not built yet: hudClearList");
    }
}

// Interim bodies of this subsystem's operations whose modules are not built
// yet. Each says so once in the log.
#include "app/interim.h"
#include "app/options.h"

void parseCommandSwitch(const char *word) {
    if (!word) {
        optFrontEndStart = 0xFF;
        return;
    }
    PENDING_ONCE("parseCommandSwitch");
}

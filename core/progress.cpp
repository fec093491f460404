#include "core/progress.h"

static LoadProgressDisplay gDisplay;

void SetLoadProgressDisplay(LoadProgressDisplay display) { gDisplay = display; }

void LoadProgressStep(const char *text) {
    if (gDisplay) gDisplay(text);
}

#include "core/progress.h"

static LoadProgressDisplay gDisplay;
uint8_t gLoading;

void SetLoadProgressDisplay(LoadProgressDisplay display) { gDisplay = display; }

void LoadProgressStep(const char *text) {
    if (gDisplay) gDisplay(text);
}

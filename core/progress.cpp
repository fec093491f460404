#include "core/progress.h"

static LoadProgressDisplay gDisplay;
uint8_t gLoading;
uint16_t gLoadProgress;

void SetLoadProgressDisplay(LoadProgressDisplay display) { gDisplay = display; }

void LoadProgressStep(const char *text) {
    if (gDisplay) gDisplay(text);
}

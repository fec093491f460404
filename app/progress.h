// The load-progress display the shell installs for core's LoadProgressStep.
#pragma once

#include <cstdint>

#include "core/progress.h"

// A text-feed line with "console", else one step of the load screen's
// progress bar. Only while loading.
void ShowLoadProgressStep(const char *text);
// The steps shown since the load began (0 before a mission loads).
extern uint16_t gLoadProgress;

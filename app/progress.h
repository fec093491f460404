// The load-progress display the shell installs for core's LoadProgressStep.
#pragma once

#include <cstdint>

#include "core/progress.h"

// A text-feed line with "console", else one step of the load screen's
// progress bar. Only while loading.
void ShowLoadProgressStep(const char *text);

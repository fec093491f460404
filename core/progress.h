// Loading feedback. The resource loader, the script tokeniser and the
// universe loaders report each step here; the shell installs what shows it
// (the load screen's bar or the console box). Nothing is shown while no
// display is installed, as in tests.
#pragma once

using LoadProgressDisplay = void (*)(const char *text);
void SetLoadProgressDisplay(LoadProgressDisplay display);
// One step of loading feedback.
void LoadProgressStep(const char *text);

#include <cstdint>
// Set while a mission loads and while the load screen shows.
extern uint8_t gLoading;
// The steps shown since the load began (0 before a mission loads).
extern uint16_t gLoadProgress;

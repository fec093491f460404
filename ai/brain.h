// The ship brain: control routines of AI ships, orders and placement.
#pragma once

#include <cstdint>

struct SceneItem;

void dunai_ThinkShip(SceneItem *item);
// The free-flying AI control (CONTROL_AIFREE).
void dunai_ThinkFree(SceneItem *item);
// Puts the object at a clear random spot near the navigation point.
void dunPlaceNearNavPoint(SceneItem *item, double *distance, int a, int b);
// Clears the brain's per-step words at the start of a step.
void dunai_ClearStepWords();
// True when the first wing slot is used and its last wing command is the value.
bool dunai_WingCommandIs(int command);
// An object with all the sense flags in that star system, brought in 85,000
// from the navigation point; null when there is none.
SceneItem *dunPlaceObjectNearNavPoint(uint32_t senseFlags, int system, SceneItem *item);

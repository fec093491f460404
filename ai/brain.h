// The ship brain: control routines of AI ships, orders and placement.
#pragma once

struct SceneItem;

void dunai_ThinkShip(SceneItem *item);
// The free-flying AI control (CONTROL_AIFREE).
void dunai_ThinkFree(SceneItem *item);
// Puts the object at a clear random spot near the navigation point.
void dunPlaceNearNavPoint(SceneItem *item, double *distance, int a, int b);
// Clears the brain's per-step words at the start of a step.
void dunai_ClearStepWords();

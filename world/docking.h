// Docking ports, docking and undocking.
#pragma once

struct SceneItem;

// The simulator of a docking or docked object; run after every other one.
void dunUpdateDocking(SceneItem *item);

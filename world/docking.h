// Docking ports, docking and undocking.
#pragma once

#include <cstdint>

struct SceneItem;
struct DockingPort;

// The simulator of a docking or docked object; run after every other one.
void dunUpdateDocking(SceneItem *item);
// The n-th port (0-based); past the end the last one; null without a ShipInfo
// or ports.
DockingPort *dunGetDockingPort(SceneItem *ship, int n);
// Docks a to b at ports p and q; 0xFF when they docked.
uint8_t dunDockShips(SceneItem *a, SceneItem *b, DockingPort *p, DockingPort *q, int16_t bias);
void dunUndock(SceneItem *ship);

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
// Two ships that touch: docks them when a pair of compatible ports is close
// and aligned enough; 0xFF when they docked (the contact is consumed).
uint8_t dunTryDockOnContact(SceneItem *a, SceneItem *b);
// With no other: the partner of the first docked port; else the other when
// the ship is docked to it; null otherwise.
SceneItem *dunGetDockedPartner(SceneItem *ship, SceneItem *other = nullptr);
// The number of docking links the item holds.
int dunDockedLinkCount(SceneItem *item);

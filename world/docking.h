// Docking ports, docking and undocking.
#pragma once

struct SceneItem;

// The simulator of a docking or docked object; run after every other one.
void dunUpdateDocking(SceneItem *item);
// The object the item is docked to, or null.
SceneItem *dunGetDockedPartner(SceneItem *item);
// The number of docking links the item holds.
int dunDockedLinkCount(SceneItem *item);

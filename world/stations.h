// Station components: the command section and the partner links.
#pragma once

struct SceneItem;

// Unmates every docked port of the object and clears each port's in-use bit.
void dunUndockAll(SceneItem *item);

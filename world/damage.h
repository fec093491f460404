// Subsystem damage of ships.
#pragma once

struct SceneItem;

// One step of a ship's self-repair cycle (message type 23).
void dunSubsystemFaultTick(SceneItem *ship);

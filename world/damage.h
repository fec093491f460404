// Subsystem damage of ships: booking hits against the damage block, the
// subsystems they knock out, the self-repair cycle and the script's setter.
#pragma once

#include <cstdint>

struct SceneItem;
struct ShipDamage;
struct Vec3;

// Books a hit of the amount at the point (in the ship's frame): -1 on the
// hit that takes the damage to the maximum (the caller posts the
// destruction), 1 when subsystem hits were rolled, 0 otherwise. A ship
// whose maximum is 0 or less is indestructible and rolls nothing.
int dunDamageSubsystems(SceneItem *ship, ShipDamage *block, int32_t amount, const Vec3 *point);
// The script's setter: subsystem 0..8 damaged by a fraction, 0 restores.
void dunSetSubsystemState(SceneItem *ship, int index, float fraction);
// One step of a ship's self-repair cycle (message type 23).
void dunSubsystemFaultTick(SceneItem *ship);
// The value halved once for every whole step in the amount: unchanged when
// the step is greater than the amount, 0 when the step is 0.
int32_t dunHalvePerMultiple(int32_t value, int32_t amount, int32_t step);

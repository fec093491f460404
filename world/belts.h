// Asteroid belts, rock and mine fields.
#pragma once

struct SceneItem;

void dunUpdateBelts();
// Puts a belt-tracked ship somewhere new instead of deleting it.
void dunRecycleBeltObject(SceneItem *item);
// One asteroid around the player's ship (the replacement of a deleted one).
void dunCreateAsteroid();
void dunClearBeltTracking();

// The universe of star systems: the current system and its services.
#pragma once

#include <cstdint>

struct SceneItem;
struct BodyRecord;

// The star system the player is in; new objects belong to it.
extern uint16_t dunCurrentSystem;
// Builds the stars, bodies and lanes of the universe.
void dunCreateUniverse();
// The star system a jump of the player's ship goes to.
extern int32_t dunPendingStarSystem;

// A body of a star system: by id when the text starts with a digit, else by
// name among the system's bodies; null when there is none.
BodyRecord *dunFindBody(int32_t system, const char *text);
// The object of a named body of the current system (a name starting with
// a digit is a body number), or null.
SceneItem *dunFindNamedBody(const char *text);
// A field of rocks (kind 1) or mines (kind 0) round a centre; the centre
// object.
struct Vec3;
SceneItem *dunCreateSolarBody(int kind, Vec3 centre, Vec3 extents, float spread, int density, int count);
// One free object of a model.
SceneItem *dunCreateFreeObject(int ignored, void *model);
// The name of the first named star of a system, or an empty text.
const char *dunStarNameByCode(int32_t system);
// Objects of other systems than the new one are parked (flag 0x10) or
// deleted, the new system's parked objects restored.
struct Vec3d;
void dunClearSystemObjects(uint16_t system, const Vec3d *parkOffset, const Vec3d *restoreOffset);
// Moves the player's ship to the star's system, at the arrival body.
void MoveToSystem(const char *star, const char *body);
// Marks a star, and a named planet of it, as places of the mission.
void MissionifyStar(const char *star);
void MissionifyPlanet(const char *star, const char *planet);

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
// The name of the first named star of a system, or an empty text.
const char *dunStarNameByCode(int32_t system);

// Asteroid belts, rock and mine fields.
#pragma once

#include <cstdint>

// The counts of the two belt tables.
extern int32_t dunBeltCount;
extern int32_t dunBeltObjectCount;

// The counts of the belt tables, set to 0 at game start.
#pragma once

#include <cstdint>

// Belts registered, and objects the belt check follows.
extern int32_t dunBeltCount;
extern int32_t dunBeltObjectCount;

// Object records and their fixed pools.
#pragma once

// Empties every pool and seeds the random generator.
void dunResetPools();

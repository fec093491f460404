// The runtime's 15-bit random generator: one shared state, seed 1 at start
// (multiplier 214013, increment 2531011, result bits 16-30).
#pragma once

int RuntimeRand();
void RuntimeSrand(unsigned seed);

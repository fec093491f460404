// The two random sources: the game's shift-register generator and the
// runtime's 15-bit generator.
#pragma once

#include <cstdint>

extern uint32_t dunRandomState;
// The next 32-bit word of the shift-register generator.
uint32_t dunRandom32();
// The runtime's 15-bit generator (0..32767), one state for the whole program.
int dunRand();
void dunSrand(uint32_t seed);

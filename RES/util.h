// Shared utilities: zero-filled blocks, the two random sources.
#pragma once

#include <cstddef>
#include <cstdint>

void *dunAlloc(size_t n);
void dunFree(void *p);

// The game's shift-register generator and its state.
extern uint32_t dunRandomState;
uint32_t dunRandom32();

// The runtime's 15-bit generator (0..32767), one shared state, seed 1.
int dunRand15();
void dunSeedRand15(uint32_t seed);

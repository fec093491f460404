// The high-resolution counter: 64 bits, never wrapping in practice.
#pragma once

#include <cstdint>

uint64_t osCounter();
uint64_t osCounterFrequency();  // ticks per second

// Gives the processor away for about `ms` milliseconds.
void osSleep(uint32_t ms);

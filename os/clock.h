// The high-resolution counter: 64 bits, never wrapping in practice.
#pragma once

#include <cstdint>

uint64_t osCounter();
uint64_t osCounterFrequency();  // ticks per second

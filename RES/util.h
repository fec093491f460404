// Shared utilities: zero-filled blocks.
#pragma once

#include <cstddef>

// A zero-filled block of n bytes (null when the heap is exhausted).
void *dunAlloc(size_t n);
void dunFree(void *p);

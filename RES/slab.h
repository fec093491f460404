// Slab archives: packed folders of the data tree, with the loose file as
// fallback.
#pragma once

#include <cstdint>
#include <cstdio>

// `slab` is the slab's name ("scripts"); null means the loose file only.
FILE *slabOpen(const char *slab, const char *path, uint32_t *sizeOut);
void slabClose(FILE *stream);

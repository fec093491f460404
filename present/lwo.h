// LightWave object models loaded for the resource manager.
#pragma once

#include <cstdint>

void *LwoLoadModel(const char *name, void *block, uint32_t *size);
void *LwoLoadShapeWithLod(void *model);
void *LwoLoadWireframe(const char *name, void *block, uint32_t *size);

// Resource converters for 3D models kept in the rendering library's own
// formats: DAT2BRM (library model datafiles) and ASC2BRM (ASCII mesh
// exports). Each loads one model and registers it with the library, so the
// library must have been begun; otherwise nothing loads.
#pragma once

#include <cstdint>

void *LoadDatModel(const char *name, void *block, uint32_t *size);
void *LoadAsciiMeshModel(const char *name, void *block, uint32_t *size);

// Font formats and text resources: the converters and size queries the
// resource manager calls for its font, text and sound types.
#pragma once

#include <cstdint>

uint32_t FntFontSize(const char *name);
void *LoadFntFont(const char *name, void *block, uint32_t *size);
uint32_t FonFontSize(const char *name);
void *LoadFonFont(const char *name, void *block, uint32_t *size);
uint32_t VectorFontSize(const char *name);
void *vfontLoad(const char *name, void *block, uint32_t *size);
// File length + 1 (0 when the file doesn't open).
uint32_t TextFileSize(const char *name);
// The whole file into the block with a NUL after it; size out = file length.
void *LoadTextFile(const char *name, void *block, uint32_t *size);
uint32_t SoundResourceSize(const char *name);
void *LoadSoundResource(const char *name, void *block, uint32_t *size);

// Interim bodies of this subsystem's operations whose modules are not built
// yet. Each says so once in the log.
#include <cstdlib>

#include "app/interim.h"
#include "RES/font.h"
#include "RES/graphics.h"
#include "RES/picture.h"
#include "RES/resman.h"
#include "RES/slab.h"
#include "RES/text.h"
#include "RES/util.h"
#include "RES/vecmath.h"
#include "app/system.h"

void resmanInit() { PENDING_ONCE("resmanInit"); }
void resmanMark() { PENDING_ONCE("resmanMark"); }
void resmanRelease() { PENDING_ONCE("resmanRelease"); }
void resmanShutdown() { PENDING_ONCE("resmanShutdown"); }
ResourceHandle *resmanRegisterLoad(const char *, int) {
    PENDING_ONCE("resmanRegisterLoad");
    return nullptr;
}
void *resmanHandleData(ResourceHandle *) {
    PENDING_ONCE("resmanHandleData");
    return nullptr;
}

// The loose file only, until slabs are read.
FILE *slabOpen(const char *, const char *path, uint32_t *sizeOut) {
    PENDING_ONCE("slabOpen");
    FILE *f = OpenGameFile(path, "rb");
    if (f && sizeOut) {
        std::fseek(f, 0, SEEK_END);
        *sizeOut = (uint32_t)std::ftell(f);
        std::fseek(f, 0, SEEK_SET);
    }
    return f;
}
void slabClose(FILE *stream) {
    PENDING_ONCE("slabClose");
    if (stream) std::fclose(stream);
}

bool pcxLoadPalette(const char *, uint8_t *) {
    PENDING_ONCE("pcxLoadPalette");
    return false;
}
bool pcxDecode(const char *, Surface *, uint8_t *, uint8_t *) {
    PENDING_ONCE("pcxDecode");
    return false;
}

BitmapFont *LoadGlyphFont(BitmapFont *font, const char *) {
    PENDING_ONCE("LoadGlyphFont");
    return font;
}
bool fontMake(const char *, BitmapFont *) {
    PENDING_ONCE("fontMake");
    return false;
}

void dunDrawText(Surface *, BitmapFont *, const char *, int, int, int, int, int, int, int) {
    PENDING_ONCE("dunDrawText");
}

void BuildRowOffsetTable() { PENDING_ONCE("BuildRowOffsetTable"); }
void ClearSurface(Surface *, int) { PENDING_ONCE("ClearSurface"); }
void FillRect(Surface *, int, int, int, int, int) { PENDING_ONCE("FillRect"); }
void SaveScreenshotPcx(Surface *) { PENDING_ONCE("SaveScreenshotPcx"); }

void *dunAlloc(size_t size) {
    PENDING_ONCE("dunAlloc");
    return std::calloc(1, size ? size : 1);
}
void dunFree(void *block) {
    PENDING_ONCE("dunFree");
    std::free(block);
}
void WorldRecentreStep() { PENDING_ONCE("WorldRecentreStep"); }
void InitSineTable() { PENDING_ONCE("InitSineTable"); }

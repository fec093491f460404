// Interim bodies of this subsystem's operations whose modules are not built
// yet. Each says so once in the log; those the start-up depends on already
// behave as their module will.
#include <cstdio>
#include <cstring>

#include "RES/font.h"
#include "RES/util.h"
#include "RES/resman.h"
#include "RES/surface.h"
#include "app/log.h"
#include "app/system.h"

#define PENDING_ONCE(name)                         \
    do {                                           \
        static bool said = false;                  \
        if (!said) {                               \
            said = true;                           \
            dunDebugPrint("not built yet: " name); \
        }                                          \
    } while (0)

// ---- Fonts, texts and sounds.
static uint32_t FileLength(const char *name) {
    FILE *f = OpenGameFile(name, "rb");
    if (!f) return 0;
    std::fseek(f, 0, SEEK_END);
    long n = std::ftell(f);
    std::fclose(f);
    return n > 0 ? uint32_t(n) : 0;
}

uint32_t FntFontSize(const char *) {
    PENDING_ONCE("FntFontSize");
    return 0;
}
void *LoadFntFont(const char *, void *, uint32_t *) {
    PENDING_ONCE("LoadFntFont");
    return nullptr;
}
uint32_t FonFontSize(const char *) {
    PENDING_ONCE("FonFontSize");
    return 0;
}
void *LoadFonFont(const char *, void *, uint32_t *) {
    PENDING_ONCE("LoadFonFont");
    return nullptr;
}
uint32_t VectorFontSize(const char *) {
    PENDING_ONCE("VectorFontSize");
    return 10000;
}
void *vfontLoad(const char *, void *, uint32_t *) {
    PENDING_ONCE("vfontLoad");
    return nullptr;
}
uint32_t TextFileSize(const char *name) {
    PENDING_ONCE("TextFileSize");
    FILE *f = OpenGameFile(name, "rb");
    if (!f) return 0;
    std::fclose(f);
    return FileLength(name) + 1;
}
void *LoadTextFile(const char *name, void *block, uint32_t *size) {
    PENDING_ONCE("LoadTextFile");
    if (!block || !size || !*size) return nullptr;
    FILE *f = OpenGameFile(name, "rb");
    if (!f) return nullptr;
    size_t n = std::fread(block, 1, *size - 1, f);
    std::fclose(f);
    static_cast<char *>(block)[n] = 0;
    *size = uint32_t(n);
    return block;
}
uint32_t SoundResourceSize(const char *) {
    PENDING_ONCE("SoundResourceSize");
    return 64;
}
void *LoadSoundResource(const char *, void *, uint32_t *) {
    PENDING_ONCE("LoadSoundResource");
    return nullptr;
}

// ---- 3D models: they need the rendering library's model records.
void *LoadDatModel(const char *name, void *, uint32_t *) {
    PENDING_ONCE("LoadDatModel");
    dunFileAccessLog(name);
    return nullptr;
}
void *LoadAsciiModel(const char *, void *, uint32_t *) {
    PENDING_ONCE("LoadAsciiModel");
    return nullptr;
}

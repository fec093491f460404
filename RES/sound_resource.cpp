// Sound resources: one sound slot filled from a wave file.
#include <new>

#include "RES/font.h"
#include "platform/sound.h"

uint32_t SoundResourceSize(const char *) { return (uint32_t)(sizeof(SoundSlot) + alignof(SoundSlot) - 1); }

void *LoadSoundResource(const char *name, void *block, uint32_t *size) {
    if (!block || !SoundEnabled) return nullptr;
    uintptr_t a = ((uintptr_t)block + alignof(SoundSlot) - 1) & ~(uintptr_t)(alignof(SoundSlot) - 1);
    if (size && *size && (size_t)*size < (a - (uintptr_t)block) + sizeof(SoundSlot)) return nullptr;
    SoundSlot *slot = new ((void *)a) SoundSlot();
    SoundCreateBuffer(slot, name);
    if (size) *size = SoundResourceSize(name);
    return slot;
}

// Sound effect slots.
#pragma once

#include <cstdint>

struct SoundSlot;
struct SceneItem;

extern uint8_t SoundEnabled;

// The slot of the table at an index (0..69), or null.
SoundSlot *SoundGetSlot(int index);
void SoundSetVolume(SoundSlot *slot, int32_t volume);
void SoundSetFrequency(SoundSlot *slot, int32_t hz);
void SoundSetPan(SoundSlot *slot, int32_t pan);
void SoundPlay(int index, int32_t volume, int32_t frequency, int32_t pan, uint8_t loop);
double SoundPositionFromCamera(SceneItem *object, int32_t *volume, int32_t *pan);
void SoundParamsForObject(SceneItem *object, int32_t *frequency, float scale);

void SoundInit();
void SoundShutdown();
// Loads the slots the game keeps for the whole run.
void SoundLoadAll();
void SoundResumeAll();
// Set once game initialisation is over (the loader then keeps loads per mission).
extern uint8_t SoundInitDone;

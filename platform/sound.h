// Sound effect slots.
#pragma once

#include <cstdint>

void SoundInit();
void SoundShutdown();
// Loads the slots the game keeps for the whole run.
void SoundLoadAll();
// Volume in hundredths of a decibel (0 full, -10000 silent).
void SoundSetVolume(int slot, int32_t volume);
void SoundResumeAll();
// Set once game initialisation is over (the loader then keeps loads per mission).
extern uint8_t SoundInitDone;

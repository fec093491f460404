// The seventy sound-effect slots and the speech slot, played through the
// mixer of the operating-system layer.
#pragma once

#include <cstdint>

#include "RES/vecmath.h"

struct WaveFormat;

struct SoundSlot {
    const char *name = nullptr;  // "vek\resource\sounds\<name>.wav"; null = no file
    uint32_t keep = 0;     // low byte 1: loaded at start-up into a static buffer
    SoundSlot *next = nullptr;  // list of loaded slots
    uint8_t *waveData = nullptr;  // only while loading
    uint32_t size = 0;     // bytes of sample data
    WaveFormat *format = nullptr;  // only while loading
    int32_t buffer = 0;    // the mixer voice; 0 = not loaded
    uint32_t spare[2] = {0, 0};
    int32_t baseFrequency = 0; // the voice's own rate in Hz
    int32_t volume = 0;        // hundredths of a decibel, as last asked
    int32_t frequency = 0;     // Hz, 0 = the file's own rate, as last asked
    int32_t pan = 0;           // -10000 .. 10000, as last asked
    uint8_t loop = 0;
    uint8_t playing = 0;
    uint8_t paused = 0;
    uint8_t releaseMark = 0;
    uint8_t inHardware = 0;
    uint8_t speech = 0;           // a dialogue's speech sample
    uint32_t bytesPerSecond = 0;  // of the sample data: times a spoken line
    uint32_t owner = 0;           // the object an attached sound follows (a world handle); 0 none
};

constexpr int kSoundSlots = 70;

extern SoundSlot SoundSlots[kSoundSlots];
extern SoundSlot SpeechSlot;
extern SoundSlot *SoundListHead;
extern SoundSlot *SoundListTail;
extern uint8_t SoundEnabled;
extern float MasterVolume;     // 0 .. 100
extern float DialogueBalance;  // -0.1 .. 0.1
extern uint8_t SoundInitDone;  // set at the end of start-up

void SoundInit();
void SoundLoad(int index);
void SoundLoadAll();
uint32_t SoundCreateBuffer(SoundSlot *slot, const char *path);
void SoundSetVolume(SoundSlot *slot, int32_t volume);
void SoundSetFrequency(SoundSlot *slot, int32_t hz);
void SoundSetPan(SoundSlot *slot, int32_t pan);
void SoundStart(SoundSlot *slot, int32_t volume, int32_t frequency, int32_t pan, uint8_t loop);
void SoundStartFaded(SoundSlot *slot, int32_t volume, int32_t frequency, int32_t pan, uint8_t loop);
void SoundStartFadedIn(SoundSlot *slot, int32_t volume, int32_t frequency, int32_t pan, uint8_t loop);
void SoundPlay(int index, int32_t volume, int32_t frequency, int32_t pan, uint8_t loop);
void SoundPlayVaried(int index, int32_t volume, int32_t frequency, int32_t pan, uint8_t loop, int32_t spread);
void SoundRestart(SoundSlot *slot);
bool SoundIsPlaying(SoundSlot *slot);
void SoundStop(SoundSlot *slot);
void SoundStopIndex(int index);
void SoundStopAll();
void SoundPauseAll();
void SoundResumeAll();
void SoundRelease(SoundSlot *slot);
void SoundReleaseAll();
void SoundShutdown();
void SoundReleaseMarked();
SoundSlot *SpeechPlayFile(const char *path);
// Centiseconds a loaded slot's sample plays at its own rate; 0 when unknown.
int32_t SoundDurationCs(const SoundSlot *slot);
void SpeechRelease();

// The volume a slot's stored volume is played at under `MasterVolume`.
int32_t SoundScaledVolume(int32_t volume);

// The slot of the table at an index (0..69), or null.
SoundSlot *SoundGetSlot(int index);

// The arithmetic of positional sound on plain places (the world turns its
// objects into them, world/sound_place.h): the world position,
// velocity and orientation (rows are the axes) of the source and the camera,
// their star systems and the player's.
struct SoundPlace {
    Vec3d position;
    Vec3 velocity;
    Mat4 orientation;
    int32_t starSystem;
};
double SoundPlacePosition(const SoundPlace *source, const SoundPlace *camera, int32_t playerSystem,
                          int32_t *volume, int32_t *pan, Vec3 *direction);
void SoundPlaceParams(const SoundPlace *source, const SoundPlace *camera, int32_t playerSystem, bool sourceIsCamera,
                      int32_t *frequency, float scale);

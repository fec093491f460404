// Our sound mixer on the SDL audio device: voices of PCM sample data with a
// volume in hundredths of a decibel, a pan, a playback rate, looping, a
// play status and a position, plus streaming voices fed by the film decoder.
// The device callback touches nothing but the mixer's state, and always under
// the mixer's lock. Without a device the mixer runs silent: voices still play
// out in real time so that their status changes as it would with sound.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr int kMixRate = 44100;   // output frames per second, 16-bit stereo
constexpr int kMixVoices = 96;    // voices alive at once

enum class AudioMode {
    Device,  // an SDL device pulls mixed audio on its own thread
    Clock,   // no device: voices advance with the wall clock, nothing is heard
    Manual,  // nothing advances except through osAudioMix (tests, tools)
};

// Opens the device (or falls back to Clock). With `manual` no device is
// opened at all. Returns the mode chosen. Opening again closes first.
AudioMode osAudioOpen(bool manual);
void osAudioClose();
AudioMode osAudioMode();
bool osAudioIsOpen();

// Mixes `frames` stereo frames of the playing voices into `out` (interleaved
// left, right) and advances them. Used by the device callback; tests and
// benchmarks call it directly in Manual mode.
void osAudioMix(int16_t *out, int frames);

// A voice over a copy of `bytes` of PCM (8-bit unsigned or 16-bit signed,
// one or two channels, any rate). Returns its handle (> 0), or 0 when the
// format is not PCM the mixer takes or no voice is free.
int osVoiceCreate(const void *pcm, uint32_t bytes, int channels, int bits, int rate);
void osVoiceDestroy(int voice);
int osVoiceNativeRate(int voice);

void osVoiceSetVolume(int voice, int32_t centibels);   // 0 full .. -10000 silent
int32_t osVoiceGetVolume(int voice);
void osVoiceSetPan(int voice, int32_t pan);             // -10000 left .. 10000 right
int32_t osVoiceGetPan(int voice);
void osVoiceSetFrequency(int voice, int32_t hz);        // 0: the data's own rate
int32_t osVoiceGetFrequency(int voice);
// Starts playing from the current position.
void osVoicePlay(int voice, bool loop);
// Stops; the position stays where it was.
void osVoiceStop(int voice);
void osVoiceSetPosition(int voice, uint32_t byteOffset);
uint32_t osVoiceGetPosition(int voice);
bool osVoiceIsPlaying(int voice);

// Streaming voices: signed 16-bit frames queued by the caller and played once.
// They play as soon as frames are queued.
int osStreamCreate(int channels, int rate);
void osStreamPush(int voice, const int16_t *frames, int count);
// Frames still queued, at the stream's own rate.
int osStreamQueued(int voice);
void osStreamClear(int voice);

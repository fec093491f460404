// Sample films for the data generator (not part of the game).
#pragma once

#include <cstdint>

// Writes a short MPEG-1 + MP2 or AVI (MS Video 1 + PCM) sample film with the
// libraries' own encoders: `frames` frames of width x height RGB24 from the
// callback, and mono 16-bit sound at `rate` from the other callback.
using FilmPictureFn = void (*)(int frame, uint8_t *rgb, int pitch, void *user);
using FilmSoundFn = void (*)(int64_t firstSample, int16_t *out, int count, void *user);
bool osFilmWrite(const char *hostPath, const char *container, int width, int height, int fps, int frames,
                 int rate, FilmPictureFn picture, FilmSoundFn sound, void *user);

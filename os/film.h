// Film decoding on FFmpeg: Smacker, MPEG-1, AVI and whatever else the
// libraries probe. Frames come out as 8-bit indices with a 256-entry palette
// (Smacker) or as RGB; the film's sound goes into a streaming voice of our
// mixer while the frames are decoded.
#pragma once

#include <cstddef>
#include <cstdint>

struct OsFilm;

struct OsFilmInfo {
    int width;
    int height;
    int frames;            // frame count from the container; 0 when unknown
    int64_t frameMicros;   // time from one frame to the next
    bool paletted;         // frames are 8-bit indices into `palette`
    int audioTracks;
};

// Opens a film by host path. With `sound` the first audio track is decoded
// into the mixer (when the mixer is open). Null when the file is missing or
// holds no decodable video. The decoders trust a container's frame count:
// the game checks a Smacker header before it opens a film (platform/smack.h).
OsFilm *osFilmOpen(const char *hostPath, bool sound);
// The same over bytes in memory (copied); used by the fuzz targets.
OsFilm *osFilmOpenMemory(const uint8_t *data, size_t size, bool sound = false);
void osFilmClose(OsFilm *film);
const OsFilmInfo *osFilmGetInfo(const OsFilm *film);

// Decodes the next video frame. False at the end of the film or on an error
// (the film is then finished).
bool osFilmNextFrame(OsFilm *film);
// Frames decoded since the open or the last rewind.
int osFilmFramesDecoded(const OsFilm *film);
// Back to the first frame (the next osFilmNextFrame gives frame 0).
bool osFilmRewind(OsFilm *film);

// The last decoded frame. Paletted films: 8-bit indices; others: RGB24.
const uint8_t *osFilmPixels(const OsFilm *film, int *pitch);
// 256 entries of red, green, blue (paletted films); and whether the last
// decoded frame brought a palette that differs from the one before.
const uint8_t *osFilmPalette(const OsFilm *film);
bool osFilmPaletteChanged(const OsFilm *film);

// Converts the last frame into RGB565 at the film's own size.
void osFilmToRgb565(const OsFilm *film, uint8_t *dst, int pitch);

// Microseconds of a steady clock, for film timing.
int64_t osFilmTimeMicros();

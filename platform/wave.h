// RIFF WAVE reading: the format record and the sample bytes of a wave file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

// Result codes; 0 is success, other values are the file layer's own errors.
enum : uint32_t {
    kWaveOk = 0,
    kWaveNoMemory = 0xE000,
    kWaveCannotOpen = 0xE100,
    kWaveNotWave = 0xE101,
    kWaveBadFormat = 0xE102,
    kWaveCorrupt = 0xE103,
    kWaveChunkNotFound = 265,  // descending found no chunk of the asked name
};

// The format record handed back: the 16 bytes of the "fmt " chunk, the extra
// count (0 for PCM) and that many extra bytes after it.
struct WaveFormat {
    uint16_t formatTag;
    uint16_t channels;
    uint32_t samplesPerSec;
    uint32_t avgBytesPerSec;
    uint16_t blockAlign;
    uint16_t bitsPerSample;
    uint16_t extraSize;
    uint8_t extra[];  // extraSize bytes
};
constexpr uint16_t kWaveFormatPcm = 1;

// A chunk found by descending: its id, the size of its data, the form type of
// a "RIFF" chunk, and where its data starts in the file.
struct WaveChunk {
    uint32_t id;
    uint32_t size;
    uint32_t form;
    uint32_t dataOffset;
};

// An open wave file: the stream and its length.
struct WaveFile {
    FILE *stream;
    uint32_t length;
};

uint32_t WaveOpenFile(const char *name, WaveFile **file, WaveFormat **format, WaveChunk *riff);
uint32_t WaveStartDataRead(WaveFile *file, WaveChunk *data, const WaveChunk *riff);
uint32_t WaveReadFile(WaveFile *file, uint32_t wanted, uint8_t *buffer, WaveChunk *data, uint32_t *read);
void WaveCloseFile(WaveFile *file);
// Reads a whole wave file. The caller frees the record and the samples with
// WaveFree. `unused` is cleared and never filled.
uint32_t WaveLoadFile(const char *name, uint32_t *size, uint32_t *unused, WaveFormat **format, uint8_t **samples);
// The same over a stream the caller opened (and closes).
uint32_t WaveLoadStream(FILE *stream, uint32_t *size, WaveFormat **format, uint8_t **samples);
void WaveFree(void *block);

// Slab archives: many files of one folder packed in "vek\resource\<slab>.slb".
// A missing slab, a missing entry or the "noslab" option falls back to the
// loose file, so the game runs unchanged from an unpacked tree.
//
// Layout (little-endian): u32 unused, u32 entryCount, u32 indexOffset; at
// indexOffset entryCount entries of 72 bytes: char[64] name (a backslash,
// then the path below the slab's folder), u32 dataOffset, u32 dataSize.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

constexpr size_t SlabHeaderBytes = 12;
constexpr size_t SlabEntryBytes = 72;
constexpr size_t SlabNameBytes = 64;

// A stream positioned at the first byte of the file's data, from the slab
// `slab` (null: the loose file only) or else the loose file `path`; null when
// neither opens. `sizeOut` (may be null) receives the data's length.
FILE *slabOpen(const char *slab, const char *path, uint32_t *sizeOut);
void slabClose(FILE *stream);
// The length of the entry in the slab; 0 when the slab or entry is missing.
uint32_t slabEntrySize(const char *slab, const char *path);
// Reads the entry's data into `buffer` (at most `capacity` bytes) and returns
// it; null when the slab or the entry is missing or the entry doesn't fit, so
// that the caller falls back to the loose file.
void *slabReadEntry(const char *slab, const char *path, void *buffer, size_t capacity);

// Index search over a slab held in memory (the reader's core): the data
// offset and size of the first entry whose name matches `entry` (ASCII case
// folded). Stops at the index's end; false when not found.
bool slabFindEntryBytes(const uint8_t *file, size_t fileSize, const char *entry, uint32_t *dataOffset,
                        uint32_t *dataSize);

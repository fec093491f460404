// The Smacker player as the game calls it: open a film, wait for the next
// frame to fall due, decode it into a buffer with a pitch, step, jump, remap
// its colours, close. Decoding is done by the film layer.
#pragma once

#include <cstdint>

#include "core/bytes.h"

struct OsFilm;

// The player's header: the fields the game reads, then our own state.
struct Smack {
    uint32_t Width;
    uint32_t Height;
    uint32_t Frames;
    uint32_t NewPalette;     // the current frame brings a palette
    uint8_t Palette[768];    // red, green, blue
    uint32_t FrameNum;       // the current frame, from 0
    void *extra;             // the caller's spare field

    OsFilm *film;
    int decodedFrame;        // frame held by the film layer, -1 none
    int64_t frameMicros;
    int64_t dueAt;           // clock time the current frame falls due
    bool shownOnce;          // a frame has been done since the open or a jump
    bool broken;             // a frame did not decode: the film cannot go on
    // Where SmackDoFrame writes.
    uint8_t *target;
    int32_t targetLeft, targetTop, targetPitch, targetHeight;
    uint32_t targetFlags;
    bool remapValid;
    uint8_t remap[256];
};

constexpr uint32_t kSmackAllTracks = 0xFE000;
constexpr uint32_t kSmackBufferRgb565 = 0xC0000000u;

// A Smacker header (the film's first 16 bytes at least) whose frame count or
// trees the file cannot hold: every frame takes at least five bytes of
// tables and the trees follow them, so a header claiming more is lying, and
// the decoders would build an index for millions of frames, or take memory
// for trees of a gigabyte, before finding out. Other films pass.
bool SmackHeaderPlausible(ByteView head, uint64_t fileSize);
// False when the head holds the header's table of frame sizes and the
// tables, trees and frames do not all fit in the file: a film cut short.
bool SmackFramesFit(ByteView head, uint64_t fileSize);
// The first check on a film file by host path; false when it does not open
// (then `opened`, when given, is false too). `whole`, when given, takes the
// second.
bool FilmFilePlausible(const char *hostPath, bool *opened = nullptr, bool *whole = nullptr);
// What a film refused by that check is told in the log.
extern const char kImplausibleFilm[];

Smack *SmackOpen(const char *path, uint32_t flags, int32_t extraBuffer);
void SmackClose(Smack *smk);
// 0 when the current frame is due.
int SmackWait(Smack *smk);
// Where the decoded frames go: at (`left`, `top`) of a buffer of `height`
// rows of `pitch` bytes; with kSmackBufferRgb565 as 16-bit pixels. What falls
// outside the buffer is left out.
void SmackToBuffer(Smack *smk, int32_t left, int32_t top, int32_t pitch, int32_t height, void *pixels,
                   uint32_t flags);
void SmackDoFrame(Smack *smk);
void SmackNextFrame(Smack *smk);
void SmackGoto(Smack *smk, uint32_t frame);
// From now on the decoded indices refer to the nearest entries of `palette`
// (`count` entries of `stride` bytes: red, green, blue, ...).
void SmackColorRemap(Smack *smk, const uint8_t *palette, int count, int stride);

// The clock the player waits on (microseconds); tests replace it.
using SmackClockFn = int64_t (*)();
void SmackSetClock(SmackClockFn clock);

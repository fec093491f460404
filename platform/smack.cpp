#include "platform/smack.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "core/files.h"
#include "core/log.h"
#include "os/audio.h"
#include "os/film.h"
#include "os/paths.h"
#include "platform/sound.h"

static SmackClockFn gClock = osFilmTimeMicros;

void SmackSetClock(SmackClockFn clock) { gClock = clock ? clock : osFilmTimeMicros; }

// Brings the film layer to frame `n` (decoding forward, or from the start
// when it lies behind) and takes its palette.
static bool Reach(Smack *smk, int n) {
    if (smk->decodedFrame > n) {
        if (!osFilmRewind(smk->film)) {
            smk->broken = true;
            return false;
        }
        smk->decodedFrame = -1;
    }
    bool newPalette = false;
    while (smk->decodedFrame < n) {
        if (!osFilmNextFrame(smk->film)) {
            smk->broken = true;
            return false;
        }
        ++smk->decodedFrame;
        newPalette = newPalette || osFilmPaletteChanged(smk->film);
    }
    smk->NewPalette = newPalette;
    if (newPalette) {
        std::memcpy(smk->Palette, osFilmPalette(smk->film), 768);
        smk->remapValid = false;
    }
    return true;
}

namespace {

constexpr size_t kSmackFrameTable = 104;  // the frame sizes start here
constexpr uint32_t kSmackRingFrame = 1;  // flags: one more frame, the ring frame

// The frames the tables list (with the ring frame); false when the head is
// not a Smacker header.
bool SmackTableFrames(ByteView head, uint64_t *frames) {
    uint32_t n = 0, flags = 0;
    if (!BytesMatch(head, 0, "SMK", 3) || !ReadU32Le(head, 12, &n) || !ReadU32Le(head, 20, &flags)) return false;
    *frames = uint64_t(n) + (flags & kSmackRingFrame ? 1 : 0);
    return true;
}

}  // namespace

bool SmackHeaderPlausible(ByteView head, uint64_t fileSize) {
    uint32_t frames, trees = 0;
    if (!BytesMatch(head, 0, "SMK", 3) || !ReadU32Le(head, 12, &frames)) return true;
    ReadU32Le(head, 52, &trees);
    return uint64_t(frames) * 5 + kSmackFrameTable + trees <= fileSize;
}

bool SmackFramesFit(ByteView head, uint64_t fileSize) {
    uint64_t listed = 0;
    uint32_t trees = 0;
    if (!SmackTableFrames(head, &listed) || !ReadU32Le(head, 52, &trees)) return true;
    if (!BytesHave(head, kSmackFrameTable, size_t(listed) * 4)) return true;
    uint64_t total = kSmackFrameTable + listed * 5 + trees;
    for (uint64_t i = 0; i < listed; ++i) {
        uint32_t size = 0;
        ReadU32Le(head, kSmackFrameTable + size_t(i) * 4, &size);
        total += size & ~3u;
    }
    return total <= fileSize;
}

const char kImplausibleFilm[] = "its header claims more frames or trees than the file can hold";

bool FilmFilePlausible(const char *hostPath, bool *opened, bool *whole) {
    FILE *in = hostPath ? std::fopen(hostPath, "rb") : nullptr;
    if (opened) *opened = in != nullptr;
    if (whole) *whole = true;
    if (!in) return false;
    // The header and, when the file holds it, the table of frame sizes.
    std::vector<uint8_t> head(kSmackFrameTable);
    size_t n = std::fread(head.data(), 1, head.size(), in);
    long size = std::fseek(in, 0, SEEK_END) == 0 ? std::ftell(in) : -1;
    uint64_t frames = 0;
    const uint64_t fileSize = size < 0 ? 0 : uint64_t(size);
    if (n == kSmackFrameTable && SmackTableFrames(BytesOf(head.data(), n), &frames) &&
        kSmackFrameTable + frames * 4 <= fileSize && std::fseek(in, long(kSmackFrameTable), SEEK_SET) == 0) {
        head.resize(kSmackFrameTable + size_t(frames) * 4);
        n += std::fread(head.data() + kSmackFrameTable, 1, size_t(frames) * 4, in);
    }
    std::fclose(in);
    const ByteView bytes = BytesOf(head.data(), n);
    if (whole) *whole = SmackFramesFit(bytes, fileSize);
    return SmackHeaderPlausible(bytes, fileSize);
}

Smack *SmackOpen(const char *path, uint32_t flags, int32_t) {
    if (!path) return nullptr;
    std::string host = osResolvePath(path, false);
    bool opened, whole;
    if (!FilmFilePlausible(host.c_str(), &opened, &whole)) {
        if (opened) RefuseGameFile(path, kImplausibleFilm);
        return nullptr;
    }
    // A film cut short plays as far as its frames go.
    if (!whole) dunDebugPrintf("Short data file %s: its frames run past its end; it plays as far as they go", path);
    bool sound = (flags & kSmackAllTracks) && SoundEnabled && osAudioIsOpen();
    OsFilm *film = osFilmOpen(host.c_str(), sound);
    if (!film) {
        RefuseGameFile(path, "no film the decoders can read");
        return nullptr;
    }
    const OsFilmInfo *info = osFilmGetInfo(film);
    Smack *smk = new Smack{};
    smk->film = film;
    smk->Width = uint32_t(info->width);
    smk->Height = uint32_t(info->height);
    smk->Frames = uint32_t(info->frames);
    smk->frameMicros = info->frameMicros;
    smk->decodedFrame = -1;
    if (!Reach(smk, 0)) {
        // Not one frame decodes: as good as no film.
        RefuseGameFile(path, "not one frame of it decodes");
        osFilmClose(film);
        delete smk;
        return nullptr;
    }
    if (smk->Frames == 0) smk->Frames = 1;
    smk->FrameNum = 0;
    smk->dueAt = gClock();
    return smk;
}

void SmackClose(Smack *smk) {
    if (!smk) return;
    osFilmClose(smk->film);
    delete smk;
}

int SmackWait(Smack *smk) {
    if (!smk) return 0;
    return gClock() >= smk->dueAt ? 0 : 1;
}

void SmackToBuffer(Smack *smk, int32_t left, int32_t top, int32_t pitch, int32_t height, void *pixels,
                   uint32_t flags) {
    if (!smk) return;
    smk->target = static_cast<uint8_t *>(pixels);
    smk->targetLeft = left;
    smk->targetTop = top;
    smk->targetPitch = pitch;
    smk->targetHeight = height;
    smk->targetFlags = flags;
}

void SmackColorRemap(Smack *smk, const uint8_t *palette, int count, int stride) {
    if (!smk || !palette || count <= 0 || stride < 3) return;
    for (int i = 0; i < 256; ++i) {
        const uint8_t *c = &smk->Palette[3 * i];
        int best = 0, bestDist = 1 << 30;
        for (int k = 0; k < count; ++k) {
            const uint8_t *p = palette + ptrdiff_t(k) * stride;
            int dr = c[0] - p[0], dg = c[1] - p[1], db = c[2] - p[2];
            int d = dr * dr + dg * dg + db * db;
            if (d < bestDist) {
                bestDist = d;
                best = k;
            }
        }
        smk->remap[i] = uint8_t(best);
    }
    smk->remapValid = true;
}

// Copies the decoded frame to the target, clipped to the target's rows and
// pitch: a film larger than its target never writes outside it.
void SmackDoFrame(Smack *smk) {
    if (!smk) return;
    if (smk->decodedFrame != int(smk->FrameNum) && !Reach(smk, int(smk->FrameNum))) return;
    if (!smk->shownOnce) smk->dueAt = gClock();
    smk->shownOnce = true;
    smk->dueAt += smk->frameMicros;
    if (!smk->target || smk->targetPitch <= 0) return;
    int pitch;
    const uint8_t *src = osFilmPixels(smk->film, &pitch);
    const OsFilmInfo *info = osFilmGetInfo(smk->film);
    const bool rgb = (smk->targetFlags & kSmackBufferRgb565) != 0;
    const int bpp = rgb ? 2 : 1;
    const int rowPixels = smk->targetPitch / bpp;
    int x0 = smk->targetLeft, y0 = smk->targetTop;
    int sx = 0, sy = 0, w = int(smk->Width), h = int(smk->Height);
    if (x0 < 0) {
        sx = -x0;
        w += x0;
        x0 = 0;
    }
    if (y0 < 0) {
        sy = -y0;
        h += y0;
        y0 = 0;
    }
    if (x0 + w > rowPixels) w = rowPixels - x0;
    if (y0 + h > smk->targetHeight) h = smk->targetHeight - y0;
    if (w <= 0 || h <= 0) return;
    const uint8_t *pal = smk->Palette;
    for (int y = 0; y < h; ++y) {
        uint8_t *d = smk->target + ptrdiff_t(y0 + y) * smk->targetPitch + ptrdiff_t(x0) * bpp;
        const uint8_t *s = src + ptrdiff_t(sy + y) * pitch;
        for (int x = 0; x < w; ++x) {
            uint8_t c;
            if (info->paletted) {
                c = s[sx + x];
                if (rgb) {
                    const uint8_t *e = &pal[3 * c];
                    uint16_t v = uint16_t((e[0] >> 3) << 11 | (e[1] >> 2) << 5 | (e[2] >> 3));
                    d[2 * x] = uint8_t(v);
                    d[2 * x + 1] = uint8_t(v >> 8);
                    continue;
                }
                d[x] = smk->remapValid ? smk->remap[c] : c;
            } else {
                const uint8_t *e = &s[3 * (sx + x)];
                uint16_t v = uint16_t((e[0] >> 3) << 11 | (e[1] >> 2) << 5 | (e[2] >> 3));
                if (rgb) {
                    d[2 * x] = uint8_t(v);
                    d[2 * x + 1] = uint8_t(v >> 8);
                } else {
                    d[x] = uint8_t(((e[0] >> 5) << 5) | ((e[1] >> 5) << 2) | (e[2] >> 6));
                }
            }
        }
    }
}

void SmackNextFrame(Smack *smk) {
    if (!smk) return;
    uint32_t next = smk->FrameNum + 1;
    if (next >= smk->Frames) next = 0;  // past the last frame the player wraps
    smk->FrameNum = next;
    smk->NewPalette = 0;
    Reach(smk, int(next));
}

void SmackGoto(Smack *smk, uint32_t frame) {
    if (!smk) return;
    if (frame >= smk->Frames) frame = smk->Frames - 1;
    smk->FrameNum = frame;
    smk->NewPalette = 0;
    smk->shownOnce = false;
    Reach(smk, int(frame));
}

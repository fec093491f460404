// Screenshots and frame captures: the surface as an 8-bit PCX picture, or a
// 24-bit TGA frame at 16 bits per pixel.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "RES/gfx2d.h"
#include "RES/gfx2d_detail.h"
#include "RES/picture.h"
#include "core/bytes.h"
#include "core/files.h"
#include "core/log.h"

using namespace gfx;

namespace {

const char kHeaderPicture[] = "vek\\resource\\art\\screens\\header.pcx";
const char kStandardPicture[] = "vek\\resource\\art\\tovstd.pcx";

// The header and palette of a PCX picture, read once and kept for the run.
struct KeptPicture {
    bool tried = false;
    bool found = false;
    uint8_t header[128];
    uint8_t palette[768];
};
KeptPicture gStandardPicture;
// The screenshots' header picture, loaded whole the first time it is asked
// for and kept for the run (null when it is not there).
struct KeptHeader {
    bool tried = false;
    PcxImage *image = nullptr;
} gHeaderPicture;
long gNextScreenshot = 0;
long gNextCapture = 0;

// Far more than a PCX of the screen's size.
constexpr size_t kKeptPictureLimit = 16u << 20;

const KeptPicture &Keep(KeptPicture &k, const char *name) {
    if (k.tried) return k;
    k.tried = true;
    uint8_t *file;
    size_t size;
    if (!ReadGameFile(name, &file, &size, kKeptPictureLimit)) return k;
    const ByteView bytes = BytesOf(file, size);
    ByteView palette;
    k.found = BytesCopy(bytes, 0, k.header, sizeof k.header) && BytesTail(bytes, sizeof k.palette, &palette) &&
              BytesCopy(palette, 0, k.palette, sizeof k.palette);
    std::free(file);
    return k;
}

const PcxImage *HeaderPicture() {
    if (!gHeaderPicture.tried) {
        gHeaderPicture.tried = true;
        gHeaderPicture.image = pcxLoad(kHeaderPicture);
    }
    return gHeaderPicture.image;
}

// Writes an 8-bit surface (its rows are the width apart) with the given
// header, or the default one, and a 768-byte palette.
bool WritePcx(const char *name, const Surface *s, const uint8_t *header, uint8_t palette[768], uint32_t flags = 0) {
    PcxImage *image = MakePcxImage(header, flags, s->pixels, uint32_t(s->width), uint32_t(s->height), palette);
    bool ok = pcxSave(name, image);
    pcxFree(image);
    return ok;
}

void PaletteTo768(const uint8_t *entries, uint8_t out[768]) {
    for (int i = 0; i < 256; i++)
        for (int c = 0; c < 3; c++) out[i * 3 + c] = entries[i * 4 + c];
}

// The next free name of a numbered series; numbering follows the run's own
// counter but never lands on a file that is already there.
void NextName(char *out, size_t size, long &counter, const char *extension) {
    for (;;) {
        std::snprintf(out, size, "%s\\t%05ld.%s", gScreenshotFolder, counter++, extension);
        if (!GameFileExists(out) || counter > 99999) return;
    }
}

// One frame of the capture mode: each RGB565 pixel as blue, green, red
// bytes, every second pixel of every second row in the quarter-size mode.
bool CaptureFrame(const Surface *s) {
    int step = optQuarter ? 2 : 1;
    int w = s->width / step, h = s->height / step;
    if (w <= 0 || h <= 0) return false;
    std::vector<uint8_t> data(size_t(w) * h * 3);
    tgaCaptureBgr(s->pixels, Stride(s), w, h, step, data.data());
    char name[kFolderBytes + 16];
    NextName(name, sizeof name, gNextCapture, "tga");
    if (!tgaSaveCapture(name, uint16_t(w), uint16_t(h), data.data())) {
        dunDebugPrintf("Cannot write frame capture %s", name);
        return false;
    }
    return true;
}

}  // namespace

bool SaveSurfacePcx(const Surface *surface, const char *name) {
    if (!Usable(surface) || Is16(surface) || !name) return false;
    const KeptPicture &sp = Keep(gStandardPicture, kStandardPicture);
    uint8_t palette[768];
    if (sp.found)
        std::memcpy(palette, sp.palette, 768);
    else if (CurrentPalette)
        PaletteTo768(CurrentPalette, palette);
    else
        std::memset(palette, 0, 768);
    return WritePcx(name, surface, sp.found ? sp.header : nullptr, palette);
}

bool SaveScreenshotPcx(const Surface *surface) {
    if (!Usable(surface)) return false;
    if (Is16(surface)) return CaptureFrame(surface);
    // A screenshot takes the header picture's header; without that picture
    // there is none.
    const PcxImage *hp = HeaderPicture();
    if (!hp) {
        dunDebugPrintf("No screenshot without %s", kHeaderPicture);
        return false;
    }
    uint8_t palette[768];
    if (CurrentPalette)
        PaletteTo768(CurrentPalette, palette);
    else
        std::memcpy(palette, hp->palette, 768);
    char name[kFolderBytes + 16];
    NextName(name, sizeof name, gNextScreenshot, "pcx");
    if (!WritePcx(name, surface, hp->header, palette, PcxFlagEncoded)) {
        dunDebugPrintf("Cannot write screenshot %s", name);
        return false;
    }
    return true;
}

void ResetScreenshots() {
    pcxFree(gHeaderPicture.image);
    gHeaderPicture = KeptHeader{};
    gStandardPicture = KeptPicture{};
    gNextScreenshot = 0;
    gNextCapture = 0;
}

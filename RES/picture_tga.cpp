// True-colour TGA: the frame captures written at 16 bits per pixel, and a
// reader for checking them (and pictures made by other programs).
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "RES/picture.h"
#include "core/bytes.h"
#include "core/files.h"
#include "core/options.h"

namespace {

constexpr size_t kTgaFileLimit = 64u << 20;
constexpr size_t kTgaPixelLimit = 4096 * 4096;

// The capture ring: one buffer, filled frame by frame and written when full.
constexpr int kRingSize = 1;
uint8_t *gRing[kRingSize];
size_t gRingBytes;
int gRingFilled;
long gCaptureNumber;  // never reset during a run
uint16_t gRingWidth[kRingSize], gRingHeight[kRingSize];

}  // namespace

bool tgaSaveCapture(const char *name, uint16_t width, uint16_t height, const uint8_t *bgr) {
    uint8_t header[18] = {};
    header[2] = 2;
    PutU16Le(header, 12, width);
    PutU16Le(header, 14, height);
    header[16] = 24;
    header[17] = 0x20;
    FILE *f = OpenGameFile(name, "wb");
    if (!f) return false;
    size_t n = size_t(width) * height * 3;
    bool ok = std::fwrite(header, 1, 18, f) == 18 && std::fwrite(bgr, 1, n, f) == n;
    return std::fclose(f) == 0 && ok;
}

void tgaCaptureBgr(const uint8_t *pixels, int stride, int w, int h, int step, uint8_t *bgr) {
    for (int y = 0; y < h; ++y) {
        const uint8_t *row = pixels + size_t(y) * step * stride;
        for (int x = 0; x < w; ++x) {
            uint16_t v;
            std::memcpy(&v, row + size_t(x) * step * 2, 2);
            *bgr++ = uint8_t((v & 31) << 3);
            *bgr++ = uint8_t((v & 0x7E0) >> 3);
            *bgr++ = uint8_t((v & 0xF800) >> 8);
        }
    }
}

void CaptureFrameTga(const char *folder, const Surface *surface) {
    if (!surface || SurfaceBytesPerPixel(surface) != 2 || !surface->pixels || surface->width <= 0 || surface->height <= 0)
        return;
    const bool quarter = optQuarter != 0;
    const int w = quarter ? surface->width / 2 : surface->width;
    const int h = quarter ? surface->height / 2 : surface->height;
    const size_t n = size_t(w) * h;
    if (!n) return;
    if (gRingBytes < n * 3) {
        // The first capture (or a larger display) sizes the ring.
        for (auto &b : gRing) {
            std::free(b);
            b = static_cast<uint8_t *>(std::malloc(n * 3));
        }
        gRingBytes = n * 3;
        gRingFilled = 0;
    }
    const int pitch = surface->pitch > 0 ? surface->pitch : surface->width * 2;
    tgaCaptureBgr(surface->pixels, pitch, w, h, quarter ? 2 : 1, gRing[gRingFilled]);
    // The header describes the frame as captured, so it always matches the
    // bytes after it.
    gRingWidth[gRingFilled] = uint16_t(w);
    gRingHeight[gRingFilled] = uint16_t(h);
    if (++gRingFilled < kRingSize) return;
    for (int i = 0; i < gRingFilled; ++i) {
        char name[512];
        std::snprintf(name, sizeof name, "%s\\t%05ld.tga", folder, gCaptureNumber++);
        if (!tgaSaveCapture(name, gRingWidth[i], gRingHeight[i], gRing[i])) break;
    }
    gRingFilled = 0;
}

namespace {

// The picture, or null and why not.
TgaImage *Decode(const uint8_t *file, size_t size, const char **why) {
    const ByteView bytes = BytesOf(file, size);
    *why = "shorter than a TGA header";
    uint8_t idLength, colourMapType, type, mapBits, bits, descriptor;
    uint16_t mapLength, width, height;
    if (!ReadU8(bytes, 0, &idLength) || !ReadU8(bytes, 1, &colourMapType) || !ReadU8(bytes, 2, &type) ||
        !ReadU16Le(bytes, 5, &mapLength) || !ReadU8(bytes, 7, &mapBits) || !ReadU16Le(bytes, 12, &width) ||
        !ReadU16Le(bytes, 14, &height) || !ReadU8(bytes, 16, &bits) || !ReadU8(bytes, 17, &descriptor))
        return nullptr;
    const bool topFirst = descriptor & 0x20;
    *why = "not a true-colour picture of 24 or 32 bits";
    if ((type != 2 && type != 10) || (bits != 24 && bits != 32) || colourMapType > 1) return nullptr;
    const size_t bpp = bits / 8;
    size_t at = 18 + size_t(idLength) + (colourMapType ? size_t(mapLength) * ((mapBits + 7u) / 8u) : 0);
    const size_t count = size_t(width) * height;
    // Run-length packets give at most 128 pixels for 1 + bpp bytes.
    *why = "its header promises more pixels than the file holds";
    if (at > size || count > (size - at) * 128 || count > kTgaPixelLimit) return nullptr;
    TgaImage *image = new TgaImage{width, height, static_cast<uint8_t *>(std::calloc(count * 3 + 1, 1))};
    const uint8_t *p = file + at, *end = file + size;
    size_t i = 0;
    auto put = [&](const uint8_t *px) {
        size_t y = i / (width ? width : 1), x = i % (width ? width : 1);
        if (!topFirst) y = height - 1 - y;
        uint8_t *d = image->rgb + (y * width + x) * 3;
        d[0] = px[2];
        d[1] = px[1];
        d[2] = px[0];
        ++i;
    };
    bool ok = true;
    while (i < count) {
        if (type == 2) {
            if (size_t(end - p) < bpp) { ok = false; break; }
            put(p);
            p += bpp;
            continue;
        }
        if (p >= end) { ok = false; break; }
        uint8_t packet = *p++;
        size_t n = (packet & 0x7F) + 1;
        if (packet & 0x80) {
            if (size_t(end - p) < bpp) { ok = false; break; }
            for (size_t k = 0; k < n && i < count; ++k) put(p);
            p += bpp;
        } else {
            for (size_t k = 0; k < n && i < count; ++k) {
                if (size_t(end - p) < bpp) { ok = false; break; }
                put(p);
                p += bpp;
            }
            if (!ok) break;
        }
    }
    if (!ok) {
        *why = "its pixels are cut short";
        tgaFree(image);
        return nullptr;
    }
    *why = nullptr;
    return image;
}

}  // namespace

TgaImage *tgaLoadBytes(const uint8_t *file, size_t size) {
    const char *why;
    return Decode(file, size, &why);
}

TgaImage *tgaLoad(const char *name) {
    uint8_t *file;
    size_t size;
    if (!ReadGameFile(name, &file, &size, kTgaFileLimit)) return nullptr;
    const char *why;
    TgaImage *image = Decode(file, size, &why);
    if (!image) RefuseGameFile(name, why);
    std::free(file);
    return image;
}

void tgaFree(TgaImage *image) {
    if (!image) return;
    std::free(image->rgb);
    delete image;
}

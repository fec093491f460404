// ZSoft PCX pictures, version 5, run-length encoded.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "RES/gfx2d.h"
#include "RES/picture.h"
#include "core/bytes.h"
#include "core/files.h"
#include "core/log.h"
#include "core/options.h"

namespace {

// No picture file of the game comes near this; a bigger one is refused
// before anything is allocated for it.
constexpr size_t kPcxFileLimit = 64u << 20;
// The whole-image form is for screenshots and small masks; 4096 x 4096 is
// far beyond any of them.
constexpr uint64_t kWholeImageLimit = 4096 * 4096;

struct PcxHeader {
    int width;
    int height;
    int planes;
    int bitsPerPixel;
};

constexpr size_t kHeaderBytes = 128;
constexpr size_t kFilePaletteBytes = 768;
constexpr uint8_t kPaletteMarker = 12;
constexpr char kCutShort[] = "cut short: its pixels end before the picture does";
constexpr char kNoPalette[] = "no palette after the marker byte 12 at its end (cut short?)";

bool ReadHeader(ByteView file, PcxHeader *h) {
    uint16_t xmin, ymin, xmax, ymax;
    uint8_t planes, bits;
    if (!BytesHave(file, 0, kHeaderBytes) || !ReadU16Le(file, 4, &xmin) || !ReadU16Le(file, 6, &ymin) ||
        !ReadU16Le(file, 8, &xmax) || !ReadU16Le(file, 10, &ymax) || !ReadU8(file, 65, &planes) ||
        !ReadU8(file, 3, &bits))
        return false;
    h->width = int(xmax) - int(xmin) + 1;
    h->height = int(ymax) - int(ymin) + 1;
    h->planes = planes;
    h->bitsPerPixel = bits;
    return h->width > 0 && h->height > 0;
}

// A picture of one plane ends with the marker byte and its palette: a file
// cut short (even after its pixels) does not.
bool HasFilePalette(ByteView file) {
    uint8_t marker = 0;
    return file.size >= kHeaderBytes + kFilePaletteBytes + 1 &&
           ReadU8(file, file.size - kFilePaletteBytes - 1, &marker) && marker == kPaletteMarker;
}

// What keeps a file from being decoded as a picture at the given bytes per
// pixel; null when nothing does (then the header is read into h).
const char *PictureProblem(ByteView file, int bytesPerPixel, PcxHeader *h) {
    if (!ReadHeader(file, h)) return file.size < kHeaderBytes ? "shorter than a PCX header" : "its bounds hold no picture";
    if (h->bitsPerPixel != 8) return "not 8 bits per pixel and plane";
    if (h->planes == 1) return HasFilePalette(file) ? nullptr : kNoPalette;
    if (h->planes != 3 && h->planes != 4) return "neither one plane nor three";
    return bytesPerPixel == 2 ? nullptr : "three planes of colour need 16 bits per pixel";
}

// Reads run-length values from the stream; runs are cut where a row ends.
struct RunReader {
    const uint8_t *p;
    const uint8_t *end;
    // Fills up to `count` bytes of one row and returns how many it filled
    // (fewer when the data ran out; the rest are left as they were).
    size_t Row(uint8_t *out, size_t count) {
        size_t x = 0;
        const uint8_t *q = p;
        while (x < count && q < end) {
            uint8_t b = *q++;
            if ((b & 0xC0) != 0xC0) {
                out[x++] = b;
                continue;
            }
            if (q >= end) break;
            size_t take = std::min<size_t>(b & 0x3F, count - x);
            uint8_t v = *q++;
            if (take <= 8) {
                for (size_t k = 0; k < take; ++k) out[x + k] = v;
            } else {
                std::memset(out + x, v, take);
            }
            x += take;
        }
        p = q;
        return x;
    }
};

// The 768 bytes at the file's end as 256 x 4 entries; false (and all black)
// when the file cannot hold a palette after its header.
bool FillPalette(ByteView file, uint8_t *palette) {
    std::memset(palette, 0, PaletteBytes);
    ByteView src;
    if (file.size < kHeaderBytes + kFilePaletteBytes || !BytesTail(file, kFilePaletteBytes, &src)) return false;
    for (int i = 0; i < 256; ++i) std::memcpy(palette + i * 4, src.data + i * 3, 3);
    return true;
}

}  // namespace

bool pcxDecodeBytes(const uint8_t *file, size_t fileSize, Raster *raster, uint8_t *paletteOut,
                    uint8_t *pixels, size_t capacity) {
    const ByteView bytes = BytesOf(file, fileSize);
    const int bpp = raster->bytesPerPixel == 2 ? 2 : 1;
    PcxHeader h;
    if (PictureProblem(bytes, bpp, &h)) {
        // The palette is handed back whenever the header could be read.
        if (paletteOut && ReadHeader(bytes, &h) && h.bitsPerPixel == 8) FillPalette(bytes, paletteOut);
        return false;
    }
    uint8_t palette[PaletteBytes];
    FillPalette(bytes, palette);
    if (paletteOut) std::memcpy(paletteOut, palette, PaletteBytes);

    uint16_t areaPitch = raster->pitch;
    raster->width = uint16_t(h.width);
    raster->height = uint16_t(h.height);
    raster->hotspotX = raster->hotspotY = 0;
    raster->pixels = pixels;
    raster->bytesPerPixel = uint16_t(bpp);
    if (!pixels) return true;

    const ByteView data = BytesFrom(bytes, kHeaderBytes);
    RunReader in{data.data, data.data + data.size};
    const size_t width = size_t(h.width);
    if (h.planes == 1) {
        uint8_t *row = static_cast<uint8_t *>(std::malloc(width));
        if (!row) return false;
        // Shown at 16 bits through the palette current now (else the file's
        // own), as an IFF picture is, so it looks as it does at 8 bits.
        const uint8_t *shown = CurrentPalette ? CurrentPalette : palette;
        uint16_t rgb565[256];
        for (int i = 0; i < 256; ++i) rgb565[i] = PaletteRgb565(shown, uint8_t(i));
        const size_t rowBytes = width * bpp;
        bool whole = true;
        for (size_t y = 0; y < size_t(h.height); ++y) {
            size_t at = y * rowBytes;
            if (at >= capacity) break;
            size_t fit = std::min(rowBytes, capacity - at) / bpp;
            size_t got = in.Row(row, width);
            whole = got == width;
            fit = std::min(fit, got);
            if (bpp == 1) {
                std::memcpy(pixels + at, row, fit);
            } else {
                for (size_t x = 0; x < fit; ++x) std::memcpy(pixels + at + 2 * x, &rgb565[row[x]], 2);
            }
            if (!whole) break;
        }
        std::free(row);
        // A file cut short: what there is was decoded, but it is no picture.
        return whole;
    }

    // Three planes per row (red, green, blue), shown centred in the area.
    const size_t pitch = areaPitch ? areaPitch : width * 2;
    const long areaW = long(pitch / 2);
    const long areaH = long(capacity / pitch);
    const long offX = (areaW - long(width)) / 2;
    const long offY = (areaH - long(h.height)) / 2;
    const size_t rowBytes = width * size_t(h.planes);
    uint8_t *row = static_cast<uint8_t *>(std::calloc(rowBytes, 1));
    if (!row) return false;
    bool complete = true;
    for (long y = 0; y < h.height; ++y) {
        size_t got = in.Row(row, rowBytes);
        bool whole = got == rowBytes;
        complete = complete && whole;
        if (!whole) std::memset(row + got, 0, rowBytes - got);
        long dy = y + offY;
        if (dy >= areaH) break;
        if (dy >= 0) {
            uint8_t *dst = pixels + size_t(dy) * pitch;
            for (long x = 0; x < long(width); ++x) {
                long dx = x + offX;
                if (dx < 0 || dx >= areaW) continue;
                uint8_t r = row[x], g = row[width + x], b = row[2 * width + x];
                uint16_t v = uint16_t(((r & 0xF8) << 8) + ((g & 0xFC) << 3) + (b >> 3));
                std::memcpy(dst + 2 * dx, &v, 2);
            }
        }
        if (!whole) break;
    }
    std::free(row);
    return complete;
}

bool pcxDecode(const char *name, Raster *raster, uint8_t *palette, uint8_t *pixels, size_t capacity) {
    uint8_t *file;
    size_t size;
    if (!ReadGameFile(name, &file, &size, kPcxFileLimit)) return false;
    bool ok = pcxDecodeBytes(file, size, raster, palette, pixels, capacity);
    PcxHeader h;
    if (!ok) {
        const char *problem = PictureProblem(BytesOf(file, size), raster->bytesPerPixel, &h);
        RefuseGameFile(name, problem ? problem : kCutShort);
    }
    std::free(file);
    return ok;
}

void *pcxLoadPalette(const char *name, void *block, uint32_t *size) {
    if (!block) return nullptr;
    uint8_t *file;
    size_t fileSize;
    if (!ReadGameFile(name, &file, &fileSize, kPcxFileLimit)) return nullptr;
    // A palette file of 768 bytes is the palette alone; in a longer one (a
    // picture) the palette follows its marker byte at the very end. A file
    // cut short, or of another kind, has no palette there.
    const ByteView bytes = BytesOf(file, fileSize);
    ByteView raw;
    uint8_t marker = 0;
    const bool tail = BytesTail(bytes, kFilePaletteBytes, &raw);
    const bool ok = tail && (fileSize == kFilePaletteBytes ||
                             (ReadU8(bytes, fileSize - kFilePaletteBytes - 1, &marker) && marker == kPaletteMarker));
    if (!tail) RefuseGameFile(name, "shorter than a palette of 768 bytes");
    else if (!ok) RefuseGameFile(name, kNoPalette);
    if (ok) {
        uint8_t *palette = static_cast<uint8_t *>(block);
        std::memset(palette, 0, PaletteBytes);
        for (int i = 0; i < 256; ++i) std::memcpy(palette + i * 4, raw.data + i * 3, 3);
    }
    std::free(file);
    if (!ok) return nullptr;
    if (size) *size = PaletteBytes;
    return block;
}

uint32_t PcxRasterSize(const char *name) {
    uint8_t *file;
    size_t fileSize;
    if (!ReadGameFile(name, &file, &fileSize, kPcxFileLimit)) return 0;
    PcxHeader h;
    const char *problem = PictureProblem(BytesOf(file, fileSize), BytesPerPixel, &h);
    if (problem) RefuseGameFile(name, problem);
    std::free(file);
    if (problem) return 0;
    const uint64_t bpp = BytesPerPixel == 2 ? 2 : 1;
    uint64_t bytes = RasterHeaderBytes + uint64_t(h.width) * uint64_t(h.height) * bpp;
    return bytes > 0x7FFFFFFF ? 0 : uint32_t(bytes);
}

void *LoadPcxRaster(const char *name, void *block, uint32_t *size) {
    if (!block || !size || *size < RasterHeaderBytes) return nullptr;
    Raster *raster = static_cast<Raster *>(block);
    uint8_t *pixels = static_cast<uint8_t *>(block) + RasterHeaderBytes;
    raster->pitch = 0;
    raster->bytesPerPixel = BytesPerPixel == 2 ? 2 : 1;
    if (!pcxDecode(name, raster, nullptr, pixels, *size - RasterHeaderBytes)) return nullptr;
    const uint32_t bpp = raster->bytesPerPixel;
    *size = RasterHeaderBytes + uint32_t(raster->width) * raster->height * bpp;
    return block;
}

namespace {

// What keeps a file from being loaded whole (one plane of 8 bits only).
const char *WholeImageProblem(ByteView file, PcxHeader *h) {
    if (const char *problem = PictureProblem(file, 2, h)) return problem;
    if (h->planes != 1) return "not a picture of one plane";
    // One byte pair of run-length data gives at most 63 pixels: a header
    // promising more than the file can hold is lying.
    const uint64_t count = uint64_t(h->width) * uint64_t(h->height);
    if (count > uint64_t(file.size) * 32) return "its header promises more pixels than the file holds";
    if (count > kWholeImageLimit) return "larger than 4096 x 4096 pixels";
    return nullptr;
}

}  // namespace

PcxImage *pcxLoadBytes(const uint8_t *file, size_t fileSize) {
    const ByteView bytes = BytesOf(file, fileSize);
    PcxHeader h;
    if (WholeImageProblem(bytes, &h)) return nullptr;
    const uint64_t count = uint64_t(h.width) * uint64_t(h.height);
    PcxImage *image = new PcxImage{};
    BytesCopy(bytes, 0, image->header, kHeaderBytes);
    image->width = uint32_t(h.width);
    image->height = uint32_t(h.height);
    image->encodedSize = uint32_t(count);
    image->pixels = static_cast<uint8_t *>(std::calloc(count ? count : 1, 1));
    image->palette = static_cast<uint8_t *>(std::calloc(768, 1));
    const ByteView data = BytesFrom(bytes, kHeaderBytes);
    RunReader in{data.data, data.data + data.size};
    if (in.Row(image->pixels, count) != count) {  // one stream, not cut at rows
        pcxFree(image);
        return nullptr;
    }
    if (in.p < in.end) image->paletteMarker = *in.p;
    ByteView palette;
    if (fileSize >= kHeaderBytes + kFilePaletteBytes && BytesTail(bytes, kFilePaletteBytes, &palette))
        std::memcpy(image->palette, palette.data, kFilePaletteBytes);
    return image;
}

PcxImage *pcxLoad(const char *name) {
    uint8_t *file;
    size_t size;
    if (!ReadGameFile(name, &file, &size, kPcxFileLimit)) {
        dunDebugPrintf("Unable to open file %s ", name);
        return nullptr;
    }
    dunDebugPrintf("Loading %s ... ", name);
    PcxImage *image = pcxLoadBytes(file, size);
    PcxHeader h;
    if (!image) {
        const char *problem = WholeImageProblem(BytesOf(file, size), &h);
        RefuseGameFile(name, problem ? problem : kCutShort);
    }
    std::free(file);
    return image;
}

void pcxFree(PcxImage *image) {
    if (!image) return;
    std::free(image->pixels);
    if (!(image->flags & PcxFlagSharedPalette)) std::free(image->palette);
    delete image;
}

PcxImage *pcxCopy(const PcxImage *image) {
    if (!image) return nullptr;
    PcxImage *copy = new PcxImage(*image);
    copy->pixels = static_cast<uint8_t *>(std::malloc(image->encodedSize ? image->encodedSize : 1));
    if (image->pixels) std::memcpy(copy->pixels, image->pixels, image->encodedSize);
    copy->palette = static_cast<uint8_t *>(std::calloc(768, 1));
    if (image->palette) std::memcpy(copy->palette, image->palette, 768);
    // The copy owns the palette it was given, so it must free it.
    copy->flags &= ~uint32_t(PcxFlagSharedPalette);
    return copy;
}

size_t pcxEncodeRow(const uint8_t *row, uint32_t width, uint8_t *out) {
    size_t n = 0;
    uint32_t x = 0;
    while (x < width) {
        uint8_t v = row[x];
        uint32_t count = 1;
        if (x + 1 < width && row[x + 1] == v)
            while (count < 63 && x + count < width && row[x + count] == v) ++count;
        if (count >= 2) {
            out[n++] = uint8_t(0xC0 | count);
            out[n++] = v;
        } else if (v & 0xC0) {
            out[n++] = 0xC1;
            out[n++] = v;
        } else {
            out[n++] = v;
        }
        x += count;
    }
    return n;
}

PcxImage *MakePcxImage(const uint8_t *header, uint32_t flags, const uint8_t *pixels, uint32_t width,
                       uint32_t height, uint8_t *palette) {
    PcxImage *image = new PcxImage{};
    if (header) {
        std::memcpy(image->header, header, 128);
    } else {
        uint8_t *h = image->header;
        h[0] = 10;
        h[1] = 5;
        h[2] = 1;
        h[3] = 8;
        PutU16Le(h, 12, 640);
        PutU16Le(h, 14, 480);
        h[65] = 1;
    }
    PutU16Le(image->header, 4, 0);
    PutU16Le(image->header, 6, 0);
    PutU16Le(image->header, 8, width - 1);
    PutU16Le(image->header, 10, height - 1);
    PutU16Le(image->header, 66, width);
    image->flags = flags | PcxFlagOwn | PcxFlagSharedPalette;
    image->width = width;
    image->height = height;
    image->palette = palette;
    image->paletteMarker = 12;
    const size_t count = size_t(width) * height;
    if (flags & PcxFlagEncoded) {
        size_t capacity = std::max<size_t>(count / 2, 1);
        size_t used = 0;
        uint8_t *buffer = static_cast<uint8_t *>(std::malloc(capacity));
        uint8_t *code = static_cast<uint8_t *>(std::malloc(size_t(width) * 2 + 2));
        for (uint32_t y = 0; y < height; ++y) {
            size_t n = pcxEncodeRow(pixels + size_t(y) * width, width, code);
            while (used + n > capacity) {
                capacity += size_t(10) * height;
                buffer = static_cast<uint8_t *>(std::realloc(buffer, capacity));
            }
            std::memcpy(buffer + used, code, n);
            used += n;
        }
        std::free(code);
        image->pixels = static_cast<uint8_t *>(std::realloc(buffer, used ? used : 1));
        image->encodedSize = uint32_t(used);
    } else {
        image->pixels = static_cast<uint8_t *>(std::malloc(count ? count : 1));
        if (count) std::memcpy(image->pixels, pixels, count);
        image->encodedSize = uint32_t(count);
    }
    return image;
}

bool pcxSave(const char *name, const PcxImage *image) {
    if (!image) return false;
    FILE *f = OpenGameFile(name, "wb");
    if (!f) return false;
    bool ok = std::fwrite(image->header, 1, 128, f) == 128;
    if (image->flags & PcxFlagEncoded) {
        ok = std::fwrite(image->pixels, 1, image->encodedSize, f) == image->encodedSize && ok;
    } else {
        uint8_t *code = static_cast<uint8_t *>(std::malloc(size_t(image->width) * 2 + 2));
        for (uint32_t y = 0; y < image->height; ++y) {
            size_t n = pcxEncodeRow(image->pixels + size_t(y) * image->width, image->width, code);
            ok = std::fwrite(code, 1, n, f) == n && ok;
        }
        std::free(code);
    }
    ok = std::fputc(image->paletteMarker, f) != EOF && ok;
    static const uint8_t kBlack[768] = {};
    ok = std::fwrite(image->palette ? image->palette : kBlack, 1, 768, f) == 768 && ok;
    return std::fclose(f) == 0 && ok;
}

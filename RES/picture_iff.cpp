// IFF "FORM" / "PBM " pictures and palettes (big-endian chunks).
#include <cstdlib>
#include <cstring>
#include <vector>

#include "RES/gfx2d.h"
#include "RES/picture.h"
#include "RES/surface.h"
#include "core/bytes.h"
#include "core/files.h"
#include "core/options.h"

namespace {

constexpr size_t kIffFileLimit = 64u << 20;

bool IsPbm(ByteView file) { return BytesMatch(file, 0, "FORM", 4) && BytesMatch(file, 8, "PBM ", 4); }

struct Chunk {
    ByteView head;  // identifier and length
    ByteView data;  // cut to what the file holds
};

// Walks the chunks after the form header; a chunk whose length runs past the
// file is cut at the file's end and ends the walk. Only the low 24 bits of a
// chunk's length count.
template <typename Fn>
void ForEachChunk(ByteView file, Fn fn) {
    size_t at = 12;
    Chunk c;
    uint32_t length;
    while (BytesSub(file, at, 8, &c.head) && ReadU24Be(c.head, 5, &length)) {
        ByteView rest = BytesFrom(file, at + 8);
        bool cut = !BytesSub(rest, 0, length, &c.data);
        if (cut) c.data = rest;
        fn(c);
        if (cut) return;
        at += 8 + size_t(length) + (length & 1);
    }
}

bool Is(const Chunk &c, const char *id) { return BytesMatch(c.head, 0, id, 4); }

uint16_t Be16At(ByteView v, size_t at) {
    uint16_t x = 0;
    ReadU16Be(v, at, &x);
    return x;
}

// Unpacks a BODY into width x height 8-bit pixels (rows of an odd width carry
// one pad byte in the file). Pixels past `capacity` are dropped.
void UnpackBody(const Chunk &body, uint32_t width, uint32_t height, uint8_t compression,
                uint8_t *pixels, size_t capacity) {
    const uint64_t srcRow = width + (width & 1);
    const uint64_t total = srcRow * height;
    uint64_t pos = 0;
    auto put = [&](uint8_t v, uint64_t count) {
        while (count-- && pos < total) {
            uint64_t y = pos / srcRow, x = pos % srcRow;
            uint64_t at = y * width + x;
            if (x < width && at < capacity) pixels[at] = v;
            ++pos;
        }
    };
    const uint8_t *p = body.data.data, *end = body.data.data + body.data.size;
    if (compression == 0) {
        while (p < end && pos < total) put(*p++, 1);
        return;
    }
    while (p < end && pos < total) {
        int8_t n = int8_t(*p++);
        if (n < 0) {
            if (p >= end) return;
            put(*p++, uint64_t(1 - n));
        } else {
            for (int i = 0; i <= n && p < end; ++i) put(*p++, 1);
        }
    }
}

// Why a file that does not decode was refused: not a picture at all, or
// without the chunk that was wanted of it.
const char *IffProblem(ByteView file, const char *wanted) {
    if (!IsPbm(file)) return "not an IFF PBM picture";
    const bool header = !std::memcmp(wanted, "BMHD", 4);
    bool found = false;
    ForEachChunk(file, [&](const Chunk &c) { found = found || (Is(c, wanted) && (!header || c.data.size >= 11)); });
    if (found) return nullptr;
    return header ? "no whole BMHD chunk" : "no CMAP chunk";
}

}  // namespace

bool iffDecodeBytes(const uint8_t *file, size_t fileSize, Raster *raster, uint8_t *pixels,
                    size_t capacity, uint32_t *pixelBytes) {
    const ByteView bytes = BytesOf(file, fileSize);
    if (!IsPbm(bytes)) return false;
    bool haveHeader = false;
    uint32_t width = 0, height = 0;
    uint8_t compression = 0;
    ByteView cmap;
    ForEachChunk(bytes, [&](const Chunk &c) {
        if (Is(c, "BMHD") && ReadU8(c.data, 10, &compression)) {
            width = Be16At(c.data, 0);
            height = Be16At(c.data, 2);
            haveHeader = true;
            if (raster) {
                raster->width = uint16_t(width);
                raster->height = uint16_t(height);
            }
        } else if (Is(c, "BODY") && haveHeader && raster && pixels) {
            UnpackBody(c, width, height, compression, pixels, capacity);
        } else if (Is(c, "GRAB") && BytesHave(c.data, 0, 4) && raster) {
            raster->hotspotX = Be16At(c.data, 0);
            raster->hotspotY = Be16At(c.data, 2);
        } else if (Is(c, "CMAP")) {
            cmap = c.data;
        }
    });
    if (!haveHeader) return false;
    const size_t bpp = raster && raster->bytesPerPixel == 2 ? 2 : 1;
    const uint64_t count = uint64_t(width) * height;
    if (pixelBytes) *pixelBytes = uint32_t(count * bpp);
    if (raster && pixels && bpp == 2) {
        // Shown at 16 bits through the palette current now (else the file's own).
        uint8_t own[PaletteBytes] = {};
        for (size_t i = 0; i < 256; ++i)
            if (!BytesCopy(cmap, i * 3, own + i * 4, 3)) break;
        const uint8_t *palette = CurrentPalette ? CurrentPalette : own;
        uint64_t n = std::min<uint64_t>(count, capacity / 2);
        for (uint64_t i = n; i-- > 0;) {
            uint16_t v = PaletteRgb565(palette, pixels[i]);
            std::memcpy(pixels + 2 * i, &v, 2);
        }
    }
    return true;
}

bool iffPaletteBytes(const uint8_t *file, size_t fileSize, uint8_t *palette) {
    const ByteView bytes = BytesOf(file, fileSize);
    if (!IsPbm(bytes)) return false;
    bool found = false;
    ForEachChunk(bytes, [&](const Chunk &c) {
        if (!Is(c, "CMAP")) return;
        found = true;
        for (size_t i = 0; i < 256; ++i)
            if (!BytesCopy(c.data, i * 3, palette + i * 4, 3)) break;
    });
    return found;
}

void *LoadIffPalette(const char *name, void *block, uint32_t *size) {
    if (!block) return nullptr;
    uint8_t *file;
    size_t fileSize;
    if (!ReadGameFile(name, &file, &fileSize, kIffFileLimit)) return nullptr;
    bool ok = iffPaletteBytes(file, fileSize, static_cast<uint8_t *>(block));
    if (!ok) RefuseGameFile(name, IffProblem(BytesOf(file, fileSize), "CMAP"));
    std::free(file);
    if (!ok) return nullptr;
    if (size) *size = PaletteBytes;
    return block;
}

void *LoadIffPicture(const char *name, void *block, uint32_t *size) {
    return LoadIffPictureForDepth(name, block, size, BytesPerPixel);
}

void *LoadIffPictureForDepth(const char *name, void *block, uint32_t *size, int bytesPerPixel) {
    if (!block || !size || *size < RasterHeaderBytes) return nullptr;
    uint8_t *file;
    size_t fileSize;
    if (!ReadGameFile(name, &file, &fileSize, kIffFileLimit)) return nullptr;
    Raster *raster = static_cast<Raster *>(block);
    uint8_t *pixels = static_cast<uint8_t *>(block) + RasterHeaderBytes;
    raster->pixels = pixels;
    raster->hotspotX = raster->hotspotY = 0;
    raster->bytesPerPixel = bytesPerPixel == 2 ? 2 : 1;
    uint32_t bytes = 0;
    bool ok = iffDecodeBytes(file, fileSize, raster, pixels, *size - RasterHeaderBytes, &bytes);
    if (!ok) RefuseGameFile(name, IffProblem(BytesOf(file, fileSize), "BMHD"));
    std::free(file);
    if (!ok) return nullptr;
    *size = RasterHeaderBytes + bytes;
    return block;
}

uint32_t IffPictureSize(const char *name) { return IffPictureSizeForDepth(name, BytesPerPixel); }

uint32_t IffPictureSizeForDepth(const char *name, int bytesPerPixel) {
    uint8_t *file;
    size_t fileSize;
    if (!ReadGameFile(name, &file, &fileSize, kIffFileLimit)) return 0;
    uint32_t pixelCount = 0;
    bool ok = iffDecodeBytes(file, fileSize, nullptr, nullptr, 0, &pixelCount);
    if (!ok) RefuseGameFile(name, IffProblem(BytesOf(file, fileSize), "BMHD"));
    std::free(file);
    return ok ? RasterHeaderBytes + pixelCount * (bytesPerPixel == 2 ? 2 : 1) : 0;
}

namespace {

void PutBe16(std::vector<uint8_t> &v, uint32_t x) {
    v.resize(v.size() + 2);
    PutU16Be(v.data(), v.size() - 2, x);
}
void PutBe32(std::vector<uint8_t> &v, uint32_t x) {
    v.resize(v.size() + 4);
    PutU32Be(v.data(), v.size() - 4, x);
}
void PutChunk(std::vector<uint8_t> &out, const char *id, const std::vector<uint8_t> &data) {
    out.insert(out.end(), id, id + 4);
    PutBe32(out, uint32_t(data.size()));
    out.insert(out.end(), data.begin(), data.end());
    if (data.size() & 1) out.push_back(0);
}

// ByteRun1 of one row: literal groups of up to 128 bytes, repeats of 2..128.
void PackRow(const uint8_t *row, size_t n, std::vector<uint8_t> &out) {
    size_t x = 0;
    while (x < n) {
        size_t run = 1;
        while (x + run < n && run < 128 && row[x + run] == row[x]) ++run;
        if (run >= 2) {
            out.push_back(uint8_t(int8_t(1 - int(run))));
            out.push_back(row[x]);
            x += run;
            continue;
        }
        size_t start = x, lit = 0;
        while (x < n && lit < 128 && !(x + 1 < n && row[x + 1] == row[x])) {
            ++x;
            ++lit;
        }
        if (lit == 0) continue;
        out.push_back(uint8_t(lit - 1));
        out.insert(out.end(), row + start, row + start + lit);
    }
}

}  // namespace

bool SaveIffPicture(const char *name, const uint8_t *pixels, uint16_t width, uint16_t height,
                    const uint8_t *palette, bool compress, uint16_t hotspotX, uint16_t hotspotY) {
    std::vector<uint8_t> bmhd;
    PutBe16(bmhd, width);
    PutBe16(bmhd, height);
    PutBe32(bmhd, 0);            // origin
    bmhd.push_back(8);           // planes
    bmhd.push_back(0);           // masking
    bmhd.push_back(compress ? 1 : 0);
    bmhd.push_back(0);           // pad
    PutBe16(bmhd, 0);            // transparent colour
    bmhd.push_back(1);           // aspect
    bmhd.push_back(1);
    PutBe16(bmhd, width);        // page size
    PutBe16(bmhd, height);
    std::vector<uint8_t> cmap;
    for (int i = 0; i < 256; ++i)
        for (int c = 0; c < 3; ++c) cmap.push_back(palette ? palette[i * 4 + c] : 0);
    std::vector<uint8_t> body;
    const size_t srcRow = size_t(width) + (width & 1);
    std::vector<uint8_t> row(srcRow, 0);
    for (size_t y = 0; y < height; ++y) {
        std::memcpy(row.data(), pixels + y * width, width);
        if (compress) PackRow(row.data(), srcRow, body);
        else body.insert(body.end(), row.begin(), row.end());
    }
    std::vector<uint8_t> form;
    form.insert(form.end(), {'P', 'B', 'M', ' '});
    PutChunk(form, "BMHD", bmhd);
    PutChunk(form, "CMAP", cmap);
    if (hotspotX || hotspotY) {
        std::vector<uint8_t> grab;
        PutBe16(grab, hotspotX);
        PutBe16(grab, hotspotY);
        PutChunk(form, "GRAB", grab);
    }
    PutChunk(form, "BODY", body);
    std::vector<uint8_t> file;
    PutChunk(file, "FORM", form);
    FILE *f = OpenGameFile(name, "wb");
    if (!f) return false;
    bool ok = std::fwrite(file.data(), 1, file.size(), f) == file.size();
    return std::fclose(f) == 0 && ok;
}

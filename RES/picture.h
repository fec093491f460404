// Picture files: ZSoft PCX (8-bit with a trailing palette, 24-bit in three
// planes), IFF "PBM " pictures and palettes, raw 64 KB colour maps, raw
// palettes and uncompressed 24-bit TGA frame captures.
//
// Every reader takes its sizes, counts and offsets from the file only after
// checking them against the file it was given and against the block it writes
// into: a short or lying file gives the failure result and nothing else.
#pragma once

#include <cstddef>
#include <cstdint>

#include "RES/surface.h"

// An in-memory picture. The leading fields are those of `Surface`, so a
// raster can be drawn as one. A raster resource is this header followed
// directly by its pixels (`RasterHeaderBytes` + width x height x bytes per
// pixel); the background raster also fills in `pitch`.
struct Raster {
    uint8_t *pixels;
    uint16_t width;
    uint16_t height;
    uint16_t hotspotX;  // the IFF "GRAB" point; 0 for PCX
    uint16_t hotspotY;
    uint16_t pitch;     // bytes per row; set for the background raster
    uint16_t bytesPerPixel;  // 1 or 2, as the Surface's
};
constexpr uint32_t RasterHeaderBytes = sizeof(Raster);

// 256 entries of red, green, blue and a spare byte left 0.
constexpr uint32_t PaletteBytes = 1024;
// A colour map: 65,536 palette indices, read and written raw.
constexpr uint32_t ColourMapBytes = 65536;

// Palette entry to RGB565.
inline uint16_t PaletteRgb565(const uint8_t *palette, uint8_t index) {
    const uint8_t *e = palette + index * 4;
    return uint16_t(((e[0] & 0xF8) << 8) + ((e[1] & 0xFC) << 3) + (e[2] >> 3));
}

// The whole-file form of a PCX picture, used by the screenshot code.
enum : uint32_t {
    PcxFlagOwn = 1,          // set on every made image
    PcxFlagEncoded = 2,      // `pixels` holds run-length data
    PcxFlagSharedPalette = 4 // the palette belongs to someone else
};
struct PcxImage {
    uint8_t header[128];
    uint32_t flags;
    uint32_t width;
    uint32_t height;
    uint32_t encodedSize;  // bytes in `pixels`
    uint8_t *pixels;
    uint8_t *palette;      // 768 bytes: red, green, blue per entry
    uint8_t paletteMarker; // the byte before the palette in the file (12)
};

// ---- Resource converters. `size` holds the reserved block's length on entry
// and the data's length on return; the result is the data or null.
void *LoadIffPalette(const char *name, void *block, uint32_t *size);
void *LoadIffPicture(const char *name, void *block, uint32_t *size);
uint32_t IffPictureSize(const char *name);
void *pcxLoadPalette(const char *name, void *block, uint32_t *size);
uint32_t PcxRasterSize(const char *name);
void *LoadPcxRaster(const char *name, void *block, uint32_t *size);
void *LoadColourMap(const char *name, void *block, uint32_t *size);

// ---- PCX.
// Decodes a PCX file into `pixels` (at most `capacity` bytes) at the depth
// `raster->bytesPerPixel` names (the converters set the display's) and fills
// `raster` (width, height, hotspot 0, pixels) and the 256 x 4 `palette` (may
// be null). 8-bit pictures are converted to RGB565 at 16 bits per pixel
// through the current palette (their own when none is set); 24-bit pictures
// (three planes) need 16 bits per pixel and are centred in the destination
// area: `raster->pitch` bytes wide (the picture's own row when 0) and
// capacity / pitch rows high, clipped at its edges. False when the header
// can't be read or the picture is not one of these forms.
bool pcxDecode(const char *name, Raster *raster, uint8_t *palette, uint8_t *pixels, size_t capacity);
bool pcxDecodeBytes(const uint8_t *file, size_t fileSize, Raster *raster, uint8_t *palette,
                    uint8_t *pixels, size_t capacity);
// Whole 8-bit pictures ("Unable to open file" / "Loading" go to the debug log).
PcxImage *pcxLoad(const char *name);
PcxImage *pcxLoadBytes(const uint8_t *file, size_t fileSize);
void pcxFree(PcxImage *image);
PcxImage *pcxCopy(const PcxImage *image);
PcxImage *MakePcxImage(const uint8_t *header, uint32_t flags, const uint8_t *pixels, uint32_t width,
                       uint32_t height, uint8_t *palette);
// False when the file could not be written whole.
bool pcxSave(const char *name, const PcxImage *image);
// The run-length code of one row as `pcxSave` writes it; returns the bytes
// written to `out`, which holds at least 2 x width bytes.
size_t pcxEncodeRow(const uint8_t *row, uint32_t width, uint8_t *out);

// The IFF picture converter and its size query at a depth of its caller's
// choosing (the converters use the display's).
void *LoadIffPictureForDepth(const char *name, void *block, uint32_t *size, int bytesPerPixel);
uint32_t IffPictureSizeForDepth(const char *name, int bytesPerPixel);

// ---- IFF PBM pictures decoded from memory (the converters' core), at the
// depth of `raster->bytesPerPixel`. With a null `raster` only the 8-bit size
// is found. Returns false when the bytes are not
// a "FORM" ... "PBM " picture with a "BMHD" chunk.
bool iffDecodeBytes(const uint8_t *file, size_t fileSize, Raster *raster, uint8_t *pixels,
                    size_t capacity, uint32_t *pixelBytes);
bool iffPaletteBytes(const uint8_t *file, size_t fileSize, uint8_t *palette);
// Writes an IFF PBM picture (BMHD, CMAP from a 256 x 4 palette, optional
// GRAB, BODY raw or ByteRun1). True when the file was written.
bool SaveIffPicture(const char *name, const uint8_t *pixels, uint16_t width, uint16_t height,
                    const uint8_t *palette, bool compress, uint16_t hotspotX, uint16_t hotspotY);

// ---- Colour maps and raw palettes.
bool SaveColourMap(const char *name, const uint8_t *map);
uint8_t *LoadRawPalette(const char *name, uint8_t *buffer);
uint32_t RawPaletteSize();

// ---- TGA.
struct TgaImage {
    uint16_t width;
    uint16_t height;
    uint8_t *rgb;  // width x height x 3 bytes, red, green, blue, top row first
};
// Uncompressed and run-length true-colour TGA (24 or 32 bits, either origin).
TgaImage *tgaLoad(const char *name);
TgaImage *tgaLoadBytes(const uint8_t *file, size_t fileSize);
void tgaFree(TgaImage *image);
// Writes the capture form: 18-byte header (type 2, 24 bits, top-left origin)
// and width x height x 3 bytes of blue, green, red.
bool tgaSaveCapture(const char *name, uint16_t width, uint16_t height, const uint8_t *bgr);
// The capture form's bytes of a 16-bit (RGB565) picture of w x h pixels
// taken from every `step`-th pixel of every `step`-th row: 3 x w x h bytes.
void tgaCaptureBgr(const uint8_t *pixels, int stride, int w, int h, int step, uint8_t *bgr);
// One frame of the capture mode (16-bit display only): files "<folder>\tNNNNN.tga".
void CaptureFrameTga(const char *folder, const Surface *surface);


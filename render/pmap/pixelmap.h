// Pixelmaps: the library's images. Textures, shade and blend tables,
// palettes, screens, back buffers and depth buffers are all pixelmaps; each
// is a device pixelmap object whose first field is its operation table.
#pragma once

#include <cstdarg>

#include "render/fw/types.h"
#include "render/tokens/object.h"

// ---- Pixel types ---------------------------------------------------------

enum : vt_uint_8 {
    VT_PMT_INDEX_1 = 0,
    VT_PMT_INDEX_2,
    VT_PMT_INDEX_4,
    VT_PMT_INDEX_8,
    VT_PMT_RGB_555,
    VT_PMT_RGB_565,
    VT_PMT_RGB_888,
    VT_PMT_RGBX_888,
    VT_PMT_RGBA_8888,
    VT_PMT_YUYV_8888,
    VT_PMT_YUV_888,
    VT_PMT_DEPTH_16,
    VT_PMT_DEPTH_32,
    VT_PMT_ALPHA_8,
    VT_PMT_INDEXA_88,
    // Types 15 to 29 carry no datafile name.
    VT_PMT_INDEXA_88_B = 15,
    VT_PMT_INDEXA_88_C,
    VT_PMT_INDEXA_88_D,
    VT_PMT_ARGB_4444,
    VT_PMT_INDEXA_88_F,
    VT_PMT_INDEXA_88_G,
    VT_PMT_RGB_332 = 21,
    VT_PMT_DEPTH_8 = 22,
    VT_PMT_ARGB_8888 = 23,
    VT_PMT_ALPHA_4 = 24,
    VT_PMT_INDEXA_44 = 25,
    VT_PMT_DEPTH_15 = 26,
    VT_PMT_DEPTH_31 = 27,
    VT_PMT_DEPTH_FP15 = 28,
    VT_PMT_DEPTH_FP16 = 29,
    VT_PMT_MAX = 30,
};

// Channel classes of a pixel type.
enum : vt_uint_8 {
    VT_PMCH_INDEX = 1,
    VT_PMCH_COLOUR = 2,
    VT_PMCH_DEPTH = 4,
    VT_PMCH_ALPHA = 8,
    VT_PMCH_YUV = 16,
};

struct vt_pixelmap_type_info {
    vt_uint_8 bits;       // bits per pixel
    vt_uint_8 file_size;  // bytes per pixel in datafiles
    vt_uint_16 align;     // row alignment in pixels
    vt_uint_8 channels;   // VT_PMCH_* bits
};

extern const vt_pixelmap_type_info vtPixelmapTypes[VT_PMT_MAX];

// Bytes per pixel in memory: 0 for the types under 8 bits.
inline int VtPixelmapTypeBytes(vt_uint_8 type) { return type < VT_PMT_MAX ? vtPixelmapTypes[type].bits / 8 : 0; }

// ---- The record ----------------------------------------------------------

struct vt_device_pixelmap_dispatch;

// Pixelmap flags.
enum : vt_uint_8 {
    VT_PMF_DEVICE = 1,          // a driver's pixelmap: selects the copy path
    VT_PMF_LINEAR = 2,          // rows are contiguous
    VT_PMF_ROW_WHOLEPIXELS = 4, // a row is a whole number of pixels
};

// Allocation flags of VtPixelmapAllocate.
enum {
    VT_PMAF_INVERTED = 1,  // row 0 is the last row in memory
    VT_PMAF_NO_PIXELS = 2, // leave the pixels pointer null
};

// Copy function bits.
enum : vt_uint_16 {
    VT_PMCOPY_KEYED_SOURCE = 1, // on a source: zero pixels are skipped
    VT_PMCOPY_NO_KEYED_DEST = 2, // on a destination: cannot take a keyed copy
};

struct vt_pixelmap {
    const vt_device_pixelmap_dispatch *dispatch; // null: the memory table
    const char *identifier;
    void *pixels; // row 0 (the last row in memory when inverted)
    vt_uint_32 pixels_qualifier;
    vt_pixelmap *map; // palette or colour map
    vt_uint_32 src_key_low, src_key_high;
    vt_uint_32 dst_key_low, dst_key_high;
    vt_uint_32 key;
    vt_int_16 row_bytes; // negative when inverted
    vt_int_16 mip_offset;
    vt_uint_8 type;
    vt_uint_8 flags;
    vt_uint_16 copy_function;
    vt_uint_16 base_x, base_y;
    vt_uint_16 width, height;
    vt_int_16 origin_x, origin_y;
    void *user;
    void *stored;
};

typedef vt_pixelmap vt_device_pixelmap;

struct vt_point {
    vt_int_32 x, y;
};

struct vt_rectangle {
    vt_int_32 x, y, w, h;
};

// ---- Fonts ---------------------------------------------------------------

enum : vt_uint_32 { VT_FONTF_PROPORTIONAL = 1 };

struct vt_font {
    vt_uint_32 flags;
    vt_uint_16 glyph_x, glyph_y;     // glyph width and height
    vt_int_16 spacing_x, spacing_y;
    const vt_int_8 *width;           // 256 character widths; null for fixed fonts
    const vt_uint_16 *encoding;      // 256 offsets into the glyph data
    const vt_uint_8 *glyphs;         // rows of bits, leftmost pixel in bit 7
};

extern vt_font *VtFontProp7x9;  // the default font
extern vt_font *VtFontProp4x6;
extern vt_font *VtFontFixed3x5;

// ---- The operation table -------------------------------------------------

typedef vt_pixelmap vt_dpm;

struct vt_device_pixelmap_dispatch {
    vt_object_dispatch object; // the first 17 slots
    vt_error (*validSource)(vt_dpm *self, vt_boolean *bp, vt_object *h);
    vt_error (*resize)(vt_dpm *self, vt_int_32 width, vt_int_32 height);
    vt_error (*match)(vt_dpm *self, vt_dpm **newpm, vt_token_value *tv);
    vt_error (*allocateSub)(vt_dpm *self, vt_dpm **newpm, vt_rectangle *rect);
    vt_error (*copy)(vt_dpm *self, vt_dpm *src);
    vt_error (*copyTo)(vt_dpm *self, vt_dpm *src);
    vt_error (*copyFrom)(vt_dpm *self, vt_dpm *dest);
    vt_error (*fill)(vt_dpm *self, vt_uint_32 colour);
    vt_error (*doubleBuffer)(vt_dpm *self, vt_dpm *src);
    vt_error (*copyDirty)(vt_dpm *self, vt_dpm *src, vt_rectangle *dirty, vt_int_32 num_rects);
    vt_error (*copyToDirty)(vt_dpm *self, vt_dpm *src, vt_rectangle *dirty, vt_int_32 num_rects);
    vt_error (*copyFromDirty)(vt_dpm *self, vt_dpm *dest, vt_rectangle *dirty, vt_int_32 num_rects);
    vt_error (*fillDirty)(vt_dpm *self, vt_uint_32 colour, vt_rectangle *dirty, vt_int_32 num_rects);
    vt_error (*doubleBufferDirty)(vt_dpm *self, vt_dpm *src, vt_rectangle *dirty, vt_int_32 num_rects);
    vt_error (*rectangle)(vt_dpm *self, vt_rectangle *rect, vt_uint_32 colour);
    vt_error (*rectangle2)(vt_dpm *self, vt_rectangle *rect, vt_uint_32 colour_tl, vt_uint_32 colour_br);
    vt_error (*rectangleCopy)(vt_dpm *self, vt_point *p, vt_dpm *src, vt_rectangle *r);
    vt_error (*rectangleCopyTo)(vt_dpm *self, vt_point *p, vt_dpm *src, vt_rectangle *r);
    vt_error (*rectangleCopyFrom)(vt_dpm *self, vt_point *p, vt_dpm *dest, vt_rectangle *r);
    vt_error (*rectangleStretchCopy)(vt_dpm *self, vt_rectangle *d, vt_dpm *src, vt_rectangle *s);
    vt_error (*rectangleStretchCopyTo)(vt_dpm *self, vt_rectangle *d, vt_dpm *src, vt_rectangle *s);
    vt_error (*rectangleStretchCopyFrom)(vt_dpm *self, vt_rectangle *d, vt_dpm *dest, vt_rectangle *s);
    vt_error (*rectangleFill)(vt_dpm *self, vt_rectangle *rect, vt_uint_32 colour);
    vt_error (*pixelSet)(vt_dpm *self, vt_point *p, vt_uint_32 colour);
    vt_error (*line)(vt_dpm *self, vt_point *s, vt_point *e, vt_uint_32 colour);
    vt_error (*copyBits)(vt_dpm *self, vt_point *point, const vt_uint_8 *src, vt_uint_16 s_stride,
                         vt_rectangle *bit_rect, vt_uint_32 colour);
    vt_error (*text)(vt_dpm *self, vt_point *point, vt_font *font, const char *text, vt_uint_32 colour);
    vt_error (*textBounds)(vt_dpm *self, vt_rectangle *rect, vt_font *font, const char *text);
    vt_error (*rowSize)(vt_dpm *self, vt_size *sizep);
    vt_error (*rowQuery)(vt_dpm *self, void *buffer, vt_size buffer_size, vt_uint_32 row);
    vt_error (*rowSet)(vt_dpm *self, void *buffer, vt_size buffer_size, vt_uint_32 row);
    vt_error (*pixelQuery)(vt_dpm *self, vt_uint_32 *pcolour, vt_point *p);
    vt_error (*pixelAddressQuery)(vt_dpm *self, void **pptr, vt_uint_32 *pqual, vt_point *p);
    vt_error (*pixelAddressSet)(vt_dpm *self, void *ptr, vt_int_32 *row_bytes);
    vt_error (*originSet)(vt_dpm *self, vt_point *p);
    vt_error (*flush)(vt_dpm *self);
    vt_error (*synchronise)(vt_dpm *self, vt_token sync_type, vt_boolean block);
    vt_error (*directLock)(vt_dpm *self, vt_boolean block);
    vt_error (*directUnlock)(vt_dpm *self);
};

// A colour lookup table object (what a pixelmap answers to CLUT_O).
struct vt_device_clut;
struct vt_device_clut_dispatch {
    vt_object_dispatch object;
    vt_error (*entrySet)(vt_device_clut *self, vt_int_32 index, vt_colour entry);
    vt_error (*entryQuery)(vt_device_clut *self, vt_colour *entry, vt_int_32 index);
    vt_error (*entrySetMany)(vt_device_clut *self, vt_int_32 index, vt_int_32 count, const vt_colour *entries);
    vt_error (*entryQueryMany)(vt_device_clut *self, vt_colour *entries, vt_int_32 index, vt_int_32 count);
};
struct vt_device_clut {
    const vt_device_clut_dispatch *dispatch;
};

// The operation tables of the memory device and of the refusing null set.
extern const vt_device_pixelmap_dispatch vtDevicePixelmapMemDispatch;

// ---- Begin and end -------------------------------------------------------

vt_error VtPixelmapBegin();
vt_error VtPixelmapEnd();
// The module's anchor resource (null while the module is not begun).
void *VtPixelmapAnchor();

// ---- Public operations ---------------------------------------------------

vt_pixelmap *VtPixelmapAllocate(vt_uint_8 type, vt_int_32 width, vt_int_32 height, void *pixels, int flags);
vt_pixelmap *VtPixelmapAllocateSub(vt_pixelmap *pm, vt_int_32 x, vt_int_32 y, vt_int_32 w, vt_int_32 h);
void VtPixelmapFree(vt_pixelmap *pm);
vt_pixelmap *VtPixelmapResize(vt_pixelmap *pm, vt_int_32 width, vt_int_32 height);

// Match types of VtPixelmapMatch.
enum {
    VT_PMMATCH_OFFSCREEN = 0,
    VT_PMMATCH_DEPTH_16,
    VT_PMMATCH_DEPTH,
    VT_PMMATCH_HIDDEN,
    VT_PMMATCH_HIDDEN_BUFFER,
    VT_PMMATCH_NO_RENDER,
    VT_PMMATCH_DEPTH_8,
    VT_PMMATCH_DEPTH_32,
    VT_PMMATCH_DEPTH_15,
    VT_PMMATCH_DEPTH_31,
    VT_PMMATCH_DEPTH_FP15,
    VT_PMMATCH_DEPTH_FP16,
};
vt_pixelmap *VtPixelmapMatch(vt_pixelmap *pm, vt_uint_8 match_type);
vt_pixelmap *VtPixelmapMatchSized(vt_pixelmap *pm, vt_uint_8 match_type, vt_int_32 width, vt_int_32 height);
vt_pixelmap *VtPixelmapMatchTyped(vt_pixelmap *pm, vt_uint_8 match_type, vt_uint_8 pixel_type);
vt_pixelmap *VtPixelmapMatchTypedSized(vt_pixelmap *pm, vt_uint_8 match_type, vt_uint_8 pixel_type,
                                       vt_int_32 width, vt_int_32 height);

void VtPixelmapFill(vt_pixelmap *pm, vt_uint_32 colour);
void VtPixelmapRectangle(vt_pixelmap *pm, vt_int_32 x, vt_int_32 y, vt_int_32 w, vt_int_32 h, vt_uint_32 colour);
void VtPixelmapRectangle2(vt_pixelmap *pm, vt_int_32 x, vt_int_32 y, vt_int_32 w, vt_int_32 h,
                          vt_uint_32 colour_tl, vt_uint_32 colour_br);
vt_error VtPixelmapRectangleCopy(vt_pixelmap *dst, vt_int_32 dx, vt_int_32 dy, vt_pixelmap *src, vt_int_32 sx,
                                 vt_int_32 sy, vt_int_32 w, vt_int_32 h);
vt_error VtPixelmapRectangleStretchCopy(vt_pixelmap *dst, vt_int_32 dx, vt_int_32 dy, vt_int_32 dw, vt_int_32 dh,
                                        vt_pixelmap *src, vt_int_32 sx, vt_int_32 sy, vt_int_32 sw,
                                        vt_int_32 sh);
vt_error VtPixelmapCopy(vt_pixelmap *dst, vt_pixelmap *src);
vt_error VtPixelmapDirtyRectangleCopy(vt_pixelmap *dst, vt_pixelmap *src, vt_int_32 x, vt_int_32 y, vt_int_32 w,
                                      vt_int_32 h);
vt_error VtPixelmapDirtyRectangleFill(vt_pixelmap *pm, vt_int_32 x, vt_int_32 y, vt_int_32 w, vt_int_32 h,
                                      vt_uint_32 colour);
vt_error VtPixelmapDirtyRectangleDoubleBuffer(vt_pixelmap *dst, vt_pixelmap *src, vt_int_32 x, vt_int_32 y,
                                              vt_int_32 w, vt_int_32 h);
void VtPixelmapPixelSet(vt_pixelmap *pm, vt_int_32 x, vt_int_32 y, vt_uint_32 colour);
// Outside the pixelmap: 0.
vt_uint_32 VtPixelmapPixelGet(vt_pixelmap *pm, vt_int_32 x, vt_int_32 y);
void VtPixelmapLine(vt_pixelmap *pm, vt_int_32 x1, vt_int_32 y1, vt_int_32 x2, vt_int_32 y2, vt_uint_32 colour);
void VtPixelmapDoubleBuffer(vt_pixelmap *dst, vt_pixelmap *src);
void VtPixelmapCopyBits(vt_pixelmap *pm, vt_int_32 x, vt_int_32 y, const vt_uint_8 *bits, vt_int_32 stride,
                        vt_int_32 start_bit, vt_int_32 end_bit, vt_int_32 nrows, vt_uint_32 colour);

void VtPixelmapText(vt_pixelmap *pm, vt_int_32 x, vt_int_32 y, vt_uint_32 colour, vt_font *font, const char *text);
// Formats into the 512-character scratch text (cut there), then draws.
void VtPixelmapTextF(vt_pixelmap *pm, vt_int_32 x, vt_int_32 y, vt_uint_32 colour, vt_font *font,
                     const char *format, ...) VT_PRINTF(6, 7);
vt_int_32 VtPixelmapTextWidth(vt_pixelmap *pm, vt_font *font, const char *text);
vt_int_32 VtPixelmapTextHeight(vt_pixelmap *pm, vt_font *font);

vt_uint_16 VtPixelmapPixelSize(vt_pixelmap *pm);
vt_uint_16 VtPixelmapFileSize(vt_pixelmap *pm);
vt_uint_16 VtPixelmapChannels(vt_pixelmap *pm);

vt_error VtPixelmapPaletteSet(vt_pixelmap *pm, vt_pixelmap *palette);
vt_error VtPixelmapPaletteEntrySet(vt_pixelmap *pm, vt_int_32 index, vt_colour colour);
vt_error VtPixelmapPaletteEntrySetMany(vt_pixelmap *pm, vt_int_32 index, vt_int_32 ncolours, const vt_colour *colours);

vt_pixelmap *VtPixelmapDirectLock(vt_pixelmap *pm, vt_boolean block);
vt_pixelmap *VtPixelmapDirectUnlock(vt_pixelmap *pm);

// Datafiles of pixelmaps (".pix").
vt_pixelmap *VtPixelmapLoad(const char *filename);
vt_uint_32 VtPixelmapLoadMany(const char *filename, vt_pixelmap **pixelmaps, vt_uint_16 num);
vt_uint_32 VtPixelmapSave(const char *filename, vt_pixelmap *pm);

// ---- Device operations (shared with drivers through the export image) ----

// Clipping. Coordinates are relative to the pixelmap's origin; results are
// in pixel coordinates of the pixelmap. 0: nothing visible.
int PixelmapPointClip(vt_point *out, const vt_point *in, const vt_pixelmap *pm);
int PixelmapLineClip(vt_point *s_out, vt_point *e_out, const vt_point *s_in, const vt_point *e_in,
                     const vt_pixelmap *pm);
int PixelmapRectangleClip(vt_rectangle *out, const vt_rectangle *in, const vt_pixelmap *pm);
int PixelmapRectangleClipTwo(vt_rectangle *r_out, vt_point *p_out, const vt_rectangle *r_in, const vt_point *p_in,
                             const vt_pixelmap *pm_dst, const vt_pixelmap *pm_src);
// Clips each rectangle of a dirty list (copied to the same place in the
// destination); the visible ones are stored compacted. The number stored.
int PixelmapRectanglesClipTwo(vt_rectangle *r_out, vt_point *p_out, const vt_rectangle *r_in, vt_int_32 n,
                              const vt_pixelmap *pm_dst, const vt_pixelmap *pm_src);
int PixelmapCopyBitsClip(vt_rectangle *r_out, vt_point *p_out, const vt_rectangle *r_in, const vt_point *p_in,
                         const vt_pixelmap *pm);

// Draws the clipped line (pixel coordinates) with the symmetric double
// step, calling plot for every pixel.
template <class Plot> void PixelmapLineSteps(vt_int_32 x0, vt_int_32 y0, vt_int_32 x1, vt_int_32 y1, Plot plot);

#include "render/pmap/line_steps.inc"

// Memory device operations.
vt_error _M_br_device_pixelmap_mem_allocateSub(vt_dpm *self, vt_dpm **newpm, vt_rectangle *rect);
vt_error _M_br_device_pixelmap_mem_resize(vt_dpm *self, vt_int_32 width, vt_int_32 height);
vt_error _M_br_device_pixelmap_mem_match(vt_dpm *self, vt_dpm **newpm, vt_token_value *tv);
vt_error _M_br_device_pixelmap_mem_copyTo(vt_dpm *self, vt_dpm *src);
vt_error _M_br_device_pixelmap_mem_copyFrom(vt_dpm *self, vt_dpm *dest);
vt_error _M_br_device_pixelmap_mem_fill(vt_dpm *self, vt_uint_32 colour);
vt_error _M_br_device_pixelmap_mem_rectangleCopyTo(vt_dpm *self, vt_point *p, vt_dpm *src, vt_rectangle *r);
vt_error _M_br_device_pixelmap_mem_rectangleCopyFrom(vt_dpm *self, vt_point *p, vt_dpm *dest, vt_rectangle *r);
vt_error _M_br_device_pixelmap_mem_rectangleStretchCopyTo(vt_dpm *self, vt_rectangle *d, vt_dpm *src,
                                                          vt_rectangle *s);
vt_error _M_br_device_pixelmap_mem_rectangleStretchCopyFrom(vt_dpm *self, vt_rectangle *d, vt_dpm *dest,
                                                            vt_rectangle *s);
vt_error _M_br_device_pixelmap_mem_rectangleFill(vt_dpm *self, vt_rectangle *rect, vt_uint_32 colour);
vt_error _M_br_device_pixelmap_mem_pixelSet(vt_dpm *self, vt_point *p, vt_uint_32 colour);
vt_error _M_br_device_pixelmap_mem_line(vt_dpm *self, vt_point *s, vt_point *e, vt_uint_32 colour);
vt_error _M_br_device_pixelmap_mem_copyBits(vt_dpm *self, vt_point *point, const vt_uint_8 *src,
                                            vt_uint_16 s_stride, vt_rectangle *bit_rect, vt_uint_32 colour);
vt_error _M_br_device_pixelmap_mem_pixelQuery(vt_dpm *self, vt_uint_32 *pcolour, vt_point *p);
vt_error _M_br_device_pixelmap_mem_pixelAddressQuery(vt_dpm *self, void **pptr, vt_uint_32 *pqual, vt_point *p);
vt_error _M_br_device_pixelmap_mem_pixelAddressSet(vt_dpm *self, void *ptr, vt_int_32 *row_bytes);
vt_error _M_br_device_pixelmap_mem_originSet(vt_dpm *self, vt_point *p);

// Generic operations: composite operations in terms of the primitive ones.
vt_error _M_br_device_pixelmap_gen_copy(vt_dpm *self, vt_dpm *src);
vt_error _M_br_device_pixelmap_gen_copyTo(vt_dpm *self, vt_dpm *src);
vt_error _M_br_device_pixelmap_gen_copyFrom(vt_dpm *self, vt_dpm *dest);
vt_error _M_br_device_pixelmap_gen_fill(vt_dpm *self, vt_uint_32 colour);
vt_error _M_br_device_pixelmap_gen_doubleBuffer(vt_dpm *self, vt_dpm *src);
vt_error _M_br_device_pixelmap_gen_copyDirty(vt_dpm *self, vt_dpm *src, vt_rectangle *dirty, vt_int_32 n);
vt_error _M_br_device_pixelmap_gen_copyToDirty(vt_dpm *self, vt_dpm *src, vt_rectangle *dirty, vt_int_32 n);
vt_error _M_br_device_pixelmap_gen_copyFromDirty(vt_dpm *self, vt_dpm *dest, vt_rectangle *dirty, vt_int_32 n);
vt_error _M_br_device_pixelmap_gen_fillDirty(vt_dpm *self, vt_uint_32 colour, vt_rectangle *dirty, vt_int_32 n);
vt_error _M_br_device_pixelmap_gen_doubleBufferDirty(vt_dpm *self, vt_dpm *src, vt_rectangle *dirty, vt_int_32 n);
vt_error _M_br_device_pixelmap_gen_rectangle(vt_dpm *self, vt_rectangle *rect, vt_uint_32 colour);
vt_error _M_br_device_pixelmap_gen_rectangle2(vt_dpm *self, vt_rectangle *rect, vt_uint_32 colour_tl,
                                              vt_uint_32 colour_br);
vt_error _M_br_device_pixelmap_gen_line(vt_dpm *self, vt_point *s, vt_point *e, vt_uint_32 colour);
vt_error _M_br_device_pixelmap_gen_copyBits(vt_dpm *self, vt_point *point, const vt_uint_8 *src,
                                            vt_uint_16 s_stride, vt_rectangle *bit_rect, vt_uint_32 colour);
vt_error _M_br_device_pixelmap_gen_text(vt_dpm *self, vt_point *point, vt_font *font, const char *text,
                                        vt_uint_32 colour);
vt_error _M_br_device_pixelmap_gen_textBounds(vt_dpm *self, vt_rectangle *rect, vt_font *font, const char *text);
vt_error _M_br_device_pixelmap_gen_directLock(vt_dpm *self, vt_boolean block);
vt_error _M_br_device_pixelmap_gen_directUnlock(vt_dpm *self);
vt_error _M_br_device_pixelmap_gen_flush(vt_dpm *self);
vt_error _M_br_device_pixelmap_gen_synchronise(vt_dpm *self, vt_token sync_type, vt_boolean block);

// Memory operations that are the generic ones under the memory family's
// name, and the ones with nothing to do.
vt_error _M_br_device_pixelmap_mem_validSource(vt_dpm *self, vt_boolean *bp, vt_object *h);
vt_error _M_br_device_pixelmap_mem_doubleBuffer(vt_dpm *self, vt_dpm *src);
vt_error _M_br_device_pixelmap_mem_copyDirty(vt_dpm *self, vt_dpm *src, vt_rectangle *dirty, vt_int_32 n);
vt_error _M_br_device_pixelmap_mem_copyToDirty(vt_dpm *self, vt_dpm *src, vt_rectangle *dirty, vt_int_32 n);
vt_error _M_br_device_pixelmap_mem_copyFromDirty(vt_dpm *self, vt_dpm *dest, vt_rectangle *dirty, vt_int_32 n);
vt_error _M_br_device_pixelmap_mem_fillDirty(vt_dpm *self, vt_uint_32 colour, vt_rectangle *dirty, vt_int_32 n);
vt_error _M_br_device_pixelmap_mem_doubleBufferDirty(vt_dpm *self, vt_dpm *src, vt_rectangle *dirty, vt_int_32 n);
vt_error _M_br_device_pixelmap_mem_rowSize(vt_dpm *self, vt_size *sizep);
vt_error _M_br_device_pixelmap_mem_rowQuery(vt_dpm *self, void *buffer, vt_size buffer_size, vt_uint_32 row);
vt_error _M_br_device_pixelmap_mem_rowSet(vt_dpm *self, void *buffer, vt_size buffer_size, vt_uint_32 row);
vt_error _M_br_device_pixelmap_mem_flush(vt_dpm *self);
vt_error _M_br_device_pixelmap_mem_synchronise(vt_dpm *self, vt_token sync_type, vt_boolean block);
vt_error _M_br_device_pixelmap_mem_directLock(vt_dpm *self, vt_boolean block);
vt_error _M_br_device_pixelmap_mem_directUnlock(vt_dpm *self);

// Null operations: every one refuses with VT_E_UNSUPPORTED.
vt_error _M_br_device_pixelmap_null_resize(vt_dpm *self, vt_int_32 width, vt_int_32 height);
vt_error _M_br_device_pixelmap_null_copyTo(vt_dpm *self, vt_dpm *src);
vt_error _M_br_device_pixelmap_null_copyFrom(vt_dpm *self, vt_dpm *dest);
vt_error _M_br_device_pixelmap_null_fill(vt_dpm *self, vt_uint_32 colour);
vt_error _M_br_device_pixelmap_null_doubleBuffer(vt_dpm *self, vt_dpm *src);
vt_error _M_br_device_pixelmap_null_copyDirty(vt_dpm *self, vt_dpm *src, vt_rectangle *dirty, vt_int_32 n);
vt_error _M_br_device_pixelmap_null_copyToDirty(vt_dpm *self, vt_dpm *src, vt_rectangle *dirty, vt_int_32 n);
vt_error _M_br_device_pixelmap_null_copyFromDirty(vt_dpm *self, vt_dpm *dest, vt_rectangle *dirty, vt_int_32 n);
vt_error _M_br_device_pixelmap_null_fillDirty(vt_dpm *self, vt_uint_32 colour, vt_rectangle *dirty, vt_int_32 n);
vt_error _M_br_device_pixelmap_null_doubleBufferDirty(vt_dpm *self, vt_dpm *src, vt_rectangle *dirty, vt_int_32 n);
vt_error _M_br_device_pixelmap_null_rectangleCopyTo(vt_dpm *self, vt_point *p, vt_dpm *src, vt_rectangle *r);
vt_error _M_br_device_pixelmap_null_rectangleCopyFrom(vt_dpm *self, vt_point *p, vt_dpm *dest, vt_rectangle *r);
vt_error _M_br_device_pixelmap_null_rectangleStretchCopyTo(vt_dpm *self, vt_rectangle *d, vt_dpm *src,
                                                           vt_rectangle *s);
vt_error _M_br_device_pixelmap_null_rectangleStretchCopyFrom(vt_dpm *self, vt_rectangle *d, vt_dpm *dest,
                                                             vt_rectangle *s);
vt_error _M_br_device_pixelmap_null_rectangleFill(vt_dpm *self, vt_rectangle *rect, vt_uint_32 colour);
vt_error _M_br_device_pixelmap_null_pixelSet(vt_dpm *self, vt_point *p, vt_uint_32 colour);
vt_error _M_br_device_pixelmap_null_copyBits(vt_dpm *self, vt_point *point, const vt_uint_8 *src,
                                             vt_uint_16 s_stride, vt_rectangle *bit_rect, vt_uint_32 colour);
vt_error _M_br_device_pixelmap_null_pixelQuery(vt_dpm *self, vt_uint_32 *pcolour, vt_point *p);
vt_error _M_br_device_pixelmap_null_pixelAddressQuery(vt_dpm *self, void **pptr, vt_uint_32 *pqual, vt_point *p);
vt_error _M_br_device_pixelmap_null_pixelAddressSet(vt_dpm *self, void *ptr, vt_int_32 *row_bytes);

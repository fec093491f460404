// The pixel type table: bits per pixel, bytes per pixel in files, row
// alignment in pixels, channel classes.
#include "render/pmap/pixelmap.h"

namespace {
constexpr vt_uint_8 I = VT_PMCH_INDEX, C = VT_PMCH_COLOUR, D = VT_PMCH_DEPTH, A = VT_PMCH_ALPHA, Y = VT_PMCH_YUV;
} // namespace

const vt_pixelmap_type_info vtPixelmapTypes[VT_PMT_MAX] = {
    {1, 1, 32, I},      // INDEX_1
    {2, 1, 16, I},      // INDEX_2
    {4, 1, 8, I},       // INDEX_4
    {8, 1, 4, I},       // INDEX_8
    {16, 2, 2, C},      // RGB_555
    {16, 2, 2, C},      // RGB_565
    {24, 3, 4, C},      // RGB_888
    {32, 4, 1, C},      // RGBX_888
    {32, 4, 1, C | A},  // RGBA_8888
    {16, 1, 2, Y},      // YUYV_8888
    {32, 1, 1, Y},      // YUV_888
    {16, 2, 4, D},      // DEPTH_16
    {32, 4, 4, D},      // DEPTH_32
    {8, 1, 4, A},       // ALPHA_8
    {16, 2, 2, I | A},  // INDEXA_88
    {16, 2, 2, I | A},  // 15
    {16, 2, 2, I | A},  // 16
    {16, 2, 2, I | A},  // 17
    {16, 2, 2, I | A},  // 18
    {16, 2, 2, I | A},  // 19
    {16, 2, 2, I | A},  // 20
    {8, 1, 4, C},       // 21
    {8, 1, 4, D},       // 22: 8-bit depth
    {32, 4, 1, C | A},  // 23
    {4, 1, 8, A},       // 24
    {8, 1, 4, I | A},   // 25
    {16, 2, 2, D},      // 26
    {32, 4, 1, D},      // 27
    {16, 2, 2, D},      // 28
    {16, 2, 2, D},      // 29
};

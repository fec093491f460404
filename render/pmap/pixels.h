// The pixel routines every memory operation reduces to. Each takes a
// bytes-per-pixel value b and does nothing (a load yields 0) unless b is
// 1, 2, 3 or 4. Counts and row counts are at least 1.
#pragma once

#include "render/fw/types.h"

namespace vtpix {

void RunCopy(vt_uint_8 *dst, const vt_uint_8 *src, vt_size count, int b);
void RectCopy(vt_uint_8 *dst, const vt_uint_8 *src, vt_size width, vt_size rows, vt_int_32 d_stride,
              vt_int_32 s_stride, int b);
void KeyedRunCopy(vt_uint_8 *dst, const vt_uint_8 *src, vt_size count, int b);
void KeyedRectCopy(vt_uint_8 *dst, const vt_uint_8 *src, vt_size width, vt_size rows, vt_int_32 d_stride,
                   vt_int_32 s_stride, int b);
void RunFill(vt_uint_8 *dst, vt_size count, int b, vt_uint_32 colour);
void RectFill(vt_uint_8 *dst, vt_size width, vt_size rows, vt_int_32 stride, int b, vt_uint_32 colour);
void PixelStore(vt_uint_8 *dst, int b, vt_uint_32 colour);
vt_uint_32 PixelLoad(const vt_uint_8 *src, int b);
// Sets to the colour the pixels of the 1 bits from start_bit (inclusive) to
// end_bit (exclusive) of each source row; dst is the pixel of bit 7 of the
// first source byte.
void BitExpand(vt_uint_8 *dst, vt_int_32 d_stride, const vt_uint_8 *src, vt_int_32 s_stride, int start_bit,
               int end_bit, vt_size rows, int b, vt_uint_32 colour);
// The host's data selector: flat memory has one.
inline vt_uint_32 DataSelector() { return 0; }

} // namespace vtpix

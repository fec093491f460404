// Pixel routines: plain memory moves. Only the bytes written matter; the
// library's callers keep every address inside the pixel block.
#include "render/pmap/pixels.h"

#include <cstring>
#include <cwchar>

namespace vtpix {

namespace {

bool validBytes(int b) { return b >= 1 && b <= 4; }

// The colour's low b bytes repeated across 8 bytes (b = 1, 2, 4).
uint64_t pattern64(vt_uint_32 colour, int b) {
    switch (b) {
    case 1:
        return 0x0101010101010101ull * (colour & 0xff);
    case 2:
        return 0x0001000100010001ull * (colour & 0xffff);
    default:
        return 0x0000000100000001ull * colour;
    }
}

} // namespace

void RunCopy(vt_uint_8 *dst, const vt_uint_8 *src, vt_size count, int b) {
    if (!validBytes(b))
        return;
    memmove(dst, src, count * vt_size(b));
}

void RectCopy(vt_uint_8 *dst, const vt_uint_8 *src, vt_size width, vt_size rows, vt_int_32 d_stride,
              vt_int_32 s_stride, int b) {
    if (!validBytes(b))
        return;
    const vt_size n = width * vt_size(b);
    for (vt_size r = 0; r < rows; r++, dst += d_stride, src += s_stride)
        memmove(dst, src, n);
}

void KeyedRunCopy(vt_uint_8 *dst, const vt_uint_8 *src, vt_size count, int b) {
    switch (b) {
    case 1:
        for (vt_size i = 0; i < count; i++)
            if (src[i])
                dst[i] = src[i];
        break;
    case 2:
    case 3:
    case 4:
        for (vt_size i = 0; i < count; i++, dst += b, src += b)
            if (PixelLoad(src, b))
                memcpy(dst, src, vt_size(b));
        break;
    default:
        break;
    }
}

void KeyedRectCopy(vt_uint_8 *dst, const vt_uint_8 *src, vt_size width, vt_size rows, vt_int_32 d_stride,
                   vt_int_32 s_stride, int b) {
    for (vt_size r = 0; r < rows; r++, dst += d_stride, src += s_stride)
        KeyedRunCopy(dst, src, width, b);
}

void RunFill(vt_uint_8 *dst, vt_size count, int b, vt_uint_32 colour) {
    if (!validBytes(b))
        return;
    if (b == 1) {
        memset(dst, int(colour & 0xff), count);
        return;
    }
    if (b == 3) {
        const vt_uint_8 c0 = vt_uint_8(colour), c1 = vt_uint_8(colour >> 8), c2 = vt_uint_8(colour >> 16);
        if (c0 == c1 && c1 == c2) {
            memset(dst, c0, count * 3);
            return;
        }
        // Whole pixels up to an 8-byte boundary, then 24-byte runs of three
        // rotating words, then single pixels.
        static const vt_uint_8 head[8] = {0, 3, 6, 1, 4, 7, 2, 5};
        vt_size h = head[(8 - (reinterpret_cast<uintptr_t>(dst) & 7)) & 7];
        if (h > count)
            h = count;
        for (vt_size i = 0; i < h; i++, dst += 3)
            dst[0] = c0, dst[1] = c1, dst[2] = c2;
        count -= h;
        vt_uint_8 words[24];
        for (int i = 0; i < 24; i += 3)
            words[i] = c0, words[i + 1] = c1, words[i + 2] = c2;
        uint64_t w[3];
        memcpy(w, words, 24);
        for (; count >= 8; count -= 8, dst += 24) {
            memcpy(dst, &w[0], 8);
            memcpy(dst + 8, &w[1], 8);
            memcpy(dst + 16, &w[2], 8);
        }
        for (; count; count--, dst += 3)
            dst[0] = c0, dst[1] = c1, dst[2] = c2;
        return;
    }
    // 2 and 4 bytes: the C library's wide-character fill stores 4-byte units
    // as fast as its byte fill, once the destination is 4-byte aligned.
    static_assert(sizeof(wchar_t) == 4, "4-byte wide characters");
    if (b == 2 && count && (reinterpret_cast<uintptr_t>(dst) & 3) == 2) {
        const vt_uint_16 c = vt_uint_16(colour);
        memcpy(dst, &c, 2);
        dst += 2;
        count--;
    }
    if ((reinterpret_cast<uintptr_t>(dst) & 3) == 0) {
        const vt_uint_32 unit = b == 2 ? (colour & 0xffff) * 0x10001u : colour;
        const vt_size units = b == 2 ? count / 2 : count;
        wchar_t wc;
        memcpy(&wc, &unit, 4);
        wmemset(reinterpret_cast<wchar_t *>(dst), wc, units);
        dst += units * 4;
        count -= b == 2 ? units * 2 : units;
    }
    // What is left (an odd last pixel, or an unaligned destination): single
    // pixels up to an 8-byte boundary, 8-byte words, single pixels.
    const uint64_t w = pattern64(colour, b);
    while (count && (reinterpret_cast<uintptr_t>(dst) & 7)) {
        memcpy(dst, &w, vt_size(b));
        dst += b;
        count--;
    }
    const vt_size perWord = 8 / vt_size(b);
    vt_size words = count / perWord;
    for (vt_size i = 0; i < words; i++, dst += 8)
        memcpy(dst, &w, 8);
    for (count -= words * perWord; count; count--, dst += b)
        memcpy(dst, &w, vt_size(b));
}

void RectFill(vt_uint_8 *dst, vt_size width, vt_size rows, vt_int_32 stride, int b, vt_uint_32 colour) {
    for (vt_size r = 0; r < rows; r++, dst += stride)
        RunFill(dst, width, b, colour);
}

void PixelStore(vt_uint_8 *dst, int b, vt_uint_32 colour) {
    switch (b) {
    case 4:
        dst[3] = vt_uint_8(colour >> 24);
        [[fallthrough]];
    case 3:
        dst[2] = vt_uint_8(colour >> 16);
        [[fallthrough]];
    case 2:
        dst[1] = vt_uint_8(colour >> 8);
        [[fallthrough]];
    case 1:
        dst[0] = vt_uint_8(colour);
        break;
    default:
        break;
    }
}

vt_uint_32 PixelLoad(const vt_uint_8 *src, int b) {
    switch (b) {
    case 1:
        return src[0];
    case 2:
        return vt_uint_32(src[0]) | vt_uint_32(src[1]) << 8;
    case 3:
        return vt_uint_32(src[0]) | vt_uint_32(src[1]) << 8 | vt_uint_32(src[2]) << 16;
    case 4:
        return vt_uint_32(src[0]) | vt_uint_32(src[1]) << 8 | vt_uint_32(src[2]) << 16 | vt_uint_32(src[3]) << 24;
    default:
        return 0;
    }
}

void BitExpand(vt_uint_8 *dst, vt_int_32 d_stride, const vt_uint_8 *src, vt_int_32 s_stride, int start_bit,
               int end_bit, vt_size rows, int b, vt_uint_32 colour) {
    if (!validBytes(b) || end_bit <= start_bit)
        return;
    static const vt_uint_8 leftMask[8] = {0xff, 0x7f, 0x3f, 0x1f, 0x0f, 0x07, 0x03, 0x01};
    static const vt_uint_8 rightMask[8] = {0xff, 0x80, 0xc0, 0xe0, 0xf0, 0xf8, 0xfc, 0xfe};
    // The last byte used, and its mask.
    const int lastByte = (end_bit & 7) ? end_bit / 8 : end_bit / 8 - 1;
    for (vt_size r = 0; r < rows; r++, dst += d_stride, src += s_stride) {
        for (int k = 0; k <= lastByte; k++) {
            vt_uint_8 bits = src[k];
            if (k == 0)
                bits &= leftMask[start_bit];
            if (k == lastByte)
                bits &= rightMask[end_bit & 7];
            if (!bits)
                continue;
            vt_uint_8 *p = dst + vt_size(k) * 8 * vt_size(b);
            for (int i = 0; i < 8; i++, p += b)
                if (bits & (0x80 >> i))
                    PixelStore(p, b, colour);
        }
    }
}

} // namespace vtpix

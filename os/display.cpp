#include "os/display.h"

#include <SDL2/SDL.h>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

struct Screen {
    bool open = false;
    bool headless = true;
    OsDisplayRequest req{};
    SDL_Window *sharedWindow = nullptr;  // the window module's, when given
    SDL_Window *ownWindow = nullptr;
    SDL_Renderer *renderer = nullptr;
    SDL_Texture *texture = nullptr;
    std::vector<uint32_t> frame;  // the converted frame
    int framePitch = 0;           // bytes
    bool framed = false;
} gScreen;

void DropRenderer() {
    if (gScreen.texture) SDL_DestroyTexture(gScreen.texture);
    if (gScreen.renderer) SDL_DestroyRenderer(gScreen.renderer);
    gScreen.texture = nullptr;
    gScreen.renderer = nullptr;
}

bool MakeTexture() {
    Uint32 format = gScreen.req.depth == 16 ? SDL_PIXELFORMAT_RGB565 : SDL_PIXELFORMAT_ARGB8888;
    gScreen.texture = SDL_CreateTexture(gScreen.renderer, format, SDL_TEXTUREACCESS_STREAMING,
                                        gScreen.req.width, gScreen.req.height);
    return gScreen.texture != nullptr;
}

}  // namespace

bool osVideoStart() {
    if (SDL_WasInit(SDL_INIT_VIDEO)) return true;
    return SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
}

bool osDisplayHeadless() {
    if (!SDL_WasInit(SDL_INIT_VIDEO)) return true;
    const char *drv = SDL_GetCurrentVideoDriver();
    return !drv || !SDL_strcmp(drv, "dummy") || !SDL_strcmp(drv, "offscreen");
}

void osDisplayUseWindow(void *sdlWindow) { gScreen.sharedWindow = static_cast<SDL_Window *>(sdlWindow); }

OsDisplayResult osDisplayOpen(const OsDisplayRequest &req) {
    osDisplayClose();
    if (req.width <= 0 || req.height <= 0 || req.width > 8192 || req.height > 8192)
        return OsDisplayResult::NoWindow;
    if (!osVideoStart()) return OsDisplayResult::NoVideo;
    gScreen.req = req;
    gScreen.headless = osDisplayHeadless();
    gScreen.framePitch = req.depth == 16 ? ((req.width * 2 + 3) & ~3) : req.width * 4;
    gScreen.frame.assign(size_t(gScreen.framePitch / 4) * req.height, 0);
    gScreen.framed = false;
    if (!gScreen.headless) {
        // Full screen covers the desktop at its own mode and the frame is
        // scaled up keeping its shape: changing the display's mode is
        // neither needed nor reliable (a server without a window manager
        // never resizes a window that asks for full screen).
        SDL_DisplayMode desk{};
        if (req.fullScreen && SDL_GetDesktopDisplayMode(0, &desk) != 0) return OsDisplayResult::NoMode;
        Uint32 full = req.keepDesktopMode ? SDL_WINDOW_FULLSCREEN_DESKTOP : SDL_WINDOW_FULLSCREEN;
        SDL_Window *w = gScreen.sharedWindow;
        if (!w) {
            w = gScreen.ownWindow =
                req.fullScreen
                    ? SDL_CreateWindow("MARROWGLEAM", 0, 0, desk.w, desk.h,
                                       SDL_WINDOW_SHOWN | SDL_WINDOW_BORDERLESS | full)
                    : SDL_CreateWindow("MARROWGLEAM", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                       req.width, req.height, SDL_WINDOW_SHOWN);
            if (!w) return req.fullScreen ? OsDisplayResult::NoMode : OsDisplayResult::NoWindow;
        } else if (req.fullScreen) {
            SDL_SetWindowBordered(w, SDL_FALSE);
            SDL_SetWindowPosition(w, 0, 0);
            SDL_SetWindowSize(w, desk.w, desk.h);
            if (SDL_SetWindowFullscreen(w, full) != 0) {
                osDisplayClose();
                return OsDisplayResult::NoMode;
            }
        } else {
            SDL_SetWindowFullscreen(w, 0);
            SDL_SetWindowBordered(w, SDL_TRUE);
            SDL_SetWindowSize(w, req.width, req.height);
            SDL_SetWindowPosition(w, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
        }
        gScreen.renderer = SDL_CreateRenderer(w, -1, SDL_RENDERER_PRESENTVSYNC);
        if (!gScreen.renderer) gScreen.renderer = SDL_CreateRenderer(w, -1, SDL_RENDERER_SOFTWARE);
        if (!gScreen.renderer || !MakeTexture()) {
            osDisplayClose();
            return OsDisplayResult::NoRenderer;
        }
        SDL_RenderSetLogicalSize(gScreen.renderer, req.width, req.height);
        SDL_SetRenderDrawColor(gScreen.renderer, 0, 0, 0, 255);
        SDL_RenderClear(gScreen.renderer);
        SDL_RenderPresent(gScreen.renderer);
    }
    gScreen.open = true;
    return OsDisplayResult::Ok;
}

void osDisplayClose() {
    DropRenderer();
    if (gScreen.sharedWindow && gScreen.open) SDL_SetWindowFullscreen(gScreen.sharedWindow, 0);
    if (gScreen.ownWindow) SDL_DestroyWindow(gScreen.ownWindow);
    gScreen.ownWindow = nullptr;
    gScreen.frame.clear();
    gScreen.frame.shrink_to_fit();
    gScreen.framed = false;
    gScreen.open = false;
}

bool osDisplayIsOpen() { return gScreen.open; }

bool osDisplayRestore() {
    if (!gScreen.open || gScreen.headless) return gScreen.open;
    if (gScreen.texture) SDL_DestroyTexture(gScreen.texture);
    gScreen.texture = nullptr;
    return gScreen.renderer && MakeTexture();
}

void osPaletteTo32(const uint8_t *palette, uint32_t table[256]) {
    for (int i = 0; i < 256; i++) {
        const uint8_t *e = palette ? palette + i * 4 : nullptr;
        table[i] = e ? 0xFF000000u | (uint32_t(e[0]) << 16) | (uint32_t(e[1]) << 8) | e[2]
                     : 0xFF000000u;
    }
}

namespace {

// One row through the table, eight indices a load; the lookups are
// independent of each other. The vector road ends its rows here too.
void Convert8To32Row(const uint8_t *s, uint32_t *d, int x, int width, const uint32_t table[256]) {
    for (; x + 8 <= width; x += 8) {
        uint64_t v;
        std::memcpy(&v, s + x, 8);
        d[x] = table[v & 0xFF];
        d[x + 1] = table[(v >> 8) & 0xFF];
        d[x + 2] = table[(v >> 16) & 0xFF];
        d[x + 3] = table[(v >> 24) & 0xFF];
        d[x + 4] = table[(v >> 32) & 0xFF];
        d[x + 5] = table[(v >> 40) & 0xFF];
        d[x + 6] = table[(v >> 48) & 0xFF];
        d[x + 7] = table[v >> 56];
    }
    for (; x < width; x++) d[x] = table[s[x]];
}

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define RUVO_CONVERT_VBMI 1
// A table load per pixel runs at about a pixel a cycle whatever the store
// width, two to three times a memcpy of the output; byte permutes look up
// 64 indices at once. The table is split into four byte planes of 256
// (four registers each), each plane looked up with two two-register
// permutes picked between by the index's top bit, and the planes are
// interleaved back into pixels.
// The 128-bit lanes of a and b picked by imm. Through the zeroing form:
// GCC 12 warns on the plain one's undefined source.
template <int Imm>
__attribute__((target("avx512f"))) inline __m512i Lanes(__m512i a, __m512i b) {
    return _mm512_maskz_shuffle_i32x4(0xFFFF, a, b, Imm);
}

__attribute__((target("avx512f,avx512bw,avx512vbmi"))) void Convert8To32Vbmi(
    const uint8_t *src, int srcPitch, uint32_t *dst, int dstPitch, int width, int height,
    const uint32_t table[256]) {
    alignas(64) uint8_t planes[4][256];
    for (int i = 0; i < 256; i++)
        for (int k = 0; k < 4; k++) planes[k][i] = uint8_t(table[i] >> (8 * k));
    __m512i p[4][4];
    for (int k = 0; k < 4; k++)
        for (int j = 0; j < 4; j++) p[k][j] = _mm512_load_si512(planes[k] + 64 * j);
    for (int y = 0; y < height; y++) {
        const uint8_t *s = src + size_t(y) * srcPitch;
        uint32_t *d = reinterpret_cast<uint32_t *>(reinterpret_cast<uint8_t *>(dst) + size_t(y) * dstPitch);
        int x = 0;
        for (; x + 64 <= width; x += 64) {
            __m512i idx = _mm512_loadu_si512(s + x);
            __mmask64 upper = _mm512_movepi8_mask(idx);
            __m512i b[4];
            for (int k = 0; k < 4; k++)
                b[k] = _mm512_mask_blend_epi8(upper, _mm512_permutex2var_epi8(p[k][0], idx, p[k][1]),
                                              _mm512_permutex2var_epi8(p[k][2], idx, p[k][3]));
            // Within each 128-bit lane L, q0..q3 hold pixels 16L+0..3, +4..7,
            // +8..11, +12..15.
            __m512i lo01 = _mm512_unpacklo_epi8(b[0], b[1]), hi01 = _mm512_unpackhi_epi8(b[0], b[1]);
            __m512i lo23 = _mm512_unpacklo_epi8(b[2], b[3]), hi23 = _mm512_unpackhi_epi8(b[2], b[3]);
            __m512i q0 = _mm512_unpacklo_epi16(lo01, lo23), q1 = _mm512_unpackhi_epi16(lo01, lo23);
            __m512i q2 = _mm512_unpacklo_epi16(hi01, hi23), q3 = _mm512_unpackhi_epi16(hi01, hi23);
            __m512i a0 = Lanes<0x44>(q0, q1), a1 = Lanes<0x44>(q2, q3);
            __m512i a2 = Lanes<0xEE>(q0, q1), a3 = Lanes<0xEE>(q2, q3);
            _mm512_storeu_si512(d + x, Lanes<0x88>(a0, a1));
            _mm512_storeu_si512(d + x + 16, Lanes<0xDD>(a0, a1));
            _mm512_storeu_si512(d + x + 32, Lanes<0x88>(a2, a3));
            _mm512_storeu_si512(d + x + 48, Lanes<0xDD>(a2, a3));
        }
        Convert8To32Row(s, d, x, width, table);
    }
}

bool HasVbmi() {
    static const bool has = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
                            __builtin_cpu_supports("avx512vbmi");
    return has;
}
#else
bool HasVbmi() { return false; }
#endif

bool gConvertSimdAllowed = true;

}  // namespace

bool osConvertUseSimd(bool allowed) {
    gConvertSimdAllowed = allowed;
    return allowed && HasVbmi();
}

void osConvert8To32(const uint8_t *src, int srcPitch, uint32_t *dst, int dstPitch, int width,
                    int height, const uint32_t table[256]) {
#ifdef RUVO_CONVERT_VBMI
    if (gConvertSimdAllowed && width >= 64 && HasVbmi()) {
        Convert8To32Vbmi(src, srcPitch, dst, dstPitch, width, height, table);
        return;
    }
#endif
    for (int y = 0; y < height; y++)
        Convert8To32Row(src + size_t(y) * srcPitch,
                        reinterpret_cast<uint32_t *>(reinterpret_cast<uint8_t *>(dst) + size_t(y) * dstPitch), 0,
                        width, table);
}

void osCopy16(const uint8_t *src, int srcPitch, uint8_t *dst, int dstPitch, int width, int height) {
    size_t row = size_t(width) * 2;
    if (srcPitch == dstPitch && size_t(srcPitch) == row) {
        std::memcpy(dst, src, row * height);
        return;
    }
    for (int y = 0; y < height; y++) std::memcpy(dst + size_t(y) * dstPitch, src + size_t(y) * srcPitch, row);
}

void osDisplayPresent(const uint8_t *pixels, int pitch, const uint8_t *palette) {
    if (!gScreen.open || !pixels) return;
    const OsDisplayRequest &sp = gScreen.req;
    uint8_t *frame = reinterpret_cast<uint8_t *>(gScreen.frame.data());
    if (sp.depth == 8) {
        uint32_t table[256];
        osPaletteTo32(palette, table);
        osConvert8To32(pixels, pitch, gScreen.frame.data(), gScreen.framePitch, sp.width, sp.height, table);
    } else if (sp.depth == 16) {
        osCopy16(pixels, pitch, frame, gScreen.framePitch, sp.width, sp.height);
    } else {
        for (int y = 0; y < sp.height; y++) {
            const uint8_t *s = pixels + size_t(y) * pitch;
            uint32_t *d = gScreen.frame.data() + size_t(y) * (gScreen.framePitch / 4);
            for (int x = 0; x < sp.width; x++, s += 3)
                d[x] = 0xFF000000u | (uint32_t(s[2]) << 16) | (uint32_t(s[1]) << 8) | s[0];
        }
    }
    gScreen.framed = true;
    if (gScreen.headless || !gScreen.renderer || !gScreen.texture) return;
    if (!gScreen.sharedWindow) SDL_PumpEvents();
    SDL_UpdateTexture(gScreen.texture, nullptr, frame, gScreen.framePitch);
    SDL_RenderClear(gScreen.renderer);
    SDL_RenderCopy(gScreen.renderer, gScreen.texture, nullptr, nullptr);
    SDL_RenderPresent(gScreen.renderer);
}

void osDisplayShowAgain() {
    if (!gScreen.open || gScreen.headless || !gScreen.renderer || !gScreen.texture || !gScreen.framed) return;
    SDL_RenderClear(gScreen.renderer);
    SDL_RenderCopy(gScreen.renderer, gScreen.texture, nullptr, nullptr);
    SDL_RenderPresent(gScreen.renderer);
}

const void *osDisplayLastFrame(int *pitch) {
    if (pitch) *pitch = gScreen.framePitch;
    return gScreen.framed ? gScreen.frame.data() : nullptr;
}

bool osDisplayReadShown(int x, int y, uint32_t *rgb) {
    if (!gScreen.open || gScreen.headless || !gScreen.renderer || !gScreen.texture || !rgb) return false;
    if (x < 0 || y < 0 || x >= gScreen.req.width || y >= gScreen.req.height) return false;
    // The back buffer is undefined after a present: draw the frame again,
    // stretched over the whole output, read it and put the scaling back.
    SDL_RenderSetLogicalSize(gScreen.renderer, 0, 0);
    int outW = 0, outH = 0;
    bool ok = SDL_GetRendererOutputSize(gScreen.renderer, &outW, &outH) == 0 && outW > 0 && outH > 0;
    uint32_t px = 0;
    if (ok) {
        SDL_RenderClear(gScreen.renderer);
        SDL_RenderCopy(gScreen.renderer, gScreen.texture, nullptr, nullptr);
        SDL_Rect r{int((x + 0.5) * outW / gScreen.req.width), int((y + 0.5) * outH / gScreen.req.height), 1, 1};
        ok = SDL_RenderReadPixels(gScreen.renderer, &r, SDL_PIXELFORMAT_ARGB8888, &px, 4) == 0;
    }
    SDL_RenderSetLogicalSize(gScreen.renderer, gScreen.req.width, gScreen.req.height);
    if (ok) *rgb = px & 0xFFFFFF;
    return ok;
}

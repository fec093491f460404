#include "os/display.h"

#include <SDL2/SDL.h>

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

void osConvert8To32(const uint8_t *src, int srcPitch, uint32_t *dst, int dstPitch, int width,
                    int height, const uint32_t table[256]) {
    for (int y = 0; y < height; y++) {
        const uint8_t *s = src + size_t(y) * srcPitch;
        uint32_t *d = reinterpret_cast<uint32_t *>(reinterpret_cast<uint8_t *>(dst) + size_t(y) * dstPitch);
        int x = 0;
        // Eight indices per load; the lookups are independent of each other.
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

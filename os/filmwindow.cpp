#include "os/filmwindow.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <vector>

#include "os/display.h"
#include "os/film.h"

struct OsFilmWindow {
    SDL_Window *window = nullptr;
    SDL_Renderer *renderer = nullptr;
    SDL_Texture *texture = nullptr;
    int textureWidth = 0, textureHeight = 0;
    std::vector<uint8_t> rgb;
};

OsFilmWindow *osFilmWindowOpen(const char *title, int x, int y, int width, int height, bool fullScreen) {
    if (!osVideoStart()) return nullptr;
    // Headless, like the game's own display, films are timed and decoded but
    // shown nowhere.
    if (osDisplayHeadless()) return new OsFilmWindow;
    Uint32 flags = SDL_WINDOW_SHOWN | SDL_WINDOW_BORDERLESS;
    SDL_DisplayMode desk{};
    if (fullScreen && SDL_GetDesktopDisplayMode(0, &desk) == 0) {
        // Made at the desktop's size: a server without a window manager never
        // resizes a window that only asks for full screen.
        flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
        x = y = 0;
        width = desk.w;
        height = desk.h;
    }
    SDL_Window *w = SDL_CreateWindow(title ? title : "", x, y, width > 0 ? width : 1, height > 0 ? height : 1, flags);
    if (!w) return nullptr;
    // A film frame needs no more than the software renderer.
    SDL_Renderer *r = SDL_CreateRenderer(w, -1, SDL_RENDERER_SOFTWARE);
    if (!r) r = SDL_CreateRenderer(w, -1, 0);
    if (!r) {
        SDL_DestroyWindow(w);
        return nullptr;
    }
    OsFilmWindow *fw = new OsFilmWindow;
    fw->window = w;
    fw->renderer = r;
    return fw;
}

void osFilmWindowClose(OsFilmWindow *fw) {
    if (!fw) return;
    if (fw->texture) SDL_DestroyTexture(fw->texture);
    if (fw->renderer) SDL_DestroyRenderer(fw->renderer);
    if (fw->window) SDL_DestroyWindow(fw->window);
    delete fw;
}

bool osFilmWindowVisible(const OsFilmWindow *fw) {
    if (fw && !fw->window) return true;
    return fw && (SDL_GetWindowFlags(fw->window) & SDL_WINDOW_SHOWN) && !(SDL_GetWindowFlags(fw->window) & SDL_WINDOW_HIDDEN);
}

void osFilmWindowShow(OsFilmWindow *fw, const OsFilm *film, int zoomPercent) {
    const OsFilmInfo *info = osFilmGetInfo(film);
    if (!fw || !fw->renderer || !info) return;
    int w = info->width, h = info->height;
    if (!fw->texture || fw->textureWidth != w || fw->textureHeight != h) {
        if (fw->texture) SDL_DestroyTexture(fw->texture);
        fw->texture = SDL_CreateTexture(fw->renderer, SDL_PIXELFORMAT_RGB24, SDL_TEXTUREACCESS_STREAMING, w, h);
        fw->textureWidth = w;
        fw->textureHeight = h;
        if (!fw->texture) return;
    }
    int pitch;
    const uint8_t *px = osFilmPixels(film, &pitch);
    if (info->paletted) {
        // Indices through the film's palette.
        fw->rgb.resize(size_t(w) * size_t(h) * 3);
        const uint8_t *pal = osFilmPalette(film);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const uint8_t *c = &pal[3 * px[y * pitch + x]];
                uint8_t *d = &fw->rgb[(size_t(y) * size_t(w) + size_t(x)) * 3];
                d[0] = c[0];
                d[1] = c[1];
                d[2] = c[2];
            }
        SDL_UpdateTexture(fw->texture, nullptr, fw->rgb.data(), w * 3);
    } else {
        SDL_UpdateTexture(fw->texture, nullptr, px, pitch);
    }
    int ww, wh;
    SDL_GetRendererOutputSize(fw->renderer, &ww, &wh);
    SDL_Rect dst;
    if (zoomPercent > 0) {
        dst.w = w * zoomPercent / 100;
        dst.h = h * zoomPercent / 100;
    } else {
        // Fitted, keeping the film's shape.
        dst.w = ww;
        dst.h = h * ww / (w ? w : 1);
        if (dst.h > wh) {
            dst.h = wh;
            dst.w = w * wh / (h ? h : 1);
        }
    }
    dst.x = (ww - dst.w) / 2;
    dst.y = (wh - dst.h) / 2;
    SDL_SetRenderDrawColor(fw->renderer, 0, 0, 0, 255);
    SDL_RenderClear(fw->renderer);
    SDL_RenderCopy(fw->renderer, fw->texture, nullptr, &dst);
    SDL_RenderPresent(fw->renderer);
}

// Looks through the waiting events for what ends a modal film: Escape, or a
// quit, which stays waiting for the game. Other input is dropped.
static bool TakeEnd(OsFilmEnd *end) {
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
        if (e.type == SDL_QUIT) {
            SDL_PushEvent(&e);
            *end = OS_FILM_QUIT;
            return true;
        }
        if (e.type == SDL_KEYDOWN && e.key.keysym.scancode == SDL_SCANCODE_ESCAPE) {
            *end = OS_FILM_ESCAPE;
            return true;
        }
    }
    return false;
}

static int64_t (*gModalClock)() = osFilmTimeMicros;

void osFilmModalSetClock(int64_t (*micros)()) { gModalClock = micros ? micros : osFilmTimeMicros; }

OsFilmEnd osFilmPlayModal(const char *hostPath) {
    OsFilm *film = osFilmOpen(hostPath, true);
    if (!film) return OS_FILM_FAILED;
    const OsFilmInfo *info = osFilmGetInfo(film);
    OsFilmEnd early;
    if (SDL_WasInit(SDL_INIT_EVENTS) && TakeEnd(&early)) {
        osFilmClose(film);
        return early;
    }
    OsFilmWindow *fw = osFilmWindowOpen("MPEGPlayer", 0, 0, info->width, info->height, true);
    if (!fw) {
        osFilmClose(film);
        return OS_FILM_FAILED;
    }
    OsFilmEnd end = OS_FILM_FINISHED;
    int64_t due = gModalClock();
    bool first = true;
    for (;;) {
        if (TakeEnd(&end)) break;
        int64_t now = gModalClock();
        if (now < due) {
            SDL_Delay(Uint32(std::min<int64_t>((due - now) / 1000 + 1, 10)));
            continue;
        }
        if (!osFilmNextFrame(film)) {
            if (first) end = OS_FILM_FAILED;
            break;
        }
        first = false;
        osFilmWindowShow(fw, film, 0);
        due += info->frameMicros;
        if (due < now - 500000) due = now;  // fell far behind: do not race to catch up
    }
    osFilmWindowClose(fw);
    osFilmClose(film);
    return end;
}

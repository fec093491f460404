#include <SDL2/SDL.h>

#include <cstdio>

#include "os/os.h"

void osMessageBox(const char *title, const char *text) {
    const char *drv = SDL_GetCurrentVideoDriver();
    bool headless = !drv || !SDL_strcmp(drv, "dummy") || !SDL_strcmp(drv, "offscreen");
    if (headless || SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, title ? title : "", text ? text : "",
                                             nullptr) != 0)
        std::fprintf(stderr, "%s: %s\n", title ? title : "", text ? text : "");
}

void osSetClipboardText(const char *text) {
    if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_SetClipboardText(text ? text : "");
}

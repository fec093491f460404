#include "os/window.h"

#include <SDL2/SDL.h>

#include <cstdlib>

namespace {
SDL_Window *gWindow = nullptr;
SDL_Cursor *gCursors[3] = {};
int gCursorCount = 0;
bool gHeadless = false;
}  // namespace

bool osInitVideo() {
    if (SDL_WasInit(SDL_INIT_VIDEO)) return true;
    // The game takes SIGINT and SIGTERM itself (as a quit message).
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        const char *asked = std::getenv("SDL_VIDEODRIVER");
        if (asked && *asked) return false;
        // No display: run on the off-screen driver, which still has windows,
        // renderers and textures.
        SDL_SetHint(SDL_HINT_VIDEODRIVER, "offscreen");
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
    }
    const char *drv = SDL_GetCurrentVideoDriver();
    gHeadless = !drv || !SDL_strcmp(drv, "offscreen") || !SDL_strcmp(drv, "dummy");
    return true;
}

bool osVideoHeadless() { return gHeadless; }

bool osCreateMainWindow(const char *title, OsWindowStyle style, int width, int height) {
    if (!osInitVideo()) return false;
    if (gWindow) return true;
    Uint32 flags = SDL_WINDOW_SHOWN;
    if (!gHeadless) {
        if (style == OS_WINDOW_FULLSCREEN) flags |= SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_INPUT_GRABBED;
        else if (style == OS_WINDOW_DESKTOP) flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    }
    // An ordinary window opens at its final size in the middle of the
    // screen: grown later, it would keep its corner and run off the desktop.
    const int at = style == OS_WINDOW_FRAMED ? SDL_WINDOWPOS_CENTERED : SDL_WINDOWPOS_UNDEFINED;
    gWindow = SDL_CreateWindow(title ? title : "", at, at,
                               width > 0 ? width : 640, height > 0 ? height : 480, flags);
    if (!gWindow) return false;
    SDL_EventState(SDL_DROPFILE, SDL_ENABLE);
    SDL_StartTextInput();
    return true;
}

void osDestroyMainWindow() {
    for (SDL_Cursor *&c : gCursors) {
        if (c) SDL_FreeCursor(c);
        c = nullptr;
    }
    if (gWindow) SDL_DestroyWindow(gWindow);
    gWindow = nullptr;
}

void *osMainWindowHandle() { return gWindow; }

void osSetWindowTitle(const char *title) {
    if (gWindow) SDL_SetWindowTitle(gWindow, title ? title : "");
}

void osSetWindowSize(int width, int height) {
    if (gWindow) SDL_SetWindowSize(gWindow, width, height);
}

void osGetWindowSize(int *width, int *height) {
    int w = 0, h = 0;
    if (gWindow) SDL_GetWindowSize(gWindow, &w, &h);
    if (width) *width = w;
    if (height) *height = h;
}

void osGetWindowPosition(int *x, int *y) {
    int px = 0, py = 0;
    if (gWindow) SDL_GetWindowPosition(gWindow, &px, &py);
    if (x) *x = px;
    if (y) *y = py;
}

bool osWindowVisible() { return gWindow && (SDL_GetWindowFlags(gWindow) & SDL_WINDOW_SHOWN); }

void osSetWindowGrab(bool grab) {
    if (gWindow && !gHeadless) SDL_SetWindowGrab(gWindow, grab ? SDL_TRUE : SDL_FALSE);
}

void osSetCursor(OsCursor cursor) {
    if (!SDL_WasInit(SDL_INIT_VIDEO)) return;
    static const SDL_SystemCursor kinds[3] = {SDL_SYSTEM_CURSOR_CROSSHAIR, SDL_SYSTEM_CURSOR_WAIT,
                                              SDL_SYSTEM_CURSOR_ARROW};
    if (!gCursors[cursor]) gCursors[cursor] = SDL_CreateSystemCursor(kinds[cursor]);
    if (gCursors[cursor]) SDL_SetCursor(gCursors[cursor]);
}

int osShowCursor(bool show) {
    gCursorCount += show ? 1 : -1;
    if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_ShowCursor(gCursorCount >= 0 ? SDL_ENABLE : SDL_DISABLE);
    return gCursorCount;
}

void osSetSystemKeys(bool enabled) {
    SDL_SetHint(SDL_HINT_GRAB_KEYBOARD, enabled ? "0" : "1");
    if (gWindow && !gHeadless && (SDL_GetWindowFlags(gWindow) & SDL_WINDOW_INPUT_GRABBED))
        SDL_SetWindowKeyboardGrab(gWindow, enabled ? SDL_FALSE : SDL_TRUE);
}

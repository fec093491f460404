#include <SDL2/SDL.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "os/os.h"

namespace {

// Unicode code points of Windows-1252 bytes 0x80..0x9F (0: none).
const uint16_t k1252High[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// SDL's boxes and the terminal take UTF-8.
std::string Utf8(const char *text) {
    std::string out;
    for (const unsigned char *p = reinterpret_cast<const unsigned char *>(text ? text : ""); *p; ++p) {
        uint32_t cp = *p;
        if (cp >= 0x80 && cp < 0xA0) cp = k1252High[cp - 0x80] ? k1252High[cp - 0x80] : '?';
        if (cp < 0x80) {
            out += char(cp);
        } else if (cp < 0x800) {
            out += char(0xC0 | (cp >> 6));
            out += char(0x80 | (cp & 0x3F));
        } else {
            out += char(0xE0 | (cp >> 12));
            out += char(0x80 | ((cp >> 6) & 0x3F));
            out += char(0x80 | (cp & 0x3F));
        }
    }
    return out;
}

bool Headless() {
    const char *drv = SDL_GetCurrentVideoDriver();
    return !drv || !SDL_strcmp(drv, "dummy") || !SDL_strcmp(drv, "offscreen");
}

}  // namespace

void osMessageBox(const char *title, const char *text) {
    std::string t = Utf8(title), m = Utf8(text);
    if (Headless() || SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, t.c_str(), m.c_str(), nullptr) != 0)
        std::fprintf(stderr, "%s: %s\n", t.c_str(), m.c_str());
}

void osErrorBox(const char *title, const char *text) {
    std::string t = Utf8(title), m = Utf8(text);
    std::fprintf(stderr, "%s: %s\n", t.c_str(), m.c_str());
    std::fflush(stderr);
    if (!SDL_WasInit(SDL_INIT_VIDEO) || Headless()) return;
    if (SDL_Window *w = SDL_GetGrabbedWindow()) SDL_SetWindowGrab(w, SDL_FALSE);
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, t.c_str(), m.c_str(), nullptr);
}

int osAskYesNo(const char *title, const char *text, const char *yes, const char *no) {
    std::string t = Utf8(title), m = Utf8(text), y = Utf8(yes), n = Utf8(no);
    if (!SDL_WasInit(SDL_INIT_VIDEO)) {
        // A box asked for by a library must not take the host's signals.
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        SDL_InitSubSystem(SDL_INIT_VIDEO);
    }
    if (!Headless()) {
        SDL_MessageBoxButtonData buttons[2] = {
            {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, 1, y.c_str()},
            {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 0, n.c_str()},
        };
        SDL_MessageBoxData box{SDL_MESSAGEBOX_INFORMATION, nullptr, t.c_str(), m.c_str(), 2, buttons, nullptr};
        int hit = -1;
        if (SDL_ShowMessageBox(&box, &hit) == 0) return hit == 1 ? 1 : 0;
    }
    std::fprintf(stderr, "%s: %s [%s/%s]\n", t.c_str(), m.c_str(), y.c_str(), n.c_str());
    return -1;
}

void osSetClipboardText(const char *text) {
    if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_SetClipboardText(text ? text : "");
}

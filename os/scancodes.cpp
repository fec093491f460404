#include "os/scancodes.h"

#include <SDL2/SDL_scancode.h>

namespace {

struct Entry {
    uint8_t scan;
    bool extended;
};

struct Table {
    Entry e[SDL_NUM_SCANCODES] = {};
    constexpr void set(int sdl, uint8_t scan, bool ext = false) { e[sdl] = {scan, ext}; }
    constexpr Table() {
        // Letters in SDL order (A..Z).
        const uint8_t letters[26] = {0x1E, 0x30, 0x2E, 0x20, 0x12, 0x21, 0x22, 0x23, 0x17, 0x24, 0x25, 0x26, 0x32,
                                     0x31, 0x18, 0x19, 0x10, 0x13, 0x1F, 0x14, 0x16, 0x2F, 0x11, 0x2D, 0x15, 0x2C};
        for (int i = 0; i < 26; ++i) set(SDL_SCANCODE_A + i, letters[i]);
        // 1..9 then 0.
        for (int i = 0; i < 10; ++i) set(SDL_SCANCODE_1 + i, uint8_t(0x02 + i));
        set(SDL_SCANCODE_RETURN, 0x1C);
        set(SDL_SCANCODE_ESCAPE, 0x01);
        set(SDL_SCANCODE_BACKSPACE, 0x0E);
        set(SDL_SCANCODE_TAB, 0x0F);
        set(SDL_SCANCODE_SPACE, 0x39);
        set(SDL_SCANCODE_MINUS, 0x0C);
        set(SDL_SCANCODE_EQUALS, 0x0D);
        set(SDL_SCANCODE_LEFTBRACKET, 0x1A);
        set(SDL_SCANCODE_RIGHTBRACKET, 0x1B);
        set(SDL_SCANCODE_BACKSLASH, 0x2B);
        set(SDL_SCANCODE_NONUSHASH, 0x2B);
        set(SDL_SCANCODE_SEMICOLON, 0x27);
        set(SDL_SCANCODE_APOSTROPHE, 0x28);
        set(SDL_SCANCODE_GRAVE, 0x29);
        set(SDL_SCANCODE_COMMA, 0x33);
        set(SDL_SCANCODE_PERIOD, 0x34);
        set(SDL_SCANCODE_SLASH, 0x35);
        set(SDL_SCANCODE_CAPSLOCK, 0x3A);
        for (int i = 0; i < 10; ++i) set(SDL_SCANCODE_F1 + i, uint8_t(0x3B + i));
        set(SDL_SCANCODE_F11, 0x57);
        set(SDL_SCANCODE_F12, 0x58);
        set(SDL_SCANCODE_PRINTSCREEN, 0x37, true);
        set(SDL_SCANCODE_SCROLLLOCK, 0x46);
        set(SDL_SCANCODE_PAUSE, 0x45);
        set(SDL_SCANCODE_INSERT, 0x52, true);
        set(SDL_SCANCODE_HOME, 0x47, true);
        set(SDL_SCANCODE_PAGEUP, 0x49, true);
        set(SDL_SCANCODE_DELETE, 0x53, true);
        set(SDL_SCANCODE_END, 0x4F, true);
        set(SDL_SCANCODE_PAGEDOWN, 0x51, true);
        set(SDL_SCANCODE_RIGHT, 0x4D, true);
        set(SDL_SCANCODE_LEFT, 0x4B, true);
        set(SDL_SCANCODE_DOWN, 0x50, true);
        set(SDL_SCANCODE_UP, 0x48, true);
        set(SDL_SCANCODE_NUMLOCKCLEAR, 0x45, true);
        set(SDL_SCANCODE_KP_DIVIDE, 0x35, true);
        set(SDL_SCANCODE_KP_MULTIPLY, 0x37);
        set(SDL_SCANCODE_KP_MINUS, 0x4A);
        set(SDL_SCANCODE_KP_PLUS, 0x4E);
        set(SDL_SCANCODE_KP_ENTER, 0x1C, true);
        const uint8_t keypad[9] = {0x4F, 0x50, 0x51, 0x4B, 0x4C, 0x4D, 0x47, 0x48, 0x49};  // 1..9
        for (int i = 0; i < 9; ++i) set(SDL_SCANCODE_KP_1 + i, keypad[i]);
        set(SDL_SCANCODE_KP_0, 0x52);
        set(SDL_SCANCODE_KP_PERIOD, 0x53);
        set(SDL_SCANCODE_KP_EQUALS, 0x59);
        set(SDL_SCANCODE_NONUSBACKSLASH, 0x56);
        set(SDL_SCANCODE_APPLICATION, 0x5D, true);
        const uint8_t fkeys[12] = {0x64, 0x65, 0x66, 0x67, 0x68, 0x69, 0x6A, 0x6B, 0x6C, 0x6D, 0x6E, 0x76};  // F13..F24
        for (int i = 0; i < 12; ++i) set(SDL_SCANCODE_F13 + i, fkeys[i]);
        set(SDL_SCANCODE_INTERNATIONAL1, 0x73);
        set(SDL_SCANCODE_INTERNATIONAL3, 0x7D);
        set(SDL_SCANCODE_LCTRL, 0x1D);
        set(SDL_SCANCODE_LSHIFT, 0x2A);
        set(SDL_SCANCODE_LALT, 0x38);
        set(SDL_SCANCODE_LGUI, 0x5B, true);
        set(SDL_SCANCODE_RCTRL, 0x1D, true);
        set(SDL_SCANCODE_RSHIFT, 0x36);
        set(SDL_SCANCODE_RALT, 0x38, true);
        set(SDL_SCANCODE_RGUI, 0x5C, true);
    }
};

constexpr Table kTable;

}  // namespace

uint8_t osScancodeToSet1(int sdlScancode, bool *extended) {
    if (sdlScancode < 0 || sdlScancode >= SDL_NUM_SCANCODES) {
        if (extended) *extended = false;
        return 0;
    }
    const Entry &e = kTable.e[sdlScancode];
    if (extended) *extended = e.extended;
    return e.scan;
}

#include <gtest/gtest.h>

#include <SDL2/SDL_scancode.h>

#include "os/scancodes.h"

namespace {

// Every key the key-binding scripts can name, by the SDL key that makes it.
TEST(Scancodes, EveryBindableKey) {
    struct Case {
        const char *name;
        int sdl;
        uint8_t set1;
    } cases[] = {
        {"KEY_INS", SDL_SCANCODE_INSERT, 82},        {"KEY_DEL", SDL_SCANCODE_DELETE, 83},
        {"KEY_APOST", SDL_SCANCODE_APOSTROPHE, 40},  {"KEY_ABOVE_TAB", SDL_SCANCODE_GRAVE, 41},
        {"KEY_L_SQBR", SDL_SCANCODE_LEFTBRACKET, 26}, {"KEY_R_SQBR", SDL_SCANCODE_RIGHTBRACKET, 27},
        {"KEY_1", SDL_SCANCODE_1, 2},                {"KEY_2", SDL_SCANCODE_2, 3},
        {"KEY_3", SDL_SCANCODE_3, 4},                {"KEY_4", SDL_SCANCODE_4, 5},
        {"KEY_5", SDL_SCANCODE_5, 6},                {"KEY_6", SDL_SCANCODE_6, 7},
        {"KEY_7", SDL_SCANCODE_7, 8},                {"KEY_8", SDL_SCANCODE_8, 9},
        {"KEY_9", SDL_SCANCODE_9, 10},               {"KEY_0", SDL_SCANCODE_0, 11},
        {"KEY_MINUS", SDL_SCANCODE_MINUS, 12},       {"KEY_EQUALS", SDL_SCANCODE_EQUALS, 13},
        {"KEY_BCKSP", SDL_SCANCODE_BACKSPACE, 14},   {"KEY_TAB", SDL_SCANCODE_TAB, 15},
        {"KEY_ENTER", SDL_SCANCODE_RETURN, 28},      {"KEY_ENTER (keypad)", SDL_SCANCODE_KP_ENTER, 28},
        {"KEY_SEMICOLON", SDL_SCANCODE_SEMICOLON, 39}, {"KEY_QUESTION", SDL_SCANCODE_SLASH, 53},
        {"KEY_A", SDL_SCANCODE_A, 30}, {"KEY_B", SDL_SCANCODE_B, 48}, {"KEY_C", SDL_SCANCODE_C, 46},
        {"KEY_D", SDL_SCANCODE_D, 32}, {"KEY_E", SDL_SCANCODE_E, 18}, {"KEY_F", SDL_SCANCODE_F, 33},
        {"KEY_G", SDL_SCANCODE_G, 34}, {"KEY_H", SDL_SCANCODE_H, 35}, {"KEY_I", SDL_SCANCODE_I, 23},
        {"KEY_J", SDL_SCANCODE_J, 36}, {"KEY_K", SDL_SCANCODE_K, 37}, {"KEY_L", SDL_SCANCODE_L, 38},
        {"KEY_M", SDL_SCANCODE_M, 50}, {"KEY_N", SDL_SCANCODE_N, 49}, {"KEY_O", SDL_SCANCODE_O, 24},
        {"KEY_P", SDL_SCANCODE_P, 25}, {"KEY_Q", SDL_SCANCODE_Q, 16}, {"KEY_R", SDL_SCANCODE_R, 19},
        {"KEY_S", SDL_SCANCODE_S, 31}, {"KEY_T", SDL_SCANCODE_T, 20}, {"KEY_U", SDL_SCANCODE_U, 22},
        {"KEY_V", SDL_SCANCODE_V, 47}, {"KEY_W", SDL_SCANCODE_W, 17}, {"KEY_X", SDL_SCANCODE_X, 45},
        {"KEY_Y", SDL_SCANCODE_Y, 21}, {"KEY_Z", SDL_SCANCODE_Z, 44},
        {"KEY_LESSTHAN", SDL_SCANCODE_COMMA, 51},    {"KEY_MORETHAN", SDL_SCANCODE_PERIOD, 52},
        {"KEY_CTRL", SDL_SCANCODE_LCTRL, 29},        {"KEY_CTRL (right)", SDL_SCANCODE_RCTRL, 29},
        {"KEY_BACKSLASH", SDL_SCANCODE_BACKSLASH, 43}, {"KEY_ESC", SDL_SCANCODE_ESCAPE, 1},
        {"KEY_SPACE", SDL_SCANCODE_SPACE, 57},       {"KEY_LSHIFT", SDL_SCANCODE_LSHIFT, 42},
        {"KEY_RSHIFT", SDL_SCANCODE_RSHIFT, 54},
        {"KEY_F1", SDL_SCANCODE_F1, 59}, {"KEY_F2", SDL_SCANCODE_F2, 60}, {"KEY_F3", SDL_SCANCODE_F3, 61},
        {"KEY_F4", SDL_SCANCODE_F4, 62}, {"KEY_F5", SDL_SCANCODE_F5, 63}, {"KEY_F6", SDL_SCANCODE_F6, 64},
        {"KEY_F7", SDL_SCANCODE_F7, 65}, {"KEY_F8", SDL_SCANCODE_F8, 66}, {"KEY_F9", SDL_SCANCODE_F9, 67},
        {"KEY_F10", SDL_SCANCODE_F10, 68}, {"F11", SDL_SCANCODE_F11, 0x57}, {"F12", SDL_SCANCODE_F12, 0x58},
        {"KEY_PAD_1", SDL_SCANCODE_KP_1, 79},        {"KEY_PAD_2", SDL_SCANCODE_KP_2, 80},
        {"KEY_PAD_3", SDL_SCANCODE_KP_3, 81},        {"KEY_PAD_4", SDL_SCANCODE_KP_4, 75},
        {"KEY_PAD_5", SDL_SCANCODE_KP_5, 76},        {"KEY_PAD_6", SDL_SCANCODE_KP_6, 77},
        {"KEY_PAD_8", SDL_SCANCODE_KP_8, 72},        {"KEY_UP", SDL_SCANCODE_UP, 72},
        {"KEY_DN", SDL_SCANCODE_DOWN, 80},           {"KEY_PGUP", SDL_SCANCODE_PAGEUP, 73},
        {"KEY_PGDN", SDL_SCANCODE_PAGEDOWN, 81},     {"KEY_PAD_MINUS", SDL_SCANCODE_KP_MINUS, 74},
        {"KEY_PAD_PLUS", SDL_SCANCODE_KP_PLUS, 78},  {"left", SDL_SCANCODE_LEFT, 75},
        {"right", SDL_SCANCODE_RIGHT, 77},           {"home", SDL_SCANCODE_HOME, 71},
        {"end", SDL_SCANCODE_END, 79},               {"left Alt", SDL_SCANCODE_LALT, 56},
        {"right Alt", SDL_SCANCODE_RALT, 56},
    };
    for (const Case &c : cases) EXPECT_EQ(osScancodeToSet1(c.sdl, nullptr), c.set1) << c.name;

    // The keys set 1 sends with the E0 prefix say so; their keypad twins don't.
    bool extended = false;
    osScancodeToSet1(SDL_SCANCODE_UP, &extended);
    EXPECT_TRUE(extended);
    osScancodeToSet1(SDL_SCANCODE_KP_8, &extended);
    EXPECT_FALSE(extended);
    EXPECT_EQ(osScancodeToSet1(-1, &extended), 0);
    EXPECT_EQ(osScancodeToSet1(SDL_NUM_SCANCODES, &extended), 0);
}

}  // namespace

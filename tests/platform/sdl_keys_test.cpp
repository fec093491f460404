#include <gtest/gtest.h>

#include <SDL2/SDL.h>

#include <cstring>
#include <vector>

#include "app/game.h"
#include "core/options.h"
#include "app/shell.h"
#include "os/events.h"
#include "os/window.h"
#include "platform/display.h"
#include "platform/keyboard.h"

namespace {

// SDL events go through the message pump and the game window's procedure
// into the key queue, as they do in play.
class SdlKeys : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(osInitVideo());
        if (!osMainWindowHandle()) {
            ASSERT_TRUE(osCreateMainWindow("test", OS_WINDOW_FRAMED, 64, 48));
        }
        SDL_PumpEvents();
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
        osFlushMessages();
        KeyQueueReset();
        for (uint8_t &k : KeyDownTable) k = 0;
        MouseStateReset();
        DirectInputMouse = 0;
        gInFrontEnd = 0;
    }
    void TearDown() override {
        osFlushMessages();
        KeyQueueReset();
        gInFrontEnd = 0;
    }

    static void Key(SDL_Scancode sc, SDL_Keycode sym, bool down, bool repeat = false, Uint16 mod = 0) {
        SDL_Event e{};
        e.key.keysym.mod = mod;
        e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
        e.key.repeat = repeat;
        e.key.keysym.scancode = sc;
        e.key.keysym.sym = sym;
        SDL_PushEvent(&e);
    }
    static void Text(const char *utf8) {
        SDL_Event e{};
        e.type = SDL_TEXTINPUT;
        std::strncpy(e.text.text, utf8, sizeof e.text.text - 1);
        SDL_PushEvent(&e);
    }
    static void Button(Uint8 button, bool down, Uint8 clicks) {
        SDL_Event e{};
        e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
        e.button.button = button;
        e.button.state = down ? SDL_PRESSED : SDL_RELEASED;
        e.button.clicks = clicks;
        e.button.x = 10;
        e.button.y = 20;
        SDL_PushEvent(&e);
    }
    static std::vector<uint16_t> Run() {
        OsMessage m;
        while (osPeekMessage(&m)) GameWndProc(m);
        std::vector<uint16_t> words;
        while (KeyQueueCount()) words.push_back(KeyQueueGet());
        return words;
    }
};

using Words = std::vector<uint16_t>;

TEST_F(SdlKeys, EventsToKeyWords) {
    struct Case {
        const char *name;
        void (*events)();
        Words want;
    } cases[] = {
        {"a with its character",
         [] {
             Key(SDL_SCANCODE_A, SDLK_a, true);
             Text("a");
             Key(SDL_SCANCODE_A, SDLK_a, false);
         },
         {0x1E61}},
        {"F1 has no character", [] { Key(SDL_SCANCODE_F1, SDLK_F1, true); }, {0x3B00}},
        {"Enter and Esc get their control characters",
         [] {
             Key(SDL_SCANCODE_RETURN, SDLK_RETURN, true);
             Key(SDL_SCANCODE_ESCAPE, SDLK_ESCAPE, true);
         },
         {0x1C0D, 0x011B}},
        {"a held key repeats only in the word it first made",
         [] {
             Key(SDL_SCANCODE_Q, SDLK_q, true);
             Text("q");
             Key(SDL_SCANCODE_Q, SDLK_q, true, true);
             Text("q");
             Key(SDL_SCANCODE_UP, SDLK_UP, true);
             Key(SDL_SCANCODE_UP, SDLK_UP, true, true);
         },
         {0x1071, 0x4800, 0x4800}},
        {"Ctrl with a letter gives its control character",
         [] {
             Key(SDL_SCANCODE_LCTRL, SDLK_LCTRL, true, false, KMOD_LCTRL);
             Key(SDL_SCANCODE_C, SDLK_c, true, false, KMOD_LCTRL);
         },
         {0x1D00, 0x2E03}},
        {"keypad 8 and the cursor Up are one key", [] { Key(SDL_SCANCODE_KP_8, SDLK_KP_8, true); }, {0x4800}},
        {"double click in the window's order",
         [] {
             Button(SDL_BUTTON_LEFT, true, 1);
             Button(SDL_BUTTON_LEFT, false, 1);
             Button(SDL_BUTTON_LEFT, true, 2);
             Button(SDL_BUTTON_LEFT, false, 2);
         },
         {0xA000, 0xA300}},
        {"middle and right buttons",
         [] {
             Button(SDL_BUTTON_MIDDLE, true, 1);
             Button(SDL_BUTTON_RIGHT, true, 1);
             Button(SDL_BUTTON_RIGHT, false, 1);
         },
         {0xA100, 0xA200}},
        {"a right double click's second press is not seen",
         [] {
             Button(SDL_BUTTON_RIGHT, true, 1);
             Button(SDL_BUTTON_RIGHT, false, 1);
             Button(SDL_BUTTON_RIGHT, true, 2);
             Button(SDL_BUTTON_RIGHT, false, 2);
         },
         {0xA200}},
    };
    for (const Case &c : cases) {
        SetUp();
        c.events();
        EXPECT_EQ(Run(), c.want) << c.name;
    }
    EXPECT_EQ(gMouse.rightHeld, 0);
    EXPECT_EQ(KeyDownTable[KEY_LEFT_DOUBLE], 0);
}

TEST_F(SdlKeys, FrontEndRepeatsEveryKey) {
    gInFrontEnd = 1;
    Key(SDL_SCANCODE_B, SDLK_b, true);
    Text("b");
    Key(SDL_SCANCODE_B, SDLK_b, true, true);
    Text("b");
    EXPECT_EQ(Run(), (Words{0x3062, 0x3062}));
}

TEST_F(SdlKeys, CardModeScalesTheMouseToTheSurface) {
    int width = 0, height = 0;
    osGetWindowSize(&width, &height);
    ASSERT_GT(width, 0);
    uint8_t pixel = 0;
    Surface saved = ScreenSurface;
    ScreenSurface.pixels = &pixel;
    ScreenSurface.width = static_cast<int16_t>(width * 10);
    ScreenSurface.height = static_cast<int16_t>(height * 10);
    uint8_t savedCard = CardMode;
    CardMode = 1;
    OnMouseMove(osMainWindowHandle(), 3, 4, 0);
    EXPECT_EQ(gMouse.x, 30);
    EXPECT_EQ(gMouse.y16, 40);
    CardMode = 0;
    OnMouseMove(osMainWindowHandle(), 3, 4, 0);
    EXPECT_EQ(gMouse.x, 3);
    CardMode = savedCard;
    ScreenSurface = saved;
}

}  // namespace

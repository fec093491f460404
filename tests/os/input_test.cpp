#include <gtest/gtest.h>

#include <SDL2/SDL.h>

#include <cstdlib>
#include <vector>

#include "common/temp_dir.h"
#include "os/events.h"
#include "os/instance.h"
#include "os/scancodes.h"
#include "os/window.h"

namespace {

TEST(Scancodes, SetOneTable) {
    const struct {
        SDL_Scancode sdl;
        uint8_t scan;
        bool extended;
    } cases[] = {
        {SDL_SCANCODE_ESCAPE, 0x01, false}, {SDL_SCANCODE_1, 0x02, false},      {SDL_SCANCODE_0, 0x0B, false},
        {SDL_SCANCODE_Q, 0x10, false},      {SDL_SCANCODE_P, 0x19, false},      {SDL_SCANCODE_A, 0x1E, false},
        {SDL_SCANCODE_Z, 0x2C, false},      {SDL_SCANCODE_M, 0x32, false},      {SDL_SCANCODE_RETURN, 0x1C, false},
        {SDL_SCANCODE_KP_ENTER, 0x1C, true}, {SDL_SCANCODE_LCTRL, 0x1D, false}, {SDL_SCANCODE_RCTRL, 0x1D, true},
        {SDL_SCANCODE_LSHIFT, 0x2A, false}, {SDL_SCANCODE_RSHIFT, 0x36, false}, {SDL_SCANCODE_LALT, 0x38, false},
        {SDL_SCANCODE_RALT, 0x38, true},    {SDL_SCANCODE_SPACE, 0x39, false},  {SDL_SCANCODE_F1, 0x3B, false},
        {SDL_SCANCODE_F10, 0x44, false},    {SDL_SCANCODE_F11, 0x57, false},    {SDL_SCANCODE_F12, 0x58, false},
        {SDL_SCANCODE_UP, 0x48, true},      {SDL_SCANCODE_KP_8, 0x48, false},   {SDL_SCANCODE_DOWN, 0x50, true},
        {SDL_SCANCODE_KP_2, 0x50, false},   {SDL_SCANCODE_LEFT, 0x4B, true},    {SDL_SCANCODE_RIGHT, 0x4D, true},
        {SDL_SCANCODE_HOME, 0x47, true},    {SDL_SCANCODE_END, 0x4F, true},     {SDL_SCANCODE_PAGEUP, 0x49, true},
        {SDL_SCANCODE_PAGEDOWN, 0x51, true}, {SDL_SCANCODE_INSERT, 0x52, true}, {SDL_SCANCODE_DELETE, 0x53, true},
        {SDL_SCANCODE_KP_PLUS, 0x4E, false}, {SDL_SCANCODE_KP_MINUS, 0x4A, false},
        {SDL_SCANCODE_KP_MULTIPLY, 0x37, false}, {SDL_SCANCODE_KP_DIVIDE, 0x35, true},
        {SDL_SCANCODE_NUMLOCKCLEAR, 0x45, true}, {SDL_SCANCODE_PAUSE, 0x45, false},
        {SDL_SCANCODE_GRAVE, 0x29, false},  {SDL_SCANCODE_BACKSLASH, 0x2B, false}, {SDL_SCANCODE_TAB, 0x0F, false},
        {SDL_SCANCODE_BACKSPACE, 0x0E, false}, {SDL_SCANCODE_CAPSLOCK, 0x3A, false},
    };
    for (const auto &c : cases) {
        bool ext = !c.extended;
        EXPECT_EQ(osScancodeToSet1(c.sdl, &ext), c.scan) << SDL_GetScancodeName(c.sdl);
        EXPECT_EQ(ext, c.extended) << SDL_GetScancodeName(c.sdl);
    }
    EXPECT_EQ(osScancodeToSet1(-1, nullptr), 0);
    EXPECT_EQ(osScancodeToSet1(SDL_NUM_SCANCODES, nullptr), 0);
}

struct Events : testing::Test {
    void SetUp() override {
        ASSERT_TRUE(osInitVideo());
        ASSERT_TRUE(osCreateMainWindow("test", OS_WINDOW_FRAMED, 64, 48));
        SDL_PumpEvents();
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
        osFlushMessages();
    }
    std::vector<OsMessage> Drain() {
        std::vector<OsMessage> out;
        OsMessage m;
        while (osPeekMessage(&m)) out.push_back(m);
        return out;
    }
};

TEST_F(Events, KeyThenCharacter) {
    SDL_Event e{};
    e.type = SDL_KEYDOWN;
    e.key.keysym.scancode = SDL_SCANCODE_A;
    e.key.keysym.sym = SDLK_a;
    SDL_PushEvent(&e);
    SDL_Event t{};
    t.type = SDL_TEXTINPUT;
    SDL_strlcpy(t.text.text, "a\xC3\xA4", sizeof t.text.text);  // "a" and a-umlaut
    SDL_PushEvent(&t);
    e.type = SDL_KEYUP;
    SDL_PushEvent(&e);
    auto m = Drain();
    ASSERT_EQ(m.size(), 4u);
    EXPECT_EQ(m[0].type, OSM_KEYDOWN);
    EXPECT_EQ(m[0].keyData & 0xFF, 0x1E);
    EXPECT_EQ(m[0].keyData & OS_KD_REPEAT, 0);
    EXPECT_EQ(m[1].type, OSM_CHAR);
    EXPECT_EQ(m[1].wParam, 0x61u);
    EXPECT_EQ(m[2].wParam, 0xE4u);
    EXPECT_EQ(m[3].type, OSM_KEYUP);
}

TEST_F(Events, RepeatAndExtendedBits) {
    SDL_Event e{};
    e.type = SDL_KEYDOWN;
    e.key.keysym.scancode = SDL_SCANCODE_UP;
    e.key.repeat = 1;
    SDL_PushEvent(&e);
    auto m = Drain();
    ASSERT_EQ(m.size(), 1u);
    EXPECT_EQ(m[0].keyData, 0x48 | OS_KD_EXTENDED | OS_KD_REPEAT);
}

TEST_F(Events, EscapeAlsoGivesItsCharacter) {
    SDL_Event e{};
    e.type = SDL_KEYDOWN;
    e.key.keysym.scancode = SDL_SCANCODE_ESCAPE;
    e.key.keysym.sym = SDLK_ESCAPE;
    SDL_PushEvent(&e);
    auto m = Drain();
    ASSERT_EQ(m.size(), 2u);
    EXPECT_EQ(m[1].type, OSM_CHAR);
    EXPECT_EQ(m[1].wParam, 27u);
}

TEST_F(Events, DoubleClickInTheWindowsOrder) {
    SDL_Event e{};
    e.button.button = SDL_BUTTON_LEFT;
    e.button.x = 10;
    e.button.y = 20;
    for (int clicks : {1, 2}) {
        e.type = SDL_MOUSEBUTTONDOWN;
        e.button.clicks = (Uint8)clicks;
        SDL_PushEvent(&e);
        e.type = SDL_MOUSEBUTTONUP;
        SDL_PushEvent(&e);
    }
    auto m = Drain();
    ASSERT_EQ(m.size(), 4u);
    EXPECT_EQ(m[0].type, OSM_LBUTTONDOWN);
    EXPECT_EQ(m[1].type, OSM_LBUTTONUP);
    EXPECT_EQ(m[2].type, OSM_LBUTTONDBLCLK);
    EXPECT_EQ(m[3].type, OSM_LBUTTONUP);
    EXPECT_EQ(m[2].x, 10);
    EXPECT_EQ(m[2].y, 20);
}

TEST_F(Events, QuitSignalAndWindowClose) {
    osInstallQuitSignals();
    raise(SIGTERM);
    SDL_Event e{};
    e.type = SDL_QUIT;
    SDL_PushEvent(&e);
    auto m = Drain();
    ASSERT_EQ(m.size(), 2u);
    EXPECT_EQ(m[0].type, OSM_QUIT);
    EXPECT_EQ(m[0].wParam, 0u);
    EXPECT_EQ(m[1].type, OSM_CLOSE);
}

TEST(Instance, SecondTakerIsTurnedAway) {
    ruvotest::TempDir dir;
    setenv("XDG_RUNTIME_DIR", dir.path().c_str(), 1);
    EXPECT_FALSE(osInstanceLockHeld("TestMutex"));
    EXPECT_EQ(osAcquireInstanceLock("TestMutex"), OS_INSTANCE_OWNED);
    EXPECT_EQ(osAcquireInstanceLock("TestMutex"), OS_INSTANCE_TAKEN);
    EXPECT_TRUE(osInstanceLockHeld("TestMutex"));
    setenv("XDG_RUNTIME_DIR", (dir.path() + "/missing/folder").c_str(), 1);
    EXPECT_EQ(osAcquireInstanceLock("TestMutex"), OS_INSTANCE_FAILED);
    unsetenv("XDG_RUNTIME_DIR");
}

}  // namespace

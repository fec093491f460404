#include "os/filmwindow.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>

namespace {

std::string Mpeg() {
    const char *root = std::getenv("RUVO_DATA");
    return std::string(root ? root : "data") + "/vek/resource/video/intro.mpg";
}

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

void PushKey(SDL_Scancode code) {
    SDL_Event e{};
    e.type = SDL_KEYDOWN;
    e.key.keysym.scancode = code;
    e.key.keysym.sym = SDL_GetKeyFromScancode(code);
    SDL_PushEvent(&e);
}

class ModalFilm : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0); }
    void TearDown() override {
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
};

// The film is 30 frames at 25 per second.
TEST_F(ModalFilm, OnlyEscapeEndsItEarly) {
    PushKey(SDL_SCANCODE_A);
    SDL_Event click{};
    click.type = SDL_MOUSEBUTTONDOWN;
    click.button.button = SDL_BUTTON_LEFT;
    SDL_PushEvent(&click);
    auto t0 = std::chrono::steady_clock::now();
    EXPECT_EQ(osFilmPlayModal(Mpeg().c_str()), OS_FILM_FINISHED);
    EXPECT_GT(Seconds(t0), 1.0);

    PushKey(SDL_SCANCODE_ESCAPE);
    t0 = std::chrono::steady_clock::now();
    EXPECT_EQ(osFilmPlayModal(Mpeg().c_str()), OS_FILM_ESCAPE);
    EXPECT_LT(Seconds(t0), 0.5);
}

TEST_F(ModalFilm, QuitEndsItAndStaysQueued) {
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
    EXPECT_EQ(osFilmPlayModal(Mpeg().c_str()), OS_FILM_QUIT);
    SDL_PumpEvents();
    EXPECT_EQ(SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_QUIT, SDL_QUIT), 1);
}

}  // namespace

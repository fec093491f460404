// The whole game run in the test's own process, headless: a fake frame
// counter the test moves on, a film clock that is always due, and a
// mission started as the command line names it.
#pragma once

#include <cstdint>
#include <string>

namespace ruvotest {

// The fake frame counter's reading (100000 a second).
extern uint64_t gHeadlessTicks;

// The game's frame counter and the film player's clock become the fakes.
void UseHeadlessClocks();

// The game's start with the options set so far: the frame clock from the
// first tick, the floor hooks (then the test's own, when given), the
// application active; gameInit's result.
int StartHeadlessGame(void (*hooks)() = nullptr);

// A mission's script (its path in the data tree, backslashed) started from
// the command line without the front end, at 8 or 16 bits ("-16"); dunRand15
// then seeded when seed is not negative. True when the game started.
bool StartHeadlessMission(const char *script, int depth = 8, int64_t seed = -1);

// The mission's end and the game's.
void StopHeadlessMission();

// One frame, the counter moved on by ticks (2000: 2 centiseconds).
void HeadlessTurn(uint64_t ticks = 2000);

// With RUVO_SNAPSHOT_DIR set, the screen's bytes and the palette as
// <dir>/<name>.raw and .pal, for a look at them.
void SnapshotScreen(const std::string &name);

}  // namespace ruvotest

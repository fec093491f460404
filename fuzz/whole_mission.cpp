// The bytes are a mission script: named on the command line, it is compiled
// and run through the game's real start-up, then 40 turns of the main loop
// (the simulation, the presentation and the screens with it), then the
// game's shutdown. A script may end the game with its own report (a syntax
// error, a full pool); nothing may crash, hang or leak.
#include "fuzz_game.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    fuzzgame::EnterSampleTree();
    fuzzgame::Replace("vek/resource/scripts/missions/fuzz.scr", data, size);
    if (fuzzgame::Start("vek\\resource\\scripts\\missions\\fuzz.scr")) fuzzgame::Turns(40);
    fuzzgame::Stop();
    return 0;
}

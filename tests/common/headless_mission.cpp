#include "common/headless_mission.h"

#include <cstdio>
#include <cstdlib>

#include "RES/gfx2d.h"
#include "RES/util.h"
#include "app/clock.h"
#include "app/floor_hooks.h"
#include "app/game.h"
#include "app/options.h"
#include "app/shell.h"
#include "core/counter.h"
#include "core/options.h"
#include "platform/display.h"
#include "platform/smack.h"
#include "script/mission.h"

namespace ruvotest {

uint64_t gHeadlessTicks;

namespace {

uint64_t FakeCounter() { return gHeadlessTicks; }
int64_t gFilmNow;
int64_t AlwaysDue() { return gFilmNow += 1000000; }

}  // namespace

void UseHeadlessClocks() {
    SetFrameCounter(FakeCounter, 100000);
    SmackSetClock(AlwaysDue);
}

int StartHeadlessGame(void (*hooks)()) {
    gHeadlessTicks = 1;
    StartFrameClock();
    InstallFloorHooks();
    if (hooks) hooks();
    gActive = 1;
    return gameInit();
}

bool StartHeadlessMission(const char *script, int depth, int64_t seed) {
    UseHeadlessClocks();
    if (depth == 16) parseCommandSwitch("-16");
    optFrontEndStart = 0;
    std::snprintf(gMissionScriptName, sizeof gMissionScriptName, "%s", script);
    // One seed gives one game however many ran before it in the process: the
    // ships' lights made while the mission starts draw their blink phases
    // from the seeded generator too, and the glow table, filled once a
    // process on the first glow from the same generator, is filled first.
    if (seed >= 0) {
        if (!RandomOffsetsReady) InitRandomOffsets();
        dunSeedRand15(uint32_t(seed));
    }
    if (StartHeadlessGame() != 1) return false;
    if (seed >= 0) dunSeedRand15(uint32_t(seed));
    return true;
}

void StopHeadlessMission() {
    exitMission();
    gameShutdown();
}

void HeadlessTurn(uint64_t ticks) {
    gHeadlessTicks += ticks;
    ShellIdleTurn();
}

void SnapshotScreen(const std::string &name) {
    const char *dir = std::getenv("RUVO_SNAPSHOT_DIR");
    const Surface *s = TheDisplayMode.screen ? TheDisplayMode.screen : &ScreenSurface;
    if (!dir || !s->pixels) return;
    const std::string base = std::string(dir) + "/" + name;
    if (FILE *f = std::fopen((base + ".raw").c_str(), "wb")) {
        std::fwrite(s->pixels, 1, size_t(s->pitch) * size_t(s->height), f);
        std::fclose(f);
    }
    if (FILE *f = std::fopen((base + ".pal").c_str(), "wb")) {
        if (LastPalette) std::fwrite(LastPalette, 1, 1024, f);
        std::fclose(f);
    }
}

}  // namespace ruvotest

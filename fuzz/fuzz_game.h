// For targets that run the whole game: the sample data tree in a private
// folder of links (what the game writes is its own there), the game's state
// as a fresh process has it before each start, and the start-up, turns and
// shutdown of the real game with a fixed frame step.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "RES/libload.h"
#include "RES/resman.h"
#include "app/clock.h"
#include "app/floor_hooks.h"
#include "app/game.h"
#include "app/shell.h"
#include "core/counter.h"
#include "core/frame.h"
#include "core/log.h"
#include "core/options.h"
#include "core/progress.h"
#include "fuzz_files.h"
#include "tests/common/fresh_state.h"
#include "gui/front.h"
#include "gui/gui.h"
#include "gui/options.h"
#include "os/events.h"
#include "os/paths.h"
#include "platform/display.h"
#include "platform/hooks.h"
#include "platform/keyboard.h"
#include "platform/smack.h"
#include "platform/video.h"
#include "present/p3d.h"
#include "script/career.h"
#include "script/interp.h"
#include "script/mission.h"
#include "script/script.h"
#include "world/messages.h"
#include "world/objlist.h"
#include "world/services.h"

namespace fuzzgame {

namespace fs = std::filesystem;

// Makes every folder of `from` again under `to` and links its files, except
// what the game writes: the settings file is copied; career files,
// checkpoints and logs start afresh.
inline void LinkTree(const fs::path &from, const fs::path &to) {
    std::error_code ec;
    for (const fs::directory_entry &e : fs::directory_iterator(from, ec)) {
        const std::string name = e.path().filename().string();
        const fs::path target = to / name;
        if (name == "debug.txt" || name == "filelog.txt" || name == "state.inf" || name.rfind("slot", 0) == 0) continue;
        if (e.is_directory()) {
            fs::create_directory(target, ec);
            LinkTree(e.path(), target);
        } else if (name == "Marrowgleam.ini") {
            fs::copy_file(e.path(), target, ec);
        } else {
            fs::create_symlink(e.path(), target, ec);
        }
    }
}

inline fs::path gSample;

// A private copy of the sample tree ("data" of the folder the target started
// in, the build folder) as the working folder, made once: a file replaced
// there leaves the sample as it is. The files the sample has only in its
// slabs are there loose as well ("data-unpacked"), read when a target takes
// a slab away. Fatal errors throw; the log goes nowhere.
inline void EnterSampleTree() {
    static bool done = false;
    if (done) return;
    done = true;
    gSample = fs::absolute("data");
    char tmpl[] = "/tmp/ruvofuzz-XXXXXX";
    if (!mkdtemp(tmpl)) std::abort();
    LinkTree(gSample, tmpl);
    LinkTree(fs::absolute("data-unpacked"), tmpl);
    if (chdir(tmpl) != 0) std::abort();
    static const std::string tree = tmpl;
    std::atexit([] {
        std::error_code ec;
        fs::remove_all(tree, ec);
    });
    osFlushPathCache();
    dunSetFatalHook(fuzzfiles::ThrowingHook);
    dunSetDebugSink([](const char *) {});
    setenv("XDG_RUNTIME_DIR", tmpl, 1);
}

// Puts the sample's file back in the private tree (a "/" separated path);
// a file the game writes (the career) is removed, never linked.
inline void Restore(const std::string &path) {
    std::error_code ec;
    fs::remove(path, ec);
    const std::string name = fs::path(path).filename().string();
    if (name == "state.inf" || name.rfind("slot", 0) == 0) {
        // the game makes them afresh
    } else if (path == "Marrowgleam.ini") {
        fs::copy_file(gSample / path, path, ec);
    } else if (fs::exists(gSample / path)) {
        fs::create_symlink(gSample / path, path, ec);
    } else if (fs::exists(gSample.parent_path() / "data-unpacked" / path)) {
        fs::create_symlink(gSample.parent_path() / "data-unpacked" / path, path, ec);
    }
    osFlushPathCache();
}

// Replaces a file of the private tree (a "/" separated path) with the bytes.
inline void Replace(const std::string &path, const uint8_t *data, size_t size) {
    std::error_code ec;
    fs::remove(path, ec);
    fuzzfiles::Write(path.c_str(), data, size);
    osFlushPathCache();
}

inline uint64_t gTicks;
inline uint64_t Counter() { return gTicks; }
inline int64_t gSmackNow;
inline int64_t SmackNow() { return gSmackNow += 1000000; }

// The process-wide state a start expects: what a fresh process has.
inline void ResetForStart() { ruvotest::ResetGameGlobals(); }

// The shell's start, headless at 8 bits: the front end, or the mission
// script named. False when the start ended (a missing start-up script) or
// ended the game (a fatal report, thrown).
inline bool Start(const char *mission) {
    ResetForStart();
    if (mission) std::snprintf(gMissionScriptName, sizeof gMissionScriptName, "%s", mission);
    optFrontEndStart = mission ? 0 : 0xFF;
    optNoLogos = 0xFF;
    PixelDepth = 8;
    BytesPerPixel = 1;
    gLanguage = 0;
    gTicks = 1;
    SetFrameCounter(Counter, 100000);
    SmackSetClock(SmackNow);
    StartFrameClock();
    InstallFloorHooks();
    gActive = 1;
    try {
        return gameInit() == 1;
    } catch (const fuzzfiles::Fatal &) {
        return false;
    }
}

// Idle turns of the main loop, a tenth of a second each; false when a fatal
// report ended the game.
inline bool Turns(int n) {
    try {
        for (int i = 0; i < n && !gQuit; ++i) {
            gTicks += 10000;
            ShellIdleTurn();
        }
    } catch (const fuzzfiles::Fatal &) {
        return false;
    }
    return true;
}

// The end: the career written, everything freed, the 3D system gone, as
// with the process's end. After a fatal report the shutdown may report
// again; what it leaves the next start resets.
inline void Stop() {
    try {
        gameShutdown();
    } catch (const fuzzfiles::Fatal &) {
    }
    try {
        P3DShutdown();
    } catch (const fuzzfiles::Fatal &) {
    }
    ResetForStart();
}

}  // namespace fuzzgame

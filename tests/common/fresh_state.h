// The game's process-wide state as a fresh process has it: what the test
// programs of the whole game put back around each test, and what the fuzz
// targets that start the game put back before each start.
#pragma once

#include <cstring>

#include "RES/libload.h"
#include "RES/resman.h"
#include "RES/util.h"
#include "app/game.h"
#include "app/shell.h"
#include "core/counter.h"
#include "core/frame.h"
#include "core/options.h"
#include "core/profiler.h"
#include "core/progress.h"
#include "gui/front.h"
#include "gui/gui.h"
#include "gui/options.h"
#include "gui/screen.h"
#include "hud/maps.h"
#include "os/events.h"
#include "platform/display.h"
#include "platform/hooks.h"
#include "platform/keyboard.h"
#include "platform/smack.h"
#include "platform/sound.h"
#include "platform/video.h"
#include "present/effects.h"
#include "present/hooks.h"
#include "present/p3d.h"
#include "present/scene.h"
#include "render/drivers/output.h"
#include "script/career.h"
#include "script/interp.h"
#include "script/mission.h"
#include "script/screens.h"
#include "script/script.h"
#include "world/flight.h"
#include "world/messages.h"
#include "world/objlist.h"
#include "world/services.h"
#include "world/universe.h"

namespace ruvotest {

// Options, flow and holding flags, keys, the hooks the floors and the tests
// install, the display's palette, the script system, the career and an empty
// world (its pools as the start-up resets them, so that records can be
// taken).
inline void ResetGameGlobals() {
    // The hooks first: nothing below may call into a table a test or a game
    // start left behind.
    SetFrameCounter(nullptr, 0);
    SetFrameSleeper(nullptr);
    SmackSetClock(nullptr);
    SetLoadProgressDisplay(nullptr);
    SetPlatformHooks(nullptr);
    resmanSetModelHooks(nullptr);
    SetMissionShellHooks(nullptr);
    SetFrontShellHooks(nullptr);
    VtOutputHostSet(nullptr);
    ScriptSetHostFlags(nullptr);
    WorldSetPresentHooks(nullptr);
    WorldSetAiHooks(nullptr);
    WorldSetScriptHooks(nullptr);
    WorldSetGuiHooks(nullptr);
    WorldSetHudHooks(nullptr);
    P3DSetAiHooks(nullptr);
    P3DSetHudHooks(nullptr);
    P3DSetGuiHooks(nullptr);
    ScriptSetGuiHooks(nullptr);
    ScriptSetHudHooks(nullptr);
    gProfileRecorder = nullptr;
    gP3DMarkObserver = nullptr;
    gEffectObserver = nullptr;
    gKeyHandler = nullptr;
    // A palette points into the resources of the test that set it.
    LastPalette = nullptr;
    DisplayGamma = 1.0f;
    gDisplayOpen = 0;

    ResetOptions();
    ResetOptionTable();
    ResetGameState();
    // The shell and the clock: a game that quit leaves its quit flag, which
    // the scripts of the next test would stop on.
    gQuit = gPaused = 0;
    gActive = 0;
    gVideoLeadIn = 0;
    // Sound as a fresh process has it: a start without sound, or a test,
    // turns it off, and with it goes the ambience that draws random numbers.
    SoundEnabled = 0xFF;
    VideoPlaying = MciPlaying = 0;
    gMissionScriptName[0] = 0;
    dunTimeScale = 1.0f;
    gFixedStep = 0;
    gFixedRate = 15;
    dunFrozen = 0;
    StationId = 0;
    dunStickX = dunStickY = dunTwist = 0.0f;
    // The states that hold the simulation or the main script's turn.
    gScriptPause = gDocViewerOpen = gObjectivesOpen = gLocalSpaceOpen = 0;
    gStarMapOpen = gSolarMapOpen = gMapOverlayOpen = gWeaponLoading = 0;

    while (KeyQueueGet()) {
    }
    std::memset(KeyDownTable, 0, sizeof KeyDownTable);
    osFlushMessages();

    // The script system is made by each start and must not be made twice.
    FreeScriptBuffers();
    // The career: the mission table is read once, with the names of the
    // language of the start that read it.
    dunFreeTimelines();
    std::memset(static_cast<void *>(gMissionTable), 0, sizeof gMissionTable);
    std::memset(gBranchTargets, 0, sizeof gBranchTargets);
    std::memset(gAvailableMissions, 0, sizeof gAvailableMissions);
    gAvailableCount = 0;
    gCaptainSlot = CaptainSlot{};
    gCareerState = CareerState{};
    gCaptainNamed = 0;
    gCaptainSlotRead = 0;

    // A library file refused by one test is read again by the next.
    LibraryLoadForgetRefusals();

    // The runtime's generator is seeded once, when the process starts: a
    // fight left to chance (whose shots scatter, whose checks come first)
    // must not turn on how many numbers the tests before it drew.
    dunSeedRand15(1);

    // The start-up resets the pools before anything is made: records taken
    // without it all look released in the frame under way.
    dunMsgInit();
    dunResetWorld();
    // The universe is read again by the next GENESIS.
    dunForgetUniverse();
    // What the world's reset asks of the floors above it through their
    // tables, which are not installed here.
    P3DResetCameraWords();
    dunClearDialogue();
    dunResetDialogueQueue();
}

}  // namespace ruvotest

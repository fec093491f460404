#include "app/floor_hooks.h"

#include "RES/gfx2d.h"
#include "RES/picture.h"
#include "RES/resman.h"
#include "app/shell.h"
#include "app/system.h"
#include "gui/front.h"
#include "gui/gui.h"
#include "gui/pointer.h"
#include "gui/redraw.h"
#include "gui/screen.h"
#include "gui/station.h"
#include "gui/window.h"
#include "hud/hud.h"
#include "os/clock.h"
#include "os/display.h"
#include "platform/display.h"
#include "platform/hooks.h"
#include "platform/keyboard.h"
#include "present/lwo/lwo.h"
#include "present/p3d.h"
#include "render/drivers/output.h"
#include "script/mission.h"

namespace {

// ---- Display drivers, films and input

void FilmSkipped(uint32_t frame) {
    guiLeaveStation();
    guiFilmSkipFrame = frame;
}

void PointerMargins(int32_t *x, int32_t *y) {
    *x = guiPointerMarginX;
    *y = guiPointerMarginY;
}

void IntroEnded() { gQuit = 1; }

const Surface *PointerSprite() { return gCursorIcon ? AsSurface(gCursorIcon) : nullptr; }

bool StationClip(ClipRect *clip) {
    if (!StationId || gInFrontEnd) return false;
    *clip = gGuiClip;
    return true;
}

const PlatformHooks kPlatform = {
    guiMarkRedraw,
    FilmSkipped,
    [] { return gPanelOpen != 0; },
    [] { return gComClipsFrozen != 0; },
    guiRootWindow,
    [] { return gGuiHidden != 0; },
    guiDrawRaster,
    guiWindowFlags,
    PointerMargins,
    hudBearingDegrees,
    P3DRenderSceneToView,
    IntroEnded,
    PointerSprite,
    StationClip,
    P3DShutdown,
};

// ---- The mission runtime

// The load screen waits for a key or the time, pumping messages; with no
// display nobody can see it or press a key, so it does not wait.
void WaitForKeyOrTime(uint32_t ms) {
    if (osDisplayHeadless()) return;
    uint16_t keys = KeyQueueCount();
    uint64_t start = osCounter();
    uint64_t frequency = osCounterFrequency();
    while (KeyQueueCount() == keys) {
        if (frequency && (osCounter() - start) * 1000 / frequency >= ms) break;
        PumpMessages();
        osSleep(10);
    }
}

const MissionShellHooks kMission = {
    [] { gQuit = 1; },
    [](int32_t count) { gVideoLeadIn = count; },
    [](const char *path) { SetWorkingFolder(path); },
    WaitForKeyOrTime,
};

// ---- The front end

const FrontShellHooks kFront = {
    SetMainWindowTitle,
    [] { gQuit = 1; },
};

// ---- Resources

// Library models keep their size until the presentation has a world scale.
const ResmanModelHooks kModels = {LwoLoadModel, LwoLoadShapeWithLod, LwoLoadWireframe, nullptr, nullptr, LwoFreeLoaded};

}  // namespace

void InstallFloorHooks() {
    SetPlatformHooks(&kPlatform);
    // The library's output device shows its frames in the game's display.
    VtOutputHostSet(&CardOutputHost);
    resmanSetModelHooks(&kModels);
    SetMissionShellHooks(&kMission);
    SetFrontShellHooks(&kFront);
}

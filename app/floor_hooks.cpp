#include "app/floor_hooks.h"

#include "RES/resman.h"
#include "app/shell.h"
#include "gui/gui.h"
#include "gui/pointer.h"
#include "gui/redraw.h"
#include "gui/station.h"
#include "hud/hud.h"
#include "platform/hooks.h"
#include "present/lwo/lwo.h"
#include "present/p3d.h"

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
};

// ---- Resources

const ResmanModelHooks kModels = {LwoLoadModel, LwoLoadShapeWithLod, LwoLoadWireframe};

}  // namespace

void InstallFloorHooks() {
    SetPlatformHooks(&kPlatform);
    resmanSetModelHooks(&kModels);
}

// The full-screen view, the view camera modes, the saved view of
// cinematics, the mission end started from the cockpit and the pause.
#include <cmath>
#include <cstring>

#include "RES/font.h"
#include "RES/gfx2d.h"
#include "RES/picture.h"
#include "RES/resman.h"
#include "RES/text.h"
#include "RES/util.h"
#include "RES/vecmath.h"
#include "core/frame.h"
#include "core/options.h"
#include "gui/cockpit.h"
#include "gui/feed.h"
#include "gui/front.h"
#include "gui/gadgets.h"
#include "gui/gui.h"
#include "gui/screen.h"
#include "gui/station.h"
#include "platform/display.h"
#include "platform/sound.h"
#include "present/cameras.h"
#include "present/scene.h"
#include "script/dialogue.h"
#include "script/interp.h"
#include "script/mission.h"
#include "script/settings.h"
#include "world/flight.h"
#include "world/objlist.h"
#include "world/records.h"

uint8_t gCinematicCompanion;
int32_t gSavedFullScreen;
void (*gSavedCameraRoutine)(SceneItem *camera);
GuiWindow *gCurrentCamera;
uint8_t gPanelOpen;
uint8_t gBriefingStop;
int32_t gGuiEndTimer;
uint8_t guiEndCinematicMode;
uint8_t guiPlayerLostView;
uint8_t guiWreckDisplay;
uint8_t guiFullScreenLock;

namespace {

// The resets every change of the full-screen view makes.
void ViewResets() {
    gCameraCut[0] = gCameraCut[1] = 1;
    gContactCamera = 0;
    LookReset();
}

void ReleaseTurret() {
    if (dunRemoteLinked) dunLeaveRemoteControl();
}

void SetPlayerCamera(ControlRoutine routine) {
    if (dunPlayerCamera) dunPlayerCamera->control = routine;
}

// Runs the chase routine at once with a follow count for the frame, so the
// camera is in place this frame.
void ChaseNow(SceneItem *camera) {
    if (!camera) return;
    camera->control = CameraChase;
    if (!camera->avatar) return;
    const int32_t saved = camera->avatar->lifetimeCounter;
    const float seconds = dunFrameSeconds > 0.0f ? dunFrameSeconds : 0.01f;
    camera->avatar->lifetimeCounter = int32_t(1000.0f / seconds);
    CameraChase(camera);
    camera->avatar->lifetimeCounter = saved;
}

}  // namespace

void guiEnterFullScreen() {
    if (StationId == 0) {
        guiLeaveStation();
        guiSetScreen("NAV");
        StationId = 2;
    }
    gGuiFullScreen = 1;
    ViewResets();
}

void guiLeaveFullScreen() {
    gGuiFullScreen = 0;
    ViewResets();
    guiMarkRedraw();
    SetPlayerCamera(CameraPlayer);
    ReleaseTurret();
}

void guiToggleFullScreen() {
    gGuiFullScreen = gGuiFullScreen ? 0 : 1;
    ViewResets();
    if (!gGuiFullScreen) {
        guiMarkRedraw();
        SetPlayerCamera(CameraPlayer);
        ReleaseTurret();
    } else {
        guiLeaveStation();
    }
}

void guiSaveViewState() {
    if (gCinematicView) return;
    gSavedFullScreen = gGuiFullScreen;
    gSavedCameraRoutine = dunPlayerCamera ? dunPlayerCamera->control : nullptr;
}

void guiRestoreViewMode() {
    if (gSavedFullScreen) guiEnterFullScreen();
    else guiLeaveFullScreen();
    if (dunPlayerCamera && gSavedCameraRoutine) dunPlayerCamera->control = gSavedCameraRoutine;
}

void guiPushFullScreen() {
    guiSaveViewState();
    guiRememberScreen();
    // The cinematic is shown in the full-screen view (the end of a mission
    // draws its message and its debriefing there): without it the station
    // stays up with its view frozen, and nothing of the end is seen. The
    // station stays as it is, and so does the freeze the finish set.
    gGuiFullScreen = 1;
    ViewResets();
    gCinematicView = 1;
    gCinematicHold = 0;
}

void guiPopFullScreen() {
    if (guiDirectorMode()) return;
    guiRestoreViewMode();
    guiReturnToScreen();
    guiLeaveFullScreen();
    gCinematicView = 0;
    gCinematicCompanion = 0;
    gCinematicHold = 0;
}

void guiRedrawCockpit() {
    SoundResumeAll();
    if (!gGuiFullScreen && gGuiRoot && gGuiRoot->draw) {
        guiReload(gGuiRoot);
        gGuiRoot->draw(gGuiRoot);
    }
    guiMarkRedraw();
}

void guiSetViewMode(int mode) {
    switch (mode) {
    case kViewNormal: SetPlayerCamera(CameraPlayer); break;
    case kViewExternal:
        SetPlayerCamera(CameraTrack);
        guiDropCamera();
        break;
    case kViewChase: ChaseNow(dunPlayerCamera); break;
    case kViewMissile: SetPlayerCamera(CameraExternalSmooth); break;
    case kViewContact: SetPlayerCamera(CameraContact); break;
    case kViewDocking: SetPlayerCamera(CameraTargetFromShip); break;
    default: break;
    }
}

void guiCycleCamera(GuiWindow *window) {
    gCameraCut[0] = gCameraCut[1] = 1;
    SceneItem *camera = window && window->userPtr ? static_cast<SceneItem *>(window->userPtr) : dunPlayerCamera;
    if (!camera) return;
    const char *label = "NULLI";
    const ControlRoutine routine = camera->control;
    if (routine == CameraContact) {
        ChaseNow(camera);
        label = "P";
    } else if (routine == CameraChase) {
        camera->control = CameraExternalSmooth;
        label = "M";
    } else if (routine == CameraExternalSmooth) {
        camera->control = CameraTrack;
        label = "T";
    } else if (routine == CameraTrack) {
        camera->control = CameraPlayer;
        label = "O";
    } else if (routine == CameraPlayer) {
        ChaseNow(camera);
        label = "C";
    }
    if (window) window->text = label;
}

void guiDropCamera() {
    gCameraCut[0] = gCameraCut[1] = 1;
    SceneItem *camera = dunPlayerCamera;
    SceneItem *subject = dunControlledObject;
    if (gCinematicView && gCinematicSubject) subject = gCinematicSubject;
    if (!subject) subject = dunPlayerShip;
    if (!camera || !camera->sim || !subject || !subject->sim) return;
    const float radius = subject->sim->radius;
    float distance = radius < 1100.0f ? radius * 2.0f : radius + 1100.0f;
    if (gCinematicView) distance *= gCinematicDistance;
    const float yaw = float(dunRand15()) / 32767.0f * 360.0f - 180.0f;
    const float pitch = float(dunRand15()) / 32767.0f * 180.0f - 90.0f;
    const float roll = float(dunRand15()) / 32767.0f * 45.0f - 22.0f;
    Mat4 m;
    MatIdentity(m);
    MatRotateY(yaw, m);
    MatRotateX(pitch, m);
    MatRotateZ(roll, m);
    // The camera stands back along its own forward axis from the subject.
    const Vec3d &at = subject->sim->position;
    camera->sim->matrix = m;
    camera->sim->position = {at.x - double(m.m[8]) * distance, at.y - double(m.m[9]) * distance,
                             at.z - double(m.m[10]) * distance};
    camera->sim->matrix.m[12] = float(camera->sim->position.x);
    camera->sim->matrix.m[13] = float(camera->sim->position.y);
    camera->sim->matrix.m[14] = float(camera->sim->position.z);
    if (camera->avatar && camera->avatar->modelUpdate) camera->avatar->modelUpdate(camera);
}

// ---- Mission end ----------------------------------------------------------------------------

void guiEndMission() {
    if (gBriefingOpen) ResetMissionFlags();
    gBriefingOpen = 0;
    gBriefingStop = 1;
    dunClearDialogue();
    ReleaseTurret();
    switch (gMissionEndState) {
    case 0:
        gMissionScore += MissionTimeBonus(gTargetTime, gMissionClock, gTimeScore);
        guiStartEndCinematic();
        break;
    case 1:
        if (dunMissionSuccess) {
            SoundPauseAll();
            frontShowDebrief(gCareerMission, gMissionOutcome);
            // The end shows on while the debriefing is spoken.
            gGuiEndTimer = gDebriefHoldTime;
            dunFrozen = 1;
        } else {
            gMissionOver = 1;
        }
        gMissionEndState = 2;
        break;
    default:
        gMissionOver = 1;
        frontPlayEndFilm(gCareerMission, dunMissionSuccess ? 1 : 0);
        break;
    }
}

void guiStartEndCinematic() {
    if (StationId == 0) guiSwitchToNavKey();
    guiResetTextFeed();
    gMissionEndState = gMissionEnding ? 2 : 1;
    if (dunControlledObject && dunControlledObject->avatar && (dunControlledObject->avatar->flags & 0x40000000u))
        gMissionEnding = 1;
    dunFrozen = 1;
    guiPushFullScreen();
    guiStationLock = 1;
    dunMissionEndCountdown = 0;
    dunTimeScale = 1.0f;
}

// ---- Pause ------------------------------------------------------------------------------------

void guiPauseScreen() {
    if (StationId == 0) guiSwitchToNavKey();
    SoundPauseAll();
    DisplayBeginFrame(&TheDisplayMode);
    Surface *s = guiScreen();
    if (!s) return;
    if (CurrentPalette) RemapToShadeRamp(s, CurrentPalette, 16, 32);
    if (CardMode && gLanguage == 0) {
        ClearSurface(s, 0);
        Raster raster = {};
        raster.pitch = uint16_t(s->pitch);
        pcxDecode("vek\\resource\\art\\pause.pcx", &raster, nullptr, s->pixels, size_t(s->pitch) * s->height);
        return;  // the card's driver shows it
    }
    const char *text = ScriptTextSlot(95);
    const BitmapFont *font = guiFont(static_cast<ResourceHandle *>(GetScriptSymbolValue("HFont")));
    if (text && text[0] && font) {
        ClipRect all = {0, 0, int16_t(s->width - 1), int16_t(s->height - 1)};
        dunDrawTextCentred(s, text, font, &all);
    }
    DisplayPresent(&TheDisplayMode);
}

// Starting and leaving a mission, the load screen, the display mode the
// start-up scripts open, and the return from a held state.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "RES/gfx2d.h"
#include "RES/picture.h"
#include "RES/resman.h"
#include "ai/contacts.h"
#include "core/frame.h"
#include "core/log.h"
#include "core/options.h"
#include "core/progress.h"
#include "platform/display.h"
#include "platform/keyboard.h"
#include "platform/sound.h"
#include "platform/video.h"
#include "present/p3d.h"
#include "present/scene.h"
#include "script/briefing.h"
#include "script/career.h"
#include "script/conditions.h"
#include "script/interp.h"
#include "script/mission.h"
#include "script/objectives.h"
#include "script/objects.h"
#include "script/screens.h"
#include "script/script.h"
#include "script/settings.h"
#include "script/symbols.h"
#include "world/collision.h"
#include "world/objlist.h"
#include "world/records.h"
#include "world/services.h"
#include "world/universe.h"

MissionShellHooks gMissionShellHooks;
int32_t gMissionFrameCount;

namespace {

constexpr int kEngineSoundSlot = 2;
constexpr uint32_t kLoadScreenWait = 3000;
constexpr int32_t kAutoLaunchDelay = 50;

const char *MissionName() {
    return gCareerMission >= 0 && gCareerMission < kCareerMissions ? gMissionTable[gCareerMission].name : "";
}

SceneItem *ObjectNamed(const char *name) {
    ScriptSymbol *s = FindScriptSymbol(name);
    return s ? ScriptSymbolObject(s) : nullptr;
}

int16_t Word16(int32_t v) { return int16_t(std::clamp<int32_t>(v, -32768, 32767)); }

}  // namespace

void SetMissionShellHooks(const MissionShellHooks *hooks) {
    gMissionShellHooks = hooks ? *hooks : MissionShellHooks{};
}

void startMission() {
    if (optLogHistory) dunDebugPrintf("Starting Mission %i - %s\n", gCurrentMission, MissionName());
    gCareerState.word[StateWord::Flight] = -1;
    dunFrameCounter = 1;
    gMissionEndState = 0;
    gScriptPause = 0;
    dunFrozen = 0;
    // Nothing raised during the last mission or the loading speaks now.
    dunStockDialogueRequest = 0;
    dunRefreshAllModelRadii();
    dunRefreshSceneTransforms();
    LookInit();
    dunPlayerCamera = ObjectNamed("CamPly");
    dunWeaponCamera = ObjectNamed("CamWep");
    if (dunWeaponCamera) {
        dunSetControlRoutine(dunWeaponCamera, CameraWeapon);
        dunWeaponCamera->simulator = CameraIdle;
    }
    dunViewCamera = CreateScriptCamera(dunPlayerShip, CameraLookAtObject);
    gEndOfFlight = 0;
    dunCall(ScriptGui().missionStarted);
    // The engine's sound loops from the start, silent until the ship moves.
    SoundPlay(kEngineSoundSlot, -10000, 0, 0, 1);
    dunCall(ScriptHud().missionStarted);
    gInFrontEnd = 0;
    gAutoLaunch = kAutoLaunchDelay;
}

void exitMission() {
    gMissionOver = gMissionOverNextFrame = 0;
    gCareerState.word[StateWord::Success] = dunMissionSuccess ? -1 : 0;
    gCareerState.word[StateWord::Outcome] = gMissionOutcome;
    // The score the status panel showed: the same formula, whether or not
    // the panel was drawn. The stored score has 16 bits: a bigger one stays at the largest.
    gMissionScore = ComputeMissionScore();
    gCareerState.word[StateWord::Score] = Word16(gMissionScore);
    if (!dunMissionSuccess) gFollowOnMission = 0;
    if (optLogHistory)
        dunDebugPrintf("Exiting Mission %i - %s - %s\n", gCurrentMission, MissionName(),
                       dunMissionSuccess ? "Succeeded" : "Failed");
    gMissionFrameCount = int32_t(dunFrameCounter);
    if (gMissionFromCommandLine && gMissionShellHooks.quit) gMissionShellHooks.quit();
    dunFrozen = 0;
    gEndOfFlight = 0;
    gInFrontEnd = 1;
    // Back in the front end: the career takes the result, then its palette
    // and its screen come back.
    dunCall(ScriptGui().backToFrontEnd);
    VideoWindowClose();
    // The cockpit's locks, lost ship, key state and navigation state of this
    // mission do not carry into the next.
    dunCall(ScriptGui().resetCockpit);
    dunClearDialogue();
    // The mission's own sounds go before their resource blocks do.
    SoundReleaseMarked();
    dunResetWorld();
    // The systems visited, the belts and the map's selection are the
    // mission's; the catalogues stay for the run.
    dunResetUniverseState();
    dunForgetPresentationModels();
    dunInitContacts();
    ReleaseMissionResources();
    dunCall(ScriptHud().missionLogReset);
    ResetScriptForMission();
    // The viewer's pictures and films were the mission's resources.
    dunCall(ScriptGui().resetDocMedia);
    resmanRelease();
    gMainScriptPc = nullptr;
    gAutoLaunch = kAutoLaunchDelay;
    if (optDemo || gMissionFromCommandLine) showLoadScreen();
    P3DShutdown();
}

bool DrawLoadPicture(uint8_t palette[1024]) {
    Surface *screen = TheDisplayMode.screen;
    if (!screen || !screen->pixels || screen->pitch <= 0 || screen->height <= 0) return false;
    size_t capacity = size_t(screen->pitch) * size_t(screen->height);
    Raster raster = {};
    raster.pitch = uint16_t(screen->pitch);
    raster.bytesPerPixel = uint16_t(SurfaceBytesPerPixel(screen));
    // Both pictures live in the art folder. The 16-bit one is centred in the
    // screen by the decoder.
    if (raster.bytesPerPixel == 2) return pcxDecode("vek\\resource\\art\\loadscrn16.pcx", &raster, palette, screen->pixels, capacity);
    // The 8-bit one decodes row after row: it goes through a buffer of its
    // own and is centred in a screen larger than 640 x 480.
    std::vector<uint8_t> picture(capacity);
    raster.pitch = 0;
    if (!pcxDecode("vek\\resource\\art\\loadscrn.pcx", &raster, palette, picture.data(), capacity)) return false;
    ClearSurface(screen, 0);
    int w = std::min<int>(raster.width, screen->pitch), h = std::min<int>(raster.height, screen->height);
    int x = (screen->width - w) / 2 > 0 ? (screen->width - w) / 2 : 0;
    int y = (screen->height - h) / 2 > 0 ? (screen->height - h) / 2 : 0;
    for (int row = 0; row < h && size_t(row + 1) * raster.width <= capacity; ++row)
        std::memcpy(screen->pixels + size_t(y + row) * screen->pitch + x, picture.data() + size_t(row) * raster.width,
                    size_t(std::min(w, screen->pitch - x)));
    return true;
}

void showLoadScreen() {
    gLoading = 1;
    static uint8_t palette[1024];
    if (DrawLoadPicture(palette)) {
        DisplayLoadPalette(palette);
        DisplayPresent(&TheDisplayMode);
    }
    if (gMissionShellHooks.waitForKey) gMissionShellHooks.waitForKey(kLoadScreenWait);
    gLoading = 0;
}

bool SetScriptVideoMode(const uint8_t *palette, int width, int height) {
    TheDisplayMode.width = uint16_t(width);
    TheDisplayMode.height = uint16_t(height);
    TheDisplayMode.pixelBits = 8;
    if (!FullScreenMode && !CardMode) {
        DisplaySetPalette(palette);
        return DisplayOpen(&TheDisplayMode);
    }
    bool opened = DisplayOpen(&TheDisplayMode);
    if (opened || FullScreenMode) DisplaySetPalette(palette);
    return opened;
}

void ResetMissionFlags() {
    gBriefingLeave = 1;
    gBriefingOpen = 0;
    gBriefingRequest = 0;
    ResetBriefingSection();
    dunFrozen = 0;
    VideoWindowClose();
    dunCall(ScriptGui().resetTextFeed);
    SpeechRelease();
    DisplaySetPalette(gCurrentPalette);
    dunCall(ScriptGui().markRedraw);
}

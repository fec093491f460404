#include "app/game.h"

#include <cstdio>
#include <cstring>

#include "ai/combat.h"
#include "ai/contacts.h"
#include "ai/states.h"
#include "app/clock.h"
#include "core/log.h"
#include "core/options.h"
#include "core/profiler.h"
#include "app/progress.h"
#include "app/shell.h"
#include "app/shellcall.h"
#include "app/system.h"
#include "core/files.h"
#include "gui/autopilot.h"
#include "gui/feed.h"
#include "gui/front.h"
#include "gui/options.h"
#include "gui/cockpit.h"
#include "gui/gui.h"
#include "gui/redraw.h"
#include "gui/screen.h"
#include "hud/maps.h"
#include "hud/missionlog.h"
#include "platform/display.h"
#include "platform/joystick.h"
#include "platform/keyboard.h"
#include "platform/sound.h"
#include "platform/video.h"
#include "present/effects.h"
#include "present/p3d.h"
#include "RES/font.h"
#include "RES/gfx2d.h"
#include "RES/picture.h"
#include "RES/resman.h"
#include "RES/slab.h"
#include "RES/text.h"
#include "RES/util.h"
#include "RES/vecmath.h"
#include "script/career.h"
#include "script/compiler.h"
#include "script/dialogue.h"
#include "script/interp.h"
#include "script/mission.h"
#include "script/script.h"
#include "world/asteroids.h"
#include "world/engineering.h"
#include "world/messages.h"
#include "world/mission_state.h"
#include "world/universe.h"
#include "world/collision.h"
#include "world/objlist.h"
#include "world/records.h"
#include "world/pools.h"
#include "world/routines.h"
#include "world/step.h"

uint8_t *gKeyState;
uint8_t gSkipPresent;

BitmapFont *RFont, *BFont, *GFont, *MidFont, *ConsFont, *ConsFont1, *ConsFont2, *HFont, *DimFont, *A2Font,
    *A2DimFont, *VFont;
uint8_t gStandardPalette[1024];

static uint8_t gLoadScreenPalette[1024];
static const char kBuildDate[] = __DATE__;

void ResetGameState() {
    gInFrontEnd = gMissionFromCommandLine = gLaunchRequest = gMissionOver = gMissionOverNextFrame = 0;
    dunFrameCounter = 0;
    gMainScriptPc = nullptr;
    gKeyState = nullptr;
    std::memset(dunPrevKeyTable, 0, sizeof dunPrevKeyTable);
    gKeyHoldOff = 0;
    gScreenshotRequest = gSkipPresent = 0;
    gSystemTransferPending = 0;
    gTransferBody = nullptr;
    gAutoLaunch = gFollowOnMission = 0;
    gDeveloperKeys = gLoading = 0;
    ResetFrontEnd();
}

namespace {

Surface *Screen() { return TheDisplayMode.screen; }

// Equal names, ASCII letters in either case.
bool SameName(const char *a, const char *b) {
    for (;; ++a, ++b) {
        unsigned char x = (unsigned char)*a, y = (unsigned char)*b;
        if (x >= 'A' && x <= 'Z') x = (unsigned char)(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = (unsigned char)(y - 'A' + 'a');
        if (x != y) return false;
        if (!x) return true;
    }
}

void ClearScreen() {
    if (Screen()) CALL(ClearSurface, Screen(), 0);
}

// Tokenises a script and runs it to its end; false when the file is missing.
bool RunScriptFile(const char *path) {
    gMainScriptPc = CALL(TokeniseScript, path);
    if (!gMainScriptPc) return false;
    CALL(ScriptProcessor, &gMainScriptPc, 0);
    return true;
}

void DrawBuildDate() {
    if (optDemo || !gDeveloperKeys || !Screen()) return;
    char text[64];
    std::snprintf(text, sizeof text, "Build Date %s", kBuildDate);
    int x = 20, y = 470;
    ClipRect clip = {0, 0, 639, 479};
    CALL(dunDrawText, Screen(), &x, &y, text, GFont, 247, &clip);
}

void LoadScreenPicture() { CALL(DrawLoadPicture, gLoadScreenPalette); }

void ShowLoadScreen() {
    LoadScreenPicture();
    DrawBuildDate();
    CALL(DisplayLoadPalette, gLoadScreenPalette);
    CALL(DisplayPresent, &TheDisplayMode);
    PumpMessages();
    if (FullScreenMode || PixelDepth == 16) {
        // The picture goes into the next buffer as well.
        CALL(DisplayBeginFrame, &TheDisplayMode);
        ClearScreen();
        LoadScreenPicture();
        DrawBuildDate();
        CALL(DisplayPresent, &TheDisplayMode);
        PumpMessages();
    }
}

bool PlayIntroFromCd() {
    TheDisplayMode.width = 640;
    TheDisplayMode.height = 480;
    TheDisplayMode.pixelBits = (uint16_t)PixelDepth;
    CALL(DisplayOpen, &TheDisplayMode);
    ClearScreen();
    CALL(DisplayPresent, &TheDisplayMode);
    CALL(DisplayBeginFrame, &TheDisplayMode);
    // The film window keeps the list for the whole intro.
    static char path[16];
    static const char *list[2] = {path, nullptr};
    for (int i = 0; i < gCdCount; ++i) {
        std::snprintf(path, sizeof path, "%c:\\intro.avi", gCdLetters[i]);
        FILE *f = CALL(OpenGameFile, path, "rb");
        if (!f) continue;
        CALL(fclose, f);
        CALL(VideoWindowPlayWait, list);
        VideoPlaying = 1;
        return true;
    }
    return false;
}

// The number of a mission script is in the two characters before ".scr";
// a name too short to have them has none.
void TakeMissionNumber(const char *name) {
    size_t len = std::strlen(name);
    int number = 0;
    if (len >= 6 && std::sscanf(name + len - 6, "%2d", &number) == 1) {
        gCurrentMission = gCareerMission = number;
        return;
    }
    gCurrentMission = gCareerMission = 0;
    char row[260];
    std::snprintf(row, sizeof row, "%s", name);
    size_t n = std::strlen(row);
    if (n >= 4 && SameName(row + n - 4, ".scr")) row[n - 4] = 0;
    const char *slash = std::strrchr(row, '\\');
    std::snprintf(gMissionTable[0].name, sizeof gMissionTable[0].name, "%.79s", slash ? slash + 1 : row);
}

// The start cannot go on without the file: the user is told which.
void ReportMissingStartUpScript(const char *name) {
    char text[400];
    std::snprintf(text, sizeof text, "Missing start-up script %s", name);
    CALL(dunReportFailure, text, "STARTUP ERROR!!!");
}

// A mission script named on the command line that is not there: the front
// end starts instead, and the user is told why.
void ReportMissingMissionScript(const char *name) {
    dunUserNotice("Can't find your command-line script %s: starting at the front end", name);
}

bool SimulationHeld() {
    return gInFrontEnd || gScriptPause || gDocViewerOpen || gObjectivesOpen || gLocalSpaceOpen || gStarMapOpen ||
           gSolarMapOpen || gMapOverlayOpen;
}

}  // namespace

int gameInit() {
    // The world reaches the subsystems above it through their tables.
    P3DInstallWorldHooks();
    dunai_InstallWorldHooks();
    dunScriptInstallWorldHooks();
    guiInstallWorldHooks();
    hudInstallWorldHooks();
    // And the presentation and the mission script reach the AI and the
    // screens through theirs (the script's statement table takes the GUI's
    // statements when the script system starts).
    dunai_InstallPresentHooks();
    hudInstallPresentHooks();
    guiInstallPresentHooks();
    hudInstallScriptHooks();
    guiInstallScriptHooks();
    // A mission script named on the command line flies for no career: it is
    // known before the career files are read, so that they are left alone.
    if (!optFrontEndStart && gMissionScriptName[0]) gMissionFromCommandLine = 1;
    if (optDemo) {
        optFrontEndStart = 0;
        gMissionFromCommandLine = 1;
        std::snprintf(gMissionScriptName, sizeof gMissionScriptName, "%s",
                      "vek\\resource\\scripts\\missions\\New_Demo_mission15.scr");
    }
    SetLoadProgressDisplay(ShowLoadProgressStep);
    CALL(JoystickInit);
    CALL(resmanInit);
    dunBeltCount = 0;
    dunBeltObjectCount = 0;
    CALL(SoundInit);
    CALL(dunMsgInit);
    CALL(dunResetPools);
    CALL(InitSineTable);
    gKeyState = CALL(GetKeyDownTable);
    static const ScriptHostFlags kHostFlags = {&VideoPlaying, &gQuit, &gDocViewerOpen, &gObjectivesOpen,
                                               &gStarMapOpen, nullptr};
    ScriptSetHostFlags(&kHostFlags);
    CALL(InitializeScriptSystem);
    CALL(FindCdDrives);

    if (optIntro) return PlayIntroFromCd() ? 1 : 0;

    CALL(frontLoadInitTable);
    CALL(ReadInstallPaths);
    RunScriptFile("marrowgleam.ini");
    if (optFontMake) {
        BitmapFont *font = (BitmapFont *)CALL(dunAlloc, sizeof(BitmapFont));
        if (font) {
            CALL(LoadGlyphFont, font, "vek\\resource\\fonts\\smallfnt");
            CALL(fontMake, "vek\\resource\\fonts\\tiny.fnt", font);
            CALL(FreeGlyphFont, font);
            CALL(dunFree, font);
        }
    }
    uint32_t paletteSize = sizeof gStandardPalette;
    CALL(pcxLoadPalette, "vek\\resource\\art\\tovstd.pcx", gStandardPalette, &paletteSize);

    static const char *const kInit[3] = {"vek\\resource\\scripts\\init\\init.scr",
                                         "vek\\resource\\scripts\\init\\init_frn.scr",
                                         "vek\\resource\\scripts\\init\\init_ger.scr"};
    const char *init = kInit[gLanguage < 3 ? gLanguage : 0];
    if (!RunScriptFile(init)) {
        ReportMissingStartUpScript(init);
        return 0;
    }
    const char *keys = optOldKeys ? "vek\\resource\\scripts\\init\\keybind.scr" : "vek\\resource\\keybind.ini";
    if (!RunScriptFile(keys)) {
        ReportMissingStartUpScript(keys);
        return 0;
    }

    struct {
        const char *name;
        BitmapFont **font;
        bool demoToo;
    } const kFonts[] = {{"RFont", &RFont, true},         {"BFont", &BFont, true},   {"GFont", &GFont, true},
                        {"MidFont", &MidFont, true},     {"ConsFont", &ConsFont, true},
                        {"ConsFont1", &ConsFont1, true}, {"ConsFont2", &ConsFont2, true},
                        {"HFont", &HFont, true},         {"DimFont", &DimFont, true},
                        {"A2Font", &A2Font, false},      {"A2DimFont", &A2DimFont, false},
                        {"VFont", &VFont, true}};
    for (const auto &f : kFonts)
        if (f.demoToo || !optDemo) {
            // The start-up script registered each font as a resource.
            auto *handle = static_cast<ResourceHandle *>(CALL(GetScriptSymbolValue, f.name));
            *f.font = handle ? static_cast<BitmapFont *>(handle->data) : nullptr;
        }

    ClearScreen();
    CALL(DisplayPresent, &TheDisplayMode);
    CALL(DisplayBeginFrame, &TheDisplayMode);
    ShowLoadScreen();

    CALL(BuildRowOffsetTable);
    CALL(dunai_InitStateRegistry);
    CALL(dunResetObjectLists);
    CALL(guiResetWindows);
    CALL(guiInit);
    CALL(dunBuildShipSystems);
    CALL(dunInitContacts);
    CALL(SoundLoadAll);
    if (optEngineering) CALL(guiEngSelectReactor);
    CALL(dunReadStateFile);
    CALL(dunReadCaptainSlot);

    static const char *const kGui[3] = {"vek\\resource\\scripts\\gui\\test0_x.gui",
                                        "vek\\resource\\scripts\\gui\\test0_x_frn.gui",
                                        "vek\\resource\\scripts\\gui\\test0_x_ger.gui"};
    gGuiScriptLoading = 1;
    RunScriptFile(kGui[gLanguage < 3 ? gLanguage : 0]);
    gGuiScriptLoading = 0;

    CALL(MarkScriptBaseline);
    CALL(ResetScriptForMission);
    CALL(resmanMark);
    CALL(resmanRelease);
    SoundInitDone = 1;
    gMainScriptPc = nullptr;
    CALL(dunSaveComponentTable);

    if (!optFrontEndStart) {
        // Only a mission script named on the command line makes the program
        // end after its mission: options alone start the front end, which
        // comes back after every mission.
        gMissionFromCommandLine = 1;
        FILE *f = gMissionScriptName[0] ? CALL(slabOpen, "scripts", gMissionScriptName, nullptr) : nullptr;
        if (f) {
            CALL(slabClose, f);
        } else {
            if (gMissionScriptName[0]) ReportMissingMissionScript(gMissionScriptName);
            optFrontEndStart = 0xFF;
            gMissionFromCommandLine = 0;
        }
    }
    if (optFrontEndStart) {
        CALL(frontSetPalette);
        gInFrontEnd = 1;
        CALL(dunReadCaptainSlot);
    } else {
        gLoading = 1;
        gLoadProgress = 0;
        CALL(P3DInitialise);
        RunScriptFile("vek\\resource\\scripts\\init\\stock.scr");
        gMainScriptPc = CALL(TokeniseScript, gMissionScriptName);
        if (!gMainScriptPc || CALL(ScriptIsEmpty, gMainScriptPc)) {
            // A mission script that cannot be read, or has nothing in it, is
            // a failure, not a normal end (an empty one would leave a black
            // cockpit for ever): the user is told which file.
            char text[400];
            std::snprintf(text, sizeof text, "Can't find your command-line script %s%s", gMissionScriptName,
                          gMainScriptPc ? " (it has no statements)" : "");
            CALL(dunReportFailure, text, "STARTUP ERROR!!!");
            dunTerminate(text, 1);
        }
        TakeMissionNumber(gMissionScriptName);
        CALL(ScriptProcessor, &gMainScriptPc, 0);
        gLoading = 0;
        if (!optForceFull && !gPanelOpen) {
            if (TheDisplayMode.width == 640 && TheDisplayMode.height == 480)
                CALL(PlayVideo, "vek\\resource\\video\\cmdsit.smk");
            CALL(guiSetScreen, "COM");
            StationId = 1;
        }
        if (optPowers) gDeveloperKeys = 1;
        CALL(startMission);
        if (optForceFull) {
            CALL(guiEnterFullScreen);
            for (int i = 0; i < 4; ++i) CALL(guiCycleCamera, gCurrentCamera);
        }
    }

    gMissionLogCursor = kMissionLogNoEntry;
    ClearScreen();
    CALL(DisplayPresent, &TheDisplayMode);
    gLoading = 0;
    CALL(guiResetTextFeed);
    return 1;
}

int gameFrame() {
    if (optIntro) return 0;
    gKeyState = CALL(GetKeyDownTable);
    if (gLaunchRequest) {
        CALL(frontLaunchMission, 0);
        gLaunchRequest = 0;
    }
    if (gMissionOver) {
        CALL(exitMission);
        return 0;
    }
    if (gMissionOverNextFrame) {
        gMissionOver = 1;
        gMissionOverNextFrame = 0;
        return 0;
    }
    ValueRecorder *rec = gProfileRecorder;
    ProfilerStart(rec);
    double frameStart = ProfilerLastTime(rec);

    if (gSystemTransferPending == 1) {
        gSystemTransferPending = 0;
        if (gTransferBody) {
            // The transfer's body is the destination the jump goes to.
            dunTargetLpBody = static_cast<BodyRecord *>(gTransferBody);
            dunTargetLpStar = dunPendingStarSystem;
            gGuiSystemJumpRequest = 1;
            CALL(guiGoToSelectedSystem);
            CALL(SpawnArrivalBurst, dunPlayerShip);
            CALL(EventCameraTrigger, dunPlayerShip, nullptr, 11);
            if (dunPlayerShip && dunPlayerShip->sim) dunPlayerShip->sim->flags &= ~0x01000000u;
        }
    }
    CALL(guiGoToSelectedSystem);
    ++dunFrameCounter;

    CALL(UpdateMissionTimers);
    bool scriptHeld = (dunPlayerShip && dunPlayerShip->avatar && (dunPlayerShip->avatar->flags & 0x40000000u)) ||
                      gMapOverlayOpen || gWeaponLoading;
    if (!scriptHeld) CALL(ScriptProcessor, &gMainScriptPc, -1);
    if (VideoPlaying) return 1;

    if (optLoadTest) {
        gAutoLaunch -= dunFrameStep;
        if (gAutoLaunch < 0) {
            if (gInFrontEnd) gLaunchRequest = 1;
            else gMissionOver = 1;
        }
    }
    if (gFollowOnMission) {
        gAutoLaunch -= dunFrameStep;
        if (gAutoLaunch < 0 && gInFrontEnd) gLaunchRequest = 1;
    }

    if (!SimulationHeld()) {
        CALL(dunSimulationStep);
        if (VideoPlaying) return 1;
        CALL(dunRandomAmbientEvent);
    } else {
        CALL(JoystickPoll);
        SoundSlot *engine = CALL(SoundGetSlot, 2);
        SoundSlot *ambience = CALL(SoundGetSlot, 0);
        CALL(SoundSetVolume, engine, -10000);
        CALL(SoundSetVolume, ambience, -10000);
    }

    CALL(DisplayBeginFrame, &TheDisplayMode);
    CALL(guiDrawComArm);
    if (!dunFrozen || gDeveloperKeys) CALL(dunUpdateDialogue);
    CALL(guiUpdate);

    if (gKeyHoldOff > 0) {
        --gKeyHoldOff;
        while (CALL(KeyQueueCount)) CALL(KeyQueueGet);
    } else {
        while (CALL(KeyQueueCount)) {
            uint16_t key = CALL(KeyQueueGet);
            if (gKeyHandler) CALL(gKeyHandler, key);
        }
    }
    ProfilerCheckpoint(rec, "OTHER");
    CALL(WorldRecentreStep);
    if (optDisplayShades) CALL(DrawShadeTablePanel, "vek\\resource\\art\\textures\\ships\\tovstd.tab");
    if (!gSkipPresent) CALL(DisplayPresent, &TheDisplayMode);
    gSkipPresent = 0;
    if (gScreenshotRequest || gFixedStep) {
        CALL(DisplayBeginFrame, &TheDisplayMode);
        CALL(DisplayBeginFrame, &TheDisplayMode);
        if (Screen()) CALL(SaveScreenshotPcx, Screen());
        gScreenshotRequest = 0;
    }
    ProfilerCheckpoint(rec, "UPDATING");
    ProfilerSetLastTime(rec, frameStart);
    ProfilerCheckpoint(rec, "TOTAL");
    if (gMissionOver) CALL(exitMission);
    if (gKeyState) std::memcpy(dunPrevKeyTable, gKeyState, sizeof dunPrevKeyTable);
    return 1;
}

void gameShutdown() {
    if (optFrontEndStart) CALL(showLoadScreen);
    // Only a chosen captain's career is written back: a run ended before
    // the slot was read (or flying a command-line mission) has none, and
    // writing would put an empty captain over the one on disk.
    if (!optIntro && CareerFilesWritable()) {
        CALL(dunWriteCaptainSlot);
        CALL(dunWriteStateFile);
    }
    CALL(SoundShutdown);
    CALL(dunFreeTimelines);
    CALL(guiFreeTextFeed);
    CALL(resmanShutdown);
    CALL(dunMsgShutdown);
    CALL(FreeScriptBuffers);
    CALL(ShutdownInputAndDisplay);
}

void launchFileByExtension(const char *path) {
    size_t len = path ? std::strlen(path) : 0;
    if (len < 3) return;
    const char *ext = path + len - 3;
    if (SameName(ext, "LWO")) {
        ResourceHandle *h = CALL(resmanRegisterLoad, path, 15);
        void *model = h ? h->data : nullptr;
        if (!model || !dunPlayerShip) return;
        CALL(P3DSetObjectModel, dunPlayerShip, model);
        CALL(dunRefreshModelCollision, dunPlayerShip, model);
        if (dunPlayerShip->sim) dunPlayerShip->sim->flags |= 0x20;
    } else if (SameName(ext, "SMK")) {
        CALL(PlayVideo, path);
    } else if (SameName(ext, "SCR")) {
        CALL(dunResetWorld);
        CALL(dunInitContacts);
        CALL(ResetScriptForMission);
        CALL(resmanRelease);
        CALL(P3DFreeScene);
        if (!RunScriptFile(path)) return;
        CALL(startMission);
    }
}

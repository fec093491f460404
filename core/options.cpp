#include "core/options.h"

uint8_t optArcade, optSlave, optPerspective, optPowers, optConsole, optEngineering, optShades, optDisplayShades,
    optSound, optWire, optRunInBack, optFontMake, optNoFill, optNoDialogue, optSysBuf, optDirector, optNoHud,
    optBrfPause, optNoLogos, optOneLogo, optLoadTest, optNoBrief, optOldKeys, optOwnLines, optHardStars,
    optNoStreaks, optIntro, optNoSlab, optDemo, optForceFull, optDebug, optNoNavLights, optHiDef, optLagrange,
    optWinMouse, optNoZLock, optPrompts, optLodFix, optLogfile, optLogHistory, optNoRudder, optSlotGiven,
    optQuarter, optFrontEndStart;
int32_t optDebugScript, optStartValue;
uint16_t optSaveSlot;
int32_t PixelDepth = 8;
uint16_t BytesPerPixel = 1, gLanguage;
int16_t ResolutionMode;
uint8_t CardMode, FullScreenMode;

namespace {
struct InitOptions {
    InitOptions() { ResetOptions(); }
} gInitOptions;
}  // namespace

void ResetOptions() {
    optArcade = optSlave = optPerspective = optPowers = optConsole = optShades = optDisplayShades = optWire =
        optRunInBack = optFontMake = optNoFill = optNoDialogue = optDirector = optNoHud = optBrfPause =
            optNoLogos = optOneLogo = optLoadTest = optNoBrief = optOldKeys = optHardStars = optNoStreaks =
                optIntro = optNoSlab = optDemo = optForceFull = optDebug = optNoNavLights = optHiDef =
                    optLagrange = optWinMouse = optNoZLock = optLogfile = optLogHistory = optNoRudder =
                        optSlotGiven = optQuarter = optFrontEndStart = 0;
    optEngineering = optSound = optSysBuf = optOwnLines = optPrompts = optLodFix = 0xFF;
    optDebugScript = optStartValue = 0;
    optSaveSlot = 0;
    PixelDepth = 8;
    BytesPerPixel = 1;
    ResolutionMode = 0;
    gLanguage = 0;
    CardMode = FullScreenMode = 0;
}

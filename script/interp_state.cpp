// The interpreter's run state and its per-mission reset.
#include "core/frame.h"
#include "script/interp.h"
#include "script/mission.h"
#include "script/objects.h"

int32_t gScriptRunStatus;
ScriptToken *gMainScriptPc;
uint8_t gBriefingOpen, gRestorePending, gWeaponLoading, gBriefingLeave;
uint8_t gScriptSkip;
int32_t gScriptWaitTimer;
uint8_t gPlacementMode;
ScriptFrame gScriptStack[kScriptStackFrames];
int16_t gScriptStackDepth = -1;
uint8_t gEventsAllowed = 0xFF;
int16_t gEventDepth = 4;
int32_t gAutoGroup, gSavedAutoGroup;
uint8_t gRestoreAutoGroup;
int32_t gGroupCounter = 1000;
const char *gScriptRoutineName = "";

namespace {
ScriptHostFlags gHostFlags;
}  // namespace

void ScriptSetHostFlags(const ScriptHostFlags *flags) { gHostFlags = flags ? *flags : ScriptHostFlags{}; }

bool ScriptHostFlag(const uint8_t *ScriptHostFlags::*which) {
    const uint8_t *flag = gHostFlags.*which;
    return flag && *flag;
}

int32_t ScriptHostWord(const int32_t *ScriptHostFlags::*which) {
    const int32_t *word = gHostFlags.*which;
    return word ? *word : 0;
}

bool ScriptHeld() {
    return gBriefingOpen || gRestorePending || gWeaponLoading || dunFrozen ||
           ScriptHostFlag(&ScriptHostFlags::docViewer) || ScriptHostFlag(&ScriptHostFlags::objectives) ||
           ScriptHostFlag(&ScriptHostFlags::mapScreen);
}

void ResetScriptRunState() {
    gScriptRunStatus = 0;
    gBriefingOpen = gRestorePending = gWeaponLoading = gBriefingLeave = 0;
    dunFrozen = 0;
    gScriptPause = 0;
    gScriptSkip = 0;
    gScriptWaitTimer = 0;
    gPlacementMode = 0xFF;
    gScriptHud = nullptr;
    gScriptStackDepth = -1;
    gEventsAllowed = 0xFF;
    gRestoreAutoGroup = 0;
    gGroupCounter = 1000;
    gAutoGroup = 0;
    gScriptRoutineName = "";
    ForgetRunawayScript();
}

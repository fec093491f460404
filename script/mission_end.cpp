// The mission's clocks, its vital objects, the decision of its end and the
// time bonus, and the statements SUCCESS, FAILURE and OUTCOME.
#include <cstring>

#include "ai/scores.h"
#include "core/frame.h"
#include "present/p3d.h"
#include "present/scene.h"
#include "script/interp.h"
#include "script/mission.h"
#include "script/objectives.h"
#include "script/screens.h"
#include "script/settings.h"
#include "script/statements.h"
#include "script/symbols.h"
#include "world/flight.h"
#include "world/objlist.h"
#include "world/records.h"
#include "world/services.h"

uint8_t gMissionEnded, gMissionEndState, gFailedAfterSuccess, gVitalLost, gEndOfFlight, gMissionEnding;
int16_t gMissionOutcome;
const char *gVitalReportText = "";
VitalObjectEntry gVitalObjects[kVitalObjects];
SceneItem *gRemoteAtEnd;

namespace {

constexpr int32_t kSuccessCountdown = 500;
constexpr int32_t kVitalLossCountdown = 900;
constexpr int32_t kMaxTimeBonus = 500;
constexpr int kEndCameraEvent = 5;
constexpr int kFeedColourAlert = 1;
constexpr uint32_t kAvatarNoEnd = 0x40000000u;  // the player's ship cannot end the mission now

int32_t gVitalNextPoll;
int32_t gVitalPeriod = kVitalPollPeriod;

int32_t Now() { return int32_t(dunGameClock); }

void PostMissionOverText() {
    dunCall(dunGui().postFeedText, ScriptTextSlot(kMissionOverTextSlot), kFeedColourAlert);
}

void LeaveRemoteControl() {
    if (!dunRemoteLinked) return;
    gRemoteAtEnd = dunRemoteLinked;
    dunLeaveRemoteControl();
}

// The flight stops: the player leaves a remote turret, the game freezes
// and the full-screen view shows the player's ship.
void StopFlight() {
    LeaveRemoteControl();
    dunFrozen = 1;
    gMissionEndState = 1;
    dunCall(ScriptGui().pushFullScreen);
    EventCameraTrigger(dunPlayerShip, nullptr, kEndCameraEvent);
    gEndOfFlight = 0xFF;
    dunTimeScale = 1.0f;
}

bool InUse(const SceneItem *item) { return item && (item->flags & 1); }

void StSuccess(ScriptRun &run) {
    OptionalSymbolRecord(run);
    int32_t off = OptionalKeywordInRange(run, Sc::On, Sc::Off);
    bool noEnd = dunPlayerShip && dunPlayerShip->avatar && (dunPlayerShip->avatar->flags & kAvatarNoEnd);
    if (dunPlayerDestroyed || gMissionEnded || noEnd) return;
    dunMissionSuccess = 0xFF;
    if (off != 1) dunMissionEndCountdown = kSuccessCountdown;
}

void StFailure(ScriptRun &run) {
    if (ScriptTrunc(OptionalNumberOperand(run)) == 0) PostMissionOverText();
    if (dunMissionSuccess) gFailedAfterSuccess = 0xFF;
    else gMissionEnded = 0xFF;
    dunMissionEndCountdown = 0;
    StopFlight();
}

void StOutcome(ScriptRun &run) { gMissionOutcome = int16_t(ScriptTrunc(DecodeNumberOperand(run))); }

}  // namespace

const ScriptStatementRow kMissionStatements[] = {
    {293, StSuccess}, {294, StFailure}, {298, StOutcome}, {0, nullptr},
};

void ClearVitalObjects() {
    std::memset(gVitalObjects, 0, sizeof gVitalObjects);
    gVitalPeriod = kVitalPollPeriod;
    gVitalNextPoll = Now();
}

bool AddVitalObject(ScriptSymbol *symbol, VitalTest test, float parameter) {
    VitalObjectEntry *slot = nullptr;
    for (VitalObjectEntry &e : gVitalObjects)
        if (e.symbol == symbol) slot = &e;
    for (VitalObjectEntry &e : gVitalObjects)
        if (!slot && !e.symbol) slot = &e;
    if (!slot) return false;
    *slot = {symbol, test, parameter};
    return true;
}

bool RemoveVitalObject(ScriptSymbol *symbol) {
    if (!symbol) return false;
    for (VitalObjectEntry &e : gVitalObjects) {
        if (e.symbol != symbol) continue;
        e = VitalObjectEntry{};
        return true;
    }
    return false;
}

ScriptSymbol *PollVitalObjects() {
    if (Now() < gVitalNextPoll) return nullptr;
    gVitalNextPoll = Now() + gVitalPeriod;
    ScriptSymbol *reported = nullptr;
    uint32_t reportedKey = 0;
    for (VitalObjectEntry &e : gVitalObjects) {
        if (!e.symbol) continue;
        // The registry knows the object by its handle, which the symbol
        // forgets once it finds the object gone.
        uint32_t key = e.symbol->object;
        SceneItem *item = ScriptSymbolObject(e.symbol);
        if (!item || (!e.test && !InUse(item))) {
            reported = e.symbol;
            reportedKey = key;
            e = VitalObjectEntry{};
        } else if (e.test && e.test(item, e.parameter)) {
            reported = e.symbol;
            reportedKey = key;
        }
    }
    if (!reported) return nullptr;
    gVitalLost = 0xFF;
    // An object the kill registry never knew (a ship without a class) still
    // ends the mission when it is lost; its report has no text.
    const ScoreRecord *record = dunFindScoreRecordByKey(reportedKey);
    gVitalReportText = record ? dunScoreRecordText(record) : "";
    if (!gVitalReportText) gVitalReportText = "";
    return reported;
}

void CountScriptHit(SceneItem *item) {
    if (!item) return;
    bool watched = item == dunPlayerShip;
    for (VitalObjectEntry &e : gVitalObjects)
        if (e.symbol && ScriptSymbolObject(e.symbol) == item) watched = true;
    if (watched) ++gWatchedHits;
}

void RequestMissionEnd() {
    PostMissionOverText();
    gMissionEnded = 0xFF;
    dunMissionSuccess = 0;
    dunMissionEndCountdown = kVitalLossCountdown;
}

int32_t MissionTimeBonus(int32_t targetTime, int32_t missionTime, int32_t timeScore) {
    if (!targetTime) return 0;
    int64_t bonus = (int64_t(targetTime) - missionTime) / 100 * timeScore;
    return bonus < 0 ? 0 : bonus > kMaxTimeBonus ? kMaxTimeBonus : int32_t(bonus);
}

void FinishMission() {
    StopFlight();
    if (dunCall(ScriptGui().closeComArmFilms)) dunClearDialogue();
    // The time bonus is a part of the score's one formula, counted once.
    gMissionScore = ComputeMissionScore();
    if (gBriefingVideoShowing) {
        gMissionEndState = 2;
        dunCall(ScriptGui().endMission);
    }
}

void UpdateMissionTimers() {
    if (!dunFrozen) {
        bool held = gStopClock || gMissionEndState || ScriptHostFlag(&ScriptHostFlags::objectives) ||
                    ScriptHostFlag(&ScriptHostFlags::docViewer);
        if (!held) gMissionClock += dunFrameStep;
    }
    if (dunMissionEndCountdown > 0) {
        dunMissionEndCountdown -= dunFrameStep;
        if (dunMissionEndCountdown < 1) FinishMission();
    }
    if (PollVitalObjects()) RequestMissionEnd();
}

// Conditions, evaluated in place in the token stream, and the event watches
// that make the main mission script call a routine when a condition comes
// true.
#pragma once

#include <cstdint>

#include "script/interp.h"

constexpr int kCallWhenCount = 24;
constexpr int kVisitedSystems = 32;

namespace WatchFlag {
constexpr uint32_t Armed = 1, Once = 2, Negated = 4;
}  // namespace WatchFlag

struct CallWhenEntry {
    int32_t phase;            // clock units since the last test
    uint32_t flags;           // WatchFlag bits
    uint32_t routine;         // the label's token
    const char *routineName;
    uint32_t condition;       // the condition's first token, in the statement itself
};
extern CallWhenEntry gCallWhen[kCallWhenCount];
extern int16_t gCallWhenCount;

extern uint8_t gVisitedSystems[kVisitedSystems + 1];  // systems 1..32 visited in this mission
extern uint8_t gLoadPending;       // a checkpoint restore asks for its "Load%i" routine
extern int32_t gLoadNumber;
extern uint8_t gBriefingRequest;   // the BRIEFING statement or the cockpit asks for a briefing
extern int16_t gBriefingNumber;

// Reads a whole condition and gives its value.
bool EvaluateScriptCondition(ScriptRun &run);
// Before the main script's turn: the briefing request, a star-system
// arrival, a pending load, then the watches; may move the pc into a routine.
void DispatchScriptEvents(ScriptRun &run);
// Sense-flag keywords (SN_...) as a mask of Avatar flags; SN_DEBRIS adds its
// bit only when asked to.
uint32_t ReadSenseFlags(ScriptRun &run, bool withDebris);
// The per-mission reset of the watches and pending events.
void ResetScriptEvents();

// The script interpreter: run state, hold flags, the subroutine stack, the
// operand readers every statement reads its operands with, and the
// statement table.
#pragma once

#include <cstdint>

#include "script/tokens.h"

struct ScriptSymbol;
struct SceneItem;

// Run status: 0 running, 1 yield; 2 to 8 come with a syntax error report.
namespace ScriptStatus {
constexpr int32_t Running = 0, Yield = 1, BadSymbol = 2, BadLabel = 3, BadToken = 4, Stack = 5, Video = 7,
                  BadCondition = 8;
}  // namespace ScriptStatus
extern int32_t gScriptRunStatus;

// Hold flags of the script system's own Parts; any hold flag holds WAIT and
// WAIT_TIME (the freeze flag is the world's dunFrozen).
extern uint8_t gBriefingOpen;     // a briefing plays
extern uint8_t gRestorePending;   // a checkpoint restore waits for its start routine
extern uint8_t gWeaponLoading;    // the weapon-loading screen is up
extern uint8_t gBriefingLeave;    // the player left the briefing; RETURN clears it

// Bytes of the floors above that the interpreter reads. The game points them
// at its own at start-up; a null pointer reads as clear.
struct ScriptHostFlags {
    const uint8_t *videoPlaying;  // a film plays: no script runs on
    const uint8_t *quit;          // the game is ending
    const uint8_t *docViewer;     // hold flags of the document viewer,
    const uint8_t *objectives;    // the objectives screen
    const uint8_t *mapScreen;     // and the map screen
    const int32_t *autopilotCommand;  // the navigation station's current autopilot command
};
void ScriptSetHostFlags(const ScriptHostFlags *flags);
bool ScriptHostFlag(const uint8_t *ScriptHostFlags::*which);
int32_t ScriptHostWord(const int32_t *ScriptHostFlags::*which);
// Any of the seven hold flags.
bool ScriptHeld();

extern uint8_t gScriptSkip;      // ends the current wait; cleared after every statement
extern int32_t gScriptWaitTimer;  // clock units left of the WAIT_TIME in progress; 0 none
extern uint8_t gPlacementMode;   // 0xFF absolute, 0 relative

constexpr int kScriptStackFrames = 10;
struct ScriptFrame {
    uint32_t returnPc;
    int32_t waitTimer;
    uint8_t placementMode;
};
extern ScriptFrame gScriptStack[kScriptStackFrames];
extern int16_t gScriptStackDepth;  // -1 when empty
extern uint8_t gEventsAllowed;     // 0xFF after the reset
extern int16_t gEventDepth;        // starts at 4, keeps its last value

// Ships made by scripts join the automatic group; routines entered by
// star-system arrival and loading take a fresh number and give it back.
extern int32_t gAutoGroup;
extern int32_t gSavedAutoGroup;
extern uint8_t gRestoreAutoGroup;
extern int32_t gGroupCounter;  // the next fresh number; 1000 after the reset

extern const char *gScriptRoutineName;  // shown by the debugging views

// One ScriptProcessor call: the working pc (a token index), the start of the
// statement running, and the block flag, which belongs to the call.
struct ScriptRun {
    uint32_t pc;
    uint32_t statement;
    uint8_t block;
};
using ScriptStatement = void (*)(ScriptRun &run);
// The statement of each code; null does nothing.
extern ScriptStatement gScriptStatements[Sc::LastKeyword + 1];

// Per-mission state of the interpreter (status, holds, stack, events, wait
// timer, groups).
void ResetScriptRunState();
// One turn runs at most a fixed number of statements; the first turn cut
// short is logged with its script line. This lets the next one be logged.
void ForgetRunawayScript();

// Reports a run-time error at the statement running: sets the status and
// ends the program.
[[noreturn]] void ScriptFail(const ScriptRun &run, int32_t status, const char *message);

// The token at the pc (END past the token top) and stepping over it.
const ScriptToken &ScriptPeek(const ScriptRun &run);
const ScriptToken &ScriptNext(ScriptRun &run);

// Operand readers.
float DecodeNumberOperand(ScriptRun &run);
float OptionalNumberOperand(ScriptRun &run);
float PostIncrementOperand(ScriptRun &run);
int32_t DecodeIntegerOperand(ScriptRun &run);
uint32_t DecodeLabelOperand(ScriptRun &run);
ScriptSymbol *DecodeSymbolOperand(ScriptRun &run, uint32_t kindMask);
void *OptionalSymbolValue(ScriptRun &run);
ScriptSymbol *OptionalSymbolRecord(ScriptRun &run);
int32_t KeywordInRange(ScriptRun &run, uint32_t low, uint32_t high);
int32_t OptionalKeywordInRange(ScriptRun &run, uint32_t low, uint32_t high);
bool OperandsEqual(ScriptRun &run);
bool OperandGreater(ScriptRun &run);
// An object operand: a symbol given kind 8 (with the must-exist warning when
// asked); its object, or null.
SceneItem *DecodeObjectOperand(ScriptRun &run, bool mustExist);
// The raw argument of the next token (a literal's text): no kind check.
const char *DecodeTextOperand(ScriptRun &run);

// Enters a routine: pushes a frame returning to the run's pc and jumps; a
// full stack is the overflow report with the given status.
void ScriptEnterRoutine(ScriptRun &run, uint32_t target, int32_t overflowStatus);
// Runs a routine to its end with a private holder; false when there is no
// such label.
bool RunScriptRoutineAt(uint32_t target);
bool RunScriptRoutine(const char *name);

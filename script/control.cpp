// Control-flow statements: line markers, branches, subroutines, blocks and
// waits.
#include "core/frame.h"
#include "script/compiler.h"
#include "script/conditions.h"
#include "script/interp.h"
#include "script/statements.h"
#include "script/symbols.h"

namespace {

void Jump(ScriptRun &run, uint32_t target) { run.pc = target; }

// Runs the statement again next turn.
void YieldAgain(ScriptRun &run) {
    gScriptRunStatus = ScriptStatus::Yield;
    run.pc = run.statement;
}

void Call(ScriptRun &run, uint32_t target, int32_t overflowStatus) {
    ScriptEnterRoutine(run, target, overflowStatus);
}

// A taken CALL_ONCE turns its own tokens into no-ops, token by token, so the
// stream keeps its alignment and its line markers.
void Disarm(const ScriptRun &run) {
    for (uint32_t i = run.statement; i < run.pc; ++i) gScriptTokens[i] = {Sc::Begin, 0};
}

void SkipMarkers(ScriptRun &run) {
    while (ScriptPeek(run).code == Sc::Do && (gScriptTokenFlags[run.pc] & ScriptTokenFlag::Marker)) run.pc += 2;
}

// The block after IF or ELSE: the '{' whose argument is the token after its
// '}'.
uint32_t BlockEnd(ScriptRun &run, const char *message) {
    SkipMarkers(run);
    const ScriptToken &t = ScriptPeek(run);
    if (t.code != Sc::OpenBrace || !t.arg) {
        run.pc = run.statement;  // reported against the IF or ELSE
        ScriptFail(run, ScriptStatus::BadToken, message);
    }
    return t.arg;
}

void StDo(ScriptRun &run) {
    const ScriptToken &where = ScriptNext(run);
    gScriptSourceOffset = where.code;
    gScriptSourceName = where.arg;
}

void StCloseBrace(ScriptRun &run) { run.block = 0; }

void StBra(ScriptRun &run) { Jump(run, DecodeLabelOperand(run)); }

void StBraIf(ScriptRun &run) {
    uint32_t target = DecodeLabelOperand(run);
    bool c = EvaluateScriptCondition(run);
    if (c == (gScriptTokens[run.statement].code == Sc::BraIf)) Jump(run, target);
}

void StBeq(ScriptRun &run) {
    uint32_t target = DecodeLabelOperand(run);
    bool equal = OperandsEqual(run);
    if (equal == (gScriptTokens[run.statement].code == Sc::Beq)) Jump(run, target);
}

void StDecB(ScriptRun &run) {
    ScriptSymbol *counter = DecodeSymbolOperand(run, SymKind::Var);
    int32_t v = ScriptSymbolInt(counter) - 1;
    ScriptSetSymbolInt(counter, v);
    uint32_t target = DecodeLabelOperand(run);
    if ((v == 0) == (gScriptTokens[run.statement].code == Sc::DecBeq)) Jump(run, target);
}

void StCall(ScriptRun &run) { Call(run, DecodeLabelOperand(run), ScriptStatus::Stack); }

void StCallIf(ScriptRun &run) {
    uint32_t target = DecodeLabelOperand(run);
    bool c = EvaluateScriptCondition(run);
    if (c == (gScriptTokens[run.statement].code == Sc::CallIf)) Call(run, target, ScriptStatus::BadToken);
}

void StCallOnce(ScriptRun &run) {
    uint32_t code = gScriptTokens[run.statement].code;
    uint32_t target = DecodeLabelOperand(run);
    bool taken = true;
    if (code != Sc::CallOnce) taken = EvaluateScriptCondition(run) == (code == Sc::CallOnceIf);
    if (!taken) return;
    Disarm(run);
    Call(run, target, ScriptStatus::BadToken);
}

void StReturn(ScriptRun &run) {
    if (gRestoreAutoGroup) {
        gRestoreAutoGroup = 0;
        gAutoGroup = gSavedAutoGroup;
    }
    gBriefingLeave = 0;
    if (gScriptStackDepth < 0) ScriptFail(run, ScriptStatus::Stack, "Underflow of subroutine stack.");
    const ScriptFrame &f = gScriptStack[gScriptStackDepth--];
    gPlacementMode = f.placementMode;
    gScriptWaitTimer = f.waitTimer;
    run.pc = f.returnPc;
    if (!gEventsAllowed && gScriptStackDepth < gEventDepth) gEventsAllowed = 0xFF;
    if (gScriptTokens[run.statement].code == Sc::ReturnWait) gScriptRunStatus = ScriptStatus::Yield;
}

void StIf(ScriptRun &run) {
    if (EvaluateScriptCondition(run)) {
        run.block = 0;
        return;
    }
    run.pc = BlockEnd(run, "IF statement not followed by '{' .");
    run.block = 0xFF;
}

void StElse(ScriptRun &run) {
    if (run.block) return;  // the IF was false: into the ELSE block
    run.pc = BlockEnd(run, "ELSE statement not followed by '{' .");
}

void StWhile(ScriptRun &run) {
    if (!EvaluateScriptCondition(run)) return;
    uint32_t j = run.statement - 1;
    while (j >= 2 && (gScriptTokenFlags[j - 1] & ScriptTokenFlag::Marker)) j -= 2;
    const ScriptToken &close = gScriptTokens[j];
    if (close.code != Sc::CloseBrace || !close.arg) {
        run.pc = run.statement;
        ScriptFail(run, ScriptStatus::BadToken, "WHILE Statement not preceded by '}'.");
    }
    run.pc = close.arg;
}

void StWait(ScriptRun &run) {
    gScriptRunStatus = ScriptStatus::Yield;
    if (ScriptHeld()) run.pc = run.statement;
}

void StWaitTime(ScriptRun &run) {
    int32_t time = ScriptTrunc(DecodeNumberOperand(run));
    if (gScriptWaitTimer == 0) {
        // A wait of no time yields once and goes on, instead of re-arming
        // for ever.
        if (time <= 0) {
            gScriptRunStatus = ScriptStatus::Yield;
            return;
        }
        gScriptWaitTimer = time;
        YieldAgain(run);
        return;
    }
    if (!ScriptHeld()) gScriptWaitTimer -= dunFrameStep;
    if (gScriptWaitTimer <= 0 || gScriptSkip) {
        gScriptWaitTimer = 0;
        return;
    }
    YieldAgain(run);
}

void StWaitUntil(ScriptRun &run) {
    if (dunFrozen) {
        YieldAgain(run);
        return;
    }
    bool c = EvaluateScriptCondition(run);
    if (gScriptTokens[run.statement].code == Sc::WaitUntilNot) c = !c;
    if (!c && !gScriptSkip) YieldAgain(run);
}

}  // namespace

const ScriptStatementRow kControlStatements[] = {
    {Sc::Do, StDo},
    {Sc::CloseBrace, StCloseBrace},
    {Sc::Bra, StBra},
    {Sc::BraIf, StBraIf},
    {Sc::BraIfNot, StBraIf},
    {Sc::Beq, StBeq},
    {Sc::Bne, StBeq},
    {Sc::DecBeq, StDecB},
    {Sc::DecBne, StDecB},
    {Sc::Call, StCall},
    {Sc::CallIf, StCallIf},
    {Sc::CallIfNot, StCallIf},
    {Sc::CallOnce, StCallOnce},
    {Sc::CallOnceIf, StCallOnce},
    {Sc::CallOnceIfNot, StCallOnce},
    {Sc::Return, StReturn},
    {Sc::ReturnWait, StReturn},
    {Sc::If, StIf},
    {Sc::Else, StElse},
    {Sc::While, StWhile},
    {Sc::Wait, StWait},
    {Sc::WaitTime, StWaitTime},
    {Sc::WaitUntil, StWaitUntil},
    {Sc::WaitUntilNot, StWaitUntil},
    {0, nullptr},
};

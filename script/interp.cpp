// The interpreter loop, the operand readers and the subroutine stack.
#include <cstdio>
#include <cstring>

#include "core/log.h"
#include "script/compiler.h"
#include "script/conditions.h"
#include "script/interp.h"
#include "script/script.h"
#include "script/symbols.h"
#include "world/objlist.h"

namespace {

const ScriptToken kEnd = {Sc::End, 0};

// A loop with no WAIT in its path would never end its turn: the turn ends
// here instead, and the rest runs on the next one. No script of the game
// comes near this in one turn.
constexpr uint32_t kStatementsPerTurn = 100000;
bool gRunawayReported;

void EndRunawayTurn(const ScriptRun &run) {
    gScriptRunStatus = ScriptStatus::Yield;
    if (gRunawayReported) return;
    gRunawayReported = true;
    unsigned line = 0;
    const char *file = "";
    uint32_t offset = 0;
    ScriptTokenLine(run.statement, &line, &file, &offset);
    dunDebugPrintf("Script turn ended after %u statements without a WAIT: %s(%u)", kStatementsPerTurn, file, line);
}

bool IsKeyName(const ScriptToken &t) { return (t.code & 0xFFFF0000u) == Sc::KeyNameTag; }

ScriptSymbol *SymbolOf(const ScriptRun &run, const ScriptToken &t) {
    ScriptSymbol *s = ScriptSymbolAt(t.arg);
    if (!s) ScriptFail(run, ScriptStatus::BadSymbol, "Bad SYMBOL Reference");
    return s;
}

// A number operand: a symbol (a scene-item symbol as its value word when
// asked, else the integer it refers to), a literal, or a key name's code.
bool ReadNumber(ScriptRun &run, bool objectsAsWords, float *out) {
    const ScriptToken &t = ScriptPeek(run);
    if (t.code == Sc::Symbol) {
        ScriptNext(run);
        ScriptSymbol *s = SymbolOf(run, t);
        bool word = objectsAsWords && s->kind == SymKind::SceneItem;
        *out = word ? (float)ScriptSymbolWord(s) : (float)ScriptSymbolInt(s);
    } else if (t.code == Sc::Data) {
        ScriptNext(run);
        *out = ScriptDataFloat(t.arg);
    } else if (IsKeyName(t)) {
        ScriptNext(run);
        *out = (float)(t.code & 0xFFFF);
    } else {
        return false;
    }
    return true;
}

void Push(ScriptRun &run, uint32_t returnPc, int32_t overflowStatus) {
    if (gScriptStackDepth + 1 >= kScriptStackFrames) ScriptFail(run, overflowStatus, "Overflow of subroutine stack.");
    gScriptStack[++gScriptStackDepth] = {returnPc, gScriptWaitTimer, gPlacementMode};
}

// A compared operand: a number, or a reference compared by identity.
struct Compared {
    bool number;
    double value;
};

Compared ReadCompared(ScriptRun &run) {
    const ScriptToken &t = ScriptPeek(run);
    if (t.code == Sc::Symbol || t.code == Sc::NewSymbol) {
        ScriptNext(run);
        ScriptSymbol *s = SymbolOf(run, t);
        if (s->kind & SymKind::Var) return {true, (double)ScriptSymbolInt(s)};
        return {false, (double)(intptr_t)ScriptSymbolPointer(s)};
    }
    if (t.code == Sc::Data) {
        ScriptNext(run);
        return {true, ScriptDataFloat(t.arg)};
    }
    if (IsKeyName(t)) {
        ScriptNext(run);
        return {true, (double)(t.code & 0xFFFF)};
    }
    return {true, 0.0};
}

}  // namespace

ScriptStatement gScriptStatements[Sc::LastKeyword + 1];

void ForgetRunawayScript() { gRunawayReported = false; }

void ScriptFail(const ScriptRun &run, int32_t status, const char *message) {
    gScriptRunStatus = status;
    ReportScriptSyntaxError(message, run.pc);
}

const ScriptToken &ScriptPeek(const ScriptRun &run) {
    return run.pc && run.pc < gScriptTokenTop ? gScriptTokens[run.pc] : kEnd;
}

const ScriptToken &ScriptNext(ScriptRun &run) {
    const ScriptToken &t = ScriptPeek(run);
    if (run.pc && run.pc < gScriptTokenTop) ++run.pc;
    return t;
}

float DecodeNumberOperand(ScriptRun &run) {
    float v;
    if (!ReadNumber(run, true, &v)) ScriptFail(run, ScriptStatus::BadSymbol, "Bad SYMBOL Reference");
    return v;
}

float OptionalNumberOperand(ScriptRun &run) {
    float v;
    return ReadNumber(run, false, &v) ? v : 0.0f;
}

float PostIncrementOperand(ScriptRun &run) {
    const ScriptToken &t = ScriptPeek(run);
    if (t.code != Sc::Data) ScriptFail(run, ScriptStatus::BadSymbol, "Bad SYMBOL Reference");
    ScriptNext(run);
    float v = ScriptDataFloat(t.arg);
    ScriptSetDataFloat(t.arg, v + 1.0f);
    return v;
}

int32_t DecodeIntegerOperand(ScriptRun &run) {
    const ScriptToken &t = ScriptPeek(run);
    if (t.code == Sc::Symbol) {
        ScriptNext(run);
        ScriptSymbol *s = SymbolOf(run, t);
        return (s->kind & SymKind::SceneItem) ? ScriptSymbolWord(s) : ScriptSymbolInt(s);
    }
    if (t.code == Sc::Data) {
        ScriptNext(run);
        return ScriptTrunc(ScriptDataFloat(t.arg));
    }
    ScriptFail(run, ScriptStatus::BadSymbol, "SYMBOL or DATA reference needed in this context");
}

uint32_t DecodeLabelOperand(ScriptRun &run) {
    const ScriptToken &t = ScriptPeek(run);
    ScriptSymbol *s = t.code == Sc::Symbol ? ScriptSymbolAt(t.arg) : nullptr;
    // A label never met (or a name that is not one) has no token to go to.
    uint32_t target = s ? ScriptLabelTarget(s) : 0;
    if (!target) ScriptFail(run, ScriptStatus::BadLabel, "Bad LABEL Reference");
    ScriptNext(run);
    gScriptRoutineName = s->name;
    return target;
}

ScriptSymbol *DecodeSymbolOperand(ScriptRun &run, uint32_t kindMask) {
    const ScriptToken &t = ScriptPeek(run);
    if (t.code != Sc::Symbol && t.code != Sc::NewSymbol)
        ScriptFail(run, ScriptStatus::BadSymbol, "SYMBOL reference needed in this context");
    ScriptNext(run);
    ScriptSymbol *s = SymbolOf(run, t);
    bool mustExist = kindMask & SymKind::MustExist;
    uint32_t mask = kindMask & ~SymKind::MustExist;
    if (t.code == Sc::Symbol) {
        if (!(mask == SymKind::Any && s->kind)) s->kind |= mask;
    } else {
        s->kind = mask;
        if (mustExist) {
            unsigned line = 0;
            const char *file = "";
            uint32_t offset = 0;
            ScriptTokenLine(run.statement, &line, &file, &offset);
            dunDebugPrintf("Script warning: '%s' is used before it is declared, probably a typing error: %s(%u)",
                           s->name, file, line);
        }
    }
    return s;
}

void *OptionalSymbolValue(ScriptRun &run) {
    ScriptSymbol *s = OptionalSymbolRecord(run);
    return s ? ScriptSymbolPointer(s) : nullptr;
}

ScriptSymbol *OptionalSymbolRecord(ScriptRun &run) {
    const ScriptToken &t = ScriptPeek(run);
    if (t.code != Sc::Symbol) return nullptr;
    ScriptNext(run);
    return SymbolOf(run, t);
}

int32_t KeywordInRange(ScriptRun &run, uint32_t low, uint32_t high) {
    int32_t k = OptionalKeywordInRange(run, low, high);
    if (k < 0) ScriptFail(run, ScriptStatus::BadToken, "Unrecognized Token");
    return k;
}

int32_t OptionalKeywordInRange(ScriptRun &run, uint32_t low, uint32_t high) {
    const ScriptToken &t = ScriptPeek(run);
    if (t.code < low || t.code > high) return -1;
    ScriptNext(run);
    return (int32_t)(t.code - low);
}

bool OperandsEqual(ScriptRun &run) {
    Compared a = ReadCompared(run), b = ReadCompared(run);
    return a.number == b.number && a.value == b.value;
}

bool OperandGreater(ScriptRun &run) {
    Compared a = ReadCompared(run), b = ReadCompared(run);
    return a.value > b.value;
}

SceneItem *DecodeObjectOperand(ScriptRun &run, bool mustExist) {
    ScriptSymbol *s = DecodeSymbolOperand(run, SymKind::SceneItem | (mustExist ? SymKind::MustExist : 0));
    return ScriptSymbolObject(s);
}

const char *DecodeTextOperand(ScriptRun &run) {
    const ScriptToken &t = ScriptNext(run);
    return t.code == Sc::Data ? ScriptDataText(t.arg) : "";
}

void ScriptEnterRoutine(ScriptRun &run, uint32_t target, int32_t overflowStatus) {
    Push(run, run.pc, overflowStatus);
    run.pc = target;
}

bool RunScriptRoutineAt(uint32_t target) {
    if (!target || target >= gScriptTokenTop) return false;
    int32_t status = gScriptRunStatus;
    int16_t depth = gScriptStackDepth;
    // The routine's RETURN comes back to token 0, the END.
    ScriptRun run{0, 0, 0};
    ScriptEnterRoutine(run, target, ScriptStatus::Stack);
    gScriptWaitTimer = 0;
    ScriptToken *pc = ScriptTokenAt(target);
    ScriptProcessor(&pc, 0);
    // A routine that yields is never resumed: its frames go.
    if (gScriptStackDepth > depth) {
        gScriptWaitTimer = gScriptStack[depth + 1].waitTimer;
        gPlacementMode = gScriptStack[depth + 1].placementMode;
        gScriptStackDepth = depth;
    }
    gScriptRunStatus = status;
    return true;
}

bool RunScriptRoutine(const char *name) {
    ScriptSymbol *s = FindScriptSymbol(name);
    return s && (s->flags & SymFlag::Label) && RunScriptRoutineAt(ScriptLabelTarget(s));
}

// A word no earlier line declared, where a statement belongs: a misspelt
// statement, which would otherwise be passed over without a word.
static void UnknownStatement(ScriptRun &run, const ScriptToken &t) {
    const ScriptSymbol *s = ScriptSymbolAt(t.arg);
    ReportUnknownStatement(run.statement, s && s->name ? s->name : "?");
    // The rest of its line are its operands: passed over with it.
    while (run.pc < gScriptTokenTop && !(gScriptTokenFlags[run.pc] & ScriptTokenFlag::Marker) &&
           gScriptTokens[run.pc].code != Sc::End)
        ++run.pc;
}

int ScriptProcessor(ScriptToken **holder, int runEvents) {
    gScriptRunStatus = ScriptStatus::Running;
    if (!holder || !*holder || !gScriptTokens) return 0;
    ScriptRun run{ScriptTokenIndex(*holder), 0, 0};
    if (runEvents) DispatchScriptEvents(run);
    uint32_t statements = 0;
    while (gScriptRunStatus == ScriptStatus::Running && !ScriptHostFlag(&ScriptHostFlags::videoPlaying)) {
        const ScriptToken &t = ScriptPeek(run);
        if (t.code == Sc::End) break;
        run.statement = run.pc++;
        if (t.code <= Sc::LastKeyword && gScriptStatements[t.code]) gScriptStatements[t.code](run);
        else if (t.code == Sc::NewSymbol) UnknownStatement(run, t);
        gScriptSkip = 0;
        if (ScriptHostFlag(&ScriptHostFlags::quit)) break;
        if (++statements == kStatementsPerTurn && gScriptRunStatus == ScriptStatus::Running) EndRunawayTurn(run);
    }
    *holder = ScriptTokenAt(run.pc);
    gScriptSkip = 0;
    dunCheckSceneList();
    return gScriptRunStatus;
}

// Variable statements: setting and computing integers, walking the scene's
// objects by their flags, two per-ship target fields, shootings, the mission
// timer and the arcade tuning values.
#include <cstring>

#include "RES/util.h"
#include "ai/scores.h"
#include "script/interp.h"
#include "script/mission.h"
#include "script/statements.h"
#include "script/symbols.h"
#include "world/handle.h"
#include "world/objlist.h"

float gArcadeWeaponBonus = 3.0f;
float gArcadeSystemLimit = 0.1f;
float gArcadeEnemyBonus = 1.0f;
float gArcadeExtraBraking = 10.0f;
float gDifficultyFactor = 1.0f;

namespace {

// The store rule: a scene-item symbol (kind exactly 8) takes the number as
// its value word; any other writes the integer it refers to.
void Store(ScriptSymbol *s, double number) {
    int32_t v = ScriptTrunc(number);
    if (s->kind == SymKind::SceneItem) ScriptSetSymbolWord(s, v);
    else ScriptSetSymbolInt(s, v);
}

void Write(ScriptSymbol *s, double number) { ScriptSetSymbolInt(s, ScriptTrunc(number)); }

void StSet(ScriptRun &run) {
    ScriptSymbol *s = DecodeSymbolOperand(run, 0);
    Store(s, DecodeNumberOperand(run));
}

void StSetByDifficulty(ScriptRun &run) {
    ScriptSymbol *s = DecodeSymbolOperand(run, 0);
    float n = DecodeNumberOperand(run);
    if (n > 0) {
        bool more = gScriptTokens[run.statement].code == 567;
        int32_t v = ScriptTrunc(more ? n * gDifficultyFactor : n / gDifficultyFactor);
        n = (float)(v < 1 ? 1 : v);
    }
    Store(s, n);
}

void StSetInc(ScriptRun &run) {
    int32_t n = ScriptTrunc(PostIncrementOperand(run));
    ScriptSymbol *var = DecodeSymbolOperand(run, SymKind::Var);
    float kept = 0;
    for (int32_t i = 0; i <= n; ++i) {
        uint32_t at = run.pc;
        kept = OptionalNumberOperand(run);
        if (run.pc == at) {  // the list ran out: every later read gives 0
            kept = 0;
            break;
        }
    }
    Write(var, kept);
}

void StAddSub(ScriptRun &run) {
    ScriptSymbol *var = DecodeSymbolOperand(run, SymKind::Var);
    float n = DecodeNumberOperand(run);
    float current = (float)ScriptSymbolInt(var);
    Write(var, gScriptTokens[run.statement].code == 570 ? current + n : current - n);
}

void StRand(ScriptRun &run) {
    ScriptSymbol *var = DecodeSymbolOperand(run, SymKind::Var);
    float n = DecodeNumberOperand(run);
    float r = (float)dunRand15();
    Write(var, gScriptTokens[run.statement].code == 572 ? r * n / 32767.0f : r * n * 2.0f / 32767.0f - n);
}

// Flag keywords SN_DEBRIS..SN_HAPPY_TO_DOCK as a mask; SN_DEBRIS adds none.
uint32_t ObjectFlags(ScriptRun &run) {
    uint32_t mask = 0;
    for (int bit; (bit = OptionalKeywordInRange(run, Sc::SnDebris, Sc::SnLast)) >= 0;)
        if (bit > 0) mask |= 1u << bit;
    return mask;
}

void StFirstScn(ScriptRun &run) {
    ScriptSymbol *s = DecodeSymbolOperand(run, SymKind::SceneItem);
    ScriptSetSymbolObject(s, dunFirstObjectWithFlags(ObjectFlags(run)));
}

void StNextScn(ScriptRun &run) {
    ScriptSymbol *s = DecodeSymbolOperand(run, SymKind::SceneItem | SymKind::MustExist);
    uint32_t mask = ObjectFlags(run);
    SceneItem *current = ScriptSymbolObject(s);
    ScriptSetSymbolObject(s, current ? dunNextObjectWithFlags(current, mask) : nullptr);
}

void StGetDistance(ScriptRun &run) {
    ScriptSymbol *result = DecodeSymbolOperand(run, 0);
    SceneItem *a = DecodeObjectOperand(run, true), *b = DecodeObjectOperand(run, true);
    Write(result, a && b ? ObjectDistance(a, b, nullptr) : 0.0);
}

// The ship's target field of that name, or null.
SceneItem **TargetField(SceneItem *ship, const char *name) {
    if (!ship || !ship->sim) return nullptr;
    if (!std::strcmp(name, "WeaponTarget")) return &ship->sim->goal;
    if (!std::strcmp(name, "NavTarget")) return &ship->sim->target;
    return nullptr;
}

void StGetInternalVar(ScriptRun &run) {
    SceneItem *ship = DecodeObjectOperand(run, true);
    const char *name = DecodeTextOperand(run);
    ScriptSymbol *result = DecodeSymbolOperand(run, 0);
    SceneItem **field = TargetField(ship, name);
    if (!field) return;
    SceneItem *target = *field && ((*field)->flags & SceneFlag::InUse) ? *field : nullptr;
    // An object kept in a number is its handle.
    if (result->kind == SymKind::SceneItem) ScriptSetSymbolObject(result, target);
    else ScriptSetSymbolInt(result, target ? (int32_t)dunHandleOf(target) : 0);
}

void StSetInternalVar(ScriptRun &run) {
    SceneItem *ship = DecodeObjectOperand(run, true);
    const char *name = DecodeTextOperand(run);
    ScriptSymbol *source = DecodeSymbolOperand(run, 0);
    SceneItem **field = TargetField(ship, name);
    if (!field) return;
    *field = source->kind == SymKind::SceneItem ? ScriptSymbolObject(source)
                                                : dunItemFromHandle((DunHandle)ScriptSymbolInt(source));
}

void StCountShootings(ScriptRun &run) {
    ScriptSymbol *result = DecodeSymbolOperand(run, SymKind::Var | SymKind::MustExist);
    int killed = KeywordInRange(run, Sc::Hit, Sc::Killed);
    const ScriptToken &t = ScriptPeek(run);
    int mode = -1;
    intptr_t key = 0;
    if (t.code == Sc::Symbol || t.code == Sc::NewSymbol) {
        ScriptNext(run);
        ScriptSymbol *s = ScriptSymbolAt(t.arg);
        if (s && s->kind == SymKind::SceneItem) {
            mode = 0;
            key = (intptr_t)ScriptSymbolObject(s);
        }
    } else if (t.code == Sc::Data) {
        ScriptNext(run);
        mode = 3;
        key = ScriptTrunc(ScriptDataFloat(t.arg));
    } else if (t.code >= Sc::Corvette && t.code <= Sc::Ring) {
        ScriptNext(run);
        mode = 1;
        key = t.code - Sc::Corvette;
    } else if (t.code >= Sc::Neutral && t.code <= Sc::Alliance) {
        ScriptNext(run);
        mode = 2;
        key = t.code - Sc::Neutral;
    }
    Write(result, mode < 0 ? 0 : dunScoreSummary(mode, killed, key));
}

void StLoadSaveVar(ScriptRun &run) {
    DecodeTextOperand(run);
    DecodeSymbolOperand(run, SymKind::Var | SymKind::MustExist);
}

void StTimerSet(ScriptRun &run) { dunMissionCountdown = ScriptTrunc(DecodeNumberOperand(run)); }

void StArcade(ScriptRun &run) {
    float *value = nullptr;
    switch (gScriptTokens[run.statement].code) {
    case 553: value = &gArcadeWeaponBonus; break;
    case 554: value = &gArcadeSystemLimit; break;
    case 556: value = &gArcadeEnemyBonus; break;
    case 557: value = &gArcadeExtraBraking; break;
    default: return;  // ARCADE_NOSHIELDS_BOOL: no effect
    }
    *value = DecodeNumberOperand(run);
}

}  // namespace

const ScriptStatementRow kVariableStatements[] = {
    {553, StArcade},        {554, StArcade},         {555, StArcade},
    {556, StArcade},        {557, StArcade},         {566, StSet},
    {567, StSetByDifficulty}, {568, StSetByDifficulty}, {569, StSetInc},
    {570, StAddSub},        {571, StAddSub},         {572, StRand},
    {573, StRand},          {574, StFirstScn},       {575, StNextScn},
    {576, StCountShootings}, {577, StLoadSaveVar},   {578, StLoadSaveVar},
    {579, StGetInternalVar}, {580, StSetInternalVar}, {581, StGetDistance},
    {582, StTimerSet},      {0, nullptr},
};

// The symbol table, the script buffers, the built-in symbols and the
// mark-and-reset that throws each mission's scripts away.
#include "script/symbols.h"

#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "RES/resman.h"
#include "core/frame.h"
#include "core/log.h"
#include "core/options.h"
#include "script/compiler.h"
#include "script/interp.h"
#include "script/mission.h"
#include "script/script.h"
#include "script/settings.h"
#include "script/statements.h"
#include "world/objlist.h"

ScriptSymbol gScriptSymbols[kMaxScriptSymbols];
int32_t gScriptSymbolCount;

ScriptSymbol *gSymLastShip, *gSymLdsiHit, *gSymGleamLoc, *gSymRemItem, *gSymCustom, *gSymLast3dp, *gSymLastRes,
    *gSymLastWaypt, *gSymGleamBody, *gSymGleamHead, *gSymNullData;

namespace {

bool gInitialised = false;

// The baseline and the start-up symbols' values as they stood at it.
struct Baseline {
    uint32_t tokenTop, dataTop;
    int32_t symbolCount;
};
Baseline gBaseline;
struct SavedValue {
    void *value;
    DunHandle object;
    uint32_t kind, flags;
};
SavedValue gSavedValues[kMaxScriptSymbols];

ScriptSymbol *Builtin(const char *name, uint32_t kind, int32_t *engine) {
    static const uint8_t kZero[4] = {};
    ScriptSymbol *s = AddScriptSymbol(name, kZero, 4);
    s->kind = kind;
    if (engine) {
        s->value = engine;
        s->flags |= SymFlag::Engine;
    } else {
        s->value = nullptr;
    }
    return s;
}

void MakeBuiltins() {
    gSymLastShip = Builtin("LASTSHIP", 8, nullptr);
    gSymLdsiHit = Builtin("LDSIHIT", 8, nullptr);
    gSymGleamLoc = Builtin("GLEAMLOC", 8, nullptr);
    gSymRemItem = Builtin("REMITEM", 9, nullptr);
    gSymCustom = Builtin("CUSTOM", 8, nullptr);
    gSymLast3dp = Builtin("LAST3DP", 16, nullptr);
    gSymLastRes = Builtin("LASTRES", 64, nullptr);
    gSymLastWaypt = Builtin("LASTWAYPT", 8, nullptr);
    Builtin("SCORE", 33, &gMissionScore);
    Builtin("BEAM_TOGGLE", 32, &gBeamToggle);
    Builtin("EXTRALOAD", 33, &gExtraLoad);
    Builtin("WEPSETUP", 33, &gWepSetup);
    Builtin("TIMER", 33, &dunMissionCountdownSeconds);
    Builtin("XHITS", 33, &gWatchedHits);
    Builtin("NWAYPTS", 33, &gWaypointCount);
    Builtin("MISSTIME", 32, &gMissionClock);
    Builtin("STOPCLOCK", 33, &gStopClock);
    Builtin("TGTTIME", 33, &gTargetTime);
    Builtin("TIMESCORE", 33, &gTimeScore);
    Builtin("MOVIE_FPS", 32, &gFixedRate);
    gSymGleamBody = Builtin("GLEAMBODY", 8, nullptr);
    gSymGleamHead = Builtin("GLEAMHEAD", 8, nullptr);
    Builtin("MISSNUMBER", 33, &gCurrentMission);
    Builtin("BESTTIME", 33, &gBestTime);
    Builtin("SHIELD_DMG_FACTOR", 33, &gShieldDamageFactor);
    gSymNullData = Builtin("NULL_DATA", 8, nullptr);
}

// Holds the value in its own bytes (a label, a variable, a new name).
bool HoldsOwnCell(const ScriptSymbol *s) { return s->initial && s->value == s->initial; }

// The 4-byte cell the value refers to, when it is one the script system
// owns the meaning of: the symbol's own bytes or an engine variable. Cells
// in the data buffer sit at any offset: they are only ever copied bytewise.
uint8_t *IntCell(const ScriptSymbol *s) {
    auto *at = static_cast<uint8_t *>(s->value);
    if (HoldsOwnCell(s) && s->size >= 4) return at;
    if ((s->flags & SymFlag::Engine) && s->value) return at;
    // A name DEFINE gave a literal refers to the literal's bytes.
    if (!(s->flags & SymFlag::Word) && gScriptData && at >= gScriptData && at + 4 <= gScriptData + kScriptDataBytes)
        return at;
    return nullptr;
}

}  // namespace

ScriptSymbol *AddScriptSymbol(const char *name, const void *initial, uint32_t n) {
    if (gScriptSymbolCount >= kMaxScriptSymbols) ScriptDrasticError("Symbol Table Full!");
    uint32_t nameAt = AppendScriptData(name, (uint32_t)std::strlen(name) + 1);
    uint32_t valueAt = AppendScriptData(initial, n);
    ScriptSymbol *s = &gScriptSymbols[gScriptSymbolCount++];
    *s = ScriptSymbol{};
    s->name = reinterpret_cast<const char *>(gScriptData + nameAt);
    s->initial = gScriptData + valueAt;
    s->value = s->initial;
    s->size = n;
    return s;
}

ScriptSymbol *FindScriptSymbol(const char *name) {
    if (!name) return nullptr;
    for (int32_t i = 0; i < gScriptSymbolCount; ++i)
        if (!std::strcmp(gScriptSymbols[i].name, name)) return &gScriptSymbols[i];
    return nullptr;
}

int32_t ScriptSymbolIndex(const ScriptSymbol *symbol) { return (int32_t)(symbol - gScriptSymbols); }

ScriptSymbol *ScriptSymbolAt(uint32_t index) {
    return index < (uint32_t)gScriptSymbolCount ? &gScriptSymbols[index] : nullptr;
}

bool ScriptSymbolBound(const ScriptSymbol *s) {
    if (!HoldsOwnCell(s)) return true;
    return (s->flags & SymFlag::Label) || (s->kind & (SymKind::Var | SymKind::Define));
}

void *GetScriptSymbolValue(const char *name) {
    ScriptSymbol *s = FindScriptSymbol(name);
    if (!s || !ScriptSymbolBound(s) || (s->flags & SymFlag::Word)) return nullptr;
    return ScriptSymbolPointer(s);
}

void *GetTypedScriptSymbolValue(const char *name, uint32_t kind) {
    ScriptSymbol *s = FindScriptSymbol(name);
    if (!s || s->kind != kind) return nullptr;
    return GetScriptSymbolValue(name);
}

int32_t ScriptSymbolInt(const ScriptSymbol *s) {
    if (const uint8_t *cell = IntCell(s)) {
        int32_t v;
        std::memcpy(&v, cell, 4);
        return v;
    }
    return ScriptSymbolWord(const_cast<ScriptSymbol *>(s));
}

void ScriptSetSymbolInt(ScriptSymbol *s, int32_t value) {
    if (uint8_t *cell = IntCell(s)) {
        std::memcpy(cell, &value, 4);
        return;
    }
    // Writing through a record or an object would overwrite its first word:
    // the number takes the value word's place instead.
    ScriptSetSymbolWord(s, value);
}

int32_t ScriptSymbolWord(ScriptSymbol *s) {
    if (s->object) {
        return ScriptSymbolObject(s) ? (int32_t)s->object : 0;
    }
    return (int32_t)(intptr_t)s->value;
}

void *ScriptSymbolPointer(ScriptSymbol *s) {
    if (s->object) return ScriptSymbolObject(s);
    return s->value;
}

SceneItem *ScriptSymbolObject(ScriptSymbol *s) {
    if (!s->object) return nullptr;
    SceneItem *item = dunItemFromHandle(s->object);
    // The object's own back-link may have cleared the value already.
    if (!item || s->value != item) {
        s->object = kNoHandle;
        s->value = nullptr;
        return nullptr;
    }
    return item;
}

void ScriptSetSymbolObject(ScriptSymbol *s, SceneItem *item) {
    s->value = item;
    s->object = item ? dunHandleOf(item) : kNoHandle;
    s->flags &= ~SymFlag::Word;
}

void ScriptSetSymbolWord(ScriptSymbol *s, int32_t value) {
    s->value = reinterpret_cast<void *>((intptr_t)value);
    s->object = kNoHandle;
    if (value) s->flags |= SymFlag::Word;
    else s->flags &= ~SymFlag::Word;
}

void *ScriptSymbolThing(ScriptSymbol *s) {
    if (!s || HoldsOwnCell(s) || (s->flags & SymFlag::Word)) return nullptr;
    return ScriptSymbolPointer(s);
}

ResourceHandle *ScriptSymbolResource(ScriptSymbol *s) {
    auto *h = static_cast<ResourceHandle *>(ScriptSymbolThing(s));
    if (h < RESMAN.handles || h >= RESMAN.handles + RESMAN.count) return nullptr;
    return h;
}

void ScriptSetSymbolThing(ScriptSymbol *s, void *thing) {
    s->value = thing;
    s->object = kNoHandle;
    s->flags &= ~SymFlag::Word;
}

uint32_t ScriptLabelTarget(const ScriptSymbol *s) {
    if (!HoldsOwnCell(s) || s->size < 4) return 0;
    uint32_t target;
    std::memcpy(&target, s->value, 4);
    return target < gScriptTokenTop ? target : 0;
}

void InitializeScriptSystem() {
    if (gInitialised) {
        dunErrorBox("You called me once - Don't call me again!", "InitializeScriptSystem says");
        dunTerminate("You called me once - Don't call me again!", 1);
    }
    gInitialised = true;
    // A start after an earlier one in another language must not keep its
    // folder.
    LocaliseScriptDocFolder(gLanguage == 1 ? "frn_" : gLanguage == 2 ? "ger_" : nullptr);
    gScriptData = static_cast<uint8_t *>(std::calloc(kScriptDataBytes, 1));
    gScriptTokens = static_cast<ScriptToken *>(std::calloc(kScriptTokenCount, sizeof(ScriptToken)));
    gScriptTokenFlags = static_cast<uint8_t *>(std::calloc(kScriptTokenCount, 1));
    gScriptNames = static_cast<char *>(std::calloc(kScriptNameBytes, 1));
    if (!gScriptData || !gScriptTokens || !gScriptTokenFlags || !gScriptNames)
        dunFatalError("Out of memory for the script buffers");
    // Token 0 is the END that "no address" leads to; offset 0 of the data
    // and name buffers is never handed out either.
    gScriptTokens[0] = {Sc::End, 0};
    gScriptTokenTop = 1;
    gScriptDataTop = 4;
    gScriptNameTop = 1;
    gScriptNameMark = 1;
    gScriptCurrentName = 0;
    gScriptSymbolCount = 0;
    FillScriptStatements();
    MakeBuiltins();
    MarkScriptBaseline();
    ResetScriptForMission();
}

void MarkScriptBaseline() {
    gBaseline = {gScriptTokenTop, gScriptDataTop, gScriptSymbolCount};
    gScriptNameMark = gScriptNameTop;
    for (int32_t i = 0; i < gScriptSymbolCount; ++i) {
        const ScriptSymbol &s = gScriptSymbols[i];
        gSavedValues[i] = {s.value, s.object, s.kind, s.flags};
    }
}

void ResetScriptForMission() {
    if (!gScriptTokens) return;
    gScriptTokenTop = gBaseline.tokenTop;
    gScriptDataTop = gBaseline.dataTop;
    gScriptSymbolCount = gBaseline.symbolCount;
    // The start-up files' names stay, so that their line markers still name
    // them; only the mission's names go.
    gScriptNameTop = gScriptNameMark;
    std::memset(gScriptTokenFlags + gScriptTokenTop, 0, kScriptTokenCount - gScriptTokenTop);
    // A start-up symbol that the mission gave another value (an object it
    // made, a number) gets its start-up value back, so that nothing of the
    // mission is left behind it.
    for (int32_t i = 0; i < gScriptSymbolCount; ++i) {
        ScriptSymbol &s = gScriptSymbols[i];
        if (&s == gSymCustom || &s == gSymGleamBody || &s == gSymGleamHead) continue;
        const SavedValue &v = gSavedValues[i];
        s.value = v.value;
        s.object = v.object;
        s.kind = v.kind;
        s.flags = v.flags;
    }
    for (ScriptSymbol *s : {gSymLastShip, gSymLdsiHit, gSymGleamLoc, gSymRemItem, gSymLast3dp, gSymLastRes,
                            gSymLastWaypt, gSymNullData})
        ScriptSetSymbolObject(s, nullptr);
    for (int i = 0; i < kBriefingCount; ++i) gBriefingDeclare[i] = gBriefingBegin[i] = gBriefingEnd[i] = 0;
    gBriefingCompileNumber = 0;
    gMissionClock = gTargetTime = gStopClock = gMissionScore = gWatchedHits = 0;
    gWaypointCount = -1;
    ResetScriptRunState();
    ResetScriptMissionState();
}

int32_t ScriptBaselineSymbolCount() { return gBaseline.symbolCount; }

void ReleaseMissionResources() {
    for (int32_t i = gBaseline.symbolCount; i < gScriptSymbolCount; ++i) {
        ScriptSymbol &s = gScriptSymbols[i];
        if (s.kind != SymKind::Resource || !ScriptSymbolBound(&s) || HoldsOwnCell(&s)) continue;
        if (s.flags & SymFlag::Word) continue;
        auto *handle = static_cast<ResourceHandle *>(s.value);
        if (!handle) continue;
        resmanUnlock(handle);
        if (!handle->locked) resmanUnload(handle);
    }
}

void FreeScriptBuffers() {
    std::free(gScriptData);
    std::free(gScriptTokens);
    std::free(gScriptTokenFlags);
    std::free(gScriptNames);
    gScriptData = nullptr;
    gScriptTokens = nullptr;
    gScriptTokenFlags = nullptr;
    gScriptNames = nullptr;
    gScriptTokenTop = gScriptDataTop = gScriptNameTop = 0;
    gScriptSymbolCount = 0;
    // The text slots point into the start-up's text resources, which go
    // with the script system: no window help may read them afterwards.
    for (const char *&slot : gTextSlots) slot = nullptr;
    gInitialised = false;
}

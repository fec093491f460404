// The statements that speak to the player: dialogue (with the briefing's
// line-at-a-time branch), the objective statements, the HUD's text line
// and key prompt, and sounds free or attached to an object.
#include <cstdio>

#include "RES/resman.h"
#include "core/frame.h"
#include "core/options.h"
#include "platform/sound.h"
#include "script/briefing.h"
#include "script/compiler.h"
#include "script/conditions.h"
#include "script/dialogue.h"
#include "script/interp.h"
#include "script/mission.h"
#include "script/objectives.h"
#include "script/screens.h"
#include "script/settings.h"
#include "script/statements.h"
#include "script/symbols.h"
#include "world/handle.h"
#include "world/mission_state.h"
#include "world/objlist.h"
#include "world/records.h"
#include "world/services.h"

uint8_t gDialogueRunning;
int32_t gHudStringSlot;
ScriptSymbol *gHudStringVariable;
ScriptPrompt gScriptPrompt = {0, 0, -1, 0};

namespace {

constexpr uint32_t kAvatarNoDialogue = 0x40000000u;  // the player's ship takes no dialogue now
constexpr int kPromptKeyRowStart = 86;  // R_DESTROY_CONTACT
constexpr int kKeyNamePrefix = 4;  // "KEY_"

uint32_t Code(const ScriptRun &run) { return gScriptTokens[run.statement].code; }

void YieldHere(ScriptRun &run) {
    run.pc = run.statement;
    gScriptRunStatus = ScriptStatus::Yield;
}

bool IsSymbolToken(const ScriptToken &t) { return t.code == Sc::Symbol || t.code == Sc::NewSymbol; }

bool IsNumberToken(const ScriptToken &t) {
    return t.code == Sc::Symbol || t.code == Sc::Data || (t.code & 0xFFFF0000u) == Sc::KeyNameTag;
}

bool EndCountingDown() { return dunMissionEndCountdown > 0; }

ScriptSymbol *ResourceOperand(ScriptRun &run) {
    return DecodeSymbolOperand(run, SymKind::Resource | SymKind::MustExist);
}

// The rest of the statement's operands, up to its line's marker.
void SkipToStatementEnd(ScriptRun &run) {
    for (uint32_t c = ScriptPeek(run).code; c != Sc::Do && c != Sc::End; c = ScriptPeek(run).code) ScriptNext(run);
}

// ---- Dialogue -----------------------------------------------------------------------

bool PlayerTakesNoDialogue() {
    return dunPlayerShip && dunPlayerShip->avatar && (dunPlayerShip->avatar->flags & kAvatarNoDialogue);
}

// In a briefing a dialogue line is one line of the section's text: it plays
// when the player asked for the next or the feed has typed the last one
// out and its time has run.
void BriefingLine(ScriptRun &run) {
    const bool ready = gBriefingSkip || (!dunCall(ScriptGui().feedTyping) && gScriptSpeechTime <= 0);
    if (!ready) {
        if (gScriptSpeechTime > 0) gScriptSpeechTime -= dunFrameStep;
        YieldHere(run);
        return;
    }
    ScriptSymbol *line = ResourceOperand(run);
    dunCall(ScriptGui().playDialogueLine, line, nullptr, line, nullptr);
}

void StDialogue(ScriptRun &run) {
    gDialogueChoiceResult = 0;
    // The player left the briefing: its routine goes on after its end.
    if (gBriefingLeave && gScriptStackDepth >= 0) {
        BriefingLeaveToEnd(run);
        return;
    }
    if (EndCountingDown() || optNoDialogue || dunPlayerDestroyed || PlayerTakesNoDialogue()) return;
    if (gBriefingOpen) {
        BriefingLine(run);
        return;
    }
    ScriptSymbol *resource = ResourceOperand(run);
    if (gDialogueRunning) {
        if (dunIsDialogueQueuedFor(resource)) {
            YieldHere(run);
            return;
        }
        SkipToStatementEnd(run);
        gDialogueRunning = 0;
        return;
    }
    ScriptSymbol *reply = nullptr;
    SceneItem *speaker = nullptr;
    bool cancelled = false;
    while (IsSymbolToken(ScriptPeek(run))) {
        ScriptSymbol *s = OptionalSymbolRecord(run);
        if (!s) {  // a name first met here: no object behind it
            ScriptNext(run);
            cancelled = true;
            continue;
        }
        if (s->kind == SymKind::Var) {
            reply = s;
        } else {
            speaker = ScriptSymbolObject(s);
            // The speaker is gone (destroyed): the dialogue is not started.
            if (!speaker) cancelled = true;
        }
    }
    if (cancelled) return;
    if (!dunCall(ScriptGui().playDialogueLine, resource, reply, resource, speaker)) return;
    if (dunIsDialogueQueuedFor(resource)) dunCall(ScriptGui().openComArm);
    gDialogueRunning = 1;
    YieldHere(run);
}

void StCancelDialogue(ScriptRun &run) { dunCancelDialogueBySymbol(OptionalSymbolRecord(run)); }

// ---- Objectives -----------------------------------------------------------------------

void StDecObjv(ScriptRun &run) { dunLoadObjectives(ScriptSymbolResource(ResourceOperand(run))); }

// Pairs of an objective number and a value, ended by a number 0 or by the
// first token that is not a number.
template <class Set>
void ObjectivePairs(ScriptRun &run, Set &&set) {
    while (IsNumberToken(ScriptPeek(run))) {
        const int32_t number = ScriptTrunc(OptionalNumberOperand(run));
        if (number == 0) return;
        set(dunFindObjective(number), ScriptTrunc(OptionalNumberOperand(run)));
    }
}

void StScoreObjv(ScriptRun &run) { ObjectivePairs(run, dunSetObjectiveScore); }
void StTimeObjv(ScriptRun &run) { ObjectivePairs(run, dunSetObjectiveTime); }

int StateKeyword(ScriptRun &run) { return KeywordInRange(run, Sc::New, Sc::ObjvEnd); }

// The objective list: each number sets its objective, when asked to.
void ObjectiveList(ScriptRun &run, int state, bool apply) {
    while (IsNumberToken(ScriptPeek(run))) {
        const int32_t number = ScriptTrunc(OptionalNumberOperand(run));
        if (number == 0) return;
        if (apply) dunSetObjectiveState(dunFindObjective(number), state);
    }
}

void StSetObjv(ScriptRun &run) {
    const int state = StateKeyword(run);
    // A completion once the end counts down changes nothing; the list is
    // left to run as tokens that do nothing.
    if (state == ObjectiveState::Done && EndCountingDown()) return;
    ObjectiveList(run, state, true);
}

void StSetObjvIf(ScriptRun &run) {
    const bool c = EvaluateScriptCondition(run);
    const int state = StateKeyword(run);
    ObjectiveList(run, state, c == (Code(run) == 269));
}

void StShowObjv(ScriptRun &run) {
    const bool on = KeywordInRange(run, Sc::On, Sc::Off) == 0;
    while (IsNumberToken(ScriptPeek(run))) {
        const int32_t number = ScriptTrunc(OptionalNumberOperand(run));
        if (number == 0) return;
        dunShowObjective(dunFindObjective(number), on ? 0xFF : 0);
    }
}

void StMaxKillBonus(ScriptRun &run) { gMaxKillBonus = ScriptTrunc(DecodeNumberOperand(run)); }

// ---- HUD text -------------------------------------------------------------------------

void StHudString(ScriptRun &run) {
    const int32_t slot = ScriptTrunc(DecodeNumberOperand(run));
    ScriptSymbol *variable = DecodeSymbolOperand(run, SymKind::Var);
    if (OptionalKeywordInRange(run, Sc::On, Sc::Off) == 1) {
        gHudStringSlot = 0;
        gHudStringVariable = nullptr;
        return;
    }
    gHudStringSlot = slot;
    gHudStringVariable = variable;
}

// The row of the key-name table naming a scan code, searched from the
// first command row on: a command code equal to the scan code is found
// before the key's own row.
int KeyNameRow(int scan) {
    for (int row = kPromptKeyRowStart; ScriptKeyNameTable[row].text; ++row)
        if (int(ScriptKeyNameTable[row].code) == scan) return row;
    return -1;
}

void StPrompt(ScriptRun &run) {
    if (!optPrompts) {
        OptionalKeywordInRange(run, Sc::On, Sc::Off);
        return;
    }
    gScriptPrompt = {0, 0, -1, 0};
    if (KeywordInRange(run, Sc::On, Sc::Off) == 1) return;
    const int32_t slot = ScriptTrunc(DecodeNumberOperand(run));
    int32_t command = ScriptTrunc(OptionalNumberOperand(run));
    if (command == 0) command = -1;
    gScriptPrompt.slot = slot;
    int modifier = 0, scan = 0;
    if (command > 0 && dunCall(ScriptGui().findKeyBinding, uint16_t(command), &modifier, &scan)) {
        gScriptPrompt.modifier = modifier;
        gScriptPrompt.keyRow = KeyNameRow(scan);
    }
}

// ---- Sound ----------------------------------------------------------------------------

SoundSlot *LoadedSound(ScriptSymbol *symbol) {
    return static_cast<SoundSlot *>(resmanLoad(ScriptSymbolResource(symbol)));
}

void StPlaySound(ScriptRun &run) {
    SoundSlot *sound = LoadedSound(ResourceOperand(run));
    const int32_t volume = ScriptTrunc(OptionalNumberOperand(run));
    const int32_t pan = ScriptTrunc(OptionalNumberOperand(run));
    const int32_t frequency = ScriptTrunc(OptionalNumberOperand(run));
    if (!sound) return;
    sound->volume = volume;
    SoundStartFaded(sound, volume, frequency, pan, 0);
}

void StAttachSound(ScriptRun &run) {
    SceneItem *o = DecodeObjectOperand(run, true);
    SoundSlot *sound = LoadedSound(ResourceOperand(run));
    if (!sound || !o || !o->avatar) return;
    o->avatar->attachedSound = sound;
    sound->owner = dunHandleOf(o);
    // Silent until the positional sound raises it.
    SoundStart(sound, -10000, 0, 0, 1);
}

}  // namespace

void dunHudStringText(char *out, size_t size) {
    if (!out || size == 0) return;
    out[0] = 0;
    if (gHudStringSlot <= 0) return;
    char value[16];
    std::snprintf(value, sizeof value, "%i", gHudStringVariable ? ScriptSymbolInt(gHudStringVariable) : 0);
    FormatTextSlot(gHudStringSlot, value, out, size);
}

void dunPromptText(char *out, size_t size) {
    if (!out || size == 0) return;
    out[0] = 0;
    if (gScriptPrompt.slot <= 0) return;
    const char *key = gScriptPrompt.keyRow >= 0 ? ScriptKeyNameTable[gScriptPrompt.keyRow].text : "";
    for (int i = 0; i < kKeyNamePrefix && *key; ++i) ++key;
    FormatTextSlot(gScriptPrompt.slot, key, out, size);
}

void ResetDialogueStatements() {
    gDialogueRunning = 0;
    // A line of the last mission does not hold the next one's briefing.
    gScriptSpeechTime = 0;
    gHudStringSlot = 0;
    gHudStringVariable = nullptr;
    gScriptPrompt = {0, 0, -1, 0};
    gMaxKillBonus = 0;
}

const ScriptStatementRow kDialogueStatements[] = {
    {262, StDialogue},  {263, StDialogue},  {264, StCancelDialogue}, {265, StDecObjv},
    {266, StScoreObjv}, {267, StTimeObjv},  {268, StSetObjv},        {269, StSetObjvIf},
    {270, StSetObjvIf}, {271, StShowObjv},  {272, StMaxKillBonus},   {273, StHudString},
    {274, StPrompt},    {275, StPlaySound}, {276, StAttachSound},    {0, nullptr},
};

// The condition grammar and its tests, the event-watch statements and the
// dispatch of event routines before each turn of the main mission script.
#include "script/conditions.h"

#include <cmath>
#include <cstdio>
#include <initializer_list>

#include "ai/brain.h"
#include "ai/contacts.h"
#include "ai/weapons.h"
#include "core/frame.h"
#include "core/options.h"
#include "platform/sound.h"
#include "script/briefing.h"
#include "script/compiler.h"
#include "script/dialogue.h"
#include "script/mission.h"
#include "script/objectives.h"
#include "script/statements.h"
#include "script/symbols.h"
#include "world/collision.h"
#include "world/docking.h"
#include "world/eventhooks.h"
#include "world/flight.h"
#include "world/objlist.h"
#include "world/objroutines.h"
#include "world/step.h"
#include "world/universe.h"

CallWhenEntry gCallWhen[kCallWhenCount];
int16_t gCallWhenCount;
uint8_t gVisitedSystems[kVisitedSystems + 1];
uint8_t gLoadPending;
int32_t gLoadNumber;
uint8_t gBriefingRequest;
int16_t gBriefingNumber;

namespace {

// The damage-mask bits of ship subsystems 0..8.
const uint16_t kSubsystemBits[9] = {0x1, 0x2, 0x4, 0x18, 0x20, 0x40, 0x80, 0x100, 0x400};

bool InUse(const SceneItem *o) { return o && (o->flags & SceneFlag::InUse); }
const Sim *SimOf(const SceneItem *o) { return o ? o->sim : nullptr; }
const ShipInfo *ShipOf(const SceneItem *o) { return o && o->sim ? o->sim->shipInfo : nullptr; }
bool InLds(const SceneItem *o) { return o && o->sim && (o->sim->flags & SimFlag::Lds); }
float Radius(const SceneItem *o) { return o && o->sim ? o->sim->radius : 0.0f; }
float Speed(const SceneItem *o) { return o && o->sim ? o->sim->speed : 0.0f; }

double Length(double x, double y, double z) { return std::sqrt(x * x + y * y + z * z); }

int32_t Side(const SceneItem *o) {
    if (const ShipInfo *s = ShipOf(o)) return s->side;
    return o && o->avatar ? (int32_t)(o->avatar->flags & AvatarFlag::SideBits) : -1;
}

int ShipKind(ScriptRun &run) { return KeywordInRange(run, Sc::Corvette, Sc::KindEnd); }
int SideKeyword(ScriptRun &run) { return KeywordInRange(run, Sc::Neutral, Sc::SideEnd); }

// Objects of the list that pass a test.
template <class F>
int CountObjects(F &&pass) {
    int n = 0;
    for (SceneItem *o = dunFirstObjectWithFlags(0); o; o = dunNextObjectWithFlags(o, 0)) n += pass(o) ? 1 : 0;
    return n;
}

bool HasSense(const SceneItem *o, uint32_t mask) { return o && o->avatar && (o->avatar->flags & mask) == mask; }

// An optional object operand: the symbol's object, or the empty-operand
// answer when none is written.
bool OptionalObject(ScriptRun &run, SceneItem **object) {
    ScriptSymbol *s = OptionalSymbolRecord(run);
    if (!s) return false;
    s->kind |= SymKind::SceneItem;
    *object = ScriptSymbolObject(s);
    return true;
}

bool NearTo(ScriptRun &run) {
    SceneItem *a = DecodeObjectOperand(run, false), *b = DecodeObjectOperand(run, false);
    float d = DecodeNumberOperand(run);
    if (!a || !b || a->systemNumber != b->systemNumber) return false;
    double limit = d;
    if (d == 0) {
        limit = 500000.0 + Radius(a) + Radius(b);
        for (const SceneItem *o : {a, b})
            if (InLds(o) && 10.0 * Speed(o) >= limit) limit = 10.0 * Speed(o) + 10000000.0;
    }
    return ObjectDistance(a, b, nullptr) < limit;
}

bool VelMatch(const SceneItem *a, const SceneItem *b, float tolerance) {
    if (!a || !b || !a->sim || !b->sim || InLds(a) || InLds(b)) return false;
    double sa = a->sim->speed, sb = b->sim->speed;
    if (sa + sb > 0 && std::fabs(sa - sb) * 200.0 / (sa + sb) > tolerance) return false;
    if (sa == 0 && sb == 0) return true;
    const Vec3 &va = a->sim->velocity, &vb = b->sim->velocity;
    double la = Length(va.x, va.y, va.z), lb = Length(vb.x, vb.y, vb.z);
    if (la == 0 || lb == 0) return false;
    double cosine = (va.x * vb.x + va.y * vb.y + va.z * vb.z) / (la * lb);
    return cosine >= std::cos(tolerance * 3.1415 / 100.0);
}

bool LookingAt(const SceneItem *a, const SceneItem *b, int sw) {
    if (!a || !b || !a->sim || !b->sim || InLds(a) || InLds(b)) return false;
    Vec3 d;  // a - b
    double distance = ObjectDistance(a, b, &d);
    double dx = -d.x, dy = -d.y, dz = -d.z;
    if (sw != 1) {
        double range = Radius(b) * 30.0;
        if (range < 120000.0) range = 120000.0;
        if (range > 2500000.0) range = 2500000.0;
        if (distance > range) return false;
    }
    const float *m = a->sim->matrix.m;  // the forward axis is the third row
    double forward = Length(m[8], m[9], m[10]);
    if (distance == 0 || forward == 0) return false;
    double cosine = (m[8] * dx + m[9] * dy + m[10] * dz) / (distance * forward);
    if (cosine <= 0.9) return false;
    const Vec3 &va = a->sim->velocity, &vb = b->sim->velocity;
    return Length(va.x - vb.x, va.y - vb.y, va.z - vb.z) < 15000.0;
}

bool Attacked(ScriptRun &run) {
    SceneItem *o = DecodeObjectOperand(run, false);
    SceneItem *by = nullptr;
    bool withBy = OptionalObject(run, &by);
    if (!o) return true;
    SceneItem *attacker = o->avatar ? o->avatar->attacker : nullptr;
    if (!attacker) return false;
    if (withBy) return attacker == by;
    return Side(attacker) != Side(o);
}

bool Docked(ScriptRun &run) {
    SceneItem *a = DecodeObjectOperand(run, false);
    SceneItem *b = nullptr;
    bool withB = OptionalObject(run, &b);
    if (!a) return false;
    SceneItem *partner = dunGetDockedPartner(a);
    return partner && (!withB || partner == b);
}

// One test, its operands read.
bool Test(ScriptRun &run, uint32_t code) {
    switch (code) {
    case 500: return NearTo(run);
    case 501: {  // FARFROM
        SceneItem *a = DecodeObjectOperand(run, false), *b = DecodeObjectOperand(run, false);
        float d = DecodeNumberOperand(run);
        return !a || !b || ObjectDistance(a, b, nullptr) >= d;
    }
    case 502: {  // ALT_LOWER
        SceneItem *o = DecodeObjectOperand(run, false);
        float h = DecodeNumberOperand(run);
        return InUse(o) && o->sim && o->sim->gravity.depth < h * 100000.0;
    }
    case 503: {  // VELMATCH
        SceneItem *a = DecodeObjectOperand(run, false), *b = DecodeObjectOperand(run, false);
        return VelMatch(a, b, DecodeNumberOperand(run));
    }
    case 504: return !InUse(DecodeObjectOperand(run, false));  // DESTROYED
    case 505: return Attacked(run);
    case 506: {  // INSYSTEM
        int32_t n = ScriptTrunc(DecodeNumberOperand(run));
        SceneItem *o = nullptr;
        if (OptionalObject(run, &o)) return o && o->systemNumber == n;
        return dunCurrentSystem == n;
    }
    case 507: {  // AI_SUSPENDED
        const Sim *s = SimOf(DecodeObjectOperand(run, false));
        return s && (s->flags & SimFlag::AiPaused);
    }
    case 508: return dunGravityImpacts > DecodeNumberOperand(run);  // IMPACTS_GT
    case 509: {  // AUTOPILOT
        float n = DecodeNumberOperand(run);
        const Sim *s = SimOf(dunControlledObject);
        bool on = s && (s->flags & SimFlag::Autopilot);
        if (n < 0) return !on;
        return on && ScriptHostWord(&ScriptHostFlags::autopilotCommand) - 55 == ScriptTrunc(n);
    }
    case 510: return dunai_WingCommandIs(ScriptTrunc(DecodeNumberOperand(run)));  // WING_ORDER
    case 511: return dunContactFilter == ScriptTrunc(DecodeNumberOperand(run));  // CONT_FILTER
    case 512: return optPrompts != 0;                                            // PROMPTS_ON
    case 513: {  // IS_TARGET
        SceneItem *a = DecodeObjectOperand(run, false), *b = DecodeObjectOperand(run, false);
        return a && b && a->sim && a->sim->goal == b;
    }
    case 514: return gWaypointCount == ScriptTrunc(DecodeNumberOperand(run));  // WAYPTCOUNT_EQ
    case 515: {  // WAYPT_VISITED
        SceneItem *o = DecodeObjectOperand(run, false);
        return o && dunWaypointVisited(o);
    }
    case 516: return Docked(run);
    case 517: {  // UNDOCKED
        SceneItem *o = DecodeObjectOperand(run, false);
        return !o || !dunGetDockedPartner(o);
    }
    case 518: return dunPlayerShip && dunDockedLinkCount(dunPlayerShip) >= 2;  // PLAYER_LINKED
    case 519: {  // DAMAGE_LT
        const Sim *s = SimOf(DecodeObjectOperand(run, false));
        float p = DecodeNumberOperand(run);
        return s && s->hull > 100 - p;
    }
    case 520: {  // DAMAGE_GT
        SceneItem *o = DecodeObjectOperand(run, false);
        float p = DecodeNumberOperand(run);
        return !o || !o->sim || o->sim->hull < 100 - p;
    }
    case 521: {  // SYS_OUT
        const ShipInfo *ship = ShipOf(DecodeObjectOperand(run, false));
        int32_t s = ScriptTrunc(DecodeNumberOperand(run));
        return ship && s >= 0 && s < 9 && (ship->damage.mask & kSubsystemBits[s]);
    }
    case 522: {  // EMIT_GT
        const Sim *s = SimOf(DecodeObjectOperand(run, false));
        float n = DecodeNumberOperand(run);
        return s && std::log(s->emission > 0 ? s->emission : 1.0f) > n;
    }
    case 523: {  // LOOKING_AT
        SceneItem *a = DecodeObjectOperand(run, false), *b = DecodeObjectOperand(run, false);
        return LookingAt(a, b, OptionalKeywordInRange(run, Sc::On, Sc::Off));
    }
    case 524: {  // DIALOGUE_OVER
        ScriptSymbol *s = OptionalSymbolRecord(run);
        if (gDialogueOver) return true;
        return s ? !dunIsDialogueQueuedFor(s) : !dunIsDialoguePlaying(0);
    }
    case 525: {  // SHIPCOUNT_LT
        int kind = ShipKind(run), side = SideKeyword(run);
        float n = DecodeNumberOperand(run);
        return CountObjects([&](const SceneItem *o) {
                   const ShipInfo *s = ShipOf(o);
                   return s && s->typeCode == kind && s->side == side;
               }) < n;
    }
    case 526: {  // SENSECOUNT_LT
        float n = DecodeNumberOperand(run);
        uint32_t mask = ReadSenseFlags(run, true);
        dunCheckSceneList();
        return CountObjects([&](const SceneItem *o) { return HasSense(o, mask); }) < n;
    }
    case 527: {  // GROUPCOUNT_LT
        int32_t g = ScriptTrunc(DecodeNumberOperand(run));
        float n = DecodeNumberOperand(run);
        return CountObjects([&](const SceneItem *o) {
                   const ShipInfo *s = ShipOf(o);
                   return s && s->group == g;
               }) < n;
    }
    case 528: {  // NOSHIPS
        int side = SideKeyword(run);
        return dunCountShipsOfSide(side) <= DecodeNumberOperand(run);
    }
    case 529: {  // NONETOBRINGIN
        SceneItem *o = DecodeObjectOperand(run, false);
        int32_t n = ScriptTrunc(DecodeNumberOperand(run));
        uint32_t mask = ReadSenseFlags(run, false);
        SceneItem *found = dunPlaceObjectNearNavPoint(mask, n, o);
        if (!found) return true;
        ScriptSetSymbolObject(gSymLastShip, found);
        return false;
    }
    case 530: return InUse(DecodeObjectOperand(run, false));  // VALID_SCN
    case 531: {  // SCN_SENSE
        SceneItem *o = DecodeObjectOperand(run, false);
        uint32_t mask = ReadSenseFlags(run, false);
        return o && HasSense(o, mask);
    }
    case 532: {  // TOWED_BY
        SceneItem *a = DecodeObjectOperand(run, false), *b = DecodeObjectOperand(run, false);
        return a && b && a->simulator == dunSimFollowLinked && a->avatar && a->avatar->partner == b;
    }
    case 533: {  // CONTACT
        SceneItem *o = DecodeObjectOperand(run, false);
        return o && dunIsContact(o);
    }
    case 534: return dunMissionCountdown <= 0;                       // TIMER_OUT
    case 535: return dunMissionCountdown < DecodeNumberOperand(run);  // TIMER_LT
    case 536: {  // SHIP_CLOCK
        SceneItem *o = DecodeObjectOperand(run, false);
        if (!o || !o->sim || o->sim->shipClock[0] >= 1) return false;
        o->sim->shipClock[0] = o->sim->shipClock[1];
        return true;
    }
    case 537: {  // SHIP_TYPE
        const ShipInfo *s = ShipOf(DecodeObjectOperand(run, false));
        int kind = ShipKind(run);
        return s && s->typeCode == kind;
    }
    case 538: {  // IN_GROUP
        const ShipInfo *s = ShipOf(DecodeObjectOperand(run, false));
        int32_t g = ScriptTrunc(DecodeNumberOperand(run));
        return s && s->group == g;
    }
    case 539: {  // HASFIRED
        SceneItem *o = DecodeObjectOperand(run, false);
        if (!o || !o->sim || !(o->sim->flags & SimFlag::ShieldStruck)) return false;
        o->sim->flags &= ~SimFlag::ShieldStruck;
        return true;
    }
    case 540: return OperandsEqual(run);   // EQUAL
    case 541: return OperandGreater(run);  // GT
    case 542: return InLds(DecodeObjectOperand(run, false));  // IN_LDS
    case 543: {  // PROBED
        SceneItem *o = DecodeObjectOperand(run, false);
        return o && o->avatar && o->avatar->probed;
    }
    case 544: {  // OBJV
        int state = KeywordInRange(run, Sc::New, Sc::ObjvEnd);
        const ScriptToken &t = ScriptPeek(run);
        bool given = t.code == Sc::Symbol || t.code == Sc::Data || (t.code & 0xFFFF0000u) == Sc::KeyNameTag;
        int32_t n = ScriptTrunc(OptionalNumberOperand(run));
        return dunObjectiveIs(state, given ? n : -1);
    }
    case 545: {  // REMLINK
        SceneItem *o = nullptr;
        if (OptionalObject(run, &o)) return o && dunRemoteLinked == o;
        return dunRemoteLinked != nullptr;
    }
    case 546: {  // WEAPON_EMPTY
        SceneItem *o = DecodeObjectOperand(run, false);
        int32_t n = ScriptTrunc(DecodeNumberOperand(run));
        if (!o) return false;
        const Weapon *w = dunNthWeapon(o, n);
        return !w || (w->flags & WeaponFlag::Empty);
    }
    case 547: return CardMode != 0;  // HARDWARE
    case 548: return optHiDef != 0;  // XHIDEF
    case 549: return optArcade != 0; // ARCADE_ON
    case 550: return true;           // ALWAYS
    case 551: return false;          // NEVER
    default: break;
    }
    return false;
}

// Enters an event routine with a fresh automatic group, as star-system
// arrivals and loads do.
bool EnterWithFreshGroup(ScriptRun &run, const char *name) {
    ScriptSymbol *s = FindScriptSymbol(name);
    uint32_t target = s && (s->flags & SymFlag::Label) ? ScriptLabelTarget(s) : 0;
    if (!target) return false;
    ScriptEnterRoutine(run, target, ScriptStatus::Stack);
    gSavedAutoGroup = gAutoGroup;
    gRestoreAutoGroup = 1;
    gAutoGroup = gGroupCounter++;
    gScriptRoutineName = s->name;
    gEventsAllowed = 0;
    return true;
}

void StCallWhen(ScriptRun &run) {
    static const uint32_t kFlags[4] = {WatchFlag::Armed, WatchFlag::Armed | WatchFlag::Once,
                                       WatchFlag::Armed | WatchFlag::Negated,
                                       WatchFlag::Armed | WatchFlag::Once | WatchFlag::Negated};
    if (gCallWhenCount >= kCallWhenCount) ScriptFail(run, ScriptStatus::BadToken, "Unacceptable number of CALL_WHENs");
    ScriptSymbol *label = DecodeSymbolOperand(run, SymKind::MustExist);
    CallWhenEntry &e = gCallWhen[gCallWhenCount];
    e.routine = ScriptLabelTarget(label);
    e.routineName = label->name;
    e.flags = kFlags[gScriptTokens[run.statement].code - Sc::CallWhen];
    e.condition = run.pc;
    e.phase = gCallWhenCount == 0 ? 100 : gCallWhen[gCallWhenCount - 1].phase - 25;
    ++gCallWhenCount;
    EvaluateScriptCondition(run);  // steps over it
}

void StDoWhen(ScriptRun &run) {
    SceneItem *o = DecodeObjectOperand(run, true);
    int event = KeywordInRange(run, Sc::AtFirst, Sc::AtEnd);
    int action = KeywordInRange(run, Sc::AfFirst, Sc::AfEnd);
    const int16_t row = int16_t(action);
    if (o) dunAddEventHook(o, uint32_t(event), ActionFlag::CallRoutine, {.index = &row});
}

void StPlayWhen(ScriptRun &run) {
    SceneItem *o = DecodeObjectOperand(run, true);
    int event = KeywordInRange(run, Sc::AtFirst, Sc::AtEnd);
    ScriptSymbol *sound = DecodeSymbolOperand(run, SymKind::Resource | SymKind::MustExist);
    const void *reference = ScriptSymbolBound(sound) ? ScriptSymbolPointer(sound) : nullptr;
    if (o)
        dunAddEventHook(o, uint32_t(event), ActionFlag::PointerGiven,
                        {.video = static_cast<const ResourceHandle *>(reference)});
}

}  // namespace

uint32_t ReadSenseFlags(ScriptRun &run, bool withDebris) {
    uint32_t mask = 0;
    for (int bit; (bit = OptionalKeywordInRange(run, Sc::SnDebris, Sc::SnEnd)) >= 0;)
        if ((bit > 0 || withDebris) && bit < 32) mask |= 1u << bit;
    return mask;
}

bool EvaluateScriptCondition(ScriptRun &run) {
    const ScriptToken &t = ScriptPeek(run);
    bool result;
    if (t.code == Sc::Not) {
        ScriptNext(run);
        return !EvaluateScriptCondition(run);
    }
    if (t.code < Sc::FirstTest || t.code > Sc::LastTest)
        ScriptFail(run, ScriptStatus::BadCondition, "Unrecognized CONDITIONAL");
    ScriptNext(run);
    result = Test(run, t.code);
    uint32_t join = ScriptPeek(run).code;
    if (join == Sc::And || join == Sc::Or) {
        ScriptNext(run);
        bool rest = EvaluateScriptCondition(run);  // both sides always run
        result = join == Sc::And ? result && rest : result || rest;
    }
    return result;
}

void DispatchScriptEvents(ScriptRun &run) {
    // 1. A requested briefing that has been declared.
    if (gBriefingRequest && gBriefingNumber >= 0 && gBriefingNumber < kBriefingCount &&
        gBriefingDeclare[gBriefingNumber]) {
        gBriefingRequest = 0;
        gBriefingOpen = 1;
        dunFrozen = 1;
        ResetBriefingSection();
        dunPostSimulationStep();
        SoundPauseAll();
        ScriptEnterRoutine(run, gBriefingDeclare[gBriefingNumber], ScriptStatus::Stack);
    }
    // 2. Arrival in a star system not yet visited in this mission. A routine
    // entered here returns to the pc as it now stands, so a briefing entered
    // above still runs after it.
    if (gSystemArrivalPending && dunPlayerShip) {
        int system = dunCurrentSystem;
        if (system >= 1 && system <= kVisitedSystems && !gVisitedSystems[system]) {
            gVisitedSystems[system] = 1;
            char name[32];
            std::snprintf(name, sizeof name, "STARSYSTEM_%i", system);
            EnterWithFreshGroup(run, name);
        }
        gSystemArrivalPending = 0;
        return;
    }
    // 3. A checkpoint restore's load routine.
    if (gLoadPending && dunPlayerShip) {
        char name[32];
        std::snprintf(name, sizeof name, "Load%i", gLoadNumber);
        EnterWithFreshGroup(run, name);
        gLoadPending = 0;
        return;
    }
    // 4. The watches, a few units apart so that they fall in different frames.
    if (!gEventsAllowed) return;
    for (int i = 0; i < gCallWhenCount; ++i) {
        CallWhenEntry &e = gCallWhen[i];
        e.phase += dunFrameStep;
        if (!(e.flags & WatchFlag::Armed) || e.phase <= 150) continue;
        e.phase -= 150;
        ScriptRun test{e.condition, e.condition, 0};
        bool fires = EvaluateScriptCondition(test) != ((e.flags & WatchFlag::Negated) != 0);
        if (!fires || !e.routine) continue;
        ScriptEnterRoutine(run, e.routine, ScriptStatus::Stack);
        gScriptRoutineName = e.routineName;
        gEventsAllowed = 0;
        gEventDepth = gScriptStackDepth;
        if (e.flags & WatchFlag::Once) e.flags &= ~WatchFlag::Armed;
        gScriptWaitTimer = 0;
        break;
    }
}

void ResetScriptEvents() {
    gCallWhenCount = 0;
    for (uint8_t &v : gVisitedSystems) v = 0;
    gSystemArrivalPending = 0;
    gLoadPending = 0;
    gLoadNumber = 0;
    gBriefingRequest = 0;
    gBriefingNumber = 0;
}

const ScriptStatementRow kWatchStatements[] = {
    {277, StDoWhen},
    {Sc::CallWhen, StCallWhen},
    {Sc::CallOnceWhen, StCallWhen},
    {Sc::CallWhenNot, StCallWhen},
    {Sc::CallOnceWhenNot, StCallWhen},
    {282, StPlayWhen},
    {0, nullptr},
};

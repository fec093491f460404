// The ship, weapon and docking statements: ship classes and their set-up,
// engines, lights, docking ports, weapons and their loads, docking and
// undocking, checkpoints and a few mission-wide switches; with the object
// creation and placement the ship statements share with the object
// statements, and PLAYER.
#include <cmath>
#include <cstdio>
#include <cstring>

#include "RES/resman.h"
#include "RES/util.h"
#include "RES/vecmath.h"
#include "ai/brain.h"
#include "ai/combat.h"
#include "ai/scores.h"
#include "ai/weapons.h"
#include "core/frame.h"
#include "core/log.h"
#include "core/options.h"
#include "present/effects.h"
#include "present/effects/particles.h"
#include "present/p3d.h"
#include "present/scene.h"
#include "present/views.h"
#include "script/career.h"
#include "script/checkpoints.h"
#include "script/interp.h"
#include "script/mission.h"
#include "script/objectives.h"
#include "script/screens.h"
#include "script/ships.h"
#include "script/statements.h"
#include "script/symbols.h"
#include "world/collision.h"
#include "world/contact.h"
#include "world/docking.h"
#include "world/engineering.h"
#include "world/eventhooks.h"
#include "world/flight.h"
#include "world/lds.h"
#include "world/messages.h"
#include "world/msghandler.h"
#include "world/objlist.h"
#include "world/objroutines.h"
#include "world/services.h"
#include "world/stations.h"
#include "world/step.h"
#include "world/universe.h"

int32_t gOrbitType;
int32_t gDisruptCountdown;
SceneItem *gFtlSource;
uint8_t gFtlSourceOn;
uint8_t gRandomShipNumber;
uint8_t gDirectorAllow[14] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
uint8_t gAlienDevice;
uint8_t gAlienDeviceNotice;
uint8_t gDockingInProgress;
uint8_t gWeaponLoadRequest;
float gArcadeWeaponFactor = 1.0f;

const ShipClassRow kShipClassTable[kShipClassCount] = {
    {"Corvette", dunDefaultShipClassSetup},         {"Freighter", dunDefaultShipClassSetup},
    {"Command", dunDefaultShipClassSetup},          {"Headless", dunHeadlessShipClassSetup},
    {"Transporter", dunDefaultShipClassSetup},      {"Cruiser", dunDefaultShipClassSetup},
    {"Patrol Combatant", dunDefaultShipClassSetup}, {"C-Fighter", dunDefaultShipClassSetup},
    {"S-Fighter", dunDefaultShipClassSetup},        {"Tug", dunDefaultShipClassSetup},
    {"Missile", dunDefaultShipClassSetup},          {"Mine", dunMineShipClassSetup},
    {"Drone", dunDefaultShipClassSetup},            {"Station", dunStationShipClassSetup},
    {"Destroyer", dunDefaultShipClassSetup},        {"Carrier", dunDefaultShipClassSetup},
    {"Comm Relay", dunDefaultShipClassSetup},       {"GunBase", dunDefaultShipClassSetup},
    // RING is a ship-class keyword (its kill points are scored) without a
    // class of its own: it gets the default set-up.
    {"Ring", dunDefaultShipClassSetup},
};

void ResetShipStatements() {
    gOrbitType = 0;
    gDisruptCountdown = 0;
    dunLastWeapon = nullptr;
    gFtlSource = nullptr;
    gFtlSourceOn = 0;
    std::memset(gDirectorAllow, 0xFF, sizeof gDirectorAllow);
    gAlienDevice = gAlienDeviceNotice = 0;
    gDockingInProgress = 0;
    gWeaponLoadRequest = 0;
}

// ---- Class set-up -----------------------------------------------------------------

int16_t dunSideFromBits(uint32_t flags) {
    switch (flags & 0x1F80) {
    case 0x80: return 1;
    case 0x100: return 2;
    case 0x200: return 3;
    case 0x400: return 4;
    case 0x800: return 5;
    case 0x1000: return 6;
    default: return 0;
    }
}

void dunDefaultShipClassSetup(SceneItem *o, const char *name) {
    if (!o || !o->sim || !o->sim->shipInfo || !o->avatar) return;
    dunai_DefaultOrders(o);
    ShipInfo *s = o->sim->shipInfo;
    // The two repair values are also the armour and the maximum hull of the
    // ship's damage block: without them a ship could never be destroyed.
    s->repairValues[0] = s->damage.armour = 50;
    s->repairValues[1] = s->damage.maximum = 250;
    s->ranges[0] = 15000000.0f;
    s->ranges[1] = 1500000.0f;
    s->className = name;
    o->avatar->flags |= 6;
    o->flags |= 0x202;
    o->avatar->contactHandler = dunCollideShips;
    s->side = dunSideFromBits(o->avatar->flags);
}

void dunHeadlessShipClassSetup(SceneItem *o, const char *name) {
    dunDefaultShipClassSetup(o, name);
    if (!o || !o->avatar) return;
    o->avatar->flags |= 0x4000000;
    o->control = dunControlFree;
    o->sizeA = 40.0f;
    o->sizeB = 120.0f;
}

void dunMineShipClassSetup(SceneItem *o, const char *name) {
    dunDefaultShipClassSetup(o, name);
    if (!o || !o->avatar || !o->sim) return;
    o->sim->controlValue = 5000;
    o->avatar->contactHandler = dunProjectileImpact;
    o->avatar->collisionPriority = 40;
}

void dunStationShipClassSetup(SceneItem *o, const char *name) {
    dunDefaultShipClassSetup(o, name);
    if (!o || !o->avatar) return;
    o->avatar->flags = (o->avatar->flags & ~4u) | 8u;
    dunMoveNextToCurrent(o);
}

namespace {

uint32_t Code(const ScriptRun &run) { return gScriptTokens[run.statement].code; }

// Operand keyword sets.
constexpr uint32_t kSideFirst = 195, kSideLast = 201;
constexpr uint32_t kBehaviourFirst = 410, kBehaviourLast = 415;
constexpr uint32_t kWeaponFirst = 417, kWeaponLast = 435;
constexpr uint32_t kArcFirst = 437, kArcLast = 454;
constexpr uint32_t kDirectorFirst = 455, kDirectorLast = 468;
constexpr uint32_t kDockTypeFirst = 469, kDockTypeLast = 470;
constexpr uint32_t kDockFirst = 471, kDockLast = 475;
constexpr uint32_t kThrusterFirst = 360, kThrusterLast = 372;
constexpr uint32_t kEmitFirst = 300, kEmitLast = 305;

const uint32_t kBehaviourFlags[] = {0x400, 0x800, 0xC00, 0x1000, 0x1400, 0x20000000};
const uint16_t kArcCodes[] = {0x1,  0x2,  0x3,  0x4,   0x5,   0x6,   0x7,   0x8,   0x9,
                              0x10, 0x20, 0x30, 0x40, 0x100, 0x200, 0x300, 0x400, 0x800};
const uint32_t kDockFlags[] = {8, 256, 32, 64, 0};
const uint32_t kDockTypes[] = {16, 1};

SceneItem *Object(ScriptRun &run) { return DecodeObjectOperand(run, true); }
int32_t Integer(ScriptRun &run) { return ScriptTrunc(DecodeNumberOperand(run)); }
// An optional ON / OFF: 0, 1, or -1 when absent.
int32_t Switch(ScriptRun &run) { return OptionalKeywordInRange(run, Sc::On, Sc::Off); }
int32_t ShipClass(ScriptRun &run) { return KeywordInRange(run, Sc::Corvette, Sc::Ring); }
int32_t Side(ScriptRun &run) { return KeywordInRange(run, kSideFirst, kSideLast); }
uint32_t SideBit(int32_t side) { return 1u << (side + 6); }

void *LoadedModel(ScriptRun &run, bool optional = false) {
    if (optional && ScriptPeek(run).code != Sc::Symbol) return nullptr;
    ResourceHandle *h = ScriptSymbolResource(DecodeSymbolOperand(run, SymKind::Model | SymKind::MustExist));
    return h ? resmanLoad(h) : nullptr;
}

ShipInfo *ShipOf(SceneItem *o) { return o && o->sim ? o->sim->shipInfo : nullptr; }

// Fails the statement unless a number operand lies in [low, high].
int32_t Checked(ScriptRun &run, int32_t value, int32_t low, int32_t high, const char *message) {
    if (value < low || value > high) ScriptFail(run, ScriptStatus::BadSymbol, message);
    return value;
}

// The n-th docking port of a ship (0-based), or null when it has fewer.
DockingPort *PortAt(SceneItem *o, int32_t n) {
    ShipInfo *s = ShipOf(o);
    if (!s || n < 0) return nullptr;
    DockingPort *p = s->ports;
    for (int32_t i = 0; p && i < n; ++i) p = p->next;
    return p;
}

// The model scale positions of lights and ports are divided by; a scale
// that was never set counts as 1 (it would divide by 0).
float ModelScale(const SceneItem *o) {
    return o && o->avatar && o->avatar->scale > 0 ? float(o->avatar->scale) : 1.0f;
}

void FinishPlacement(SceneItem *o) {
    dunFindGravityWell(o);
    dunCopySimToModel(o);
}

void Place(SceneItem *o, double x, double y, double z) {
    ApplyPlacementMode(&x, &y, &z);
    SetScriptObjectPosition(o, x, y, z);
    PushClearOfShips(o);
}

// The short name: the text after the last blank, or the whole text when it
// has none (or only a leading one).
const char *ShortName(const char *name) {
    const char *blank = std::strrchr(name, ' ');
    return blank && blank != name ? blank + 1 : name;
}

void SetNames(SceneItem *o, const char *name) {
    ShipInfo *s = ShipOf(o);
    if (!s) return;
    s->className = name;
    s->name = ShortName(name);
}

void ShipSetUp(SceneItem *o, int32_t shipClass, int32_t side, int32_t behaviour, const char *name, bool replaceSide) {
    if (!o || !o->sim || !o->avatar) return;
    if (replaceSide)
        o->avatar->flags = SideBit(side);
    else
        o->avatar->flags |= SideBit(side);
    o->flags |= 16;
    Sim *sim = o->sim;
    if (!sim->shipInfo) {
        sim->shipInfo = dunAllocShipInfo();
        sim->flight = &sim->shipInfo->current;
    }
    ShipInfo *s = sim->shipInfo;
    s->typeCode = uint16_t(shipClass);
    s->rank = 3;
    s->group = int16_t(gAutoGroup);
    if (s->group != 0) {
        SceneItem *head = dunSceneListHead();
        for (SceneItem *it = head->next; it && it != head; it = it->next) {
            ShipInfo *t = ShipOf(it);
            if (t && (t->flags & ShipFlag::GroupHolder) && t->group == s->group) s->leader = it;
        }
    }
    ShipInfo *player = ShipOf(dunPlayerShip);
    if (dunPlayerShip && dunPlayerShip != o && player && player->group == gAutoGroup) dunai_AddWingman(o);
    const ShipClassRow &row = kShipClassTable[shipClass];
    row.setup(o, row.name);
    SetNames(o, name);
    gRandomShipNumber = uint8_t(dunRand15() % 100);
    if (behaviour >= 0) sim->flags |= kBehaviourFlags[behaviour];
}

void GiveSymbol(ScriptSymbol *symbol, SceneItem *o) {
    ScriptSetSymbolObject(symbol, o);
    o->linkRecord = symbol;
}

// ---- Statements ----------------------------------------------------------------------

void StLocation(ScriptRun &run) {
    const char *star = DecodeTextOperand(run);
    int32_t count = Integer(run);
    MissionifyStar(star);
    while (count > 0) {
        MissionifyPlanet(star, DecodeTextOperand(run));
        --count;
    }
    dunCall(ScriptHud().clearNavMapHighlights);
}

void StOrbType(ScriptRun &run) { gOrbitType = Integer(run); }

void StDisrupt(ScriptRun &run) {
    SceneItem *o = Object(run);
    const int32_t duration = Integer(run);
    if (!o || !o->sim || !(o->flags & SceneFlag::InUse)) return;
    o->sim->flags |= 0x2000100;
    if (o == dunControlledObject) dunTimeScale = 1.0f;
    TDP *part;
    if (duration <= 0) {
        part = CreateParticleSystem(o, nullptr, 2, 0x1000010, 100, 220, 0, 10000.0f, 180, 5.0f);
    } else {
        dunMsgPost(o->receiverId, o->receiverId, uint32_t(duration), MsgRelease, 0, nullptr);
        part = CreateParticleSystem(o, nullptr, 2, 0x1000012, uint16_t(duration & 0xFFFF), 220, 0, 10000.0f, 180, 5.0f);
    }
    if (ParticleSystem *p = ParticleSystemOf(part)) BuildColourRamp(nullptr, p->ramp, 190, 200, 255, 190, 200, 255);
    if (o == dunPlayerShip) {
        gDisruptCountdown = 250;
        o->sim->bodyVelocity = {0.0f, 0.0f, 0.0f};
    }
}

void StAddVital(ScriptRun &run) {
    ScriptSymbol *s = DecodeSymbolOperand(run, SymKind::SceneItem | SymKind::MustExist);
    SceneItem *o = ScriptSymbolObject(s);
    if (!o) return;
    AddVitalObject(s, nullptr, 0.0f);
    o->flags |= SceneFlag::Vital;
}

void StRemoveVital(ScriptRun &run) {
    ScriptSymbol *s = DecodeSymbolOperand(run, SymKind::SceneItem | SymKind::MustExist);
    SceneItem *o = ScriptSymbolObject(s);
    if (!o) return;
    RemoveVitalObject(s);
    o->flags &= ~SceneFlag::Vital;
}

void StShip(ScriptRun &run) {
    ScriptSymbol *s = DecodeSymbolOperand(run, SymKind::SceneItem);
    const char *name = DecodeTextOperand(run);
    const int32_t shipClass = ShipClass(run);
    const int32_t side = Side(run);
    const int32_t behaviour = OptionalKeywordInRange(run, kBehaviourFirst, kBehaviourLast);
    ShipSetUp(ScriptSymbolObject(s), shipClass, side, behaviour, name, true);
}

void StAnnounce(ScriptRun &run) {
    SceneItem *o = Object(run);
    if (o && (o->flags & SceneFlag::InUse) && ShipOf(o)) {
        dunCall(dunHud().missionLogAdd, o, nullptr, 3, ShipOf(o)->className, nullptr);
        SpawnArrivalBurst(o);
    }
    EventCameraTrigger(o, nullptr, 11);
}

// The strings that follow a statement's other operands, up to the next
// statement.
int CountStrings(const ScriptRun &run) {
    int n = 0;
    for (uint32_t pc = run.pc; pc < gScriptTokenTop && gScriptTokens[pc].code == Sc::Data; ++pc) ++n;
    return n;
}

void StNameInc(ScriptRun &run) {
    const float counter = PostIncrementOperand(run);
    SceneItem *o = Object(run);
    const int n = CountStrings(run);
    if (n == 0) return;
    const int pick = int(std::fmod(double(counter), double(n)));
    const char *name = nullptr;
    for (int i = 0; i < n; ++i) {
        const char *text = DecodeTextOperand(run);
        if (i == pick) name = text;
    }
    if (o && name) SetNames(o, name);
}

void StPlaceInc(ScriptRun &run) {
    const int32_t counter = ScriptTrunc(PostIncrementOperand(run));
    SceneItem *o = Object(run);
    double x = 0, y = 0, z = 0;
    for (int32_t i = 0; i <= counter; ++i) {
        x = OptionalNumberOperand(run) * 100.0;
        y = OptionalNumberOperand(run) * 100.0;
        z = OptionalNumberOperand(run) * 100.0;
    }
    for (;;) {
        const uint32_t before = run.pc;
        OptionalNumberOperand(run);
        if (run.pc == before) break;
    }
    if (!o || !o->sim) return;
    Place(o, x, y, z);
    FinishPlacement(o);
}

void StCreateShip(ScriptRun &run) {
    ScriptSymbol *symbol = DecodeSymbolOperand(run, SymKind::SceneItem);
    void *model = LoadedModel(run);
    const char *name = DecodeTextOperand(run);
    const int32_t shipClass = ShipClass(run);
    const int32_t side = Side(run);
    const double x = DecodeNumberOperand(run) * 100.0;
    const double y = DecodeNumberOperand(run) * 100.0;
    const double z = DecodeNumberOperand(run) * 100.0;
    const float ay = OptionalNumberOperand(run);
    const float ax = OptionalNumberOperand(run);
    const float az = OptionalNumberOperand(run);
    const int32_t behaviour = OptionalKeywordInRange(run, kBehaviourFirst, kBehaviourLast);

    SceneItem *o = CreateScriptObject(model, dunai_ThinkShip, dunFlyShip);
    GiveSymbol(symbol, o);
    o->systemNumber = dunCurrentSystem;
    ScriptSetSymbolObject(gSymLastShip, o);
    ScriptSetSymbolThing(gSymLast3dp, o->avatar->root);
    ShipSetUp(o, shipClass, side, behaviour, name, false);
    Place(o, x, y, z);
    MatRotateZ(az, o->sim->matrix);
    MatRotateX(ax, o->sim->matrix);
    MatRotateY(ay, o->sim->matrix);
    FinishPlacement(o);
    dunRegisterScoreObject(o);
}

void StSetShipType(ScriptRun &run) {
    SceneItem *o = Object(run);
    const int32_t shipClass = ShipClass(run);
    ShipInfo *s = ShipOf(o);
    if (!s) return;
    s->typeCode = uint16_t(shipClass);
    if (o->avatar && o->avatar->scoreRecord) dunScoreRecordSetType(o->avatar->scoreRecord, shipClass);
}

void StSetMaxExtras(ScriptRun &run) { dunStockShipLimit = Integer(run); }

void StSpawn(ScriptRun &run) {
    SceneItem *o = Object(run);
    SceneItem *parent = Object(run);
    if (!parent) {
        if (o) dunMsgPost(o->receiverId, o->receiverId, 0, MsgRemove, 0, nullptr);
        return;
    }
    const float x = DecodeNumberOperand(run) * 100.0f;
    const float y = DecodeNumberOperand(run) * 100.0f;
    const float z = DecodeNumberOperand(run) * 100.0f;
    const float vx = OptionalNumberOperand(run) * 100.0f;
    const float vy = OptionalNumberOperand(run) * 100.0f;
    const float vz = OptionalNumberOperand(run) * 100.0f;
    const int32_t sw = Switch(run);
    if (!o || !o->sim || !parent->sim) return;
    const Vec3 offset = {x, y, z};
    Vec3 turned;
    MatTransformPointTransposed(turned, offset, parent->sim->matrix);
    SetScriptObjectPosition(o, parent->sim->position.x + turned.x, parent->sim->position.y + turned.y,
                parent->sim->position.z + turned.z);
    if (o->avatar) o->avatar->objectA = parent;
    FinishPlacement(o);
    const Vec3 velocity = {vx, vy, vz};
    MatTransformPointTransposed(o->sim->velocity, velocity, parent->sim->matrix);
    const bool scripted = parent->avatar && parent->avatar->contactHandler == dunContactScripted;
    if (!scripted && sw != 1) {
        if (o->avatar) o->avatar->objectA = parent;
        uint8_t payload[4];
        dunPayloadPutU32(payload, 0, dunHandleOf(parent));
        dunMsgPost(o->receiverId, o->receiverId, 500, MsgPartnerReleased, 4, payload);
    }
}

void StEngine(ScriptRun &run) {
    SceneItem *o = Object(run);
    float v[8];
    for (float &f : v) f = DecodeNumberOperand(run);
    if (!o || !o->sim) return;
    auto fill = [&](FlightParams *b) {
        dunInitFlightParams(b, v[0], v[1], uint32_t(ScriptTrunc(v[2])), uint32_t(ScriptTrunc(v[3])), v[4], v[5], v[6],
                            v[7]);
    };
    if (ShipInfo *s = ShipOf(o)) {
        if (!o->sim->flight) o->sim->flight = &s->current;
        fill(o->sim->flight);
        s->nominal = *o->sim->flight;
        return;
    }
    dunErrorBox("Engine is allocated for non-shipinfo object", "SCRIPT warning");
    FlightParams *block = dunNewFlightParams(0, 0, 0, 0, 0, 0);
    if (!block) return;
    *block = FlightParams{};
    fill(block);
    o->sim->flight = block;
}

void StShinfo(ScriptRun &run) {
    SceneItem *o = Object(run);
    const int32_t a = Integer(run), b = Integer(run);
    const float c = OptionalNumberOperand(run);
    ShipInfo *s = ShipOf(o);
    if (!s) return;
    s->repairValues[0] = s->damage.armour = a;
    s->repairValues[1] = s->damage.maximum = b;
    s->skill = 50;
    if (c != 0.0f) o->sim->limits[0] = c;
    dunRegisterScoreObject(o);
}

void StLight(ScriptRun &run) {
    SceneItem *o = Object(run);
    const float x = DecodeNumberOperand(run), y = DecodeNumberOperand(run), z = DecodeNumberOperand(run);
    const float size = DecodeNumberOperand(run);
    uint32_t colour = uint32_t(Integer(run));
    const int32_t on = Integer(run), off = Integer(run), phase = Integer(run);
    for (int32_t t; (t = OptionalKeywordInRange(run, kThrusterFirst, kThrusterLast)) >= 0;) colour |= 1u << (t + 9);
    const uint32_t code = Code(run);
    const bool card = CardMode != 0;
    if ((code == 206 && card) || (code == 207 && !card) || !o) return;
    const float scale = ModelScale(o);
    const Vec3 p = {x / scale, y / scale, z / scale};
    AddNavLight(o, &p, size, int32_t(colour), on, off, phase);
}

void StEngineLight(ScriptRun &run) {
    SceneItem *o = Object(run);
    const float x = DecodeNumberOperand(run), y = DecodeNumberOperand(run), z = DecodeNumberOperand(run);
    const float r = DecodeNumberOperand(run), g = DecodeNumberOperand(run), b = DecodeNumberOperand(run);
    float radius = OptionalNumberOperand(run);
    if (!o) return;
    if (radius == 0.0f) radius = 500.0f;
    const float scale = ModelScale(o);
    const Vec3 p = {x * 100.0f / scale, y * 100.0f / scale, z * 100.0f / scale};
    const uint32_t colour = uint32_t(ScriptTrunc(r * 65536.0f + g * 256.0f + b));
    P3DAddEngineLight(o, &p, colour, radius);
}

void StLights(ScriptRun &run) {
    SceneItem *o = Object(run);
    const int32_t sw = KeywordInRange(run, Sc::On, Sc::Off);
    if (!o) return;
    if (sw == 1) {
        o->flags |= 0x80;
        if (o->sim) o->sim->flags |= 0x20;
    } else {
        o->flags &= ~0x80u;
        if (o->sim) o->sim->flags &= ~0x20u;
    }
}

void StDockPt(ScriptRun &run) {
    SceneItem *o = Object(run);
    const int32_t behaviour = KeywordInRange(run, kDockFirst, kDockLast);
    const int32_t type = KeywordInRange(run, kDockTypeFirst, kDockTypeLast);
    const int32_t sw = KeywordInRange(run, Sc::On, Sc::Off);
    float v[6];
    for (float &f : v) f = DecodeNumberOperand(run);
    const int32_t n = Integer(run);
    if (!ShipOf(o)) return;
    uint32_t flags = kDockFlags[behaviour];
    if (sw == 0) flags |= PortFlag::Open;
    const float scale = ModelScale(o);
    dunAddDockingPort(o, flags, kDockTypes[type], v[0], v[1], v[2], v[3] / scale, v[4] / scale, v[5] / scale,
                      int16_t(n));
}

void StRank(ScriptRun &run) {
    SceneItem *o = Object(run);
    const int32_t rank = Integer(run);
    if (ShipInfo *s = ShipOf(o)) s->rank = int16_t(rank);
}

void StFtlSource(ScriptRun &run) {
    SceneItem *o = Object(run);
    gFtlSource = o;
    gFtlSourceOn = Switch(run) == 1 ? 0 : 0xFF;
}

void StSkill(ScriptRun &run) {
    SceneItem *o = Object(run);
    const int32_t skill = Integer(run);
    ShipInfo *s = ShipOf(o);
    if (!s) return;
    s->skill = int16_t(skill);
    dunScaleShipPerformance(o);
}

void StAllowCmdSep(ScriptRun &run) { dunCall(ScriptGui().allowCommandSeparation, Switch(run) == 0); }

void StShipScore(ScriptRun &run) {
    const int32_t shipClass = ShipClass(run);
    dunSetKillPoints(shipClass, Integer(run));
}

void StAllegScore(ScriptRun &run) {
    const int32_t side = Side(run);
    dunSetSideScoreWeight(side, DecodeNumberOperand(run));
}

void StDockModel(ScriptRun &run) {
    SceneItem *o = Object(run);
    const int32_t n = Integer(run);
    void *model = LoadedModel(run, true);
    if (!ShipOf(o)) return;
    DockingPort *p = PortAt(o, n);
    if (!p) ScriptFail(run, ScriptStatus::BadSymbol, "DOCK_MODEL port out of range");
    p->replacement = static_cast<vt_model *>(model);
}

void StWeapon(ScriptRun &run) {
    SceneItem *o = Object(run);
    const int32_t type = KeywordInRange(run, kWeaponFirst, kWeaponLast);
    uint16_t arc = 0;
    for (int i = 0; i < 3; ++i) arc = uint16_t(arc | kArcCodes[KeywordInRange(run, kArcFirst, kArcLast)]);
    const float x = DecodeNumberOperand(run), y = DecodeNumberOperand(run), z = DecodeNumberOperand(run);
    if (!o || !o->sim || !(o->flags & SceneFlag::InUse)) return;
    const WeaponTypeDef &row = kWeaponTypes[type];
    if (!row.create(o, x, y, z, row.names[gLanguage < 3 ? gLanguage : 0], arc)) return;
    Weapon *last = o->sim->weapons;
    while (last && last->next) last = last->next;
    if (!last) return;
    last->typeNumber = int16_t(type);
    if (optArcade) {
        last->damage = ScriptTrunc(float(last->damage) * gArcadeWeaponFactor);
        last->penetration = ScriptTrunc(float(last->penetration) * gArcadeWeaponFactor);
    }
    auto mirror = ScriptGui().mirrorArcCode;
    if (mirror && o == dunPlayerShip) last->mountCode = mirror(last->mountCode);
    ++o->sim->weaponCount;
    o->sim->currentWeapon = o->sim->weapons;
}

// Weapon n (1-based) of a ship: the last one for a number past the list;
// null for a ship without weapons. A number below 1 names none.
Weapon *NumberedWeapon(ScriptRun &run, SceneItem *o, int32_t n, const char *message) {
    if (!o || !o->sim || !o->sim->weapons) return nullptr;
    Checked(run, n, 1, INT32_MAX, message);
    return dunNthWeapon(o, n);
}

void StWeaponDmg(ScriptRun &run) {
    SceneItem *o = Object(run);
    const int32_t n = Integer(run), a = Integer(run), b = Integer(run);
    if (Weapon *w = NumberedWeapon(run, o, n, "WEAPON_DMG weapon number out of range"))
        dunWeaponSetBallistics(w, 0, a, b, 0.0f, 3);
}

void StWeaponBeam(ScriptRun &run) {
    SceneItem *o = Object(run);
    const int32_t n = Integer(run);
    float v[4];
    for (float &f : v) f = DecodeNumberOperand(run);
    if (Weapon *w = NumberedWeapon(run, o, n, "WEAPON_BEAM weapon number out of range"))
        dunWeaponSetPerformance(w, v[0], v[1], v[2], ScriptTrunc(v[3]));
}

// Loose rounds, per rack and racks; a beam weapon keeps a charge instead.
void Load(Weapon *w, int32_t loose, int32_t racks, bool openRack) {
    if (racks == 0) {
        w->flags |= WeaponFlag::Empty;
        w->rounds[0] = w->rounds[2] = 0;
        w->charge = 0.0f;
        return;
    }
    w->flags &= ~WeaponFlag::Empty;
    if (w->flags & WeaponFlag::AutoFire) {
        w->flags |= WeaponFlag::Charge;
        w->charge = float(openRack ? loose : racks);
        return;
    }
    w->rounds[0] = uint16_t(loose);
    w->rounds[2] = uint16_t(racks);
    if (openRack && loose == 0) {
        w->rounds[2] = uint16_t(racks - 1);
        w->rounds[0] = w->rounds[1];
    }
}

void StWeaponLoad(ScriptRun &run) {
    SceneItem *o = Object(run);
    const int32_t n = Integer(run), racks = Integer(run);
    Weapon *w = NumberedWeapon(run, o, n, "WEAPON_LOAD weapon number out of range");
    if (!w) return;
    if (racks == 0 || (w->flags & WeaponFlag::AutoFire))
        Load(w, 0, racks, false);
    else
        Load(w, w->rounds[1], racks, false);
}

void StSelectWeapon(ScriptRun &run) {
    SceneItem *o = Object(run);
    const int32_t n = Integer(run);
    if (Weapon *w = NumberedWeapon(run, o, n, "SELECT_WEAPON weapon number out of range")) o->sim->currentWeapon = w;
}

void StWepSysLink(ScriptRun &run) {
    const char *name = DecodeTextOperand(run);
    if (dunLastWeapon) dunLastWeapon->component = dunFindComponentByName(dunPlayerShip, name);
}

void StRapidFire(ScriptRun &run) { Switch(run); }

void StDoWepLoad(ScriptRun &run) {
    const int32_t sw = Switch(run);
    dunCall(ScriptGui().setScreen, "COM");
    dunUpdateAmmoGauges();
    gWeaponLoading = 1;
    if (sw != 1) gWeaponLoadRequest = 0xFF;
    gScriptRunStatus = ScriptStatus::Yield;
}

void StWepFromSave(ScriptRun &) { dunLoadWeaponValues(); }

void StObjectives(ScriptRun &) {
    dunCall(ScriptGui().setScreen, "COM");
    dunResetObjectivesDisplay();
    dunCall(ScriptGui().openObjectives);
    gScriptRunStatus = ScriptStatus::Yield;
}

void StWepLoadout(ScriptRun &run) {
    const int32_t loose = Integer(run), racks = Integer(run);
    if (dunLastWeapon) Load(dunLastWeapon, loose, racks, true);
}

void StWepDisplay(ScriptRun &run) {
    const char *name = DecodeTextOperand(run);
    const ScriptToken &t = ScriptNext(run);
    ScriptSymbol *symbol = OptionalSymbolRecord(run);
    if (dunLastWeapon) dunBindAmmoGauge(name, dunLastWeapon, int32_t(t.arg), symbol);
}

void StWepLoadPoint(ScriptRun &run) {
    SceneItem *o = Object(run);
    const int32_t sw = Switch(run);
    ShipInfo *s = ShipOf(o);
    if (!s) return;
    if (sw == 1)
        s->flags &= ~ShipFlag::HomeBase;
    else
        s->flags |= ShipFlag::HomeBase;
}

void StWepClear(ScriptRun &run) {
    if (SceneItem *o = Object(run)) dunClearWeapons(o);
}

void StDock(ScriptRun &run) {
    SceneItem *a = Object(run), *b = Object(run);
    const int32_t pa = Integer(run), pb = Integer(run);
    gDockingInProgress = 0xFF;
    DockingPort *p = PortAt(a, pa), *q = PortAt(b, pb);
    if (p && q) {
        p->flags |= PortFlag::Open;
        q->flags |= PortFlag::Open;
        dunDockShips(a, b, p, q, 0);
    }
    gDockingInProgress = 0;
}

void StUndock(ScriptRun &run) {
    SceneItem *o = Object(run);
    if (!o || !o->sim) return;
    o->sim->flags &= ~SimFlag::Clamped;
    dunUndock(o);
}

void StDockReady(ScriptRun &run) {
    SceneItem *o = Object(run);
    const int32_t n = Integer(run);
    const int32_t behaviour = KeywordInRange(run, kDockFirst, kDockLast);
    if (!ShipOf(o)) return;
    DockingPort *p = PortAt(o, n);
    if (!p) ScriptFail(run, ScriptStatus::BadSymbol, Code(run) == 234 ? "DOCK_READY port out of range"
                                                                        : "DOCK_UNREADY port out of range");
    if (Code(run) == 234)
        p->flags |= PortFlag::Open;
    else
        p->flags &= ~PortFlag::Open;
    p->flags |= kDockFlags[behaviour];
}

void StMonoLink(ScriptRun &run) {
    SceneItem *a = Object(run), *b = Object(run), *carrier = Object(run);
    if (a && b && carrier) dunLinkPartnerObjects(a, b, carrier);
}

void StSetShipClock(ScriptRun &run) {
    SceneItem *o = Object(run);
    const int32_t a = Integer(run), b = Integer(run);
    if (!o || !o->sim) return;
    o->sim->shipClock[0] = uint16_t(a);
    o->sim->shipClock[1] = uint16_t(b);
}

void StLda(ScriptRun &run) {
    SceneItem *o = Object(run);
    const int32_t count = Integer(run);
    // The slot table has four places: more is a script error, not a write
    // past its end.
    Checked(run, count, 0, kDefenceSlots, "LDA slot count out of range");
    for (int32_t i = 0; i < count; ++i) {
        const int32_t code = Integer(run);
        if (ShipOf(o)) dunSetSubTargetSlot(o, code, i);
    }
}

void StSaveGame(ScriptRun &run) {
    const char *name = DecodeTextOperand(run);
    dunSaveGame(name, Integer(run));
}

void StLoadGame(ScriptRun &) { dunLoadGame(); }

void StDoLoadGame(ScriptRun &) {
    if (dunCall(ScriptGui().refreshSaveList) > 1) {
        dunCall(ScriptGui().setScreen, "COM");
        StationId = 1;
        gRestorePending = 1;
        gScriptRunStatus = ScriptStatus::Yield;
    } else {
        gRestorePending = 0;
    }
}

void StMothership(ScriptRun &run) {
    SceneItem *o = Object(run);
    uint32_t mask = 0;
    for (int32_t k; (k = OptionalKeywordInRange(run, kEmitFirst, kEmitLast)) >= 0;) mask |= 1u << k;
    if (o) dunTrackObject(o, mask);
}

void StDebug(ScriptRun &run) {
    if (!optDebugScript) {
        ScriptNext(run);
        return;
    }
    const ScriptToken &t = ScriptPeek(run);
    if (t.code == Sc::Data) {
        dunCall(dunGui().postFeedText, DecodeTextOperand(run), 1);
        return;
    }
    ScriptSymbol *s = OptionalSymbolRecord(run);
    if (!s) {
        ScriptNext(run);
        return;
    }
    char text[160];
    if (s->kind & SymKind::SceneItem) {
        SceneItem *o = ScriptSymbolObject(s);
        const char *name = ShipOf(o) && ShipOf(o)->name ? ShipOf(o)->name : "";
        std::snprintf(text, sizeof text, "%s = %s", s->name, name);
    } else if (s->kind & SymKind::Var) {
        std::snprintf(text, sizeof text, "%s = %i", s->name, ScriptSymbolInt(s));
    } else {
        std::snprintf(text, sizeof text, "%s", "Debug recieved unexpected symbol");
    }
    dunCall(dunGui().postFeedText, text, 1);
}

void Sense(ScriptRun &run, bool set) {
    SceneItem *o = Object(run);
    uint32_t bits = 0;
    for (int32_t k; (k = OptionalKeywordInRange(run, Sc::SnDebris, Sc::SnLast)) >= 0;) bits |= 1u << k;
    if (!o || !o->avatar) return;
    if (set)
        o->avatar->flags |= bits;
    else
        o->avatar->flags &= ~bits;
}
void StAddSense(ScriptRun &run) { Sense(run, true); }
void StClrSense(ScriptRun &run) { Sense(run, false); }

void StNewAlleg(ScriptRun &run) {
    SceneItem *o = Object(run);
    const int32_t side = Side(run);
    if (!o || !o->avatar) return;
    o->avatar->flags = (o->avatar->flags & ~AvatarFlag::SideBits) | SideBit(side);
    if (ShipInfo *s = ShipOf(o)) {
        s->side = dunSideFromBits(o->avatar->flags);
        if (o->avatar->scoreRecord) dunScoreRecordSetSide(o->avatar->scoreRecord, s->side);
    }
}

void StAlienDev(ScriptRun &run) {
    const int32_t sw = Switch(run);
    gAlienDevice = 0xFF;
    if (sw == 0) gAlienDeviceNotice = 0xFF;
}

void StDirectorAllow(ScriptRun &run) {
    const int32_t event = KeywordInRange(run, kDirectorFirst, kDirectorLast);
    const int32_t sw = KeywordInRange(run, Sc::On, Sc::Off);
    gDirectorAllow[event] = sw == 0 ? 0xFF : 0;
}

}  // namespace

const ScriptStatementRow kShipStatements[] = {
    {181, StLocation},      {182, StOrbType},       {183, StDisrupt},
    {184, StAddVital},      {185, StRemoveVital},   {186, StShip},          {187, StShip},
    {188, StAnnounce},      {189, StNameInc},       {190, StPlaceInc},      {191, StCreateShip},
    {192, StSetShipType},   {193, StSetMaxExtras},  {194, StSpawn},         {203, StEngine},
    {204, StShinfo},        {205, StLight},         {206, StLight},         {207, StLight},
    {208, StEngineLight},   {209, StLights},        {210, StDockPt},        {211, StRank},
    {212, StFtlSource},     {213, StSkill},         {214, StAllowCmdSep},   {215, StShipScore},
    {216, StAllegScore},    {217, StDockModel},     {218, StWeapon},        {219, StWeaponDmg},
    {220, StWeaponBeam},    {221, StWeaponLoad},    {222, StSelectWeapon},  {223, StWepSysLink},
    {224, StRapidFire},     {225, StDoWepLoad},     {226, StWepFromSave},   {227, StObjectives},
    {228, StWepLoadout},    {229, StWepDisplay},    {230, StWepLoadPoint},  {231, StWepClear},
    {232, StDock},          {233, StUndock},        {234, StDockReady},     {235, StDockReady},
    {236, StMonoLink},      {237, StSetShipClock},  {238, StLda},           {295, StSaveGame},
    {296, StLoadGame},      {297, StDoLoadGame},    {299, StMothership},    {374, StDebug},
    {375, StAddSense},      {376, StClrSense},      {377, StNewAlleg},      {378, StAlienDev},
    {379, StDirectorAllow}, {0, nullptr},
};

#include "world/engineering.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "RES/vecmath.h"
#include "core/frame.h"
#include "core/options.h"
#include "core/value_recorder.h"
#include "platform/sound.h"
#include "world/mission_state.h"
#include "world/msghandler.h"
#include "world/objlist.h"
#include "world/recorders.h"
#include "world/records.h"
#include "world/services.h"

RepairTeam dunRepairTeams[kRepairTeamCount];
uint8_t dunRepairTeamBusy[kRepairTeamCount];
EngComponent *dunComponentTable[kEngTableSize];
int dunComponentTableCount;
EngComponent dunEngDummy;
SceneItem *dunEngineeringShip;
float dunLdaShare = 100.0f, dunThrusterShare = 100.0f, dunWeaponShare = 100.0f;
uint8_t dunRepairEnabled = 0xFF;
uint8_t dunEngSortPending;
uint8_t dunEmergencyInUse;
float dunHullFraction = 1.0f;

namespace {

constexpr float kWeaponHeatDivisor = 25.0f;
constexpr float kLdaHeatDivisor = 17.5f;
constexpr float kEmergencyMinimum = 0.499f;
constexpr float kGridCount = 6.0f;
constexpr float kOverheat = 12500.0f;

// The network's components by table row.
enum Row {
    HullArmour, AftPbc, FwdPbc, PortMag, StbdMag, UpperLda, LowerLda, YawThrs, PitchThrs, RollThrs, LatThrs,
    DockPorts, PlasmaGrid, MainThrs, LdsDrive, HeatArray, CoolantSys, CoolantTank, CapsuleDrv, Grid0, Grid1,
    Grid2, Grid3, Grid4, Grid5, Accumulators, EmergAcc, Reactor, Ring, Target, Injector, FuelTanks, AmInjector,
    AmSupply, HullStruct, RowCount
};
static_assert(RowCount == kEngComponentCount);
// Inputs name a row plus one; 0 is none.
constexpr int kDummy = -1;
constexpr int In(Row r) { return int(r) + 1; }

EngComponent gComponents[kEngComponentCount];
SceneItem gTemplate;
Sim gTemplateSim;
// The state before the mission: the table's pointers and each component.
EngComponent *gBackupTable[kEngTableSize];
EngComponent gBackup[kEngTableSize];
int gBackupCount;
// The nominal flight figures the network scales, and the ship they are of.
FlightParams gNominal;
const SceneItem *gNominalOf;
// Whether the ship was lost to the coolant's heat this mission.
bool gCoolantLost;
float gShieldLevels[2] = {1.0f, 1.0f};
uint16_t gShieldTimers[2];

EngComponent &C(Row r) { return gComponents[r]; }
float V(Row r) { return gComponents[r].value; }
float Dt() { return dunFrameSeconds; }

const char *NameOf(const EngComponent *c) {
    const unsigned language = gLanguage < 3 ? gLanguage : 0;
    return c->names[language] ? c->names[language] : c->names[0];
}

void Message(const char *format, const EngComponent *c, int kelvin) {
    char text[96];
    std::snprintf(text, sizeof text, format, NameOf(c), kelvin);
    dunCall(dunGui().displayMessage, text, 200);
}

// Heat from use: the heat input since the last frame over the share's
// divisor, then the cooling towards 273 K. A share of 0 puts nothing
// through, so it heats nothing (the divisor would be 0).
void Heat(EngComponent *c, float divisor, float share) {
    const float dt = Dt();
    const float d = divisor * share / 100.0f;
    if (c->heatInput > 0 && dt > 0.0f && d > 0.0f) c->temperature = (float(c->heatInput) / dt / d + 1.0f) * c->temperature;
    c->temperature += (273.0f - c->temperature) * 0.9f * dt;
    if (c->temperature >= kOverheat) {
        static const char *const kOverheatText[3] = {"ENG: %s OVERHEAT", "ENG: %s EN SURCHAUFFE",
                                                     "ENG: %s \xDC" "BERHITZT"};
        Message(kOverheatText[gLanguage < 3 ? gLanguage : 0], c, 0);
    }
}

// The emergency accumulator props up a weak output while it holds charge.
float Propped(float value) { return value < kEmergencyMinimum && V(EmergAcc) > 0.0f ? kEmergencyMinimum : value; }

// ---- Rules ------------------------------------------------------------------

void RuleReactor(EngComponent *c) {
    const float f = V(Target) > 0.0f ? c->health : 0.0f;
    if (dunEngDummy.value >= 0.15f)
        c->level += (V(Ring) - c->value) * 0.05f * Dt();
    else
        c->level -= c->value * 0.05f * Dt();
    c->value = c->level * f;
    c->temperature = C(CoolantSys).temperature;
}

void RuleRing(EngComponent *c) {
    if (c->switchedOn && dunEngDummy.value >= 0.15f)
        c->level += (V(Injector) + V(AmInjector) * 1.8f - c->level) * 0.2f * Dt();
    else
        c->level -= c->level * 0.1f * Dt();
    c->value = c->level * c->health;
}

void RuleFollowReactor(EngComponent *c) {
    c->level = V(Reactor);
    c->value = c->level * c->health;
}

void RuleGrid(EngComponent *c) {
    if (c->switchedOn) {
        c->level += (V(Reactor) - c->level) * 0.2f * Dt();
        c->value = std::min(c->level * c->health, V(Accumulators));
    } else {
        c->level = 0.0f;
        c->value = 0.0f;
    }
}

void RuleAccumulator(EngComponent *c) {
    c->level = 1.0f;
    c->value = c->level * c->health;
}

void RuleEmergency(EngComponent *c) {
    dunEmergencyInUse = 0;
    bool drain = false;
    for (Row pbc : {AftPbc, FwdPbc})
        if (C(pbc).temperature <= kOverheat && V(pbc) <= kEmergencyMinimum) drain = true;
    for (Row thruster : {YawThrs, PitchThrs, RollThrs, LatThrs, MainThrs})
        if (V(thruster) <= kEmergencyMinimum) drain = true;
    if (drain) {
        c->level = std::max(0.0f, c->level - Dt() / 30.0f);
        dunEmergencyInUse = 0xFF;
    } else {
        const float x = V(Reactor) - 0.5f;
        if (x <= 0.0f)
            c->level += c->level * x * 0.01f * Dt();
        else
            c->level += (1.0f - c->level) * x * 0.2f * Dt();
    }
    c->value = c->level;
}

void RuleInjector(EngComponent *c) {
    if (c->switchedOn && V(FuelTanks) > 0.0f && dunEngDummy.value >= 0.15f)
        c->level += (1.0f - c->level) * 0.2f * Dt();
    else
        c->level -= c->level * 0.1f * Dt();
    c->value = c->level * c->health;
}

void RuleAmInjector(EngComponent *c) {
    if (c->switchedOn && V(AmSupply) > 0.0f)
        c->level += (1.0f - c->level) * 0.2f * Dt();
    else
        c->level -= c->level * 0.05f * Dt();
    c->value = c->level * c->health;
}

// Kilograms of reactant: a damaged supply loses more for the same draw, and
// a destroyed one holds nothing (the draw over a health of 0 has no limit).
void RuleAmSupply(EngComponent *c) {
    if (c->value <= 0.0f || c->health <= 0.0f) {
        c->value = 0.0f;
        return;
    }
    c->value -= V(AmInjector) * 5.0f / c->health * Dt();
    if (c->value < 0.0f) c->value = 0.0f;
}

void RuleCoolant(EngComponent *c) {
    const float dt = Dt();
    if (c->switchedOn)
        c->level += (1.0f - c->level) * 0.1f * dt;
    else
        c->level -= c->level * 0.1f * dt;
    c->value = c->level * c->health;
    // The pull towards 273 K is a lag: with the tank's 4000 it would be a
    // factor of hundreds in a frame, throwing the temperature past 273 K
    // further each frame. It takes the temperature at most all the way.
    const float pull = std::min(1.0f, c->value / 3.0f * V(CoolantTank) * dt);
    float t = (273.0f - c->temperature) * pull + c->temperature;
    t = (V(HeatArray) / 8.0f * dt + 1.0f) * t;
    const float before = c->temperature;
    c->temperature = t;
    static const char *const kWarnings[3] = {"ENG: %s TEMP WARNING %dK", "ENG: %s TEMP URGENT WARNING %dK",
                                             "ENG: %s TEMP CRITICAL WARNING %dK"};
    static const float kThresholds[3] = {2000.0f, 5000.0f, 10000.0f};
    for (int i = 0; i < 3; ++i)
        if (before < kThresholds[i] && t >= kThresholds[i]) {
            Message(kWarnings[i], c, int(t));
            if (i == 2) SoundPlay(16, 0, 0, 0, 0);
        }
    // The ship is lost once, when the temperature reaches the limit: a
    // destruction each frame would log and post one every frame.
    SceneItem *ship = dunEngineeringShip;
    if (t >= 15000.0f && !gCoolantLost && ship && (ship->flags & SceneFlag::InUse)) {
        gCoolantLost = true;
        const char *name = ship->sim && ship->sim->shipInfo ? ship->sim->shipInfo->name : nullptr;
        dunCall(dunHud().missionLogAdd, ship, nullptr, 3, name, nullptr);
        DamageRecord record = {};
        dunPostDamageRecord(ship->receiverId, ship->receiverId, 0, MsgDestroyed, &record);
    }
}

void RuleRadiator(EngComponent *c) {
    c->value = c->health;
    c->temperature = C(CoolantSys).temperature;
}

// The full output when cool, falling to a quarter at 20000 K.
float OverheatFactor(float t) { return std::max(0.0f, 20000.0f - t) / 10000.0f + 0.25f; }

void RuleWeapon(EngComponent *c) {
    Heat(c, kWeaponHeatDivisor, dunWeaponShare);
    float p = dunEngDummy.value != 0.0f ? V(Ring) : 0.0f;
    if (p < kEmergencyMinimum && V(EmergAcc) > 0.0f) p = kEmergencyMinimum;
    c->value = dunWeaponShare / 100.0f * p * c->health;
    if (c->temperature >= kOverheat) {
        c->temperature = std::min(c->temperature, 20000.0f);
        c->value *= OverheatFactor(c->temperature);
    }
    c->heatInput = 0;
}

void RuleLda(EngComponent *c) {
    float h = c->health;
    if (h > 0.0f && h < 0.75f) h = 0.75f;
    float value = dunEngDummy.value != 0.0f ? h : 0.0f;
    Heat(c, kLdaHeatDivisor, dunLdaShare);
    c->heatInput = 0;
    value *= std::max(0.0f, 20273.0f - c->temperature) * 0.75f / 20000.0f + 0.25f;
    c->value = Propped(value);
    SceneItem *ship = dunEngineeringShip;
    if (ship && ship->sim && ship->sim->shipInfo) {
        const int byte = c == &C(UpperLda) ? 1 : 2;
        ship->sim->shipInfo->ldaPower[byte] = uint8_t(std::min(100.0f, 90.0f * dunLdaShare / 100.0f) * c->value);
    }
}

void RuleThruster(EngComponent *c) { c->value = Propped(dunThrusterShare / 100.0f * V(PlasmaGrid) * c->health); }
void RuleHealthStep(EngComponent *c) { c->value = c->health >= 0.1f ? 1.0f : 0.0f; }
void RuleOnOff(EngComponent *c) { c->value = dunEngDummy.value != 0.0f && c->health >= 0.1f ? 1.0f : 0.0f; }
void RuleLds(EngComponent *c) { c->value = dunEngDummy.value * c->health; }
void RuleConstant(EngComponent *c) { c->value = 1.0f; }

void RuleHull(EngComponent *c) {
    SceneItem *ship = dunEngineeringShip;
    if (ship && ship->sim) ship->sim->hull = int32_t(c->health * 100.0f);
}

using Rule = void (*)(EngComponent *);

struct Definition {
    const char *names[3];
    int group, kind, index;
    float initial;
    int inputs[4];
    Rule rule;
    uint32_t subsystemBits;
    uint32_t displayClass;
};

const Definition kDefinitions[kEngComponentCount] = {
    {{"HULL ARMOUR", "BLINDAGE COQUE", "H\xDCLLENSCHUTZ"}, 0, 5, 1, 1.0f, {}, nullptr, 0, 4},
    {{"AFT PBC", "CP ARR", "HINTERE TSK"}, 0, 4, 1, 1.0f, {kDummy, In(Ring), In(EmergAcc)}, RuleWeapon, 0, 2},
    {{"FWD PBC", "CP AVT", "VORDERE TSK"}, 0, 4, 0, 1.0f, {kDummy, In(Ring), In(EmergAcc)}, RuleWeapon, 0, 1},
    {{"PORT MAG", "MAG BAB", "LINKES MAG"}, 0, 4, 2, 1.0f, {kDummy}, RuleOnOff, 0x4, 1},
    {{"STBD MAG", "MAG TRIB", "RECHTES MAG"}, 0, 4, 3, 1.0f, {kDummy}, RuleHealthStep, 0x4, 1},
    {{"UPPER LDA", "LDA SUP", "OBERES LDA"}, 1, 4, 4, 1.0f, {kDummy, In(EmergAcc)}, RuleLda, 0x8, 0},
    {{"LOWER LDA", "LDA INF", "UNTERES LDA"}, 1, 4, 5, 1.0f, {kDummy, In(EmergAcc)}, RuleLda, 0x10, 0},
    {{"YAW THRS", "PROP LACET", "GIER-TRIEB."}, 2, 3, 4, 1.0f, {kDummy, In(PlasmaGrid), In(EmergAcc)},
     RuleHealthStep, 0x1, 1},
    {{"PITCH THRS", "PROP TANGAGE", "NICK-TRIEB."}, 2, 3, 5, 1.0f, {kDummy, In(PlasmaGrid), In(EmergAcc)},
     RuleThruster, 0x1, 1},
    {{"ROLL THRS", "PROP ROULIS", "ROLL-TRIEB."}, 2, 3, 6, 1.0f, {kDummy, In(PlasmaGrid), In(EmergAcc)},
     RuleThruster, 0x1, 1},
    {{"LAT THRS", "PROP LAT\xC9RAUX", "LAT. TRIEB."}, 2, 3, 7, 1.0f, {kDummy, In(PlasmaGrid), In(EmergAcc)},
     RuleThruster, 0x1, 2},
    {{"DOCK PORTS", "PORTS AMAR.", "ANDOCKLUKEN"}, 3, 5, 2, 1.0f, {kDummy}, RuleOnOff, 0x400, 1},
    {{"PLASMA GRID", "GRILLE PLASMA", "PLASMALEITUNGEN"}, 3, 3, 0, 1.0f, {kDummy, In(Reactor), In(EmergAcc)},
     RuleFollowReactor, 0, 2},
    {{"MAIN THRS", "PROP PRINCIPAL", "HAUPTANTREIB"}, 3, 3, 1, 1.0f, {kDummy, In(PlasmaGrid), In(EmergAcc)},
     RuleThruster, 0x2, 2},
    {{"LDS DRIVE", "PIL LDS", "LDS-ANTRIEB"}, 4, 3, 2, 1.0f, {kDummy}, RuleLds, 0x20, 0},
    {{"W HEAT ARRAY", "RADIATEUR", "W\xC4RMEABLEITUNG"}, 4, 1, 7, 1.0f, {kDummy}, RuleRadiator, 0, 0},
    {{"COOLANT SYS", "SYST REFROID.", "K\xDCHLSYSTEM"}, 5, 1, 8, 1.0f, {kDummy, CoolantTank, HeatArray, Reactor},
     RuleCoolant, 0, 2},
    {{"COOLANT TANK", "RSV. REFROID.", "K\xDCHLMITTELTANK"}, 5, 1, 9, 4000.0f, {kDummy}, nullptr, 0, 0},
    {{"CAPSULE DRV", "PIL CAPSULE", "HYPERANTREIB"}, 5, 3, 3, 1.0f, {kDummy}, RuleOnOff, 0x40, 0},
    {{"POWER GRID 0", "GRILLE ENERGIE 0", "NETZWERK 0"}, 5, 2, 0, 1.0f, {In(Reactor), In(Accumulators), In(EmergAcc)},
     RuleGrid, 0, 2},
    {{"POWER GRID 1", "GRILLE ENERGIE 1", "NETZWERK 1"}, 5, 2, 1, 1.0f, {In(Reactor), In(Accumulators), In(EmergAcc)},
     RuleGrid, 0, 2},
    {{"POWER GRID 2", "GRILLE ENERGIE 2", "NETZWERK 2"}, 5, 2, 2, 1.0f, {In(Reactor), In(Accumulators), In(EmergAcc)},
     RuleGrid, 0, 2},
    {{"POWER GRID 3", "GRILLE ENERGIE 3", "NETZWERK 3"}, 5, 2, 3, 1.0f, {In(Reactor), In(Accumulators), In(EmergAcc)},
     RuleGrid, 0, 2},
    {{"POWER GRID 4", "GRILLE ENERGIE", "NETZWERK 4"}, 5, 2, 4, 1.0f, {In(Reactor), In(Accumulators), In(EmergAcc)},
     RuleGrid, 0, 2},
    {{"POWER GRID 5", "GRILLE ENERGIE", "NETZWERK 5"}, 5, 2, 5, 1.0f, {In(Reactor), In(Accumulators), In(EmergAcc)},
     RuleGrid, 0, 2},
    {{"ACCUMULATORS", "ACCUMULATEURS", "AKKUS"}, 5, 2, 6, 0.2f, {In(Reactor)}, RuleAccumulator, 0, 0},
    {{"EMERG ACC", "EMERG ACC", "NOTAKKU"}, 5, 2, 6, 1.0f, {In(Reactor)}, RuleEmergency, 0x10, 1},
    {{"REACTOR", "REACTEUR", "REAKTOR"}, 6, 1, 3, 1.0f, {kDummy, In(Target), In(Ring), In(CoolantSys)}, RuleReactor, 0, 2},
    {{"RING", "ANNEAU", "RING"}, 6, 1, 2, 1.0f, {kDummy, In(Injector), In(AmInjector), In(EmergAcc)}, RuleRing, 0x200, 1},
    {{"TARGET", "CIBLE", "ZIELSYSTEM"}, 6, 1, 4, 1.0f, {In(Reactor)}, RuleConstant, 0, 0},
    {{"INJECTOR", "INJECTEUR", "INJEKTOR"}, 6, 1, 5, 1.0f, {kDummy, In(FuelTanks), In(Ring)}, RuleInjector, 0, 0},
    {{"FUEL TANKS", "RSV. CARBURANT", "TREIBSTOFFTANKS"}, 6, 1, 1, 1.0f, {In(Injector)}, RuleConstant, 0, 0},
    {{"AM INJECTOR", "INJECTEUR AM", "AM-INJEKTOR"}, 7, 1, 6, 0.0f, {kDummy, In(AmSupply)}, RuleAmInjector, 0, 0},
    {{"AM SUPPLY", "RESERVE AM", "AM-VERSORGUNG"}, 7, 1, 0, 500.0f, {In(AmInjector)}, RuleAmSupply, 0, 0},
    {{"HULL STRUCT", "STRUCT. COQUE", "H\xDCLLENSTR."}, 8, 5, 0, 1.0f, {}, RuleHull, 0, 4},
};

uint16_t RepairDifficulty(int row) {
    if (row == Ring || row == HullArmour) return 60;
    if (row == HullStruct) return 575;
    return 10;
}

bool StartsOff(int row) { return row == Reactor || row == CoolantTank || row == AmInjector || row == AmSupply; }

int SortKey(const EngComponent *c) { return c->kind * 100 + c->index; }

bool IsTableHolder(const SceneItem *holder) { return holder == &gTemplate || holder == dunEngineeringShip; }

// Step 5: the network scales the ship's flight figures from the nominal
// ones taken at the mission's reset.
void ScalePerformance(SceneItem *ship) {
    if (!ship->sim || !ship->sim->flight || gNominalOf != ship) return;
    FlightParams &f = *ship->sim->flight;
    f.p1 = gNominal.p1 * V(MainThrs);
    f.p2 = gNominal.p2 * V(LatThrs);
    f.turnRates[2] = gNominal.turnRates[2] * V(YawThrs);
    f.turnRates[1] = gNominal.turnRates[1] * V(PitchThrs);
    f.turnRates[0] = gNominal.turnRates[0] * V(RollThrs);
    f.tail[2] = gNominal.tail[2] * V(CapsuleDrv);
    const float lds = V(LdsDrive);
    if (lds >= 1.0f || gNominal.p4 == 0) {
        f.p4 = gNominal.p4;
    } else {
        const double exponent = (std::log10(double(gNominal.p4)) - 5.0) * lds + 5.0;
        f.p4 = uint32_t(std::pow(10.0, exponent));
    }
}

// Step 6: the beam weapons fed by a component take its power.
void PowerWeapons(SceneItem *ship) {
    if (!ship->sim || !ship->sim->shipInfo || ship->sim->shipInfo->typeCode != 0) return;
    const float factor = optArcade ? 3.0f : 1.0f;
    for (Row row : {FwdPbc, AftPbc, PortMag, StbdMag}) {
        EngComponent *c = &C(row);
        for (Weapon *w = ship->sim->weapons; w; w = w->next) {
            if (w->component != c) continue;
            if ((w->flags & WeaponFlag::AutoFire) && !(w->flags & 0x1000)) {
                w->powerCharge = int32_t(c->value * 150.0f * factor);
                w->range = 200000.0f;
            }
            if (c->health >= 0.2f)
                w->flags = (w->flags | WeaponFlag::Ready) & ~WeaponFlag::Damaged;
            else
                w->flags = (w->flags & ~WeaponFlag::Ready) | WeaponFlag::Damaged;
        }
    }
}

void Repair() {
    EngComponent *list = gTemplateSim.components;
    for (EngComponent *c = list; c; c = c->next)
        if (c->health < 1.0f && !c->repairTeam && !c->notRepairable) dunAssignRepairTeam(c);
    for (EngComponent *c = list; c; c = c->next)
        if (c->health < 1.0f) dunAssignRepairTeam(c);
    for (EngComponent *c = list; c; c = c->next) c->repairDone = 0;
    for (int i = 0; i < kRepairTeamCount; ++i) {
        RepairTeam &t = dunRepairTeams[i];
        EngComponent *c = t.component;
        if (!c) continue;
        if (c->health < 1.0f && !c->notRepairable) {
            const float before = c->health;
            c->health = std::min(1.0f, before + float(t.rate) * Dt() / float(c->repairDifficulty));
            dunComponentHealthEvents(before, c->health, c);
            c->repairDone = uint16_t(c->repairDone + t.rate);
        } else {
            dunReleaseRepairTeam(&t);
            dunRepairTeamBusy[i] = 0;
        }
    }
    for (EngComponent *c = list; c; c = c->next)
        c->repairEstimate =
            c->repairDone ? uint16_t((1.0f - c->health) * float(c->repairDifficulty) / float(c->repairDone)) : 0;
}

}  // namespace

// ---- Build, save and reset ------------------------------------------------------

void dunAddComponent(SceneItem *holder, EngComponent *c, int group, int kind, int index, float initial,
                     float temperature) {
    c->next = nullptr;
    c->kind = uint16_t(kind);
    c->group = uint16_t(group);
    c->index = uint16_t(index);
    c->value = c->level = initial;
    c->temperature = temperature;
    c->heatInput = 0;
    c->notRepairable = 0;
    c->repairTeam = nullptr;
    c->recorder = dunAllocRecorder();
    dunInitRecorder(c->recorder, &c->value, 0.0f, initial, 20);
    if (!holder || !holder->sim) return;
    Sim *s = holder->sim;
    EngComponent **tail = &s->components;
    while (*tail) tail = &(*tail)->next;
    *tail = c;
    const int old = s->componentCount++;
    if (IsTableHolder(holder) && old < kEngTableSize) {
        dunComponentTable[old] = c;
        if (old + 1 > dunComponentTableCount) dunComponentTableCount = old + 1;
    }
}

void dunBuildShipSystems() {
    gTemplate = SceneItem{};
    gTemplateSim = Sim{};
    std::memset(dunComponentTable, 0, sizeof dunComponentTable);
    dunComponentTableCount = 0;
    dunClearRecorders();
    std::memset(gBackupTable, 0, sizeof gBackupTable);
    std::memset(static_cast<void *>(gBackup), 0, sizeof gBackup);
    gBackupCount = 0;
    for (int i = 0; i < kRepairTeamCount; ++i) {
        dunRepairTeams[i] = {uint16_t(i), 1, nullptr};
        dunRepairTeamBusy[i] = 0;
    }
    gTemplate.sim = &gTemplateSim;
    dunEngDummy = EngComponent{};
    dunEngDummy.names[0] = dunEngDummy.names[1] = dunEngDummy.names[2] = "DUMMY";
    dunEngDummy.value = dunEngDummy.level = dunEngDummy.health = 1.0f;
    for (int row = 0; row < kEngComponentCount; ++row) {
        const Definition &d = kDefinitions[row];
        EngComponent &c = gComponents[row];
        c = EngComponent{};
        for (int l = 0; l < 3; ++l) c.names[l] = d.names[l];
        for (int k = 0; k < 4; ++k)
            c.inputs[k] = d.inputs[k] == kDummy ? &dunEngDummy : d.inputs[k] > 0 ? &gComponents[d.inputs[k] - 1] : nullptr;
        c.displayClass = d.displayClass;
        c.screenFlag = row == Reactor || row == Ring || row == Target ? 0 : 1;
        c.health = 1.0f;
        c.switchedOn = StartsOff(row) ? 0 : 0xFF;
        c.preRuleOn = 0xFF;
        c.rule = d.rule;
        c.repairDifficulty = RepairDifficulty(row);
        c.subsystemBits = d.subsystemBits;
        dunAddComponent(&gTemplate, &c, d.group, d.kind, d.index, d.initial, 273.0f);
    }
    dunSaveComponentTable();
}

void dunSaveComponentTable() {
    gBackupCount = dunComponentTableCount;
    for (int i = 0; i < gBackupCount; ++i) {
        gBackupTable[i] = dunComponentTable[i];
        gBackup[i] = *dunComponentTable[i];
    }
}

void dunRestoreComponentTable() {
    for (int i = 0; i < gBackupCount; ++i) {
        dunComponentTable[i] = gBackupTable[i];
        *gBackupTable[i] = gBackup[i];
    }
    dunComponentTableCount = gBackupCount;
    dunEngSortPending = 0xFF;
}

void dunResetEngineering() {
    dunLdaShare = dunThrusterShare = dunWeaponShare = 100.0f;
    dunEngDummy.value = 1.0f;
    SceneItem *ship = dunEngineeringShip;
    gNominalOf = nullptr;
    if (ship && ship->sim) {
        if (ship->sim->flight) {
            gNominal = *ship->sim->flight;
            gNominalOf = ship;
        }
        ship->sim->components = gTemplateSim.components;
        ship->sim->componentCount = gTemplateSim.componentCount;
    }
    dunRestoreComponentTable();
    for (int i = 0; i < kRepairTeamCount; ++i) {
        dunRepairTeams[i].component = nullptr;
        dunRepairTeamBusy[i] = 0;
    }
    dunEmergencyInUse = 0;
    dunHullFraction = 1.0f;
    gCoolantLost = false;
    gShieldLevels[0] = gShieldLevels[1] = 1.0f;
    gShieldTimers[0] = gShieldTimers[1] = 0;
}

void dunCopyComponentNetwork(SceneItem *to, SceneItem *from) {
    if (!to || !from || !to->sim || !from->sim) return;
    to->sim->components = from->sim->components;
    to->sim->componentCount = from->sim->componentCount;
    if (from == dunEngineeringShip) {
        dunEngineeringShip = to;
        if (gNominalOf == from) gNominalOf = to;
    }
}

EngComponent *dunFindComponentByName(SceneItem *, const char *name) {
    if (!name) return nullptr;
    for (EngComponent *c = gTemplateSim.components; c; c = c->next)
        if (c->names[0] && std::strcmp(c->names[0], name) == 0) return c;
    return nullptr;
}

uint8_t dunComponentState(const EngComponent *c) { return c ? c->switchedOn : 0; }

void dunRestoreAllComponents() {
    for (EngComponent *c = gTemplateSim.components; c; c = c->next) c->health = 1.0f;
    SceneItem *ship = dunEngineeringShip;
    if (ship && ship->sim && ship->sim->shipInfo) ship->sim->shipInfo->damage.mask = 0;
}

// ---- Repair teams -----------------------------------------------------------------

void dunAssignRepairTeam(EngComponent *c) {
    if (!c || c->notRepairable) return;
    for (int i = 0; i < kRepairTeamCount; ++i) {
        RepairTeam &t = dunRepairTeams[i];
        if (t.component) continue;
        t.component = c;
        c->repairTeam = &t;
        dunRepairTeamBusy[i] = 0xFF;
        return;
    }
}

void dunReleaseRepairTeam(RepairTeam *t) {
    if (!t) return;
    if (t->component && t->component->repairTeam == t) t->component->repairTeam = nullptr;
    t->component = nullptr;
}

void dunReleaseIdleTeams() {
    for (int i = 0; i < kRepairTeamCount; ++i)
        if (!dunRepairTeamBusy[i]) dunReleaseRepairTeam(&dunRepairTeams[i]);
}

void dunComponentHealthEvents(float before, float after, EngComponent *c) {
    if (!c) return;
    if (before > 0.25f && after == 0.0f) {
        SoundPlay(15, -6000, 0, 0, 0);
    } else if (before < 1.0f && after == 1.0f) {
        SoundPlay(18, 0, 0, 0, 0);
        SceneItem *ship = dunEngineeringShip;
        if (ship && ship->sim && ship->sim->shipInfo)
            ship->sim->shipInfo->damage.mask = uint16_t(ship->sim->shipInfo->damage.mask & ~c->subsystemBits);
    }
}

void dunRefreshEngineeringDisplay() {
    for (EngComponent *c = gTemplateSim.components; c; c = c->next) {
        if (!c->screenWidget) continue;
        int colour = 36;
        if (c->health < 1.0f) colour = 160;
        if (c->health <= 0.5f) colour = 64;
        if (c->health <= 0.2f) colour = 54;
        dunCall(dunGui().setWidgetColour, c->screenWidget, colour);
    }
}

// ---- The frame ---------------------------------------------------------------------

void dunUpdateEngineering(SceneItem *item) {
    if (!item || !item->sim || gMissionOver) return;
    Sim *s = item->sim;
    for (EngComponent *c = s->components; c; c = c->next) {
        if (c->preRule && c->preRuleOn) c->preRule(c);
        if (c->rule) c->rule(c);
    }
    if (item == dunEngineeringShip && dunEngSortPending) {
        dunEngSortPending = 0;
        std::stable_sort(dunComponentTable, dunComponentTable + dunComponentTableCount,
                         [](const EngComponent *a, const EngComponent *b) { return SortKey(a) < SortKey(b); });
    }
    if (dunRepairEnabled && s->components) Repair();
    dunRefreshEngineeringDisplay();
    if (s->components) {
        ScalePerformance(item);
        float sum = 0.0f;
        for (int g = Grid0; g <= Grid5; ++g) sum += gComponents[g].value;
        dunEngDummy.value = sum / kGridCount;
        PowerWeapons(item);
    }
    for (int i = 0; i < 2; ++i)
        if (gShieldTimers[i]) gShieldTimers[i] = uint16_t(gShieldTimers[i] > dunFrameStep ? gShieldTimers[i] - dunFrameStep : 0);
    dunSampleAllRecorders();
}

// ---- Hull, armour and shields ------------------------------------------------------------

float dunShieldValue() { return dunEngineeringShip ? C(HullArmour).value : 0.0f; }

float dunShieldLevel(int which) { return which == 0 || which == 1 ? gShieldLevels[which] : 1.0f; }

void dunShieldStrike(float loss) {
    for (int i = 0; i < 2; ++i) {
        gShieldTimers[i] = uint16_t(gShieldTimers[i] + 100);
        gShieldLevels[i] = std::max(0.0f, gShieldLevels[i] - loss);
    }
}

// ---- SIM_ENG ---------------------------------------------------------------------------

void dunSimSpin(SceneItem *item) {
    if (!item || !item->sim) return;
    item->sim->timeStamp = dunGameClock;
    const float k = dunFrameSeconds * 30.0f / 100.0f;
    Mat4 &m = item->sim->matrix;
    MatRotateZ(item->rollSpin * k, m);
    MatRotateX(item->pitchSpin * k, m);
    MatRotateY(item->yawSpin * k, m);
}

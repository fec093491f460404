#include "world_fakes.h"

#include "world/handle.h"
#include "world/damage.h"
#include "world/msghandler.h"
#include "world/objroutines.h"
#include "world/pools.h"
#include "script/mission.h"
#include "world/objlist.h"
#include "world/services.h"
#include "world/universe.h"

namespace {

WorldFakes *gFakes = nullptr;

FakeCall &Record(const char *name, SceneItem *item = nullptr, SceneItem *other = nullptr, int a = 0, int b = 0) {
    FakeCall c;
    c.name = name;
    c.item = item;
    c.other = other;
    c.a = a;
    c.b = b;
    gFakes->calls.push_back(c);
    return gFakes->calls.back();
}

bool SendDamage(const char *name, SceneItem *sender, SceneItem *receiver, int32_t second, int32_t damage,
                bool attacker) {
    FakeCall &c = Record(name, sender, receiver, damage, second);
    c.record.damage = damage;
    c.record.secondTerm = second;
    if (!gFakes->postDamage) return true;
    DamageRecord r = {};
    r.point = {(sender->sim->matrix.m[12] - float(receiver->avatar->position.x)) * 0.5f,
               (sender->sim->matrix.m[13] - float(receiver->avatar->position.y)) * 0.5f,
               (sender->sim->matrix.m[14] - float(receiver->avatar->position.z)) * 0.5f};
    r.velocity = sender->sim->velocity;
    r.damage = damage;
    r.secondTerm = second;
    r.mass = sender->sim->mass;
    r.attacker = attacker ? dunHandleOf(sender) : kNoHandle;
    return dunPostDamageRecord(sender->receiverId, receiver->receiverId, 4, MsgHit, &r);
}

// What the combat code does with a hit on a ship: the damage block takes it
// and the hit that destroys posts the destruction.
void BookHit(SceneItem *ship, const DamageRecord *r) {
    ShipDamage &d = ship->sim->shipInfo->damage;
    if (dunDamageSubsystems(ship, &d, r->damage, &r->point) == -1) {
        dunRecordDestruction(ship, r);
        dunPostDamageRecord(ship->receiverId, ship->receiverId, 0, MsgDestroyed, r);
    }
}

const WorldPresentHooks kPresent = {
    [](SceneItem *item) { Record("presentation", item); },
    [](TDP *node, void *, int mode, int) -> int {
        node->flags |= TDPFlag::HasActor;
        Record("addToScene", node->owner, nullptr, mode);
        return 1;
    },
    [](SceneItem *item, int kind, int subKind, const Vec3 *point, int size) {
        FakeCall &c = Record("addHullRupture", item, nullptr, kind, size);
        c.point = *point;
        (void)subKind;
    },
    [](SceneItem *item, int kind, int, const Vec3 *point) { Record("addMinorExplosion", item, nullptr, kind).point = *point; },
    [](SceneItem *item) { Record("placeExplosion", item); },
    [](SceneItem *item) { Record("spawnDepartureBurst", item); },
    [](SceneItem *item, int r1, int, int, int, int, int) { Record("spawnSparks", item, nullptr, r1); },
    [](SceneItem *wreck, const DamageRecord *, SceneItem *item) { Record("spawnDestructionExplosion", wreck, item); },
    [](SceneItem *wreck) { Record("wreckBreakUpControl", wreck); },
    [](SceneItem *item, const Mat4 *, int kind, uint32_t flags, uint16_t life, int, int, float, int32_t,
       float) -> TDP * {
        Record("createParticleSystem", item, nullptr, kind, life).text = std::to_string(flags);
        return nullptr;
    },
    [](const uint8_t *, uint8_t *, int r0, int, int, int r1, int, int) {
        Record("buildColourRamp", nullptr, nullptr, r0, r1);
    },
    [](SceneItem *item, int light, int duration, const Vec3 *position) {
        Record("flashNavLight", item, nullptr, light, duration).point = *position;
    },
    [](SceneItem *item, SceneItem *other, int event) { Record("eventCamera", item, other, event); },
    [](int32_t time, int32_t strength) { Record("viewShake", nullptr, nullptr, time, strength); },
    [](int32_t brightness) { Record("setFlashBrightness", nullptr, nullptr, brightness); },
    []() -> void * {
        static int model;
        return &model;
    },
    [](void *, float radius) { Record("scaleModelToRadius", nullptr, nullptr, int(radius)); },
    [](SceneItem *item, int a, int b, const char *name) { Record("setupPlasmaBall", item, nullptr, a, b).text = name; },
    [](SceneItem *item, const char *name) { Record("setupGasShell", item).text = name; },
    [] { return gFakes->cameraZoom; },
    [] { return gFakes->projectionScale; },
    [](SceneItem *item) { Record("spawnLdsTrail", item); },
    [](SceneItem *item, void *model) { Record("setObjectModel", item).text = model ? "model" : ""; },
    [](SceneItem *player, SceneItem *other) { Record("followCameras", player, other); },
    [](SceneItem *item) { Record("setCameraSubject", item); },
    [](SceneItem *item, const Vec3 *direction, int size, uint32_t colour) {
        Record("addFlashAtObject", item, nullptr, size, int(colour)).point = *direction;
    },
    [](SceneItem *item, const Vec3 *point) -> TDP * {
        Record("addThermalExplosion", item).point = *point;
        return nullptr;
    },
    [](SceneItem *item) { Record("makeWreck", item); },
    [](const char *name) -> void * {
        Record("loadModel").text = name;
        static int models[16];
        return &models[gFakes->Count("loadModel") % 16];
    },
    [](SceneItem *item, const Vec3 *position, float size, int32_t flags, int on, int off, int) {
        FakeCall &c = Record("addNavLight", item, nullptr, int(flags));
        c.point = *position;
        // Size, on and off ticks.
        c.velocity = {size, float(on), float(off)};
    },
    [](SceneItem *gate, int colour) { Record("setStarGateEdge", gate, nullptr, colour); },
    nullptr,  // the tests set the pilot's demands themselves
    // The library's actors, the cameras and the per-step passes are the
    // presentation's own business.
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
    [](SceneItem *item, int life) { Record("spawnDebrisBurst", item, nullptr, life); },
    [](SceneItem *item) { Record("placeSkyBody", item); },
    []() -> void * {
        Record("createStarDummy");
        static int dummy;
        return &dummy;
    },
    [] { Record("loadPlanetTextures"); },
    [] { Record("clearSystemBodyModels"); },
    [] { Record("freeSkyResources"); },
    [](int16_t system) { Record("setSkyForSystem", nullptr, nullptr, system); },
    [](float x, float y, float z, float a, float, float, float, int count, ParticleSystem *) -> ParticleSystem * {
        FakeCall &c = Record("spawnParticleCloud", nullptr, nullptr, count, int(a));
        c.point = {x, y, z};
        return dunAllocLargeParticleSystem();
    },
    FakeSoftParticles,
    [](SceneItem *item, int kind) { Record("addNavLights", item, nullptr, kind); },
};

const WorldAiHooks kAi = {
    [](SceneItem *ship, const DamageRecord *r) {
        Record("shipHit", ship, nullptr, r->damage).record = *r;
        if (gFakes->shipHitBooksDamage) BookHit(ship, r);
    },
    [](uint32_t score) { Record("scoreKill", nullptr, nullptr, int(score)); },
    [](SceneItem *item) {
        Record("scoreSummary", item);
        return gFakes->scoreSummary;
    },
    [](SceneItem *ship) { Record("passGroupFlag", ship); },
    [](SceneItem *item) { Record("removeContact", item); },
    [] { Record("pickTargetFiltered"); },
    [](SceneItem *ship) { Record("assignFixedAttack", ship); },
    [](SceneItem *ship, const Vec3 *point, const Vec3 *velocity, uint32_t word) {
        FakeCall &c = Record("impactGeometry", ship, nullptr, int(word));
        c.point = *point;
        c.velocity = *velocity;
    },
    [](SceneItem *ship, SceneItem *other, const Vec3 *direction) {
        Record("impactFromCollision", ship, other).point = *direction;
    },
    [](SceneItem *ship, SceneItem *missile) { Record("fireSpecialWeapon", ship, missile); },
    [](uint32_t key) -> const uint32_t * {
        Record("findScoreRecord", nullptr, nullptr, int(key));
        return gFakes->hasScoreRecord ? &gFakes->scoreRecordWord : nullptr;
    },
    [](SceneItem *s, SceneItem *r, int32_t second, int32_t damage) {
        return SendDamage("sendRelativePosition", s, r, second, damage, true);
    },
    [](SceneItem *s, SceneItem *r, int32_t second, int32_t damage) {
        return SendDamage("sendRelativePosition2", s, r, second, damage, false);
    },
    [](SceneItem *ship) {
        Record("think", ship);
        if (gFakes->onThink) gFakes->onThink(ship);
    },
    [](SceneItem *ship) {
        Record("idleFlight", ship);
        return 0.0f;
    },
    [](SceneItem *item) {
        Record("sideTargetMask", item);
        return gFakes->sideTargetMask;
    },
    [](SceneItem *item, int mount, uint32_t mask, uint32_t sides) {
        Record("pickTargetPoint", item, nullptr, mount, int(mask)).text = std::to_string(sides);
    },
    [](SceneItem *ship) { Record("updateWeapons", ship); },
    [](SceneItem *ship) { Record("updateWeaponsNoOwner", ship); },
    [](SceneItem *item) { Record("selectTarget", item); },
    [] { Record("setShipTarget"); },
    [](SceneItem *ship, Weapon *weapon, float range, float rate) {
        FakeCall &c = Record("fireWeapon", ship, weapon ? weapon->target : nullptr, int(range), int(rate));
        c.point = {rate, 0, 0};
        return gFakes->fireResult;
    },
    [](SceneItem *ship, int slot, const char *name, int priority, int state, SceneItem *object) {
        FakeCall &c = Record("setOrder", ship, object, slot, priority);
        c.text = name;
        c.record.damage = state;
    },
    [](SceneItem *ship, int slot) { Record("startOrder", ship, nullptr, slot); },
    [](SceneItem *flare, SceneItem *linked) { Record("flareDecoyMessage", flare, linked); },
    [](SceneItem *item, Vec3 *point) {
        Record("randomPointOnSubNode", item);
        *point = gFakes->subNodePoint;
    },
    [](SceneItem *ship, Vec3 direction, const FlightParams *) {
        Record("steerAlongVector", ship).point = direction;
        return 0.0f;
    },
    [](SceneItem *ship, Vec3 point, const Vec3 *velocity, const Vec3 *, SpeedLimitFn) {
        FakeCall &c = Record("steerTowards", ship);
        c.point = point;
        c.velocity = velocity ? *velocity : Vec3{};
        if (gFakes->onSteer) gFakes->onSteer(ship, &point);
        return 0.0f;
    },
    [](SceneItem *item) { Record("registerScoreObject", item); },
    [](SceneItem *item, float range, const char *name, int32_t strength) -> Weapon * {
        Record("createPBCLite", item, nullptr, int(range), strength).text = name;
        Weapon *w = dunAllocWeapon();
        w->name = name;
        w->range = range;
        w->next = item->sim->weapons;
        item->sim->weapons = w;
        return w;
    },
    [] { return gFakes->aimsAtSubTarget; },
    [](SceneItem *, Vec3 *centre) {
        *centre = gFakes->subTargetCentre;
        return true;
    },
    [](uint32_t mask, SceneItem *exclude) {
        Record("nearestShipByFlags", exclude, nullptr, int(mask));
        return gFakes->nearestShip;
    },
    [](SceneItem *item) { Record("selectWaypointTarget", item); },
    [](SceneItem *ship) { Record("clearWeapons", ship); },
    nullptr,  // the brain's per-step words, the side counts and the contact
    nullptr,  // list are the AI's own business
    nullptr,
    [](SceneItem *item, double *, int, int) { Record("placeNearNavPoint", item); },
    [](SceneItem *ship) { Record("thinkFree", ship); },
    [] { Record("resetContactClock"); },
    [](SceneItem *mine) { Record("setUpMineOrders", mine); },
    FakeThinkSimple,
};

const WorldScriptHooks kScript = {
    [] { Record("clearDialogue"); },
    [] { return gFakes->currentMission; },
    [](double x, double y, double z, int system, const char *name) -> SceneItem * {
        FakeCall &c = Record("createWaypoint", nullptr, nullptr, system);
        c.point = {float(x), float(y), float(z)};
        c.text = name;
        return nullptr;
    },
    [](SceneItem *item) { Record("removeVitalObject", item); },
    [](int typeCode) { Record("missileHitPlayer", nullptr, nullptr, typeCode); },
    [](TrackNode *node) {
        Record("launchStockShips", node ? node->object : nullptr);
        ++dunMissionCounter;
    },
    [](const char *name) -> void * {
        Record("symbolValue").text = name;
        return nullptr;
    },
    nullptr,  // symbols are the script's: no object is named
    [](SceneItem *owner) { Record("cancelDialogue", owner); },
    nullptr,  // every world reset empties the dialogue queue
    [](const SceneItem *) { return gFakes->dialoguePlaying; },
    [] { Record("runStockDialogue"); },
    [](SceneItem *item, const char *name) { Record("defaultShipClassSetup", item).text = name; },
    nullptr,  // the objectives are the script's own business
    [](SceneItem *item) { Record("countScriptHit", item); },
};

const WorldGuiHooks kGui = {
    [] { Record("dockedCockpit"); },
    [] { Record("closeComArm"); },
    [](int a, int b) { Record("navStartProgram", nullptr, nullptr, a, b); },
    [](int colourSet) { Record("postPendingFeedText", nullptr, nullptr, colourSet); },
    [](const char *text, int ticks) { Record("displayMessage", nullptr, nullptr, ticks).text = text; },
    [] { return gFakes->proximityText; },
    [] { return gFakes->starLogFormat; },
    [] { return gFakes->holdOff; },
    [](int32_t value) { Record("setInterference", nullptr, nullptr, value); },
    [] { Record("playerShipLost", dunPlayerShip); },
    [](SceneItem *wreck) { Record("followWreck", wreck, dunPlayerShip); },
    [] { return gFakes->optionsScreenShown; },
    [] { Record("wepSelectPbc"); },
    [] { Record("wepSelectMissile"); },
    [] { Record("throttleUp"); },
    [] { Record("throttleDown"); },
    [] { return gFakes->stickBlocked; },
    [](uint32_t bits) { Record("reentryStatus", nullptr, nullptr, int(bits)); },
    [] { Record("capsuleJump"); },
    [](int index, int ticks) { Record("showCockpitText", nullptr, nullptr, index, ticks); },
    [](int result) { Record("showFireResult", nullptr, nullptr, result); },
    [] { return gFakes->remoteBlocked; },
    [](int on) { Record("remoteView", nullptr, nullptr, on); },
    [] { Record("redrawCockpit"); },
    [] { Record("clearScreen"); },
    [] { Record("popFullScreen"); },
    [] { return gFakes->station; },
    [](int32_t value) { Record("setHitFlash", nullptr, nullptr, value); },
    [](int index) -> const char * {
        Record("cockpitText", nullptr, nullptr, index);
        return gFakes->cockpitText;
    },
    [](const char *text, int colourSet) { Record("postFeedText", nullptr, nullptr, colourSet).text = text; },
    [](int on) { Record("setWeaponView", nullptr, nullptr, on); },
    [] { Record("cycleViewMode"); },
    [](void *, int colour) { Record("setWidgetColour", nullptr, nullptr, colour); },
};

const WorldHudHooks kHud = {
    [](SceneItem *item, SceneItem *other, int kind, const char *name, const char *otherName) {
        FakeCall &c = Record("missionLogAdd", item, other, kind);
        c.text = std::string(name ? name : "") + "/" + (otherName ? otherName : "");
    },
    [](const char *text) { Record("missionLogAddText").text = text; },
    [] { ++gFakes->hudClears; },
    [](float, float, float) { ++gFakes->hudShifts; },
    [](SceneItem *from, SceneItem *to) { Record("moveHudRecord", from, to); },
    [](SceneItem *missile, SceneItem *goal, int32_t time) { Record("listMissile", missile, goal, time); },
    [] { Record("removeOffSystemMarkers"); },
    [](HUD *, const char *label, SceneItem *item, double x, double y, double z) {
        FakeCall &c = Record("addMarker", item);
        c.text = label ? label : "";
        c.point = {float(x), float(y), float(z)};
    },
    [](float x, float y, float z, float radius) {
        FakeCall &c = Record("buildOrbitRing", nullptr, nullptr, int(radius / 1e15f));
        c.point = {x, y, z};
    },
    [] { Record("layoutBodies"); },
    [](int system) { Record("buildSystemMeshes", nullptr, nullptr, system); },
    [](StarRecord *star) { Record("zoomToStar").text = star ? star->name : ""; },
    [](int entry) { Record("centreOnEntry", nullptr, nullptr, entry); },
    [] { Record("clearHighlights"); },
    nullptr,
};

}  // namespace

void FakeSoftParticles(TDP *, const Mat4 *) {}
void FakeThinkSimple(SceneItem *) {}

WorldFakes::WorldFakes() {
    gFakes = this;
    WorldSetPresentHooks(&kPresent);
    WorldSetAiHooks(&kAi);
    WorldSetScriptHooks(&kScript);
    WorldSetGuiHooks(&kGui);
    WorldSetHudHooks(&kHud);
}

WorldFakes::~WorldFakes() {
    WorldSetPresentHooks(nullptr);
    WorldSetAiHooks(nullptr);
    WorldSetScriptHooks(nullptr);
    WorldSetGuiHooks(nullptr);
    WorldSetHudHooks(nullptr);
    gFakes = nullptr;
}

int WorldFakes::Count(const std::string &name) const {
    int n = 0;
    for (const FakeCall &c : calls) n += c.name == name;
    return n;
}

const FakeCall *WorldFakes::Find(const std::string &name, int n) const {
    for (const FakeCall &c : calls)
        if (c.name == name && n-- == 0) return &c;
    return nullptr;
}

std::vector<std::string> WorldFakes::Names() const {
    std::vector<std::string> out;
    for (const FakeCall &c : calls) out.push_back(c.name);
    return out;
}

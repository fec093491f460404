#include "world_fakes.h"

#include "world/handle.h"
#include "world/msghandler.h"
#include "world/objlist.h"
#include "world/services.h"

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
    [](SceneItem *item) { Record("spawnRoundDestruction", item); },
    [](SceneItem *item, int r1, int, int, int, int, int) { Record("spawnSparks", item, nullptr, r1); },
    [](SceneItem *piece, const DamageRecord *, SceneItem *item) { Record("spawnImpactExplosion", piece, item); },
    [](SceneItem *piece) { Record("impactSparks", piece); },
    [](SceneItem *item, const Mat4 *, int kind, uint32_t flags, int count, int, int, float, int,
       float) -> ParticleSystem * {
        Record("createParticleSystem", item, nullptr, kind, count).text = std::to_string(flags);
        return nullptr;
    },
    [](ParticleSystem *, int r1, int, int, int r2, int, int) { Record("buildColourRamp", nullptr, nullptr, r1, r2); },
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
};

const WorldAiHooks kAi = {
    [](SceneItem *ship, const DamageRecord *r) { Record("shipHit", ship, nullptr, r->damage).record = *r; },
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
};

const WorldScriptHooks kScript = {
    [] { Record("clearDialogue"); },
    [] { return gFakes->currentMission; },
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
};

const WorldHudHooks kHud = {
    [](SceneItem *item, SceneItem *other, int kind, const char *name, const char *otherName) {
        FakeCall &c = Record("missionLogAdd", item, other, kind);
        c.text = std::string(name ? name : "") + "/" + (otherName ? otherName : "");
    },
    [](const char *text) { Record("missionLogAddText").text = text; },
    [] { ++gFakes->hudClears; },
    [](float, float, float) { ++gFakes->hudShifts; },
};

}  // namespace

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

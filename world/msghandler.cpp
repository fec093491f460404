#include "world/msghandler.h"

#include <cstring>

#include "core/frame.h"
#include "platform/sound.h"
#include "platform/video.h"
#include "world/contact.h"
#include "world/damage.h"
#include "world/docking.h"
#include "world/eventhooks.h"
#include "world/flight.h"
#include "world/handle.h"
#include "world/messages.h"
#include "world/objlist.h"
#include "world/objroutines.h"
#include "world/services.h"
#include "world/sound_place.h"
#include "world/stations.h"
#include "world/step.h"
#include "world/universe.h"

SceneItem *dunProtectedObject = nullptr;

void dunPackDamageRecord(const DamageRecord *r, uint8_t bytes[kDamageRecordSize]) {
    dunPayloadPutU32(bytes, 0, r->word0);
    dunPayloadPutF32(bytes, 4, r->point.x);
    dunPayloadPutF32(bytes, 8, r->point.y);
    dunPayloadPutF32(bytes, 12, r->point.z);
    dunPayloadPutF32(bytes, 16, r->velocity.x);
    dunPayloadPutF32(bytes, 20, r->velocity.y);
    dunPayloadPutF32(bytes, 24, r->velocity.z);
    dunPayloadPutU32(bytes, 28, uint32_t(r->damage));
    dunPayloadPutU32(bytes, 32, uint32_t(r->secondTerm));
    dunPayloadPutU32(bytes, 36, r->spare);
    dunPayloadPutF32(bytes, 40, r->mass);
    dunPayloadPutU32(bytes, 44, r->attacker);
}

bool dunReadDamageRecord(const MsgRecord *m, DamageRecord *r) {
    uint32_t damage, second;
    bool whole = dunMsgPayloadU32(m, 0, &r->word0);
    whole &= dunMsgPayloadF32(m, 4, &r->point.x);
    whole &= dunMsgPayloadF32(m, 8, &r->point.y);
    whole &= dunMsgPayloadF32(m, 12, &r->point.z);
    whole &= dunMsgPayloadF32(m, 16, &r->velocity.x);
    whole &= dunMsgPayloadF32(m, 20, &r->velocity.y);
    whole &= dunMsgPayloadF32(m, 24, &r->velocity.z);
    whole &= dunMsgPayloadU32(m, 28, &damage);
    whole &= dunMsgPayloadU32(m, 32, &second);
    whole &= dunMsgPayloadU32(m, 36, &r->spare);
    whole &= dunMsgPayloadF32(m, 40, &r->mass);
    whole &= dunMsgPayloadU32(m, 44, &r->attacker);
    r->damage = int32_t(damage);
    r->secondTerm = int32_t(second);
    return whole;
}

bool dunPostDamageRecord(uint32_t sender, uint32_t receiver, uint32_t delay, uint16_t type,
                         const DamageRecord *record) {
    uint8_t bytes[kDamageRecordSize];
    dunPackDamageRecord(record, bytes);
    return dunMsgPost(sender, receiver, delay, type, kDamageRecordSize, bytes);
}

bool dunDockAtFirstPorts(SceneItem *a, SceneItem *b) {
    DockingPort *p = dunGetDockingPort(a, 0);
    DockingPort *q = dunGetDockingPort(b, 0);
    if (!p || !q) return false;
    p->flags |= PortFlag::Open;
    q->flags |= PortFlag::Open;
    dunDockShips(a, b, p, q, 0);
    return true;
}

void dunForgetObject(SceneItem *item) {
    dunCall(dunAi().removeContact, item);
    if (item && item == dunRemoteLinked) dunLeaveRemoteControl();
    SceneItem *controlled = dunControlledObject;
    if (!item || !controlled || !controlled->sim) return;
    Sim *c = controlled->sim;
    if (c->target == item) {
        c->target = nullptr;
        if (c->flags & SimFlag::Lds) dunCall(dunGui().navStartProgram, 4, 0);
    }
    if (c->goal == item) {
        c->goal = nullptr;
        dunCall(dunAi().pickTargetFiltered);
    }
}

namespace {

bool isRound(const SceneItem *item) { return item->avatar && (item->avatar->flags & AvatarFlag::LaunchedRound); }

const char *shipName(const SceneItem *item) {
    return item && item->sim && item->sim->shipInfo ? item->sim->shipInfo->name : nullptr;
}

}  // namespace

void dunRecordDestruction(SceneItem *item, const DamageRecord *record) {
    dunForgetObject(item);
    dunCall(dunAi().passGroupFlag, item);
    SceneItem *attacker = record ? dunItemFromHandle(record->attacker) : nullptr;
    // A round's kill is its launcher's, while the launcher is there.
    if (attacker && isRound(attacker)) attacker = attacker->avatar->objectA;
    if (attacker && !(attacker->flags & SceneFlag::InUse)) attacker = nullptr;
    if (!attacker && item->avatar && item->avatar->attacker && item->avatar->attacker == dunPlayerShip)
        attacker = dunPlayerShip;
    const char *killer = shipName(attacker);
    const char *victim = shipName(item);
    if (killer && victim && std::strcmp(killer, victim) != 0)
        dunCall(dunHud().missionLogAdd, attacker, item, 2, killer, victim);
}

namespace {

enum class Next { Go, Stop };

// Objects named in a payload. A handle that no longer resolves names an
// object freed since the post: the message is dropped, never followed.
bool payloadObject(const MsgRecord *m, uint32_t offset, SceneItem **out) {
    uint32_t h = 0;
    dunMsgPayloadU32(m, offset, &h);
    *out = dunItemFromHandle(h);
    return h == kNoHandle || *out != nullptr;
}

void playAt(SceneItem *item, int sound, int32_t spread) {
    int32_t volume = -10000, pan = 0;
    SoundPositionFromCamera(item, &volume, &pan);
    SoundPlayVaried(sound, volume, 0, pan, 0, spread);
}

void destroyedRoutine(SceneItem *item, const DamageRecord *record) {
    if (item->avatar->secondHandler)
        item->avatar->secondHandler(item, record);
    else
        dunApplyDamage(item, record);
}

void scoreDestruction(SceneItem *item, SceneItem *attacker) {
    const uint32_t score = item->avatar->scoreRecord;
    SceneItem *lastAttacker = item->avatar->attacker;
    bool scored;
    if (!attacker || attacker == item)
        scored = lastAttacker ? lastAttacker == dunControlledObject : dunCall(dunAi().scoreSummary, item) > 2;
    else
        scored = attacker == dunControlledObject;
    if (scored) dunCall(dunAi().scoreKill, score);
}

void handleDestroyed(SceneItem *item, const MsgRecord *m) {
    DamageRecord r = {};
    dunReadDamageRecord(m, &r);
    // A ship is destroyed once.
    if (item->sim && (item->sim->flags & SimFlag::Dead)) return;
    SceneItem *attacker = dunItemFromHandle(r.attacker);
    scoreDestruction(item, attacker);
    const HookArgument argument = {r.point, attacker, &r};
    dunRunEventHooks(item, HookEvent::Destroyed, &argument);
    if (!(item->flags & SceneFlag::InUse)) return;
    if (item->sim) item->sim->flags |= SimFlag::Dead;
    destroyedRoutine(item, &r);
    dunCheckSceneList();
}

void handleHit(SceneItem *item, const MsgRecord *m) {
    DamageRecord r = {};
    dunReadDamageRecord(m, &r);
    const uint32_t sender = m->header.sender;
    SceneItem *attacker = dunItemFromHandle(r.attacker);
    Sim *sim = item->sim;
    if (attacker && attacker->simulator == dunSimPlasmaBall && !(sim && (sim->flags & SimFlag::Protected))) {
        if (item == dunPlayerShip) {
            dunPostDamageRecord(sender, item->receiverId, 0, MsgDestroyed, &r);
        } else {
            playAt(item, 10, 8000);
            dunMsgPost(item->receiverId, item->receiverId, 0, MsgRemove, 0, nullptr);
        }
    }
    playAt(item, 20, 2000);
    if (sim && sim->shipInfo) {
        dunCall(dunAi().shipHit, item, &r);
    } else if (sim) {
        const int32_t damage = r.damage < 1 ? 1 : r.damage;
        const int32_t before = sim->hull;
        const int64_t after = int64_t(before) - damage;
        sim->hull = after < INT32_MIN ? INT32_MIN : int32_t(after);
        dunCall(dunPresent().addMinorExplosion, item, 14, 0, &r.point);
        // Only the hit that takes the hull below 0 destroys: later hits
        // before the destruction is handled add nothing to the kill log.
        if (before >= 0 && sim->hull < 0) {
            dunRecordDestruction(item, &r);
            dunPostDamageRecord(sender, item->receiverId, 0, MsgDestroyed, &r);
        }
    }
    dunCheckSceneList();
}

void handleTimedDetonation(SceneItem *item) {
    SceneItem *goal = item->sim ? item->sim->goal : nullptr;
    if (goal && (goal->flags & SceneFlag::InUse) && ObjectDistance(item, goal, nullptr) < 450000.0) return;
    playAt(item, 10, 8000);
    DamageRecord r = {};
    r.attacker = dunHandleOf(item);
    destroyedRoutine(item, &r);
}

void enablePort(SceneItem *item, const MsgRecord *m) {
    uint16_t n = 0;
    // A message without a port number (the end of a stun) opens no port.
    if (!dunMsgPayloadU16(m, 0, &n)) return;
    if (DockingPort *p = dunGetDockingPort(item, n)) p->flags |= PortFlag::Open;
}

void handleDocked(SceneItem *item, SceneItem *partner) {
    if (!partner || !dunDockAtFirstPorts(item, partner)) return;
    HookArgument argument = {};
    argument.other = partner;
    dunRunEventHooks(item, HookEvent::Docked, &argument);
    if (!(item->flags & SceneFlag::InUse)) return;
    playAt(item, 30, 2000);
    dunCall(dunPresent().eventCamera, item, partner, 0);
}

void handleSidePartner(SceneItem *item, SceneItem *other) {
    const ShipInfo *own = item->sim ? item->sim->shipInfo : nullptr;
    const ShipInfo *theirs = other && other->sim ? other->sim->shipInfo : nullptr;
    const int16_t otherSide = theirs ? theirs->side : 0;
    if (own && own->side != 0 && own->side != otherSide && dunCall(dunScript().currentMission) != 14) return;
    item->avatar->sidePartner = other;
}

bool docked(const SceneItem *item) {
    if (!item->sim || !item->sim->shipInfo) return false;
    for (const DockingPort *p = item->sim->shipInfo->ports; p; p = p->next)
        if (p->flags & PortFlag::Docked) return true;
    return false;
}

void handleJumpDepart(SceneItem *item, int32_t number) {
    if (number > 0) {
        uint8_t relay[4];
        dunPayloadPutU32(relay, 0, uint32_t(number));
        dunRelayJumpToPartners(item, relay);
    } else {
        number = -number;
    }
    uint8_t payload[4];
    dunPayloadPutU32(payload, 0, uint32_t(number));
    dunMsgPost(item->receiverId, item->receiverId, 85, MsgJumpArrive, 4, payload);
    if (item->sim) item->sim->flags |= SimFlag::Jumping;
    dunCall(dunPresent().spawnDepartureBurst, item);
    dunCall(dunPresent().eventCamera, item, nullptr, 10);
}

void handleJumpArrive(SceneItem *item, int32_t number) {
    if (item == dunPlayerShip) {
        dunCall(dunGui().closeComArm);
        dunCall(dunScript().clearDialogue);
        SoundPauseAll();
        const int32_t mission = dunCall(dunScript().currentMission);
        const char *film = docked(item) || mission == 29 || mission == 14 ? "vek\\resource\\video\\hyper2.smk"
                                                                          : "vek\\resource\\video\\hyper.smk";
        if (PlayVideo(film)) VideoPlaying = 1;
        gSystemTransferPending = 1;
        if (number != 0) {
            dunPendingStarSystem = number;
            gTransferBody = dunFindBody(number, nullptr);
        }
    } else if (int32_t(item->systemNumber) != number) {
        if (item->sim) item->sim->flags &= ~SimFlag::Jumping;
        dunCall(dunPresent().placeExplosion, item);
        item->systemNumber = uint16_t(number);
        dunParkSceneItem(item, 0.0, 0.0, 0.0);
        if (item->sim) item->sim->flags |= SimFlag::PlaceNearNav;
        dunForgetObject(item);
        dunCall(dunPresent().eventCamera, item, nullptr, 11);
    } else {
        dunCall(dunPresent().eventCamera, item, nullptr, 11);
    }
    dunCheckSceneList();
}

void handleLdsDropOut(SceneItem *item) {
    Sim *sim = item->sim;
    if (!sim) return;
    if ((sim->flags & SimFlag::Lds) && !(sim->flags & SimFlag::LdsBlocked)) {
        dunDropLds(item);
        sim->demandSpeed = 0.0f;
    }
    sim->flags |= SimFlag::LdsBlocked;
    if (item == dunControlledObject) dunTimeScale = 1.0f;
    if (item->avatar->flags & AvatarFlag::BeamRound) return;
    if (dunMsgDelayType(item, 300, MsgInterdictionOff) == 0)
        dunMsgPost(item->receiverId, item->receiverId, 250, MsgInterdictionOff, 0, nullptr);
}

void handleTimedStateOn(SceneItem *item) {
    if (item->sim) item->sim->flags |= SimFlag::TimedState;
    if (dunMsgDelayType(item, 200, MsgTimedStateOff) == 0) {
        dunMsgPost(item->receiverId, item->receiverId, 200, MsgTimedStateOff, 0, nullptr);
        dunTimedStateCountdown = 2.0f;
    }
}

void setSimFlags(SceneItem *item, uint32_t set, uint32_t clear) {
    if (item->sim) item->sim->flags = (item->sim->flags | set) & ~clear;
}

void markPartsCollidable(TDP *node) {
    if (!node) return;
    if ((node->flags & TDPFlag::HasActor) && !(node->flags & TDPFlag::Particle)) node->flags |= TDPFlag::Collidable;
    markPartsCollidable(node->child);
    markPartsCollidable(node->sibling);
}

Next handle(SceneItem *item, const MsgRecord *m) {
    Sim *sim = item->sim;
    SceneItem *object = nullptr;
    uint32_t word = 0;
    switch (m->header.type) {
    case MsgRemove:
        dunDeleteSceneItem(item);
        dunRecordDestruction(item, nullptr);
        dunCheckSceneList();
        return Next::Stop;
    case MsgDetachPart:
        if (TDP *node = dunMsgPayloadNode(m, 0)) dunDetachNode(node);
        return Next::Stop;
    case MsgPartsCollidable:
        markPartsCollidable(item->avatar->root);
        break;
    case MsgSetContactHandler:
        // The routine travels as its id; an id that names no routine is dropped.
        dunMsgPayloadU32(m, 0, &word);
        if (word == kNoHandle || dunRoutineFromHandle(word))
            item->avatar->contactHandler = reinterpret_cast<ContactHandler>(dunRoutineFromHandle(word));
        break;
    case MsgSetGoal:
        if (payloadObject(m, 0, &object) && sim && !(sim->flags & SimFlag::GoalProtected) &&
            !(object && object == dunProtectedObject))
            sim->goal = object;
        break;
    case MsgDestroyed: handleDestroyed(item, m); break;
    case MsgHit: handleHit(item, m); break;
    case MsgPartnerReleased:
        if (payloadObject(m, 0, &object) && object && item->avatar->partner == object) item->avatar->partner = nullptr;
        break;
    case MsgUndock: dunUndock(item); break;
    case MsgTimedDetonation: handleTimedDetonation(item); break;
    case MsgPortEnable: enablePort(item, m); break;
    case MsgDocked:
        if (payloadObject(m, 0, &object)) handleDocked(item, object);
        break;
    case MsgSidePartner:
        if (payloadObject(m, 0, &object)) handleSidePartner(item, object);
        break;
    case MsgJumpDepart:
        dunMsgPayloadU32(m, 0, &word);
        handleJumpDepart(item, int32_t(word));
        break;
    case MsgJumpArrive:
        dunMsgPayloadU32(m, 0, &word);
        handleJumpArrive(item, int32_t(word));
        break;
    case MsgFixedAttack: dunCall(dunAi().assignFixedAttack, item); break;
    case MsgLdsDropOut: handleLdsDropOut(item); break;
    case MsgInterdictionOff: setSimFlags(item, 0, SimFlag::LdsBlocked); break;
    case MsgImpact: {
        Vec3 point = {}, velocity = {};
        dunMsgPayloadF32(m, 0, &point.x);
        dunMsgPayloadF32(m, 4, &point.y);
        dunMsgPayloadF32(m, 8, &point.z);
        dunMsgPayloadF32(m, 12, &velocity.x);
        dunMsgPayloadF32(m, 16, &velocity.y);
        dunMsgPayloadF32(m, 20, &velocity.z);
        dunMsgPayloadU32(m, 24, &word);
        dunCall(dunAi().impactGeometry, item, &point, &velocity, word);
        break;
    }
    case MsgViewShake: {
        dunMsgPayloadU32(m, 0, &word);
        const int32_t strength = int32_t(word);
        const int64_t time = int64_t(strength) + 25;
        dunCall(dunPresent().viewShake, int32_t(time < 450 ? time : 450), strength);
        break;
    }
    case MsgRepairTick:
        if (item != dunPlayerShip && sim && sim->shipInfo) dunSubsystemFaultTick(item);
        return Next::Stop;
    case MsgTimedStateOn: handleTimedStateOn(item); break;
    case MsgTimedStateOff: setSimFlags(item, 0, SimFlag::TimedState); break;
    case MsgScoreRecordGone: {
        dunMsgPayloadU32(m, 0, &word);
        ShipInfo *ship = sim ? sim->shipInfo : nullptr;
        const uint32_t *record = dunCall(dunAi().findScoreRecord, word);
        if (ship && record && *record == ship->scoreWord) ship->scoreWord = 0;
        break;
    }
    case MsgRetarget: {
        SceneItem *old = nullptr;
        if (payloadObject(m, 0, &object) && payloadObject(m, 4, &old) && sim &&
            (item->avatar->flags & AvatarFlag::MunitionRound) && old && sim->goal == old) {
            sim->goal = object;
            sim->target = object;
        }
        break;
    }
    case MsgRelease:
        setSimFlags(item, 0, SimFlag::AiPaused | SimFlag::LdsBlocked);
        enablePort(item, m);
        break;
    case MsgClearRamFlag: setSimFlags(item, 0, SimFlag::RamsShields); break;
    case MsgMissileWarning:
        if (payloadObject(m, 0, &object) && object && object->sim && object->sim->goal == item)
            dunCall(dunAi().fireSpecialWeapon, item, object);
        break;
    case MsgFeedText: dunCall(dunGui().postPendingFeedText, 1); return Next::Stop;
    default: break;
    }
    return Next::Go;
}

}  // namespace

void dunHandleMessages(SceneItem *item) {
    if (!item || !item->avatar) return;
    MsgRecord m;
    while (dunMsgReceive(item->receiverId, &m)) {
        if (handle(item, &m) == Next::Stop) return;
        // A routine it ran may have deleted or parked it; its receiver id
        // may already belong to a new object.
        if (!(item->flags & SceneFlag::InUse)) return;
    }
}

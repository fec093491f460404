#include "world/objlist.h"

#include "world/engineering.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "RES/resman.h"
#include "RES/util.h"
#include "RES/vecmath.h"
#include "core/frame.h"
#include "core/log.h"
#include "platform/sound.h"
#include "world/belts.h"
#include "world/docking.h"
#include "world/engineering.h"
#include "world/eventhooks.h"
#include "world/flight.h"
#include "world/lds.h"
#include "world/messages.h"
#include "world/mission_state.h"
#include "world/msghandler.h"
#include "world/objroutines.h"
#include "world/pools.h"
#include "world/services.h"
#include "world/stations.h"
#include "world/step.h"
#include "world/universe.h"

SceneItem *dunCurrentItem = nullptr;
SceneItem *dunPlayerShip = nullptr;
SceneItem *dunControlledObject = nullptr;
SceneItem *dunPlayerCamera = nullptr;
uint8_t dunPlayerDestroyed = 0;
uint32_t dunSceneListChanges = 0;

const float dunKillValues[kKillValueCount] = {7.5f, 4.5f, 5.0f, 0.0f, 3.0f, 5.0f, 6.0f, 1.0f, 1.0f, 5.5f,
                                              0.0f, 0.0f, 0.0f, 3.0f, 6.5f, 4.0f, 0.0f, 0.0f, 0.0f, 0.0f};

namespace {

SceneItem sceneHead = {};
SceneItem parkedHead = {};

// Flight blocks of rounds, kept in a chain so that the world reset can
// return them.
struct RoundFlight {
    FlightParams block;
    RoundFlight *next;
};
RoundFlight *roundFlights = nullptr;

void emptyRing(SceneItem *head) {
    ++dunSceneListChanges;
    head->next = head;
    head->prev = head;
}

void unlink(SceneItem *item) {
    ++dunSceneListChanges;
    if (item->next && item->prev) {
        item->prev->next = item->next;
        item->next->prev = item->prev;
    }
    item->next = nullptr;
    item->prev = nullptr;
}

void insertBefore(SceneItem *pos, SceneItem *item) {
    ++dunSceneListChanges;
    item->next = pos;
    item->prev = pos->prev;
    pos->prev->next = item;
    pos->prev = item;
}

void ensureRings() {
    if (!sceneHead.next) emptyRing(&sceneHead);
    if (!parkedHead.next) emptyRing(&parkedHead);
    if (!dunCurrentItem) dunCurrentItem = &sceneHead;
}

bool inRing(const SceneItem *head, const SceneItem *item) {
    int guard = 0;
    for (const SceneItem *it = head->next; it && it != head && guard <= kMaxSceneItems; it = it->next, ++guard)
        if (it == item) return true;
    return false;
}

TDP *newNodeAt(void *model, float x, float y, float z, SceneItem *owner) {
    TDP *n = dunNewTDP();
    n->offset = {x, y, z};
    MatTranslate(x, y, z, n->local);
    n->model = model;
    n->owner = owner;
    return n;
}

void freeChannels(TDP *node) {
    NodeChannel *c = node->channels;
    while (c) {
        NodeChannel *next = c->next;
        std::free(c);
        c = next;
    }
    node->channels = nullptr;
}

// The display resources of one node, as deletion releases them.
void releaseNode(TDP *node) {
    if (node->flags & TDPFlag::Particle) {
        auto *ps = static_cast<ParticleSystem *>(node->particleOrMaterial);
        if (ps) {
            dunFree(ps->extras);
            ps->extras = nullptr;
            ps->flags &= ~1u;
        }
        node->flags &= ~TDPFlag::HasActor;
        dunCall(dunPresent().removeActor, node);
    } else if (node->flags & TDPFlag::HasActor) {
        if (node->flags & TDPFlag::OwnsModel) dunCall(dunPresent().removeAndFreeNodeModel, node);
        dunCall(dunPresent().removeActor, node);
    }
    if (node->flags & TDPFlag::OwnsMaterial) dunCall(dunPresent().removeAndFreeNodeMaterial, node);
    // Channels are heap nodes of this node alone; they go with it.
    freeChannels(node);
    node->flags &= ~TDPFlag::InUse;
}

// What the per-frame re-centring of the world needs of the object list.
bool recentrePlayer(Vec3d *position, bool *fastDrive) {
    if (!dunPlayerShip || !dunPlayerShip->sim) return false;
    *position = dunPlayerShip->sim->position;
    *fastDrive = (dunPlayerShip->sim->flags & SimFlag::Lds) != 0;
    return true;
}

void recentreEach(void (*visit)(WorldPositionRef object, void *context), void *context) {
    for (SceneItem *it = sceneHead.next, *next; it && it != &sceneHead; it = next) {
        next = it->next;
        if (it->sim) visit(WorldPositionRef{&it->sim->position, reinterpret_cast<Vec3 *>(&it->sim->matrix.m[12])}, context);
    }
}

void shiftHud(float dx, float dy, float dz) {
    dunCall(dunHud().shiftPositions, dx, dy, dz);
}

const WorldRecentreHooks recentreHooks = {recentrePlayer, recentreEach, shiftHud};

void freeRoundFlights() {
    while (roundFlights) {
        RoundFlight *next = roundFlights->next;
        std::free(roundFlights);
        roundFlights = next;
    }
}

}  // namespace

SceneItem *dunSceneListHead() {
    ensureRings();
    return &sceneHead;
}

SceneItem *dunParkedListHead() {
    ensureRings();
    return &parkedHead;
}

bool dunIsInSceneList(const SceneItem *item) {
    ensureRings();
    return inRing(&sceneHead, item);
}

SceneItem *dunNextObjectWithFlags(SceneItem *item, uint32_t mask) {
    ensureRings();
    if (!item) return nullptr;
    for (SceneItem *it = item->next; it && it != &sceneHead; it = it->next)
        if (it->avatar && (it->avatar->flags & mask) == mask) return it;
    return nullptr;
}

SceneItem *dunFirstObjectWithFlags(uint32_t mask) { return dunNextObjectWithFlags(dunSceneListHead(), mask); }

SceneItem *dunLinkSceneItem(SceneItem *item, uint32_t flags) {
    ensureRings();
    if (!item || inRing(&sceneHead, item)) return item;
    item->flags |= flags;
    if (item->flags & SceneFlag::Appended) {
        insertBefore(&sceneHead, item);
        if (dunCurrentItem == &sceneHead) dunCurrentItem = item;
    } else {
        insertBefore(dunCurrentItem, item);
    }
    dunCheckSceneList();
    return item;
}

void dunMoveNextToCurrent(SceneItem *item) {
    ensureRings();
    if (dunCurrentItem == item) dunCurrentItem = item->next;
    unlink(item);
    item->flags |= SceneFlag::Appended;
    if (dunCurrentItem == &sceneHead) {
        insertBefore(&sceneHead, item);
        dunCurrentItem = item;
    } else {
        insertBefore(dunCurrentItem->next, item);
    }
    dunCheckSceneList();
}

void dunMoveToFront(SceneItem *item) {
    ensureRings();
    if ((item->flags & SceneFlag::Appended) || sceneHead.next == item) return;
    unlink(item);
    insertBefore(sceneHead.next, item);
    dunCheckSceneList();
}

bool dunCheckSceneList() {
    if (!sceneHead.next) return true;
    // A ring that never comes back to the head is as broken as a null link.
    int steps = 0;
    for (SceneItem *it = sceneHead.next; it != &sceneHead; it = it->next) {
        if (!it || ++steps > kMaxSceneItems + 1) {
            dunFatalError("SceneList has lost its integrity");
        }
    }
    return true;
}

void dunReleaseTreeActors(TDP *node) {
    if (!node) return;
    dunReleaseTreeActors(node->child);
    dunReleaseTreeActors(node->sibling);
    if (node->actor) dunCall(dunPresent().removeActor, node);
    node->actor = nullptr;
}

void dunParkSceneItem(SceneItem *item, double dx, double dy, double dz) {
    ensureRings();
    if (dunCurrentItem == item) dunCurrentItem = item->next;
    if (item->sim) {
        item->sim->position.x -= dx;
        item->sim->position.y -= dy;
        item->sim->position.z -= dz;
    }
    unlink(item);
    if (item->avatar) dunReleaseTreeActors(item->avatar->root);
    insertBefore(&parkedHead, item);
}

namespace {
void addActors(TDP *node) {
    if (!node) return;
    addActors(node->child);
    addActors(node->sibling);
    if (node->flags & TDPFlag::HasActor) {
        if (node->flags & TDPFlag::Particle)
            dunCall(dunPresent().addToScene, node, node->particleOrMaterial, 1, 0);
        else
            dunCall(dunPresent().addToScene, node, node->model, 0, 0);
    }
}
}  // namespace

void dunTranslateSceneItem(SceneItem *item, double dx, double dy, double dz) {
    ensureRings();
    if (Sim *s = item->sim) {
        s->position.x += dx;
        s->position.y += dy;
        s->position.z += dz;
        s->matrix.m[12] = float(s->position.x);
        s->matrix.m[13] = float(s->position.y);
        s->matrix.m[14] = float(s->position.z);
    }
    if (dunCurrentItem == item) dunCurrentItem = item->next;
    unlink(item);
    if (item->avatar) addActors(item->avatar->root);
    dunLinkSceneItem(item, 0);
}

// ---------------------------------------------------------------------------
// Creation

SceneItem *dunCreateSceneItem() {
    SceneItem *item = dunAllocSceneItem();
    if (!item) {
        dunFatalError("No more SceneItems left");
    }
    Avatar *avatar = dunAllocAvatar();
    if (!avatar) {
        item->flags &= ~SceneFlag::InUse;
        dunFatalError("No more Avatars left");
    }
    item->avatar = avatar;
    return item;
}

Sim *dunAttachSim(SceneItem *item, SimulatorRoutine simulator) {
    Sim *sim = dunAllocSim();
    if (!sim) dunFatalError("No more Sims left");
    sim->timeStamp = uint32_t(dunGameClock);
    sim->weaponCount = 0;
    sim->weapons = nullptr;
    sim->componentCount = 0;
    sim->components = nullptr;
    MatIdentity(sim->matrix);
    item->sim = sim;
    item->simulator = simulator;
    return sim;
}

void dunSetControlRoutine(SceneItem *item, ControlRoutine routine) { item->control = routine; }

void dunSetDrawRoutines(SceneItem *item, ModelUpdateRoutine modelUpdate, PresentationRoutine presentation) {
    item->avatar->modelUpdate = modelUpdate;
    item->avatar->presentation = presentation;
}

uint32_t dunSetMessageHandler(SceneItem *item, MessageHandler handler) {
    item->messageHandler = handler;
    // A second handler must not leave the first receiver allocated.
    if (dunMsgIsReceiver(item->receiverId)) dunMsgFreeReceiver(item->receiverId);
    item->receiverId = dunMsgNewReceiver();
    return item->receiverId;
}

TDP *dunNewTDP() {
    TDP *node = dunAllocTDP();
    if (!node) dunFatalError("No more TDPs left");
    MatIdentity(node->local);
    node->actor = nullptr;
    node->routine = dunPresent().syncActor;
    node->flags = TDPFlag::InUse | TDPFlag::Collidable;
    node->colour[0] = node->colour[1] = node->colour[2] = 255;
    return node;
}

TDP *dunAttachTDP(SceneItem *item) {
    TDP *node = dunNewTDP();
    node->owner = item;
    item->avatar->root = node;
    return node;
}

TDP *dunAddChildTDP(TDP *parent, void *model, float x, float y, float z) {
    TDP *n = newNodeAt(model, x, y, z, parent->owner);
    if (!parent->child) {
        parent->child = n;
    } else {
        TDP *last = parent->child;
        while (last->sibling) last = last->sibling;
        last->sibling = n;
    }
    return n;
}

TDP *dunAddSiblingTDP(TDP *node, void *model, float x, float y, float z) {
    TDP *n = newNodeAt(model, x, y, z, node->owner);
    // The new node takes the sibling link; the old sibling chain follows it
    // rather than being lost with its pool records.
    n->sibling = node->sibling;
    node->sibling = n;
    return n;
}

TDP *dunAppendTDP(TDP *node, void *model, float x, float y, float z) {
    if (node->child) {
        TDP *last = node->child;
        while (last->sibling) last = last->sibling;
        return dunAddSiblingTDP(last, model, x, y, z);
    }
    return dunAddChildTDP(node, model, x, y, z);
}

void dunInitFlightParams(FlightParams *b, float p1, float p2, uint32_t p3, uint32_t p4, float p5, float p6,
                         float p7, float p8) {
    // A wreck's zero turn rates give infinite derived figures by design.
    b->p1 = p1;
    b->p2 = p2;
    b->p3 = p3;
    b->p4 = p4;
    // A drive whose growth the speed laws cannot use (they would divide by
    // zero or take the log of 0) is refused: the ship has no LDS drive.
    if (p4 != 0 && !dunLdsGrowthUsable(p3)) {
        dunDebugPrintf("LDS drive refused: growth %u", unsigned(p3));
        b->p4 = 0;
    }
    b->p300 = 300.0f;
    b->turnRates[0] = b->workRates[0] = p5;
    b->turnRates[1] = b->workRates[1] = p6;
    b->turnRates[2] = b->workRates[2] = p7;
    b->p8x100 = p8 * 100.0f;
    if (p5 > p6)
        b->d1 = 480.0f / p6 + 240.0f / p5;
    else
        b->d1 = 480.0f / p5 + 480.0f / p6;
    b->d2 = b->d1 * p8 + (p8 / p1) * 1.2f + 50.0f * p2;
    b->d3 = p1 * 180.0f / p6;
    b->d4 = 50.0f * p2;
    b->cleared = 0;
    b->clearedByte = 0;
    b->spare17[0] = b->spare17[1] = b->spare17[2] = 0;
    b->tail[0] = 0.1f;
    b->tail[1] = 0.3f;
    b->tail[2] = 100.0f;
    b->spare21 = 0;
}

FlightParams *dunNewFlightParams(float p1, float p2, float p5, float p6, float p7, float p8) {
    auto *r = static_cast<RoundFlight *>(std::calloc(1, sizeof(RoundFlight)));
    if (!r) return nullptr;
    r->next = roundFlights;
    roundFlights = r;
    dunInitFlightParams(&r->block, p1, p2, 0, 0, p5, p6, p7, p8);
    return &r->block;
}

void dunScaleShipPerformance(SceneItem *item) {
    if (!item || item == dunPlayerShip || !item->sim || !item->sim->shipInfo) return;
    ShipInfo *s = item->sim->shipInfo;
    const double level = s->skill;
    const double factor = level >= 50 ? 1.0 + (level - 50.0) / 150.0 : 1.0 + (level - 50.0) / 200.0;
    s->current.p1 = float(s->nominal.p1 * factor);
    for (int i = 0; i < 3; ++i) {
        s->current.turnRates[i] = float(s->nominal.turnRates[i] * factor);
        s->current.workRates[i] = float(s->nominal.workRates[i] * factor);
    }
}

// ---------------------------------------------------------------------------
// Trees and queries

int CountNodeInTree(const TDP *root, const TDP *node) {
    if (!root) return 0;
    if (root == node) return 1;
    return CountNodeInTree(root->child, node) + CountNodeInTree(root->sibling, node);
}

TDP *FindNodeById(SceneItem *item, TDP *node, TDP ***slot) {
    if (slot) *slot = nullptr;
    if (!item || !item->avatar || !item->avatar->root || item->avatar->root == node) return nullptr;
    return TreeFindLinkSlotOf<TDP, &TDP::child, &TDP::sibling>(nullptr, item->avatar->root, node, slot);
}

double ObjectDistance(const SceneItem *a, const SceneItem *b, Vec3 *difference) {
    const float *ma = a->sim ? a->sim->matrix.m : a->avatar->matrix.m;
    const float *mb = b->sim ? b->sim->matrix.m : b->avatar->matrix.m;
    Vec3 d = {ma[12] - mb[12], ma[13] - mb[13], ma[14] - mb[14]};
    if (difference) *difference = d;
    return VecLength(d);
}

void dunComputeModelRadius(TDP *node) {
    if (!node || (node->flags & (TDPFlag::Particle | TDPFlag::Joint | TDPFlag::ViewNode))) return;
    if (!node->model) {
        node->radius = 13.0f;
        return;
    }
    float best = 0.0f;
    Vec3 v;
    for (int i = 0; dunCall(dunPresent().modelVertex, node->model, i, &v); ++i) {
        float len = VecLengthApprox(v);
        if (len > best) best = len;
    }
    node->radius = best;
}

void dunDetachNode(TDP *node) {
    if (!node || !node->owner || !node->owner->avatar) return;
    SceneItem *owner = node->owner;
    TDP **link = nullptr;
    if (owner->avatar->root == node)
        link = &owner->avatar->root;
    else
        FindNodeById(owner, node, &link);
    TDP *replacement;
    if (node->child && node->sibling) {
        replacement = dunNewTDP();
        replacement->flags = (replacement->flags | TDPFlag::Joint) & ~TDPFlag::Collidable;
        replacement->owner = owner;
        replacement->child = node->child;
        replacement->sibling = node->sibling;
    } else if (!node->child) {
        replacement = node->sibling;
    } else {
        replacement = node->child;
    }
    if (link) *link = replacement;
    node->child = nullptr;
    node->sibling = nullptr;
    releaseNode(node);
}

// ---------------------------------------------------------------------------
// Deletion

void dunReleaseTree(SceneItem *item, TDP *node) {
    // A free node's links are not to be trusted; a node of another owner
    // stays, but the walk goes on below it.
    if (!node || !(node->flags & TDPFlag::InUse)) return;
    dunReleaseTree(item, node->child);
    dunReleaseTree(item, node->sibling);
    if (node->owner == item) releaseNode(node);
}

int32_t dunDeletedObjectCount;

SceneItem *dunDeleteSceneItem(SceneItem *item) {
    ensureRings();
    if (!item) return nullptr;
    if (dunCurrentItem == item) dunCurrentItem = item->next ? item->next : &sceneHead;
    if (item->linkRecord) static_cast<void **>(item->linkRecord)[1] = nullptr;
    if (item == dunPlayerShip) dunCreatePlayerWreck(item);
    if (!(item->flags & SceneFlag::InUse)) {
        dunFatalError("Can't delete non-current SceneItem");
    }
    ++dunDeletedObjectCount;
    for (SceneItem *it = sceneHead.next; it != &sceneHead; it = it->next) {
        if (it->avatar && it->avatar->attacker == item) {
            it->avatar->attacker = nullptr;
            it->avatar->attackCount = 0;
        }
    }
    if (item->systemNumber == dunCurrentSystem) {
        if ((item->flags & SceneFlag::BeltTracked) && item->sim && item->sim->shipInfo) {
            dunRecycleBeltObject(item);
            return nullptr;
        }
        if (item->flags & SceneFlag::Asteroid) dunCreateAsteroid();
    }
    dunCall(dunAi().removeContact, item);
    // A parked object is out of the world: it stays parked with its records
    // and comes back when its system does.
    if (!inRing(&sceneHead, item)) return nullptr;
    if (item->flags & SceneFlag::Counted) --dunMissionCounter;
    if (item->flags & SceneFlag::Tracked) dunUntrackObject(item);

    unlink(item);
    // Its hooks would otherwise stay taken from the Action pool (30 records)
    // until the mission ends.
    dunReleaseEventHooks(item);
    item->flags &= ~SceneFlag::InUse;
    item->releaseFrame = dunFrameCounter;
    if (item->avatar) item->avatar->flags16 &= ~AvatarState::InUse;
    if (item->sim) item->sim->flags &= ~SimFlag::InUse;

    if (item->sim && item->sim->shipInfo) {
        ShipInfo *ship = item->sim->shipInfo;
        dunUndockAll(item);
        dunCall(dunAi().clearWeapons, item);
        ship->flags &= ~ShipFlag::InUse;
        if (ship->flags & ShipFlag::GroupHolder) {
            uint32_t score = item->avatar ? item->avatar->scoreRecord : 0;
            dunMsgBroadcast(item->receiverId, 4, 26, 4, &score);
        }
        // Type codes come from scripts: past the table they weigh nothing.
        const float kill = ship->typeCode < kKillValueCount ? dunKillValues[ship->typeCode] : 0.0f;
        const double ratio = item->sim->radius / 5000.0;
        const double weight = ratio * ratio > 1.0 ? ratio * ratio : 1.0;
        // A huge radius weighs a great deal, but the total saturates rather
        // than wrap round to a negative score.
        const double total = double(dunDestructionTotal) + (kill * weight < 2e9 ? int32_t(kill * weight) : 2000000000);
        dunDestructionTotal = total < 2147483647.0 ? int32_t(total) : INT32_MAX;
    }
    if (item->avatar && item->avatar->root) dunReleaseTree(item, item->avatar->root);

    dunMsgFreeReceiver(item->receiverId);
    dunCall(dunScript().cancelDialogue, item);
    if (item->avatar && item->avatar->engineSound) {
        EngineSoundSlot *engine = item->avatar->engineSound;
        engine->owner = nullptr;
        engine->distance = 1e24f;
        if (engine->slot) SoundSetVolume(engine->slot, -10000);
    }
    return item;
}

SceneItem *dunCreatePlayerWreck(SceneItem *ship) {
    // The script names the model's resource; the resource manager has its data.
    void *symbol = dunCall(dunScript().symbolValue, "CorpseMd");
    void *model = symbol ? resmanLoad(static_cast<ResourceHandle *>(symbol)) : nullptr;
    SceneItem *wreck = dunCreateSceneItem();
    dunLinkSceneItem(wreck, 0);
    dunSetControlRoutine(wreck, nullptr);
    Sim *sim = dunAttachSim(wreck, dunSimSpawnedNode);
    dunSetDrawRoutines(wreck, dunCopySimToModel, dunPresent().presentation);
    TDP *root = dunAttachTDP(wreck);

    // The remains take the motion of the ship that was destroyed (not of
    // whatever the player controls at the moment, a turret for one).
    const Sim *from = ship && ship->sim ? ship->sim
                      : dunControlledObject && dunControlledObject->sim ? dunControlledObject->sim
                                                                        : nullptr;
    if (from) {
        sim->matrix = from->matrix;
        sim->previous = from->previous;
        sim->velocity = from->velocity;
        sim->position = from->position;
    }
    if (VecLengthApprox(sim->velocity) < 2000.0f) {
        sim->velocity = {sim->matrix.m[8] * 2000.0f, sim->matrix.m[9] * 2000.0f, sim->matrix.m[10] * 2000.0f};
    }

    root->flags = (root->flags | TDPFlag::HasActor) & ~TDPFlag::Collidable;
    wreck->yawSpin = float(dunRand15() % 50 - 25);
    wreck->pitchSpin = float(dunRand15() % 50 - 25);
    sim->speed = 50.0f;
    root->model = model;
    dunSetMessageHandler(wreck, dunHandleMessages);
    dunCall(dunPresent().addToScene, root, model, 2, 0);
    // Without the model (or its collision shape) the radius comes from the
    // model's vertices, or the default.
    if (model && root->collision)
        root->radius = root->collision->size;
    else
        dunComputeModelRadius(root);
    sim->radius = root->radius;

    if (!sim->shipInfo) {
        sim->shipInfo = dunAllocShipInfo();
        sim->flight = &sim->shipInfo->current;
    }
    ShipInfo *info = sim->shipInfo;
    info->typeCode = 4;
    info->wreckWords[0] = 3;
    info->wreckWords[1] = 0;
    dunCall(dunScript().defaultShipClassSetup, wreck, "Debris");
    info->className = "Body";
    info->name = "CNV-301";
    dunInitFlightParams(&info->current, 10.0f, 10.0f, 0, 0, 0, 0, 0, 200000.0f);

    dunCall(dunGui().playerShipLost);
    dunPlayerShip = wreck;
    dunControlledObject = wreck;
    dunCall(dunGui().followWreck, wreck);
    dunCall(dunPresent().eventCamera, wreck, nullptr, 5);
    dunPlayerDestroyed = 1;
    dunMissionSuccess = 0;
    dunMissionEndCountdown = 1000;
    dunMissionEndWord = 0;
    dunCall(dunScript().clearDialogue);
    dunTimeScale = 1.0f;
    if (ship && ship->avatar && ship->avatar->engineSound && ship->avatar->engineSound->slot)
        SoundSetVolume(ship->avatar->engineSound->slot, -10000);
    return wreck;
}

void dunResetObjectLists() {
    emptyRing(&sceneHead);
    emptyRing(&parkedHead);
    dunCurrentItem = &sceneHead;
    WorldSetRecentreHooks(&recentreHooks);
    dunPlayerShip = nullptr;
    dunControlledObject = nullptr;
    dunEngineeringShip = nullptr;
    dunDeletedObjectCount = 0;
    dunPlayerDestroyed = 0;
    dunLastPlasmaBall = nullptr;
    dunProtectedObject = nullptr;
    dunTimeScale = 1.0f;
    dunCall(dunScript().resetDialogueQueue);
    dunClearBeltTracking();
    dunResetFlightControl();
    dunResetObjectRoutines();
    dunResetStations();
    freeRoundFlights();
}

void dunResetWorld() {
    dunResetPools();
    dunResetObjectLists();
    dunMsgReset();
    dunCall(dunHud().clearList);
    dunCall(dunPresent().resetCameraWords);
}

bool dunCheckFloat(float value) {
    // These are the two quiet-NaN patterns; real infinities pass.
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    if (bits == 0xFFC00000u) dunFatalError("Infinity Error -");
    if (bits == 0x7FC00000u) dunFatalError("Infinity Error +");
    return true;
}


#include "world/step.h"

#include <cstdlib>

#include "RES/vecmath.h"
#include "core/frame.h"
#include "core/profiler.h"
#include "platform/sound.h"
#include "world/belts.h"
#include "world/collision.h"
#include "world/docking.h"
#include "world/engineering.h"
#include "world/flight.h"
#include "world/messages.h"
#include "world/mission_state.h"
#include "world/objlist.h"
#include "world/objroutines.h"
#include "world/services.h"
#include "world/sound_place.h"

uint8_t dunHoldA = 0;
uint8_t dunHoldB = 0;
int32_t dunHoldC = 0;
uint8_t dunLookOnly = 0;
uint8_t dunStopStep = 0;
uint8_t dunNoCollision = 0;
uint8_t dunStopWalk = 0;
float dunTimedStateCountdown = 0.0f;
int32_t dunSimulatedCount = 0;
int32_t dunAmbienceVolume = 0;
SoundSlot *dunAmbienceSlots[2] = {nullptr, nullptr};
int32_t dunBeepTimer = 0;
ThreatEntry dunNearestThreats[4] = {{nullptr, 1e8f}, {nullptr, 1e8f}, {nullptr, 1e8f}, {nullptr, 1e8f}};
StepMarkObserver dunStepMarkObserver = nullptr;

namespace {
// The AI's control routines, reached through its table (none in tests).
void dunThinkAi(SceneItem *item) { dunCall(dunAi().think, item); }
void dunThinkAiFree(SceneItem *item) { dunCall(dunAi().thinkFree, item); }
}  // namespace

const SceneRoutine SceneRoutineTable[kSceneRoutineCount] = {
    {"CONTROL_NULL", RoutineSlot::Control, dunNullRoutine},
    {"CONTROL_MAIN", RoutineSlot::Control, dunControlPlayer},
    {"CONTROL_TEST", RoutineSlot::Control, dunControlTest},
    {"CONTROL_AI", RoutineSlot::Control, dunThinkAi},
    {"CONTROL_AIFREE", RoutineSlot::Control, dunThinkAiFree},
    {"CONTROL_FREE", RoutineSlot::Control, dunControlFree},
    {"SIM_NULL", RoutineSlot::Simulator, dunStampSim},
    {"SIM_MAIN", RoutineSlot::Simulator, dunFlyShip},
    {"SIM_ENG", RoutineSlot::Simulator, dunSimSpin},
    {"SIM_CHAOS", RoutineSlot::Simulator, dunSimChaos},
    {"SIM_STARGATE", RoutineSlot::Simulator, dunSimStargate},
};

namespace {

bool dialoguePlaying() { return dunCall(dunScript().dialoguePlaying, nullptr); }

void mark(const char *name) {
    ProfilerCheckpoint(gProfileRecorder, name);
    if (dunStepMarkObserver) dunStepMarkObserver(name);
}

// The two continuous sounds the frame also silences when the simulation
// holds: slots 2 and 0 unless others were put in their place.
void setAmbience(int i, int32_t volume) {
    SoundSlot *slot = dunAmbienceSlots[i] ? dunAmbienceSlots[i] : SoundGetSlot(i == 0 ? 2 : 0);
    if (slot) SoundSetVolume(slot, volume);
}

bool anyHold() { return dunHoldA || dunHoldB || dunHoldC; }

// While frozen only the controlled object moves, and only when it is asked
// to keep moving outside the options screen; no object runs under a hold.
bool takesPart(const SceneItem *item) {
    if (anyHold()) return false;
    if (dunFrozen) {
        bool options = dunCall(dunGui().optionsScreenShown);
        return item == dunControlledObject && dunKeepControlledMoving && !options;
    }
    return true;
}

// Every walk fetches the successor before it calls out. A call may still
// take that successor out of the list (deleted or parked); the walk then
// goes on from the current object when that one is still linked. A walk
// given a stop flag ends before the next object once a call has set it.
template <class F>
void walkObjects(F &&visit, const uint8_t *stop = nullptr) {
    SceneItem *head = dunSceneListHead();
    SceneItem *parked = dunParkedListHead();
    for (SceneItem *it = head->next; it && it != head && it != parked && !(stop && *stop);) {
        SceneItem *next = it->next;
        visit(it);
        if (next && next != head && !next->next) next = it->next;
        it = next;
    }
}

const DockingPort *dockedPort(const SceneItem *item) {
    if (!item->sim || !item->sim->shipInfo) return nullptr;
    for (const DockingPort *p = item->sim->shipInfo->ports; p; p = p->next)
        if (p->flags & PortFlag::Docked) return p;
    return nullptr;
}

// A docked object slower than its partner flies with the partner's
// performance for its own calls only. Returns the block to put back.
FlightParams *sharePartnerFlight(SceneItem *item) {
    if (!item->sim) return nullptr;
    FlightParams *own = item->sim->flight;
    const DockingPort *port = dockedPort(item);
    if (port && port->partner && port->partner->sim && item->sim->speed < port->partner->sim->speed)
        item->sim->flight = port->partner->sim->flight;
    return own;
}

// An object deleted by its own call keeps its Sim record only until another
// object takes it; its SceneItem is not handed out again this frame.
void restoreFlight(SceneItem *item, FlightParams *own) {
    if ((item->flags & SceneFlag::InUse) && item->sim) item->sim->flight = own;
}

}  // namespace

void dunSimulationStep() {
    setAmbience(0, -10000);
    setAmbience(1, -10000);
    if (dunStopStep) return;
    if (dunAlarmTimer > 0) dunAlarmTimer -= dunFrameStep;
    if (dunLookOnly) {
        dunCall(dunPresent().lookUpdate);
        return;
    }
    dunCall(dunScript().selectCurrentObjective);
    if (!(dunHoldA || dunHoldC == 2 || dialoguePlaying() || !SoundEnabled || dunPlayerDestroyed)) {
        setAmbience(0, dunAmbienceVolume);
        setAmbience(1, -1000);
    }
    if (dunMissionCountdown < 1) {
        dunMissionCountdown = 0;
        dunMissionCountdownSeconds = 0;
    } else if (!dunFrozen) {
        dunMissionCountdown -= dunFrameStep;
        dunMissionCountdownSeconds = dunMissionCountdown / 100;
    }
    dunCall(dunAi().clearStepWords);
    SceneItem *head = dunSceneListHead();
    if (head->next != head) {
        dunUpdateBelts();
        dunLaunchStockNearby();
        if (dunStockDialogueRequest) {
            dunCall(dunScript().runStockDialogue);
            dunStockDialogueRequest = 0;
        }
        dunCall(dunPresent().updateLights);
    }
    dunCall(dunPresent().actionCameraUpdate);
    dunUpdateEngineering(dunPlayerShip);

    const int32_t frameStep = dunFrameStep;
    const float frameSeconds = dunFrameSeconds;
    if (!dunNoCollision) {
        dunCall(dunAi().countShipsPerSide);
        dunCall(dunAi().refreshContacts);
        dunResetFrameFlags();
        // The parts' world positions follow their objects before any pair
        // is tested.
        walkObjects([](SceneItem *it) { dunUpdateNodeTransforms(it); });
        dunCollisionPass();
        mark("COLLISIONS");
        dunCall(dunPresent().lookUpdate);
        dunRunMessageHandlers();
        dunRunControlRoutines();
        mark("CONTROL");
    } else {
        dunCall(dunPresent().lookUpdate);
    }
    dunRunSimulators();
    mark("SIMULATION");
    dunRunModelUpdates();
    dunRunLateControl();
    dunPostSimulationStep();
    dunFrameStep = frameStep;
    dunFrameSeconds = frameSeconds;
    dunMsgEndFrame();
    mark("MESSAGES");
}

void dunRunMessageHandlers() {
    walkObjects([](SceneItem *it) {
        if (!dunFrozen && it->messageHandler) it->messageHandler(it);
    });
}

void dunRunControlRoutines() {
    walkObjects([](SceneItem *it) {
        if (!takesPart(it)) return;
        if (it->sim && it->sim->timer > 0)
            it->sim->timer = int16_t(uint16_t(uint16_t(it->sim->timer) - uint16_t(dunFrameStep)));
        FlightParams *own = sharePartnerFlight(it);
        if (!(it->flags & SceneFlag::LateControl) && it->control) it->control(it);
        restoreFlight(it, own);
    });
}

void dunRunSimulators() {
    if (dunTimedStateCountdown > 0.0f) {
        dunTimedStateCountdown -= dunFrameSeconds;
        if (dunTimedStateCountdown < 0.0f) dunTimedStateCountdown = 0.0f;
    }
    dunSimulatedCount = 0;
    walkObjects(
        [](SceneItem *it) {
            ++dunSimulatedCount;
            if (Sim *s = it->sim) {
                s->previous = s->matrix;
                if (s->flags & SimFlag::PlaceNearNav) {
                    double distance = 100000.0;
                    dunCall(dunAi().placeNearNavPoint, it, &distance, -1, 0);
                    s->flags &= ~SimFlag::PlaceNearNav;
                }
            }
            if (takesPart(it)) {
                FlightParams *own = sharePartnerFlight(it);
                if (it->simulator && it->simulator != dunUpdateDocking) it->simulator(it);
                restoreFlight(it, own);
            }
        },
        &dunStopWalk);
    dunStopWalk = 0;
    // Docking places the mover on its host, so it runs after every other
    // object has moved, frozen or held.
    walkObjects([](SceneItem *it) {
        if (it->simulator == dunUpdateDocking) it->simulator(it);
    });
}

void dunRunModelUpdates() {
    walkObjects([](SceneItem *it) {
        if (!takesPart(it) || (it->flags & SceneFlag::LateControl) || !it->avatar) return;
        if (it->avatar->modelUpdate) it->avatar->modelUpdate(it);
        dunAnimateTree(it->avatar, it->avatar->root);
    });
}

void dunRunLateControl() {
    walkObjects([](SceneItem *it) {
        if ((it->flags & SceneFlag::LateControl) && it->control) it->control(it);
        if ((it->flags & SceneFlag::InUse) && it->avatar && it->avatar->modelUpdate) it->avatar->modelUpdate(it);
    });
}

void dunPostSimulationStep() {
    walkObjects([](SceneItem *it) {
        if (!it->avatar || !it->avatar->engineSound) return;
        EngineSoundSlot *engine = it->avatar->engineSound;
        if (!engine->slot) return;
        int32_t volume = -10000, pan = 0;
        const double distance = SoundPositionFromCamera(it, &volume, &pan);
        if (!engine->owner || (engine->owner != it && distance < engine->distance)) engine->owner = it;
        if (engine->owner != it) return;
        engine->distance = float(distance);
        volume *= 2;
        if (volume < -10000) volume = -10000;
        if (!(dunHoldA || dunHoldC == 2 || dunFrameSkipCount > 0 || dialoguePlaying())) {
            SoundSetVolume(engine->slot, volume);
            if (volume > -10000) {
                SoundSetPan(engine->slot, pan);
                int32_t frequency = 0;
                SoundParamsForObject(it, &frequency, 0.5f);
                SoundSetFrequency(engine->slot, frequency);
            }
        } else {
            SoundSetVolume(engine->slot, -10000);
        }
    });

    if (dunBeepTimer > 0) {
        dunBeepTimer -= dunFrameStep;
        if (dunBeepTimer < 1) {
            dunBeepTimer = 0;
            SoundPlay(44, 0, 0, 0, 0);
        }
    }
    const ThreatEntry *nearest = nullptr;
    for (const ThreatEntry &t : dunNearestThreats)
        if (t.object && t.distance < 1000000.0f && (!nearest || t.distance < nearest->distance)) nearest = &t;
    if (nearest) {
        const int32_t interval = int32_t(nearest->distance / 100.0f);
        if (!(dunBeepTimer > 0 && dunBeepTimer < interval)) dunBeepTimer = interval;
    }
}

void dunAnimateTree(Avatar *avatar, TDP *node) {
    if (!node) return;
    dunAnimateTree(avatar, node->sibling);
    dunAnimateTree(avatar, node->child);
    dunAnimateNode(avatar, node);
}

void dunAnimateNode(Avatar *avatar, TDP *node) {
    if (!node->channels) return;
    const Mat4 saved = node->local;
    MatIdentity(node->local);
    for (const NodeChannel *c = node->channels; c; c = c->next) dunApplyChannel(avatar, node, c, &saved);
    const Vec3 move = {node->offsetVelocity.x * dunFrameSeconds, node->offsetVelocity.y * dunFrameSeconds,
                       node->offsetVelocity.z * dunFrameSeconds};
    node->offset.x += move.x;
    node->offset.y += move.y;
    node->offset.z += move.z;
    MatTranslate(move.x, move.y, move.z, node->local);
}

namespace {

// The aim channel: look from the aim object along the line to its goal.
void aimAtGoal(Avatar *avatar, TDP *node, const Mat4 *saved) {
    SceneItem *aim = avatar->objectA;
    SceneItem *goal = aim && aim->sim ? aim->sim->goal : nullptr;
    if (!aim || !goal || !goal->sim) {
        node->local = *saved;
        return;
    }
    const Vec3 world = {float(goal->sim->position.x - aim->sim->position.x),
                        float(goal->sim->position.y - aim->sim->position.y),
                        float(goal->sim->position.z - aim->sim->position.z)};
    Vec3 local;
    MatTransformPoint(local, world, aim->sim->matrix);
    // A goal on the aim object itself has no direction: keep the last aim.
    if (VecNormalise(local) == 0.0f) {
        node->local = *saved;
        return;
    }
    MatLookAlong(local, nullptr, node->local);
}

}  // namespace

void dunApplyChannel(Avatar *avatar, TDP *node, const NodeChannel *channel, const Mat4 *saved) {
    constexpr int kValues = int(sizeof avatar->channelValues / sizeof avatar->channelValues[0]);
    // Indexes come from scripts: one past the array reads as 0.
    int32_t value = channel->index < kValues ? avatar->channelValues[channel->index] : 0;
    if (node->flags & TDPFlag::ReversedAnimation) value = -value;
    const float amount = float(value) * 15.0f * dunFrameSeconds;
    Mat4 &m = node->local;
    switch (channel->kind) {
    case 3: m.m[12] += amount; break;
    case 4: m.m[13] += amount; break;
    case 5: m.m[14] += amount; break;
    case 6: MatScale(amount, m); break;
    case 7: MatScaleX(amount, m); break;
    case 8: MatScaleY(amount, m); break;
    case 9: MatScaleZ(amount, m); break;
    case 10: m = *saved; break;
    case 11: MatRotateY(amount, m); break;
    case 12: MatRotateX(amount, m); break;
    case 13: MatRotateZ(amount, m); break;
    case 14:
        if (value != 0)
            node->flags |= TDPFlag::Hidden;
        else
            node->flags &= ~TDPFlag::Hidden;
        break;
    case 23: aimAtGoal(avatar, node, saved); break;
    default: break;
    }
}

NodeChannel *dunAddNodeChannel(TDP *node, uint8_t kind, uint8_t index) {
    auto *c = static_cast<NodeChannel *>(std::calloc(1, sizeof(NodeChannel)));
    if (!c) return nullptr;
    c->kind = kind;
    c->index = index;
    NodeChannel **tail = &node->channels;
    while (*tail) tail = &(*tail)->next;
    *tail = c;
    return c;
}

void dunPresentSceneItem(SceneItem *item, void *view) {
    if (!item || !(item->flags & SceneFlag::InUse)) return;
    dunCall(dunPresent().preprocessScene, item, view);
}

void dunCopySimToModel(SceneItem *item) {
    if (!item->sim || !item->avatar) return;
    item->avatar->position = item->sim->position;
    item->avatar->matrix = item->sim->matrix;
    item->avatar->velocity = item->sim->velocity;
}

void dunNullRoutine(SceneItem *) {}

void dunStampSim(SceneItem *item) {
    if (item->sim) item->sim->timeStamp = uint32_t(dunGameClock);
}

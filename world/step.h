// The simulation step: the four profiled phases over the object list, the
// routine slots objects take part through, and the node animation channels.
#pragma once

#include <cstdint>

#include "world/records.h"

struct SoundSlot;

// Words the step reads (set by the mission script, the cockpit and the
// frame); while any hold is set no object routine runs.
extern uint8_t dunHoldA;
extern uint8_t dunHoldB;
extern int32_t dunHoldC;            // 2 also keeps the sounds quiet
extern uint8_t dunLookOnly;         // only the cockpit look-around runs
extern uint8_t dunStopStep;         // the step does nothing
extern uint8_t dunNoCollision;      // no COLLISIONS, no CONTROL, no message handlers
extern uint8_t dunStopWalk;         // a routine that resets the world stops the simulator walk
extern float dunTimedStateCountdown;  // seconds, set to 2.0 when the timed state starts
extern int32_t dunSimulatedCount;   // objects counted by the last simulator walk
extern int32_t dunAmbienceVolume;
extern SoundSlot *dunAmbienceSlots[2];  // null: the table's slots 2 and 0
extern int32_t dunBeepTimer;        // centiseconds to the next threat beep
// The four nearest threats of the player, refreshed every step by the
// contact list; the nearest sets the beep's interval.
struct ThreatEntry {
    SceneItem *object;   // none when the entry is empty
    float distance;      // 1e8 when empty
};
extern ThreatEntry dunNearestThreats[4];

// Slot a script keyword selects.
enum class RoutineSlot : uint8_t { Control, Simulator };
struct SceneRoutine {
    const char *keyword;
    RoutineSlot slot;
    void (*routine)(SceneItem *item);
};
constexpr int kSceneRoutineCount = 11;
extern const SceneRoutine SceneRoutineTable[kSceneRoutineCount];

void dunSimulationStep();
void dunRunMessageHandlers();
void dunRunControlRoutines();
void dunRunSimulators();
void dunRunModelUpdates();
void dunRunLateControl();
void dunPostSimulationStep();

void dunAnimateTree(Avatar *avatar, TDP *node);
void dunAnimateNode(Avatar *avatar, TDP *node);
void dunApplyChannel(Avatar *avatar, TDP *node, const NodeChannel *channel, const Mat4 *saved);
NodeChannel *dunAddNodeChannel(TDP *node, uint8_t kind, uint8_t index);

void dunPresentSceneItem(SceneItem *item, void *view);
void dunCopySimToModel(SceneItem *item);
void dunNullRoutine(SceneItem *item);
void dunStampSim(SceneItem *item);

// Observer of the step's profiler marks (profile displays, tests); none by
// default.
using StepMarkObserver = void (*)(const char *mark);
extern StepMarkObserver dunStepMarkObserver;

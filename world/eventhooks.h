// Event hooks: actions a mission script attaches to events of an object
// (destroyed, damaged, docked, undocked, touched), and the built-in actions
// that scripts select by index.
#pragma once

#include <cstdint>

#include "world/records.h"

namespace HookEvent {
constexpr uint32_t Destroyed = 0;
constexpr uint32_t Damaged = 1;
constexpr uint32_t Docked = 5;
constexpr uint32_t Undocked = 6;
constexpr uint32_t Collision = 7;
}  // namespace HookEvent

// What a hook is given: with flag 2 the action itself (a routine when flag 4
// is given too, else the video reference it plays), otherwise the index of
// a row of HookActionTable.
union HookActionRef {
    const int16_t *index;
    HookAction routine;
    const ResourceHandle *video;
};

constexpr int kHookActionCount = 5;
extern const HookAction HookActionTable[kHookActionCount];
// The plasma ball launched last.
extern SceneItem *dunLastPlasmaBall;

// Appends a hook to the object's list; false when the Action pool is out or
// the table index is not one of its rows.
bool dunAddEventHook(SceneItem *item, uint32_t eventId, uint32_t flags, HookActionRef action);
// Runs the object's hooks of the event in list order; returns how many matched.
int16_t dunRunEventHooks(SceneItem *item, uint32_t eventId, const HookArgument *argument);
// Takes every hook of the object out of use (its object is deleted).
void dunReleaseEventHooks(SceneItem *item);

void dunHookHullRupture(SceneItem *item, const HookArgument *argument);
void dunLaunchPlasmaBall(SceneItem *launcher, const HookArgument *argument);
void dunHookLongPlasmaBall(SceneItem *launcher, const HookArgument *argument);
// Only in the 3D-card mode.
void dunLaunchGasShell(SceneItem *launcher, const HookArgument *argument);
void dunHookDockOnContact(SceneItem *item, const HookArgument *argument);
void dunHookToggleColour(SceneItem *item, const HookArgument *argument);
// Steps the colour index 9 -> 10 -> 12 -> 9 (backward 9 -> 12 -> 10 -> 9)
// and shows it on the particles of the root's first child.
void dunCycleColourIndex(SceneItem *item, bool forward);

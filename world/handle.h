// 32-bit references to pool records and routines, for the places that keep
// an object in a fixed 32-bit word (message payloads, AI parameters, script
// values). A handle is the pool index with the pool's kind and the record's
// generation; it resolves to null once the record has been released or
// handed out again. 0 is no handle.
#pragma once

#include <cstdint>

#include "world/pools.h"

// DunHandle itself is declared with the records (world/records.h).
constexpr DunHandle kNoHandle = 0;

// bits 0..11 index, 12..15 kind, 16..31 generation (never 0 for a live record)
DunHandle dunMakeHandle(PoolKind kind, int index);
// The one resolver: the record, or null for 0, a foreign kind, a released
// record or a record handed out again since the handle was made.
void *dunResolveHandle(DunHandle handle, PoolKind kind);

DunHandle dunHandleOf(const SceneItem *item);
DunHandle dunHandleOf(const TDP *node);
DunHandle dunHandleOf(const Weapon *weapon);
DunHandle dunHandleOf(const ShipInfo *ship);
SceneItem *dunItemFromHandle(DunHandle handle);
TDP *dunNodeFromHandle(DunHandle handle);
Weapon *dunWeaponFromHandle(DunHandle handle);
ShipInfo *dunShipInfoFromHandle(DunHandle handle);

// Routines kept in 32-bit words are ids into a table of routines, filled on
// first use. Null gives 0; an unknown id resolves to null.
using AnyRoutine = void (*)();
DunHandle dunRoutineHandle(AnyRoutine routine);
AnyRoutine dunRoutineFromHandle(DunHandle handle);

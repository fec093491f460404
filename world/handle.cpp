#include "world/handle.h"

#include "core/log.h"

namespace {

constexpr uint32_t kRoutineKind = 15;
constexpr int kMaxRoutines = 512;
AnyRoutine routines[kMaxRoutines];
int routineCount = 0;

bool inUse(PoolKind kind, int index) {
    switch (kind) {
    case PoolKind::SceneItem: return index < kMaxSceneItems && (dunSceneItemPool[index].flags & 1);
    case PoolKind::Avatar: return index < kMaxAvatars && (dunAvatarPool[index].flags16 & 1);
    case PoolKind::Sim: return index < kMaxSims && (dunSimPool[index].flags & 1);
    case PoolKind::TDP: return index < kMaxTDPs && (dunTDPPool[index].flags & 1);
    case PoolKind::Weapon: return index < kMaxWeapons && (dunWeaponPool[index].flags & 1);
    case PoolKind::ShipInfo: return index < kMaxShipInfos && (dunShipInfoPool[index].flags & 1);
    case PoolKind::Action: return index < kMaxActions && (dunActionPool[index].flags & 1);
    }
    return false;
}

void *record(PoolKind kind, int index) {
    switch (kind) {
    case PoolKind::SceneItem: return &dunSceneItemPool[index];
    case PoolKind::Avatar: return &dunAvatarPool[index];
    case PoolKind::Sim: return &dunSimPool[index];
    case PoolKind::TDP: return &dunTDPPool[index];
    case PoolKind::Weapon: return &dunWeaponPool[index];
    case PoolKind::ShipInfo: return &dunShipInfoPool[index];
    case PoolKind::Action: return &dunActionPool[index];
    }
    return nullptr;
}

template <class T, int N>
int indexIn(const T (&pool)[N], const T *p) {
    if (!p || p < pool || p >= pool + N) return -1;
    return static_cast<int>(p - pool);
}

}  // namespace

DunHandle dunMakeHandle(PoolKind kind, int index) {
    if (index < 0 || index > 0xFFF) return kNoHandle;
    uint16_t gen = dunPoolGeneration(kind, index);
    if (gen == 0) return kNoHandle;
    return (uint32_t(gen) << 16) | (uint32_t(kind) << 12) | uint32_t(index);
}

void *dunResolveHandle(DunHandle handle, PoolKind kind) {
    if (handle == kNoHandle || ((handle >> 12) & 0xF) != uint32_t(kind)) return nullptr;
    int index = static_cast<int>(handle & 0xFFF);
    if (!inUse(kind, index)) return nullptr;
    if (dunPoolGeneration(kind, index) != (handle >> 16)) return nullptr;
    return record(kind, index);
}

DunHandle dunHandleOf(const SceneItem *item) {
    return dunMakeHandle(PoolKind::SceneItem, indexIn(dunSceneItemPool, item));
}
DunHandle dunHandleOf(const TDP *node) { return dunMakeHandle(PoolKind::TDP, indexIn(dunTDPPool, node)); }
DunHandle dunHandleOf(const Weapon *weapon) {
    return dunMakeHandle(PoolKind::Weapon, indexIn(dunWeaponPool, weapon));
}
DunHandle dunHandleOf(const ShipInfo *ship) {
    return dunMakeHandle(PoolKind::ShipInfo, indexIn(dunShipInfoPool, ship));
}

SceneItem *dunItemFromHandle(DunHandle h) {
    return static_cast<SceneItem *>(dunResolveHandle(h, PoolKind::SceneItem));
}
TDP *dunNodeFromHandle(DunHandle h) { return static_cast<TDP *>(dunResolveHandle(h, PoolKind::TDP)); }
Weapon *dunWeaponFromHandle(DunHandle h) { return static_cast<Weapon *>(dunResolveHandle(h, PoolKind::Weapon)); }
ShipInfo *dunShipInfoFromHandle(DunHandle h) {
    return static_cast<ShipInfo *>(dunResolveHandle(h, PoolKind::ShipInfo));
}

DunHandle dunRoutineHandle(AnyRoutine routine) {
    if (!routine) return kNoHandle;
    for (int i = 0; i < routineCount; ++i)
        if (routines[i] == routine) return (1u << 16) | (kRoutineKind << 12) | uint32_t(i);
    if (routineCount == kMaxRoutines) dunFatalError("Exceeded max routine ids");
    routines[routineCount] = routine;
    return (1u << 16) | (kRoutineKind << 12) | uint32_t(routineCount++);
}

AnyRoutine dunRoutineFromHandle(DunHandle h) {
    if ((h >> 16) != 1 || ((h >> 12) & 0xF) != kRoutineKind) return nullptr;
    int i = static_cast<int>(h & 0xFFF);
    return i < routineCount ? routines[i] : nullptr;
}

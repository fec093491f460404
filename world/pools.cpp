#include "world/pools.h"

#include <cstdlib>
#include <cstring>

#include "RES/util.h"
#include "RES/util.h"
#include "core/frame.h"
#include "core/log.h"
#include "world/universe.h"

SceneItem dunSceneItemPool[kMaxSceneItems];
Avatar dunAvatarPool[kMaxAvatars];
Action dunActionPool[kMaxActions];
Sim dunSimPool[kMaxSims];
Weapon dunWeaponPool[kMaxWeapons];
TDP dunTDPPool[kMaxTDPs];
ShipInfo dunShipInfoPool[kMaxShipInfos];
HUD dunBigHUDPool[kMaxBigHUDs];
HUD dunHUDPool[kMaxHUDs];
HUD *dunPerimeterBox = nullptr;
ParticleSystem dunLargeParticlePool[kMaxLargeParticleSystems];
ParticleSystem dunSmallParticlePool[kMaxSmallParticleSystems];
DockingPort dunDockingPortPool[kMaxDockingPorts];

namespace {

// Particle record i of a pool always owns array i of that pool.
Particle largeParticles[kMaxLargeParticleSystems][kLargeParticleCount];
Particle smallParticles[kMaxSmallParticleSystems][kSmallParticleCount];

struct Cursors {
    int sceneItem, avatar, action, sim, weapon, tdp, shipInfo, bigHud, hud, largePs, smallPs, port;
} cursor;

uint16_t genSceneItem[kMaxSceneItems], genAvatar[kMaxAvatars], genSim[kMaxSims], genTDP[kMaxTDPs],
    genWeapon[kMaxWeapons], genShipInfo[kMaxShipInfos], genAction[kMaxActions];

CollisionModel *collisionModels = nullptr;

// The rotating-cursor search shared by every pool: from the record after the
// cursor, wrapping, every record but the one under the cursor at the start.
// A free record under the cursor therefore counts as exhaustion.
template <class T, int N, class Busy>
int take(T (&pool)[N], int &at, Busy busy) {
    const int start = at;
    for (;;) {
        ++at;
        if (at == start) return -1;
        if (at >= N) {
            at = -1;
            continue;
        }
        if (!busy(pool[at])) return at;
    }
}

template <class T, int N>
T *takeZeroed(T (&pool)[N], int &at, uint16_t *gen, const char *exhausted, bool (*busy)(const T &)) {
    int i = take(pool, at, busy);
    if (i < 0) {
        dunFatalError(exhausted);
    }
    std::memset(static_cast<void *>(&pool[i]), 0, sizeof(T));
    if (gen) {
        if (++gen[i] == 0) gen[i] = 1;
    }
    return &pool[i];
}

bool flagsBusy(const auto &r) { return (r.flags & 1) != 0; }

}  // namespace

SceneItem *dunAllocSceneItem() {
    // A record released in this frame is not handed out again until the
    // frame counter moves on, so a walker holding it stays harmless.
    SceneItem *item = takeZeroed(dunSceneItemPool, cursor.sceneItem, genSceneItem, "Exceeded max SceneItems",
                                 +[](const SceneItem &r) {
                                     return (r.flags & 1) != 0 || r.releaseFrame == dunFrameCounter;
                                 });
    item->flags = SceneFlag::InUse;
    item->systemNumber = dunCurrentSystem;
    return item;
}

Avatar *dunAllocAvatar() {
    Avatar *a = takeZeroed(dunAvatarPool, cursor.avatar, genAvatar, "Exceeded max Avatars",
                           +[](const Avatar &r) { return (r.flags16 & 1) != 0; });
    a->flags16 = AvatarState::InUse;
    return a;
}

Action *dunAllocAction() {
    Action *a = takeZeroed(dunActionPool, cursor.action, genAction, "Exceeded max Actions",
                           +[](const Action &r) { return flagsBusy(r); });
    a->flags = ActionFlag::InUse;
    return a;
}

Sim *dunAllocSim() {
    Sim *s = takeZeroed(dunSimPool, cursor.sim, genSim, "Exceeded max Sims",
                        +[](const Sim &r) { return flagsBusy(r); });
    s->flags = SimFlag::InUse;
    s->hull = 100;
    return s;
}

Weapon *dunAllocWeapon() {
    Weapon *w = takeZeroed(dunWeaponPool, cursor.weapon, genWeapon, "Exceeded max Weapons",
                           +[](const Weapon &r) { return flagsBusy(r); });
    w->flags = WeaponFlag::InUse;
    return w;
}

TDP *dunAllocTDP() {
    TDP *t = takeZeroed(dunTDPPool, cursor.tdp, genTDP, "Exceeded max TDPs",
                        +[](const TDP &r) { return flagsBusy(r); });
    t->flags = TDPFlag::InUse;
    return t;
}

ShipInfo *dunAllocShipInfo() {
    ShipInfo *s = takeZeroed(dunShipInfoPool, cursor.shipInfo, genShipInfo, "Exceeded max ShipInfos",
                             +[](const ShipInfo &r) { return flagsBusy(r); });
    s->flags = ShipFlag::InUse;
    return s;
}

HUD *dunAllocBigHUD() {
    HUD *h = takeZeroed(dunBigHUDPool, cursor.bigHud, nullptr, "Exceeded max big HUDs",
                        +[](const HUD &r) { return flagsBusy(r); });
    h->flags = 1;
    return h;
}

DockingPort *dunAllocDockingPort() {
    DockingPort *p = takeZeroed(dunDockingPortPool, cursor.port, nullptr, "Exceeded max DockingPorts",
                                +[](const DockingPort &r) { return flagsBusy(r); });
    p->flags = PortFlag::InUse;
    return p;
}

HUD *dunAllocHUD() {
    HUD *h = takeZeroed(dunHUDPool, cursor.hud, nullptr, "Exceeded max HUDs",
                        +[](const HUD &r) { return flagsBusy(r); });
    h->flags = 1;
    return h;
}

// The particle pools are not cleared: the record keeps its array and its
// other words; only the flags and the points' lives (and sizes) are set.
ParticleSystem *dunAllocLargeParticleSystem() {
    int i = take(dunLargeParticlePool, cursor.largePs, [](const ParticleSystem &r) { return flagsBusy(r); });
    if (i < 0) return nullptr;
    ParticleSystem *ps = &dunLargeParticlePool[i];
    ps->flags = 1;
    for (int p = 0; p < kLargeParticleCount; ++p) {
        ps->points[p].size = 0.5f;
        ps->points[p].life = 0;
    }
    return ps;
}

int dunParticleCapacity(const ParticleSystem *system) {
    if (system >= dunLargeParticlePool && system < dunLargeParticlePool + kMaxLargeParticleSystems)
        return kLargeParticleCount;
    if (system >= dunSmallParticlePool && system < dunSmallParticlePool + kMaxSmallParticleSystems)
        return kSmallParticleCount;
    return 0;
}

ParticleSystem *dunAllocSmallParticleSystem() {
    int i = take(dunSmallParticlePool, cursor.smallPs, [](const ParticleSystem &r) { return flagsBusy(r); });
    if (i < 0) return nullptr;
    ParticleSystem *ps = &dunSmallParticlePool[i];
    ps->flags = 1;
    for (int p = 0; p < kSmallParticleCount; ++p) ps->points[p].life = 0;
    return ps;
}

CollisionModel *dunAllocCollisionModel() {
    auto *model = static_cast<CollisionModel *>(std::calloc(1, sizeof(CollisionModel)));
    if (!model) return nullptr;
    model->next = collisionModels;
    collisionModels = model;
    return model;
}

CollisionModel *dunFindCollisionModel(const void *model) {
    for (CollisionModel *m = collisionModels; m; m = m->next)
        if (m->id == model) return m;
    return nullptr;
}

// Frees a box chain from its end.
void dunFreeCollisionBoxes(HitBox *box) {
    if (!box) return;
    dunFreeCollisionBoxes(box->next);
    std::free(box);
}

void dunFreeCollisionModels() {
    while (collisionModels) {
        CollisionModel *next = collisionModels->next;
        dunFreeCollisionBoxes(collisionModels->boxes);
        std::free(collisionModels);
        collisionModels = next;
    }
}

WireframeNode *dunAllocWireframeNode() {
    return static_cast<WireframeNode *>(std::calloc(1, sizeof(WireframeNode)));
}

void dunResetPools() {
    dunRandomState = 1253567;
    // The reset drops objects without deleting them; the animation channels
    // are heap nodes and would be lost with the cleared TDPs.
    for (TDP &node : dunTDPPool) {
        NodeChannel *c = node.channels;
        while (c) {
            NodeChannel *next = c->next;
            std::free(c);
            c = next;
        }
    }
    std::memset(static_cast<void *>(dunSceneItemPool), 0, sizeof dunSceneItemPool);
    // Records never released may be taken in any frame, the first one (0,
    // the start-up's) among them.
    for (SceneItem &item : dunSceneItemPool) item.releaseFrame = UINT32_MAX;
    std::memset(static_cast<void *>(dunAvatarPool), 0, sizeof dunAvatarPool);
    std::memset(static_cast<void *>(dunActionPool), 0, sizeof dunActionPool);
    std::memset(static_cast<void *>(dunSimPool), 0, sizeof dunSimPool);
    std::memset(static_cast<void *>(dunWeaponPool), 0, sizeof dunWeaponPool);
    std::memset(static_cast<void *>(dunTDPPool), 0, sizeof dunTDPPool);
    std::memset(static_cast<void *>(dunShipInfoPool), 0, sizeof dunShipInfoPool);
    std::memset(static_cast<void *>(dunBigHUDPool), 0, sizeof dunBigHUDPool);
    std::memset(static_cast<void *>(dunHUDPool), 0, sizeof dunHUDPool);
    dunPerimeterBox = nullptr;
    // What a system allocated for its points goes with it.
    for (ParticleSystem &ps : dunLargeParticlePool) dunFree(ps.extras);
    for (ParticleSystem &ps : dunSmallParticlePool) dunFree(ps.extras);
    std::memset(static_cast<void *>(dunLargeParticlePool), 0, sizeof dunLargeParticlePool);
    std::memset(static_cast<void *>(dunSmallParticlePool), 0, sizeof dunSmallParticlePool);
    std::memset(static_cast<void *>(dunDockingPortPool), 0, sizeof dunDockingPortPool);
    for (int i = 0; i < kMaxLargeParticleSystems; ++i) {
        dunLargeParticlePool[i].points = largeParticles[i];
        dunLargeParticlePool[i].count = kLargeParticleCount;
    }
    for (int i = 0; i < kMaxSmallParticleSystems; ++i) {
        dunSmallParticlePool[i].points = smallParticles[i];
        dunSmallParticlePool[i].count = kSmallParticleCount;
    }
    cursor = Cursors{};
    // The generations are kept across the reset: handles of the last mission
    // must not resolve to the records of the next.
    std::memset(dunPrevKeyTable, 0, sizeof dunPrevKeyTable);
    dunFreeCollisionModels();
}

uint16_t dunPoolGeneration(PoolKind kind, int index) {
    switch (kind) {
    case PoolKind::SceneItem: return index >= 0 && index < kMaxSceneItems ? genSceneItem[index] : 0;
    case PoolKind::Avatar: return index >= 0 && index < kMaxAvatars ? genAvatar[index] : 0;
    case PoolKind::Sim: return index >= 0 && index < kMaxSims ? genSim[index] : 0;
    case PoolKind::TDP: return index >= 0 && index < kMaxTDPs ? genTDP[index] : 0;
    case PoolKind::Weapon: return index >= 0 && index < kMaxWeapons ? genWeapon[index] : 0;
    case PoolKind::ShipInfo: return index >= 0 && index < kMaxShipInfos ? genShipInfo[index] : 0;
    case PoolKind::Action: return index >= 0 && index < kMaxActions ? genAction[index] : 0;
    }
    return 0;
}

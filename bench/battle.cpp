// A battle: the world step of 40 AI ships in two sides, each under an attack
// order on a ship of the other side, armed with two beam cannon and with 200
// of their bolts in flight (the weapons then reloading, so that the count
// holds), and half of them with a seeker launcher whose 20 missiles hunt
// their targets; against the world step of the same 40 ships under the same
// orders without weapons, in the same run. "ratio" is the armed step's time
// over the unarmed one's.
#include <benchmark/benchmark.h>

#include <chrono>
#include <vector>

#include "RES/util.h"
#include "ai/brain.h"
#include "ai/combat.h"
#include "ai/states.h"
#include "ai/weapons.h"
#include "core/frame.h"
#include "world/flight.h"
#include "world/messages.h"
#include "world/msghandler.h"
#include "world/objlist.h"
#include "world/pools.h"
#include "world/services.h"
#include "world/step.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kShips = 40;
constexpr int kRoundsPerShip = 5;  // 200 in flight
constexpr int kMissiles = 20;  // one from each of the first 20 ships
constexpr int kFrames = 200;

std::vector<SceneItem *> BuildBattle(bool armed) {
    dunMsgInit();
    dunResetWorld();
    dunSeedRand15(1);
    dunGameClock = 0;
    dunFrameStep = 2;
    dunFrameSeconds = 0.02f;
    dunai_InstallWorldHooks();
    dunai_InitStateRegistry();
    std::vector<SceneItem *> ships;
    for (int i = 0; i < kShips; ++i) {
        SceneItem *it = dunCreateSceneItem();
        dunLinkSceneItem(it, 0);
        dunAttachSim(it, dunFlyShip);
        it->control = dunai_ThinkShip;
        dunSetMessageHandler(it, dunHandleMessages);
        ShipInfo *info = it->sim->shipInfo = dunAllocShipInfo();
        const int side = i % 2 ? 3 : 1;
        info->side = int16_t(side);
        info->skill = 50;
        info->damage.maximum = 250;
        it->avatar->flags |= AvatarFlag::Ship | (0x40u << side);
        dunInitFlightParams(&info->current, 6000.0f, 400.0f, 0, 0, 110.0f, 110.0f, 110.0f, 650.0f);
        info->nominal = info->current;
        it->sim->flight = &info->current;
        it->sim->radius = 2000.0f;
        it->sim->mass = 100.0f;
        it->sim->position = {double(i % 8) * 60000.0, double(i / 8) * 40000.0, double(i % 2) * 300000.0};
        it->sim->matrix.m[12] = float(it->sim->position.x);
        it->sim->matrix.m[13] = float(it->sim->position.y);
        it->sim->matrix.m[14] = float(it->sim->position.z);
        if (armed) {
            dunCreatePBC(it, -3, 0, 20, "PBC", 0x31);
            dunCreatePBC(it, 3, 0, 20, "PBC", 0x31);
            if (i < kMissiles) dunCreateSeeker(it, 0, -10, 0, "SEEKER", 1);
            it->sim->currentWeapon = it->sim->weapons;
        }
        ships.push_back(it);
    }
    for (int i = 0; i < kShips; ++i) {
        SceneItem *ship = ships[i], *enemy = ships[(i + 1) % kShips];
        dunai_DefaultOrders(ship);
        dunai_SetNamedOrder(ship, 1, "FixedAttack", 100, 0, enemy);
        dunai_StartOrder(ship, 1);
        ship->sim->goal = ship->sim->target = enemy;
    }
    // Each ship starts facing its enemy, armed or not: the bolts leave
    // within the mounts' arcs.
    for (int i = 0; i < kShips; ++i) {
        Sim *s = ships[i]->sim;
        const Vec3d &e = ships[(i + 1) % kShips]->sim->position;
        Vec3 ahead = {float(e.x - s->position.x), float(e.y - s->position.y), float(e.z - s->position.z)};
        VecNormalise(ahead);
        MatLookAlong(ahead, nullptr, s->matrix);
        s->previous = s->matrix;
    }
    if (armed) {
        // The bolts in flight live until the run ends; then the weapons
        // reload for the rest of it.
        for (int i = 0; i < kShips; ++i)
            for (int n = 0; n < kRoundsPerShip; ++n) {
                Weapon *w = ships[i]->sim->weapons;
                w->roundLifetime = 0;
                w->reloadTimer = 0;
                dunFireIgnoringRange(ships[(i + 1) % kShips], ships[i], w);
            }
        // The missiles, launched at the same enemies.
        for (int i = 0; i < kMissiles; ++i)
            for (Weapon *w = ships[i]->sim->weapons; w; w = w->next)
                if (w->flags & WeaponFlag::Missile) dunFireIgnoringRange(ships[(i + 1) % kShips], ships[i], w);
        for (SceneItem *ship : ships)
            for (Weapon *w = ship->sim->weapons; w; w = w->next) w->reloadTimer = 1e9f;
    }
    return ships;
}

// The rounds of the kind in flight.
int InFlight(uint32_t kind) {
    int n = 0;
    SceneItem *head = dunSceneListHead();
    for (SceneItem *it = head->next; it != head; it = it->next)
        if (it->avatar && (it->avatar->flags & kind)) ++n;
    return n;
}

struct Run {
    double seconds;
    int missilesAtStart, missilesAtEnd, boltsAtStart, boltsAtEnd;
};

Run Step(bool armed) {
    BuildBattle(armed);
    Run run{};
    run.missilesAtStart = InFlight(AvatarFlag::MunitionRound);
    run.boltsAtStart = InFlight(AvatarFlag::BeamRound);
    const auto t0 = Clock::now();
    for (int f = 0; f < kFrames; ++f) {
        dunSimulationStep();
        dunGameClock += 2;
    }
    run.seconds = std::chrono::duration<double>(Clock::now() - t0).count();
    run.missilesAtEnd = InFlight(AvatarFlag::MunitionRound);
    run.boltsAtEnd = InFlight(AvatarFlag::BeamRound);
    WorldSetAiHooks(nullptr);
    dunResetWorld();
    return run;
}

void BM_Battle40Ships200Rounds20Missiles(benchmark::State &state) {
    double armedTime = 0, bareTime = 0;
    Run armed{};
    for (auto _ : state) {
        armed = Step(true);
        armedTime += armed.seconds;
        bareTime += Step(false).seconds;
    }
    state.counters["bolts"] = armed.boltsAtStart;
    state.counters["missiles"] = armed.missilesAtStart;
    state.counters["missiles_left"] = armed.missilesAtEnd;
    state.counters["bolts_left"] = armed.boltsAtEnd;
    state.counters["ratio"] = bareTime > 0 ? armedTime / bareTime : 0;
    state.counters["armed_ms"] = benchmark::Counter(armedTime * 1e3 / double(state.iterations()));
    state.counters["bare_ms"] = benchmark::Counter(bareTime * 1e3 / double(state.iterations()));
}
BENCHMARK(BM_Battle40Ships200Rounds20Missiles)->Unit(benchmark::kMillisecond);

}  // namespace

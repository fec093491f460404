// The script table's chaos and stargate simulators.
#include "RES/util.h"
#include "RES/vecmath.h"
#include "world/docking.h"
#include "world/eventhooks.h"
#include "world/flight.h"
#include "world/objlist.h"
#include "world/objroutines.h"
#include "world/records.h"
#include "world/services.h"
#include "world/step.h"
#include "world/universe.h"

namespace {

constexpr uint32_t kKeyColours[3] = {9, 10, 12};
constexpr uint32_t kClosed = 13;

Vec3 towards(const SceneItem *from, const SceneItem *to, double *length) {
    Vec3 d = {float(to->sim->position.x - from->sim->position.x), float(to->sim->position.y - from->sim->position.y),
              float(to->sim->position.z - from->sim->position.z)};
    *length = VecNormalise(d);
    return d;
}

// The three key objects docked at the gate's first three ports.
bool gateKeys(SceneItem *gate, SceneItem *keys[3]) {
    DockingPort *p = gate->sim && gate->sim->shipInfo ? gate->sim->shipInfo->ports : nullptr;
    for (int i = 0; i < 3; ++i, p = p ? p->next : nullptr) {
        keys[i] = p ? p->partner : nullptr;
        if (!keys[i] || !(keys[i]->flags & SceneFlag::InUse) || !keys[i]->avatar) return false;
    }
    return true;
}

void randomColour(SceneItem *key) {
    const int a = dunRand15();
    const int b = dunRand15();
    key->avatar->colourIndex = kKeyColours[(a + b / 7) % 3];
    dunCycleColourIndex(key, true);
}

struct Destination {
    uint32_t colour;
    uint16_t system;
    const char *navPoint;
};
constexpr Destination kDestinations[3] = {{9, 21, "WeakL4"}, {10, 1, "L4"}, {12, 26, "L4"}};

}  // namespace

void dunSimChaos(SceneItem *item) {
    dunFlyShip(item);
    SceneItem *goal = item->sim ? item->sim->goal : nullptr;
    if (!goal || !goal->sim || !dunPlayerShip || !dunPlayerShip->sim || !item->sim->shipInfo) return;
    double toGoal, toPlayer;
    const Vec3 g = towards(item, goal, &toGoal);
    const Vec3 p = towards(item, dunPlayerShip, &toPlayer);
    if (toPlayer < toGoal / 2.0 && VecDot(g, p) > 0.95) {
        ShipDamage &d = item->sim->shipInfo->damage;
        d.damage = d.maximum / 2;
        item->sim->hull = 50;
    }
}

void dunShuffleGateKeys(SceneItem *gate) {
    SceneItem *keys[3];
    if (!gateKeys(gate, keys)) return;
    for (SceneItem *key : keys) randomColour(key);
}

void dunSimStargate(SceneItem *gate) {
    SceneItem *keys[3];
    if (!gate->avatar || !gateKeys(gate, keys)) return;
    uint32_t colour = keys[0]->avatar->colourIndex;
    if (colour == 0) {
        for (SceneItem *key : keys) randomColour(key);
        colour = 12;
    }
    const bool open = keys[0]->avatar->colourIndex == colour && keys[1]->avatar->colourIndex == colour &&
                      keys[2]->avatar->colourIndex == colour;
    if (!open) {
        gate->avatar->colourIndex = kClosed;
        dunCall(dunPresent().setStarGateEdge, gate, int(kClosed));
        return;
    }
    gate->avatar->colourIndex = colour;
    dunCall(dunPresent().setStarGateEdge, gate, int(colour));
    SceneItem *player = dunPlayerShip;
    if (!player || !player->sim || !gate->sim) return;
    double distance;
    towards(gate, player, &distance);
    if (!(distance < 5000.0)) return;
    for (const Destination &to : kDestinations) {
        if (to.colour != colour || to.system == dunCurrentSystem) continue;
        // The ship moves first, so the old system's objects go once it has
        // left them; a move that failed leaves everything as it was.
        const Vec3d none = {0.0, 0.0, 0.0};
        if (!MoveToSystem(dunStarNameByCode(to.system), to.navPoint)) return;
        dunCall(dunPresent().spawnDepartureBurst, player);
        dunShuffleGateKeys(gate);
        dunCall(dunPresent().eventCamera, player, gate, 11);
        dunClearSystemObjects(to.system, &none, &none);
        dunStopWalk = 1;
        return;
    }
}

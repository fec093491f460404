// Routines of ships under damage and of mines: hits at random points with a
// growing tumble, and the mine that strikes the nearest ship.
#include <cmath>

#include "RES/util.h"
#include "RES/vecmath.h"
#include "core/frame.h"
#include "world/docking.h"
#include "world/handle.h"
#include "world/messages.h"
#include "world/msghandler.h"
#include "world/objlist.h"
#include "world/objroutines.h"
#include "world/records.h"
#include "world/services.h"
#include "world/simplace.h"

namespace {

double distanceBetween(const SceneItem *a, const SceneItem *b) {
    return VecLengthDouble({a->sim->position.x - b->sim->position.x, a->sim->position.y - b->sim->position.y,
                            a->sim->position.z - b->sim->position.z});
}

}  // namespace

void dunDamagedShipTick(SceneItem *ship) {
    Sim *s = ship->sim;
    if (!s || ship == dunControlledObject || ship == dunPlayerShip) return;
    const int32_t chance = int32_t(float(s->hull) * float(s->hull) * 1.5f + 100.0f);
    if (chance > 0 && dunRand15() % chance <= dunFrameStep) {
        const int32_t maximum = s->shipInfo ? s->shipInfo->damage.maximum : 0;
        const int32_t damage = int32_t(int64_t(dunRand15() % 100) * maximum / 1000 + 20);
        Vec3 local = {0.0f, 0.0f, 0.0f};
        dunCall(dunAi().randomPointOnSubNode, ship, &local);
        Vec3 world;
        MatRotateVector(s->matrix, local, world);
        dunCall(dunPresent().addFlashAtObject, ship, &world, 80, 0xFFFF00u);
        DamageRecord r = {};
        r.point = world;
        r.velocity = local;
        r.damage = damage;
        r.secondTerm = 45;
        r.mass = 900.0f;
        r.attacker = dunHandleOf(ship);
        dunPostDamageRecord(ship->receiverId, ship->receiverId, 4, MsgHit, &r);
    }
    const float limit = s->radius < 10000.0f ? 30.0f : 300000.0f / s->radius;
    const float change = float(30 - s->hull) * dunFrameSeconds * 1.2f;
    const uint32_t id = ship->receiverId;
    if (std::fabs(s->tumble.y) < limit) s->tumble.y += (id & 0x1) ? -change : change;
    if (std::fabs(s->tumble.x) < limit) s->tumble.x += (id & 0x10) ? -change : change;
    if (std::fabs(s->tumble.z) < limit) s->tumble.z += (id & 0x100) ? -change : change;
}

void dunControlTargetPicker(SceneItem *mine) {
    if (mine->simulator != dunUpdateDocking) {
        dunCall(dunAi().think, mine);
        return;
    }
    DockingPort *port = dunGetDockingPort(mine, 0);
    SceneItem *host = port ? port->partner : nullptr;
    if (!host || !host->avatar || !mine->avatar || !mine->sim) return;
    mine->avatar->flags = (mine->avatar->flags & ~AvatarFlag::SideMask) | (host->avatar->flags & AvatarFlag::SideMask);
    if (mine->sim->shipInfo && host->sim && host->sim->shipInfo) mine->sim->shipInfo->side = host->sim->shipInfo->side;
    SceneItem *n = mine->avatar->nearest;
    if (n == host) {
        mine->avatar->sidePartner = host;
        return;
    }
    if (!dunIsShip(n) || !(distanceBetween(mine, n) <= 150000.0)) return;
    for (int i = 0; i < 5; ++i) dunCall(dunAi().sendRelativePosition, mine, n, 0, 650);
    dunMsgPost(mine->receiverId, mine->receiverId, 0, MsgRemove, 0, nullptr);
    dunCall(dunAi().sendRelativePosition, mine, host, 0, 650);
    if (dunPlayerShip && dunPlayerShip->sim && distanceBetween(mine, dunPlayerShip) <= 800000.0)
        dunCall(dunPresent().setFlashBrightness, 170);
}

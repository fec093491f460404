#include "world/docking.h"

#include <cmath>

#include "RES/vecmath.h"
#include "core/frame.h"
#include "world/collision.h"
#include "world/engineering.h"
#include "world/eventhooks.h"
#include "world/flight.h"
#include "world/handle.h"
#include "world/lds.h"
#include "world/messages.h"
#include "world/msghandler.h"
#include "world/objlist.h"
#include "world/pools.h"
#include "world/records.h"
#include "world/services.h"
#include "world/simplace.h"
#include "world/sound_place.h"

float dunDockAlignmentShown = 0.0f;
SceneItem *dunCurrentHost = nullptr;
SceneItem *dunPlayerHullObject = nullptr;

namespace {

ShipInfo *shipOf(const SceneItem *item) { return item && item->sim ? item->sim->shipInfo : nullptr; }

DockingPort *firstPort(const SceneItem *item) {
    const ShipInfo *s = shipOf(item);
    return s ? s->ports : nullptr;
}

// The ship a port belongs to: the partner of its mate while docked.
SceneItem *ownerOf(const DockingPort *port) { return port && port->mated ? port->mated->partner : nullptr; }

bool dockingDamaged(const SceneItem *item) {
    const ShipInfo *s = shipOf(item);
    return s && (s->damage.mask & DamageBit::Docking);
}

const char *nameOf(const SceneItem *item) {
    const ShipInfo *s = shipOf(item);
    return s ? s->name : nullptr;
}

// A port's place in world axes, relative to its ship's float position.
Vec3 portOffset(const SceneItem *ship, const DockingPort *port) {
    Vec3 out;
    MatRotateVector(ship->sim->matrix, port->position, out);
    return out;
}

float maximumThrust(const SceneItem *item) { return item->sim && item->sim->flight ? item->sim->flight->p1 : 0.0f; }

// The axis a rotating port turns about, in the mover's frame.
Vec3 portAxis(const DockingPort *p) {
    Mat4 r;
    MatIdentity(r);
    MatRotateY(180.0f, r);
    MatRotateX(-p->angleX, r);
    MatRotateY(-p->angleY, r);
    return dunMatRow(r, 2);
}

void playWithPan(SceneItem *item, int sound) {
    int32_t volume = -10000, pan = 0;
    SoundPositionFromCamera(item, &volume, &pan);
    SoundPlayVaried(sound, 0, 0, pan, 0, 2000);
}

void clearAutopilotAndTarget(SceneItem *item) {
    if (item != dunControlledObject || !item->sim) return;
    item->sim->flags &= ~SimFlag::Autopilot;
    dunCall(dunAi().setShipTarget);
}

// Two ships become one: the ship whose port holds the replacement model
// goes, the other stays and takes the model (and the player's place).
void merge(SceneItem *stays, DockingPort *staysPort, SceneItem *goes, vt_model *model) {
    dunCall(dunAi().removeContact, goes);
    if (goes == dunControlledObject) dunControlledObject = stays;
    if (stays == dunPlayerHullObject || goes == dunPlayerShip) {
        const SceneItem *formerHull = dunPlayerHullObject;
        dunPlayerShip = stays;
        dunControlledObject = stays;
        if (stays != formerHull) {
            dunCopyComponentNetwork(stays, goes);
            dunPlayerHullObject = stays;
        }
        staysPort->savedControl = dunControlPlayer;
        staysPort->savedSimulator = dunFlyShip;
        dunCall(dunHud().moveHudRecord, goes, stays);
        dunCall(dunPresent().followCameras, stays, stays);
        dunCall(dunGui().popFullScreen);
    }
    dunCall(dunPresent().setObjectModel, stays, static_cast<void *>(model));
    dunCall(dunScript().removeVitalObject, goes);
    dunMsgPost(goes->receiverId, goes->receiverId, 0, MsgRemove, 0, nullptr);
}

}  // namespace

DockingPort *dunAddDockingPort(SceneItem *ship, uint32_t flags, uint32_t mask, float angleY, float angleX, float roll,
                               float x, float y, float z, int16_t size) {
    ShipInfo *s = shipOf(ship);
    if (!s) return nullptr;
    DockingPort *p = dunAllocDockingPort();
    p->flags |= flags;
    p->mask = mask;
    p->angleY = angleY;
    p->angleX = angleX;
    p->roll = roll;
    p->position = {x * 100.0f, y * 100.0f, z * 100.0f};
    p->size = size;
    DockingPort **tail = &s->ports;
    while (*tail) tail = &(*tail)->next;
    *tail = p;
    if (ship->avatar && ship->avatar->root) dunAddHullPoint(ship->avatar->root, p->position.x, p->position.y, p->position.z);
    return p;
}

void dunPlaceDockingPorts(SceneItem *ship) {
    if (!ship->avatar || !ship->avatar->root) return;
    for (DockingPort *p = firstPort(ship); p; p = p->next)
        dunAddHullPoint(ship->avatar->root, p->position.x, p->position.y, p->position.z);
}

DockingPort *dunGetDockingPort(SceneItem *ship, int n) {
    DockingPort *p = firstPort(ship);
    for (int i = 0; p && p->next && i < n; ++i) p = p->next;
    return p;
}

void dunOpenDockingPort(SceneItem *ship, int n) {
    if (DockingPort *p = dunGetDockingPort(ship, n)) p->flags |= PortFlag::Open;
}

SceneItem *dunGetDockedPartner(SceneItem *ship, SceneItem *other) {
    for (DockingPort *p = firstPort(ship); p; p = p->next) {
        if (!(p->flags & PortFlag::Docked)) continue;
        if (!other) return p->partner;
        if (p->partner == other) return other;
    }
    return nullptr;
}

int dunDockedLinkCount(SceneItem *item) {
    int n = 0;
    for (DockingPort *p = firstPort(item); p; p = p->next) n += (p->flags & PortFlag::Docked) != 0;
    return n;
}

uint8_t dunPortsCompatible(SceneItem *a, int n, SceneItem *b, int m) {
    const DockingPort *p = dunGetDockingPort(a, n);
    const DockingPort *q = dunGetDockingPort(b, m);
    if (!p || !q) return 0;
    const bool open = (p->flags & PortFlag::Open) && (q->flags & PortFlag::Open);
    return open && (p->mask & q->mask) && !(p->flags & PortFlag::Docked) ? 0xFF : 0;
}

uint16_t dunCountBits(uint32_t value) { return uint16_t(__builtin_popcount(value)); }

namespace {

uint32_t scoreKey(const SceneItem *item) { return item && item->avatar ? item->avatar->scoreRecord : 0; }

// Reservations for a score record that has gone, or for the partner now
// being paired again, are released.
void releaseStale(SceneItem *ship, SceneItem *partner) {
    for (DockingPort *p = firstPort(ship); p; p = p->next) {
        if (!(p->flags & PortFlag::Reserved)) continue;
        if (!dunCall(dunAi().findScoreRecord, p->reservation) || p->reservation == scoreKey(partner))
            p->flags &= ~PortFlag::Reserved;
    }
}

// The port at index i, or null when the index passes the list's end.
DockingPort *portAt(SceneItem *ship, int i) {
    DockingPort *p = firstPort(ship);
    for (int k = 0; p && k < i; ++k) p = p->next;
    return p;
}

bool usable(const DockingPort *p) {
    return p && (p->flags & PortFlag::Open) && !(p->flags & (PortFlag::Docked | PortFlag::Reserved));
}

void reserve(DockingPort *p, SceneItem *partner) {
    p->flags |= PortFlag::Reserved;
    p->reservation = scoreKey(partner);
}

}  // namespace

void dunPairDockingPorts(SceneItem *a, SceneItem *b, int *i, int *j) {
    releaseStale(a, b);
    releaseStale(b, a);
    if (*i >= 0 && *j >= 0) {
        DockingPort *p = portAt(a, *i), *q = portAt(b, *j);
        if (!usable(p)) *i = -1;
        if (!usable(q)) *j = -1;
        if (*i >= 0 && *j >= 0) {
            reserve(p, b);
            reserve(q, a);
            return;
        }
    }
    *i = *j = -1;
    DockingPort *bestP = nullptr, *bestQ = nullptr;
    int limit = 64, ia = 0;
    for (DockingPort *p = firstPort(a); p; p = p->next, ++ia) {
        if (!usable(p)) continue;
        int jb = 0;
        for (DockingPort *q = firstPort(b); q; q = q->next, ++jb) {
            if (!usable(q) || !(p->mask & q->mask)) continue;
            const int bits = dunCountBits(p->mask) + dunCountBits(q->mask);
            if (bits < limit) {
                limit = bits;
                bestP = p;
                bestQ = q;
                *i = ia;
                *j = jb;
            }
        }
    }
    if (bestP) {
        reserve(bestP, b);
        reserve(bestQ, a);
    }
}

void dunReleaseDockingPorts(SceneItem *a, SceneItem *b) {
    for (DockingPort *p = firstPort(a); p; p = p->next) p->flags &= ~PortFlag::Reserved;
    for (DockingPort *p = firstPort(b); p; p = p->next) p->flags &= ~PortFlag::Reserved;
}

float dunDockAlignment(const Mat4 *m, const Mat4 *w) {
    const double x = std::fabs(VecDot(dunMatRow(*m, 0), dunMatRow(*w, 0)));
    const double y = std::fabs(VecDot(dunMatRow(*m, 1), dunMatRow(*w, 1)));
    const double z = VecDot(dunMatRow(*m, 2), dunMatRow(*w, 2));
    return float((x + y + z + 3.0) / 6.0);
}

void dunAlignForDocking(Mat4 *out, const Mat4 *host, const DockingPort *p, const DockingPort *q) {
    *out = *host;
    MatRotateY(q->angleY, *out);
    MatRotateX(q->angleX, *out);
    MatRotateY(180.0f, *out);
    MatRotateX(-p->angleX, *out);
    MatRotateY(-p->angleY, *out);
}

uint8_t dunTryDockOnContact(SceneItem *a, SceneItem *b) {
    dunDockAlignmentShown = 0.0f;
    if (!a->sim || !b->sim) return 0;
    const Vec3 pa0 = {a->sim->matrix.m[12], a->sim->matrix.m[13], a->sim->matrix.m[14]};
    const Vec3 qb0 = {b->sim->matrix.m[12], b->sim->matrix.m[13], b->sim->matrix.m[14]};
    for (DockingPort *p = firstPort(a); p; p = p->next) {
        const Vec3 po = portOffset(a, p);
        const Vec3 pa = {pa0.x + po.x, pa0.y + po.y, pa0.z + po.z};
        for (DockingPort *q = firstPort(b); q; q = q->next) {
            if (!(p->mask & q->mask) || (p->flags & PortFlag::Docked) || (q->flags & PortFlag::Docked)) continue;
            const Vec3 qo = portOffset(b, q);
            const Vec3 gap = {qb0.x + qo.x - pa.x, qb0.y + qo.y - pa.y, qb0.z + qo.z - pa.z};
            if (!(VecLength(gap) < 3200.0)) continue;
            Mat4 wanted;
            dunAlignForDocking(&wanted, &b->sim->matrix, p, q);
            const float alignment = dunDockAlignment(&a->sim->matrix, &wanted);
            dunDockAlignmentShown = alignment;
            if (alignment > 0.9f && dunDockShips(a, b, p, q, 0)) {
                playWithPan(a, 30);
                return 0xFF;
            }
        }
    }
    return 0;
}

void dunSetDocked(DockingPort *port, SceneItem *ship, SceneItem *partner, DockingPort *mate) {
    port->savedControl = ship->control;
    port->savedSimulator = ship->simulator;
    port->partner = partner;
    port->mated = mate;
    port->flags |= PortFlag::Docked;
}

void dunClearPort(DockingPort *port) {
    port->flags &= ~(PortFlag::Docked | PortFlag::Mover | PortFlag::Reserved);
    port->savedControl = nullptr;
    port->savedSimulator = nullptr;
    port->partner = nullptr;
    port->mated = nullptr;
}

void dunMakeMover(SceneItem *ship, DockingPort *port) {
    port->flags |= PortFlag::Mover;
    ship->avatar->dockPort = port;
    ship->simulator = dunUpdateDocking;
}

void dunOrderGoingHome(SceneItem *ship, SceneItem *host) {
    if (host && host->sim)
        for (Weapon *w = host->sim->weapons; w; w = w->next)
            if (w->flags & WeaponFlag::Missile) w->rounds[0] = w->rounds[1] = w->rounds[2] = 4;
    ship->sim->flags &= ~SimFlag::ReturnHome;
    dunCall(dunAi().setOrder, ship, 1, "Going home", 80, 18, ship->sim->target);
    dunCall(dunAi().startOrder, ship, 1);
}

uint8_t dunDockShips(SceneItem *a, SceneItem *b, DockingPort *p, DockingPort *q, int16_t bias) {
    if (!p || !q || !shipOf(a) || !shipOf(b)) return 0;
    if ((a != dunPlayerShip && dockingDamaged(a)) || (b != dunPlayerShip && dockingDamaged(b))) return 0;
    if (!(p->mask & q->mask) || !(p->flags & PortFlag::Open) || !(q->flags & PortFlag::Open)) return 0;

    if (dunRemoteLinked && ((a == dunPlayerShip && b == dunRemoteLinked) || (b == dunPlayerShip && a == dunRemoteLinked)))
        dunLeaveRemoteControl();
    clearAutopilotAndTarget(a);
    clearAutopilotAndTarget(b);
    if (a == dunPlayerShip && (shipOf(b)->flags & ShipFlag::HomeBase)) shipOf(a)->flags |= ShipFlag::HomeBase;
    if (b == dunPlayerShip && (shipOf(a)->flags & ShipFlag::HomeBase)) shipOf(b)->flags |= ShipFlag::HomeBase;

    dunSetDocked(p, a, b, q);
    dunSetDocked(q, b, a, p);
    if (q->size < p->size + bias)
        dunMakeMover(b, q);
    else
        dunMakeMover(a, p);
    a->avatar->partner = b;
    b->avatar->partner = a;

    // The smaller side of a control-transfer port takes over the other's
    // routines.
    if ((q->flags & PortFlag::ControlTransfer) && p->size + bias < q->size) {
        a->control = q->savedControl;
        a->simulator = q->savedSimulator;
        a->sim->flightMode = b->sim->flightMode;
        if (b == dunPlayerShip) dunControlledObject = a;
        b->control = dunUpdateDocking;
        b->avatar->dockPort = q;
        q->flags |= PortFlag::Mover;
        p->flags &= ~PortFlag::Mover;
    } else if ((p->flags & PortFlag::ControlTransfer) && q->size < p->size + bias) {
        b->control = p->savedControl;
        b->simulator = p->savedSimulator;
        b->sim->flightMode = a->sim->flightMode;
        if (a == dunPlayerShip) dunControlledObject = b;
    }

    if (q->replacement)
        merge(a, p, b, q->replacement);
    else if (p->replacement)
        merge(b, q, a, p->replacement);

    SceneItem *mover = (p->flags & PortFlag::Mover) ? a : (q->flags & PortFlag::Mover) ? b : nullptr;
    if (mover) {
        dunUpdateDocking(mover);
        mover->avatar->matrix = mover->sim->matrix;
    }
    if (a->sim->flags & SimFlag::ReturnHome) dunOrderGoingHome(a, b);
    if (b->sim->flags & SimFlag::ReturnHome) dunOrderGoingHome(b, a);

    dunCall(dunHud().missionLogAdd, a, b, 4, nameOf(a), nameOf(b));
    const bool takeA = p->flags & (PortFlag::TakenIn | PortFlag::TakenInHidden);
    const bool takeB = q->flags & (PortFlag::TakenIn | PortFlag::TakenInHidden);
    if (takeA) dunDeleteSceneItem(a);
    if (takeB) dunDeleteSceneItem(b);
    return 0xFF;
}

void dunUpdateDocking(SceneItem *o) {
    Sim *s = o->sim;
    if (!s || !o->avatar) return;
    DockingPort *p = o->avatar->dockPort;
    SceneItem *h = p && (p->flags & PortFlag::Docked) ? p->partner : nullptr;
    if (!h || !(h->flags & SceneFlag::InUse) || !h->sim || !p->mated) {
        o->avatar->dockPort = nullptr;
        o->simulator = dunFlyShip;
        dunFlyShip(o);
        return;
    }
    const DockingPort *mate = p->mated;
    if (o == dunControlledObject) dunCurrentHost = h;
    const Sim *c = dunControlledObject ? dunControlledObject->sim : nullptr;
    if (!(c && (c->flags & SimFlag::Carried) && c->host == h)) {
        s->velocity = h->sim->velocity;
        s->speed = h->sim->speed;
    } else {
        s->velocity = {0.0f, 0.0f, 0.0f};
        s->speed = 0.0f;
        s->flags |= SimFlag::Carried;
        s->host = h;
    }
    Mat4 m;
    dunAlignForDocking(&m, &h->sim->matrix, p, mate);
    const bool rotating = p->flags & PortFlag::Rotating;
    const Vec3 axis = rotating ? portAxis(p) : Vec3{0.0f, 0.0f, 1.0f};
    if (rotating) {
        Mat4 turn;
        MatIdentity(turn);
        MatRotationAxis(turn, axis.x, axis.y, axis.z, p->roll);
        MatPostMultiply(m, turn);
    }
    m.m[12] = m.m[13] = m.m[14] = 0.0f;
    s->matrix = m;
    const Vec3 hostSide = portOffset(h, mate);
    const Vec3 ownSide = portOffset(o, p);
    s->position.x = h->sim->position.x + hostSide.x - ownSide.x;
    s->position.y = h->sim->position.y + hostSide.y - ownSide.y;
    s->position.z = h->sim->position.z + hostSide.z - ownSide.z;
    dunSyncFloatPosition(s);
    if ((h->sim->flags & SimFlag::Lds) && o == dunControlledObject) dunLdsView = 0xFF;
    if (rotating) {
        const Vec3 turning = {o->turnDemand[0] + s->turnRates.x, o->turnDemand[1] + s->turnRates.y,
                              o->turnDemand[2] + s->turnRates.z};
        float roll = p->roll - float(VecDot(turning, axis)) * dunFrameSeconds;
        roll = std::fmod(roll, 360.0f);
        if (roll < 0.0f) roll += 360.0f;
        p->roll = roll;
    }
}

void dunUnmatePorts(DockingPort *port) {
    DockingPort *mate = port ? port->mated : nullptr;
    if (!mate) {
        if (port) dunClearPort(port);
        return;
    }
    SceneItem *own = ownerOf(port), *other = port->partner;
    DockingPort *moverPort = (port->flags & PortFlag::Mover) ? port : mate;
    DockingPort *hostPort = moverPort == port ? mate : port;
    SceneItem *mover = moverPort == port ? own : other;
    SceneItem *host = moverPort == port ? other : own;
    if (mover) {
        mover->control = moverPort->savedControl;
        mover->simulator = moverPort->savedSimulator;
        if (mover->avatar) mover->avatar->dockPort = nullptr;
    }
    if (host) {
        host->control = hostPort->savedControl;
        host->simulator = hostPort->savedSimulator;
        if (host->avatar) host->avatar->dockPort = nullptr;
    }
    if (mover && host && mover->sim && host->sim) mover->sim->velocity = host->sim->velocity;
    if (dunControlledObject != dunPlayerShip && (dunControlledObject == own || dunControlledObject == other) &&
        (dunPlayerShip == own || dunPlayerShip == other))
        dunControlledObject = dunPlayerShip;
    dunClearPort(port);
    dunClearPort(mate);
}

void dunUndockAll(SceneItem *item) {
    for (DockingPort *p = firstPort(item); p; p = p->next) {
        if (p->flags & PortFlag::Docked) dunUnmatePorts(p);
        p->flags &= ~PortFlag::InUse;
    }
}

void dunUndock(SceneItem *o) {
    DockingPort *p = firstPort(o);
    while (p && !(p->flags & PortFlag::Docked)) p = p->next;
    if (!p || (o->sim->flags & SimFlag::Clamped)) return;
    SceneItem *other = p->partner;
    if (!other || !other->sim || dockingDamaged(o) || dockingDamaged(other)) return;

    SceneItem *turret = o == dunRemoteLinked ? o : other == dunRemoteLinked ? other : nullptr;
    if (turret) dunLeaveRemoteControl();
    // The port on the other side tells the push direction.
    const DockingPort *otherPort = p->mated;
    const float otherAngleX = otherPort ? otherPort->angleX : 0.0f, otherAngleY = otherPort ? otherPort->angleY : 0.0f;
    dunUnmatePorts(p);
    if (turret) dunToggleTurretControl(dunPlayerShip, turret);
    if (o == dunPlayerShip && (shipOf(other)->flags & ShipFlag::HomeBase)) shipOf(o)->flags &= ~ShipFlag::HomeBase;
    if (other == dunPlayerShip && (shipOf(o)->flags & ShipFlag::HomeBase)) shipOf(other)->flags &= ~ShipFlag::HomeBase;

    o->avatar->boostTimer = 0;
    SceneItem *k = maximumThrust(other) > maximumThrust(o) ? other : o;
    SceneItem *l = k == o ? other : o;
    const float angleX = l == other ? otherAngleX : p->angleX;
    const float angleY = l == other ? otherAngleY : p->angleY;
    Mat4 turn;
    MatIdentity(turn);
    MatRotateY(angleY, turn);
    MatRotateX(angleX, turn);
    Vec3 d;
    MatRotateVector(l->sim->matrix, dunMatRow(turn, 2), d);
    float speed = l->sim->radius / 10.0f + maximumThrust(k);
    if (speed < 1000.0f) speed = 1000.0f;
    if (speed > 12000.0f) speed = 12000.0f;
    if (dunInfMode) speed *= float(std::pow(10.0, 0.67));
    k->sim->flags |= SimFlag::LdsBlocked;
    dunMsgPost(k->receiverId, k->receiverId, 500, MsgInterdictionOff, 0, nullptr);
    // The port on L's side faces K: K is pushed along it, away from L.
    k->sim->velocity.x += d.x * speed;
    k->sim->velocity.y += d.y * speed;
    k->sim->velocity.z += d.z * speed;
    k->sim->thrust = {0.0f, 0.0f, 0.0f};

    const bool controlled = o == dunControlledObject || other == dunControlledObject;
    const uint32_t delay = controlled ? 100 : 500;
    uint8_t payload[4];
    dunPayloadPutU32(payload, 0, dunHandleOf(other));
    dunMsgPost(o->receiverId, o->receiverId, delay, MsgPartnerReleased, 4, payload);
    dunPayloadPutU32(payload, 0, dunHandleOf(o));
    dunMsgPost(other->receiverId, other->receiverId, delay, MsgPartnerReleased, 4, payload);

    dunCall(dunHud().missionLogAdd, o, nullptr, 5, nameOf(o), nullptr);
    HookArgument argument = {};
    argument.other = other;
    dunRunEventHooks(o, HookEvent::Undocked, &argument);
    if (!(o->flags & SceneFlag::InUse)) return;
    if (!turret) dunCall(dunPresent().eventCamera, o, other, 9);
    if (controlled) playWithPan(o, 42);
    o->avatar->sidePartner = nullptr;
    if (other->flags & SceneFlag::InUse) other->avatar->sidePartner = nullptr;
}

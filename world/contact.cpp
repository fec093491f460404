#include "world/contact.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "RES/util.h"
#include "core/frame.h"
#include "core/options.h"
#include "platform/joystick.h"
#include "platform/sound.h"
#include "platform/video.h"
#include "world/collision.h"
#include "world/engineering.h"
#include "world/flight.h"
#include "world/handle.h"
#include "world/messages.h"
#include "world/msghandler.h"
#include "world/objlist.h"
#include "world/services.h"
#include "world/sound_place.h"
#include "world/universe.h"
#include "world/wreck.h"

uint8_t dunCollisionDamage = 0xFF;
uint8_t dunImpactJolt = 0;
int32_t dunGravityImpacts = 0;

namespace {

bool live(const SceneItem *item) { return item && (item->flags & SceneFlag::InUse); }

// Takes the shared flag of a contact: false when the other handler of the
// contact has already acted.
bool firstToAct(int16_t *handled) {
    if (*handled == 1) return false;
    *handled = 1;
    return true;
}

void postSelf(SceneItem *item, uint16_t type, uint32_t delay = 0) {
    dunMsgPost(item->receiverId, item->receiverId, delay, type, 0, nullptr);
}

Vec3 scaled(const Vec3 &v, float k) { return {v.x * k, v.y * k, v.z * k}; }
void add(Vec3 &to, const Vec3 &v) { to = {to.x + v.x, to.y + v.y, to.z + v.z}; }
void sub(Vec3 &from, const Vec3 &v) { from = {from.x - v.x, from.y - v.y, from.z - v.z}; }

float share(float f) { return f > 0.5f ? std::sqrt(f) : f * f; }

// Both sides of a bounce state (timed state and shield) make a side special,
// as does an opponent that rams through shields.
bool special(const Sim *own, const Sim *other) {
    return ((own->flags & SimFlag::TimedState) && (own->flags & SimFlag::Shielded)) ||
           (other->flags & SimFlag::RamsShields);
}

// The shield of a special, shielded side takes the blow: the damage factor
// is divided down and the side counts as special no more.
void shieldTakes(SceneItem *item, bool *isSpecial, float *factor, float f) {
    if (!*isSpecial || !(item->sim->flags & SimFlag::Shielded)) return;
    float divisor = 50.0f;
    if (item == dunPlayerShip) {
        const float e = dunShieldLevel(0) * dunShieldLevel(1);
        divisor = 50.0f * e * e;
    }
    if (divisor < 1.0f) divisor = 1.0f;
    *factor /= divisor;
    *isSpecial = false;
    item->sim->flags |= SimFlag::ShieldStruck;
    if (item == dunPlayerShip) dunShieldStrike(f / 1.6f);
}

// The whole part of a figure, saturated; a NaN (from a broken shape or mass)
// counts as 0.
int32_t whole(double d) {
    if (!(d == d)) return 0;
    return d >= 2147483647.0 ? INT32_MAX : d <= -2147483648.0 ? INT32_MIN : int32_t(d);
}

// The striker's damage message to the struck side.
void ramDamage(SceneItem *striker, SceneItem *struck, float factor, bool strikerSpecial) {
    ShipInfo *s = striker->sim->shipInfo, *t = struck->sim->shipInfo;
    const WorldAiHooks &ai = dunAi();
    if (!s || !t) {
        double amount = double(factor) * striker->sim->mass / 70.0;
        if (amount > 1000.0) amount = 1000.0;
        dunCall(ai.sendRelativePosition, striker, struck, 40, whole(amount));
        return;
    }
    const bool sameSide = (striker->avatar->flags & AvatarFlag::SideMask) == (struck->avatar->flags & AvatarFlag::SideMask);
    const int64_t ram = s->ramMass < int64_t(4) * t->ramMass ? s->ramMass : int64_t(4) * t->ramMass;
    const int32_t damage = whole(double(s->ramBonus + ram) * factor);
    const int32_t second = whole(double(s->hullStrength) * 0.7);
    if (!sameSide || strikerSpecial)
        dunCall(ai.sendRelativePosition, striker, struck, second, damage);
    else
        dunCall(ai.sendRelativePosition2, striker, struck, second, damage);
}

}  // namespace

void dunCollideShips(SceneItem *A, TDP *, SceneItem *B, TDP *, int16_t *handled, float *) {
    if (!firstToAct(handled)) return;
    if (!A->sim || !B->sim) return;
    Sim *a = A->sim, *b = B->sim;
    Vec3 w = {a->velocity.x - b->velocity.x, a->velocity.y - b->velocity.y, a->velocity.z - b->velocity.z};
    float S = VecNormalise(w);
    if (S < 1000.0f) S = 1000.0f;
    Vec3 d = {float(b->position.x - a->position.x), float(b->position.y - a->position.y),
              float(b->position.z - a->position.z)};
    float q = a->radius + b->radius;
    const float travel = S * dunFrameSeconds * 1.2f;
    if (travel < q) q = travel;
    Vec3 inA, inB;
    MatTransformPoint(inA, d, a->matrix);
    const Vec3 back = {-d.x, -d.y, -d.z};
    MatTransformPoint(inB, back, b->matrix);
    dunCall(dunAi().impactFromCollision, A, B, &inA);
    dunCall(dunAi().impactFromCollision, B, A, &inB);
    d = back;
    VecNormalise(d);
    // Pushed apart along the relative velocity, not along the centre line.
    a->position = {a->position.x - w.x * q, a->position.y - w.y * q, a->position.z - w.z * q};
    b->position = {b->position.x + w.x * q, b->position.y + w.y * q, b->position.z + w.z * q};
    float jA = 0.0f, jB = 0.0f;
    const float M = a->mass + b->mass;
    if (M != 0.0f) {
        jA = S * share(b->mass / M);
        jB = S * share(a->mass / M);
    }
    bool specialA = special(a, b), specialB = special(b, a);
    if ((a->flags | b->flags) & SimFlag::TimedState) {
        if (A != dunControlledObject && B != dunControlledObject) {
            if (!specialA && !specialB) return;
        } else {
            int32_t volume = -10000, pan = 0;
            SoundPositionFromCamera(A, &volume, &pan);
            SoundPlayVaried(8, volume, 0, pan, 0, 2000);
            dunImpactJolt = 127;
            add(a->velocity, scaled(d, jA * 2.0f));
            sub(b->velocity, scaled(d, jB * 2.0f));
            if (!specialA && !specialB) return;
        }
    }
    if ((a->flags & SimFlag::Lds) && (b->flags & SimFlag::Lds)) return;
    if (!dunCollisionDamage) return;
    float F;
    if (!specialA && !specialB) {
        add(a->velocity, scaled(d, jA));
        sub(b->velocity, scaled(d, jB));
        F = S / 30000.0f;
    } else {
        F = S / 60000.0f;
    }
    if (F > 10.0f) F = 10.0f;
    float FB = F, FA = F;
    shieldTakes(B, &specialB, &FB, F);
    shieldTakes(A, &specialA, &FA, F);
    if (!specialB) ramDamage(A, B, FB, specialA);
    if (!live(A) || !live(B)) return;
    if (!specialA) ramDamage(B, A, FA, specialB);
}

void dunContactBounce(SceneItem *self, TDP *selfNode, SceneItem *other, TDP *otherNode, int16_t *handled,
                      float *point) {
    if (other != dunPlayerShip && (self->avatar->contactPartMask & 0x1000)) {
        *handled = 1;
        dunMsgPost(self->receiverId, other->receiverId, 0, MsgRemove, 0, nullptr);
        dunImpactJolt = 160;
        self->avatar->contactPartMask = 0;
        return;
    }
    dunCollideShips(self, selfNode, other, otherNode, handled, point);
}

void dunContactPlasmaBall(SceneItem *self, TDP *, SceneItem *other, TDP *, int16_t *handled, float *) {
    if (!firstToAct(handled)) return;
    dunCall(dunAi().sendRelativePosition, self, other, 100, 100000000);
}

void dunContactProjectile(SceneItem *self, TDP *, SceneItem *other, TDP *, int16_t *handled, float *) {
    if (!firstToAct(handled)) return;
    if (!self->sim || !other->sim) return;
    const Vec3d &sp = self->avatar->position, &op = other->avatar->position;
    const Vec3d apart = {op.x - sp.x, op.y - sp.y, op.z - sp.z};
    const float ownRadius = self->sim->radius, otherRadius = other->sim->radius;
    double D = VecLengthApproxDouble(apart);
    if (std::fabs(D - ownRadius) > 6.0 * otherRadius) return;
    D = VecLengthDouble(apart);
    if (std::fabs(D - ownRadius) > 4.0 * otherRadius) return;
    float f = float((300000.0 - D) / 15000.0 * self->sim->mass / 10000.0);
    Vec3 unit = {float(apart.x), float(apart.y), float(apart.z)};
    VecNormalise(unit);
    if (f > 0.0f && !other->avatar->partner) {
        if (f > 1000.0f) f = 1000.0f;
        f *= dunFrameSeconds;
        const float mass = other->sim->mass > 100.0f ? other->sim->mass : 100.0f;
        add(other->sim->velocity, scaled(unit, f * 150.0f * 2000.0f / mass));
    }
    const int32_t n = whole((300000.0 - D) / 15000.0);
    if (n > 0 && other == dunPlayerShip && dunCall(dunGui().holdOff) <= 0) {
        if (f > 0.0f) {
            Vec3 felt;
            MatTransformPoint(felt, unit, other->sim->matrix);
            ffHitJoltAlt(whole(f * 200.0), felt.x, felt.y, felt.z);
        }
        int32_t volume = -10000, pan = 0;
        SoundPositionFromCamera(other, &volume, &pan);
        SoundPlay(45, 0, 0, pan, 0);
        uint8_t payload[4];
        dunPayloadPutU32(payload, 0, uint32_t(n));
        dunMsgPost(other->receiverId, other->receiverId, 0, MsgViewShake, 4, payload);
    }
}

void dunContactGravityBody(SceneItem *body, TDP *, SceneItem *other, TDP *, int16_t *handled, float *) {
    *handled = 1;
    if (!body->sim || !other->sim) return;
    if (!(other->avatar->flags & AvatarFlag::FreeBody) && !other->sim->shipInfo) return;
    if ((other->sim->flags & SimFlag::Lds) && other->sim->thrust.z > 1e10f) return;
    Vec3 d = {float(body->avatar->position.x - other->avatar->position.x),
              float(body->avatar->position.y - other->avatar->position.y),
              float(body->avatar->position.z - other->avatar->position.z)};
    const float D = float(VecLength(d));
    const float radius = body->sim->radius;
    if (D > radius) return;
    const float depth = D - radius / 2.0f;
    if (depth < radius / 2.0f * 0.015f) other->flags |= SceneFlag::InAtmosphere;
    // A crash is logged and counted once: not again while its destruction
    // is on its way or done.
    if (depth < 0.0f && !(other->sim->flags & SimFlag::Dead) && dunMsgCountType(other, MsgDestroyed) == 0) {
        if (other == dunPlayerShip && PlayVideo("vek\\resource\\video\\reentry1.smk")) VideoPlaying = 1;
        DamageRecord r = {};
        r.attacker = dunHandleOf(body);
        dunPostDamageRecord(other->receiverId, other->receiverId, 1, MsgDestroyed, &r);
        if (other->sim->shipInfo)
            dunCall(dunHud().missionLogAdd, other, body, 6, other->sim->shipInfo->name, body->avatar->waypointName);
        ++dunGravityImpacts;
    }
    GravityWell &g = other->sim->gravity;
    g.depth = depth;
    g.body = body;
    other->flags |= SceneFlag::InGravityWell;
    if (D > 0.0f) g.direction = scaled(d, 1.0f / D);
}

namespace {
// The mission-log line naming a star: the language's text with the name in
// place of its "%s" (the text is data, so it is never used as a format).
void logStarName(int32_t code) {
    const char *format = dunCall(dunGui().starLogFormat);
    const char *name = dunStarNameByCode(code);
    if (!format) return;
    char line[256];
    const char *at = std::strstr(format, "%s");
    if (at)
        std::snprintf(line, sizeof line, "%.*s%s%s", int(at - format), format, name ? name : "", at + 2);
    else
        std::snprintf(line, sizeof line, "%s", format);
    dunCall(dunHud().missionLogAddText, line);
}
}  // namespace

void dunContactLogBody(SceneItem *body, TDP *, SceneItem *other, TDP *, int16_t *handled, float *) {
    if (other == dunPlayerShip) {
        dunLastTouchedBody = body;
        const int32_t code = body->avatar->starCode;
        if (dunCapsuleJumpSwitch && code != 0 && code != dunCurrentStarCode) {
            dunCapsuleStarCode = code;
            dunCapsuleBody = dunFindBody(code, nullptr);
            logStarName(code);
        }
    }
    *handled = 1;
    if (!dunCurrentStarCode || !dunCapsuleStarCode || !other->sim) return;
    const FlightParams *flight = other->sim->flight;
    const ShipInfo *ship = other->sim->shipInfo;
    if (!flight || flight->tail[2] == 0.0f || (ship && (ship->capsule & 64))) return;
    if (body->systemNumber == 26 || body->systemNumber == 21) return;
    other->flags |= SceneFlag::TouchingBody;
}

void dunContactScripted(SceneItem *bay, TDP *bayNode, SceneItem *other, TDP *otherNode, int16_t *handled, float *) {
    *handled = 1;
    if (!bay->sim || !other->sim) return;
    const Vec3 d = {float(bay->sim->position.x - other->sim->position.x),
                    float(bay->sim->position.y - other->sim->position.y),
                    float(bay->sim->position.z - other->sim->position.z)};
    Vec3 separation = {bayNode->worldPosition.x - otherNode->worldPosition.x,
                       bayNode->worldPosition.y - otherNode->worldPosition.y,
                       bayNode->worldPosition.z - otherNode->worldPosition.z};
    if (VecLength(d) < bayNode->radius / 6.0f &&
        dunCollideBoxes(bayNode, &bay->sim->matrix, otherNode, &other->sim->matrix, &separation))
        *handled = 0;
    if (otherNode->flags & TDPFlag::RayNode) {
        *handled = 0;
        return;
    }
    other->sim->host = bay;
    other->sim->flags |= SimFlag::Carried;
    if ((bay->avatar->contactPartMask & 0x1000) && bay->sim->shipInfo) {
        for (const DockingPort *p = bay->sim->shipInfo->ports; p; p = p->next) {
            if (!live(p->partner)) continue;
            DamageRecord r = {};
            dunPostDamageRecord(bay->receiverId, p->partner->receiverId, 0, MsgDestroyed, &r);
        }
    }
    bay->avatar->contactPartMask = 0;
}

void dunContactImpact(SceneItem *self, TDP *, SceneItem *other, TDP *, int16_t *handled, float *) {
    if (!firstToAct(handled)) return;
    TDP *part = self->avatar->root;
    TDP *host = other->avatar->root;
    if (!part || !host || !self->sim || !other->sim) return;
    // What hung below and beside the part stays with no object to hold it:
    // it goes back to the pool rather than stay taken to the mission's end.
    TDP *children = part->child, *siblings = part->sibling;
    part->child = part->sibling = nullptr;
    dunReleaseTree(self, children);
    dunReleaseTree(self, siblings);
    TDP **tail = &host->child;
    while (*tail) tail = &(*tail)->sibling;
    *tail = part;
    part->owner = other;
    const Vec3 apart = {float(self->sim->position.x - other->sim->position.x),
                        float(self->sim->position.y - other->sim->position.y),
                        float(self->sim->position.z - other->sim->position.z)};
    Vec3 at;
    MatTransformPoint(at, apart, other->sim->matrix);
    const Vec3 forward = {self->sim->matrix.m[8], self->sim->matrix.m[9], self->sim->matrix.m[10]};
    const Vec3 up = {self->sim->matrix.m[4], self->sim->matrix.m[5], self->sim->matrix.m[6]};
    Vec3 f, u;
    MatTransformPoint(f, forward, other->sim->matrix);
    MatTransformPoint(u, up, other->sim->matrix);
    MatIdentity(part->local);
    MatLookAlong(f, &u, part->local);
    part->offset = at;
    part->local.m[12] = at.x;
    part->local.m[13] = at.y;
    part->local.m[14] = at.z;
    self->avatar->root = nullptr;
    postSelf(self, MsgRemove);
    other->avatar->flags16 |= AvatarState::DoubledSpeed;
}

void dunContactEffect(SceneItem *self, TDP *, SceneItem *other, TDP *, int16_t *handled, float *point) {
    if (*handled == 1) return;
    if (!(other->avatar->flags & AvatarFlag::BeamRound) || (other->avatar->flags & AvatarFlag::MunitionRound)) return;
    *handled = 1;
    Vec3 direction = point ? Vec3{point[0], point[1], point[2]} : Vec3{};
    VecNormalise(direction);
    direction = scaled(direction, self->sim ? self->sim->radius : 0.0f);
    dunMsgPost(self->receiverId, other->receiverId, 0, MsgRemove, 0, nullptr);
    dunCall(dunPresent().flashNavLight, self, 0, 60, &direction);
}

void dunContactExplode(SceneItem *self, TDP *, SceneItem *other, TDP *, int16_t *handled, float *) {
    if (!firstToAct(handled)) return;
    if (other->sim && other->sim->shipInfo) {
        const float r = other->sim->radius;
        float t = r > 0.0f ? 11700.0f / r * 2000.0f : 3000.0f;
        if (t > 3000.0f) t = 3000.0f;
        if (t > 200.0f) {
            other->sim->flags |= SimFlag::AiPaused;
            dunMsgPost(self->receiverId, other->receiverId, uint32_t(t), MsgRelease, 0, nullptr);
            const WorldPresentHooks &present = dunPresent();
            // The stun shimmers over the hull for as long as it lasts.
            TDP *part = dunCall(present.createParticleSystem, other, nullptr, 2, 0x1000012u, uint16_t(t), 220, 150,
                                10000.0f, 180, 5.0f);
            if (auto *ps = part ? static_cast<ParticleSystem *>(part->particleOrMaterial) : nullptr)
                dunCall(present.buildColourRamp, nullptr, ps->ramp, 190, 200, 255, 190, 200, 255);
        }
        if (other == dunPlayerShip) dunCall(dunGui().setInterference, 250);
    }
    postSelf(self, MsgRemove);
}

void dunContactDestroy(SceneItem *self, TDP *selfNode, SceneItem *other, TDP *otherNode, int16_t *, float *) {
    DamageRecord r = {};
    r.word0 = dunHandleOf(selfNode);
    r.point = {otherNode->worldPosition.x - selfNode->worldPosition.x,
               otherNode->worldPosition.y - selfNode->worldPosition.y,
               otherNode->worldPosition.z - selfNode->worldPosition.z};
    if (other->sim) {
        r.velocity = other->sim->velocity;
        r.mass = other->sim->mass;
    }
    r.attacker = dunHandleOf(other);
    dunPostDamageRecord(self->receiverId, self->receiverId, 0, MsgDestroyed, &r);
    self->avatar->contactHandler = nullptr;
}

void dunDestroyOnContact(SceneItem *self, TDP *, SceneItem *, TDP *, int16_t *, float *) { postSelf(self, MsgRemove); }

void dunDestroySelf(SceneItem *item, const DamageRecord *) { postSelf(item, MsgRemove); }

void dunBreakOffDebris(SceneItem *item, float x, float y, float z, uint8_t planar, uint8_t explode) {
    TDP *root = item->avatar->root;
    if (!root || !(root->flags & TDPFlag::Collidable)) return;
    item->yawSpin = float(dunRand15() % 50 - 25);
    item->pitchSpin = float(dunRand15() % 50 - 25);
    dunBreakNearestIntoSceneItems(item, root, 5, x, y, z, 3.0f, planar, explode);
    item->avatar->contactHandler = nullptr;
}

void dunDamageWithDebris(SceneItem *item, const DamageRecord *record) {
    if (item->avatar->objectA) {
        const Vec3 p = record ? record->point : Vec3{};
        dunBreakOffDebris(item, p.x, p.y, p.z, 0xFF, 0);
    } else {
        dunApplyDamage(item, record);
    }
}

namespace {
// How large the object's root part shows in the view; 0 for a part the view
// has not placed (no depth).
float projectedSize(const TDP *root) {
    const float depth = std::fabs(root->viewPosition.z);
    if (depth == 0.0f) return 0.0f;
    float size = root->radius * 900.0f / depth;
    const float zoom = dunCall(dunPresent().cameraZoom);
    if (zoom != 0.0f) size *= zoom;
    return size;
}
}  // namespace

void dunApplyDamage(SceneItem *item, const DamageRecord *record) {
    if (!item || !item->avatar || !item->sim) return;
    const DamageRecord none = {};
    if (!record) record = &none;
    TDP *root = item->avatar->root;
    const float size = root ? projectedSize(root) : 0.0f;
    bool shown;
    if (item == dunPlayerShip)
        shown = true;
    else if (item->avatar->flags & AvatarFlag::LaunchedRound)
        shown = false;
    else
        shown = size > 25.0f;
    const WorldPresentHooks &present = dunPresent();
    if (shown) {
        if (!root || !(root->flags & TDPFlag::Collidable)) return;
        Vec3 point = record->point;
        VecNormalise(point);
        point = scaled(point, 0.75f * root->radius);
        int pieces = 9;
        if (CardMode) {
            pieces = whole(size / 50.0);
            pieces = pieces < 2 ? 2 : pieces > 8 ? 8 : pieces;
        }
        SceneItem *piece = dunBreakNearest(item, root, pieces, point.x, point.y, point.z, 3.0f);
        if (!piece || !piece->sim) return;
        const float payloadMass = record->mass == 0.0f ? 1.0f : record->mass;
        const float s = payloadMass / (piece->sim->mass + payloadMass);
        piece->sim->velocity = item->sim->velocity;
        add(piece->sim->velocity, scaled(record->velocity, s));
        piece->control = present.wreckBreakUpControl;
        dunCall(present.eventCamera, piece, nullptr, 5);
        piece->sim->radius = item->sim->radius;
        if (!(item->avatar->flags & AvatarFlag::BeamRound))
            dunCall(present.spawnDestructionExplosion, piece, record, item);
        item->avatar->contactHandler = nullptr;
        return;
    }
    SceneItem *wreck = dunBreakIntoWreck(item);
    postSelf(item, MsgRemove);
    if (!wreck) return;
    dunCall(present.spawnSparks, wreck, 15, 15, 0, 255, 255, 0);
    postSelf(wreck, MsgRemove, 600);
}

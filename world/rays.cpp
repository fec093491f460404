#include "world/rays.h"

#include <cfloat>
#include <cmath>

#include "world/docking.h"
#include "world/objlist.h"
#include "world/services.h"

namespace {

float axis(const Vec3 &v, int k) { return k == 0 ? v.x : k == 1 ? v.y : v.z; }
void setAxis(Vec3 &v, int k, float value) { (k == 0 ? v.x : k == 1 ? v.y : v.z) = value; }

// The other two coordinates of a point on a face plane lie strictly inside
// the face.
bool insideFace(const Vec3 &q, const HitBox &box, int k) {
    for (int j = 0; j < 3; ++j) {
        if (j == k) continue;
        if (!(axis(box.lower, j) < axis(q, j) && axis(q, j) < axis(box.upper, j))) return false;
    }
    return true;
}

}  // namespace

uint8_t dunRayHitsHitBoxes(const Vec3 *p, TDP *n, const Vec3 *v, Vec3 *out) {
    if (!n || !n->collision) return 0;
    Vec3 local;
    if (!out) out = &local;
    bool stored = false;
    uint32_t mask = 0;
    for (const HitBox *box = n->collision->boxes; box; box = box->next) {
        bool met = false;
        for (int k = 0; k < 3; ++k) {
            const float vk = axis(*v, k);
            // Parallel to the faces of this axis: they are never met.
            if (vk == 0.0f) continue;
            const float face = vk > 0.0f ? axis(box->lower, k) : axis(box->upper, k);
            const float t = (face - axis(*p, k)) / vk;
            Vec3 q = {p->x + v->x * t, p->y + v->y * t, p->z + v->z * t};
            setAxis(q, k, face);
            if (!insideFace(q, *box, k)) continue;
            met = true;
            if (!stored || (vk > 0.0f ? axis(q, k) < axis(*out, k) : axis(q, k) > axis(*out, k))) {
                *out = q;
                stored = true;
            }
        }
        if (met) mask |= box->flags;
    }
    if (!stored) return 0;
    if (n->owner && n->owner->avatar) n->owner->avatar->contactPartMask = mask;
    return 0xFF;
}

uint8_t dunRayToNodeFrame(const Mat4 *rayMatrix, const Mat4 *ownerMatrix, TDP *node, float x, float y, float z,
                          Vec3 *point) {
    const Vec3 forward = {rayMatrix->m[8], rayMatrix->m[9], rayMatrix->m[10]};
    Vec3 direction;
    MatTransformPoint(direction, forward, *ownerMatrix);
    const Vec3 origin = {x, y, z};
    Vec3 hit;
    if (!dunRayHitsHitBoxes(&origin, node, &direction, &hit)) return 0;
    if (point) {
        Vec3 world;
        MatTransformPointTransposed(world, hit, *ownerMatrix);
        *point = {world.x + node->worldPosition.x, world.y + node->worldPosition.y, world.z + node->worldPosition.z};
    }
    return 0xFF;
}

TDP *dunRayHitsNode(SceneItem *ray, TDP *n, Vec3 *point) {
    if (!ray || !ray->sim || !ray->avatar || !n) return nullptr;
    if ((n->flags & TDPFlag::SkyWorld) || !(n->flags & TDPFlag::Collidable)) return nullptr;
    const Vec3 world = {float(ray->sim->position.x - n->worldPosition.x),
                        float(ray->sim->position.y - n->worldPosition.y),
                        float(ray->sim->position.z - n->worldPosition.z)};
    Vec3 e;
    MatTransformPoint(e, world, ray->sim->matrix);
    if (!(std::fabs(e.z) < ray->avatar->rayLength && VecLengthApprox2(e) < n->radius * 1.2f)) return nullptr;
    SceneItem *owner = n->owner;
    if (!owner || !owner->sim) return nullptr;
    MatTransformPoint(e, world, owner->sim->matrix);
    if (n->flags & TDPFlag::SpheresOnly) {
        if (point) *point = {float(ray->sim->position.x), float(ray->sim->position.y), float(ray->sim->position.z)};
        return n;
    }
    return dunRayToNodeFrame(&ray->sim->matrix, &owner->sim->matrix, n, e.x, e.y, e.z, point) ? n : nullptr;
}

float dunAimScore(const Mat4 *aim, SceneItem *x, uint32_t include, uint32_t exclude, float *lateral) {
    if (!x || !x->avatar || !x->sim || !(x->avatar->flags & include) || (x->avatar->flags & exclude))
        return -1e10f;
    Vec3 q = {x->sim->matrix.m[12] - aim->m[12], x->sim->matrix.m[13] - aim->m[13], x->sim->matrix.m[14] - aim->m[14]};
    MatTransformPoint(q, q, *aim);
    const float side = std::fabs(q.x) + std::fabs(q.y);
    if (lateral) *lateral = side;
    // Level with the aim point: neither in front nor behind, and the worst
    // of the fallbacks (not the NaN or infinity a division would give).
    if (q.z == 0.0f) return -FLT_MAX;
    float scale = dunCall(dunPresent().viewProjectionScale);
    if (!(scale > 0.0f)) scale = 1.0f;  // no 3D view yet: unscaled
    return side * scale / q.z;
}

SceneItem *dunRayHitsObject(SceneItem *o, Weapon *w, uint32_t include, uint32_t exclude, float *distance,
                            SceneItem *skip) {
    if (!o || !o->sim) return nullptr;
    Mat4 aim = o->sim->matrix;
    if (w) {
        Vec3 mount;
        MatTransformPointTransposed(mount, w->mount, aim);
        aim.m[12] += mount.x;
        aim.m[13] += mount.y;
        aim.m[14] += mount.z;
    }
    SceneItem *front = nullptr, *back = nullptr;
    float frontScore = 0.0f, backScore = 0.0f, frontLateral = 0.0f, backLateral = 0.0f;
    SceneItem *head = dunSceneListHead();
    for (SceneItem *x = head->next; x && x != head; x = x->next) {
        if (x == o || x == skip || !x->avatar || (x->avatar->flags16 & AvatarState::NoContact)) continue;
        if (dunGetDockedPartner(x, nullptr) == o) continue;
        float lateral = 0.0f;
        const float score = dunAimScore(&aim, x, include, exclude, &lateral);
        if (score == -1e10f) continue;
        if (score >= 0.0f) {
            if (!front || score < frontScore) front = x, frontScore = score, frontLateral = lateral;
        } else if (!back || score > backScore) {
            back = x, backScore = score, backLateral = lateral;
        }
    }
    if (distance) {
        if (front)
            *distance = frontLateral;
        else if (back)
            *distance = backLateral;
    }
    return front;
}

TDP *dunNearestFlaggedNode(uint32_t mask, uint32_t exclude, TDP *node, float x, float y, float z, float *best) {
    if (!node) return nullptr;
    TDP *found = nullptr;
    if (TDP *n = dunNearestFlaggedNode(mask, exclude, node->sibling, x, y, z, best)) found = n;
    if (TDP *n = dunNearestFlaggedNode(mask, exclude, node->child, x, y, z, best)) found = n;
    if ((node->flags & mask) && !(node->flags & exclude)) {
        const Vec3 d = {node->worldPosition.x - x, node->worldPosition.y - y, node->worldPosition.z - z};
        const float dist = float(VecLength(d));
        // A part never finds itself at the point it stands on.
        if (dist > 0.01f && dist < *best) {
            *best = dist;
            found = node;
        }
    }
    return found;
}

TDP *dunFindObjectByFlags(uint32_t mask, uint32_t exclude, float x, float y, float z, float radius) {
    float best = radius;
    TDP *found = nullptr;
    SceneItem *head = dunSceneListHead();
    for (SceneItem *it = head->next; it && it != head; it = it->next)
        if (it->avatar)
            if (TDP *n = dunNearestFlaggedNode(mask, exclude, it->avatar->root, x, y, z, &best)) found = n;
    return found;
}

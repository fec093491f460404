#include "world/collision.h"

#include <cmath>

#include "core/frame.h"
#include "core/log.h"
#include "platform/sound.h"
#include "world/docking.h"
#include "world/eventhooks.h"
#include "world/flight.h"
#include "world/messages.h"
#include "world/msghandler.h"
#include "world/objlist.h"
#include "world/pools.h"
#include "world/rays.h"
#include "world/services.h"
#include "world/step.h"

int32_t dunObjectCount = 0;
uint8_t dunProximityWarning = 0;
int32_t dunProximityHoldOff = 0;
uint8_t dunProximityWarningOption = 0xFF;

namespace {

bool live(const SceneItem *item) { return item && (item->flags & SceneFlag::InUse); }

// Hits of the narrow phase. Only a hit calls out of the collision code (a
// docking, events, contact handlers); a pair that ends without one has moved
// nothing and changed no list.
uint32_t hitsFound = 0;

// An object the pair tests can take: in use, with a body and physics.
bool collides(const SceneItem *item) { return live(item) && item->sim && item->avatar && item->avatar->root; }

Vec3 positionDifference(const Vec3d &to, const Vec3d &from) {
    return {float(to.x - from.x), float(to.y - from.y), float(to.z - from.z)};
}

// The successor of a walk's object once a call may have taken objects out
// of the list: the one fetched before the call while it is still linked,
// else the object's own successor, else none.
SceneItem *following(SceneItem *it, SceneItem *fetched) {
    if (fetched && fetched->next) return fetched;
    return it->next;
}

void proximityWarning() {
    if (dunProximityWarningTest(dunPlayerShip)) {
        dunProximityWarning = 0xFF;
        const char *text = dunCall(dunGui().proximityWarningText);
        if (dunProximityHoldOff == 0 && text) {
            dunProximityHoldOff = 500;
            dunCall(dunGui().displayMessage, text, 200);
            SoundPlay(66, 0, 0, 0, 0);
        } else if (dunProximityHoldOff < 0) {
            dunProximityHoldOff = 0;
        } else if (dunProximityHoldOff > 500) {
            dunProximityHoldOff = 500;
        }
    }
    if (dunProximityHoldOff > 0) dunProximityHoldOff -= dunFrameStep;
}

// The contact: both objects hear of it (event 7), then their handlers run,
// the one of the higher collision priority first (A first on a tie).
void contact(SceneItem *A, TDP *a, SceneItem *B, TDP *b, const Vec3 &point) {
    b->flags |= TDPFlag::HitThisStep;
    const HookArgument toA = {point, B, nullptr};
    dunRunEventHooks(A, HookEvent::Collision, &toA);
    const HookArgument toB = {point, A, nullptr};
    dunRunEventHooks(B, HookEvent::Collision, &toB);
    // A hook may have removed either: a freed object gets no handler call,
    // and nothing is posted in its name.
    if (!live(A) || !live(B)) return;
    int16_t handled = 0;
    float p[3] = {point.x, point.y, point.z};
    SceneItem *first = A, *second = B;
    TDP *firstNode = a, *secondNode = b;
    if (A->avatar->collisionPriority < B->avatar->collisionPriority) {
        first = B, second = A;
        firstNode = b, secondNode = a;
    }
    if (ContactHandler h = first->avatar->contactHandler) h(first, firstNode, second, secondNode, &handled, p);
    if (!live(first) || !live(second)) return;
    if (ContactHandler h = second->avatar->contactHandler) h(second, secondNode, first, firstNode, &handled, p);
}

}  // namespace

void dunResetFrameFlags() {
    SceneItem *head = dunSceneListHead();
    int32_t count = 0;
    for (SceneItem *it = head->next; it && it != head; it = it->next) {
        if (it->avatar) it->avatar->flags16 &= uint16_t(~AvatarState::PerStep);
        it->flags &= ~SceneFlag::InGravityWell;
        if (Sim *s = it->sim) {
            if (s->shipInfo) s->shipInfo->current.p8x100 = s->shipInfo->nominal.p8x100;
            if (it->simulator != dunUpdateDocking) s->flags &= ~SimFlag::Carried;
        }
        ++count;
        it->flags &= ~(SceneFlag::TouchingBody | SceneFlag::InGravityWell | SceneFlag::InAtmosphere);
    }
    dunObjectCount = count;
}

void dunResetProximity() {
    SceneItem *head = dunSceneListHead();
    for (SceneItem *it = head->next; it && it != head; it = it->next) {
        if (!it->avatar) continue;
        it->avatar->nearest = nullptr;
        it->avatar->proximity = 2000000.0f;
    }
}

namespace {

// The pass walks a copy of the list's order, each object with all its pair
// tests read of it, so that the pair loop runs down an array instead of
// chasing links into four pools. Only a hit calls out of the loop, and a call
// out may move or change anything: the entries still to be paired are then
// read again, and when the list itself changed the copy is taken again and
// the walk goes on where the list walk would.
struct Entry {
    SceneItem *item;
    const Sim *sim;
    Vec3d position;
    float radius;
    uint32_t flags;  // the object's
    TDP *root;  // none (or no Avatar): it never pairs
    const SceneItem *partner;
    bool loneRay;  // its root is a ray part without children or siblings
    bool particle;  // its root is always hit
};
Entry order[kMaxSceneItems + 1];
int orderCount = 0;
int cursorAt = 0;  // the index of the list's cursor (orderCount: the sentinel)
uint32_t changesSeen = 0;
SceneItem *cursorSeen = nullptr;

void read(Entry &e) {
    if (const Sim *s = e.sim) {
        e.position = s->position;
        e.radius = s->radius;
    }
    const SceneItem *it = e.item;
    const Avatar *av = it->avatar;
    e.flags = it->flags;
    e.root = av ? av->root : nullptr;
    e.partner = av ? av->partner : nullptr;
    e.loneRay = e.root && !e.root->child && !e.root->sibling && (e.root->flags & TDPFlag::RayNode);
    e.particle = e.root && (e.root->flags & TDPFlag::Particle);
}

void takeOrder() {
    SceneItem *head = dunSceneListHead();
    orderCount = 0;
    cursorAt = -1;
    for (SceneItem *it = head->next; it && it != head && orderCount <= kMaxSceneItems; it = it->next) {
        if (it == dunCurrentItem) cursorAt = orderCount;
        Entry &e = order[orderCount++];
        e = {};
        e.item = it;
        e.sim = it->sim;
        read(e);
    }
    if (cursorAt < 0) cursorAt = orderCount;
    changesSeen = dunSceneListChanges;
    cursorSeen = dunCurrentItem;
}

bool orderChanged() { return changesSeen != dunSceneListChanges || cursorSeen != dunCurrentItem; }

// The entries from one on, as their objects stand now (the earlier ones are
// not paired again).
void refreshEntries(int from) {
    for (int i = from; i < orderCount; ++i) read(order[i]);
}

// Where an object stands in the copy: its index, orderCount for none (the
// sentinel, or an object no longer listed).
int indexOf(const SceneItem *it) {
    for (int i = 0; i < orderCount; ++i)
        if (order[i].item == it) return i;
    return orderCount;
}

SceneItem *after(int i) { return i + 1 < orderCount ? order[i + 1].item : dunSceneListHead(); }

bool partners(const Entry &ea, const Entry &eb) { return ea.partner == eb.item || eb.partner == ea.item; }

// Two bodies of one ray part each (the bolts) have nothing the tree walk
// could find: a ray is traced only against a part that is no ray. A bolt's
// reach is its speed, so nearly every two bolts in flight come this far.
bool loneRays(const Entry &ea, const Entry &eb) { return ea.loneRay && eb.loneRay && !eb.particle; }

// The narrow phase of a pair; true when it found a hit.
bool narrowHit(const Entry &ea, const Entry &eb) {
    const uint32_t before = hitsFound;
    dunCollideTrees(ea.root, eb.root);
    return hitsFound != before;
}

// One pair of the broad phase, as the copy holds the two; true when the
// narrow phase found a hit, after which anything may have moved. The cheap
// tests come first: most pairs end at the first.
bool pairTest(const Entry &ea, const Entry &eb) {
    const float sum = ea.radius + eb.radius;
    const double dx = eb.position.x - ea.position.x, dy = eb.position.y - ea.position.y,
                 dz = eb.position.z - ea.position.z;
    // Farther than 5 x the sum along any axis: farther by the approximate
    // length too, so neither the proximity nor the axis test can pass.
    const double reach = 5.0 * sum;
    if (!(std::fabs(dx) < reach && std::fabs(dy) < reach && std::fabs(dz) < reach)) return false;
    if (!((ea.flags | eb.flags) & SceneFlag::RecordsNearest)) {
        if (!(std::fabs(dx) < sum && std::fabs(dy) < sum && std::fabs(dz) < sum)) return false;
        if (!eb.root || partners(ea, eb) || loneRays(ea, eb)) return false;
        return narrowHit(ea, eb);
    }
    if (!eb.root) return false;
    SceneItem *a = ea.item, *b = eb.item;
    const double d = VecLengthApproxDouble(Vec3d{dx, dy, dz});
    if (d < 5.0 * sum) {
        const float ratio = float(d / (5.0 * sum));
        const float p = d < sum ? 0.0f : ratio * ratio;
        if ((ea.flags & SceneFlag::RecordsNearest) && b->avatar->proximity > p && eb.partner != a) {
            b->avatar->proximity = p;
            b->avatar->nearest = a;
        }
        if ((eb.flags & SceneFlag::RecordsNearest) && a->avatar->proximity > p && ea.partner != b) {
            a->avatar->proximity = p;
            a->avatar->nearest = b;
        }
    }
    if (!(d < sum) || partners(ea, eb) || loneRays(ea, eb)) return false;
    return narrowHit(ea, eb);
}

}  // namespace

void dunCollisionPass() {
    dunResetProximity();
    takeOrder();
    // First partners come from the ordinary section only (before the
    // cursor): two appended objects are never paired.
    for (int i = 0; i < cursorAt;) {
        SceneItem *a = order[i].item;
        SceneItem *nextA = after(i);
        if (collides(a)) {
            for (int j = i + 1; j < orderCount;) {
                if (!order[j].sim || !pairTest(order[i], order[j])) {
                    ++j;
                    continue;
                }
                // An object taken in by a docking is skipped by the rest.
                if (!live(a)) break;
                if (!orderChanged()) {
                    // A contact may have moved objects (it pushes both apart).
                    refreshEntries(i);
                    ++j;
                    continue;
                }
                SceneItem *resume = following(order[j].item, after(j));
                takeOrder();
                j = indexOf(resume);
                // The object's own entry has moved with the copy; a parked
                // object has left the list and pairs no more.
                i = indexOf(a);
                if (i == orderCount) break;
            }
        }
        if (orderChanged() || i >= orderCount || order[i].item != a) {
            SceneItem *resume = following(a, nextA);
            takeOrder();
            i = indexOf(resume);
        } else {
            ++i;
        }
    }
    proximityWarning();
}

void dunCollideTrees(TDP *a, TDP *b) {
    if (!a || !b) return;
    if (!live(a->owner) || !live(b->owner)) return;
    if ((a->flags & TDPFlag::Collidable) && dunCollideNodes(a, b)) {
        a->flags |= TDPFlag::HitThisStep;
        return;
    }
    dunCollideTrees(a->child, b);
    dunCollideTrees(a->sibling, b);
}

uint8_t dunCollideNodes(TDP *a, TDP *b) {
    if (!a || !b) return 0;
    SceneItem *A = a->owner, *B = b->owner;
    if (!collides(A) || !collides(B)) return 0;
    if (b->flags & TDPFlag::Collidable) {
        bool hit = false;
        Vec3 point = {};
        if (b->flags & TDPFlag::Particle) {
            hit = true;
        } else if ((a->flags ^ b->flags) & TDPFlag::RayNode) {
            hit = (a->flags & TDPFlag::RayNode) ? dunRayHitsNode(A, b, &point) != nullptr
                                                : dunRayHitsNode(B, a, &point) != nullptr;
        } else if (!(a->flags & TDPFlag::RayNode)) {
            Vec3 s = a == A->avatar->root && b == B->avatar->root
                         ? positionDifference(B->sim->position, A->sim->position)
                         : Vec3{b->worldPosition.x - a->worldPosition.x, b->worldPosition.y - a->worldPosition.y,
                                b->worldPosition.z - a->worldPosition.z};
            if (VecLengthApprox(s) < a->radius + b->radius) {
                if ((a->flags | b->flags) & (TDPFlag::SkyWorld | TDPFlag::SpheresOnly)) {
                    hit = true;
                } else if (dunCollideBoxes(b, &B->sim->matrix, a, &A->sim->matrix, &s)) {
                    hit = true;
                    const Vec3d &at = B->sim->radius < A->sim->radius ? B->sim->position : A->sim->position;
                    point = {float(at.x), float(at.y), float(at.z)};
                }
            }
        }
        if (hit) {
            ++hitsFound;
            // Docking consumes the contact, but it still counts as a hit.
            if (A->sim->shipInfo && B->sim->shipInfo && dunTryDockOnContact(A, B)) return 0xFF;
            contact(A, a, B, b, point);
            return 0xFF;
        }
    }
    if (dunCollideNodes(a, b->child) || dunCollideNodes(a, b->sibling)) return 0xFF;
    return 0;
}

uint8_t dunCollideBoxes(TDP *b, const Mat4 *bMatrix, TDP *a, const Mat4 *aMatrix, Vec3 *s) {
    if (!a->collision || !b->collision) return 0;
    TDP *larger = a, *smaller = b;
    const Mat4 *largerMatrix = aMatrix, *smallerMatrix = bMatrix;
    if (b->radius > a->radius) {
        larger = b, smaller = a;
        largerMatrix = bMatrix, smallerMatrix = aMatrix;
        *s = {-s->x, -s->y, -s->z};
    }
    if (!larger->collision->boxes) return 0;
    return dunPointsInHitBoxes(smaller, larger, smallerMatrix, largerMatrix, larger->collision->boxes, s);
}

uint8_t dunPointsInHitBoxes(TDP *smaller, TDP *larger, const Mat4 *smallerMatrix, const Mat4 *largerMatrix,
                            HitBox *boxes, const Vec3 *s) {
    const CollisionModel *model = smaller->collision;
    if (!model) return 0;
    const int count = model->pointCount < 0 ? 0 : model->pointCount > 16 ? 16 : model->pointCount;
    uint32_t largerMask = 0, smallerMask = 0;
    bool hit = false;
    for (int i = 0; i < count; ++i) {
        Vec3 q;
        MatTransformPointTransposed(q, model->points[i], *smallerMatrix);
        q = {q.x + s->x, q.y + s->y, q.z + s->z};
        MatTransformPoint(q, q, *largerMatrix);
        bool solid = false, hollow = false;
        for (const HitBox *box = boxes; box; box = box->next) {
            if (!(box->lower.x < q.x && q.x < box->upper.x && box->lower.y < q.y && q.y < box->upper.y &&
                  box->lower.z < q.z && q.z < box->upper.z))
                continue;
            largerMask |= box->flags & 0x1FF00u;
            if (box->flags & 4u)
                hollow = true;
            else
                solid = true;
        }
        if (solid && !hollow) {
            hit = true;
            smallerMask |= model->pointMasks[i];
        }
    }
    if (larger->owner && larger->owner->avatar) larger->owner->avatar->contactPartMask = largerMask;
    if (smaller->owner && smaller->owner->avatar) smaller->owner->avatar->contactPartMask = smallerMask;
    return hit ? 0xFF : 0;
}

float dunBoxExtentAlong(float x, float y, float z, SceneItem *item) {
    // A body without a collision shape has no box to reach out with.
    const TDP *root = item && item->avatar ? item->avatar->root : nullptr;
    if (!root || !root->collision || !item->sim) return 0.0f;
    Vec3 d = {x, y, z};
    MatTransformPoint(d, d, item->sim->matrix);
    VecNormalise(d);
    const CollisionModel *m = root->collision;
    const Vec3 e = {(m->boundsUpper.x - m->boundsLower.x) * d.x, (m->boundsUpper.y - m->boundsLower.y) * d.y,
                    (m->boundsUpper.z - m->boundsLower.z) * d.z};
    return float(VecLength(e));
}

uint8_t dunProximityWarningTest(SceneItem *p) {
    if (!dunProximityWarningOption || !p || !p->sim || !p->avatar) return 0;
    SceneItem *n = p->avatar->nearest;
    if (!live(n) || !n->sim) return 0;
    if (p->simulator == dunUpdateDocking || n->simulator == dunUpdateDocking) return 0;
    const float ratio = p->sim->mass / n->sim->mass;
    if (!(ratio <= 3.0f) || (p->sim->flags & (SimFlag::Lds | SimFlag::Autopilot))) return 0;
    Vec3 rel = positionDifference(n->sim->position, p->sim->position);
    const float D = VecNormalise(rel);
    Vec3 v = {p->sim->velocity.x - n->sim->velocity.x, p->sim->velocity.y - n->sim->velocity.y,
              p->sim->velocity.z - n->sim->velocity.z};
    const float S = VecNormalise(v);
    if (S < 5000.0f) return 0;
    const float cosine = float(VecDot(v, rel));
    if (cosine <= 0.0f) return 0;
    const float t = D / S * cosine;
    if (t > 8.0f) return 0;
    const Vec3 apart = positionDifference(n->sim->position, p->sim->position);
    const Vec3 o = {apart.x - t * S * v.x, apart.y - t * S * v.y, apart.z - t * S * v.z};
    const float miss = float(VecLength(o));
    // Passing through the other's centre is a collision whatever the boxes
    // (a zero offset has no direction to measure them along).
    if (miss == 0.0f) return 0xFF;
    const float reach = dunBoxExtentAlong(o.x, o.y, o.z, p) + dunBoxExtentAlong(o.x, o.y, o.z, n);
    return miss - reach < 0.0f ? 0xFF : 0;
}

float dunNodeTreeRadius(TDP *node, float x, float y, float z) {
    if (!node) return 13.0f;
    const Vec3 d = {node->worldPosition.x - x, node->worldPosition.y - y, node->worldPosition.z - z};
    float r = float(VecLength(d)) + node->radius;
    const float child = dunNodeTreeRadius(node->child, x, y, z);
    const float sibling = dunNodeTreeRadius(node->sibling, x, y, z);
    if (child > r) r = child;
    if (sibling > r) r = sibling;
    return r;
}

void dunComputeObjectRadius(SceneItem *item) {
    if (!item || !item->sim || !item->avatar || !item->avatar->root) return;
    const float *m = item->sim->matrix.m;
    const float r = dunNodeTreeRadius(item->avatar->root, m[12], m[13], m[14]);
    // A radius a script or a creator set stays.
    if (item->sim->radius == 0.0f) item->sim->radius = r;
}

void dunPropagateNodeTransform(TDP *node, const Mat4 *frame, const Vec3 *position) {
    if (!node) return;
    dunPropagateNodeTransform(node->sibling, frame, position);
    // The parent's position already holds the parent's own offset, so only
    // the frame's turn applies: the frame's translation row is that same
    // offset turned, and adding it as well would put every part two levels
    // down one parent offset away from where its actor is drawn.
    Vec3 offset;
    MatTransformPointTransposed(offset, node->offset, *frame);
    node->worldPosition = {position->x + offset.x, position->y + offset.y, position->z + offset.z};
    Mat4 childFrame = node->local;
    MatPreMultiply(childFrame, *frame);
    dunPropagateNodeTransform(node->child, &childFrame, &node->worldPosition);
}

void dunUpdateNodeTransforms(SceneItem *item) {
    if (!item || !item->avatar || !item->avatar->root || !item->sim) return;
    Mat4 frame = item->sim->matrix;
    frame.m[12] = frame.m[13] = frame.m[14] = 0.0f;
    const Vec3 position = {item->sim->matrix.m[12], item->sim->matrix.m[13], item->sim->matrix.m[14]};
    dunPropagateNodeTransform(item->avatar->root, &frame, &position);
}

void dunRefreshSceneTransforms() {
    SceneItem *head = dunSceneListHead();
    for (SceneItem *it = head->next; it && it != head; it = it->next) {
        dunUpdateNodeTransforms(it);
        dunComputeObjectRadius(it);
    }
}

void dunRefreshModelRadius(TDP *node) {
    if (!node || node->radius != 0.0f) return;
    if (node->collision)
        node->radius = node->collision->size;
    else
        dunComputeModelRadius(node);
}

namespace {
void refreshTreeRadii(TDP *node) {
    if (!node) return;
    dunRefreshModelRadius(node);
    refreshTreeRadii(node->child);
    refreshTreeRadii(node->sibling);
}
}  // namespace

void dunRefreshAllModelRadii() {
    SceneItem *head = dunSceneListHead();
    for (SceneItem *it = head->next; it && it != head; it = it->next)
        if (it->avatar) refreshTreeRadii(it->avatar->root);
}

void dunRefreshModelCollision(SceneItem *item, void *model) {
    if (!item || !item->avatar || !item->avatar->root) return;
    TDP *root = item->avatar->root;
    root->collision = dunFindCollisionModel(model);
    root->radius = 0.0f;
    dunRefreshModelRadius(root);
    dunUpdateNodeTransforms(item);
    if (item->sim) {
        item->sim->radius = 0.0f;
        dunComputeObjectRadius(item);
    }
}

TDP *dunReplaceNode(TDP *root, const Mat4 *parentFrame, TDP *oldNode, TDP *newNode) {
    if (!root || !oldNode) return nullptr;
    if (root->sibling == oldNode) {
        root->sibling = newNode;
        return oldNode;
    }
    if (root->child == oldNode) {
        root->child = newNode;
        return oldNode;
    }
    // Every branch is searched, not only the last sibling's children: a part
    // under a part that has a sibling is found too.
    if (TDP *found = dunReplaceNode(root->child, parentFrame, oldNode, newNode)) return found;
    return dunReplaceNode(root->sibling, parentFrame, oldNode, newNode);
}

namespace {
void ownTree(TDP *node, SceneItem *owner) {
    if (!node) return;
    node->owner = owner;
    ownTree(node->child, owner);
    ownTree(node->sibling, owner);
}
}  // namespace

SceneItem *dunSpawnScene(SceneItem *item, TDP *n) {
    if (!n) dunFatalError("dunSpawnScene - TDPPtr==NULL");
    if (!item || !item->avatar || !item->sim) return item;
    TDP *root = item->avatar->root;
    if ((n == root && !n->sibling) || (n->flags & TDPFlag::Joint)) return item;
    // The placeholder is taken once the part is known to be in the tree, so
    // a failed search leaves no node behind.
    if (n != root && !CountNodeInTree(root, n)) return item;
    TDP *x = dunNewTDP();
    x->flags = (x->flags & ~TDPFlag::Collidable) | TDPFlag::Joint;
    x->owner = item;
    x->sibling = n->sibling;
    if (n == root)
        item->avatar->root = x;
    else
        dunReplaceNode(root, &item->sim->matrix, n, x);
    n->sibling = nullptr;

    SceneItem *s = dunCreateSceneItem();
    dunLinkSceneItem(s, 0);
    dunSetControlRoutine(s, nullptr);
    Sim *sim = dunAttachSim(s, dunSimSpawnedNode);
    dunSetDrawRoutines(s, dunCopySimToModel, dunPresent().presentation);
    s->receiverId = dunMsgNewReceiver();
    s->messageHandler = item->messageHandler;
    s->avatar->contactHandler = item->avatar->contactHandler;
    s->avatar->root = n;
    // The part and everything under it now belong to the new object, so
    // that its deletion releases them.
    n->owner = s;
    ownTree(n->child, s);
    sim->matrix = n->local;
    sim->matrix.m[12] = n->worldPosition.x;
    sim->matrix.m[13] = n->worldPosition.y;
    sim->matrix.m[14] = n->worldPosition.z;
    sim->matrix.m[15] = 1.0f;
    sim->position = {n->worldPosition.x, n->worldPosition.y, n->worldPosition.z};
    MatIdentity(n->local);
    s->avatar->matrix = sim->matrix;
    sim->previous = sim->matrix;
    n->offset = {0.0f, 0.0f, 0.0f};
    dunUpdateNodeTransforms(s);
    dunComputeObjectRadius(s);
    return s;
}

void dunAddHullPoint(TDP *node, float x, float y, float z) {
    if (!node || !node->collision) return;
    CollisionModel *m = node->collision;
    if (m->pointCount < 0 || m->pointCount >= 16) return;
    for (int i = 0; i < m->pointCount; ++i)
        if (m->points[i].x == x && m->points[i].y == y && m->points[i].z == z) return;
    m->points[m->pointCount++] = {x, y, z};
}

void dunScaleCollisionVolumes(CollisionModel *model, float size) {
    if (!model) return;
    // A shape without a size has no scale to go from.
    if (model->size != 0.0f) {
        const float k = size / model->size;
        for (HitBox *b = model->boxes; b; b = b->next) {
            b->upper = {b->upper.x * k, b->upper.y * k, b->upper.z * k};
            b->lower = {b->lower.x * k, b->lower.y * k, b->lower.z * k};
        }
    }
    model->size = size;
}

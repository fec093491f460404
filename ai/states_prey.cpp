// The AI states that no order starts, chosen by missions and tests by id:
// the prey search (a cursor that walks the object list and dwells on each
// marked object), taking cover behind a marked part from a threat, backing
// off from a part, and the weapon test that aims the first weapon and fires.
//
// A part is marked while its flags hold 0x10 (the world sets it on every
// part it makes); an object is marked when the root part of its Avatar is.
//
// The prey cell: these states keep the object they look at in a ship's
// Avatar (its prey cursor), never in the object list itself. A state's cell
// parameter is the handle of the ship whose cursor it is; 0 is the running
// ship's own.
#include <cmath>

#include "RES/vecmath.h"
#include "ai/states.h"
#include "ai/steering.h"
#include "ai/weapons.h"
#include "world/handle.h"
#include "world/objlist.h"
#include "world/rays.h"

namespace {

constexpr uint32_t kMarked = TDPFlag::Collidable;  // 0x10
constexpr int32_t kDwellFrames = 100;
constexpr int32_t kChaseFrames = 6;  // counted down to below 0: seven frames
constexpr float kCoverSearch = 100000.0f;
constexpr float kMoveAwayFloor = 100000.0f;
constexpr float kStopReference = 5000.0f;
constexpr int32_t kBranchHalf = 500;
constexpr int32_t kTestReload = 30;

bool InUse(const SceneItem *o) { return o && (o->flags & SceneFlag::InUse); }

bool Marked(const SceneItem *o) {
    return InUse(o) && o->avatar && o->avatar->root && (o->avatar->root->flags & kMarked);
}

// The cell a state's parameter names, or null when the ship it names is gone.
SceneItem **Cell(SceneItem *ship, uint32_t cell) {
    SceneItem *owner = cell ? dunItemFromHandle(cell) : ship;
    return owner && owner->avatar ? &owner->avatar->preyCursor : nullptr;
}

SceneItem *FirstObject() {
    SceneItem *head = dunSceneListHead();
    return head->next && head->next != head ? head->next : nullptr;
}

// The cell's object's successor in the object list, past the sentinel to the
// first object again. An empty cell, or one whose object has left the list
// (deleted or parked), starts over at the head.
void Advance(SceneItem **cell) {
    SceneItem *cur = *cell;
    if (!InUse(cur) || !dunIsInSceneList(cur)) {
        *cell = FirstObject();
        return;
    }
    SceneItem *next = cur->next;
    *cell = next && next != dunSceneListHead() ? next : FirstObject();
}

TDP *RootOf(const SceneItem *ship) { return ship->avatar ? ship->avatar->root : nullptr; }

float Distance(const Vec3 &a, const Vec3 &b) { return float(VecLength(Vec3{a.x - b.x, a.y - b.y, a.z - b.z})); }

Vec3 Unit(const Vec3 &v) {
    const float len = float(VecLength(v));
    return len > 0.0f ? Vec3{v.x / len, v.y / len, v.z / len} : Vec3{0.0f, 0.0f, 1.0f};
}

// The nearest marked part of another object within the search radius: a
// ship does not take cover behind its own parts.
TDP *NearestCover(SceneItem *ship, const Vec3 &at) {
    float best = kCoverSearch;
    TDP *found = nullptr;
    SceneItem *head = dunSceneListHead();
    for (SceneItem *it = head->next; it && it != head; it = it->next)
        if (it != ship && it->avatar)
            if (TDP *n = dunNearestFlaggedNode(kMarked, 0, it->avatar->root, at.x, at.y, at.z, &best)) found = n;
    return found;
}

// The target in the ship's own frame.
Vec3 LocalTo(const SceneItem *ship, const SceneItem *target) {
    const Vec3d &p = ship->sim->position, &t = target->sim->position;
    const Vec3 world = {float(t.x - p.x), float(t.y - p.y), float(t.z - p.z)};
    Vec3 out;
    MatTransformPoint(out, world, ship->sim->matrix);
    return out;
}

StateCommand *BadStep(StateCommand *c) { return dunai_Yield(c, 1, 0.0f); }

}  // namespace

StateCommand *dunai_Default(StateCommand *c, SceneItem *ship, int16_t step, float, int32_t *locals, uint32_t,
                            uint32_t, uint32_t) {
    SceneItem **cell = Cell(ship, 0);
    if (!cell) return dunai_Yield(c, 1);
    switch (step) {
    case 0:
    case 1:
        if (!Marked(*cell)) return dunai_Yield(c, 2);
        locals[0] = kDwellFrames;
        return dunai_Yield(c, 3);
    case 2:
        Advance(cell);
        return dunai_Yield(c, 1);
    case 3:
        locals[0] -= 1;
        if (!InUse(*cell) || *cell == ship || locals[0] < 1) return dunai_Yield(c, 2);
        return dunai_Yield(c, 3);
    default: return BadStep(c);
    }
}

StateCommand *dunai_df_baseState(StateCommand *c, SceneItem *ship, int16_t step, float, int32_t *, uint32_t,
                                 uint32_t, uint32_t) {
    SceneItem **cell = Cell(ship, 0);
    if (!cell || !ship->sim) return dunai_Yield(c, 1, 0.0f);
    const uint32_t own = dunHandleOf(ship);
    switch (step) {
    case 0:
    case 1:
        // The search starts at the target.
        if (!InUse(*cell) && InUse(ship->sim->target)) *cell = ship->sim->target;
        return dunai_Push(c, 2, 0, own, 0, 2);
    case 2: return dunai_PushBranch(c, StateCmd::PushBranchBelow, 3, 0, own, 0, 3, kBranchHalf, 1);
    case 3: return dunai_Push(c, 5, 0, own, 0, 4);
    default: return dunai_Yield(c, 1, 0.0f);
    }
}

StateCommand *dunai_df_testPrey(StateCommand *c, SceneItem *ship, int16_t, float, int32_t *, uint32_t, uint32_t p2,
                                uint32_t) {
    SceneItem **cell = Cell(ship, p2);
    if (!cell) return dunai_Finish(c, 0.0f);
    if (Marked(*cell)) return dunai_Finish(c, 1.0f);
    return dunai_Push(c, 5, 0, p2, 0, 1);
}

StateCommand *dunai_df_newPrey(StateCommand *c, SceneItem *ship, int16_t, float, int32_t *, uint32_t, uint32_t p2,
                               uint32_t) {
    SceneItem **cell = Cell(ship, p2);
    if (!cell) return dunai_Finish(c, 0.0f);
    Advance(cell);
    return dunai_Finish(c, 1.0f);
}

StateCommand *dunai_df_chasePrey(StateCommand *c, SceneItem *ship, int16_t step, float, int32_t *locals, uint32_t,
                                 uint32_t p2, uint32_t) {
    SceneItem **cell = Cell(ship, p2);
    if (!cell) return dunai_Finish(c, 0.0f);
    switch (step) {
    case 0:
    case 1: locals[0] = kChaseFrames; [[fallthrough]];
    case 2:
        locals[0] -= 1;
        if (!InUse(*cell) || *cell == ship) return dunai_Finish(c, 1.0f);
        if (locals[0] < 0) return dunai_Finish(c, 0.0f);
        return dunai_Yield(c, 2);
    default: return BadStep(c);
    }
}

StateCommand *dunai_hideFrom(StateCommand *c, SceneItem *ship, int16_t step, float, int32_t *, uint32_t p1, uint32_t,
                             uint32_t) {
    TDP *threat = dunNodeFromHandle(p1);
    TDP *root = RootOf(ship);
    // Nothing to hide from, or nothing to hide with.
    if (!threat || !root) return dunai_Finish(c, 0.0f);
    switch (step) {
    case 0:
    case 1: {
        TDP *cover = NearestCover(ship, root->worldPosition);
        if (cover == threat) return dunai_Yield(c, 1);
        if (cover)
            return dunai_PushBranch(c, StateCmd::PushBranchAbove, 8, p1, dunHandleOf(cover), 0, 1, kBranchHalf, 2);
        return dunai_Yield(c, 1, 1.0f);
    }
    case 2: return dunai_Yield(c, 1, 1.0f);
    default: return BadStep(c);
    }
}

StateCommand *dunai_hd_hideAux(StateCommand *c, SceneItem *ship, int16_t, float, int32_t *, uint32_t p1, uint32_t p2,
                               uint32_t) {
    TDP *threat = dunNodeFromHandle(p1), *cover = dunNodeFromHandle(p2), *root = RootOf(ship);
    if (!threat || !cover || !root) return dunai_Finish(c, 0.0f);
    const float s = 4.0f * cover->radius + root->radius;
    const Vec3 away = Unit(Vec3{cover->worldPosition.x - threat->worldPosition.x,
                                cover->worldPosition.y - threat->worldPosition.y,
                                cover->worldPosition.z - threat->worldPosition.z});
    const Vec3 hide = {cover->worldPosition.x + away.x * s, cover->worldPosition.y + away.y * s,
                       cover->worldPosition.z + away.z * s};
    if (Distance(root->worldPosition, cover->worldPosition) < s / 2) return dunai_Push(c, 6, p2, 0, 0, 1);
    dunai_SteerToStopAt(ship, hide, nullptr, kStopReference);
    if (Distance(root->worldPosition, hide) <= root->radius) return dunai_Finish(c, 1.0f);
    if (!(cover->flags & TDPFlag::InUse)) return dunai_Finish(c, 0.0f);
    return dunai_Yield(c, 1);
}

StateCommand *dunai_hd_moveAway(StateCommand *c, SceneItem *ship, int16_t step, float, int32_t *locals, uint32_t p1,
                                uint32_t, uint32_t) {
    TDP *from = dunNodeFromHandle(p1), *root = RootOf(ship);
    if (!from || !root) return dunai_Finish(c, 0.0f);
    const Vec3 p = from->worldPosition;
    const int32_t d = int32_t(Distance(root->worldPosition, p));
    switch (step) {
    case 0:
    case 1:
        locals[1] = d;
        locals[0] = d / 2;
        locals[2] = 2 * d;
        return dunai_Yield(c, 2);
    case 2: {
        const float m = std::max(2.0f * float(locals[2]), kMoveAwayFloor);
        const Vec3 out = Unit(Vec3{root->worldPosition.x - p.x, root->worldPosition.y - p.y,
                                   root->worldPosition.z - p.z});
        dunai_SteerToStopAt(ship, Vec3{p.x + out.x * m, p.y + out.y * m, p.z + out.z * m}, nullptr, kStopReference);
        if (d < locals[0]) return dunai_Finish(c, 0.0f);
        if (d > locals[2]) return dunai_Finish(c, 1.0f);
        return dunai_Yield(c, 2);
    }
    default: return BadStep(c);
    }
}

StateCommand *dunai_TestingState(StateCommand *c, SceneItem *ship, int16_t step, float, int32_t *, uint32_t, uint32_t,
                                 uint32_t) {
    Sim *s = ship->sim;
    SceneItem *target = s ? s->target : nullptr;
    Weapon *w = s ? s->weapons : nullptr;
    if (!InUse(target) || !target->sim || !w || !ship->avatar) return dunai_Yield(c, 1, 0.0f);
    const Vec3 d = LocalTo(ship, target);
    switch (step) {
    case 0:
    case 1: {
        Mat4 frame;
        dunMountFrame(w->mountCode, &frame, d.x, d.y, d.z);
        return dunai_Yield(c, dunai_AlignToMatrix(ship, frame) >= 0.95f ? 2 : 1);
    }
    case 2: {
        const uint8_t arc = dunMountArcTest(ship, d.x, d.y, d.z, w->mountCode, w);
        int32_t &countdown = ship->avatar->planetSeed;
        if (arc == 0xFF && countdown == 0) {
            dunFireWeapon(target, ship, w);
            countdown = kTestReload;
        }
        if (countdown > 0) countdown -= 1;
        return dunai_Yield(c, arc == 0 ? 2 : 1);
    }
    default: return BadStep(c);
    }
}

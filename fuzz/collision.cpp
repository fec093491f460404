// Collision shapes as the model loaders fill them, from arbitrary bytes: part
// trees with their flags, offsets and radii, hull points (with a point count
// that may say anything), bounds and hit-box lists, on objects placed and
// turned by the input, each with a contact handler of the input's choice.
// The collision pass, the ray and aim queries and the messages the contacts
// post then run over them: nothing may crash or hang.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "core/frame.h"
#include "fuzz_files.h"
#include "world/collision.h"
#include "world/contact.h"
#include "world/messages.h"
#include "world/msghandler.h"
#include "world/objlist.h"
#include "world/pools.h"
#include "world/rays.h"
#include "world/step.h"

namespace {

struct Reader {
    const uint8_t *p;
    size_t n;
    uint8_t U8() {
        if (!n) return 0;
        --n;
        return *p++;
    }
    uint32_t U32() {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v |= uint32_t(U8()) << (8 * i);
        return v;
    }
    float F32() {
        const uint32_t bits = U32();
        float f;
        std::memcpy(&f, &bits, 4);
        return f;
    }
    Vec3 V3() {
        const float x = F32(), y = F32();
        return {x, y, F32()};
    }
};

const ContactHandler kHandlers[] = {
    nullptr,          dunCollideShips,  dunContactBounce,   dunContactPlasmaBall, dunContactProjectile,
    dunContactGravityBody, dunContactLogBody, dunContactScripted, dunContactImpact, dunContactEffect,
    dunContactExplode, dunContactDestroy, dunDestroyOnContact,
};

void readShape(Reader &in, TDP *node) {
    CollisionModel *m = dunAllocCollisionModel();
    m->size = in.F32();
    m->pointCount = int8_t(in.U8());
    const int points = m->pointCount < 0 ? 0 : m->pointCount > 16 ? 16 : m->pointCount;
    for (int i = 0; i < points; ++i) {
        m->points[i] = in.V3();
        m->pointMasks[i] = in.U32();
    }
    m->boundsLower = in.V3();
    m->boundsUpper = in.V3();
    const int boxes = in.U8() % 9;
    HitBox **tail = &m->boxes;
    for (int i = 0; i < boxes; ++i) {
        auto *b = static_cast<HitBox *>(std::calloc(1, sizeof(HitBox)));
        b->upper = in.V3();
        b->lower = in.V3();
        b->flags = in.U32();
        *tail = b;
        tail = &b->next;
    }
    node->collision = m;
}

SceneItem *readObject(Reader &in) {
    const uint8_t kind = in.U8();
    SceneItem *it = dunCreateSceneItem();
    dunLinkSceneItem(it, (kind & 1) ? SceneFlag::RecordsNearest : 0);
    if (kind & 2) dunMoveNextToCurrent(it);
    Sim *sim = dunAttachSim(it, nullptr);
    dunSetMessageHandler(it, dunHandleMessages);
    if (kind & 4) {
        sim->shipInfo = dunAllocShipInfo();
        sim->shipInfo->ramMass = int32_t(in.U32());
        sim->shipInfo->ramBonus = int16_t(in.U32());
        sim->shipInfo->hullStrength = int32_t(in.U32());
        sim->flight = &sim->shipInfo->current;
    }
    sim->flags |= in.U32() & ~SimFlag::InUse;
    it->avatar->flags = in.U32();
    const Vec3 at = in.V3();
    sim->position = {at.x, at.y, at.z};
    for (int i = 0; i < 12; ++i) sim->matrix.m[i] = in.F32();
    sim->matrix.m[12] = at.x, sim->matrix.m[13] = at.y, sim->matrix.m[14] = at.z;
    it->avatar->position = sim->position;
    sim->velocity = in.V3();
    sim->radius = in.F32();
    sim->mass = in.F32();
    it->avatar->rayLength = in.F32();
    it->avatar->collisionPriority = int8_t(in.U8());
    it->avatar->contactHandler = kHandlers[in.U8() % (sizeof kHandlers / sizeof kHandlers[0])];
    // A tree: every new part hangs as the child or the next sibling of an
    // earlier one, so the links can never loop.
    TDP *nodes[8];
    const int count = 1 + in.U8() % 8;
    for (int i = 0; i < count; ++i) {
        const uint8_t link = in.U8();
        TDP *n = i == 0 ? dunAttachTDP(it) : dunNewTDP();
        n->owner = it;
        if (i > 0) {
            TDP *at = nodes[link % i];
            if (link & 0x80) {
                n->sibling = at->sibling;
                at->sibling = n;
            } else {
                n->sibling = at->child;
                at->child = n;
            }
        }
        n->flags = (in.U32() & ~(TDPFlag::OwnsModel | TDPFlag::OwnsMaterial | TDPFlag::Particle)) | TDPFlag::InUse;
        n->offset = in.V3();
        n->local.m[12] = n->offset.x, n->local.m[13] = n->offset.y, n->local.m[14] = n->offset.z;
        n->radius = in.F32();
        n->viewPosition.z = in.F32();
        if (in.U8() & 1) readShape(in, n);
        nodes[i] = n;
    }
    dunUpdateNodeTransforms(it);
    dunComputeObjectRadius(it);
    return it;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    fuzzfiles::EnterDataRoot();
    static bool started = false;
    if (!started) {
        started = true;
        dunMsgInit();
    }
    dunResetWorld();
    dunGameClock = 1000;
    dunFrameCounter = 1;
    dunFrameStep = 10;
    dunFrameSeconds = 0.1f;
    Reader in{data, size};
    SceneItem *objects[4];
    for (SceneItem *&it : objects) it = readObject(in);
    dunPlayerShip = objects[0];
    dunControlledObject = objects[in.U8() & 3];
    try {
        for (int step = 0; step < 2; ++step) {
            dunResetFrameFlags();
            dunCollisionPass();
            dunGameClock += 4;
            dunRunMessageHandlers();
            dunMsgEndFrame();
        }
        SceneItem *head = dunSceneListHead();
        for (SceneItem *a = head->next; a != head; a = a->next) {
            float distance;
            dunRayHitsObject(a, nullptr, in.U32(), in.U32(), &distance, nullptr);
            for (SceneItem *b = head->next; b != head; b = b->next) {
                if (a == b || !a->avatar->root || !b->avatar->root) continue;
                Vec3 point;
                dunRayHitsNode(a, b->avatar->root, &point);
                dunCollideTrees(a->avatar->root, b->avatar->root);
            }
        }
        dunFindObjectByFlags(in.U32(), in.U32(), in.F32(), in.F32(), in.F32(), in.F32());
        if (objects[1]->flags & SceneFlag::InUse && objects[1]->avatar->root)
            dunSpawnScene(objects[1], objects[1]->avatar->root->child ? objects[1]->avatar->root->child
                                                                     : objects[1]->avatar->root);
        dunRefreshAllModelRadii();
        dunRefreshSceneTransforms();
    } catch (const fuzzfiles::Fatal &) {
        // The pools' and the buffer's own limits: a clean stop.
    }
    dunPlayerShip = dunControlledObject = nullptr;
    return 0;
}

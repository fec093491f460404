// Objects with bodies for the collision tests: a position, a radius, a root
// part, and box shapes built as the model loaders build them.
#pragma once

#include <cstdlib>
#include <string>
#include <vector>

#include "world/collision.h"
#include "world/msghandler.h"
#include "world_fakes.h"
#include "world_fixture.h"

class CollisionTest : public WorldTest {
protected:
    WorldFakes fakes;

    // An object at a position whose Sim and root part have radius r.
    static SceneItem *Body(double x, double y, double z, float r, uint32_t flags = 0) {
        SceneItem *it = MakeObject(flags);
        dunSetMessageHandler(it, dunHandleMessages);
        Place(it, x, y, z);
        it->sim->radius = r;
        it->avatar->root->radius = r;
        return it;
    }
    static void Place(SceneItem *it, double x, double y, double z) {
        it->sim->position = {x, y, z};
        it->sim->matrix.m[12] = float(x);
        it->sim->matrix.m[13] = float(y);
        it->sim->matrix.m[14] = float(z);
        it->avatar->position = it->sim->position;
        dunUpdateNodeTransforms(it);
    }
    // A collision shape with its hull points and no boxes yet.
    static CollisionModel *Shape(TDP *node, std::initializer_list<Vec3> points, float size = 100.0f) {
        CollisionModel *m = dunAllocCollisionModel();
        m->size = size;
        for (const Vec3 &p : points) {
            m->pointMasks[m->pointCount] = 0x10u << m->pointCount;
            m->points[m->pointCount++] = p;
        }
        node->collision = m;
        return m;
    }
    static HitBox *AddBox(CollisionModel *m, Vec3 lower, Vec3 upper, uint32_t flags = 0) {
        auto *b = static_cast<HitBox *>(std::calloc(1, sizeof(HitBox)));
        b->lower = lower;
        b->upper = upper;
        b->flags = flags;
        HitBox **tail = &m->boxes;
        while (*tail) tail = &(*tail)->next;
        *tail = b;
        return b;
    }
};

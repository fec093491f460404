#include <algorithm>
#include <set>
#include <utility>

#include "RES/vecmath.h"
#include "collision_fixture.h"
#include "core/frame.h"
#include "world/contact.h"
#include "world/eventhooks.h"

using ruvotest::FatalError;

namespace {

std::vector<std::string> gTrace;
std::vector<std::pair<SceneItem *, SceneItem *>> gContacts;

void Recorder(SceneItem *self, TDP *, SceneItem *other, TDP *, int16_t *handled, float *) {
    gContacts.push_back({self, other});
    gTrace.push_back("handler " + std::to_string(self->avatar->colourIndex) + (*handled ? " after" : ""));
    *handled = 1;
}

std::set<std::pair<SceneItem *, SceneItem *>> Pairs() {
    std::set<std::pair<SceneItem *, SceneItem *>> out;
    for (auto [a, b] : gContacts) out.insert({std::min(a, b), std::max(a, b)});
    return out;
}

class CollisionPass : public CollisionTest {
protected:
    void SetUp() override {
        CollisionTest::SetUp();
        gTrace.clear();
        gContacts.clear();
    }
    // A body that touches everything near it (spheres only) and records it.
    static SceneItem *Ball(double x, float r = 10.0f, uint32_t flags = 0) {
        SceneItem *it = Body(x, 0, 0, r, flags);
        it->avatar->root->flags |= TDPFlag::SpheresOnly;
        it->avatar->contactHandler = Recorder;
        return it;
    }
};

}  // namespace

TEST_F(CollisionPass, AppendedObjectsAreNeverPairedWithEachOther) {
    SceneItem *a = Ball(0), *b = Ball(1);
    SceneItem *c = Ball(2, 10.0f, SceneFlag::Appended), *d = Ball(3, 10.0f, SceneFlag::Appended);
    SceneItem *bodiless = Ball(4);
    bodiless->avatar->root = nullptr;
    SceneItem *e = Ball(5);  // ordinary, linked before the appended ones
    dunCollisionPass();
    using P = std::pair<SceneItem *, SceneItem *>;
    std::set<P> want;
    for (SceneItem *x : {a, b, e})
        for (SceneItem *y : {a, b, c, d, e})
            if (x != y) want.insert({std::min(x, y), std::max(x, y)});
    EXPECT_EQ(Pairs(), want);
    EXPECT_EQ(want.count({std::min(c, d), std::max(c, d)}), 0u);
}

TEST_F(CollisionPass, PartnersNeitherCollideNorBecomeNearest) {
    SceneItem *a = Ball(0, 10.0f, SceneFlag::RecordsNearest);
    SceneItem *b = Ball(5, 10.0f, SceneFlag::RecordsNearest);
    a->avatar->partner = b;
    b->avatar->partner = a;
    dunCollisionPass();
    EXPECT_TRUE(gContacts.empty());
    EXPECT_EQ(a->avatar->nearest, nullptr);
    EXPECT_EQ(b->avatar->nearest, nullptr);
    EXPECT_EQ(a->avatar->proximity, 2000000.0f);
}

TEST_F(CollisionPass, ProximityByDistanceAgainstTheSumOfRadii) {
    struct Case {
        double x;      // of the second object; radii 10 + 10
        float proximity;
        bool nearest;
    };
    const Case cases[] = {{100.0, 2000000.0f, false}, {99.0, 0.99f * 0.99f, true}, {20.0, 0.04f, true}, {19.0, 0.0f, true}};
    for (const Case &c : cases) {
        dunResetWorld();
        SceneItem *a = Ball(0, 10.0f, SceneFlag::RecordsNearest);
        SceneItem *b = Ball(c.x, 10.0f);
        dunCollisionPass();
        EXPECT_FLOAT_EQ(b->avatar->proximity, c.proximity) << c.x;
        EXPECT_EQ(b->avatar->nearest, c.nearest ? a : nullptr) << c.x;
        // Only an object that records the nearest is recorded.
        EXPECT_EQ(a->avatar->nearest, nullptr);
    }
    // Equal proximities keep the earlier holder.
    dunResetWorld();
    SceneItem *near1 = Ball(-50, 10.0f, SceneFlag::RecordsNearest);
    SceneItem *near2 = Ball(50, 10.0f, SceneFlag::RecordsNearest);
    SceneItem *mid = Ball(0, 10.0f);
    dunCollisionPass();
    EXPECT_EQ(mid->avatar->nearest, near1);
    (void)near2;
}

TEST_F(CollisionPass, AnAlwaysHitPartIsHitAtAnyDistance) {
    SceneItem *a = Ball(0);
    SceneItem *b = Body(5, 0, 0, 10.0f);
    b->avatar->contactHandler = Recorder;
    b->avatar->root->flags &= ~TDPFlag::Collidable;
    TDP *far = dunAddChildTDP(b->avatar->root, nullptr, 1e6f, 0, 0);
    far->flags |= TDPFlag::Particle;
    dunUpdateNodeTransforms(b);
    dunCollisionPass();
    ASSERT_EQ(gContacts.size(), 2u);
    EXPECT_TRUE(far->flags & TDPFlag::HitThisStep);
    EXPECT_TRUE(a->avatar->root->flags & TDPFlag::HitThisStep);
    EXPECT_FALSE(b->avatar->root->flags & TDPFlag::HitThisStep);
}

TEST_F(CollisionPass, EventsFirstThenHandlersByPriorityTiesInListOrder) {
    struct Case {
        int8_t first, second;  // priorities in list order
        std::vector<std::string> trace;
    };
    const Case cases[] = {
        {0, 0, {"event 1", "event 2", "handler 1", "handler 2 after"}},
        {0, 5, {"event 1", "event 2", "handler 2", "handler 1 after"}},
        {5, 0, {"event 1", "event 2", "handler 1", "handler 2 after"}},
    };
    for (const Case &c : cases) {
        dunResetWorld();
        gTrace.clear();
        SceneItem *a = Ball(0), *b = Ball(5);
        a->avatar->colourIndex = 1;
        b->avatar->colourIndex = 2;
        a->avatar->collisionPriority = c.first;
        b->avatar->collisionPriority = c.second;
        for (SceneItem *it : {a, b})
            dunAddEventHook(it, HookEvent::Collision, ActionFlag::PointerGiven | ActionFlag::CallRoutine,
                            {.routine = [](SceneItem *self, const HookArgument *arg) {
                                ASSERT_NE(arg->other, self);
                                gTrace.push_back("event " + std::to_string(self->avatar->colourIndex));
                            }});
        dunCollisionPass();
        EXPECT_EQ(gTrace, c.trace) << int(c.first) << " " << int(c.second);
    }
}

TEST_F(CollisionPass, HullPointsInSolidBoxesButNotInHollowsHit) {
    // A large hull with a solid box and a hollow carved from it, turned so
    // that its X axis is the world's Z axis.
    SceneItem *hull = Body(0, 0, 0, 100.0f);
    hull->avatar->contactHandler = Recorder;
    Mat4 &m = hull->sim->matrix;
    m.m[0] = 0, m.m[1] = 0, m.m[2] = 1;
    m.m[8] = -1, m.m[9] = 0, m.m[10] = 0;
    CollisionModel *shape = Shape(hull->avatar->root, {});
    AddBox(shape, {-60, -5, -5}, {60, 5, 5}, 0x100);
    AddBox(shape, {-20, -6, -6}, {20, 6, 6}, 4 | 0x200);
    struct Case {
        Vec3 at;  // the probe's world position; its one hull point is its centre
        bool hit;
        uint32_t hullMask, probeMask;
    };
    const Case cases[] = {
        {{0, 0, 40}, true, 0x100, 0x10},  // along the hull's X axis, in solid only
        {{0, 0, 10}, false, 0x300, 0},    // in the hollow too
        {{40, 0, 0}, false, 0, 0},        // the world's X is the hull's -Z: outside
        {{0, 0, 60}, false, 0, 0},        // on the face: not strictly inside
    };
    for (const Case &c : cases) {
        gContacts.clear();
        SceneItem *probe = Body(c.at.x, c.at.y, c.at.z, 1.0f);
        probe->avatar->contactHandler = Recorder;
        Shape(probe->avatar->root, {{0, 0, 0}});
        AddBox(probe->avatar->root->collision, {-1, -1, -1}, {1, 1, 1});
        hull->avatar->contactPartMask = probe->avatar->contactPartMask = 0xDEAD;
        dunCollideTrees(hull->avatar->root, probe->avatar->root);
        EXPECT_EQ(!gContacts.empty(), c.hit) << c.at.x << "," << c.at.z;
        EXPECT_EQ(hull->avatar->contactPartMask, c.hullMask) << c.at.x << "," << c.at.z;
        EXPECT_EQ(probe->avatar->contactPartMask, c.probeMask) << c.at.x << "," << c.at.z;
        dunDeleteSceneItem(probe);
    }
}

TEST_F(CollisionPass, ABoxHitTakesTheSmallerObjectsPositionAsTheContactPoint) {
    static Vec3 point;
    SceneItem *big = Body(0, 0, 0, 100.0f);
    AddBox(Shape(big->avatar->root, {}), {-50, -50, -50}, {50, 50, 50});
    SceneItem *small = Body(0, 30, 0, 5.0f);
    AddBox(Shape(small->avatar->root, {{0, 0, 0}}), {-1, -1, -1}, {1, 1, 1});
    small->avatar->contactHandler = [](SceneItem *, TDP *, SceneItem *, TDP *, int16_t *, float *p) {
        point = {p[0], p[1], p[2]};
    };
    dunCollisionPass();
    EXPECT_EQ(point.y, 30.0f);
}

TEST_F(CollisionPass, TheWarningRepeatsAtMostOncePerHoldOff) {
    dunProximityWarningOption = 0xFF;
    dunProximityHoldOff = 0;
    SceneItem *player = Body(0, 0, 0, 1000.0f);
    SceneItem *rock = Body(8000, 0, 0, 1000.0f, SceneFlag::RecordsNearest);
    for (SceneItem *it : {player, rock}) {
        CollisionModel *m = Shape(it->avatar->root, {});
        m->boundsLower = {-500, -500, -500};
        m->boundsUpper = {500, 500, 500};
        it->sim->mass = 1000.0f;
    }
    player->sim->velocity = {6000.0f, 0, 0};
    dunPlayerShip = player;
    dunFrameStep = 10;
    int steps = 0;
    for (; steps < 60; ++steps) {
        dunProximityWarning = 0;
        dunCollisionPass();
        ASSERT_EQ(dunProximityWarning, 0xFF) << steps;
    }
    EXPECT_EQ(fakes.Count("displayMessage"), 2);  // at 0 and 500 centiseconds
    EXPECT_EQ(fakes.Find("displayMessage")->text, "PROXIMITY");
    EXPECT_EQ(fakes.Find("displayMessage")->a, 200);

    struct Case {
        const char *name;
        void (*change)(SceneItem *player, SceneItem *rock);
    };
    const Case quiet[] = {
        {"much heavier than the rock", [](SceneItem *p, SceneItem *) { p->sim->mass = 3001.0f; }},
        {"in the LDS drive", [](SceneItem *p, SceneItem *) { p->sim->flags |= SimFlag::Lds; }},
        {"on autopilot", [](SceneItem *p, SceneItem *) { p->sim->flags |= SimFlag::Autopilot; }},
        {"slower than 5000", [](SceneItem *p, SceneItem *) { p->sim->velocity.x = 4999.0f; }},
        {"moving away", [](SceneItem *p, SceneItem *) { p->sim->velocity.x = -6000.0f; }},
        {"passing wide", [](SceneItem *, SceneItem *r) { Place(r, 8000, 2100, 0); }},  // two full box heights
        {"switched off", [](SceneItem *, SceneItem *) { dunProximityWarningOption = 0; }},
    };
    for (const Case &c : quiet) {
        SceneItem saved = *player;
        Sim savedSim = *player->sim;
        c.change(player, rock);
        dunProximityWarning = 0;
        dunCollisionPass();
        EXPECT_EQ(dunProximityWarning, 0) << c.name;
        *player->sim = savedSim;
        Place(rock, 8000, 0, 0);
        dunProximityWarningOption = 0xFF;
        (void)saved;
    }
    dunPlayerShip = nullptr;
}

namespace {
SceneItem *gVictim;
// Every handler tells the other side of the contact by message.
void Telling(SceneItem *self, TDP *, SceneItem *other, TDP *, int16_t *, float *) {
    gContacts.push_back({self, other});
    dunMsgPost(self->receiverId, other->receiverId, 0, MsgHit, 0, nullptr);
}
}  // namespace

TEST_F(CollisionPass, AnObjectDeletedInThePassIsSkippedAndGetsNothing) {
    SceneItem *a = Ball(0);
    gVictim = Ball(1);
    SceneItem *c = Ball(2);
    gVictim->avatar->contactHandler = Telling;
    c->avatar->contactHandler = Telling;
    const uint32_t oldId = gVictim->receiverId;
    // The first contact of the pass takes the victim in, as a docking does,
    // and a new object takes its receiver id at once.
    a->avatar->contactHandler = [](SceneItem *self, TDP *, SceneItem *other, TDP *, int16_t *, float *) {
        gContacts.push_back({self, other});
        if (other != gVictim) return;
        dunDeleteSceneItem(gVictim);
        SceneItem *heir = MakeObject();
        dunSetMessageHandler(heir, nullptr);
        heir->sim->position = {1e7, 0, 0};
    };
    dunCollisionPass();
    for (auto [x, y] : gContacts) EXPECT_NE(x, gVictim);
    EXPECT_EQ(Pairs(), (std::set<std::pair<SceneItem *, SceneItem *>>{{std::min(a, gVictim), std::max(a, gVictim)},
                                                                     {std::min(a, c), std::max(a, c)}}));
    // Nothing meant for the victim reached the object that has its id now.
    EXPECT_EQ(dunMsgPendingCount(oldId), 0);
}

TEST_F(CollisionPass, AContactThatTakesOutAnEarlierObjectLeavesTheRestOfThePairsRight) {
    static SceneItem *first;
    first = Ball(1e6);
    SceneItem *a = Ball(0, 60.0f);
    SceneItem *b = Ball(100, 60.0f);
    SceneItem *c = Ball(-50, 10.0f);
    // Touching b takes out the first object of the list: a's place in the
    // list's order moves up by one.
    a->avatar->contactHandler = [](SceneItem *self, TDP *, SceneItem *other, TDP *, int16_t *, float *) {
        gContacts.push_back({self, other});
        if (first->flags & SceneFlag::InUse) dunDeleteSceneItem(first);
    };
    dunCollisionPass();
    EXPECT_EQ(Pairs(), (std::set<std::pair<SceneItem *, SceneItem *>>{{std::min(a, b), std::max(a, b)},
                                                                     {std::min(a, c), std::max(a, c)}}));
}

namespace {
struct Move {
    char a, b;  // on the contact of these two (a's handler)
    char moved;  // this object is put at x
    double x;
    char partner = 0;  // or instead takes this one as its partner
};
std::string gPairs;
std::vector<Move> gMoves;
std::vector<SceneItem *> gNamed;

SceneItem *Named(char name) {
    for (SceneItem *it : gNamed)
        if (it->avatar->colourIndex == uint8_t(name)) return it;
    return nullptr;
}

// Writes each contact once, as its two objects in the order they were
// paired, and makes the move that the contact asks for.
void PairRecorder(SceneItem *self, TDP *, SceneItem *other, TDP *, int16_t *handled, float *) {
    if (*handled) return;
    *handled = 1;
    const char a = char(self->avatar->colourIndex), b = char(other->avatar->colourIndex);
    gPairs += std::string(gPairs.empty() ? "" : " ") + a + b;
    for (const Move &m : gMoves)
        if (m.a == a && m.b == b) {
            SceneItem *it = Named(m.moved);
            if (m.partner) {
                it->avatar->partner = Named(m.partner);
                continue;
            }
            it->sim->position = {m.x, 0, 0};
            it->sim->matrix.m[12] = float(m.x);
            dunUpdateNodeTransforms(it);
        }
}
}  // namespace

// Which pairs meet and in what order, and that a pair is judged by where its
// objects stand when the pass reaches it (a contact may have moved them).
TEST_F(CollisionPass, PairsMeetInListOrderWhereTheyStandWhenReached) {
    struct Body_ {
        char name;
        double x;  // radius 10, spheres only
        uint32_t flags;
    };
    struct Case {
        const char *what;
        std::vector<Body_> bodies;  // linked in this order
        std::vector<Move> moves;
        const char *pairs;
        const char *nearest = nullptr;  // each object's in list order ('.' none), when checked
    };
    constexpr uint32_t N = SceneFlag::RecordsNearest, T = SceneFlag::Appended;
    const Case cases[] = {
        {"all touching; appended ones last and never together",
         {{'a', 0, 0}, {'b', 5, 0}, {'X', 3, T}, {'Y', 8, T}, {'c', 12, 0}},
         {},
         "ab ac aX aY bc bX bY cX cY"},
        {"the same through the nearest records",
         {{'a', 0, N}, {'b', 5, 0}, {'X', 3, T | N}, {'Y', 8, T}, {'c', 12, N}},
         {},
         "ab ac aX aY bc bX bY cX cY"},
        {"out of reach: 20 apart, or 20 along one axis",
         {{'a', 0, 0}, {'b', 20, 0}, {'c', 39.5, 0}, {'d', -19.5, N}},
         {},
         "ad bc"},
        {"a contact moves a later object away",
         {{'a', 0, 0}, {'b', 5, 0}, {'c', 10, 0}},
         {{'a', 'b', 'c', 1000}},
         "ab"},
        {"a contact brings a later object in",
         {{'a', 0, 0}, {'b', 5, 0}, {'c', 1000, 0}},
         {{'a', 'b', 'c', 8}},
         "ab ac bc"},
        {"a contact moves the first object itself away",
         {{'a', 0, N}, {'b', 5, 0}, {'c', 8, 0}},
         {{'a', 'b', 'a', 1000}},
         "ab bc",
         ".a."},
        {"a contact makes two later objects partners",
         {{'a', 0, 0}, {'b', 5, 0}, {'c', 10, 0}},
         {{'a', 'b', 'c', 0, 'b'}},
         "ab ac"},
        {"a contact brings an appended object in",
         {{'a', 0, 0}, {'X', 5, T}, {'Y', 1000, T}},
         {{'a', 'X', 'Y', -5}},
         "aX aY"},
        {"a later first object sees the moves of an earlier one's contacts",
         {{'a', 0, 0}, {'b', 5, 0}, {'c', 100, 0}, {'d', 1000, N}},
         {{'a', 'b', 'd', 105}},
         "ab cd"},
    };
    for (const Case &c : cases) {
        dunResetWorld();
        gPairs.clear();
        gNamed.clear();
        gMoves = c.moves;
        for (const Body_ &b : c.bodies) {
            SceneItem *it = Ball(b.x, 10.0f, b.flags);
            it->avatar->colourIndex = uint8_t(b.name);
            it->avatar->contactHandler = PairRecorder;
            gNamed.push_back(it);
        }
        dunCollisionPass();
        EXPECT_EQ(gPairs, c.pairs) << c.what;
        if (!c.nearest) continue;
        std::string nearest;
        for (SceneItem *it : gNamed)
            nearest += it->avatar->nearest ? char(it->avatar->nearest->avatar->colourIndex) : '.';
        EXPECT_EQ(nearest, c.nearest) << c.what;
    }
}

// The wreck break-up on small meshes (a cube, an icosphere): the seeds, the
// cut, the pieces' models with their insides and caps, the objects they fly
// on, and the hull-vertex pickers.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "RES/util.h"
#include "common/fatal_hook.h"
#include "data/lwob/lwob.h"
#include "render/scene/scene.h"
#include "world/flight.h"
#include "world/msghandler.h"
#include "world/wreck.h"
#include "world_fakes.h"
#include "world_fixture.h"

namespace {

// A library model of the writer's shape: its points, its polygons as fans of
// triangles.
vt_model *Mesh(const lwob::Object &o) {
    std::vector<std::array<uint16_t, 3>> faces;
    for (const lwob::Polygon &p : o.polygons)
        for (size_t k = 1; k + 1 < p.points.size(); ++k) faces.push_back({p.points[0], p.points[k], p.points[k + 1]});
    vt_model *m = VtModelAllocate("fixture", int(o.points.size()), int(faces.size()));
    for (size_t i = 0; i < o.points.size(); ++i) {
        m->vertices[i].p = {{o.points[i].x, o.points[i].y, o.points[i].z}};
        m->vertices[i].index = 0;
    }
    for (size_t f = 0; f < faces.size(); ++f)
        for (int k = 0; k < 3; ++k) m->faces[f].vertices[k] = faces[f][size_t(k)];
    m->flags |= VT_MODF_UPDATEABLE;
    return VtModelAdd(m);
}

vt_model *Cube() { return Mesh(lwob::BoxTriangles({-1000, -1000, -1000}, {1000, 1000, 1000}, lwob::Surface{})); }
vt_model *Ball() { return Mesh(lwob::Icosphere(1, 1000, lwob::Surface{})); }

Vec3 At(const vt_model *m, int i) { return {m->vertices[i].p.v[0], m->vertices[i].p.v[1], m->vertices[i].p.v[2]}; }

class BreakUp : public WorldTest {
protected:
    void SetUp() override {
        WorldTest::SetUp();
        ASSERT_EQ(VtBeginAll(), VT_E_OK);
        carbon = VtMaterialAdd(VtMaterialAllocate("carbon"));
        dunSeedRand15(7);
    }
    void TearDown() override {
        dunResetWorld();
        VtEndAll();
    }
    // A broken object of radius 1000 showing the model on its root part.
    static SceneItem *Broken(vt_model *model) {
        SceneItem *o = MakeObject();
        dunSetMessageHandler(o, dunHandleMessages);
        o->sim->radius = 1000;
        o->sim->mass = 5000;
        TDP *root = o->avatar->root;
        root->model = model;
        root->radius = 1000;
        return o;
    }
    static std::vector<TDP *> Pieces(const SceneItem *debris) {
        std::vector<TDP *> out;
        for (TDP *t = debris->avatar->root->sibling; t; t = t->sibling) out.push_back(t);
        return out;
    }
    static const vt_model *ModelOf(const TDP *t) { return static_cast<const vt_model *>(t->model); }
    vt_material *carbon = nullptr;
};

TEST_F(BreakUp, OneSeedGivesOnePieceWithoutBorderFaces) {
    SceneItem *o = Broken(Cube());
    SceneItem *debris = dunBreakNearest(o, o->avatar->root, 1, 0, 0, 500, 3.0f);
    ASSERT_NE(debris, nullptr);
    const std::vector<TDP *> pieces = Pieces(debris);
    ASSERT_EQ(pieces.size(), 1u);
    const vt_model *m = ModelOf(pieces[0]);
    EXPECT_STREQ(m->identifier, "Shrapnel");
    // Every face, and again turned round in carbon behind them.
    ASSERT_EQ(m->nfaces, 24);
    ASSERT_EQ(m->nvertices, 16);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(m->vertices[i].index, 0) << i;
    for (int f = 0; f < 12; ++f) {
        EXPECT_NE(m->faces[f].material, carbon);
        EXPECT_EQ(m->faces[12 + f].material, carbon);
        EXPECT_EQ(m->faces[12 + f].vertices[0], m->faces[f].vertices[2] + 8);
        EXPECT_EQ(m->faces[12 + f].vertices[2], m->faces[f].vertices[0] + 8);
    }
    EXPECT_TRUE(pieces[0]->flags & TDPFlag::OwnsModel);
    EXPECT_FALSE(pieces[0]->flags & TDPFlag::Collidable);
    // The broken object goes at once, no longer to be collided with.
    EXPECT_FALSE(o->avatar->root->flags & TDPFlag::Collidable);
    EXPECT_EQ(o->avatar->contactHandler, nullptr);
    EXPECT_EQ(TypesDue(o, dunGameClock), std::vector<uint16_t>{MsgRemove});
}

TEST_F(BreakUp, SeedsLieOnTheSideTheExponentSends) {
    vt_model *ball = Ball();
    const Vec3 impact = {100, -200, 50};
    Vec3 seeds[64];
    // An even power always moves towards the upper corner; a fractional one
    // is taken as its whole part.
    for (float e : {2.0f, 2.5f}) {
        ASSERT_EQ(dunBreakSeeds(ball, impact, 64, e, seeds), 64);
        for (const Vec3 &s : seeds) {
            EXPECT_TRUE(s.x >= impact.x && s.x <= 1000) << e << " " << s.x;
            EXPECT_TRUE(s.y >= impact.y && s.y <= 1000) << e << " " << s.y;
            EXPECT_TRUE(s.z >= impact.z && s.z <= 1000) << e << " " << s.z;
        }
    }
    ASSERT_EQ(dunBreakSeeds(ball, impact, 64, 3.0f, seeds), 64);
    int below = 0;
    for (const Vec3 &s : seeds) below += s.x < impact.x;
    EXPECT_GT(below, 0);
    EXPECT_LT(below, 64);
}

TEST_F(BreakUp, PiecesShareTheFacesAndSitAboutTheirCentres) {
    SceneItem *o = Broken(Ball());
    SceneItem *debris = dunBreakNearest(o, o->avatar->root, 9, 700, 0, 0, 3.0f);
    ASSERT_NE(debris, nullptr);
    const std::vector<TDP *> pieces = Pieces(debris);
    ASSERT_GE(pieces.size(), 2u);
    int faces = 0, borders = 0;
    for (const TDP *t : pieces) {
        const vt_model *m = ModelOf(t);
        ASSERT_EQ(m->nvertices % 2, 0);
        ASSERT_EQ(m->nfaces % 2, 0);
        const int nv = m->nvertices / 2;
        faces += m->nfaces / 2;
        Vec3 mean = {0, 0, 0};
        for (int i = 0; i < m->nvertices; ++i) {
            const Vec3 p = At(m, i);
            mean = {mean.x + p.x, mean.y + p.y, mean.z + p.z};
        }
        EXPECT_NEAR(mean.x / float(m->nvertices), 0, 0.01f);
        EXPECT_NEAR(mean.y / float(m->nvertices), 0, 0.01f);
        EXPECT_NEAR(mean.z / float(m->nvertices), 0, 0.01f);
        for (int i = 0; i < nv; ++i) {
            borders += m->vertices[i].index == 1;
            for (float uv : m->vertices[nv + i].map.v) {
                EXPECT_GE(uv, 0.0f);
                EXPECT_LE(uv, 1.0f);
            }
            EXPECT_LT(m->vertices[nv + i].index, 191);
        }
        // The piece flies out from the part's centre, from where it was.
        const Vec3 &v = t->offsetVelocity;
        EXPECT_GT(v.x * t->offset.x + v.y * t->offset.y + v.z * t->offset.z, 0.0f);
        EXPECT_NEAR(float(VecLength(v)), 2e8f / 35000, 1.0f);
        EXPECT_TRUE(t->flags & TDPFlag::OwnsModel);
    }
    EXPECT_EQ(faces, 80);
    EXPECT_GT(borders, 0);
    EXPECT_EQ(debris->simulator, dunSimDrift);
    EXPECT_EQ(debris->control, nullptr);
}

TEST_F(BreakUp, APlanarCutMakesTwoCappedHalvesThatArePartners) {
    WorldFakes fakes;
    SceneItem *o = Broken(Ball());
    SceneItem *first = dunBreakNearestIntoSceneItems(o, o->avatar->root, 5, 0, 0, 0, 3.0f, 1, 0);
    ASSERT_NE(first, nullptr);
    SceneItem *second = first->avatar->partner;
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->avatar->partner, first);
    EXPECT_EQ(fakes.Count("spawnDebrisBurst"), 2);
    // The cut's normal is (0, -1, 0): the first half lies below, its cap
    // faces up; the second's faces down.
    int half = 0;
    for (SceneItem *piece : {first, second}) {
        const vt_model *m = ModelOf(piece->avatar->root);
        ASSERT_EQ(m->vertices[m->nvertices - 1].index, 191);
        int caps = 0;
        for (int f = 0; f < m->nfaces; ++f) {
            const vt_face &face = m->faces[f];
            if (face.material != carbon) continue;
            ++caps;
            const Vec3 a = At(m, face.vertices[0]), b = At(m, face.vertices[1]), c = At(m, face.vertices[2]);
            Vec3 n;
            VecCross({b.x - a.x, b.y - a.y, b.z - a.z}, {c.x - a.x, c.y - a.y, c.z - a.z}, n);
            if (half == 0) EXPECT_GE(n.y, 0.0f) << f;
            else EXPECT_LE(n.y, 0.0f) << f;
        }
        EXPECT_GT(caps, 0);
        EXPECT_LE(m->nfaces, 2 * 40);
        EXPECT_EQ(piece->simulator, dunSimSpawnedNode);
        EXPECT_EQ(piece->avatar->breakGeneration, -1);
        ++half;
    }
    EXPECT_LT(first->sim->position.y, second->sim->position.y);
}

TEST_F(BreakUp, PieceSpinsComeFromTheBrokenObjectsAndNeverDivideByZero) {
    struct Case {
        float spin;
        int low, high;
    };
    for (const Case &c : {Case{0, 0, 0}, Case{3, 0, 3}, Case{-4, 0, 3}}) {
        dunResetWorld();
        SceneItem *o = Broken(Ball());
        o->yawSpin = o->pitchSpin = c.spin;
        SceneItem *first = dunBreakNearestIntoSceneItems(o, o->avatar->root, 5, 0, 0, 900, 3.0f, 0, 0);
        ASSERT_NE(first, nullptr) << c.spin;
        for (SceneItem *p = first; p && p != dunSceneListHead(); p = p->next) {
            if (p == o || !(p->flags & SceneFlag::RecordsNearest)) continue;
            EXPECT_GE(p->yawSpin, float(c.low)) << c.spin;
            EXPECT_LE(p->yawSpin, float(c.high)) << c.spin;
            // Thrown clear: at least twice the broken object's radius away.
            const Vec3d &q = p->sim->position;
            EXPECT_GE(std::sqrt(q.x * q.x + q.y * q.y + q.z * q.z), 1999.0);
        }
    }
}

TEST_F(BreakUp, NothingBreaksOffAPartOfAnotherObject) {
    SceneItem *o = Broken(Cube());
    SceneItem *other = Broken(Cube());
    EXPECT_EQ(dunBreakNearest(o, other->avatar->root, 3, 0, 0, 0, 3.0f), nullptr);
    EXPECT_EQ(dunBreakNearestIntoSceneItems(o, other->avatar->root, 3, 0, 0, 0, 3.0f, 0, 0), nullptr);
    EXPECT_TRUE(o->avatar->root->flags & TDPFlag::Collidable);
    EXPECT_TRUE(TypesDue(o).empty());
    for (const char *name : {"dunBreakNearest", "dunBreakNearestIntoSceneItems"}) {
        try {
            if (std::string(name) == "dunBreakNearest") dunBreakNearest(nullptr, o->avatar->root, 3, 0, 0, 0, 3.0f);
            else dunBreakNearestIntoSceneItems(nullptr, o->avatar->root, 3, 0, 0, 0, 3.0f, 0, 0);
            ADD_FAILURE() << name;
        } catch (const ruvotest::FatalError &e) {
            EXPECT_STREQ(e.what(), name);
        }
    }
}

TEST_F(BreakUp, HullVertexPickers) {
    SceneItem *o = Broken(Cube());
    vt_model *cube = static_cast<vt_model *>(o->avatar->root->model);
    // The next vertex whose mark is 0, cycling once from the cursor.
    cube->vertices[2].index = 1;
    cube->vertices[3].index = 1;
    Vec3 v;
    EXPECT_EQ(dunNextUnusedHullVertex(&v, o->avatar->root, 2), 5);
    EXPECT_FLOAT_EQ(v.x, At(cube, 4).x);
    EXPECT_EQ(dunNextUnusedHullVertex(&v, o->avatar->root, 7), 0);
    EXPECT_EQ(dunNextUnusedHullVertex(&v, o->avatar->root, 200), 1);
    for (int i = 0; i < 8; ++i) cube->vertices[i].index = 1;
    dunNextUnusedHullVertex(&v, o->avatar->root, 0);
    EXPECT_EQ(v.x, 0.0f);
    // A model of fewer than 45 vertices is searched fully: the one vertex in
    // range is found from any start; none in range gives the origin.
    SceneItem *b = Broken(Ball());
    const vt_model *ball = static_cast<const vt_model *>(b->avatar->root->model);
    ASSERT_LT(ball->nvertices, 45);
    for (int start : {-1, 0, 17, 41}) {
        dunRandomHullVertex(&v, b->avatar->root, start, 999, 1001);
        EXPECT_FLOAT_EQ(v.z, 1000.0f) << start;
    }
    dunRandomHullVertex(&v, b->avatar->root, -1, 2000, 3000);
    EXPECT_EQ(v.x, 0.0f);
    EXPECT_EQ(v.y, 0.0f);
    EXPECT_EQ(v.z, 0.0f);
}

}  // namespace

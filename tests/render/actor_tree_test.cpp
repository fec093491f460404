// Actor trees: depths, path searches, the matrices between actors with
// their classes, relinking and subtree bounds.
#include <cmath>

#include "render/front/front.h"
#include "scene_fixture.h"

using namespace vttest;

namespace {

class VtActorTree : public VtSceneTest {};

void expectMatrixNear(const vt_matrix34 &a, const vt_matrix34 &b) {
    for (int i = 0; i < 4; i++)
        for (int j = 0; j < 3; j++)
            EXPECT_NEAR(a.m[i][j], b.m[i][j], 1e-4f) << i << "," << j;
}

void place(vt_actor *a, vt_uint_16 type, vt_angle yaw, float x, float y, float z) {
    vt_matrix34 m;
    VtMatrix34RotateY(&m, yaw);
    VtMatrix34PostTranslate(&m, x, y, z);
    a->t.type = type;
    VtTransformFromMatrix34(&a->t, &m);
}

TEST_F(VtActorTree, DepthsFollowTheTree) {
    vt_actor *root = actor("root");
    vt_actor *a = actor("a", root), *b = actor("b", a), *c = actor("c", b);
    EXPECT_EQ(c->depth, 3);
    VtActorRemove(a);
    EXPECT_EQ(a->depth, 0);
    EXPECT_EQ(a->parent, nullptr);
    EXPECT_EQ(root->children, nullptr);
    EXPECT_EQ(c->depth, 2);
    vt_actor *deep = actor("x", actor("y", actor("z", root)));
    ASSERT_EQ(deep->depth, 3);
    VtActorAdd(deep, a);
    EXPECT_EQ(b->depth, 5);
    EXPECT_EQ(c->depth, 6);
    // Adding an actor that hangs elsewhere moves it.
    VtActorAdd(root, b);
    EXPECT_EQ(a->children, nullptr);
    EXPECT_EQ(b->parent, root);
    EXPECT_EQ(c->depth, 2);
    // Freeing an actor that still hangs in a tree takes it out first.
    VtActorFree(b);
    EXPECT_NE(root->children, nullptr);
    for (vt_actor *x = root->children; x; x = x->next)
        EXPECT_NE(x, b);
    VtActorFree(root);
}

TEST_F(VtActorTree, PathSearches) {
    vt_actor *root = actor("root");
    vt_actor *a1 = actor("a", root), *a2 = actor("a", root), *other = actor("other", root);
    vt_actor *b1 = actor("b", a1), *b2 = actor("b", a2), *c = actor("ca", a2);
    actor("b", other);
    vt_actor *found[8];
    // Children are searched in list order; added ones go first.
    ASSERT_EQ(VtActorSearchMany(root, "//a//b", found, 8), 2u);
    EXPECT_EQ(found[0], b2);
    EXPECT_EQ(found[1], b1);
    EXPECT_EQ(VtActorSearchMany(root, "a/b", found, 1), 1u);
    EXPECT_EQ(VtActorSearch(root, "A/C*"), c);
    EXPECT_EQ(VtActorSearchMany(root, "*/b", found, 8), 3u);
    EXPECT_EQ(VtActorSearchMany(root, "a/", found, 8), 2u);
    EXPECT_EQ(VtActorSearchMany(root, nullptr, found, 8), 3u);
    EXPECT_EQ(VtActorSearch(root, "a/none"), nullptr);
    EXPECT_EQ(VtActorSearchMany(root, "a/b", found, 0), 0u);
    VtActorFree(root);
}

TEST_F(VtActorTree, MatricesBetweenActors) {
    vt_actor *world = actor("world");
    vt_actor *ship = actor("ship", world), *turret = actor("turret", ship), *gun = actor("gun", turret);
    vt_actor *other = actor("other", world), *marker = actor("marker", other);
    place(ship, VT_TRANSFORM_EULER, 4000, 10, 0, 0);
    place(turret, VT_TRANSFORM_TRANSLATION, 0, 0, 2, 0);
    place(gun, VT_TRANSFORM_MATRIX34_LP, 16384, 0, 0, 1);
    place(other, VT_TRANSFORM_QUAT, 30000, -5, 0, 5);
    marker->t.type = VT_TRANSFORM_IDENTITY;

    vt_matrix34 m, expect, step;
    // Siblings with identity transforms: identity, class identity.
    vt_actor *s1 = actor("s1", world), *s2 = actor("s2", world);
    s1->t.type = s2->t.type = VT_TRANSFORM_IDENTITY;
    EXPECT_EQ(VtActorToActorMatrix34(&m, s1, s2), VT_TRANSFORM_IDENTITY);
    VtMatrix34Identity(&expect);
    expectMatrixNear(m, expect);

    // Child to parent is the child's own transform.
    EXPECT_EQ(VtActorToActorMatrix34(&m, gun, turret), VT_TRANSFORM_MATRIX34_LP);
    VtTransformToMatrix34(&expect, &gun->t);
    expectMatrixNear(m, expect);
    // Parent to child its inverse.
    VtActorToActorMatrix34(&m, turret, gun);
    VtMatrix34LPInverse(&expect, &expect);
    expectMatrixNear(m, expect);

    // Across the tree: gun to world, then world to marker.
    vt_uint_16 type;
    ASSERT_TRUE(VtActorToRootTyped(gun, world, &expect, &type));
    EXPECT_EQ(type, VT_TRANSFORM_MATRIX34_LP);
    vt_matrix34 markerToWorld, worldToMarker;
    VtActorToRoot(marker, world, &markerToWorld);
    VtMatrix34Inverse(&worldToMarker, &markerToWorld);
    VtMatrix34Post(&expect, &worldToMarker);
    EXPECT_EQ(VtActorToActorMatrix34(&m, gun, marker), VT_TRANSFORM_MATRIX34_LP);
    expectMatrixNear(m, expect);
    // A point of the gun lands where the two steps put it.
    vt_vector3 p = {{1, 2, 3}}, viaWorld, direct;
    VtActorToRoot(gun, world, &step);
    VtMatrix34ApplyP(&viaWorld, &p, &step);
    VtMatrix34ApplyP(&viaWorld, &viaWorld, &worldToMarker);
    VtMatrix34ApplyP(&direct, &p, &m);
    for (int i = 0; i < 3; i++)
        EXPECT_NEAR(direct.v[i], viaWorld.v[i], 1e-4f);

    // A general matrix on the way makes the class general.
    place(turret, VT_TRANSFORM_MATRIX34, 0, 0, 2, 0);
    turret->t.t.mat.m[0][0] = 2;
    EXPECT_EQ(VtActorToActorMatrix34(&m, gun, marker), VT_TRANSFORM_MATRIX34);
    VtActorToActorMatrix34(&expect, marker, gun);
    VtMatrix34Post(&expect, &m);
    VtMatrix34Identity(&step);
    expectMatrixNear(expect, step);

    // Up to the top with no ancestor named; an ancestor that is not one.
    EXPECT_TRUE(VtActorToRoot(gun, nullptr, &m));
    EXPECT_FALSE(VtActorToRoot(gun, other, &m));
    VtActorFree(world);
}

TEST_F(VtActorTree, ClassTable) {
    struct row {
        vt_uint_16 a, b, product;
    } rows[] = {
        {VT_TRANSFORM_IDENTITY, VT_TRANSFORM_QUAT, VT_TRANSFORM_QUAT},
        {VT_TRANSFORM_TRANSLATION, VT_TRANSFORM_EULER, VT_TRANSFORM_EULER},
        {VT_TRANSFORM_EULER, VT_TRANSFORM_TRANSLATION, VT_TRANSFORM_EULER},
        {VT_TRANSFORM_QUAT, VT_TRANSFORM_EULER, VT_TRANSFORM_MATRIX34_LP},
        {VT_TRANSFORM_LOOK_UP, VT_TRANSFORM_MATRIX34, VT_TRANSFORM_MATRIX34},
        {VT_TRANSFORM_TRANSLATION, VT_TRANSFORM_TRANSLATION, VT_TRANSFORM_TRANSLATION},
    };
    for (const row &r : rows)
        EXPECT_EQ(VtTransformClassCombine(r.a, r.b), r.product) << r.a << " x " << r.b;
}

TEST_F(VtActorTree, RelinkKeepsTheWorldPlace) {
    vt_actor *world = actor("world");
    vt_actor *a = actor("a", world), *b = actor("b", world), *mover = actor("mover", a);
    place(a, VT_TRANSFORM_EULER, 5000, 1, 2, 3);
    place(b, VT_TRANSFORM_QUAT, 20000, -4, 0, 1);
    place(mover, VT_TRANSFORM_MATRIX34, 1000, 0, 0, 7);
    vt_matrix34 before, after;
    VtActorToRoot(mover, world, &before);
    VtActorRelink(b, mover);
    EXPECT_EQ(mover->parent, b);
    EXPECT_EQ(a->children, nullptr);
    EXPECT_EQ(mover->t.type, VT_TRANSFORM_MATRIX34);
    VtActorToRoot(mover, world, &after);
    expectMatrixNear(after, before);
    VtActorFree(world);
}

TEST_F(VtActorTree, BoundsOfASubtree) {
    vt_actor *root = actor("root");
    vt_actor *ship = actor("ship", root, VT_ACTOR_MODEL);
    vt_actor *pod = actor("pod", ship, VT_ACTOR_MODEL);
    vt_model *m = VtModelAllocate("m", 0, 0);
    VtVector3Set(&m->bounds.min, -1, -2, -3);
    VtVector3Set(&m->bounds.max, 1, 2, 3);
    pod->model = m;
    // The pod turned a quarter about z and moved 10 along x; the ship
    // shows the default cube.
    vt_matrix34 t;
    VtMatrix34RotateZ(&t, 16384);
    VtMatrix34PostTranslate(&t, 10, 0, 0);
    VtTransformFromMatrix34(&pod->t, &t);
    VtModelUpdate(VtDefaultModel(), VT_MODU_ALL);
    vt_bounds3 b;
    VtActorToBounds(&b, root);
    EXPECT_NEAR(b.min.v[0], -1, 1e-5f);
    EXPECT_NEAR(b.max.v[0], 12, 1e-5f);
    EXPECT_NEAR(b.min.v[1], -1.0f, 1e-5f);
    EXPECT_NEAR(b.max.v[1], 1.0f, 1e-5f);
    EXPECT_NEAR(b.min.v[2], -3, 1e-5f);
    EXPECT_NEAR(b.max.v[2], 3, 1e-5f);
    // A tree without models has an empty box.
    vt_actor *empty = actor("empty");
    VtActorToBounds(&b, empty);
    EXPECT_GT(b.min.v[0], b.max.v[0]);
    VtActorFree(root);
    VtActorFree(empty);
    VtModelFree(m);
}

} // namespace

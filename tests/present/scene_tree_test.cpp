// Parts bound to library actors: when an actor is made, the level of detail
// with its margins, objects added, moved and removed, particle parts taken
// out of their trees, the renderer's screen rectangles and the light-drive
// stretch.
#include "p3d_fixture.h"
#include "world/objlist.h"
#include "world/pools.h"

using namespace presenttest;

namespace {

class SceneTree : public P3DTest {
protected:
    void SetUp() override { Start(8); }
};

// A part showing one of three models, at a depth, with radius 100.
struct DetailPart {
    TDP tdp{};
    vt_model *top, *middle, *far;
    DetailPart(int middleFaces = 12) {
        top = Cube("top", 1);
        middle = Cube("middle", 1, middleFaces);
        far = Cube("far", 1);
        tdp.flags = TDPFlag::InUse | TDPFlag::HasActor;
        tdp.radius = 100;
        tdp.model = top;
        tdp.savedModel[0] = top;
        tdp.savedModel[1] = middle;
        tdp.savedModel[2] = far;
        tdp.actor = VtActorAllocate(VT_ACTOR_MODEL, nullptr);
        tdp.actor->model = top;
    }
    // The model shown after a choice at the size.
    vt_model *At(float size) {
        tdp.viewPosition.z = 100 * 900 / size;
        TDPSelectDetail(&tdp);
        return tdp.actor->model;
    }
};

TEST_F(SceneTree, APartGetsItsActorOnceItProjectsLargerThanTwenty) {
    vt_model *cube = Cube("box", 100);
    SceneItem *camera = Object(nullptr, 0, 0, 0, 10);
    SceneItem *ship = Object(cube, 0, 0, 10000, 100);
    const int16_t rect[4] = {0, 0, 639, 479};
    P3DPreprocessScene(camera, const_cast<int16_t *>(rect));
    TDP *root = ship->avatar->root;
    P3DRemoveActor(root);
    root->viewPosition.z = 4500;  // size 20
    TDPSelectDetail(root);
    EXPECT_EQ(root->actor, nullptr);
    root->viewPosition.z = 4499;
    TDPSelectDetail(root);
    ASSERT_NE(root->actor, nullptr);
    EXPECT_EQ(root->actor->parent, gP3D.mainWorld);
    EXPECT_EQ(root->actor->user, root);
}

TEST_F(SceneTree, DetailGoesDownTwoBelowAThresholdAndUpPastIt) {
    gP3D.detailHigh = 24;
    gP3D.detailLow = 10;
    DetailPart p;
    struct Step {
        float size;
        char shows;  // t top, m middle, f far
    } steps[] = {{30, 't'},    {22.5f, 't'}, {21.5f, 'm'}, {9, 'm'},    {7.5f, 'f'}, {10, 'f'},
                 {10.5f, 'm'}, {24, 'm'},    {24.5f, 't'}, {7.9f, 'f'}, {25, 't'}};
    for (const Step &s : steps) {
        vt_model *m = p.At(s.size);
        const char shown = m == p.top ? 't' : m == p.middle ? 'm' : m == p.far ? 'f' : '?';
        EXPECT_EQ(shown, s.shows) << "size " << s.size;
    }
    // A middle model of fewer than 12 faces keeps the high threshold at 24.
    DetailPart small(8);
    gP3D.detailHigh = 100;
    EXPECT_EQ(small.At(30), small.top);
    EXPECT_EQ(small.At(50), small.top);
}

TEST_F(SceneTree, PartsBehindTheViewerOrBeyondTheFarLimitShowTheFarModel) {
    gP3D.detailHigh = 24;
    gP3D.detailLow = 10;
    DetailPart p;
    p.tdp.viewPosition.z = -250;  // 2.5 radii behind: size 0
    TDPSelectDetail(&p.tdp);
    EXPECT_EQ(p.tdp.actor->model, p.far) << "below both thresholds at once";
    p.tdp.actor->model = p.top;
    p.tdp.viewPosition.z = 1.5e7f;  // beyond the far limit
    TDPSelectDetail(&p.tdp);
    EXPECT_EQ(p.tdp.actor->model, p.far);
    // A sky object is never cut off by the distance.
    DetailPart sky;
    sky.tdp.flags |= TDPFlag::SkyWorld;
    sky.tdp.viewPosition.z = 2e7f;
    sky.tdp.radius = 1e6f;
    TDPSelectDetail(&sky.tdp);
    EXPECT_EQ(sky.tdp.actor->model, sky.top);
}

TEST_F(SceneTree, TheViewedObjectKeepsItsTopModelUnlessSeenFromTheCockpit) {
    gP3D.detailHigh = 24;
    gP3D.detailLow = 10;
    DetailPart p;
    SceneItem *owner = Object(nullptr, 0, 0, 0, 1);
    p.tdp.owner = owner;
    P3DViewedObject = owner;
    EXPECT_EQ(p.At(5), p.top);
    optLodFix = 0;
    EXPECT_EQ(p.At(5), p.far);
    optLodFix = 0xFF;
    p.tdp.actor->model = p.top;
    SceneItem *cockpit = Object(nullptr, 0, 0, 0, 1);
    cockpit->control = CameraPlayer;
    dunPlayerCamera = cockpit;
    EXPECT_EQ(p.At(5), p.far);
    dunPlayerCamera = nullptr;
}

TEST_F(SceneTree, AnObjectIsAddedMovedAndRemoved) {
    vt_model *cube = Cube("box", 100);
    SceneItem *camera = Object(nullptr, 0, 0, 0, 10);
    SceneItem *ship = Object(cube, 100, 200, 3000, 173);
    const int16_t rect[4] = {0, 0, 639, 479};
    P3DPreprocessScene(camera, const_cast<int16_t *>(rect));
    vt_actor *actor = ship->avatar->root->actor;
    ASSERT_NE(actor, nullptr);
    EXPECT_FLOAT_EQ(actor->t.t.mat.m[3][2], 3000);
    EXPECT_FLOAT_EQ(ship->avatar->root->viewPosition.z, 3000);
    ship->sim->position = {-50, 0, 5000};
    ship->sim->matrix.m[12] = -50;
    ship->sim->matrix.m[14] = 5000;
    dunCopySimToModel(ship);
    P3DPreprocessScene(camera, const_cast<int16_t *>(rect));
    EXPECT_EQ(ship->avatar->root->actor, actor);
    EXPECT_FLOAT_EQ(actor->t.t.mat.m[3][0], -50);
    EXPECT_FLOAT_EQ(actor->t.t.mat.m[3][2], 5000);
    int before = 0;
    for (vt_actor *a = gP3D.mainWorld->children; a; a = a->next) ++before;
    dunDeleteSceneItem(ship);
    int after = 0;
    for (vt_actor *a = gP3D.mainWorld->children; a; a = a->next) ++after;
    EXPECT_EQ(after, before - 1);
}

TEST_F(SceneTree, TheViewerTurnsPositionsIntoItsOwnAxes) {
    SceneItem *camera = Object(nullptr, 0, 0, 0, 10);
    // The camera looks along +x: its nose row is (1, 0, 0).
    Mat4 &m = camera->sim->matrix;
    MatIdentity(m);
    m.m[0] = 0, m.m[2] = -1;
    m.m[8] = 1, m.m[10] = 0;
    dunCopySimToModel(camera);
    SceneItem *ship = Object(Cube("box", 10), 4000, 0, 0, 50);
    const int16_t rect[4] = {0, 0, 639, 479};
    P3DPreprocessScene(camera, const_cast<int16_t *>(rect));
    EXPECT_FLOAT_EQ(ship->avatar->root->viewPosition.z, 4000);
    EXPECT_FLOAT_EQ(ship->avatar->root->viewPosition.x, 0);
}

// A root particle part with a child and a sibling, in its object's tree.
TEST_F(SceneTree, RemovingAParticlePartRelinksItsTree) {
    SceneItem *item = Object(nullptr, 0, 0, 0, 1);
    TDP *root = item->avatar->root;
    TDP *child = dunNewTDP(), *sibling = dunNewTDP(), *siblingChild = dunNewTDP(), *next = dunNewTDP();
    for (TDP *t : {child, sibling, siblingChild, next}) t->owner = item;
    root->child = child;
    root->sibling = sibling;
    sibling->child = siblingChild;
    sibling->sibling = next;
    ParticleSystem ps{};
    ps.flags = 1;
    ps.extras = dunAlloc(16);
    root->particleOrMaterial = &ps;
    root->flags |= TDPFlag::Particle;
    RemoveParticleSystem(root);
    EXPECT_EQ(item->avatar->root, sibling);
    // Down the chain: the sibling has a child and a sibling, so on to the
    // next, which has no child and takes it.
    EXPECT_EQ(next->child, child);
    EXPECT_EQ(ps.extras, nullptr);
    EXPECT_EQ(ps.flags & 1, 0u);
    EXPECT_EQ(root->flags & (TDPFlag::InUse | TDPFlag::HasActor | TDPFlag::Particle), 0u);
    EXPECT_EQ(root->routine, TDPSyncActor);
    // A part in the middle of a chain: its link takes its sibling.
    TDP *a = dunNewTDP(), *b = dunNewTDP();
    a->owner = b->owner = item;
    next->sibling = a;
    a->sibling = b;
    RemoveParticleSystem(a);
    EXPECT_EQ(next->sibling, b);
}

TEST_F(SceneTree, RemovingAPartWithoutObjectOrNotCurrentIsFatal) {
    TDP loose{};
    EXPECT_THROW(
        {
            try {
                RemoveParticleSystem(&loose);
            } catch (const ruvotest::FatalError &e) {
                EXPECT_STREQ(e.what(), "RemoveParticleSystem - ScenePtr==NULL");
                throw;
            }
        },
        ruvotest::FatalError);
    loose.owner = Object(nullptr, 0, 0, 0, 1);
    EXPECT_THROW(
        {
            try {
                RemoveParticleSystem(&loose);
            } catch (const ruvotest::FatalError &e) {
                EXPECT_STREQ(e.what(), "RemoveParticleSystem - not 3DP_CURRENT");
                throw;
            }
        },
        ruvotest::FatalError);
}

TEST_F(SceneTree, ScreenRectanglesAreKeptAndGrowTheDirtyRectangleOfPartsWithModels) {
    SceneItem *camera = Object(nullptr, 0, 0, 0, 10);
    P3DPane *w = View(&camera, 0, 0, 64, 48);
    P3DAllocViewBuffers(w);
    w->dirty[0] = w->dirty[1] = 32767;
    w->dirty[2] = w->dirty[3] = -32767;
    TDP part{};
    vt_actor *actor = VtActorAllocate(VT_ACTOR_MODEL, nullptr);
    actor->user = &part;
    const int32_t bounds[4] = {-70000, 5, 40, 70000};
    P3DRecordScreenBounds(actor, nullptr, nullptr, nullptr, 0, nullptr, bounds);
    EXPECT_EQ(part.screenRect[0], int16_t(-70000));
    EXPECT_EQ(part.screenRect[3], int16_t(70000));
    EXPECT_EQ(w->dirty[0], 32767) << "no model: the window is left alone";
    part.model = Cube("box", 1);
    P3DRecordScreenBounds(actor, nullptr, nullptr, nullptr, 0, nullptr, bounds);
    EXPECT_EQ(w->dirty[0], int16_t(-70000));
    EXPECT_EQ(w->dirty[1], 5);
    EXPECT_EQ(w->dirty[2], 40);
    EXPECT_EQ(w->dirty[3], int16_t(70000));
    VtActorFree(actor);
}

TEST_F(SceneTree, AddingWithoutAMainWorldDoesNothingAndASkyObjectIsLinkedOnlyWhenItDrawsItself) {
    TDP part{};
    part.flags = TDPFlag::InUse;
    vt_model *cube = Cube("box", 1);
    part.model = cube;
    EXPECT_EQ(P3DAddToScene(&part, cube, 0, 0), 1);
    EXPECT_EQ(part.actor, nullptr);
    P3DBuildMainScene();
    P3DBuildBackgroundScenes();
    TDP sky{};
    sky.flags = TDPFlag::InUse | TDPFlag::SkyWorld;
    sky.model = cube;
    EXPECT_EQ(P3DAddToScene(&sky, cube, 0, 0), 1);
    ASSERT_NE(sky.actor, nullptr);
    EXPECT_EQ(sky.actor->parent, nullptr);
    P3DRemoveActor(&sky);
    cube->flags |= VT_MODF_CUSTOM;
    EXPECT_EQ(P3DAddToScene(&sky, cube, 0, 0), 1);
    EXPECT_EQ(sky.actor->parent, gP3D.starWorld);
    P3DRemoveActor(&sky);
    // Mode 2: the middle level is the shared one point.
    cube->flags &= ~VT_MODF_CUSTOM;
    TDP wreck{};
    wreck.flags = TDPFlag::InUse;
    wreck.model = cube;
    EXPECT_EQ(P3DAddToScene(&wreck, cube, 2, 0), 1);
    EXPECT_EQ(wreck.savedModel[1], P3DMakeOnePointModel());
    EXPECT_EQ(wreck.savedModel[2], P3DMakeOnePointModel());
    EXPECT_STREQ(P3DMakeOnePointModel()->identifier, "one point");
    P3DRemoveActor(&wreck);
}

TEST_F(SceneTree, TheLightDriveStretchesPartsAlongTheWayOfTravelUpToTwentyTimes) {
    SceneItem *ship = Object(nullptr, 0, 0, 0, 1);
    dunControlledObject = ship;
    ship->sim->flags |= SimFlag::Lds;
    TDP part{};
    part.flags = TDPFlag::InUse | TDPFlag::HasActor | TDPFlag::AsteroidRoot;
    part.radius = 1000;
    part.actor = VtActorAllocate(VT_ACTOR_MODEL, nullptr);
    Mat4 world;
    MatIdentity(world);
    struct Case {
        bool enabled;
        float speed;
        float zz;  // the nose row's z after the stretch
    };
    for (const Case c : {Case{false, 200000, 1}, Case{true, 200000, 11}, Case{true, 1e9f, 21}, Case{true, 105000, 1}}) {
        P3DStretchEnabled = c.enabled;
        ship->sim->speed = c.speed;
        TDPSyncActor(&part, &world);
        EXPECT_FLOAT_EQ(part.actor->t.t.mat.m[2][2], c.zz) << c.speed;
        EXPECT_FLOAT_EQ(part.actor->t.t.mat.m[0][0], 1) << c.speed;
    }
    P3DStretchEnabled = 0;
    dunControlledObject = nullptr;
    VtActorFree(part.actor);
}

}  // namespace

namespace {

TEST_F(SceneTree, TheMainCameraOutlivesTheObjectItRidesOn) {
    SceneItem *ship = Object(Cube("box", 100), 0, 0, 0, 173);
    P3DPane *w = View(&ship, 0, 0, 64, 48);
    P3DDrawViewWindow(w);
    ASSERT_NE(ship->avatar->root->actor, nullptr);
    EXPECT_EQ(gP3D.mainCamera->parent, ship->avatar->root->actor);
    dunDeleteSceneItem(ship);
    EXPECT_EQ(gP3D.mainCamera->parent, gP3D.mainWorld);
    SceneItem *camera = Object(nullptr, 0, 0, 0, 10);
    P3DDrawViewWindow(View(&camera, 0, 0, 64, 48));
    EXPECT_EQ(Marks().back(), "HUD");
}

}  // namespace

// Planet textures grown from a type and a seed, the pool of shared planet
// spheres, and the sky bodies placed and sized relative to the viewer.
#include <cmath>
#include <cstring>
#include <vector>

#include "RES/picture.h"
#include "p3d_fixture.h"
#include "present/frame_passes.h"
#include "present/sky/planets.h"
#include "render/pmap/pixelmap.h"
#include "shape_files.h"

using namespace presenttest;

namespace {

uint32_t Fnv(const uint8_t *p, size_t n) {
    uint32_t h = 2166136261u;
    for (size_t i = 0; i < n; ++i) h = (h ^ p[i]) * 16777619u;
    return h;
}

constexpr int kSide = kPlanetMapSide;

class Planets : public P3DTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(root.ok());
        Start(8, false);
        P3DBuildMainScene();
        P3DBuildBackgroundScenes();
    }
    // A scripted planet at the distance ahead of the viewer, its one part
    // named for its texture.
    SceneItem *Body(const char *texture, double z, float radius, int type = 0, int seed = 0) {
        SceneItem *item = Object(nullptr, 0, 0, 0, radius);
        item->sim->position = {0, 0, z};
        item->avatar->presentation = P3DPlaceSkyBody;
        item->avatar->scale = 1000;
        item->avatar->standoff = type;
        item->avatar->planetSeed = seed;
        TDP *root = item->avatar->root;
        root->materialName = texture;
        root->flags |= TDPFlag::SkyWorld;
        root->model = nullptr;
        return item;
    }
    SampleDataRoot root;
};

// The generator's state and its first draws, and the two maps of one type
// and seed: the same bytes every time (their hashes from a reviewed run).
TEST_F(Planets, TexturesOfATypeAndSeedAreAlwaysTheSame) {
    gPlanetRandom = 0;
    const uint16_t first[4] = {PlanetNextRandom(), PlanetNextRandom(), PlanetNextRandom(), PlanetNextRandom()};
    EXPECT_EQ(first[0], 13849);
    EXPECT_EQ(first[1], uint16_t(13849u * 13709u + 13849u));
    EXPECT_EQ(first[3], uint16_t(first[2] * 13709u + 13849u));
    std::vector<uint8_t> a2(kSide * kSide), a3(kSide * kSide), b2(kSide * kSide), b3(kSide * kSide);
    PlanetMakePixels(2, 1234, a2.data(), a3.data());
    PlanetMakePixels(2, 1234, b2.data(), b3.data());
    EXPECT_EQ(a2, b2);
    EXPECT_EQ(a3, b3);
    EXPECT_NE(a2, a3);
    EXPECT_EQ(Fnv(a2.data(), a2.size()), 1465496333u) << "map 2";
    EXPECT_EQ(Fnv(a3.data(), a3.size()), 1046038452u) << "map 3";
    // Every texel lies in one of the palette's seven ramps (16..239).
    for (uint8_t v : a2) ASSERT_TRUE(v >= 16 && v < 240) << int(v);
    // Another seed, another surface.
    PlanetMakePixels(2, 1235, b2.data(), b3.data());
    EXPECT_NE(a2, b2);
}

TEST_F(Planets, AComputedZeroLeavesAFractalPointUnsetForALaterPass) {
    // Corners 0: every average is 0, and with s = 1 the displacement
    // (r >> 1) % 2 - 0 is 0 or 1, so some points compute to 0 and stay unset.
    std::vector<uint8_t> h(kPlanetHeightSide * kPlanetHeightSide, 0);
    gPlanetRandom = 1;
    PlanetFractal(0, 0, 1, h.data());
    int set = 0;
    for (int p : {1, 512, 1 + 2 * 512, 2 + 512, 1 + 512}) set += h[p] != 0;
    gPlanetRandom = 1;
    int expected = 0;
    for (int k = 0; k < 5; ++k) expected += (PlanetNextRandom() >> 1) % 2;
    EXPECT_EQ(set, expected);
    // A second pass fills only what is still 0: the state moves once for each.
    const uint16_t before = gPlanetRandom = 7;
    PlanetFractal(0, 0, 1, h.data());
    uint16_t state = before;
    for (int k = 0; k < 5 - set; ++k) state = uint16_t(state * 13709u + 13849u);
    EXPECT_EQ(gPlanetRandom, state);
}

TEST_F(Planets, ColouringStoresTheLowByteAndNeverZero) {
    std::vector<uint8_t> map(kSide * kSide, 0);
    float ramp[kSide];
    for (float &r : ramp) r = 1.0f;
    const struct {
        uint8_t height;  // k = (height >> 3) - 14
        int a, b;
        uint8_t stored;
    } cases[] = {
        {14 * 8, 16, 48, 16},  // k 0: A
        {16 * 8, 16, 48, 18},  // k 2: A + 2
        {0, 16, 48, 48 + 14},  // k -14: B + 14
        {0, 16, -14, 16},  // B - k = 0 becomes 16
        {31 * 8, 250, 48, 11},  // 250 + 17 = 267: the low byte
    };
    for (const auto &c : cases) {
        map[0] = c.height;
        PlanetColourise(map.data(), c.a, c.b, ramp);
        EXPECT_EQ(map[0], c.stored) << int(c.height) << " " << c.a << " " << c.b;
    }
}

TEST_F(Planets, AMissingOrSmallBumpPictureIsSafe) {
    std::vector<uint8_t> map(kSide * kSide, 200), before = map;
    PlanetApplyBump(map.data(), "no_such_bump.pcx");
    EXPECT_EQ(map, before);
    // A 2 x 2 picture repeats its last row and column over the map.
    uint8_t pixels[4] = {0, 254, 100, 50};
    uint8_t pal[768] = {};
    PcxImage *image = MakePcxImage(nullptr, 0, pixels, 2, 2, pal);
    ASSERT_NE(image, nullptr);
    PlanetApplyBumpImage(map.data(), image);
    pcxFree(image);
    EXPECT_EQ(map[0], 200 * 128 >> 8);
    EXPECT_EQ(map[1], 200 * (127 + 128) >> 8);
    EXPECT_EQ(map[kSide - 1], 200 * (127 + 128) >> 8);
    EXPECT_EQ(map[(kSide - 1) * kSide + kSide - 1], 200 * (25 + 128) >> 8);
}

TEST_F(Planets, GeneratedMapsAreFoundAgainByName) {
    vt_pixelmap *m2 = nullptr, *m3 = nullptr;
    PlanetMakeTextures(1, 300, &m2, &m3);
    ASSERT_NE(m2, nullptr);
    EXPECT_STREQ(m2->identifier, "$b_1_ 44_2.pix");
    EXPECT_STREQ(m3->identifier, "$b_1_ 44_3.pix");
    EXPECT_EQ(VtMapFind("$b_1_ 44_2.pix"), m2);
    // A seed differing above its low byte finds the first one's maps.
    gPlanetPool.count = 1;
    dunLoadPlanetPool();
    SceneItem *other = Body("random", 1e8, 1e6, 1, 300 + 256);
    vt_material *a = nullptr, *b = nullptr;
    PlanetChooseTexture(other, nullptr, "random", &a, &b, 0);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->colour_map, m2);
    EXPECT_EQ(b->colour_map, m3);
}

TEST_F(Planets, PoolSlotsGoToTheHighestPriorities) {
    gPlanetPool.count = 2;
    dunLoadPlanetPool();
    ASSERT_NE(gPlanetPool.slots[0].model, nullptr);
    ASSERT_NE(gPlanetPool.slots[1].model, nullptr);
    EXPECT_STREQ(gPlanetPool.slots[0].model->identifier, "planet_pool_planet");
    SceneItem *p[3] = {Body("earth", 1e8, 1e6), Body("earth", 2e8, 1e6), Body("random", 3e8, 1e6, 3, 9)};
    TDP *t[3] = {p[0]->avatar->root, p[1]->avatar->root, p[2]->avatar->root};
    for (TDP *tdp : t) P3DAddToScene(tdp, nullptr, 2, 0);
    vt_model *own = static_cast<vt_model *>(t[0]->savedModel[2]);
    EXPECT_EQ(dunPlanetPoolAcquire(t[0], 50), gPlanetPool.slots[0].model);
    EXPECT_EQ(dunPlanetPoolAcquire(t[1], 40), gPlanetPool.slots[1].model);
    // The owner asking again keeps its slot with the new priority.
    EXPECT_EQ(dunPlanetPoolAcquire(t[0], 60), gPlanetPool.slots[0].model);
    EXPECT_FLOAT_EQ(gPlanetPool.slots[0].priority, 60);
    // Lower than every slot: refused.
    EXPECT_EQ(dunPlanetPoolAcquire(t[2], 39), nullptr);
    // Equal to the lowest: taken; the old owner shows its own model again.
    t[1]->savedModel[0] = gPlanetPool.slots[1].model;
    t[1]->actor->model = gPlanetPool.slots[1].model;
    EXPECT_EQ(dunPlanetPoolAcquire(t[2], 40), gPlanetPool.slots[1].model);
    EXPECT_EQ(gPlanetPool.slots[1].owner, t[2]);
    EXPECT_EQ(t[1]->savedModel[0], nullptr);
    EXPECT_EQ(t[1]->actor->model, t[1]->savedModel[2]);
    EXPECT_NE(own, nullptr);
    // A "random" planet's textures are made from its type and seed.
    EXPECT_STREQ(gPlanetPool.slots[1].textureName, "random");
    EXPECT_STREQ(gPlanetPool.slots[1].material[0]->colour_map->identifier, "$b_3_  9_2.pix");
    // The slot's materials took the named textures of the first planet.
    EXPECT_STREQ(gPlanetPool.slots[0].material[0]->colour_map->identifier,
                 "vek\\resource\\art\\textures\\planets\\earth2.pix");
    ClearSystemBodyModels();
    EXPECT_EQ(gPlanetPool.slots[0].owner, nullptr);
    EXPECT_EQ(gPlanetPool.slots[0].priority, 0);
}

TEST_F(Planets, MaterialFlagsFollowTheMode) {
    vt_material *m = VtMaterialFind("planet1");
    ASSERT_NE(m, nullptr);
    const struct {
        uint8_t card;
        bool on;
        uint32_t flags;
    } cases[] = {{0, true, 0x20}, {0, false, 0}, {1, true, 0x20020}, {1, false, 0x20}};
    for (const auto &c : cases) {
        CardMode = c.card;
        PlanetSetMaterialFlags(m, c.on);
        EXPECT_EQ(m->flags, c.flags) << int(c.card) << c.on;
    }
    CardMode = 0;
    PlanetSetMaterialFlags(nullptr, true);
}

TEST_F(Planets, ThePoolSphereIsPaintedByFaceClass) {
    gPlanetPool.count = 1;
    dunLoadPlanetPool();
    const vt_model *sphere = gPlanetPool.slots[0].model;
    ASSERT_NE(sphere, nullptr);
    ASSERT_EQ(sphere->nfaces, kFaceClassCount);
    const vt_material *black = VtMaterialFind("black");
    for (int i = 0; i < sphere->nfaces; ++i) {
        const vt_material *want = gFaceClassTable[i] == 0   ? black
                                  : gFaceClassTable[i] == 1 ? gPlanetPool.slots[0].material[0]
                                                            : gPlanetPool.slots[0].material[1];
        ASSERT_EQ(sphere->faces[i].material, want) << i;
    }
    for (int i = 0; i < sphere->nvertices; ++i) {
        const vt_vector3 &p = sphere->vertices[i].p;
        ASSERT_NEAR(p.v[0] * p.v[0] + p.v[1] * p.v[1] + p.v[2] * p.v[2], 0.25f, 1e-4f);
    }
    EXPECT_EQ(gPlanetPool.slots[0].material[0]->flags, 4u);
}

// A sphere with more faces than the class table: the faces past it keep
// their own material and nothing is read beyond the table.
TEST_F(Planets, FacesPastTheClassTableKeepTheirMaterials) {
    vt_model *big = VtModelAllocate("past the table", 3, kFaceClassCount + 2);
    ASSERT_NE(big, nullptr);
    big->flags |= VT_MODF_UPDATEABLE;  // as the pool's spheres: faces kept
    vt_material *own = VtMaterialAdd(VtMaterialAllocate("own paint"));
    ASSERT_NE(own, nullptr);
    for (int k = 0; k < 3; ++k) big->vertices[k].p.v[k] = 1;
    for (int i = 0; i < big->nfaces; ++i) {
        big->faces[i].material = nullptr;
        for (int k = 0; k < 3; ++k) big->faces[i].vertices[k] = vt_uint_16(k);
    }
    big->faces[kFaceClassCount].material = big->faces[kFaceClassCount + 1].material = own;
    // Every class of the table names the slot's first material.
    std::vector<uint8_t> table(gFaceClassTable, gFaceClassTable + kFaceClassCount);
    std::memset(gFaceClassTable, 1, sizeof gFaceClassTable);
    PlanetPoolSlot &slot = gPlanetPool.slots[0];
    const PlanetPoolSlot kept = slot;
    vt_material *first = VtMaterialAdd(VtMaterialAllocate("class one"));
    ASSERT_NE(first, nullptr);
    slot.model = big;
    slot.material[0] = slot.material[1] = first;
    PaintFaceClassMaterials(0);
    EXPECT_EQ(big->faces[0].material, first);
    EXPECT_EQ(big->faces[kFaceClassCount - 1].material, first);
    EXPECT_EQ(big->faces[kFaceClassCount].material, own);
    EXPECT_EQ(big->faces[kFaceClassCount + 1].material, own);
    slot = kept;
    std::memcpy(gFaceClassTable, table.data(), table.size());
    VtModelFree(big);
}

TEST_F(Planets, TheSunModelLiesOnItsSphereOnceASetUp) {
    vt_model *sun = dunLoadSunModel();
    ASSERT_NE(sun, nullptr);
    EXPECT_EQ(dunLoadSunModel(), sun);
    const vt_vector3 &p = sun->vertices[0].p;
    EXPECT_NEAR(std::sqrt(p.v[0] * p.v[0] + p.v[1] * p.v[1] + p.v[2] * p.v[2]), 5e7f, 50.0f);
}

// Apparent size = radius / 2 x 900 / mean |view position|.
TEST_F(Planets, ABodyShowsByItsApparentSize) {
    gPlanetPool.count = 1;
    dunLoadPlanetPool();
    const struct {
        float meanDistance;  // (|x| + |y| + |z|) / 3
        bool actorBefore;
        bool actorAfter;
        bool planet;
    } cases[] = {
        {0, false, false, false},  // at the viewpoint: size 0
        {90000, false, false, false},  // size exactly 10: no actor is made
        {90000, true, true, true},  // but an actor shows the planet at 10
        {45000, false, true, true},  // size 20
        {180000, true, true, false},  // size 5: one point
    };
    for (const auto &c : cases) {
        SceneItem *item = Body("earth", 0, 2000);
        TDP *tdp = item->avatar->root;
        if (c.actorBefore) P3DAddToScene(tdp, nullptr, 2, 0);
        tdp->viewPosition = {c.meanDistance, c.meanDistance * 2, 0};
        P3DSkyBodyDetail(tdp);
        ASSERT_EQ(tdp->actor != nullptr, c.actorAfter) << c.meanDistance;
        if (tdp->actor) EXPECT_EQ(tdp->actor->model == gPlanetPool.slots[0].model, c.planet) << c.meanDistance;
        ClearSystemBodyModels();
        dunDeleteSceneItem(item);
    }
}

// The ring colour mode is 0 up to the threshold: 490 before the card's
// set-up, 1260 after it.
TEST_F(Planets, RingColourThresholdBeforeAndAfterTheCardSetUp) {
    gPlanetPool.count = 1;
    dunLoadPlanetPool();
    const struct {
        float threshold, size;
        bool on;
    } cases[] = {{490, 490, false}, {490, 491, true}, {1260, 1260, false}, {1260, 1261, true}};
    for (const auto &c : cases) {
        gP3D.skyRingThreshold = c.threshold;
        SceneItem *item = Body("earth", 0, 2000);
        TDP *tdp = item->avatar->root;
        P3DAddToScene(tdp, nullptr, 2, 0);
        // size = 1000 x 900 / s
        const float s = 1000.0f * 900.0f / c.size;
        tdp->viewPosition = {s * 3, 0, 0};
        P3DSkyBodyDetail(tdp);
        EXPECT_EQ(gPlanetPool.slots[0].material[0]->flags, c.on ? 0x20u : 0u) << c.size;
        ClearSystemBodyModels();
        dunDeleteSceneItem(item);
    }
}

// The placement takes the difference from the viewer in double precision,
// scales the rotation by the body's scale and divides the actor's
// translation by the sky divisor.
TEST_F(Planets, BodiesArePlacedRelativeToTheViewer) {
    SceneItem *viewer = Object(nullptr, 0, 0, 0, 1);
    viewer->sim->position = {1e11 + 3, 0, 0};
    gP3D.viewObject = viewer;
    SceneItem *item = Body("earth", 0, 2000);
    item->sim->position = {1e11 + 3, 0, 5e8};
    item->avatar->scale = 250;
    TDP *tdp = item->avatar->root;
    P3DAddToScene(tdp, nullptr, 2, 0);
    ASSERT_NE(tdp->actor, nullptr);
    P3DPlaceSkyBody(item);
    EXPECT_FLOAT_EQ(tdp->viewPosition.x, 0.0f);
    EXPECT_FLOAT_EQ(tdp->viewPosition.z, 5e8f);
    EXPECT_FLOAT_EQ(tdp->local.m[0], 0.25f);
    EXPECT_FLOAT_EQ(tdp->local.m[10], 0.25f);
    EXPECT_FLOAT_EQ(tdp->actor->t.t.mat.m[0][0], 0.25f);
    EXPECT_FLOAT_EQ(tdp->actor->t.t.mat.m[3][2], 5e8f / kP3DSkyDivisor);
    EXPECT_FLOAT_EQ(tdp->actor->t.t.mat.m[3][0], float(1e11 + 3) / kP3DSkyDivisor);
    // Re-sizing from the player ship: the distance on each axis.
    dunPlayerShip = viewer;
    P3DPlaceAllSkyBodies();
    EXPECT_FLOAT_EQ(tdp->viewPosition.z, 5e8f);
    dunPlayerShip = nullptr;
    gP3D.viewObject = nullptr;
}

}  // namespace

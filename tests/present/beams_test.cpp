// Bolts and effect models: the beam models' sizes and depths, the animated
// explosion strip and its end, a bolt's length, its swap to its trail when
// near and its fading alpha, the plasma ball's shading, and the shading of
// background models.
#include <cmath>
#include <filesystem>
#include <vector>

#include "p3d_fixture.h"
#include "present/effects.h"
#include "present/effects/effect_models.h"
#include "present/effects/nav_lights.h"
#include "present/effects/particles.h"
#include "present/frame_passes.h"
#include "shape_files.h"
#include "world/msghandler.h"

using namespace presenttest;

namespace {

class Beams : public P3DTest {
protected:
    void SetUp() override {
        Start(8);
        dunSeedRand15(9);
    }
    void TearDown() override {
        gP3D.viewObject = nullptr;
        P3DTest::TearDown();
    }
    static void DepthRange(const vt_model *m, float &lo, float &hi) {
        lo = 1e9f;
        hi = -1e9f;
        for (int i = 0; i < m->nvertices; ++i) {
            lo = std::fmin(lo, m->vertices[i].p.v[2]);
            hi = std::fmax(hi, m->vertices[i].p.v[2]);
        }
    }
    // A bolt at z flying +z at 3000 a second, fired from a gun at the
    // origin; it carries a trail.
    SceneItem *Bolt(float z, Weapon *weapon) {
        SceneItem *bolt = Object(Cube("bolt", 1), 0, 0, z, 10);
        bolt->sim->velocity = {0, 0, 3000};
        bolt->avatar->partner = firer;
        bolt->avatar->roundWeapon = weapon;
        ParticlePresetBoltTrail(bolt, 6);
        return bolt;
    }
    SceneItem *firer = nullptr;
};

TEST_F(Beams, BeamModelsHaveTheirBlobsAndSpanTheUnitDepth) {
    struct Case {
        int depth;
        int16_t blobs, layers;
        int vertices, faces;
    } cases[] = {{8, 1, 1, 12, 6}, {16, 1, 1, 8, 4}, {8, 7, 1, 84, 42}, {16, 3, 4, 96, 48}, {16, 2, 3, 48, 24}};
    for (const Case &c : cases) {
        PixelDepth = c.depth;
        vt_model *m = P3DBuildPlasmaBeam(c.blobs, c.layers, 1000, 0);
        ASSERT_NE(m, nullptr);
        EXPECT_EQ(m->nvertices, c.vertices) << c.blobs << "x" << c.layers << " at " << c.depth;
        EXPECT_EQ(m->nfaces, c.faces);
        float lo, hi;
        DepthRange(m, lo, hi);
        // Later layers start up to one blob step further along.
        const float step = 1.0f / float(2 * c.blobs - 1);
        EXPECT_GE(lo, -0.5f - 1e-5f);
        EXPECT_LE(hi, 0.5f + step + 1e-5f);
        if (c.layers == 1) {
            EXPECT_NEAR(lo, -0.5f, 1e-5f);
            EXPECT_NEAR(hi, 0.5f, 1e-5f);
        }
        EXPECT_EQ(m->vertices[0].index, 251);
    }
    EXPECT_EQ(P3DBuildPlasmaBeam(0, 3, 1000, 0), nullptr);
    // The sets: at 8 bits one copy of each variant, else five.
    for (int depth : {8, 16}) {
        PixelDepth = depth;
        P3DBuildEffectModels(nullptr);
        for (int set = 0; set < kBeamSets; ++set)
            for (int variant = 0; variant < kBeamVariants; ++variant)
                for (int copy = 0; copy < kBeamCopies; ++copy)
                    EXPECT_EQ(gBeamModels[set][variant][copy] != nullptr, depth == 16 || copy == 0);
        EXPECT_EQ(gBeamModels[3][0][0]->nvertices, 3 * 4 * (depth == 8 ? 12 : 8));
        ASSERT_NE(gExplosionQuad, nullptr);
        EXPECT_FLOAT_EQ(gExplosionQuad->vertices[2].p.v[0], 5000.0f);
        // Visual kinds 0 (the plain beam cannon's) to 6.
        const vt_model *plain = P3DBeamModel(0, 0);
        ASSERT_NE(plain, nullptr);
        EXPECT_EQ(plain->nvertices, 2 * 2 * 4 * (depth == 8 ? 3 : 2));
        EXPECT_NE(P3DBeamModel(6, 3), nullptr);
        EXPECT_EQ(P3DBeamModel(7, 0), nullptr);
        EXPECT_EQ(P3DBeamModel(-1, 0), nullptr);
    }
    PixelDepth = 8;
}

TEST_F(Beams, AnAnimatedEffectShowsEachFrameOfItsStripThenRemovesItself) {
    P3DBuildEffectModels(nullptr);
    vt_material *strip = VtMaterialFind("explo_1");
    ASSERT_NE(strip, nullptr);
    SceneItem *boom = Object(nullptr, 0, 0, 1000, 100);
    dunSetMessageHandler(boom, [](SceneItem *) {});
    TDP *root = boom->avatar->root;
    vt_actor *actor = VtActorAllocate(VT_ACTOR_MODEL, nullptr);
    actor->user = root;
    root->actor = actor;
    P3DSetupAnimatedEffect(boom, 0);
    ASSERT_EQ(actor->model, gExplosionQuad);
    EXPECT_FLOAT_EQ(strip->map_transform.m[1][1], 1.0f / 12);
    EXPECT_EQ(gExplosionQuad->faces[1].material, strip);
    MsgRecord m;
    while (dunMsgReceive(boom->receiverId, &m)) {
    }
    for (int frame = 0; frame < 12; ++frame) {
        P3DRenderAnimatedEffect(actor, gExplosionQuad, nullptr, nullptr, 0, 0);
        EXPECT_NEAR(strip->map_transform.m[2][1], frame / 12.0f, 1e-6f) << frame;
        EXPECT_EQ(actor->model, gExplosionQuad);
    }
    EXPECT_FALSE(dunMsgReceive(boom->receiverId, &m));
    P3DRenderAnimatedEffect(actor, gExplosionQuad, nullptr, nullptr, 0, 0);
    EXPECT_EQ(actor->model, nullptr) << "the 13th call ends it";
    ASSERT_TRUE(dunMsgReceive(boom->receiverId, &m));
    EXPECT_EQ(m.header.type, MsgRemove);
    // Two effects of different rows on the one quad: each draw puts its own
    // row's strip and frame on the quad's faces.
    SceneItem *other = Object(nullptr, 0, 0, 2000, 100);
    vt_actor *second = VtActorAllocate(VT_ACTOR_MODEL, nullptr);
    second->user = other->avatar->root;
    other->avatar->root->actor = second;
    if (VtMaterialFind("explo_2")) {
        P3DSetupAnimatedEffect(other, 1);
        actor->model = gExplosionQuad;
        boom->avatar->effectCounter = 3;
        P3DRenderAnimatedEffect(actor, gExplosionQuad, nullptr, nullptr, 0, 0);
        EXPECT_EQ(gExplosionQuad->faces[0].material, strip);
        P3DRenderAnimatedEffect(second, gExplosionQuad, nullptr, nullptr, 0, 0);
        EXPECT_EQ(gExplosionQuad->faces[0].material, VtMaterialFind("explo_2"));
    }
    VtActorFree(actor);
    VtActorFree(second);
    root->actor = nullptr;
    other->avatar->root->actor = nullptr;
}

TEST_F(Beams, ABoltNeverReachesBackBehindItsGunAndShowsItsTrailWhenNear) {
    firer = Object(nullptr, 0, 0, 0, 100);
    SceneItem *viewer = Object(nullptr, 0, 0, -1000, 100);
    gP3D.viewObject = viewer;
    // A third of a second's flight, held to twice the distance from the gun.
    struct Case {
        float z, length;
    } cases[] = {{200, 400}, {400, 800}, {5000, 1000}};
    for (const Case &c : cases) {
        SceneItem *bolt = Bolt(c.z, nullptr);
        EXPECT_FLOAT_EQ(P3DBoltLength(bolt), c.length) << c.z;
    }
    // Near: the trail shows, spread along half the length.
    SceneItem *near = Bolt(5000, nullptr);
    ParticleSystem *trail = ParticleSystemOf(near->avatar->root->child);
    ASSERT_NE(trail, nullptr);
    ASSERT_EQ(trail->count, 30);
    dunFrameSeconds = 0.02f;
    P3DUpdateBoltTrail(near);
    EXPECT_FALSE(trail->flags & ParticleFlag::Hidden);
    EXPECT_FLOAT_EQ(trail->points[0].local.z, -250.0f);
    EXPECT_FLOAT_EQ(trail->points[15].local.z, 0.0f);
    EXPECT_EQ(near->avatar->effectCounter, 20) << "1000 a second for 0.02 seconds";
    // Far: the trail hides and the stretched beam fades over the range.
    Weapon weapon{};
    weapon.range = 1000;
    SceneItem *far = Bolt(kBoltTrailDepth * 2, &weapon);
    ParticleSystem *farTrail = ParticleSystemOf(far->avatar->root->child);
    far->avatar->effectCounter = 480;
    P3DUpdateBoltTrail(far);
    EXPECT_TRUE(farTrail->flags & ParticleFlag::Hidden);
    EXPECT_EQ(far->avatar->root->spareColour, 127) << "half the range flown";
}

TEST_F(Beams, BoltAlphaFadesOverTheRangeAndARangeOfZeroDoesNotFade) {
    Weapon weapon{};
    SceneItem *bolt = Object(nullptr, 0, 0, 0, 10);
    bolt->avatar->roundWeapon = &weapon;
    struct Case {
        float range;
        int32_t flown;
        uint8_t alpha;
    } cases[] = {{1000, 0, 255}, {1000, 500, 127}, {1000, 1000, 0}, {1000, 4000, 0}, {0, 500, 255}, {-5, 1, 255}};
    for (const Case &c : cases) {
        weapon.range = c.range;
        bolt->avatar->effectCounter = c.flown;
        EXPECT_EQ(P3DBoltAlpha(bolt), c.alpha) << c.range << " " << c.flown;
    }
}

TEST_F(Beams, APlasmaBallFadesInAndItsShadesStayInItsRange) {
    vt_model *ball = Cube("ball", 10);
    for (int i = 0; i < ball->nvertices; ++i) ball->vertices[i].map.v[0] = float(i) / 7;
    VtModelUpdate(ball, VT_MODU_ALL);
    SceneItem *item = Object(ball, 0, 0, 0, 10);
    P3DSetupPlasmaBall(item, 100, 130, "plasmaball");
    EXPECT_EQ(ball->vertices[3].index, 100);
    EXPECT_NEAR(gPlasmaBall.textureScale, 1.0f / 3, 1e-6f);
    struct Case {
        int16_t age;
        int deepest;  // the most the shade can take off the top
    } cases[] = {{1, 0}, {125, 15}, {249, 29}, {0, 30}, {400, 30}};
    for (const Case &c : cases) {
        P3DJitterEffectModel(item, c.age);
        for (int i = 0; i < ball->nvertices; ++i) {
            EXPECT_LE(ball->vertices[i].index, 130) << c.age;
            EXPECT_GE(ball->vertices[i].index, 130 - c.deepest) << c.age;
        }
    }
    // All texture coordinates alike: a scale of 0 shades, never NaN.
    for (int i = 0; i < ball->nvertices; ++i) ball->vertices[i].map.v[0] = 0.5f;
    P3DSetupPlasmaBall(item, 100, 130, "plasmaball");
    EXPECT_EQ(gPlasmaBall.textureScale, 0.0f);
    PixelDepth = 16;
    P3DJitterEffectModel(item, 50);
    for (int i = 0; i < ball->nvertices; ++i) {
        EXPECT_GE(ball->vertices[i].index, 100);
        EXPECT_EQ(ball->vertices[i].blu, ball->vertices[i].index);
    }
    PixelDepth = 8;
}

TEST_F(Beams, BackgroundModelsAreShadedWithinTheirRangeAndLargeOnesAreLeftAlone) {
    vt_model *sky = VtModelAllocate("skyball", 2001, 1);
    sky->vertices[0].index = 77;
    sky->flags |= VT_MODF_UPDATEABLE;
    sky = VtModelAdd(sky);
    P3DShadeModelVertices(sky, 176, 207, nullptr);
    EXPECT_EQ(sky->vertices[0].index, 77) << "more than 2000 vertices";
    // A closed cube: each corner is on 4 to 6 of its 12 faces; corners on
    // fewer than 6 go black.
    vt_model *cube = Cube("shaded", 5);
    int uses[8] = {};
    for (int f = 0; f < cube->nfaces; ++f)
        for (uint16_t v : cube->faces[f].vertices) ++uses[v];
    for (bool poles : {false, true}) {
        P3DShadeModelVertices(cube, 176, 207, nullptr, poles);
        for (int i = 0; i < 8; ++i) {
            const int index = cube->vertices[i].index;
            if (uses[i] < 6) EXPECT_EQ(index, 0) << i;
            else if (!poles) EXPECT_TRUE(index >= 176 && index <= 207) << index;
            else EXPECT_LE(index, 207) << index;
        }
        EXPECT_EQ(cube->faces[0].material, nullptr);
    }
}

}  // namespace

namespace {

class PlasmaVideo : public P3DTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(root.ok());
        Start(8);
    }
    void TearDown() override {
        if (item && item->avatar->root->actor) {
            VtActorFree(item->avatar->root->actor);
            item->avatar->root->actor = nullptr;
        }
        P3DTest::TearDown();
    }
    // A ball showing the video; the map's pixels after `frames` updates.
    std::vector<uint8_t> Play(int frames) {
        item = Object(Cube("plasma ball", 10), 0, 0, 0, 10);
        item->avatar->root->actor = VtActorAllocate(VT_ACTOR_MODEL, nullptr);
        P3DSetupPlasmaVideo(item);
        for (int i = 0; i < frames; ++i) P3DUpdatePlasmaVideo(item);
        const vt_pixelmap *map = VtMaterialFind("plasmavid")->colour_map;
        const auto *p = static_cast<const uint8_t *>(map->pixels);
        return std::vector<uint8_t>(p, p + size_t(map->row_bytes) * map->height);
    }
    SampleDataRoot root;
    SceneItem *item = nullptr;
};

TEST_F(PlasmaVideo, TheFilmPlaysIntoTheTextureAndItsAbsenceLeavesThePicture) {
    vt_material *video = VtMaterialFind("plasmavid");
    ASSERT_NE(video, nullptr);
    ASSERT_NE(video->colour_map, nullptr);
    const std::vector<uint8_t> picture = Play(0);
    EXPECT_EQ(
        item->avatar->root->model ? static_cast<vt_model *>(item->avatar->root->model)->faces[0].material : nullptr,
        video);
    const std::vector<uint8_t> played = Play(2);
    EXPECT_NE(played, picture) << "the film's frames are drawn over the map";
    // Without the film the map keeps what it shows.
    P3DForgetEffectModels();
    std::filesystem::rename("vek/resource/video/plasma.smk", "vek/resource/video/plasma.smk.away");
    osFlushPathCache();
    const std::vector<uint8_t> before = Play(0);
    const std::vector<uint8_t> after = Play(3);
    std::filesystem::rename("vek/resource/video/plasma.smk.away", "vek/resource/video/plasma.smk");
    osFlushPathCache();
    EXPECT_EQ(after, before);
}

}  // namespace

// The sun's glare and lens flares, the dynamic lights and the sun light,
// flare shells, the star gate's edge, the alpha maps and the flare icons.
#include <cmath>
#include <cstring>

#include "RES/gfx2d.h"
#include "ai/weapons.h"
#include "common/temp_dir.h"
#include "os/paths.h"
#include "p3d_fixture.h"
#include "present/effects/particle_draw.h"
#include "present/frame_passes.h"
#include "present/sky/alpha.h"
#include "present/sky/flares.h"
#include "present/sky/sky.h"
#include "render/scene/scenestate.h"
#include "shape_files.h"
#include "world/handle.h"
#include "world/msghandler.h"

using namespace presenttest;

namespace {

bool Enabled(const vt_actor *light) {
    const vt_enable_table &t = vtScene.enables[VT_ENABLE_LIGHTS];
    for (int i = 0; i < t.count; ++i)
        if (t.enabled[i] == light) return true;
    return false;
}

class LightEffectsTest : public P3DTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(root.ok());
        Start(8, false);
        P3DBuildMainScene();
        P3DBuildBackgroundScenes();
        for (int k = 0; k < 4; ++k)
            gP3D.viewRect[k] = gP3D.viewRectInTarget[k] = int16_t(k < 2 ? 0 : k == 2 ? 639 : 479);
        gP3D.viewCentre[0] = 319.5f;
        gP3D.viewCentre[1] = 239.5f;
        ViewClipRect = {0, 0, 639, 479};
        gP3D.projectionScale = 322;
        InitSineTable();
    }
    void TearDown() override {
        CardMode = 0;
        optNoZLock = 0;
        P3DTest::TearDown();
    }
    // A sun part seen at the distance with the radius, its glare size
    // radius x 900 / distance.
    TDP *Sun(float radius, float distance) {
        SceneItem *item = Object(nullptr, 0, 0, 0, radius);
        TDP *tdp = item->avatar->root;
        tdp->viewPosition = {0, 0, distance};
        tdp->colourIndex = 7;
        return tdp;
    }
    void FillDepth(uint16_t value) {
        for (int y = 0; y < gP3D.depth->height; ++y)
            for (int x = 0; x < gP3D.depth->width; ++x) VtPixelmapPixelSet(gP3D.depth, x, y, value);
    }
    SampleDataRoot root;
};

TEST_F(LightEffectsTest, GlareSizesAndAtMostThreeSources) {
    CardMode = 1;  // sprites become countable quads
    const struct {
        float radius;
        int sources;
        int16_t size;
    } cases[] = {
        {10, 0, 0},  // size 10: the glare at its least size (23), no flares
        {27.9f, 0, 0},  // 27: still no flares
        {28, 1, 28},
        {100, 1, 54},  // larger than 54 throws flares sized 54
    };
    for (const auto &c : cases) {
        gLightFx.sourceCount = 0;
        gLightFx.batches[0].count = 0;
        P3DStarFlareAt(Sun(c.radius, 900), 0, 0, -900);
        EXPECT_EQ(gLightFx.batches[0].count, 2) << c.radius << ": two glare sprites";
        ASSERT_EQ(gLightFx.sourceCount, c.sources) << c.radius;
        if (c.sources) EXPECT_EQ(gLightFx.sources[0].size, c.size) << c.radius;
    }
    // The small sprite's size is a fifth of the glare: 23 / 5.
    gLightFx.batches[0].count = 0;
    P3DStarFlareAt(Sun(10, 900), 0, 0, -900);
    const vt_vertex *v = gLightFx.batches[0].model->vertices;
    const float r = std::hypot(v[4].p.v[0] - v[6].p.v[0], v[4].p.v[1] - v[6].p.v[1]) / 2;
    EXPECT_NEAR(r, 4 * 50, 1);
    // Behind the viewer nothing; a fourth sun throws no more flares.
    gLightFx.sourceCount = 0;
    P3DStarFlareAt(Sun(100, 900), 0, 0, 900);
    EXPECT_EQ(gLightFx.sourceCount, 0);
    for (int i = 0; i < 4; ++i) P3DStarFlareAt(Sun(100, 900), float(i), 0, -900);
    EXPECT_EQ(gLightFx.sourceCount, 3);
}

TEST_F(LightEffectsTest, TheBatchDropsTheSixteenthSprite) {
    CardMode = 1;
    FlareBatch &b = gLightFx.batches[1];
    for (int i = 0; i < 16; ++i) P3DDrawFlareSprite(320, 240, 7, 1, 10, 1.0f);
    EXPECT_EQ(b.count, 15);
    EXPECT_EQ(b.model->nvertices, 60);
    EXPECT_EQ(b.model->nfaces, 30);
    EXPECT_STREQ(b.model->identifier, "LensReflec");
    P3DRenderFlareBatch(1);
    EXPECT_EQ(b.count, 0);
    EXPECT_EQ(b.model->nfaces, 0);
}

// Five depth samples round the source: each clear one adds 0.2 to the
// flares' alpha; one is enough to show them; "nozlock" shows them whole.
TEST_F(LightEffectsTest, OcclusionBySamplesOfTheDepthBuffer) {
    CardMode = 1;
    gP3D.depth = gP3D.depthTarget;
    ASSERT_NE(gP3D.depth, nullptr);
    const struct {
        int covered;
        bool nozlock;
        int drawn;
        uint8_t red;  // of the tint 7 (255) times alpha
    } cases[] = {{0, false, 6, 255}, {4, false, 6, 51}, {5, false, 0, 0}, {5, true, 6, 255}};
    const int offsets[5][2] = {{0, 0}, {0, 8}, {8, 0}, {0, -8}, {-8, 0}};  // 0.17 of 50
    for (const auto &c : cases) {
        FillDepth(0xFFFF);
        for (int k = 0; k < c.covered; ++k)
            VtPixelmapPixelSet(gP3D.depth, 400 + offsets[k][0], 100 + offsets[k][1], 0x1000);
        optNoZLock = c.nozlock;
        gLightFx.batches[1].count = 0;
        gLightFx.sources[0] = LensFlareSource{400, 100, 255, 50, 7};
        gLightFx.sourceCount = 1;
        P3DDrawLensFlares();
        EXPECT_EQ(gLightFx.reflectionsDrawn, c.drawn) << c.covered;
        EXPECT_EQ(gLightFx.batches[1].count, c.drawn) << c.covered;
        EXPECT_EQ(gLightFx.sourceCount, 0);
        EXPECT_EQ(gLightFx.sources[0].active, 0);
        if (c.drawn) EXPECT_EQ(gLightFx.batches[1].model->vertices[0].red, c.red) << c.covered;
    }
    // The reflections lie on the line through the centre: the first at 1.95
    // of the source's offset on the far side.
    const vt_vertex *v = gLightFx.batches[1].model->vertices;
    const float cx = (v[0].p.v[0] + v[2].p.v[0]) / 2, cy = (v[0].p.v[1] + v[2].p.v[1]) / 2;
    const int scale = 64000 / 640;
    EXPECT_NEAR(cx, float((int(319.5f - (400 - 319.5f) * 1.95f) - 320) * scale), 1);
    EXPECT_NEAR(cy, float((int(239.5f - (100 - 239.5f) * 1.95f) - 240) * scale), 1);
}

// A new key takes the last free slot, so key k lands in slot 10 - k.
TEST_F(LightEffectsTest, LightSlotsByKeyAndPriority) {
    CardMode = 1;
    P3DClearLightSlots();
    for (uint32_t k = 1; k <= kLightSlots; ++k) P3DAddLight(nullptr, nullptr, nullptr, k, 50, 1000, 100, 0xFF0000);
    for (int i = 0; i < kLightSlots; ++i) ASSERT_EQ(gLightFx.slots[i].key, uint32_t(kLightSlots - i)) << i;
    // The same key takes its own slot back, whatever the priority.
    const Vec3 at{1, 2, 3};
    P3DAddLight(nullptr, nullptr, &at, 4, 10, 1000, 80, 0x00FF00);
    EXPECT_EQ(gLightFx.slots[6].colour, 0x00FF00u);
    EXPECT_EQ(gLightFx.slots[6].priority, 10);
    EXPECT_FLOAT_EQ(gLightFx.slots[6].position.z, 3) << "the second position when the first is null";
    EXPECT_EQ(P3DChooseLightSlot(99, 11), 6) << "only the weaker slot is below";
    EXPECT_EQ(P3DChooseLightSlot(99, 10), -1) << "every slot outranks it";
    EXPECT_EQ(P3DChooseLightSlot(99, 60), 9) << "the last slot below";
    // In software mode no light is added.
    CardMode = 0;
    P3DAddLight(nullptr, nullptr, &at, 77, 1000, 1000, 80, 0);
    for (const DynamicLight &s : gLightFx.slots) EXPECT_NE(s.key, 77u);
}

TEST_F(LightEffectsTest, LightsFadeExpireAndScriptLightsStay) {
    CardMode = 1;
    P3DClearLightSlots();
    const Vec3 at{0, 0, 0};
    P3DAddLight(nullptr, &at, nullptr, 1, 100, 1000, -1, 0xFFFFFF);  // the script's: slot 9
    P3DAddLight(nullptr, &at, nullptr, 2, 100, 1000, 5, 0xFFFFFF);  // life below 10: slot 8
    P3DAddLight(nullptr, &at, nullptr, 3, 100, 1000, 100, 0xFFFFFF);  // slot 7
    const DynamicLight &script = gLightFx.slots[9], &brief = gLightFx.slots[8], &light = gLightFx.slots[7];
    EXPECT_FLOAT_EQ(brief.fade, 110.0f) << "life / 10 at least 1";
    EXPECT_NEAR(light.fade, std::pow(110.0f, 0.1f), 1e-5);
    dunFrameStep = 2;
    P3DUpdateLights();
    EXPECT_EQ(brief.life, 3);
    EXPECT_NEAR(light.light->attenuation_c, 0.1f * std::pow(110.0f, 0.1f), 1e-5);
    P3DUpdateLights();
    P3DUpdateLights();
    EXPECT_EQ(brief.life, 0) << "below 1: freed";
    EXPECT_FALSE(Enabled(brief.actor));
    for (int i = 0; i < 500; ++i) P3DUpdateLights();
    EXPECT_EQ(script.life, -1);
    EXPECT_FLOAT_EQ(script.light->attenuation_c, 0.1f);
    EXPECT_TRUE(Enabled(script.actor));
    // Its slot is never chosen, even for the highest priority.
    EXPECT_NE(P3DChooseLightSlot(99, 1 << 30), 9);
}

// A flash on a ship stays where it was given and fades by itself; an
// engine light rides in its ship's frame and shines while it thrusts.
TEST_F(LightEffectsTest, FlashesKeepTheirPlaceAndEngineLightsFollowThrust) {
    CardMode = 1;
    P3DClearLightSlots();
    SceneItem *ship = Object(Cube("hull", 10), 1000, 0, 0, 17);
    P3DAddToScene(ship->avatar->root, ship->avatar->root->model, 0, 0);
    ASSERT_NE(ship->avatar->root->actor, nullptr);
    FlightParams flight{};
    flight.p1 = 50;
    ship->sim->flight = &flight;
    const Vec3 world{1000, 0, 30};
    P3DAddLightFlash(ship, ship->receiverId, &world, 100, 0xFFFFFF);
    const Vec3 engine{0, 0, -20};
    P3DAddEngineLight(ship, &engine, 0x0080FF, 500);
    const DynamicLight &flash = gLightFx.slots[9], &lamp = gLightFx.slots[8];
    ASSERT_EQ(flash.life, 100);
    ASSERT_EQ(lamp.life, -1);
    P3DUpdateLights();
    EXPECT_FLOAT_EQ(flash.actor->t.t.mat.m[3][2], 30) << "not moved into the ship's frame";
    EXPECT_TRUE(Enabled(flash.actor)) << "lit without thrust";
    EXPECT_FALSE(Enabled(lamp.actor));
    ship->sim->thrust.z = 25;
    P3DUpdateLights();
    EXPECT_TRUE(Enabled(lamp.actor));
    EXPECT_FLOAT_EQ(lamp.actor->t.t.mat.m[3][0], 1000);
    EXPECT_FLOAT_EQ(lamp.actor->t.t.mat.m[3][2], -20);
    EXPECT_FLOAT_EQ(lamp.light->attenuation_c, 0.1f / 50);
    ship->sim->flight = nullptr;
    // The ship gone, its lights go.
    dunDeleteSceneItem(ship);
    P3DUpdateLights();
    EXPECT_EQ(flash.life, 0);
    EXPECT_EQ(lamp.life, 0);
}

// A round's hit flashes on the side of the hull it struck, whatever the
// victim's heading: the contact's offset goes to the flash in world axes.
TEST_F(LightEffectsTest, AHitFlashesOnTheStruckSideOfATurnedHull) {
    CardMode = 1;
    P3DClearLightSlots();
    SceneItem *victim = Object(Cube("hull", 10), 0, 0, 500, 17);
    victim->sim->radius = 17;
    // Turned a quarter about its vertical: its own forward axis is world +x.
    MatRotateY(90.0f, victim->sim->matrix);
    victim->sim->matrix.m[12] = 0;
    victim->sim->matrix.m[13] = 0;
    victim->sim->matrix.m[14] = 500;
    dunCopySimToModel(victim);
    SceneItem *round = Object(nullptr, 30, 0, 500, 1);
    round->avatar->flags = AvatarFlag::BeamRound;
    int16_t handled = 0;
    float at[3] = {30, 0, 500};  // on the hull's world +x side
    dunProjectileImpact(round, nullptr, victim, nullptr, &handled, at);
    const DynamicLight *flash = nullptr;
    for (const DynamicLight &l : gLightFx.slots)
        if (l.life > 0 && l.key == victim->receiverId) flash = &l;
    ASSERT_NE(flash, nullptr);
    EXPECT_GT(flash->position.x, 5.0f) << "on the struck side";
    EXPECT_NEAR(flash->position.z, 500.0f, 1.0f);
}

TEST_F(LightEffectsTest, TheSoftwareFlashLightFades) {
    const Vec3 at{5, 6, 7};
    P3DAddLightFlash(nullptr, 1, &at, 4, 0xFF8000);
    const auto *flash = static_cast<vt_light *>(gP3D.flashLight->type_data);
    EXPECT_TRUE(Enabled(gP3D.flashLight));
    EXPECT_FLOAT_EQ(flash->attenuation_c, 0.18f);
    EXPECT_FLOAT_EQ(gP3D.flashLight->t.t.mat.m[3][1], 6);
    dunFrameStep = 2;
    P3DUpdateLights();
    EXPECT_FLOAT_EQ(flash->attenuation_c, 0.18f * 110);
    P3DUpdateLights();
    EXPECT_FALSE(Enabled(gP3D.flashLight));
}

// The sun light's time runs down to the sun taking the light; in system 26
// the viewer's lamp keeps its time.
TEST_F(LightEffectsTest, TheSunLightCountsDownOutsideTheSpecialSystem) {
    dunFrameStep = 10;
    const struct {
        uint8_t special;
        int32_t after;
        uint8_t kind;
    } cases[] = {{0, 90, 0}, {1, 100, 0}};
    for (const auto &c : cases) {
        gSky.special = c.special;
        P3DSetSunLight(nullptr, 0, 100, -1);
        EXPECT_EQ(gSunPlaced, 0);
        P3DUpdateLights();
        EXPECT_EQ(gLightFx.sunTime, c.after) << int(c.special);
        EXPECT_EQ(gSunPlaced, 1);
    }
    gSky.special = 0;
    P3DSetSunLight(nullptr, 0, 15, -1);
    P3DUpdateLights();
    P3DUpdateLights();
    EXPECT_LT(gLightFx.sunTime, 0);
    EXPECT_EQ(gLightFx.sunKind, 1);
    EXPECT_EQ(static_cast<vt_light *>(gP3D.light1->type_data)->type, VT_LIGHT_DIRECT);
    P3DSunLightDim();
    EXPECT_FLOAT_EQ(static_cast<vt_light *>(gP3D.light1->type_data)->attenuation_c, 0.025f);
    P3DSunLightPlain();
    EXPECT_FLOAT_EQ(static_cast<vt_light *>(gP3D.light1->type_data)->attenuation_c, 1.0f);
}

TEST_F(LightEffectsTest, TheStarGateShowsItsEdgeByState) {
    vt_material *gate = VtMaterialFind("StarGate");
    ASSERT_NE(gate, nullptr);
    const struct {
        int state;
        const char *edge;
    } cases[] = {{9, "GateEdge2"}, {10, "GateEdge1"}, {12, "GateEdge3"}, {11, "GateEdge4"}, {13, "GateEdge4"}};
    for (const auto &c : cases) {
        P3DSetStarGateEdge(nullptr, c.state);
        const vt_material *edge = VtMaterialFind(c.edge);
        ASSERT_NE(edge, nullptr) << c.edge;
        EXPECT_EQ(gate->colour_map, edge->colour_map) << c.state;
    }
}

// A pocket shell over the ship: its part appended, its own material, and a
// detach message of the part posted to the ship for the end of its life.
TEST_F(LightEffectsTest, AFlareShellIsSpawnedAndRemovedOnTime) {
    // The shells' loading gave the smoke its grey ramp.
    EXPECT_EQ(gPuffColours[48], 0x7F7F7F7Fu);
    EXPECT_EQ(gPuffColours[0], 0x0000007Fu);
    SceneItem *ship = Object(Cube("hull", 10), 0, 0, 500, 17);
    dunSetMessageHandler(ship, dunHandleMessages);
    TDP *first = dunAddChildTDP(ship->avatar->root, nullptr, 0, 0, 0);
    const uint32_t now = dunGameClock;
    P3DSpawnFlareShell(ship, 0, 0, 0, 2, 1, 100, 150, 240, 50, 30);
    TDP *shell = first->sibling;
    ASSERT_NE(shell, nullptr) << "the last child";
    EXPECT_EQ(shell->routine, P3DUpdateFlareShell);
    EXPECT_EQ(shell->flags & 0x20004u, 0x20004u);
    const auto *m = static_cast<vt_material *>(shell->particleOrMaterial);
    ASSERT_NE(m, nullptr);
    EXPECT_STREQ(m->identifier, "Temporary");
    EXPECT_EQ(m->colour, 0xF0321Eu);
    EXPECT_EQ(m->flags, 0x20026u);
    MsgRecord r;
    dunGameClock = now + 99;
    EXPECT_FALSE(dunMsgReceive(ship->receiverId, &r));
    dunGameClock = now + 100;
    ASSERT_TRUE(dunMsgReceive(ship->receiverId, &r));
    EXPECT_EQ(r.header.type, MsgDetachPart);
    EXPECT_EQ(dunMsgPayloadNode(&r, 0), shell);
    dunGameClock = now;
    // A shield shell looks along the hit point, divided by the hull's size.
    P3DSpawnFlareShell(ship, 20, 0, 0, 0, 1, 60, 0, 140, 140, 140);
    TDP *shield = shell->sibling;
    ASSERT_NE(shield, nullptr);
    EXPECT_NEAR(shield->local.m[8], 1.0f, 1e-5) << "its Z row along +x";
    EXPECT_FLOAT_EQ(shield->local.m[12], 20);
}

// A shell whose model is not found is left out: the other two load and
// spawn, a spawn of the missing kind adds nothing.
TEST_F(LightEffectsTest, AShellThatDoesNotLoadIsLeftOut) {
    vt_model *caps = P3DFlareShellModel(1);
    ASSERT_NE(caps, nullptr);
    ASSERT_NE(P3DFlareShellModel(0), nullptr);
    ASSERT_NE(P3DFlareShellModel(2), nullptr);
    VtModelRemove(caps);
    {
        // A data root without the capsule's shape: the loaded two are
        // found again by name, the third is looked for on disk.
        ruvotest::TempDir empty;
        osFlushPathCache();
        P3DLoadFlareShells();
    }
    osFlushPathCache();
    EXPECT_EQ(P3DFlareShellModel(1), nullptr);
    EXPECT_NE(P3DFlareShellModel(0), nullptr);
    EXPECT_NE(P3DFlareShellModel(2), nullptr);
    SceneItem *ship = Object(Cube("hull", 10), 0, 0, 500, 17);
    dunSetMessageHandler(ship, dunHandleMessages);
    TDP *first = dunAddChildTDP(ship->avatar->root, nullptr, 0, 0, 0);
    P3DSpawnFlareShell(ship, 0, 0, 0, 1, 1, 100, 150, 240, 50, 30);
    EXPECT_EQ(first->sibling, nullptr) << "no capsule shell";
    P3DSpawnFlareShell(ship, 0, 0, 0, 2, 1, 100, 150, 240, 50, 30);
    EXPECT_NE(first->sibling, nullptr) << "a pocket shell";
    VtModelAdd(caps);
    P3DLoadFlareShells();
    EXPECT_EQ(P3DFlareShellModel(1), caps);
}

TEST_F(LightEffectsTest, AlphaMapsTakeTheTopNibble) {
    vt_pixelmap *map = P3DMakeWhiteAlphaMap(4, 4);
    ASSERT_NE(map, nullptr);
    uint8_t alpha[16];
    for (int i = 0; i < 16; ++i) alpha[i] = uint8_t(i * 16 + 5);
    P3DSetAlpha4444(map, alpha, 0x0F0F);
    const auto *p = static_cast<const uint16_t *>(map->pixels);
    EXPECT_EQ(p[0], 0x0F0F) << "(FFF0 >> 4) & mask, alpha 0";
    EXPECT_EQ(p[15], 0xFF0F);
    P3DScaleAlpha4444(map, alpha, 0.5f);
    EXPECT_EQ(p[15], 0x7F0F);
    EXPECT_EQ(p[3], 0x1F0F);
    // Maps larger than 4096 pixels are left alone.
    vt_pixelmap *big = P3DMakeWhiteAlphaMap(128, 64);
    std::vector<uint8_t> none(128 * 64, 0);
    P3DSetAlpha4444(big, none.data(), 0);
    EXPECT_EQ(static_cast<const uint16_t *>(big->pixels)[0], 0xFFFF);
    vt_pixelmap *red = P3DMakeTintedAlphaMap(map, 0, 0, 0, 3);
    ASSERT_NE(red, nullptr);
    EXPECT_EQ(static_cast<const uint16_t *>(red->pixels)[15], 0x7100) << "no channel asked: red 1";
}

// The icons: each tint's glow over black through its light table; the
// centre at full light, the corners dark.
TEST_F(LightEffectsTest, FlareIconsFollowThePaletteAndTheGlowMask) {
    std::vector<uint8_t> tables(65536);
    GenerateFlareIcons(tables.data(), palette, palette);
    for (int t = 0; t < kFlareIcons; ++t) {
        const int centreLevel = GlowMasks[64 * 128 + 64] & 15;
        ASSERT_GT(centreLevel, 0);
        EXPECT_EQ(gFlareIcons[t][32 * kFlareIconSide + 32], tables[t * 4096 + centreLevel * 256]) << t;
        EXPECT_EQ(gFlareIcons[t][0], 0) << t;
    }
    int distinct = 0;
    for (int t = 1; t < kFlareIcons; ++t)
        distinct += std::memcmp(gFlareIcons[t], gFlareIcons[0], sizeof gFlareIcons[0]) != 0;
    EXPECT_GT(distinct, 0) << "the tints' tables differ";
}

}  // namespace

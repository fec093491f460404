// Drawing particles: points projected by the scene (off the screen: depth
// 0, not drawn), the depth test's offsets for sprites and for streaks, the
// streaks' colour and brightness by length, the 3D card's geometry and its
// update, freeing a model's shared materials once, and the light tables and
// glow masks made from a palette and the flare pictures.
#include <cmath>
#include <cstring>

#include "RES/gfx2d.h"
#include "p3d_fixture.h"
#include "present/effects/particle_draw.h"
#include "present/effects/particles.h"
#include "shape_files.h"

using namespace presenttest;

namespace {

class ParticleDraw : public P3DTest {
protected:
    void Open(int depth) {
        Start(depth, false);
        camera = Object(nullptr, 0, 0, 0, 10);
        owner = Object(nullptr, 0, 0, 5000, 100);
    }
    void TearDown() override {
        CardMode = 0;
        P3DTest::TearDown();
    }
    void DrawView() { P3DDrawViewWindow(View(&camera, 0, 0, 640, 480)); }
    // A system whose points the test places itself.
    TDP *Placed(int kind, uint32_t flags, int count) {
        TDP *tdp = CreateParticleSystem(owner, nullptr, kind, flags, 100, count, 100, 0, 0, 360);
        ParticleSystem *ps = ParticleSystemOf(tdp);
        for (int i = 0; i < count; ++i) {
            ps->points[i].life = 0;
            ps->points[i].local = {0, 0, 0};
        }
        return tdp;
    }
    // The view's stored depth at a pixel of the whole screen.
    void StoreDepth(int x, int y, uint16_t value) {
        const vt_pixelmap *d = gP3D.depthTarget;
        auto *row = static_cast<uint8_t *>(d->pixels) + ptrdiff_t(d->base_y + y) * d->row_bytes;
        std::memcpy(row + 2 * ptrdiff_t(d->base_x + x), &value, 2);
    }
    SceneItem *camera = nullptr;
    SceneItem *owner = nullptr;
};

TEST_F(ParticleDraw, TheSceneProjectsLivePointsAndThoseOffTheScreenGetDepthZero) {
    Open(8);
    TDP *tdp = Placed(2, 0, 3);
    ParticleSystem *ps = ParticleSystemOf(tdp);
    ps->points[0] = Particle{{0, 0, 5000}, {}, 0, {}, {}, 100, 0.1f, 0, 32};
    ps->points[1] = Particle{{0, 0, -5000}, {}, 0, {7, 7, 7}, {}, 100, 0.1f, 0, 32};  // behind the camera
    ps->points[2] = Particle{{0, 0, 5000}, {}, 0, {9, 9, 9}, {}, 0, 0.1f, 0, 32};  // dead: left alone
    DrawView();
    DrawView();
    EXPECT_NEAR(ps->points[0].screen.x, 320, 1);
    EXPECT_NEAR(ps->points[0].screen.y, 240, 1);
    EXPECT_GT(ps->points[0].screen.z, 0);
    EXPECT_EQ(ps->points[1].screen.z, 0);
    EXPECT_EQ(ps->points[2].screen.z, 9);
}

TEST_F(ParticleDraw, SpritesAndStreaksPassTheDepthTestByTheirOwnOffsets) {
    Open(8);
    DrawView();
    struct Case {
        int kind;
        float z;
        bool drawn;
    };
    // Stored 40000: a sprite needs z + 32766 below it, a streak z + 32768.
    for (const Case &c : {Case{0, 7233, true}, Case{0, 7234, false}, Case{2, 7231, true}, Case{2, 7232, false}}) {
        TDP *tdp = Placed(c.kind, 0, 1);
        Particle &p = ParticleSystemOf(tdp)->points[0];
        p.life = 100;
        p.size = 0.0001f;
        p.shade = 20;
        p.colour = 3;
        p.screen = {300, 200, c.z};
        p.local = {300, 195, 1};
        ParticleSystemOf(tdp)->ramp[31] = 100;
        StoreDepth(300, 200, 40000);
        std::memset(pixels.data(), 0, pixels.size());
        gParticleFillCounter = 0;
        P3DDrawParticleSystem(tdp);
        int changed = 0;
        for (uint8_t v : pixels) changed += v != 0;
        EXPECT_EQ(changed > 0, c.drawn) << c.kind << " " << c.z;
        RemoveParticleSystem(tdp);
    }
}

TEST_F(ParticleDraw, ANearSpriteIsDrawnLargerThanAFarOne) {
    Open(8);
    DrawView();
    // Every mask value lights, every light level gives colour 200.
    std::memset(GlowMasks, 1, sizeof GlowMasks);
    std::memset(LightTables, 200, sizeof LightTables);
    int lit[2];
    int k = 0;
    for (float z : {3000.0f, 60000.0f}) {
        TDP *tdp = Placed(0, 0, 1);
        ParticleSystem *ps = ParticleSystemOf(tdp);
        ps->points[0] = Particle{{0, 0, z}, {}, 0, {}, {}, 100, 0.5f, 3, 20};
        DrawView();
        lit[k] = 0;
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 640; ++x) lit[k] += Pixel8(x, y) == 200;
        RemoveParticleSystem(tdp);
        ++k;
    }
    std::memset(GlowMasks, 0, sizeof GlowMasks);
    std::memset(LightTables, 0, sizeof LightTables);
    EXPECT_GT(lit[0], 4 * lit[1]);
    EXPECT_GT(lit[1], 1);
}

TEST_F(ParticleDraw, StreaksTakeTheirRampsRowAndDimWithLength) {
    // Ramp entry 31 is 100: row 80. A young point's step is 31: brightness
    // 24.8 before the length rules.
    struct Case {
        uint32_t flags;
        int length;
        int colour;  // -1: not drawn
    };
    const Case cases[] = {
        {0x400, 10, 104}, {0x400, 16, 104}, {0x400, 32, 92}, {0x400, 39, 90},  {0x400, 40, -1},
        {0, 4, 104},      {0, 8, 92},       {0, 32, 84},     {0x40000, 3, 77},
    };
    for (int depth : {8, 16}) {
        Open(depth);
        DrawView();
        for (const Case &c : cases) {
            TDP *tdp = Placed(2, c.flags, 1);
            ParticleSystem *ps = ParticleSystemOf(tdp);
            ps->ramp[31] = 100;
            Particle &p = ps->points[0];
            p.life = 100;
            p.colour = 77;
            p.screen = {float(200 + c.length), 300, 100};
            p.local = {200, 300, 1};
            std::memset(pixels.data(), 0, pixels.size());
            P3DDrawParticleSystem(tdp);
            const int x = 200 + c.length;
            if (c.colour < 0) {
                EXPECT_EQ(depth == 8 ? Pixel8(x, 300) : Pixel16(x, 300), 0) << c.length;
            } else if (depth == 8) {
                EXPECT_EQ(Pixel8(x, 300), c.colour) << c.flags << " " << c.length;
                EXPECT_EQ(Pixel8(200, 300), c.colour) << "a line from the last place";
            } else {
                EXPECT_EQ(Pixel16(x, 300), PaletteToRgb565(palette, unsigned(c.colour))) << c.flags << " " << c.length;
                EXPECT_EQ(Pixel16(200, 300), 0) << "only the end point at 16 bits";
            }
            // The new place is kept for the next frame's streak.
            EXPECT_EQ(p.local.x, float(x));
            RemoveParticleSystem(tdp);
        }
        TearDown();
    }
}

TEST_F(ParticleDraw, TheCardsGeometryHasAQuadAPointAndOneTriangleWhenNoneLives) {
    Open(16);
    CardMode = 1;
    TDP *tdp = CreateParticleSystem(owner, nullptr, 0, 0x10, 100, 30, 100, 1000, 100, 360);
    ParticleSystem *ps = ParticleSystemOf(tdp);
    ASSERT_EQ(ps->kind, 6);
    ASSERT_NE(ps->model, nullptr);
    EXPECT_STREQ(ps->model->identifier, "Doughball");
    Mat4 identity;
    MatIdentity(identity);
    ps->position = {1, 2, 3};
    P3DUpdateParticleGeometry(ps, &identity);
    ASSERT_EQ(ps->model->nfaces, 1);
    EXPECT_EQ(ps->model->vertices[ps->model->faces[0].vertices[1]].p.v[2], 3.0f);
    EXPECT_EQ(ps->lastFaceCount, 1u);
    for (int i = 0; i < 3; ++i) {
        ps->points[i].life = 50;
        ps->points[i].size = 1;
        ps->points[i].colour = uint16_t(i);
        ps->points[i].pos = {float(100 * i), 0, 0};
    }
    P3DUpdateParticleGeometry(ps, &identity);
    EXPECT_EQ(ps->model->nfaces, 6);
    EXPECT_EQ(ps->lastFaceCount, 6u);
    // A quad of half-size 2600 about each point, its faces in the point's
    // material entry.
    EXPECT_FLOAT_EQ(ps->model->vertices[4].p.v[0], 100 - 2600);
    EXPECT_EQ(ps->model->faces[2].material, P3DParticleMaterial(1));
    // A nav-light system is rebuilt once, until a light changes.
    ps->flags |= ParticleFlag::NavLights;
    P3DUpdateParticleGeometry(ps, &identity);
    EXPECT_TRUE(ps->flags & ParticleFlag::NavGeometryDone);
    ps->points[0].pos.x = 999;
    P3DUpdateParticleGeometry(ps, &identity);
    EXPECT_FLOAT_EQ(ps->model->vertices[0].p.v[0], -2600);
    ps->flags &= ~ParticleFlag::NavGeometryDone;
    ps->flags |= ParticleFlag::OneShotUpdate;
    P3DUpdateParticleGeometry(ps, &identity);
    EXPECT_FALSE(ps->flags & (ParticleFlag::OneShotUpdate | ParticleFlag::NavGeometryDone));
    EXPECT_FLOAT_EQ(ps->model->vertices[0].p.v[0], 999 - 2600);
}

TEST_F(ParticleDraw, AModelsSharedMaterialIsFreedOnce) {
    Open(8);
    vt_model *m = Cube("freed", 10);
    vt_material *a = VtMaterialAdd(VtMaterialAllocate("shared"));
    vt_material *b = VtMaterialAdd(VtMaterialAllocate("other"));
    for (int f = 0; f < 12; ++f) m->faces[f].material = f < 10 ? a : b;
    const int before = VtMaterialCount("*");
    P3DFreeModelMaterials(m);
    EXPECT_EQ(VtMaterialCount("*"), before - 2);
    for (int f = 0; f < 12; ++f) EXPECT_EQ(m->faces[f].material, nullptr);
}

TEST_F(ParticleDraw, LightTablesFromAGreyPaletteAndTheFlarePictures) {
    SampleDataRoot root;
    ASSERT_TRUE(root.ok());
    uint8_t grey[1024] = {};
    for (int c = 0; c < 256; ++c) grey[4 * c] = grey[4 * c + 1] = grey[4 * c + 2] = uint8_t(c);
    static uint8_t table[65536];
    std::memset(GlowMasks, 0, sizeof GlowMasks);
    LoadFlarePictures(table, grey, nullptr);
    auto at = [&](int t, int level, int c) { return int(table[t * 4096 + level * 256 + c]); };
    struct Spot {
        int t, level, c, entry;
    };
    const Spot spots[] = {
        // Darkening moves a colour up its own row by the level's step,
        // twice as far in row 176, never past its top; others stay.
        {8, 0, 20, 21},
        {8, 15, 20, 44},
        {8, 0, 180, 182},
        {8, 3, 46, 47},
        {8, 7, 5, 5},
        {8, 7, 250, 250},
        // Glows keep the colour at the top level; table 13 takes its list.
        {9, 15, 77, 77},
        {13, 15, 3, 3},
        {13, 0, 10, 50},
        {12, 0, 10, 49},
    };
    for (const Spot &s : spots) EXPECT_EQ(at(s.t, s.level, s.c), s.entry) << s.t << " " << s.level << " " << s.c;
    for (uint8_t j : gFlareJitter) ASSERT_TRUE(j == 16 || j == 32 || j == 48) << int(j);
    int lit[2] = {0, 0};
    for (int i = 0; i < 2 * 16384; ++i) lit[i / 16384] += GlowMasks[i] != 0;
    EXPECT_GT(lit[0], 100);
    EXPECT_GT(lit[1], 100);
}

}  // namespace

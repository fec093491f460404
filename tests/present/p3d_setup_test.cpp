// The 3D set-up on the sample data: the effect materials at 8 and 16 bits,
// the effect textures and the Doughball models; the find hooks' names.
#include "RES/picture.h"
#include "p3d_fixture.h"
#include "render/pmap/pixelmap.h"
#include "shape_files.h"

using namespace presenttest;

namespace {

class P3DSetUp : public P3DTest {
protected:
    SampleDataRoot root;
};

const char *const kIdentifiers[] = {
    "standard", "nebula_purple", "laser_tex_navy",   "laser_tex_indy", "laser_tex_aln", "laser_tex_newal",
    "Antimo",   "explo_1",       "explo_2",          "plasmaball",     "plasmavid",     "carbon",
    "black",    "grey_flat",     "laser_tex_orange", "planet1",        "planet2",       "planet3",
    "planet4",  "planet5",       "planet6",          "gas_shell",      "starstuff"};

TEST_F(P3DSetUp, TheEffectMaterialsAreRegisteredOpaqueWithTheirMaps) {
    ASSERT_TRUE(root.ok());
    Start(8);
    for (const char *name : kIdentifiers) {
        vt_material *m = VtMaterialFind(name);
        ASSERT_NE(m, nullptr) << name;
        EXPECT_EQ(m->opacity, 255) << name;
        EXPECT_NE(m->mode, 0) << name << ": mode 0 becomes 4";
    }
    EXPECT_EQ(VtMaterialFind("standard")->mode, 4);
    EXPECT_EQ(VtMaterialFind("gas_shell")->mode, 12);
    EXPECT_EQ(VtMaterialFind("grey_flat")->index_base, 30);
    vt_material *navy = VtMaterialFind("laser_tex_navy");
    ASSERT_NE(navy->colour_map, nullptr);
    EXPECT_STREQ(navy->colour_map->identifier, "vantor\\dat\\beamnav.pix");
    EXPECT_EQ(navy->extra_prim, nullptr);
    for (int i = 15; i <= 20; ++i) EXPECT_STREQ(gP3D.effectMaterials[i]->identifier, kIdentifiers[i]);
}

TEST_F(P3DSetUp, AtSixteenBitsTheLaserMaterialsDrawTintedBeams) {
    ASSERT_TRUE(root.ok());
    Start(16);
    vt_pixelmap *beam = VtMapFind("vantor\\dat\\beam28_.pix");
    ASSERT_NE(beam, nullptr);
    for (const char *name :
         {"laser_tex_navy", "laser_tex_indy", "laser_tex_aln", "laser_tex_newal", "laser_tex_orange"}) {
        vt_material *m = VtMaterialFind(name);
        ASSERT_NE(m, nullptr) << name;
        EXPECT_EQ(m->flags, 0x21024u) << name;
        EXPECT_EQ(m->mode, 12) << name;
        EXPECT_EQ(m->colour, 0xFFFFFFFFu) << name;
        EXPECT_NE(m->extra_prim, nullptr) << name;
        ASSERT_NE(m->colour_map, nullptr) << name;
        EXPECT_NE(m->colour_map, beam) << name;
        EXPECT_EQ(m->colour_map->type, VT_PMT_ARGB_4444) << name;
    }
    // Navy is tinted red and green: those channels at full, blue the
    // beam's green (or 1).
    const uint16_t p = *static_cast<uint16_t *>(VtMaterialFind("laser_tex_navy")->colour_map->pixels);
    EXPECT_EQ((p >> 8) & 0xF, 15);
    EXPECT_EQ((p >> 4) & 0xF, 15);
    EXPECT_NE(p & 0xF, 15);
}

TEST_F(P3DSetUp, TheEffectTexturesMakeTheExplosionSetAndTheDoughballs) {
    ASSERT_TRUE(root.ok());
    Start(8);
    EXPECT_EQ(gP3D.effectTexturesLoaded, 1);
    EXPECT_EQ(VtMaterialCount("Explosion"), 25);
    EXPECT_EQ(VtMaterialCount("PrimUnlit"), 3);
    for (vt_material *m : gP3D.primUnlit) {
        ASSERT_NE(m, nullptr);
        EXPECT_NE(m->colour_map, nullptr) << "the sample tree has every flare texture";
    }
    ASSERT_NE(gP3D.unlitMaterial, nullptr);
    EXPECT_EQ(gP3D.unlitMaterial->mode, 12);
    ASSERT_NE(gP3D.potBlack, nullptr);
    EXPECT_NE(gP3D.potBlack->colour_map, nullptr);
    EXPECT_NE(gP3D.gasShell, nullptr);
    vt_model *ball = gP3D.doughballs[0];
    ASSERT_NE(ball, nullptr);
    EXPECT_EQ(ball->nvertices, 1000);
    EXPECT_EQ(ball->nfaces, 500);
    EXPECT_EQ(ball->flags & 0x291, 0x291);
    const uint16_t face5[3] = {10, 9, 8}, face6[3] = {8, 11, 10};
    EXPECT_TRUE(std::equal(face5, face5 + 3, ball->faces[4].vertices));
    EXPECT_TRUE(std::equal(face6, face6 + 3, ball->faces[5].vertices));
    EXPECT_EQ(ball->faces[4].material, gP3D.explosionMaterials[15]);
    EXPECT_FLOAT_EQ(ball->vertices[6].map.v[0], 1);
    EXPECT_FLOAT_EQ(ball->vertices[6].map.v[1], 1);
    EXPECT_FLOAT_EQ(ball->vertices[7].map.v[0], 0);
    EXPECT_FLOAT_EQ(ball->vertices[7].map.v[1], 1);
    EXPECT_EQ(ball->vertices[3].red, 240);
    EXPECT_EQ(gP3D.doughballs[8]->nvertices, 176);
    EXPECT_EQ(VtModelCount("Doughball"), 0) << "not registered";
    // A second set-up in the same library run makes new ones, not more.
    P3DInitialise();
    EXPECT_EQ(VtMaterialCount("Explosion"), 25);
}

TEST(P3DHooks, TheCardReadsTexturesFromTheirOwnFolderAndOtherMapsWithAnUnderscore) {
    struct Case {
        const char *name, *file;
    } cases[] = {
        {"vek\\resource\\art\\textures\\ships\\hull.pix", "vek\\resource\\art\\textur_h\\ships\\hull.pix"},
        {"VEK\\Resource\\Art\\Textures\\x.pix", "vek\\resource\\art\\textur_h\\x.pix"},
        {"vantor\\dat\\beamnav.pix", "vantor\\dat\\beamna_.pix"},
        {"vek\\resource\\art\\icons\\x.pix", "vek\\resource\\art\\icons\\x.pix"},
        {"vek", "vek"},
        {"noextension", "noextension"},
        {".pix", ".pix"},
    };
    for (const Case &c : cases) {
        char out[128];
        P3DCardMapName(c.name, out, sizeof out);
        EXPECT_STREQ(out, c.file) << c.name;
    }
}

TEST_F(P3DSetUp, TheMapHookRegistersWhatItLoadsUnderTheNameAskedFor) {
    ASSERT_TRUE(root.ok());
    Start(8);
    EXPECT_EQ(P3DFindMapHook("vantor\\dat\\nothere.pix"), nullptr);
    const uint32_t before = gP3D.textureTotal;
    vt_pixelmap *pm = P3DFindMapHook("VANTOR\\DAT\\WRECKG_.PIX");
    ASSERT_NE(pm, nullptr);
    EXPECT_STREQ(pm->identifier, "VANTOR\\DAT\\WRECKG_.PIX");
    EXPECT_EQ(gP3D.textureTotal - before, uint32_t(pm->width) * pm->height);
    EXPECT_EQ(VtMapFind("VANTOR\\DAT\\WRECKG_.PIX"), pm);
}

}  // namespace

namespace {

// The shade tables and the colour ramps of 8-bit materials read the game
// palette as seven dark-to-light ramps of 32 from 16, glows at 240-244 and
// fixed colours outside.
TEST(GamePalette, FollowsTheRampLayout) {
    presenttest::SampleDataRoot root;
    ASSERT_TRUE(root.ok());
    uint8_t pal[1024];
    uint32_t size = sizeof pal;
    ASSERT_NE(pcxLoadPalette("vek\\resource\\art\\tovstd.pcx", pal, &size), nullptr);
    auto brightness = [&pal](int i) { return pal[4 * i] + pal[4 * i + 1] + pal[4 * i + 2]; };
    for (int ramp = 0; ramp < 7; ++ramp) {
        const int base = 16 + 32 * ramp;
        EXPECT_LT(brightness(base), 60) << "ramp " << ramp << " starts dark";
        for (int k = 1; k < 32; ++k) EXPECT_GE(brightness(base + k), brightness(base + k - 1)) << base + k;
    }
    // The sky ramp from 176 has its own hue: more blue than green.
    EXPECT_GT(pal[4 * 200 + 2], pal[4 * 200 + 1]);
    for (int i = 240; i < 245; ++i) EXPECT_EQ(pal[4 * i], 255) << "glow " << i;
    EXPECT_EQ(brightness(0), 0);
    EXPECT_EQ(brightness(255), 3 * 255);
}

}  // namespace

// Surface materials from SURF sub-chunks: lighting, the 8-bit ramps and the
// 16-bit colours, flags, self-lit and transparent surfaces; texture lookup
// through the six folders in order, the missing-texture warning, and
// texture replacements.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "core/options.h"
#include "os/paths.h"
#include "present/lwo/lwo.h"
#include "present/lwo/shade.h"
#include "present/p3d.h"
#include "render/pmap/pixelmap.h"
#include "render/scene/scene.h"
#include "render/tokens/token.h"
#include "shape_files.h"

using namespace presenttest;

namespace {

class Surfaces : public testing::Test {
protected:
    void SetUp() override {
        ResetOptions();
        P3DResetStateDefaults();
        PixelDepth = 8;
        P3DForgetShadeTable();
        ASSERT_EQ(VtBeginAll(), VT_E_OK);
        VtMapFindHook(P3DFindMapHook);
    }
    void TearDown() override {
        FreeTextureReplacements();
        P3DForgetShadeTable();
        gLwoQuietTextures = 0;
        VtEndAll();
        ResetOptions();
    }

    // The material a one-triangle object with this surface gets.
    vt_material *MaterialOf(const lwob::Surface &surface) {
        lwob::Object o;
        const int16_t s = o.AddSurface(surface);
        o.AddPoint(0, 0, 0);
        o.AddPoint(1, 0, 0);
        o.AddPoint(0, 1, 0);
        o.AddPolygon({0, 1, 2}, s);
        char name[32];
        std::snprintf(name, sizeof name, "s%d.lwo", ++shapes);
        auto *m = static_cast<vt_model *>(LwoLoadModel(WriteShape(name, o).c_str(), nullptr, nullptr));
        EXPECT_NE(m, nullptr);
        return m ? m->faces[0].material : nullptr;
    }

    static lwob::Surface Coloured(const char *name, int r, int g, int b) {
        lwob::Surface s = NamedSurface(name);
        s.colour[0] = uint8_t(r);
        s.colour[1] = uint8_t(g);
        s.colour[2] = uint8_t(b);
        return s;
    }
    static lwob::Surface WithImage(const char *name, const char *image) {
        lwob::Surface s = NamedSurface(name);
        s.image = image;
        return s;
    }

    // An 8-bit texture file at a game path.
    static void WriteTexture(const std::string &gamePath) {
        const std::string host = osResolvePath(gamePath.c_str(), true);
        std::filesystem::create_directories(std::filesystem::path(host).parent_path());
        vt_pixelmap *pm = VtPixelmapAllocate(VT_PMT_INDEX_8, 8, 8, nullptr, 0);
        pm->identifier = "t";
        ASSERT_EQ(VtPixelmapSave(host.c_str(), pm), 1u);
        VtPixelmapFree(pm);
        osFlushPathCache();
    }

    ruvotest::TempDir dir;
    int shapes = 0;
};

struct GlossCase {
    int glossiness;
    float power;
};

TEST_F(Surfaces, GlossinessPicksTheLastOfItsBits) {
    const GlossCase cases[] = {{0x10, 12}, {0x40, 45}, {0x0110, 76}, {0x0410, 100}, {0x0050, 45}, {0, 0}, {0x8, 0}};
    for (const GlossCase &c : cases) {
        lwob::Surface s = NamedSurface("g");
        s.glossiness = c.glossiness;
        EXPECT_EQ(MaterialOf(s)->power, c.power) << std::hex << c.glossiness;
    }
    // Without GLOS: the "standard" material's terms, else the built-in ones.
    vt_material *plain = MaterialOf(NamedSurface("plain"));
    EXPECT_EQ(plain->power, 96);
    EXPECT_FLOAT_EQ(plain->ka, 0.2f);
    EXPECT_FLOAT_EQ(plain->kd, 0.62f);
    vt_material *standard = VtMaterialAllocate("standard");
    standard->ka = 0.05f;
    standard->power = 30;
    VtMaterialAdd(standard);
    vt_material *m = MaterialOf(NamedSurface("plain"));
    EXPECT_FLOAT_EQ(m->ka, 0.05f);
    EXPECT_EQ(m->power, 30);
    EXPECT_NE(m, plain) << "each load registers materials of its own";
}

struct RampCase {
    int r, g, b;
    int base, range;
};

TEST_F(Surfaces, AtEightBitsColoursChooseAPaletteRamp) {
    const RampCase cases[] = {
        {255, 0, 0, 48, 31},    {120, 120, 120, 16, 15}, {0, 0, 0, 16, 0},    {0, 200, 10, 80, 25},
        {20, 20, 240, 112, 31}, {112, 16, 128, 144, 16}, {200, 200, 0, 144, 25}, {240, 150, 90, 208, 31},
    };
    for (const RampCase &c : cases) {
        vt_material *m = MaterialOf(Coloured("c_paint", c.r, c.g, c.b));
        EXPECT_EQ(m->index_base, c.base) << c.r << "," << c.g << "," << c.b;
        EXPECT_EQ(m->index_range, c.range) << c.r << "," << c.g << "," << c.b;
        EXPECT_EQ(m->colour, 0u);
        EXPECT_EQ(m->opacity, 255);
    }
}

TEST_F(Surfaces, OnSixteenBitScreensColoursAreTakenByTheirPrefix) {
    PixelDepth = 16;
    EXPECT_EQ(MaterialOf(Coloured("c_panel", 16, 32, 48))->colour, 0x102030u);
    EXPECT_EQ(MaterialOf(Coloured("panel", 16, 32, 48))->colour, VtDefaultMaterial()->colour);
    CardMode = 0xFF;
    vt_material *card = MaterialOf(Coloured("c_panel", 16, 32, 48));
    EXPECT_EQ(card->colour, 0x102030u);
    EXPECT_FLOAT_EQ(card->ka, 0.02f) << "the card's own lighting terms";
    EXPECT_FLOAT_EQ(card->ks, 4.0f);
    EXPECT_EQ(card->power, 128);
    EXPECT_EQ(card->flags & 0x20020u, 0x20020u);
}

TEST_F(Surfaces, FlagsMakeSmoothTwoSidedLitMaterials) {
    lwob::Surface s = NamedSurface("f", 0x104);
    vt_material *m = MaterialOf(s);
    EXPECT_EQ(m->flags & (VT_MATF_SMOOTH | VT_MATF_TWO_SIDED | VT_MATF_LIT), VT_MATF_SMOOTH | VT_MATF_TWO_SIDED | VT_MATF_LIT);
    EXPECT_EQ(m->flags & (VT_MATF_DECAL | VT_MATF_PERSPECTIVE), 0u);
    optPerspective = 0xFF;
    EXPECT_NE(MaterialOf(NamedSurface("p"))->flags & VT_MATF_PERSPECTIVE, 0u);
}

TEST_F(Surfaces, LuminosityAbove128IsSelfLit) {
    lwob::Surface dim = Coloured("lamp", 255, 200, 100), bright = dim;
    dim.luminosity = 128;
    bright.luminosity = 129;
    vt_material *d = MaterialOf(dim), *b = MaterialOf(bright);
    EXPECT_NE(d->flags & VT_MATF_LIT, 0u);
    EXPECT_EQ(b->flags & VT_MATF_LIT, 0u);
    EXPECT_EQ(b->colour, 0xFFC864u);
    EXPECT_FLOAT_EQ(b->ka, 0.5f);
    EXPECT_EQ(b->kd, 0);
    EXPECT_EQ(b->ks, 0);
}

TEST_F(Surfaces, TransparencyBlendsOnlyOnTheCard) {
    lwob::Surface s = NamedSurface("glass");
    s.transparency = 128;
    EXPECT_EQ(MaterialOf(s)->extra_prim, nullptr);
    CardMode = 0xFF;
    PixelDepth = 16;
    const vt_token_value *list = MaterialOf(s)->extra_prim;
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list[0].t, VTT_BLEND_B);
    EXPECT_NE(list[0].v.u32, 0u);
    EXPECT_EQ(list[1].t, VTT_OPACITY_X);
    EXPECT_EQ(list[1].v.i32, 128 * 65536);
    EXPECT_EQ(list[2].t, VTT_END);
}

TEST_F(Surfaces, TexturesAreLookedUpInTheFoldersInOrder) {
    WriteTexture("vek\\resource\\art\\textures\\indieships\\plate.pix");
    WriteTexture("vek\\resource\\art\\textures\\voyger\\plate.pix");
    WriteTexture("vek\\resource\\art\\textures\\voyger\\hull.pix");
    std::remove("debug.txt");
    vt_material *m = MaterialOf(WithImage("a", "c:\\art\\plate.iff"));
    ASSERT_NE(m->colour_map, nullptr);
    EXPECT_STREQ(m->colour_map->identifier, "vek\\resource\\art\\textures\\indieships\\plate.pix");
    EXPECT_EQ(m->index_shade, P3DShadeTable()) << "the shared shade table, made on first need";
    ASSERT_NE(P3DShadeTable(), nullptr);
    vt_material *last = MaterialOf(WithImage("b", "hull.bmp"));
    ASSERT_NE(last->colour_map, nullptr);
    EXPECT_STREQ(last->colour_map->identifier, "vek\\resource\\art\\textures\\voyger\\hull.pix");
    EXPECT_EQ(DebugLog().find("unable to find"), std::string::npos);
}

TEST_F(Surfaces, AMissingTextureIsReportedUnlessQuieted) {
    std::remove("debug.txt");
    EXPECT_EQ(MaterialOf(WithImage("a", "art\\gone.iff"))->colour_map, nullptr);
    EXPECT_NE(DebugLog().find("Warning - unable to find gone.pix for texture map"), std::string::npos);
    std::remove("debug.txt");
    EXPECT_EQ(MaterialOf(WithImage("b", "(none)"))->colour_map, nullptr);
    gLwoQuietTextures = 1;
    EXPECT_EQ(MaterialOf(WithImage("c", "art\\gone.iff"))->colour_map, nullptr);
    EXPECT_EQ(DebugLog().find("unable to find"), std::string::npos) << "(none) is no texture; quiet says nothing";
    gLwoQuietTextures = 0;
    // A name no longer than its extension is not cut before its start.
    EXPECT_EQ(MaterialOf(WithImage("d", "x\\.pix"))->colour_map, nullptr);
    EXPECT_NE(DebugLog().find("Warning - unable to find x\\.pix.pix"), std::string::npos);
}

TEST_F(Surfaces, OnTheCardTexturesComeFromTheMirrorFolder) {
    WriteTexture("vek\\resource\\art\\textur_h\\ships\\plate.pix");
    CardMode = 0xFF;
    PixelDepth = 16;
    vt_material *m = MaterialOf(WithImage("a", "plate.iff"));
    ASSERT_NE(m->colour_map, nullptr);
    EXPECT_STREQ(m->colour_map->identifier, "vek\\resource\\art\\textures\\ships\\plate.pix");
}

TEST_F(Surfaces, AReplacementWinsOverTheSurfacesOwnTexture) {
    WriteTexture("vek\\resource\\art\\textures\\planets\\earth2.pix");
    WriteTexture("vek\\resource\\art\\textures\\planets\\mars2.pix");
    WriteTexture("vek\\resource\\art\\textures\\ships\\plate.pix");
    std::string key = "INDEX_PLANET2";
    LoadTextureReplacement(key.c_str(), "\\vek\\resource\\art\\textures\\planets\\earth2.pix");
    key = "overwritten";  // the node keeps its own copy of the key
    const TextureReplacement *node = FindTextureReplacement("INDEX_PLANET2");
    ASSERT_NE(node, nullptr);
    vt_material *m = MaterialOf(WithImage("INDEX_PLANET2", "plate.iff"));
    EXPECT_EQ(m->colour_map, node->pixelmap);
    EXPECT_STREQ(m->colour_map->identifier, "vek\\resource\\art\\textures\\planets\\earth2.pix");
    EXPECT_EQ(FindTextureReplacement("index_planet2"), nullptr) << "keys match exactly";
    // Refreshed: the same node, the new picture.
    LoadTextureReplacement("INDEX_PLANET2", "vek\\resource\\art\\textures\\planets\\mars2.pix");
    EXPECT_EQ(FindTextureReplacement("INDEX_PLANET2"), node);
    EXPECT_STREQ(node->pixelmap->identifier, "vek\\resource\\art\\textures\\planets\\mars2.pix");
    // A picture not found leaves a node without one, and the surface without a map.
    std::remove("debug.txt");
    LoadTextureReplacement("INDEX_PLANET3", "planets\\nowhere3.pix");
    EXPECT_NE(DebugLog().find("Warning - unable to find nowhere3.pix for texture map replacement"),
              std::string::npos);
    ASSERT_NE(FindTextureReplacement("INDEX_PLANET3"), nullptr);
    EXPECT_EQ(MaterialOf(WithImage("INDEX_PLANET3", "plate.iff"))->colour_map, nullptr);
    FreeTextureReplacements();
    EXPECT_EQ(FindTextureReplacement("INDEX_PLANET2"), nullptr);
    EXPECT_NE(MaterialOf(WithImage("INDEX_PLANET2", "plate.iff"))->colour_map, nullptr);
}

}  // namespace

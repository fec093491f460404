// The models a part shows from afar (the "_LOW" variant, the flat proxy,
// one point), and the model edits the planet pool and the effects use: the
// texture scroll, the face classes and the face picker.
#include <cmath>
#include <cstring>

#include "RES/util.h"
#include "p3d_fixture.h"
#include "present/frame_passes.h"
#include "present/lwo/lwo.h"
#include "present/model_adjust.h"
#include "present/sky/planets.h"
#include "render/fw/fw.h"
#include "shape_files.h"
#include "world/pools.h"

using namespace presenttest;

namespace {

class DetailModels : public P3DTest {
protected:
    void SetUp() override {
        Start(8, false);
        P3DBuildMainScene();
    }
    void TearDown() override {
        CardMode = 0;
        dunFreeCollisionModels();
        P3DTest::TearDown();
    }
    // A registered map of that name.
    static vt_pixelmap *Map(const char *name) {
        vt_pixelmap *m = VtPixelmapAllocate(VT_PMT_INDEX_8, 8, 8, nullptr, 0);
        m->identifier = VtResStrDup(m, name);
        return VtMapAdd(m);
    }
    static vt_material *Material(const char *name, vt_pixelmap *map) {
        vt_material *m = VtMaterialAllocate(name);
        m->colour_map = map;
        m->flags = 0x25;
        m->kd = 0.5f;
        return VtMaterialAdd(m);
    }
    // The part of a new object showing the model, given its actor.
    TDP *Part(vt_model *model) {
        SceneItem *item = Object(model, 0, 0, 1000, 10);
        P3DAddToScene(item->avatar->root, model, 0, 0);
        return item->avatar->root;
    }
    static int Registered(const char *name) {
        vt_model *found[64];
        return VtModelFindMany(name, found, 64);
    }
};

TEST_F(DetailModels, TheSlabWordAndExtensionOfAShapePath) {
    const struct {
        const char *path, *slab, *out;
    } cases[] = {
        {"vek\\resource\\shapes\\ship.lwo", "Sh_3DH", "vek\\resource\\Sh_3DH\\ship"},
        {"vek\\resource\\Sh_3DX\\ship.lwo", "shapes", "vek\\resource\\shapes\\ship"},
        {"vek\\resource\\models\\boat.lwo", "Sh_3DH", "vek\\resource\\models\\boat"},  // no folder word
        {"vek\\models\\shipyard.lwo", "Sh_3DH", "vek\\models\\Sh_3DHrd"},  // any word of S, h
        {"shapes\\a.lwo", "Sh_3DH", "shapes\\a"},  // the word must follow a backslash
    };
    for (const auto &c : cases) {
        char path[128];
        std::snprintf(path, sizeof path, "%s", c.path);
        LwoShapePathForSlab(path, c.slab);
        EXPECT_STREQ(path, c.out) << c.path;
    }
}

// A variant within 0.85..1.15 of the full radius is used as it is; one
// outside is scaled to the full radius.
TEST_F(DetailModels, TheLowVariantIsScaledOnlyWellOffTheFullRadius) {
    ruvotest::TempDir dir;
    const struct {
        const char *name;
        float lowSide;
        float lowRadius;
    } cases[] = {{"near", 4.4f, 4.4f * std::sqrt(3.0f)}, {"far", 4.8f, 4.0f * std::sqrt(3.0f)}};
    for (const auto &c : cases) {
        const std::string full = std::string(c.name) + ".lwo", low = std::string(c.name) + "_LOW.lwo";
        WriteShape(full, lwob::Box({0, 0, 0}, {4, 4, 4}, NamedSurface("hull")));
        WriteShape(low, lwob::Box({0, 0, 0}, {c.lowSide, c.lowSide, c.lowSide}, NamedSurface("hull")));
        auto *model = static_cast<vt_model *>(LwoLoadModel(ShapePath(full).c_str(), nullptr, nullptr));
        ASSERT_NE(model, nullptr);
        TDP *tdp = Part(model);
        const auto *lowModel = static_cast<const vt_model *>(tdp->savedModel[1]);
        ASSERT_NE(lowModel, nullptr);
        EXPECT_STREQ(lowModel->identifier, ShapePath(low).c_str());
        float r = 0;
        for (int i = 0; i < lowModel->nvertices; ++i) {
            const vt_vector3 &p = lowModel->vertices[i].p;
            r = std::fmax(r, std::sqrt(p.v[0] * p.v[0] + p.v[1] * p.v[1] + p.v[2] * p.v[2]));
        }
        // Loaded models are x 100 of their files.
        EXPECT_NEAR(r, c.lowRadius * 100, 0.5f) << c.name;
    }
}

// Without a variant: on the 3D card the full model in the middle and the
// proxy far; in software the proxy in the middle and one point far.
TEST_F(DetailModels, SlotsFallBackByMode) {
    for (uint8_t card : {0, 1}) {
        CardMode = card;
        vt_model *cube = Cube(card ? "card cube" : "soft cube", 10);
        TDP *tdp = Part(cube);
        const auto *low = static_cast<const vt_model *>(tdp->savedModel[1]);
        const auto *far = static_cast<const vt_model *>(tdp->savedModel[2]);
        ASSERT_NE(low, nullptr);
        ASSERT_NE(far, nullptr);
        if (card) {
            EXPECT_EQ(low, cube);
            EXPECT_STREQ(far->identifier, "Simplest");
        } else {
            EXPECT_STREQ(low->identifier, "Simplest");
            EXPECT_EQ(far, P3DMakeOnePointModel());
        }
    }
    // "Shrapnel" shows itself in the middle and gets no far model.
    vt_model *shrapnel = Cube("Shrapnel", 3);
    TDP *tdp = Part(shrapnel);
    EXPECT_EQ(tdp->savedModel[1], shrapnel);
    EXPECT_EQ(tdp->savedModel[2], nullptr);
}

TEST_F(DetailModels, TheFlatProxyShowsTheSmallTopAndBottomMaps) {
    vt_pixelmap *top = Map("art\\top.pix"), *small = Map("art\\top_S.pix");
    Map("art\\bottom.pix");
    vt_material *topMaterial = Material("INDEX_TOP", top);
    vt_material *bareBottom = Material("INDEX_BOT", nullptr);
    vt_model *ship = Cube("plated ship", 10);
    ship->faces[2].material = topMaterial;
    ship->faces[5].material = bareBottom;
    for (int i = 0; i < 8; ++i) ship->vertices[i].p.v[0] *= 2;  // x from -20 to 20
    TDP *tdp = Part(ship);
    const auto *proxy = static_cast<const vt_model *>(tdp->savedModel[1]);
    ASSERT_NE(proxy, nullptr);
    ASSERT_EQ(proxy->nvertices, 4);
    ASSERT_EQ(proxy->nfaces, 4);
    // A square (a top map was made) spanning the bounds, index 249.
    EXPECT_FLOAT_EQ(proxy->vertices[0].p.v[0], 20);
    EXPECT_FLOAT_EQ(proxy->vertices[0].p.v[2], 10);
    EXPECT_FLOAT_EQ(proxy->vertices[2].p.v[0], -20);
    EXPECT_FLOAT_EQ(proxy->vertices[2].p.v[2], -10);
    EXPECT_FLOAT_EQ(proxy->vertices[1].map.v[1], 1);
    EXPECT_EQ(proxy->vertices[3].index, 249);
    const vt_material *smallTop = proxy->faces[0].material;
    ASSERT_NE(smallTop, nullptr);
    EXPECT_STREQ(smallTop->identifier, "SMALL_TOP");
    EXPECT_EQ(smallTop->colour_map, small);
    EXPECT_EQ(smallTop->flags, 0x25u);
    EXPECT_FLOAT_EQ(smallTop->kd, 0.5f);
    EXPECT_EQ(proxy->faces[1].material, smallTop);
    // The bottom material has no map: it is kept as it is.
    EXPECT_EQ(proxy->faces[2].material, bareBottom);
    EXPECT_EQ(proxy->faces[2].vertices[1], 2);
    // A shape with only a bottom map shows it on both sides; one without
    // either gets a diamond of "grey_flat".
    vt_model *under = Cube("under", 10);
    under->faces[0].material = Material("INDEX_BOT", Map("art\\under.pix"));
    const auto *both = static_cast<const vt_model *>(Part(under)->savedModel[1]);
    EXPECT_EQ(both->faces[0].material, both->faces[3].material);
    const auto *diamond = static_cast<const vt_model *>(Part(Cube("plain", 10))->savedModel[1]);
    EXPECT_FLOAT_EQ(diamond->vertices[0].p.v[2], 0);
    EXPECT_FLOAT_EQ(diamond->vertices[0].map.v[1], 0.5f);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(diamond->faces[i].material, VtMaterialFind("grey_flat"));
}

// Parts of one shape share one proxy: a mission of many actors does not
// grow the registry.
TEST_F(DetailModels, OneProxyAShape) {
    vt_model *cube = Cube("fleet ship", 10);
    const int before = Registered("Simplest");
    for (int i = 0; i < 6; ++i) Part(cube);
    EXPECT_EQ(Registered("Simplest"), before + 1);
    P3DForgetDetailModels();
    Part(cube);
    EXPECT_EQ(Registered("Simplest"), before + 2) << "a new set-up makes its own";
}

// Scroll: vertices in the upper half of their unit step move by 1 - step.
TEST_F(DetailModels, ThePoolSphereTextureScrolls) {
    vt_model *m = Cube("scrolled", 1);
    const float u[8] = {0.2f, 0.7f, 1.6f, 1.3f, 0.5f, 2.5f, 0, 0.99f};
    for (int i = 0; i < 8; ++i) m->vertices[i].map.v[0] = u[i];
    gPlanetPool.slots[1].model = m;
    ScrollModelTexture(1, 0.9f);
    const float want[8] = {0.2f, 0.6f, 1.7f, 1.3f, 0.4f, 2.6f, 0, 0.89f};
    for (int i = 0; i < 8; ++i) EXPECT_NEAR(m->vertices[i].map.v[0], want[i], 1e-5) << i;
    ScrollModelTexture(5, 0.9f);  // no such slot
    // The faces by class: 0 black, 1 and 2 the slot's materials, others as they were.
    vt_material *keep = VtMaterialFind("carbon");
    for (int i = 0; i < 12; ++i) m->faces[i].material = keep;
    gPlanetPool.slots[1].material[0] = VtMaterialFind("planet3");
    gPlanetPool.slots[1].material[1] = VtMaterialFind("planet4");
    const uint8_t classes[4] = {0, 1, 2, 7};
    for (int i = 0; i < 4; ++i) gFaceClassTable[i] = classes[i];
    PaintFaceClassMaterials(1);
    EXPECT_EQ(m->faces[0].material, VtMaterialFind("black"));
    EXPECT_EQ(m->faces[1].material, VtMaterialFind("planet3"));
    EXPECT_EQ(m->faces[2].material, VtMaterialFind("planet4"));
    EXPECT_EQ(m->faces[3].material, keep);
    EXPECT_EQ(VtMaterialFind("planet3")->flags, 4u);
    P3DResetPlanetPool();
}

TEST_F(DetailModels, PickingAFaceNearAPoint) {
    vt_model *cube = Cube("picked", 10);
    SceneItem *item = Object(cube, 0, 0, 0, 17);
    TDP *root = item->avatar->root;
    root->savedModel[0] = cube;
    Vec3 centre{}, normal{};
    // The nearest face to a point past +x is on the +x side; its normal
    // (a - c) x (a - b), normalised, points along an axis.
    const Vec3 point{30, 1, 2};
    ASSERT_EQ(PickModelFace(item, &point, &centre, &normal), 255);
    EXPECT_FLOAT_EQ(centre.x, 10) << "a triangle of the +x side";
    EXPECT_NEAR(std::fabs(normal.x), 1.0f, 1e-5);
    // The origin picks a random face: rand() % faces.
    dunRand15State = 12345;
    const int face = dunRand15() % 12;
    dunRand15State = 12345;
    ASSERT_EQ(PickModelFace(item, nullptr, &centre, &normal), 255);
    const vt_face &f = cube->faces[face];
    float cx = 0;
    for (int k = 0; k < 3; ++k) cx += cube->vertices[f.vertices[k]].p.v[0] / 3;
    EXPECT_FLOAT_EQ(centre.x, cx);
    // The second slot's model is picked first; a faceless one gives 0,
    // even at the origin.
    vt_model *bare = VtModelAllocate("bare", 3, 0);
    root->savedModel[1] = bare;
    EXPECT_EQ(PickModelFace(item, nullptr, &centre, &normal), 0);
    EXPECT_EQ(PickModelFace(item, &point, &centre, &normal), 0);
    root->savedModel[0] = root->savedModel[1] = nullptr;
    EXPECT_EQ(PickModelFace(item, &point, &centre, &normal), 0);
    VtModelFree(bare);
}

}  // namespace

// Changes to models in place, the low-detail variants of shapes, the flat
// wire drawings of the schematic and the gadgets, and the shade table shown
// on the screen.
#include <cmath>
#include <vector>

#include "hud/missionlog.h"
#include "p3d_fixture.h"
#include "present/hooks.h"
#include "present/lwo/lwo.h"
#include "present/lwo/shade.h"
#include "present/model_adjust.h"
#include "present/wireframe.h"
#include "shape_files.h"
#include "world/pools.h"

using namespace presenttest;

namespace {

float Radius(const vt_model *m) {
    float r = 0;
    for (int i = 0; i < m->nvertices; ++i) {
        const vt_vector3 &p = m->vertices[i].p;
        r = std::fmax(r, std::sqrt(p.v[0] * p.v[0] + p.v[1] * p.v[1] + p.v[2] * p.v[2]));
    }
    return r;
}

class ModelTools : public P3DTest {
protected:
    void SetUp() override {
        Start(8, false);
        // The wire drawings draw with the HUD's lines.
        hudInstallPresentHooks();
    }
    void TearDown() override {
        gWireframeView = WireframeView{1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0xFFFF, nullptr, 0, nullptr};
        HudPixelmap = nullptr;
        P3DTest::TearDown();
    }
    // Pixels of the screen in the colour.
    int Count(int colour) const {
        int n = 0;
        for (int y = 0; y < ScreenSurface.height; ++y)
            for (int x = 0; x < ScreenSurface.width; ++x) n += Pixel8(x, y) == colour;
        return n;
    }
};

TEST_F(ModelTools, ModelsAreScaledMovedAndTurnedInPlace) {
    vt_model *cube = Cube("adjusted", 10);  // corners at distance 10 x sqrt(3)
    const vt_vector3 corner = cube->vertices[0].p;
    CollisionModel *collision = dunAllocCollisionModel();
    collision->id = cube;
    collision->size = 20;
    NormaliseModelRadius(cube, 50);
    EXPECT_NEAR(Radius(cube), 50.0f, 1e-3);
    EXPECT_FLOAT_EQ(collision->size, 50.0f);
    ScaleModelAndCollision(cube, 2);
    EXPECT_NEAR(Radius(cube), 100.0f, 1e-3);
    EXPECT_FLOAT_EQ(collision->size, 100.0f);
    // Reflecting and swapping twice gives the model back exactly.
    const vt_vector3 before = cube->vertices[3].p;
    for (int axis = 0; axis < 3; ++axis) {
        ReflectModel(cube, axis);
        EXPECT_EQ(cube->vertices[3].p.v[axis], -before.v[axis]) << axis;
        ReflectModel(cube, axis);
    }
    RotateModelX90(cube);
    EXPECT_EQ(cube->vertices[3].p.v[1], before.v[2]);
    RotateModelX90(cube);
    for (int k = 0; k < 3; ++k) EXPECT_EQ(cube->vertices[3].p.v[k], before.v[k]);
    // A cube pushed onto a sphere has every corner at the radius.
    ProjectModelOntoSphere(cube, 7);
    for (int i = 0; i < 8; ++i) {
        const vt_vector3 &p = cube->vertices[i].p;
        EXPECT_NEAR(std::sqrt(p.v[0] * p.v[0] + p.v[1] * p.v[1] + p.v[2] * p.v[2]), 7.0f, 1e-4);
    }
    SlideModel(cube, 1, 2, 3);
    EXPECT_NEAR(cube->vertices[0].p.v[2], corner.v[2] / std::fabs(corner.v[2]) * 7 / std::sqrt(3.0f) + 3, 1e-4);
    // A model with every vertex at the origin stays as it is.
    vt_model *point = Cube("point", 0);
    NormaliseModelRadius(point, 10);
    ProjectModelOntoSphere(point, 10);
    EXPECT_EQ(Radius(point), 0.0f);
    // The winding turns round; a material goes on every face.
    const vt_uint_16 v1 = cube->faces[0].vertices[1], v2 = cube->faces[0].vertices[2];
    P3DFlipModelFaces(cube);
    EXPECT_EQ(cube->faces[0].vertices[1], v2);
    EXPECT_EQ(cube->faces[0].vertices[2], v1);
    // Flipped twice, every face winds as it did.
    P3DFlipModelFaces(cube);
    EXPECT_EQ(cube->faces[0].vertices[1], v1);
    EXPECT_EQ(cube->faces[0].vertices[2], v2);
    P3DFlipModelFaces(cube);
    P3DSetModelMaterial(cube, "grey_flat");
    EXPECT_EQ(cube->faces[11].material, VtMaterialFind("grey_flat"));
    EXPECT_EQ(cube->vertices[5].index, 128);
    dunFreeCollisionModels();
}

TEST_F(ModelTools, AShapesLowDetailVariantIsLoadedWhenItExists) {
    ruvotest::TempDir dir;
    WriteShape("ship.lwo", lwob::Box({0, 0, 0}, {4, 4, 4}, NamedSurface("hull")));
    WriteShape("ship_LOW.lwo", lwob::Box({0, 0, 0}, {4, 4, 2}, NamedSurface("hull")));
    WriteShape("lone.lwo", lwob::Box({0, 0, 0}, {1, 1, 1}, NamedSurface("hull")));
    auto *ship = static_cast<vt_model *>(LwoLoadModel(ShapePath("ship.lwo").c_str(), nullptr, nullptr));
    ASSERT_NE(ship, nullptr);
    auto *low = static_cast<vt_model *>(LwoLoadShapeWithLod(ship));
    ASSERT_NE(low, nullptr);
    EXPECT_STREQ(low->identifier, ShapePath("ship_LOW.lwo").c_str());
    EXPECT_EQ(LwoLoadShapeWithLod(LwoLoadModel(ShapePath("lone.lwo").c_str(), nullptr, nullptr)), nullptr);
    // A model whose name is no shape file has no variant.
    EXPECT_EQ(LwoLoadShapeWithLod(Cube("one", 1)), nullptr);
    EXPECT_EQ(LwoLoadShapeWithLod(nullptr), nullptr);
    dunFreeCollisionModels();
}

// A plan of two rings: a square of side 20 round the origin, and a tiny one.
struct Plan {
    float points[8][3] = {{-10, -10, 0}, {10, -10, 0},   {10, 10, 0},       {-10, 10, 0},
                          {30, 30, 1},   {30.1f, 30, 1}, {30.1f, 30.1f, 1}, {30, 30.1f, 1}};
    uint16_t edges[8][2] = {{0, 1}, {1, 2}, {2, 3}, {3, 0}, {4, 5}, {5, 6}, {6, 7}, {7, 4}};
    float parts[2][4] = {{-10, -10, 20, 20}, {30, 30, 0.1f, 0.1f}};
    WireframeModel model{8, 8, 2, points, edges, parts};
};

TEST_F(ModelTools, WireNodesBuildATreeAndTheViewEasesToTheirOffsets) {
    Plan plan;
    WireframeNode *root = WireframeNodeCreate(&plan.model, 100);
    WireframeNode *anchor = WireframeNodeCreate(nullptr, 65535);
    EXPECT_EQ(root->flags, 0x16u);
    EXPECT_EQ(anchor->flags, 0xEu);
    WireframeListAppend(root, anchor);
    WireframeListAppend(root, anchor);
    WireframeListAppend(anchor, anchor);
    EXPECT_EQ(root->child, anchor);
    EXPECT_EQ(anchor->sibling, nullptr) << "appended once, never into a loop";
    EXPECT_EQ(anchor->child, nullptr);
    // Centring keeps the drawing in place: the points move, the node by as much.
    Plan moved;
    for (auto &p : moved.points) p[0] += 6;
    WireframeNode *node = WireframeNodeCreate(&moved.model, 100);
    WireframeCentre(node);
    EXPECT_NEAR(node->x, 6 + 120.2f / 8, 1e-3);
    EXPECT_NEAR(moved.points[0][0] + node->x, -4.0f, 1e-4);
    WireframeSetOffsets(root, 5, -5);
    WireframeSmoothOffsets();
    EXPECT_FLOAT_EQ(gWireframeView.zoom, 0.15f * 40 + 0.85f * 1);
    EXPECT_FLOAT_EQ(gWireframeView.x, 0.15f * 5);
    EXPECT_FLOAT_EQ(gWireframeView.y, 0.15f * -5);
    WireframeSmoothOffsets();
    EXPECT_FLOAT_EQ(gWireframeView.xTarget, 5.0f);
    std::free(root);
    std::free(anchor);
    std::free(node);
}

TEST_F(ModelTools, AWireTreeDrawsThePartsBigEnoughOnScreen) {
    HudPixelmap = VtPixelmapAllocateSub(gP3D.screen, 0, 0, 200, 200);
    HudPixelmap->origin_x = HudPixelmap->origin_y = 100;
    HudViewRect = {0, 0, 199, 199};
    Plan plan;
    WireframeNode *root = WireframeNodeCreate(&plan.model, 100);
    uint16_t place[2] = {0, 0};
    WireframeNode *anchor = WireframeNodeCreate(place, 65535);
    anchor->x = 10;
    root->mask = anchor->mask = 1;
    gWireframeView.filter = 1;
    WireframeListAppend(root, anchor);
    // At a zoom of 199 model units a pane the square shows at its size.
    WireframeDraw(root, 0, 0, 199, 0, 0);
    EXPECT_GT(Count(100), 70);
    EXPECT_EQ(Pixel8(100 - 10, 100 - 10), 100);
    EXPECT_EQ(place[0], 99 + 10);
    EXPECT_EQ(place[1], 99);
    // An override colours everything; a filter it does not share hides it.
    WireframeDraw(root, 0, 0, 199, 0, 7);
    EXPECT_EQ(Count(100), 0);
    gWireframeView.filter = 2;
    std::fill(pixels.begin(), pixels.end(), 0);
    WireframeDraw(root, 0, 0, 199, 0, 0);
    EXPECT_EQ(Count(100), 0);
    // From far away no part is over six pixels: neither the node nor its
    // children are visited.
    gWireframeView.filter = 1;
    place[0] = place[1] = 0;
    WireframeDraw(root, 0, 0, 20000, 0, 0);
    EXPECT_EQ(Count(100), 0);
    EXPECT_EQ(place[0], 0);
    EXPECT_FALSE(root->flags & WireframeFlag::Drawn);
    VtPixelmapFree(HudPixelmap);
    std::free(root);
    std::free(anchor);
}

// Lines the wire drawings hand to the HUD, as they come.
struct Line {
    int x0, y0, x1, y1, colour;
};
std::vector<Line> gLines;
void RecordLine(vt_pixelmap *, int x0, int y0, int x1, int y1, int colour) {
    gLines.push_back({x0, y0, x1, y1, colour});
}
const PresentHudHooks kRecordingHooks = {RecordLine, nullptr, nullptr};

TEST_F(ModelTools, TheGridAndALargeModelDrawEveryLine) {
    P3DSetHudHooks(&kRecordingHooks);
    gLines.clear();
    HudViewRect = {0, 0, 360, 199};
    // At a zoom of 360 a model unit is a pixel; the offset moves the grid
    // by 0.6 of itself.
    WireframeDrawGrid(10, -20, 360);
    ASSERT_EQ(gLines.size(), 36u);
    EXPECT_EQ(gLines[0].x0, -180 - 6);
    EXPECT_EQ(gLines[0].y0, -180 + 12);
    EXPECT_EQ(gLines[0].y1, 180 + 12);
    EXPECT_EQ(gLines[1].y0, -180 + 12);
    EXPECT_EQ(gLines[1].x1, 180 - 6);
    EXPECT_EQ(gLines[34].x0, 160 - 6);
    for (const Line &l : gLines) EXPECT_EQ(l.colour, 24);
    // A model of 600 parts, only the last big enough to see, and an edge
    // among the last points: the whole model counts and draws.
    constexpr int kParts = 600;
    std::vector<float> points(kParts * 2 * 3), parts(kParts * 4);
    std::vector<uint16_t> edges(kParts * 2);
    for (int k = 0; k < kParts; ++k) {
        const float size = k == kParts - 1 ? 50.0f : 0.01f;
        float *p = &points[k * 6];
        p[0] = p[1] = 0;
        p[3] = p[4] = size;
        p[2] = p[5] = float(k);
        edges[k * 2] = uint16_t(k * 2);
        edges[k * 2 + 1] = uint16_t(k * 2 + 1);
        float *part = &parts[k * 4];
        part[0] = part[1] = 0;
        part[2] = part[3] = size;
    }
    WireframeModel big{kParts * 2, kParts, kParts, reinterpret_cast<float(*)[3]>(points.data()),
                       reinterpret_cast<uint16_t(*)[2]>(edges.data()), reinterpret_cast<float(*)[4]>(parts.data())};
    WireframeNode node{};
    node.flags = WireframeFlag::Shown | WireframeFlag::Parts;
    node.mask = 1;
    node.colour = 100;
    node.shape = &big;
    gWireframeView.filter = 1;
    gLines.clear();
    WireframeDraw(&node, 0, 0, 360, 0, 0);
    EXPECT_TRUE(node.flags & WireframeFlag::Drawn);
    ASSERT_EQ(gLines.size(), size_t(kParts));
    EXPECT_EQ(gLines.back().x1, 50);
    // The highlighted node blinks 8 darker for the first half of each second.
    gWireframeView.highlighted = &node;
    for (const auto &[clock, colour] : {std::pair{1030u, 92}, std::pair{1070u, 100}}) {
        dunGameClock = clock;
        gLines.clear();
        WireframeDraw(&node, 0, 0, 360, 0, 0);
        ASSERT_FALSE(gLines.empty());
        EXPECT_EQ(gLines[0].colour, colour) << clock;
    }
    gWireframeView.highlighted = nullptr;
    P3DSetHudHooks(nullptr);
}

TEST_F(ModelTools, APlanDrawnIntoARectangleTurnsAboutTheVertical) {
    Plan plan;
    EXPECT_FALSE(WireframeDrawInRect(nullptr, 0, 0, 99, 99, 50, 0));
    // The square of 20 fills a tenth of a 200-wide rectangle, x to the right.
    EXPECT_TRUE(WireframeDrawInRect(&plan.model, 100, 100, 300, 300, 50, 0));
    EXPECT_EQ(Pixel8(190, 210), 50);
    EXPECT_EQ(Pixel8(200, 200), 0xAB);
    EXPECT_GT(Count(50), 70);
    // Turned by 45 degrees the corners stand on the axes.
    std::fill(pixels.begin(), pixels.end(), 0);
    WireframeDrawInRect(&plan.model, 100, 100, 300, 300, 50, 45);
    int top = 480, topX = 0;
    for (int y = 0; y < 480 && top == 480; ++y)
        for (int x = 0; x < 640; ++x)
            if (Pixel8(x, y) == 50) {
                top = y;
                topX = x;
                break;
            }
    EXPECT_NEAR(top, 200 - 14, 1);
    EXPECT_NEAR(topX, 200, 1);
    EXPECT_EQ(Pixel8(190, 190), 0);
}

TEST_F(ModelTools, TheShadeTableIsShownTwoPixelsAnEntry) {
    P3DMakeShadeTable(0, 0);
    DrawShadeTablePanel("vek\\resource\\art\\textures\\ships\\tovstd.tab");
    const vt_pixelmap *t = P3DShadeTable();
    const auto *entries = static_cast<const uint8_t *>(t->pixels);
    for (int row : {0, 32, 63})
        for (int c : {5, 100, 250}) {
            EXPECT_EQ(Pixel8(2 * c, row), entries[row * t->row_bytes + c]);
            EXPECT_EQ(Pixel8(2 * c + 1, row), entries[row * t->row_bytes + c]);
        }
    EXPECT_EQ(Pixel8(0, 64), 0xAB);
}

}  // namespace

// The local-space viewer: projection and its clamp, the target blend, the
// objects' colours, the faces drawn, and the weapon mounts' fill and text.
#include <vector>

#include "p3d_fixture.h"
#include "present/hooks.h"
#include "present/lspace.h"

using namespace presenttest;

namespace {

struct Line {
    int x0, y0, x1, y1, colour;
};
std::vector<Line> gLines;
void RecordLine(vt_pixelmap *, int x0, int y0, int x1, int y1, int colour) {
    gLines.push_back({x0, y0, x1, y1, colour});
}
const PresentHudHooks kRecordingHooks = {RecordLine, nullptr, nullptr};

LSpaceCamera AtOrigin() {
    LSpaceCamera c{};
    MatIdentity(c.matrix);
    return c;
}

TEST(LSpace, ProjectViewPointDividesByDepthAndClamps) {
    const LSpaceCamera c = AtOrigin();
    const struct {
        Vec3d point;
        float x, y, z;
    } rows[] = {
        {{10, -20, 100}, 32.834f, -65.668f, 100},
        {{1e9, 1, 1}, 30000, 328.34f, 1},
        {{-1e9, -1e9, 1}, -30000, -30000, 1},
        {{10, 0, -100}, -32.834f, 0, -100},  // behind: the depth says so
    };
    for (const auto &r : rows) {
        float out[3];
        ProjectViewPoint(out, kLSpaceProjection, r.point, c);
        EXPECT_NEAR(out[0], r.x, 1e-3) << r.point.x;
        EXPECT_NEAR(out[1], r.y, 1e-3);
        EXPECT_FLOAT_EQ(out[2], r.z);
    }
}

TEST(LSpace, ATargetChangeBlendsOver200StepsAndTheSameTargetDoesNothing) {
    LSpaceViewerReset();
    SceneItem a{}, b{};
    LSpaceSetTarget(&a);
    EXPECT_EQ(gLSpaceViewer.blend, 200);
    gLSpaceViewer.blend = 40;
    LSpaceSetTarget(&a);
    EXPECT_EQ(gLSpaceViewer.blend, 40);
    LSpaceSetTarget(&b);
    EXPECT_EQ(gLSpaceViewer.blend, 200);
    EXPECT_EQ(gLSpaceViewer.previousTarget, &a);
    EXPECT_EQ(gLSpaceViewer.target, &b);
    LSpaceViewerReset();
}

TEST(LSpace, ObjectColoursBySideAndThePlayerByHull) {
    SceneItem o{};
    Avatar av{};
    Sim sim{};
    o.avatar = &av;
    const struct {
        uint32_t flags;
        int colour;
    } sides[] = {{0, 97}, {0x80, 133}, {0x100, 64}, {0x180, 64}, {0x200, 160}, {0x480, 160}};
    for (const auto &s : sides) {
        av.flags = s.flags;
        EXPECT_EQ(LSpaceObjectColour(&o), s.colour) << s.flags;
    }
    o.sim = &sim;
    dunPlayerShip = &o;
    const struct {
        int32_t hull;
        int colour;
    } hulls[] = {{100, 174}, {50, 242}, {0, 55}, {-20, 55}, {4, 55}, {5, 56}, {300, 174}};
    for (const auto &h : hulls) {
        sim.hull = h.hull;
        EXPECT_EQ(LSpaceObjectColour(&o), h.colour) << h.hull;
    }
    dunPlayerShip = nullptr;
}

TEST(LSpace, FacesTurnedAwayAndFlaggedEdgesAreNotDrawn) {
    P3DSetHudHooks(&kRecordingHooks);
    // Two triangles in front of the camera, one wound each way; the second
    // corner's edge of the first is flagged.
    vt_model *m = VtModelAllocate("lspace-faces", 4, 2);
    const float corners[4][3] = {{0, 0, 0}, {10, 0, 0}, {0, 10, 0}, {-10, 0, 0}};
    for (int i = 0; i < 4; ++i)
        for (int k = 0; k < 3; ++k) m->vertices[i].p.v[k] = corners[i][k];
    m->faces[0].vertices[0] = 0, m->faces[0].vertices[1] = 1, m->faces[0].vertices[2] = 2;
    m->faces[1].vertices[0] = 0, m->faces[1].vertices[1] = 3, m->faces[1].vertices[2] = 2;
    m->faces[0].flags = 2;
    m->faces[1].flags = 0;
    Mat4 identity;
    MatIdentity(identity);
    const LSpaceCamera c = AtOrigin();
    for (const auto &[flip, drawn] : {std::pair{false, 2}, std::pair{true, 3}}) {
        gLines.clear();
        Mat4 turn = identity;
        if (flip) turn.m[0] = -1;  // mirrored: the other face turns to the camera
        const int n = LSpaceDrawModel(m, {0, 0, 100}, turn, 97, c, 2);
        EXPECT_EQ(n, int(gLines.size()));
        // Unturned, the first face without its flagged edge; mirrored, the
        // second with every edge.
        EXPECT_EQ(n, drawn) << flip;
    }
    // Mode 1: the faces below the mount count in 128, the rest in 64.
    m->faces[0].flags = m->faces[1].flags = 0;
    gLines.clear();
    LSpaceDrawModel(m, {0, 0, 100}, identity, 97, c, 1, 2);
    for (const Line &l : gLines) EXPECT_EQ(l.colour, 128);
    // Behind the camera nothing is drawn.
    gLines.clear();
    EXPECT_EQ(LSpaceDrawModel(m, {0, 0, -100}, identity, 97, c, 2), 0);
    VtModelFree(m);
    P3DSetHudHooks(nullptr);
}

TEST(LSpace, TheMountFillsWithTheReloadAndAnEmptyLauncherShowsOut) {
    Weapon beam{}, launcher{};
    beam.flags = WeaponFlag::Beam;
    const struct {
        float reload, timer;
        int faces;
    } rows[] = {{100, 100, 0}, {100, 50, 20}, {100, 0, 40}, {0, 0, 40}, {100, 130, 0}, {100, -5, 40}};
    for (const auto &r : rows) {
        beam.reloadTime = r.reload;
        beam.reloadTimer = r.timer;
        EXPECT_EQ(WeaponMountFaces(&beam, 40), r.faces) << r.reload << " " << r.timer;
    }
    char text[16];
    WeaponMountText(&beam, text, sizeof text);
    EXPECT_STREQ(text, "");
    launcher.flags = WeaponFlag::Missile;
    launcher.reloadTime = 100;
    EXPECT_EQ(WeaponMountFaces(&launcher, 40), 0);
    WeaponMountText(&launcher, text, sizeof text);
    EXPECT_STREQ(text, "OUT");
    launcher.rounds[0] = 1;
    launcher.rounds[1] = 4;
    launcher.rounds[2] = 2;
    WeaponMountText(&launcher, text, sizeof text);
    EXPECT_STREQ(text, "9");
    EXPECT_EQ(WeaponMountFaces(&launcher, 40), 40);
}

class LSpaceView : public P3DTest {
protected:
    void SetUp() override {
        Start(8, false);
        LSpaceViewerReset();
        P3DSetHudHooks(&kRecordingHooks);
    }
    void TearDown() override {
        P3DSetHudHooks(nullptr);
        LSpaceViewerReset();
        gLSpacePlanGrid = 0;
        P3DTest::TearDown();
    }
};

TEST_F(LSpaceView, TheViewerDrawsTheGlobeAndEveryShipNearTheTarget) {
    vt_model *cube = Cube("lspace-ship", 50);
    SceneItem *ships[3];
    for (int i = 0; i < 3; ++i) {
        SceneItem *o = ships[i] = dunCreateSceneItem();
        dunLinkSceneItem(o, 0);
        dunAttachSim(o, nullptr);
        dunAttachTDP(o);
        o->avatar->root->model = cube;
        MatIdentity(o->sim->matrix);
        o->sim->position = {i * 400.0, 0, 0};
        o->sim->radius = 100;
    }
    LSpaceSetTarget(ships[0]);
    gLSpaceViewer.blend = 0;
    int16_t dirty[4] = {};
    P3DPane pane{this, 0, 0, 320, 240, nullptr, dirty, nullptr, nullptr};
    gLines.clear();
    gLSpaceLines = 0;
    LSpaceViewerDraw(&pane);
    int ring = 0, ship = 0;
    for (const Line &l : gLines) (l.colour == 97 ? ship : ring)++;
    EXPECT_GT(ring, 0);
    EXPECT_LT(ring, 24 * 32) << "the rings' far side lies behind the camera";
    EXPECT_GE(ship, 3 * 3) << "every ship shows some faces";
    EXPECT_EQ(gLSpaceLines, gLines.size());
    // On the plan grid the lines run across the whole window.
    gLSpacePlanGrid = 1;
    gLines.clear();
    LSpaceViewerDraw(&pane);
    int grid = 0;
    for (const Line &l : gLines) grid += l.colour == 54;
    EXPECT_GE(grid, 2) << "a line each way at least";
    dunResetWorld();
}

}  // namespace

// The space view drawn by our software renderer: a sample ship placed in
// front of the camera shows in its 3D pane at 8 and 16 bits, and a box seen
// from outside shows its faces.
#include "p3d_fixture.h"
#include "present/lwo/lwo.h"
#include "shape_files.h"

using namespace presenttest;

namespace {

class SpaceView : public P3DTest {
protected:
    SampleDataRoot root;
    SceneItem *camera = nullptr;

    // The shape at a distance straight ahead of a camera at the origin,
    // drawn twice (the first frame builds the scene) in a pane.
    P3DPane *ShowAhead(const std::string &path, float distance, float radius, int x, int y, int w, int h) {
        auto *model = static_cast<vt_model *>(LwoLoadModel(path.c_str(), nullptr, nullptr));
        EXPECT_NE(model, nullptr) << path;
        camera = Object(nullptr, 0, 0, 0, 10);
        Object(model, 0, 0, distance, radius);
        P3DPane *pane = View(&camera, x, y, w, h);
        P3DDrawViewWindow(pane);
        P3DDrawViewWindow(pane);
        return pane;
    }

    // Pixels of the pane that the frame changed from its clear colour.
    int Drawn(P3DPane *w, int depth) {
        int n = 0;
        for (int y = w->y; y < w->y + w->h; ++y)
            for (int x = w->x; x < w->x + w->w; ++x) {
                if (depth == 8) n += Pixel8(x, y) != 176;
                else n += Pixel16(x, y) != Pixel16(w->x, w->y);
            }
        return n;
    }
};

TEST_F(SpaceView, ASampleShipInFrontOfTheCameraFillsPartOfItsPane) {
    ASSERT_TRUE(root.ok());
    for (int depth : {8, 16}) {
        std::remove("debug.txt");
        Start(depth, false);
        P3DPane *w = ShowAhead("vek\\resource\\shapes\\corvette.lwo", 4000, 1700, 80, 60, 480, 360);
        const int drawn = Drawn(w, depth);
        EXPECT_GT(drawn, 1000) << depth << " bits";
        EXPECT_LT(drawn, 480 * 360) << depth << " bits";
        EXPECT_EQ(DebugLog().find("unable to find"), std::string::npos) << "its textures are all found";
        // Outside the pane nothing was drawn.
        if (depth == 8) {
            EXPECT_EQ(Pixel8(5, 5), 0xAB);
        }
        TearDown();
    }
}

TEST_F(SpaceView, ABoxSeenFromOutsideShowsItsFaces) {
    ASSERT_TRUE(root.ok());
    Start(8, false);
    ruvotest::TempDir dir;
    ShowAhead(WriteShape("cube.lwo", lwob::Box({-5, -5, -5}, {5, 5, 5}, NamedSurface("grey"))), 5000, 870, 0, 0, 640,
              480);
    EXPECT_NE(Pixel8(320, 240), 176) << "the box's near face covers the centre";
    EXPECT_EQ(Pixel8(20, 20), 176);
}

}  // namespace

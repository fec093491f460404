// Camera matrices, projecting model points to the screen with outcodes,
// and screen depths turned back into camera depths, for perspective and
// parallel cameras.
#include <cmath>

#include "recording_renderer.h"
#include "render/front/front.h"
#include "render/pmap/pixelmap.h"
#include "scene_fixture.h"

using namespace vttest;

namespace {

class VtScreenQuery : public VtSceneTest {
protected:
    void SetUp() override {
        VtSceneTest::SetUp();
        rec = new RecordingRenderer();
        ASSERT_EQ(VtZbBegin(VT_PMT_RGB_565, VT_PMT_DEPTH_16), VT_E_OK);
        world = VtActorAllocate(VT_ACTOR_NONE, nullptr);
        camera = VtActorAdd(world, VtActorAllocate(VT_ACTOR_CAMERA, nullptr));
        cam = static_cast<vt_camera *>(camera->type_data);
        colour = VtPixelmapAllocate(VT_PMT_RGB_565, 320, 200, nullptr, 0);
        depth = VtPixelmapMatch(colour, VT_PMMATCH_DEPTH_16);
        // The view at the middle, as the 3D view windows have it.
        colour->origin_x = 160;
        colour->origin_y = 100;
    }
    void TearDown() override {
        VtActorFree(world);
        VtPixelmapFree(depth);
        VtPixelmapFree(colour);
        VtZbEnd();
        delete rec;
        VtSceneTest::TearDown();
    }
    // A camera of width 2, height 2, hither 1 and yon 3 at the origin.
    void parallelCamera() {
        cam->type = VT_CAMERA_PARALLEL;
        cam->width = cam->height = 2;
        cam->hither_z = 1;
        cam->yon_z = 3;
    }
    void begin() {
        ASSERT_EQ(VtZbSceneRenderBegin(world, camera, colour, depth), VT_E_OK);
        rec->take();
    }
    RecordingRenderer *rec = nullptr;
    vt_actor *world = nullptr, *camera = nullptr;
    vt_camera *cam = nullptr;
    vt_pixelmap *colour = nullptr, *depth = nullptr;
};

TEST_F(VtScreenQuery, PerspectiveMatrixFollowsTheCamera) {
    cam->field_of_view = VtAngleFromDegree(60);
    cam->aspect = 1.6f;
    cam->hither_z = 2;
    cam->yon_z = 100;
    vt_matrix4 m;
    EXPECT_EQ(VtCameraToScreenMatrix4(&m, camera), VTT_PERSPECTIVE);
    float c = 1 / std::tan(float(M_PI) / 6);
    EXPECT_NEAR(m.m[0][0], c / 1.6f, 1e-4f);
    EXPECT_NEAR(m.m[1][1], c, 1e-4f);
    EXPECT_NEAR(m.m[2][2], 102.0f / 98.0f, 1e-5f);
    EXPECT_EQ(m.m[2][3], -1.0f);
    EXPECT_NEAR(m.m[3][2], 400.0f / 98.0f, 1e-4f);
    EXPECT_EQ(m.m[3][3], 0.0f);
    EXPECT_EQ(m.m[0][1], 0.0f);
    // An origin away from the centre shifts the view.
    colour->origin_x = 240;
    colour->origin_y = 50;
    begin();
    VtZbSceneRenderEnd();
    VtCameraToScreenMatrix4(&m, camera);
    EXPECT_FLOAT_EQ(m.m[2][0], -0.5f);
    EXPECT_FLOAT_EQ(m.m[2][1], -0.5f);
}

TEST_F(VtScreenQuery, ABadParallelCameraIsReportedAndLeavesTheMatrix) {
    parallelCamera();
    cam->width = 0;
    cam->yon_z = 1;
    vt_matrix4 m;
    VtMatrix4Identity(&m);
    m.m[3][0] = 7;
    EXPECT_EQ(VtCameraToScreenMatrix4(&m, camera), VTT_PARALLEL);
    EXPECT_EQ(Diag::failures, (std::vector<std::string>{"Failure: Parallel camera has zero width",
                                                         "Failure: Parallel camera has invalid yon and hither"}));
    EXPECT_EQ(m.m[3][0], 7.0f);
    EXPECT_EQ(m.m[0][0], 1.0f);
    vt_actor *notCamera = VtActorAllocate(VT_ACTOR_LIGHT, nullptr);
    EXPECT_EQ(VtCameraToScreenMatrix4(&m, notCamera), 0u);
    VtActorFree(notCamera);
}

TEST_F(VtScreenQuery, OutcodesOnTheBoundaries) {
    parallelCamera();
    begin();
    // This camera maps view (x, y, z) to (x, y, z + 2) with w = 1.
    struct row {
        float x, y, z;
        vt_uint_32 outside;
    } rows[] = {
        {0.5f, -0.5f, -2, 0},
        {1, 0, -2, 0},                        // sx = w is inside
        {-1, 0, -2, VT_OUTCODE_LEFT},         // sx = -w is outside
        {1.5f, 0, -2, VT_OUTCODE_RIGHT},
        {0, 1, -2, VT_OUTCODE_TOP},
        {0, -1.5f, -2, VT_OUTCODE_BOTTOM},
        {0, 0, -1, VT_OUTCODE_HITHER},        // on the near plane
        {0, 0, -3, 0},                        // on the far plane
        {0, 0, -3.5f, VT_OUTCODE_YON},
        {-2, 2, -0.5f, VT_OUTCODE_LEFT | VT_OUTCODE_TOP | VT_OUTCODE_HITHER},
    };
    for (const row &r : rows) {
        vt_vector3 p = {{r.x, r.y, r.z}}, s = {{-9, -9, -9}};
        vt_uint_32 o = VtModelPointToScreen(&s, &p);
        EXPECT_EQ(o & 0xFFF, r.outside) << r.x << " " << r.y << " " << r.z;
        EXPECT_EQ(o >> 16, 0x0FFFu ^ r.outside) << "inside bits";
        if (r.outside) {
            EXPECT_EQ(s.v[0], -9.0f) << "not written when outside";
        }
    }
    vt_vector3 p = {{0.5f, -0.5f, -2}}, s;
    VtModelPointToScreen(&s, &p);
    EXPECT_FLOAT_EQ(s.v[0], 0.5f * 160 + 160.5f);
    EXPECT_FLOAT_EQ(s.v[1], -0.5f * -100 + 100.5f);
    EXPECT_FLOAT_EQ(s.v[2], 0);
    vt_vector2 xy;
    vt_vector3 far = {{4, 0, -2}};
    VtPointToScreenXY(&xy, &far);
    EXPECT_FLOAT_EQ(xy.v[0], 4 * 160 + 160.5f);
    vt_vector3 pts[2] = {p, far}, screens[2];
    vt_uint_32 codes[2];
    VtPointToScreenXYZOMany(screens, codes, pts, 2);
    EXPECT_EQ(codes[0] & 0xFFF, 0u);
    EXPECT_EQ(codes[1] & 0xFFF, vt_uint_32(VT_OUTCODE_RIGHT));
    VtZbSceneRenderEnd();
}

TEST_F(VtScreenQuery, ScreenDepthsTurnBackIntoCameraDepths) {
    for (vt_uint_8 type : {VT_CAMERA_PERSPECTIVE, VT_CAMERA_PARALLEL}) {
        SCOPED_TRACE(int(type));
        cam->type = type;
        cam->width = cam->height = 2;
        cam->hither_z = 1;
        cam->yon_z = 50;
        EXPECT_FLOAT_EQ(VtZbScreenZToDepth(40000, camera), -50);
        EXPECT_FLOAT_EQ(VtZbScreenZToDepth(-40000, camera), -1);
        begin();
        // Screen depth is z / w times 32767 on the way out and over 32768 on
        // the way back: a round trip is good to about a part in 32768 of
        // the depth range.
        for (float z : {-1.5f, -7.0f, -33.0f}) {
            vt_vector3 p = {{0, 0, z}}, s;
            ASSERT_EQ(VtModelPointToScreen(&s, &p) & 0xFFF, 0u);
            EXPECT_NEAR(VtZbScreenZToDepth(s.v[2], camera), z, std::fabs(z) * 1e-3f);
            // And the pixel under a point, at its depth, is the point again.
            vt_vector3 q = {{0.25f, -0.125f, z}}, back;
            VtModelPointToScreen(&s, &q);
            VtScreenXYZToCamera(&back, camera, colour, vt_int_32(std::floor(s.v[0])) - colour->origin_x,
                                vt_int_32(std::floor(s.v[1])) - colour->origin_y, s.v[2]);
            EXPECT_NEAR(back.v[2], z, std::fabs(z) * 1e-3f);
            // Whole pixels: the point comes back to within one of them.
            float pixel = type == VT_CAMERA_PARALLEL ? 2.0f / 320 : 2 * std::fabs(z) / 320;
            EXPECT_NEAR(back.v[0], 0.25f, 2 * pixel);
            EXPECT_NEAR(back.v[1], -0.125f, 2 * pixel);
        }
        VtZbSceneRenderEnd();
    }
    vt_order_table *ot = VtZsOrderTableAllocate(16, 0, VT_ORDER_TABLE_AVERAGE);
    ot->min_z = 10;
    ot->max_z = 30;
    EXPECT_FLOAT_EQ(VtZsScreenZToDepth(-40000, ot), 10);
    EXPECT_FLOAT_EQ(VtZsScreenZToDepth(32768, ot), 30);
    EXPECT_FLOAT_EQ(VtZsScreenZToDepth(16384, ot), 25);
    VtZsOrderTableFree(ot);
    // A 32-bit depth value: its top bit flipped, read signed, over 65536.
    EXPECT_FLOAT_EQ(VtDepthBufferToScreenZ(0x80000000u), 0);
    EXPECT_FLOAT_EQ(VtDepthBufferToScreenZ(0xFFFFFFFFu), 32768 - 1.0f / 65536);
    EXPECT_FLOAT_EQ(VtDepthBufferToScreenZ(0x00010000u), -32767);
}

TEST_F(VtScreenQuery, ModelToViewAndScreenQueries) {
    parallelCamera();
    vt_matrix34 t;
    VtMatrix34Translate(&t, 0, 0, 5);
    VtTransformFromMatrix34(&camera->t, &t);
    begin();
    vt_matrix34 m2v;
    ASSERT_EQ(VtModelToViewQuery(&m2v), VT_E_OK);
    EXPECT_FLOAT_EQ(m2v.m[3][2], -5);
    vt_matrix4 m2s;
    ASSERT_EQ(VtModelToScreenQuery(&m2s), VT_E_OK);
    // World z = 3 is view z = -2, the middle of the parallel range.
    vt_vector3 p = {{0, 0, 3}};
    vt_vector4 s;
    VtMatrix4ApplyP(&s, &p, &m2s);
    EXPECT_NEAR(s.v[2] / s.v[3], 0, 1e-6f);
    // The matrix relative to an actor puts the actor's origin there too.
    vt_actor *marker = VtActorAdd(world, VtActorAllocate(VT_ACTOR_NONE, nullptr));
    VtMatrix34Translate(&t, 0, 0, 3);
    VtTransformFromMatrix34(&marker->t, &t);
    vt_matrix4 rel;
    EXPECT_EQ(VtActorToScreenMatrix4(&rel, marker, camera), VTT_PARALLEL);
    vt_vector3 origin = {{0, 0, 0}};
    VtMatrix4ApplyP(&s, &origin, &rel);
    EXPECT_NEAR(s.v[2] / s.v[3], 0, 1e-6f);
    VtZbSceneRenderEnd();
}

} // namespace

// Cameras: the view-to-screen matrix, projecting model points to the
// screen, and turning screen depths back into camera depths.
#include <cmath>

#include "render/front/front.h"
#include "render/pmap/pixelmap.h"
#include "render/scene/scenestate.h"

namespace {

// Old forms of the two camera types.
enum : vt_uint_8 { kParallelOld = 3, kPerspectiveOld = 4, kPerspectiveNone = 2 };

vt_token parallel(vt_matrix4 *m, const vt_camera *c, bool old) {
    bool bad = false;
    if (c->width == 0) {
        VtFailure("Parallel camera has zero width");
        bad = true;
    }
    if (c->height == 0) {
        VtFailure("Parallel camera has zero height");
        bad = true;
    }
    if (!(c->hither_z < c->yon_z)) {
        VtFailure("Parallel camera has invalid yon and hither");
        bad = true;
    }
    // A matrix made of these would divide by zero and carry infinities to
    // the renderer: the caller's matrix stays as it was.
    if (bad)
        return VTT_PARALLEL;
    double h = c->hither_z, y = c->yon_z;
    vt_matrix34 m34;
    if (old) {
        VtMatrix34Scale(&m34, vt_scalar(1 / c->width), vt_scalar(1 / c->height), vt_scalar(1 / (y - h)));
        VtMatrix34PreTranslate(&m34, 0, 0, vt_scalar(h));
    } else {
        VtMatrix34Scale(&m34, vt_scalar(2 / (double(c->aspect) * c->width)), vt_scalar(2 / c->height),
                        vt_scalar(2 / (y - h)));
        VtMatrix34PreTranslate(&m34, 0, 0, vt_scalar((h + y) / 2));
        m34.m[3][0] += vtScene.origin_x;
        m34.m[3][1] += vtScene.origin_y;
    }
    VtMatrix4Copy34(m, &m34);
    return VTT_PARALLEL;
}

const vt_camera *cameraOf(vt_actor *a) {
    return a && a->type == VT_ACTOR_CAMERA ? static_cast<const vt_camera *>(a->type_data) : nullptr;
}

// The model-to-screen matrix, made again after model-to-view changed.
const vt_matrix4 &modelToScreen() {
    if (!vtScene.model_to_screen_valid) {
        if (VtModelToScreenQuery(&vtScene.model_to_screen) != VT_E_OK)
            VtMatrix4Identity(&vtScene.model_to_screen);
        vtScene.model_to_screen_valid = 1;
    }
    return vtScene.model_to_screen;
}

vt_uint_32 outcodes(const vt_vector4 &s) {
    vt_uint_32 o = VT_OUTCODE_START;
    auto out = [&o](vt_uint_32 bit) { o ^= bit | bit << 16; };
    if (s.v[0] <= -s.v[3])
        out(VT_OUTCODE_LEFT);
    if (s.v[0] > s.v[3])
        out(VT_OUTCODE_RIGHT);
    if (s.v[1] >= s.v[3])
        out(VT_OUTCODE_TOP);
    if (s.v[1] < -s.v[3])
        out(VT_OUTCODE_BOTTOM);
    if (s.v[2] >= s.v[3])
        out(VT_OUTCODE_HITHER);
    if (s.v[2] < -s.v[3])
        out(VT_OUTCODE_YON);
    return o;
}

void toScreen(vt_vector3 *screen, const vt_vector4 &s) {
    screen->v[0] = s.v[0] / s.v[3] * vtScene.xscale + vtScene.xoffset;
    screen->v[1] = s.v[1] / s.v[3] * vtScene.yscale + vtScene.yoffset;
    screen->v[2] = s.v[2] / s.v[3] * -32767.0f;
}

} // namespace

vt_token VtCameraToScreenMatrix4(vt_matrix4 *m, vt_actor *camera) {
    const vt_camera *c = cameraOf(camera);
    if (c == nullptr)
        return 0;
    switch (c->type) {
    case VT_CAMERA_PARALLEL:
        return parallel(m, c, false);
    case VT_CAMERA_PERSPECTIVE:
        VtMatrix4Perspective(m, c->field_of_view, c->aspect, -c->hither_z, -c->yon_z, vtScene.origin_x,
                             vtScene.origin_y);
        return VTT_PERSPECTIVE;
    case kPerspectiveNone:
        return VTT_PERSPECTIVE;
    case kParallelOld:
        return parallel(m, c, true);
    case kPerspectiveOld:
        VtMatrix4PerspectiveOld(m, c->field_of_view, c->aspect, -c->hither_z, -c->yon_z);
        return VTT_PERSPECTIVE;
    default:
        return 0;
    }
}

vt_token VtActorToScreenMatrix4(vt_matrix4 *m, vt_actor *actor, vt_actor *camera) {
    vt_token t = VtCameraToScreenMatrix4(m, camera);
    vt_matrix34 a;
    VtActorToActorMatrix34(&a, actor, camera);
    VtMatrix4Pre34(m, &a);
    return t;
}

vt_error VtModelToViewQuery(vt_matrix34 *m) {
    return ScenePartQueryInto(VTT_MATRIX, VTT_MODEL_TO_VIEW_M34_F, m, sizeof *m);
}

vt_error VtModelToScreenQuery(vt_matrix4 *m) {
    vt_matrix4 v2s;
    vt_error e = ScenePartQueryInto(VTT_MATRIX, VTT_VIEW_TO_SCREEN_M4_F, &v2s, sizeof v2s);
    if (e != VT_E_OK)
        return e;
    vt_matrix34 m2v;
    if ((e = VtModelToViewQuery(&m2v)) != VT_E_OK)
        return e;
    VtMatrix4Mul34(m, &m2v, &v2s);
    return VT_E_OK;
}

vt_uint_32 VtModelPointToScreen(vt_vector3 *screen, const vt_vector3 *point) {
    vt_vector4 s;
    VtMatrix4ApplyP(&s, point, &modelToScreen());
    vt_uint_32 o = outcodes(s);
    if (!(o & VT_OUTCODE_OUTSIDE))
        toScreen(screen, s);
    return o;
}

void VtPointToScreenXY(vt_vector2 *screen, const vt_vector3 *point) {
    vt_vector4 s;
    VtMatrix4ApplyP(&s, point, &modelToScreen());
    vt_vector3 out;
    toScreen(&out, s);
    VtVector2Set(screen, out.v[0], out.v[1]);
}

void VtPointToScreenXYMany(vt_vector2 *screens, const vt_vector3 *points, vt_uint_32 npoints) {
    for (vt_uint_32 i = 0; i < npoints; i++)
        VtPointToScreenXY(&screens[i], &points[i]);
}

void VtPointToScreenXYZOMany(vt_vector3 *screens, vt_uint_32 *outcodes, const vt_vector3 *points,
                             vt_uint_32 npoints) {
    for (vt_uint_32 i = 0; i < npoints; i++)
        outcodes[i] = VtModelPointToScreen(&screens[i], &points[i]);
}

vt_scalar VtZbScreenZToDepth(vt_scalar sz, vt_actor *camera) {
    const vt_camera *c = cameraOf(camera);
    if (c == nullptr)
        return 0;
    double h = c->hither_z, y = c->yon_z;
    if (sz <= -32768.0f)
        return vt_scalar(-h);
    if (sz >= 32768.0f)
        return vt_scalar(-y);
    double t = (double(sz) / 2) / 16384;
    switch (c->type) {
    case VT_CAMERA_PARALLEL:
        return vt_scalar((h - y) / 2 * t - (y + h) / 2);
    case VT_CAMERA_PERSPECTIVE:
        return vt_scalar(2 * y * h / ((y - h) * t - (y + h)));
    default:
        return 0;
    }
}

vt_scalar VtZsScreenZToDepth(vt_scalar sz, const vt_order_table *ot) {
    if (sz <= -32768.0f)
        return ot->min_z;
    if (sz >= 32768.0f)
        return ot->max_z;
    double t = (double(sz) / 2) / 16384;
    return vt_scalar((double(ot->min_z) + ot->max_z + (double(ot->max_z) - ot->min_z) * t) / 2);
}

void VtScreenXYZToCamera(vt_vector3 *point, vt_actor *camera, const vt_pixelmap *pm, vt_int_32 x, vt_int_32 y,
                         vt_scalar sz) {
    const vt_camera *c = cameraOf(camera);
    if (c == nullptr || pm == nullptr || pm->width == 0 || pm->height == 0) {
        VtVector3Set(point, 0, 0, 0);
        return;
    }
    double W = pm->width, H = pm->height;
    double u = (W - 2 * (pm->origin_x + x)) / W;
    double v = (2 * (pm->origin_y + y) - H) / H;
    double d = VtZbScreenZToDepth(sz, camera);
    if (c->type == VT_CAMERA_PARALLEL) {
        VtVector3Set(point, vt_scalar(c->aspect * c->width * -u / 2), vt_scalar(-v * c->height / 2), vt_scalar(d));
    } else {
        double half = VtAngleToRadian(c->field_of_view) / 2;
        double cot = std::cos(half) / std::sin(half);
        VtVector3Set(point, vt_scalar(c->aspect * u * d / cot), vt_scalar(v * d / cot), vt_scalar(d));
    }
}

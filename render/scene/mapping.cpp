// Texture coordinates generated from vertex positions, and the matrix
// that fits a model's bounds to planar mapping's range.
#include <cmath>

#include "render/scene/scene.h"

namespace {

// An angle as the fraction of a turn of its nearest 16-bit angle unit.
vt_scalar turnFraction(double radians) { return vt_scalar(VtAngleFromRadian(radians) / 65536.0); }

} // namespace

void VtModelApplyMap(vt_model *model, int map_type, const vt_matrix34 *xform) {
    if (model == nullptr || model->vertices == nullptr || map_type < 0 || map_type > VT_APPLYMAP_NONE)
        return;
    vt_matrix34 identity;
    if (xform == nullptr) {
        VtMatrix34Identity(&identity);
        xform = &identity;
    }
    for (int i = 0; i < model->nvertices; i++) {
        vt_vertex &v = model->vertices[i];
        vt_vector3 p;
        VtMatrix34ApplyP(&p, &v.p, xform);
        double x = p.v[0], y = p.v[1], z = p.v[2];
        double u = 0, w = 0;
        switch (map_type) {
        case VT_APPLYMAP_PLANE:
            u = (x + 1) / 2;
            w = (y + 1) / 2;
            break;
        case VT_APPLYMAP_SPHERE:
            u = turnFraction(std::atan2(-z, x));
            w = 1 - VtAngleFromRadian(std::atan2(std::sqrt(x * x + z * z), y)) * (360.0 / 65536.0) / 180.0;
            break;
        case VT_APPLYMAP_CYLINDER:
            u = turnFraction(std::atan2(-z, x));
            w = (y + 1) / 2;
            break;
        case VT_APPLYMAP_DISC:
            u = turnFraction(std::atan2(-y, x));
            w = std::sqrt(x * x + y * y);
            break;
        default:
            break;
        }
        VtVector2Set(&v.map, vt_scalar(u), vt_scalar(w));
    }
}

vt_matrix34 *VtModelFitMap(vt_model *model, int axis_0, int axis_1, vt_matrix34 *transform) {
    static const vt_vector3 kAxes[6] = {{{1, 0, 0}}, {{0, 1, 0}}, {{0, 0, 1}},
                                        {{-1, 0, 0}}, {{0, -1, 0}}, {{0, 0, -1}}};
    const vt_vector3 &a0 = kAxes[axis_0 >= 0 && axis_0 < 6 ? axis_0 : 0];
    const vt_vector3 &a1 = kAxes[axis_1 >= 0 && axis_1 < 6 ? axis_1 : 0];
    vt_vector3 c;
    VtVector3Cross(&c, &a0, &a1);
    VtMatrix34Identity(transform);
    for (int i = 0; i < 3; i++) {
        transform->m[i][0] = a0.v[i];
        transform->m[i][1] = a1.v[i];
        transform->m[i][2] = c.v[i];
    }
    vt_vector3 centre;
    for (int i = 0; i < 3; i++) {
        vt_scalar half = (model->bounds.max.v[i] - model->bounds.min.v[i]) / 2;
        vt_scalar s = half != 0 ? 1 / half : 1;
        for (int j = 0; j < 3; j++)
            transform->m[i][j] *= s;
        centre.v[i] = (model->bounds.max.v[i] + model->bounds.min.v[i]) / 2;
    }
    VtMatrix34PreTranslate(transform, -centre.v[0], -centre.v[1], -centre.v[2]);
    return transform;
}

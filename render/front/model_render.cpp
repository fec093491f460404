// One model handed to the renderer: custom drawing, order tables, the
// render styles and the render-bounds callback.
#include "render/front/front.h"
#include "render/pmap/pixelmap.h"
#include "render/scene/scenestate.h"

namespace {

vt_renderer_state_stored *stateOf(vt_material *m) {
    if (m == nullptr)
        m = vtScene.default_material;
    return m ? m->stored : nullptr;
}

void drawPrepared(vt_prepared_model *pm, vt_material *material, vt_token type, bool on_screen) {
    vt_geometry *gf = vtScene.format_model;
    if (gf == nullptr || pm == nullptr)
        return;
    auto *d = reinterpret_cast<const vt_geometry_v1_model_dispatch *>(gf->dispatch);
    if (on_screen)
        d->renderOnScreen(gf, vtScene.renderer, pm, stateOf(material), type);
    else
        d->render(gf, vtScene.renderer, pm, stateOf(material), type);
}

// The box of the bounding styles, refilled from a model's bounds.
vt_prepared_model *boundsBox(const vt_model *model) {
    if (vtScene.bounds_model == nullptr)
        vtScene.bounds_model = SceneCubeMake("bounds_model");
    vt_model *box = vtScene.bounds_model;
    if (box == nullptr)
        return nullptr;
    for (int i = 0; i < box->nvertices; i++)
        for (int a = 0; a < 3; a++)
            box->vertices[i].p.v[a] = ((i >> a) & 1) ? model->bounds.max.v[a] : model->bounds.min.v[a];
    VtModelUpdate(box, box->prepared ? VT_MODU_VERTEX_POSITIONS : VT_MODU_ALL);
    return box->prepared;
}

// A reported screen position within 0 to limit, NaN taken as 0.
vt_int_32 toPixels(vt_scalar v, vt_scalar limit) {
    if (!(v > 0))
        return 0;
    return vt_int_32(v > limit ? limit : v);
}

} // namespace

void SceneModelDraw(vt_model *model, vt_material *material, vt_uint_8 style, vt_token on_screen) {
    const bool accept = on_screen == VTT_ACCEPT;
    switch (style) {
    case VT_RSTYLE_NONE:
        return;
    case VT_RSTYLE_POINTS:
        drawPrepared(model->prepared, material, VTT_POINT, false);
        return;
    case VT_RSTYLE_EDGES:
        drawPrepared(model->prepared, material, VTT_LINE, false);
        return;
    case VT_RSTYLE_BOUNDING_POINTS:
    case VT_RSTYLE_BOUNDING_EDGES:
    case VT_RSTYLE_BOUNDING_FACES: {
        static const vt_token kTypes[3] = {VTT_POINT, VTT_LINE, VTT_TRIANGLE};
        drawPrepared(boundsBox(model), material, kTypes[style - VT_RSTYLE_BOUNDING_POINTS], false);
        return;
    }
    default: // VT_RSTYLE_DEFAULT, VT_RSTYLE_FACES
        if (model->stored) {
            vt_geometry_stored *sg = model->stored;
            if (accept)
                sg->dispatch->renderOnScreen(sg, vtScene.renderer);
            else
                sg->dispatch->render(sg, vtScene.renderer);
        } else {
            drawPrepared(model->prepared, material, VTT_TRIANGLE, accept);
        }
        return;
    }
}

void VtModelRender(vt_actor *actor, vt_model *model, vt_material *material, vt_order_table *order_table,
                   vt_uint_8 style, vt_token on_screen, vt_boolean use_custom) {
    vt_renderer *r = vtScene.renderer;
    vtScene.model_to_screen_valid = 0;
    if (model == nullptr || r == nullptr)
        return;
    if (use_custom && (model->flags & VT_MODF_CUSTOM) && model->custom) {
        model->custom(actor, model, material, order_table, style, on_screen);
        return;
    }
    if (model->prepared == nullptr && model->stored == nullptr) {
        // Drawing on would hand the renderer nothing to draw from.
        VtFailure("Tried to render un-prepared model %s", model->identifier ? model->identifier : "<NULL>");
        return;
    }
    if (order_table) {
        SceneOrderTableVisit(order_table, model);
        r->dispatch->partSet(r, VTT_HIDDEN_SURFACE, 0, VTT_V1ORDER_TABLE_P, VtValueP(order_table));
        if (vtScene.insert_cb) {
            vt_token_value tv[] = {
                {VTT_V1INSERT_FUNCTION_P, VtValueP(reinterpret_cast<void *>(vtScene.insert_cb))},
                {VTT_V1INSERT_ARG1_P, VtValueP(actor)},
                {VTT_V1INSERT_ARG2_P, VtValueP(model)},
                {VTT_V1INSERT_ARG3_P, VtValueP(material)},
                {VTT_END, VtValueU32(0)},
            };
            r->dispatch->partSetMany(r, VTT_HIDDEN_SURFACE, 0, tv, nullptr);
        }
    }
    vt_renderbounds_cbfn *cb = vtScene.renderbounds_cb;
    if (cb == nullptr) {
        SceneModelDraw(model, material, style, on_screen);
        return;
    }
    r->dispatch->stateDefault(r, VT_STATE_BOUNDS);
    SceneModelDraw(model, material, style, on_screen);
    vt_scalar lo[2] = {0, 0}, hi[2] = {0, 0};
    ScenePartQueryInto(VTT_BOUNDS, VTT_MIN_V2_F, lo, sizeof lo);
    ScenePartQueryInto(VTT_BOUNDS, VTT_MAX_V2_F, hi, sizeof hi);
    const vt_pixelmap *pm = vtScene.colour_buffer;
    if (pm == nullptr)
        return;
    // Clamped while still floats: a renderer that drew nothing answers an
    // empty box of huge values, which no integer holds.
    const vt_scalar limit[2] = {vt_scalar(pm->width - 1), vt_scalar(pm->height - 1)};
    vt_int_32 rect[4];
    for (int a = 0; a < 2; a++) {
        rect[a] = toPixels(lo[a], limit[a]);
        rect[2 + a] = toPixels(hi[a], limit[a]);
    }
    if (rect[0] > rect[2] || rect[1] > rect[3])
        return;
    rect[0] -= pm->origin_x;
    rect[2] -= pm->origin_x;
    rect[1] -= pm->origin_y;
    rect[3] -= pm->origin_y;
    vt_matrix4 m2s;
    if (VtModelToScreenQuery(&m2s) != VT_E_OK)
        VtMatrix4Identity(&m2s);
    cb(actor, model, material, order_table, style, &m2s, rect);
}

void VtZbModelRender(vt_actor *actor, vt_model *model, vt_material *material, vt_uint_8 style, vt_token on_screen,
                     vt_boolean use_custom) {
    VtModelRender(actor, model, material, nullptr, style, on_screen, use_custom);
}

void VtZsModelRender(vt_actor *actor, vt_model *model, vt_material *material, vt_order_table *order_table,
                     vt_uint_8 style, vt_token on_screen, vt_boolean use_custom) {
    VtModelRender(actor, model, material, order_table, style, on_screen, use_custom);
}

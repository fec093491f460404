// The z-buffer and z-sort front ends: starting the renderer, and scenes:
// the camera, lights, clip planes and environment handed to the renderer,
// then a walk of the world's actors.
#include "render/dev/device.h"
#include "render/front/front.h"
#include "render/pmap/pixelmap.h"
#include "render/scene/scenestate.h"

namespace {

vt_value tok(vt_token t) { return VtValueU32(t); }

vt_token hintOf(vt_uint_16 type) { return type != VT_TRANSFORM_MATRIX34 ? VTT_LENGTH_PRESERVING : VTT_NONE; }

void invertByClass(vt_matrix34 *out, const vt_matrix34 *in, vt_uint_16 type) {
    if (type != VT_TRANSFORM_MATRIX34)
        VtMatrix34LPInverse(out, in);
    else if (VtMatrix34Inverse(out, in) == 0)
        VtMatrix34Identity(out);
}

// What an actor inherits from above it in a walk.
struct inherited {
    vt_model *model;
    vt_material *material;
    vt_order_table *order_table;
    vt_uint_8 style;
    vt_uint_16 type;  // class of model-to-view
    bool tests;       // false below an accepted bounds-correct actor
};

inherited defaults() {
    return inherited{vtScene.default_model, vtScene.default_material, vtScene.current_order_table,
                     VT_RSTYLE_DEFAULT, vtScene.world_to_view_type, true};
}

vt_token test(const vt_bounds3 *b, bool tests) {
    vt_token r = VTT_ACCEPT;
    if (tests && b)
        vtScene.renderer->dispatch->boundsTest(vtScene.renderer, &r, b);
    return r;
}

void walk(vt_actor *a, inherited in);

void walkChildren(vt_actor *a, const inherited &in) {
    for (vt_actor *c = a->children, *next; c; c = next) {
        next = c->next;
        walk(c, in);
    }
}

void walk(vt_actor *a, inherited in) {
    vt_renderer *r = vtScene.renderer;
    if (a->children == nullptr && a->type != VT_ACTOR_MODEL)
        return;
    if (a->render_style != VT_RSTYLE_DEFAULT)
        in.style = a->render_style;
    if (in.style == VT_RSTYLE_NONE)
        return;
    if (a->material)
        in.material = a->material;
    if (a->model)
        in.model = a->model;
    if (a->render_data)
        in.order_table = a->render_data;
    const bool pushed = a->t.type != VT_TRANSFORM_IDENTITY;
    if (pushed) {
        r->dispatch->statePush(r, VT_STATE_MATRIX);
        vt_matrix34 m;
        VtTransformToMatrix34(&m, &a->t);
        r->dispatch->modelMul(r, &m);
        in.type = VtTransformClassCombine(in.type, a->t.type);
        r->dispatch->partSet(r, VTT_MATRIX, 0, VTT_MODEL_TO_VIEW_HINT_T, tok(hintOf(in.type)));
        vtScene.model_to_screen_valid = 0;
    }
    switch (a->type) {
    case VT_ACTOR_MODEL: {
        vt_token on_screen = test(in.model ? &in.model->bounds : nullptr, in.tests);
        if (on_screen != VTT_REJECT)
            VtModelRender(a, in.model, in.material, in.order_table, in.style, on_screen, 1);
        walkChildren(a, in);
        break;
    }
    case VT_ACTOR_BOUNDS:
        if (test(static_cast<vt_bounds3 *>(a->type_data), in.tests) != VTT_REJECT)
            walkChildren(a, in);
        break;
    case VT_ACTOR_BOUNDS_CORRECT: {
        vt_token on_screen = test(static_cast<vt_bounds3 *>(a->type_data), in.tests);
        if (on_screen == VTT_ACCEPT)
            in.tests = false;
        if (on_screen != VTT_REJECT)
            walkChildren(a, in);
        break;
    }
    default:
        walkChildren(a, in);
        break;
    }
    if (pushed) {
        r->dispatch->statePop(r, VT_STATE_MATRIX);
        vtScene.model_to_screen_valid = 0;
    }
}

void viewport(const vt_pixelmap *pm) {
    int hw = pm->width / 2, hh = pm->height / 2;
    vtScene.xscale = vt_scalar(hw);
    // Relative to the pixelmap on both axes, as the renderer draws into it
    // and reports what it drew; its base only addresses memory.
    vtScene.xoffset = vt_scalar(hw + 0.5);
    vtScene.yscale = vt_scalar(-hh);
    vtScene.yoffset = vt_scalar(hh + 0.5);
    vtScene.origin_x = hw ? vt_scalar(double(pm->origin_x - hw) / hw) : 0;
    vtScene.origin_y = hh ? vt_scalar(-(double(pm->origin_y - hh) / hh)) : 0;
}

void hiddenSurface(vt_renderer *r, const vt_camera *cam) {
    // Primitives are diverted into buckets only in a z-sort scene with a
    // heap to build them in: a z-buffer scene draws at once.
    if (vtScene.rendering == VT_RENDERING_ZS && vtScene.format_buckets && vtScene.heap.base) {
        vtScene.heap.current = vtScene.heap.base;
        SceneOrderTableStart(cam->hither_z, cam->yon_z);
        vt_token_value tv[] = {
            {VTT_V1ORDER_TABLE_P, VtValueP(vtScene.default_order_table)},
            {VTT_V1PRIMITIVE_HEAP_P, VtValueP(&vtScene.heap)},
            {VTT_TYPE_T, tok(VTT_BUCKET_SORT)},
            {VTT_DIVERT_T, tok(VTT_ALL)},
            {VTT_END, VtValueU32(0)},
        };
        r->dispatch->partSetMany(r, VTT_HIDDEN_SURFACE, 0, tv, nullptr);
    } else {
        vtScene.current_order_table = nullptr;
        vt_token_value tv[] = {
            {VTT_TYPE_T, tok(VTT_NONE)},
            {VTT_DIVERT_T, tok(VTT_NONE)},
            {VTT_END, VtValueU32(0)},
        };
        r->dispatch->partSetMany(r, VTT_HIDDEN_SURFACE, 0, tv, nullptr);
    }
}

// Camera-to-world, one level at a time from the camera up; false after a
// report when the camera does not hang in the world.
bool cameraWalk(vt_actor *world, vt_actor *camera) {
    for (vt_camera_walk_entry &e : vtScene.camera_walk)
        e = vt_camera_walk_entry{};
    if (camera->depth >= VT_CAMERA_WALK_DEPTH) {
        VtFailure("camera is deeper than %d levels in world hierachy", VT_CAMERA_WALK_DEPTH - 1);
        return false;
    }
    vt_camera_walk_entry &start = vtScene.camera_walk[camera->depth];
    VtMatrix34Identity(&start.m);
    start.actor = camera;
    start.type = VT_TRANSFORM_IDENTITY;
    for (vt_actor *a = camera; a != world; a = a->parent) {
        vt_actor *p = a->parent;
        if (p == nullptr || p->depth >= VT_CAMERA_WALK_DEPTH || a->depth >= VT_CAMERA_WALK_DEPTH) {
            VtFailure("camera is not in world hierachy");
            return false;
        }
        const vt_camera_walk_entry &child = vtScene.camera_walk[a->depth];
        vt_camera_walk_entry &e = vtScene.camera_walk[p->depth];
        e.m = child.m;
        e.type = child.type;
        if (a->t.type != VT_TRANSFORM_IDENTITY) {
            VtMatrix34PostTransform(&e.m, &a->t);
            e.type = VtTransformClassCombine(e.type, a->t.type);
        }
        e.actor = p;
    }
    return true;
}

// The actor's matrix to view space and its class; false when it does not
// hang in the world.
bool actorToView(vt_actor *a, vt_matrix34 *m, vt_uint_16 *type) {
    vt_matrix34 toWorld;
    vt_uint_16 t;
    if (!VtActorToRootTyped(a, vtScene.world, &toWorld, &t))
        return false;
    VtMatrix34Mul(m, &toWorld, &vtScene.world_to_view);
    *type = VtTransformClassCombine(t, vtScene.world_to_view_type);
    return true;
}

void lights(vt_renderer *r) {
    vt_enable_table &t = vtScene.enables[VT_ENABLE_LIGHTS];
    vt_int_32 n = 0;
    for (int i = 0; t.enabled && i < t.max; i++) {
        vt_actor *a = t.enabled[i];
        auto *l = a ? static_cast<const vt_light *>(a->type_data) : nullptr;
        vt_matrix34 toView, inv;
        vt_uint_16 type;
        if (l == nullptr || !actorToView(a, &toView, &type))
            continue;
        invertByClass(&inv, &toView, type);
        vt_vector3 position = {{toView.m[3][0], toView.m[3][1], toView.m[3][2]}};
        // The light's z axis carried to view space as a normal.
        vt_vector3 direction = {{inv.m[0][2], inv.m[1][2], inv.m[2][2]}};
        vt_token_value tv[12];
        int k = 0;
        tv[k++] = {VTT_COLOUR_RGB, VtValueU32(l->colour)};
        tv[k++] = {VTT_ATTENUATION_C_F, VtValueF(l->attenuation_c)};
        tv[k++] = {VTT_ATTENUATION_L_F, VtValueF(l->attenuation_l)};
        tv[k++] = {VTT_ATTENUATION_Q_F, VtValueF(l->attenuation_q)};
        tv[k++] = {VTT_SPACE_T, tok((l->type & VT_LIGHT_VIEW) ? VTT_VIEW : VTT_MODEL)};
        switch (l->type & VT_LIGHT_TYPE) {
        case VT_LIGHT_POINT:
            tv[k++] = {VTT_TYPE_T, tok(VTT_POINT)};
            tv[k++] = {VTT_POSITION_V3_F, VtValueP(&position)};
            break;
        case VT_LIGHT_DIRECT:
            tv[k++] = {VTT_TYPE_T, tok(VTT_DIRECT)};
            tv[k++] = {VTT_DIRECTION_V3_F, VtValueP(&direction)};
            break;
        case VT_LIGHT_SPOT:
            tv[k++] = {VTT_TYPE_T, tok(VTT_SPOT)};
            tv[k++] = {VTT_POSITION_V3_F, VtValueP(&position)};
            tv[k++] = {VTT_DIRECTION_V3_F, VtValueP(&direction)};
            tv[k++] = {VTT_SPOT_OUTER_F, VtValueF(VtAngleCos(l->cone_outer))};
            tv[k++] = {VTT_SPOT_INNER_F, VtValueF(VtAngleCos(l->cone_inner))};
            break;
        default:
            tv[k++] = {VTT_TYPE_T, tok(VTT_AMBIENT)};
            break;
        }
        tv[k] = {VTT_END, VtValueU32(0)};
        r->dispatch->partSetMany(r, VTT_LIGHT, n++, tv, nullptr);
    }
    for (vt_int_32 i = n; i < vtScene.nlights_last; i++)
        r->dispatch->partSet(r, VTT_LIGHT, i, VTT_TYPE_T, tok(VTT_NONE));
    vtScene.nlights_last = n;
}

void clipPlanes(vt_renderer *r, const vt_matrix4 &viewToScreen) {
    vt_enable_table &t = vtScene.enables[VT_ENABLE_CLIP_PLANES];
    vt_int_32 n = 0;
    for (int i = 0; t.enabled && i < t.max; i++) {
        vt_actor *a = t.enabled[i];
        auto *plane = a ? static_cast<const vt_plane *>(a->type_data) : nullptr;
        vt_matrix34 toView;
        vt_uint_16 type;
        if (plane == nullptr || !actorToView(a, &toView, &type))
            continue;
        // A point p on the plane in the actor's space is p M on screen, so
        // the screen plane is M^-1 applied to the equation as a column.
        vt_matrix4 toScreen, inv;
        VtMatrix4Mul34(&toScreen, &toView, &viewToScreen);
        if (VtMatrix4Inverse(&inv, &toScreen) == 0)
            continue;
        vt_vector4 eqn;
        VtMatrix4TApply(&eqn, &plane->eqn, &inv);
        vt_token_value tv[] = {
            {VTT_TYPE_T, tok(VTT_PLANE)},
            {VTT_PLANE_V4_F, VtValueP(&eqn)},
            {VTT_END, VtValueU32(0)},
        };
        r->dispatch->partSetMany(r, VTT_CLIP, n++, tv, nullptr);
    }
    for (vt_int_32 i = n; i < vtScene.nclips_last; i++)
        r->dispatch->partSet(r, VTT_CLIP, i, VTT_TYPE_T, tok(VTT_NONE));
    vtScene.nclips_last = n;
}

void environment(vt_renderer *r) {
    vt_matrix34 toView, inv;
    vt_uint_16 type;
    if (vtScene.environment && actorToView(vtScene.environment, &toView, &type)) {
        invertByClass(&inv, &toView, type);
        vt_token_value tv[] = {
            {VTT_VIEW_TO_ENVIRONMENT_M34_F, VtValueP(&inv)},
            {VTT_VIEW_TO_ENVIRONMENT_HINT_T, tok(hintOf(type))},
            {VTT_END, VtValueU32(0)},
        };
        r->dispatch->partSetMany(r, VTT_MATRIX, 0, tv, nullptr);
    } else {
        r->dispatch->partSet(r, VTT_MATRIX, 0, VTT_VIEW_TO_ENVIRONMENT_HINT_T, tok(VTT_DONT_CARE));
    }
}

vt_error sceneBegin(vt_actor *world, vt_actor *camera, vt_pixelmap *colour, vt_pixelmap *depth, int rendering) {
    vt_renderer *r = vtScene.renderer;
    const vt_camera *cam = camera && camera->type == VT_ACTOR_CAMERA ? static_cast<vt_camera *>(camera->type_data)
                                                                      : nullptr;
    if (r == nullptr || world == nullptr || cam == nullptr || colour == nullptr)
        return VT_E_FAIL;
    vtScene.rendering = rendering;
    vtScene.colour_buffer = colour;
    vtScene.world = world;
    vtScene.model_to_screen_valid = 0;
    viewport(colour);

    r->dispatch->partSet(r, VTT_OUTPUT, 0, VTT_COLOUR_BUFFER_O, VtValueP(colour));
    // A z-sort scene has no depth buffer; the one of an earlier z-buffer
    // scene may be gone by now.
    r->dispatch->partSet(r, VTT_OUTPUT, 0, VTT_DEPTH_BUFFER_O, VtValueP(rendering == VT_RENDERING_ZB ? depth : nullptr));
    hiddenSurface(r, cam);

    vt_matrix4 viewToScreen;
    VtMatrix4Identity(&viewToScreen);
    vt_token hint = VtCameraToScreenMatrix4(&viewToScreen, camera);
    vt_token_value tv[] = {
        {VTT_VIEW_TO_SCREEN_M4_F, VtValueP(&viewToScreen)},
        {VTT_VIEW_TO_SCREEN_HINT_T, tok(hint)},
        {VTT_HITHER_Z_F, VtValueF(cam->hither_z)},
        {VTT_YON_Z_F, VtValueF(cam->yon_z)},
        {VTT_END, VtValueU32(0)},
    };
    r->dispatch->partSetMany(r, VTT_MATRIX, 0, tv, nullptr);
    if (!cameraWalk(world, camera)) {
        vtScene.rendering = VT_RENDERING_NONE;
        vtScene.world = nullptr;
        return VT_E_FAIL;
    }
    const vt_camera_walk_entry &cw = vtScene.camera_walk[world->depth];
    vt_token_value mv[] = {
        {VTT_MODEL_TO_VIEW_M34_F, VtValueP(&cw.m)},
        {VTT_MODEL_TO_VIEW_HINT_T, tok(hintOf(cw.type))},
        {VTT_END, VtValueU32(0)},
    };
    r->dispatch->partSetMany(r, VTT_MATRIX, 0, mv, nullptr);
    r->dispatch->modelInvert(r);
    if (VtModelToViewQuery(&vtScene.world_to_view) != VT_E_OK)
        invertByClass(&vtScene.world_to_view, &cw.m, cw.type);
    vtScene.world_to_view_type = cw.type;

    lights(r);
    clipPlanes(r, viewToScreen);
    environment(r);
    return VT_E_OK;
}

void sceneAdd(vt_actor *tree) {
    vt_renderer *r = vtScene.renderer;
    if (r == nullptr || vtScene.rendering == VT_RENDERING_NONE || tree == nullptr)
        return;
    inherited in = defaults();
    if (tree->parent == nullptr) {
        walk(tree, in);
        return;
    }
    // The nearest ancestors' choices, and their transforms first.
    bool model = false, material = false, table = false, style = false;
    for (vt_actor *a = tree->parent; a; a = a->parent) {
        if (!model && a->model)
            in.model = a->model, model = true;
        if (!material && a->material)
            in.material = a->material, material = true;
        if (!table && a->render_data)
            in.order_table = a->render_data, table = true;
        if (!style && a->render_style != VT_RSTYLE_DEFAULT)
            in.style = a->render_style, style = true;
    }
    vt_matrix34 m;
    vt_uint_16 type;
    VtActorToRootTyped(tree->parent, vtScene.world, &m, &type);
    r->dispatch->statePush(r, VT_STATE_MATRIX);
    r->dispatch->modelMul(r, &m);
    in.type = VtTransformClassCombine(in.type, type);
    r->dispatch->partSet(r, VTT_MATRIX, 0, VTT_MODEL_TO_VIEW_HINT_T, tok(hintOf(in.type)));
    vtScene.model_to_screen_valid = 0;
    walk(tree, in);
    r->dispatch->statePop(r, VT_STATE_MATRIX);
    vtScene.model_to_screen_valid = 0;
}

vt_error sceneEnd() {
    vt_renderer *r = vtScene.renderer;
    if (r == nullptr)
        return VT_E_FAIL;
    SceneOrderTablesFlush();
    vt_error e = r->dispatch->frameEnd(r, 0);
    vtScene.rendering = VT_RENDERING_NONE;
    vtScene.world = nullptr;
    return e;
}

vt_error sceneRender(vt_actor *world, vt_actor *camera, vt_pixelmap *colour, vt_pixelmap *depth, int rendering) {
    if (vt_error e = sceneBegin(world, camera, colour, depth, rendering))
        return e;
    // The world stands in for the defaults; it is not drawn itself.
    inherited in = defaults();
    if (world->model)
        in.model = world->model;
    if (world->material)
        in.material = world->material;
    if (world->render_data)
        in.order_table = world->render_data;
    in.style = world->render_style;
    walkChildren(world, in);
    return sceneEnd();
}

// A front end starting: the first one makes the renderer for the pixelmap
// of the device begun last.
vt_error frontBegin(vt_boolean *flag) {
    if (!vtScene.zb_active && !vtScene.zs_active && vtScene.renderer == nullptr) {
        if (SceneRendererMake(VtDevLastBeginQuery(), nullptr, nullptr) != VT_E_OK) {
            VtFailure("Failed to load renderer\n");
            return VT_E_FAIL;
        }
    }
    *flag = 1;
    return VT_E_OK;
}

// An end with nothing of its own begun changes nothing and says so.
vt_error frontEnd(vt_boolean *flag, const vt_boolean *other) {
    if (!*flag)
        return VT_E_FAIL;
    *flag = 0;
    if (!*other && vtScene.renderer)
        SceneRendererRelease();
    return VT_E_OK;
}

vt_renderbounds_cbfn *setBoundsCallback(vt_renderbounds_cbfn *cb) {
    vt_renderbounds_cbfn *old = vtScene.renderbounds_cb;
    vtScene.renderbounds_cb = cb;
    if (vt_renderer *r = vtScene.renderer)
        r->dispatch->partSet(r, VTT_ENABLE, 0, VTT_BOUNDS_B, VtValueU32(cb != nullptr));
    return old;
}

} // namespace

vt_error VtZbBegin(vt_uint_8, vt_uint_8) { return frontBegin(&vtScene.zb_active); }
vt_error VtZbEnd() { return frontEnd(&vtScene.zb_active, &vtScene.zs_active); }

vt_error VtZsBegin(vt_uint_8, void *primitive_heap, vt_size heap_size) {
    if (vt_error e = frontBegin(&vtScene.zs_active))
        return e;
    vtScene.heap.base = static_cast<vt_uint_8 *>(primitive_heap);
    vtScene.heap.size = heap_size;
    vtScene.heap.current = vtScene.heap.base;
    return VT_E_OK;
}

vt_error VtZsEnd() { return frontEnd(&vtScene.zs_active, &vtScene.zb_active); }

vt_error VtZbSceneRenderBegin(vt_actor *world, vt_actor *camera, vt_pixelmap *colour, vt_pixelmap *depth) {
    return sceneBegin(world, camera, colour, depth, VT_RENDERING_ZB);
}
void VtZbSceneRenderAdd(vt_actor *tree) { sceneAdd(tree); }
vt_error VtZbSceneRenderEnd() { return sceneEnd(); }
vt_error VtZbSceneRender(vt_actor *world, vt_actor *camera, vt_pixelmap *colour, vt_pixelmap *depth) {
    return sceneRender(world, camera, colour, depth, VT_RENDERING_ZB);
}

vt_error VtZsSceneRenderBegin(vt_actor *world, vt_actor *camera, vt_pixelmap *colour) {
    return sceneBegin(world, camera, colour, nullptr, VT_RENDERING_ZS);
}
void VtZsSceneRenderAdd(vt_actor *tree) { sceneAdd(tree); }
vt_error VtZsSceneRenderEnd() { return sceneEnd(); }
vt_error VtZsSceneRender(vt_actor *world, vt_actor *camera, vt_pixelmap *colour) {
    return sceneRender(world, camera, colour, nullptr, VT_RENDERING_ZS);
}

vt_renderbounds_cbfn *VtZbSetRenderBoundsCallback(vt_renderbounds_cbfn *callback) {
    if (!vtScene.zb_active)
        VtFailure("VtZbSetRenderBoundsCallback called before VtZbBegin");
    return setBoundsCallback(callback);
}

vt_renderbounds_cbfn *VtZsSetRenderBoundsCallback(vt_renderbounds_cbfn *callback) {
    if (!vtScene.zs_active)
        VtFailure("VtZsSetRenderBoundsCallback called before VtZsBegin");
    return setBoundsCallback(callback);
}

vt_primitive_insert_cbfn *VtZsPrimitiveCallbackSet(vt_primitive_insert_cbfn *callback) {
    vt_primitive_insert_cbfn *old = vtScene.insert_cb;
    vtScene.insert_cb = callback;
    return old;
}

vt_token VtOnScreenCheck(const vt_bounds3 *bounds) {
    vt_renderer *r = vtScene.renderer;
    vt_token result = VTT_REJECT;
    if (r && bounds)
        r->dispatch->boundsTest(r, &result, bounds);
    return result;
}

vt_actor *VtEnvironmentSet(vt_actor *actor) {
    vt_actor *old = vtScene.environment;
    vtScene.environment = actor;
    return old;
}

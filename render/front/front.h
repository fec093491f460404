// The rendering front end: actor trees and the matrices between actors,
// camera projection and screen queries, and the z-buffer and z-sort scene
// renderers that walk a world of actors and hand prepared models to the
// renderer (render/scene/renderer.h).
#pragma once

#include "render/scene/scene.h"

// ---- Actor trees ---------------------------------------------------------

// Links the child first under the parent; depths below are renumbered.
vt_actor *VtActorAdd(vt_actor *parent, vt_actor *child);
// Unlinks the actor from its parent; it becomes a root of depth 0.
vt_actor *VtActorRemove(vt_actor *actor);
// Moves the actor under a new parent, keeping its place in the world (as
// far as its transform type can hold the new transform).
void VtActorRelink(vt_actor *parent, vt_actor *actor);
// Actors below root along a path of name patterns separated by "/".
vt_uint_32 VtActorSearchMany(vt_actor *root, const char *path, vt_actor **actors, int max);
vt_actor *VtActorSearch(vt_actor *root, const char *path);

// The product of the transforms from the actor up to (not including) the
// ancestor, or up to the top when ancestor is null: whether the ancestor
// was reached. The typed form also gives the class of the product.
vt_boolean VtActorToRoot(vt_actor *actor, vt_actor *ancestor, vt_matrix34 *m);
vt_boolean VtActorToRootTyped(vt_actor *actor, vt_actor *ancestor, vt_matrix34 *m, vt_uint_16 *type);
// The matrix from one actor's space to another's; returns its class.
vt_uint_16 VtActorToActorMatrix34(vt_matrix34 *m, vt_actor *from, vt_actor *to);
// The class of a product: the class so far times the class multiplied in.
vt_uint_16 VtTransformClassCombine(vt_uint_16 so_far, vt_uint_16 next);

// The axis-aligned box, in the actor's space, of every model in its subtree.
vt_bounds3 *VtActorToBounds(vt_bounds3 *b, vt_actor *actor);

// ---- Cameras and screen queries ------------------------------------------

// The camera's view-to-screen matrix: PERSPECTIVE or PARALLEL, 0 for an
// unknown camera type.
vt_token VtCameraToScreenMatrix4(vt_matrix4 *m, vt_actor *camera);
// The same with the actor-to-camera matrix in front.
vt_token VtActorToScreenMatrix4(vt_matrix4 *m, vt_actor *actor, vt_actor *camera);

vt_error VtModelToViewQuery(vt_matrix34 *m);
vt_error VtModelToScreenQuery(vt_matrix4 *m);

// Outcodes: an outside bit in the low six bits for each plane a point is
// outside of (its inside twin, 16 bits up, cleared).
enum : vt_uint_32 {
    VT_OUTCODE_LEFT = 0x01,
    VT_OUTCODE_RIGHT = 0x02,
    VT_OUTCODE_TOP = 0x04,
    VT_OUTCODE_BOTTOM = 0x08,
    VT_OUTCODE_HITHER = 0x10,
    VT_OUTCODE_YON = 0x20,
    VT_OUTCODE_OUTSIDE = 0xFFF,  // test these bits for off screen
    VT_OUTCODE_START = 0x0FFF0000,
};

// Projects a model-space point through the current model-to-screen matrix:
// screen x and y in pixels and a screen depth (-32767 at the near plane,
// 32767 at the far), written only when the point is not outside.
vt_uint_32 VtModelPointToScreen(vt_vector3 *screen, const vt_vector3 *point);
void VtPointToScreenXY(vt_vector2 *screen, const vt_vector3 *point);
void VtPointToScreenXYMany(vt_vector2 *screens, const vt_vector3 *points, vt_uint_32 npoints);
void VtPointToScreenXYZOMany(vt_vector3 *screens, vt_uint_32 *outcodes, const vt_vector3 *points,
                             vt_uint_32 npoints);

// Camera-space z (negative in front) of a screen depth.
vt_scalar VtZbScreenZToDepth(vt_scalar sz, vt_actor *camera);
// The depth of a screen depth within an order table's range.
vt_scalar VtZsScreenZToDepth(vt_scalar sz, const vt_order_table *order_table);
// A 32-bit depth-buffer value as a screen depth.
inline vt_scalar VtDepthBufferToScreenZ(vt_uint_32 value) {
    return vt_scalar(vt_int_32(value ^ 0x80000000u)) / 65536.0f;
}
// The camera-space point under a pixel (x, y relative to the pixelmap's
// origin) at a screen depth.
void VtScreenXYZToCamera(vt_vector3 *point, vt_actor *camera, const vt_pixelmap *pm, vt_int_32 x, vt_int_32 y,
                         vt_scalar sz);

// ---- Front ends ----------------------------------------------------------

// The pixel types are the caller's wish; the renderer is the one found for
// the pixelmap of the device begun last.
vt_error VtZbBegin(vt_uint_8 colour_type, vt_uint_8 depth_type);
vt_error VtZbEnd();
vt_error VtZsBegin(vt_uint_8 colour_type, void *primitive_heap, vt_size heap_size);
vt_error VtZsEnd();

vt_error VtZbSceneRenderBegin(vt_actor *world, vt_actor *camera, vt_pixelmap *colour, vt_pixelmap *depth);
void VtZbSceneRenderAdd(vt_actor *tree);
vt_error VtZbSceneRenderEnd();
vt_error VtZbSceneRender(vt_actor *world, vt_actor *camera, vt_pixelmap *colour, vt_pixelmap *depth);
vt_error VtZsSceneRenderBegin(vt_actor *world, vt_actor *camera, vt_pixelmap *colour);
void VtZsSceneRenderAdd(vt_actor *tree);
vt_error VtZsSceneRenderEnd();
vt_error VtZsSceneRender(vt_actor *world, vt_actor *camera, vt_pixelmap *colour);

// One model under the current matrices. on_screen is the bounds test's
// answer (ACCEPT lets the renderer skip clipping); use_custom lets a model
// with VT_MODF_CUSTOM draw itself.
void VtModelRender(vt_actor *actor, vt_model *model, vt_material *material, vt_order_table *order_table,
                   vt_uint_8 style, vt_token on_screen, vt_boolean use_custom);
void VtZbModelRender(vt_actor *actor, vt_model *model, vt_material *material, vt_uint_8 style, vt_token on_screen,
                     vt_boolean use_custom);
void VtZsModelRender(vt_actor *actor, vt_model *model, vt_material *material, vt_order_table *order_table,
                     vt_uint_8 style, vt_token on_screen, vt_boolean use_custom);

// Called after each model drawn with the screen rectangle it covered
// (min x, min y, max x, max y, relative to the colour pixelmap's origin).
typedef void vt_renderbounds_cbfn(vt_actor *actor, vt_model *model, vt_material *material,
                                  vt_order_table *order_table, vt_uint_8 style, const vt_matrix4 *model_to_screen,
                                  const vt_int_32 bounds[4]);
vt_renderbounds_cbfn *VtZbSetRenderBoundsCallback(vt_renderbounds_cbfn *callback);
vt_renderbounds_cbfn *VtZsSetRenderBoundsCallback(vt_renderbounds_cbfn *callback);
// Handed to a z-sort renderer with each model (V1INSERT_FUNCTION_P).
vt_primitive_insert_cbfn *VtZsPrimitiveCallbackSet(vt_primitive_insert_cbfn *callback);

// The renderer's bounds test of a box under the current matrices.
vt_token VtOnScreenCheck(const vt_bounds3 *bounds);

// The actor whose frame environment maps are seen from (null: none).
vt_actor *VtEnvironmentSet(vt_actor *actor);

// ---- Order tables --------------------------------------------------------

vt_order_table *VtZsOrderTableAllocate(vt_uint_16 size, vt_uint_32 flags, vt_uint_16 type);
void VtZsOrderTableFree(vt_order_table *order_table);
vt_order_table *VtZsActorOrderTableSet(vt_actor *actor, vt_order_table *order_table);
vt_order_table *VtZsActorOrderTableGet(vt_actor *actor);
// A primary table takes every other table of a frame into its buckets.
vt_order_table *VtZsPrimaryOrderTableSet(vt_order_table *order_table);
void VtZsPrimaryOrderTableClear();

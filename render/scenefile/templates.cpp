// The structure templates of the scene chunks. Member names are the text
// form's comments; the members' order and types are the file layout.
#include <cstddef>

#include "render/scenefile/sfprivate.h"

#define SF_MEMBER(type, rec, field, name)                                                                              \
    { DF_TYPE_##type, offsetof(rec, field), name, nullptr }
#define SF_MEMBER_X(type, rec, field, name, extra)                                                                     \
    { DF_TYPE_##type, offsetof(rec, field), name, extra }
#define SF_STRUCT(name, members, rec)                                                                                  \
    { name, DF_COUNT(members), members, sizeof(rec) }

namespace {

// ---- Enumerations ------------------------------------------------------------

const vt_file_enum_member kActorTypes[] = {
    {VT_ACTOR_NONE, "VT_ACTOR_NONE"},
    {VT_ACTOR_MODEL, "VT_ACTOR_MODEL"},
    {VT_ACTOR_LIGHT, "VT_ACTOR_LIGHT"},
    {VT_ACTOR_CAMERA, "VT_ACTOR_CAMERA"},
    {_BR_ACTOR_RESERVED, "_BR_ACTOR_RESERVED"},
    {VT_ACTOR_BOUNDS, "VT_ACTOR_BOUNDS"},
    {VT_ACTOR_BOUNDS_CORRECT, "VT_ACTOR_BOUNDS_CORRECT"},
    {VT_ACTOR_CLIP_PLANE, "VT_ACTOR_CLIP_PLANE"},
};
const vt_file_enum kActorTypeEnum = {DF_COUNT(kActorTypes), kActorTypes};

const vt_file_enum_member kRenderStyles[] = {
    {VT_RSTYLE_DEFAULT, "VT_RSTYLE_DEFAULT"},
    {VT_RSTYLE_NONE, "VT_RSTYLE_NONE"},
    {VT_RSTYLE_POINTS, "VT_RSTYLE_POINTS"},
    {VT_RSTYLE_EDGES, "VT_RSTYLE_EDGES"},
    {VT_RSTYLE_FACES, "VT_RSTYLE_FACES"},
    {VT_RSTYLE_BOUNDING_POINTS, "VT_RSTYLE_BOUNDING_POINTS"},
    {VT_RSTYLE_BOUNDING_EDGES, "VT_RSTYLE_BOUNDING_EDGES"},
    {VT_RSTYLE_BOUNDING_FACES, "VT_RSTYLE_BOUNDING_FACES"},
};
const vt_file_enum kRenderStyleEnum = {DF_COUNT(kRenderStyles), kRenderStyles};

const vt_file_enum_member kLightTypes[] = {
    {VT_LIGHT_POINT, "VT_LIGHT_POINT"},
    {VT_LIGHT_DIRECT, "VT_LIGHT_DIRECT"},
    {VT_LIGHT_SPOT, "VT_LIGHT_SPOT"},
    {VT_LIGHT_AMBIENT, "VT_LIGHT_AMBIENT"},
    {VT_LIGHT_VIEW | VT_LIGHT_POINT, "VT_LIGHT_VIEW|VT_LIGHT_POINT"},
    {VT_LIGHT_VIEW | VT_LIGHT_DIRECT, "VT_LIGHT_VIEW|VT_LIGHT_DIRECT"},
    {VT_LIGHT_VIEW | VT_LIGHT_SPOT, "VT_LIGHT_VIEW|VT_LIGHT_SPOT"},
    {VT_LIGHT_VIEW | VT_LIGHT_AMBIENT, "VT_LIGHT_VIEW|VT_LIGHT_AMBIENT"},
};
const vt_file_enum kLightTypeEnum = {DF_COUNT(kLightTypes), kLightTypes};

const vt_file_enum_member kCameraTypes[] = {
    {VT_CAMERA_PARALLEL, "VT_CAMERA_PARALLEL"},
    {VT_CAMERA_PERSPECTIVE, "VT_CAMERA_PERSPECTIVE"},
};
const vt_file_enum kCameraTypeEnum = {DF_COUNT(kCameraTypes), kCameraTypes};

#define SF_EULER(o)                                                                                                    \
    { VT_EULER_##o, "VT_EULER_" #o }
const vt_file_enum_member kEulerOrders[] = {
    SF_EULER(XYZ_S), SF_EULER(YZX_S), SF_EULER(ZXY_S), SF_EULER(XZY_S), SF_EULER(YXZ_S), SF_EULER(ZYX_S),
    SF_EULER(XYX_S), SF_EULER(YZY_S), SF_EULER(ZXZ_S), SF_EULER(XZX_S), SF_EULER(YXY_S), SF_EULER(ZYZ_S),
    SF_EULER(ZYX_R), SF_EULER(XZY_R), SF_EULER(YXZ_R), SF_EULER(YZX_R), SF_EULER(ZXY_R), SF_EULER(XYZ_R),
    SF_EULER(XYX_R), SF_EULER(YZY_R), SF_EULER(ZXZ_R), SF_EULER(XZX_R), SF_EULER(YXY_R), SF_EULER(ZYZ_R),
};
#undef SF_EULER
const vt_file_enum kEulerOrderEnum = {DF_COUNT(kEulerOrders), kEulerOrders};

// ---- Models ----------------------------------------------------------------

const vt_file_struct_member kVertex[] = {
    SF_MEMBER(SCALAR, vt_vertex, p.v[0], "p.v[X]"),
    SF_MEMBER(SCALAR, vt_vertex, p.v[1], "p.v[Y]"),
    SF_MEMBER(SCALAR, vt_vertex, p.v[2], "p.v[Z]"),
};
const vt_file_struct_member kVertexUV[] = {
    SF_MEMBER(SCALAR, vt_vertex, map.v[0], "map.v[0]"),
    SF_MEMBER(SCALAR, vt_vertex, map.v[1], "map.v[1]"),
};
const vt_file_struct_member kOldVertexUV[] = {
    SF_MEMBER(SCALAR, vt_vertex, p.v[0], "p.v[X]"),     SF_MEMBER(SCALAR, vt_vertex, p.v[1], "p.v[Y]"),
    SF_MEMBER(SCALAR, vt_vertex, p.v[2], "p.v[Z]"),     SF_MEMBER(SCALAR, vt_vertex, map.v[0], "map.v[0]"),
    SF_MEMBER(SCALAR, vt_vertex, map.v[1], "map.v[1]"),
};
const vt_file_struct_member kFace[] = {
    SF_MEMBER(UINT_16, vt_face, vertices[0], "vertices[0]"),
    SF_MEMBER(UINT_16, vt_face, vertices[1], "vertices[1]"),
    SF_MEMBER(UINT_16, vt_face, vertices[2], "vertices[2]"),
    SF_MEMBER(UINT_16, vt_face, smoothing, "smoothing"),
    SF_MEMBER(UINT_8, vt_face, flags, "flags"),
};
const vt_file_struct_member kOldFace1[] = {
    SF_MEMBER(UINT_16, sf_old_face_1, vertices[0], "vertices[0]"),
    SF_MEMBER(UINT_16, sf_old_face_1, vertices[1], "vertices[1]"),
    SF_MEMBER(UINT_16, sf_old_face_1, vertices[2], "vertices[2]"),
    SF_MEMBER(UINT_8, sf_old_face_1, smoothing, "smoothing"),
    SF_MEMBER(UINT_8, sf_old_face_1, flags, "flags"),
};
const vt_file_struct_member kOldFace[] = {
    SF_MEMBER(UINT_16, sf_old_face, vertices[0], "vertices[0]"),
    SF_MEMBER(UINT_16, sf_old_face, vertices[1], "vertices[1]"),
    SF_MEMBER(UINT_16, sf_old_face, vertices[2], "vertices[2]"),
    SF_MEMBER(UINT_16, sf_old_face, material, "material"),
    SF_MEMBER(UINT_32, sf_old_face, smoothing, "smoothing"),
};
const vt_file_struct_member kModel[] = {
    SF_MEMBER(UINT_16, vt_model, flags, "flags"),
    SF_MEMBER(ASCIZ, vt_model, identifier, "identifier"),
};
const vt_file_struct_member kOldModel1[] = {
    SF_MEMBER(ASCIZ, vt_model, identifier, "identifier"),
};
const vt_file_struct_member kPivot[] = {
    SF_MEMBER(SCALAR, vt_model, pivot.v[0], "pivot.v[X]"),
    SF_MEMBER(SCALAR, vt_model, pivot.v[1], "pivot.v[Y]"),
    SF_MEMBER(SCALAR, vt_model, pivot.v[2], "pivot.v[Z]"),
};

// ---- Materials -------------------------------------------------------------

#define SF_MATERIAL_HEAD(rec, pre)                                                                                     \
    SF_MEMBER(COLOUR, rec, pre colour, "colour"), SF_MEMBER(UINT_8, rec, pre opacity, "opacity"),                      \
        SF_MEMBER(UFRACTION, rec, pre ka, "ka"), SF_MEMBER(UFRACTION, rec, pre kd, "kd"),                              \
        SF_MEMBER(UFRACTION, rec, pre ks, "ks"), SF_MEMBER(SCALAR, rec, pre power, "power")
#define SF_MATERIAL_MAP(rec, pre)                                                                                      \
    SF_MEMBER(VECTOR2, rec, pre map_transform.m[0], "map_transform.m[0]"),                                             \
        SF_MEMBER(VECTOR2, rec, pre map_transform.m[1], "map_transform.m[1]"),                                         \
        SF_MEMBER(VECTOR2, rec, pre map_transform.m[2], "map_transform.m[2]")
#define SF_MATERIAL_INDEX(rec, pre)                                                                                    \
    SF_MEMBER(UINT_8, rec, pre index_base, "index_base"), SF_MEMBER(UINT_8, rec, pre index_range, "index_range")
#define SF_MATERIAL_FOG(rec)                                                                                           \
    SF_MEMBER(SCALAR, rec, fog_min, "fog_min"), SF_MEMBER(SCALAR, rec, fog_max, "fog_max"),                            \
        SF_MEMBER(COLOUR, rec, fog_colour, "fog_colour"),                                                              \
        SF_MEMBER(INT_32, rec, subdivide_tolerance, "subdivide_tolerance")

const vt_file_struct_member kMaterialOldest[] = {
    SF_MATERIAL_HEAD(sf_material_oldest, m.),
    SF_MEMBER(UINT_16, sf_material_oldest, flags, "flags"),
    SF_MATERIAL_MAP(sf_material_oldest, m.),
    SF_MATERIAL_INDEX(sf_material_oldest, m.),
    SF_MEMBER(ASCIZ, sf_material_oldest, m.identifier, "identifier"),
};
const vt_file_struct_member kMaterialOld[] = {
    SF_MATERIAL_HEAD(vt_material, ), SF_MEMBER(UINT_32, vt_material, flags, "flags"),
    SF_MATERIAL_MAP(vt_material, ),  SF_MATERIAL_INDEX(vt_material, ),
    SF_MATERIAL_FOG(vt_material),    SF_MEMBER(ASCIZ, vt_material, identifier, "identifier"),
};
const vt_file_struct_member kMaterial[] = {
    SF_MATERIAL_HEAD(vt_material, ),
    SF_MEMBER(UINT_32, vt_material, flags, "flags"),
    SF_MATERIAL_MAP(vt_material, ),
    SF_MEMBER(UINT_16, vt_material, mode, "mode"),
    SF_MATERIAL_INDEX(vt_material, ),
    SF_MATERIAL_FOG(vt_material),
    SF_MEMBER(ASCIZ, vt_material, identifier, "identifier"),
};

// ---- Actors ----------------------------------------------------------------

const vt_file_struct_member kActor[] = {
    SF_MEMBER_X(ENUM_8, vt_actor, type, "type", &kActorTypeEnum),
    SF_MEMBER_X(ENUM_8, vt_actor, render_style, "render_style", &kRenderStyleEnum),
    SF_MEMBER(ASCIZ, vt_actor, identifier, "identifier"),
};
const vt_file_struct_member kMatrix34[] = {
    SF_MEMBER(VECTOR3, vt_transform, t.mat.m[0], "t.mat.m[0]"),
    SF_MEMBER(VECTOR3, vt_transform, t.mat.m[1], "t.mat.m[1]"),
    SF_MEMBER(VECTOR3, vt_transform, t.mat.m[2], "t.mat.m[2]"),
    SF_MEMBER(VECTOR3, vt_transform, t.mat.m[3], "t.mat.m[3]"),
};
const vt_file_struct_member kQuat[] = {
    SF_MEMBER(SCALAR, vt_transform, t.quat.q.x, "t.quat.q.x"),
    SF_MEMBER(SCALAR, vt_transform, t.quat.q.y, "t.quat.q.y"),
    SF_MEMBER(SCALAR, vt_transform, t.quat.q.z, "t.quat.q.z"),
    SF_MEMBER(SCALAR, vt_transform, t.quat.q.w, "t.quat.q.w"),
    SF_MEMBER(VECTOR3, vt_transform, t.quat.t, "t.quat.t"),
};
const vt_file_struct_member kEuler[] = {
    SF_MEMBER_X(ENUM_8, vt_transform, t.euler.e.order, "t.euler.e.order", &kEulerOrderEnum),
    SF_MEMBER(ANGLE, vt_transform, t.euler.e.a, "t.euler.e.a"),
    SF_MEMBER(ANGLE, vt_transform, t.euler.e.b, "t.euler.e.b"),
    SF_MEMBER(ANGLE, vt_transform, t.euler.e.c, "t.euler.e.c"),
    SF_MEMBER(VECTOR3, vt_transform, t.euler.t, "t.euler.t"),
};
const vt_file_struct_member kLookUp[] = {
    SF_MEMBER(VECTOR3, vt_transform, t.look_up.look, "t.look_up.look"),
    SF_MEMBER(VECTOR3, vt_transform, t.look_up.up, "t.look_up.up"),
    SF_MEMBER(VECTOR3, vt_transform, t.look_up.t, "t.look_up.t"),
};
const vt_file_struct_member kTranslation[] = {
    SF_MEMBER(VECTOR3, vt_transform, t.translate.t, "t.translate.t"),
};
const vt_file_struct_member kBounds[] = {
    SF_MEMBER(VECTOR3, vt_bounds3, min, "min"),
    SF_MEMBER(VECTOR3, vt_bounds3, max, "max"),
};
const vt_file_struct_member kPlane[] = {
    SF_MEMBER(VECTOR4, vt_plane, eqn, "eqn"),
};
const vt_file_struct_member kLight[] = {
    SF_MEMBER_X(ENUM_8, vt_light, type, "type", &kLightTypeEnum),
    SF_MEMBER(COLOUR, vt_light, colour, "colour"),
    SF_MEMBER(SCALAR, vt_light, attenuation_c, "attenuation_c"),
    SF_MEMBER(SCALAR, vt_light, attenuation_l, "attenuation_l"),
    SF_MEMBER(SCALAR, vt_light, attenuation_q, "attenuation_q"),
    SF_MEMBER(ANGLE, vt_light, cone_inner, "cone_inner"),
    SF_MEMBER(ANGLE, vt_light, cone_outer, "cone_outer"),
    SF_MEMBER(ASCIZ, vt_light, identifier, "identifier"),
};
const vt_file_struct_member kCamera[] = {
    SF_MEMBER_X(ENUM_8, vt_camera, type, "type", &kCameraTypeEnum),
    SF_MEMBER(ANGLE, vt_camera, field_of_view, "field_of_view"),
    SF_MEMBER(SCALAR, vt_camera, hither_z, "hither_z"),
    SF_MEMBER(SCALAR, vt_camera, yon_z, "yon_z"),
    SF_MEMBER(SCALAR, vt_camera, aspect, "aspect"),
    SF_MEMBER(ASCIZ, vt_camera, identifier, "identifier"),
};

const vt_file_struct kMatrix34Struct = SF_STRUCT("vt_transform_matrix34", kMatrix34, vt_transform);
const vt_file_struct kQuatStruct = SF_STRUCT("vt_transform_quat", kQuat, vt_transform);
const vt_file_struct kEulerStruct = SF_STRUCT("vt_transform_euler", kEuler, vt_transform);
const vt_file_struct kLookUpStruct = SF_STRUCT("vt_transform_look_up", kLookUp, vt_transform);
const vt_file_struct kTranslationStruct = SF_STRUCT("vt_transform_translation", kTranslation, vt_transform);

} // namespace

const vt_file_struct sfVertexStruct = SF_STRUCT("vt_vertex", kVertex, vt_vertex);
const vt_file_struct sfVertexUVStruct = SF_STRUCT("vt_vertex_uv", kVertexUV, vt_vertex);
const vt_file_struct sfOldVertexUVStruct = SF_STRUCT("vt_old_vertex_uv", kOldVertexUV, vt_vertex);
const vt_file_struct sfFaceStruct = SF_STRUCT("vt_face", kFace, vt_face);
const vt_file_struct sfOldFace1Struct = SF_STRUCT("vt_old_face_1", kOldFace1, sf_old_face_1);
const vt_file_struct sfOldFaceStruct = SF_STRUCT("vt_old_face", kOldFace, sf_old_face);
const vt_file_struct sfModelStruct = SF_STRUCT("vt_model", kModel, vt_model);
const vt_file_struct sfOldModel1Struct = SF_STRUCT("vt_old_model_1", kOldModel1, vt_model);
const vt_file_struct sfPivotStruct = SF_STRUCT("vt_pivot", kPivot, vt_model);
const vt_file_struct sfMaterialOldestStruct = SF_STRUCT("vt_material_oldest", kMaterialOldest, sf_material_oldest);
const vt_file_struct sfMaterialOldStruct = SF_STRUCT("vt_material_old", kMaterialOld, vt_material);
const vt_file_struct sfMaterialStruct = SF_STRUCT("vt_material", kMaterial, vt_material);
const vt_file_struct sfActorStruct = SF_STRUCT("vt_actor", kActor, vt_actor);
const vt_file_struct sfBoundsStruct = SF_STRUCT("vt_bounds3", kBounds, vt_bounds3);
const vt_file_struct sfPlaneStruct = SF_STRUCT("vt_plane", kPlane, vt_plane);
const vt_file_struct sfLightStruct = SF_STRUCT("vt_light", kLight, vt_light);
const vt_file_struct sfCameraStruct = SF_STRUCT("vt_camera", kCamera, vt_camera);

const vt_file_struct *SfTransformStruct(vt_uint_16 type) {
    switch (type) {
    case VT_TRANSFORM_MATRIX34:
    case VT_TRANSFORM_MATRIX34_LP:
        return &kMatrix34Struct;
    case VT_TRANSFORM_QUAT:
        return &kQuatStruct;
    case VT_TRANSFORM_EULER:
        return &kEulerStruct;
    case VT_TRANSFORM_LOOK_UP:
        return &kLookUpStruct;
    case VT_TRANSFORM_TRANSLATION:
        return &kTranslationStruct;
    default:
        return nullptr;
    }
}

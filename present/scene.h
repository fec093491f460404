// Binding of the world's objects to the rendering library: each object's
// tree of parts kept in step with library actors once per view and frame,
// with a level of detail chosen from each part's projected size; cameras
// and the per-view passes of the 3D presentation.
#pragma once

#include <cstdint>

struct SceneItem;
struct TDP;
struct Mat4;
struct vt_actor;
struct vt_model;
struct vt_material;
struct vt_order_table;
struct vt_matrix4;

// Actors are made for parts that project larger than this; a level of
// detail changes down only 2 below its threshold; a middle model of fewer
// than 12 faces keeps the high threshold at 24; on the 3D card parts below
// 7 show one point; size = radius x 900 / depth.
inline constexpr float kTDPActorSize = 20.0f;
inline constexpr float kTDPDetailMargin = 2.0f;
inline constexpr float kTDPSmallModelHigh = 24.0f;
inline constexpr float kTDPOnePointSize = 7.0f;
inline constexpr float kTDPProjection = 900.0f;

// The standard presentation routine of an object's Avatar: updates its part
// tree with the Avatar's world matrix.
void P3DUpdatePresentation(SceneItem *item);
// Updates a part (its next siblings first, then its children): world
// matrix, view-space position, level of detail, then its node routine.
void TDPUpdateTree(TDP *tdp, const Mat4 *parent);
void TDPSelectDetail(TDP *tdp);
// The default node routine: the actor takes the part's world matrix (and
// the light-drive stretch of the parts that have it).
void TDPSyncActor(TDP *tdp, const Mat4 *world);
// The node routine of 3D-card particle-effect parts.
void TDPUpdateParticleSystem(TDP *tdp, const Mat4 *world);
// Gives the part a library actor: mode 0 an ordinary part, 1 a particle
// effect (the model argument is the ParticleSystem), 2 an ordinary part
// whose middle detail is one point, 3 an effect model. Returns 1 (also
// while there is no scene yet), 0 when no actor could be made. Sets node
// flag 4.
int P3DAddToScene(TDP *tdp, void *model, int mode, int reserved);
// Builds the part's actors (next sibling, first child, then itself) when
// the main scene is built again.
void P3DBuildActorTree(TDP *tdp);
// Puts a model on an object's root part and its levels of detail.
void P3DSetObjectModel(SceneItem *item, void *model);
// Unlinks and frees the part's actor, if any.
void P3DRemoveActor(TDP *tdp);
// Takes a particle-effect part out of the scene and out of its tree.
void RemoveParticleSystem(TDP *tdp);
// The renderer's bounds callback: the part's screen rectangle, and the
// drawing window's dirty rectangle grown by it.
void P3DRecordScreenBounds(vt_actor *actor, vt_model *model, vt_material *material, vt_order_table *orderTable,
                           uint8_t style, const vt_matrix4 *modelToScreen, const int32_t bounds[4]);
// The shared "one point" model: one vertex, one face, drawn as nothing.
vt_model *P3DMakeOnePointModel();
// Each 3D set-up makes new "one point" and "particledummy" models.
void P3DForgetSharedModels();
// Takes the model a node owns (node flag 0x80, first saved-model word) out
// of the library's model registry and frees it; clears the word.
void P3DRemoveAndFreeNodeModel(TDP *node);
// Takes the material a node owns (node flag 0x20000) out of the library's
// material registry and frees it; clears the node's material word.
void P3DRemoveAndFreeNodeMaterial(TDP *node);
// Vertex i of a model's mesh in the model's frame; false past the last.
struct Vec3;
bool P3DModelVertex(const void *model, int i, Vec3 *out);

// The object the current camera shows (the camera routines set it).
extern SceneItem *P3DViewedObject;
// The light-drive stretch runs once docking or the time scale enabled it.
extern uint8_t P3DStretchEnabled;

void P3DPreprocessScene(SceneItem *item, void *view);
void P3DUpdateLights();
// The weapon camera object ("CamWep") and the view camera made at mission
// start; null while there are none.
extern SceneItem *dunWeaponCamera;
extern SceneItem *dunViewCamera;
// Camera routines: the weapon camera's control and simulator routines, and
// the view camera's, aimed at the object it looks at; the cockpit camera.
void CameraWeapon(SceneItem *camera);
void CameraIdle(SceneItem *camera);
void CameraLookAtObject(SceneItem *camera);
void CameraPlayer(SceneItem *camera);
// True while "CamPly" exists and flies as the cockpit camera.
bool P3DCockpitCamera();
// The cockpit look-around state (view angles, joystick block).
void LookInit();
void ActionCameraUpdate();
// The player camera and the main 3D window follow the first object, the
// other camera the second (null: it stays); the current camera's subject.
void P3DFollowCameras(SceneItem *player, SceneItem *other);
void P3DSetCameraSubject(SceneItem *item);
void LookUpdate();
void EventCameraTrigger(SceneItem *item, SceneItem *other, int event);
// Clears the four camera words at the world reset.
void P3DResetCameraWords();
// The sky sphere dimmed or brightened a step.
void P3DDimSkySphere();
void P3DBrightenSkySphere();

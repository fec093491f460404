// Binding of the world's objects to the rendering library, cameras and the
// per-view passes of the 3D presentation.
#pragma once

#include <cstdint>

struct SceneItem;
struct TDP;
struct vt_actor;

// Default node routine: keeps the node's library actor in step with it.
void TDPSyncActor(TDP *node);
// Gives the node a library actor showing a model (modes 0, 2, 3) or a
// particle system (mode 1); sets node flag 4.
vt_actor *P3DAddToScene(TDP *node, void *modelOrParticles, int mode, int reserved);
// Unlinks the node's actor from its parent (when it has one) and frees it;
// clears the node's actor word.
void P3DRemoveActor(TDP *node);
// Takes the model a node owns (node flag 0x80, first saved-model word) out
// of the library's model registry and frees it; clears the word.
void P3DRemoveAndFreeNodeModel(TDP *node);
// Takes the material a node owns (node flag 0x20000) out of the library's
// material registry and frees it; clears the node's material word.
void P3DRemoveAndFreeNodeMaterial(TDP *node);
void P3DUpdatePresentation(SceneItem *item);
void P3DPreprocessScene(SceneItem *item, void *view);
void P3DUpdateLights();
// The player camera object ("CamPly"); null while there is none.
extern SceneItem *dunPlayerCamera;
// The weapon camera object ("CamWep") and the view camera made at mission
// start; null while there are none.
extern SceneItem *dunWeaponCamera;
extern SceneItem *dunViewCamera;
// Camera routines: the weapon camera's control and simulator routines, and
// the view camera's, aimed at the object it looks at.
void CameraWeapon(SceneItem *camera);
void CameraIdle(SceneItem *camera);
void CameraLookAtObject(SceneItem *camera);
// The cockpit look-around state (view angles, joystick block).
void LookInit();
void ActionCameraUpdate();
void LookUpdate();
void EventCameraTrigger(SceneItem *item, SceneItem *other, int event);
// Clears the four camera words at the world reset.
void P3DResetCameraWords();
// Vertex i of a model's mesh in the model's frame; false past the last.
struct Vec3;
bool P3DModelVertex(const void *model, int i, Vec3 *out);

// Interim bodies of this subsystem's operations whose modules are not built
// yet. Each says so once in the log.
#include "core/pending.h"
#include "present/lwo.h"
#include "present/scene.h"
#include "present/view_clip.h"
#include "world/records.h"

void *LwoLoadModel(const char *, void *, uint32_t *) {
    PENDING_ONCE("LwoLoadModel");
    return nullptr;
}
void *LwoLoadShapeWithLod(void *) {
    PENDING_ONCE("LwoLoadShapeWithLod");
    return nullptr;
}
void *LwoLoadWireframe(const char *, void *, uint32_t *) {
    PENDING_ONCE("LwoLoadWireframe");
    return nullptr;
}

// The 3D view clip rectangle, until the views are built.
ClipRect ViewClipRect = {0, 0, 639, 479};

void TDPSyncActor(TDP *) { PENDING_ONCE("TDPSyncActor"); }
vt_actor *P3DAddToScene(TDP *node, void *, int, int) {
    PENDING_ONCE("P3DAddToScene");
    if (node) node->flags |= TDPFlag::HasActor;
    return nullptr;
}
void P3DRemoveActor(TDP *node) {
    PENDING_ONCE("P3DRemoveActor");
    if (node) node->actor = nullptr;
}
void P3DUpdatePresentation(SceneItem *) { PENDING_ONCE("P3DUpdatePresentation"); }
void P3DPreprocessScene(SceneItem *, void *) { PENDING_ONCE("P3DPreprocessScene"); }
void P3DUpdateLights() { PENDING_ONCE("P3DUpdateLights"); }
void ActionCameraUpdate() { PENDING_ONCE("ActionCameraUpdate"); }
void LookUpdate() { PENDING_ONCE("LookUpdate"); }
void EventCameraTrigger(SceneItem *, SceneItem *, int) { PENDING_ONCE("EventCameraTrigger"); }
void P3DResetCameraWords() { PENDING_ONCE("P3DResetCameraWords"); }
bool P3DModelVertex(const void *, int, Vec3 *) {
    PENDING_ONCE("P3DModelVertex");
    return false;
}

// The game start-up's and the game frame's calls.
#include "present/p3d.h"
void P3DInitialise() { PENDING_ONCE("P3DInitialise"); }
void P3DFreeScene() { PENDING_ONCE("P3DFreeScene"); }
void P3DSetObjectModel(SceneItem *, void *) { PENDING_ONCE("P3DSetObjectModel"); }
void SpawnShipDestruction(SceneItem *) { PENDING_ONCE("SpawnShipDestruction"); }
void DrawShadeTablePanel(const char *) { PENDING_ONCE("DrawShadeTablePanel"); }

SceneItem *dunPlayerCamera = nullptr;

// The mission runtime's calls.
SceneItem *dunWeaponCamera = nullptr;
SceneItem *dunViewCamera = nullptr;
void CameraWeapon(SceneItem *) { PENDING_ONCE("CameraWeapon"); }
void CameraIdle(SceneItem *) { PENDING_ONCE("CameraIdle"); }
void CameraLookAtObject(SceneItem *) { PENDING_ONCE("CameraLookAtObject"); }
void LookInit() { PENDING_ONCE("LookInit"); }
void P3DShutdown() { PENDING_ONCE("P3DShutdown"); }

// Interim bodies of this subsystem's operations whose modules are not built
// yet. Each says so once in the log.
#include "core/pending.h"
#include "present/lwo.h"
#include "present/scene.h"
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
// The views the GUI's panes show.
#include "present/views.h"
void P3DRenderSceneToView(int) { PENDING_ONCE("P3DRenderSceneToView"); }
void P3DDrawViewWindow(GuiWindow *) { PENDING_ONCE("P3DDrawViewWindow"); }
void P3DDrawWireViewWindow(GuiWindow *) { PENDING_ONCE("P3DDrawWireViewWindow"); }
void WeaponHardpointsDraw(GuiWindow *) { PENDING_ONCE("WeaponHardpointsDraw"); }
bool WireframeDrawInRect(void *, int, int, int, int, int, float) {
    PENDING_ONCE("WireframeDrawInRect");
    return false;
}
void WireframeDraw(void *, int, int, float, int, int) { PENDING_ONCE("WireframeDraw"); }
void P3DResetViewCamera() { PENDING_ONCE("P3DResetViewCamera"); }
// The world's events.
#include "present/effects.h"
void AddHullRupture(SceneItem *, int, int, const Vec3 *, int) { PENDING_ONCE("AddHullRupture"); }
void AddMinorExplosion(SceneItem *, int, int, const Vec3 *) { PENDING_ONCE("AddMinorExplosion"); }
void PlaceExplosion(SceneItem *) { PENDING_ONCE("PlaceExplosion"); }
void SpawnRoundDestruction(SceneItem *) { PENDING_ONCE("SpawnRoundDestruction"); }
void SpawnSparks(SceneItem *, int, int, int, int, int, int) { PENDING_ONCE("SpawnSparks"); }
void SpawnImpactExplosion(SceneItem *, const DamageRecord *, SceneItem *) { PENDING_ONCE("SpawnImpactExplosion"); }
void SpawnImpactSparks(SceneItem *) { PENDING_ONCE("SpawnImpactSparks"); }
ParticleSystem *CreateParticleSystem(SceneItem *, const Mat4 *, int, uint32_t, int, int, int, float, int, float) {
    PENDING_ONCE("CreateParticleSystem");
    return nullptr;
}
void BuildColourRamp(ParticleSystem *, int, int, int, int, int, int) { PENDING_ONCE("BuildColourRamp"); }
void FlashNavLight(SceneItem *, int, int, const Vec3 *) { PENDING_ONCE("FlashNavLight"); }
void ScaleModelToRadius(void *, float) { PENDING_ONCE("ScaleModelToRadius"); }
void P3DSetupPlasmaBall(SceneItem *, int, int, const char *) { PENDING_ONCE("P3DSetupPlasmaBall"); }
void P3DSetupGasShell(SceneItem *, const char *) { PENDING_ONCE("P3DSetupGasShell"); }
void *P3DPlasmaModel() {
    PENDING_ONCE("P3DPlasmaModel");
    return nullptr;
}
void P3DSetViewShake(int32_t, int32_t) { PENDING_ONCE("P3DSetViewShake"); }
void P3DSetFlashBrightness(int32_t) { PENDING_ONCE("P3DSetFlashBrightness"); }
float P3DCameraZoom() {
    PENDING_ONCE("P3DCameraZoom");
    return 0.0f;
}
float P3DViewProjectionScale() {
    PENDING_ONCE("P3DViewProjectionScale");
    return 1.0f;
}
void SpawnLdsTrail(SceneItem *) { PENDING_ONCE("SpawnLdsTrail"); }
void AddFlashAtObject(SceneItem *, const Vec3 *, int, uint32_t) { PENDING_ONCE("AddFlashAtObject"); }
void P3DFollowCameras(SceneItem *, SceneItem *) { PENDING_ONCE("P3DFollowCameras"); }
void P3DSetCameraSubject(SceneItem *) { PENDING_ONCE("P3DSetCameraSubject"); }
void AddThermalExplosion(SceneItem *, const Vec3 *) { PENDING_ONCE("AddThermalExplosion"); }
void P3DMakeWreck(SceneItem *) { PENDING_ONCE("P3DMakeWreck"); }
void AddNavLight(SceneItem *, const Vec3 *, float, uint32_t) { PENDING_ONCE("AddNavLight"); }
void P3DSetStarGateEdge(SceneItem *, int) { PENDING_ONCE("P3DSetStarGateEdge"); }

// The start-up scripts' calls.
void LoadTextureReplacement(const char *, const char *) { PENDING_ONCE("LoadTextureReplacement"); }
void FreeTextureReplacements() { PENDING_ONCE("FreeTextureReplacements"); }
void GenerateFlareIcons(void *, const void *, const void *) { PENDING_ONCE("GenerateFlareIcons"); }
void P3DAddLight(SceneItem *, const Vec3 *, uint32_t, int, float, uint32_t) { PENDING_ONCE("P3DAddLight"); }

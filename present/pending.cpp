// Interim bodies of this subsystem's operations whose modules are not built
// yet. Each says so once in the log.
#include "core/pending.h"
#include "present/lwo/lwo.h"
#include "present/scene.h"
#include "render/scene/scene.h"
#include "world/records.h"

void P3DUpdateLights() { PENDING_ONCE("P3DUpdateLights"); }

// The views the GUI's panes show.
#include "present/views.h"
void WeaponHardpointsDraw(P3DPane *) { PENDING_ONCE("WeaponHardpointsDraw"); }
// The world's events.
#include "present/effects.h"
void P3DSetupPlasmaBall(SceneItem *, int, int, const char *) { PENDING_ONCE("P3DSetupPlasmaBall"); }
void P3DSetupGasShell(SceneItem *, const char *) { PENDING_ONCE("P3DSetupGasShell"); }
void *P3DPlasmaModel() {
    PENDING_ONCE("P3DPlasmaModel");
    return nullptr;
}
void P3DMakeWreck(SceneItem *) { PENDING_ONCE("P3DMakeWreck"); }
void AddNavLight(SceneItem *, const Vec3 *, float, uint32_t) { PENDING_ONCE("AddNavLight"); }
void P3DSetStarGateEdge(SceneItem *, int) { PENDING_ONCE("P3DSetStarGateEdge"); }

// Camera routines and the view words beside them.
#include "present/cameras.h"

// The sky, the planets and the flare shells the script's statements make.
uint8_t gPlanetTextureRequest;
void P3DGenerateStarfield(int) { PENDING_ONCE("P3DGenerateStarfield"); }
void P3DSetSkyForSystem(int16_t) { PENDING_ONCE("P3DSetSkyForSystem"); }
void P3DSetSkyColours(int16_t, float, float) { PENDING_ONCE("P3DSetSkyColours"); }
vt_model *dunLoadSunModel() {
    PENDING_ONCE("dunLoadSunModel");
    return nullptr;
}
void dunLoadPlanetTexture() { PENDING_ONCE("dunLoadPlanetTexture"); }
void P3DPlaceSkyBody(SceneItem *) { PENDING_ONCE("P3DPlaceSkyBody"); }
void P3DPlaceSkyBodyFull(SceneItem *) { PENDING_ONCE("P3DPlaceSkyBodyFull"); }
void P3DSpawnFlareShell(SceneItem *, float, float, float, int, float, int, int, int, int, int) {
    PENDING_ONCE("P3DSpawnFlareShell");
}

// What the set-up, the frame and the part trees call in the presentation's
// modules that are not built yet.
#include "present/frame_passes.h"
void P3DSetUpDetailModels(TDP *) { PENDING_ONCE("P3DSetUpDetailModels"); }
void P3DPlaceAllSkyBodies() { PENDING_ONCE("P3DPlaceAllSkyBodies"); }
int P3DCollectSkyBodies(TDP **, int) {
    PENDING_ONCE("P3DCollectSkyBodies");
    return 0;
}
void P3DForgetSunModel() { PENDING_ONCE("P3DForgetSunModel"); }
void P3DDrawStarField() { PENDING_ONCE("P3DDrawStarField"); }
void P3DLoadFlareShells() { PENDING_ONCE("P3DLoadFlareShells"); }
void P3DCreateFlareModels() { PENDING_ONCE("P3DCreateFlareModels"); }
void P3DClearLightSlots() { PENDING_ONCE("P3DClearLightSlots"); }
void P3DRenderFlareBatch(int) { PENDING_ONCE("P3DRenderFlareBatch"); }
void P3DLensFlarePass() { PENDING_ONCE("P3DLensFlarePass"); }
void P3DSetSunLight(SceneItem *, int, int, int) { PENDING_ONCE("P3DSetSunLight"); }
void P3DSunLightDim() { PENDING_ONCE("P3DSunLightDim"); }
void P3DScrollUnlitTexture() { PENDING_ONCE("P3DScrollUnlitTexture"); }
void P3DBuildEffectModels(vt_material *) { PENDING_ONCE("P3DBuildEffectModels"); }
void P3DShadeModelVertices(vt_model *, int, int, vt_pixelmap *) { PENDING_ONCE("P3DShadeModelVertices"); }
vt_model *P3DBuildStarShell(int, float) {
    PENDING_ONCE("P3DBuildStarShell");
    return nullptr;
}
void NavLightUpdate(TDP *, Mat4 *) { PENDING_ONCE("NavLightUpdate"); }
void P3DAddLight(SceneItem *, const Vec3 *, uint32_t, int, float, uint32_t) { PENDING_ONCE("P3DAddLight"); }
void LSpaceSetTarget(SceneItem *) { PENDING_ONCE("LSpaceSetTarget"); }
void P3DDimSkySphere() { PENDING_ONCE("P3DDimSkySphere"); }
void P3DBrightenSkySphere() { PENDING_ONCE("P3DBrightenSkySphere"); }
void ScrollModelTexture(int, float) { PENDING_ONCE("ScrollModelTexture"); }
float gTextureScrollStep = 1.0f;

// The universe's calls into the sky, the planets and the lights.
vt_model *P3DCreateStarDummy() {
    PENDING_ONCE("P3DCreateStarDummy");
    return nullptr;
}
void ClearSystemBodyModels() { PENDING_ONCE("ClearSystemBodyModels"); }
void P3DFreeSkyResources() { PENDING_ONCE("P3DFreeSkyResources"); }
void AddNavLights(SceneItem *, int) { PENDING_ONCE("AddNavLights"); }
// The lens flares' light flashes and ring fill, and the model adjustments'
// face picker.
void P3DAddLightFlash(SceneItem *, uint32_t, const Vec3 *, int, uint32_t) { PENDING_ONCE("P3DAddLightFlash"); }
void P3DFillPolygon(const ParticleSystem *) { PENDING_ONCE("P3DFillPolygon"); }
int PickModelFace(SceneItem *, const Vec3 *, Vec3 *, Vec3 *) {
    PENDING_ONCE("PickModelFace");
    return 0;
}

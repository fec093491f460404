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
void P3DMakeWreck(SceneItem *) { PENDING_ONCE("P3DMakeWreck"); }
void P3DSetStarGateEdge(SceneItem *, int) { PENDING_ONCE("P3DSetStarGateEdge"); }

// Camera routines and the view words beside them.
#include "present/cameras.h"

// The sky, the planets and the flare shells the script's statements make.
uint8_t gPlanetTextureRequest;
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
void P3DLoadFlareShells() { PENDING_ONCE("P3DLoadFlareShells"); }
void P3DCreateFlareModels() { PENDING_ONCE("P3DCreateFlareModels"); }
void P3DClearLightSlots() { PENDING_ONCE("P3DClearLightSlots"); }
void P3DRenderFlareBatch(int) { PENDING_ONCE("P3DRenderFlareBatch"); }
void P3DLensFlarePass() { PENDING_ONCE("P3DLensFlarePass"); }
void P3DSetSunLight(SceneItem *, int, int, int) { PENDING_ONCE("P3DSetSunLight"); }
void P3DSunLightDim() { PENDING_ONCE("P3DSunLightDim"); }
void P3DScrollUnlitTexture() { PENDING_ONCE("P3DScrollUnlitTexture"); }
// The sun's glare and the flag of its aimed light.
uint8_t gSunPlaced;
void P3DQueueStarFlare(vt_actor *, vt_model *, vt_material *, vt_order_table *, uint8_t, uint32_t) {
    PENDING_ONCE("P3DQueueStarFlare");
}
void P3DAddLight(SceneItem *, const Vec3 *, uint32_t, int, float, uint32_t) { PENDING_ONCE("P3DAddLight"); }
void LSpaceSetTarget(SceneItem *) { PENDING_ONCE("LSpaceSetTarget"); }
void ScrollModelTexture(int, float) { PENDING_ONCE("ScrollModelTexture"); }
float gTextureScrollStep = 1.0f;

// The universe's calls into the planets.
void ClearSystemBodyModels() { PENDING_ONCE("ClearSystemBodyModels"); }
// The lens flares' light flashes and ring fill, and the model adjustments'
// face picker.
void P3DAddLightFlash(SceneItem *, uint32_t, const Vec3 *, int, uint32_t) { PENDING_ONCE("P3DAddLightFlash"); }
void P3DFillPolygon(const ParticleSystem *) { PENDING_ONCE("P3DFillPolygon"); }
int PickModelFace(SceneItem *, const Vec3 *, Vec3 *, Vec3 *) {
    PENDING_ONCE("PickModelFace");
    return 0;
}

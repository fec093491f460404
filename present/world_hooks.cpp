// The presentation's side of the world's calls.
#include "present/effects.h"
#include "present/effects/particles.h"
#include "present/lwo/lwo.h"
#include "present/p3d.h"
#include "present/scene.h"
#include "world/services.h"

void P3DInstallWorldHooks() {
    static const WorldPresentHooks hooks = {
        P3DUpdatePresentation, P3DAddToScene,        AddHullRupture,         AddMinorExplosion,
        PlaceExplosion,        SpawnDepartureBurst,   SpawnSparks,           SpawnDestructionExplosion,
        WreckBreakUpControl,   CreateParticleSystem,  BuildColourRamp,       FlashNavLight,
        EventCameraTrigger,    P3DSetViewShake,       P3DSetFlashBrightness, P3DPlasmaModel,
        ScaleModelToRadius,    P3DSetupPlasmaBall,    P3DSetupGasShell,      P3DCameraZoom,
        P3DViewProjectionScale, SpawnLdsTrail,        P3DSetObjectModel,     P3DFollowCameras,
        P3DSetCameraSubject,    AddFlashAtObject,     AddThermalExplosion,   P3DMakeWreck,
        [](const char *name) {
            uint32_t size = 0;
            return LwoLoadModel(name, nullptr, &size);
        },
        AddNavLight,            P3DSetStarGateEdge,    LookUpdate,
        P3DRemoveActor,         P3DRemoveAndFreeNodeModel, P3DRemoveAndFreeNodeMaterial,
        TDPSyncActor,           P3DModelVertex,        P3DResetCameraWords,
        P3DUpdateLights,        ActionCameraUpdate,    P3DPreprocessScene,
        SpawnDebrisBurst,
        P3DPlaceSkyBody,
        [] { return static_cast<void *>(P3DCreateStarDummy()); },
        dunLoadPlanetTexture,   ClearSystemBodyModels, P3DFreeSkyResources,   P3DSetSkyForSystem,
        SpawnParticleCloud,     TDPUpdateSoftParticles, AddNavLights,
    };
    WorldSetPresentHooks(&hooks);
}

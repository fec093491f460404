// The presentation's side of the world's calls.
#include "present/effects.h"
#include "present/scene.h"
#include "world/services.h"

void P3DInstallWorldHooks() {
    static const WorldPresentHooks hooks = {
        P3DUpdatePresentation, P3DAddToScene,        AddHullRupture,         AddMinorExplosion,
        PlaceExplosion,        SpawnRoundDestruction, SpawnSparks,           SpawnImpactExplosion,
        SpawnImpactSparks,     CreateParticleSystem,  BuildColourRamp,       FlashNavLight,
        EventCameraTrigger,    P3DSetViewShake,       P3DSetFlashBrightness, P3DPlasmaModel,
        ScaleModelToRadius,    P3DSetupPlasmaBall,    P3DSetupGasShell,      P3DCameraZoom,
        P3DViewProjectionScale,
    };
    WorldSetPresentHooks(&hooks);
}

// Effects of the 3D presentation that the world's events start: the recipes
// that turn hits, ruptures, debris, drives, arrivals and destructions into
// particle systems, light flashes and sounds; and the view words beside
// them.
#pragma once

#include <cstdint>

#include "RES/vecmath.h"

struct SceneItem;
struct TDP;
struct ParticleSystem;
struct DamageRecord;

// Explosion bursts at a point of the owner's frame, facing out from its
// centre: colours by two codes (bit 3 bright, bits 2, 1, 0 red, green,
// blue; entry 0 of the ramp shows the second), or the yellow of heat. A
// missing point stops the program.
void AddMinorExplosion(SceneItem *owner, int code1, int code2, const Vec3 *point);
TDP *AddThermalExplosion(SceneItem *owner, const Vec3 *point);
// A venting burst at the hull face nearest the point (yellow or red), with
// a blinking light there; a life of 0 vents for ever.
void AddHullRupture(SceneItem *owner, int yellow, int unused, const Vec3 *point, int life);
// Grey-white debris from the hull vertices in turn (life 0: for ever).
void SpawnDebrisBurst(SceneItem *owner, int life);
// A spark burst: the ramp runs from the second colour (entry 0) towards the
// first.
void SpawnSparks(SceneItem *owner, int r1, int g1, int b1, int r2, int g2, int b2);
// The green trail of a ship dropping out of the fast drive.
void SpawnLdsTrail(SceneItem *owner);
// Ring bursts along the hull of a ship arriving (expanding) or leaving
// (collapsing), with their sound and flash, on its attached objects too.
void SpawnArrivalBurst(SceneItem *owner);
void SpawnDepartureBurst(SceneItem *owner);
// The explosion of a destroyed object, sized by the camera's distance, on
// the wreck its break left; the wreck then blows its parts off one by one.
void SpawnDestructionExplosion(SceneItem *wreck, const DamageRecord *direction, SceneItem *destroyed);
// The control routine of a breaking wreck.
void WreckBreakUpControl(SceneItem *wreck);
// A gun or impact flash on the owner's engine-glow light (point in its
// frame); colour 7 sets the light level to the ticks.
void FlashNavLight(SceneItem *owner, int colour, int ticks, const Vec3 *point);
// A light flash on the owner's surface in a direction (world axes).
void AddFlashAtObject(SceneItem *owner, const Vec3 *direction, int time, uint32_t colour);
// A white flash beside the owner, on the side of the player's ship.
void PlaceExplosion(SceneItem *owner);
// The static cloud of a star-system body (at most 250 points), in the given
// system or a new one.
ParticleSystem *SpawnParticleCloud(float cx, float cy, float cz, float rx, float ry, float rz, float exponent,
                                   int count, ParticleSystem *existing);

// What the recipes start besides particles (sound slots, light flashes), for
// displays and tests; none by default.
using EffectObserver = void (*)(const char *what, SceneItem *item, int value);
extern EffectObserver gEffectObserver;

void ScaleModelToRadius(void *model, float radius);
void P3DSetupPlasmaBall(SceneItem *item, int a, int b, const char *name);
void P3DSetupGasShell(SceneItem *item, const char *name);
// The plasma ball's model, looked up once and kept.
void *P3DPlasmaModel();
// The cockpit camera's view shake (time in centiseconds, strength).
void P3DSetViewShake(int32_t centiseconds, int32_t strength);
void P3DSetFlashBrightness(int32_t brightness);
// The current camera's zoom (0 when none is set) and the 3D view's
// projection scale.
float P3DCameraZoom();
float P3DViewProjectionScale();
// A wreck that tumbles past the controlled object for a few seconds when
// an object is destroyed within 300000 of it (ahead of it, along its axis,
// when it is the controlled object); nothing without the "CorpseMd" model.
void P3DMakeWreck(SceneItem *item);
// A navigation light at a point of the object's frame (model units): size,
// colour bits (low byte the colour, 0x100 linked to the previous light on
// the 3D card only, bits 9 up the previous steady light's new mask), on and
// off ticks (either 0: a steady light) and the phase of its blinking.
void AddNavLight(SceneItem *item, const Vec3 *position, float size, int32_t colour, int on, int off, int phase);
// An object's navigation lights laid out by its shape kind (mines 11).
void AddNavLights(SceneItem *item, int kind);
// A stargate's edge colour map (9, 10, 12, or 13 closed).
void P3DSetStarGateEdge(SceneItem *gate, int colour);

// Installs the presentation's table of the world's calls.
void P3DInstallWorldHooks();
// The script's engine light (3D card): a dynamic point light in the
// object's frame, colour 0xRRGGBB, that never fades and shines while the
// object thrusts.
void P3DAddEngineLight(SceneItem *item, const Vec3 *position, uint32_t colour, float radius);
